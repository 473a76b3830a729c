// The bridge console as a whole: its load over the board, the board list, the LEDs, the
// firmware version and how it ends the program.
#include "bridge/frmMainF340.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace platform;

class ConsoleTest : public BoardFixture {};

TEST_F(ConsoleTest, LoadOpensTheLinkAndReadsTheBoardBackInOrder)
{
    console();
    ASSERT_EQ(BoardCount(), 1);
    // The first reports after the search: LEDs, SMBus clock, I2C options, SPI mode, then
    // the GPIO registers; the load ends with the ADC multiplexer.
    std::vector<std::uint8_t> commands;
    for (const auto& rq : board(0).transcript.requests())
        if (commands.empty() || commands.back() != rq[1])
            commands.push_back(rq[1]);
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands[0], 0x01);
    EXPECT_EQ(commands[1], 0x05);
    EXPECT_EQ(commands[2], 0x04);
    EXPECT_EQ(commands[3], 0x07);
    EXPECT_EQ(console().windowTitle(), "HID Firmware Basic I/O ");
    EXPECT_FALSE(console().isVisible()); // loaded hidden
}

TEST_F(ConsoleTest, TwoBoardsTheListSwitchesBetweenThem)
{
    useBoards(2);
    board(1).leds = 0x02;
    auto& f = console();
    ASSERT_EQ(f.cboEVBinstance->count(), 2);
    EXPECT_EQ(f.cboEVBinstance->itemText(0), "0");
    EXPECT_EQ(f.cboEVBinstance->itemText(1), "1");
    EXPECT_FALSE(f.chkLED[1]->isChecked());

    board(1).transcript.clear();
    f.cboEVBinstance->setCurrentIndex(1);
    EXPECT_EQ(SelectedBoard(), 1);
    EXPECT_TRUE(f.chkLED[1]->isChecked());
    EXPECT_FALSE(board(1).transcript.requests(0x05).empty()); // its clocks were read back

    board(0).transcript.clear();
    f.cmdFirmwareVersion_Click();
    EXPECT_TRUE(board(0).transcript.requests().empty());
    EXPECT_EQ(board(1).transcript.requests(0x00).size(), 1u);
}

TEST_F(ConsoleTest, RedLedAloneIsShownAndStaysOn)
{
    board(0).leds = 0x02;
    auto& f = console();
    EXPECT_TRUE(f.chkLED[1]->isChecked());
    EXPECT_FALSE(f.chkLED[0]->isChecked());
    EXPECT_EQ(board(0).leds, 0x02);
}

TEST_F(ConsoleTest, BothLedsOnComeBackWithoutSwitchingEitherOff)
{
    board(0).leds = 0x03;
    auto& f = console();
    EXPECT_TRUE(f.chkLED[0]->isChecked());
    EXPECT_TRUE(f.chkLED[1]->isChecked());
    EXPECT_EQ(board(0).leds, 0x03);
}

// Each box the read-back changes runs its own handler, which sends both boxes as they stand
// then: with both LEDs on, the green box's send still carries the old red bit.
TEST_F(ConsoleTest, LedReadBackSendsEachChangedBoxInTurn)
{
    struct Case {
        std::uint8_t leds;
        std::vector<std::uint8_t> sent;
    };
    const Case cases[] = {{0x00, {}}, {0x01, {1}}, {0x02, {2}}, {0x03, {1, 3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.leds);
        board(0).leds = c.leds;
        auto& f = console();
        std::vector<std::uint8_t> sent;
        for (const auto& rq : board(0).transcript.requests(0x01))
            if (rq[2] == 0)
                sent.push_back(rq[3]);
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(f.chkLED[0]->isChecked(), (c.leds & 1) != 0);
        EXPECT_EQ(f.chkLED[1]->isChecked(), (c.leds & 2) != 0);
        EXPECT_EQ(board(0).leds, c.leds);
        forms().destroyAll();
        CloseHidHandles();
        board(0).transcript.clear();
    }
}

TEST_F(ConsoleTest, ClickingGreenWithRedCheckedSendsBoth)
{
    auto& f = console();
    f.chkLED[1]->setChecked(true);
    board(0).transcript.clear();
    f.chkLED[0]->setChecked(true);
    const auto rq = board(0).transcript.lastRequest(0x01);
    ASSERT_TRUE(rq);
    EXPECT_EQ((*rq)[2], 0);
    EXPECT_EQ((*rq)[3], 3);
    EXPECT_EQ(board(0).leds, 3);
}

TEST_F(ConsoleTest, FirmwareVersionTextAndATimeOutThatKeepsIt)
{
    board(0).firmware = {2, 5, 2010, 3, 15};
    auto& f = console();
    f.cmdFirmwareVersion_Click();
    EXPECT_EQ(f.lblFirmwareVersion->text(), "Firmware Version 2.5 - 2010/March/15");
    EXPECT_EQ(f.txtFirmwareVersion->text(), f.lblFirmwareVersion->text());

    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    f.cmdFirmwareVersion_Click();
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});
    EXPECT_EQ(f.lblFirmwareVersion->text(), "Firmware Version 2.5 - 2010/March/15");
}

