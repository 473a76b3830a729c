// The simulated board's answers to the bridge command set, byte for byte.
#include "sim_test_util.h"

#include "sim/i2c_devices.h"
#include "sim/sim_board.h"

#include <tuple>
#include <vector>

using simtest::ask;
using simtest::hex;
using simtest::report;

namespace {

class SimBoardTest : public simtest::VirtualClock {
protected:
    sim::SimBoard board;
};

// ---------------------------------------------------------------------------------------
// Gets of a fresh board: request -> the whole 64-byte reply.

struct GetCase {
    const char* name;
    platform::Report request;
    platform::Report reply;
};

TEST_F(SimBoardTest, GetsOfAFreshBoardAnswerTheirBytes)
{
    const GetCase cases[] = {
        {"firmware 2.5 of 15 March 2010", report({1, 0x00}), report({1, 0, 2, 5, 0x07, 0xDA, 3, 15})},
        {"LEDs off", report({1, 0x01, 1}), report({1, 0, 0})},
        {"port modes", report({1, 0x02, 1}), report({1, 0, 0, 0, 0})},
        {"I2C options", report({1, 0x04, 1}), report({1, 0, 0, 0})},
        {"SMBus clock 24 MHz / 240", report({1, 0x05, 1}), report({1, 0, 24, 240})},
        {"SPI mode: slave select idle high", report({1, 0x07, 1}), report({1, 0, 0x04})},
        {"SPI clock 24 MHz, index 11", report({1, 0x08, 1}), report({1, 0, 24, 11})},
        {"ADC clock", report({1, 0x0A, 1}), report({1, 0, 48, 0x38})},
        {"ADC reference", report({1, 0x0B, 1}), report({1, 0, 0x08})},
        {"ADC mux: P2.2 against GND, all pins digital",
         report({1, 0x0C, 1}), report({1, 0, 0x0A, 0x1F, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF})},
        {"ADC mode single", report({1, 0x0D, 1}), report({1, 0, 0})},
        {"ADC averaging 10", report({1, 0x0E, 1}), report({1, 0, 10})},
        {"ADC sample rate", report({1, 0x0F, 1}), report({1, 0, 48, 0x04, 0x00})},
        {"ADC disabled", report({1, 0x10, 1}), report({1, 0, 0})},
        {"SFR P0 latch", report({1, 0x12, 1, 0x80}), report({1, 0, 0, 0xFF})},
        {"SFR P4 latch", report({1, 0x12, 1, 0xC7}), report({1, 0, 0, 0xFF})},
        {"SFR P1MDIN", report({1, 0x12, 1, 0xF2}), report({1, 0, 0, 0xFF})},
        {"SFR XBR0", report({1, 0x12, 1, 0xE1}), report({1, 0, 0, 0x06})},
        {"SFR below 0x80 is no SFR", report({1, 0x12, 1, 0x12}), report({1, 0, 1, 0})},
        {"external ADC conversion of 0", report({1, 0x13, 1, 0x84, 0x02, 0x01}), report({1, 0})},
        {"unused code 0x03", report({1, 0x03}), report({1, sim::kStatusBadRequest})},
        {"get/set byte 2 on a configuration command", report({1, 0x05, 2}), report({1, sim::kStatusBadRequest})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hex(ask(board, c.request)), hex(c.reply)) << c.name;
}

TEST_F(SimBoardTest, FirmwareVersionIsSettable)
{
    board.firmware = {3, 1, 2024, 12, 31};
    EXPECT_EQ(hex(ask(board, report({1, 0x00}))), hex(report({1, 0, 3, 1, 0x07, 0xE8, 12, 31})));
}

// ---------------------------------------------------------------------------------------
// Sets: every set is answered (a stale reply for the drains) and its get reads it back.

struct SetCase {
    const char* name;
    platform::Report set;
    platform::Report get;
    platform::Report reply;
};

TEST_F(SimBoardTest, SetsAreAnsweredAndKeptForTheirGets)
{
    const SetCase cases[] = {
        {"LEDs green and red", report({1, 0x01, 0, 0x03}), report({1, 0x01, 1}), report({1, 0, 0x03})},
        {"P1/P2 modes and pull-ups", report({1, 0x02, 0, 0x81, 0x08, 1}), report({1, 0x02, 1}), report({1, 0, 0x81, 0x08, 1})},
        {"  ... land in P1MDOUT", report({1, 0x02, 0, 0x81, 0x08, 1}), report({1, 0x12, 1, 0xA5}), report({1, 0, 0, 0x81})},
        {"  ... and P2MDOUT", report({1, 0x02, 0, 0x81, 0x08, 1}), report({1, 0x12, 1, 0xA6}), report({1, 0, 0, 0x08})},
        {"  ... and XBR1 bit 7", report({1, 0x02, 0, 0x81, 0x08, 1}), report({1, 0x12, 1, 0xE2}), report({1, 0, 0, 0xC0})},
        {"I2C options all on", report({1, 0x04, 0, 0x0B, 1, 0}), report({1, 0x04, 1}), report({1, 0, 0x0B, 0x01})},
        {"SMBus divider 60", report({1, 0x05, 0, 60}), report({1, 0x05, 1}), report({1, 0, 24, 60})},
        {"SPI mode 5", report({1, 0x07, 0, 0x05}), report({1, 0x07, 1}), report({1, 0, 0x05})},
        {"SPI clock index 3", report({1, 0x08, 0, 3}), report({1, 0x08, 1}), report({1, 0, 24, 3})},
        {"  ... lands in SPI0CKR", report({1, 0x08, 0, 3}), report({1, 0x12, 1, 0xA2}), report({1, 0, 0, 3})},
        {"ADC clock", report({1, 0x0A, 0, 0x58}), report({1, 0x0A, 1}), report({1, 0, 48, 0x58})},
        {"ADC mux P2.3 against GND", report({1, 0x0C, 0, 0x0B, 0x1F}), report({1, 0x0C, 1}),
         report({1, 0, 0x0B, 0x1F, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF})},
        {"ADC mux sees analog pins", report({1, 0x12, 0, 0xF3, 0xF7}), report({1, 0x0C, 1}),
         report({1, 0, 0x0A, 0x1F, 0xFF, 0, 0xFF, 0, 0xF7, 0, 0xFF, 0, 0xFF})},
        {"ADC continuous", report({1, 0x0D, 0, 1}), report({1, 0x0D, 1}), report({1, 0, 1})},
        {"ADC averaging 200", report({1, 0x0E, 0, 200}), report({1, 0x0E, 1}), report({1, 0, 200})},
        {"ADC sample rate 0x1234", report({1, 0x0F, 0, 0x12, 0x34}), report({1, 0x0F, 1}), report({1, 0, 48, 0x12, 0x34})},
        {"ADC enabled", report({1, 0x10, 0, 1}), report({1, 0x10, 1}), report({1, 0, 1})},
        {"  ... in ADC0CN bit 7", report({1, 0x10, 0, 1}), report({1, 0x12, 1, 0xE8}), report({1, 0, 0, 0x80})},
        {"SFR P2 latch", report({1, 0x12, 0, 0xA0, 0x10}), report({1, 0x12, 1, 0xA0}), report({1, 0, 0, 0x10})},
        {"SFR XBR0 as the quad console writes it", report({1, 0x12, 0, 0xE1, 0x02}), report({1, 0x12, 1, 0xE1}), report({1, 0, 0, 0x02})},
    };
    for (const auto& c : cases) {
        sim::SimBoard fresh;
        const platform::Report setReply = ask(fresh, c.set);
        EXPECT_EQ(setReply[0], 1) << c.name;
        EXPECT_EQ(setReply[1], sim::kStatusDone) << c.name;
        EXPECT_EQ(hex(ask(fresh, c.get)), hex(c.reply)) << c.name;
    }
}

TEST_F(SimBoardTest, SetsKeepTheirStateInTheBoard)
{
    ask(board, report({1, 0x04, 0, 0x09, 0, 0}));
    EXPECT_TRUE(board.i2c.repeatedStart);
    EXPECT_FALSE(board.i2c.stoppedWrite);
    EXPECT_TRUE(board.i2c.twoWireRead);
    EXPECT_FALSE(board.i2c.extendedHold);
    ask(board, report({1, 0x05, 0, 0})); // the divider 256 travels as 0
    EXPECT_EQ(board.smbus.divider, 0);
    ask(board, report({1, 0x0C, 0, 0x1E, 0x1F}));
    EXPECT_EQ(board.sfr(sim::sfr::AMX0P), 0x1E);
    EXPECT_EQ(board.sfr(sim::sfr::AMX0N), 0x1F);
    ask(board, report({1, 0x12, 0, 0x80, 0x5A}));
    EXPECT_EQ(board.portLatch(0), 0x5A);
}

TEST_F(SimBoardTest, SclToggleReportsTheSdaErrorWhileSdaIsStuck)
{
    EXPECT_EQ(hex(ask(board, report({1, 0x04, 0, 0, 0, 1}))), hex(report({1, 0, 0})));
    board.i2c.sdaStuck = true;
    EXPECT_EQ(hex(ask(board, report({1, 0x04, 0, 0, 0, 1}))), hex(report({1, 0, 0x01})));
    EXPECT_EQ(board.i2c.sclToggles, 2);
    // An options set without the toggle says nothing about SDA.
    EXPECT_EQ(hex(ask(board, report({1, 0x04, 0, 0x01, 0, 0}))), hex(report({1, 0})));
}

TEST_F(SimBoardTest, AReportNumberOtherThanOneFailsTheWrite)
{
    const sim::Response r = board.handle(report({0, 0x00}));
    EXPECT_FALSE(r.accepted);
    EXPECT_FALSE(r.reply);
    EXPECT_EQ(board.transcript.refusedWrites(), 1);
    EXPECT_TRUE(board.transcript.requests().empty());
}

// ---------------------------------------------------------------------------------------
// ADC conversions: round(V / vref x 1023), clamped, high byte first.

TEST_F(SimBoardTest, ConversionCountsFollowTheInputVoltage)
{
    struct Case {
        double volts;
        int high, low;
    };
    const Case cases[] = {
        {3.3, 0x03, 0xFF},  // full scale: 1023
        {0.0, 0x00, 0x00},
        {1.651, 0x02, 0x00}, // 511.8 rounds to 512
        {1.0, 0x01, 0x36},  // 310.0
        {5.0, 0x03, 0xFF},  // above the reference: clamped
        {-0.5, 0x00, 0x00}, // below ground: clamped
    };
    for (const auto& c : cases) {
        board.setInputVoltage(0x0A, c.volts);
        EXPECT_EQ(hex(ask(board, report({1, 0x11, 0, 0}))), hex(report({1, 0, c.high, c.low}))) << c.volts << " V";
    }
    EXPECT_EQ(board.adc.conversions, 6);
}

TEST_F(SimBoardTest, ConversionUsesTheSelectedInputAndReference)
{
    board.setInputVoltage(0x06, 1.25);
    board.setInputVoltage(0x0A, 2.5);
    ask(board, report({1, 0x0C, 0, 0x06, 0x1F}));
    EXPECT_EQ(board.conversionCount(), 388); // 1.25 / 3.3 x 1023 = 387.5, rounded half up
    board.adc.vref = 2.5;
    EXPECT_EQ(board.conversionCount(), 512); // 1.25 / 2.5 x 1023 = 511.5
    ask(board, report({1, 0x0C, 0, 0x1F, 0x1F}));
    EXPECT_EQ(board.conversionCount(), 1023); // VDD
    const platform::Report rp = ask(board, report({1, 0x11, 2, 1}));
    EXPECT_EQ(rp[2] << 8 | rp[3], 1023);
    EXPECT_EQ(board.adc.lastReadMode, 2);
    EXPECT_EQ(board.adc.lastSampleSelect, 1);
    EXPECT_EQ(board.sfr(sim::sfr::ADC0H) << 8 | board.sfr(sim::sfr::ADC0L), 1023);
}

TEST_F(SimBoardTest, ABoardModelCanSupplyTheVoltages)
{
    board.adc.source = [](std::uint8_t pos, std::uint8_t) { return pos == 0x0A ? 3.3 / 2 : 0.0; };
    EXPECT_EQ(board.conversionCount(), 512);
}

// ---------------------------------------------------------------------------------------
// External delta-sigma ADC (0x13).

TEST_F(SimBoardTest, ExternalAdcConversionIsTwosComplementHighByteFirst)
{
    struct Case {
        std::int32_t result;
        int b3, b4, b5;
    };
    const Case cases[] = {
        {-8388608, 0x80, 0x00, 0x00}, {8388607, 0x7F, 0xFF, 0xFF}, {-1, 0xFF, 0xFF, 0xFF},
        {1, 0x00, 0x00, 0x01},        {0x123456, 0x12, 0x34, 0x56}, {-9000000, 0x80, 0x00, 0x00},
        {9000000, 0x7F, 0xFF, 0xFF},
    };
    for (const auto& c : cases) {
        board.extAdc.result = c.result;
        EXPECT_EQ(hex(ask(board, report({1, 0x13, 1, 0x84, 0x02, 0x01}))), hex(report({1, 0, 0, c.b3, c.b4, c.b5})))
            << c.result;
    }
    EXPECT_EQ(board.extAdc.lastDelay, 0x01);
}

TEST_F(SimBoardTest, ExternalAdcRegisterValueArrivesOneBitLate)
{
    // Write 0xAB into register 4, then read it back: byte 2 bit 0 = bit 7, byte 3 = the rest.
    EXPECT_EQ(hex(ask(board, report({1, 0x13, 0, 0x84, 0xAB, 0x01}))), hex(report({1, 0, 0x01, 0x56})));
    const platform::Report rp = ask(board, report({1, 0x13, 0, 0x04, 0x00, 0x01}));
    EXPECT_EQ(((rp[2] & 0x01) << 7) | (rp[3] >> 1), 0xAB);
    EXPECT_EQ(board.extAdc.registers[4], 0xAB);
}

// ---------------------------------------------------------------------------------------
// I2C transfers (0x06) into a register bank.

TEST_F(SimBoardTest, I2CWriteOfTwoRegisterBytesAndThreeDataBytesLandsInTheBank)
{
    auto chip = std::make_shared<sim::RegisterBankDevice>();
    board.attachI2C(0x50 >> 1, chip);
    // Address 0x50, 3 data bytes, 2 register bytes 0x20 0x5A, data 0x11 0x22 0x33: on the bus
    // the first byte sets the pointer, every byte after it is stored.
    const platform::Report rp = ask(board, report({1, 0x06, 0x50, 3, 2, 0x20, 0x5A, 0x11, 0x22, 0x33}));
    EXPECT_EQ(hex(rp), hex(report({1, 0})));
    EXPECT_EQ(chip->reg(0x20), 0x5A);
    EXPECT_EQ(chip->reg(0x21), 0x11);
    EXPECT_EQ(chip->reg(0x22), 0x22);
    EXPECT_EQ(chip->reg(0x23), 0x33);
    EXPECT_EQ(chip->pointer(), 0x24);
}

TEST_F(SimBoardTest, I2CReadBackFromTheRegisterPointer)
{
    auto chip = std::make_shared<sim::RegisterBankDevice>();
    board.attachI2C(0x28, chip);
    ask(board, report({1, 0x06, 0x50, 4, 1, 0x3E, 0xA1, 0xB2, 0xC3, 0xD4}));
    // A register read at 0x3E, then a current-address read (no register byte) that goes on
    // from where the pointer stands.
    EXPECT_EQ(hex(ask(board, report({1, 0x06, 0x51, 2, 1, 0x3E}))), hex(report({1, 0, 0xA1, 0xB2})));
    EXPECT_EQ(hex(ask(board, report({1, 0x06, 0x51, 2, 0}))), hex(report({1, 0, 0xC3, 0xD4})));
    EXPECT_EQ(chip->reads, 2);
    EXPECT_EQ(chip->writes, 1);
}

TEST_F(SimBoardTest, I2CBlockOfSixtyTwoBytesWrapsAtTheLastRegister)
{
    auto chip = std::make_shared<sim::RegisterBankDevice>();
    board.attachI2C(0x28, chip);
    for (int i = 0; i < 256; ++i)
        chip->setReg(i, static_cast<std::uint8_t>(i));
    const platform::Report rp = ask(board, report({1, 0x06, 0x51, 62, 1, 0xF0}));
    EXPECT_EQ(rp[1], 0);
    EXPECT_EQ(rp[2], 0xF0);
    EXPECT_EQ(rp[17], 0xFF);
    EXPECT_EQ(rp[18], 0x00); // register 0 after 0xFF
    EXPECT_EQ(rp[63], 45);
}

TEST_F(SimBoardTest, I2CWithoutAnAcknowledgingDeviceIsNotAcknowledged)
{
    auto chip = std::make_shared<sim::RegisterBankDevice>();
    board.attachI2C(0x28, chip);
    struct Case {
        const char* name;
        platform::Report request;
        std::uint8_t status;
    };
    const Case cases[] = {
        {"read at an empty address", report({1, 0x06, 0x53, 1, 0}), sim::kStatusNak},
        {"write at an empty address", report({1, 0x06, 0x52, 1, 1, 0x00, 0x55}), sim::kStatusNak},
        {"read at the chip", report({1, 0x06, 0x51, 1, 0}), sim::kStatusDone},
        {"read of 63 bytes", report({1, 0x06, 0x51, 63, 0}), sim::kStatusBadRequest},
        {"write beyond the report", report({1, 0x06, 0x50, 59, 1}), sim::kStatusBadRequest},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ask(board, c.request)[1], c.status) << c.name;

    chip->setPowered(false);
    EXPECT_EQ(ask(board, report({1, 0x06, 0x51, 1, 0}))[1], sim::kStatusNak) << "unpowered chip";
    chip->setPowered(true);
    board.i2c.sdaStuck = true;
    EXPECT_EQ(ask(board, report({1, 0x06, 0x51, 1, 0}))[1], sim::kStatusNak) << "SDA held low";
    board.i2c.sdaStuck = false;
    board.detachI2C(0x28);
    EXPECT_EQ(ask(board, report({1, 0x06, 0x51, 1, 0}))[1], sim::kStatusNak) << "chip detached";
}

TEST_F(SimBoardTest, AddressScanFindsTheOneChip)
{
    board.attachI2C(0x2E, std::make_shared<sim::RegisterBankDevice>());
    int found = -1;
    for (int a = 0; a < 256; a += 2)
        if (ask(board, report({1, 0x06, a + 1, 1, 0}))[1] == sim::kStatusDone)
            found = a;
    EXPECT_EQ(found, 0x5C);
    EXPECT_EQ(board.i2cTransfers, 128);
}

// ---------------------------------------------------------------------------------------
// SPI transfers (0x09).

TEST_F(SimBoardTest, SpiChipSlotIsAOneByteShiftRegister)
{
    // P2.4 is high after reset: the chip under test is selected.
    EXPECT_EQ(hex(ask(board, report({1, 0x09, 0, 1, 0, 0, 3, 0x9F, 0x01, 0x02}))), hex(report({1, 0, 0xFF, 0x9F, 0x01})));
    EXPECT_EQ(hex(ask(board, report({1, 0x09, 0, 1, 0, 0, 2, 0xAA, 0xBB}))), hex(report({1, 0, 0x02, 0xAA})));
    // Without read-back the bytes are still clocked, the reply carries none of them.
    EXPECT_EQ(hex(ask(board, report({1, 0x09, 0, 0, 1, 12, 1, 0x33}))), hex(report({1, 0})));
    EXPECT_EQ(hex(ask(board, report({1, 0x09, 0, 1, 0, 0, 1, 0x00}))), hex(report({1, 0, 0x33})));
    EXPECT_TRUE(board.spi.lastPhaseChange == false);
    EXPECT_EQ(board.spi.transfers, 4);
}

TEST_F(SimBoardTest, SpiFrameOfFiftySevenBytesAndTheLimits)
{
    platform::Report rq = report({1, 0x09, 0, 1, 0, 0, 57});
    for (int i = 0; i < 57; ++i)
        rq[7 + i] = static_cast<std::uint8_t>(i + 1);
    const platform::Report rp = ask(board, rq);
    EXPECT_EQ(rp[2], 0xFF);
    EXPECT_EQ(rp[58], 56);
    EXPECT_EQ(ask(board, report({1, 0x09, 0, 1, 0, 0, 0}))[1], sim::kStatusBadRequest);
    EXPECT_EQ(ask(board, report({1, 0x09, 0, 1, 0, 0, 58}))[1], sim::kStatusBadRequest);
}

TEST_F(SimBoardTest, SpiChipSelectRoutingByP24)
{
    auto pot = std::make_shared<sim::ConstantSpiDevice>(0xFF);
    auto chip = std::make_shared<sim::ShiftRegisterSpiDevice>();
    board.supplyPotSlot = pot;
    board.chipSlot = chip;

    ask(board, report({1, 0x12, 0, 0xA0, 0x00})); // P2.4 low: supply potentiometer
    EXPECT_EQ(hex(ask(board, report({1, 0x09, 0, 1, 0, 0, 3, 0x50, 0xC0, 0x3E}))), hex(report({1, 0, 0xFF, 0xFF, 0xFF})));
    ask(board, report({1, 0x12, 0, 0xA0, 0x10})); // P2.4 high: the chip under test
    EXPECT_EQ(hex(ask(board, report({1, 0x09, 0, 1, 0, 0, 2, 0x11, 0x22}))), hex(report({1, 0, 0xFF, 0x11})));

    ASSERT_EQ(pot->frames.size(), 1u);
    EXPECT_EQ(pot->frames[0], (std::vector<std::uint8_t>{0x50, 0xC0, 0x3E}));
    ASSERT_EQ(chip->frames.size(), 1u);
    EXPECT_EQ(chip->frames[0], (std::vector<std::uint8_t>{0x11, 0x22}));
}

// ---------------------------------------------------------------------------------------
// Pins.

TEST_F(SimBoardTest, PortReadsShowPinsDrivenFromOutside)
{
    ask(board, report({1, 0x12, 0, 0x90, 0x0F}));
    board.setPinInputs(1, 0x09, 0x08); // P1.0 pulled low, P1.3 driven high
    EXPECT_EQ(hex(ask(board, report({1, 0x12, 1, 0x90}))), hex(report({1, 0, 0, 0x0E})));
    EXPECT_EQ(board.portLatch(1), 0x0F);
    EXPECT_FALSE(board.pin(1, 0));
    EXPECT_TRUE(board.pin(1, 3));
    board.setPinInputs(1, 0, 0);
    EXPECT_EQ(board.portPins(1), 0x0F);
}

TEST_F(SimBoardTest, PortLatchChangesReachThePinListeners)
{
    std::vector<std::tuple<int, int, int>> edges;
    board.pinListeners.push_back([&](int port, std::uint8_t before, std::uint8_t after) { edges.emplace_back(port, before, after); });
    ask(board, report({1, 0x12, 0, 0x80, 0xFE}));
    ask(board, report({1, 0x12, 0, 0x80, 0xFE})); // no change, no edge
    ask(board, report({1, 0x12, 0, 0xC7, 0x7F}));
    ask(board, report({1, 0x12, 0, 0xA4, 0x00})); // a mode register is no latch
    EXPECT_EQ(edges, (std::vector<std::tuple<int, int, int>>{{0, 0xFF, 0xFE}, {4, 0xFF, 0x7F}}));
}

TEST_F(SimBoardTest, TheSfrDumpListReadsTheBoardsRegisters)
{
    // The 26 addresses of the console's dump, all answered with status 0.
    const int dump[] = {0x80, 0x90, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xD4, 0xF5, 0xD5, 0xD6,
                        0xF1, 0xF2, 0xF3, 0xB0, 0xC7, 0xF4, 0xA7, 0xAE, 0xDF, 0xE1, 0xE2, 0xE3, 0xF8};
    for (int a : dump) {
        const platform::Report rp = ask(board, report({1, 0x12, 1, a}));
        EXPECT_EQ(rp[2], 0) << std::hex << a;
        EXPECT_EQ(rp[3], board.readSfr(static_cast<std::uint8_t>(a))) << std::hex << a;
    }
}

} // namespace
