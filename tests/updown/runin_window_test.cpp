// The run-in window: its line boxes and their reports, a run from "Run Test" with its
// displays, abort and close during a run, the settings check and the record file.
#include "runin_window_fixture.h"

#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class RunInWindowTest : public RunInWindowFixture {
protected:
    // The port writes sent since the transcript was cleared, as "P0=C0" / "P1=06".
    QStringList portWrites() const
    {
        QStringList out;
        for (const auto& r : sims->board(0).transcript.requests(0x12))
            out << QStringLiteral("P%1=%2").arg(r[3] == 0x80 ? 0 : 1).arg(Hex2(r[4]));
        return out;
    }
    QString readFile(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    }
};

} // namespace

TEST_F(RunInWindowTest, LineBoxesSendTheirPortsAndPaintTheirLamps)
{
    UPDN_Runin& w = window();
    board().transcript.clear();
    w.ChOut[0]->setChecked(true);
    EXPECT_EQ(w.ShpOut[0]->fillColor(), 12);
    w.ChOut[0]->setChecked(false);
    EXPECT_EQ(w.ShpOut[0]->fillColor(), 0);
    w.ChOut[1]->setChecked(true);
    w.ChOut[2]->setChecked(true);
    w.ChOut[2]->setChecked(true); // no change: nothing sent
    EXPECT_EQ(portWrites(), (QStringList{"P0=C0", "P0=82", "P1=02", "P1=06"}));

    for (QCheckBox* box : w.ChOut)
        box->setChecked(false);
    board().transcript.clear();
    w.cmdAlloutsHigh[0]->click();
    EXPECT_EQ(portWrites(), (QStringList{"P0=C0", "P1=02", "P1=06", "P0=C0", "P1=06"}));
    for (int pin : {6, 7, 9, 10})
        EXPECT_TRUE(forms().frmMotherboardDAQ2().chkPData[size_t(pin)]->isChecked()) << pin;
    EXPECT_FALSE(g_PinBatch);
}

TEST_F(RunInWindowTest, AThousandStepRunPassesWithTheDesignValues)
{
    runTest(QStringLiteral("1000"));
    UPDN_Runin& w = window();
    const QStringList lines = w.logText().split("\r\n");
    EXPECT_TRUE(lines.value(2).startsWith("10.0.0 DCP EEPROM Run In Test  User Test ID 03-02-2026 10:00:"));
    EXPECT_EQ(lines.filter("User Test ID   Activity Log : Test Count:[ 500] Fail Count:[ 0] Time Stamp: 10:00:").size(), 1);
    EXPECT_TRUE(lines.value(lines.size() - 3).startsWith("User Test ID   Test Completed : Test Count:[ 1000] Fail Count:[ 0]"));
    EXPECT_EQ(lines.filter("FAIL").size(), 0);
    EXPECT_EQ(w.rtxt1->toPlainText(), QString(w.logText()).replace("\r\n", "\n"));

    // The table and counters as the run left them.
    EXPECT_EQ(w.lblRUnCount[0]->text(), " 1000");
    EXPECT_EQ(w.lblRUnCount[1]->text(), "----");
    EXPECT_EQ(w.lblPosition->text(), " 63");
    EXPECT_EQ(w.txtWiperLoc[0]->text(), " 100");
    EXPECT_EQ(w.txtWiperLoc[1]->text(), " 0");
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(w.Shp_Test_Status[size_t(row)]->fillColor(), row < 2 ? 14 : 10) << row;
    EXPECT_EQ(part->chips[0].wiper, 63);
    EXPECT_EQ(part->chips[0].stored, 63);

    // Back to idle; the start switched tracing on and selected VIN0.
    EXPECT_TRUE(w.cmdRunInitial->isEnabled());
    EXPECT_TRUE(w.cmdAbortRun->isHidden());
    EXPECT_FALSE(w.FrmStaticIO[0]->isHidden());
    EXPECT_TRUE(w.txtTestQty->isEnabled());
    EXPECT_TRUE(g_TraceOn);
    EXPECT_EQ(forms().frmMotherboardDAQ2().Combo1->currentIndex(), 6);
    EXPECT_TRUE(console().chkADCEnable->isChecked());
}

