#pragma once
// GPIO group of the bridge console.
#include "bridge/console_group.h"

class QWidget;

class F340Gpio : public ConsoleGroup {
public:
    void getGPconf();
    void getGPvalue();
protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildGpioFrame();  // "GPIO" frame of the "GPIO" tab
    // Load step: the pin boxes take the motherboard's pin captions.
    void initPinCaptions();
};
