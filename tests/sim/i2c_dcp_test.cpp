// The simulated I2C potentiometers and the part list: supply and bus switch, volatile and
// stored wipers, the ACR, address pins, write protection and the wiper voltage.
#include "sim/analog_board.h"
#include "sim/evaluation_board.h"
#include "sim/i2c_dcp.h"
#include "sim/parts.h"
#include "sim_test_util.h"

using simtest::ask;
using simtest::report;

namespace {

constexpr std::uint8_t kVccOn = 0x20; // P2.5

class I2cDcpTest : public simtest::VirtualClock {
protected:
    void SetUp() override
    {
        VirtualClock::SetUp();
        sim::findSimPart("zn3740")->install(board);
        board.setSfr(sim::sfr::P0, 0x00); // address pins low
        board.setSfr(sim::sfr::P1, 0x04); // /WP high, bus switch on I2C
        board.setSfr(sim::sfr::P2, kVccOn);
        dcp = dynamic_cast<sim::I2cDcp*>(board.i2cDevice(0x50));
        ASSERT_NE(dcp, nullptr);
    }
    int status(std::initializer_list<int> bytes) { return ask(board, report(bytes))[1]; }
    int readWiper(int address8, int channel)
    {
        const auto rp = ask(board, report({1, 0x06, address8 | 1, 1, 1, channel}));
        return rp[1] == 0 ? rp[2] : -1;
    }
    sim::SimBoard board;
    sim::I2cDcp* dcp = nullptr;
};

} // namespace

TEST_F(I2cDcpTest, AnswersOnlyWithVccOnAndTheBusSwitchOnI2C)
{
    EXPECT_EQ(status({1, 0x06, 0xA0, 1, 1, 2, 0x11}), 0);
    board.setSfr(sim::sfr::P1, 0x0C); // bus switch to SPI
    EXPECT_EQ(status({1, 0x06, 0xA0, 1, 1, 2, 0x12}), 1);
    board.setSfr(sim::sfr::P1, 0x04);
    board.setSfr(sim::sfr::P2, 0x00);
    EXPECT_EQ(status({1, 0x06, 0xA0, 1, 1, 2, 0x12}), 1);
    EXPECT_EQ(dcp->wiperVolts(2), 0.0);
}

TEST_F(I2cDcpTest, VolatileWritesAreLostAtPowerDownStoredOnesReload)
{
    EXPECT_EQ(readWiper(0xA0, 0), 64); // stored mid-scale, loaded at power-up
    EXPECT_EQ(dcp->acr(), 0x40);
    EXPECT_EQ(status({1, 0x06, 0xA0, 1, 1, 0, 0x22}), 0); // ACR 0x40: stored too
    EXPECT_EQ(status({1, 0x06, 0xA0, 1, 1, 0x08, 0xC0}), 0); // volatile from now on
    EXPECT_EQ(status({1, 0x06, 0xA0, 1, 1, 0, 0x33}), 0);
    EXPECT_EQ(readWiper(0xA0, 0), 0x33);
    EXPECT_EQ(dcp->stored(0), 0x22);
    board.setSfr(sim::sfr::P2, 0x00);
    board.setSfr(sim::sfr::P2, kVccOn);
    EXPECT_EQ(readWiper(0xA0, 0), 0x22);
    EXPECT_EQ(dcp->acr(), 0x40);
}

TEST_F(I2cDcpTest, WiperVoltageFollowsPositionSupplyAndShutdown)
{
    sim::AnalogBoard& analog = *sim::analogBoard(board);
    status({1, 0x06, 0xA0, 1, 1, 1, 0x40});
    EXPECT_NEAR(analog.wiperVolts(1), analog.vcc() * 64 / 128, 1e-9);
    status({1, 0x06, 0xA0, 1, 1, 1, 0xFF});
    EXPECT_NEAR(analog.wiperVolts(1), analog.vcc(), 1e-9); // above the taps: the top
    status({1, 0x06, 0xA0, 1, 1, 0x08, 0x80}); // ACR bit 6 clear: shut down
    EXPECT_EQ(analog.wiperVolts(1), 0.0);
}

TEST_F(I2cDcpTest, AddressPinsMoveThePartAndLowWpIgnoresWrites)
{
    board.setSfr(sim::sfr::P0, 0x40);                  // A0
    board.setSfr(sim::sfr::P1, 0x04 | 0x02);           // A3
    EXPECT_EQ(dcp->address7(), 0x50 + 1 + 8);
    EXPECT_EQ(board.i2cDevice(0x50), nullptr);
    EXPECT_EQ(status({1, 0x06, 0xB2, 1, 1, 0, 0x10}), 0);
    EXPECT_EQ(dcp->wcr(0), 0x10);
    board.setSfr(sim::sfr::P1, 0x02); // /WP low
    EXPECT_EQ(status({1, 0x06, 0xB2, 1, 1, 0, 0x20}), 0);
    EXPECT_EQ(dcp->wcr(0), 0x10);
}

TEST(SimParts, EachPartPutsOnlyItsOwnChipOnTheBoard)
{
    // Name, the 7-bit I2C address it answers at (-1: none), whether it sits in the SPI slot.
    // The ZN parts follow their address pins, all high on a fresh board: base + 15.
    struct Case {
        const char* name;
        int address7;
        bool spi;
    };
    const Case cases[] = {
        {"ZN3710", 0x37, false}, {"ZN3740", 0x5F, false}, {"ZN3750", 0x5F, false}, {"ZN3810", 0x37, false},
        {"K4736", 0x2F, false},  {"K6627", 0x28, false},  {"k4744", 0x28, false},  {"k4731", -1, true},
        {"ZN3920", -1, true},    {"ZN3930", -1, true},    {"K6623", -1, true},     {"updown", -1, false},
        {"pushbutton", -1, false},
    };
    ASSERT_EQ(sim::simParts().size(), std::size(cases));
    EXPECT_STREQ(sim::defaultSimPart().name, "ZN3710");
    const std::string list = sim::simPartList();
    for (const Case& c : cases) {
        const sim::SimPart* p = sim::findSimPart(c.name);
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_NE(list.find(std::string(p->name) + " "), std::string::npos) << c.name;
        EXPECT_NE(list.find(p->menuPick), std::string::npos) << c.name;
        sim::SimBoard b;
        const sim::SpiDevice* emptySlot = b.chipSlot.get();
        sim::setUpEvaluationBoard(b, {}, p);
        for (int a = 0; a < 128; ++a)
            EXPECT_EQ(b.i2cDevice(std::uint8_t(a)) != nullptr, a == c.address7) << c.name << " at " << a;
        EXPECT_EQ(b.chipSlot.get() != emptySlot, c.spi) << c.name;
    }
    EXPECT_EQ(sim::findSimPart("zn3750"), &sim::simParts()[2]);
    EXPECT_EQ(sim::findSimPart("PushButton"), sim::findSimPart("pushbutton"));
    EXPECT_EQ(sim::findSimPart("ZN9999"), nullptr);
}
