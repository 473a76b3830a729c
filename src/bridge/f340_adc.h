#pragma once
// On-chip ADC and external delta-sigma ADC groups of the bridge console.
#include "bridge/console_group.h"

class QWidget;

class F340Adc : public ConsoleGroup {
public:
    void cmdMuxWrite_Click();
protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildAdcFrame();          // "ADC Control" frame of the "ADC + SFR" tab
    QWidget* buildExternalAdcFrames(); // the external ADC's frames on the "GPIO" tab
    // Load step: fill and select the read-mode and input lists.
    void initAdcLists();
};
