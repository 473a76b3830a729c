#pragma once
// What the bus-addressed device windows share: the part description, the taps and channels
// options, four wiper channel panels (slider, hidden position list, hex and decimal entry,
// write and read buttons, read-back, wiper voltage, Auto Read), the ACR and general-purpose
// register panels, the device address with its address pins and shutdown pin, the supply
// and AD panel, and the status lamps. The controls carry the program's names; a window
// derived from the core places the frames in its own layout and supplies its transfers.
//
// Window differences the core asks for:
//   - Variant: the hex commit's form, the extra event passes of the list click, the caption
//     of the wiper-voltage buttons;
//   - CMDxMIT_Click / cmdI2Read_Click: the window's wiper write and read.
#include "quad/quad_instruction.h"
#include "shell/activeform.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>

class Lamp;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class SupplyPanel;
class QCloseEvent;

class DeviceFormCore : public QMainWindow, public DeviceFormControls {
    Q_OBJECT
public:
    struct Variant {
        bool threeDigitHexCommit = true; // parts above 256 taps commit three hex digits
        int extraListPumps = 0;          // event passes after the list re-selects its entry
        const char* sampleCaption = "Rd Volts";
    };
    explicit DeviceFormCore(const Variant& variant);
    ~DeviceFormCore() override;

    // --- part description
    QLabel* lblProduct = nullptr; // "Manual Setup"

    // --- taps and channels
    QGroupBox* frmTaps = nullptr;          // "Taps"
    std::array<QRadioButton*, 8> OptTaps{}; // "16" .. "1024"; (6) "512" hidden
    QGroupBox* FrmChannels = nullptr;       // "DCPs"
    std::array<QRadioButton*, 3> OptChans{}; // "1", "2", "4"
    void OptTaps_Click(int Index);
    void OptChans_Click(int Index);
    // A part picked from a parameter table: the device model takes its counts, lblProduct its
    // description, and the channels and taps options with those counts are selected (a count
    // no option has selects none, and the option selected before stays).
    void takePartCounts(const QString& description, int channels, int taps);
    // Runs the handlers of the selected channels and taps options, so that panels, lists and
    // g_TapCount follow the options, also where a part's count selected none.
    void runSelectedCountOptions();

    // --- wiper channel panels, control arrays by channel
    std::array<QGroupBox*, 4> SSFrame3{}; // " Set  Wiper Position"
    std::array<QSlider*, 4> Slider1{};    // position + 1
    std::array<QListWidget*, 4> List1{};  // hidden: entry k is the text of position k
    std::array<QLineEdit*, 4> txtHexDataWrt{};
    std::array<QLineEdit*, 4> txtDECDataWrt{};
    std::array<QPushButton*, 4> CMDxMIT{}; // "Wiper-Write"
    std::array<QLabel*, 4> lblChanSend{};
    std::array<QGroupBox*, 4> SSFrame4{}; // "Read Wiper Position"
    std::array<QPushButton*, 4> cmdI2Read{}; // "Wiper-Read"
    std::array<QLabel*, 4> lblPotRead{};
    std::array<QLabel*, 4> lblPotReadhex{};
    std::array<QProgressBar*, 4> ProgressBar1{};
    std::array<QLabel*, 4> lblWiperVolts{};
    std::array<QPushButton*, 4> cmdSampleWiper{};
    std::array<QCheckBox*, 4> ChkAutoRead{};
    std::array<QLabel*, 4> lblChanRcvr{};
    std::array<QLineEdit*, 4> txtFactor{}; // hidden

    void Slider1_MouseDown(int Index);
    void Slider1_Scroll(int Index);
    void Slider1_Change(int Index);
    void Slider1_MouseUp(int Index);
    void List1_Scroll(int Index);
    void List1_Click(int Index);
    void txtHexDataWrt_KeyPress(int Index, int KeyAscii);
    void txtDECDataWrt_KeyPress(int Index, int KeyAscii);
    void ChkAutoRead_Click(int Index);
    // The window's wiper write and read of channel Index.
    virtual void CMDxMIT_Click(int Index) = 0;
    virtual void cmdI2Read_Click(int Index) = 0;
    // The device address field's rule on Enter and on leaving it: an I2C write address here,
    // an SPI ID byte in the SPI window.
    virtual QString deviceAddressRule(const QString& typed) const;

    // What both device windows do when they come to the front, on "Return to Main Menu" and on
    // their close box. `pumpBeforeUnload`: the I2C window lets events run once more before it
    // takes the quad consoles away.
    void activateDeviceWindow();
    void returnToMainMenu();
    void closeDeviceWindow(QCloseEvent* e, bool pumpBeforeUnload);
    // The parameter-file menus' wait: shows the parameter table for the family the flags name
    // and waits until it is done. False when the wait no longer serves this window's visit:
    // the window was returned to the menu meanwhile (its return closes the table), or a table
    // opened later for the other family ended it. Such a wait applies nothing and lays
    // nothing out.
    bool waitForParameterPick();
    // The wiper voltage of channel Index into lblWiperVolts(Index); also a service to the
    // quad consoles, which read the label afterwards.
    void cmdSampleWiper_Click(int Index);

