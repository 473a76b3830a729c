#include "quad/quad_console.h"

#include "bridge/frmMainF340.h"
#include "bridge/protocol.h"
#include "controls/event_hook.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "quad/quad_device_link.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace quad;

namespace {

// Palette entries of the lamps and the table rows.
constexpr int kBlack = 0, kDarkBlue = 1, kDarkGreen = 2, kBlue = 9, kGreen = 10, kRed = 12, kYellow = 14,
              kWhite = 15;

constexpr std::uint8_t kP0 = 0x80, kXbr0 = 0xE1;
constexpr std::uint8_t kXbr0Normal = 0x06;
constexpr std::uint8_t kP06 = 0x40;    // raised around the I2C console's reads
constexpr int kReadPauseMs = 20;
constexpr int kStatusPauseMs = 30;
constexpr int kTerminatePauseMs = 750;

// Layout: the window's client area (13995 x 11970 twips at 15 twips a pixel), the height of
// a control row in the pot frames, and the instruction table's cells (2000, 8 x 400 and
// 3100 twips wide, at least 520 high).
constexpr int kWindowWidth = 933, kWindowHeight = 798;
constexpr int kPotRowHeight = 18, kPotCaptionHeight = 15, kIncDecWidth = 280;
constexpr int kNameColumn = 133, kBitColumn = 27, kOperationColumn = 207, kMinRowHeight = 35;

// The bus pins on port P0 while the crossbar leaves them to the port.
struct Pins {
    std::uint8_t data, clock, select; // select 0: none
    std::uint8_t crossbarInMode;
};
constexpr Pins kI2CPins{0x10, 0x20, 0x00, 0x02};   // SDA P0.4, SCL P0.5
constexpr Pins kSpiPins{0x04, 0x01, 0x08, 0x00};   // MOSI P0.2, SCLK P0.0, NSS P0.3
const Pins& pins(Bus bus) { return bus == Bus::I2C ? kI2CPins : kSpiPins; }

void blink(Lamp* lamp) { lamp->setFillColor(lamp->fillColor() == kGreen ? kDarkGreen : kGreen); }

// A port-write report written straight to the board, from a zeroed buffer with report
// number 1; no reply is read.
void writeDirectSfr(std::uint8_t address, std::uint8_t value)
{
    g_ReportBuffer.fill(0);
    bridge::buildDirectSfrWrite(g_ReportBuffer, address, value);
    WriteReport();
}

frmMainF340& bridgeConsole() { return forms().frmMainF340(); }

QLabel* valueLabel(const QString& text, const QString& tip)
{
    auto* l = new QLabel(text);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(34);
    l->setToolTip(tip);
    return l;
}

QLineEdit* valueField(const QString& text, const QString& tip)
{
    auto* e = new QLineEdit(text);
    e->setMaximumWidth(40);
    e->setAlignment(Qt::AlignCenter);
    e->setToolTip(tip);
    return e;
}

QPushButton* smallButton(const QString& caption, const QString& tip)
{
    auto* b = new QPushButton(caption);
    b->setToolTip(tip);
    b->setMaximumWidth(48);
    return b;
}

Lamp* lamp()
{
    auto* l = new Lamp(nullptr, Lamp::Shape::Circle);
    l->setFixedSize(14, 14);
    return l;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Option groups

void QuadOption::nextCheckState()
{
    if (blocked && blocked())
        return;
    setChecked(true);
}

void QuadConsole::select(QuadOption* option)
{
    option->setChecked(false);
    option->setChecked(true);
}

void QuadConsole::optionGroup(QuadOption* const* options, int count, void (QuadConsole::*handler)(int))
{
    for (int i = 0; i < count; ++i) {
        QuadOption* o = options[i];
        o->setAutoExclusive(false);
        o->blocked = [this] { return busy_; };
        connect(o, &QRadioButton::toggled, this, [this, options, count, i, handler](bool on) {
            if (!on)
                return;
            for (int j = 0; j < count; ++j)
                if (j != i)
                    options[j]->setChecked(false);
            (this->*handler)(i);
        });
    }
}

void QuadConsole::userAction(const std::function<void()>& fn)
{
    if (busy_)
        return;
    busy_ = true;
    struct Clear {
        bool& b;
        ~Clear() { b = false; }
    } clear{busy_};
    fn();
}

// ---------------------------------------------------------------------------------------
// Window

QuadConsole::QuadConsole(Bus bus) : bus_(bus)
{
    setWindowTitle(bus == Bus::I2C ? "k4744/5  Instruction Set, Register Controls and Status Detail"
                                   : "k4731/2  Instruction Set, Register Controls and Status Detail");
    buildWindow();
}

QuadComposition& QuadConsole::c() const { return bus_ == Bus::I2C ? g_K4744Quad : g_K4731Quad; }

QuadDeviceLink& QuadConsole::device() const { return quadDeviceLink(bus_); }

void QuadConsole::buildWindow()
{
    resize(kWindowWidth, kWindowHeight);
    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);

    FrPot = new QGroupBox(bus_ == Bus::I2C ? "K4744/5 Instruction Set" : "k4731/2 Instruction Set");
    auto* left = new QVBoxLayout(FrPot);
    left->setSpacing(4);
    Label6 = new QLabel("TABLE 1. INSTRUCTION SET");
    Label6->setStyleSheet("font-weight: bold;");
    left->addWidget(Label6);
    Grid1 = new QTableWidget(kTableRows, kTableColumns);
    Grid1->setToolTip("Figure 1 Of Data Sheet (Instruction Set)");
    left->addWidget(Grid1);
    left->addWidget(buildComposition());
    auto* lower = new QHBoxLayout;
    // The value frame takes the width; the increment/decrement frame, shown in its place,
    // keeps its own.
    lower->addWidget(buildValueFrame(), 1);
    lower->addWidget(buildIncDecFrame(), 0, Qt::AlignLeft);
    left->addLayout(lower);
    left->addStretch(1);
    top->addWidget(FrPot);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    for (int p = 0; p < 4; ++p)
        right->addWidget(buildPotFrame(p));
    // The legend takes the height the pot frames leave, so its wrapped lines never crowd.
    right->addWidget(buildLegend(), 1);
    top->addLayout(right, 1);

    connect(cmdDoInstruction, &QPushButton::clicked, this, [this] { userAction([this] { cmdDoInstruction_Click(); }); });
    connect(cmdResetInstruction, &QPushButton::clicked, this,
            [this] { userAction([this] { cmdResetInstruction_Click(); }); });
    connect(cmdSetWReqRd, &QPushButton::clicked, this, [this] { userAction([this] { cmdSetWReqRd_Click(); }); });
    connect(cmdReadAll, &QPushButton::clicked, this, [this] { userAction([this] { cmdReadAll_Click(); }); });
    connect(cmdFillRegs, &QPushButton::clicked, this, [this] { userAction([this] { cmdFillRegs_Click(); }); });
    connect(cmdINCPreamble, &QPushButton::clicked, this, [this] { userAction([this] { cmdINCPreamble_Click(); }); });
    for (int i = 0; i < 3; ++i)
        connect(cmdIncrWip[size_t(i)], &QPushButton::clicked, this,
                [this, i] { userAction([this, i] { cmdIncrWip_Click(i); }); });
    for (int p = 0; p < 4; ++p) {
        connect(cmdRdWCR[size_t(p)], &QPushButton::clicked, this, [this, p] { userAction([this, p] { cmdRdWCR_Click(p); }); });
        connect(cmdWrWCR[size_t(p)], &QPushButton::clicked, this, [this, p] { userAction([this, p] { cmdWrWCR_Click(p); }); });
    }
    for (int k = 0; k < 16; ++k) {
        connect(cmdRDData[size_t(k)], &QPushButton::clicked, this,
                [this, k] { userAction([this, k] { cmdRDData_Click(k); }); });
        connect(cdmWrData[size_t(k)], &QPushButton::clicked, this,
                [this, k] { userAction([this, k] { cdmWrData_Click(k); }); });
        onFocusOut(txtWrData[size_t(k)], [this, k] { txtWrData_LostFocus(k); });
    }
    onFocusOut(txtWriteValue, [this] { txtWriteValue_LostFocus(); });
    optionGroup(OptInstruction.data(), kInstructionCount, &QuadConsole::OptInstruction_Click);
    optionGroup(OptRegSel.data(), 4, &QuadConsole::OptRegSel_Click);
    optionGroup(OptWiper.data(), 4, &QuadConsole::OptWiper_Click);
}

QWidget* QuadConsole::buildComposition()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(3);

