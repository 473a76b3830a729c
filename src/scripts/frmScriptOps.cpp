#include "scripts/frmScriptOps.h"

#include "controls/lamp.h"
#include "platform/services.h"
#include "scripts/run_style.h"
#include "scripts/script_results.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace script;

ScriptWindowLinks& scriptWindowLinks()
{
    static ScriptWindowLinks links{[] { return QString("50"); }};
    return links;
}

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kGridTop = 3120 / kTwipsPerPixel;
constexpr int kGridLeft = 100 / kTwipsPerPixel;
constexpr int kRowHeight = 18;
// Column widths in the grid's units (an eighth of a hex digit).
constexpr int kDataColumnWidth = 208;
const std::array<int, kCellCount> kColumnWidths{64, 64, 64, 208, 208, 208, 124, 0}; // Comment: the rest
constexpr int kSpiRegAdrWidth = 2; // pixels: the SPI family's Reg Adr is a sliver
// A frame: what changes during a run is shown at most this often (ms on the program's clock).
constexpr std::int64_t kFrameMs = 16;

QLineEdit* field(const QString& text, int width = 48, const QString& tip = QString())
{
    auto* e = new QLineEdit(text);
    e->setStyle(RunStyle::instance()); // its frame is drawn once and copied at every repaint
    // Opaque, so that a run's changing fields repaint themselves only, not the frames behind them.
    e->setBackgroundRole(QPalette::Window);
    e->setAutoFillBackground(true);
    e->setFixedWidth(width);
    e->setAlignment(Qt::AlignCenter);
    if (!tip.isEmpty())
        e->setToolTip(tip);
    return e;
}


void setShown(QWidget* w, bool on)
{
    if (w->isVisibleTo(w->parentWidget()) != on)
        w->setVisible(on);
}

} // namespace

frmScriptOps::frmScriptOps()
{
    setWindowTitle("Setup - Script IC Send/Receive");
    resize(10005 / kTwipsPerPixel, 7695 / kTwipsPerPixel);
    buildControls();
    // A box of a run (the pause, a link or transfer dialog, a row failure) sits over the grid
    // as it stands, the row in hand current.
    platform::setBeforeMessageBox([this] {
        if (batching())
            showNow();
    });
}

frmScriptOps::~frmScriptOps()
{
    platform::setBeforeMessageBox({});
    if (g_ActiveForm == this)
        g_ActiveForm = nullptr;
}

