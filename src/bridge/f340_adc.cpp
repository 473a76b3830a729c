#include "bridge/frmMainF340.h"

#include "bridge/exchange.h"
#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

using bridge::ExchangeResult;

namespace {

// Positive-input list index of the motherboard's VCC/2 input (VIN4 on P2.2) and the
// negative-input index of ground: where the lists open.
constexpr int kVccHalfInput = 10;
constexpr int kGroundInput = 17;

// Port pins the input lists can make analog: list indexes firstIndex.. on port `port`.
// P2.4..P2.7 carry the supply switches and chip selects and stay digital; the internal
// inputs (indexes 16, 17) have no pin.
struct AnalogPins {
    int firstIndex, pins, port;
    F340Gpio::PinBoxes F340Gpio::*boxes;
    void (F340Gpio::*click)(int);
};
const AnalogPins kAnalogPins[] = {
    {0, 8, 1, &F340Gpio::chkDINP1, &F340Gpio::chkDINP1_Click},
    {8, 4, 2, &F340Gpio::chkDINP2, &F340Gpio::chkDINP2_Click},
};

QStringList inputList(bool negative)
{
    QStringList l;
    for (int i = 0; i < 8; ++i)
        l << QString("%1 - P1.%2").arg(Hex2(std::uint8_t(i))).arg(i);
    for (int i = 0; i < 8; ++i)
        l << QString("%1 - P2.%2").arg(Hex2(std::uint8_t(8 + i))).arg(i);
    l << (negative ? "1E - VREF" : "1E - Temp Sensor") << (negative ? "1F - GND" : "1F - VDD");
    return l;
}

// The multiplexer code of a selection: the hexadecimal number its text begins with.
std::uint8_t muxCode(const QComboBox* list) { return std::uint8_t(HexToInt(list->currentText()) & 0xFF); }

// The byte a read-mode entry stands for: the number its text begins with ("2: Continuous 2").
std::uint8_t leadingNumber(const QComboBox* list) { return std::uint8_t(CInt(Val(list->currentText())) & 0xFF); }

// The pin boxes belong to the GPIO frame; until it has built them there is nothing to set.
void setBox(QCheckBox* box, bool on)
{
    if (box)
        box->setChecked(on);
}

// The byte in a hex entry field, or empty after a message saying what is wrong with it.
std::optional<std::uint8_t> hexByte(const QLineEdit* box, const QString& name)
{
    // Leading zeros are allowed ("0FF" is a byte); the value decides, not the length.
    if (const auto value = HexByte(box->text()))
        return value;
    platform::msgBox(QString("%1 \"%2\" does not fit one byte: enter 00 to FF. Nothing was sent.").arg(name, box->text()));
    return std::nullopt;
}

// Reply-byte labels: the reply from byte `first` on when it came, "--" when it did not. A
// request that was never written asked nothing, and the labels keep their texts.
bool showReply(std::span<QLabel*> labels, const ExchangeResult& r, size_t first = 0)
{
    if (r.status == kStatusDialog)
        return false;
    for (size_t i = 0; i < labels.size(); ++i)
        labels[i]->setText(r.replied ? Hex2(g_ReportBuffer[first + i]) : QString("--"));
    return r.replied;
}

QPushButton* button(const QString& caption, std::function<void()> handler)
{
    auto* b = new QPushButton(caption);
    QObject::connect(b, &QPushButton::clicked, b, std::move(handler));
    return b;
}

QLineEdit* entry(const QString& text, int width)
{
    auto* e = new QLineEdit(text);
    e->setAlignment(Qt::AlignCenter);
    e->setFixedWidth(width);
    return e;
}

QLabel* replyLabel()
{
    auto* l = new QLabel("--");
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(30);
    return l;
}

// Reply labels under their captions, `columns` to a row. Caption labels go to `captionsOut`
// when the window names them.
QWidget* replyGrid(const QStringList& captions, std::span<QLabel*> labels, int columns,
                   std::span<QLabel*> captionsOut = {})
{
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(1);
    for (int i = 0; i < int(labels.size()); ++i) {
        auto* caption = new QLabel(captions.value(i));
        caption->setAlignment(Qt::AlignCenter);
        if (size_t(i) < captionsOut.size())
            captionsOut[size_t(i)] = caption;
        labels[size_t(i)] = replyLabel();
        g->addWidget(caption, 2 * (i / columns), i % columns);
        g->addWidget(labels[size_t(i)], 2 * (i / columns) + 1, i % columns);
    }
    return w;
}

// An inner frame: a row of controls above the reply grid.
QGroupBox* commandFrame(const QString& caption, std::initializer_list<QWidget*> controls, QWidget* replies)
{
    auto* box = new QGroupBox(caption);
    auto* v = new QVBoxLayout(box);
    v->setSpacing(4);
    auto* row = new QHBoxLayout;
    for (QWidget* c : controls)
        row->addWidget(c);
    row->addStretch(1);
    v->addLayout(row);
    if (replies)
        v->addWidget(replies);
    v->addStretch(1);
    return box;
}

} // namespace

