#pragma once
// The K4736 panel of the I2C device window: the five pin lines of the part (DS0, DS1, SCL,
// CS, U/D) with the up, down and store pulse sequences, the status register that chooses
// whether wiper writes land in the wiper counter registers or in one of four banks of data
// registers, the fill of all sixteen data registers, and reading all wipers over I2C.
//
// The frame drives the pins itself (through the motherboard's port image) and reaches the
// window's register and channel panels through Host.
#include <QGroupBox>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

class Frk4736 : public QGroupBox {
public:
    struct Host {
        std::function<void(const QString&)> setStatusText;   // into the ACR value field
        std::function<void(bool)> showStatusReadBack;        // the ACR read button, value and lamp
        std::function<void()> writeStatus;                   // the ACR write
        std::function<void()> readStatus;                    // the ACR read
        std::function<void(int, const QString&)> enterWiperHex; // a channel's hex field, then Enter
        std::function<void(int)> readWiper;                  // a channel's "Wiper-Read"
        std::function<void(int)> sampleWiper;                // a channel's wiper voltage sample
    };

    explicit Frk4736(Host host, QWidget* parent = nullptr);

    std::array<QCheckBox*, 5> Chk4736{};    // "DS0", "DS1", "SCL", "CS", "U/D"
    std::array<QPushButton*, 3> cmdUp{};    // "Up", "Down", "Store"
    QPushButton* cmdRdAllk47 = nullptr;     // "Rd All I2C"
    QPushButton* cmdSamplek47 = nullptr;    // "Rd All Volts"
    QGroupBox* Frk4736Mode = nullptr;       // "I2C Status Control"
    std::array<QRadioButton*, 5> optK4736{}; // "Wr / Rd WCR", "Wr DR0".."Wr DR3"
    QPushButton* cdmAuto_Init = nullptr;    // "Wr All DR Locations"
    QCheckBox* ChkAutoSample = nullptr;     // "Auto Rd Volts"
    QLabel* Label4 = nullptr;               // "NOV Bank"
    QLabel* lblBank = nullptr;              // the bank last selected, "----" at first

    // The status text of each option: 0 for the wiper counter registers, 2b + 1 for bank b.
    static QString statusText(int Index);

    void Chk4736_Click(int Index);
    void cmdUp_Click(int Index);
    void optK4736_Click(int Index);
    void cdmAuto_Init_Click();
    void cmdRdAllk47_Click();
    void cmdSamplek47_Click();

    // True while "Wr All DR Locations" writes the data registers: a wiper write must not read
    // its wiper back meanwhile, since that read selects the wiper counter registers again.
    bool filling() const { return filling_; }

    // Selects the option and runs its handler once.
    void selectStatus(int Index);

private:
    // Sets the pin box to the level and writes the pins.
    void pinStep(int Index, bool high);
    void sampleAll();

    Host host_;
    bool filling_ = false;
};