void frmScriptOps::buildControls()
{
    Script_File_Ops = menuBar()->addMenu("File");
    mnuScript_Read = Script_File_Ops->addAction("Open Script File");
    connect(mnuScript_Read, &QAction::triggered, this, [this] { mnuScript_Read_Click(); });

    auto* central = new QWidget;
    setCentralWidget(central);
    top_ = new QWidget(central);
    auto* v = new QVBoxLayout(top_);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(4);

    // Title strip with the address field and the link lamp.
    picTitle = new QFrame;
    picTitle->setAutoFillBackground(true);
    QPalette yellow = picTitle->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    picTitle->setPalette(yellow);
    auto* t = new QHBoxLayout(picTitle);
    t->setContentsMargins(6, 2, 6, 2);
    lblTitle = new QLabel("IC - Script Load / Execute");
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    t->addWidget(lblTitle);
    t->addStretch(1);
    txtI2CAdr = field("60", 40);
    t->addWidget(txtI2CAdr);
    Label9 = new QLabel("USB");
    ShpAttach_ = new Lamp;
    Shp_USB_Transfer = new Lamp;
    t->addWidget(Label9);
    t->addWidget(ShpAttach_);
    t->addWidget(Shp_USB_Transfer);
    v->addWidget(picTitle);
    connect(txtI2CAdr, &QLineEdit::returnPressed, this, [this] { txtI2CAdr_KeyPress(13); });

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    v->addLayout(row);

    // Run controls.
    frmScriptExec = new QGroupBox("Script Control");
    {
        auto* g = new QGridLayout(frmScriptExec);
        g->setContentsMargins(6, 4, 6, 4);
        g->setVerticalSpacing(2);
        txtRunning = field("1", 44);
        Label1 = new QLabel("of");
        txtTotLines = field("", 44);
        cmdReload2 = new QPushButton("Reload");
        cmdAbort = new QPushButton("Abort");
        cmdAbort->hide();
        cmdExecAll = new QPushButton("Run All Steps");
        cmdRunContinuous = new QPushButton("Loop Cont");
        chkAOF = new QCheckBox("Abort On fail");
        Label3 = new QLabel("Read Operations");
        Label2 = new QLabel("Total       Pass        Fail");
        txttotReads = field("", 44);
        txtRdPass = field("", 44);
        txtRdFails = field("", 44);
        Label6 = new QLabel("Loop Count");
        txtLoopCount = field("0", 52);
        Label4 = new QLabel("Last Load");
        txtScriptLine1 = field("", 64);
        for (QLineEdit* e : {txtRunning, txtTotLines, txttotReads, txtRdPass, txtRdFails, txtLoopCount, txtScriptLine1})
            e->setReadOnly(true);
        // A run hides the run buttons and shows "Abort": their room stays, so that the frame
        // keeps its width and what a user presses mid-run (Sample, Enable) stays in place.
        for (QPushButton* b : {cmdAbort, cmdExecAll, cmdRunContinuous}) {
            QSizePolicy keep = b->sizePolicy();
            keep.setRetainSizeWhenHidden(true);
            b->setSizePolicy(keep);
        }
        auto* pos = new QHBoxLayout;
        pos->addWidget(txtRunning);
        pos->addWidget(Label1);
        pos->addWidget(txtTotLines);
        pos->addStretch(1);
        g->addLayout(pos, 0, 0, 1, 3);
        g->addWidget(cmdReload2, 1, 0);
        g->addWidget(cmdExecAll, 1, 1);
        g->addWidget(cmdRunContinuous, 1, 2);
        g->addWidget(cmdAbort, 2, 0);
        g->addWidget(chkAOF, 2, 1, 1, 2);
        g->addWidget(Label3, 3, 0, 1, 3);
        g->addWidget(Label2, 4, 0, 1, 3);
        auto* counts = new QHBoxLayout;
        counts->addWidget(txttotReads);
        counts->addWidget(txtRdPass);
        counts->addWidget(txtRdFails);
        counts->addStretch(1);
        g->addLayout(counts, 5, 0, 1, 3);
        auto* tail = new QHBoxLayout;
        tail->addWidget(Label6);
        tail->addWidget(txtLoopCount);
        tail->addWidget(Label4);
        tail->addWidget(txtScriptLine1);
        tail->addStretch(1);
        g->addLayout(tail, 6, 0, 1, 3);
    }
    row->addWidget(frmScriptExec);
    connect(cmdReload2, &QPushButton::clicked, this, [this] { cmdReload2_Click(); });
    connect(cmdAbort, &QPushButton::clicked, this, [this] { cmdAbort_Click(); });
    connect(cmdExecAll, &QPushButton::clicked, this, [this] { cmdExecAll_Click(); });
    connect(cmdRunContinuous, &QPushButton::clicked, this, [this] { cmdRunContinuous_Click(); });
    connect(chkAOF, &QCheckBox::toggled, this, [this](bool on) { exec_.abortOnFail = on; });

    // Interrupt sampling.
    auto* right = new QVBoxLayout;
    frameInterrupt = new QGroupBox("Interrupt Status");
    {
        auto* g = new QGridLayout(frameInterrupt);
        g->setContentsMargins(6, 4, 6, 4);
        g->setVerticalSpacing(2);
        shpISample = new Lamp;
        Label5 = new QLabel("Sample");
        Label5->setToolTip("Sample Led will change color each time Interrupt is sampled during script execution");
        chkISample = new QCheckBox("Enable");
        chkISample->setToolTip("Manual Enable / Disable of Interrupt Sampling");
        cmdISample = new QPushButton("Sample");
        cmdISample->setToolTip("Click here to Sample GPIO bits.");
        Label7 = new QLabel("Expect   LastRead    Enable          Disable       Detect Step");
        txtIDefault = field("0000", 64, "Non Interupt Active Value of GPIO Ports");
        txtLastRead = field("0000", 64, "Last Sampled value of GPIO Ports");
        txtIEnableStep =
            field("----", 64, "Displays if Interrupt Sampling is Enable, Step Number if enabled via Script.");
        txtIDisableStep =
            field("----", 64, "Displays if Interrupt Sampling is disabled, Step Number if disabled via Script.");
        txtIdetectStep = field("----", 64);
        for (QLineEdit* e : {txtLastRead, txtIEnableStep, txtIDisableStep, txtIdetectStep})
            e->setReadOnly(true);
        auto* top = new QHBoxLayout;
        top->addWidget(shpISample);
        top->addWidget(Label5);
        top->addWidget(chkISample);
        top->addWidget(cmdISample);
        top->addStretch(1);
        g->addLayout(top, 0, 0, 1, 5);
        g->addWidget(Label7, 1, 0, 1, 5);
        auto* fields = new QHBoxLayout;
        for (QLineEdit* e : {txtIDefault, txtLastRead, txtIEnableStep, txtIDisableStep, txtIdetectStep})
            fields->addWidget(e);
        fields->addStretch(1);
        g->addLayout(fields, 2, 0, 1, 5);
    }
    right->addWidget(frameInterrupt);
    connect(cmdISample, &QPushButton::clicked, this, [this] { cmdISample_Click(); });
    // Only the user's own click counts: ticking the box from code leaves the step fields.
    connect(chkISample, &QCheckBox::clicked, this, [this] { chkISample_MouseUp(); });
    connect(txtIDefault, &QLineEdit::textEdited, this, [this](const QString& t) { exec_.txtIDefault = t; });

    frameIsteps = new QGroupBox("Interrupt Service Steps");
    {
        auto* g = new QGridLayout(frameIsteps);
        g->setContentsMargins(6, 4, 6, 4);
        Label8 = new QLabel("     Start                  End               Executing");
        txtIstart = field("----", 64);
        txtIend = field("----", 64);
        txtIexec = field("----", 64);
        for (QLineEdit* e : {txtIstart, txtIend, txtIexec})
            e->setReadOnly(true);
        g->addWidget(Label8, 0, 0);
        auto* fields = new QHBoxLayout;
        for (QLineEdit* e : {txtIstart, txtIend, txtIexec})
            fields->addWidget(e);
        fields->addStretch(1);
        g->addLayout(fields, 1, 0);
    }
    right->addWidget(frameIsteps);
    row->addLayout(right);

    // Results file.
    frmDataRecord = new QGroupBox("Update Expected Read Data && Save Script to File");
    {
        auto* g = new QGridLayout(frmDataRecord);
        g->setContentsMargins(6, 4, 6, 4);
        txtFilePath = new QLineEdit;
        txtFilePath->setToolTip("Contains Path + File name where measurement data will be written.");
        Label18 = new QLabel("");
        Label18->setWordWrap(true);
        cmdBrowse = new QPushButton("Browse");
        cmdBrowse->setToolTip("Use this to select file where measurement data will be written.");
        cmdStartRec[0] = new QPushButton("Write to Disk");
        cmdStartRec[0]->setToolTip("Click here to save measurement to disk file.");
        chkAppend = new QCheckBox("Append");
        chkAppend->setToolTip("If check, data is appended to end of Measurement file, if uncheck file is overwritten "
                              "with present data only.");
        g->addWidget(txtFilePath, 0, 0, 1, 3);
        g->addWidget(cmdBrowse, 1, 0);
        g->addWidget(cmdStartRec[0], 1, 1);
        g->addWidget(chkAppend, 1, 2);
        g->addWidget(Label18, 2, 0, 1, 3);
    }
    row->addWidget(frmDataRecord, 1);
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdStartRec[0], &QPushButton::clicked, this, [this] { cmdStartRec_Click(0); });

    vbalGrid1 = new ScriptGrid(exec_, central);
    vbalGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    vbalGrid1->move(kGridLeft, kGridTop);
    // The cell event is the activation gesture: a double click or Enter on a cell.
    connect(vbalGrid1, &QTableView::activated, this,
            [this](const QModelIndex& i) { vbalGrid1_CellActivated(i.row() + 1, i.column() + 1); });
}

