#include "motherboard/frmMotherboardDAQ2.h"

#include "bridge/frmMainF340.h"
#include "bridge/protocol.h"
#include "controls/lamp.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kSamplePauseMs = 100;
constexpr int kLampOff = 0, kLampOn = 10;

frmMainF340& console() { return forms().frmMainF340(); }

QPushButton* button(const QString& caption, QWidget* context, std::function<void()> handler)
{
    auto* b = new QPushButton(caption);
    QObject::connect(b, &QPushButton::clicked, context, std::move(handler));
    return b;
}

QLineEdit* readingField(const QString& text, int width)
{
    auto* e = new QLineEdit(text);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignCenter);
    e->setFixedWidth(width);
    return e;
}

} // namespace

QStringList adcInputEntries()
{
    return {"00 - P1.0",      "01 - P1.1",      "02 - P1.2",      "03 - P1.3",       "04 - P1.4",
            "05 - P1.5",      "06 - P1.6 VIN0", "07 - P1.7 VIN1", "08 - P2.0 VIN2",  "09 - P2.1 VIN3",
            "0A - P2.2 VIN4", "0B - P2.3",      "0C - P2.4",      "0D - P2.5",       "0E - P2.6",
            "0F - P2.7",      "1E - Temp Sensor", "1F - VDD"};
}

void AdcInputList::setCurrentIndex(int index)
{
    if (index == currentIndex() && sameIndexSelected)
        sameIndexSelected(index);
    else
        QComboBox::setCurrentIndex(index);
}

// ---------------------------------------------------------------------------------------
// Frames

QWidget* MbAdc::buildAdcFrame()
{
    auto* box = new QGroupBox("ADC Control");
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(8);

    Combo1 = new AdcInputList;
    Combo1->setMinimumContentsLength(16);
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Filled with no entry selected, before its handler is connected: the window's load
    // selects the VCC/2 input, and that selection sets the bridge's input and converts.
    Combo1->addItems(adcInputEntries());
    Combo1->QComboBox::setCurrentIndex(-1);
    QObject::connect(Combo1, &QComboBox::currentIndexChanged, Combo1, [this](int index) {
        if (index >= 0)
            Combo1_Click();
    });
    // Selecting the shown input again converts it again only when the bridge's multiplexer
    // was last written with another input (or its write failed); otherwise nothing needs
    // sending. The console's list is no guide: it can be moved without a write.
    Combo1->sameIndexSelected = [this](int index) {
        if (index >= 0 && console().muxPositiveWritten != index)
            Combo1_Click();
    };
    cmdSetMode = button("Update AD Channel", &m, [this] { cmdSetMode_Click(); });
    g->addWidget(Combo1, 0, 0, 1, 3);
    g->addWidget(cmdSetMode, 0, 3);

    txtADDec = readingField("XXXX", 64);
    txtRdgs[0] = readingField("0", 64);
    g->addWidget(new QLabel("AD Reading"), 1, 0);
    g->addWidget(txtADDec, 1, 1);
    g->addWidget(new QLabel("Volts"), 1, 2, Qt::AlignRight);
    g->addWidget(txtRdgs[0], 1, 3, Qt::AlignLeft);

    cmdSample = button("Loop on Read A/D", &m, [this] { cmdSample_Click(); });
    cmdEndSampling = button("Stop Sampling", &m, [this] { cmdEndSampling_Click(); });
    cmdEndSampling->hide();
    shpSample = new Lamp;
    shpSample->hide();
    auto* loop = new QHBoxLayout;
    loop->addWidget(cmdSample);
    loop->addWidget(cmdEndSampling);
    loop->addWidget(shpSample);
    loop->addStretch(1);
    g->addLayout(loop, 2, 0, 1, 4);
    g->setColumnStretch(4, 1);
    g->setRowStretch(3, 1);
    return box;
}

