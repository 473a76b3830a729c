// The board link end to end over simulated boards: search, selection, the three exchange
// kinds, the link dialogs and their Retry/Cancel recovery.
#include "bridge/exchange.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "shell/activeform.h"
#include "shell/globals.h"
#include "support/board_fixture.h"
#include "support/sim_server.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <array>
#include <functional>
#include <thread>

using namespace platform;

namespace {

const QString kCheckStatus = "Please check USB connection.\r\ncheckStatus";
const QString kInvalidAddress =
    "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel to close GUI.";

struct WindowWithLamp : DeviceFormControls {
    Lamp lamp;
    Lamp* ShpAttach() override { return &lamp; }
};

// A firmware-version query through the generic sender.
bridge::ExchangeResult askFirmware() { return bridge::exchange(bridge::kFirmwareVersion, 0); }

} // namespace

class LinkTest : public BoardFixture {
protected:
    // A board 3 ms slow whose set answers carry their command code, with register 10 of the
    // I2C device at 50 holding 5A; searched.
    void searchSlowBoard()
    {
        auto dev = std::make_shared<sim::RegisterBankDevice>();
        dev->setReg(0x10, 0x5A);
        board(0).attachI2C(0x28, dev);
        board(0).replyDelayMs = 3;
        board(0).setAnswersCarryCode = true;
        InitHidConnection();
    }
};

TEST_F(LinkTest, NotFoundTextHasTwoBlanksBeforeEvaluation)
{
    EXPECT_EQ(notFoundText(), "Please check USB connection.\r\nDCP_HID  Evaluation Board (PID &H2034) not found.");
}

TEST_F(LinkTest, TwoBoardsAreListedAndSelectionRedirectsReports)
{
    useBoards(2);
    InitHidConnection();
    ASSERT_EQ(g_WriteHandles.size(), 2u);
    EXPECT_EQ(BoardCount(), 2);
    EXPECT_EQ(SelectedBoard(), 0);
    EXPECT_TRUE(g_BoardPresent);
    EXPECT_EQ(g_MsgResult, 1);

    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(board(0).transcript.requests(0x00).size(), 1u);

    board(1).firmware.major = 7;
    SelectBoard(1);
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[2], 7);
    EXPECT_EQ(board(0).transcript.requests(0x00).size(), 1u);
    EXPECT_EQ(board(1).transcript.requests(0x00).size(), 1u);
}

TEST_F(LinkTest, NoBoardRepeatsTheDialogUntilABoardIsPluggedIn)
{
    board(0).unplug();
    int shown = 0;
    svc.onBox = [&](const QString& text, int buttons) {
        EXPECT_EQ(text, notFoundText());
        EXPECT_EQ(buttons, vbRetryCancel);
        if (++shown == 2)
            board(0).replug(); // plugged in while the second dialog is up
        return vbRetry;
    };
    InitHidConnection();
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(g_BoardPresent);
    EXPECT_EQ(g_MsgResult, 1);
    EXPECT_TRUE(askFirmware().replied);
}

TEST_F(LinkTest, CancelInTheNotFoundDialogEndsTheProgram)
{
    board(0).unplug();
    svc.answer(vbCancel);
    EXPECT_TRUE(ends([] { InitHidConnection(); }));
    EXPECT_FALSE(g_BoardPresent);
    EXPECT_EQ(g_WriteHandle, -1);
}

TEST_F(LinkTest, QueryTimeOutShowsCheckStatusAndLeavesClearedBuffer)
{
    InitHidConnection();
    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    const auto r = bridge::exchange(bridge::kLeds, bridge::kGet);
    EXPECT_FALSE(r.replied);
    EXPECT_EQ(r.status, kStatusNoReply);
    ASSERT_EQ(svc.boxTexts(), QStringList{kCheckStatus});
    EXPECT_EQ(svc.monoMs >= kReplyWaitMs, true);
    // Retry searched again: the board is open and answers.
    EXPECT_TRUE(askFirmware().replied);
}

TEST_F(LinkTest, FailedGuardedWriteStopsTheQueryWithoutReading)
{
    InitHidConnection();
    board(0).failNextWrites(1);
    svc.answer(vbRetry);
    const std::int64_t before = svc.monoMs;
    const auto r = bridge::exchange(bridge::kLeds, bridge::kGet);
    EXPECT_EQ(r.status, kStatusDialog);
    EXPECT_FALSE(r.replied);
    EXPECT_EQ(svc.boxTexts(), QStringList{kCheckStatus});
    EXPECT_LT(svc.monoMs - before, kReplyWaitMs); // no reply wait after a failed write
}