// A handler of this window under way. Its event pumps may deliver the close box: the window
// then closes once the outermost handler has returned, never from under one of them.
class frmScriptOps::Handling {
public:
    explicit Handling(frmScriptOps& w) : w_(w) { ++w_.handling_; }
    ~Handling()
    {
        if (--w_.handling_ == 0 && w_.closeAfterRun_ && !w_.exec_.busy()) {
            w_.closeAfterRun_ = false;
            w_.close();
        }
    }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;

private:
    frmScriptOps& w_;
};

// --- set-up and activation ----------------------------------------------------------------

void frmScriptOps::g_ActiveFormSet() { g_ActiveForm = this; }

void frmScriptOps::Form_Load()
{
    frmScriptExec->hide();
    setWindowTitle("No Script File Selected");
    g_ActiveFormSet();
    txtI2CAdr->setText(scriptWindowLinks().deviceAddressText());
    platform::pumpEvents();
    g_WriteAddress = static_cast<std::uint8_t>(HexToInt(txtI2CAdr->text()));
    txtRunning->setText("1");

    vbalGrid1->setUpdatesEnabled(false);
    std::array<QString, kCellCount> heads{"Line", "I2C Adr", "Reg Adr", "Data_Wr", "Data_Rd", "Act_Rd", "Operation", "Comment"};
    if (g_SPIFamily)
        heads[kI2CAdr] = heads[kRegAdr] = QString();
    vbalGrid1->grid().setHeaders(heads);
    // Comment stretches over the width the others leave, from no more than its heading, so that
    // a window just wide enough for the other columns needs no scrolling.
    for (int c = 0; c < kCellCount; ++c)
        vbalGrid1->setColumnWidth(c, g_SPIFamily && c == kRegAdr ? kSpiRegAdrWidth
                                     : c == kComment             ? vbalGrid1->headerWidth(c)
                                                                 : vbalGrid1->unitsWide(c, kColumnWidths[static_cast<size_t>(c)]));
    platform::pumpEvents();
    vbalGrid1->setUpdatesEnabled(true);
    platform::pumpEvents();
    stateChanged();
    // Wide enough for every column but Comment, which takes what is left, within the screen.
    int columns = 2 * vbalGrid1->frameWidth() + vbalGrid1->verticalScrollBar()->sizeHint().width() +
                  vbalGrid1->headerWidth(kComment);
    for (int c = 0; c < kComment; ++c)
        columns += vbalGrid1->columnWidth(c);
    resize(std::max(width(), columns + 400 / kTwipsPerPixel), height());
    fitScreen();
    Form_Resize();
}

