#pragma once
// I2C and SMBus group of the bridge console.
#include "bridge/console_group.h"

class QWidget;

class F340I2C : public ConsoleGroup {
public:
    void cboSMBusFrequency_init();
    void getI2Coptions();
protected:
    using ConsoleGroup::ConsoleGroup;
    // Frames for the console's tabs (created once, by the console's constructor).
    QWidget* buildI2CFrame();          // "I2C" frame of the "I2C / SPI" tab
    QWidget* buildRegisterRows(int first, int count); // register rows (0..31 and 32..63)
    QWidget* buildSmbusClock();        // SMBus clock list for the "I2C and SPI Clocks" frame
    // Load steps: the register rows' texts, then the address box ("00", no typing wait).
    void initRegisterRows();
    void initAddressBox();
};
