#pragma once
// The VCC calibration window: switches VCC on, steps the supply potentiometer through its
// 128 codes, measures VCC at each through the motherboard's VCC/2 input, picks the code
// nearest each of seven target voltages and writes the result to the calibration file,
// from which every VCC list takes its codes. It carries the supply lamps, the V-minus
// options and the tracking box that the supply switching paints on the registered window.
#include "shell/activeform.h"

#include <QWidget>

#include <array>
#include <vector>

class Lamp;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
struct VccCalibration;

class FrmVCCCal : public QWidget, public DeviceFormControls {
    Q_OBJECT
public:
    FrmVCCCal();
    ~FrmVCCCal() override;

    QPushButton* cmdDoVCC_Cal = nullptr;     // "Run Calibrate"
    QPushButton* cmdAbort = nullptr;         // "Abort Calibration", shown while a sweep runs
    QPushButton* cmdReturn = nullptr;        // "Return to Menu"
    QPushButton* cmdSaveCal = nullptr;       // "Write Calibration File"
    QPushButton* cdmRead_Cal_File = nullptr; // "Read Calibration File"
    QLineEdit* txtVrefCal = nullptr;
    QLabel* lblCalHex = nullptr;   // code being measured
    QLabel* lblCalVolts = nullptr; // and its reading
    QPlainTextEdit* rtxt1 = nullptr; // sweep log, one line per code
    std::array<QLabel*, 8> blbTargetV{};   // (0) heading, (1..7) target of row k
    std::array<QLabel*, 8> lblTargetHex{}; // (0) heading, (1..7) chosen code of row k
    std::array<QLabel*, 16> lblTargetV{};  // (k) VCC/2 reading of row k, (k+8) VCC; 0 and 8 headings
    QLabel* lblCalStatus = nullptr;
    QLabel* lblCal_header = nullptr;

    Lamp* ShpVCCon() override { return shpVCCon_; }
    Lamp* ShVM() override { return shVM_; }
    QRadioButton* OptVM(int index) override;
    QCheckBox* ChkTrack() override { return chkTrack_; }
    void showSuppliesOff() override;

    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void cmdDoVCC_Cal_Click();
    void cmdAbort_Click();
    void cmdSaveCal_Click();
    void cdmRead_Cal_File_Click();
    void cmdReturn_Click();
    void txtVrefCal_LostFocus();

    // VREF as this window last took it from its field or from the calibration file.
    double vrefCal() const { return vrefCal_; }
    bool sweeping() const { return sweeping_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    enum class SweepEnd { Completed, Aborted, Failed };

    QWidget* buildButtons();
    QWidget* buildTargetTable();
    // One settled reading of the code just written; false ends the sweep (aborted or failed).
    bool measure(int code, std::vector<double>& readings, SweepEnd& end, QString& why);
    void showResults(const std::vector<double>& readings);
    void finishSweep(SweepEnd end, const QString& why);
    // The seven result rows to "--"; the target column to the sweep's targets or "x.x".
    void resetTargetRows(bool sweepTargets);
    VccCalibration fieldsAsCalibration() const;
    // Abort pressed, the window closing, or the link lost since the sweep began.
    bool stopRequested() const;
    bool linkLost() const;
    // The VREF field's text as a usable voltage, "3.3" in its place when it is none.
    double normaliseVrefField();

    Lamp* shpVCCon_ = nullptr;
    Lamp* shVM_ = nullptr;
    std::array<QRadioButton*, 2> optVM_{};
    QCheckBox* chkTrack_ = nullptr;

    double vrefCal_ = 3.3;
    bool sweeping_ = false;
    bool unloading_ = false;     // closed while a sweep runs: the sweep stops, then the window goes
    bool deleteDeferred_ = false;
    int linkRetriesAtStart_ = 0; // a link-error Retry since then searched the board again
};
