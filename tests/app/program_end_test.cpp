// Every end of the program as a user meets it, over the simulated board, with the exit status
// a script or a desktop launcher reads: a quit is 0, each Cancel that ends the program its own.
#include "bridge/frmMainF340.h"
#include "devices/frmDCP_User1.h"
#include "link/hid.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "support/board_fixture.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <cctype>
#include <functional>
#include <string>

namespace {

struct End {
    const char* how;
    // Everything up to the end; the dialogs it meets are answered Cancel.
    std::function<void(BoardFixture& f, sim::SimBoard& board)> act;
    int exitCode;
    const char* dialog = ""; // the start of the dialog answered Cancel; "": none
};

void PrintTo(const End& e, std::ostream* os) { *os << e.how; }

void pickI2C() { forms().frmStartup().cboDCPSelect->setCurrentIndex(2); }

class ProgramEnd : public BoardFixture, public ::testing::WithParamInterface<End> {
public:
    static frmMainF340& consoleOf() { return forms().frmMainF340(); }
};

} // namespace

TEST_P(ProgramEnd, EndsWithItsExitCode)
{
    const End& e = GetParam();
    forms().frmStartup.show();
    svc.onBox = [](const QString&, int) { return platform::vbCancel; };
    EXPECT_TRUE(ends([&] { e.act(*this, board()); })) << e.how;
    EXPECT_EQ(svc.exitCode, e.exitCode) << e.how;
    if (*e.dialog) {
        ASSERT_FALSE(svc.boxes.empty());
        EXPECT_TRUE(svc.boxes.back().text.startsWith(e.dialog)) << svc.boxes.back().text.toStdString();
    } else {
        EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
    }
    EXPECT_EQ(g_WriteHandle, -1) << "the link is closed on the way out";
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayOut, ProgramEnd,
    ::testing::Values(
        End{"the menu's close box", [](BoardFixture&, sim::SimBoard&) { forms().frmStartup().close(); },
            platform::kExitQuit},
        End{"Quit in the bridge console",
            [](BoardFixture&, sim::SimBoard&) {
                pickI2C();
                ProgramEnd::consoleOf().cmdQuit_Click();
            },
            platform::kExitQuit},
        End{"the device window's close box",
            [](BoardFixture&, sim::SimBoard&) {
                pickI2C();
                forms().frmDCP_User1().close();
            },
            platform::kExitQuit},
        End{"Cancel in the checkStatus dialog",
            [](BoardFixture&, sim::SimBoard& board) {
                pickI2C();
                board.failNextWrites(1);
                ProgramEnd::consoleOf().cmdFirmwareVersion_Click();
            },
            platform::kExitLinkCancel, "Please check USB connection.\r\ncheckStatus"},
        End{"Cancel in the ReadFile dialog",
            [](BoardFixture&, sim::SimBoard& board) {
                pickI2C();
                board.dropNextReplies(1);
                ProgramEnd::consoleOf().cmdRead_Click();
            },
            platform::kExitLinkCancel, "Please check USB connection.ReadFile error."},
        End{"Cancel in the not-acknowledged dialog",
            [](BoardFixture&, sim::SimBoard&) {
                pickI2C();
                g_I2CAddress = 0x90; // nobody there
                ProgramEnd::consoleOf().cmdRead_Click();
            },
            platform::kExitNakCancel, "Invalid I2C address."},
        End{"Cancel in the not-found dialog",
            [](BoardFixture&, sim::SimBoard& board) {
                board.unplug();
                pickI2C();
            },
            platform::kExitNotFoundCancel, "Please check USB connection.\r\nDCP_HID  Evaluation Board"}),
    [](const ::testing::TestParamInfo<End>& info) {
        // "Cancel in the ReadFile dialog" -> CancelInTheReadFileDialog
        std::string name;
        bool upper = true;
        for (const char* c = info.param.how; *c; ++c) {
            if (*c == '\'')
                continue; // "menu's" -> "Menus"
            if (!std::isalnum(static_cast<unsigned char>(*c))) {
                upper = true;
                continue;
            }
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
            upper = false;
        }
        return name;
    });

// The not-found dialog keeps its text; the terminal learns where the search looked (the USB
// IDs, the sockets and why each one failed) and that the simulated board needs no hardware.
class NotFound : public BoardFixture {};

TEST_F(NotFound, TellsTheTerminalWhereTheSearchLooked)
{
    QTemporaryDir dir;
    const QString socket = dir.filePath("board0");
    platform::setTransports({platform::makeSocketTransport(socket), platform::makeHidTransport()});
    svc.answer(platform::vbRetry);
    svc.answer(platform::vbCancel);
    EXPECT_TRUE(ends([] { InitHidConnection(); }));
    EXPECT_EQ(svc.boxTexts(), (QStringList{notFoundText(), notFoundText()}));
    ASSERT_EQ(svc.terminalLines.size(), 2) << "one line for each search that found nothing";
    const QString& line = svc.terminalLines[0];
    for (const QString& part : {"the socket " + socket + " (No such file or directory)",
                                QString("vendor ID 0x10C4 and product ID 0x2034"), QString("--simulate")})
        EXPECT_TRUE(line.contains(part)) << line.toStdString() << "\nlacks " << part.toStdString();
    EXPECT_EQ(svc.exitCode, platform::kExitNotFoundCancel) << "no console yet: the link ends the program itself";
}
