// The script window over the simulated board: the bytes on the wire, the grid, the counters,
// the results file and the window's own controls.
#include "script_fixture.h"

#include "bridge/frmMainF340.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/text.h"
#include "platform/files.h"
#include "sim/transcript.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
#include <QGroupBox>
#include <QLabel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

#include <climits>
#include <cmath>
#include <tuple>

using namespace script;

namespace {
QStringList hexRequests(const std::vector<platform::Report>& rs, int n)
{
    QStringList out;
    for (const auto& r : rs)
        out << sim::hexBytes(r, n);
    return out;
}
QString cell(frmScriptOps& w, int row, int col) { return w.vbalGrid1->cellText(row - 1, col); }
} // namespace

TEST_F(ScriptWindowTest, I2CRowsOnTheWireAndInTheGrid)
{
    frmScriptOps& w = open({"# wiper test", "`A51", "00,3F,", "00,,3F  # reads reg 00", "01,,55", "`ENDM"});
    EXPECT_EQ(w.windowTitle(), "[ script.txt ]    Script IC Send / Receive");
    EXPECT_EQ(w.txtTotLines->text(), "6");
    EXPECT_EQ(w.txttotReads->text(), "2");
    EXPECT_EQ(cell(w, 4, kOperation), " Reg:1 R:1");
    EXPECT_EQ(cell(w, 4, kActRd), "--");
    board().transcript.clear();
    w.cmdExecAll->click();
    // The odd address of `A51 reaches the part at write address 50.
    EXPECT_EQ(hexRequests(board().transcript.requests(0x06), 7),
              (QStringList{"01 06 50 01 01 00 3F", "01 06 51 01 01 00 00", "01 06 51 01 01 01 00"}));
    EXPECT_EQ(part->reg(0), 0x3F);
    EXPECT_EQ(cell(w, 4, kActRd), "3F");
    EXPECT_EQ(w.vbalGrid1->cellColour(3, kActRd), QColor(0, 255, 0));
    EXPECT_EQ(cell(w, 5, kActRd), "00");
    EXPECT_EQ(w.vbalGrid1->cellColour(4, kActRd), QColor(255, 0, 0));
    EXPECT_EQ(w.txtRdPass->text(), "1");
    EXPECT_EQ(w.txtRdFails->text(), "1");
    EXPECT_EQ(w.txtRunning->text(), "Done");
    EXPECT_TRUE(w.frmDataRecord->isVisibleTo(&w));
    // The console shows the bytes read from their register on.
    EXPECT_EQ(console().txtReadVal[1]->text(), "00");
    EXPECT_EQ(g_ActiveForm, &w);

    // Without "Random Read/Write" no register byte goes out.
    console().chkRandom->setChecked(false);
    board().transcript.clear();
    w.cmdExecAll->click();
    EXPECT_EQ(hexRequests(board().transcript.requests(0x06), 6),
              (QStringList{"01 06 50 01 00 3F", "01 06 51 01 00 00", "01 06 51 01 00 00"}));
}

TEST_F(ScriptWindowTest, NotAcknowledgedReadShowsNak)
{
    frmScriptOps& w = open({"00,,00", "00,,00"});
    board().nakNextI2C(1);
    svc.answer(platform::vbRetry); // the transfer layer's own dialog
    w.cmdExecAll->click();
    EXPECT_EQ(cell(w, 1, kActRd), "NAK");
    EXPECT_EQ(cell(w, 2, kActRd), "00");
    EXPECT_EQ(w.txtRdFails->text(), "1");
    EXPECT_EQ(w.txtRdPass->text(), "1");
}

