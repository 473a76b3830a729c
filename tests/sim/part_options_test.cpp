// `--part NAME:OPTION=VALUE,...`: the one reader both programs use, and the served board
// carrying what it was given.
#include "sim_test_util.h"

#include "platform/transport.h"
#include "sim/parts.h"
#include "support/sim_server.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

using simtest::report;

TEST(PartOptions, ReadsThePartAndItsSettings)
{
    struct Case {
        const char* text;
        const char* part;
        sim::PartSettings settings;
    };
    const Case cases[] = {
        {"updown", "updown", {}},
        {"UPDOWN:Store-Fails-After=20,noise-mv=5", "updown", {{"store-fails-after", 20}, {"noise-mv", 5}}},
        {"updown:noise-mv=0.5", "updown", {{"noise-mv", 0.5}}},
        {"updown:positions=100,start=99,stuck-at=0,noise-seed=4294967295", "updown",
         {{"positions", 100}, {"start", 99}, {"stuck-at", 0}, {"noise-seed", 4294967295.0}}},
        {"updown:store-fails-after=0", "updown", {{"store-fails-after", 0}}},
        {"zn3740", "ZN3740", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const auto choice = sim::parsePartChoice(c.text, &error);
        ASSERT_TRUE(choice) << error;
        EXPECT_STREQ(choice->part->name, c.part);
        EXPECT_EQ(choice->settings, c.settings);
    }
}

TEST(PartOptions, RefusesWhatItCannotUseAndNamesIt)
{
    struct Case {
        const char* text;
        const char* reason; // a part of the message
    };
    const Case cases[] = {
        {"nope", "no simulated part \"nope\"; these are known:\nZN3710"},
        {"nope:positions=5", "no simulated part \"nope\""},
        {"ZN3710:positions=5", "part ZN3710 takes no options"},
        {"updown:", "an empty option"},
        {"updown:positions=50,", "an empty option"},
        {"updown:speed=3", "part updown has no option \"speed\"; its options: positions, start, store-fails-after, "
                           "stuck-at, noise-mv, noise-seed"},
        {"updown:noise-mv", "updown option noise-mv wants a value: noise-mv=VALUE"},
        {"updown:noise-mv=", "noise-mv wants a number from 0 to 1000, not \"\""},
        {"updown:noise-mv=abc", "noise-mv wants a number from 0 to 1000, not \"abc\""},
        {"updown:noise-mv=5x", "not \"5x\""},
        {"updown:noise-mv= 5", "not \" 5\""},
        {"updown:noise-mv=-1", "not \"-1\""},
        {"updown:noise-mv=nan", "not \"nan\""},
        {"updown:positions=1", "positions wants a whole number from 2 to 32767, not \"1\""},
        {"updown:positions=32768", "not \"32768\""},
        {"updown:positions=50.5", "not \"50.5\""},
        {"updown:store-fails-after=-1", "store-fails-after wants a whole number from 0 to 2147483647"},
        {"updown:noise-seed=4294967296", "noise-seed wants a whole number from 0 to 4294967295"},
        {"updown:store-fails-after=20,store-fails-after=30", "updown option store-fails-after is given twice"},
        {"updown:start=101", "updown option start wants a position from 0 to 100"},
        {"updown:stuck-at=50,positions=50", "updown option stuck-at wants a position from 0 to 49"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_FALSE(sim::parsePartChoice(c.text, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

// Both programs take the options, say what is wrong with a bad one, and list them.
TEST(PartOptions, BothProgramsTakeThemAndListThem)
{
    for (const char* program : {DCPEVAL_BINARY, DCPEVAL_SIM_BINARY}) {
        SCOPED_TRACE(program);
        QProcess list;
        list.start(program, {"--part", "list"});
        ASSERT_TRUE(list.waitForFinished(30000));
        const QString out = QString::fromUtf8(list.readAllStandardOutput());
        for (const char* option : {"updown:store-fails-after=N", "updown:noise-mv=N", "updown:stuck-at=N"})
            EXPECT_TRUE(out.contains(option)) << option << "\n" << out.toStdString();

        const bool isSim = QString(program) == DCPEVAL_SIM_BINARY;
        const QStringList where = isSim ? QStringList{"--listen", "/nonexistent/x"} : QStringList{"--simulate"};
        QProcess bad;
        bad.start(program, where + QStringList{"--part", "updown:store-fails-after=x"});
        ASSERT_TRUE(bad.waitForFinished(30000));
        EXPECT_EQ(bad.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(bad.exitCode(), 2);
        const QString err = QString::fromUtf8(bad.readAllStandardError());
        EXPECT_TRUE(err.contains("--part updown:store-fails-after=x: updown option store-fails-after wants a whole "
                                 "number from 0 to 2147483647, not \"x\""))
            << err.toStdString();
    }
}

// dcpeval-sim serves the up/down part with the settings it was given: a 51-position part whose
// wiper is stuck at 30 reads 30/50 of VCC on VIN0 (a fresh chip's counter stands at 50).
TEST(PartOptions, TheServedBoardCarriesThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("updown.sock");
    QProcess server;
    ASSERT_TRUE(startSimServer(server, path, {"--part", "updown:positions=51,stuck-at=30"}));

    auto transport = platform::makeSocketTransport(path);
    const auto boards = transport->enumerate(0, 0x2034);
    ASSERT_EQ(boards.size(), 1u);
    QString error;
    auto link = transport->open(boards[0], &error);
    ASSERT_TRUE(link) << error.toStdString();
    platform::Report in{};
    const auto exchange = [&](const platform::Report& rq) {
        ASSERT_TRUE(link->write(rq));
        ASSERT_EQ(link->read(in, 6000), platform::ReadResult::Report);
    };
    exchange(report({1, 0x0C, 0, 0x06, 0x1F})); // VIN0
    exchange(report({1, 0x11, 0, 0}));
    const double vcc = 1.254 + 0.03286 * 0x3F; // VCC on at power-up, supply at mid-scale
    EXPECT_EQ(in[2] << 8 | in[3], std::lround(vcc * 30 / 50 / 2 / 3.3 * 1023));

    server.terminate();
    ASSERT_TRUE(server.waitForFinished(5000));
}