    static const char* const kSetTips[] = {"I3-I0 Value in Hex", "R0/1 Value", "P0/1 Value",
                                           "Merged R0/1 and P0/1 Value in Hex", "Final Instruction Set in Hex"};
    for (size_t i = 0; i < lblSet.size(); ++i) {
        lblSet[i] = valueLabel(i < 3 ? "-" : "--", kSetTips[i]);
        lblSet[i]->setMinimumWidth(26);
    }
    QFont big = lblSet[4]->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblSet[4]->setFont(big);
    lblSet[4]->setMinimumWidth(44);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    Label4[0] = new QLabel("Fields in Hex >");
    Label4[1] = new QLabel("Merged RX / PX Fields in Hex >");
    Label4[2] = new QLabel("Final Instruction in Hex >");
    for (int r = 0; r < 3; ++r)
        fields->addWidget(Label4[size_t(r)], r, 0, Qt::AlignRight);
    fields->addWidget(lblSet[0], 0, 1);
    fields->addWidget(lblSet[1], 0, 2);
    fields->addWidget(lblSet[2], 0, 3);
    fields->addWidget(lblSet[3], 1, 1);
    fields->addWidget(lblSet[4], 2, 1, 1, 2);
    cmdINCPreamble = new QPushButton("Send INC Preamble");
    cmdINCPreamble->setVisible(false);
    fields->addWidget(cmdINCPreamble, 2, 3, 1, 2);
    fields->setColumnStretch(5, 1);
    v->addLayout(fields);

    Label3 = new QLabel("Table 1. Instruction Set Selection");
    Label3->setToolTip("Use these Radio Buttons to setup Instruction byte fileds,  I3-I0, R0/1, P0/1");
    QFont head = Label3->font();
    head.setPointSizeF(head.pointSizeF() * 1.3);
    head.setBold(true);
    Label3->setFont(head);
    v->addWidget(Label3);

    auto* groups = new QHBoxLayout;
    FrInstruction = new QGroupBox("Instruction");
    auto* gi = new QGridLayout(FrInstruction);
    gi->setVerticalSpacing(1);
    for (int i = 0; i < kInstructionCount; ++i) {
        OptInstruction[size_t(i)] = new QuadOption(kInstructions[size_t(i)].caption);
        gi->addWidget(OptInstruction[size_t(i)], i % 4, i / 4);
    }
    groups->addWidget(FrInstruction, 2);
    FrRegisterSelection = new QGroupBox("R1 / 0");
    auto* gr = new QVBoxLayout(FrRegisterSelection);
    gr->setSpacing(1);
    for (int i = 0; i < 4; ++i) {
        OptRegSel[size_t(i)] = new QuadOption(QString::number(i));
        gr->addWidget(OptRegSel[size_t(i)]);
    }
    groups->addWidget(FrRegisterSelection);
    FrWiper = new QGroupBox("P1 / P0");
    auto* gw = new QVBoxLayout(FrWiper);
    gw->setSpacing(1);
    static const char* const kPotCaptions[] = {" 0", "1", " 2", "3"};
    for (int i = 0; i < 4; ++i) {
        OptWiper[size_t(i)] = new QuadOption(kPotCaptions[i]);
        OptWiper[size_t(i)]->setMinimumWidth(86);
        gw->addWidget(OptWiper[size_t(i)]);
    }
    groups->addWidget(FrWiper);
    v->addLayout(groups);
    return w;
}

