// The run-in test over the simulated up/down part, without its window: the reports it sends,
// the sequence and its checks, and the log, line for line.
#include "runin_rig.h"

#include "bridge/frmMainF340.h"
#include "shell/globals.h"
#include "sim/updown_part.h"
#include "support/board_fixture.h"
#include "support/conversion_replies.h"
#include "updown/runin_log.h"

#include <functional>

using runin::Field;

namespace {

class RunInTestBase : public BoardFixture {
protected:
    void install(const sim::UpDownConfig& config = {})
    {
        part = sim::installUpDownPart(board(), config);
        replies = interceptConversions(sims);
        console(); // the link, as the program has it
        board().setSfr(sim::sfr::AMX0P, 0x06); // VIN0, as the run's start selects it
        ASSERT_TRUE(part->powered());
        rig.setAllHigh();
        svc.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0));
        board().transcript.clear();
    }
    void run(const QString& qty, const QString& logSteps, const QString& positions = QStringLiteral("100"))
    {
        runin::RunInSettings s;
        s.id = QStringLiteral("User Test ID");
        s.positions = positions;
        s.testQty = qty;
        s.logSteps = logSteps;
        ASSERT_EQ(runin::RunInTest::check(s), QString());
        test.run(s);
    }
    // The P0 and P1 values the run wrote, in order, as "P0=C0" / "P1=06".
    QStringList portWrites() const
    {
        QStringList out;
        for (const auto& r : sims->board(0).transcript.requests(0x12))
            out << QStringLiteral("P%1=%2").arg(r[3] == 0x80 ? 0 : 1).arg(Hex2(r[4]));
        return out;
    }

    std::shared_ptr<sim::UpDownPart> part;
    std::shared_ptr<ConversionReplies> replies;
    LinkRunInRig rig;
    runin::RunInTest test{rig};
};

} // namespace

TEST_F(RunInTestBase, LineRequestsStepTrainAndStoreOnTheWire)
{
    install();
    runin::stepWiper(rig, true, 3);
    EXPECT_EQ(portWrites(), (QStringList{"P0=82", "P1=04", "P1=06", "P1=04", "P1=06", "P1=04"}));
    EXPECT_EQ(part->chips[0].wiper, 53);
    for (const QString& text : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("x")}) {
        rig.step(false, text); // always one step at least
    }
    EXPECT_EQ(part->chips[0].wiper, 50);
    board().transcript.clear();
    runin::storeWiper(rig);
    EXPECT_EQ(portWrites(), (QStringList{"P1=02", "P0=C0"}));
    EXPECT_EQ(part->chips[0].stored, 50);
    EXPECT_EQ(part->chips[0].storeCycles, 1);
    EXPECT_EQ(part->chips[1].wiper, 50); // /CS2 stayed high throughout

    // Every request is the report number, its own bytes and zeros.
    for (const auto& r : board().transcript.requests(0x12))
        for (size_t i = 5; i < r.size(); ++i)
            ASSERT_EQ(r[i], 0) << i;
}

TEST_F(RunInTestBase, ReadingTakesTheSecondConversionAndFailsWithoutAReply)
{
    install();
    runin::stepWiper(rig, true, 50); // top: the stale set replies wait in the queue
    runin::Reading r = rig.readWiper();
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.count, 515);
    EXPECT_EQ(r.text, "3.32258");
    EXPECT_DOUBLE_EQ(g_VccVolts, 515 * 6.6 / 1023);
    const auto conversions = board().transcript.requests(0x11);
    ASSERT_EQ(conversions.size(), 2u);
    EXPECT_EQ(sim::hexBytes(conversions[0], 8), "01 11 00 00 00 00 00 00");

    // The second conversion goes unanswered: the link dialog, then an invalid reading that
    // leaves g_VccVolts alone.
    g_VccVolts = 1.25;
    svc.answer(platform::vbRetry);
    rig.port.beforeConversion = [&](int n) {
        if (n == 4)
            board().dropNextReplies(1);
    };
    r = rig.readWiper();
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.text, "-.---");
    EXPECT_EQ(r.why, "no reply");
    EXPECT_EQ(g_VccVolts, 1.25);
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});

    // The first one goes unanswered: the link failed, and the second is not sent.
    svc.answer(platform::vbRetry);
    rig.port.beforeConversion = [&](int n) {
        if (n == 5)
            board().dropNextReplies(1);
    };
    r = rig.readWiper();
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(rig.port.conversions, 5);
}