TEST_F(ScriptWindowTest, SpiRowsThroughTheConsole)
{
    g_I2CFamily = false;
    g_SPIFamily = true;
    frmScriptOps& w = open({",A1B2,", ",C3D4,B2XX", ",0102,0000"});
    EXPECT_EQ(w.vbalGrid1->headerText(kI2CAdr), "");
    EXPECT_EQ(w.vbalGrid1->columnWidth(kRegAdr), 2);
    board().transcript.clear();
    w.cmdExecAll->click();
    // P2.4 high (the supply potentiometer lets go), then the frame to the device under test.
    EXPECT_TRUE(board().pin(2, 4));
    const auto spi = board().transcript.requests(0x09);
    ASSERT_EQ(spi.size(), 3u);
    EXPECT_EQ(sim::hexBytes(spi[1], 9).mid(9), "01 00 00 02 C3 D4"); // read back, no phase change, 2 bytes
    EXPECT_EQ(cell(w, 2, kActRd), "B2XX");
    EXPECT_EQ(cell(w, 3, kActRd), "D401");
    EXPECT_EQ(w.txtRdPass->text(), "1");
    EXPECT_EQ(w.txtRdFails->text(), "1");

    // A transfer that gets no reply is an ERR, never the bytes of the row before.
    bool dropped = false;
    svc.onPump = [&](int) {
        // The row has emptied the console's read fields: its transfer is next.
        if (!dropped && console().txtReadVal[0]->text().isEmpty()) {
            dropped = true;
            board().dropNextReplies(1);
        }
    };
    svc.answerAll(platform::vbRetry, 5);
    board().transcript.clear();
    w.ExecuteScriptRow(1, 1); // not the grid's current row: nothing
    EXPECT_TRUE(board().transcript.requests(0x09).empty());
    w.executor().gridCurrentRow = 2;
    w.ExecuteScriptRow(2, 1);
    EXPECT_TRUE(dropped);
    EXPECT_EQ(cell(w, 2, kActRd), "ERR");
}

TEST_F(ScriptWindowTest, GpioRowComparesTheBoardsPortsAndWritesNone)
{
    console();
    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    (void)mb;
    const QString p0 = Hex2(board().portPins(0)), p1 = Hex2(board().portPins(1)), p2 = Hex2(board().portPins(2));
    frmScriptOps& w = open({"`G" + p0 + p1 + p2, "`G" + p0 + p1 + Hex2(board().portPins(2) ^ 0x01)});
    board().transcript.clear();
    w.cmdExecAll->click();
    for (const auto& r : board().transcript.requests(0x12))
        EXPECT_EQ(r[2], 1) << "SFR reads only";
    EXPECT_EQ(cell(w, 1, kActRd), p0 + p1 + p2);
    EXPECT_EQ(w.vbalGrid1->cellColour(0, kActRd), QColor(0, 255, 0));
    EXPECT_EQ(cell(w, 2, kActRd), p0 + p1 + p2);
    EXPECT_EQ(w.txtRdFails->text(), "1");
    EXPECT_EQ(w.txtLastRead->text(), p0 + p1 + p2);
    EXPECT_EQ(w.txtIDefault->text(), p0 + p1 + Hex2(board().portPins(2) ^ 0x01));
    EXPECT_EQ(g_PortShadow[2], board().portPins(2) ^ 0x01);
}

TEST_F(ScriptWindowTest, ResultsFileMergedStampedAndSavedByTheScript)
{
    svc.clock = QDateTime(QDate(2026, 5, 6), QTime(7, 8, 9));
    frmScriptOps& w = open({"# t", "00,3F,", "00,,  11  # expect", "01,,", "`S", "`ENDM", "02,,77"});
    w.cmdExecAll->click();
    const QString saved = dataDir.filePath("script_DL.txt");
    EXPECT_EQ(fileText(saved), "# t# AutoUpdated: 05-06-2026 07:08:09 Looping: 0\r\n00,3F,\r\n00,,  3F  # expect\r\n"
                               "01,,\r\n`S\r\n`ENDM\r\n02,,--\r\n");
    EXPECT_TRUE(w.chkAppend->isChecked());
    EXPECT_EQ(w.Label18->text(), " 7 Script written: 05-06-2026 07:08:09");

    // Written again by hand: one stamp, the file replaced.
    w.chkAppend->setChecked(false);
    svc.clock = svc.clock.addSecs(60);
    w.cmdStartRec[0]->click();
    EXPECT_TRUE(fileText(saved).startsWith("# t# AutoUpdated: 05-06-2026 07:09:09 Looping: 0\r\n00,3F"));
    EXPECT_EQ(fileText(saved).count("AutoUpdated"), 1);

    // A file that cannot be written: the message, the status line as it was.
    w.txtFilePath->setText(dataDir.filePath("no/such/dir.txt"));
    svc.answer(platform::vbOK);
    w.cmdStartRec[0]->click();
    EXPECT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(w.Label18->text(), " 7 Script written: 05-06-2026 07:09:09");

    svc.savePaths.push_back(dataDir.filePath("chosen.txt"));
    w.cmdBrowse->click();
    EXPECT_EQ(w.txtFilePath->text(), dataDir.filePath("chosen.txt"));
    EXPECT_EQ(svc.dialogs.back().title, "Select File For Update");
}

