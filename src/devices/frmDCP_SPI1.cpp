#include "devices/frmDCP_SPI1.h"

#include "bridge/frmMainF340.h"
#include "bridge/protocol.h"
#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "devices/FrmK6623.h"
#include "devices/SupplyPanel.h"
#include "devices/device_model.h"
#include "devices/spi_frame_send.h"
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

constexpr int kGreen = 10, kRed = 12;
constexpr int kShutdownPin = 10, kBusSwitchPin = 11;

const QString kVccOff = QStringLiteral("VCC is not turned on.");

frmMainF340& console() { return forms().frmMainF340(); }
frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

QLineEdit* field(const QString& text, const char* tip)
{
    auto* e = new QLineEdit(text);
    e->setFixedWidth(44);
    e->setToolTip(tip);
    return e;
}

// Limits of the register boxes: the instruction boxes of the ACR hold a byte; the value and GP
// boxes also keep "100", which the terminal then refuses to send. The ACR value box keeps it
// on Enter only.
constexpr int kByteLimit = 0xFF, kBoxLimit = 0x100;
const QString kRegisterDefault = QStringLiteral("00");

// Every typed key of box reaches keyPress; Enter is then dropped from the text.
void passKeys(QLineEdit* box, std::function<void(int)> keyPress)
{
    KeyFilter::on(box)->keyPress = [keyPress = std::move(keyPress)](int& KeyAscii) {
        const int key = KeyAscii;
        if (key == kKeyReturn)
            KeyAscii = 0;
        keyPress(key);
    };
}

void checkBox(QLineEdit* box, int limit) { box->setText(spiBoxText(box->text(), limit, kRegisterDefault)); }

} // namespace

struct frmDCP_SPI1::Preset {
    const char* product;
    const char* writeCount;
    const char* readCount;
    const char* acrWrite;
    const char* acrRead;
    const char* id;
    bool sendId;
    const char* gpWrite;
    const char* gpRead;
    const char* baseWrite;
    const char* baseRead;
    int tapsIndex;
};