void frmScriptOps::fitScreen()
{
    // Beyond the screen the grid scrolls instead. The frame is known once the window is shown.
    if (const QScreen* s = screen()) {
        const int most = s->availableGeometry().width() - (frameGeometry().width() - width());
        if (width() > most)
            resize(most, height());
    }
}

void frmScriptOps::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    fitScreen();
}

void frmScriptOps::Form_GotFocus() { g_ActiveFormSet(); }

bool frmScriptOps::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_GotFocus();
    return QMainWindow::event(e);
}

void frmScriptOps::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    Form_Resize();
}

void frmScriptOps::Form_Resize()
{
    if (isMinimized() || !vbalGrid1)
        return;
    QWidget* inner = centralWidget();
    top_->setGeometry(0, 0, inner->width(), kGridTop - 2);
    vbalGrid1->hide();
    vbalGrid1->move(kGridLeft, kGridTop);
    vbalGrid1->resize(std::max(inner->width() - 400 / kTwipsPerPixel, 0), vbalGrid1->height());
    // Below an inner height of 4400 twips the grid keeps a sliver of two rows.
    if (inner->height() > 4000 / kTwipsPerPixel)
        vbalGrid1->resize(vbalGrid1->width(), std::max(inner->height() - 4400 / kTwipsPerPixel, 2 * kRowHeight));
    vbalGrid1->show();
}

