#pragma once
// The parameter table window: asks for a device parameter file, shows it as a grid and lets
// the user pick one part from it for the device window that opened it (I2C or SPI, by the
// family flags). It is not modal: the opening window waits, letting events run, until the
// table sets g_ParamTableDone, and then takes the pick from g_PickedRecord, which outlives
// this window.
#include "devices/parameter_file.h"

#include <QMainWindow>

#include <array>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QTimer;

class ProductExec : public QMainWindow {
    Q_OBJECT
public:
    ProductExec();

    QFrame* Frame1 = nullptr; // hidden until a file has been read
    QTableWidget* tGrid = nullptr;
    std::array<QLabel*, 18> lblField{};     // column titles
    std::array<QLabel*, 18> lblDeviceSel{}; // the picked row, cell k in label k
    QPushButton* cmdLoadParam = nullptr;    // "Re-Load"
    QPushButton* cmdReturn = nullptr;       // "Return"
    QTimer* Timer1 = nullptr;               // 600 ms after the load the file dialog opens
    QMenu* MnuFileMain = nullptr;           // "File"
    QAction* mnu_Open_Param = nullptr;      // "Open " (no handler of its own)

    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void MnuFileMain_Click();
    void cmdLoadParam_Click();
    // Fills the grid from the file; false when the file cannot be read or is no table, and
    // then it has said why and the grid is as it was.
    bool ReadParameters(const QString& FileName);
    void tGrid_Click();
    void cmdReturn_Click();

    // The family whose file the grid shows (none before a file was read).
    std::optional<params::Family> shownFamily() const { return shownFamily_; }
    // The family of the device window the table serves now: the one that showed it last.
    params::Family servedFamily() const { return served_; }
    void serve(params::Family f) { served_ = f; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    params::Family family() const;
    // Cancel, or a file that is no table: the window closes and the wait ends.
    void failLoad();
    void showFamilyWindow();
    // The table is done with the wait of the family it serves.
    void endWait();
    // Widens each column to its title and widest cell (the description up to a cap, the last
    // column kept narrow) and the window to the columns, within the screen.
    void fitColumns();

    std::optional<params::ParameterTable> table_;
    std::optional<params::Family> shownFamily_;
    bool refusedKeepingTable_ = false; // the last file chosen was refused; the table shown stayed
    params::Family served_ = params::Family::I2C;
};

// Opens the parameter table for the family the flags name, as the device windows' parameter
// file menus do: a table still loaded from a visit of the other family is closed first, so
// that the user chooses a file of this family. The caller has set its family flag and cleared
// g_ParamTableDone.
void showParameterTable();

// Shows the parameter table and lets events run until it is done (returned, closed, or its
// file choice failed). The pick, if any, is then in g_I2CPartPicked and g_PickedRecord.
// False when the table that ended the wait served the other family: a wait that began for
// one device window and ended with a table opened later by the other, whose pick is not
// this family's.
bool waitForParameterTable();