// Two-digit hex commits; the list click lets events run three times more before it writes.
frmDCP_SPI1::frmDCP_SPI1() : DeviceFormCore(Variant{false, 3, "RW Volts"})
{
    setWindowTitle("Vantrel  SPI DCP Evaluation");

    // The core's frames in their SPI dress.
    SSFrame5->setTitle("SPI Addr");
    txtDeviceAdr->setText("NA");
    txtDeviceAdr->setToolTip("DCP SPI Address (If used)");
    chkSendID = new QCheckBox("ID Enabled");
    chkSendID->setToolTip("Check to add ID Byte during SPI Operation");
    SSFrame5->layout()->addWidget(chkSendID);
    FrmShutdown->setTitle("/ShutDown");
    ChkShutDown2->setText("/ShutDown");
    ChkShutDown2->setToolTip("Used to set WP pin on those devices with a dedicated protection Pin.");
    for (QCheckBox* c : chkI2CAdr)
        c->setToolTip("Sets Device ID Value");
    txtCalcAddr->hide();
    cmdCopyAdr->hide();

    auto* acr = static_cast<QGridLayout*>(SSFrame2->layout());
    Label2->setText("Wr / Rd Instruction");
    txtACRAddress->setText("40");
    txtACRAddress->setToolTip("Write Address of ACR Register");
    txtACRAddress1 = field("60", "Read Address of ACR Register");
    acr->addWidget(txtACRAddress1, 0, 2);
    txtACR[0]->setToolTip("Enter value to write to ACR Register");
    txtACR[1]->setToolTip("Value Read back from ACR Register");
    cmdACRWrite->setToolTip("Write to ACR Register");
    cmdACRRead->setToolTip("Read from ACR Register");
    chkShutdown->setToolTip("Uncheck to enable shutdown (Shut Down is Active Low)");

    auto* gp = static_cast<QGridLayout*>(frmRegisterWrite->layout());
    Label5->hide();
    lblGDRs->hide();
    txtGPAddress->setText("C4");
    txtGPAddress->setToolTip("Write Address of GP Register");
    txtGPAddress1 = field("84", "Read Address of GP Register");
    gp->addWidget(txtGPAddress1, 1, 2);

    frmTaps->setToolTip("Sets number of DCP Taps");
    OptTaps[5]->setToolTip("Number of Taps");
    FrmChannels->setToolTip("Sets number of DCP Channels");
    OptChans[0]->setToolTip("Sngle Channel DCP");
    OptChans[1]->setToolTip("Dual Channel DCP");
    OptChans[2]->setToolTip("Quad Channel DCP");
    frmCommInfo = new QGroupBox("I/O Information", this);
    auto* ci = new QHBoxLayout(frmCommInfo);
    cboRegSize = new QComboBox;
    cboDataSize = new QComboBox;
    ci->addWidget(new QLabel("Address Size"));
    ci->addWidget(cboRegSize);
    ci->addWidget(new QLabel("Data Size"));
    ci->addWidget(cboDataSize);
    frmCommInfo->hide();

    SSFMain = new QGroupBox("SPI Digital Poteniometer Control");
    auto* main = new QVBoxLayout(SSFMain);
    QWidget* spiFrames = buildSpiFrames();
    main->addWidget(spiFrames);
    main->addWidget(buildChannelPanels());
    for (int k = 0; k < 4; ++k) {
        const size_t i = size_t(k);
        CMDxMIT[i]->setToolTip("Executes a write transaction which sets the DCP's wiper position.");
        cmdI2Read[i]->setToolTip("Executes an SPI read of the DCP's wiper position.");
        ChkAutoRead[i]->setToolTip("If checked, program will automatically read back the wiper position after each "
                                   "write to the DCP device.");
        cmdSampleWiper[i]->setToolTip(k == 0 ? "Click to sample Wiper Voltage, Measures DC Volts on Vin0-3 Connector "
                                               "of Motherboard."
                                             : "Click to sample Wiper Voltage");
    }

    Frk4744Show = new QGroupBox;
    auto* q = new QVBoxLayout(Frk4744Show);
    cmdStoreWCRs = new QPushButton("Store WCRs >> R0");
    cmdStoreWCRs->setToolTip("Write Wipers (WCRs) to Registers 0 for recall on power up.");
    cmdShowk4744 = new QPushButton("Show Instruction Set Form");
    cmdShowk4744->setToolTip("Click to show Instruction Set and DCP Detail Form.");
    q->addWidget(cmdStoreWCRs);
    q->addWidget(cmdShowk4744);
    connect(cmdStoreWCRs, &QPushButton::clicked, this, [this] { cmdStoreWCRs_Click(); });
    connect(cmdShowk4744, &QPushButton::clicked, this, [this] { cmdShowk4744_Click(); });
    Frk4744Show->hide();
    // A quad part shows these buttons where its register frames, which it hides, were.
    static_cast<QGridLayout*>(spiFrames->layout())->addWidget(Frk4744Show, 0, 2, 3, 2);
    main->addStretch(1);

    cmdHID = new QPushButton("HID");
    cmdHID->hide();
    connect(cmdHID, &QPushButton::clicked, this, [this] { cmdHID_Click(); });

    auto* left = new QVBoxLayout;
    auto* options = new QHBoxLayout;
    options->addWidget(FrmChannels);
    options->addWidget(frmTaps);
    left->addLayout(options);
    left->addWidget(FrmShutdown);
    left->addWidget(buildStatusLamps());
    // Only "Write DCP" and "Read DCP" show here.
    Shape1[4]->hide();
    lblUSBChk[4]->hide();
    left->addWidget(cmdHID);
    left->addStretch(1);
    left->addWidget(cmdMMenu);

    supply->tipCalibrationFields();
    auto* right = new QVBoxLayout;
    right->addWidget(supply->fraVCC);
    right->addWidget(supply->FraVminus);
    right->addStretch(1);

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

    connect(cmdMMenu, &QPushButton::clicked, this, [this] { cmdMMenu_Click(); });
    connect(cmdACRWrite, &QPushButton::clicked, this, [this] { cmdACRWrite_Click(); });
    connect(cmdACRRead, &QPushButton::clicked, this, [this] { cmdACRRead_Click(); });
    connect(cmdWriteGP, &QPushButton::clicked, this, [this] { cmdWriteGP_Click(); });
    connect(cmdGPRead, &QPushButton::clicked, this, [this] { cmdGPRead_Click(); });
    // Also when the bridge console selects the board's clock here: the divider goes back to
    // the board from this list too.
    connect(cboSPIClock, &QComboBox::currentIndexChanged, this, [this] { cboSPIClock_Click(); });
    connectRegisterBoxes();

    // The SPI window's VCC switch leaves the chip's shutdown line alone; it samples VCC and
    // sends the selected level.
    supply->afterSetVcc = [this](int) {
        platform::pumpEvents();
        platform::pumpEvents();
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                platform::pumpEvents();
            supply->cmdReadVCC_Click();
        }
        supply->cmdUpdateVCC_Click();
    };
}

