#include "updown/UPDN_Runin.h"

#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "updown/runin_record.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cstdio>

using runin::Field;

namespace {

constexpr int kRed = 12, kBlack = 0;
constexpr int kPinCs1 = 6, kPinCs2 = 7, kPinInc = 9, kPinUpDown = 10;

QLabel* label(const QString& text, const QString& tip = QString())
{
    auto* l = new QLabel(text);
    l->setToolTip(tip);
    return l;
}

QLabel* valueLabel(const QString& text, const QString& tip = QString())
{
    QLabel* l = label(text, tip);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(64);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QLineEdit* field(const QString& text, const QString& tip = QString(), int width = 64)
{
    auto* e = new QLineEdit(text);
    e->setToolTip(tip);
    e->setFixedWidth(width);
    e->setAlignment(Qt::AlignCenter);
    return e;
}

QPushButton* button(const QString& text, const QString& tip = QString())
{
    auto* b = new QPushButton(text);
    b->setToolTip(tip);
    return b;
}

void setBold(QWidget* w)
{
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

// Sets a motherboard pin box high and runs its handler, whether or not the box changes.
void raisePinBox(frmMotherboardDAQ2& mb, int pin)
{
    QCheckBox* box = mb.chkPData[size_t(pin)];
    if (!box)
        return;
    if (box->isChecked())
        mb.chkPData_Click(pin);
    else
        box->setChecked(true);
}

} // namespace

UPDN_Runin::UPDN_Runin()
{
    setObjectName(QStringLiteral("UPDN_Runin"));
    setWindowTitle(QStringLiteral("Up Down Run In"));

    auto* left = new QVBoxLayout;
    left->addWidget(buildTable());
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildCalculations());
    middle->addWidget(buildOptions());
    left->addLayout(middle);
    left->addWidget(buildLines());
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    rtxt1 = new QPlainTextEdit;
    rtxt1->setObjectName(QStringLiteral("rtxt1"));
    rtxt1->setToolTip(QStringLiteral("Logged Data"));
    rtxt1->setReadOnly(true);
    rtxt1->setLineWrapMode(QPlainTextEdit::NoWrap);
    rtxt1->setMinimumWidth(560);
    rtxt1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cndTclear = button(QStringLiteral("Clear Log"), QStringLiteral("Click here to clear Trace History"));
    right->addWidget(rtxt1, 1);
    auto* clearRow = new QHBoxLayout;
    clearRow->addStretch(1);
    clearRow->addWidget(cndTclear);
    right->addLayout(clearRow);
    right->addWidget(buildRecord());

    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(right, 1);
    buildCarriers(); // hidden, outside the layout

    connect(cndTclear, &QPushButton::clicked, this, [this] { cndTclear_Click(); });
    resize(1280, 660);

    // Every way out of the program passes one of these while the window exists: the program's
    // end (a Cancel in a link dialog, closing the menu, the console or a device window) or,
    // should the event loop ever run out of windows, the application's quit.
    platform::atProgramEnd([] {
        if (UPDN_Runin* w = forms().UPDN_Runin.get())
            w->rescueUnsavedLog();
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { rescueUnsavedLog(); });
}

UPDN_Runin::~UPDN_Runin() = default;

QWidget* UPDN_Runin::buildTable()
{
    Frame1 = new QGroupBox(QStringLiteral("Initial Startup"));
    auto* g = new QGridLayout(Frame1);
    g->setHorizontalSpacing(6);
    const char* headers[] = {"Stimulus", "Position Tally", "Calculated  Volts", "Measured  Volts", "Error Volts"};
    // Each column is as wide as its fields or as the longest word of its heading, whichever is
    // wider; the heading wraps within the column, so it stands over its own field only.
    std::array<int, 5> columnWidth{};
    for (int i = 0; i < 5; ++i) {
        QLabel* h = label(QString::fromLatin1(headers[i]));
        vlvTestHeaders[size_t(i)] = h;
        h->setAlignment(Qt::AlignCenter);
        h->setWordWrap(true);
        int width = 64;
        for (const QString& word : h->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            width = std::max(width, h->fontMetrics().horizontalAdvance(word) + 4);
        columnWidth[size_t(i)] = width;
        h->setFixedWidth(width);
        h->setMinimumHeight(2 * h->fontMetrics().height() + 4);
        g->addWidget(h, 0, i + 1);
    }
    const char* captions[runin::kRows] = {"Run UP Increments",  "Run Down  Increments", "Run Up and Store Initial",
                                          "Run Up  & Store",    "Run Down & Store",     "Run Up & Store",
                                          "Run Down & Store"};
    const char* stimuli[runin::kRows] = {"102", "102", "63", "1", "1", "1", "1"};
    for (int i = 0; i < runin::kRows; ++i) {
        const size_t k = size_t(i);
        lblInitialSet[k] = label(QString::fromLatin1(captions[i]));
        txtInitialIncr[k] = field(QString::fromLatin1(stimuli[i]));
        txtWiperLoc[k] = field(QStringLiteral("0.00"));
        txtWiperVolts[k] = field(i < 2 ? QStringLiteral("0.00") : QString());
        txtWiperLoc[k]->setEnabled(false);
        txtWiperVolts[k]->setEnabled(false);
        lvlWipV[k] = valueLabel(QStringLiteral("-.---"));
        lvlWipError[k] = valueLabel(QStringLiteral("-.---"));
        Shp_Test_Status[k] = new Lamp(nullptr, Lamp::Shape::Circle);
        g->addWidget(lblInitialSet[k], i + 1, 0);
        const std::array<QWidget*, 5> cells = {txtInitialIncr[k], txtWiperLoc[k], txtWiperVolts[k], lvlWipV[k], lvlWipError[k]};
        for (int c = 0; c < 5; ++c) {
            cells[size_t(c)]->setFixedWidth(columnWidth[size_t(c)]);
            g->addWidget(cells[size_t(c)], i + 1, c + 1);
        }
        g->addWidget(Shp_Test_Status[k], i + 1, 6);
    }
    return Frame1;
}

QWidget* UPDN_Runin::buildCalculations()
{
    Frame3 = new QGroupBox(QStringLiteral("Test Calculations"));
    auto* g = new QGridLayout(Frame3);
    txtWipPositions = field(QStringLiteral("100"), QStringLiteral("Number of Device Wiper Positions"));
    txtLimitDiv = field(QStringLiteral("0.33"), QStringLiteral("User limit for Pass Fail Check"));
    lblWIPRange[0] = valueLabel(QStringLiteral("-.---"), QStringLiteral("Recorded Wiper Voltage at Max Wiper Position"));
    lblWIPRange[1] = valueLabel(QStringLiteral("-.---"), QStringLiteral("Recorded Wiper Voltage at Min Wiper Position"));
    lblVoltsPer = valueLabel(QStringLiteral("-.---"), QStringLiteral("Calculated volts per wiper step (Max-Min)/Positions"));
    lblPosition = valueLabel(QStringLiteral("0"), QStringLiteral("Present Wiper postion based on on-going tally."));
    lblTestLimit = valueLabel(QStringLiteral("-.-----"), QStringLiteral("Volts per Step * Tolerance"));
    const std::pair<const char*, QWidget*> rows[] = {
        {"Positions", txtWipPositions}, {"Tolerance", txtLimitDiv}, {"Max V", lblWIPRange[0]},
        {"Min V", lblWIPRange[1]},      {"Calc Volts Per Step", lblVoltsPer},
        {"Calc Digital  Position", lblPosition}, {"Calc Limit", lblTestLimit},
    };
    int r = 0;
    for (const auto& [caption, w] : rows) {
        g->addWidget(label(QString::fromLatin1(caption)), r, 0);
        g->addWidget(w, r++, 1);
    }
    return Frame3;
}

QWidget* UPDN_Runin::buildOptions()
{
    auto* box = new QWidget;
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);

    Frame4 = new QGroupBox(QStringLiteral("Run Options"));
    auto* g = new QGridLayout(Frame4);
    ChkLogAll = new QCheckBox(QStringLiteral("Log All"));
    ChkLogAll->setToolTip(QStringLiteral("Log both Pass and Fail If Checked."));
    txtTestQty = field(QStringLiteral("100000"), QStringLiteral("End Test after this number of Steps"), 72);
    txtLogSteps = field(QStringLiteral("500"), QStringLiteral("On-going Test Timestamp logged this number of steps. "), 72);
    ChkFast = new QCheckBox(QStringLiteral("Double Purge"));
    ChkFast->setToolTip(QStringLiteral("Experimental may be needed till Flush is fixed."));
    g->addWidget(ChkLogAll, 0, 0, 1, 3);
    g->addWidget(label(QStringLiteral("End Test after")), 1, 0);
    g->addWidget(txtTestQty, 1, 1);
    g->addWidget(label(QStringLiteral("steps")), 1, 2);
    g->addWidget(label(QStringLiteral("Log Progress every")), 2, 0);
    g->addWidget(txtLogSteps, 2, 1);
    g->addWidget(label(QStringLiteral("steps")), 2, 2);
    g->addWidget(ChkFast, 3, 0, 1, 3);
    v->addWidget(Frame4);

    auto* run = new QGridLayout;
    cmdRunInitial = button(QStringLiteral("Run Test"), QStringLiteral("Click to Start the Test"));
    cmdAbortRun = button(QStringLiteral("Abort Run In"), QStringLiteral("Click to terminate test."));
    setBold(cmdAbortRun);
    cmdAbortRun->hide();
    txtRunInID = new QLineEdit(QStringLiteral("User Test ID"));
    txtRunInID->setToolTip(QStringLiteral("User description of test to be included in log data."));
    lblRUnCount[0] = valueLabel(QStringLiteral("-----"), QStringLiteral("Current Test Step"));
    lblRUnCount[1] = valueLabel(QStringLiteral("-----"), QStringLiteral("Total Number of fails detected as test proceeds."));
    run->addWidget(label(QStringLiteral("Test ID")), 0, 0);
    run->addWidget(txtRunInID, 0, 1, 1, 2);
    run->addWidget(label(QStringLiteral("Test Count")), 1, 0);
    run->addWidget(lblRUnCount[0], 1, 1);
    run->addWidget(label(QStringLiteral("Fail Count")), 2, 0);
    run->addWidget(lblRUnCount[1], 2, 1);
    run->addWidget(cmdRunInitial, 3, 0);
    run->addWidget(cmdAbortRun, 3, 1, 1, 2);
    v->addLayout(run);
    v->addStretch(1);

    connect(cmdRunInitial, &QPushButton::clicked, this, [this] { cmdRunInitial_Click(); });
    connect(cmdAbortRun, &QPushButton::clicked, this, [this] { cmdAbortRun_Click(); });
    return box;
}

QWidget* UPDN_Runin::buildRecord()
{
    frmDataRecord = new QGroupBox(QStringLiteral("Save Traces to File"));
    auto* g = new QGridLayout(frmDataRecord);
    txtFilePath = new QLineEdit;
    txtFilePath->setToolTip(QStringLiteral("Contains Path + File name where measurement data will be written."));
    cmdBrowse = button(QStringLiteral("Browse"), QStringLiteral("Use this to select file where measurement data will be written."));
    cmdStartRec[0] = button(QStringLiteral("Write to Disk"), QStringLiteral("Click here to save measurement to disk file."));
    chkAppend = new QCheckBox(QStringLiteral("Append"));
    chkAppend->setToolTip(QStringLiteral(
        "If check, data is appended to end of Measurement file, if uncheck file is overwritten with present data only."));
    g->addWidget(txtFilePath, 0, 0);
    g->addWidget(cmdBrowse, 0, 1);
    g->addWidget(chkAppend, 1, 0, Qt::AlignLeft);
    g->addWidget(cmdStartRec[0], 1, 1);
    g->setColumnStretch(0, 1);
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdStartRec[0], &QPushButton::clicked, this, [this] { cmdStartRec_Click(0); });
    return frmDataRecord;
}

QWidget* UPDN_Runin::buildLines()
{
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);

