// Every bridge command on the wire of a simulated board: the request bytes, and how the
// exchange runs (drain, zeroed buffer, guarded write, cleared buffer, awaited reply).
#include "bridge/exchange.h"
#include "bridge/protocol.h"
#include "link/hid.h"
#include "shell/globals.h"
#include "support/board_fixture.h"

#include <vector>

using namespace bridge;
using platform::vbRetry;

namespace {

struct Row {
    const char* name;
    std::uint8_t code, byte2;
    std::vector<std::uint8_t> params;
    bool drain, zeroed, guarded, cleared, reply;
    Variant variant = Variant::Plain;
};

// clang-format off
const Row kRows[] = {
    // name                 code  b2  params           drain  zeroed guarded cleared reply
    {"firmware version",    0x00, 0, {},               true,  true,  true,  true,  true},
    {"LEDs set",            0x01, 0, {3},              false, true,  true,  false, false},
    {"LEDs get",            0x01, 1, {},               true,  true,  true,  true,  true},
    {"port modes set",      0x02, 0, {0xFF, 0x0F, 1},  false, true,  true,  false, false},
    {"I2C options set",     0x04, 0, {0x0B, 1, 0},     false, true,  true,  false, false},
    {"SCL toggle",          0x04, 0, {0x00, 0, 1},     true,  true,  true,  true,  true, Variant::SclToggle},
    {"I2C options get",     0x04, 1, {},               true,  true,  true,  true,  true},
    {"SMBus clock set",     0x05, 0, {240},            false, true,  true,  false, false},
    {"SMBus clock get",     0x05, 1, {},               true,  true,  true,  true,  true},
    {"SPI mode set",        0x07, 0, {0x05},           false, true,  false, false, false},
    {"SPI mode get",        0x07, 1, {},               true,  true,  true,  true,  true},
    {"SPI clock set",       0x08, 0, {11},             false, true,  true,  false, false},
    {"SPI clock get",       0x08, 1, {},               true,  true,  true,  true,  true},
    {"ADC clock set",       0x0A, 0, {0x20},           false, true,  false, false, false},
    {"ADC clock get",       0x0A, 1, {},               true,  true,  true,  false, true},
    {"ADC reference get",   0x0B, 1, {},               true,  true,  true,  false, true},
    {"ADC mux set",         0x0C, 0, {0x0A, 0x1F},     false, true,  false, false, false},
    {"ADC mux get",         0x0C, 1, {},               true,  true,  true,  false, true},
    {"ADC mode set",        0x0D, 0, {1},              false, true,  false, false, false},
    {"ADC mode get",        0x0D, 1, {},               true,  true,  true,  false, true},
    {"ADC averaging set",   0x0E, 0, {16},             false, true,  false, false, false},
    {"ADC averaging get",   0x0E, 1, {},               true,  true,  true,  false, true},
    {"ADC sample rate set", 0x0F, 0, {0x12, 0x34},     true,  true,  false, false, false},
    {"ADC sample rate get", 0x0F, 1, {},               true,  true,  true,  false, true},
    {"ADC enable set",      0x10, 0, {1},              false, false, false, false, false},
    {"ADC enable get",      0x10, 1, {},               true,  false, true,  false, true},
    {"ADC conversion",      0x11, 0, {1},              true,  false, true,  false, true},
    {"SFR get",             0x12, 1, {0x80},           true,  true,  true,  false, true},
    {"SFR set",             0x12, 0, {0xA0, 0x5A},     false, true,  false, false, false},
    {"external ADC",        0x13, 1, {0x00, 0x00, 5},  true,  true,  true,  false, true},
};
// clang-format on

constexpr std::uint8_t kLeftOver = 0xEE;

} // namespace

class ProtocolTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        InitHidConnection();
    }
    // Leaves one stale reply waiting (the answer to a set that nobody reads).
    void leaveStaleReply() { exchange(kLeds, kSet, {0}); }
    int pendingReports()
    {
        int n = 0;
        while (AwaitReport(1))
            ++n;
        return n;
    }
    void fillLeftOvers()
    {
        g_ReportBuffer.fill(kLeftOver);
        g_ReportBuffer[0] = 1;
    }
};

TEST_F(ProtocolTest, RequestBytesAndBufferHandling)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        pendingReports();
        fillLeftOvers();
        const auto r = exchange(row.code, row.byte2, std::span<const std::uint8_t>(row.params), row.variant);
        EXPECT_EQ(r.status, kStatusOk);
        EXPECT_EQ(r.replied, row.reply);
        const auto rq = *board(0).transcript.lastRequest();
        EXPECT_EQ(rq[0], 1);
        EXPECT_EQ(rq[1], row.code);
        EXPECT_EQ(rq[2], row.code == 0x00 ? 0 : row.byte2); // the firmware request's byte 2 is zeroed
        for (size_t i = 0; i < row.params.size(); ++i)
            EXPECT_EQ(rq[3 + i], row.params[i]) << "byte " << 3 + i;
        const size_t after = 3 + row.params.size();
        // The external ADC drains after zeroing: the drained stale report fills the rest.
        if (row.code != 0x13) {
            EXPECT_EQ(rq[after], row.zeroed ? 0 : kLeftOver) << "byte " << after;
            EXPECT_EQ(rq[63], row.zeroed ? 0 : kLeftOver);
        }
    }
}

TEST_F(ProtocolTest, DrainDiscardsStaleRepliesFirst)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        pendingReports();
        leaveStaleReply();
        exchange(row.code, row.byte2, std::span<const std::uint8_t>(row.params), row.variant);
        // Left waiting: the stale reply unless drained, plus this set's own reply.
        const int expected = (row.drain ? 0 : 1) + (row.reply ? 0 : 1);
        EXPECT_EQ(pendingReports(), expected);
    }
}

