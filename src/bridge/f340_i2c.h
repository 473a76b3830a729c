#pragma once
// I2C and SMBus group of the bridge console: the bridge's I2C options and SMBus clock, the
// device address with its bit view and the address scan, block reads and writes into and
// out of the 64-entry register map, the simple read and write, the single-register panel
// with its toggle write, the write-data fill patterns and the register data file.
#include "bridge/console_group.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QString;
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

    // --- the group's own controls
    QLineEdit* txtI2Caddress = nullptr;
    std::array<QCheckBox*, 7> chkADDRbit{};
    QPushButton* cmdScanI2Caddress = nullptr;
    QLineEdit* txtSlaveAddress = nullptr;
    QCheckBox* chkRepeatedStart = nullptr;
    QCheckBox* chkStoppedWrite = nullptr;
    QCheckBox* chkExtendHold = nullptr;
    QPushButton* cmdToggleSCL = nullptr;
    std::array<QLabel*, 64> lblRegAddr{};
    std::array<QLineEdit*, 8> TXTI2C{};
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdSimpleI2cRd = nullptr;
    QPushButton* cmdSimpleI2cWr = nullptr;
    std::array<QRadioButton*, 6> obFillData{};
    QPushButton* cmdFillWriteTextBoxes = nullptr;
    QPushButton* cmdClearReadTextBoxes = nullptr;
    QLineEdit* txtRegister = nullptr;
    std::array<QLineEdit*, 2> txtWriteIndividual{};
    std::array<QPushButton*, 2> cmdWriteIndividual{};
    QPushButton* cmdReadIndividual = nullptr;
    QLineEdit* txtReadIndividual = nullptr;
    QComboBox* cboSMBusFrequency = nullptr;

    // --- the group's own handlers
    void chk2WireRead_Click();
    void chkRepeatedStart_Click();
    void chkStoppedWrite_Click();
    void chkExtendHold_Click();
    void cmdToggleSCL_Click();
    void cboSMBusFrequency_Click();
    void txtI2Caddress_Change();
    void chkADDRbit_Click(int Index);
    void setAddressFromBits();
    void cmdScanI2Caddress_Click();
    void cmdSimpleI2cRd_Click();
    void cmdSimpleI2cWr_Click();
    int ReadIndividual(); // 1 when the register could not be read
    void cmdReadIndividual_Click();
    void cmdWriteIndividual_Click(int Index);
    void cmdFillWriteTextBoxes_Click();
    void txtNumToRead_LostFocus();
    void txtNumToWrite_LostFocus();

protected:
    using ConsoleGroup::ConsoleGroup;
    // Frames for the console's tabs (created once, by the console's constructor).
    QWidget* buildI2CFrame();          // "I2C" frame of the "I2C / SPI" tab (holds f.cmdHoswMother)
    QWidget* buildRegisterRows(int first, int count); // register rows (0..31 and 32..63)
    QWidget* buildSmbusClock();        // SMBus clock list for the "I2C and SPI Clocks" frame
    // Load steps: the register rows' texts, then the address box ("00", no typing wait).
    void initRegisterRows();
    void initAddressBox();

private:
    // A transfer's settings, checked before anything is sent.
    struct Transfer {
        int count = 0;
        int registerCount = 0;
        std::uint8_t reg = 0;
        std::vector<std::uint8_t> data;
    };
    // Empty after the message when a field is refused; g_BridgeStatus is then 1.
    std::optional<Transfer> readRequest(bool registerByte);
    std::optional<Transfer> writeRequest();
    std::optional<Transfer> readFields(bool registerByte);
    std::optional<Transfer> writeFields();
    // Places the bytes of a read in the register map from register reg on.
    void placeInRegisterMap(std::uint8_t reg, const std::vector<std::uint8_t>& data);
    // The single-register panel's fields as bytes (empty text is 0); nothing on bad text.
    std::optional<std::uint8_t> panelByte(QLineEdit* box, const QString& name);
    bool panelRegisterByte() const; // the panel's reads send the register byte
    void optionBoxChanged();
    QWidget* buildAddressFrame();
    QWidget* buildOptions();
    QWidget* buildCounts();
    QWidget* buildReceived();
    QWidget* buildFill();
    QWidget* buildIndividual();

    std::optional<std::mt19937> fillRandom_; // seeded from the clock at the first random fill
};
