#pragma once
// The supply potentiometer's console: "Motherboard VCC Control". The potentiometer sets the
// level of the chip's VCC (codes 0x00..0x7F); it is an SPI slave selected by P2.4, low =
// selected. Each row is a three-byte frame [0x50, instruction, value]: instruction 0xC0 /
// 0xC2 writes the data / set-up register, 0xB0 / 0xB2 reads it.
#include "motherboard/motherboard_group.h"

#include <array>

class QLineEdit;
class QPushButton;
class QWidget;

class MbSupplyPot : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    // Four rows of four fields: row r is 4r..4r+3; the first of each row is hidden, holds
    // "00" and is never sent. (7) is the VCC code of the "Write Data" row.
    std::array<QLineEdit*, 16> txtSPIwr{};

    void cmdSPIWrite_Click();  // the "Write Reg" row
    void cmdSPIWrite2_Click(); // the "Write Data" row

    // --- the group's own controls
    std::array<QLineEdit*, 4> txtSPIRd{}; // bytes received; (k) under column k of the rows
    QPushButton* cmdSPIWrite = nullptr;    // "Write Reg"
    QPushButton* cmdSPIWrite2 = nullptr;   // "Write Data"
    QPushButton* cmdSPRRdReg = nullptr;    // "Read Setup"
    QPushButton* cmdSPIReadData = nullptr; // "ReadData"

    void cmdSPRRdReg_Click();
    void cmdSPIReadData_Click();

    // Drives the potentiometer's chip select P2.4 through the bridge console's P2 value
    // boxes, written and read back at once (the other P2 pins go out as those boxes hold
    // them); the port image is not involved. Touches nothing of this window, so it also
    // runs after the window was closed in the middle of a frame.
    static void setSupplyPotSelected(bool selected);

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildSupplyPotFrame();

private:
    void sendFrame(int row);
};