TEST_F(RunInTestBase, GoldenLogOfAShortRunWithTheDesignValues)
{
    install();
    run(QStringLiteral("300"), QStringLiteral("100"));
    const QStringList expected{
        "",
        "",
        "10.0.0 DCP EEPROM Run In Test  User Test ID 03-02-2026 10:00:00",
        "Positions100 V Tolerence 0.33",
        "Max Wiper V:[3.3226]    Min Wiper V:[0.0000]    Volts Per Step:[0.033226] Calculated Limit +-:[0.0110]  ",
        "",
        "Initial Test :   Wiper Position 63 Check Recorded value [02.0968] >= 02.0823 and <= 02.1042 Volts   Test#[ 2] PASS",
        "",
        "Beginning Loop  User Test ID Test",
        "",
        "User Test ID   Activity Log : Test Count:[ 100] Fail Count:[ 0] Time Stamp: 10:00:00",
        "User Test ID   Activity Log : Test Count:[ 200] Fail Count:[ 0] Time Stamp: 10:00:00",
        "User Test ID   Test Completed : Test Count:[ 300] Fail Count:[ 0] Time Stamp: 10:00:01",
        "",
        "",
    };
    EXPECT_EQ(rig.logLines(), expected);
    EXPECT_EQ(test.checks, 302);
    EXPECT_EQ(test.tally, 63);
    EXPECT_EQ(part->chips[0].wiper, 63);
    EXPECT_EQ(part->chips[0].storeCycles, 301);
    EXPECT_EQ(rig.shownText(Field::TestCount), " 300");
    EXPECT_EQ(rig.shownText(Field::FailCount), "----");
    EXPECT_EQ(rig.shownText(Field::MaxV), "3.32258");
    EXPECT_EQ(rig.shownText(Field::VoltsPer), "0.0332");
    EXPECT_EQ(rig.shownText(Field::Limit), "0.0110");
    EXPECT_EQ(rig.shownText(Field::RowPosition, 5), " 64");
    EXPECT_EQ(rig.shownText(Field::RowVolts, 5), "2.1265");
    EXPECT_EQ(rig.shownText(Field::RowMeasured, 5), "2.12903");
    EXPECT_EQ(rig.shownText(Field::RowError, 5), "-0.0025");
    EXPECT_EQ(rig.lamps, (std::array<int, 7>{14, 14, 10, 10, 10, 10, 10}));
    EXPECT_TRUE(g_TraceOn);
}

TEST_F(RunInTestBase, PositionCountAgainstTheParts)
{
    struct Case {
        int partPositions;
        const char* p;
        const char* characterisation;
        int fails;
    };
    const Case cases[] = {
        {100, "99", "Max Wiper V:[3.3226]    Min Wiper V:[0.0000]    Volts Per Step:[0.033561] Calculated Limit +-:[0.0111]  ", 0},
        // P is the top position: a 0..99 part run as 100 is off by a step from tally 33 up.
        {100, "100", "Max Wiper V:[3.3226]    Min Wiper V:[0.0000]    Volts Per Step:[0.033226] Calculated Limit +-:[0.0110]  ", 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p);
        TearDown();
        SetUp();
        install({.positions = c.partPositions});
        rig.log.clear();
        run(QStringLiteral("40"), QStringLiteral("20"), QString::fromLatin1(c.p));
        const QStringList lines = rig.logLines();
        EXPECT_EQ(lines.value(3), QStringLiteral("Positions%1 V Tolerence 0.33").arg(c.p));
        EXPECT_EQ(lines.value(4), c.characterisation);
        EXPECT_EQ(test.fails, c.fails);
        EXPECT_TRUE(test.completed());
    }
}

TEST_F(RunInTestBase, WornStoreShowsItsFailLinesAndCounts)
{
    install({.storeFailsAfter = 20}); // the initial store and moves 1..19 hold
    run(QStringLiteral("40"), QStringLiteral("20"));
    const QStringList lines = rig.logLines();
    // Move 20 goes down to 63 but the store brings the wiper back to 64; every later up move
    // lands on 64 again (passes), every down move fails.
    const QStringList fails = lines.filter(QStringLiteral("FAIL"));
    ASSERT_EQ(fails.size(), 11);
    EXPECT_EQ(fails[0], " Wiper Position 63 Check Expected 2.0932   Read 2.1290   Error -.0358  TOL .0110 Volts     Test#[ 22] FAIL");
    EXPECT_TRUE(fails[10].contains("Test#[ 42] FAIL"));
    EXPECT_TRUE(lines.contains("User Test ID   Activity Log : Test Count:[ 20] Fail Count:[ 1] Time Stamp: 10:00:00"));
    EXPECT_TRUE(lines.contains("User Test ID   Test Completed : Test Count:[ 40] Fail Count:[ 11] Time Stamp: 10:00:00"));
    EXPECT_EQ(rig.shownText(Field::FailCount), " 11");
    EXPECT_EQ(rig.lamps[6], runin::kLampFail);
    EXPECT_EQ(rig.lamps[5], runin::kLampPass);
}

