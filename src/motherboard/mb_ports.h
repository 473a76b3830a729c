#pragma once
// Port image, pin boxes, the six-register port write and its read-back.
#include "motherboard/motherboard_group.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QWidget;

class MbPorts : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    std::array<QCheckBox*, 24> chkPData{};   // pin levels, index = port * 8 + bit
    std::array<QCheckBox*, 24> chkP0OutEn{}; // drive enables
    std::array<QLineEdit*, 6> txtPBuf{};     // image bytes 0..5 as hex
    std::array<QLineEdit*, 6> txtPBufRd{};   // read-back of P0..P2 and their output modes

    void chkPData_Click(int Index);
    void chkP0OutEn_Click(int Index);
    void cmdWrtPipe1_Click();
    void cmdReadPipe1_Click();

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildPortFrames();
};
