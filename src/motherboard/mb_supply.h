#pragma once
// Supply switching of the motherboard window: VCC and V-minus options and the tracking box.
#include "motherboard/motherboard_group.h"

#include <array>

class QCheckBox;
class QRadioButton;
class QWidget;

class MbSupply : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    std::array<QRadioButton*, 2> OptVCC{};      // (0) "On", (1) "Off"
    std::array<QRadioButton*, 2> OptVCCMinus{}; // (0) "On", (1) "Off"
    QCheckBox* ChkTrack = nullptr;

    void OptVCC_Click(int Index);
    void OptVCCMinus_Click(int Index);
    void ChkTrack_Click();

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildSupplyFrame(); // "Fixture Supplies"
};
