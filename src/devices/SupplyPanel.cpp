#include "devices/SupplyPanel.h"

#include "bridge/protocol.h"
#include "controls/event_hook.h"
#include "controls/lamp.h"
#include "controls/quiet_select.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

constexpr int kLampOn = 12, kLampOff = 0;
constexpr int kVin4Entry = 10; // the VCC/2 input of the ADC list

frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

QLabel* sunken(const QString& text)
{
    auto* l = new QLabel(text);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance("00.000") + 12);
    return l;
}

// A number as the panel reads it: a text that starts with one.
bool isNumber(const QString& text)
{
    static const QRegularExpression number(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eEdD][-+]?\d+)?\s*$)");
    return number.match(text).hasMatch();
}

} // namespace

SupplyPanel::SupplyPanel(QWidget* owner) : QObject(owner)
{
    fraVCC = new QGroupBox("VCC Control");
    auto* g = new QGridLayout(fraVCC);
    OptVCC[0] = new QRadioButton("On");
    OptVCC[0]->setToolTip("Turn on Motherboard VCC source");
    OptVCC[1] = new QRadioButton("Off");
    OptVCC[1]->setToolTip("Turn off Motherboard VCC source");
    OptVCC[1]->setChecked(true);
    ShpVCCon = new Lamp;
    CboVCC = new QComboBox;
    CboVCC->setMinimumContentsLength(4);
    cmdUpdateVCC = new QPushButton("Update VCC");
    cmdUpdateVCC->setToolTip("Click to update VCC level and readback the results below");
    lblSPICode = sunken("5F");
    lblSPICode->setToolTip("Actual Hex value written to Motherboad VCC Voltage Controller");
    cmdReadVCC = new QPushButton("Sample VCC");
    lblVCCVolts = sunken("0.00");
    txtUserVCC = new QLineEdit("5F");
    txtUserVCC->setToolTip("Enter VCC Hex Programming Code (20-7F) Hex");
    txtUserVCC->setMaximumWidth(40);
    lblUserVCC = new QLabel("User");
    txtUserVCC->hide();
    lblUserVCC->hide();

    frmadcal = new QGroupBox("AD Calibration");
    auto* cal = new QGridLayout(frmadcal);
    txtADOffset = new QLineEdit("0.00");
    txtADGain = new QLineEdit("2.0");
    for (QLineEdit* e : {txtADOffset, txtADGain})
        e->setMaximumWidth(56);
    // One caption over both fields, its blanks placing "Gain" over the second.
    Label8 = new QLabel("Offset         Gain");
    cal->addWidget(Label8, 0, 0, 1, 2);
    cal->addWidget(txtADOffset, 1, 0);
    cal->addWidget(txtADGain, 1, 1);

    g->addWidget(OptVCC[0], 0, 0);
    g->addWidget(OptVCC[1], 1, 0);
    g->addWidget(ShpVCCon, 0, 1, Qt::AlignCenter);
    g->addWidget(CboVCC, 0, 2);
    g->addWidget(cmdUpdateVCC, 1, 2);
    g->addWidget(lblSPICode, 1, 1);
    g->addWidget(lblUserVCC, 2, 0);
    g->addWidget(txtUserVCC, 2, 1);
    g->addWidget(cmdReadVCC, 3, 0, 1, 2);
    auto* volts = new QHBoxLayout;
    volts->addWidget(new QLabel("VCC Volts"));
    volts->addWidget(lblVCCVolts);
    g->addLayout(volts, 3, 2);
    g->addWidget(frmadcal, 4, 0, 1, 3);

    FraVminus = new QGroupBox("V Minus Control");
    FraVminus->setToolTip("Controls Negative Supply ");
    auto* vm = new QGridLayout(FraVminus);
    ChkTrack = new QCheckBox("Track V+");
    ChkTrack->setChecked(true);
    OptVM[0] = new QRadioButton("On");
    OptVM[1] = new QRadioButton("Off");
    OptVM[1]->setChecked(true);
    // V-minus follows VCC from the start, so its own switch starts out of use; otherwise a
    // window whose set-up switches nothing would offer a switch that only paints the lamp.
    OptVM[0]->setEnabled(false);
    OptVM[1]->setEnabled(false);
    ShVM = new Lamp;
    vm->addWidget(ChkTrack, 0, 0, 1, 2);
    vm->addWidget(OptVM[0], 1, 0);
    vm->addWidget(OptVM[1], 2, 0);
    vm->addWidget(ShVM, 1, 1, Qt::AlignCenter);

    for (int i = 0; i < 2; ++i) {
        connect(OptVCC[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptVCC_Click(i);
        });
        connect(OptVM[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptVM_Click(i);
        });
    }
    connect(ChkTrack, &QCheckBox::toggled, this, [this] { ChkTrack_Click(); });
    connect(cmdUpdateVCC, &QPushButton::clicked, this, [this] { cmdUpdateVCC_Click(); });
    connect(cmdReadVCC, &QPushButton::clicked, this, [this] { cmdReadVCC_Click(); });
    onFocusOut(txtADGain, [this] { txtADGain_LostFocus(); });
    onFocusOut(txtADOffset, [this] { txtADOffset_LostFocus(); });
}

