#pragma once
// The I2C device window: one potentiometer on the board's I2C bus. It is created hidden
// while the bridge console loads (the console fills its clock list) and set up then; the
// startup menu shows it on the "I2C" pick. Its wiper transfers go through the bridge
// console's block transfer (txtNumToWrite, txtStartRegWr, txtWriteVal, cmdWrite_Click and
// their read twins), its pins through the motherboard window's port image.
#include "devices/DeviceFormCore.h"

#include <array>

class QAction;
class QMenu;

class frmDCP_User1 : public DeviceFormCore {
    Q_OBJECT
public:
    frmDCP_User1();

    // --- window-level controls
    QGroupBox* FrI2CCLOCK = nullptr; // "I2C Clock  (kHz)"
    QComboBox* cboI2CClock = nullptr;
    QGroupBox* frmCommInfo = nullptr; // hidden "I/O Information"
    QComboBox* cboRegSize = nullptr;  // "None", "1 Byte", "2 Bytes"
    QComboBox* cboDataSize = nullptr; // "None", "1-Byte", "2-Bytes": data bytes of a wiper transfer
    QGroupBox* SSFMain = nullptr;     // "I2C Digital Poteniometer Control"
    std::array<QPushButton*, 2> cmdReadAllWipers{}; // "Read All", "Set Write = Read"
    QGroupBox* Frk4744Show = nullptr; // hidden: quad console links
    QPushButton* cmdStoreWCRs = nullptr;
    QPushButton* cmdShowk4744 = nullptr;
    QGroupBox* frk662x = nullptr;     // "K6627/8 Table 3 Instruction Set"
    std::array<QLineEdit*, 5> txtWrK6628{}; // (0) wiper, (1..4) data registers
    std::array<QLabel*, 5> lblRdk662x{};
    QGroupBox* Frk4736 = nullptr;     // "k4736 "
    QWidget* Picture1 = nullptr;
    std::array<QWidget*, 5> Picture2{};

    // --- menus
    QMenu* mnuDeviceSelect = nullptr;  // "Device Select"
    QAction* mnu_I2cList = nullptr;    // "I2C Parameter File"
    QAction* mnu_ZN3710 = nullptr;
    QAction* mnu_ZN3740 = nullptr;
    QAction* mnuZN3750 = nullptr;
    QAction* mnuZN3810 = nullptr;
    QAction* mnuScriptShow = nullptr;  // "Script Execution"
    QAction* mnuAbout = nullptr;

    // --- life
    void Form_Load();
    void Form_Activate();
    void cmdMMenu_Click();

    // --- handlers
    void cboI2CClock_Click();
    void cmdReadAllWipers_Click(int Index);
    void cmdShowk4744_Click();
    void cmdStoreWCRs_Click();
    void mnuScriptShow_Click();
    void mnuAbout_Click();
    void Picture1_DblClick();
    void Picture2_DblClick(int Index);
    // A preset of the "Device Select" menu, by its row in devices::kI2CPresets.
    void applyPreset(int row);
    void mnu_ZN3710_Click() { applyPreset(0); }
    void mnu_ZN3740_Click() { applyPreset(1); }
    void mnuZN3750_Click() { applyPreset(2); }
    void mnuZN3810_Click() { applyPreset(3); }

    // --- wiper transfers
    // Writes wiper register Reg from txtHexDataWrt(Reg). Nothing is sent when the entry does
    // not fit the part's register layout; a message says so.
    void Wrt_DCP(int Reg);
    // Reads wiper register Reg into g_ReadValues(6); true when a value was read.
    bool Read_DCP(int Reg);
    void CMDxMIT_Click(int Index) override;
    void cmdI2Read_Click(int Index) override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    QWidget* buildSpecialFrames();
    // Points the script window's address and the I2C quad console's hooks at this window.
    void linkCompanionWindows();
    void vccCheck();
    bool setUpDone_ = false;
};
