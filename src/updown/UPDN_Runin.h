#pragma once
// The run-in window: the endurance test of DCP #1 of an up/down part (the table of seven
// rows, the calculations, run options, counters, log and record file), its three line boxes
// and its wiper reading. It drives the lines and reads the wiper with reports of its own.
// The up/down console opens it; it registers nowhere as the active window.
#include "updown/runin_test.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class Lamp;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class UPDN_Runin : public QWidget, public runin::RunInHost, public runin::Lines {
    Q_OBJECT
public:
    UPDN_Runin();
    ~UPDN_Runin() override;

    // --- test table "Initial Startup"
    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 5> vlvTestHeaders{};
    std::array<QLabel*, runin::kRows> lblInitialSet{};
    std::array<QLineEdit*, runin::kRows> txtInitialIncr{};
    std::array<QLineEdit*, runin::kRows> txtWiperLoc{};
    std::array<QLineEdit*, runin::kRows> txtWiperVolts{};
    std::array<QLabel*, runin::kRows> lvlWipV{};
    std::array<QLabel*, runin::kRows> lvlWipError{};
    std::array<Lamp*, runin::kRows> Shp_Test_Status{};

    // --- "Test Calculations"
    QGroupBox* Frame3 = nullptr;
    QLineEdit* txtWipPositions = nullptr;
    QLineEdit* txtLimitDiv = nullptr;
    std::array<QLabel*, 2> lblWIPRange{};
    QLabel* lblVoltsPer = nullptr;
    QLabel* lblPosition = nullptr;
    QLabel* lblTestLimit = nullptr;

    // --- "Run Options"
    QGroupBox* Frame4 = nullptr;
    QCheckBox* ChkLogAll = nullptr;
    QLineEdit* txtTestQty = nullptr;
    QLineEdit* txtLogSteps = nullptr;
    QCheckBox* ChkFast = nullptr;

    // --- run control and counters
    QPushButton* cmdRunInitial = nullptr;
    QPushButton* cmdAbortRun = nullptr;
    QLineEdit* txtRunInID = nullptr;
    std::array<QLabel*, 2> lblRUnCount{};

    // --- log and record file
    QPlainTextEdit* rtxt1 = nullptr;
    QPushButton* cndTclear = nullptr;
    QGroupBox* frmDataRecord = nullptr;
    QLineEdit* txtFilePath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    std::array<QPushButton*, 1> cmdStartRec{};
    QCheckBox* chkAppend = nullptr;

    // --- lines and wiper reading
    std::array<QGroupBox*, 1> FrmStaticIO{};
    std::array<QCheckBox*, 4> ChOut{}; // 0 /CS1, 1 /INC, 2 Up / Down, 3 reserved (hidden)
    std::array<Lamp*, 3> ShpOut{};
    std::array<QPushButton*, 1> cmdAlloutsHigh{};
    QGroupBox* Frame2 = nullptr;
    std::array<QPushButton*, 1> cmdSampleWiper{};
    std::array<QLabel*, 1> lblWiperVolts{};

    // --- hidden carriers of the step trains and the store
    std::array<QGroupBox*, 1> FrmIncr{};
    std::array<QLineEdit*, 2> txtIncr{};
    std::array<QPushButton*, 2> cmdIncr{};
    std::array<QGroupBox*, 1> FrmExit{};
    std::array<QPushButton*, 2> cmdSequence{};

    void Form_Load() {} // nothing to set up beyond the design texts
    void ChOut_Click(int Index);
    void cmdAlloutsHigh_Click(int Index);
    void cmdIncr_Click(int Index);
    void cmdSequence_Click(int Index);
    void cmdSampleWiper_Click(int Index);
    void cmdAbortRun_Click();
    void cndTclear_Click();
    void cmdBrowse_Click();
    void cmdStartRec_Click(int Index);
    void cmdRunInitial_Click();

    // The log as it is saved (CR LF line breaks), and the run with its state.
    const QString& logText() const { return log_; }
    // The log holds text added since it was last saved.
    bool holdsUnsavedLog() const { return logUnsaved_ && !log_.isEmpty(); }
    // At the program's end: an unsaved log goes to disk as a record (runin_record.h), and
    // stderr says where.
    void rescueUnsavedLog();
    const runin::RunInTest& run() const { return test_; }

    // --- runin::Lines: the line boxes
    bool level(runin::Line line) const override;
    void set(runin::Line line, bool high) override;

    // --- runin::RunInHost
    void prepareInputs() override;
    void setAllHigh() override { cmdAlloutsHigh_Click(0); }
    void step(bool up, const QString& countText) override;
    void store() override { cmdSequence_Click(0); }
    runin::Reading readWiper() override;
    void letEventsRun() override;
    void clearLog() override { cndTclear_Click(); }
    void appendLog(const QString& piece) override;
    QString stimulus(int row) const override;
    bool logAll() const override;
    void display(runin::Field field, int row, const QString& text) override;
    void lamp(int row, int colour) override;
    void setRunning(bool running) override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* buildTable();
    QWidget* buildCalculations();
    QWidget* buildOptions();
    QWidget* buildRecord();
    QWidget* buildLines();
    QWidget* buildCarriers();

    void showNow(runin::Field field, int row, const QString& text);
    void showPendingWhenDue();
    void showPending();

    static constexpr int kDisplayFrameMs = 40;
    static constexpr size_t kFields = size_t(runin::Field::RowError) + 1;
    std::array<std::array<std::optional<QString>, runin::kRows>, kFields> pendingTexts_{};
    std::array<int, runin::kRows> pendingLamps_ = {-1, -1, -1, -1, -1, -1, -1};
    std::int64_t lastShownMs_ = 0;

    runin::LinkPort port_;
    runin::RunInTest test_{*this};
    QString log_;
    bool logUnsaved_ = false;
    bool closeWhenStopped_ = false;
};
