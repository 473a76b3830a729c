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
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

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
        if (!closed && w.txtRdPass->text() == "1") {
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
