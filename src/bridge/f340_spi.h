#pragma once
// SPI group of the bridge console.
#include "bridge/console_group.h"

class QCheckBox;
class QComboBox;
class QWidget;

class F340Spi : public ConsoleGroup {
public:
    // --- used by other windows (keep these names)
    QCheckBox* chkSPIread = nullptr;
    QComboBox* cboSPIClock = nullptr;

    void cmdSPIWrite_Click();
    void cboSPIClock_Click();
    void cboSPIclock_init();
    void getSPIconfig();

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildSpiFrame();   // "SPI" frame of the "I2C / SPI" tab
    QWidget* buildSpiClock();   // SPI clock list for the "I2C and SPI Clocks" frame
};
