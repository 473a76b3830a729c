// SPI device frames: layouts of the wiper, register and 10-bit frames, refusals, and the
// rules that judge the replies.
#include "bridge/protocol.h"
#include "devices/spi_frame.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace spi;

namespace {

SpiWindowTexts window(bool sendId, const char* writeCount = "2", const char* readCount = "4", const char* product = "")
{
    return {.deviceId = "50",
            .sendId = sendId,
            .writeBase = "C0",
            .readBase = "80",
            .writeCount = writeCount,
            .readCount = readCount,
            .product = product};
}

QStringList bytesOf(const FrameResult& r)
{
    if (!r.frame)
        return {"refused: " + r.refusal};
    return QStringList(r.frame->bytes.begin(), r.frame->bytes.end());
}

} // namespace

TEST(SpiFrame, WindowLayouts)
{
    const SpiWindowTexts noId = window(false), id = window(true, "3", "3");
    SpiWindowTexts k6623 = window(false, "4", "4", "K6623/4 10-bit");
    SpiWindowTexts baseA = noId;
    baseA.writeBase = "0A";
    struct Case {
        const char* what;
        FrameResult r;
        int terminal;
        QString count;
        QStringList bytes;
    };
    const Case cases[] = {
        {"wiper write, no ID", wiperWrite(noId, 2, "7F"), 2, "2", {"C2", "7F"}},
        {"wiper write, ID", wiperWrite(id, 0, "05"), 2, "3", {"50", "C0", "05"}},
        {"one digit is a byte", wiperWrite(noId, 0, "5"), 2, "2", {"C0", "05"}},
        {"instruction without leading zero", wiperWrite(baseA, 3, "10"), 2, "2", {"D", "10"}},
        {"wiper read, no ID", wiperRead(noId, 2), 3, "4", {"82", "00", "00", "00"}},
        {"wiper read, ID", wiperRead(id, 1), 3, "3", {"50", "81", "00", "00", "00"}},
        {"register write, no ID", registerWrite(noId, "C4", "3A"), 2, "2", {"C4", "3A"}},
        // ID ticked and count 2: the value byte is built but not sent (count below the layout).
        {"register write, ID", registerWrite(window(true), "C4", "3A"), 2, "2", {"50", "C4", "3A"}},
        {"leading zeros become two digits", registerWrite(noId, "0060", "C0"), 2, "2", {"60", "C0"}},
        {"register read, ID", registerRead(id, "B8"), 3, "3", {"50", "B8", "00", "00", "00"}},
        // A text that is no byte goes unchanged, for the terminal to refuse.
        {"no byte left as typed", registerWrite(id, "100", "5G"), 2, "3", {"50", "100", "5G"}},
        // 10-bit part: ID always, high and low byte of the padded box, ID + 1 on reads.
        {"K6623 write", wiperWrite(k6623, 0, "5"), 2, "4", {"50", "C0", "00", "05"}},
        {"K6623 write 3FF", wiperWrite(k6623, 0, "3FF"), 2, "4", {"50", "C0", "03", "FF"}},
        {"K6623 leading zero kept", wiperWrite(k6623, 0, "0123"), 2, "4", {"50", "C0", "01", "23"}},
        {"K6623 read", wiperRead(k6623, 1, "7"), 3, "4", {"51", "81", "00", "00", "00"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.r.frame) << c.what << ": " << c.r.refusal.toStdString();
        EXPECT_EQ(c.r.frame->terminal, c.terminal) << c.what;
        EXPECT_EQ(c.r.frame->count, c.count) << c.what;
        EXPECT_EQ(bytesOf(c.r), c.bytes) << c.what;
    }
    EXPECT_EQ(wiperWrite(k6623, 0, "5").paddedHex, "005");
    EXPECT_EQ(wiperRead(k6623, 1, "7").paddedHex, "007");
    EXPECT_TRUE(wiperWrite(noId, 0, "5").paddedHex.isEmpty()) << "only the 10-bit form pads the box";
}

TEST(SpiFrame, RefusedFramesSayWhy)
{
    const SpiWindowTexts k6623 = window(false, "4", "4", "K6623/4");
    const struct {
        const char* what;
        FrameResult r;
        QString refusal;
    } cases[] = {
        {"position 256 of a one-byte register", wiperWrite(window(false), 0, "100"),
         "Channel 0: position 256 (100) does not fit this part's one-byte wiper register. Nothing was written."},
        {"10-bit position 1024", wiperWrite(k6623, 1, "400"),
         "Channel 1: position 1024 (400) does not fit this part's ten-bit wiper register. Nothing was written."},
        {"not hex", wiperWrite(window(false), 2, "5G"), "Channel 2: \"5G\" is no wiper position. Nothing was written."},
        {"read count 0", wiperRead(window(false, "2", "0"), 0), "Read Byte Quantity \"0\" is no count from 1 to 5. Nothing was sent."},
        {"read count text", registerRead(window(false, "2", "abc"), "20"),
         "Read Byte Quantity \"abc\" is no count from 1 to 5. Nothing was sent."},
        {"read count 6", registerRead(window(false, "2", "6"), "20"), "Read Byte Quantity \"6\" is no count from 1 to 5. Nothing was sent."},
        {"10-bit read needs two bytes", wiperRead(window(false, "4", "1", "K6623/4"), 0),
         "Read Byte Quantity \"1\" is no count from 2 to 5. Nothing was sent."},
        {"write count", registerWrite(window(false, ""), "60", "C0"), "Write Byte Quantity \"\" is no count from 1 to 5. Nothing was sent."},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.r.frame) << c.what;
        EXPECT_EQ(c.r.refusal, c.refusal) << c.what;
    }
}