TEST_F(ProtocolTest, GuardedWritesRaiseTheDialogUnguardedOnesDoNot)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        svc.boxes.clear();
        board(0).failNextWrites(1);
        if (row.guarded)
            svc.answer(vbRetry);
        const auto r = exchange(row.code, row.byte2, std::span<const std::uint8_t>(row.params), row.variant);
        EXPECT_EQ(svc.boxes.size(), row.guarded ? 1u : 0u);
        EXPECT_FALSE(r.replied);
        EXPECT_EQ(r.status, row.guarded ? kStatusDialog : kStatusWriteFailed);
    }
}

TEST_F(ProtocolTest, ReplyTimeOutLeavesZerosWhenClearedElseTheRequest)
{
    for (const Row& row : kRows) {
        if (!row.reply)
            continue;
        SCOPED_TRACE(row.name);
        pendingReports();
        fillLeftOvers();
        svc.boxes.clear();
        board(0).dropNextReplies(1);
        svc.answer(vbRetry);
        const auto r = exchange(row.code, row.byte2, std::span<const std::uint8_t>(row.params), row.variant);
        EXPECT_FALSE(r.replied);
        EXPECT_EQ(r.status, kStatusNoReply);
        EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});
        EXPECT_EQ(g_ReportBuffer[1], row.cleared ? 0 : row.code);
    }
}

TEST_F(ProtocolTest, FirmwareVersionText)
{
    board(0).firmware = {2, 5, 0x07DA, 3, 15};
    ASSERT_TRUE(exchange(kFirmwareVersion, 0).replied);
    const FirmwareVersion v = decodeFirmwareVersion(g_ReportBuffer);
    EXPECT_EQ(v.year, 2010);
    EXPECT_EQ(firmwareText(v), "Firmware Version 2.5 - 2010/March/15");

    struct { int month; const char* text; } months[] = {{1, "January"}, {12, "December"}, {0, "0"}, {13, "13"}};
    for (const auto& m : months)
        EXPECT_EQ(firmwareText({1, 0, 2024, m.month, 1}), QString("Firmware Version 1.0 - 2024/%1/1").arg(m.text));
}

TEST_F(ProtocolTest, AdcCountIsHighByteFirst)
{
    exchange(kAdcMux, kSet, {0x0A, 0x1F});
    struct { double volts; int count; } cases[] = {{3.3, 1023}, {0.0, 0}, {1.65, 512}, {5.0, 1023}};
    for (const auto& c : cases) {
        board(0).setInputVoltage(0x0A, c.volts);
        ASSERT_TRUE(exchange(kAdcConvert, 0, {1}).replied);
        EXPECT_EQ(decodeAdcCount(g_ReportBuffer), c.count) << c.volts;
    }
    g_ReportBuffer[2] = 0x03;
    g_ReportBuffer[3] = 0xFF;
    EXPECT_EQ(decodeAdcCount(g_ReportBuffer), 1023);
}

TEST_F(ProtocolTest, ExternalAdcResultIsSigned24Bit)
{
    for (std::int32_t value : {-8388608, 8388607, -1, 0, 1234567}) {
        board(0).extAdc.result = value;
        ASSERT_TRUE(exchange(kExternalAdc, 1, {0, 0, 5}).replied);
        EXPECT_EQ(decodeExternalAdc(g_ReportBuffer), value);
    }
    board(0).extAdc.result = -8388608;
    exchange(kExternalAdc, 1, {0, 0, 5});
    EXPECT_EQ(g_ReportBuffer[3], 0x80);
    EXPECT_EQ(g_ReportBuffer[4], 0x00);
    EXPECT_EQ(g_ReportBuffer[5], 0x00);
}

TEST_F(ProtocolTest, SpiTransferFillsItsBytesAndLeavesTheRest)
{
    board(0).setSfr(0xA0, 0xFF); // P2.4 high: the chip under test is selected
    g_ReportBuffer.fill(kLeftOver);
    spiTransferBegin();
    g_ReportBuffer.fill(kLeftOver);
    const std::uint8_t data[] = {0x11, 0x22, 0x33};
    const auto r = spiTransferSend(true, 0, 0, data);
    ASSERT_TRUE(r.replied);
    const auto rq = *board(0).transcript.lastRequest(0x09);
    const std::uint8_t head[] = {1, 0x09, 0, 1, 0, 0, 3, 0x11, 0x22, 0x33};
    EXPECT_TRUE(std::equal(std::begin(head), std::end(head), rq.begin()));
    EXPECT_EQ(rq[10], kLeftOver);
    EXPECT_EQ(rq[63], kLeftOver);
    // The shift register answers each byte with the one before it.
    EXPECT_EQ(g_ReportBuffer[3], 0x11);
    EXPECT_EQ(g_ReportBuffer[4], 0x22);

    // Without read-back nothing is awaited: the reply stays for the next drain.
    EXPECT_FALSE(spiTransferSend(false, 0, 0, data).replied);
}

TEST_F(ProtocolTest, DirectReportsCarryTheReportNumber)
{
    g_ReportBuffer.fill(kLeftOver);
    g_ReportBuffer[0] = 0;
    buildDirectSfrWrite(g_ReportBuffer, 0x80, 0x3C);
    ASSERT_NE(WriteReport(), 0);
    const auto rq = *board(0).transcript.lastRequest(0x12);
    const std::uint8_t head[] = {1, 0x12, 0, 0x80, 0x3C, kLeftOver};
    EXPECT_TRUE(std::equal(std::begin(head), std::end(head), rq.begin()));
    EXPECT_EQ(board(0).sfr(0x80), 0x3C);
}
