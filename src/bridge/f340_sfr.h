#pragma once
// SFR access and dump group of the bridge console.
#include "bridge/console_group.h"

class QWidget;

class F340Sfr : public ConsoleGroup {
public:
protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildSfrFrames();  // "SFRs " and "SFR Case 18 Single Byte Access" of the "ADC + SFR" tab
};
