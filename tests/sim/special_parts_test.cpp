// The special I2C parts on the simulated daughter board: the K4736 (banks behind a status
// register, pin stepping and store) and the K6627 (10-bit registers and its instructions),
// driven through the board's reports as the program drives them.
#include "sim_test_util.h"

#include "sim/analog_board.h"
#include "sim/k4736.h"
#include "sim/k6627.h"

using simtest::ask;
using simtest::report;

namespace {

constexpr int kP0 = 0x80, kP1 = 0x90, kP2 = 0xA0;
constexpr int kP1I2C = 0xF7; // P1.3 low: the bus switch selects I2C

class SpecialParts : public simtest::VirtualClock {
protected:
    void SetUp() override
    {
        VirtualClock::SetUp();
        analog = sim::attachAnalogBoard(board);
        setPort(kP1, kP1I2C);
    }
    void setPort(int sfr, int value) { ask(board, report({1, 0x12, 0, sfr, value})); }
    // An I2C write of register bytes then data bytes; the reply status.
    int write(int addr8, std::vector<int> regs, std::vector<int> data)
    {
        std::vector<int> rq{1, 6, addr8, int(data.size()), int(regs.size())};
        rq.insert(rq.end(), regs.begin(), regs.end());
        rq.insert(rq.end(), data.begin(), data.end());
        platform::Report r{};
        std::copy(rq.begin(), rq.end(), r.begin());
        return ask(board, r)[1];
    }
    // An I2C read of `n` bytes after the register bytes; empty when not acknowledged.
    std::vector<int> read(int addr8, std::vector<int> regs, int n)
    {
        std::vector<int> rq{1, 6, addr8 | 1, n, int(regs.size())};
        rq.insert(rq.end(), regs.begin(), regs.end());
        platform::Report r{};
        std::copy(rq.begin(), rq.end(), r.begin());
        const platform::Report rp = ask(board, r);
        if (rp[1] != 0)
            return {};
        return std::vector<int>(rp.begin() + 2, rp.begin() + 2 + n);
    }

    sim::SimBoard board;
    std::shared_ptr<sim::AnalogBoard> analog;
};

} // namespace

TEST_F(SpecialParts, K4736StatusSelectsWhereRegisters0To3Are)
{
    auto k = sim::installK4736(board);
    EXPECT_EQ(write(0x5E, {0x02}, {0x11}), 0); // status 0: the WCR
    EXPECT_EQ(k->wcr[2], 0x11);
    EXPECT_EQ(write(0x5E, {0x08}, {0x05}), 0); // bank 2
    EXPECT_EQ(write(0x5E, {0x02}, {0x22}), 0);
    EXPECT_EQ(k->dr[2][2], 0x22);
    EXPECT_EQ(k->wcr[2], 0x11);
    EXPECT_EQ(read(0x5E, {0x02}, 1), std::vector<int>{0x22}); // reads follow the bank too
    EXPECT_EQ(read(0x5E, {0x08}, 1), std::vector<int>{0x05});
    EXPECT_EQ(write(0x5E, {0x08}, {0x07}), 0); // bank 3, all four wipers in one write
    EXPECT_EQ(write(0x5E, {0x00}, {0x03, 0x13, 0x23, 0x33}), 0);
    EXPECT_EQ(k->dr[3], (std::array<std::uint8_t, 4>{0x03, 0x13, 0x23, 0x33}));
    EXPECT_EQ(write(0x5E, {0x08}, {0x00}), 0);
    EXPECT_EQ(read(0x5E, {0x00}, 4), (std::vector<int>{0, 0, 0x11, 0}));
}

TEST_F(SpecialParts, K4736PinsStepTheSelectedWiperAndStoreIt)
{
    auto k = sim::installK4736(board);
    k->wcr[3] = 10;
    setPort(kP0, 0xFF);             // DS0, DS1 high: wiper 3
    setPort(kP1, kP1I2C);           // SCL, CS, U/D high
    setPort(kP1, kP1I2C & ~0x02);   // CS low
    for (int i = 0; i < 2; ++i) {   // two pulses up
        setPort(kP1, kP1I2C & ~0x03);
        setPort(kP1, kP1I2C & ~0x02);
    }
    EXPECT_EQ(k->wcr[3], 12);
    setPort(kP1, kP1I2C & ~0x06);   // U/D low
    setPort(kP1, kP1I2C & ~0x07);
    setPort(kP1, kP1I2C & ~0x06);   // one pulse down
    EXPECT_EQ(k->wcr[3], 11);
    EXPECT_EQ(k->dr[0][3], 0);
    setPort(kP1, kP1I2C & ~0x04);   // CS high with SCL high: store
    EXPECT_EQ(k->dr[0][3], 11);
    EXPECT_EQ(k->wcr[0], 0);        // the other wipers stay

    // Clamped to 0..taps; a clock with CS high moves nothing.
    k->wcr[3] = 64;
    setPort(kP1, kP1I2C & ~0x02);
    setPort(kP1, kP1I2C & ~0x03);
    setPort(kP1, kP1I2C & ~0x02);
    EXPECT_EQ(k->wcr[3], 64);
    setPort(kP1, kP1I2C);
    setPort(kP1, kP1I2C & ~0x01);
    setPort(kP1, kP1I2C);
    EXPECT_EQ(k->wcr[3], 64);
    EXPECT_EQ(k->pinSteps, 4);
}

