#pragma once
// The quad instruction consoles: one window design for the quad potentiometers, built once
// for I2C (frm_k4744, executed through the bridge console's I2C transfers) and once for SPI
// (frm_k4731, executed through the motherboard's SPI terminal 3). A console composes an
// instruction byte from three option groups, highlights it in the instruction table,
// executes it, shows the four wiper counter registers (WCRs) and sixteen data registers with
// lamps for each read, write and transfer, and runs the increment/decrement mode by driving
// the bus pins as port lines, one port-write report per edge.
#include "quad/quad_instruction.h"

#include <QRadioButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class Lamp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
struct QuadComposition;
struct QuadDeviceLink;

// An option of an option group: the group's exclusivity is kept in code, so that the
// console can leave a group with nothing selected. A click selects, never deselects.
class QuadOption : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    std::function<bool()> blocked; // true: clicks change nothing

protected:
    void nextCheckState() override;
};

class QuadConsole : public QWidget {
    Q_OBJECT
public:
    explicit QuadConsole(quad::Bus bus);
    quad::Bus bus() const { return bus_; }

    // --- instruction composition
    QGroupBox* FrPot = nullptr;
    QLabel* Label6 = nullptr;
    QTableWidget* Grid1 = nullptr;
    std::array<QLabel*, 3> Label4{};
    std::array<QLabel*, 5> lblSet{};
    QPushButton* cmdINCPreamble = nullptr; // never shown
    QLabel* Label3 = nullptr;
    QGroupBox* FrInstruction = nullptr;
    std::array<QuadOption*, quad::kInstructionCount> OptInstruction{};
    QGroupBox* FrRegisterSelection = nullptr;
    std::array<QuadOption*, 4> OptRegSel{};
    QGroupBox* FrWiper = nullptr;
    std::array<QuadOption*, 4> OptWiper{};

    // --- value frame
    QGroupBox* FrVal = nullptr;
    std::array<QLabel*, 2> Label2{};
    QLineEdit* txtWriteValue = nullptr;
    QLabel* lblReadValue = nullptr;
    QPushButton* cmdDoInstruction = nullptr;
    std::array<Lamp*, 1> ShpI2CAck{};
    QLabel* Label1 = nullptr;
    QPushButton* cmdResetInstruction = nullptr;
    QPushButton* cmdSetWReqRd = nullptr;
    QPushButton* cmdReadAll = nullptr;
    QPushButton* cmdFillRegs = nullptr;

    // --- increment / decrement
    QGroupBox* FrIncrDec = nullptr;
    QLabel* lvlPotN = nullptr;
    QLabel* lblPotVolts = nullptr;
    std::array<QPushButton*, 3> cmdIncrWip{};

    // --- register panel: WCR by pot p, data register by k = 4p + r
    std::array<QGroupBox*, 4> FrDCP{};
    std::array<QLabel*, 4> lblDataRegs{};
    std::array<QLabel*, 4> Label13{};
    std::array<QPushButton*, 16> cmdRDData{};
    std::array<QLabel*, 16> lblRdData{};
    std::array<Lamp*, 16> ShpDataRd{};
    std::array<QPushButton*, 16> cdmWrData{};
    std::array<QLineEdit*, 16> txtWrData{};
    std::array<Lamp*, 16> ShpDataWr{};
    std::array<QPushButton*, 4> cmdRdWCR{};
    std::array<QLabel*, 4> lblRDWcr{};
    std::array<Lamp*, 4> ShpRdWCR{};
    std::array<QPushButton*, 4> cmdWrWCR{};
    std::array<QLineEdit*, 4> txtWXWcr{};
    std::array<Lamp*, 4> ShpWrWCR{};

    // --- legend
    QGroupBox* Frame1 = nullptr;
    std::array<Lamp*, 5> ShpLegend{};
    std::array<QLabel*, 4> Label5{};

    // --- handlers
    void Form_Load();
    void Form_Unload(); // a console left in increment/decrement mode terminates it first
    void OptInstruction_Click(int Index);
    void OptRegSel_Click(int Index);
    void OptWiper_Click(int Index);
    void cmdResetInstruction_Click();
    void cmdDoInstruction_Click();
    void cmdRdWCR_Click(int Index);
    void cmdWrWCR_Click(int Index);
    void cmdRDData_Click(int Index);
    void cdmWrData_Click(int Index);
    void cmdReadAll_Click();
    void cmdSetWReqRd_Click();
    void cmdFillRegs_Click();
    void txtWrData_LostFocus(int Index);
    void txtWriteValue_LostFocus();
    void cmdINCPreamble_Click();
    void cmdIncrWip_Click(int Index);

    // The device windows' "Store WCRs >> R0": global WCR to data register 0 ("80").
    // Ignored while an operation of the console runs.
    void storeWcrsToR0();
    // An operation (execution, Read All, Fill, a step) is running: user clicks are ignored.
    bool busy() const { return busy_; }
    // Increment/decrement mode: from the INC execution to Terminate.
    bool incMode() const { return incMode_; }

    // Sets an option from code the way the program selects one: off, then on, so that its
    // change handler runs even when it was selected already.
    static void select(QuadOption* option);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QuadComposition& c() const;
    QuadDeviceLink& device() const;
    void buildWindow();
    QWidget* buildComposition();
    QWidget* buildValueFrame();
    QWidget* buildIncDecFrame();
    QWidget* buildPotFrame(int pot);
    QWidget* buildLegend();
    void buildTable();
    void paintRow(int row, int palette);
    void optionGroup(QuadOption* const* options, int count, void (QuadConsole::*handler)(int));
    // Runs a user's click unless an operation is running; marks the console busy meanwhile.
    void userAction(const std::function<void()>& fn);
    void composeFinal();
    // Executes the current read and shows the value in display, unless the read failed.
    void readInto(QLabel* display);
    // Selects `instruction`, then every data register in index order (pot by pot, register
    // 0 to 3), executing each after beforeEach; ends with no pot or register selected.
    void everyDataRegister(int instruction, const std::function<void()>& beforeEach);

    // Transfers; false when the transfer failed (status step shows it).
    bool deviceAddress(std::uint8_t& address);
    bool i2cRead(const QString& instruction, std::uint8_t address);
    bool i2cWrite(const QString& instruction, int count, const QString& value, std::uint8_t address);
    bool spiFrame(const QString& instruction, const QString& count, const QString& value, bool read, std::uint8_t id);
    void statusStep(bool ok);
    void displaysAfter(bool ok);
    void enterIncMode();
    void lockToPot(bool locked);

    // Increment/decrement pins.
    std::uint8_t readP0();
    void edge(std::uint8_t& image, std::uint8_t mask, bool high);
    void sendBit(std::uint8_t& image, bool bit, bool skipDataEdge);
    void sendByte(std::uint8_t& image, std::uint8_t value, bool firstOfSequence);
    void ackClock(std::uint8_t& image);
    void blinkWriteLampInMode(int pot);

    quad::Bus bus_;
    bool busy_ = false;
    bool incMode_ = false;
    bool optionGuard_ = false;
    bool lastTransferOk_ = true;
    bool readShown_ = false; // the last execution showed a read value
};

class frm_k4744 : public QuadConsole {
    Q_OBJECT
public:
    frm_k4744() : QuadConsole(quad::Bus::I2C) {}
};

class frm_k4731 : public QuadConsole {
    Q_OBJECT
public:
    frm_k4731() : QuadConsole(quad::Bus::SPI) {}
};
