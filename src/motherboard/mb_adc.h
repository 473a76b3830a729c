#pragma once
// ADC channels: the input list Combo1, READ_AD, channel update, VCC read-back, sampling.
#include "motherboard/motherboard_group.h"

class QComboBox;
class QWidget;

class MbAdc : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    QComboBox* Combo1 = nullptr;

    void READ_AD();

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildAdcFrame(); // "ADC Control"
};