TEST_F(RunInTestBase, LogAllWritesEveryCheckAndTheLowEndCounts)
{
    // A part whose wiper runs from 0.5 V: the expected volts start at the bottom reading.
    install();
    sim::analogBoard(board())->wiperVolts = [this](int) { return 0.5 + 0.025 * part->chips[0].wiper; };
    rig.logAllChecked = true;
    run(QStringLiteral("8"), QStringLiteral("4"));
    const QStringList lines = rig.logLines();
    EXPECT_EQ(lines.value(4), "Max Wiper V:[3.0000]    Min Wiper V:[0.5032]    Volts Per Step:[0.024968] Calculated Limit +-:[0.0082]  ");
    EXPECT_EQ(lines.value(6), " Wiper Position 63 Check Expected 2.0762   Read 2.0774   Error -.0012  TOL .0082 Volts     Test#[ 1] PASS");
    EXPECT_TRUE(lines.value(7).startsWith("Initial Test :   Wiper Position 63 Check Recorded value [02.0774] >= 02.0680 and <= 02.0844 Volts   Test#[ 2] PASS"));
    EXPECT_EQ(lines.filter(QStringLiteral("PASS")).size(), 10);
    EXPECT_EQ(test.fails, 0);
}

TEST_F(RunInTestBase, AbortEndsAfterThePassWithTheTerminationLine)
{
    install();
    svc.onPump = [&](int) {
        if (test.moves == 5)
            g_AbortRequest = true;
    };
    run(QStringLiteral("100000"), QStringLiteral("500"));
    EXPECT_EQ(rig.logLines().value(10),
              "User Test ID   Test Terminated : Test Count:[ 8] Fail Count:[ 0]  Date / Time Stamp: 03-02-2026 10:00:00");
    EXPECT_EQ(rig.logLines().size(), 12);
    EXPECT_FALSE(test.completed());
    EXPECT_TRUE(g_AbortRequest); // left set until the next start
}

// A reading that is no reading (no reply, a refused write, a failed status, a count no
// 10-bit conversion gives) is not a worn part: it has its check number but no fail, paints
// its row red and ends the run at once; nothing is worked out from it. A link dialog answered
// Retry searched the board again, and the log says so before the termination line.
TEST_F(RunInTestBase, AReadingNotReceivedEndsTheRunWithoutAFail)
{
    struct Case {
        const char* name;
        int conversion; // 1-2 read the top, 3-4 the bottom, 5-6 the initial store, 7-8 the first move
        std::function<void(sim::SimBoard&)> fault;
        bool retry;
        int row;
        QString line;
        const char* moves;
    };
    const Case cases[] = {
        // A failed status with a count that alone would pass: the top reads 515 here.
        {"failed status at the top", 2, [&](sim::SimBoard&) { replies->rewriteNext(1, ConversionReplies::failedStatus()); },
         false, 0, " Wiper Position 100 No Reading: count 515   Test#[ 1] NO READING", " 0"},
        {"impossible count at the initial store", 6,
         [&](sim::SimBoard&) { replies->rewriteNext(1, ConversionReplies::count(4608)); }, false, 2,
         " Wiper Position 63 No Reading: count 4608   Test#[ 1] NO READING", " 0"},
        {"a count one past full scale in a move", 8,
         [&](sim::SimBoard&) { replies->rewriteNext(1, ConversionReplies::count(1024)); }, false, 3,
         " Wiper Position 64 No Reading: count 1024   Test#[ 3] NO READING", " 1"},
        {"no reply in a move", 8, [](sim::SimBoard& b) { b.dropNextReplies(1); }, true, 3,
         " Wiper Position 64 No Reading: no reply   Test#[ 3] NO READING", " 1"},
        {"refused write in a move", 7, [](sim::SimBoard& b) { b.failNextWrites(1); }, true, 3,
         " Wiper Position 64 No Reading: write refused   Test#[ 3] NO READING", " 1"},
    };
    install();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.port.conversions = 0;
        rig.shown.clear();
        svc.boxes.clear();
        if (c.retry)
            svc.answer(platform::vbRetry);
        rig.port.beforeConversion = [&](int n) {
            if (n != c.conversion)
                return;
            board().transcript.clear();
            c.fault(board());
        };
        run(QStringLiteral("100000"), QStringLiteral("500"));

        const QStringList lines = rig.logLines();
        const qsizetype at = lines.indexOf(c.line);
        ASSERT_GE(at, 0) << rig.log.toStdString();
        QString next = lines.value(at + 1);
        if (c.retry) {
            EXPECT_EQ(next, "Link lost: the board was searched again; the run stops.");
            next = lines.value(at + 2);
        }
        EXPECT_TRUE(next.startsWith(QStringLiteral("User Test ID   Test Terminated : Test Count:[%1] Fail Count:[ 0]  "
                                                   "Date / Time Stamp: 03-02-2026 ").arg(c.moves)))
            << next.toStdString();
        EXPECT_EQ(lines.size(), at + (c.retry ? 4 : 3)) << "the run ends at once";
        EXPECT_EQ(svc.boxes.size(), c.retry ? 1u : 0u);
        EXPECT_EQ(test.fails, 0);
        EXPECT_FALSE(test.completed());
        EXPECT_EQ(rig.lamps[size_t(c.row)], runin::kLampFail);
        EXPECT_EQ(rig.shownText(Field::RowMeasured, c.row), "-.---");
        EXPECT_EQ(rig.shownText(Field::FailCount), "----");
        // Nothing is checked or worked out from it, and nothing more of the run is sent.
        EXPECT_TRUE(lines.filter(" FAIL").isEmpty());
        if (c.row == 0) {
            EXPECT_EQ(rig.shownText(Field::MaxV), "-----");
        }
        if (c.row == 2) {
            EXPECT_TRUE(lines.filter("Initial Test").isEmpty());
        }
        EXPECT_EQ(rig.port.conversions, c.conversion);
        for (const auto& rq : board().transcript.requests(0x12))
            EXPECT_FALSE(rq[2] == 0 && (rq[3] == 0x80 || rq[3] == 0x90)) << "a line moved after the fault";
    }
}