void frmScriptOps::fitTopRow()
{
    // The results frame joins the row after a run; at the design width the row would squeeze
    // every frame in it below its own minimum and cut off their buttons and fields.
    const int lack = top_->minimumSizeHint().width() - centralWidget()->width();
    if (lack > 0)
        resize(width() + lack, height());
}

void frmScriptOps::txtI2CAdr_KeyPress(int KeyAscii)
{
    const Handling handling(*this);
    if (KeyAscii != 13)
        return;
    if (exec_.busy())
        return; // the rows that are running stay as they are
    txtI2CAdr->setText(txtI2CAdr->text().toUpper());
    platform::pumpEvents();
    const int v = HexToInt(txtI2CAdr->text());
    if (v >= 0 && v <= 254) {
        g_WriteAddress = static_cast<std::uint8_t>(v);
        cmdReload2_Click();
    } else {
        txtI2CAdr->setText("60");
    }
    platform::pumpEvents();
}

// --- loading ------------------------------------------------------------------------------

void frmScriptOps::ReadScriptFile()
{
    if (exec_.busy())
        return;
    const QString position = txtRunning->text();
    const bool chosen = ScriptChosen;
    txtRunning->setText("");
    ScriptChosen = false;
    platform::FileDialogSpec d;
    d.title = "Select Script File to Open";
    d.filter = "Dravonix Script Files |*.txt|All Files|*.*";
    d.defaultExt = "txt";
    platform::openInLastFolder(d, "script", "scripts");
    const QString path = platform::services().openFileName(d);
    if (path.isEmpty())
        return;
    if (LoadScriptFile(path)) {
        ScriptChosen = true;
        // No row of a script just opened has run (a Reload keeps the position of the last run).
        exec_.txtRunning.clear();
        stateChanged();
        return;
    }
    // A refused file leaves the window with the script it had, Reload included.
    ScriptChosen = chosen;
    txtRunning->setText(position);
}

void frmScriptOps::setRunButtonsEnabled(bool on)
{
    cmdReload2->setEnabled(on);
    cmdExecAll->setEnabled(on);
    cmdRunContinuous->setEnabled(on);
}

bool frmScriptOps::LoadScriptFile(const QString& path)
{
    const QString title = QFileInfo(path).fileName();
    const QString caption = windowTitle();
    setRunButtonsEnabled(false);
    frmDataRecord->hide();
    setWindowTitle("[ " + title + " ]    Loading Script File .. Please Wait");
    QString error;
    const QStringList lines = readLines(path, error);
    ScriptLoad load;
    if (error.isEmpty()) {
        setWindowTitle("Processing " + path);
        setWindowTitle("Processing " + title);
        load = loadScript(lines, Family{g_I2CFamily, g_SPIFamily}, g_WriteAddress);
        if (!load.error.isEmpty())
            error = QString("%1; the file \"%2\" was not loaded.").arg(load.error, QDir::toNativeSeparators(path));
    }
    if (!error.isEmpty()) {
        // Nothing of the file is taken: the rows, the kept lines, the captions and the path
        // that Reload, Browse and the save command use stay those of the script before, so a
        // results file is never written from part of a script.
        setWindowTitle(caption);
        frmDataRecord->setVisible(exec_.dataRecordShown);
        setRunButtonsEnabled(true);
        platform::msgBox("Script Load Error: " + error);
        return false;
    }
    cdlFileName_ = path;
    cdlFileTitle_ = title;
    txtScriptLine1->setText(timeText(platform::services().now()));
    exec_.setScript(std::move(load));
    txttotReads->setText(QString::number(exec_.script().readCount));
    vbalGrid1->grid().reload();
    fitColumns();
    frmScriptExec->show();
    setWindowTitle("[ " + cdlFileTitle_ + " ]    Script IC Send / Receive");
    setRunButtonsEnabled(true);
    return true;
}