    FrmStaticIO[0] = new QGroupBox(QStringLiteral("Direct Up /Down Bit Control DCP #1"));
    auto* g = new QGridLayout(FrmStaticIO[0]);
    const char* captions[] = {"/CS1", "/INC", "Up / Down", "RSVD"};
    const char* tips[] = {"Sets CS1 high if checked, Low if Unchecked.", "Sets /INC high if checked, Low if Unchecked.",
                          "Sets U/D  high if checked, Low if Unchecked.", ""};
    for (int i = 0; i < 4; ++i) {
        ChOut[size_t(i)] = new QCheckBox(QString::fromLatin1(captions[i]));
        ChOut[size_t(i)]->setToolTip(QString::fromLatin1(tips[i]));
        connect(ChOut[size_t(i)], &QCheckBox::toggled, this, [this, i] { ChOut_Click(i); });
        if (i < 3) {
            ShpOut[size_t(i)] = new Lamp(nullptr, Lamp::Shape::Circle);
            g->addWidget(ShpOut[size_t(i)], i, 0);
            g->addWidget(ChOut[size_t(i)], i, 1);
        } else {
            ChOut[3]->setParent(FrmStaticIO[0]);
            ChOut[3]->hide();
        }
    }
    cmdAlloutsHigh[0] = button(QStringLiteral("Set All High"), QStringLiteral("Set all U/D Bits High"));
    g->addWidget(cmdAlloutsHigh[0], 3, 0, 1, 2);
    connect(cmdAlloutsHigh[0], &QPushButton::clicked, this, [this] { cmdAlloutsHigh_Click(0); });
    h->addWidget(FrmStaticIO[0]);