TEST_F(SpecialParts, SupplyAndBusSwitch)
{
    auto t = sim::installK6627(board);
    auto k = sim::installK4736(board); // the wipers on VIN0..VIN3 are the last part's
    k->dr[0] = {1, 2, 3, 64};
    t->dr[0] = 0x200;
    EXPECT_EQ(write(0x5E, {0x08}, {0x03}), 0);
    setPort(kP2, 0xDF); // VCC off
    EXPECT_EQ(write(0x5E, {0x00}, {0x01}), 1);
    EXPECT_EQ(read(0x50, {0x80}, 2), std::vector<int>{});
    EXPECT_EQ(analog->wiperVolts(3), 0.0);
    setPort(kP2, 0xFF); // on again: the WCRs load their stored values, status back to 0
    EXPECT_EQ(k->wcr, (std::array<std::uint8_t, 4>{1, 2, 3, 64}));
    EXPECT_EQ(k->status, 0);
    EXPECT_EQ(t->wcr, 0x200);
    EXPECT_DOUBLE_EQ(analog->wiperVolts(3), analog->vcc());
    EXPECT_DOUBLE_EQ(analog->wiperVolts(1), analog->vcc() * 2 / 64);
    setPort(kP1, 0xFF); // the bus switch selects SPI
    EXPECT_EQ(write(0x5E, {0x00}, {0x01}), 1);
}

TEST_F(SpecialParts, K6627Instructions)
{
    auto t = sim::installK6627(board);
    struct Step {
        const char* what;
        bool isRead;
        std::vector<int> regs, data;
        int n;                 // bytes read
        std::vector<int> got;  // what a read returns
    } steps[] = {
        {"write WCR", false, {0xA0}, {0x03, 0xFF}, 0, {}},
        {"read WCR", true, {0x80}, {}, 2, {0x03, 0xFF}},
        {"write DR1", false, {0xC4}, {0x01, 0x23}, 0, {}},
        {"read DR1", true, {0xA4}, {}, 2, {0x01, 0x23}},
        {"WCR to DR3, instruction alone", false, {}, {0xEC}, 0, {}},
        {"read DR3", true, {0xA8 + 4}, {}, 2, {0x03, 0xFF}},
        {"DR1 to WCR, one-byte read", true, {0xC4}, {}, 1, {0xFF}},
        {"read WCR again", true, {0x80}, {}, 2, {0x01, 0x23}},
        {"high bits beyond 10 dropped", false, {0xC8}, {0xFE, 0x10}, 0, {}},
        {"read DR2", true, {0xA8}, {}, 2, {0x02, 0x10}},
        {"unknown instruction", false, {0x55}, {0x01, 0x02}, 0, {}},
    };
    for (const auto& s : steps) {
        if (s.isRead)
            EXPECT_EQ(read(0x50, s.regs, s.n), s.got) << s.what;
        else
            EXPECT_EQ(write(0x50, s.regs, s.data), 0) << s.what;
    }
    EXPECT_EQ(t->dr, (std::array<std::uint16_t, 4>{0, 0x123, 0x210, 0x3FF}));
    EXPECT_EQ(t->wcr, 0x123);

    t->junkHighBits = true;
    EXPECT_EQ(read(0x50, {0x80}, 2), (std::vector<int>{0xFD, 0x23}));

    // The two-wire read option travels with each transfer.
    ask(board, report({1, 0x04, 0, 0x08, 0, 0}));
    read(0x50, {0xC0}, 1);
    EXPECT_TRUE(t->transfers.back().twoWireRead);
    EXPECT_EQ(t->transfers.back().bytes, std::vector<std::uint8_t>{0xC0});
    EXPECT_FALSE(t->transfers.front().twoWireRead);
}