QWidget* QuadConsole::buildValueFrame()
{
    FrVal = new QGroupBox;
    auto* g = new QGridLayout(FrVal);
    g->setVerticalSpacing(2);
    g->setContentsMargins(8, 4, 8, 6);
    Label2[0] = new QLabel("User Input Write Value");
    Label2[1] = new QLabel("Read Operation returned Value.");
    txtWriteValue = valueField("00", "User Data Input Field for Value to Write in Hex.");
    lblReadValue = valueLabel("---", "Returned Value in Hex.");
    cmdDoInstruction = new QPushButton("Go");
    cmdDoInstruction->setToolTip("Execute Instruction / Operation");
    QFont bold = cmdDoInstruction->font();
    bold.setBold(true);
    ShpI2CAck[0] = lamp();
    Label1 = new QLabel(bus_ == Bus::I2C ? "I2C ACK" : "USB Comm.");
    cmdResetInstruction = new QPushButton("Reset");
    cmdResetInstruction->setToolTip("Clear Selections and LED Status");
    cmdSetWReqRd = new QPushButton("Set Wr = Rd");
    cmdSetWReqRd->setToolTip("Moves Read Data into Write Fields for all Data and WCR Registers.");
    cmdReadAll = new QPushButton("Read All");
    cmdReadAll->setFont(bold);
    cmdReadAll->setToolTip("Read all Data and WCR Registers");
    cmdFillRegs = new QPushButton("Fill Regs");
    cmdFillRegs->setToolTip("Write / Fill all Data and WCR Register");

    g->addWidget(Label2[0], 0, 0);
    g->addWidget(txtWriteValue, 1, 0, Qt::AlignLeft);
    g->addWidget(Label2[1], 2, 0);
    g->addWidget(lblReadValue, 3, 0, Qt::AlignLeft);
    auto* status = new QHBoxLayout;
    status->setSpacing(6);
    status->addWidget(cmdDoInstruction);
    status->addWidget(ShpI2CAck[0]);
    status->addWidget(Label1);
    status->addStretch(1);
    g->addLayout(status, 4, 0);
    g->addWidget(cmdResetInstruction, 0, 1);
    g->addWidget(cmdSetWReqRd, 1, 1);
    g->addWidget(cmdReadAll, 2, 1);
    g->addWidget(cmdFillRegs, 3, 1);
    return FrVal;
}

QWidget* QuadConsole::buildIncDecFrame()
{
    FrIncrDec = new QGroupBox("Increment / Decrement");
    auto* g = new QGridLayout(FrIncrDec);
    lvlPotN = new QLabel("POT 0 Volts");
    lblPotVolts = valueLabel("0.000", QString());
    lblPotVolts->setMinimumWidth(60);
    lblPotVolts->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    cmdIncrWip[0] = new QPushButton("Up");
    cmdIncrWip[0]->setToolTip("Click to increment selected wiper (WCR) up");
    cmdIncrWip[1] = new QPushButton("Down");
    cmdIncrWip[1]->setToolTip("Click to decrement selected wiper (WCR) down");
    cmdIncrWip[2] = new QPushButton("Terminate");
    cmdIncrWip[2]->setToolTip("Exit Increment / Decrement Sequence Mode");
    g->addWidget(lvlPotN, 0, 0);
    g->addWidget(lblPotVolts, 0, 1);
    g->addWidget(cmdIncrWip[0], 1, 0);
    g->addWidget(cmdIncrWip[1], 1, 1);
    g->addWidget(cmdIncrWip[2], 2, 0, 1, 2);
    FrIncrDec->setMaximumWidth(kIncDecWidth);
    FrIncrDec->setVisible(false);
    return FrIncrDec;
}

QWidget* QuadConsole::buildPotFrame(int pot)
{
    const auto p = size_t(pot);
    FrDCP[p] = new QGroupBox(QString("Pot %1").arg(pot));
    FrDCP[p]->setToolTip("DCP / POT Internal Data and WCR Registers");
    auto* g = new QGridLayout(FrDCP[p]);
    g->setContentsMargins(6, 2, 6, 4);
    g->setVerticalSpacing(0);
    g->setHorizontalSpacing(4);
    lblDataRegs[p] = new QLabel(QString("Data Registers Pot %1").arg(pot));
    g->addWidget(lblDataRegs[p], 0, 0, 1, 12);
    for (int r = 0; r < 4; ++r) {
        const auto k = size_t(dataIndex(pot, r));
        cmdRDData[k] = smallButton(QString("Rd %1").arg(r), "Read Data Register");
        lblRdData[k] = valueLabel("000", "Displayed Register Value in Hex");
        ShpDataRd[k] = lamp();
        cdmWrData[k] = smallButton(QString("Wr %1").arg(r), "Write Data Register");
        txtWrData[k] = valueField("000", "Input Value in Hex, then click write button");
        ShpDataWr[k] = lamp();
        const int row = 1 + 2 * (r / 2), col = 6 * (r % 2);
        g->addWidget(cmdRDData[k], row, col);
        g->addWidget(lblRdData[k], row, col + 1);
        g->addWidget(ShpDataRd[k], row, col + 2);
        g->addWidget(cdmWrData[k], row + 1, col);
        g->addWidget(txtWrData[k], row + 1, col + 1);
        g->addWidget(ShpDataWr[k], row + 1, col + 2);
    }
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    g->addWidget(line, 5, 0, 1, 12);
    Label13[p] = new QLabel(QString("WCR Pot %1").arg(pot));
    g->addWidget(Label13[p], 6, 0, 1, 12);
    cmdRdWCR[p] = smallButton("Read", "Read Wiper Register");
    lblRDWcr[p] = valueLabel("000", QString());
    ShpRdWCR[p] = lamp();
    cmdWrWCR[p] = smallButton("Write", "Write Wiper Register");
    txtWXWcr[p] = valueField("000", QString());
    ShpWrWCR[p] = lamp();
    g->addWidget(cmdRdWCR[p], 7, 0);
    g->addWidget(lblRDWcr[p], 7, 1);
    g->addWidget(ShpRdWCR[p], 7, 2);
    g->addWidget(cmdWrWCR[p], 7, 6);
    g->addWidget(txtWXWcr[p], 7, 7);
    g->addWidget(ShpWrWCR[p], 7, 8);
    g->setColumnMinimumWidth(3, 12);
    // Four pot frames and the legend stack in the window's height: one control row each.
    for (QWidget* w : FrDCP[p]->findChildren<QWidget*>()) {
        if (w == line)
            w->setFixedHeight(3);
        else if (w == lblDataRegs[p] || w == Label13[p])
            w->setFixedHeight(kPotCaptionHeight);
        else if (!qobject_cast<Lamp*>(w))
            w->setFixedHeight(kPotRowHeight);
    }
    return FrDCP[p];
}

