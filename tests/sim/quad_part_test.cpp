// The simulated quad parts: every instruction over I2C and SPI, the non-volatile data
// registers, and increment/decrement mode decoded from port P0 edges once the crossbar has
// freed the pins.
#include "sim/analog_board.h"
#include "sim/quad_part.h"
#include "sim/sim_board.h"
#include "sim_test_util.h"
#include "support/quad_sequences.h"

#include <vector>

using simtest::ask;
using simtest::report;

namespace {

using quadseq::kI2CPreamblePot1;
using quadseq::kSpiPreamblePot2;

} // namespace

class QuadPartTest : public simtest::VirtualClock {
protected:
    void edges(const std::vector<int>& values)
    {
        for (int v : values)
            ask(board, report({1, 0x12, 0, 0x80, v}));
    }
    void crossbar(int value) { ask(board, report({1, 0x12, 0, 0xE1, value})); }
    platform::Report i2cWrite(std::initializer_list<int> bytes)
    {
        std::vector<int> rq = {1, 0x06, 0x50, int(bytes.size()), 0};
        rq.insert(rq.end(), bytes);
        platform::Report r{};
        for (size_t i = 0; i < rq.size(); ++i)
            r[i] = std::uint8_t(rq[i]);
        return ask(board, r);
    }
    int i2cRead(int instruction)
    {
        const auto rp = ask(board, report({1, 0x06, 0x51, 1, 1, instruction}));
        return rp[1] == 0 ? rp[2] : -1;
    }
    // One frame on the chip's SPI slot (P2.4 high): the bytes clocked back.
    std::vector<int> spiFrame(std::initializer_list<int> bytes)
    {
        std::vector<int> rq = {1, 0x09, 0, 1, 0, 0, int(bytes.size())};
        rq.insert(rq.end(), bytes);
        platform::Report r{};
        for (size_t i = 0; i < rq.size(); ++i)
            r[i] = std::uint8_t(rq[i]);
        const auto rp = ask(board, r);
        return std::vector<int>(rp.begin() + 2, rp.begin() + 2 + long(bytes.size()));
    }
    sim::SimBoard board;
};

TEST_F(QuadPartTest, EveryInstructionOverI2C)
{
    auto part = sim::QuadI2CPart::install(board);
    i2cWrite({0xA1, 0x3F}); // WCR 1
    i2cWrite({0xCA, 0x5A}); // data register 2 of pot 2 (k 10)
    EXPECT_EQ(i2cRead(0x91), 0x3F);
    EXPECT_EQ(i2cRead(0xBA), 0x5A);
    i2cWrite({0xE5});       // WCR 1 -> register 1 of pot 1 (k 5)
    EXPECT_EQ(part->data[5], 0x3F);
    i2cWrite({0xDA});       // register 2 of pot 2 -> WCR 2
    EXPECT_EQ(part->wcr[2], 0x5A);
    i2cWrite({0x8C});       // all WCRs -> register 3
    EXPECT_EQ(part->data[3], 0x00);
    EXPECT_EQ(part->data[7], 0x3F);
    EXPECT_EQ(part->data[11], 0x5A);
    part->data[12] = 0x77;
    i2cWrite({0x10});       // register 0 of every pot -> its WCR
    EXPECT_EQ(part->wcr[3], 0x77);
    EXPECT_EQ(part->wcr[1], 0x00);
    // Another address is not acknowledged.
    EXPECT_EQ(ask(board, report({1, 0x06, 0x52, 1, 1, 0x90}))[1], sim::kStatusNak);
}