// A file that is refused leaves everything with the script before it: the rows, the kept
// lines, the captions, the path that Reload reads and Browse proposes, and the results frame,
// so that "Write to Disk" writes the previous script whole.
TEST_F(ScriptWindowTest, RefusedFileLeavesThePreviousScript)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 37 + 11) & 0xFF);
    // Refused before any script: the window stays as its set-up left it.
    console();
    {
        frmScriptOps& fresh = forms().frmScriptOps();
        QFile f(dataDir.filePath("first.bin"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(binary);
        f.close();
        svc.openPaths.push_back(f.fileName());
        svc.answer(platform::vbOK);
        fresh.mnuScript_Read_Click();
        EXPECT_EQ(fresh.windowTitle(), "No Script File Selected");
        EXPECT_EQ(fresh.vbalGrid1->rowCount(), 24);
        EXPECT_FALSE(fresh.frmScriptExec->isVisibleTo(&fresh));
        EXPECT_FALSE(fresh.scriptChosen());
    }

    const QStringList old = {"# old", "00,3F,", "00,,3F"};
    frmScriptOps& w = open(old);
    w.cmdExecAll->click();
    const QString oldPath = w.scriptPath();
    const QString caption = w.windowTitle();
    ASSERT_EQ(caption, "[ script.txt ]    Script IC Send / Receive");

    QByteArray lines, fields = "00,11,\r\n1,2,3,4,5,6,7,8,9,10,11,12\r\n";
    for (int i = 0; i < 1001; ++i)
        lines += "00,,\r\n";
    struct Refused {
        const char* name;
        QByteArray bytes;
        const char* says;
    };
    const Refused cases[] = {
        {"binary.txt", binary, "is not a text file"},
        {"nul.txt", QByteArray("00,11,\r\n00,\0,22\r\n", 17), "is not a text file"},
        {"big.txt", QByteArray(platform::kMaxInputFileBytes + 1, ' '), "is larger than 1 MiB"},
        {"lines.txt", lines, "line 1001 exceeds 1000 lines"},
        {"fields.txt", fields, "line 2 exceeds 11 fields"},
        {"delay.txt", "00,11,\r\n`w40000\r\n", "line 2 exceeds the delay range of -32768 to 32767 ms"},
        {"negative.txt", "`w-40000\r\n", "line 1 exceeds the delay range"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dataDir.filePath(c.name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        svc.openPaths.push_back(path);
        w.mnuScript_Read_Click();
        ASSERT_EQ(svc.boxes.size(), 1u);
        const QString box = svc.boxes[0].text;
        EXPECT_TRUE(box.startsWith("Script Load Error: ")) << box.toStdString();
        EXPECT_TRUE(box.contains(c.says)) << box.toStdString();
        EXPECT_TRUE(box.contains(QDir::toNativeSeparators(path))) << box.toStdString();
        EXPECT_EQ(w.vbalGrid1->rowCount(), 3);
        EXPECT_EQ(cell(w, 2, kDataWr), "3F");
        EXPECT_EQ(cell(w, 3, kActRd), "3F");
        EXPECT_EQ(w.executor().lines(), old);
        EXPECT_EQ(w.windowTitle(), caption);
        EXPECT_EQ(w.scriptPath(), oldPath);
        EXPECT_TRUE(w.scriptChosen());
        EXPECT_EQ(w.txtTotLines->text(), "3");
        EXPECT_EQ(w.txtRunning->text(), "Done");
        EXPECT_TRUE(w.frmDataRecord->isVisibleTo(&w));
        EXPECT_TRUE(w.cmdReload2->isEnabled() && w.cmdExecAll->isEnabled() && w.cmdRunContinuous->isEnabled());
    }

    // "Write to Disk" writes the previous script, whole; Browse proposes its path.
    const QString results = dataDir.filePath("results.txt");
    w.txtFilePath->setText(results);
    w.chkAppend->setChecked(false);
    w.cmdStartRec[0]->click();
    EXPECT_EQ(fileText(results).split("\r\n").mid(1, 2), (QStringList{"00,3F,", "00,,3F"}));
    w.cmdBrowse->click();
    EXPECT_EQ(svc.dialogs.back().fileName, oldPath);
    EXPECT_EQ(w.txtFilePath->text(), results);

    // Reload reads the previous script's file.
    writeScript({"00,11,", "`w400", "00,,11", "00,,"});
    w.cmdReload2->click();
    EXPECT_EQ(w.vbalGrid1->rowCount(), 4);
    // A file that has gone, or has turned into something else: the message, the rows as they were.
    for (bool gone : {true, false}) {
        if (gone) {
            QFile::remove(w.scriptPath());
        } else {
            QFile f(w.scriptPath());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(binary);
        }
        svc.answer(platform::vbOK);
        w.cmdReload2->click();
        EXPECT_TRUE(svc.boxTexts().last().startsWith("Script Load Error: "));
        EXPECT_EQ(w.vbalGrid1->rowCount(), 4);
        EXPECT_EQ(w.scriptPath(), oldPath);
        EXPECT_TRUE(w.cmdReload2->isEnabled());
    }
}

// A row too long for one report loads with the others; on the board it fails alone, with its
// box, a red I2C Adr and nothing on the wire, and the rows after it run.
TEST_F(ScriptWindowTest, RowBeyondOneReportFailsOnTheBoardAndTheRunGoesOn)
{
    const QString longest = "00," + QString(100000, '1') + ",";
    frmScriptOps& w = open({"00,3F,", longest, "01," + QString(118, '2') + ",", "00,,3F"});
    ASSERT_EQ(w.vbalGrid1->rowCount(), 4);
    EXPECT_EQ(cell(w, 2, kOperation), " Reg:1 W:50000");
    board().transcript.clear();
    svc.answerAll(platform::vbOK, 2);
    w.cmdExecAll->click();
    EXPECT_EQ(svc.boxTexts(),
              (QStringList{"Row 2 has 50001 register and data bytes to write; one I2C write carries at most 59. Nothing was sent.",
                           "Row 3 has 60 register and data bytes to write; one I2C write carries at most 59. Nothing was sent."}));
    for (int r : {2, 3})
        EXPECT_EQ(w.vbalGrid1->cellColour(r - 1, kI2CAdr), QColor(255, 0, 0)) << r;
    for (int r : {1, 4})
        EXPECT_EQ(w.vbalGrid1->cellColour(r - 1, kI2CAdr), QColor(0, 255, 0)) << r;
    EXPECT_EQ(hexRequests(board().transcript.requests(0x06), 7),
              (QStringList{"01 06 50 01 01 00 3F", "01 06 51 01 01 00 00"}));
    EXPECT_EQ(cell(w, 4, kActRd), "3F");
    EXPECT_EQ(w.txtRdPass->text(), "1");
    EXPECT_EQ(w.txtRunning->text(), "Done");

    // Written back whole, the long line included.
    const QString results = dataDir.filePath("results.txt");
    w.txtFilePath->setText(results);
    w.cmdStartRec[0]->click();
    EXPECT_EQ(fileText(results).split("\r\n").value(1), longest);
    EXPECT_EQ(fileText(results).count("\r\n"), 4);
}

TEST_F(ScriptWindowTest, AddressEntryReloadsWithTheNewDefault)
{
    frmScriptOps& w = open({"00,11,"});
    EXPECT_EQ(w.txtI2CAdr->text(), "50");
    EXPECT_EQ(cell(w, 1, kI2CAdr), "50");
    w.txtI2CAdr->setText("fe");
    w.txtI2CAdr_KeyPress(13);
    EXPECT_EQ(g_WriteAddress, 0xFE);
    EXPECT_EQ(w.txtI2CAdr->text(), "FE");
    EXPECT_EQ(cell(w, 1, kI2CAdr), "FE");
    for (const char* bad : {"FF", "100", "FFFF"}) {
        w.txtI2CAdr->setText(bad);
        w.txtI2CAdr_KeyPress(13);
        EXPECT_EQ(w.txtI2CAdr->text(), "60") << bad;
        EXPECT_EQ(g_WriteAddress, 0xFE);
    }
    // During a run the entry is refused and Reload cannot be pressed.
    svc.onPump = [&](int) {
        if (w.executor().running() && w.txtI2CAdr->text() == "60") {
            EXPECT_FALSE(w.cmdReload2->isEnabled());
            w.txtI2CAdr->setText("52");
            w.txtI2CAdr_KeyPress(13);
        }
    };
    svc.answer(platform::vbRetry); // nobody answers at FE
    w.cmdExecAll->click();
    svc.onPump = nullptr;
    EXPECT_EQ(g_WriteAddress, 0xFE);
    EXPECT_EQ(w.txtI2CAdr->text(), "52");
    EXPECT_TRUE(w.cmdReload2->isEnabled());
}

TEST_F(ScriptWindowTest, SetUpStateAndCancelledDialog)
{
    console();
    frmScriptOps& w = forms().frmScriptOps();
    EXPECT_EQ(w.windowTitle(), "No Script File Selected");
    EXPECT_FALSE(w.frmScriptExec->isVisibleTo(&w));
    EXPECT_EQ(w.vbalGrid1->rowCount(), 24);
    EXPECT_EQ(w.vbalGrid1->headerText(kI2CAdr), "I2C Adr");
    EXPECT_EQ(w.vbalGrid1->headerText(kComment), "Comment");
    w.mnuScript_Read_Click(); // no path scripted: cancelled
    EXPECT_FALSE(w.scriptChosen());
    EXPECT_EQ(svc.dialogs.back().title, "Select Script File to Open");
    EXPECT_EQ(svc.dialogs.back().filter, "Dravonix Script Files |*.txt|All Files|*.*");
    // Headers stay those of the first set-up while the window is loaded.
    g_SPIFamily = true;
    w.mnuScript_Read_Click();
    EXPECT_EQ(w.vbalGrid1->headerText(kI2CAdr), "I2C Adr");
}

TEST_F(ScriptWindowTest, ClosingDuringARunStopsItThenUnloads)
{
    frmScriptOps& w = open({"00,,00", "00,,00", "00,,00"});
    bool closed = false;
    svc.onPump = [&](int) {
        // The fields follow a run once per frame: the count itself says the first row is done.
        if (!closed && w.executor().passes == 1) {
            closed = true;
            w.close();
        }
    };
    w.cmdExecAll_Click();
    svc.onPump = nullptr;
    EXPECT_FALSE(forms().frmScriptOps.loaded());
    EXPECT_EQ(board().transcript.requests(0x06).size(), 1u) << "the run stopped after its first row";
    // Shown again: a new set-up, with no script.
    EXPECT_EQ(forms().frmScriptOps().windowTitle(), "No Script File Selected");
}

// The close box pressed while rows run outside a full run (the service section the Sample
// button starts, a row the user activated): the rows stop, and the window closes once its own
// handler has returned, never from under it.
TEST_F(ScriptWindowTest, ClosingWhileRowsRunOutsideARunWaitsForThem)
{
    for (bool section : {true, false}) {
        SCOPED_TRACE(section ? "the Sample button's section" : "an activated row");
        frmScriptOps& w = open({"00,11,", "`w500", "`ENDM", "`EISTART", "00,22,", "`w500", "00,33,", "`EIEND"});
        forms().frmScriptOps.show();
        QApplication::processEvents();
        board().transcript.clear();
        bool closed = false;
        svc.onPump = [&](int) {
            // As the window system delivers the close box: an event handled at a pump.
            if (!closed && w.executor().currentRow == (section ? 6 : 2)) {
                closed = true;
                QCoreApplication::postEvent(&w, new QCloseEvent);
            }
            QApplication::processEvents();
        };
        if (section) {
            w.executor().txtIDefault = "03"; // the ports show 02: an interrupt
            w.cmdISample->click();
        } else {
            w.vbalGrid1->setCurrentRow(1);
            w.vbalGrid1_CellActivated(2, 1);
        }
        svc.onPump = nullptr;
        EXPECT_TRUE(closed);
        EXPECT_FALSE(forms().frmScriptOps.loaded());
        if (section) {
            EXPECT_EQ(board().transcript.requests(0x06).size(), 1u) << "the section stopped after its row in hand";
        }
        QApplication::processEvents();
    }
}

// Reload, Open and the address field's Enter wait while rows run outside a full run as they do
// during one: the rows in hand stay those of the script they came from.
TEST_F(ScriptWindowTest, NoLoadWhileAnActivatedRowRuns)
{
    frmScriptOps& w = open({"00,11,", "`w", "00,22,"});
    const QString path = w.scriptPath();
    const QString shorter = writeScript({"00,11,"}, "shorter.txt");
    svc.onBox = [&](const QString&, int) {
        writeScript({"00,33,"}); // the file Reload reads, now one row
        return platform::vbOK;
    };
    const std::function<void()> loads[] = {
        [&] { w.cmdReload2->click(); },
        [&] {
            svc.openPaths.push_back(shorter);
            w.mnuScript_Read_Click();
        },
        [&] {
            w.txtI2CAdr->setText("52");
            w.txtI2CAdr_KeyPress(13);
        },
    };
    for (const auto& load : loads) {
        bool tried = false;
        svc.onPump = [&](int) {
            if (!tried && w.executor().currentRow == 2 && w.executor().row(2).text(kActRd) == "Delay Keypress" &&
                svc.boxes.size() > 0) {
                tried = true;
                load();
            }
        };
        svc.boxes.clear();
        w.vbalGrid1->setCurrentRow(1);
        w.vbalGrid1_CellActivated(2, 1);
        svc.onPump = nullptr;
        EXPECT_TRUE(tried);
        EXPECT_EQ(w.vbalGrid1->rowCount(), 3);
        EXPECT_EQ(w.vbalGrid1->cellColour(1, kI2CAdr), QColor(0, 255, 0)) << "the pause row finished";
        EXPECT_EQ(w.scriptPath(), path);
        writeScript({"00,11,", "`w", "00,22,"});
    }
    // Between rows, Reload loads as before.
    writeScript({"00,33,"});
    w.cmdReload2->click();
    EXPECT_EQ(w.vbalGrid1->rowCount(), 1);
}

// The buttons a user may press while a run goes on stay where they were when it started: the
// run buttons that give way to "Abort" keep their room.
TEST_F(ScriptWindowTest, ControlsKeepTheirPlaceWhileARunGoesOn)
{
    frmScriptOps& w = open({"00,3F,", "00,,3F"});
    forms().frmScriptOps.show();
    QApplication::processEvents();
    QWidget* pressed[] = {w.cmdISample, w.chkISample, w.chkAOF, w.cmdReload2};
    std::vector<QPoint> before;
    for (QWidget* b : pressed)
        before.push_back(b->mapTo(&w, QPoint()));
    bool checked = false;
    svc.onPump = [&](int) {
        QApplication::processEvents();
        if (checked || !w.cmdAbort->isVisible())
            return;
        checked = true;
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(pressed[i]->mapTo(&w, QPoint()), before[i]) << pressed[i]->objectName().toStdString() << i;
    };
    w.cmdExecAll->click();
    svc.onPump = nullptr;
    EXPECT_TRUE(checked);
    w.close();
}

// The results frame that a run brings in takes room in the row of frames above the grid: the
// window makes room for it rather than squeezing every frame of that row below its own
// minimum (buttons, heads and fields cut off).
TEST_F(ScriptWindowTest, AfterARunTheFramesAboveTheGridKeepTheirRoom)
{
    frmScriptOps& w = open({"00,3F,", "00,,3F", "`ENDM"});
    w.show();
    w.cmdExecAll->click();
    QApplication::processEvents();
    ASSERT_TRUE(w.frmDataRecord->isVisible());
    for (QGroupBox* f : {w.frmScriptExec, w.frameInterrupt, w.frameIsteps, w.frmDataRecord}) {
        SCOPED_TRACE(f->title().toStdString());
        EXPECT_GE(f->width(), f->minimumSizeHint().width());
    }
    // The grid below spans the wider window.
    EXPECT_GE(w.vbalGrid1->width(), w.centralWidget()->width() - 30);
    w.close();
}

// The position field says which row ran last: empty for a script just opened, however far the
// run before it went; a Reload keeps it.
TEST_F(ScriptWindowTest, PositionFieldIsEmptyAfterAnOpenAndKeptByAReload)
{
    frmScriptOps& w = open({"00,3F,", "00,,3F"});
    EXPECT_EQ(w.txtRunning->text(), "");
    w.cmdExecAll->click();
    EXPECT_EQ(w.txtRunning->text(), "Done");
    w.cmdReload2->click();
    EXPECT_EQ(w.txtRunning->text(), "Done");
    const QString other = writeScript({"00,3F,", "00,,3F", "00,,3F"}, "other.txt");
    svc.openPaths.push_back(other);
    w.mnuScript_Read_Click();
    EXPECT_EQ(w.txtRunning->text(), "");
    EXPECT_EQ(w.txtTotLines->text(), "3");
    // The dialog opened first in the example scripts (run from the build tree), then where the
    // last script was chosen.
    ASSERT_EQ(svc.dialogs.size(), 2u);
    EXPECT_EQ(svc.dialogs[0].directory, DCPEVAL_SOURCE_DIR "/examples/scripts");
    EXPECT_EQ(svc.dialogs[1].directory, QFileInfo(other).absolutePath());
}

namespace {
// What the grid looked like at its last paint: its current row and the cells of every row.
struct PaintedGrid : QObject {
    explicit PaintedGrid(ScriptGrid* g) : grid(g) { g->viewport()->installEventFilter(this); }
    ScriptGrid* grid;
    int paints = 0, currentRow = -1;
    std::vector<std::array<std::pair<QString, QColor>, kCellCount>> rows;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            ++paints;
            currentRow = grid->currentRow();
            rows.assign(static_cast<size_t>(grid->rowCount()), {});
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < kCellCount; ++c)
                    rows[static_cast<size_t>(r)][static_cast<size_t>(c)] = {grid->cellText(r, c), grid->cellColour(r, c)};
        }
        return false;
    }
};

// The window shown, and events running at every pump as on the desktop.
void runEvents(TestServices& svc) { svc.onPump = [](int) { QApplication::processEvents(); }; }
} // namespace