QWidget* QuadConsole::buildLegend()
{
    Frame1 = new QGroupBox("LED Color Legend");
    auto* g = new QGridLayout(Frame1);
    g->setContentsMargins(6, 2, 6, 2);
    g->setVerticalSpacing(1);
    static const int kColors[] = {kBlack, kGreen, kDarkGreen, kBlue, kYellow};
    for (size_t i = 0; i < ShpLegend.size(); ++i) {
        ShpLegend[i] = lamp();
        ShpLegend[i]->setFillColor(kColors[i]);
    }
    Label5[0] = new QLabel("Has not been written or Read Since being updated.");
    Label5[1] = new QLabel("Multiple Register Access, Toggles between Light and Dark Green");
    Label5[2] = new QLabel("This register is the source of an XFER operation.");
    Label5[3] = new QLabel("This register has been modified (recipient) by an XFER operation or programming function.");
    for (QLabel* l : Label5)
        l->setWordWrap(true);
    auto* two = new QHBoxLayout;
    two->setSpacing(2);
    two->addWidget(ShpLegend[1]);
    two->addWidget(ShpLegend[2]);
    g->addWidget(ShpLegend[0], 0, 0);
    g->addWidget(Label5[0], 0, 1);
    g->addLayout(two, 1, 0);
    g->addWidget(Label5[1], 1, 1);
    g->addWidget(ShpLegend[4], 2, 0);
    g->addWidget(Label5[2], 2, 1);
    g->addWidget(ShpLegend[3], 3, 0);
    g->addWidget(Label5[3], 3, 1);
    g->setColumnStretch(1, 1);
    g->setRowStretch(4, 1);
    return Frame1;
}

void QuadConsole::Form_Load() { buildTable(); }

void QuadConsole::buildTable()
{
    QTableWidget* t = Grid1;
    t->setWordWrap(true);
    t->horizontalHeader()->hide();
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont small = t->font();
    small.setFamily("Small Fonts");
    small.setPointSizeF(6.75);
    t->setFont(small);
    t->setColumnWidth(0, kNameColumn);
    for (int c = 1; c <= 8; ++c)
        t->setColumnWidth(c, kBitColumn);
    t->setColumnWidth(9, kOperationColumn);
    for (int r = 0; r < kTableRows; ++r)
        for (int col = 0; col < kTableColumns; ++col) {
            auto* item = new QTableWidgetItem(QString::fromLatin1(kInstructionTable[size_t(r)][size_t(col)]));
            if (r == 0)
                item->setTextAlignment(Qt::AlignCenter);
            else if (col >= 1 && col <= 8)
                item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
            else
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            // The header row and the name column stay grey, as fixed cells do.
            item->setBackground(paletteColor(r == 0 || col == 0 ? 7 : kWhite));
            t->setItem(r, col, item);
        }
    // A row grows where its wrapped text needs more than the design height (the small font
    // the table asks for may not exist), so no description is cut off; the table shows
    // every row without scrolling.
    t->resizeRowsToContents();
    int height = 0;
    for (int r = 0; r < kTableRows; ++r) {
        t->setRowHeight(r, std::max(kMinRowHeight, t->rowHeight(r)));
        height += t->rowHeight(r);
    }
    t->setFixedSize(kNameColumn + 8 * kBitColumn + kOperationColumn + 2 * t->frameWidth(),
                    height + 2 * t->frameWidth());
}

void QuadConsole::paintRow(int row, int palette)
{
    for (int col = 0; col < kTableColumns; ++col)
        if (QTableWidgetItem* item = Grid1->item(row, col))
            item->setBackground(paletteColor(palette));
}

// ---------------------------------------------------------------------------------------
// Composition

void QuadConsole::composeFinal()
{
    const QuadComposition& s = c();
    lblSet[3]->setText(hexDigit(s.g_QuadRegField + s.g_QuadPotSel));
    lblSet[4]->setText(lblSet[0]->text() + lblSet[3]->text());
}

void QuadConsole::OptInstruction_Click(int Index)
{
    if (Index < 0 || Index >= kInstructionCount)
        return;
    QuadComposition& s = c();
    const Instruction& in = kInstructions[size_t(Index)];
    s.g_QuadInstrNibble = 0;
    s.operation.clear();
    s.registerKind.clear();
    for (int r = 1; r < kTableRows; ++r)
        paintRow(r, kWhite);
    for (int n = 0; n < 4; ++n) {
        OptRegSel[size_t(n)]->setEnabled(true);
        OptWiper[size_t(n)]->setEnabled(true);
    }
    s.operation = in.operation;
    s.registerKind = in.registerKind;
    if (in.xferSource)
        s.xferSource = in.xferSource;
    txtWriteValue->setEnabled(in.writeValueEnabled);
    lblReadValue->setEnabled(in.readValueEnabled);
    if (in.potForced) {
        lblSet[2]->setText("0");
        for (QuadOption* o : OptWiper) {
            o->setChecked(false);
            o->setEnabled(false);
        }
        s.g_QuadPotSel = 0;
    }
    if (in.registerForced) {
        lblSet[1]->setText("0");
        s.g_QuadRegField = 0;
        for (QuadOption* o : OptRegSel) {
            o->setChecked(false);
            o->setEnabled(false);
        }
    }
    lblSet[0]->setText(hexDigit(in.nibble));
    s.g_QuadInstrNibble = std::uint8_t(HexToInt(lblSet[0]->text()));
    composeFinal();
    const bool data = Index == kReadData || Index == kWriteData;
    for (int n = 0; n < 4; ++n)
        OptWiper[size_t(n)]->setText(QString("Pot %1 %2").arg(n).arg(data ? "Data" : "WCR"));
    FrWiper->setTitle("P1/0 Selection");
    paintRow(Index + 1, kYellow);
}

