// The executor over a small bus stand-in: dispatch, compare, counters, abort, loop,
// interrupt sampling and its service section.
#include "scripts/script_run.h"

#include "shell/globals.h"
#include "support/test_services.h"

#include <gtest/gtest.h>

#include <functional>

using namespace script;

namespace {

// A register-bank part on I2C (one pointer byte), a shift register on SPI, six port bytes.
// Writing register 0xEE raises port P0 bit 0 (an interrupt line); 0xEF lowers it.
struct FakeBus : Bus {
    std::array<std::uint8_t, 256> reg{};
    std::vector<QString> log;
    std::vector<int> touched; // first register byte of every transfer, in order
    bool nakReads = false, nakWrites = false, spiFails = false, portsFail = false;
    std::array<std::uint8_t, 6> ports{};
    std::uint8_t held = 0xFF;
    int portReads = 0;
    // The link is lost (a link dialog answered Retry) during bus operation number loseLinkAt.
    int ops = 0, loseLinkAt = 0, retries = 0;
    void op()
    {
        if (++ops == loseLinkAt)
            ++retries;
    }
    int linkRetries() override { return retries; }

    static QString hex(std::span<const std::uint8_t> b)
    {
        QString s;
        for (auto x : b)
            s += QString::asprintf("%02X", x);
        return s;
    }
    bool i2cWrite(std::uint8_t a, std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data) override
    {
        log.push_back(QString("W %1 %2|%3").arg(a, 2, 16, QChar('0')).arg(hex(regs), hex(data)));
        op();
        if (nakWrites)
            return false;
        std::uint8_t p = regs.empty() ? 0 : regs[0];
        touched.push_back(p);
        if (p == 0xEE)
            ports[0] |= 1;
        if (p == 0xEF)
            ports[0] &= 0xFE;
        for (auto d : data)
            reg[p++] = d;
        return true;
    }
    bool i2cRead(std::uint8_t a, std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) override
    {
        log.push_back(QString("R %1 %2 %3").arg(a, 2, 16, QChar('0')).arg(hex(regs)).arg(out.size()));
        op();
        if (nakReads)
            return false;
        std::uint8_t p = regs.empty() ? 0 : regs[0];
        touched.push_back(p);
        for (auto& o : out)
            o = reg[p++];
        return true;
    }
    std::optional<std::vector<std::uint8_t>> spiTransfer(std::span<const std::uint8_t> bytes) override
    {
        log.push_back("S " + hex(bytes));
        op();
        if (spiFails)
            return std::nullopt;
        std::vector<std::uint8_t> in;
        for (auto b : bytes) {
            in.push_back(held);
            held = b;
        }
        return in;
    }
    std::optional<std::array<std::uint8_t, 6>> readPorts() override
    {
        ++portReads;
        op();
        if (portsFail)
            return std::nullopt;
        return ports;
    }
};

struct RecordingHost : Host {
    int saves = 0, starts = 0;
    std::function<void(int)> onRow;
    std::function<void()> onShow;
    void autoSave() override { ++saves; }
    void runStarting() override { ++starts; }
    void showNow() override
    {
        if (onShow)
            onShow();
    }
};

class ScriptRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSharedState();
        platform::setServices(&svc);
        g_I2CFamily = true;
    }
    void TearDown() override
    {
        platform::setServices(nullptr);
        resetSharedState();
    }
    void load(const QStringList& lines)
    {
        ex.setScript(loadScript(lines, Family{g_I2CFamily, g_SPIFamily}, 0x50));
    }
    QString act(int r) { return ex.row(r).text(kActRd); }
    std::uint32_t actColour(int r) { return ex.row(r).bg(kActRd); }

    TestServices svc;
    FakeBus bus;
    RecordingHost host;
    Executor ex{bus, host};
};

} // namespace