// ---------------------------------------------------------------------------------------
// On-chip ADC: frame and lists

QWidget* F340Adc::buildAdcFrame()
{
    frmADC = new QGroupBox("ADC Control");
    auto* grid = new QGridLayout(frmADC);
    grid->setSpacing(6);

    cmdReadADCClock = button("Read", [this] { cmdReadADCClock_Click(); });
    cmdWriteADCClock = button("Write", [this] { cmdWriteADCClock_Click(); });
    txtADOSC = entry("38", 36);
    grid->addWidget(commandFrame("ADC Clock 10", {cmdReadADCClock, cmdWriteADCClock, txtADOSC},
                                 replyGrid({"RID", "Error", "SysClock", "ADOSC"}, lblADCClockDaa, 4)),
                    0, 0);

    cmdRdADCMode = button("Read", [this] { cmdRdADCMode_Click(); });
    grid->addWidget(commandFrame("ADC Mode 11", {cmdRdADCMode}, replyGrid({"RID", "Error", "REFCON"}, lblADCRefcon, 3)),
                    0, 1);

    {
        auto* box = new QGroupBox("ADC Mux Select 12");
        auto* g = new QGridLayout(box);
        for (size_t i = 0; i < 2; ++i) {
            cboAnamux[i] = new QComboBox;
            cboAnamux[i]->setMinimumContentsLength(16);
            cboAnamux[i]->setToolTip(i == 0 ? "Positive input" : "Negative input");
            txtModeByte[i] = entry(QString(), 36);
            txtModeByte[i]->setReadOnly(true);
            g->addWidget(cboAnamux[i], int(i), 0);
            g->addWidget(txtModeByte[i], int(i), 1);
        }
        cmdMuxWrite = button("Write Mux", [this] { cmdMuxWrite_Click(); });
        cmdRdADMux = button("Read Mux", [this] { cmdRdADMux_Click(); });
        g->addWidget(cmdMuxWrite, 0, 2);
        g->addWidget(cmdRdADMux, 1, 2);
        g->addWidget(replyGrid({"RID", "Error", "AMXOP", "AMSON", "P0MDIN", "P0SKIP", "P1MDIN", "P1SKIP", "P2MDIN",
                                "P2SKIP", "P3MDIN", "P3SKIP", "P4MDIN"},
                               lblADMuxData, 7, lblADMux),
                     2, 0, 1, 3);
        g->setColumnStretch(3, 1);
        grid->addWidget(box, 1, 0, 1, 2);
    }

    cmdADCRDMode16 = button("Read", [this] { cmdADCRDMode16_Click(); });
    cmdADCWrmode1 = button("Write", [this] { cmdADCWrmode1_Click(); });
    OptiADCSamples[0] = new QRadioButton("Single");
    OptiADCSamples[1] = new QRadioButton("Cont.");
    OptiADCSamples[0]->setChecked(true);
    grid->addWidget(commandFrame("ADC Mode 13", {cmdADCRDMode16, cmdADCWrmode1, OptiADCSamples[0], OptiADCSamples[1]},
                                 replyGrid({"RID", "Error", "Mode"}, lblADCMode1Data, 3)),
                    2, 0);

    cmdRdADCAvg = button("Read", [this] { cmdRdADCAvg_Click(); });
    cmdWrtLoopCount = button("Write", [this] { cmdWrtLoopCount_Click(); });
    txtADCLoopCount = entry("10", 40);
    KeyFilter::on(txtADCLoopCount)->keyPress = [this](int& k) { txtADCLoopCount_KeyPress(k); };
    onFocusOut(txtADCLoopCount, [this] { txtADCLoopCount_LostFocus(); });
    grid->addWidget(commandFrame("ADC Avg Loop Count 14", {cmdRdADCAvg, cmdWrtLoopCount, txtADCLoopCount},
                                 replyGrid({"RID", "Error", "Count"}, lblADCLoopData, 3)),
                    2, 1);

    {
        cmdADCRdSampleRate = button("Read", [this] { cmdADCRdSampleRate_Click(); });
        cmdADCWriteSampleRate = button("Write", [this] { cmdADCWriteSampleRate_Click(); });
        auto* counts = new QWidget;
        auto* h = new QHBoxLayout(counts);
        h->setContentsMargins(0, 0, 0, 0);
        const char* captions[] = {"MSB Count", "LSB Count"};
        for (size_t i = 0; i < 2; ++i) {
            txtADSAMP[i] = entry("00", 36);
            h->addWidget(new QLabel(captions[i]));
            h->addWidget(txtADSAMP[i]);
        }
        h->addStretch(1);
        QGroupBox* box = commandFrame("ADC Sample Rate 15", {cmdADCRdSampleRate, cmdADCWriteSampleRate},
                                      replyGrid({"RID", "Error", "Clock", "MSB Count", "LSB Count"}, lblADCSampleData, 5));
        static_cast<QVBoxLayout*>(box->layout())->insertWidget(1, counts);
        grid->addWidget(box, 3, 0);
    }

    {
        cmdADCRDEnable = button("Read", [this] { cmdADCRDEnable_Click(); });
        cmdADCWrEn = button("Write", [this] { cmdADCWrEn_Click(); });
        chkADCEnable = new QCheckBox("Enable");
        auto* lamp = new QWidget;
        auto* h = new QHBoxLayout(lamp);
        h->setContentsMargins(0, 0, 0, 0);
        ShpADCEn = new Lamp;
        h->addWidget(ShpADCEn);
        h->addWidget(new QLabel("Enabled"));
        auto* replies = new QWidget;
        auto* rh = new QHBoxLayout(replies);
        rh->setContentsMargins(0, 0, 0, 0);
        rh->addWidget(replyGrid({"RID", "Error", "AD0EN"}, lblADCEnable, 3));
        rh->addWidget(lamp, 0, Qt::AlignBottom);
        rh->addStretch(1);
        grid->addWidget(commandFrame("ADC Enable 16", {cmdADCRDEnable, cmdADCWrEn, chkADCEnable}, replies), 3, 1);
    }

    {
        cmdADCRDData = button("Read", [this] { cmdADCRDData_Click(); });
        for (size_t i = 0; i < 2; ++i)
            cboADCReadMode[i] = new QComboBox;
        cboADCReadMode[0]->setToolTip("Read mode");
        cboADCReadMode[1]->setToolTip("Samples per conversion");
        lblBytesSucceded = new QLabel("----");
        lblBytesSucceded->setToolTip("Bytes written");
        lblBytesSucceded->setMinimumWidth(32);
        txtADDec = entry(QString(), 64);
        txtADDec->setReadOnly(true);
        grid->addWidget(commandFrame("ADC Read", {cmdADCRDData, cboADCReadMode[0], cboADCReadMode[1], lblBytesSucceded,
                                                  new QLabel("AD Reading"), txtADDec},
                                     nullptr),
                        4, 0, 1, 2);
    }
    grid->setRowStretch(5, 1);
    return frmADC;
}

