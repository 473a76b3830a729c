#pragma once
// SFR access and dump group of the bridge console.
#include "bridge/console_group.h"

#include <array>

class QLabel;
class QLineEdit;
class QWidget;

class F340Sfr : public ConsoleGroup {
public:
    // --- used by the GPIO group and by other windows (keep these names)
    QLineEdit* txtSFRAddress = nullptr;
    QLineEdit* txtSFRWRData = nullptr;
    std::array<QLabel*, 4> lblSFRBuf{};
    std::array<QLineEdit*, 26> txtPBufRd{};

    void cmdGetSDFValue_Click();
    void cmdSetSFR_Click();
    void cmdReadSKF_Click();

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildSfrFrames();  // "SFRs " and "SFR Case 18 Single Byte Access" of the "ADC + SFR" tab
};