TEST_F(RunInWindowTest, AbortAndCloseStopTheRunAfterItsPass)
{
    UPDN_Runin& w = window();
    bool sawRunning = false;
    svc.onPump = [&](int) {
        if (w.run().moves == 6) {
            sawRunning = !w.cmdAbortRun->isHidden() && !w.cmdRunInitial->isEnabled() && w.FrmStaticIO[0]->isHidden();
            w.cmdAbortRun->click();
        }
    };
    runTest(QStringLiteral("100000"));
    EXPECT_TRUE(sawRunning);
    EXPECT_TRUE(w.logText().endsWith(
        "User Test ID   Test Terminated : Test Count:[ 8] Fail Count:[ 0]  Date / Time Stamp: 03-02-2026 10:00:00\r\n"));
    EXPECT_TRUE(w.cmdAbortRun->isHidden());

    // Closing mid-run asks first: No keeps the window and the run; Yes ends the run with its
    // termination line, then the window goes.
    const QString question = "The run-in log has not been saved. Close the window and lose it?";
    svc.answer(platform::vbNo);
    svc.answer(platform::vbYes);
    bool askedOnce = false, askedTwice = false;
    svc.onPump = [&](int) {
        if (w.run().moves == 13 && !askedOnce) {
            askedOnce = true;
            w.close();
        } else if (w.run().moves == 21 && !askedTwice) {
            askedTwice = true;
            w.close();
        }
    };
    runTest(QStringLiteral("100000"));
    ASSERT_EQ(svc.boxTexts(), (QStringList{question, question}));
    EXPECT_EQ(svc.boxes[0].buttons, platform::vbYesNo);
    EXPECT_FALSE(forms().UPDN_Runin.loaded());
    EXPECT_TRUE(w.logText().endsWith("Test Terminated : Test Count:[ 24] Fail Count:[ 0]  Date / Time Stamp: 03-02-2026 10:00:00\r\n"));
}

// The board unplugged mid-run and plugged back while the link dialog is up: Retry finds it
// again, and the run stops there rather than count every later move as a part failure.
TEST_F(RunInWindowTest, ALinkLostMidRunEndsItWithTheLinkLostLine)
{
    UPDN_Runin& w = window();
    bool unplugged = false;
    svc.onPump = [&](int) {
        if (w.run().moves == 5 && !unplugged) {
            unplugged = true;
            board().unplug();
        }
    };
    svc.onBox = [&](const QString&, int) {
        board().replug();
        board().transcript.clear();
        return int(platform::vbRetry);
    };
    runTest(QStringLiteral("100000"));
    svc.onBox = nullptr;

    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});
    const QStringList lines = w.logText().split("\r\n");
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[lines.size() - 4], " Wiper Position 64 No Reading: write refused   Test#[ 7] NO READING");
    EXPECT_EQ(lines[lines.size() - 3], "Link lost: the board was searched again; the run stops.");
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("User Test ID   Test Terminated : Test Count:[ 5] Fail Count:[ 0]"));
    EXPECT_EQ(w.lblRUnCount[1]->text(), "----");
    EXPECT_EQ(w.Shp_Test_Status[3]->fillColor(), runin::kLampFail);
    EXPECT_EQ(w.lvlWipV[3]->text(), "-.---");
    EXPECT_TRUE(w.cmdRunInitial->isEnabled());
    // The board searched again is asked for no reading of the run.
    EXPECT_TRUE(board().transcript.requests(0x11).empty());
}

TEST_F(RunInWindowTest, ClosingWithAnUnsavedLogAsksAndASavedOneClosesQuietly)
{
    const QString question = "The run-in log has not been saved. Close the window and lose it?";
    runTest(QStringLiteral("4"), QStringLiteral("4"));
    UPDN_Runin* w = &window();
    svc.answer(platform::vbNo);
    w->close();
    EXPECT_TRUE(forms().UPDN_Runin.loaded());
    EXPECT_FALSE(w->logText().isEmpty());

    w->txtFilePath->setText(QDir(dataDir.path()).filePath("saved.txt"));
    w->cmdStartRec[0]->click();
    w->close(); // saved: nothing to lose
    EXPECT_FALSE(forms().UPDN_Runin.loaded());
    EXPECT_EQ(svc.boxTexts(), QStringList{question});

    runTest(QStringLiteral("4"), QStringLiteral("4"));
    w = &window();
    svc.answer(platform::vbYes);
    w->close();
    EXPECT_FALSE(forms().UPDN_Runin.loaded());
    EXPECT_EQ(svc.boxTexts(), (QStringList{question, question}));

    runTest(QStringLiteral("4"), QStringLiteral("4"));
    window().cndTclear->click(); // an empty log has nothing to lose
    window().close();
    EXPECT_FALSE(forms().UPDN_Runin.loaded());
    EXPECT_EQ(svc.boxes.size(), 2u);
}

// However the program ends, a log with unsaved text is first added as a record to the file
// the window names (whatever "Append" says, so an earlier record stays); with no file, or
// one that cannot be written, to a file of its own in the program directory.
TEST_F(RunInWindowTest, AProgramEndSavesTheUnsavedLogAsARecord)
{
    const QString named = QDir(dataDir.path()).filePath("endurance.txt");
    const QString fallback = QDir(dataDir.path()).filePath("runin-log-20260302-100000.txt");
    const auto record = [this](const QString& log) {
        return "Trace File Data Acquisition " + svc.clock.toString("MM-dd-yyyy HH:mm:ss") + "\r\n" + log + "\r\nEND\r\n";
    };

    // A Cancel in a link dialog in the middle of a run, with a file named that holds an
    // earlier record and "Append" clear.
    {
        QFile f(named);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier record\r\n");
    }
    UPDN_Runin& w = window();
    w.txtFilePath->setText(named);
    bool dropped = false;
    svc.onPump = [&](int) {
        if (w.run().moves == 5 && !dropped) {
            dropped = true;
            board().dropNextReplies(100); // the line writes' and then the next conversion's
        }
    };
    QString log;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(ends([&] {
        svc.onBox = [&](const QString&, int) {
            log = w.logText(); // the log as the program ends
            return platform::vbCancel;
        };
        runTest(QStringLiteral("100000"));
    }));
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(log.contains("Beginning Loop"));
    EXPECT_EQ(readFile(named), "earlier record\r\n" + record(log));
    EXPECT_NE(said.find("the unsaved run-in log was appended to " + QDir::toNativeSeparators(named).toStdString()),
              std::string::npos)
        << said;
    EXPECT_FALSE(QFile::exists(fallback));
}