QWidget* frmDCP_SPI1::buildSpiFrames()
{
    auto* box = new QWidget;
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);

    frmSPIClock = new QGroupBox("SPI clock frequency (MHz)");
    auto* c = new QHBoxLayout(frmSPIClock);
    cboSPIClock = new QComboBox;
    cboSPIClock->setToolTip("Selects the SPI Clock Frequency");
    cmdSetSPICLock = new QPushButton("Update");
    cmdSetSPICLock->hide();
    c->addWidget(cboSPIClock);
    c->addWidget(cmdSetSPICLock);

    frmSPIParameters = new QGroupBox("SPI Setup");
    auto* p = new QGridLayout(frmSPIParameters);
    txtSPIWrCount = field("2", "Number of SPI bytes during Write Operation");
    txtSPIRDQuantity = field("4", "Number of SPI bytes during Read Operation");
    txtBaseDCPWriteAddress = field("C0", "Write Address of first DA Channel");
    txtBaseDCPReadAddress = field("80", "Read Address of first DA Channel");
    const std::pair<QLineEdit*, const char*> rows[] = {{txtSPIWrCount, "Write Byte Quantity"},
                                                        {txtSPIRDQuantity, "Read Byte Quantity"},
                                                        {txtBaseDCPWriteAddress, "Base DCP Write Address"},
                                                        {txtBaseDCPReadAddress, "Base DCP Read  Address"}};
    for (int r = 0; r < 4; ++r) {
        p->addWidget(rows[r].first, r, 0);
        p->addWidget(new QLabel(rows[r].second), r, 1);
    }

    g->addWidget(SSFrame5, 0, 0);
    g->addWidget(fraADDRSelect, 1, 0);
    g->addWidget(frmSPIClock, 2, 0);
    g->addWidget(frmSPIParameters, 0, 1, 3, 1);
    g->addWidget(SSFrame2, 0, 2, 3, 1);
    g->addWidget(frmRegisterWrite, 0, 3, 3, 1);
    return box;
}

