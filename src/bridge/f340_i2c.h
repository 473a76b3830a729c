#pragma once
// I2C and SMBus group of the bridge console.
#include "bridge/console_group.h"

#include <array>
#include <cstdint>
#include <vector>

class QCheckBox;
class QLineEdit;
class QWidget;

class F340I2C : public ConsoleGroup {
public:
    // --- used by the other groups and by other windows (keep these names)
    QLineEdit* txtNumToRead = nullptr;
    QLineEdit* txtNumToWrite = nullptr;
    QLineEdit* txtStartRegRD = nullptr;
    QLineEdit* txtStartRegWr = nullptr;
    std::array<QLineEdit*, 64> txtWriteVal{};
    std::array<QLineEdit*, 64> txtReadVal{};
    QCheckBox* chkFileWriteData = nullptr;
    QCheckBox* chkRandom = nullptr;
    QCheckBox* chk2WireRead = nullptr;
    QCheckBox* ChK2WireCommand = nullptr;

    void cmdRead_Click();
    void cmdWrite_Click();
    void cmdClearReadTextBoxes_Click();
    int setI2Coptions(std::uint8_t arg);
    void cboSMBusFrequency_init();
    void getI2Coptions();
    // "registers.txt": 1 when n bytes were read into data (sized to n), 0 after the message.
    std::uint8_t ReadWriteDataFile(std::uint8_t n, std::vector<std::uint8_t>& data);

protected:
    using ConsoleGroup::ConsoleGroup;
    // Frames for the console's tabs (created once, by the console's constructor).
    QWidget* buildI2CFrame();          // "I2C" frame of the "I2C / SPI" tab (holds f.cmdHoswMother)
    QWidget* buildRegisterRows(int first, int count); // register rows (0..31 and 32..63)
    QWidget* buildSmbusClock();        // SMBus clock list for the "I2C and SPI Clocks" frame
    // Load steps: the register rows' texts, then the address box ("00", no typing wait).
    void initRegisterRows();
    void initAddressBox();
};