TEST_F(LinkTest, UnguardedSetWriteFailureGoesUnnoticed)
{
    InitHidConnection();
    board(0).failNextWrites(1);
    const auto r = bridge::exchange(bridge::kAdcMux, bridge::kSet, {0x0A, 0x1F});
    EXPECT_EQ(r.status, kStatusWriteFailed);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(LinkTest, NotAcknowledgedQuietAndLoud)
{
    InitHidConnection();
    std::array<std::uint8_t, 4> data{};
    const std::array<std::uint8_t, 1> reg{0x00};

    // Quiet (the address scan): no dialog.
    EXPECT_EQ(I2CReadRetry(0x20, 1, 1, data, reg, 1), kStatusDeviceError);
    EXPECT_EQ(g_BridgeStatus, kStatusDeviceError);
    EXPECT_TRUE(svc.boxes.empty());

    // Loud: the dialog; Retry returns to the caller without sending again.
    svc.answer(vbRetry);
    EXPECT_EQ(I2CWriteRetry(0x20, 1, 1, data, reg, 0), kStatusDeviceError);
    EXPECT_EQ(svc.boxTexts(), QStringList{kInvalidAddress});
    EXPECT_EQ(board(0).transcript.requests(0x06).size(), 2u);

    svc.answer(vbCancel);
    EXPECT_TRUE(ends([&] { I2CWriteRetry(0x20, 1, 1, data, reg, 0); }));
}

// A transfer too large for one report is refused before anything is built: its status,
// not the last transfer's, is what a caller finds in g_BridgeStatus.
TEST_F(LinkTest, RefusedTransfersLeaveTheirOwnStatus)
{
    InitHidConnection();
    std::array<std::uint8_t, 63> data{};
    const std::array<std::uint8_t, 1> reg{0x00};
    const struct {
        const char* what;
        std::function<int()> transfer;
    } cases[] = {
        {"read of 63", [&] { return I2CRead(0x50, 63, 1, data, reg); }},
        {"write of 59 with a register", [&] { return I2CWriteRetry(0x50, 59, 1, data, reg, 1); }},
        {"read of 0", [&] { return I2CReadRetry(0x50, 0, 0, data, reg, 1); }},
    };
    for (const auto& c : cases) {
        g_BridgeStatus = kStatusOk;
        EXPECT_EQ(c.transfer(), kStatusDeviceError) << c.what;
        EXPECT_EQ(g_BridgeStatus, kStatusDeviceError) << c.what;
    }
    EXPECT_TRUE(board(0).transcript.requests(0x06).empty());
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(LinkTest, I2CReplyTimeOutPaintsTheLinkLampAndRetrySendsAgain)
{
    board(0).attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    InitHidConnection();
    WindowWithLamp window;
    g_ActiveForm = &window;

    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    const std::array<std::uint8_t, 2> data{0x12, 0x34};
    const std::array<std::uint8_t, 1> reg{0x05};
    EXPECT_EQ(I2CWriteRetry(0x50, 2, 1, data, reg, 0), kStatusOk);
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.ReadFile error."});
    EXPECT_EQ(window.lamp.fillColor(), 12);
    EXPECT_NE(g_UsbCommError, 4);
    EXPECT_EQ(board(0).transcript.requests(0x06).size(), 2u);

    std::array<std::uint8_t, 2> back{};
    EXPECT_EQ(I2CReadRetry(0x50, 2, 1, back, reg, 0), kStatusOk);
    EXPECT_EQ(back, data);
    EXPECT_EQ(g_UsbCommError, 0);
}

TEST_F(LinkTest, I2CWriteFailureIsStatusFourWithTheWriteFileDialog)
{
    board(0).attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    InitHidConnection();
    std::array<std::uint8_t, 1> data{};
    const std::array<std::uint8_t, 1> reg{0};
    board(0).failNextWrites(1);
    EXPECT_EQ(I2CRead(0x50, 1, 1, data, reg), kStatusWriteFailed);
    EXPECT_EQ(g_UsbCommError, 4);

    board(0).failNextWrites(1);
    svc.answer(vbRetry);
    EXPECT_EQ(I2CReadRetry(0x50, 1, 1, data, reg, 0), kStatusOk);
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.WriteFile error."});
}

TEST_F(LinkTest, I2CRequestBytesAndWhatStaysBehindThem)
{
    auto dev = std::make_shared<sim::RegisterBankDevice>();
    board(0).attachI2C(0x28, dev);
    InitHidConnection();
    g_ReportBuffer.fill(0xEE); // what an earlier exchange left
    g_ReportBuffer[0] = 0;     // a fresh buffer's report number would fail the write

    const std::array<std::uint8_t, 2> regs{0x01, 0x02};
    const std::array<std::uint8_t, 3> data{0xA1, 0xA2, 0xA3};
    ASSERT_EQ(I2CWrite(0x50, 3, 2, data, regs), kStatusOk);
    const auto rq = *board(0).transcript.lastRequest(0x06);
    const std::array<std::uint8_t, 10> head{1, 0x06, 0x50, 3, 2, 0x01, 0x02, 0xA1, 0xA2, 0xA3};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), rq.begin()));
    EXPECT_EQ(rq[10], 0xEE); // not zeroed
    EXPECT_EQ(rq[63], 0xEE);

    std::array<std::uint8_t, 3> back{};
    const std::array<std::uint8_t, 1> reg{0x01};
    ASSERT_EQ(I2CRead(0x50, 3, 1, back, reg), kStatusOk);
    const auto read = *board(0).transcript.lastRequest(0x06);
    EXPECT_EQ(read[0], 1);
    EXPECT_EQ(read[2], 0x51); // the read address is the write address + 1
    EXPECT_EQ(read[3], 3);
    EXPECT_EQ(read[4], 1);
    EXPECT_EQ(read[5], 0x01);
}

