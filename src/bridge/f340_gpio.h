#pragma once
// GPIO group of the bridge console.
#include "bridge/console_group.h"

#include <array>

class QCheckBox;
class QLabel;
class QWidget;

class F340Gpio : public ConsoleGroup {
public:
    using PinBoxes = std::array<QCheckBox*, 8>;
    // --- used by the other groups and by other windows (keep these names)
    PinBoxes chkGPvalueP0{}, chkGPvalueP1{}, chkGPvalueP2{}, chkGPvalueP3{}, chkGPvalueP4{};
    PinBoxes chkOpenCollectorP0{}, chkOpenCollectorP1{}, chkOpenCollectorP2{}, chkOpenCollectorP3{}, chkOpenCollectorP4{};
    PinBoxes chkDINP0{}, chkDINP1{}, chkDINP2{}, chkDINP3{}, chkDINP4{};
    std::array<QLabel*, 5> lblRdGPData{};
    QCheckBox* chkAutoWriteRead = nullptr;

    void cmdWrGPData_Click(int Index);
    void cmdRdGPData_Click(int Index);
    void cmdWrOC_Click(int Index);
    void cmdRdOC_Click(int Index);
    void cmdWrGPAnalog_Click(int Index);
    void cmdRdGPAnalog_Click(int Index);
    void cmdResetGPIO_Click();
    void cmdWriteReadAll_Click();
    void cmdClearAnalog_Click();
    void cmdSampleGP_Click();
    void chkDINP1_Click(int Index);
    void chkDINP2_Click(int Index);
    void getGPconf();
    void getGPvalue();

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildGpioFrame();  // "GPIO" frame of the "GPIO" tab
    // Load step: the pin boxes take the motherboard's pin captions.
    void initPinCaptions();
};
