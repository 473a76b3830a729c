#pragma once
// On-chip ADC and external delta-sigma ADC groups of the bridge console.
#include "bridge/console_group.h"

#include <array>

class QCheckBox;
class QComboBox;
class QWidget;

class F340Adc : public ConsoleGroup {
public:
    // --- used by other windows (keep these names)
    QCheckBox* chkADCEnable = nullptr;
    std::array<QComboBox*, 2> cboAnamux{};

    void cmdMuxWrite_Click();
    void cmdADCWrEn_Click();
    void cmdADCRDData_Click();

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildAdcFrame();          // "ADC Control" frame of the "ADC + SFR" tab
    QWidget* buildExternalAdcFrames(); // the external ADC's frames on the "GPIO" tab
    // Load step: fill and select the read-mode and input lists.
    void initAdcLists();
};