void frmDCP_SPI1::buildMenus()
{
    mnuDeviceSelect = menuBar()->addMenu("Device Select");
    mnu_SPI_List = mnuDeviceSelect->addAction("SPI Parameter File");
    mnuZN3930 = mnuDeviceSelect->addAction("ZN3930");
    mnuZN3920 = mnuDeviceSelect->addAction("ZN3920");
    connect(mnu_SPI_List, &QAction::triggered, this, [this] { mnu_SPI_List_Click(); });
    connect(mnuZN3930, &QAction::triggered, this, [this] { mnuZN3930_Click(); });
    connect(mnuZN3920, &QAction::triggered, this, [this] { mnuZN3920_Click(); });
    mnuScriptShow = menuBar()->addAction("Script Execution");
    connect(mnuScriptShow, &QAction::triggered, this, [this] { mnuScriptShow_Click(); });
    mnuAbout = menuBar()->addAction("About");
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

// ---------------------------------------------------------------------------------------
// Set-up, activation, return, close

void frmDCP_SPI1::Form_Load()
{
    g_ActiveForm = this;
    g_SliderSyncBusy = g_ListSyncBusy = g_ListTouched = g_SliderTouched = false;
    g_SuppressTouch = g_HexEntryPending = g_DecEntryPending = false;
    g_SPIFamily = true;
    g_I2CFamily = false;
    txtACRAddress->setText("02");
    txtDeviceAdr->setText("50");

    setUpOneChannelDefaults();

    cboRegSize->clear();
    cboRegSize->addItems({"None", "1 Byte", "2 Bytes"});
    cboDataSize->clear();
    cboDataSize->addItems({"None", "1-Byte", "2-Bytes"});
    cboRegSize->setCurrentIndex(1);
    cboDataSize->setCurrentIndex(1);

    // Fills cboSPIClock (forms().spiDeviceClockList() names it from now on) and selects the
    // bridge's current clock.
    console().cboSPIclock_init();

    Option1[1]->setChecked(true);
    platform::pumpEvents();

    frmMotherboardDAQ2& mb = motherboard();
    mb.chkPData[kBusSwitchPin]->setChecked(true); // SPI
    mb.chkPData_Click(kBusSwitchPin);
    mb.chkPData[kShutdownPin]->setChecked(true);
    platform::pumpEvents();
    mb.cmdWrtPipe1_Click();

    setSpiWindowFieldsProvider([] {
        frmDCP_SPI1* w = forms().frmDCP_SPI1.get();
        if (!w)
            return SpiWindowFields{};
        return SpiWindowFields{w->txtDeviceAdr, w->lblProduct, w->Shape1[2]};
    });
    forms().showSPIDeviceWindow = [] { forms().frmDCP_SPI1.show(); };
    linkQuadConsole();
}

void frmDCP_SPI1::Form_Activate() { activateDeviceWindow(); }

void frmDCP_SPI1::cmdMMenu_Click() { returnToMainMenu(); }

void frmDCP_SPI1::closeEvent(QCloseEvent* e) { closeDeviceWindow(e, false); }

// ---------------------------------------------------------------------------------------
// Window-level handlers

void frmDCP_SPI1::cboSPIClock_Click()
{
    const int i = cboSPIClock->currentIndex();
    if (i < 0)
        return;
    frmMainF340& c = console();
    c.cboSPIClock->setCurrentIndex(i);
    c.cboSPIClock_Click();
}

void frmDCP_SPI1::cmdHID_Click() { forms().frmMainF340.show(); }

void frmDCP_SPI1::cmdShowk4744_Click()
{
    if (!vccOn()) {
        platform::msgBox(kVccOff, platform::vbOKOnly, QString());
        return;
    }
    captionQuadConsole();
    forms().frm_k4731.show();
}

void frmDCP_SPI1::captionQuadConsole()
{
    frm_k4731& quad = forms().frm_k4731();
    quad.setWindowTitle("k4731/2  Instruction Set, Register Controls and Status Detail");
    quad.FrPot->setTitle("K4731/2 Instruction Set");
}

void frmDCP_SPI1::cmdStoreWCRs_Click() { forms().frm_k4731().storeWcrsToR0(); }

void frmDCP_SPI1::mnuScriptShow_Click()
{
    g_I2CFamily = false;
    g_SPIFamily = true;
    platform::pumpEvents();
    platform::pumpEvents();
    forms().frmScriptOps.show();
}

QString frmDCP_SPI1::deviceAddressRule(const QString& typed) const { return spiIdText(typed); }

void frmDCP_SPI1::linkQuadConsole()
{
    // The hooks ask the SPI window loaded at the time of the call, so a console that outlives
    // this window falls back to its stand-ins instead of a dead window.
    const auto window = [] { return forms().frmDCP_SPI1.get(); };
    linkQuadHooks(quad::Bus::SPI, [window] { return static_cast<DeviceFormCore*>(window()); });
    // The SPI console also reads the window's read count.
    QuadDeviceLink& link = quadDeviceLink(quad::Bus::SPI);
    const QuadDeviceLink standIn = quadStandInLink();
    link.readCount = [window, standIn] {
        frmDCP_SPI1* w = window();
        return w ? w->txtSPIRDQuantity->text() : standIn.readCount();
    };
}

void frmDCP_SPI1::mnuAbout_Click() { forms().frmAbout2.show(); }

void frmDCP_SPI1::applyPreset(const Preset& p)
{
    txtSPIWrCount->setText(p.writeCount);
    txtSPIRDQuantity->setText(p.readCount);
    g_WriteByteCount = static_cast<std::int16_t>(QString(p.writeCount).toInt());
    g_I2CFamily = false;
    g_SPIFamily = true;
    txtACRAddress->setText(p.acrWrite);
    txtACRAddress1->setText(p.acrRead);
    txtDeviceAdr->setText(p.id);
    g_ChannelCount = 4;
    for (int k = 0; k < 4; ++k)
        g_ChannelMap[size_t(k)] = static_cast<std::int16_t>(k);
    lblProduct->setText(p.product);
    chkSendID->setChecked(false);
    txtGPAddress->setText(p.gpWrite);
    txtGPAddress1->setText(p.gpRead);
    txtBaseDCPWriteAddress->setText(p.baseWrite);
    txtBaseDCPReadAddress->setText(p.baseRead);
    OptChans[2]->setChecked(true);
    OptTaps[size_t(p.tapsIndex)]->setChecked(true);
    OptTaps_Click(p.tapsIndex);
    platform::pumpEvents();
    chkSendID->setChecked(p.sendId);
    platform::pumpEvents();
}

void frmDCP_SPI1::mnuZN3920_Click()
{
    static const Preset p{"ZN3920, SPI, Four Channel, 256 Tap QPOT", "2", "4", "60", "20", "0", false,
                          "C4", "84", "C0", "80", 5};
    applyPreset(p);
}

void frmDCP_SPI1::mnuZN3930_Click()
{
    static const Preset p{"ZN3930, SPI, Four Channel, 128 Tap QPOT", "3", "3", "C8", "B8", "50", true,
                          "C4", "B4", "C0", "B0", 4};
    applyPreset(p);
}

// ---------------------------------------------------------------------------------------
// Transfers

spi::SpiWindowTexts frmDCP_SPI1::frameTexts() const
{
    return {txtDeviceAdr->text(),          chkSendID->isChecked(),  txtBaseDCPWriteAddress->text(),
            txtBaseDCPReadAddress->text(), txtSPIWrCount->text(),   txtSPIRDQuantity->text(),
            lblProduct->text()};
}

bool frmDCP_SPI1::vccOn() const { return motherboard().OptVCC[0]->isChecked(); }

void frmDCP_SPI1::judge(const std::vector<QString>& replies, Lamp* a, Lamp* b)
{
    const int colour = bridge::spiFrameGood(replies) ? kGreen : kRed;
    a->setFillColor(colour);
    b->setFillColor(colour);
}

void frmDCP_SPI1::CMDxMIT_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const size_t k = size_t(Index);
    if (!vccOn()) {
        platform::msgBox(kVccOff, platform::vbOKOnly, QString());
        return;
    }
    setTransferButtons(Index, false);
    if (g_HexEntryPending)
        txtHexDataWrt_KeyPress(g_HexEntryIndex, 13);
    if (g_DecEntryPending)
        txtDECDataWrt_KeyPress(g_DecEntryIndex, 13);
    platform::pumpEvents();
    const spi::FrameResult built = spi::wiperWrite(frameTexts(), Index, txtHexDataWrt[k]->text());
    if (!built.paddedHex.isEmpty())
        txtHexDataWrt[k]->setText(built.paddedHex);
    const auto replies = spi::sendOrRefuse(built);
    if (!replies) {
        wiperWriteRefused_ = true;
        setTransferButtons(Index, true);
        return;
    }
    judge(*replies, Shape2[0], Shape1[1]);
    platform::pumpEvents();
    if (ChkAutoRead[k]->isChecked()) {
        platform::sleepMs(50);
        cmdI2Read_Click(Index);
        platform::pumpEvents();
    }
    platform::pumpEvents();
    platform::sleepMs(20);
    setTransferButtons(Index, true);
    platform::pumpEvents();
}

