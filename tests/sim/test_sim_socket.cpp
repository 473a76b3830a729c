// The real dcpeval-sim served on a socket, met through the program's socket transport.
#include "sim_test_util.h"

#include "platform/transport.h"
#include "support/sim_server.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

using platform::ReadResult;
using simtest::hex;
using simtest::report;

namespace {

TEST(SimSocket, ServedBoardAnswersThenGoesWhenKilled)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("board.sock");
    QProcess server;
    ASSERT_TRUE(startSimServer(server, path, {"--firmware", "3.7"})) << "dcpeval-sim did not listen on " << path.toStdString();
    auto transport = platform::makeSocketTransport(path);
    const auto boards = transport->enumerate(0, 0x2034); // this probe connects and closes at once
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(boards[0].path, "unix:" + path);

    QString error;
    auto connection = transport->open(boards[0], &error);
    ASSERT_TRUE(connection) << error.toStdString();
    auto second = transport->open(boards[0], &error); // a second client is served on its own
    ASSERT_TRUE(second) << error.toStdString();

    platform::Report in{};
    ASSERT_TRUE(connection->write(report({1, 0x00})));
    ASSERT_EQ(connection->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(report({1, 0, 3, 7, 0x07, 0xDA, 3, 15})));
    EXPECT_EQ(second->read(in, 50), ReadResult::Timeout);

    // A set is answered as well, and the board keeps it.
    ASSERT_TRUE(second->write(report({1, 0x12, 0, 0xA0, 0x10})));
    ASSERT_EQ(second->read(in, 6000), ReadResult::Report);
    ASSERT_TRUE(connection->write(report({1, 0x12, 1, 0xA0})));
    ASSERT_EQ(connection->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(report({1, 0, 0, 0x10})));

    server.terminate(); // SIGTERM: a clean exit that removes the socket file
    ASSERT_TRUE(server.waitForFinished(5000));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0);
    EXPECT_EQ(connection->read(in, 1000), ReadResult::Gone);
    EXPECT_FALSE(connection->write(report({1, 0x00})));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(transport->enumerate(0, 0x2034).empty());
}

TEST(SimSocket, AStaleSocketFileIsReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("stale.sock");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QProcess server;
    EXPECT_TRUE(startSimServer(server, path));
    server.kill(); // SIGKILL: the socket file stays behind for the next start
    server.waitForFinished(5000);
}

TEST(SimSocket, BadArgumentsAreRefused)
{
    QProcess p;
    p.start(DCPEVAL_SIM_BINARY, {"--firmware", "x"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_NE(p.exitCode(), 0);
    p.start(DCPEVAL_SIM_BINARY, {});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_NE(p.exitCode(), 0);
    for (const char* slow : {"x", "-1", "2.5"}) {
        p.start(DCPEVAL_SIM_BINARY, {"--listen", "/nonexistent/x", "--slow", slow});
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << slow;
        EXPECT_TRUE(p.readAllStandardError().contains("--slow")) << slow;
    }
    for (const char* fault : {"slow:1", "no-reply", "no-reply:0", "nak:1:x", "garbage:1:2:3", "late-reply:1:1:-5"}) {
        p.start(DCPEVAL_SIM_BINARY, {"--listen", "/nonexistent/x", "--fault", fault});
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << fault;
        EXPECT_TRUE(p.readAllStandardError().contains("--fault")) << fault;
    }
}

// --slow MS: every reply MS ms late, in order; a client that reads nothing is kept 63
// replies, the newer ones are dropped.
TEST(SimSocket, ASlowBoardAnswersLateAndKeeps63UnreadReplies)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("board.sock");
    QProcess server;
    ASSERT_TRUE(startSimServer(server, path, {"--slow", "30"}));
    auto transport = platform::makeSocketTransport(path);
    QString error;
    auto c = transport->open({"unix:" + path, transport.get()}, &error);
    ASSERT_TRUE(c) << error.toStdString();
    platform::Report in{};
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(c->write(report({1, 0x00})));
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_GE(t.elapsed(), 29);
    EXPECT_EQ(hex(in), hex(report({1, 0, 2, 5, 0x07, 0xDA, 3, 15})));

    for (int i = 0; i < 80; ++i)
        ASSERT_TRUE(c->write(report({1, 0x12, 0, 0x80, i})));
    ASSERT_TRUE(c->write(report({1, 0x12, 1, 0x80}))); // the 82nd reply, dropped too
    QThread::msleep(400);
    int unread = 0;
    while (c->read(in, 100) == ReadResult::Report)
        ++unread;
    EXPECT_EQ(unread, platform::kHidrawInputReports);
    ASSERT_TRUE(c->write(report({1, 0x12, 1, 0x80})));
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(in[3], 79); // every set reached the board all the same
    server.terminate();
    server.waitForFinished(5000);
}

// Faults armed from the command line: from the N-th request, for M requests.
TEST(SimSocket, FaultsArmedFromTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("board.sock");
    QProcess server;
    ASSERT_TRUE(startSimServer(server, path, {"--fault", "no-reply:2:2", "--fault", "fail-write:5", "--fault",
                                              "garbage:6"}));
    auto transport = platform::makeSocketTransport(path);
    QString error;
    auto c = transport->open({"unix:" + path, transport.get()}, &error);
    ASSERT_TRUE(c) << error.toStdString();
    platform::Report in{};
    const auto ask = [&] { return c->write(report({1, 0x00})) && c->read(in, 300) == ReadResult::Report; };
    EXPECT_TRUE(ask());  // 1
    EXPECT_FALSE(ask()); // 2: no reply
    EXPECT_FALSE(ask()); // 3: no reply
    EXPECT_TRUE(ask());  // 4
    EXPECT_FALSE(ask()); // 5: refused by the board; over a socket that goes unanswered
    ASSERT_TRUE(ask());  // 6: garbage
    EXPECT_NE(hex(in), hex(report({1, 0, 2, 5, 0x07, 0xDA, 3, 15})));
    ASSERT_TRUE(ask());  // 7
    EXPECT_EQ(hex(in), hex(report({1, 0, 2, 5, 0x07, 0xDA, 3, 15})));
    server.terminate();
    server.waitForFinished(5000);
}

} // namespace