void frmScriptOps::fitColumns()
{
    const ScriptLoad& s = exec_.script();
    ScriptGrid* g = vbalGrid1;
    const int widest = g->unitsWide(kDataWr, kDataColumnWidth);
    // The data columns narrow to their longest field (room for 8 digits at least). Act_Rd also
    // holds what delay and GPIO rows show there.
    const int w = std::min(g->unitsWide(kDataWr, 8 * std::max(s.longestDataWr, 8)), widest);
    int d = std::min(g->unitsWide(kDataRd, 8 * std::max(s.longestDataRd, 8)), widest);
    // Each distinct text measured once: a script repeats a few Operation texts many times.
    QSet<QString> acts, operations;
    for (const ScriptRow& r : s.rows) {
        if (r.delay == -1 || r.delay >= 1)
            acts.insert(delayText(r.delay));
        else if (r.text(kI2CAdr) == "GPIO")
            acts.insert(r.text(kDataRd));
        operations.insert(r.text(kOperation));
    }
    int act = d;
    for (const QString& t : acts)
        act = std::max(act, g->widthFor(kActRd, t));
    int operation = g->unitsWide(kOperation, kColumnWidths[kOperation]);
    for (const QString& t : operations)
        operation = std::max(operation, g->widthFor(kOperation, t));
    g->setColumnWidth(kDataWr, w);
    g->setColumnWidth(kDataRd, d);
    g->setColumnWidth(kActRd, std::min(act, widest));
    g->setColumnWidth(kOperation, operation);
}

void frmScriptOps::cmdReload2_Click()
{
    const Handling handling(*this);
    if (exec_.busy())
        return;
    g_AbortRequest = false;
    if (!ScriptChosen)
        return;
    cmdExecAll->hide();
    cmdRunContinuous->hide();
    cmdAbort->hide();
    platform::pumpEvents();
    LoadScriptFile(cdlFileName_);
    cmdExecAll->show();
    cmdRunContinuous->show();
    platform::pumpEvents();
}

// --- running ------------------------------------------------------------------------------

void frmScriptOps::cmdExecAll_Click()
{
    const Handling handling(*this);
    if (exec_.busy())
        return;
    cmdReload2->setEnabled(false);
    exec_.cmdExecAll_Click();
    finishRun();
}

void frmScriptOps::cmdRunContinuous_Click()
{
    const Handling handling(*this);
    if (exec_.busy())
        return;
    cmdReload2->setEnabled(false);
    exec_.cmdRunContinuous_Click();
    finishRun();
}

void frmScriptOps::finishRun()
{
    flush();
    cmdReload2->setEnabled(true);
}

void frmScriptOps::closeEvent(QCloseEvent* e)
{
    if (handling_ > 0 || exec_.busy()) {
        // Rows run inside this window's own handlers: they stop after the row in hand, and
        // the window closes when the last of those handlers has returned.
        g_AbortRequest = true;
        closeAfterRun_ = true;
        e->ignore();
        return;
    }
    e->accept();
    forms().frmScriptOps.unload();
}

void frmScriptOps::cmdAbort_Click()
{
    const Handling handling(*this);
    exec_.cmdAbort_Click();
}

void frmScriptOps::ExecuteScriptRow(int row, int column)
{
    const Handling handling(*this);
    exec_.ExecuteScriptRow(row, column);
    flush();
}

void frmScriptOps::vbalGrid1_CellActivated(int row, int column)
{
    const Handling handling(*this);
    exec_.gridCurrentRow = vbalGrid1->currentRow() + 1;
    exec_.cellActivated(row, column);
    flush();
}

void frmScriptOps::cmdISample_Click()
{
    const Handling handling(*this);
    exec_.cmdISample_Click();
    flush();
}

void frmScriptOps::chkISample_MouseUp()
{
    const Handling handling(*this);
    exec_.userSetSampling(chkISample->isChecked());
}

// --- what the screen shows ----------------------------------------------------------------

void frmScriptOps::rowChanged(int row)
{
    if (row >= static_cast<int>(rowDirty_.size()))
        rowDirty_.resize(static_cast<size_t>(row) + 1, 0);
    if (!rowDirty_[static_cast<size_t>(row)]) {
        rowDirty_[static_cast<size_t>(row)] = 1;
        dirtyRows_.push_back(row);
    }
    if (!batching())
        flush();
}

void frmScriptOps::stateChanged()
{
    stateDirty_ = true;
    if (!batching())
        flush();
}