    Frame2 = new QGroupBox(QStringLiteral("Wiper Volts"));
    auto* w = new QVBoxLayout(Frame2);
    cmdSampleWiper[0] = button(QStringLiteral("Sample"), QStringLiteral(
        "Click to sample Vin0 Voltage, Measures DC Volts on Vin0-3 Connector of Motherboard."));
    lblWiperVolts[0] = valueLabel(QStringLiteral("0.000"));
    setBold(lblWiperVolts[0]);
    w->addWidget(cmdSampleWiper[0]);
    w->addWidget(lblWiperVolts[0]);
    w->addStretch(1);
    connect(cmdSampleWiper[0], &QPushButton::clicked, this, [this] { cmdSampleWiper_Click(0); });
    h->addWidget(Frame2);
    h->addStretch(1);
    return row;
}

QWidget* UPDN_Runin::buildCarriers()
{
    FrmIncr[0] = new QGroupBox(QStringLiteral("Increment / Decrement DCP #1"), this);
    txtIncr[0] = field(QStringLiteral("10"), QStringLiteral("Enter numeric Inc Count Value"));
    txtIncr[1] = field(QStringLiteral("10"), QStringLiteral("Enter numeric Dec Count Value"));
    cmdIncr[0] = button(QStringLiteral("Up"));
    cmdIncr[1] = button(QStringLiteral("Down"));
    auto* gi = new QGridLayout(FrmIncr[0]);
    for (int i = 0; i < 2; ++i) {
        gi->addWidget(txtIncr[size_t(i)], i, 0);
        gi->addWidget(cmdIncr[size_t(i)], i, 1);
        connect(cmdIncr[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdIncr_Click(i); });
    }
    FrmIncr[0]->hide();

    FrmExit[0] = new QGroupBox(QStringLiteral("End Sequence"), this);
    cmdSequence[0] = button(QStringLiteral("Store"));
    cmdSequence[1] = button(QStringLiteral("No Store"));
    auto* ge = new QVBoxLayout(FrmExit[0]);
    for (int i = 0; i < 2; ++i) {
        ge->addWidget(cmdSequence[size_t(i)]);
        connect(cmdSequence[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdSequence_Click(i); });
    }
    FrmExit[0]->hide();
    return FrmIncr[0];
}

