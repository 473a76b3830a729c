// The in-process transport on the virtual clock, the faults on demand and the transcript.
#include "sim_test_util.h"

#include "sim/records.h"
#include "sim/sim_transport.h"

using platform::ReadResult;
using simtest::hex;
using simtest::report;

namespace {

const platform::Report kFirmwareRequest = report({1, 0x00});
const platform::Report kFirmwareReply = report({1, 0, 2, 5, 0x07, 0xDA, 3, 15});

class SimTransportTest : public simtest::VirtualClock {
protected:
    std::unique_ptr<platform::BoardConnection> openBoard(int index = 0)
    {
        QString error;
        auto c = transport.open({sim::SimTransport::pathOf(index), &transport}, &error);
        EXPECT_TRUE(c) << error.toStdString();
        return c;
    }
    sim::SimBoard& board() { return transport.board(0); }

    sim::SimTransport transport{2};
    platform::Report in{};
};

TEST_F(SimTransportTest, BoardsAreFoundInOrderAndOpenByPath)
{
    const auto found = transport.enumerate(0x1234, 0x2034);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, "sim:0");
    EXPECT_EQ(found[1].path, "sim:1");
    QString error;
    EXPECT_FALSE(transport.open({"sim:2", &transport}, &error));
    EXPECT_EQ(error, "No such device");
    EXPECT_FALSE(transport.open({"unix:/tmp/x", &transport}, &error));
}

