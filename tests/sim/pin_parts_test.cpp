// The pin-driven daughter boards: the up/down part (two chips on /CS1 and /CS2, shared /INC
// and U/D) and the push-button part, driven by SFR writes of the port latches as the
// program sends them.
#include "sim_test_util.h"

#include "sim/pushbutton_part.h"
#include "sim/updown_part.h"

#include <cmath>

using simtest::ask;
using simtest::report;

namespace {

constexpr int kP0 = 0x80, kP1 = 0x90, kP2 = 0xA0;
constexpr int kCs1 = 0x40, kCs2 = 0x80, kInc = 0x02, kUd = 0x04;

class PinPartTest : public simtest::VirtualClock {
protected:
    void write(int sfr, int value) { ask(board, report({1, 0x12, 0, sfr, value})); }
    // A train of n falling /INC edges on the chips whose /CS bits are low in p0, leaving /INC
    // low as the program's trains do.
    void train(int p0, bool up, int n)
    {
        const int ud = up ? kUd : 0;
        write(kP0, p0);
        write(kP1, kInc | ud);
        for (int i = 1; i < n; ++i) {
            write(kP1, ud);
            write(kP1, kInc | ud);
        }
        write(kP1, ud);
    }
    void deselect(bool incHigh) { write(kP1, incHigh ? kInc : 0), write(kP0, 0xFF); }
    int convert(int input)
    {
        ask(board, report({1, 0x0C, 0, input, 0x1F}));
        const platform::Report rp = ask(board, report({1, 0x11, 0, 0}));
        return rp[2] << 8 | rp[3];
    }
    void vcc(bool on) { write(kP2, on ? 0xFF : 0xDF); }

    sim::SimBoard board;
};

class UpDownTest : public PinPartTest {
protected:
    void SetUp() override
    {
        PinPartTest::SetUp();
        part = sim::installUpDownPart(board);
    }
    int wiper(int chip) const { return part->chips[size_t(chip)].wiper; }
    std::shared_ptr<sim::UpDownPart> part;
};

} // namespace

TEST_F(UpDownTest, TrainsStepTheSelectedChipsAndSaturate)
{
    struct Case {
        const char* what;
        int p0; // /CS levels during the train
        bool up;
        int n;
        int chip1, chip2;
    };
    const Case cases[] = {
        {"chip 1 up", 0xFF & ~kCs1, true, 7, 57, 50},
        {"chip 1 down", 0xFF & ~kCs1, false, 3, 54, 50},
        {"chip 2 up to the top", 0xFF & ~kCs2, true, 80, 54, 100},
        {"both selected share /INC", 0xFF & ~(kCs1 | kCs2), false, 10, 44, 90},
        {"chip 1 down past the bottom", 0xFF & ~kCs1, false, 60, 0, 90},
        {"no chip selected", 0xFF, true, 5, 0, 90},
    };
    for (const Case& c : cases) {
        train(c.p0, c.up, c.n);
        deselect(false);
        EXPECT_EQ(wiper(0), c.chip1) << c.what;
        EXPECT_EQ(wiper(1), c.chip2) << c.what;
    }
    EXPECT_EQ(part->chips[0].storeCycles, 0); // /CS rose with /INC low every time
}

TEST_F(UpDownTest, DirectionAndIncInOneWriteTakeTheNewDirection)
{
    write(kP0, 0xFF & ~kCs1);
    write(kP1, kInc); // /INC high, U/D low (down)
    write(kP1, kUd);  // /INC falls as U/D rises: one step up
    EXPECT_EQ(wiper(0), 51);
    write(kP1, kInc); // /INC rises, U/D falls: no step
    EXPECT_EQ(wiper(0), 51);
}

TEST_F(UpDownTest, StoreOnCsRisingWithIncHighSurvivesVccOffAndOn)
{
    train(0xFF & ~kCs1, true, 12); // 62
    deselect(true);                // stores 62
    train(0xFF & ~kCs1, false, 30);
    deselect(false);               // 32, not stored
    EXPECT_EQ(part->chips[0].storeCycles, 1);
    EXPECT_EQ(part->chips[0].stored, 62);

    vcc(false);
    train(0xFF & ~kCs1, true, 5); // unpowered: ignored
    deselect(true);
    EXPECT_EQ(convert(0x06), 0);
    vcc(true);
    EXPECT_EQ(wiper(0), 62);
    EXPECT_EQ(wiper(1), 50); // never stored: its fresh value
    EXPECT_EQ(part->chips[0].storeCycles, 1);
}

TEST_F(UpDownTest, WiperVoltagesOnVin0AndVin1)
{
    train(0xFF & ~kCs1, true, 50); // chip 1 at the top, chip 2 at 50
    deselect(false);
    sim::AnalogBoard& analog = *sim::analogBoard(board);
    const double vcc = analog.vcc();
    EXPECT_GT(vcc, 3.0);
    const auto count = [](double volts) { return int(std::lround(volts / 3.3 * 1023)); };
    EXPECT_EQ(convert(0x06), count(vcc / 2));
    EXPECT_EQ(convert(0x07), count(vcc * 50 / 100 / 2));
}

