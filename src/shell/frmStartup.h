#pragma once
// The startup menu: the program's first window and its hub. It sets the program-wide
// defaults, offers the device families and, on a pick, brings up the hidden service windows,
// sets the motherboard's bus switch P1.3 for the family, shows the family's window and
// hides itself. Windows return here; closing the menu ends the program.
#include "shell/activeform.h"

#include <QMainWindow>

#include <array>

class Lamp;
class QAction;
class QComboBox;
class QLabel;
class QTimer;

class frmStartup : public QMainWindow, public DeviceFormControls {
    Q_OBJECT
public:
    frmStartup();

    QWidget* Picture1 = nullptr; // small picture; a double-click turns the engineering view on
    QWidget* Picture2 = nullptr; // the board set-up
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboDCPSelect = nullptr;
    std::array<Lamp*, 3> Shpstatus{}; // element 2 is the status lamp
    QComboBox* cboVCC = nullptr;      // hidden: the menu's VCC list for the shared supply code
    QTimer* Timer1 = nullptr;
    QAction* mnuAboutShow = nullptr;

    void Form_Load();
    void Form_Activate();
    void Form_GotFocus();
    void Form_Unload();
    void cboDCPSelect_Click();
    void Picture1_DblClick();
    void Timer1_Timer();
    void mnuAboutShow_Click();

    bool engineeringView() const { return engineeringView_; }

    QComboBox* CboVCC() override { return cboVCC; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // Sets the bus switch P1.3 on the motherboard and runs its pin handler.
    void setBusSwitch(bool high);
    void showServiceWindows();
    bool engineeringView_ = false;
    bool pickRan_ = false; // the change of this pick has run the handler already
    bool picking_ = false; // a pick is being handled: coming to the front is not a focus
};