TEST_F(RunInWindowTest, AProgramEndWithNoUsableFileSavesToItsOwnFile)
{
    const QString fallback = QDir(dataDir.path()).filePath("runin-log-20260302-100000.txt");
    const struct {
        const char* name;
        QString path;
        QString reason; // in what stderr says
    } cases[] = {
        {"no file named", QString(), "names no record file"},
        {"a directory named", dataDir.path(), QDir::toNativeSeparators(dataDir.path())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(fallback);
        runTest(QStringLiteral("4"), QStringLiteral("4"));
        UPDN_Runin& w = window();
        w.txtFilePath->setText(c.path);
        const QString log = w.logText();
        testing::internal::CaptureStderr();
        EXPECT_TRUE(ends([] { forms().frmMainF340().close(); })); // closing the console ends the program
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(readFile(fallback),
                  "Trace File Data Acquisition " + svc.clock.toString("MM-dd-yyyy HH:mm:ss") + "\r\n" + log + "\r\nEND\r\n");
        EXPECT_NE(said.find("was appended to " + QDir::toNativeSeparators(fallback).toStdString()), std::string::npos) << said;
        EXPECT_NE(said.find(c.reason.toStdString()), std::string::npos) << said;
        TearDown();
        SetUp();
    }

    // Saved before the end: nothing more is written.
    QFile::remove(fallback);
    runTest(QStringLiteral("4"), QStringLiteral("4"));
    window().txtFilePath->setText(QDir(dataDir.path()).filePath("saved.txt"));
    window().cmdStartRec[0]->click();
    EXPECT_TRUE(ends([] { forms().frmMainF340().close(); }));
    EXPECT_FALSE(QFile::exists(fallback));
}

TEST_F(RunInWindowTest, SettingsThatCannotRunAreRefusedBeforeAnythingIsSent)
{
    UPDN_Runin& w = window();
    w.txtWipPositions->setText("0");
    board().transcript.clear();
    svc.answer(platform::vbOK);
    w.cmdRunInitial->click();
    EXPECT_EQ(svc.boxTexts(), QStringList{"Positions: enter a whole number of wiper positions from 1 to 32767."});
    EXPECT_TRUE(board().transcript.requests().empty());
    EXPECT_EQ(w.lblRUnCount[0]->text(), "-----");
    EXPECT_FALSE(g_TraceOn);
}

TEST_F(RunInWindowTest, RecordFileIsFramedAndReplacedOrAppended)
{
    runTest(QStringLiteral("8"), QStringLiteral("4"));
    UPDN_Runin& w = window();
    const QString path = QDir(dataDir.path()).filePath("runin.txt");
    svc.savePaths.push_back(path);
    w.cmdBrowse->click();
    EXPECT_EQ(w.txtFilePath->text(), path);
    EXPECT_EQ(svc.dialogs.back().title, "Select File For Recording");

    g_CalRunning = true;
    w.cmdStartRec[0]->click();
    EXPECT_FALSE(g_CalRunning); // a running calibration sweep ends at its next check
    const QString once = "Trace File Data Acquisition " + svc.clock.toString("MM-dd-yyyy HH:mm:ss") + "\r\n"
                       + w.logText() + "\r\nEND\r\n";
    EXPECT_EQ(readFile(path), once);

    w.cmdStartRec[0]->click(); // replaced
    EXPECT_EQ(readFile(path), once);
    w.chkAppend->setChecked(true);
    w.cmdStartRec[0]->click();
    EXPECT_EQ(readFile(path), once + once);

    w.cndTclear->click();
    EXPECT_TRUE(w.logText().isEmpty());
    EXPECT_TRUE(w.rtxt1->toPlainText().isEmpty());
}

TEST_F(RunInWindowTest, SampleShowsInTheRowTheLastRunEndedOn)
{
    UPDN_Runin& w = window();
    w.cmdSampleWiper[0]->click(); // converts whatever input is selected: still VCC/2 here
    EXPECT_EQ(w.lblWiperVolts[0]->text(), "3.32258");
    EXPECT_EQ(w.lvlWipV[0]->text(), "3.32258");

    runTest(QStringLiteral("4"), QStringLiteral("4")); // selects VIN0, ends on row 6
    w.txtIncr[0]->setText("10");
    w.cmdIncr[0]->click(); // the hidden "Up" carrier
    w.cmdSampleWiper[0]->click();
    EXPECT_EQ(part->chips[0].wiper, 73);
    EXPECT_EQ(w.lvlWipV[6]->text(), w.lblWiperVolts[0]->text());
    EXPECT_NE(w.lvlWipV[6]->text(), w.lvlWipV[5]->text());
}
