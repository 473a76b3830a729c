#include "bridge/frmMainF340.h"

#include "bridge/exchange.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>
#include <utility>

frmMainF340::frmMainF340()
    : F340I2C(*this), F340Spi(*this), F340Gpio(*this), F340Sfr(*this), F340Adc(*this)
{
    setWindowTitle("HID Firmware Basic I/O ");

    mnuFile = menuBar()->addMenu("&File");
    mnuTraceLog = mnuFile->addAction("&Trace Log");
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction("E&xit");
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(mnuTraceLog, &QAction::triggered, this, [this] { mnuTraceLog_Click(); });

    SSTab1 = new QTabWidget;
    setCentralWidget(SSTab1);

    cmdHoswMother = new QPushButton("Show DCP Motherboard");
    connect(cmdHoswMother, &QPushButton::clicked, this, [this] { cmdHoswMother_Click(); });

    auto* config = new QWidget;
    buildConfigTab(config);
    SSTab1->addTab(config, "Config");

    auto* i2cSpi = new QWidget;
    {
        auto* grid = new QGridLayout(i2cSpi);
        auto* regs = new QGroupBox("Registers");
        regs->setObjectName("freRegisters");
        auto* rl = new QVBoxLayout(regs);
        rl->addWidget(buildRegisterRows(0, 32));
        grid->addWidget(buildI2CFrame(), 0, 0, 2, 1);
        grid->addWidget(buildSpiFrame(), 0, 1);
        grid->addWidget(regs, 1, 1);
        grid->setColumnStretch(1, 1);
    }
    SSTab1->addTab(i2cSpi, "I2C / SPI");

    auto* adcSfr = new QWidget;
    {
        auto* h = new QHBoxLayout(adcSfr);
        h->addWidget(buildAdcFrame());
        h->addWidget(buildSfrFrames());
    }
    SSTab1->addTab(adcSfr, "ADC + SFR");

    auto* gpio = new QWidget;
    {
        auto* v = new QVBoxLayout(gpio);
        v->addWidget(buildGpioFrame());
        v->addWidget(buildExternalAdcFrames());
        v->addStretch(1);
    }
    SSTab1->addTab(gpio, "GPIO");

    auto* upper = new QWidget;
    {
        auto* v = new QVBoxLayout(upper);
        auto* frame = new QGroupBox;
        frame->setObjectName("Frame6");
        auto* fl = new QVBoxLayout(frame);
        fl->addWidget(buildRegisterRows(32, 32));
        v->addWidget(frame);
        v->addStretch(1);
    }
    SSTab1->addTab(upper, "Upper I2C Data");
}