// --- lines ----------------------------------------------------------------------------------

bool UPDN_Runin::level(runin::Line line) const { return ChOut[size_t(line)]->isChecked(); }

void UPDN_Runin::set(runin::Line line, bool high) { ChOut[size_t(line)]->setChecked(high); }

void UPDN_Runin::ChOut_Click(int Index)
{
    if (Index == 0) {
        ShpOut[0]->setFillColor(ChOut[0]->isChecked() ? kRed : kBlack);
        runin::sendLine(port_, runin::kCs1, level(runin::kCs1), level(runin::kInc), level(runin::kUpDown));
        return;
    }
    ShpOut[1]->setFillColor(ChOut[1]->isChecked() ? kRed : kBlack);
    ShpOut[2]->setFillColor(ChOut[2]->isChecked() ? kRed : kBlack);
    if (Index == 1 || Index == 2)
        runin::sendLine(port_, runin::Line(Index), level(runin::kCs1), level(runin::kInc), level(runin::kUpDown));
    else
        port_.letEventsRun();
}

void UPDN_Runin::cmdAlloutsHigh_Click(int Index)
{
    platform::pumpEvents();
    g_PinBatch = true;
    if (Index != 0) {
        platform::pumpEvents();
        g_PinBatch = false;
        platform::pumpEvents();
        return;
    }
    for (auto line : {runin::kCs1, runin::kInc, runin::kUpDown})
        set(line, true);
    // The motherboard's image shows the lines high too; its ports are not written from here.
    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    for (int pin : {kPinCs1, kPinCs2, kPinInc, kPinUpDown})
        raisePinBox(mb, pin);
    port_.sendSfr(runin::kSfrP0, runin::p0Request(true));
    port_.sendSfr(runin::kSfrP1, runin::p1Request(true, true));
    platform::pumpEvents();
    g_PinBatch = false;
    platform::pumpEvents();
}