    // --- ACR and general-purpose registers
    QGroupBox* SSFrame2 = nullptr; // "ACR Register Control"
    QLineEdit* txtACRAddress = nullptr;
    QLabel* Label2 = nullptr;               // "ACR Address"
    std::array<QLineEdit*, 2> txtACR{};     // (0) value to write, (1) read back
    QPushButton* cmdACRWrite = nullptr;
    QPushButton* cmdACRRead = nullptr;
    std::array<QRadioButton*, 2> Option1{}; // hidden: "IVR EEPROM", "WR Register"
    QCheckBox* chkShutdown = nullptr;       // hidden, ticked
    QLabel* lblShutDown = nullptr;          // hidden
    std::array<Lamp*, 4> Shape2{};
    QGroupBox* frmRegisterWrite = nullptr;  // "General Register Access"
    QLineEdit* txtGPAddress = nullptr;
    QLineEdit* txtGPWrite = nullptr;
    QLabel* lblGPRead = nullptr;
    QLabel* lblGDRs = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* cmdWriteGP = nullptr;
    QPushButton* cmdGPRead = nullptr;
    void Option1_Click(int Index);
    void chkShutdown_Click();

    // --- device address, address pins, shutdown pin
    QGroupBox* SSFrame5 = nullptr; // "I2C Addr"
    QLineEdit* txtDeviceAdr = nullptr;
    QPushButton* cmdSlave = nullptr; // "Default"
    QGroupBox* fraADDRSelect = nullptr; // "Address Select"
    std::array<QCheckBox*, 4> chkI2CAdr{};
    QLineEdit* txtCalcAddr = nullptr;
    QPushButton* cmdCopyAdr = nullptr;
    QGroupBox* FrmShutdown = nullptr; // "/ShutDown  /WP"
    QCheckBox* ChkShutDown2 = nullptr;
    void chkI2CAdr_Click(int Index);
    void ChkShutDown2_Click();
    void cmdCopyAdr_Click();
    void cmdSlave_Click();
    void txtDeviceAdr_KeyPress(int KeyAscii);
    void txtDeviceAdr_LostFocus();
    // The address of this window's transfers: the field's value with the read bit cleared.
    std::uint8_t deviceAddress() const;

    // --- supply and AD panel
    SupplyPanel* supply = nullptr;

    // --- status lamps: lblUSBChk(0..5) with ShpAttach, Shape1(1..4), Shp_USB_Transfer
    std::array<QLabel*, 6> lblUSBChk{};
    Lamp* ShpAttachLamp = nullptr;
    std::array<Lamp*, 5> Shape1{}; // (1) Write DCP, (2) Read DCP, (3) Timer Status, (4) DCP COMM
    Lamp* Shp_USB_Transfer = nullptr;
    QPushButton* cmdMMenu = nullptr; // "Return to Main Menu"

    // --- what shared code paints on the registered window
    Lamp* ShpAttach() override { return ShpAttachLamp; }
    Lamp* ShpVCCon() override;
    Lamp* ShVM() override;
    QRadioButton* OptVM(int index) override;
    QComboBox* CboVCC() override;
    QCheckBox* ChkTrack() override;
    void showSuppliesOff() override;

protected:
    // Points the quad console hooks of `bus` (address, wiper sample, in use) at the device
    // window `window` returns when a hook is called, or at the stand-ins when it returns none,
    // so that a console that outlives its window never reaches a dead one.
    static void linkQuadHooks(quad::Bus bus, std::function<DeviceFormCore*()> window);

    // Coming back to the front registers the window again: another window (the VCC
    // calibration, the script window) may have taken or cleared the registration meanwhile.
    bool event(QEvent* e) override;

    // Frames for the derived window's layout.
    QWidget* buildChannelPanels(); // the four write and read frames, one row per channel
    QWidget* buildStatusLamps();   // lblUSBChk with their lamps
    // Every list "0" .. taps, with the slider and bar maxima (the set-up's steps).
    void fillPositionLists(int taps);
    // The set-up steps both windows share: 128 taps on one channel (the other channel frames
    // hidden, the position lists filled) and the VCC list without a user code.
    void setUpOneChannelDefaults();
    // The hex text of a position into the hex field, its decimal text into the decimal field.
    void showPosition(int Index, int p);
    // The list entry's position: its number, 0 when none is selected or out of range.
    int listPosition(int Index) const;
    // Moves slider and list of channel Index to position p without counting as a user move.
    void moveQuietly(int Index, int p);
    // Enables or disables the channel's write and read buttons and the ACR buttons.
    void setTransferButtons(int Index, bool on);
    // Set by the window's wiper write when it refuses the position it was given (it has said
    // why): an entry commit then shows the position written before again.
    bool wiperWriteRefused_ = false;

    Variant variant_;

private:
    unsigned returns_ = 0; // returns to the menu: one visit ends at each
    void buildTapsAndChannels();
    void buildRegisterPanels();
    void buildAddressPanels();
    void commitPosition(int Index, int p);
};