TEST_F(ConsoleTest, TheWaysOutEndTheProgramAndCloseTheLink)
{
    using Way = void (*)(frmMainF340&);
    const Way ways[] = {
        [](frmMainF340& f) { f.close(); },
        [](frmMainF340& f) { f.cmdQuit_Click(); },
        [](frmMainF340& f) { f.mnuExit->trigger(); },
    };
    for (Way way : ways) {
        console().show();
        EXPECT_TRUE(ends([&] { way(console()); }));
        EXPECT_EQ(g_WriteHandle, -1);
        forms().destroyAll();
    }
}

TEST_F(ConsoleTest, CancelInALinkDialogEndsTheProgram)
{
    console();
    board(0).failNextWrites(1);
    svc.answer(vbCancel);
    EXPECT_TRUE(ends([&] { console().cmdFirmwareVersion_Click(); }));
    EXPECT_TRUE(svc.ended);
}

TEST_F(ConsoleTest, NoBoardAtLoadAsksUntilOneIsPluggedIn)
{
    board(0).unplug();
    svc.onBox = [&](const QString& text, int) {
        EXPECT_EQ(text, notFoundText());
        board(0).replug();
        return vbRetry;
    };
    auto& f = console();
    EXPECT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(f.cboEVBinstance->count(), 1);
}

TEST_F(ConsoleTest, ReconnectAfterReplugShowsTheBoardAgain)
{
    auto& f = console();
    board(0).unplug();
    board(0).replug();
    board(0).leds = 0x01;
    f.cmdReconnect_Click();
    EXPECT_TRUE(f.chkLED[0]->isChecked());
    EXPECT_EQ(SelectedBoard(), 0);
}

// Retry after a link error goes on with the board the user picked; Reconnect starts again
// at board 0.
TEST_F(ConsoleTest, RetryKeepsThePickedBoardReconnectReturnsToBoardZero)
{
    useBoards(2);
    auto& f = console();
    f.cboEVBinstance->setCurrentIndex(1);
    ASSERT_EQ(SelectedBoard(), 1);

    board(1).dropNextReplies(1);
    svc.answer(vbRetry);
    f.cmdFirmwareVersion_Click();
    EXPECT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(SelectedBoard(), 1);
    EXPECT_EQ(f.cboEVBinstance->currentText(), "1");

    board(0).transcript.clear();
    f.cmdReconnect_Click();
    EXPECT_EQ(SelectedBoard(), 0);
    EXPECT_EQ(f.cboEVBinstance->currentText(), "0");
    EXPECT_FALSE(board(0).transcript.requests(0x01).empty()); // board 0's state was read back
}

TEST_F(ConsoleTest, ShowDcpMotherboardShowsTheMotherboardWindow)
{
    auto& f = console();
    f.cmdHoswMother->click();
    ASSERT_TRUE(forms().frmMotherboardDAQ2.loaded());
    EXPECT_TRUE(forms().frmMotherboardDAQ2().isVisible());
}

// Replies full of noise (a confused bridge, a board of another kind) must not bring the
// console down: every read-back and query takes whatever bytes come and goes on.
TEST_F(ConsoleTest, GarbageRepliesNeverCrashTheConsole)
{
    for (std::uint32_t seed : {1u, 7u, 42u}) {
        SCOPED_TRACE(seed);
        board(0).garbleNextReplies(100000, seed);
        svc.onBox = [](const QString&, int buttons) {
            return buttons == vbYesNo ? vbNo : buttons == vbRetryCancel ? vbRetry : vbOK;
        };
        auto& f = console();
        f.cmdFirmwareVersion_Click();
        f.cmdReconnect_Click();
        f.cmdRead_Click();
        f.cmdReadSKF_Click();
        f.cmdADCRDData_Click();
        f.cboSPIclock_init();
        f.getGPvalue();
        EXPECT_FALSE(svc.ended);
        forms().destroyAll();
        svc.onBox = nullptr;
        board(0).clearFaults();
    }
}