void UPDN_Runin::cmdIncr_Click(int Index)
{
    runin::stepWiper(*this, Index == 0, CInt(Val(txtIncr[size_t(Index)]->text())));
}

void UPDN_Runin::cmdSequence_Click(int /*Index*/) { runin::storeWiper(*this); }

void UPDN_Runin::cmdSampleWiper_Click(int /*Index*/) { readWiper(); }

runin::Reading UPDN_Runin::readWiper()
{
    const runin::Reading r = runin::readWiper(port_, ChkFast->isChecked());
    lblWiperVolts[0]->setText(r.text);
    display(Field::RowMeasured, std::clamp(g_RunRow, 0, runin::kRows - 1), r.text);
    return r;
}

// --- run -------------------------------------------------------------------------------------

void UPDN_Runin::cmdRunInitial_Click()
{
    if (test_.running())
        return;
    runin::RunInSettings s;
    s.id = txtRunInID->text();
    s.positions = txtWipPositions->text();
    s.tolerance = txtLimitDiv->text();
    s.logSteps = txtLogSteps->text();
    s.testQty = txtTestQty->text();
    const QString refused = runin::RunInTest::check(s);
    if (!refused.isEmpty()) {
        platform::msgBox(refused, platform::vbOKOnly);
        return;
    }
    test_.run(s);
    if (closeWhenStopped_)
        forms().UPDN_Runin.unload();
}

void UPDN_Runin::cmdAbortRun_Click() { g_AbortRequest = true; }

void UPDN_Runin::closeEvent(QCloseEvent* e)
{
    e->ignore();
    if (closeWhenStopped_)
        return; // asked and answered: the window goes when the run has ended
    // Hours of an endurance test live only in this window until they are saved.
    if ((test_.running() || holdsUnsavedLog())
        && platform::msgBox(QStringLiteral("The run-in log has not been saved. Close the window and lose it?"),
                            platform::vbYesNo)
               != platform::vbYes)
        return;
    if (test_.running()) {
        // The run writes its termination line and leaves its loop first; then the window goes.
        g_AbortRequest = true;
        closeWhenStopped_ = true;
        return;
    }
    forms().UPDN_Runin.unload();
}

void UPDN_Runin::prepareInputs()
{
    forms().frmMotherboardDAQ2().Combo1->setCurrentIndex(6); // VIN0: the wiper of DCP #1
    frmMainF340& con = forms().frmMainF340();
    con.chkADCEnable->setChecked(true);
    con.cmdADCWrEn_Click();
    con.cmdADCRDData_Click();
}

void UPDN_Runin::step(bool up, const QString& countText)
{
    const int index = up ? 0 : 1;
    txtIncr[size_t(index)]->setText(countText);
    cmdIncr_Click(index);
}

void UPDN_Runin::letEventsRun() { platform::pumpEvents(); }

QString UPDN_Runin::stimulus(int row) const { return txtInitialIncr[size_t(row)]->text(); }

bool UPDN_Runin::logAll() const { return ChkLogAll->isChecked(); }