void F340Adc::initAdcLists()
{
    // The entries and the pin map are those of the 320 bridge, the only variant built.
    cboADCReadMode[0]->clear();
    cboADCReadMode[0]->addItems({"0: Single", "1: Continuous 1", "2: Continuous 2"});
    cboADCReadMode[0]->setCurrentIndex(0);
    cboADCReadMode[1]->clear();
    cboADCReadMode[1]->addItems({"0: 31 Sample", "1:  1 Sample"});
    cboADCReadMode[1]->setCurrentIndex(0);

    for (size_t i = 0; i < 2; ++i) {
        cboAnamux[i]->clear();
        cboAnamux[i]->addItems(inputList(i == 1));
    }
    cboAnamux[0]->setCurrentIndex(kVccHalfInput);
    cboAnamux[1]->setCurrentIndex(kGroundInput);
    g_VccAdcChannel = kVccHalfInput;
    g_AdcNegChannel = kGroundInput;
}

// ---------------------------------------------------------------------------------------
// On-chip ADC: commands

bool F340Adc::adcGet(std::uint8_t code, std::span<QLabel*> labels)
{
    return showReply(labels, bridge::exchange(code, bridge::kGet));
}

void F340Adc::cmdReadADCClock_Click() { adcGet(bridge::kAdcClock, lblADCClockDaa); }

