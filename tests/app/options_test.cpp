#include "app/options.h"
#include "sim/parts.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

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
    const QStringList bad[] = {{"--board", "tcp:host"}, {"--vid", "xyz"}, {"--vid", "0x12345"}, {"--simulate=0"},
                               {"--frobnicate"}, {"--data-dir"}, {"-frobnicate"}, {"simulate"}, {"-platform"},
                               {"--simulate", "-style"}};
    for (const auto& b : bad)
        EXPECT_FALSE(parseCommandLine(QStringList{"dcpeval"} + b).error.isEmpty()) << b.join(' ').toStdString();
}

// Qt reads its own options when it starts; the program takes them in either spelling and
// notes the platform and display that decide whether a window system is needed.
TEST(CommandLine, QtsOptionsAreLeftToQt)
{
    const struct {
        QStringList args;
        QString platform;
        bool display;
    } cases[] = {
        {{"-platform", "offscreen"}, "offscreen", false},
        {{"--platform", "offscreen"}, "offscreen", false},
        {{"-platform", "xcb", "-display", ":1"}, "xcb", true},
        {{"-style=fusion", "-reverse", "--style", "fusion", "-qwindowtitle", "--simulate"}, "", false},
    };
    for (const auto& c : cases) {
        const CommandLine cl = parseCommandLine(QStringList{"dcpeval", "--simulate"} + c.args);
        EXPECT_EQ(cl.error, QString()) << c.args.join(' ').toStdString();
        EXPECT_TRUE(cl.simulate);
        EXPECT_EQ(cl.qtPlatform, c.platform);
        EXPECT_EQ(cl.qtDisplay, c.display);
    }
}

// A part goes on the simulated board: without --simulate it is refused, not dropped while
// the search goes to USB or to the sockets.
TEST(CommandLine, APartNeedsTheSimulatedBoard)
{
    const struct {
        QStringList args;
        const char* error; // part of the message; null: taken
    } cases[] = {
        {{"--simulate", "--part", "K4736"}, nullptr},
        {{"--part=list"}, nullptr},
        {{"--part", "K4736"}, "add --simulate"},
        {{"--board", "unix:/tmp/b", "--part", "K4736"}, "a socket board's part is chosen with dcpeval-sim --part"},
        {{"--simulate=2", "--board", "unix:/tmp/b", "--part", "K4736"}, nullptr},
    };
    for (const auto& c : cases) {
        const CommandLine cl = parseCommandLine(QStringList{"dcpeval"} + c.args);
        if (c.error)
            EXPECT_TRUE(cl.error.contains(c.error)) << c.args.join(' ').toStdString() << ": " << cl.error.toStdString();
        else
            EXPECT_EQ(cl.error, QString()) << c.args.join(' ').toStdString();
    }
}

TEST(CommandLine, WhenTheWindowsHaveNoDisplay)
{
    const struct {
        QStringList args;
        const char *display, *wayland, *qpa;
        bool missing;
    } cases[] = {
        {{}, "", "", "", true},
        {{}, ":0", "", "", false},
        {{}, "", "wayland-0", "", false},
        {{}, "", "", "offscreen", false},
        {{}, "", "", "xcb", true},
        {{}, "", "", "wayland;xcb", true},
        {{}, "", "", "xcb;offscreen", false},
        {{"-platform", "offscreen"}, "", "", "xcb", false},
        {{"-platform", "xcb:nograb"}, "", "", "offscreen", true},
        {{"-display", ":1"}, "", "", "", false},
        {{"-platform", "vnc"}, "", "", "", false},
    };
    for (const auto& c : cases) {
        const CommandLine cl = parseCommandLine(QStringList{"dcpeval"} + c.args);
        EXPECT_EQ(!missingDisplay(cl, c.display, c.wayland, c.qpa).isEmpty(), c.missing)
            << c.args.join(' ').toStdString() << " DISPLAY=" << c.display << " WAYLAND_DISPLAY=" << c.wayland
            << " QT_QPA_PLATFORM=" << c.qpa;
    }
}

namespace {

struct Ran {
    int exitCode;
    QString out, err;
};

// The program with no display at all: no X, no Wayland, no Qt platform chosen.
Ran runWithoutDisplay(const char* program, const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {-1, {}, "did not end"};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

// Help, the part list and every refusal answer on a terminal without a display; a start that
// needs windows says how to get one, in one line, with its own exit status.
TEST(CommandLine, AnswersWithoutADisplay)
{
    const struct {
        QStringList args;
        int exitCode;
        QString out, err; // parts of what is printed
    } cases[] = {
        {{"--help"}, 0, "Exit status:", ""},
        {{"--part", "list"}, 0, "I2C > Device Select > ZN3710", ""},
        {{"--simulate", "--part", "bogus"}, 2, "", "no simulated part \"bogus\""},
        {{"--part", "K4736"}, 2, "", "add --simulate"},
        {{"--board", "unix:/tmp/b", "--part", "K4736"}, 2, "", "dcpeval-sim --part"},
        {{"--bogus"}, 2, "", "unknown option --bogus"},
        {{"--simulate"}, 3, "", "scripts/run, under xvfb-run (xvfb-run -a dcpeval ...) or with -platform offscreen"},
        {{"--simulate", "-platform", "xcb"}, 3, "", "scripts/run"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Ran r = runWithoutDisplay(DCPEVAL_BINARY, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.out)) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        if (c.exitCode == 3) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
}

// Both programs print the one part table: each part with the way to its window.
TEST(CommandLine, PartListOfBothPrograms)
{
    for (const char* program : {DCPEVAL_BINARY, DCPEVAL_SIM_BINARY}) {
        SCOPED_TRACE(program);
        const Ran list = runWithoutDisplay(program, {"--part", "list"});
        EXPECT_EQ(list.exitCode, 0);
        EXPECT_EQ(list.out.toStdString(), sim::simPartList());
        for (const char* text : {"I2C > Device Select > ZN3750", "SPI > Device Select > ZN3930", "(default)",
                                 "examples/i2c_parameters.csv > row K4744 > Return"})
            EXPECT_TRUE(list.out.contains(text)) << text << "\n" << list.out.toStdString();
        const bool sim = QString(program) == DCPEVAL_SIM_BINARY;
        const Ran bad = runWithoutDisplay(program, sim ? QStringList{"--part", "nope", "--listen", "/nonexistent/x"}
                                                       : QStringList{"--simulate", "--part", "nope"});
        EXPECT_EQ(bad.exitCode, 2);
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
