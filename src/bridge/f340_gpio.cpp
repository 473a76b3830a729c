#include "bridge/frmMainF340.h"

#include "bridge/exchange.h"
#include "controls/lamp.h"
#include "motherboard/pin_table.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Family = F340Gpio::PinFamily;
using PortLabels = std::array<QLabel*, 5> F340Gpio::*;
using PortButtons = std::array<QPushButton*, 5> F340Gpio::*;
using BoxHandler = void (F340Gpio::*)(int);

constexpr int kPorts = 5;
constexpr int kPins = 8;
constexpr int kLampGreen = 10, kLampDarkGreen = 2, kLampRed = 12;

struct FamilyDef {
    std::array<F340Gpio::PinBoxes F340Gpio::*, kPorts> boxes;
    std::array<BoxHandler, kPorts> handlers;
    PortLabels byteLabels;
    PortLabels readLabels;
    PortButtons writeButtons;
    PortButtons readButtons;
    std::array<std::uint8_t, kPorts> registers;
    std::array<int, kPorts> dumpRows; // rows of the console's SFR dump that hold the registers
    int firstLamp;
    bool analog;                     // bit clear = analog: the byte is inverted
    const char* writeTrace;          // detail trace: writeTrace & address & writeJoin & byte
    const char* writeJoin;
    const char* readTrace;
};

// Indexed by F340Gpio::PinFamily.
const FamilyDef kFamilies[] = {
    {{&F340Gpio::chkGPvalueP0, &F340Gpio::chkGPvalueP1, &F340Gpio::chkGPvalueP2, &F340Gpio::chkGPvalueP3,
      &F340Gpio::chkGPvalueP4},
     {&F340Gpio::chkGPvalueP0_Click, &F340Gpio::chkGPvalueP1_Click, &F340Gpio::chkGPvalueP2_Click,
      &F340Gpio::chkGPvalueP3_Click, &F340Gpio::chkGPvalueP4_Click},
     &F340Gpio::lblWrGPData, &F340Gpio::lblRdGPData, &F340Gpio::cmdWrGPData, &F340Gpio::cmdRdGPData,
     {0x80, 0x90, 0xA0, 0xB0, 0xC7}, {0, 1, 2, 16, 17}, 5, false,
     "Write F340 GPIO Data Port:", " = ", "Read F340 GPIO Data Port:"},
    {{&F340Gpio::chkOpenCollectorP0, &F340Gpio::chkOpenCollectorP1, &F340Gpio::chkOpenCollectorP2,
      &F340Gpio::chkOpenCollectorP3, &F340Gpio::chkOpenCollectorP4},
     {&F340Gpio::chkOpenCollectorP0_Click, &F340Gpio::chkOpenCollectorP1_Click, &F340Gpio::chkOpenCollectorP2_Click,
      &F340Gpio::chkOpenCollectorP3_Click, &F340Gpio::chkOpenCollectorP4_Click},
     &F340Gpio::lblWrOC, &F340Gpio::lblRdOC, &F340Gpio::cmdWrOC, &F340Gpio::cmdRdOC,
     {0xA4, 0xA5, 0xA6, 0xA7, 0xAE}, {6, 7, 8, 19, 20}, 0, false,
     "Write F340 GPIO Mode Register ", " to ", "Read F340 GPIO Mode Register "},
    {{&F340Gpio::chkDINP0, &F340Gpio::chkDINP1, &F340Gpio::chkDINP2, &F340Gpio::chkDINP3, &F340Gpio::chkDINP4},
     {&F340Gpio::chkDINP0_Click, &F340Gpio::chkDINP1_Click, &F340Gpio::chkDINP2_Click, &F340Gpio::chkDINP3_Click,
      &F340Gpio::chkDINP4_Click},
     &F340Gpio::lblWrGPAnalog, &F340Gpio::lblRdGPAnalog, &F340Gpio::cmdWrGPAnalog, &F340Gpio::cmdRdGPAnalog,
     {0xF1, 0xF2, 0xF3, 0xF4, 0xF5}, {13, 14, 15, 18, 10}, 10, true,
     "Write F340 GPIO Analog Port:", " = ", "Read F340 GPIO Analog Port:"},
};

