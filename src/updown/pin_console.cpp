#include "updown/pin_console.h"

#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "platform/services.h"
#include "shell/about.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"

#include <QApplication>
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
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kRed = 12, kBlack = 0;
constexpr int kVin0Entry = 6; // the ADC list's VIN0; VIN1..VIN3 follow

frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

} // namespace

PinConsole::PinConsole(const Variant& variant, const std::vector<Line>& lines) : lines_(lines), variant_(variant)
{
    supply = new SupplyPanel(this);
    lblUDCode = supply->lblSPICode;
    supply->tipCalibrationFields();
    supply->CboVCC->setToolTip("Select Motherboard VCC Value.");
    supply->OptVM[0]->setToolTip("Turn on Motherboard negative supply.");
    supply->OptVM[1]->setToolTip("Turn off Motherboard negative supply.");
    supply->afterSetVcc = [this](int) {
        if (variant_.supplyPauses) {
            platform::pumpEvents();
            platform::pumpEvents();
        }
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                platform::pumpEvents();
            supply->cmdReadVCC_Click();
        }
        supply->cmdUpdateVCC_Click();
    };
    supply->CboVCC->installEventFilter(this);

    for (size_t i = 0; i < lines_.size(); ++i) {
        auto* box = new QCheckBox(lines_[i].caption);
        box->setToolTip(lines_[i].tip);
        ChOut.push_back(box);
        ShpOut.push_back(new Lamp);
        const int index = int(i);
        connect(box, &QCheckBox::toggled, this, [this, index] { ChOut_Click(index); });
    }

    cmdMMenu = new QPushButton("Return to Main Menu");
    connect(cmdMMenu, &QPushButton::clicked, this, [this] { cmdMMenu_Click(); });
    lblProduct = new QLabel("Manual Setup");
    mnuAbout = menuBar()->addAction("About");
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
    rfADRead = new QGroupBox("Vin0-Vin3 Analog Inputs Sample");
    buildSampleFrame();
}

QWidget* PinConsole::buildSampleFrame()
{
    QFont bold = rfADRead->font();
    bold.setBold(true);
    rfADRead->setFont(bold);
    auto* g = new QGridLayout(rfADRead);
    for (int i = 0; i < 4; ++i) {
        const size_t k = size_t(i);
        cmdSampleWiper[k] = new QPushButton("Sample");
        cmdSampleWiper[k]->setToolTip(QStringLiteral("Click to sample Vin%1 Voltage, Measures DC Volts on Vin0-3 Connector of Motherboard.").arg(i));
        lblADChan[k] = new QLabel(QString::number(i));
        lblWiperVolts[k] = new QLabel("0.000");
        lblWiperVolts[k]->setFrameShape(QFrame::Panel);
        lblWiperVolts[k]->setFrameShadow(QFrame::Sunken);
        lblWiperVolts[k]->setAlignment(Qt::AlignCenter);
        lblWiperVolts[k]->setMinimumWidth(64);
        for (QWidget* w : {static_cast<QWidget*>(cmdSampleWiper[k]), static_cast<QWidget*>(lblADChan[k])}) {
            QFont f = w->font();
            f.setBold(false);
            w->setFont(f);
        }
        g->addWidget(cmdSampleWiper[k], i, 0);
        g->addWidget(lblADChan[k], i, 1);
        g->addWidget(lblWiperVolts[k], i, 2);
        connect(cmdSampleWiper[k], &QPushButton::clicked, this, [this, i] { cmdSampleWiper_Click(i); });
    }
    return rfADRead;
}

QWidget* PinConsole::lineRow(int box)
{
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(ShpOut[size_t(box)]);
    h->addWidget(ChOut[size_t(box)]);
    h->addStretch();
    return w;
}

QPushButton* PinConsole::button(const QString& text, const QString& tip)
{
    auto* b = new QPushButton(text);
    b->setToolTip(tip);
    return b;
}

QPushButton* PinConsole::abortButton(const QString& tip)
{
    QPushButton* b = button("Abort ", tip);
    QSizePolicy keep = b->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    b->setSizePolicy(keep);
    b->hide();
    return b;
}

QLineEdit* PinConsole::numberBox(const QString& text, const QString& tip)
{
    auto* e = new QLineEdit(text);
    e->setToolTip(tip);
    e->setFixedWidth(56);
    e->setAlignment(Qt::AlignCenter);
    return e;
}

void PinConsole::placeFrames(QLayout* top, QWidget* main)
{
    auto* body = new QHBoxLayout;
    body->addWidget(main, 1);
    body->addWidget(supplyColumn());
    auto* central = new QWidget;
    auto* v = new QVBoxLayout(central);
    v->addLayout(top);
    v->addLayout(body);
    setCentralWidget(central);
}

QWidget* PinConsole::supplyColumn()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(supply->fraVCC);
    v->addWidget(supply->FraVminus);
    v->addStretch();
    return w;
}

// ---------------------------------------------------------------------------------------
// Lines

