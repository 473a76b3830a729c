#pragma once
// The I2C device window: one potentiometer on the board's I2C bus. It is created hidden
// while the bridge console loads (the console fills its clock list) and set up then; the
// startup menu shows it on the "I2C" pick. Its wiper transfers go through the bridge
// console's block transfer (txtNumToWrite, txtStartRegWr, txtWriteVal, cmdWrite_Click and
// their read twins), its pins through the motherboard window's port image.
#include "devices/DeviceFormCore.h"
#include "devices/Frk4736.h"
#include "devices/frk662x.h"

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
    ::frk662x* frk662x = nullptr;     // the K6627/K6628 register console
    ::Frk4736* Frk4736 = nullptr;     // the K4736 pins and banks
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

    // --- ACR and general-purpose registers: one byte at a register address of the chip.
    // The entry fields are checked on Enter and on leaving them (a byte 01..FF as typed,
    // anything else "00").
    void txtACR_KeyPress(int Index, int KeyAscii);
    void txtACR_LostFocus(int Index);
    void txtACRAddress_KeyPress(int KeyAscii);
    void txtACRAddress_LostFocus();
    void txtGPAddress_KeyPress(int KeyAscii);
    void txtGPAddress_LostFocus();
    void txtGPWrite_KeyPress(int KeyAscii);
    void txtGPWrite_LostFocus();
    void cmdACRWrite_Click();
    void cmdACRRead_Click();
    void cmdWriteGP_Click();
    void cmdGPRead_Click();

    // --- "I2C Parameter File": pick a part from a parameter table and lay the window out
    // for its family.
    void mnu_I2cList_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    // The K6627/8 console and the K4736 panel, hidden until a part of theirs is picked.
    void buildSpecialFrames();
    // Points the script window's address and the I2C quad console's hooks at this window.
    void linkCompanionWindows();
    void vccCheck();
    void connectRegisterPanels();
    // One register byte over the console: false when the field texts are no bytes (a message
    // says so and nothing is sent), else the transfer ran and g_BridgeStatus tells how.
    bool writeRegister(const QString& what, const QString& address, const QString& value);
    bool readRegister(const QString& what, const QString& address);
    // The start of a register transfer: false, after its message, when the part has no such
    // register; else the supply warning (the transfer goes on after it).
    bool registerPresent(QLineEdit* address, const QString& noneMessage);
    // After a status write of a K4736: the bank and the register names in the captions.
    void showK4736Status();
    // Address pins low, the shutdown / write-protect pin high, the address pins shown.
    void pinDefaults();
    void standardLayout();
    void applyPickedRecord();
    void familyLayout();
    bool setUpDone_ = false;
};
