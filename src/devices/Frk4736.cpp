#include "devices/Frk4736.h"

#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kSCL = 2, kCS = 3, kUD = 4;
constexpr int kFirstPin = 6; // DS0 is P0.6; the five lines are P0.6, P0.7, P1.0, P1.1, P1.2

} // namespace

Frk4736::Frk4736(Host host, QWidget* parent) : QGroupBox("k4736 ", parent), host_(std::move(host))
{
    // Wide and low: the panel sits under the four channel rows of the I2C window, which are
    // wide, and it must not make the window much taller than the standard layout. The pins and
    // their sequences on the left, the status control on the right.
    auto* h = new QHBoxLayout(this);
    auto* v = new QVBoxLayout;
    h->addLayout(v);
    auto* pins = new QHBoxLayout;
    const char* pinNames[] = {"DS0", "DS1", "SCL", "CS", "U/D"};
    for (int k = 0; k < 5; ++k) {
        Chk4736[k] = new QCheckBox(pinNames[k]);
        pins->addWidget(Chk4736[k]);
    }
    Chk4736[kSCL]->setToolTip("SCL Pin, To use jumper to A2(J2.5) to SCL(J2.1)");
    Chk4736[kSCL]->setChecked(true);
    Chk4736[kCS]->setChecked(true);
    for (int k = 0; k < 5; ++k)
        connect(Chk4736[k], &QCheckBox::toggled, this, [this, k] { Chk4736_Click(k); });
    v->addLayout(pins);

    auto* steps = new QHBoxLayout;
    const char* stepNames[] = {"Up", "Down", "Store"};
    for (int i = 0; i < 3; ++i) {
        cmdUp[i] = new QPushButton(stepNames[i]);
        steps->addWidget(cmdUp[i]);
        connect(cmdUp[i], &QPushButton::clicked, this, [this, i] { cmdUp_Click(i); });
    }
    v->addLayout(steps);

    auto* reads = new QHBoxLayout;
    cmdRdAllk47 = new QPushButton("Rd All I2C");
    cmdSamplek47 = new QPushButton("Rd All Volts");
    reads->addWidget(cmdRdAllk47);
    reads->addWidget(cmdSamplek47);
    connect(cmdRdAllk47, &QPushButton::clicked, this, [this] { cmdRdAllk47_Click(); });
    connect(cmdSamplek47, &QPushButton::clicked, this, [this] { cmdSamplek47_Click(); });
    v->addLayout(reads);
    v->addStretch(1);

    // The five options in two columns, read down: WCR, DR0, DR1, then DR2, DR3.
    Frk4736Mode = new QGroupBox("I2C Status Control");
    auto* mode = new QGridLayout(Frk4736Mode);
    const char* optionNames[] = {"Wr / Rd WCR", "Wr DR0", "Wr DR1", "Wr DR2", "Wr DR3"};
    for (int i = 0; i < 5; ++i) {
        optK4736[i] = new QRadioButton(optionNames[i]);
        mode->addWidget(optK4736[i], i % 3, i / 3);
        connect(optK4736[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optK4736_Click(i);
        });
    }
    cdmAuto_Init = new QPushButton("Wr All DR Locations");
    ChkAutoSample = new QCheckBox("Auto Rd Volts");
    Label4 = new QLabel("NOV Bank");
    lblBank = new QLabel("----");
    lblBank->setFrameShape(QFrame::Panel);
    lblBank->setFrameShadow(QFrame::Sunken);
    auto* bank = new QHBoxLayout;
    bank->addWidget(Label4);
    bank->addWidget(lblBank, 1);
    mode->addWidget(cdmAuto_Init, 0, 2);
    mode->addWidget(ChkAutoSample, 1, 2);
    mode->addLayout(bank, 2, 2);
    connect(cdmAuto_Init, &QPushButton::clicked, this, [this] { cdmAuto_Init_Click(); });
    h->addWidget(Frk4736Mode);
}

QString Frk4736::statusText(int Index)
{
    return Index <= 0 ? QStringLiteral("00") : QStringLiteral("0%1").arg(2 * (Index - 1) + 1);
}

void Frk4736::Chk4736_Click(int)
{
    auto& mb = forms().frmMotherboardDAQ2();
    for (int k = 0; k < 5; ++k)
        mb.chkPData[kFirstPin + k]->setChecked(false);
    for (int k = 0; k < 5; ++k)
        if (Chk4736[k]->isChecked())
            mb.chkPData[kFirstPin + k]->setChecked(true);
    mb.cmdWrtPipe1_Click();
}

void Frk4736::pinStep(int Index, bool high)
{
    Chk4736[Index]->setChecked(high);
    Chk4736_Click(Index);
}

void Frk4736::cmdUp_Click(int Index)
{
    auto pumpTwice = [] {
        platform::pumpEvents();
        platform::pumpEvents();
    };
    if (Index == 2) {
        pinStep(kCS, true);
        return;
    }
    if (Index == 0) {
        pinStep(kUD, true);
    } else {
        pinStep(kUD, false);
        pumpTwice();
    }
    pinStep(kCS, false);
    pumpTwice();
    pinStep(kSCL, false);
    platform::sleepMs(20);
    pumpTwice();
    pinStep(kSCL, true);
    pumpTwice();
}

void Frk4736::optK4736_Click(int Index)
{
    if (host_.showStatusReadBack)
        host_.showStatusReadBack(false);
    if (host_.setStatusText)
        host_.setStatusText(statusText(Index));
    if (Index == 0 && host_.showStatusReadBack)
        host_.showStatusReadBack(true);
    if (host_.writeStatus)
        host_.writeStatus();
    if (Index == 0 && host_.readStatus)
        host_.readStatus();
    if (ChkAutoSample->isChecked())
        sampleAll();
}

void Frk4736::selectStatus(int Index)
{
    if (optK4736[Index]->isChecked())
        optK4736_Click(Index);
    else
        optK4736[Index]->setChecked(true); // its handler runs on the change
}

void Frk4736::cdmAuto_Init_Click()
{
    if (platform::msgBox("All DR Register contents are about to be over written. "
                         " Click OK to Continue, Cancel to Abort",
                         platform::vbOKCancel)
        != platform::vbOK)
        return;
    pinStep(kCS, true);
    filling_ = true;
    for (int b = 0; b < 4; ++b) {
        selectStatus(b + 1);
        for (int k = 0; k < 4; ++k)
            if (host_.enterWiperHex)
                host_.enterWiperHex(k, QString::number(k) + QString::number(b));
    }
    filling_ = false;
    selectStatus(0);
}

void Frk4736::cmdRdAllk47_Click()
{
    pinStep(kCS, true);
    pinStep(kSCL, true);
    for (int k = 0; k < 4; ++k)
        if (host_.readWiper)
            host_.readWiper(k);
}

void Frk4736::sampleAll()
{
    for (int k = 0; k < 4; ++k)
        if (host_.sampleWiper)
            host_.sampleWiper(k);
}

void Frk4736::cmdSamplek47_Click() { sampleAll(); }