void QuadConsole::OptRegSel_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    lblSet[1]->setText(QString::number(Index));
    c().g_QuadRegField = std::uint8_t(Index * 4);
    composeFinal();
}

void QuadConsole::OptWiper_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    lblSet[2]->setText(QString::number(Index));
    c().g_QuadPotSel = std::uint8_t(Index);
    composeFinal();
}

void QuadConsole::cmdResetInstruction_Click()
{
    QuadComposition& s = c();
    s.g_QuadInstrNibble = 0;
    s.g_QuadRegField = 0;
    s.g_QuadPotSel = 0;
    // Go after Reset sends nothing: the remembered operation goes with the selection.
    s.operation.clear();
    s.registerKind.clear();
    s.xferSource.clear();
    for (int i = 0; i < kInstructionCount; ++i) {
        OptInstruction[size_t(i)]->setChecked(false);
        OptInstruction[size_t(i)]->setEnabled(true);
        paintRow(i + 1, kWhite);
    }
    for (size_t n = 0; n < 4; ++n) {
        // The marks go with the fields they stand for.
        OptRegSel[n]->setChecked(false);
        OptWiper[n]->setChecked(false);
        OptRegSel[n]->setEnabled(true);
        OptWiper[n]->setEnabled(true);
        lblSet[n]->setText("0");
        ShpRdWCR[n]->setFillColor(kBlack);
        ShpWrWCR[n]->setFillColor(kBlack);
    }
    lblSet[4]->setText("00");
    FrWiper->setTitle("P1/0 Selection");
    for (int n = 0; n < 4; ++n)
        OptWiper[size_t(n)]->setText(QString::number(n));
    for (size_t k = 0; k < 16; ++k) {
        ShpDataWr[k]->setFillColor(kBlack);
        ShpDataRd[k]->setFillColor(kBlack);
    }
}

// ---------------------------------------------------------------------------------------
// Execution

bool QuadConsole::deviceAddress(std::uint8_t& address)
{
    const QString text = device().deviceAddress();
    const auto value = HexByte(text);
    if (!value) {
        platform::msgBox(QString("Device address \"%1\" is not a hex byte (00 to FF); nothing was sent.").arg(text));
        return false;
    }
    address = *value;
    return true;
}

namespace {

// The console's transfers carry exactly one register byte on reads and none on writes,
// whatever the bridge console's own transfer options show; they are put back afterwards.
class TransferOptions {
public:
    TransferOptions(frmMainF340& con, bool read) : con_(con)
    {
        saved_ = {con.chkRandom->isChecked(), con.chk2WireRead->isChecked(), con.ChK2WireCommand->isChecked(),
                  con.chkFileWriteData->isChecked()};
        set({read, false, false, false});
    }
    ~TransferOptions() { set(saved_); }

private:
    void set(const std::array<bool, 4>& v)
    {
        const bool guard = g_OptionGuard;
        g_OptionGuard = true;
        con_.chkRandom->setChecked(v[0]);
        con_.chk2WireRead->setChecked(v[1]);
        con_.ChK2WireCommand->setChecked(v[2]);
        con_.chkFileWriteData->setChecked(v[3]);
        g_OptionGuard = guard;
    }
    frmMainF340& con_;
    std::array<bool, 4> saved_{};
};

void setP06(bool high)
{
    frmMainF340& con = bridgeConsole();
    con.txtSFRAddress->setText("80");
    con.cmdGetSDFValue_Click();
    const auto p0 = std::uint8_t(HexToInt(con.lblSFRBuf[3]->text()));
    con.txtSFRWRData->setText(Hex2(high ? std::uint8_t(p0 | kP06) : std::uint8_t(p0 & ~kP06)));
    con.cmdSetSFR_Click();
}

} // namespace

bool QuadConsole::i2cRead(const QString& instruction, std::uint8_t address)
{
    g_I2CAddress = std::uint8_t(address & 0xFE);
    frmMainF340& con = bridgeConsole();
    con.txtNumToRead->setText(QString::number(kI2CReadCount));
    setP06(true);
    platform::pumpEvents();
    platform::sleepMs(kReadPauseMs);
    con.txtStartRegRD->setText(instruction);
    {
        TransferOptions one(con, true);
        con.cmdRead_Click();
    }
    const bool ok = g_BridgeStatus == kStatusOk;
    if (ok)
        lblReadValue->setText(con.TXTI2C[0]->text());
    setP06(false);
    return ok;
}

bool QuadConsole::i2cWrite(const QString& instruction, int count, const QString& value, std::uint8_t address)
{
    g_I2CAddress = std::uint8_t(address & 0xFE);
    frmMainF340& con = bridgeConsole();
    con.txtNumToWrite->setText(QString::number(count));
    con.txtStartRegWr->setText(instruction);
    con.txtWriteVal[0]->setText(instruction);
    if (count > 1)
        con.txtWriteVal[1]->setText(value);
    TransferOptions none(con, false);
    con.cmdWrite_Click();
    return g_BridgeStatus == kStatusOk;
}