void F340Adc::cmdWriteADCClock_Click()
{
    if (const auto b = hexByte(txtADOSC, "ADOSC"))
        bridge::exchange(bridge::kAdcClock, bridge::kSet, {*b});
}

void F340Adc::cmdRdADCMode_Click() { adcGet(bridge::kAdcReference, lblADCRefcon); }

void F340Adc::cmdRdADMux_Click() { adcGet(bridge::kAdcMux, lblADMuxData); }

void F340Adc::cmdMuxWrite_Click()
{
    f.cmdClearAnalog_Click(); // every pin digital again; the selections below make theirs analog
    const std::uint8_t positive = muxCode(cboAnamux[0]), negative = muxCode(cboAnamux[1]);
    txtModeByte[0]->setText(QString::number(positive));
    txtModeByte[1]->setText(QString::number(negative));

    for (const QComboBox* list : cboAnamux) {
        const int index = list->currentIndex();
        for (const AnalogPins& p : kAnalogPins) {
            if (index < p.firstIndex || index >= p.firstIndex + p.pins)
                continue;
            const int bit = index - p.firstIndex;
            setBox((f.*p.boxes)[size_t(bit)], true);
            (f.*p.click)(bit);
            f.cmdWrGPAnalog_Click(p.port);
        }
    }

    // One line: the opening and the connection, with no blank between them.
    traceDetail("Connect F340 ADC Input"
                "ADC Connect: +INP =" +
                cboAnamux[0]->currentText() + "  ADC -INP =" + cboAnamux[1]->currentText());
    const auto r = bridge::exchange(bridge::kAdcMux, bridge::kSet, {positive, negative});
    muxPositiveWritten = r.status == kStatusOk ? cboAnamux[0]->currentIndex() : -1;
}

void F340Adc::cmdADCRDMode16_Click()
{
    if (adcGet(bridge::kAdcMode, lblADCMode1Data))
        OptiADCSamples[bridge::decodeAdcContinuous(g_ReportBuffer) ? 1 : 0]->setChecked(true);
}

void F340Adc::cmdADCWrmode1_Click()
{
    bridge::exchange(bridge::kAdcMode, bridge::kSet, {std::uint8_t(OptiADCSamples[1]->isChecked() ? 1 : 0)});
}

void F340Adc::cmdRdADCAvg_Click() { adcGet(bridge::kAdcAveraging, lblADCLoopData); }

void F340Adc::cmdWrtLoopCount_Click()
{
    const QString t = txtADCLoopCount->text().trimmed();
    bool ok = false;
    const uint n = t.toUInt(&ok, 10); // leading zeros allowed; blanks and signs are not digits
    const bool digits = ok && std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits || n < 1 || n > 255) {
        platform::msgBox(QString("Loop count \"%1\" is not a count: enter 1 to 255. Nothing was sent.").arg(txtADCLoopCount->text()));
        return;
    }
    bridge::exchange(bridge::kAdcAveraging, bridge::kSet, {std::uint8_t(n)});
}

void F340Adc::txtADCLoopCount_KeyPress(int& KeyAscii) { checkValidEntryDecInt(KeyAscii); }

void F340Adc::txtADCLoopCount_LostFocus()
{
    const double n = Val(txtADCLoopCount->text());
    if (n > 255)
        txtADCLoopCount->setText("255");
    else if (n < 1)
        txtADCLoopCount->setText("1");
}

void F340Adc::cmdADCRdSampleRate_Click() { adcGet(bridge::kAdcSampleRate, lblADCSampleData); }

