#pragma once
// SPI terminals 2 and 3 for the chip under test. A caller puts n bytes (two hex digits each)
// into byte fields 1..n and n into the count field, runs the terminal's operation and reads
// the returned bytes from reply fields 0..n-1 (reply field i answers byte field i + 1).
// Each transfer first releases the supply potentiometer's chip select (P2.4 high), which
// shares the SPI lines. Element 0 of the byte and reply arrays is not on screen.
#include "motherboard/motherboard_group.h"

#include <array>

class QLineEdit;
class QPushButton;
class QString;
class QWidget;

class MbSpiTerminals : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    QLineEdit* txtSPIWrQty2 = nullptr;
    std::array<QLineEdit*, 6> txtSPIWrite2Data{};
    std::array<QLineEdit*, 6> txtSPIORead{};
    QLineEdit* txtSPIWrQty3 = nullptr;
    std::array<QLineEdit*, 6> txtSPIWrite3Data{};
    std::array<QLineEdit*, 6> txtSPIORead3{};

    // Each returns the USB status of its exchange: true when the frame went out and its
    // reply came back (the chip's bytes are not judged).
    bool cmdSPIOWrite2_Click();
    bool cmdSPIOWrite3_Click();

    // --- the terminals' own controls
    QPushButton* cmdSPIOWrite2 = nullptr; // "Write"
    QPushButton* cmdSPIOWrite3 = nullptr; // "Write"
    QLineEdit* txtSPIReadCnt2 = nullptr;
    QLineEdit* txtSPIReadCnt3 = nullptr;

    // Leaving a count field: below 1 becomes "1", above 5 becomes "5".
    static QString countFieldText(const QString& text);

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildSpiTerminals(); // "SPI I/O"

private:
    // The fields and the differences of one terminal.
    struct Terminal {
        int number;
        QLineEdit* count;
        std::array<QLineEdit*, 6>& bytes;
        std::array<QLineEdit*, 6>& replies;
        QLineEdit* shownCount;
        bool pauses; // terminal 3: lets events run around its steps and sleeps 20 ms first
    };
    Terminal terminal(int number);
    bool transfer(const Terminal& t);
    // The count and bytes 1..n are what the console can send; false after a message.
    bool checkFrame(const Terminal& t, int& n);
};