bool QuadConsole::spiFrame(const QString& instruction, const QString& count, const QString& value, bool read,
                           std::uint8_t id)
{
    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    mb.txtSPIWrite3Data[1]->setText(Hex2(id));
    mb.txtSPIWrQty3->setText(count);
    if (read) {
        platform::pumpEvents();
        platform::sleepMs(kReadPauseMs);
    }
    mb.txtSPIWrite3Data[2]->setText(instruction);
    if (!value.isNull())
        mb.txtSPIWrite3Data[3]->setText(value);
    lastTransferOk_ = mb.cmdSPIOWrite3_Click();
    if (read && lastTransferOk_)
        lblReadValue->setText(mb.txtSPIORead3[2]->text());
    return lastTransferOk_;
}

void QuadConsole::statusStep(bool)
{
    const bool ok = bus_ == Bus::I2C ? g_BridgeStatus == kStatusOk : lastTransferOk_;
    if (!ok) {
        ShpI2CAck[0]->setFillColor(kRed);
        platform::pumpEvents();
        if (bus_ == Bus::I2C)
            platform::msgBox("Write DCP Error, Check Device Address, VCC & AVDD Power and I2C Connections ",
                             platform::vbOKOnly, " Error during Write to DCP ");
        else
            platform::msgBox("USB Communications Error, VCC & AVDD Power and USB Connections ", platform::vbOKOnly,
                             " Restart App if problem continues ");
    } else {
        blink(ShpI2CAck[0]);
    }
    platform::pumpEvents();
    platform::sleepMs(kStatusPauseMs);
}

void QuadConsole::displaysAfter(bool ok)
{
    const QuadComposition& s = c();
    const int pot = s.g_QuadPotSel & 3;
    const int reg = (s.g_QuadRegField / 4) & 3;
    const auto p = size_t(pot), k = size_t(dataIndex(pot, reg));
    if (s.operation == kOpRead) {
        const bool wcr = s.registerKind == kKindWcr;
        if (!wcr && s.registerKind != kKindData)
            return;
        Lamp* l = wcr ? ShpRdWCR[p] : ShpDataRd[k];
        if (!ok) {
            l->setFillColor(kRed); // the display keeps the last good value
            return;
        }
        (wcr ? lblRDWcr[p] : lblRdData[k])->setText(lblReadValue->text());
        blink(l);
        readShown_ = true;
    } else if (s.operation == kOpWrite) {
        if (s.registerKind == kKindWcr) {
            txtWXWcr[p]->setText(txtWriteValue->text());
            blink(ShpWrWCR[p]);
        } else if (s.registerKind == kKindData) {
            txtWrData[k]->setText(txtWriteValue->text());
            blink(ShpDataWr[k]);
        }
    } else if (s.operation == kOpXfer) {
        if (s.xferSource == kKindWcr) {
            ShpRdWCR[p]->setFillColor(kYellow);
            ShpDataRd[k]->setFillColor(kBlue);
            lblRdData[k]->setText("<<");
        } else if (s.xferSource == kKindData) {
            ShpRdWCR[p]->setFillColor(kBlue);
            lblRDWcr[p]->setText(">>");
            ShpDataRd[k]->setFillColor(kYellow);
        }
    } else if (s.operation == kOpXferG) {
        if (s.xferSource == kKindWcr) {
            for (Lamp* l : ShpRdWCR)
                l->setFillColor(kYellow);
            for (int q = 0; q < 4; ++q) {
                ShpDataRd[size_t(dataIndex(q, reg))]->setFillColor(kBlue);
                lblRdData[size_t(dataIndex(q, reg))]->setText("<<");
            }
        } else if (s.xferSource == kKindData) {
            for (size_t q = 0; q < 4; ++q) {
                ShpRdWCR[q]->setFillColor(kBlue);
                lblRDWcr[q]->setText(">>");
            }
            for (int q = 0; q < 4; ++q)
                ShpDataRd[size_t(dataIndex(q, reg))]->setFillColor(kYellow);
        }
    }
}

void QuadConsole::cmdDoInstruction_Click()
{
    readShown_ = false;
    const QuadComposition& s = c();
    const QString instruction = lblSet[4]->text();
    const bool known = s.operation == kOpRead || s.operation == kOpWrite || s.operation == kOpXfer
                       || s.operation == kOpXferG || s.operation == kOpInc;
    if (known && !HexByte(instruction)) {
        platform::msgBox(QString("Instruction \"%1\" is not a hex byte; nothing was sent.").arg(instruction));
        return;
    }
    // An address or ID that is no byte is refused before anything is sent, without a
    // status step; the transports get it, and a value to write, as two hex digits, so that
    // "0FF" or "5" go out as the byte they stand for.
    std::uint8_t address = 0;
    if (known && s.operation != kOpInc && !deviceAddress(address))
        return;
    const FrameCounts counts = frameCounts(bus_);
    bool ok = true;
    if (s.operation == kOpRead) {
        // The SPI read takes its count from the device window. A count the terminal would
        // refuse is refused here, once, rather than followed by a communications error for
        // a frame that never went out.
        const QString readCount = bus_ == Bus::SPI ? device().readCount() : QString();
        if (bus_ == Bus::SPI) {
            const auto n = decimalFieldValue(readCount);
            if (!n || *n < 1 || *n > 5) {
                platform::msgBox(
                    QString("Read count \"%1\" is no number from 1 to 5; nothing was sent.").arg(readCount));
                return;
            }
        }
        ok = bus_ == Bus::I2C ? i2cRead(instruction, address)
                              : spiFrame(instruction, readCount, QString(), true, address);
        displaysAfter(ok);
    } else if (s.operation == kOpWrite) {
        const QString text = txtWriteValue->text();
        const auto value = writeValue(text);
        if (!value) {
            platform::msgBox(QString("Write value \"%1\" is not a hex byte (00 to FF); nothing was written.").arg(text));
            return;
        }
        ok = bus_ == Bus::I2C ? i2cWrite(instruction, counts.write, Hex2(*value), address)
                              : spiFrame(instruction, QString::number(counts.write), Hex2(*value), false, address);
        displaysAfter(ok);
    } else if (s.operation == kOpXfer || s.operation == kOpXferG) {
        ok = bus_ == Bus::I2C ? i2cWrite(instruction, counts.xfer, QString(), address)
                              : spiFrame(instruction, QString::number(counts.xfer), QString(), false, address);
        displaysAfter(ok);
    } else if (s.operation == kOpInc) {
        enterIncMode();
        return;
    }
    statusStep(ok);
}