void F340Adc::cmdADCWriteSampleRate_Click()
{
    const auto msb = hexByte(txtADSAMP[0], "MSB Count");
    if (!msb)
        return;
    if (const auto lsb = hexByte(txtADSAMP[1], "LSB Count"))
        bridge::exchange(bridge::kAdcSampleRate, bridge::kSet, {*msb, *lsb});
}

void F340Adc::cmdADCRDEnable_Click()
{
    if (adcGet(bridge::kAdcEnable, lblADCEnable))
        ShpADCEn->setFillColor(bridge::decodeAdcEnabled(g_ReportBuffer) ? 12 : 0);
}

void F340Adc::cmdADCWrEn_Click()
{
    bridge::exchange(bridge::kAdcEnable, bridge::kSet, {std::uint8_t(chkADCEnable->isChecked() ? 1 : 0)});
}

void F340Adc::cmdADCRDData_Click()
{
    const QString traceStart = "Record F340 ADC Input";
    lblBytesSucceded->setText("--");
    txtADDec->setText("xxxx"); // no reading until a reply fills it
    replyCount = -1;

    const auto r = bridge::exchange(bridge::kAdcConvert, leadingNumber(cboADCReadMode[0]), {leadingNumber(cboADCReadMode[1])});
    // The bytes written: the whole report, or none when the write failed (the link dialog
    // came instead). A written request whose reply did not come still counts.
    const bool written = r.status != kStatusDialog;
    lblBytesSucceded->setText(QString::number(written ? g_ReportBuffer.size() : 0));
    if (!r.replied) {
        // The link dialog has told the user. "xxxx" stays, so no earlier count reads as this
        // conversion's; the shared results keep the last good one and g_AdcConversionOk
        // says it is not fresh.
        g_AdcConversionOk = false;
        traceDetail(traceStart);
        return;
    }
    // The field shows what came, whatever it is; only a reading becomes the shared result.
    const bridge::AdcConversion c = bridge::decodeAdcConversion(g_ReportBuffer);
    replyCount = c.count;
    txtADDec->setText(Str(c.count));
    g_AdcConversionOk = c.reading;
    if (c.reading) {
        g_AdcHigh = g_ReportBuffer[2];
        g_AdcLow = g_ReportBuffer[3];
        g_AdcCount = c.count;
        g_AdcVolts = bridge::adcVolts(g_AdcVref, c.count);
    }
    traceDetail(traceStart + " Decimal Count = " + txtADDec->text());
}

// ---------------------------------------------------------------------------------------
// External delta-sigma ADC

QWidget* F340Adc::buildExternalAdcFrames()
{
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);

    {
        auto* box = new QGroupBox("ADC ZN5520 Io");
        auto* g = new QGridLayout(box);
        cmdInitADCIO = button("Initialize AD IO", [this] { cmdInitADCIO_Click(); });
        cmdWrtADReg = button("Write / Read ADC Registers", [this] { cmdWrtADReg_Click(); });
        txtADCReg[0] = entry("84", 36);
        txtADCReg[1] = entry("02", 36);
        txtADCDelay[0] = entry("01", 36);
        txtADCReg[0]->setToolTip("Register byte 1");
        txtADCReg[1]->setToolTip("Register byte 2");
        txtADCDelay[0]->setToolTip("Delay");
        auto* fields = new QHBoxLayout;
        for (QLineEdit* e : {txtADCReg[0], txtADCReg[1], txtADCDelay[0]})
            fields->addWidget(e);
        fields->addStretch(1);
        auto* replies = new QHBoxLayout;
        for (QLabel*& l : lblAdRcv) {
            l = replyLabel();
            l->setToolTip("Reply bytes 1 to 4");
            replies->addWidget(l);
        }
        lblADRegRead = replyLabel();
        lblADRegRead->setToolTip("Register value read back");
        replies->addSpacing(12);
        replies->addWidget(lblADRegRead);
        replies->addStretch(1);
        g->addWidget(cmdInitADCIO, 0, 0);
        g->addWidget(cmdWrtADReg, 0, 1);
        g->addLayout(fields, 1, 0, 1, 2);
        g->addLayout(replies, 2, 0, 1, 2);
        h->addWidget(box);
    }
    {
        auto* box = new QGroupBox("Read ZN5520 AD");
        auto* g = new QGridLayout(box);
        cmdRDZN5520 = button("Read AD", [this] { cmdRDZN5520_Click(); });
        lblADDecimal[0] = new QLabel("Count");
        lblADDecimal[1] = replyLabel();
        lblADDecimal[1]->setMinimumWidth(80);
        lbl_ADReal = replyLabel();
        lbl_ADReal->setMinimumWidth(80);
        g->addWidget(cmdRDZN5520, 0, 0, 1, 2, Qt::AlignLeft);
        g->addWidget(lblADDecimal[0], 1, 0);
        g->addWidget(lblADDecimal[1], 1, 1);
        g->addWidget(new QLabel("mV"), 2, 0);
        g->addWidget(lbl_ADReal, 2, 1);
        h->addWidget(box);
    }
    h->addStretch(1);
    return w;
}

