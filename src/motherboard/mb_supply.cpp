#include "motherboard/frmMotherboardDAQ2.h"

#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "controls/quiet_select.h"
#include "shell/activeform.h"
#include "shell/forms.h"
#include "shell/globals.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int kVccPin = 21;    // chkPData index of P2.5, /SHDN V+
constexpr int kVminusPin = 22; // P2.6, /SHDN V-
constexpr int kSupplyPotPin = 20; // P2.4, the supply potentiometer's chip select, low = selected
constexpr int kVccBit = 5;     // P2.5 among the console's P2 value boxes
constexpr int kLampSupplyOn = 12, kLampSupplyOff = 0;

// An On/Off pair in a parent of its own, so that the two pairs of the frame exclude only
// within themselves. `clicked` runs when an option becomes selected, by the user or by code.
QWidget* optionPair(std::array<QRadioButton*, 2>& pair, QObject* context, std::function<void(int)> clicked)
{
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    const char* captions[] = {"On", "Off"};
    for (int i = 0; i < 2; ++i) {
        pair[size_t(i)] = new QRadioButton(captions[i]);
        h->addWidget(pair[size_t(i)]);
    }
    pair[1]->setChecked(true); // the supplies start off
    for (int i = 0; i < 2; ++i)
        QObject::connect(pair[size_t(i)], &QRadioButton::toggled, context, [clicked, i](bool on) {
            if (on)
                clicked(i);
        });
    return w;
}

// Moves a supply pin in the port image: its box, then its handler, which runs once more
// when the box already stood there. The port write that follows puts it on the board.
// False when the window was closed meanwhile.
bool setPin(frmMotherboardDAQ2& w, int index, bool high)
{
    return w.survives([&w, index, high] {
        if (QCheckBox* box = w.chkPData[size_t(index)])
            box->setChecked(high);
        w.chkPData_Click(index);
    });
}

// The pins reach the board with one write of the whole port image.
void finishSwitching(frmMotherboardDAQ2& w)
{
    if (!w.letEventsRun() || !w.survives([&w] { w.cmdWrtPipe1_Click(); }))
        return;
    w.cmdEnableBUttons_Click();
    w.letEventsRun();
}

} // namespace

QWidget* MbSupply::buildSupplyFrame()
{
    auto* box = new QGroupBox("Fixture Supplies");
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(8);

    ShpVCCon = new Lamp;
    ShpVCCMinusOn = new Lamp;
    g->addWidget(new QLabel("VCC"), 0, 0);
    g->addWidget(optionPair(OptVCC, &m, [this](int i) { OptVCC_Click(i); }), 0, 1);
    g->addWidget(ShpVCCon, 0, 2);
    g->addWidget(new QLabel("V-"), 1, 0);
    g->addWidget(optionPair(OptVCCMinus, &m, [this](int i) { OptVCCMinus_Click(i); }), 1, 1);
    g->addWidget(ShpVCCMinusOn, 1, 2);

    // V-minus follows VCC from the start, so its options are not for the user.
    ChkTrack = new QCheckBox("Track");
    ChkTrack->setChecked(true);
    for (QRadioButton* o : OptVCCMinus)
        o->setEnabled(false);
    QObject::connect(ChkTrack, &QCheckBox::toggled, &m, [this] { ChkTrack_Click(); });
    g->addWidget(ChkTrack, 2, 1);
    g->addWidget(m.buildVccReadback(), 3, 0, 1, 3);
    g->setColumnStretch(3, 1);

    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(box);
    auto* source = new QHBoxLayout;
    lblCal_header = new QLabel("Defaults");
    source->addWidget(new QLabel("VCC codes:"));
    source->addWidget(lblCal_header);
    source->addStretch(1);
    v->addLayout(source);
    v->addStretch(1);
    return w;
}

void MbSupply::OptVCC_Click(int Index)
{
    m.cmdDisableButtons_Click();
    g_VminusTracksVcc = ChkTrack->isChecked();
    if (!m.letEventsRun())
        return;

    const bool on = Index == 0;
    if (!on) {
        // The console's box would write the pin back high at its next P2 write (a supply
        // potentiometer frame writes P2 from the console's boxes).
        if (QCheckBox* p25 = forms().frmMainF340().chkGPvalueP2[kVccBit])
            p25->setChecked(false);
    }
    ShpVCCon->setFillColor(on ? kLampSupplyOn : kLampSupplyOff);
    if (!setPin(m, kVccPin, on))
        return;
    if (g_VminusTracksVcc) {
        OptVCCMinus[on ? 0 : 1]->setChecked(true);
        ShpVCCMinusOn->setFillColor(on ? kLampSupplyOn : kLampSupplyOff);
        if (!setPin(m, kVminusPin, on))
            return;
    }

    finishSwitching(m);
}

void MbSupply::OptVCCMinus_Click(int Index)
{
    if (g_VminusTracksVcc)
        return; // V-minus is switched with VCC
    m.cmdDisableButtons_Click();
    if (!m.letEventsRun())
        return;
    const bool on = Index == 0;
    ShpVCCMinusOn->setFillColor(on ? kLampSupplyOn : kLampSupplyOff);
    if (setPin(m, kVminusPin, on))
        finishSwitching(m);
}

void MbSupply::showSuppliesOff()
{
    selectQuietly(OptVCC, 1);
    selectQuietly(OptVCCMinus, 1);
    ShpVCCon->setFillColor(kLampSupplyOff);
    ShpVCCMinusOn->setFillColor(kLampSupplyOff);
}

void MbSupply::writeSupplyPinsOff()
{
    m.cmdDisableButtons_Click();
    if (setPin(m, kSupplyPotPin, true) && setPin(m, kVccPin, false) && setPin(m, kVminusPin, false))
        finishSwitching(m);
}

void MbSupply::ChkTrack_Click()
{
    const bool tracking = ChkTrack->isChecked();
    g_VminusTracksVcc = tracking;
    for (QRadioButton* o : OptVCCMinus)
        o->setEnabled(!tracking);
    if (g_ActiveForm)
        if (QCheckBox* theirs = g_ActiveForm->ChkTrack())
            theirs->setChecked(tracking);
    m.letEventsRun();
}