const FamilyDef& def(Family family) { return kFamilies[static_cast<int>(family)]; }

// The port operations take the port as an index; no register stands for any other number.
bool isPort(int port) { return port >= 0 && port < kPorts; }

constexpr Family kAllFamilies[] = {Family::Value, Family::Mode, Family::Analog};

// Captions of the output-mode boxes: the pin name, " A" where the ADC multiplexer can
// select the pin. "PO.3 A" is the caption the board's users know, letter O included.
// clang-format off
const char* const kModeCaptions[kPorts][kPins] = {
    {"P0.0",   "P0.1",   "P0.2",   "PO.3 A", "P0.4 A", "P0.5",   "P0.6",   "P0.7"},
    {"P1.0",   "P1.1 A", "P1.2 A", "P1.3",   "P1.4",   "P1.5",   "P1.6",   "P1.7"},
    {"P2.0 A", "P2.1 A", "P2.2 A", "P2.3 A", "P2.4",   "P2.5 A", "P2.6 A", "P2.7"},
    {"P3.0 A", "P3.1 A", "P3.2",   "P3.3",   "P3.4 A", "P3.5 A", "P3.6",   "P3.7 A"},
    {"P4.0 A", "P4.1",   "P4.2",   "P4.3 A", "P4.4 A", "P4.5 A", "P4.6 A", "P4.7"},
};
// clang-format on

std::uint8_t composeByte(const F340Gpio::PinBoxes& boxes, bool analog)
{
    int sum = 0;
    for (int i = 0; i < kPins; ++i)
        if (boxes[static_cast<size_t>(i)]->checkState() == Qt::Checked)
            sum += 1 << i;
    return static_cast<std::uint8_t>(analog ? 255 - sum : sum);
}

// A read that matches what was composed blinks the lamp between green and dark green, so
// that repeated good reads stay visible; a mismatch is red.
void showReadResult(Lamp* lamp, bool matches)
{
    if (!matches)
        lamp->setFillColor(kLampRed);
    else
        lamp->setFillColor(lamp->fillColor() == kLampGreen ? kLampDarkGreen : kLampGreen);
}

// The SFR dump tells of a link failure only through the link dialog, and g_MsgResult is what
// every link dialog (and the board search a Retry starts) leaves behind. The watch clears it
// for the span of the dump and puts the old value back when nothing happened.
class LinkDialogWatch {
public:
    LinkDialogWatch() : saved_(g_MsgResult) { g_MsgResult = 0; }
    ~LinkDialogWatch()
    {
        if (!failed())
            g_MsgResult = saved_;
    }
    bool failed() const { return g_MsgResult != 0; }

private:
    int saved_;
};

QLabel* byteLabel()
{
    auto* l = new QLabel("--");
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    int digit = 0;
    for (QChar ch : QString("0123456789ABCDEF-"))
        digit = std::max(digit, l->fontMetrics().horizontalAdvance(ch));
    l->setFixedWidth(2 * digit + 8);
    return l;
}

QPushButton* smallButton(const QString& text)
{
    auto* b = new QPushButton(text);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(text) + 12);
    return b;
}

Lamp* smallLamp()
{
    auto* lamp = new Lamp;
    lamp->setFixedSize(14, 14);
    return lamp;
}

QGridLayout* tightGrid(QWidget* owner)
{
    auto* g = new QGridLayout(owner);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(3);
    g->setVerticalSpacing(1);
    return g;
}

} // namespace

F340Gpio::PinBoxes& F340Gpio::pinBoxes(PinFamily family, int port)
{
    return this->*def(family).boxes.at(static_cast<size_t>(port));
}

// --- layout -----------------------------------------------------------------------------