void frmDCP_SPI1::cmdI2Read_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const size_t k = size_t(Index);
    if (!vccOn()) {
        platform::msgBox(kVccOff, platform::vbOKOnly, QString());
        return;
    }
    setTransferButtons(Index, false);
    platform::pumpEvents();
    const spi::SpiWindowTexts texts = frameTexts();
    const spi::FrameResult built = spi::wiperRead(texts, Index, txtHexDataWrt[k]->text());
    if (!built.paddedHex.isEmpty())
        txtHexDataWrt[k]->setText(built.paddedHex);
    const auto replies = spi::sendOrRefuse(built);
    if (!replies) {
        setTransferButtons(Index, true);
        return;
    }
    judge(*replies, Shape2[1], Shape1[2]);
    const bool tenBit = spi::isK6623Product(texts.product);
    // A reply that holds no byte (a refused or failed transfer) leaves the display as it was.
    if (const auto read = bridge::spiWiperPosition(*replies, texts.readCount.toInt(), tenBit, g_TapCount)) {
        const int v = *read;
        ProgressBar1[k]->setValue(v);
        lblPotRead[k]->setText(QString::number(v));
        lblPotReadhex[k]->setText(tenBit ? spi::padTo3(positionHex(v)) : positionHex(v));
    }
    platform::pumpEvents();
    cmdSampleWiper_Click(Index);
    platform::pumpEvents();
    platform::sleepMs(20);
    setTransferButtons(Index, true);
    platform::pumpEvents();
}

