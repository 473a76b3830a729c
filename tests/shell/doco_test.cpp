#include "shell/doco.h"
#include "shell/trace.h"

#include "shell_fixture.h"
#include "support/full_disk.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class DocoTest : public ShellTest {
protected:
    Doco& doco() { return forms().Doco(); }
};

TEST_F(DocoTest, LinesAppendOnlyWhileTracingIsOn)
{
    struct Case {
        bool on, detail;
        const char* log;
    };
    const Case cases[] = {
        {false, false, ""},
        {false, true, ""},
        {true, false, "plain\r\n     indented\r\n"},
        {true, true, "plain\r\n     indented\r\ndetail\r\n"},
    };
    for (const Case& c : cases) {
        doco().cndTclear_Click();
        g_TraceOn = c.on;
        g_TraceDetail = c.detail;
        trace("plain");
        trace("     indented");
        traceDetail("detail");
        EXPECT_EQ(doco().logText(), QString(c.log)) << c.on << c.detail;
        EXPECT_EQ(doco().rtxt1->toPlainText(), QString(c.log).replace("\r\n", "\n"));
    }
}

TEST_F(DocoTest, BoxesSwitchTheFlags)
{
    doco().ChkTrace[2]->setChecked(true);
    doco().chkTRDetail->setChecked(true);
    EXPECT_TRUE(g_TraceOn);
    EXPECT_TRUE(g_TraceDetail);
    doco().ChkTrace[2]->setChecked(false);
    doco().chkTRDetail->setChecked(false);
    EXPECT_FALSE(g_TraceOn);
    EXPECT_FALSE(g_TraceDetail);

    // switched on before the window existed: the window shows it
    forms().destroyAll();
    g_TraceOn = true;
    EXPECT_TRUE(doco().ChkTrace[2]->isChecked());
    EXPECT_TRUE(g_TraceOn);
    EXPECT_EQ(doco().windowTitle(), QStringLiteral("Trace"));
}

