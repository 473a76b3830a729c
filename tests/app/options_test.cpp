#include "app/options.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <QProcess>

TEST(CommandLine, ReadsTheProgramsOptions)
{
    const CommandLine cl = parseCommandLine({"dcpeval", "--simulate=2", "--board", "unix:/tmp/a", "--board=unix:/tmp/b",
                                             "--vid", "0x1234", "--data-dir=/tmp/d"});
    EXPECT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_TRUE(cl.simulate);
    EXPECT_EQ(cl.simulatedBoards, 2);
    EXPECT_EQ(cl.boardSockets, (QStringList{"/tmp/a", "/tmp/b"}));
    EXPECT_EQ(cl.vendorId.value_or(0), 0x1234);
    EXPECT_EQ(cl.dataDir, "/tmp/d");
}

TEST(CommandLine, BadOptionsAreToldNotGuessed)
{
    const char* bad[][2] = {{"--board", "tcp:host"}, {"--vid", "xyz"}, {"--vid", "0x12345"}, {"--simulate=0", nullptr},
                            {"--frobnicate", nullptr}, {"--data-dir", nullptr}};
    for (const auto& b : bad) {
        QStringList args{"dcpeval", b[0]};
        if (b[1])
            args << b[1];
        EXPECT_FALSE(parseCommandLine(args).error.isEmpty()) << b[0];
    }
}

// Both programs name the simulated parts with their picks, and refuse a part they do not know.
TEST(CommandLine, PartListOfBothPrograms)
{
    EXPECT_EQ(parseCommandLine({"dcpeval", "--simulate", "--part", "ZN3740"}).part, "ZN3740");
    for (const char* program : {DCPEVAL_BINARY, DCPEVAL_SIM_BINARY}) {
        SCOPED_TRACE(program);
        QProcess list;
        list.start(program, {"--part", "list"});
        ASSERT_TRUE(list.waitForFinished(30000));
        EXPECT_EQ(list.exitCode(), 0);
        const QString out = QString::fromUtf8(list.readAllStandardOutput());
        for (const char* text : {"ZN3710", "ZN3740", "ZN3750", "ZN3810", "I2C > Device Select > ZN3750", "(default)"})
            EXPECT_TRUE(out.contains(text)) << text << "\n" << out.toStdString();
        QProcess bad;
        const bool sim = QString(program) == DCPEVAL_SIM_BINARY;
        bad.start(program, sim ? QStringList{"--part", "nope", "--listen", "/nonexistent/x"}
                               : QStringList{"--simulate", "--part", "nope"});
        ASSERT_TRUE(bad.waitForFinished(30000));
        EXPECT_EQ(bad.exitCode(), 2);
    }
}

// scripts/run keeps the simulated board unless the arguments choose the boards themselves;
// its own --usb searches USB instead and is not passed on.
TEST(RunScript, KeepsTheSimulatedBoardUnlessTheArgumentsChoose)
{
    // Not beside __FILE__: the compiler may name it relative to the build tree, not to the
    // directory the test runs in.
    const QString script = QStringLiteral(DCPEVAL_SOURCE_DIR "/scripts/run");
    const struct {
        QStringList args;
        QStringList passed;
    } cases[] = {
        {{}, {"--simulate"}},
        {{"--data-dir", "/tmp/d"}, {"--simulate", "--data-dir", "/tmp/d"}},
        {{"--simulate=2"}, {"--simulate=2"}},
        {{"--board", "unix:/tmp/b"}, {"--board", "unix:/tmp/b"}},
        {{"--board=unix:/tmp/b"}, {"--board=unix:/tmp/b"}},
        {{"--usb"}, {}},
        {{"--usb", "--data-dir", "/tmp/d"}, {"--data-dir", "/tmp/d"}},
    };
    for (const auto& c : cases) {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DCPEVAL_RUN_SHOW", "1");
        run.setProcessEnvironment(env);
        run.start(script, c.args);
        ASSERT_TRUE(run.waitForFinished(10000)) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
        EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts), c.passed) << c.args.join(' ').toStdString();
    }
}