TEST_F(QuadPartTest, EveryInstructionOverSpi)
{
    auto part = sim::QuadSpiPart::install(board);
    EXPECT_EQ(spiFrame({0x50, 0xA0, 0x3F}), (std::vector<int>{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(part->wcr[0], 0x3F);
    spiFrame({0x50, 0xCF, 0x11});
    EXPECT_EQ(spiFrame({0x50, 0xBF, 0x00})[2], 0x11);
    EXPECT_EQ(spiFrame({0x50, 0x90, 0x00})[2], 0x3F);
    spiFrame({0x50, 0xE8}); // WCR 0 -> register 2 of pot 0 (k 2)
    EXPECT_EQ(part->data[2], 0x3F);
    spiFrame({0x51, 0xA0, 0x01}); // another ID
    EXPECT_EQ(part->wcr[0], 0x3F);
}

TEST_F(QuadPartTest, DataRegistersSurviveAPowerCycleAndLoadTheWipers)
{
    sim::attachAnalogBoard(board);
    auto part = sim::QuadI2CPart::install(board);
    board.setSfr(0xA0, board.portLatch(2) | 0x20); // VCC on
    i2cWrite({0xC0, 0x40});
    i2cWrite({0xA0, 0x99});
    board.setSfr(0xA0, board.portLatch(2) & ~0x20);
    EXPECT_EQ(i2cRead(0x90), -1); // unpowered: not acknowledged
    board.setSfr(0xA0, board.portLatch(2) | 0x20);
    EXPECT_EQ(i2cRead(0x90), 0x40);
    EXPECT_EQ(part->data[0], 0x40);
}

TEST_F(QuadPartTest, I2CPinsStepTheWiperAndTheStopEndsTheModeWithoutAStep)
{
    auto part = sim::QuadI2CPart::install(board);
    part->wcr[1] = 0x80;
    board.setSfr(0x80, 0x00);
    crossbar(0x02);
    EXPECT_EQ(i2cRead(0x91), -1); // the SMBus is off while the pins are free
    edges(kI2CPreamblePot1);
    EXPECT_EQ(part->incPot, 1);
    edges({0x10, 0x30, 0x10}); // up
    edges({0x10, 0x30, 0x10}); // up
    edges({0x00, 0x20, 0x00}); // down
    EXPECT_EQ(part->wcr[1], 0x81);
    edges({0x00, 0x20, 0x30}); // stop
    EXPECT_EQ(part->incPot, -1);
    EXPECT_EQ(part->wcr[1], 0x81);
    edges({0x10, 0x30, 0x10}); // no longer stepping
    crossbar(0x06);
    EXPECT_EQ(i2cRead(0x91), 0x81);
}

TEST_F(QuadPartTest, SpiPinsStepTheWiperUntilNssRises)
{
    auto part = sim::QuadSpiPart::install(board);
    part->wcr[2] = 0xFE;
    crossbar(0x00);
    board.setSfr(0x80, 0x00); // the preamble's prepared image: NSS low
    edges(kSpiPreamblePot2);
    EXPECT_EQ(part->incPot, 2);
    edges({0x04, 0x05, 0x04, 0x04, 0x05, 0x04}); // two up: saturates at FF
    EXPECT_EQ(part->wcr[2], 0xFF);
    edges({0x00, 0x01, 0x00});
    EXPECT_EQ(part->wcr[2], 0xFE);
    edges({0x08}); // NSS high
    EXPECT_EQ(part->incPot, -1);
    crossbar(0x06);
    EXPECT_EQ(spiFrame({0x50, 0x92, 0x00})[2], 0xFE);
}

TEST_F(QuadPartTest, APreambleForAnotherAddressOrWithTheBusOnIsIgnored)
{
    auto part = sim::QuadI2CPart::install(board);
    board.setSfr(0x80, 0x00);
    edges(kI2CPreamblePot1); // SMBus still routed: the pins are not the part's
    EXPECT_EQ(part->incPot, -1);
    crossbar(0x02);
    std::vector<int> other = kI2CPreamblePot1;
    other[6] = 0x20; // second address bit ... becomes a low data bit: address 0x10
    other[5] = 0x00;
    other[7] = 0x00;
    edges(other);
    EXPECT_EQ(part->incPot, -1);
}

TEST_F(QuadPartTest, EachWiperDrivesItsAdcInput)
{
    auto analog = sim::attachAnalogBoard(board);
    auto part = sim::QuadSpiPart::install(board);
    board.setSfr(0xA0, board.portLatch(2) | 0x20); // VCC on
    part->wcr[1] = 0x80;
    part->wcr[3] = 0xFF;
    EXPECT_NEAR(analog->wiperVolts(1), analog->vcc() * 128 / 255, 1e-9);
    EXPECT_NEAR(analog->wiperVolts(3), analog->vcc(), 1e-9);
    EXPECT_EQ(analog->wiperVolts(0), 0.0);
}