TEST_F(DocoTest, SavesFramedRecordsAppendingOrReplacing)
{
    const QString file = path("trace.txt");
    doco().txtFilePath->setText(file);
    appendTraceLog("first");
    appendTraceLog("second");
    const QByteArray record1 =
        "Trace File Data Acquisition 03-02-2026 10:00:00\r\nfirst\r\nsecond\r\n\r\nEND\r\n";

    doco().chkAppend->setChecked(true);
    g_CalRunning = true;
    doco().cmdStartRec[0]->click();
    EXPECT_FALSE(g_CalRunning) << "saving stops a calibration sweep";
    EXPECT_EQ(readAll(file), record1);

    svc.clock = QDateTime(QDate(2026, 12, 31), QTime(23, 5, 9));
    doco().cmdStartRec_Click(0);
    const QByteArray record2 =
        "Trace File Data Acquisition 12-31-2026 23:05:09\r\nfirst\r\nsecond\r\n\r\nEND\r\n";
    EXPECT_EQ(readAll(file), record1 + record2) << "two headers, two END lines";

    doco().chkAppend->setChecked(false);
    doco().cmdStartRec_Click(0);
    EXPECT_EQ(readAll(file), record2) << "without Append only the latest save";
    EXPECT_EQ(doco().logText(), QStringLiteral("first\r\nsecond\r\n")) << "saving leaves the log";
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(DocoTest, FailedSaveTellsWhyAndWritesNothing)
{
    appendTraceLog("line");
    const QString paths[] = {QString(), "   ", path("no/such/folder/trace.txt"), dir.path()};
    for (bool append : {false, true}) {
        for (const QString& p : paths) {
            doco().txtFilePath->setText(p);
            doco().chkAppend->setChecked(append);
            g_CalRunning = true;
            svc.answer(platform::vbOK);
            doco().cmdStartRec_Click(0);
            ASSERT_EQ(svc.boxes.size(), 1u) << p.toStdString();
            EXPECT_EQ(svc.boxes[0].buttons, platform::vbOKOnly);
            const QString& text = svc.boxes[0].text;
            EXPECT_TRUE(p.trimmed().isEmpty() ? text.startsWith("No file name was given") : text.contains(p))
                << text.toStdString();
            EXPECT_FALSE(g_CalRunning);
            svc.boxes.clear();
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    EXPECT_EQ(doco().logText(), QStringLiteral("line\r\n"));
}

// "Write to Disk" on a disk that fills up: the message names the file, and the file that was
// there keeps its bytes (no record cut off mid-line, no empty file after a replace).
TEST_F(DocoTest, AFullDiskLeavesTheTraceFileAsItWas)
{
    for (int i = 0; i < 200; ++i)
        appendTraceLog(QString("     I2C write 50 30 %1").arg(i));
    const QString file = path("trace.txt");
    const QByteArray old = "Trace File Data Acquisition 03-01-2026 09:00:00\r\nold\r\n\r\nEND\r\n";
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "append" : "replace");
        putFileBytes(file, old);
        doco().txtFilePath->setText(file);
        doco().chkAppend->setChecked(append);
        // The window's fields are read here; only the write runs on the full disk.
        const QString chosen = doco().txtFilePath->text();
        const QString log = doco().logText();
        const int code = runWithFileSizeLimit(2048, [&] {
            QString shown;
            svc.onBox = [&](const QString& text, int) {
                shown = text;
                return platform::vbOK;
            };
            const bool saved = saveTraceRecord(chosen, log, append);
            return !saved && shown.contains(file) ? 0 : 1;
        });
        EXPECT_EQ(code, 0) << "the save fails with a message that names the file";
        EXPECT_EQ(fileBytes(file), old);
    }
}

TEST_F(DocoTest, BrowsePutsTheChosenPathOrNothing)
{
    doco().txtFilePath->setText("kept.txt");
    doco().cmdBrowse_Click(); // cancelled
    EXPECT_EQ(doco().txtFilePath->text(), QStringLiteral("kept.txt"));
    ASSERT_EQ(svc.dialogs.size(), 1u);
    EXPECT_EQ(svc.dialogs[0].title, QStringLiteral("Select File For Recording"));
    EXPECT_EQ(svc.dialogs[0].filter, QStringLiteral("All Files (*.*)|*.*|ZN661x Trace Files(*.txt)|*.txt"));
    EXPECT_EQ(svc.dialogs[0].defaultExt, QStringLiteral("txt"));
    EXPECT_TRUE(svc.dialogs[0].fileName.isEmpty());

    svc.savePaths.push_back(path("chosen.txt"));
    doco().cmdBrowse->click();
    EXPECT_EQ(doco().txtFilePath->text(), path("chosen.txt"));
}

TEST_F(DocoTest, ResizeFollowsTheWindowInTwips)
{
    Doco& d = doco();
    d.resize(900, 600);
    d.Form_Resize();
    EXPECT_EQ(d.rtxt1->x(), 100 / 15);
    EXPECT_EQ(d.rtxt1->width(), (900 * 15 - 400) / 15);
    EXPECT_EQ(d.frmDataRecord->y(), (600 * 15 - 1770) / 15);
    EXPECT_LE(d.rtxt1->height(), (600 * 15 - 2600) / 15);
    EXPECT_LT(d.rtxt1->geometry().bottom(), d.frmDataRecord->y());

    const QRect log = d.rtxt1->geometry(), frame = d.frmDataRecord->geometry();
    d.resize(700, 250); // below 4000 twips: only the log's width changes
    d.Form_Resize();
    EXPECT_EQ(d.rtxt1->width(), (700 * 15 - 400) / 15);
    EXPECT_EQ(d.rtxt1->height(), log.height());
    EXPECT_EQ(d.rtxt1->y(), log.y());
    EXPECT_EQ(d.frmDataRecord->geometry(), frame);
}

TEST_F(DocoTest, NothingIsCutOffAtTheDefaultSize)
{
    Doco& d = doco();
    d.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(d.size(), QSize(640, 480));
    for (QWidget* w : d.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&d) || !w->parentWidget())
            continue;
        const QRect inParent = w->geometry();
        EXPECT_TRUE(w->parentWidget()->rect().contains(inParent))
            << w->metaObject()->className() << " " << w->objectName().toStdString();
        EXPECT_GE(inParent.height(), w->minimumSizeHint().height())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    EXPECT_FALSE(d.FrmDocoOptions->geometry().intersects(d.rtxt1->geometry()));
    EXPECT_FALSE(d.frmDataRecord->geometry().intersects(d.rtxt1->geometry()));
}