std::optional<ExchangeResult> F340Adc::extAdcExchange(std::uint8_t operation)
{
    const auto reg0 = hexByte(txtADCReg[0], "Register byte 1");
    if (!reg0)
        return std::nullopt;
    const auto reg1 = hexByte(txtADCReg[1], "Register byte 2");
    if (!reg1)
        return std::nullopt;
    const auto delay = hexByte(txtADCDelay[0], "Delay");
    if (!delay)
        return std::nullopt;
    return bridge::exchange(bridge::kExternalAdc, operation, {*reg0, *reg1, *delay});
}

void F340Adc::cmdInitADCIO_Click()
{
    traceDetail("Init ZN5520 Basic I/O and Control Bits");
    traceDetail("Set GPIO Push-Pull:  CS; CLK ; MOSI / Data:  RESET; CS; MISO = 1; CLK: MOSI = 0");

    // P1.0 RESET and P1.3 MISO stay open collector (MISO is the converter's output); CS, CLK
    // and MOSI are driven push-pull.
    constexpr bool kPushPull[] = {false, true, true, false, true};
    for (size_t pin = 0; pin < std::size(kPushPull); ++pin)
        setBox(f.chkOpenCollectorP1[pin], kPushPull[pin]);
    // RESET, CS and MISO high, then CLK and MOSI low.
    constexpr std::pair<size_t, bool> kLevels[] = {{0, true}, {1, true}, {3, true}, {2, false}, {4, false}};
    for (const auto& [pin, high] : kLevels)
        setBox(f.chkGPvalueP1[pin], high);

    f.cmdWrOC_Click(1);
    platform::pumpEvents();
    f.cmdRdOC_Click(1);
    platform::pumpEvents();
    f.cmdWrGPData_Click(1);
    platform::pumpEvents();
    f.cmdRdGPData_Click(1);
    platform::pumpEvents();

    traceDetail("Init ZN5520 I/O Completed\r\n");
}

void F340Adc::cmdWrtADReg_Click()
{
    const auto r = extAdcExchange(0);
    if (!r || !showReply(lblAdRcv, *r, 1)) {
        if (r && r->status != kStatusDialog)
            lblADRegRead->setText("--");
        return;
    }
    // Taken before events run, which may send.
    const std::uint8_t value = bridge::decodeExternalAdcRegister(g_ReportBuffer);
    platform::pumpEvents();
    lblADRegRead->setText(Hex2(value));
}

void F340Adc::cmdRDZN5520_Click()
{
    // No conversion yet: a request that goes wrong leaves no earlier result behind as if
    // it were this one's.
    g_ExtAdcCount = 0;
    const auto r = extAdcExchange(1);
    if (!r || !r->replied) {
        g_ExtAdcMillivolts = 0;
        // A written request that got no reply shows no reading; one that was never
        // written (or never built) asked nothing, and the labels keep their texts.
        if (r && r->status != kStatusDialog) {
            lblADDecimal[1]->setText("--");
            lbl_ADReal->setText("--");
        }
        return;
    }
    g_ExtAdcCount = bridge::decodeExternalAdc(g_ReportBuffer);
    lblADDecimal[1]->setText(QString::number(g_ExtAdcCount));
    if (g_ExtAdcGain == 0)
        g_ExtAdcGain = 1;
    g_ExtAdcMillivolts = bridge::externalAdcMillivolts(g_ExtAdcCount, g_ExtAdcGain);
    lbl_ADReal->setText(Format(g_ExtAdcMillivolts, "####0.00"));
}