void frmDCP_SPI1::writeRegister(const QString& address, const QString& value, QPushButton* write, QPushButton* read,
                                Lamp* lamp)
{
    const bool gp = write == cmdWriteGP;
    write->setEnabled(false);
    read->setEnabled(false);
    platform::pumpEvents();
    if (gp)
        platform::pumpEvents();
    if (const auto replies = spi::sendOrRefuse(spi::registerWrite(frameTexts(), address, value)))
        judge(*replies, lamp, Shape1[1]);
    platform::pumpEvents();
    platform::sleepMs(20);
    write->setEnabled(true);
    read->setEnabled(true);
    if (gp) {
        // The GP write ends by freeing the ACR buttons as well.
        cmdACRRead->setEnabled(true);
        cmdACRWrite->setEnabled(true);
    }
    platform::pumpEvents();
}

std::optional<QString> frmDCP_SPI1::readRegister(const QString& address, QPushButton* write, QPushButton* read,
                                                 Lamp* lamp)
{
    platform::sleepMs(20);
    write->setEnabled(false);
    read->setEnabled(false);
    platform::pumpEvents();
    const spi::SpiWindowTexts texts = frameTexts();
    const auto replies = spi::sendOrRefuse(spi::registerRead(texts, address));
    if (!replies)
        return std::nullopt;
    judge(*replies, lamp, Shape1[2]);
    return bridge::spiRegisterText(*replies, texts.readCount.toInt());
}