void UPDN_Runin::display(Field field, int row, const QString& text)
{
    if (!test_.running()) {
        showNow(field, row, text);
        return;
    }
    pendingTexts_[size_t(field)][size_t(row)] = text;
    showPendingWhenDue();
}

void UPDN_Runin::lamp(int row, int colour)
{
    if (!test_.running()) {
        Shp_Test_Status[size_t(row)]->setFillColor(colour);
        return;
    }
    pendingLamps_[size_t(row)] = colour;
    showPendingWhenDue();
}

// A run changes the table several times per move, far faster than anyone can read it, and
// every change would be painted at the next event pump. The displays follow the run at a
// steady frame rate instead, and show its last state when it ends.
void UPDN_Runin::showPendingWhenDue()
{
    const std::int64_t now = platform::services().monotonicMs();
    if (now - lastShownMs_ >= kDisplayFrameMs)
        showPending();
}

void UPDN_Runin::showPending()
{
    lastShownMs_ = platform::services().monotonicMs();
    for (size_t f = 0; f < pendingTexts_.size(); ++f)
        for (size_t r = 0; r < pendingTexts_[f].size(); ++r)
            if (pendingTexts_[f][r]) {
                showNow(Field(f), int(r), *pendingTexts_[f][r]);
                pendingTexts_[f][r].reset();
            }
    for (size_t r = 0; r < pendingLamps_.size(); ++r)
        if (pendingLamps_[r] >= 0) {
            Shp_Test_Status[r]->setFillColor(pendingLamps_[r]);
            pendingLamps_[r] = -1;
        }
}

void UPDN_Runin::showNow(Field field, int row, const QString& text)
{
    // Leaving a text that does not change alone spares its repaint.
    const auto put = [&text](auto* w) {
        if (w->text() != text)
            w->setText(text);
    };
    const size_t r = size_t(row);
    switch (field) {
    case Field::MaxV: put(lblWIPRange[0]); break;
    case Field::MinV: put(lblWIPRange[1]); break;
    case Field::VoltsPer: put(lblVoltsPer); break;
    case Field::Limit: put(lblTestLimit); break;
    case Field::Position: put(lblPosition); break;
    case Field::TestCount: put(lblRUnCount[0]); break;
    case Field::FailCount: put(lblRUnCount[1]); break;
    case Field::RowPosition: put(txtWiperLoc[r]); break;
    case Field::RowVolts: put(txtWiperVolts[r]); break;
    case Field::RowMeasured: put(lvlWipV[r]); break;
    case Field::RowError: put(lvlWipError[r]); break;
    }
}

void UPDN_Runin::setRunning(bool running)
{
    showPending();
    FrmStaticIO[0]->setVisible(!running);
    Frame2->setVisible(!running);
    cmdRunInitial->setEnabled(!running);
    for (QLineEdit* e : {txtLogSteps, txtTestQty, txtWipPositions})
        e->setEnabled(!running);
    cmdAbortRun->setVisible(running);
}

// --- log and record file ---------------------------------------------------------------------

void UPDN_Runin::appendLog(const QString& piece)
{
    log_ += piece;
    logUnsaved_ = true;
    appendToLogBox(rtxt1, piece);
}

void UPDN_Runin::cndTclear_Click()
{
    log_.clear();
    logUnsaved_ = false;
    rtxt1->clear();
}

void UPDN_Runin::cmdBrowse_Click()
{
    const QString path = browseTraceRecord();
    if (!path.isEmpty())
        txtFilePath->setText(path);
}

void UPDN_Runin::cmdStartRec_Click(int /*Index*/)
{
    g_CalRunning = false; // a calibration sweep in progress stops at its next check
    if (saveTraceRecord(txtFilePath->text(), log_, chkAppend->isChecked()))
        logUnsaved_ = false;
}

void UPDN_Runin::rescueUnsavedLog()
{
    if (!holdsUnsavedLog())
        return;
    const runin::LogRescue r =
        runin::rescueLog(log_, txtFilePath->text(), platform::programDir(), platform::services().now());
    std::fprintf(stderr, "%s\n", qPrintable(r.report));
    std::fflush(stderr);
    if (!r.path.isEmpty())
        logUnsaved_ = false;
}