TEST(RunInSettingsCheck, RefusesWhatCannotRunNamingTheField)
{
    struct Case {
        const char *p, *l, *q;
        const char* field; // empty: the run starts
    };
    const Case cases[] = {
        {"100", "500", "100000", ""},
        {"1", "1", "1", ""},
        {"32767", "32767", "2147483647", ""},
        {"0", "500", "100000", "Positions"},
        {"32768", "500", "100000", "Positions"},
        {"99.5", "500", "100000", "Positions"},
        {"abc", "500", "100000", "Positions"},
        {"100", "0", "100000", "Log Progress every"},
        {"100", "", "100000", "Log Progress every"},
        {"100", "500", "0", "End Test after"},
        {"100", "500", "2147483648", "End Test after"},
    };
    for (const Case& c : cases) {
        runin::RunInSettings s;
        s.positions = c.p;
        s.logSteps = c.l;
        s.testQty = c.q;
        const QString message = runin::RunInTest::check(s);
        if (*c.field)
            EXPECT_TRUE(message.startsWith(QString(c.field) + ":")) << c.p << " " << c.l << " " << c.q << ": " << message.toStdString();
        else
            EXPECT_EQ(message, QString()) << c.p;
    }
}

TEST(RunInLogPieces, NumberFormats)
{
    // Negative errors and limits below one volt have no leading zero; a value rounding to
    // zero has no sign; integers carry a blank for their sign.
    EXPECT_EQ(runinlog::toleranceLine(" 0", 0.0, -0.00001, -0.03, 0.0132, 7, "FAIL"),
              " Wiper Position 0 Check Expected .0000   Read .0000   Error -.0300  TOL .0132 Volts     Test#[ 7] FAIL\r\n");
    EXPECT_EQ(runinlog::windowLine("-2", 2.5332, 2.5068, 2.52, 2, "PASS"),
              " Wiper Position-2 Check Recorded value [02.5200] >= 02.5068 and <= 02.5332 Volts   Test#[ 2] PASS\r\n");
    EXPECT_EQ(runinlog::characterisation(4.0, 0.0, 0.04, 0.0132),
              "Max Wiper V:[4.0000]    Min Wiper V:[0.0000]    Volts Per Step:[0.040000] Calculated Limit +-:[0.0132]  \r\n\r\n");
    EXPECT_EQ(runinlog::beginLoop(""), "\r\nBeginning Loop   Test\r\n\r\n");
    EXPECT_EQ(runinlog::progress("", 500, 0, QDateTime(QDate(2026, 1, 5), QTime(7, 8, 9))),
              "   Activity Log : Test Count:[ 500] Fail Count:[ 0] Time Stamp: 07:08:09\r\n");
}

TEST_F(RunInTestBase, StimulusOfZeroStillStepsButAddsNothingToTheTally)
{
    install();
    rig.stimuli[3] = QStringLiteral("0");
    run(QStringLiteral("4"), QStringLiteral("4"));
    const QStringList fails = rig.logLines().filter(QStringLiteral("FAIL"));
    ASSERT_EQ(fails.size(), 4);
    EXPECT_EQ(fails[0], " Wiper Position 63 Check Expected 2.0932   Read 2.1290   Error -.0358  TOL .0110 Volts     Test#[ 3] FAIL");
    EXPECT_EQ(part->chips[0].wiper, 63); // up one, down one, up one, down one
    EXPECT_EQ(test.tally, 62);
}