// ---------------------------------------------------------------------------------------
// Register buttons, Read All, Set Wr = Rd, fill and value entry

void QuadConsole::readInto(QLabel* display)
{
    cmdDoInstruction_Click();
    // A read that failed or was refused leaves the register's display as it was.
    if (readShown_)
        display->setText(lblReadValue->text());
}

void QuadConsole::cmdRdWCR_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    select(OptInstruction[kReadWcr]);
    select(OptWiper[size_t(Index)]);
    readInto(lblRDWcr[size_t(Index)]);
}

void QuadConsole::cmdWrWCR_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    select(OptInstruction[kWriteWcr]);
    select(OptWiper[size_t(Index)]);
    txtWriteValue->setText(txtWXWcr[size_t(Index)]->text());
    cmdDoInstruction_Click();
}

void QuadConsole::cmdRDData_Click(int Index)
{
    if (Index < 0 || Index > 15)
        return;
    select(OptInstruction[kReadData]);
    select(OptWiper[size_t(Index / 4)]);
    select(OptRegSel[size_t(Index % 4)]);
    readInto(lblRdData[size_t(Index)]);
}

void QuadConsole::cdmWrData_Click(int Index)
{
    if (Index < 0 || Index > 15)
        return;
    select(OptInstruction[kWriteData]);
    select(OptWiper[size_t(Index / 4)]);
    select(OptRegSel[size_t(Index % 4)]);
    txtWriteValue->setText(txtWrData[size_t(Index)]->text());
    cmdDoInstruction_Click();
}

void QuadConsole::cmdReadAll_Click()
{
    select(OptInstruction[kReadWcr]);
    OptWiper[0]->setChecked(false);
    for (size_t p = 0; p < 4; ++p) {
        OptWiper[p]->setChecked(true);
        cmdDoInstruction_Click();
    }
    OptInstruction[kReadWcr]->setChecked(false);
    everyDataRegister(kReadData, [] {});
}

void QuadConsole::everyDataRegister(int instruction, const std::function<void()>& beforeEach)
{
    OptInstruction[size_t(instruction)]->setChecked(true);
    OptWiper[0]->setChecked(false);
    OptRegSel[0]->setChecked(false);
    OptWiper[0]->setChecked(true);
    for (size_t p = 0; p < 4; ++p) {
        if (p > 0)
            OptWiper[p]->setChecked(true);
        for (size_t r = 0; r < 4; ++r) {
            OptRegSel[r]->setChecked(true);
            beforeEach();
            cmdDoInstruction_Click();
        }
    }
    // No pot and no register option is left selected.
    OptWiper[3]->setChecked(false);
    OptRegSel[3]->setChecked(false);
}

void QuadConsole::cmdSetWReqRd_Click()
{
    for (size_t p = 0; p < 4; ++p) {
        txtWXWcr[p]->setText(lblRDWcr[p]->text());
        ShpWrWCR[p]->setFillColor(kBlue);
    }
    for (size_t k = 0; k < 16; ++k) {
        txtWrData[k]->setText(lblRdData[k]->text());
        ShpDataWr[k]->setFillColor(kBlue);
    }
}

void QuadConsole::cmdFillRegs_Click()
{
    select(OptInstruction[kWriteWcr]);
    for (size_t p = 0; p < 4; ++p) {
        txtWriteValue->setText(kFillWcrValues[p]);
        select(OptWiper[p]);
        cmdDoInstruction_Click();
    }
    OptWiper[3]->setChecked(false);
    OptInstruction[kWriteWcr]->setChecked(false);
    everyDataRegister(kWriteData, [this] {
        const QuadComposition& s = c();
        txtWriteValue->setText(fillValue(4 * s.g_QuadPotSel + s.g_QuadRegField / 4));
    });
}

void QuadConsole::txtWrData_LostFocus(int Index)
{
    if (Index >= 0 && Index < 16)
        txtWrData[size_t(Index)]->setText(checkedEntry(txtWrData[size_t(Index)]->text()));
}

void QuadConsole::txtWriteValue_LostFocus() { txtWriteValue->setText(checkedEntry(txtWriteValue->text())); }

void QuadConsole::storeWcrsToR0()
{
    userAction([this] {
        select(OptInstruction[kGlobalWcrToData]);
        select(OptWiper[0]);
        select(OptRegSel[0]);
        cmdDoInstruction_Click();
    });
}

// ---------------------------------------------------------------------------------------
// Increment/decrement mode

void QuadConsole::lockToPot(bool locked)
{
    const int pot = c().g_QuadPotSel & 3;
    if (locked) {
        for (QGroupBox* f : FrDCP)
            f->setVisible(false);
    }
    for (QuadOption* o : OptInstruction)
        o->setEnabled(!locked);
    if (locked) {
        for (size_t n = 0; n < 4; ++n) {
            OptWiper[n]->setEnabled(false);
            OptRegSel[n]->setEnabled(false);
        }
    }
    if (device().setInUse)
        device().setInUse(!locked);
    for (size_t n = 0; n < 4; ++n) {
        cmdWrWCR[n]->setEnabled(!locked);
        cmdRdWCR[n]->setEnabled(!locked);
    }
    for (size_t k = 0; k < 16; ++k) {
        cmdRDData[k]->setEnabled(!locked);
        cdmWrData[k]->setEnabled(!locked);
        txtWrData[k]->setEnabled(!locked);
        lblRdData[k]->setEnabled(!locked);
    }
    if (locked)
        FrDCP[size_t(pot)]->setVisible(true);
    else {
        platform::pumpEvents();
        for (size_t n = 0; n < 4; ++n) {
            OptWiper[n]->setEnabled(true);
            OptRegSel[n]->setEnabled(true);
        }
    }
}