QWidget* F340Gpio::buildGpioFrame()
{
    frmGPIO = new QGroupBox("GPIO");
    frmGPIO->setObjectName("frmGPIO");

    for (Family family : kAllFamilies) {
        const FamilyDef& d = def(family);
        for (int n = 0; n < kPorts; ++n) {
            PinBoxes& boxes = pinBoxes(family, n);
            for (int i = 0; i < kPins; ++i) {
                auto* box = new QCheckBox(family == Family::Mode ? kModeCaptions[n][i] : "");
                boxes[static_cast<size_t>(i)] = box;
                QObject::connect(box, &QCheckBox::toggled, box,
                                 [this, h = d.handlers[static_cast<size_t>(n)], i] { (this->*h)(i); });
            }
            (this->*d.byteLabels)[static_cast<size_t>(n)] = byteLabel();
            (this->*d.readLabels)[static_cast<size_t>(n)] = byteLabel();
            auto* wr = smallButton("Write");
            auto* rd = smallButton("Read");
            (this->*d.writeButtons)[static_cast<size_t>(n)] = wr;
            (this->*d.readButtons)[static_cast<size_t>(n)] = rd;
            QObject::connect(wr, &QPushButton::clicked, wr, [this, family, n] { writePort(family, n); });
            QObject::connect(rd, &QPushButton::clicked, rd, [this, family, n] { readPort(family, n); });
            ShpGPIOStat[static_cast<size_t>(d.firstLamp + n)] = smallLamp();
        }
    }

    auto* top = new QHBoxLayout;
    top->addWidget(buildValueBlock());
    top->addSpacing(12);
    top->addWidget(buildCommandBlock(), 1);

    auto* v = new QVBoxLayout(frmGPIO);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(6);
    v->addLayout(top);
    v->addWidget(buildModeAnalogBlock());
    return frmGPIO;
}

// Output values: one column per port, pins top down, so that the long motherboard
// captions of the boxes stand side by side.
QWidget* F340Gpio::buildValueBlock()
{
    auto* block = new QWidget;
    auto* g = tightGrid(block);
    lblGPvalue = new QLabel("LO (unchecked) / HI (checked)");
    g->addWidget(lblGPvalue, 0, 1, 1, kPorts);
    for (int n = 0; n < kPorts; ++n) {
        const int col = 1 + n;
        g->addWidget(new QLabel(QString("P%1").arg(n)), 1, col);
        for (int i = 0; i < kPins; ++i)
            g->addWidget(pinBoxes(Family::Value, n)[static_cast<size_t>(i)], 2 + i, col);

        auto* write = new QHBoxLayout;
        write->setSpacing(3);
        write->addWidget(lblWrGPData[static_cast<size_t>(n)]);
        write->addWidget(cmdWrGPData[static_cast<size_t>(n)]);
        write->addStretch(1);
        g->addLayout(write, 2 + kPins, col);

        auto* read = new QHBoxLayout;
        read->setSpacing(3);
        read->addWidget(lblRdGPData[static_cast<size_t>(n)]);
        read->addWidget(cmdRdGPData[static_cast<size_t>(n)]);
        read->addWidget(ShpGPIOStat[static_cast<size_t>(5 + n)]);
        read->addStretch(1);
        g->addLayout(read, 3 + kPins, col);
    }
    for (int i = 0; i < kPins; ++i)
        g->addWidget(new QLabel(QString::number(i)), 2 + i, 0);
    return block;
}

