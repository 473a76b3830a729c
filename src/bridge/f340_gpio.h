#pragma once
// GPIO group of the bridge console: the five ports P0..P4 of the bridge as rows of pin boxes
// in three families (output value, output mode, analog input). Each family composes one byte
// per port from its eight boxes; Write sends it to the port's register, Read reads the
// register back and lights the port's lamp by comparing the two. The boxes are the console's
// image of the port registers: other windows set a box (its change handler runs) and then
// write the port.
#include "bridge/console_group.h"

#include <array>
#include <cstdint>

class Lamp;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QString;
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

    // --- the group's own controls
    QGroupBox* frmGPIO = nullptr;
    // Byte composed from the boxes ("--" until first composed) and the value read back.
    std::array<QLabel*, 5> lblWrGPData{}, lblWrOC{}, lblRdOC{}, lblWrGPAnalog{}, lblRdGPAnalog{};
    std::array<QPushButton*, 5> cmdWrGPData{}, cmdRdGPData{}, cmdWrOC{}, cmdRdOC{}, cmdWrGPAnalog{}, cmdRdGPAnalog{};
    // Read-back lamps: output mode of Pn at n, output value at 5 + n, analog input at 10 + n.
    std::array<Lamp*, 15> ShpGPIOStat{};
    QPushButton* cmdResetGPIO = nullptr;
    QPushButton* cmdWriteReadAll = nullptr;
    QPushButton* cmdClearAnalog = nullptr;
    QPushButton* cmdSampleGP = nullptr;
    QCheckBox* chkWeakPullUpDisable = nullptr;
    QLabel* lblOpenCollector = nullptr;
    QLabel* lblGPvalue = nullptr;
    QLabel* lblGP = nullptr;
    QLabel* Label7 = nullptr;

    // --- the group's own handlers; the box index is not used (the whole port is composed)
    void chkGPvalueP0_Click(int Index);
    void chkGPvalueP1_Click(int Index);
    void chkGPvalueP2_Click(int Index);
    void chkGPvalueP3_Click(int Index);
    void chkGPvalueP4_Click(int Index);
    void chkOpenCollectorP0_Click(int Index);
    void chkOpenCollectorP1_Click(int Index);
    void chkOpenCollectorP2_Click(int Index);
    void chkOpenCollectorP3_Click(int Index);
    void chkOpenCollectorP4_Click(int Index);
    void chkDINP0_Click(int Index);
    void chkDINP3_Click(int Index);
    void chkDINP4_Click(int Index);
    void chkWeakPullUpDisable_Click();
    void setGPconf();

    // The three families of pin boxes.
    enum class PinFamily { Value, Mode, Analog };
    PinBoxes& pinBoxes(PinFamily family, int port);

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildGpioFrame();  // "GPIO" frame of the "GPIO" tab
    // Load step: the pin boxes take the motherboard's pin captions.
    void initPinCaptions();

private:
    void portChanged(PinFamily family, int port);
    void writePort(PinFamily family, int port);
    void readPort(PinFamily family, int port);
    // Sets the family's boxes of every port from the dump rows without running their
    // handlers, then runs each port's handler once. Nothing when the dump met a link failure.
    void rebuildFromDump(PinFamily family);
    QWidget* buildValueBlock();
    QWidget* buildModeAnalogBlock();
    QWidget* buildCommandBlock();
};