void QuadConsole::enterIncMode()
{
    const int pot = c().g_QuadPotSel & 3;
    ShpWrWCR[size_t(pot)]->setFillColor(kBlue);
    txtWXWcr[size_t(pot)]->setText("^v");
    lvlPotN->setText("Pot " + Str(pot) + " Volts");
    incMode_ = true;
    lockToPot(true);
    for (int i = 0; i < 2; ++i) {
        const QString volts = device().sampleWiper(pot);
        platform::pumpEvents();
        lblPotVolts->setText(volts);
    }
    writeDirectSfr(kXbr0, pins(bus_).crossbarInMode);
    FrIncrDec->setVisible(true);
    FrVal->setVisible(false);
    platform::sleepMs(20);
    platform::pumpEvents();
    cmdINCPreamble_Click();
    platform::pumpEvents();
}

std::uint8_t QuadConsole::readP0()
{
    frmMainF340& con = bridgeConsole();
    con.txtSFRAddress->setText("80");
    con.cmdGetSDFValue_Click();
    return std::uint8_t(HexToInt(con.lblSFRBuf[3]->text()));
}

void QuadConsole::edge(std::uint8_t& image, std::uint8_t mask, bool high)
{
    image = high ? std::uint8_t(image | mask) : std::uint8_t(image & ~mask);
    writeDirectSfr(kP0, image);
}

void QuadConsole::sendBit(std::uint8_t& image, bool bit, bool skipDataEdge)
{
    const Pins& p = pins(bus_);
    if (!skipDataEdge)
        edge(image, p.data, bit);
    edge(image, p.clock, true);
    edge(image, p.clock, false);
}

void QuadConsole::sendByte(std::uint8_t& image, std::uint8_t value, bool firstOfSequence)
{
    for (int b = 7; b >= 0; --b)
        sendBit(image, (value >> b) & 1, firstOfSequence && b == 7);
}

void QuadConsole::ackClock(std::uint8_t& image)
{
    // The part drives SDA here; the console lets it go high and does not look at it.
    sendBit(image, true, false);
}

void QuadConsole::cmdINCPreamble_Click()
{
    const Pins& p = pins(bus_);
    const int pot = c().g_QuadPotSel & 3;
    std::uint8_t image = readP0();
    image = bus_ == Bus::I2C ? std::uint8_t(image | p.data | p.clock)
                             : std::uint8_t(image & ~(p.data | p.clock | p.select));
    frmMainF340& con = bridgeConsole();
    con.txtSFRWRData->setText(Hex2(image));
    con.cmdSetSFR_Click();
    lblRDWcr[size_t(pot)]->setText("--");
    ShpRdWCR[size_t(pot)]->setFillColor(kBlack);

    writeDirectSfr(kP0, image);
    if (bus_ == Bus::I2C) {
        edge(image, p.data, false); // start condition
        edge(image, p.clock, false);
    } else {
        edge(image, p.clock, false);
        image = std::uint8_t(image & ~(p.clock | p.data));
        writeDirectSfr(kP0, image);
    }
    // The first byte is the part's fixed address; the data line is already low for its
    // first bit.
    sendByte(image, kPreambleFirstByte, true);
    if (bus_ == Bus::I2C)
        ackClock(image);
    sendByte(image, std::uint8_t(0x20 + pot), false);
    if (bus_ == Bus::I2C)
        ackClock(image);
}

void QuadConsole::blinkWriteLampInMode(int pot)
{
    Lamp* l = ShpWrWCR[size_t(pot)];
    l->setFillColor(l->fillColor() == kBlue ? kDarkBlue : kBlue);
}

void QuadConsole::cmdIncrWip_Click(int Index)
{
    if (Index < 0 || Index > 2 || !incMode_)
        return;
    const Pins& p = pins(bus_);
    const int pot = c().g_QuadPotSel & 3;
    std::uint8_t image = readP0();
    blinkWriteLampInMode(pot);
    platform::pumpEvents();
    if (Index < 2) {
        const bool up = Index == 0;
        txtWXWcr[size_t(pot)]->setText(up ? "^1" : "1v");
        sendBit(image, up, false);
        const QString volts = device().sampleWiper(pot);
        platform::pumpEvents();
        lblPotVolts->setText(volts);
        return;
    }

    image = readP0();
    if (bus_ == Bus::I2C) {
        edge(image, p.data, false);
        platform::pumpEvents();
        edge(image, p.clock, true);
        platform::pumpEvents();
        edge(image, p.data, true); // stop condition: SDA rises while SCL is high
    } else {
        edge(image, p.select, true);
        platform::pumpEvents();
    }
    writeDirectSfr(kXbr0, kXbr0Normal);
    cmdRdWCR_Click(pot);
    txtWXWcr[size_t(pot)]->setText(lblRDWcr[size_t(pot)]->text());
    ShpWrWCR[size_t(pot)]->setFillColor(kBlue);
    ShpRdWCR[size_t(pot)]->setFillColor(kYellow);
    platform::pumpEvents();
    platform::sleepMs(kTerminatePauseMs);
    FrVal->setVisible(true);
    FrIncrDec->setVisible(false);
    for (QGroupBox* f : FrDCP)
        f->setVisible(true);
    incMode_ = false;
    lockToPot(false);
}

// ---------------------------------------------------------------------------------------
// Closing

void QuadConsole::Form_Unload()
{
    if (incMode_) {
        const bool was = busy_;
        busy_ = true;
        cmdIncrWip_Click(2);
        busy_ = was;
    }
}

void QuadConsole::closeEvent(QCloseEvent* e)
{
    e->ignore();
    if (busy_)
        return; // an operation is running; the window closes when asked again after it
    auto unloadFrom = [this](auto& slot) {
        if (slot.get() == this)
            slot.unload();
        else {
            Form_Unload();
            hide();
        }
    };
    if (bus_ == Bus::I2C)
        unloadFrom(forms().frm_k4744);
    else
        unloadFrom(forms().frm_k4731);
}