void SupplyPanel::tipCalibrationFields()
{
    txtADOffset->setToolTip("VCC Offset of Motherboard");
    txtADGain->setToolTip("VCC Gain needed by Motherboard");
    cmdReadVCC->setToolTip("Samples VCC Voltage");
}

double SupplyPanel::offset() const { return Val(txtADOffset->text()); }
double SupplyPanel::gain() const { return Val(txtADGain->text()); }

bool SupplyPanel::takeReading(int entry, QLabel* out)
{
    frmMotherboardDAQ2& mb = motherboard();
    mb.Combo1->setCurrentIndex(entry);
    platform::pumpEvents();
    mb.READ_AD();
    mb.READ_AD();
    if (!g_AdcConversionOk) {
        out->setText(bridge::kNoReadingText);
        return false;
    }
    g_AdcVolts = g_AdcVolts + offset();
    out->setText(Format(g_AdcVolts * gain(), "#0.000"));
    return true;
}

void SupplyPanel::showSuppliesOff()
{
    selectQuietly(OptVCC, 1);
    selectQuietly(OptVM, 1);
    ShpVCCon->setFillColor(kLampOff);
    ShVM->setFillColor(kLampOff);
}

void SupplyPanel::OptVCC_Click(int Index)
{
    SetVCC(Index);
    if (afterSetVcc)
        afterSetVcc(Index);
}

void SupplyPanel::OptVM_Click(int Index)
{
    if (Index == 0) {
        ShVM->setFillColor(kLampOn);
        motherboard().OptVCCMinus[0]->setChecked(true);
    } else {
        motherboard().OptVCCMinus[1]->setChecked(true);
        ShVM->setFillColor(kLampOff);
    }
    platform::pumpEvents();
}

void SupplyPanel::ChkTrack_Click()
{
    if (ChkTrack->isChecked()) {
        g_VminusTracksVcc = true;
        motherboard().ChkTrack->setChecked(true);
        OptVM[0]->setEnabled(false);
        OptVM[1]->setEnabled(false);
        if (OptVCC[0]->isChecked()) {
            OptVM[0]->setChecked(true);
            OptVCC_Click(0);
        } else if (OptVCC[1]->isChecked()) {
            OptVM[1]->setChecked(true);
            OptVCC_Click(1);
        }
    } else {
        motherboard().ChkTrack->setChecked(false);
        g_VminusTracksVcc = false;
        OptVM[0]->setEnabled(true);
        OptVM[1]->setEnabled(true);
    }
    platform::pumpEvents();
}

void SupplyPanel::cmdUpdateVCC_Click()
{
    cmdUpdateVCC->setEnabled(false);
    platform::pumpEvents();
    const int i = CboVCC->currentIndex();
    const QString code = i >= 0 && i < int(g_VccCodeTable.size()) ? g_VccCodeTable[size_t(i)] : QString();
    // An empty list or a position without a code has no level to send.
    if (!code.isEmpty()) {
        lblSPICode->setText(code);
        motherboard().txtSPIwr[7]->setText(code);
        motherboard().cmdSPIWrite2_Click();
        platform::pumpEvents();
        takeReading(g_VccAdcChannel, lblVCCVolts);
        platform::pumpEvents();
    }
    platform::sleepMs(80);
    cmdUpdateVCC->setEnabled(true);
    platform::pumpEvents();
}

void SupplyPanel::cmdReadVCC_Click()
{
    platform::pumpEvents();
    cmdReadVCC->setEnabled(false);
    takeReading(kVin4Entry, lblVCCVolts);
    platform::sleepMs(80);
    cmdReadVCC->setEnabled(true);
    platform::pumpEvents();
}

void SupplyPanel::txtADGain_LostFocus()
{
    if (!isNumber(txtADGain->text()))
        txtADGain->setText("2.00");
}

void SupplyPanel::txtADOffset_LostFocus()
{
    if (!isNumber(txtADOffset->text()))
        txtADOffset->setText("0.00");
}
