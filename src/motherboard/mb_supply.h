#pragma once
// Supply switching of the motherboard window: VCC and V-minus options and the tracking box.
// P2.5 (/SHDN V+) switches VCC, P2.6 (/SHDN V-) V-minus; a high pin switches its supply on.
// While "Track" is ticked V-minus follows VCC and cannot be switched alone.
#include "motherboard/motherboard_group.h"

#include <array>

class Lamp;
class QCheckBox;
class QLabel;
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
    // Both option pairs on "Off" and the lamps black, with no handler run (nothing is switched).
    void showSuppliesOff();
    // The supply pins of the port image as both supplies off want them (P2.4 high: the supply
    // potentiometer deselected; P2.5, P2.6 low), written with the whole image.
    void writeSupplyPinsOff();

    // --- the group's own controls
    Lamp* ShpVCCon = nullptr;      // red while VCC is on, black while off
    Lamp* ShpVCCMinusOn = nullptr; // the same for V-minus
    QLabel* lblCal_header = nullptr; // where the VCC codes came from: "Defaults" or the file's header

protected:
    using MotherboardGroup::MotherboardGroup;
    // "Fixture Supplies", with the VCC read-back, and lblCal_header under it.
    QWidget* buildSupplyFrame();
};
