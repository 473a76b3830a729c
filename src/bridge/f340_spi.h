#pragma once
// SPI group of the bridge console.
#include "bridge/console_group.h"

class QWidget;

class F340Spi : public ConsoleGroup {
public:
    void getSPIconfig();
protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildSpiFrame();   // "SPI" frame of the "I2C / SPI" tab
    QWidget* buildSpiClock();   // SPI clock list for the "I2C and SPI Clocks" frame
};