// Under every box of a run the grid is painted as the run stands: the row in hand current
// and its cells as they are (the row's red I2C Adr, the pause row's "Delay Keypress").
TEST_F(ScriptWindowTest, EveryBoxOfARunSitsOverTheGridAsItStands)
{
    frmScriptOps& w = open({"00,3F,", "`w", "00,,3F", "`AFF", "00,11,", "`A50", "00," + QString(118, '1') + ",",
                            "00,,3F", "00,,3F"});
    forms().frmScriptOps.show();
    QApplication::processEvents();
    runEvents(svc);
    PaintedGrid painted(w.vbalGrid1);
    const ScriptRow blank;
    struct Seen {
        int row;
        QString box;
    };
    std::vector<Seen> seen;
    svc.onBox = [&](const QString& text, int) {
        const Executor& e = w.executor();
        const int r = e.currentRow;
        seen.push_back({r, text});
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(painted.currentRow, r - 1) << "the row in hand is shown current";
        if (painted.currentRow == r - 1 && r >= 1 && static_cast<size_t>(r) <= painted.rows.size())
            for (int c = 0; c < kCellCount; ++c) {
                const auto& cell = painted.rows[static_cast<size_t>(r - 1)][static_cast<size_t>(c)];
                EXPECT_EQ(cell.first, e.row(r).cell[static_cast<size_t>(c)]) << "column " << c;
                EXPECT_EQ(cell.second, w.vbalGrid1->cellColour(r - 1, c)) << "column " << c;
            }
        if (text.startsWith("Script Pause"))
            board().nakNextI2C(1); // the read of the next row
        if (text.startsWith("Row 7"))
            board().dropNextReplies(1); // the read of the next row: the link dialog
        return text.startsWith("Invalid I2C") || text.contains("ReadFile") ? platform::vbRetry : platform::vbOK;
    };
    w.cmdExecAll->click();
    svc.onBox = nullptr;
    svc.onPump = nullptr;
    ASSERT_EQ(seen.size(), 6u);
    const int rows[] = {2, 3, 5, 7, 8, 8};
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].row, rows[i]) << seen[i].box.toStdString();
    EXPECT_EQ(seen.back().box, linkLostText(8));
    EXPECT_EQ(w.txtRunning->text(), "Done");
    w.close();
}