TEST(SpiFrame, K6623ConsoleFrames)
{
    struct Case {
        K6623Op op;
        int index;
        const char* id;
        const char* box;
        int terminal;
        QString count;
        QStringList bytes;
        QString padded;
    };
    const Case cases[] = {
        {K6623Op::Read, 3, "50", "", 3, "4", {"51", "A8", "00", "00", "00"}, ""},
        {K6623Op::Read, 0, "50", "", 3, "4", {"51", "80", "00", "00", "00"}, ""},
        {K6623Op::Write, 0, "50", "3FF", 2, "4", {"50", "A0", "03", "FF"}, "3FF"},
        {K6623Op::Write, 1, "50", "5", 2, "4", {"50", "C0", "00", "05"}, "005"},
        {K6623Op::Write, 4, "50", "12", 2, "4", {"50", "CC", "00", "12"}, "012"},
        {K6623Op::DataToWiper, 1, "50", "", 2, "2", {"51", "C4"}, ""},
        {K6623Op::WiperToData, 3, "50", "", 2, "2", {"50", "EC"}, ""},
        // ID + 1 of "FF" is no byte: it goes as "100" and the terminal refuses it.
        {K6623Op::DataToWiper, 0, "FF", "", 2, "2", {"100", "C0"}, ""},
        // An ID that is no number goes as it is, for the terminal to refuse: "NA" is not ID 0.
        {K6623Op::Read, 0, "NA", "", 3, "4", {"NA", "80", "00", "00", "00"}, ""},
        {K6623Op::DataToWiper, 2, "5G", "", 2, "2", {"5G", "C8"}, ""},
    };
    for (const Case& c : cases) {
        const FrameResult r = k6623Frame(c.op, c.index, c.id, c.box);
        ASSERT_TRUE(r.frame) << int(c.op) << c.index;
        EXPECT_EQ(r.frame->terminal, c.terminal);
        EXPECT_EQ(r.frame->count, c.count);
        EXPECT_EQ(bytesOf(r), c.bytes) << int(c.op) << " " << c.index;
        EXPECT_EQ(r.paddedHex, c.padded);
    }
    for (const char* tooBig : {"1234", "400", "G"}) {
        const FrameResult r = k6623Frame(K6623Op::Write, 0, "50", tooBig);
        EXPECT_FALSE(r.frame) << tooBig;
        EXPECT_EQ(r.refusal, QString("\"%1\" is no ten-bit value (000 to 3FF). Nothing was written.").arg(tooBig));
    }
    const QStringList instructions[] = {{"80", "A0", "A4", "A8", "AC"}, {"A0", "C0", "C4", "C8", "CC"},
                                        {"C0", "C4", "C8", "CC"},       {"E0", "E4", "E8", "EC"}};
    const K6623Op ops[] = {K6623Op::Read, K6623Op::Write, K6623Op::DataToWiper, K6623Op::WiperToData};
    for (int o = 0; o < 4; ++o)
        for (int i = 0; i < instructions[o].size(); ++i)
            EXPECT_EQ(k6623Instruction(ops[o], i), instructions[o][i]) << o << " " << i;
}

TEST(SpiFrame, RepliesAreJudgedByByteOneAndReadFromTheLast)
{
    const struct {
        std::vector<QString> replies;
        int count;
        bool good;
        std::optional<int> value, value10;
    } cases[] = {
        {{"FF", "FF", "FF", "7F", "--", "--"}, 4, true, 0x7F, 0xF7F},
        {{"00", "FF", "02", "3C", "--", "--"}, 4, true, 0x3C, 0x23C},
        {{"00", "FF", "F2", "3C", "--", "--"}, 4, true, 0x3C, 0x23C}, // junk high bits: last digit only
        {{"FF", "00", "00", "05", "--", "--"}, 4, false, 0x05, 0x005}, // "00" fails, the value still shows
        {{"--", "--", "--", "--", "--", "--"}, 4, false, std::nullopt, std::nullopt},
        {{"00", "FF", "--", "3C", "--", "--"}, 4, true, 0x3C, std::nullopt},
        {{"00", "FF", "7F", "--", "--", "--"}, 3, true, 0x7F, 0xF7F},
        {{"00", "FF", "7F", "--", "--", "--"}, 8, true, std::nullopt, std::nullopt}, // past the fields
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bridge::spiFrameGood(c.replies), c.good) << c.replies[1].toStdString();
        EXPECT_EQ(bridge::spiReadValue(c.replies, c.count), c.value);
        EXPECT_EQ(bridge::spiReadValue10(c.replies, c.count), c.value10);
    }
    EXPECT_FALSE(bridge::spiFrameGood(std::vector<QString>{"FF", "G0"}));
    EXPECT_FALSE(bridge::spiReadValue(std::vector<QString>{"FF"}, 0));

    // As the window shows them: a wiper no higher than the tap count, a register two digits.
    const std::vector<QString> replies{"00", "FF", "03", "C8", "5", "--"};
    EXPECT_EQ(bridge::spiWiperPosition(replies, 4, false, 100), 100);
    EXPECT_EQ(bridge::spiWiperPosition(replies, 4, true, 1023), 0x3C8);
    EXPECT_EQ(bridge::spiWiperPosition(replies, 6, false, 100), std::nullopt);
    EXPECT_EQ(bridge::spiRegisterText(replies, 5), "05");
    EXPECT_EQ(bridge::spiRegisterText(replies, 4), "C8");
    EXPECT_EQ(bridge::spiRegisterText(replies, 7), "--");
}