TEST_F(SimTransportTest, AWriteIsAnsweredOnItsOwnConnectionAndBoard)
{
    transport.board(1).firmware.major = 9;
    auto c0 = openBoard(0);
    auto c1 = openBoard(1);
    ASSERT_TRUE(c1->write(kFirmwareRequest));
    EXPECT_EQ(c0->read(in, 1), ReadResult::Timeout);
    ASSERT_EQ(c1->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(in[2], 9);
    EXPECT_EQ(svc.monoMs, 1); // only c0's 1 ms wait took time
    EXPECT_TRUE(board().transcript.entries().empty());
}

TEST_F(SimTransportTest, SetsAreAnsweredTooSoADrainFindsTheirReplies)
{
    auto c = openBoard();
    ASSERT_TRUE(c->write(report({1, 0x12, 0, 0xA0, 0x10})));
    ASSERT_TRUE(c->write(report({1, 0x01, 0, 0x01})));
    int stale = 0;
    while (c->read(in, 1) == ReadResult::Report)
        ++stale;
    EXPECT_EQ(stale, 2);
}

TEST_F(SimTransportTest, NoReplyTimesOutAtTheDeadlineOnTheVirtualClock)
{
    auto c = openBoard();
    board().dropNextReplies(1);
    ASSERT_TRUE(c->write(kFirmwareRequest));
    EXPECT_EQ(c->read(in, 6000), ReadResult::Timeout);
    EXPECT_EQ(svc.monoMs, 6000);
    // The next request is answered again.
    ASSERT_TRUE(c->write(kFirmwareRequest));
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
    EXPECT_EQ(svc.monoMs, 6000);
}

TEST_F(SimTransportTest, ALateReplyWithinTheWaitArrivesWhenDue)
{
    auto c = openBoard();
    board().delayNextReplies(1, 250);
    ASSERT_TRUE(c->write(kFirmwareRequest));
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(svc.monoMs, 250);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
}

TEST_F(SimTransportTest, AReplyLaterThanTheWaitTimesOutThenTheNextReadGetsIt)
{
    auto c = openBoard();
    board().delayNextReplies(1, 7000);
    ASSERT_TRUE(c->write(kFirmwareRequest));
    EXPECT_EQ(c->read(in, 6000), ReadResult::Timeout);
    EXPECT_EQ(svc.monoMs, 6000);
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(svc.monoMs, 7000);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
}

TEST_F(SimTransportTest, RepliesKeepTheirOrderBehindALateOne)
{
    auto c = openBoard();
    board().delayNextReplies(1, 3000);
    ASSERT_TRUE(c->write(report({1, 0x01, 1})));
    ASSERT_TRUE(c->write(kFirmwareRequest));
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(in[2], 0); // the LED reply first
    ASSERT_EQ(c->read(in, 0), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
    EXPECT_EQ(svc.monoMs, 3000);
}

// A slow board answers every request replyDelayMs late, in order; the host keeps 63 unread
// replies and drops the newer ones.
TEST_F(SimTransportTest, ASlowBoardAnswersInOrderAndTheHostKeeps63Replies)
{
    auto c = openBoard();
    board().replyDelayMs = 3;
    board().setAnswersCarryCode = true;
    for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(c->write(report({1, 0x12, 0, 0x80, i})));
    ASSERT_TRUE(c->write(report({1, 0x04, 0, 0, 0, 1}))); // an SCL toggle: its answer is read
    EXPECT_EQ(c->read(in, 2), ReadResult::Timeout);
    ASSERT_EQ(c->read(in, 50), ReadResult::Report);
    EXPECT_EQ(svc.monoMs, 3);
    EXPECT_EQ(hex(in), hex(report({1, 0, 0x12}))); // a set's answer: the command code in byte 2
    int unread = 1;
    while (c->read(in, 0) == ReadResult::Report)
        ++unread;
    EXPECT_EQ(unread, platform::kHidrawInputReports);
    EXPECT_EQ(board().portLatch(0), 69); // every set reached the board all the same

    // Once read, the queue takes replies again; the SCL toggle's answer keeps its SDA byte.
    ASSERT_TRUE(c->write(report({1, 0x04, 0, 0, 0, 1})));
    ASSERT_EQ(c->read(in, 50), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(report({1, 0, 0})));
    ASSERT_TRUE(c->write(kFirmwareRequest));
    ASSERT_EQ(c->read(in, 50), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
}

TEST_F(SimTransportTest, AFailedWriteIsNotAnswered)
{
    auto c = openBoard();
    board().failNextWrites(2);
    EXPECT_FALSE(c->write(report({1, 0x12, 0, 0x80, 0x00})));
    EXPECT_FALSE(c->write(kFirmwareRequest));
    EXPECT_TRUE(c->write(kFirmwareRequest));
    EXPECT_EQ(board().portLatch(0), 0xFF); // the failed set never reached the board
    EXPECT_EQ(board().transcript.refusedWrites(), 2);
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(c->read(in, 6000), ReadResult::Timeout);
}

TEST_F(SimTransportTest, AWrongReportNumberFailsTheWrite)
{
    auto c = openBoard();
    EXPECT_FALSE(c->write(report({2, 0x00})));
    EXPECT_EQ(c->read(in, 10), ReadResult::Timeout);
}

TEST_F(SimTransportTest, ForcedNakAppliesToTheNextI2CTransfers)
{
    board().attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    auto c = openBoard();
    board().nakNextI2C(1);
    const platform::Report read = report({1, 0x06, 0x51, 1, 1, 0x00});
    c->write(report({1, 0x00})); // other commands do not use up the fault
    c->write(read);
    c->write(read);
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(in[1], 0);
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(in[1], sim::kStatusNak);
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(in[1], 0);
}

TEST_F(SimTransportTest, GarbageRepliesAreSeededPseudoRandomBytes)
{
    auto garbage = [&](std::uint32_t seed) {
        sim::SimBoard b;
        b.garbleNextReplies(2, seed);
        return std::vector<platform::Report>{*b.handle(kFirmwareRequest).reply, *b.handle(kFirmwareRequest).reply,
                                             *b.handle(kFirmwareRequest).reply};
    };
    const auto a = garbage(7), again = garbage(7), other = garbage(8);
    EXPECT_EQ(hex(a[0]), hex(again[0]));
    EXPECT_EQ(hex(a[1]), hex(again[1]));
    EXPECT_NE(hex(a[0]), hex(other[0]));
    EXPECT_NE(hex(a[0]), hex(a[1]));
    EXPECT_NE(hex(a[0]), hex(kFirmwareReply));
    EXPECT_EQ(a[0][0], 1); // still report number 1: hidraw frames it so
    EXPECT_EQ(hex(a[2]), hex(kFirmwareReply)); // the third is clean again
}

TEST_F(SimTransportTest, UnplugAndReplug)
{
    auto c = openBoard();
    ASSERT_TRUE(c->write(kFirmwareRequest)); // its reply is lost with the board
    board().unplug();
    EXPECT_EQ(c->read(in, 6000), ReadResult::Gone);
    EXPECT_FALSE(c->write(kFirmwareRequest));
    EXPECT_EQ(c->read(in, 6000), ReadResult::Gone);
    const auto found = transport.enumerate(0, 0);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, "sim:1");
    QString error;
    EXPECT_FALSE(transport.open({"sim:0", &transport}, &error));

    board().replug();
    EXPECT_EQ(transport.enumerate(0, 0).size(), 2u);
    EXPECT_FALSE(c->write(kFirmwareRequest)); // the old handle stays dead
    EXPECT_EQ(c->read(in, 10), ReadResult::Gone);
    auto fresh = openBoard();
    ASSERT_TRUE(fresh->write(kFirmwareRequest));
    ASSERT_EQ(fresh->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
    EXPECT_EQ(board().transcript.requests().size(), 2u); // the first and the fresh one
    EXPECT_EQ(board().transcript.refusedWrites(), 2);
}

TEST_F(SimTransportTest, TranscriptHoldsBothDirectionsWithTheirTimes)
{
    auto c = openBoard();
    svc.monoMs = 100;
    c->write(report({1, 0x12, 1, 0x80}));
    board().delayNextReplies(1, 40);
    c->write(report({1, 0x12, 0, 0x80, 0x7E}));
    c->write(kFirmwareRequest);

    const auto& t = board().transcript;
    ASSERT_EQ(t.entries().size(), 6u);
    EXPECT_EQ(t.entries()[0].dir, sim::Direction::ToBoard);
    EXPECT_EQ(t.entries()[1].dir, sim::Direction::FromBoard);
    EXPECT_EQ(t.entries()[0].timeMs, 100);
    EXPECT_EQ(t.entries()[3].timeMs, 140); // the late reply is due 40 ms on
    EXPECT_EQ(t.requests().size(), 3u);
    EXPECT_EQ(t.requests(0x12).size(), 2u);
    EXPECT_EQ(hex(*t.lastRequest(0x12)), hex(report({1, 0x12, 0, 0x80, 0x7E})));
    EXPECT_EQ(hex(*t.lastRequest()), hex(kFirmwareRequest));
    EXPECT_FALSE(t.lastRequest(0x06));
    EXPECT_EQ(hex(t.replies()[0]), hex(report({1, 0, 0, 0xFF})));
    EXPECT_EQ(hex(*t.lastReply()), hex(kFirmwareReply));
    EXPECT_TRUE(t.dump(4).contains("-> 01 12 01 80"));
    board().transcript.clear();
    EXPECT_TRUE(board().transcript.entries().empty());
}

TEST_F(SimTransportTest, ClearFaultsStopsEveryFault)
{
    auto c = openBoard();
    board().failNextWrites(5);
    board().dropNextReplies(5);
    board().delayNextReplies(5, 9000);
    board().garbleNextReplies(5, 1);
    board().clearFaults();
    ASSERT_TRUE(c->write(kFirmwareRequest));
    ASSERT_EQ(c->read(in, 6000), ReadResult::Report);
    EXPECT_EQ(hex(in), hex(kFirmwareReply));
    EXPECT_EQ(svc.monoMs, 0);
}

} // namespace

// The program's own boards may run for hours: with records off (as the program runs them)
// neither the transcript nor a recording chip model grows with the traffic.
class SimRecords : public simtest::VirtualClock {
protected:
    void TearDown() override
    {
        sim::recordsKept() = true;
        simtest::VirtualClock::TearDown();
    }
};

TEST_F(SimRecords, BoardsKeepNothingUnlessRecordsAreOn)
{
    sim::recordsKept() = false;
    sim::SimBoard board;
    auto chip = std::make_shared<sim::ShiftRegisterSpiDevice>();
    board.chipSlot = chip;
    const platform::Report spi = report({1, 0x09, 0, 1, 0, 0, 2, 0xAB, 0xCD});
    for (int i = 0; i < 1000; ++i) {
        board.handle(spi);
        board.handle(kFirmwareRequest);
    }
    sim::recordsKept() = true;
    EXPECT_TRUE(board.transcript.entries().empty());
    EXPECT_TRUE(chip->frames.empty());
    EXPECT_EQ(chip->held, 0xCD); // the model works all the same

    board.handle(spi);
    EXPECT_EQ(board.transcript.entries().size(), 2u);
    EXPECT_EQ(chip->frames.size(), 1u);
}