TEST_F(ScriptRun, RunAllWritesReadsAndComparesUpToEndMain)
{
    load({"# header", "10,3F,", "10,,3F", "10,,40", "11,12,12", "`ENDM", "10,,00"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(bus.log, (std::vector<QString>{"W 50 10|3F", "R 50 10 1", "R 50 10 1", "W 50 11|12", "R 50 11 1"}));
    EXPECT_EQ(act(3), "3F");
    EXPECT_EQ(actColour(3), kGreen);
    EXPECT_EQ(act(4), "3F");
    EXPECT_EQ(actColour(4), kRed);
    EXPECT_EQ(act(5), "12"); // written first, then read back from the same register
    EXPECT_EQ(act(7), "--"); // after the end of main: not run
    EXPECT_EQ(ex.passes, 2);
    EXPECT_EQ(ex.fails, 1);
    EXPECT_EQ(ex.txtTotLines, "6");
    EXPECT_EQ(ex.txtRunning, "Done");
    EXPECT_TRUE(ex.dataRecordShown && ex.runAllShown && ex.loopShown);
    EXPECT_FALSE(ex.abortShown || ex.running());
    EXPECT_EQ(host.starts, 1);
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(ex.row(r).bg(kI2CAdr), kGreen) << r;
    EXPECT_EQ(ex.row(7).bg(kI2CAdr), kNoColour);
}

TEST_F(ScriptRun, NotAcknowledgedReadIsAFailNeverAStaleCompare)
{
    load({"10,,00", "10,,00"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(ex.passes, 2);
    bus.nakReads = true;
    bus.nakWrites = true;
    load({"10,,00", "10,55,"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(act(1), "NAK");
    EXPECT_EQ(actColour(1), kRed);
    EXPECT_EQ(ex.row(2).bg(kDataWr), kRed);
    EXPECT_EQ(ex.passes, 0);
    EXPECT_EQ(ex.fails, 1);
}

TEST_F(ScriptRun, AddressesOddIllegalAndSetByCommand)
{
    svc.answer(platform::vbOK);
    load({"`A51", "10,01,", "`A62", "10,02,", "`AFF", "10,03,"});
    ex.cmdExecAll_Click();
    // An odd address is the read address of the even one below it.
    EXPECT_EQ(bus.log, (std::vector<QString>{"W 50 10|01", "W 62 10|02"}));
    EXPECT_EQ(svc.boxTexts(), QStringList{"Illegal I2C address Script Row  6 Value = FF"});
    EXPECT_EQ(ex.row(1).bg(kActRd), kWhite);
}

TEST_F(ScriptRun, AbortOnFailStopsAfterTheFirstNewFail)
{
    load({"10,,01", "10,,02", "10,,00", "10,,03", "10,,00"});
    ex.abortOnFail = true;
    ex.cmdExecAll_Click();
    EXPECT_EQ(bus.log.size(), 1u);
    EXPECT_EQ(ex.fails, 1);
    EXPECT_EQ(act(2), "--");
    // Fails from before the box was ticked do not stop a run; the next one does.
    ex.abortOnFail = false;
    svc.onPump = [this](int) {
        if (ex.fails == 2)
            ex.abortOnFail = true; // ticked after row 2
    };
    bus.log.clear();
    ex.cmdExecAll_Click();
    EXPECT_EQ(bus.log.size(), 4u);
    EXPECT_EQ(ex.fails, 3);
}

TEST_F(ScriptRun, PauseAndDelayRows)
{
    load({"`w", "`w250", "`w-7", "10,,00", "`w", "10,,00"});
    svc.answer(platform::vbOK);
    svc.answer(platform::vbCancel);
    ex.cmdExecAll_Click();
    EXPECT_EQ(svc.boxTexts(), (QStringList{"Script Pause Line :1 Click OK to Continue, Cancel to Abort",
                                            "Script Pause Line :5 Click OK to Continue, Cancel to Abort"}));
    EXPECT_EQ(svc.boxes[0].buttons, platform::vbOKCancel);
    EXPECT_EQ(act(1), "Delay Keypress");
    EXPECT_EQ(act(2), "Delay 250");
    EXPECT_EQ(act(3), ""); // another negative delay does nothing
    EXPECT_EQ(svc.sleptMs, 200 + 250 + 200);
    EXPECT_EQ(ex.passes, 1); // Cancel stopped the run after row 5
    EXPECT_EQ(act(6), "--");
    // Everything is shown as a delay row starts (no event runs while it waits) and as the
    // run ends.
    std::vector<std::pair<int, int>> shown; // row in hand, ms slept by then
    host.onShow = [&] { shown.emplace_back(ex.currentRow, svc.sleptMs); };
    svc.answerAll(platform::vbOK, 2);
    svc.sleptMs = 0;
    ex.cmdExecAll_Click();
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{2, 200}, {6, 650}}));
}

TEST_F(ScriptRun, SpiRowsTheirDontCaresAndFailures)
{
    g_I2CFamily = false;
    g_SPIFamily = true;
    load({",A1B2,", ",C3D4,B2XX", ",0102,FFFF", ",0102,", "7F,05,", ",,33"});
    ex.cmdExecAll_Click();
    // Reg Adr bytes go out ahead of the data; a read-only row sends nothing.
    EXPECT_EQ(bus.log, (std::vector<QString>{"S A1B2", "S C3D4", "S 0102", "S 0102", "S 7F05"}));
    EXPECT_EQ(act(2), "B2XX");
    EXPECT_EQ(actColour(2), kGreen);
    EXPECT_EQ(act(3), "D401");
    EXPECT_EQ(ex.passes, 1);
    EXPECT_EQ(ex.fails, 1);
    EXPECT_EQ(act(6), "--");
    bus.spiFails = true;
    load({",01,00", ",01,"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(act(1), "ERR");
    EXPECT_EQ(actColour(1), kRed);
    EXPECT_EQ(ex.row(2).bg(kDataWr), kRed);
    EXPECT_EQ(ex.fails, 1);
    // An "XX" pair in an I2C row is just text that never matches.
    g_I2CFamily = true;
    g_SPIFamily = false;
    load({"00,,XX"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(ex.fails, 1);
}

TEST_F(ScriptRun, GpioRowsCompareAFreshReadBackAndSendNothing)
{
    bus.ports = {0x0F, 0x0F, 0x00, 0x11, 0x22, 0x33};
    load({"`G0F0F", "`G0F0E", "`G0F0F00112233AABBCCDDEE", "`G", "`G0f0f"});
    ex.cmdExecAll_Click();
    EXPECT_TRUE(bus.log.empty());
    EXPECT_EQ(act(1), "0F0F");
    EXPECT_EQ(actColour(1), kGreen);
    EXPECT_EQ(act(2), "0F0F"); // the board's value, not the written one
    EXPECT_EQ(actColour(2), kRed);
    EXPECT_EQ(act(3), "0F0F00112233AABBCCDDEE"); // positions 6..10 are no ports: the image
    EXPECT_EQ(act(4), "");
    EXPECT_EQ(actColour(4), kRed);
    EXPECT_EQ(act(5), "0F0F");
    EXPECT_EQ(ex.passes, 2);
    EXPECT_EQ(ex.fails, 3);
    EXPECT_EQ(g_PortShadow[0], 0x0F);
    EXPECT_EQ(g_PortShadow[10], 0xEE);
    EXPECT_EQ(ex.txtIDefault, "0f0f");
    EXPECT_EQ(ex.txtLastRead, "0F0F");
    bus.portsFail = true;
    load({"`G0F0F"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(act(1), "ERR");
    EXPECT_EQ(ex.fails, 1);
    // More than the image holds: the row fails with a message and ends at once.
    svc.answer(platform::vbOK);
    load({"`G" + QString(24, '0'), "10,,00"});
    ex.cmdExecAll_Click();
    EXPECT_TRUE(svc.boxTexts().last().contains("more than 11 bytes"));
    EXPECT_EQ(ex.row(1).bg(kI2CAdr), kRed);
    EXPECT_EQ(ex.passes, 1);
}

// A row that one report cannot carry loads with the rest, and when it runs it fails on its
// own: its box names the row and the limit, its I2C Adr stays red, nothing of it goes out
// (not even a write that would fit ahead of a read too long), and the run goes on.
TEST_F(ScriptRun, RowBeyondOneReportFailsAloneWhenItRuns)
{
    struct Case {
        bool spi;
        QString line;
        const char* says; // empty: the row fits and goes out
    };
    const Case cases[] = {
        {false, "00," + QString(116, '1') + ",", ""},
        {false, "00," + QString(118, '1') + ",", "Row 2 has 60 register and data bytes to write; one I2C write carries at most 59."},
        {false, "00,," + QString(124, '1'), ""},
        {false, "00,," + QString(126, '1'), "Row 2 has 63 bytes to read; one I2C read returns at most 62."},
        {false, QString(118, '1') + ",,11", ""},
        {false, QString(120, '1') + ",,11", "Row 2 has 60 register bytes ahead of its read; one I2C read takes at most 59."},
        {false, "00,11," + QString(126, '1'), "Row 2 has 63 bytes to read; one I2C read returns at most 62."},
        {false, "00," + QString(100000, '1') + ",", "Row 2 has 50001 register and data bytes to write; one I2C write carries at most 59."},
        {true, "," + QString(114, '1') + ",", ""},
        {true, "," + QString(116, '1') + ",", "Row 2 has 58 bytes to send; one SPI transfer carries at most 57."},
        {true, "00," + QString(114, '1') + ",", "Row 2 has 58 bytes to send; one SPI transfer carries at most 57."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.left(20).toStdString() + "... (" + std::to_string(c.line.size()) + " characters)");
        g_I2CFamily = !c.spi;
        g_SPIFamily = c.spi;
        const QString first = c.spi ? ",3F," : "10,3F,", last = c.spi ? ",3F,3F" : "10,,3F";
        load({first, c.line, last});
        if (ex.rowCount() != 3) {
            ADD_FAILURE() << "the script did not load whole";
            continue;
        }
        bus.log.clear();
        svc.boxes.clear();
        const bool fails = *c.says != 0;
        if (fails)
            svc.answer(platform::vbOK);
        ex.cmdExecAll_Click();
        if (fails) {
            ASSERT_EQ(svc.boxes.size(), 1u);
            EXPECT_EQ(svc.boxes[0].text, QString(c.says) + " Nothing was sent.");
            EXPECT_EQ(svc.boxes[0].buttons, platform::vbOKOnly);
            EXPECT_EQ(ex.row(2).bg(kI2CAdr), kRed);
            EXPECT_EQ(bus.log.size(), 2u) << "the rows around it only";
        } else {
            EXPECT_TRUE(svc.boxes.empty());
            EXPECT_EQ(ex.row(2).bg(kI2CAdr), kGreen);
            EXPECT_EQ(bus.log.size(), 3u);
        }
        EXPECT_EQ(ex.row(3).bg(kI2CAdr), kGreen) << "the run went on";
        EXPECT_EQ(ex.txtRunning, "Done");
    }
    // Register bytes alone send nothing, however many.
    g_I2CFamily = true;
    g_SPIFamily = false;
    load({QString(120, '1') + ",,"});
    bus.log.clear();
    ex.cmdExecAll_Click();
    EXPECT_TRUE(bus.log.empty());
    EXPECT_EQ(ex.row(1).bg(kI2CAdr), kGreen);
}

namespace {
// Rows 1..N that write their own row number as register byte, so the order shows on the bus;
// row 7 raises the interrupt line (register EE), the section's row 22 lowers it (EF).
QStringList sectionScript(const QString& sectionExtra = QString())
{
    QStringList s;
    s << "`G0000" << "`IE";
    for (int r = 3; r <= 18; ++r)
        s << (r == 7 ? "EE,00," : QString("%1,00,").arg(r, 2, 16, QChar('0')));
    s << "`ENDM" << "`EISTART" << "15,00," << "EF,00," << (sectionExtra.isEmpty() ? "17,00," : sectionExtra) << "18,00,"
      << "`EIEND";
    return s;
}
} // namespace

TEST_F(ScriptRun, InterruptRunsTheSectionThenResumesAfterTheDetectionRow)
{
    load(sectionScript());
    ASSERT_EQ(ex.script().iStart, 20);
    ASSERT_EQ(ex.script().iEnd, 25);
    ex.cmdExecAll_Click();
    std::vector<int> want = {3, 4, 5, 6, 0xEE, 0x15, 0xEF, 0x17, 0x18};
    for (int r = 8; r <= 18; ++r)
        want.push_back(r);
    EXPECT_EQ(bus.touched, want);
    EXPECT_EQ(ex.txtIdetectStep, "007");
    EXPECT_FALSE(ex.sampling); // stays off until IE or the user
    EXPECT_EQ(ex.txtIexec, " 25");
    EXPECT_EQ(ex.txtIEnableStep, "002");
    EXPECT_EQ(ex.passes, 1);
}

TEST_F(ScriptRun, SectionEdgeCases)
{
    // An IE inside the section samples again; a detection there starts no second section.
    // Line EE stays high here (no EF), so every sample after row 7 differs.
    QStringList s = sectionScript("`IE");
    s[21] = "16,00,";
    load(s);
    ex.cmdExecAll_Click();
    std::vector<int> want = {3, 4, 5, 6, 0xEE, 0x15, 0x16, 0x18};
    for (int r = 8; r <= 18; ++r)
        want.push_back(r);
    EXPECT_EQ(bus.touched, want);
    EXPECT_EQ(ex.txtIdetectStep, "023"); // the IE row's own sample saw the line high
    EXPECT_FALSE(ex.sampling);

    // Abort inside the section stops it and the main run after it.
    bus = FakeBus{};
    load(sectionScript());
    host.onRow = nullptr;
    int section = 0;
    svc.onPump = [&](int) {
        if (section == 0 && bus.touched.size() == 6) {
            section = 1;
            ex.cmdAbort_Click();
        }
    };
    ex.cmdExecAll_Click();
    EXPECT_EQ(bus.touched, (std::vector<int>{3, 4, 5, 6, 0xEE, 0x15}));

    // No section (or an end before its start): a detection only switches sampling off.
    bus = FakeBus{};
    load({"`G0000", "`IE", "EE,00,", "10,00,", "`EIEND", "`EISTART"});
    svc.onPump = nullptr;
    ex.cmdExecAll_Click();
    EXPECT_EQ(bus.touched, (std::vector<int>{0xEE, 0x10}));
    EXPECT_EQ(ex.txtIdetectStep, "003");
}

TEST_F(ScriptRun, SampleBeforeAnyRowAndItsLamp)
{
    load({"10,,00"});
    bus.ports[0] = 0x80;
    ex.cmdISample_Click();
    EXPECT_EQ(ex.txtLastRead, "8000");
    EXPECT_EQ(ex.txtIdetectStep, "000");
    EXPECT_EQ(ex.sampleLamp, 10);
    bus.ports[0] = 0;
    ex.cmdISample_Click();
    EXPECT_EQ(ex.sampleLamp, 2);
    EXPECT_EQ(bus.portReads, 2);
}

TEST_F(ScriptRun, LoopContinuousCountsThePassOfTheAbort)
{
    load({"10,,00", "11,,00"});
    bool runButtonsBetweenPasses = false, abortHidden = false;
    svc.onPump = [&](int) {
        if (ex.running() && (ex.runAllShown || ex.loopShown))
            runButtonsBetweenPasses = true;
        if (ex.running() && !ex.abortShown)
            abortHidden = true; // "Abort" stays from the first pass to the end of the loop
        if (ex.loopCount == 2 && ex.passes == 1 && !g_AbortRequest)
            ex.cmdAbort_Click(); // during the third pass
    };
    ex.cmdRunContinuous_Click();
    EXPECT_EQ(ex.loopCount, 3);
    EXPECT_FALSE(runButtonsBetweenPasses);
    EXPECT_FALSE(abortHidden);
    EXPECT_FALSE(ex.abortShown);
    EXPECT_TRUE(ex.runAllShown && ex.loopShown);
    EXPECT_FALSE(ex.running());
}

// A pass with no row to run would take no time, and the loop could never be stopped.
TEST_F(ScriptRun, LoopContinuousWithNothingToRunRunsNoPass)
{
    const QStringList scripts[] = {{}, {"`ENDM", "10,,00"}};
    for (const QStringList& lines : scripts) {
        SCOPED_TRACE(lines.join(" / ").toStdString());
        load(lines);
        ex.loopCount = 5;
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        svc.onPump = [&](int n) {
            if (n > 2000 && !g_AbortRequest) {
                ADD_FAILURE() << "the loop keeps running";
                g_AbortRequest = true;
            }
        };
        ex.cmdRunContinuous_Click();
        EXPECT_EQ(svc.boxTexts(), QStringList{"The script has no rows to run before its end of main."});
        EXPECT_EQ(ex.loopCount, 0);
        EXPECT_TRUE(bus.log.empty());
        EXPECT_FALSE(ex.running());
        EXPECT_TRUE(ex.runAllShown && ex.loopShown);
        EXPECT_FALSE(ex.abortShown);
        svc.onPump = nullptr;
        svc.pumps = 0;
    }
}

// A link dialog answered Retry during a run (the board was searched again): the row in hand
// ends, nothing more of the run goes out, and the run ends at once with its message.
TEST_F(ScriptRun, LinkLostEndsTheRunAtOnce)
{
    struct Case {
        const char* what;
        QStringList lines;
        bool loop;
        int loseAt;    // bus operation that meets the lost link
        int row;       // the row the message names
        int loopCount; // passes counted
        int compares;  // in the last pass, before the link was lost
    };
    const QStringList section = sectionScript();
    const Case cases[] = {
        {"the read of a row", {"10,3F,", "10,,3F", "11,55,", "11,,55"}, false, 2, 2, 0, 0},
        {"the write ahead of a read", {"10,3F,3F", "11,55,"}, false, 1, 1, 0, 0},
        {"a GPIO row's read-back", {"10,3F,", "`G0000", "11,55,"}, false, 2, 2, 0, 0},
        {"the third pass of a loop", {"10,,00", "11,,00"}, true, 5, 1, 3, 0},
        // Rows 3..6 and the interrupt line (7) run, the sample after row 7 runs the section
        // (row 20 is its start command): its first transfer is operation 13.
        {"the interrupt section", section, false, 13, 21, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bus = FakeBus{};
        bus.loseLinkAt = c.loseAt;
        load(c.lines);
        ex.loopCount = 0;
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        if (c.loop)
            ex.cmdRunContinuous_Click();
        else
            ex.cmdExecAll_Click();
        EXPECT_EQ(bus.ops, c.loseAt) << "nothing more went out";
        EXPECT_EQ(svc.boxTexts(), QStringList{linkLostText(c.row)});
        EXPECT_EQ(ex.txtRunning, "Done");
        EXPECT_EQ(ex.row(c.row).bg(kI2CAdr), kRed) << "the row in hand did not finish";
        EXPECT_EQ(ex.loopCount, c.loopCount);
        EXPECT_EQ(ex.passes + ex.fails, c.compares) << "no compare after the link was lost";
        EXPECT_FALSE(ex.running());
        EXPECT_TRUE(ex.runAllShown && ex.loopShown && !ex.abortShown);
    }
    // A later run starts afresh.
    bus = FakeBus{};
    load({"10,,00"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(ex.passes, 1);
}

TEST_F(ScriptRun, CellActivationOnlyForTheCurrentRowAndNeverInsideOne)
{
    load({"10,,00", "11,,00", "`w"});
    ex.gridCurrentRow = 2;
    ex.cellActivated(1, 3);
    EXPECT_TRUE(bus.log.empty());
    ex.cellActivated(2, 3);
    EXPECT_EQ(bus.log.size(), 1u);
    EXPECT_EQ(ex.passes, 1); // a single row counts like a run
    // Inside the pause row's box the user activates another row: nothing happens.
    ex.gridCurrentRow = 3;
    svc.onBox = [&](const QString&, int) {
        ex.gridCurrentRow = 1;
        ex.cellActivated(1, 1);
        return platform::vbOK;
    };
    ex.cellActivated(3, 1);
    EXPECT_EQ(bus.log.size(), 1u);
}

TEST_F(ScriptRun, SaveAndSamplingCommands)
{
    load({"`S", "`IE", "`ID"});
    ex.cmdExecAll_Click();
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(ex.txtIEnableStep, "002");
    EXPECT_EQ(ex.txtIDisableStep, "003");
    EXPECT_FALSE(ex.sampling);
    ex.userSetSampling(true);
    EXPECT_EQ(ex.txtIEnableStep, "On");
    EXPECT_EQ(ex.txtIDisableStep, "");
    ex.userSetSampling(false);
    EXPECT_EQ(ex.txtIEnableStep, "Off");
    EXPECT_EQ(ex.txtIDisableStep, "On");
}
