#pragma once
// The script window: loads a script file into the grid, runs it once or in a loop with
// pass and fail counts, samples the interrupt line between rows and writes the script back
// with the actual reads. The loading, running and merging are plain code (script_file.h,
// script_run.h, script_results.h); this window holds the controls and shows their state.
#include "scripts/console_bus.h"
#include "scripts/script_grid.h"
#include "scripts/script_run.h"
#include "shell/activeform.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class Lamp;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// What the script window takes from the I2C device window: the text of its device address
// field when the script window loads. Until that window is part of the program the window
// starts from the device's usual address, "50".
struct ScriptWindowLinks {
    std::function<QString()> deviceAddressText;
};
ScriptWindowLinks& scriptWindowLinks();

class frmScriptOps : public QMainWindow, public DeviceFormControls, private script::Host {
    Q_OBJECT
public:
    frmScriptOps();
    ~frmScriptOps() override;

    // --- title strip, address, link lamp
    QFrame* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLineEdit* txtI2CAdr = nullptr;
    QLabel* Label9 = nullptr;
    Lamp* ShpAttach_ = nullptr;
    Lamp* Shp_USB_Transfer = nullptr;
    // --- results file
    QGroupBox* frmDataRecord = nullptr;
    QLineEdit* txtFilePath = nullptr;
    QLabel* Label18 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    std::array<QPushButton*, 1> cmdStartRec{};
    QCheckBox* chkAppend = nullptr;
    // --- run controls
    QGroupBox* frmScriptExec = nullptr;
    QLineEdit* txtRunning = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtTotLines = nullptr;
    QPushButton* cmdReload2 = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPushButton* cmdExecAll = nullptr;
    QPushButton* cmdRunContinuous = nullptr;
    QCheckBox* chkAOF = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txttotReads = nullptr;
    QLineEdit* txtRdPass = nullptr;
    QLineEdit* txtRdFails = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* txtLoopCount = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtScriptLine1 = nullptr;
    // --- interrupt sampling
    QGroupBox* frameInterrupt = nullptr;
    Lamp* shpISample = nullptr;
    QLabel* Label5 = nullptr;
    QCheckBox* chkISample = nullptr;
    QPushButton* cmdISample = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtIDefault = nullptr;
    QLineEdit* txtLastRead = nullptr;
    QLineEdit* txtIEnableStep = nullptr;
    QLineEdit* txtIDisableStep = nullptr;
    QLineEdit* txtIdetectStep = nullptr;
    QGroupBox* frameIsteps = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtIstart = nullptr;
    QLineEdit* txtIend = nullptr;
    QLineEdit* txtIexec = nullptr;
    // --- grid and menu
    ScriptGrid* vbalGrid1 = nullptr;
    QMenu* Script_File_Ops = nullptr;
    QAction* mnuScript_Read = nullptr;

    // --- handlers
    void Form_Load();
    void Form_Activate() { Form_GotFocus(); }
    void Form_GotFocus();
    void Form_Resize();
    // Widens the window when the frames above the grid need more room than it has.
    void fitTopRow();
    // Narrows it to the screen's available width.
    void fitScreen();
    void txtI2CAdr_KeyPress(int KeyAscii);
    void mnuScript_Read_Click() { ReadScriptFile(); }
    void ReadScriptFile();
    // Loads the script at path; false when the file was refused (its message shown), and then
    // the window keeps the script it had.
    bool LoadScriptFile(const QString& path);
    void cmdReload2_Click();
    void cmdExecAll_Click();
    void cmdRunContinuous_Click();
    void cmdAbort_Click();
    void ExecuteScriptRow(int row, int column);
    void vbalGrid1_CellActivated(int row, int column);
    void cmdISample_Click();
    void chkISample_MouseUp();
    void cmdStartRec_Click(int Index);
    void MergeActualReads();
    void Auto_Script_Save();
    void cmdBrowse_Click();

    Lamp* ShpAttach() override { return ShpAttach_; }

    // Tests and the benchmark look at the rows through the executor.
    script::Executor& executor() { return exec_; }
    bool scriptChosen() const { return ScriptChosen; }
    // The loaded script's full path (the file Reload reads).
    QString scriptPath() const { return cdlFileName_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    // Closing unloads the window; during a run it stops the run first and closes after it.
    void closeEvent(QCloseEvent* e) override;

private:
    // script::Host. While rows run, what changed is shown once per frame (at the first event
    // pump a frame after the last showing), before every message box, at a delay row's start
    // and at the end of the run; a row's state that lasts less than a frame may never show.
    void rowChanged(int row) override;
    void stateChanged() override;
    void autoSave() override { Auto_Script_Save(); }
    void runStarting() override { g_ActiveFormSet(); }
    void framePoint() override;
    void showNow() override;
    bool batching() const { return exec_.running() || exec_.rowBusy(); }
    // The changes noted since the last showing go to the grid and the fields.
    void flush();
    void applyState();
    // The width each column needs for the rows loaded.
    void fitColumns();

    void g_ActiveFormSet();
    void buildControls();
    void setRunButtonsEnabled(bool on);

    script::ConsoleBus bus_;
    script::Executor exec_{bus_, *this};
    bool ScriptChosen = false;
    QString cdlFileName_, cdlFileTitle_;
    bool closeAfterRun_ = false;
    void finishRun();
    // This window's handlers under way (their event pumps can deliver the close box).
    class Handling;
    int handling_ = 0;
    QWidget* top_ = nullptr;
    std::vector<int> dirtyRows_;
    std::vector<char> rowDirty_; // by row number
    bool stateDirty_ = false;
    int syncedRow_ = 0; // the executor's row in hand at the last showing
    std::optional<std::int64_t> shownAtMs_; // the program clock at the last showing, if any
};