// Output modes and analog inputs: one row per port, the two families side by side.
QWidget* F340Gpio::buildModeAnalogBlock()
{
    auto* block = new QWidget;
    auto* g = tightGrid(block);
    lblOpenCollector = new QLabel("Open Collector (unchecked) / Push-pull (checked)");
    Label7 = new QLabel("Analog");

    // Columns: port name, then per family the eight boxes, byte, Write, Read, read-back, lamp.
    constexpr int kFamilyColumns = kPins + 5;
    const int firstColumn[] = {1, 1 + kFamilyColumns + 1};
    g->addWidget(lblOpenCollector, 0, firstColumn[0], 1, kFamilyColumns);
    g->addWidget(Label7, 0, firstColumn[1], 1, kFamilyColumns);
    g->setColumnMinimumWidth(firstColumn[1] - 1, 6);

    const Family families[] = {Family::Mode, Family::Analog};
    for (int n = 0; n < kPorts; ++n) {
        const int row = 1 + n;
        g->addWidget(new QLabel(QString("P%1").arg(n)), row, 0);
        for (int k = 0; k < 2; ++k) {
            const FamilyDef& d = def(families[k]);
            int col = firstColumn[k];
            for (QCheckBox* box : pinBoxes(families[k], n))
                g->addWidget(box, row, col++);
            g->addWidget((this->*d.byteLabels)[static_cast<size_t>(n)], row, col++);
            g->addWidget((this->*d.writeButtons)[static_cast<size_t>(n)], row, col++);
            g->addWidget((this->*d.readButtons)[static_cast<size_t>(n)], row, col++);
            g->addWidget((this->*d.readLabels)[static_cast<size_t>(n)], row, col++);
            g->addWidget(ShpGPIOStat[static_cast<size_t>(d.firstLamp + n)], row, col++);
        }
    }
    g->setColumnStretch(firstColumn[1] + kFamilyColumns, 1);
    return block;
}

QWidget* F340Gpio::buildCommandBlock()
{
    auto* block = new QWidget;
    auto* v = new QVBoxLayout(block);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);

    chkAutoWriteRead = new QCheckBox("Auto Write / Read");
    chkWeakPullUpDisable = new QCheckBox("Weak Pull-Up Disable");
    QObject::connect(chkWeakPullUpDisable, &QCheckBox::toggled, chkWeakPullUpDisable,
                     [this] { chkWeakPullUpDisable_Click(); });

    cmdResetGPIO = new QPushButton("Reset GPIO");
    cmdWriteReadAll = new QPushButton("Write Read All");
    cmdClearAnalog = new QPushButton("Clear Analog");
    cmdSampleGP = new QPushButton("Sample GP");
    QObject::connect(cmdResetGPIO, &QPushButton::clicked, cmdResetGPIO, [this] { cmdResetGPIO_Click(); });
    QObject::connect(cmdWriteReadAll, &QPushButton::clicked, cmdWriteReadAll, [this] { cmdWriteReadAll_Click(); });
    QObject::connect(cmdClearAnalog, &QPushButton::clicked, cmdClearAnalog, [this] { cmdClearAnalog_Click(); });
    QObject::connect(cmdSampleGP, &QPushButton::clicked, cmdSampleGP, [this] { cmdSampleGP_Click(); });

    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    buttons->addWidget(cmdResetGPIO, 0, 0);
    buttons->addWidget(cmdWriteReadAll, 0, 1);
    buttons->addWidget(cmdClearAnalog, 1, 0);
    buttons->addWidget(cmdSampleGP, 1, 1);

    lblGP = new QLabel("Port is HI-Z if Open-Collector and HI. When reading port values (such as on GUI startup), "
                       "weak pull-ups are temporarily enabled.");
    lblGP->setWordWrap(true);

    v->addWidget(chkAutoWriteRead);
    v->addLayout(buttons);
    v->addWidget(chkWeakPullUpDisable);
    v->addWidget(lblGP);
    v->addStretch(1);
    return block;
}

void F340Gpio::initPinCaptions()
{
    for (int i = 0; i < kPins; ++i) {
        const auto k = static_cast<size_t>(i);
        chkGPvalueP0[k]->setText(motherboard::pinCaption(i));
        chkGPvalueP1[k]->setText(motherboard::pinCaption(8 + i));
        chkGPvalueP2[k]->setText(motherboard::pinCaption(16 + i));
        chkGPvalueP3[k]->setText(QString());
        chkGPvalueP4[k]->setText(QString());
    }
}

// --- one port of one family ------------------------------------------------------------

void F340Gpio::portChanged(PinFamily family, int port)
{
    const FamilyDef& d = def(family);
    (this->*d.byteLabels)[static_cast<size_t>(port)]->setText(Hex2(composeByte(pinBoxes(family, port), d.analog)));
    if (chkAutoWriteRead->checkState() == Qt::Checked) {
        writePort(family, port);
        readPort(family, port);
    }
}

