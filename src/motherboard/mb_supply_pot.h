#pragma once
// The supply potentiometer's console: "Motherboard VCC Control".
#include "motherboard/motherboard_group.h"

#include <array>

class QLineEdit;
class QWidget;

class MbSupplyPot : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    std::array<QLineEdit*, 12> txtSPIwr{}; // four rows of three bytes; (7) the VCC code

    void cmdSPIWrite_Click();  // the "Write Reg" row
    void cmdSPIWrite2_Click(); // the "Write Data" row

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildSupplyPotFrame();
};