QWidget* MbAdc::buildVccReadback()
{
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    cmdSampleVCC = button("Read VCC", &m, [this] { cmdSampleVCC_Click(); });
    lblVCCVoltsRDBK = new QLabel("0.000");
    lblVCCVoltsRDBK->setFrameShape(QFrame::Panel);
    lblVCCVoltsRDBK->setFrameShadow(QFrame::Sunken);
    lblVCCVoltsRDBK->setAlignment(Qt::AlignCenter);
    lblVCCVoltsRDBK->setMinimumWidth(56);
    h->addWidget(cmdSampleVCC);
    h->addWidget(lblVCCVoltsRDBK);
    h->addWidget(new QLabel("V"));
    h->addStretch(1);
    return w;
}

// ---------------------------------------------------------------------------------------
// Conversions

void MbAdc::READ_AD()
{
    frmMainF340& f = console();
    f.chkADCEnable->setChecked(true); // the ADC is switched on before every conversion
    const bool stillLoaded = m.survives([&f] {
        f.cmdADCWrEn_Click();
        f.cmdADCRDData_Click();
    });
    if (!stillLoaded)
        return;
    // The count shows what came back, as the console's does. A conversion that did not come
    // back, or whose reply is no reading, is no measurement: the volts say so, and the shared
    // results keep the last reading, so that g_AdcConversionOk tells callers what they hold.
    txtADDec->setText(f.replyCount >= 0 ? QString::number(f.replyCount) : QStringLiteral("xxxx"));
    if (!g_AdcConversionOk) {
        txtRdgs[0]->setText(bridge::kNoReadingText);
        return;
    }
    const bridge::ChannelVolts v = bridge::channelVolts(g_AdcVref, int(g_AdcCount));
    txtRdgs[0]->setText(Format(v.volts, "##.####"));
    g_AdcVolts = v.volts;
    g_VccVolts = v.vcc;
}

void MbAdc::Combo1_Click()
{
    frmMainF340& f = console();
    f.cboAnamux[0]->setCurrentIndex(Combo1->currentIndex());
    f.cmdMuxWrite_Click();
    READ_AD();
}

void MbAdc::cmdSetMode_Click()
{
    frmMainF340& f = console();
    f.cboAnamux[0]->setCurrentIndex(Combo1->currentIndex());
    f.cboAnamux[1]->setCurrentIndex(g_AdcNegChannel);
    f.cmdMuxWrite_Click();
    READ_AD();
}

void MbAdc::cmdSampleVCC_Click()
{
    m.cmdDisableButtons_Click();
    frmMainF340& f = console();
    // Only the bridge moves to the VCC/2 input; Combo1 keeps showing the user's channel.
    f.cboAnamux[0]->setCurrentIndex(g_VccAdcChannel);
    if (!m.survives([&f] { f.cmdMuxWrite_Click(); }) || !m.letEventsRun())
        return;
    // Each conversion may end in a link dialog: the second one only on a window still there.
    if (!m.survives([this] { READ_AD(); }) || !m.survives([this] { READ_AD(); }))
        return;
    lblVCCVoltsRDBK->setText(g_AdcConversionOk ? Format(g_VccVolts, "#0.000") : bridge::kNoReadingText);
    m.cmdEnableBUttons_Click();
}

void MbAdc::cmdSample_Click()
{
    m.cmdDisableButtons_Click();
    cmdSample->hide();
    shpSample->show();
    cmdEndSampling->show();
    g_StopSampling = false;
    // Events run between conversions; when they close the window the loop ends at once
    // and touches nothing of it again.
    while (!g_StopSampling) {
        platform::sleepMs(kSamplePauseMs);
        if (!m.letEventsRun() || !m.survives([this] { READ_AD(); }))
            return;
        shpSample->setFillColor(shpSample->fillColor() == kLampOff ? kLampOn : kLampOff);
        if (!m.letEventsRun())
            return;
    }
    cmdEndSampling->hide();
    cmdSample->show();
    m.cmdEnableBUttons_Click();
}

void MbAdc::cmdEndSampling_Click()
{
    g_StopSampling = true;
    m.letEventsRun();
}