void PinConsole::ChOut_Click(int Index)
{
    const Line& l = lines_[size_t(Index)];
    const bool high = ChOut[size_t(Index)]->isChecked();
    if (l.pin >= 0) {
        ShpOut[size_t(Index)]->setFillColor(high ? kRed : kBlack);
        frmMotherboardDAQ2& mb = motherboard();
        mb.chkPData[size_t(l.pin)]->setChecked(high);
        mb.chkPData_Click(l.pin);
    }
    if (!g_PinBatch) {
        motherboard().cmdWrtPipe1_Click();
        if (variant_.sampleAfterLineChange) {
            platform::pumpEvents();
            cmdSampleWiper_Click(0);
        }
    }
    platform::pumpEvents();
}

bool PinConsole::line(int box) const { return ChOut[size_t(box)]->isChecked(); }
void PinConsole::setLine(int box, bool high) { ChOut[size_t(box)]->setChecked(high); }

bool PinConsole::pinLevel(int box) const
{
    const int pin = lines_[size_t(box)].pin;
    if (pin < 0)
        return line(box);
    return (g_PortShadow[size_t(pin / 8)] >> (pin % 8) & 1) != 0;
}

void PinConsole::writePorts() { motherboard().cmdWrtPipe1_Click(); }

bool PinConsole::vccOn() const { return motherboard().OptVCC[0]->isChecked(); }

void PinConsole::allLinesHigh(const std::vector<int>& boxes, const std::vector<int>& pins)
{
    g_PinBatch = true;
    for (int b : boxes) {
        ChOut[size_t(b)]->setChecked(true);
        ShpOut[size_t(b)]->setFillColor(kRed);
    }
    frmMotherboardDAQ2& mb = motherboard();
    for (int pin : pins) {
        mb.chkPData[size_t(pin)]->setChecked(true);
        mb.chkPData_Click(pin);
    }
    mb.cmdWrtPipe1_Click();
}

int PinConsole::readNumber(QLineEdit* box, const char* fallback)
{
    bool ok = false;
    const int v = updown::wholeNumber(box->text(), &ok);
    if (ok)
        return v;
    box->setText(fallback);
    return updown::wholeNumber(box->text(), &ok);
}

// ---------------------------------------------------------------------------------------
// Analog inputs and supply

void PinConsole::cmdSampleWiper_Click(int Index)
{
    QPushButton* b = cmdSampleWiper[size_t(Index)];
    b->setEnabled(false);
    platform::pumpEvents();
    supply->takeReading(kVin0Entry + Index, lblWiperVolts[size_t(Index)]);
    platform::sleepMs(50);
    b->setEnabled(true);
    platform::pumpEvents();
}

void PinConsole::OptVCC_Click(int Index) { supply->OptVCC_Click(Index); }

void PinConsole::CboVCC_LostFocus()
{
    supply->txtUserVCC->hide();
    supply->lblUserVCC->hide();
    supply->txtUserVCC->setText(supply->txtUserVCC->text().toUpper());
    platform::pumpEvents();
}

Lamp* PinConsole::ShpVCCon() { return supply->ShpVCCon; }
Lamp* PinConsole::ShVM() { return supply->ShVM; }
QRadioButton* PinConsole::OptVM(int index) { return supply->OptVM[size_t(index)]; }
QComboBox* PinConsole::CboVCC() { return supply->CboVCC; }
QCheckBox* PinConsole::ChkTrack() { return supply->ChkTrack; }
void PinConsole::showSuppliesOff() { supply->showSuppliesOff(); }

// ---------------------------------------------------------------------------------------
// Life

void PinConsole::loadCommon()
{
    g_ActiveForm = this;
    g_SliderSyncBusy = g_ListSyncBusy = g_ListTouched = g_SliderTouched = false;
    g_SuppressTouch = g_HexEntryPending = g_DecEntryPending = false;
    g_WriteByteCount = 3;
    g_ReadByteCount = 1;
    platform::pumpEvents();
    InitVccOptions();
    platform::pumpEvents();
}

bool PinConsole::event(QEvent* e)
{
    if (e->type() == QEvent::WindowDeactivate) {
        // Coming back counts as an activation only after another window of the program was
        // in front; a message box closing is no such return.
        QWidget* now = QApplication::activeWindow();
        if (now && now != this && !now->isModal())
            leftForOther_ = true;
    } else if (e->type() == QEvent::WindowActivate && leftForOther_) {
        Form_Activate();
    }
    return QMainWindow::event(e);
}

bool PinConsole::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == supply->CboVCC && e->type() == QEvent::FocusOut)
        CboVCC_LostFocus();
    return QMainWindow::eventFilter(watched, e);
}

void PinConsole::Form_Activate()
{
    leftForOther_ = false;
    g_ActiveForm = this;
    activated();
}

void PinConsole::cmdMMenu_Click()
{
    supply->OptVCC[1]->setChecked(true);
    supply->OptVCC_Click(1);
    platform::pumpEvents();
    platform::pumpEvents();
    platform::pumpEvents();
    g_ReturnToMenu = true;
    hide();
    forms().frmStartup.show();
    platform::pumpEvents();
}

void PinConsole::mnuAbout_Click() { forms().frmAbout2.show(); }

void PinConsole::closeEvent(QCloseEvent* e)
{
    if (!g_ReturnToMenu) {
        e->ignore();
        platform::endProgram(platform::kExitQuit);
    }
    platform::pumpEvents();
    e->accept();
}