void frmDCP_SPI1::cmdACRWrite_Click()
{
    writeRegister(txtACRAddress->text(), txtACR[0]->text(), cmdACRWrite, cmdACRRead, Shape2[0]);
}

void frmDCP_SPI1::cmdACRRead_Click()
{
    if (const auto shown = readRegister(txtACRAddress1->text(), cmdACRWrite, cmdACRRead, Shape2[1]))
        txtACR[1]->setText(*shown);
    platform::sleepMs(20);
    cmdACRWrite->setEnabled(true);
    cmdACRRead->setEnabled(true);
    platform::pumpEvents();
}

void frmDCP_SPI1::cmdWriteGP_Click()
{
    writeRegister(txtGPAddress->text(), txtGPWrite->text(), cmdWriteGP, cmdGPRead, Shape2[2]);
}

void frmDCP_SPI1::cmdGPRead_Click()
{
    if (const auto shown = readRegister(txtGPAddress1->text(), cmdWriteGP, cmdGPRead, Shape2[3]))
        lblGPRead->setText(*shown);
    platform::sleepMs(20);
    for (QPushButton* b : {cmdACRRead, cmdACRWrite, cmdWriteGP, cmdGPRead})
        b->setEnabled(true);
    platform::pumpEvents();
}

// ---------------------------------------------------------------------------------------
// Register entry boxes

void frmDCP_SPI1::connectRegisterBoxes()
{
    for (int i = 0; i < 2; ++i) {
        passKeys(acrAddressBox(i), [this, i](int k) { txtACRAddress_KeyPress(i, k); });
        onFocusOut(acrAddressBox(i), [this, i] { txtACRAddress_LostFocus(i); });
        passKeys(txtACR[size_t(i)], [this, i](int k) { txtACR_KeyPress(i, k); });
        onFocusOut(txtACR[size_t(i)], [this, i] { txtACR_LostFocus(i); });
        passKeys(gpAddressBox(i), [this, i](int k) { txtGPAddress_KeyPress(i, k); });
        onFocusOut(gpAddressBox(i), [this, i] { txtGPAddress_LostFocus(i); });
    }
    passKeys(txtGPWrite, [this](int k) { txtGPWrite_KeyPress(k); });
    onFocusOut(txtGPWrite, [this] { txtGPWrite_LostFocus(); });
}

QLineEdit* frmDCP_SPI1::acrAddressBox(int Index) const { return Index == 0 ? txtACRAddress : txtACRAddress1; }

QLineEdit* frmDCP_SPI1::gpAddressBox(int Index) const { return Index == 0 ? txtGPAddress : txtGPAddress1; }

void frmDCP_SPI1::txtACRAddress_KeyPress(int Index, int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        txtACRAddress_LostFocus(Index);
}

void frmDCP_SPI1::txtACRAddress_LostFocus(int Index)
{
    if (Index == 0 || Index == 1)
        checkBox(acrAddressBox(Index), kByteLimit);
}

void frmDCP_SPI1::commitAcr(int Index, int limit)
{
    if (Index != 0 && Index != 1)
        return;
    checkBox(txtACR[size_t(Index)], limit);
    g_AcrValue = HexToInt(txtACR[size_t(Index)]->text());
}

void frmDCP_SPI1::txtACR_KeyPress(int Index, int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        commitAcr(Index, kBoxLimit);
}

void frmDCP_SPI1::txtACR_LostFocus(int Index) { commitAcr(Index, kByteLimit); }

void frmDCP_SPI1::txtGPAddress_KeyPress(int Index, int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        txtGPAddress_LostFocus(Index);
}

void frmDCP_SPI1::txtGPAddress_LostFocus(int Index)
{
    if (Index == 0 || Index == 1)
        checkBox(gpAddressBox(Index), kBoxLimit);
}

void frmDCP_SPI1::txtGPWrite_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        txtGPWrite_LostFocus();
}

void frmDCP_SPI1::txtGPWrite_LostFocus() { checkBox(txtGPWrite, kBoxLimit); }
