#include "app/options.h"

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
    const char* bad[][2] = {{"--board", "tcp:host"}, {"--vid", "xyz"}, {"--vid", "0x12345"}, {"--simulate=0", nullptr},
                            {"--frobnicate", nullptr}, {"--data-dir", nullptr}};
    for (const auto& b : bad) {
        QStringList args{"dcpeval", b[0]};
        if (b[1])
            args << b[1];
        EXPECT_FALSE(parseCommandLine(args).error.isEmpty()) << b[0];
    }
}
