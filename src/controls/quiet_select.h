#pragma once
// Setting a control from code runs its change handler, and the program relies on it; this
// selects an option of an On/Off pair without running either option's handler, for a display
// that only follows what already happened.
#include <QRadioButton>
#include <QSignalBlocker>

#include <array>

inline void selectQuietly(const std::array<QRadioButton*, 2>& pair, int index)
{
    const QSignalBlocker first(pair[0]), second(pair[1]);
    pair[static_cast<size_t>(index)]->setChecked(true);
}