// Rows that take less than a frame are painted once a frame, not once a row (the board
// answers 1 ms late, as over full-speed USB); "Abort" still stops a run between two rows.
TEST_F(ScriptWindowTest, ARunRepaintsOncePerFrameAndAbortStillStopsIt)
{
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QString("00,%1,").arg(i % 64, 2, 16, QChar('0')).toUpper()
              << QString("00,,%1").arg(i % 64, 2, 16, QChar('0')).toUpper();
    frmScriptOps& w = open(lines);
    forms().frmScriptOps.show();
    QApplication::processEvents();
    board().delayNextReplies(INT_MAX, 1);
    PaintedGrid painted(w.vbalGrid1);
    int paintsBeforeEnd = 0;
    svc.onPump = [&](int) {
        QApplication::processEvents();
        if (w.executor().currentRow < 200)
            paintsBeforeEnd = painted.paints;
    };
    const std::int64_t start = svc.monoMs;
    w.cmdExecAll->click();
    const std::int64_t frames = (svc.monoMs - start) / 16;
    ASSERT_GE(frames, 10) << "each row takes a couple of ms";
    EXPECT_EQ(w.txtRdPass->text(), "100");
    EXPECT_LE(painted.paints, frames + 3);
    EXPECT_GE(paintsBeforeEnd, frames / 2) << "the run is shown while it goes on";

    // "Abort", pressed as a user does, in the middle of a run and of a loop.
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "Loop Cont" : "Run All Steps");
        board().transcript.clear();
        bool pressed = false;
        svc.onPump = [&](int) {
            QApplication::processEvents();
            const Executor& e = w.executor();
            if (!pressed && e.currentRow == 51 && (!loop || e.loopCount == 1)) {
                pressed = true;
                EXPECT_TRUE(w.cmdAbort->isVisible());
                w.cmdAbort->click();
            }
        };
        if (loop)
            w.cmdRunContinuous->click();
        else
            w.cmdExecAll->click();
        EXPECT_TRUE(pressed);
        EXPECT_EQ(board().transcript.requests(0x06).size(), loop ? 251u : 51u) << "stopped after the row in hand";
        EXPECT_EQ(w.txtRunning->text(), "Done");
        EXPECT_EQ(w.txtLoopCount->text(), loop ? "2" : "0");
        EXPECT_FALSE(w.cmdAbort->isVisible());
    }
    svc.onPump = nullptr;
    w.close();
}