TEST_F(UpDownTest, ConfiguredPositionsAndFaults)
{
    part->config.positions = 100;
    train(0xFF & ~kCs1, true, 200);
    deselect(true);
    EXPECT_EQ(wiper(0), 99);

    // Two stores hold, the third finds the memory worn: the wiper falls back to 97.
    part->config.storeFailsAfter = 2;
    train(0xFF & ~kCs1, false, 2); // 97
    deselect(true);                // second store holds
    train(0xFF & ~kCs1, true, 1);  // 98
    deselect(true);                // worn: back to 97
    EXPECT_EQ(part->chips[0].storeCycles, 3);
    EXPECT_EQ(wiper(0), 97);
    EXPECT_EQ(part->chips[0].stored, 97);

    part->config.stuckAt = 10;
    EXPECT_NEAR(part->wiperVolts(0), sim::analogBoard(board)->vcc() * 10 / 99, 1e-12);
    part->config.stuckAt = -1;
}

TEST(UpDownNoise, SeededAndBounded)
{
    TestServices svc;
    platform::setServices(&svc);
    const auto readings = [](std::uint32_t seed) {
        sim::SimBoard board;
        auto part = sim::installUpDownPart(board, {.noiseVolts = 0.01, .noiseSeed = seed});
        std::vector<double> v;
        for (int i = 0; i < 20; ++i)
            v.push_back(part->wiperVolts(0));
        return v;
    };
    const auto a = readings(7);
    EXPECT_EQ(a, readings(7));
    EXPECT_NE(a, readings(8));
    const double nominal = sim::AnalogBoard::kVccBase + sim::AnalogBoard::kVccPerCode * 0x3F;
    for (double v : a)
        EXPECT_NEAR(v, nominal / 2, 0.01);
    platform::setServices(nullptr);
}

// --- push-button part

namespace {

class PushButtonTest : public PinPartTest {
protected:
    void SetUp() override
    {
        PinPartTest::SetUp();
        part = sim::installPushButtonPart(board);
    }
    void buttons(bool up, bool down) { write(kP1, (up ? kInc : 0) | (down ? kUd : 0)); } // high = released
    void press(bool upButton, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            buttons(!upButton, upButton);
            svc.advanceMs(50);
            buttons(true, true);
            svc.advanceMs(50);
        }
    }
    std::shared_ptr<sim::PushButtonPart> part;
};

} // namespace

TEST_F(PushButtonTest, PressesStepAndSaturate)
{
    press(true, 7);
    EXPECT_EQ(part->wiper(), 57);
    press(false, 100);
    EXPECT_EQ(part->wiper(), 0);
    press(true, 3);
    EXPECT_EQ(part->wiper(), 3);
}

TEST_F(PushButtonTest, HeldButtonRepeatsAfterASecond)
{
    buttons(false, true); // /UP held
    svc.advanceMs(900);
    EXPECT_EQ(part->wiper(), 51);
    svc.advanceMs(350); // 1250 ms: the first repeat at 1000, then 1100 and 1200
    EXPECT_EQ(part->wiper(), 54);
    buttons(true, true);
    svc.advanceMs(2000);
    EXPECT_EQ(part->wiper(), 54);
}

TEST_F(PushButtonTest, ShutdownStoreMuteAndPower)
{
    press(true, 4); // 54
    buttons(false, true);
    buttons(false, false); // both low: shutdown, no step
    EXPECT_TRUE(part->shutdown());
    EXPECT_EQ(convert(0x06), 0);
    buttons(true, false); // one released: still shut down, no step
    buttons(true, true);
    EXPECT_FALSE(part->shutdown());
    EXPECT_EQ(part->wiper(), 55); // the /UP press before shutdown counted once

    write(kP0, 0x7F); // /STORE low
    write(kP0, 0xFF); // released: stored
    EXPECT_EQ(part->stored, 55);
    EXPECT_GT(convert(0x06), 0);
    write(kP0, 0xFB); // /MUTE low
    EXPECT_EQ(convert(0x06), 0);
    write(kP0, 0xFF);

    press(false, 20); // 35
    vcc(false);
    press(true, 3);   // unpowered: ignored
    vcc(true);
    EXPECT_EQ(part->wiper(), 55);
    EXPECT_EQ(part->storeCycles, 1);

    // Buttons that went low and high again while unpowered leave no shutdown behind.
    vcc(false);
    buttons(false, false);
    vcc(true);
    EXPECT_TRUE(part->shutdown());
    vcc(false);
    buttons(true, true);
    vcc(true);
    EXPECT_FALSE(part->shutdown());
    press(true, 1);
    EXPECT_EQ(part->wiper(), 56);
}
