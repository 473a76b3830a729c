#pragma once
// The SPI device window: one potentiometer on the motherboard's SPI terminals (terminal 2
// for frames that write, terminal 3 for frames that read). The startup menu's "SPI" pick
// creates it on first use and shows it; it is then kept, hidden or shown. Its frames are
// the SpiDeviceFrame layouts of devices/spi_frame.h, shaped by the ID, instruction and
// byte-count fields below; success is judged by the reply's byte 1.
#include "devices/DeviceFormCore.h"
#include "devices/spi_frame.h"

#include <array>
#include <optional>
#include <vector>

class QAction;
class QMenu;

class frmDCP_SPI1 : public DeviceFormCore {
    Q_OBJECT
public:
    frmDCP_SPI1();

    // --- window-level controls
    QCheckBox* chkSendID = nullptr;      // "ID Enabled", in SSFrame5 "SPI Addr"
    QLineEdit* txtACRAddress1 = nullptr; // the ACR read instruction; txtACRAddress is the write one
    QLineEdit* txtGPAddress1 = nullptr;  // the GP read instruction; txtGPAddress is the write one
    QGroupBox* frmSPIClock = nullptr;    // "SPI clock frequency (MHz)"
    QComboBox* cboSPIClock = nullptr;
    QPushButton* cmdSetSPICLock = nullptr; // hidden "Update"
    QGroupBox* frmSPIParameters = nullptr; // "SPI Setup"
    QLineEdit* txtSPIWrCount = nullptr;
    QLineEdit* txtSPIRDQuantity = nullptr;
    QLineEdit* txtBaseDCPWriteAddress = nullptr;
    QLineEdit* txtBaseDCPReadAddress = nullptr;
    QGroupBox* frmCommInfo = nullptr; // hidden "I/O Information"
    QComboBox* cboRegSize = nullptr;
    QComboBox* cboDataSize = nullptr;
    QGroupBox* SSFMain = nullptr;     // "SPI Digital Poteniometer Control"
    QGroupBox* Frk4744Show = nullptr; // hidden: quad console links
    QPushButton* cmdStoreWCRs = nullptr;
    QPushButton* cmdShowk4744 = nullptr;
    QPushButton* cmdHID = nullptr; // hidden "HID"

    // --- menus
    QMenu* mnuDeviceSelect = nullptr; // "Device Select"
    QAction* mnu_SPI_List = nullptr;  // "SPI Parameter File"
    QAction* mnuZN3930 = nullptr;
    QAction* mnuZN3920 = nullptr;
    QAction* mnuScriptShow = nullptr; // "Script Execution"
    QAction* mnuAbout = nullptr;

    // --- life
    void Form_Load();
    void Form_Activate();
    void cmdMMenu_Click();

    // --- handlers
    void cboSPIClock_Click();
    void cmdHID_Click();
    void cmdShowk4744_Click();
    void cmdStoreWCRs_Click();
    void mnuScriptShow_Click();
    void mnuAbout_Click();
    void mnuZN3920_Click();
    void mnuZN3930_Click();
    void mnu_SPI_List_Click();

    // --- transfers
    void CMDxMIT_Click(int Index) override;
    void cmdI2Read_Click(int Index) override;
    void cmdACRWrite_Click();
    void cmdACRRead_Click();
    void cmdWriteGP_Click();
    void cmdGPRead_Click();

    // --- register entry boxes (Index 0 the write box, 1 the read box), checked on Enter and
    // on leaving them
    void txtACRAddress_KeyPress(int Index, int KeyAscii);
    void txtACRAddress_LostFocus(int Index);
    void txtACR_KeyPress(int Index, int KeyAscii);
    void txtACR_LostFocus(int Index);
    void txtGPAddress_KeyPress(int Index, int KeyAscii);
    void txtGPAddress_LostFocus(int Index);
    void txtGPWrite_KeyPress(int KeyAscii);
    void txtGPWrite_LostFocus();

    // The texts that shape this window's frames.
    spi::SpiWindowTexts frameTexts() const;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QString deviceAddressRule(const QString& typed) const override;
    void linkQuadConsole();
    // The quad console as this window names it; touching it creates it, hidden.
    static void captionQuadConsole();
    struct Preset;
    void applyPreset(const Preset& p);
    void buildMenus();
    QWidget* buildSpiFrames();
    bool vccOn() const;
    void connectRegisterBoxes();
    QLineEdit* acrAddressBox(int Index) const;
    QLineEdit* gpAddressBox(int Index) const;
    // The ACR value box Index checked against limit; g_AcrValue takes the value it keeps.
    void commitAcr(int Index, int limit);
    // Lamps lit from the success rule: green when good, red otherwise.
    void judge(const std::vector<QString>& replies, Lamp* a, Lamp* b);
    // A register frame with its buttons disabled meanwhile; lamp: the frame's own lamp.
    void writeRegister(const QString& address, const QString& value, QPushButton* write, QPushButton* read, Lamp* lamp);
    // The register read up to the display: the reply text to show, nullopt when refused.
    // The buttons stay disabled for the caller to enable.
    std::optional<QString> readRegister(const QString& address, QPushButton* write, QPushButton* read, Lamp* lamp);
};