// A link dialog answered Retry during a run: the transfer goes out once more, quietly (its NAK
// shows no box), nothing more of the run is sent, and the run ends at once with its message.
TEST_F(ScriptWindowTest, ALinkLostDuringARunEndsIt)
{
    frmScriptOps& w = open({"00,3F,", "00,,3F", "00,20,", "00,,20"});
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "Loop Cont" : "Run All Steps");
        board().transcript.clear();
        svc.boxes.clear();
        board().dropNextReplies(1); // row 1's write
        svc.onBox = [&](const QString& text, int) {
            if (text.contains("ReadFile")) {
                board().nakNextI2C(1); // the transfer sent again after the search
                return platform::vbRetry;
            }
            return platform::vbOK;
        };
        if (loop)
            w.cmdRunContinuous->click();
        else
            w.cmdExecAll->click();
        svc.onBox = nullptr;
        EXPECT_EQ(svc.boxTexts(), (QStringList{"Please check USB connection.ReadFile error.", linkLostText(1)}));
        EXPECT_EQ(board().transcript.requests(0x06).size(), 2u) << "the write and its one resend";
        EXPECT_EQ(w.txtRunning->text(), "Done");
        EXPECT_EQ(w.txtLoopCount->text(), loop ? "1" : "0");
        EXPECT_TRUE(w.cmdExecAll->isVisibleTo(&w) && w.cmdRunContinuous->isVisibleTo(&w));
    }
    // The next run goes on as usual.
    w.cmdExecAll->click();
    EXPECT_EQ(w.txtRdPass->text(), "2");
}

