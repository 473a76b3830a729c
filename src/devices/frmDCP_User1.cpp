#include "devices/frmDCP_User1.h"

#include "bridge/frmMainF340.h"
#include "controls/event_hook.h"
#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "devices/device_model.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "platform/services.h"
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "scripts/frmScriptOps.h"
#include "shell/about.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

using namespace devices;

namespace {

constexpr int kGreen = 10, kDarkGreen = 2, kRed = 12;
constexpr int kAddressPin0 = 6, kShutdownPin = 10, kBusSwitchPin = 11;

const QString kVccOff = QStringLiteral("VCC is not turned on.");

frmMainF340& console() { return forms().frmMainF340(); }
frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

// Success lamps alternate between the two greens, so repeated successes blink.
void blink(Lamp* lamp) { lamp->setFillColor(lamp->fillColor() == kGreen ? kDarkGreen : kGreen); }

QWidget* picture(const QString& text)
{
    auto* l = new QLabel(text);
    l->setFrameShape(QFrame::Box);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumSize(36, 24);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

frmDCP_User1::frmDCP_User1() : DeviceFormCore(Variant{})
{
    setWindowTitle("Vantrel I2C DCP Evaluation");

    FrI2CCLOCK = new QGroupBox("I2C Clock  (kHz)");
    cboI2CClock = new QComboBox;
    (new QVBoxLayout(FrI2CCLOCK))->addWidget(cboI2CClock);
    connect(cboI2CClock, &QComboBox::currentIndexChanged, this, [this] { cboI2CClock_Click(); });

    frmCommInfo = new QGroupBox("I/O Information", this);
    auto* ci = new QHBoxLayout(frmCommInfo);
    cboRegSize = new QComboBox;
    cboDataSize = new QComboBox;
    ci->addWidget(cboRegSize);
    ci->addWidget(cboDataSize);
    frmCommInfo->hide();

    SSFMain = new QGroupBox("I2C Digital Poteniometer Control");
    auto* main = new QVBoxLayout(SSFMain);
    main->addWidget(buildChannelPanels());
    auto* all = new QHBoxLayout;
    cmdReadAllWipers[0] = new QPushButton("Read All");
    cmdReadAllWipers[1] = new QPushButton("Set Write = Read");
    all->addWidget(cmdReadAllWipers[0]);
    all->addWidget(cmdReadAllWipers[1]);
    for (int i = 0; i < 2; ++i)
        connect(cmdReadAllWipers[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdReadAllWipers_Click(i); });
    Frk4744Show = new QGroupBox;
    auto* q = new QHBoxLayout(Frk4744Show);
    cmdStoreWCRs = new QPushButton("Store WCRs >> R0");
    cmdShowk4744 = new QPushButton("Show Instruction Set Form");
    for (QPushButton* b : {cmdStoreWCRs, cmdShowk4744})
        q->addWidget(b);
    connect(cmdStoreWCRs, &QPushButton::clicked, this, [this] { cmdStoreWCRs_Click(); });
    connect(cmdShowk4744, &QPushButton::clicked, this, [this] { cmdShowk4744_Click(); });
    Frk4744Show->hide();
    all->addWidget(Frk4744Show);
    all->addStretch(1);
    main->addLayout(all);
    main->addStretch(1);

    // Left column: clock, address, pins, taps and channels, lamps, return.
    auto* left = new QVBoxLayout;
    left->addWidget(FrI2CCLOCK);
    left->addWidget(SSFrame5);
    left->addWidget(fraADDRSelect);
    left->addWidget(FrmShutdown);
    auto* options = new QHBoxLayout;
    options->addWidget(FrmChannels);
    options->addWidget(frmTaps);
    left->addLayout(options);
    left->addWidget(buildStatusLamps());
    left->addStretch(1);
    Picture1 = picture("Vantrel");
    left->addWidget(Picture1);
    left->addWidget(cmdMMenu);

    // Right column: supply, registers, the special parts' frames.
    auto* right = new QVBoxLayout;
    right->addWidget(supply->fraVCC);
    right->addWidget(supply->FraVminus);
    right->addWidget(SSFrame2);
    right->addWidget(frmRegisterWrite);
    buildSpecialFrames();
    // The special parts' frames sit in the main frame below the channels, where the room the
    // channel rows leave is: the K6627/8 console comes with a one-channel part, and the K4736
    // panel, wide and low, fits under its four channels. In the right column either would
    // make the window too tall for a 1080-line screen.
    for (QWidget* special : {static_cast<QWidget*>(frk662x), static_cast<QWidget*>(Frk4736)})
        main->insertWidget(main->count() - 1, special, 0, Qt::AlignLeft);
    right->addStretch(1);
    auto* pictures = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        Picture2[size_t(i)] = picture(QString::number(i + 1));
        pictures->addWidget(Picture2[size_t(i)]);
        onEvent(Picture2[size_t(i)], QEvent::MouseButtonDblClick, [this, i] { Picture2_DblClick(i); });
    }
    right->addLayout(pictures);
    onEvent(Picture1, QEvent::MouseButtonDblClick, [this] { Picture1_DblClick(); });

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(SSFMain, 1);
    columns->addLayout(right);

    auto* central = new QWidget;
    auto* v = new QVBoxLayout(central);
    v->addWidget(lblProduct);
    v->addLayout(columns, 1);
    setCentralWidget(central);

    buildMenus();
    connectRegisterPanels();

    connect(cmdMMenu, &QPushButton::clicked, this, [this] { cmdMMenu_Click(); });
    supply->afterSetVcc = [this](int) {
        ChkShutDown2_Click();
        supply->cmdUpdateVCC_Click();
    };
}

void frmDCP_User1::buildSpecialFrames()
{
    ::frk662x::Host kHost;
    kHost.deviceAddress = [this] { return txtDeviceAdr->text(); };
    kHost.readLamp = Shape1[2];
    kHost.commLamp = Shape1[4];
    kHost.keepReadValue = [](int value) { g_ReadValues[6] = static_cast<std::int16_t>(value); };
    frk662x = new ::frk662x(kHost);
    frk662x->hide();

    ::Frk4736::Host pHost;
    pHost.setStatusText = [this](const QString& s) { txtACR[0]->setText(s); };
    pHost.showStatusReadBack = [this](bool on) {
        cmdACRRead->setVisible(on);
        txtACR[1]->setVisible(on);
        Shape2[1]->setVisible(on);
    };
    pHost.writeStatus = [this] { cmdACRWrite_Click(); };
    pHost.readStatus = [this] { cmdACRRead_Click(); };
    pHost.enterWiperHex = [this](int k, const QString& hex) {
        txtHexDataWrt[size_t(k)]->setText(hex);
        txtHexDataWrt_KeyPress(k, 13);
    };
    pHost.readWiper = [this](int k) { cmdI2Read_Click(k); };
    pHost.sampleWiper = [this](int k) { cmdSampleWiper_Click(k); };
    Frk4736 = new ::Frk4736(pHost);
    Frk4736->hide();
}

void frmDCP_User1::buildMenus()
{
    mnuDeviceSelect = menuBar()->addMenu("Device Select");
    mnu_I2cList = mnuDeviceSelect->addAction("I2C Parameter File");
    connect(mnu_I2cList, &QAction::triggered, this, [this] { mnu_I2cList_Click(); });
    QAction** presets[] = {&mnu_ZN3710, &mnu_ZN3740, &mnuZN3750, &mnuZN3810};
    for (int i = 0; i < int(kI2CPresets.size()); ++i) {
        *presets[i] = mnuDeviceSelect->addAction(kI2CPresets[size_t(i)].caption);
        connect(*presets[i], &QAction::triggered, this, [this, i] { applyPreset(i); });
    }
    mnuScriptShow = menuBar()->addAction("Script Execution");
    connect(mnuScriptShow, &QAction::triggered, this, [this] { mnuScriptShow_Click(); });
    mnuAbout = menuBar()->addAction("About");
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

// ---------------------------------------------------------------------------------------
// Set-up, activation, return, close

void frmDCP_User1::Form_Load()
{
    g_ActiveForm = this;
    linkCompanionWindows();
    frmMotherboardDAQ2& mb = motherboard();
    txtACRAddress->setEnabled(true);
    for (int k = 0; k < 4; ++k) {
        lblChanSend[size_t(k)]->setText(QString::number(k));
        lblChanRcvr[size_t(k)]->setText(QString::number(k));
    }
    SSFrame2->setTitle("ACR Register Control");
    Label2->setText("ACR Address");
    Frk4736->hide();
    frk662x->hide();

    pinDefaults();
    g_ActiveForm = this;

    g_SliderSyncBusy = g_ListSyncBusy = g_ListTouched = g_SliderTouched = false;
    g_SuppressTouch = g_HexEntryPending = g_DecEntryPending = false;
    g_I2CFamily = true;
    g_SPIFamily = false;
    txtACRAddress->setText("02");
    txtDeviceAdr->setText("50");

    setUpOneChannelDefaults();

    cboRegSize->clear();
    cboRegSize->addItems({"None", "1 Byte", "2 Bytes"});
    cboDataSize->clear();
    cboDataSize->addItems({"None", "1-Byte", "2-Bytes"});
    cboRegSize->setCurrentIndex(1);
    cboDataSize->setCurrentIndex(1);

    Option1[1]->setChecked(true);

    mb.chkPData[kBusSwitchPin]->setChecked(false); // I2C
    mb.chkPData_Click(kBusSwitchPin);
    platform::pumpEvents();
    setUpDone_ = true;
}

void frmDCP_User1::Form_Activate() { activateDeviceWindow(); }

void frmDCP_User1::cmdMMenu_Click() { returnToMainMenu(); }

void frmDCP_User1::closeEvent(QCloseEvent* e) { closeDeviceWindow(e, true); }

// ---------------------------------------------------------------------------------------
// Window-level handlers

void frmDCP_User1::cboI2CClock_Click()
{
    const int i = cboI2CClock->currentIndex();
    if (i < 0)
        return;
    frmMainF340& c = console();
    c.cboSMBusFrequency->setCurrentIndex(i);
    c.cboSMBusFrequency_Click();
}

void frmDCP_User1::cmdReadAllWipers_Click(int Index)
{
    // The count may come from a parameter file row; the window has four panels.
    const int channels = std::clamp<int>(g_ChannelCount, 0, 4);
    if (Index == 0) {
        for (int k = 0; k < channels; ++k)
            cmdI2Read_Click(k);
        platform::pumpEvents();
        return;
    }
    for (int k = 0; k < channels; ++k) {
        const size_t i = size_t(k);
        const QString shown = lblPotReadhex[i]->text();
        // A panel that has read nothing yet shows a placeholder, no position.
        if (!isHexDigits(shown) || shown == "000")
            continue;
        const int v = HexToInt(shown);
        g_WriteValues[6] = v;
        txtDECDataWrt[i]->setText(QString::number(v));
        g_ListTouched = false;
        g_SliderTouched = false;
        if (v >= g_TapCount) {
            // The slider ends at the tap count: the list takes the position itself, so the
            // write it makes is the position read, not the one below.
            Slider1[i]->setValue(Slider1[i]->maximum());
            List1[i]->setCurrentRow(v);
        } else {
            Slider1[i]->setValue(v + 1);
            List1[i]->setCurrentRow(Slider1[i]->value() - 1);
        }
        platform::pumpEvents();
    }
}

void frmDCP_User1::cmdShowk4744_Click()
{
    if (!motherboard().OptVCC[0]->isChecked()) {
        platform::msgBox(kVccOff, platform::vbOKOnly, QString());
        return;
    }
    forms().frm_k4744.show();
}

void frmDCP_User1::cmdStoreWCRs_Click() { forms().frm_k4744().storeWcrsToR0(); }

void frmDCP_User1::mnuScriptShow_Click()
{
    g_I2CFamily = true;
    g_SPIFamily = false;
    platform::pumpEvents();
    platform::pumpEvents();
    forms().frmScriptOps.show();
}

void frmDCP_User1::linkCompanionWindows()
{
    // The hooks ask the I2C window loaded at the time of the call, so a console or script
    // window that outlives this window falls back to its stand-ins instead of a dead window.
    const auto window = [] { return forms().frmDCP_User1.get(); };
    scriptWindowLinks().deviceAddressText = [window] {
        frmDCP_User1* w = window();
        return w ? w->txtDeviceAdr->text() : QStringLiteral("50");
    };
    linkQuadHooks(quad::Bus::I2C, [window] { return static_cast<DeviceFormCore*>(window()); });
}

void frmDCP_User1::mnuAbout_Click() { forms().frmAbout2.show(); }

void frmDCP_User1::Picture1_DblClick() { forms().frmMotherboardDAQ2.show(); }

void frmDCP_User1::Picture2_DblClick(int Index)
{
    if (Index == 4)
        forms().frmMotherboardDAQ2.show();
}

void frmDCP_User1::applyPreset(int row)
{
    if (row < 0 || row >= int(kI2CPresets.size()))
        return;
    const DevicePreset& p = kI2CPresets[size_t(row)];
    g_I2CFamily = true;
    g_SPIFamily = false;
    // An earlier parameter-file part may have left the console without its register byte;
    // a preset part needs the standard options.
    frmMainF340& c = console();
    c.chk2WireRead->setChecked(false);
    c.chkRandom->setChecked(true);
    c.setI2Coptions(0);
    txtACRAddress->setEnabled(true);

    Frk4736->hide();
    frk662x->hide();
    txtACRAddress->setText(p.acrAddress);
    txtDeviceAdr->setText(p.address);
    g_TapCount = static_cast<std::int16_t>(kTapCounts[size_t(p.tapsIndex)]);
    g_ChannelCount = static_cast<std::int16_t>(p.channels);
    for (int k = 0; k < 4; ++k)
        g_ChannelMap[size_t(k)] = static_cast<std::int16_t>(k);
    lblProduct->setText(p.product);
    OptChans[size_t(p.chansIndex)]->setChecked(true);
    OptTaps[size_t(p.tapsIndex)]->setChecked(true);
    OptTaps_Click(p.tapsIndex);
    platform::pumpEvents();
    cboRegSize->setCurrentIndex(1);
    cboDataSize->setCurrentIndex(1);
    txtCalcAddr->setText(txtDeviceAdr->text());
    g_WriteAddress = deviceAddress();
}

// ---------------------------------------------------------------------------------------
// Wiper transfers

void frmDCP_User1::vccCheck()
{
    if (!motherboard().OptVCC[0]->isChecked())
        platform::msgBox(kVccOff, platform::vbOKOnly, QString());
}

void frmDCP_User1::Wrt_DCP(int Reg)
{
    vccCheck();
    if (Reg < 0 || Reg > 3)
        return;
    const bool quad = lblProduct->text().startsWith("K4744/5");
    const int size = cboDataSize->currentIndex();
    const QString s = txtHexDataWrt[size_t(Reg)]->text();
    const WiperWrite w = wiperWriteBytes(Reg, s, size, quad, Reg);
    if (!w.error.isEmpty()) {
        wiperWriteRefused_ = true;
        platform::msgBox(w.error, platform::vbOKOnly, QString());
        return;
    }
    frmMainF340& c = console();
    g_I2CAddress = deviceAddress();
    c.txtNumToWrite->setText(QString::number(w.data.size()));
    if (quad) {
        c.txtStartRegWr->setText(Hex2(w.data[0]));
    } else if (size == 2) {
        c.txtStartRegWr->setText("A0");
        frk662x->txtWrK6628[0]->setText(s);
    } else {
        c.txtStartRegWr->setText(Hex2(static_cast<std::uint8_t>(Reg)));
    }
    for (size_t j = 0; j < w.data.size(); ++j)
        c.txtWriteVal[j]->setText(Hex2(w.data[j]));
    g_BridgeStatus = 0; // a transfer the console refuses must not show an earlier success
    c.cmdWrite_Click();
    if (g_BridgeStatus == 8) {
        Shape1[4]->setFillColor(kGreen);
        blink(Shape1[1]);
    } else {
        Shape1[4]->setFillColor(kRed);
        Shape1[1]->setFillColor(kRed);
        platform::pumpEvents();
        platform::msgBox("Write DCP Error, Check Device Address, VCC & AVDD Power and I2C Connections ",
                         platform::vbOKOnly, " Error during Write to DCP ");
    }
}

bool frmDCP_User1::Read_DCP(int Reg)
{
    vccCheck();
    frmMainF340& c = console();
    int value = 0;
    if (!lblProduct->text().startsWith("K4744/5")) {
        const int size = cboDataSize->currentIndex();
        if ((size != 1 && size != 2) || Reg < 0 || Reg >= int(c.txtReadVal.size()))
            return false; // nothing to read: no transfer, lamps and display as they are
        g_I2CAddress = deviceAddress();
        c.txtNumToRead->setText(QString::number(size));
        c.txtStartRegRD->setText(size == 1 ? Hex2(static_cast<std::uint8_t>(Reg)) : QString("80"));
        g_BridgeStatus = 0;
        c.cmdRead_Click();
        if (g_BridgeStatus == 8) {
            if (size == 1) {
                value = HexToInt(c.txtReadVal[size_t(Reg)]->text());
            } else {
                value = (HexToInt(c.TXTI2C[0]->text()) & 3) * 256 + HexToInt(c.TXTI2C[1]->text());
                frk662x->lblRdk662x[0]->setText(QString::number(value, 16).toUpper());
            }
        }
    } else {
        // Quad parts answer a read instruction while P0.6 is high.
        const auto portP0 = [&c]() -> std::optional<std::uint8_t> {
            c.txtSFRAddress->setText("80");
            c.cmdGetSDFValue_Click();
            return HexByte(c.lblSFRBuf[3]->text());
        };
        const auto setP0 = [&c](std::uint8_t v) {
            c.txtSFRAddress->setText("80");
            c.txtSFRWRData->setText(Hex2(v));
            c.cmdSetSFR_Click();
        };
        // A port read that got no answer must not be written back: it would drive every P0
        // latch low, the I2C lines included.
        if (const auto p0 = portP0())
            setP0(static_cast<std::uint8_t>(*p0 | 0x40));
        platform::pumpEvents();
        platform::sleepMs(20);
        g_I2CAddress = deviceAddress();
        c.txtNumToRead->setText("1");
        c.txtStartRegRD->setText(Hex2(static_cast<std::uint8_t>(0x90 + Reg)));
        g_BridgeStatus = 0;
        c.cmdRead_Click();
        if (g_BridgeStatus == 8)
            value = HexToInt(c.TXTI2C[0]->text());
        if (const auto p0 = portP0())
            setP0(static_cast<std::uint8_t>(*p0 & 0xBF));
    }
    if (g_BridgeStatus == 8) {
        g_ReadValues[6] = value;
        blink(Shape1[2]);
        Shape1[4]->setFillColor(kGreen);
        return true;
    }
    Shape1[2]->setFillColor(kRed);
    Shape1[4]->setFillColor(kRed);
    platform::pumpEvents();
    platform::msgBox("Read DCP Error, Check Device Addreess, VCC & AVDD Power and I2C Connections ",
                     platform::vbOKOnly, " Error during DCP Read ");
    return false;
}

void frmDCP_User1::CMDxMIT_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    setTransferButtons(Index, false);
    if (g_HexEntryPending)
        txtHexDataWrt_KeyPress(g_HexEntryIndex, 13);
    if (g_DecEntryPending)
        txtDECDataWrt_KeyPress(g_DecEntryIndex, 13);
    platform::pumpEvents();
    g_WriteAddress = deviceAddress();
    Wrt_DCP(g_ChannelMap[size_t(Index)]);
    platform::pumpEvents();
    // While the K4736 fill writes its data registers a read-back would select the wiper
    // registers again, and the rest of the bank would land there.
    if (ChkAutoRead[size_t(Index)]->isChecked() && !Frk4736->filling()) {
        platform::sleepMs(50);
        cmdI2Read_Click(Index);
        platform::pumpEvents();
    }
    platform::pumpEvents();
    platform::sleepMs(20);
    setTransferButtons(Index, true);
    platform::pumpEvents();
}

void frmDCP_User1::cmdI2Read_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const size_t k = size_t(Index);
    // A K4736 answers with its wiper only while the status selects the wiper registers.
    if (lblProduct->text().startsWith("K4736") && txtACR[0]->text() != "00")
        Frk4736->selectStatus(0);
    setTransferButtons(Index, false);
    platform::pumpEvents();
    g_WriteAddress = deviceAddress();
    if (Read_DCP(g_ChannelMap[k])) {
        const int v = std::min<int>(g_ReadValues[6], g_TapCount);
        ProgressBar1[k]->setValue(v);
        lblPotRead[k]->setText(QString::number(v));
        lblPotReadhex[k]->setText(positionHex(v));
    }
    platform::pumpEvents();
    cmdSampleWiper_Click(Index);
    platform::pumpEvents();
    platform::sleepMs(20);
    setTransferButtons(Index, true);
    platform::pumpEvents();
}