// On a board 3 ms slow whose set answers carry their command code, every reply read is its
// own request's: the answers owed to the sets are collected first, by the drain where there
// is one and into a scratch buffer where there is none, which leaves the bytes an I2C
// transfer sends past its request as they were.
TEST_F(LinkTest, AnswersOwedToSetsAreCollectedBeforeAReplyIsRead)
{
    searchSlowBoard();
    const auto threeSets = [] {
        for (std::uint8_t v : {0x01, 0x02, 0x03})
            bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xA0, v});
        EXPECT_EQ(OwedAnswers(), 3);
    };

    threeSets(); // a query drains first
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[2], 2);
    EXPECT_EQ(g_ReportBuffer[3], 5);
    EXPECT_EQ(OwedAnswers(), 0);

    threeSets(); // an I2C read without a drain before it
    g_ReportBuffer.fill(0xEE);
    std::array<std::uint8_t, 1> read{};
    const std::array<std::uint8_t, 1> reg{0x10};
    ASSERT_EQ(I2CRead(0x50, 1, 1, read, reg), kStatusOk);
    EXPECT_EQ(read[0], 0x5A);
    const auto rq = *board(0).transcript.lastRequest(0x06);
    EXPECT_EQ(rq[6], 0xEE);
    EXPECT_EQ(rq[63], 0xEE);

    threeSets(); // an SPI transfer with read-back, sent without its drain
    const std::array<std::uint8_t, 2> bytes{0x9F, 0x00};
    ASSERT_TRUE(bridge::spiTransferSend(true, 0, 0, bytes).replied);
    EXPECT_EQ(g_ReportBuffer[2], 0xFF); // the supply potentiometer's bytes (P2.4 is low)
    EXPECT_EQ(g_ReportBuffer[3], 0xFF);
    EXPECT_EQ(OwedAnswers(), 0);
}

// A board that answers no sets costs one bounded wait after each search, not one per request.
TEST_F(LinkTest, ABoardThatAnswersNoSetsCostsOneWaitPerSearch)
{
    const auto unansweredSetThenQuery = [&] {
        board(0).dropNextReplies(1);
        bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xA0, 0x10});
        const std::int64_t before = svc.monoMs;
        EXPECT_TRUE(askFirmware().replied);
        EXPECT_EQ(g_ReportBuffer[2], 2);
        return svc.monoMs - before;
    };
    InitHidConnection();
    EXPECT_EQ(unansweredSetThenQuery(), kAnswerWaitMs + kDrainWaitMs);
    EXPECT_EQ(unansweredSetThenQuery(), kDrainWaitMs);
    EXPECT_EQ(unansweredSetThenQuery(), kDrainWaitMs);
    ReconnectHidConnection();
    EXPECT_EQ(unansweredSetThenQuery(), kAnswerWaitMs + kDrainWaitMs);
    EXPECT_EQ(unansweredSetThenQuery(), kDrainWaitMs);
}

