// A run-in on a board that answers every request 3 ms late, in order, with set answers of its
// own: the replies the run-in's line writes earn are never read as a wiper reading.
#include "runin_window_fixture.h"
#include "platform/transport.h"
#include "support/sim_server.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace {

// The board is slow from the start: the console's load and VCC switched on meet it too.
class SlowRunInTest : public RunInWindowFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        board().replyDelayMs = 3;
        board().setAnswersCarryCode = true;
        part = sim::installUpDownPart(board());
        console();
        forms().frmMotherboardDAQ2().OptVCC[0]->setChecked(true);
        svc.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0));
    }
};

TEST_F(SlowRunInTest, AHundredMovesPassWithNoFail)
{
    runTest(QStringLiteral("100"), QStringLiteral("50"));
    const QStringList lines = window().logText().split("\r\n");
    // The ends as a prompt board gives them (a count of 515 at the top, 0 at the bottom).
    EXPECT_EQ(lines.filter("Max Wiper V:[3.3226]    Min Wiper V:[0.0000]").size(), 1);
    EXPECT_EQ(lines.filter("FAIL").size(), 0) << lines.filter("FAIL").join("\n").toStdString();
    EXPECT_TRUE(lines.value(lines.size() - 3).startsWith("User Test ID   Test Completed : Test Count:[ 100] Fail Count:[ 0]"))
        << lines.value(lines.size() - 3).toStdString();
    EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
}

// The same over dcpeval-sim's socket on the real clock: the line writes of a long step come
// faster than a slow board answers them, so when a conversion is asked for the host queue is
// full and the last answers are still on their way.
class SlowSocketRunInTest : public RunInWindowFixture {
protected:
    struct RealTime : TestServices {
        void sleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
        std::int64_t monotonicMs() override { return platform::DesktopServices().monotonicMs(); }
    };
    void SetUp() override
    {
        BoardFixture::SetUp();
        platform::setServices(&rt);
        rt.programDirectory = dir.path();
        rt.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0));
        ASSERT_TRUE(startSimServer(server, path, {"--slow", "3", "--part", "updown"}));
        platform::setTransports({platform::makeSocketTransport(path)});
        console();
        forms().frmMotherboardDAQ2().OptVCC[0]->setChecked(true);
    }
    void TearDown() override
    {
        BoardFixture::TearDown();
        server.terminate();
        server.waitForFinished(5000);
    }
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("board");
    RealTime rt;
    QProcess server;
};

TEST_F(SlowSocketRunInTest, EveryReadingIsItsOwnConversions)
{
    runTest(QStringLiteral("20"), QStringLiteral("20"));
    const QStringList lines = window().logText().split("\r\n");
    EXPECT_EQ(lines.filter("Max Wiper V:[3.3226]    Min Wiper V:[0.0000]").size(), 1);
    EXPECT_EQ(lines.filter("FAIL").size(), 0) << lines.filter("FAIL").join("\n").toStdString();
    EXPECT_EQ(lines.filter("Test Completed : Test Count:[ 20] Fail Count:[ 0]").size(), 1);
    EXPECT_TRUE(rt.boxes.empty()) << rt.boxTexts().join(" | ").toStdString();
}

} // namespace

