#pragma once
// The motherboard window: the motherboard's service to the device windows (port image and
// port write, SPI terminals, ADC channels, supplies, supply potentiometer, an I2C panel).
// It builds no report itself: every operation fills the bridge console's fields and runs
// the console's handlers.
#include "motherboard/mb_adc.h"
#include "motherboard/mb_ports.h"
#include "motherboard/mb_spi_terminals.h"
#include "motherboard/mb_supply.h"
#include "motherboard/mb_supply_pot.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class Lamp;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The hex entry rule of the window's byte fields: the text is upper-cased; a value of 0 gives
// "00", and so does a value that is no byte (above FF); any other text stays as typed (a
// single digit is not padded). The value is that of the leading hex digits, as HexToInt reads
// them, without its 16-bit limit: "FFFF" and "100FF" are no bytes either.
QString hexEntryText(const QString& text);

// What the window's operations send: one or two hex digits as a byte, and a count as a whole
// decimal number (blanks around either allowed); nullopt for any other text.
std::optional<std::uint8_t> byteFieldValue(const QString& text);
std::optional<int> decimalFieldValue(const QString& text);
// The byte an I2C panel field denotes: hex digits of a value 00..FF, leading zeros allowed
// (the entry rule keeps "050" as typed), blanks around allowed; nullopt for any other text.
std::optional<std::uint8_t> hexTextByte(const QString& text);

// A two-digit byte field of the window's panels, centred.
QLineEdit* mbByteField(const QString& text, bool readOnly = false);

class frmMotherboardDAQ2 : public QWidget,
                           public MbPorts,
                           public MbSpiTerminals,
                           public MbAdc,
                           public MbSupply,
                           public MbSupplyPot {
    Q_OBJECT
public:
    frmMotherboardDAQ2();

    void Form_Load();
    void Form_Unload();

    // --- action-button group: the window's operations disable it while they run
    QPushButton* cmdDisableButtons = nullptr;  // hidden "Disable"
    QPushButton* cmdEnableBUttons = nullptr;   // hidden "Enable"
    void cmdDisableButtons_Click();
    void cmdEnableBUttons_Click();
    const std::vector<QPushButton*>& actionButtons() const { return actionButtons_; }

    // --- "Show Main" (the bridge console) and "Exit" (unloads this window)
    QPushButton* cmdShowMian = nullptr;
    QPushButton* cmdexit = nullptr;
    void cmdShowMian_Click();
    void cmdexit_Click();

    // --- key filter and entry rule of the window's hex fields
    void HexKeyAscii(int& KeyAscii);
    // Keys through HexKeyAscii; on Enter, and on leaving the field when onLeave is set, the
    // text is upper-cased, cut to its first two characters when cutToTwo is set, and then
    // takes the hex entry rule.
    struct HexEntry {
        bool cutToTwo = false;
        bool onLeave = true;
    };
    void hexEntryField(QLineEdit* box, HexEntry how);
    void hexEntryField(QLineEdit* box) { hexEntryField(box, HexEntry{}); }
    // Runs fn whenever box loses the focus.
    void onLeave(QLineEdit* box, std::function<void()> fn);

    // --- I2C panel "I2C I/O"
    QGroupBox* fraI2C = nullptr;
    std::array<QLineEdit*, 4> txtI2COut{}; // count (decimal), address, Byte1, Byte2
    std::array<QLineEdit*, 3> txtI2CIN{};  // count (decimal), address, start register
    std::array<QLineEdit*, 4> txtI2CRead{};
    QLineEdit* txtI2CWriteStatus = nullptr;
    QLineEdit* txtI2CReadStatus = nullptr;
    std::array<Lamp*, 2> ShpI2CNAK{};      // (0) the write, (1) the read
    QPushButton* CMDI2CWrite = nullptr;
    QPushButton* cmdI2CRead = nullptr;
    void CMDI2CWrite_Click();
    void cmdI2CRead_Click();

    // --- for the window's own handlers, which let events run while they work: closing the
    // window meanwhile must stop them before they touch it again.
    // Lets pending events run; false when the window was closed meanwhile (the caller then
    // returns at once, touching nothing of the window).
    bool letEventsRun();
    // Runs op, which may let events run (a console transfer), and tells whether the window
    // is still loaded afterwards.
    bool survives(const std::function<void()>& op);
    bool unloaded() const { return unloaded_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* buildI2CPanel();
    void collectActionButtons();
    void setActionButtonsEnabled(bool on);
    // The panel's fields as they are sent; false after a message naming the field.
    bool panelByte(QLineEdit* box, const QString& name, std::uint8_t& value);
    bool panelCount(QLineEdit* box, const QString& name, int& count);

    std::vector<QPushButton*> actionButtons_;
    bool unloaded_ = false;
};