// The count stops at what the input queue holds (the rest are lost on the way); a queue that
// was full costs one bounded wait, which tells that nothing more is on its way. A write the
// board refused owes nothing.
TEST_F(LinkTest, TheCountStopsAtTheInputQueueAndARefusedWriteOwesNothing)
{
    InitHidConnection();
    for (int i = 0; i < 100; ++i)
        bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xA0, std::uint8_t(i)});
    EXPECT_EQ(OwedAnswers(), kHidrawInputReports);
    std::int64_t before = svc.monoMs;
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[2], 2);
    EXPECT_EQ(svc.monoMs - before, kAnswerWaitMs + kDrainWaitMs);

    board(0).failNextWrites(1);
    EXPECT_EQ(bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xA0, 0x10}).status, kStatusWriteFailed);
    EXPECT_EQ(OwedAnswers(), 0);
    before = svc.monoMs;
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(svc.monoMs - before, kDrainWaitMs);
}

// More sets than the input queue holds, written while a 3 ms board answers them: the queue is
// full when the collection starts, but the answers to the last few sets are still on their
// way, and none of them may pass for the reply of the read that follows.
TEST_F(LinkTest, AnswersStillOnTheirWayWhenTheQueueWasFullAreCollectedToo)
{
    searchSlowBoard();
    for (int i = 0; i < 100; ++i) {
        bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xA0, std::uint8_t(i)});
        platform::sleepMs(1); // the line writes of a run-in step come about this far apart
    }
    std::array<std::uint8_t, 1> read{};
    const std::array<std::uint8_t, 1> reg{0x10};
    ASSERT_EQ(I2CRead(0x50, 1, 1, read, reg), kStatusOk);
    EXPECT_EQ(read[0], 0x5A);
    EXPECT_EQ(OwedAnswers(), 0);
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[2], 2);
}

TEST_F(LinkTest, RetrySelectsTheBoardThatWasSelected)
{
    useBoards(2);
    InitHidConnection();
    SelectBoard(1);
    board(1).dropNextReplies(1);
    svc.answer(vbRetry);
    askFirmware();
    EXPECT_EQ(SelectedBoard(), 1);

    // When that board is gone, board 0 it is.
    board(1).unplug();
    svc.answer(vbRetry);
    askFirmware();
    EXPECT_EQ(BoardCount(), 1);
    EXPECT_EQ(SelectedBoard(), 0);
}

// Board 1 stays plugged in but never answers: the Retry keeps it once, its read-back fails
// again, and the next search goes to board 0 instead of bringing the dialog back for ever.
TEST_F(LinkTest, RetryLeavesAKeptBoardThatStaysSilent)
{
    useBoards(2);
    console();
    SelectBoard(1);
    board(1).dropNextReplies(1000000);
    svc.onBox = [this](const QString&, int) { return svc.boxes.size() < 10 ? vbRetry : vbCancel; };
    EXPECT_FALSE(ends([] { askFirmware(); }));
    EXPECT_EQ(SelectedBoard(), 0);
    EXPECT_GE(svc.boxes.size(), 2u);
    EXPECT_TRUE(askFirmware().replied);
}

TEST_F(LinkTest, RetryInsideTheSelectionReadBackDoesNotNestSearches)
{
    int depth = 0, maxDepth = 0, selections = 0;
    linkHooks().boardListInit = [&](int preferred) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        SelectBoard(preferred);
        if (++selections == 1)
            board(0).dropNextReplies(1); // the first read-back meets a silent board
        askFirmware();
        --depth;
    };
    svc.answer(vbRetry);
    InitHidConnection();
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(selections, 2); // the asked-for search ran after the first one
    EXPECT_EQ(svc.boxTexts(), QStringList{kCheckStatus});
    EXPECT_FALSE(SearchPending());
}

