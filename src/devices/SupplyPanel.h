#pragma once
// The supply and AD panel that every device window carries: VCC on and off, the VCC level
// list and "Update VCC", "Sample VCC", V-minus and its tracking box, and the AD offset and
// gain that correct every reading the window shows. It does no bus work of its own: it
// switches through SetVCC and the motherboard window's supply options, sends levels through
// the motherboard's supply potentiometer row and reads through the motherboard's ADC list.
//
// The owner places the two frames (fraVCC, FraVminus) in its layout, hands the panel's
// controls to shared code through its DeviceFormControls accessors, and says what else its
// VCC switch does (afterSetVcc).
#include <QObject>

#include <array>
#include <functional>

class Lamp;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class SupplyPanel : public QObject {
    Q_OBJECT
public:
    explicit SupplyPanel(QWidget* owner);

    QGroupBox* fraVCC = nullptr;    // "VCC Control"
    QGroupBox* FraVminus = nullptr; // "V Minus Control"
    QGroupBox* frmadcal = nullptr;  // "AD Calibration", inside fraVCC

    std::array<QRadioButton*, 2> OptVCC{}; // (0) "On", (1) "Off"
    Lamp* ShpVCCon = nullptr;
    QComboBox* CboVCC = nullptr;
    QPushButton* cmdUpdateVCC = nullptr;
    QLabel* lblSPICode = nullptr;
    QPushButton* cmdReadVCC = nullptr;
    QLabel* lblVCCVolts = nullptr;
    QLineEdit* txtUserVCC = nullptr; // hidden: the VCC list offers no user code
    QLabel* lblUserVCC = nullptr;
    QLabel* Label8 = nullptr; // the captions of offset and gain
    QLineEdit* txtADOffset = nullptr;
    QLineEdit* txtADGain = nullptr;
    std::array<QRadioButton*, 2> OptVM{}; // (0) "On", (1) "Off"
    Lamp* ShVM = nullptr;
    QCheckBox* ChkTrack = nullptr;

    // What the owner's VCC switch does after SetVCC (the I2C window: its shutdown pin, then
    // "Update VCC").
    std::function<void(int Index)> afterSetVcc;

    // The tips the SPI window and the pin consoles give the calibration fields and the sample
    // button; the I2C window leaves them bare.
    void tipCalibrationFields();

    // "Off" in both option pairs and black lamps, with no handler run (nothing is switched).
    void showSuppliesOff();

    void OptVCC_Click(int Index);
    void OptVM_Click(int Index);
    void ChkTrack_Click();
    void cmdUpdateVCC_Click();
    void cmdReadVCC_Click();
    void txtADGain_LostFocus();
    void txtADOffset_LostFocus();

    // One corrected reading of the motherboard's ADC input-list entry into out: the input is
    // selected, converted twice, the offset is added to g_AdcVolts and (g_AdcVolts x gain)
    // shown with three decimals. When the conversion gave no reading (no reply, or a reply
    // that is none) the label shows "-.---", the shared result stays as it was and false
    // comes back.
    bool takeReading(int entry, QLabel* out);
    double offset() const;
    double gain() const;
};
