#include "shell/doco.h"

#include "platform/files.h"
#include "platform/services.h"
#include "shell/globals.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int px(int twips) { return twips / kTwipsPerPixel; }

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kLogLeftTw = 100;
constexpr int kMinLayoutHeightTw = 4000;

} // namespace

QString TraceRecordFile(const QString& log, const QDateTime& when)
{
    return QStringLiteral("Trace File Data Acquisition ") + when.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss"))
         + QStringLiteral("\r\n") + log + QStringLiteral("\r\nEND\r\n");
}

bool saveTraceRecord(const QString& path, const QString& log, bool append)
{
    const QByteArray data = TraceRecordFile(log, platform::services().now()).toUtf8();
    const QString error = platform::writeFile(path, data, append);
    if (error.isEmpty())
        return true;
    platform::msgBox(error, platform::vbOKOnly);
    return false;
}

QString browseTraceRecord()
{
    // A save dialog, because the record file usually does not exist yet.
    platform::FileDialogSpec dialog;
    dialog.title = QStringLiteral("Select File For Recording");
    dialog.filter = QStringLiteral("All Files (*.*)|*.*|ZN661x Trace Files(*.txt)|*.txt");
    dialog.defaultExt = QStringLiteral("txt");
    return platform::services().saveFileName(dialog);
}

Doco::Doco()
{
    setObjectName(QStringLiteral("Doco"));

    rtxt1 = new QPlainTextEdit(this);
    rtxt1->setObjectName(QStringLiteral("rtxt1"));
    rtxt1->setReadOnly(true);
    rtxt1->setLineWrapMode(QPlainTextEdit::NoWrap);

    FrmDocoOptions = new QGroupBox(QStringLiteral("Trace Options"), this);
    for (int i = 0; i < int(ChkTrace.size()); ++i) {
        ChkTrace[i] = new QCheckBox(FrmDocoOptions);
        ChkTrace[i]->setObjectName(QStringLiteral("ChkTrace_%1").arg(i));
        ChkTrace[i]->hide();
        connect(ChkTrace[i], &QCheckBox::toggled, this, [this, i] { ChkTrace_Click(i); });
    }
    ChkTrace[2]->setText(QStringLiteral("Trace"));
    ChkTrace[2]->show();
    chkTRDetail = new QCheckBox(QStringLiteral("Detailed"), FrmDocoOptions);
    cndTclear = new QPushButton(QStringLiteral("Clear"), FrmDocoOptions);
    auto* options = new QHBoxLayout(FrmDocoOptions);
    options->setContentsMargins(8, 2, 8, 4);
    options->addWidget(ChkTrace[2]);
    options->addSpacing(12);
    options->addWidget(chkTRDetail);
    options->addStretch(1);
    options->addWidget(cndTclear);

    frmDataRecord = new QGroupBox(QStringLiteral("Save Traces to File"), this);
    txtFilePath = new QLineEdit(frmDataRecord);
    cmdBrowse = new QPushButton(QStringLiteral("Browse"), frmDataRecord);
    chkAppend = new QCheckBox(QStringLiteral("Append"), frmDataRecord);
    cmdStartRec[0] = new QPushButton(QStringLiteral("Write to Disk"), frmDataRecord);
    auto* record = new QGridLayout(frmDataRecord);
    record->setContentsMargins(8, 2, 8, 4);
    record->setVerticalSpacing(4);
    record->addWidget(txtFilePath, 0, 0);
    record->addWidget(cmdBrowse, 0, 1);
    record->addWidget(chkAppend, 1, 0, Qt::AlignLeft);
    record->addWidget(cmdStartRec[0], 1, 1);
    record->setColumnStretch(0, 1);

    connect(chkTRDetail, &QCheckBox::toggled, this, [this] { chkTRDetail_Click(); });
    connect(cndTclear, &QPushButton::clicked, this, [this] { cndTclear_Click(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdStartRec[0], &QPushButton::clicked, this, [this] { cmdStartRec_Click(0); });

    // The window is placed by hand (Form_Resize) around the log; the frames keep the width
    // the default window gives them, their contents are laid out by Qt.
    const int frameWidth = kDefaultWidth - px(400);
    FrmDocoOptions->setGeometry(px(kLogLeftTw), 4, frameWidth, FrmDocoOptions->sizeHint().height());
    frmDataRecord->setGeometry(px(kLogLeftTw), 0, frameWidth,
                               std::min(frmDataRecord->sizeHint().height(), px(1770) - 6));
    rtxt1->move(px(kLogLeftTw), FrmDocoOptions->geometry().bottom() + 5);
    resize(kDefaultWidth, kDefaultHeight);
    Form_Resize();
}

void Doco::Form_Load()
{
    setWindowTitle(QStringLiteral("Trace"));
    // Tracing may have been switched on before the window existed (the run-in test does).
    ChkTrace[2]->setChecked(g_TraceOn);
    chkTRDetail->setChecked(g_TraceDetail);
}

void Doco::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Form_Resize();
}

void Doco::Form_Resize()
{
    if (isMinimized())
        return;
    const int widthTw = width() * kTwipsPerPixel;
    const int heightTw = height() * kTwipsPerPixel;
    const QRect log = rtxt1->geometry();
    int logHeight = log.height();
    // A window lower than this keeps the log height and frame position it had.
    if (heightTw >= kMinLayoutHeightTw) {
        const int frameTop = px(heightTw - 1770);
        frmDataRecord->move(frmDataRecord->x(), frameTop);
        // The log never runs into the save frame, even with a large font above it.
        logHeight = std::max(0, std::min(px(heightTw - 2600), frameTop - 2 - log.top()));
    }
    rtxt1->setGeometry(px(kLogLeftTw), log.top(), px(widthTw - 400), logHeight);
}

void Doco::ChkTrace_Click(int /*Index*/) { g_TraceOn = ChkTrace[2]->isChecked(); }

void Doco::chkTRDetail_Click() { g_TraceDetail = chkTRDetail->isChecked(); }

void Doco::cndTclear_Click()
{
    log_.clear();
    rtxt1->clear();
}

void Doco::cmdBrowse_Click()
{
    const QString path = browseTraceRecord();
    if (!path.isEmpty())
        txtFilePath->setText(path);
}

void Doco::cmdStartRec_Click(int /*Index*/)
{
    g_CalRunning = false; // a calibration sweep in progress stops at its next check
    saveTraceRecord(txtFilePath->text(), log_, chkAppend->isChecked());
}

void Doco::appendLine(const QString& message)
{
    log_ += message;
    log_ += QStringLiteral("\r\n");
    appendToLogBox(rtxt1, message + QStringLiteral("\r\n"));
}

void appendToLogBox(QPlainTextEdit* box, const QString& text)
{
    QScrollBar* bar = box->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    QTextCursor c(box->document());
    c.movePosition(QTextCursor::End);
    c.insertText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (atEnd)
        bar->setValue(bar->maximum());
}