// An I2C transfer inside the selection's read-back meets a board that went away: the Retry
// only asks for the search after the read-back, so the transfer gives up instead of meeting
// the dead board dialog after dialog; the search that follows finds the board again.
TEST_F(LinkTest, I2CRetryInsideTheSelectionReadBackGivesUpUntilTheSearch)
{
    int selections = 0, status = -1;
    linkHooks().boardListInit = [&](int preferred) {
        SelectBoard(preferred);
        if (++selections != 1)
            return;
        g_BridgeStatus = kStatusOk; // from an earlier transfer
        board(0).unplug();
        const std::array<std::uint8_t, 1> data{0x12}, reg{0x00};
        status = I2CWriteRetry(0x50, 1, 1, data, reg, 0);
    };
    svc.onBox = [&](const QString&, int) {
        board(0).replug();
        return svc.boxes.size() < 3 ? vbRetry : vbCancel;
    };
    EXPECT_FALSE(ends([] { InitHidConnection(); }));
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.WriteFile error."});
    EXPECT_EQ(status, kStatusWriteFailed);
    EXPECT_EQ(g_BridgeStatus, kStatusWriteFailed); // not the earlier 8
    EXPECT_EQ(selections, 2);
    EXPECT_TRUE(askFirmware().replied);
}

namespace {
// A board that never stops sending: the drain must end all the same.
struct ChattyConnection : BoardConnection {
    int reads = 0;
    bool write(const Report&) override { return true; }
    ReadResult read(Report& r, int) override
    {
        ++reads;
        r.fill(0x55);
        return ReadResult::Report;
    }
};
struct ChattyTransport : BoardTransport {
    ChattyConnection* last = nullptr;
    std::vector<BoardInfo> enumerate(std::uint16_t, std::uint16_t) override { return {{"chatty", nullptr}}; }
    std::unique_ptr<BoardConnection> open(const BoardInfo&, QString*) override
    {
        auto c = std::make_unique<ChattyConnection>();
        last = c.get();
        return c;
    }
};
} // namespace

TEST_F(LinkTest, DrainEndsOnABoardThatKeepsSending)
{
    auto chatty = std::make_shared<ChattyTransport>();
    setTransports({chatty});
    InitHidConnection();
    FlushHidInput();
    EXPECT_EQ(chatty->last->reads, kMaxDrainReports);
    EXPECT_EQ(g_ReportBuffer[5], 0x55);
}

TEST_F(LinkTest, PermissionDeniedIsToldAsSuch)
{
    struct Refusing : BoardTransport {
        std::vector<BoardInfo> enumerate(std::uint16_t, std::uint16_t) override { return {{"/dev/hidraw7", nullptr}}; }
        std::unique_ptr<BoardConnection> open(const BoardInfo&, QString* e) override
        {
            *e = "Permission denied";
            return nullptr;
        }
    };
    setTransports({std::make_shared<Refusing>()});
    svc.answer(vbOK);
    svc.answer(vbCancel);
    EXPECT_TRUE(ends([] { InitHidConnection(); }));
    ASSERT_EQ(svc.boxes.size(), 2u);
    EXPECT_TRUE(svc.boxes[0].text.contains("Permission denied"));
    EXPECT_TRUE(svc.boxes[0].text.contains("/dev/hidraw7"));
    EXPECT_EQ(svc.boxes[1].text, notFoundText());
}

// The link to a board that dcpeval-sim serves on a socket, on the real clock, with scripted
// dialogs.
class LinkSocket : public ::testing::Test {
protected:
    struct RealTime : TestServices {
        void sleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
        std::int64_t monotonicMs() override { return DesktopServices().monotonicMs(); }
    };
    void SetUp() override
    {
        resetSharedState();
        resetLinkHooks();
        setServices(&rt);
        setTransports({makeSocketTransport(path)});
    }
    void TearDown() override
    {
        CloseHidHandles();
        setTransports({});
        setServices(nullptr);
    }
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("board");
    RealTime rt;
};

