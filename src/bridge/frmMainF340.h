#pragma once
// The bridge console: the window through which every other window drives the bridge
// microcontroller. Loaded hidden on first use, it opens the board link, reads the selected
// board's state back and serves its fields and handlers to the other windows, shown or not.
#include "bridge/f340_adc.h"
#include "bridge/f340_gpio.h"
#include "bridge/f340_i2c.h"
#include "bridge/f340_sfr.h"
#include "bridge/f340_spi.h"

#include <QMainWindow>

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;

class frmMainF340 : public QMainWindow,
                    public F340I2C,
                    public F340Spi,
                    public F340Gpio,
                    public F340Sfr,
                    public F340Adc {
    Q_OBJECT
public:
    frmMainF340();

    // --- "Config" tab
    QTabWidget* SSTab1 = nullptr;
    QGroupBox* fraEVBinstance = nullptr;
    QComboBox* cboEVBinstance = nullptr;
    QPushButton* cmdReconnect = nullptr;
    std::array<QCheckBox*, 2> chkLED{};
    QPushButton* cmdFirmwareVersion = nullptr;
    QLabel* lblFirmwareVersion = nullptr;
    QLineEdit* txtFirmwareVersion = nullptr;
    QPushButton* cmdQuit = nullptr;
    QGroupBox* Frame4 = nullptr;
    QPushButton* cmdHoswMother = nullptr; // placed in the "I2C" frame
    QMenu* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuTraceLog = nullptr;

    // --- handlers
    void Form_Load();
    void Form_Unload();
    // Unloads the console, which ends the program with exitCode (a platform::ExitCode): the
    // way a link dialog's Cancel ends it.
    void unloadEnding(int exitCode);
    void chkLED_Click(int Index);
    void cmdFirmwareVersion_Click();
    void cmdHoswMother_Click();
    void cmdQuit_Click();
    void mnuExit_Click();
    void mnuTraceLog_Click();
    void cmdReconnect_Click();
    // Fills the board list and selects a board (the one the search prefers).
    void cboEVB_init(int preferred = 0);
    void cboEVBinstance_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void getLEDs();
    void buildConfigTab(QWidget* page);
    bool boardListGuard_ = false;
    int exitCode_ = 0; // the program's exit status when this unload ends it (0: a quit)
};