// A grid unit is an eighth of a hex digit: a column of 8 x w units holds w digits. Operation
// widens to its longest text; a cell that is still cut (a field beyond the widest data column,
// a long comment) shows its whole text as its tool tip.
TEST_F(ScriptWindowTest, ColumnsHoldTheirTextsAndACutCellShowsItWhole)
{
    struct Case {
        bool spi;
        QStringList lines;
    };
    const QString tooLong(40, 'D'); // the widest data column holds 26 digits
    const QString comment = "# a comment that goes on and on, far beyond what the grid leaves it";
    const Case cases[] = {
        {false, {"`A50", "00,0123456789AB,", "00,,0123456789ABCDEF0123  " + comment, "00," + tooLong + ",", "`w100",
                 "`w", "`SPI", "`G0F0F00112233"}},
        {true, {",01,", ",,33", "01,02,"}},
    };
    console();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spi ? "SPI" : "I2C");
        g_I2CFamily = !c.spi;
        g_SPIFamily = c.spi;
        forms().frmScriptOps.unload();
        QApplication::processEvents();
        frmScriptOps& w = open(c.lines);
        forms().frmScriptOps.show();
        QApplication::processEvents();
        ScriptGrid& g = *w.vbalGrid1;
        const QFontMetricsF plain(g.font());
        QFont boldFont = g.font();
        boldFont.setBold(true);
        const QFontMetricsF bold(boldFont);
        const int margins = 2 * (g.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &g) + 1) + 1;
        for (int r = 0; r < g.rowCount(); ++r)
            for (int col = 0; col < kComment; ++col) {
                if (c.spi && col == kRegAdr)
                    continue; // the SPI family's sliver
                const QString text = g.cellText(r, col);
                const QFontMetricsF& fm = cellFormat(col) == 1 ? bold : plain;
                const bool fits = std::ceil(fm.horizontalAdvance(text)) + margins <= g.columnWidth(col);
                if (text == tooLong) {
                    EXPECT_FALSE(fits);
                    EXPECT_EQ(g.cutText(r, col), text);
                } else {
                    EXPECT_TRUE(fits) << "row " << r + 1 << " column " << col << ": " << text.toStdString();
                    EXPECT_EQ(g.cutText(r, col), "");
                }
            }
        if (!c.spi) {
            // The tool tip, as the grid shows it under the mouse.
            for (const auto& [row, col, whole] : {std::tuple{3, int(kDataWr), tooLong}, std::tuple{2, int(kComment), comment}}) {
                const QRect at = g.visualRect(g.model()->index(row, col));
                QHelpEvent help(QEvent::ToolTip, at.center(), g.viewport()->mapToGlobal(at.center()));
                QApplication::sendEvent(g.viewport(), &help);
                EXPECT_EQ(QToolTip::text(), whole);
                QToolTip::hideText();
            }
        }
        w.close();
        QApplication::processEvents();
    }
}