void F340Gpio::writePort(PinFamily family, int port)
{
    if (!isPort(port))
        return;
    const FamilyDef& d = def(family);
    const QString address = Hex2(d.registers.at(static_cast<size_t>(port)));
    const QString value = (this->*d.byteLabels)[static_cast<size_t>(port)]->text();
    f.txtSFRAddress->setText(address);
    traceDetail(d.writeTrace + address + d.writeJoin + value);
    // A port write is not checked: the next read shows whether it arrived.
    bridge::exchange(bridge::kSfrAccess, bridge::kSet,
                     {static_cast<std::uint8_t>(HexToInt(f.txtSFRAddress->text())),
                      static_cast<std::uint8_t>(HexToInt(value))});
}

void F340Gpio::readPort(PinFamily family, int port)
{
    if (!isPort(port))
        return;
    const FamilyDef& d = def(family);
    const auto p = static_cast<size_t>(port);
    const QString address = Hex2(d.registers.at(p));
    f.txtSFRAddress->setText(address);
    traceDetail(d.readTrace + address);
    Lamp* lamp = ShpGPIOStat[static_cast<size_t>(d.firstLamp + port)];
    const auto r = bridge::exchange(bridge::kSfrAccess, bridge::kGet,
                                    {static_cast<std::uint8_t>(HexToInt(f.txtSFRAddress->text()))});
    if (!r.replied) {
        // The link dialog has been shown. The buffer holds no answer to this read, so the
        // read label keeps the last value that did come.
        lamp->setFillColor(kLampRed);
        return;
    }
    QLabel* read = (this->*d.readLabels)[p];
    read->setText(Hex2(g_ReportBuffer[3]));
    showReadResult(lamp, read->text() == (this->*d.byteLabels)[p]->text());
}

void F340Gpio::rebuildFromDump(PinFamily family)
{
    const FamilyDef& d = def(family);
    {
        LinkDialogWatch watch;
        f.cmdReadSKF_Click();
        if (watch.failed())
            return; // some row holds no reply: rebuilding from it would write it back
    }
    // All boxes of a port change before its handler runs, so that Auto Write / Read sends
    // each port once, with its complete byte.
    for (int n = 0; n < kPorts; ++n) {
        const auto row = static_cast<size_t>(d.dumpRows[static_cast<size_t>(n)]);
        const auto value = static_cast<std::uint8_t>(HexToInt(f.txtPBufRd.at(row)->text()));
        for (int i = 0; i < kPins; ++i) {
            QCheckBox* box = pinBoxes(family, n)[static_cast<size_t>(i)];
            const QSignalBlocker quiet(box);
            box->setChecked((value >> i) & 1);
        }
    }
    for (BoxHandler h : d.handlers)
        (this->*h)(0);
}

// --- change handlers of the boxes ------------------------------------------------------

void F340Gpio::chkGPvalueP0_Click(int) { portChanged(PinFamily::Value, 0); }
void F340Gpio::chkGPvalueP1_Click(int) { portChanged(PinFamily::Value, 1); }
void F340Gpio::chkGPvalueP2_Click(int) { portChanged(PinFamily::Value, 2); }
void F340Gpio::chkGPvalueP3_Click(int) { portChanged(PinFamily::Value, 3); }
void F340Gpio::chkGPvalueP4_Click(int) { portChanged(PinFamily::Value, 4); }
void F340Gpio::chkOpenCollectorP0_Click(int) { portChanged(PinFamily::Mode, 0); }
void F340Gpio::chkOpenCollectorP1_Click(int) { portChanged(PinFamily::Mode, 1); }
void F340Gpio::chkOpenCollectorP2_Click(int) { portChanged(PinFamily::Mode, 2); }
void F340Gpio::chkOpenCollectorP3_Click(int) { portChanged(PinFamily::Mode, 3); }
void F340Gpio::chkOpenCollectorP4_Click(int) { portChanged(PinFamily::Mode, 4); }
void F340Gpio::chkDINP0_Click(int) { portChanged(PinFamily::Analog, 0); }
void F340Gpio::chkDINP1_Click(int) { portChanged(PinFamily::Analog, 1); }
void F340Gpio::chkDINP2_Click(int) { portChanged(PinFamily::Analog, 2); }
void F340Gpio::chkDINP3_Click(int) { portChanged(PinFamily::Analog, 3); }
void F340Gpio::chkDINP4_Click(int) { portChanged(PinFamily::Analog, 4); }