// The board killed (unplugged) and started again (plugged back in): Retry recovers.
TEST_F(LinkSocket, SimulatorKilledAndRestartedRetryRecovers)
{
    auto start = [&](QProcess& p) { ASSERT_TRUE(startSimServer(p, path)); };
    QProcess server;
    start(server);
    InitHidConnection();
    ASSERT_EQ(BoardCount(), 1);
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[1], 0);
    EXPECT_EQ(g_ReportBuffer[2], 2); // the simulator's firmware 2.5
    EXPECT_EQ(g_ReportBuffer[3], 5);

    server.kill();
    server.waitForFinished();
    QFile::remove(path); // a killed server leaves its socket file behind
    QProcess again;
    rt.onBox = [&](const QString&, int) {
        if (again.state() == QProcess::NotRunning)
            start(again);
        return vbRetry;
    };
    askFirmware(); // the board is gone: the dialog, Retry finds the restarted board
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].text, kCheckStatus);
    rt.onBox = nullptr;
    EXPECT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[2], 2);

    again.terminate();
    again.waitForFinished();
}

// dcpeval-sim answers one I2C read past the 6000 ms wait: the link dialog, Retry sends the
// read again on a fresh connection, and neither that read nor the next exchange takes the
// late reply for its own. Runs on the real clock (about 6 s).
TEST_F(LinkSocket, ALateReplyShowsTheDialogAndRetryRecovers)
{
    QProcess server;
    // Requests: 1 firmware, 2..4 the part's pins, 5 firmware (its drain takes the sets'
    // replies), 6 the write, 7 the read that comes late.
    ASSERT_TRUE(startSimServer(server, path, {"--fault", "late-reply:7:1:6500"}));

    InitHidConnection();
    ASSERT_TRUE(askFirmware().replied);
    // The daughter board's part answers at 50 only with VCC on (P2.5; P2.4 keeps the supply
    // potentiometer deselected), the bus switch on I2C (P1.3 low), writes enabled (P1.2 high)
    // and its address pins low (P0.6, P0.7, P1.0, P1.1).
    bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xA0, 0x30});
    bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0x90, 0x04});
    bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0x80, 0x00});
    // The sets' replies are not read: give them time to arrive, so that the next exchange's
    // drain takes them all, however loaded the machine.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(askFirmware().replied);
    const std::array<std::uint8_t, 1> reg{0x00}, value{0x5A}; // the wiper register
    ASSERT_EQ(I2CWriteRetry(0x50, 1, 1, value, reg, 0), kStatusOk);
    std::array<std::uint8_t, 1> read{};
    rt.answer(vbRetry);
    EXPECT_EQ(I2CReadRetry(0x50, 1, 1, read, reg, 0), kStatusOk);
    EXPECT_EQ(rt.boxTexts(), QStringList{"Please check USB connection.ReadFile error."});
    EXPECT_EQ(read[0], 0x5A);
    EXPECT_EQ(g_BridgeStatus, kStatusOk);

    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // the late reply is due by now
    ASSERT_TRUE(askFirmware().replied);
    EXPECT_EQ(g_ReportBuffer[2], 2); // the firmware's own reply, not the late I2C one
    EXPECT_EQ(g_ReportBuffer[3], 5);

    server.terminate();
    server.waitForFinished();
}

// Runs note the link-error Retries to end at a lost link; inside a run the transfer sent
// again after a Retry is quiet, so a NAK from the fresh board shows no box.
TEST_F(LinkTest, RetriesAreCountedAndTheResendInARunIsQuiet)
{
    InitHidConnection();
    const std::array<std::uint8_t, 1> data{0x12};
    const std::array<std::uint8_t, 1> reg{0x00};
    const int before = LinkRetryCount();

    svc.answer(vbRetry); // the not-acknowledged box does not count
    EXPECT_EQ(I2CWriteRetry(0x20, 1, 1, data, reg, 0), kStatusDeviceError);
    EXPECT_EQ(LinkRetryCount(), before);

    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    EXPECT_EQ(askFirmware().status, kStatusNoReply);
    EXPECT_EQ(LinkRetryCount(), before + 1);

    svc.boxes.clear();
    {
        LinkRun run;
        EXPECT_TRUE(LinkRunActive());
        board(0).dropNextReplies(1);
        svc.answer(vbRetry);
        EXPECT_EQ(I2CWriteRetry(0x20, 1, 1, data, reg, 0), kStatusDeviceError);
    }
    EXPECT_FALSE(LinkRunActive());
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.ReadFile error."});
    EXPECT_EQ(LinkRetryCount(), before + 2);
}
