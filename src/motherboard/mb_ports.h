#pragma once
// Port image, pin boxes, the six-register port write and its read-back.
//
// The image g_PortShadow(0..5) holds the levels of P0..P2 and their drive enables. Callers
// move pins by setting boxes (each box's change handler makes its image bit follow it) and
// then write the whole image once with cmdWrtPipe1_Click; nothing reaches the board before.
#include "motherboard/motherboard_group.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
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

    // --- the register panel "SFRs"
    std::array<QLabel*, 6> lblPbuf{};
    QPushButton* cmdWrtPipe1 = nullptr;  // "Write"
    QPushButton* cmdReadPipe1 = nullptr; // "Read"
    QPushButton* cmdTallyGPIO = nullptr; // "Tally GPIO"

    // Leaves the image, the boxes and the board alone; lets pending events run once.
    void Reverse_Tally_GPIO();

    // A nested port write waits at most this many event passes for the outer one.
    static constexpr int kBusyWaitPasses = 3001;

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildPortFrames();    // the three level frames and the three drive frames
    QWidget* buildRegisterPanel(); // "SFRs"
    // Load steps: every box unchecked (each box that changes runs its handler), then the
    // power-up pin pattern, each step through the box's handler.
    void clearPinBoxes();
    void drivePowerUpPattern();

private:
    // A level box (or a drive-enable box) changed: the console's box of the pin takes its
    // value, the image bit follows it and txtPBuf shows the image byte.
    void pinBoxChanged(bool drive, int Index);
};