// --- port operations -------------------------------------------------------------------

void F340Gpio::cmdWrGPData_Click(int Index) { writePort(PinFamily::Value, Index); }
void F340Gpio::cmdRdGPData_Click(int Index) { readPort(PinFamily::Value, Index); }
void F340Gpio::cmdWrOC_Click(int Index) { writePort(PinFamily::Mode, Index); }
void F340Gpio::cmdRdOC_Click(int Index) { readPort(PinFamily::Mode, Index); }
void F340Gpio::cmdWrGPAnalog_Click(int Index) { writePort(PinFamily::Analog, Index); }
void F340Gpio::cmdRdGPAnalog_Click(int Index) { readPort(PinFamily::Analog, Index); }

// --- bulk operations -------------------------------------------------------------------

void F340Gpio::cmdResetGPIO_Click()
{
    trace("     Clear GPIO Bits Ports 0 to 4");
    for (int i = 0; i < kPins; ++i)
        for (Family family : {Family::Mode, Family::Value, Family::Analog})
            for (int n = 0; n < kPorts; ++n)
                pinBoxes(family, n)[static_cast<size_t>(i)]->setChecked(false);
    platform::pumpEvents();
}

void F340Gpio::cmdWriteReadAll_Click()
{
    trace("     Read all GPIO Ports 0 to 4");
    const bool wasOn = chkAutoWriteRead->isChecked();
    chkAutoWriteRead->setChecked(true);
    platform::pumpEvents();
    for (Family family : {Family::Mode, Family::Value, Family::Analog})
        for (BoxHandler h : def(family).handlers)
            (this->*h)(0);
    chkAutoWriteRead->setChecked(wasOn);
}

void F340Gpio::cmdClearAnalog_Click()
{
    traceDetail("     Clear Proc ADC Analog Connections Ports 0 to 4");
    for (int i = 0; i < kPins; ++i)
        for (int n = 0; n < kPorts; ++n)
            pinBoxes(Family::Analog, n)[static_cast<size_t>(i)]->setChecked(false);
    // Every input-mode register is made digital, whatever the boxes held before.
    for (int n = 0; n < kPorts; ++n) {
        lblWrGPAnalog[static_cast<size_t>(n)]->setText("FF");
        cmdWrGPAnalog_Click(n);
    }
}

void F340Gpio::cmdSampleGP_Click() { getGPvalue(); }

void F340Gpio::getGPvalue()
{
    trace("getGPvalue: Read F340 GPIO, update check boxes.");
    rebuildFromDump(PinFamily::Value);
    trace("getGPvalue: Completed\r\n");
}

void F340Gpio::getGPconf()
{
    trace("\r\ngetGPconf: Read F340 Registers, update GPIO check boxes");
    rebuildFromDump(PinFamily::Mode);
    trace("getGPconf: completed\r\n");
}

// --- weak pull-ups (command 2) ---------------------------------------------------------

void F340Gpio::chkWeakPullUpDisable_Click()
{
    if (!g_OptionGuard)
        setGPconf();
}

void F340Gpio::setGPconf()
{
    // The command carries the P1 output modes and the low nibble of the P2 output modes.
    const std::uint8_t p1 = composeByte(chkOpenCollectorP1, false);
    const auto p2 = static_cast<std::uint8_t>(composeByte(chkOpenCollectorP2, false) & 0x0F);
    const std::uint8_t pullUpsOff = chkWeakPullUpDisable->checkState() == Qt::Checked ? 1 : 0;
    bridge::exchange(bridge::kPortModes, bridge::kSet, {p1, p2, pullUpsOff});
}
