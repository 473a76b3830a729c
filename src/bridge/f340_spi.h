#pragma once
// SPI group of the bridge console: the bridge's SPI mode, its SPI clock and the SPI
// transfer. The transfer drives no chip select; callers select their device with a port
// pin of the GPIO group before the transfer and release it after.
#include "bridge/console_group.h"

#include <QString>

#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// One entry of an SPI clock list: the clock in MHz as shown, the divider index sent.
struct SpiClockEntry {
    QString mhz;
    int divider = 0;
};

// The SPI clocks a base clock of baseMhz offers: base / (2 x (divider + 1)) for the
// dividers 23 down to 0, listed only above 499 kHz, slowest first.
std::vector<SpiClockEntry> spiClockEntries(int baseMhz);

class F340Spi : public ConsoleGroup {
public:
    // --- used by other windows (keep these names)
    QCheckBox* chkSPIread = nullptr;
    QComboBox* cboSPIClock = nullptr;

    void cmdSPIWrite_Click();
    void cboSPIClock_Click();
    void cboSPIclock_init();
    void getSPIconfig();

    // --- the group's own controls
    QGroupBox* fraSPI = nullptr;
    QCheckBox* chkSPIckpol = nullptr;            // mode bit 0
    QCheckBox* chkSPIckpha = nullptr;            // mode bit 1
    QCheckBox* chkSPIss = nullptr;               // mode bit 2
    QCheckBox* chkSPIClockPhaseChange = nullptr; // transfer byte 4
    QLineEdit* txtClockPhaseChangeByte = nullptr; // transfer byte 5, decimal
    QPushButton* cmdSPIWrite = nullptr;
    QLabel* lblSPI = nullptr;

    // The mode boxes' change handlers: each sends the mode unless code is setting the boxes.
    void chkSPIckpol_Click();
    void chkSPIckpha_Click();
    void chkSPIss_Click();
    void setSPIconfig();

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildSpiFrame();   // "SPI" frame of the "I2C / SPI" tab
    QWidget* buildSpiClock();   // SPI clock list for the "I2C and SPI Clocks" frame

private:
    // The count and the data bytes of a transfer from the entry fields; false after the
    // message that says what is wrong.
    bool spiTransferCount(std::uint8_t& n);
    bool spiTransferPhaseByte(std::uint8_t& phaseByte);
    bool spiTransferFieldData(std::uint8_t n, std::vector<std::uint8_t>& data);
};