void frmScriptOps::framePoint()
{
    const bool rowMoved = exec_.gridCurrentRow != syncedRow_;
    if (dirtyRows_.empty() && !stateDirty_ && !rowMoved)
        return;
    const std::int64_t now = platform::services().monotonicMs();
    if (shownAtMs_ && now - *shownAtMs_ < kFrameMs)
        return;
    flush();
    shownAtMs_ = now;
}

void frmScriptOps::showNow()
{
    flush();
    shownAtMs_ = platform::services().monotonicMs();
    // Paints what is waiting to be painted, and runs no other event.
    if (isVisible())
        QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
}

void frmScriptOps::flush()
{
    for (int r : dirtyRows_) {
        rowDirty_[static_cast<size_t>(r)] = 0;
        vbalGrid1->grid().rowChanged(r);
    }
    dirtyRows_.clear();
    if (stateDirty_) {
        stateDirty_ = false;
        applyState();
    }
    // The row in hand is the grid's current row, from before it executes; between runs the
    // user's own choice stands.
    const int row = exec_.gridCurrentRow;
    if ((batching() || row != syncedRow_) && row >= 1 && row <= vbalGrid1->rowCount() &&
        vbalGrid1->currentRow() != row - 1)
        vbalGrid1->setCurrentRow(row - 1);
    syncedRow_ = row;
}

void frmScriptOps::applyState()
{
    const Executor& e = exec_;
    auto set = [](QLineEdit* f, const QString& t) {
        if (f->text() != t)
            f->setText(t);
    };
    set(txtRunning, e.txtRunning);
    set(txtTotLines, e.txtTotLines);
    set(txtRdPass, QString::number(e.passes));
    set(txtRdFails, QString::number(e.fails));
    set(txtLoopCount, QString::number(e.loopCount));
    set(txtIDefault, e.txtIDefault);
    set(txtLastRead, e.txtLastRead);
    set(txtIEnableStep, e.txtIEnableStep);
    set(txtIDisableStep, e.txtIDisableStep);
    set(txtIdetectStep, e.txtIdetectStep);
    set(txtIstart, e.txtIstart);
    set(txtIend, e.txtIend);
    set(txtIexec, e.txtIexec);
    shpISample->setFillColor(e.sampleLamp);
    if (chkISample->isChecked() != e.sampling) {
        QSignalBlocker block(chkISample);
        chkISample->setChecked(e.sampling);
    }
    setShown(cmdExecAll, e.runAllShown);
    setShown(cmdRunContinuous, e.loopShown);
    setShown(cmdAbort, e.abortShown);
    if (frmDataRecord->isVisibleTo(this) != e.dataRecordShown) {
        frmDataRecord->setVisible(e.dataRecordShown);
        if (e.dataRecordShown)
            fitTopRow();
    }
}

// --- results file -------------------------------------------------------------------------

void frmScriptOps::MergeActualReads() { mergeActualReads(exec_.lines(), exec_.script().rows); }

void frmScriptOps::cmdStartRec_Click(int /*Index*/)
{
    MergeActualReads();
    const QDateTime when = platform::services().now();
    stampFirstLine(exec_.lines(), when, txtLoopCount->text());
    const QString error = writeLines(txtFilePath->text(), exec_.lines(), chkAppend->isChecked());
    if (!error.isEmpty()) {
        platform::msgBox(error);
        return;
    }
    Label18->setText(Str(exec_.lines().size()) + " Script written: " + dateText(when) + " " + timeText(when));
}

void frmScriptOps::Auto_Script_Save()
{
    txtFilePath->setText(autoSaveName(cdlFileName_));
    chkAppend->setChecked(true);
    platform::pumpEvents();
    cmdStartRec_Click(0);
}

void frmScriptOps::cmdBrowse_Click()
{
    platform::FileDialogSpec d;
    d.title = "Select File For Update";
    d.fileName = cdlFileName_;
    d.filter = "All Files (*.*)|*.*|Script(*.txt)|*.txt";
    d.defaultExt = "txt";
    const QString path = platform::services().saveFileName(d);
    if (!path.isEmpty())
        txtFilePath->setText(path);
}