void frmMainF340::buildConfigTab(QWidget* page)
{
    auto* grid = new QGridLayout(page);

    fraEVBinstance = new QGroupBox("Evaluation Board Instance");
    {
        auto* g = new QGridLayout(fraEVBinstance);
        cboEVBinstance = new QComboBox;
        cboEVBinstance->setMinimumContentsLength(4);
        cmdReconnect = new QPushButton("Reconnect");
        chkLED[0] = new QCheckBox("LED Green");
        chkLED[1] = new QCheckBox("LED Red");
        g->addWidget(cboEVBinstance, 0, 0);
        g->addWidget(cmdReconnect, 0, 1);
        g->addWidget(chkLED[0], 1, 0);
        g->addWidget(chkLED[1], 1, 1);
    }
    connect(cboEVBinstance, &QComboBox::currentIndexChanged, this, [this] {
        if (!boardListGuard_)
            cboEVBinstance_Click();
    });
    connect(cmdReconnect, &QPushButton::clicked, this, [this] { cmdReconnect_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(chkLED[static_cast<size_t>(i)], &QCheckBox::toggled, this, [this, i] { chkLED_Click(i); });

    auto* fw = new QWidget;
    {
        auto* v = new QVBoxLayout(fw);
        v->setContentsMargins(0, 0, 0, 0);
        cmdFirmwareVersion = new QPushButton("Firmware Version");
        lblFirmwareVersion = new QLabel;
        lblFirmwareVersion->setMinimumWidth(260);
        txtFirmwareVersion = new QLineEdit;
        txtFirmwareVersion->setReadOnly(true);
        v->addWidget(cmdFirmwareVersion, 0, Qt::AlignLeft);
        v->addWidget(lblFirmwareVersion);
        v->addWidget(txtFirmwareVersion);
    }
    connect(cmdFirmwareVersion, &QPushButton::clicked, this, [this] { cmdFirmwareVersion_Click(); });

    cmdQuit = new QPushButton("Quit");
    connect(cmdQuit, &QPushButton::clicked, this, [this] { cmdQuit_Click(); });

    Frame4 = new QGroupBox("I2C and SPI Clocks");
    {
        auto* v = new QVBoxLayout(Frame4);
        v->addWidget(buildSmbusClock());
        v->addWidget(buildSpiClock());
    }

    grid->addWidget(fraEVBinstance, 0, 0);
    grid->addWidget(fw, 1, 0);
    grid->addWidget(Frame4, 0, 1, 2, 1);
    grid->addWidget(cmdQuit, 2, 0, Qt::AlignLeft);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
}

void frmMainF340::Form_Load()
{
    trace("F340 Form Load");

    // The board list and the program's end live here from now on.
    linkHooks().boardListInit = [](int preferred) { forms().frmMainF340().cboEVB_init(preferred); };
    linkHooks().unloadConsole = [](int exitCode) { forms().frmMainF340().unloadEnding(exitCode); };

    g_WriteHandles = {0};
    g_ReadHandles = {0};
    InitHidConnection();

    initRegisterRows();
    initAddressBox();
    initAdcLists();
    g_VccAdcChannel = 10;
    g_AdcNegChannel = 17;
    initPinCaptions();
    cmdMuxWrite_Click();

    trace("Processor Form Load Completed\r\n");
}

void frmMainF340::Form_Unload()
{
    CloseHidHandles();
    platform::endProgram(std::exchange(exitCode_, platform::kExitQuit));
}

void frmMainF340::unloadEnding(int exitCode)
{
    exitCode_ = exitCode;
    forms().frmMainF340.unload();
}

void frmMainF340::closeEvent(QCloseEvent* e)
{
    e->ignore();
    forms().frmMainF340.unload();
}

void frmMainF340::cmdQuit_Click() { forms().frmMainF340.unload(); }

void frmMainF340::mnuExit_Click() { forms().frmMainF340.unload(); }

void frmMainF340::mnuTraceLog_Click() { forms().Doco.show(); }

void frmMainF340::cmdReconnect_Click() { ReconnectHidConnection(); }

void frmMainF340::cmdHoswMother_Click() { forms().frmMotherboardDAQ2.show(); }

void frmMainF340::cboEVB_init(int preferred)
{
    boardListGuard_ = true;
    cboEVBinstance->clear();
    for (size_t i = 0; i < g_WriteHandles.size(); ++i)
        cboEVBinstance->addItem(QString::number(i), static_cast<int>(i));
    boardListGuard_ = false;
    if (preferred < 0 || preferred >= cboEVBinstance->count())
        preferred = 0;
    // Selecting the entry selects the board and reads its state back.
    boardListGuard_ = true;
    cboEVBinstance->setCurrentIndex(preferred);
    boardListGuard_ = false;
    cboEVBinstance_Click();
}

void frmMainF340::cboEVBinstance_Click()
{
    trace("Perform HID Init cboEVBInstance");
    const int i = cboEVBinstance->currentIndex() < 0 ? 0 : cboEVBinstance->currentData().toInt();
    SelectBoard(i);

    // The board's state, in this order. A link dialog's Retry in any step asks for a new
    // search, which reads everything back again: the steps after it would only meet the
    // board that failed.
    const std::function<void()> steps[] = {
        [this] { getLEDs(); },       [this] { cboSMBusFrequency_init(); }, [this] { getI2Coptions(); },
        [this] { getSPIconfig(); },  [this] { getGPconf(); },              [this] { getGPvalue(); },
    };
    for (const auto& step : steps) {
        if (SearchPending())
            return;
        step();
    }
}

void frmMainF340::chkLED_Click(int)
{
    const std::uint8_t bits = static_cast<std::uint8_t>(2 * (chkLED[1]->isChecked() ? 1 : 0) + (chkLED[0]->isChecked() ? 1 : 0));
    bridge::exchange(bridge::kLeds, bridge::kSet, {bits});
}

void frmMainF340::getLEDs()
{
    const auto r = bridge::exchange(bridge::kLeds, bridge::kGet);
    if (!r.replied)
        return; // nothing came back: the boxes keep the state they show
    // Both bits are taken before a box changes: the green box's handler sends the LEDs with
    // the red box as it then stands, and that send reuses the reply buffer.
    const bool green = g_ReportBuffer[2] & 1;
    const bool red = g_ReportBuffer[2] & 2;
    chkLED[0]->setChecked(green);
    chkLED[1]->setChecked(red);
}

void frmMainF340::cmdFirmwareVersion_Click()
{
    const auto r = bridge::exchange(bridge::kFirmwareVersion, 0);
    if (r.replied) {
        const QString text = bridge::firmwareText(bridge::decodeFirmwareVersion(g_ReportBuffer));
        lblFirmwareVersion->setText(text);
        txtFirmwareVersion->setText(text);
    }
    trace("Read F340 Processor Firmware Revision: " + lblFirmwareVersion->text());
}
