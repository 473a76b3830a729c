// The simulated SPI potentiometers on the chip slot: frames as the board clocks them, the
// bus switch, chip select, power, ID pins, write protection and the wiper voltages.
#include "sim/parts.h"
#include "sim/spi_parts.h"
#include "sim_test_util.h"

#include <vector>

using simtest::ask;

namespace {

using Bytes = std::vector<int>;

class SpiPartsTest : public simtest::VirtualClock {
protected:
    void SetUp() override
    {
        VirtualClock::SetUp();
        analog = attachAnalogBoard(board).get();
        // As the device window leaves the ports: address pins low, P1.2 and P1.3 high,
        // P2.4 high (chip slot selected), VCC on.
        board.setSfr(sim::sfr::P0, 0x3F);
        board.setSfr(sim::sfr::P1, 0x0C);
        board.setSfr(sim::sfr::P2, 0x10);
        analog->supplyPot->data = 0x72;
    }
    void vcc(bool on)
    {
        const std::uint8_t p2 = board.portLatch(2);
        board.setSfr(sim::sfr::P2, on ? (p2 | 0x20) : (p2 & ~0x20));
    }
    void pin(int port, int bit, bool high)
    {
        const std::uint8_t v = board.portLatch(port);
        board.setSfr(sim::sfr::kPortData[size_t(port)], high ? (v | (1 << bit)) : (v & ~(1 << bit)));
    }
    // One SPI transfer report with read-back; the bytes clocked in.
    Bytes frame(const Bytes& mosi)
    {
        platform::Report rq{};
        rq[0] = 1, rq[1] = 0x09, rq[3] = 1, rq[6] = std::uint8_t(mosi.size());
        for (size_t i = 0; i < mosi.size(); ++i)
            rq[7 + i] = std::uint8_t(mosi[i]);
        const platform::Report rp = ask(board, rq);
        Bytes miso;
        for (size_t i = 0; i < mosi.size(); ++i)
            miso.push_back(rp[2 + i]);
        return miso;
    }
    sim::SimBoard board;
    sim::AnalogBoard* analog = nullptr;
};

} // namespace

TEST_F(SpiPartsTest, FourChannelPartsAnswerTheirFrames)
{
    struct Step {
        Bytes mosi, miso;
    };
    const struct {
        const char* part;
        std::shared_ptr<sim::SpiDcp> (*install)(sim::SimBoard&);
        std::vector<Step> steps;
    } parts[] = {
        {"ZN3920", sim::installZN3920,
         {{{0xC2, 0x7F}, {0xFF, 0xFF}},
          {{0x82, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0x7F}},
          {{0x60, 0xC0}, {0xFF, 0xFF}},
          {{0x20, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0xC0}},
          {{0xC4, 0x3A}, {0xFF, 0xFF}},
          {{0x84, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0x3A}},
          {{0x81, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0x00}}}},
        {"ZN3930", sim::installZN3930,
         {{{0x50, 0xC2, 0x7F}, {0x00, 0xFF, 0xFF}},
          {{0x50, 0xB2, 0x00}, {0x00, 0xFF, 0x7F}},
          {{0x50, 0xC8, 0xC0}, {0x00, 0xFF, 0xFF}},
          {{0x50, 0xB8, 0x00}, {0x00, 0xFF, 0xC0}},
          {{0x50, 0xC4, 0x3A}, {0x00, 0xFF, 0xFF}},
          {{0x50, 0xB4, 0x00}, {0x00, 0xFF, 0x3A}},
          // another ID: nobody answers, nothing changes
          {{0x52, 0xC2, 0x10}, {0x00, 0x00, 0x00}},
          {{0x50, 0xB2, 0x00}, {0x00, 0xFF, 0x7F}}}},
    };
    for (const auto& p : parts) {
        vcc(true);
        auto part = p.install(board);
        for (const Step& s : p.steps)
            EXPECT_EQ(frame(s.mosi), s.miso) << p.part << " " << std::hex << s.mosi[0] << " " << s.mosi[1];
        EXPECT_EQ(part->wcr[2], 0x7F) << p.part;
        EXPECT_EQ(part->acr, 0xC0) << p.part;
        EXPECT_EQ(part->gp, 0x3A) << p.part;
        vcc(false);
    }
}

TEST_F(SpiPartsTest, UnreachedOrUnpoweredChipsAnswerZerosAndTakeNothing)
{
    auto part = sim::installZN3920(board);
    const struct {
        const char* what;
        std::function<void()> set, undo;
        bool otherSlot; // the frame goes elsewhere: only the chip's registers are checked
    } cases[] = {
        {"VCC off", [&] { vcc(false); }, [&] { vcc(true); }, false},
        {"bus switched to I2C (P1.3 low)", [&] { pin(1, 3, false); }, [&] { pin(1, 3, true); }, false},
        // the frame goes to the supply potentiometer instead
        {"supply potentiometer selected (P2.4 low)", [&] { pin(2, 4, false); }, [&] { pin(2, 4, true); }, true},
    };
    vcc(true);
    for (const auto& c : cases) {
        c.set();
        const Bytes miso = frame({0xC0, 0x40});
        c.undo();
        if (!c.otherSlot) {
            EXPECT_EQ(miso, (Bytes{0, 0})) << c.what;
        }
        EXPECT_EQ(part->wcr[0], 0) << c.what;
    }
    EXPECT_EQ(frame({0xC0, 0x40}), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(part->wcr[0], 0x40);
}

TEST_F(SpiPartsTest, PowerLosesVolatileWipersAndLoadsTheStoredOnes)
{
    auto part = sim::installZN3920(board);
    vcc(true);
    frame({0xC0, 0x20}); // ACR 0x40 after power-up: written to the stored copy too
    frame({0x60, 0xC0}); // volatile only from now on
    frame({0xC0, 0x90});
    frame({0xC4, 0x3A}); // GP is non-volatile
    EXPECT_EQ(part->wcr[0], 0x90);
    vcc(false);
    vcc(true);
    EXPECT_EQ(frame({0x80, 0, 0, 0})[3], 0x20);
    EXPECT_EQ(frame({0x84, 0, 0, 0})[3], 0x3A);
    EXPECT_EQ(part->acr, 0x40);
}

TEST_F(SpiPartsTest, IdFollowsTheAddressPinsAndP12ProtectsWrites)
{
    auto part = sim::installZN3930(board);
    vcc(true);
    pin(0, 6, true); // A0: 0x52
    pin(1, 1, true); // A3: 0x62
    EXPECT_EQ(part->pinId(), 0x62);
    EXPECT_EQ(frame({0x50, 0xC0, 0x11}), (Bytes{0, 0, 0}));
    EXPECT_EQ(frame({0x62, 0xC0, 0x11}), (Bytes{0, 0xFF, 0xFF}));
    pin(1, 2, false); // write protect
    EXPECT_EQ(frame({0x62, 0xC0, 0x22}), (Bytes{0, 0xFF, 0xFF})) << "clocked in, acknowledged";
    EXPECT_EQ(part->wcr[0], 0x11);
}

TEST_F(SpiPartsTest, WiperVoltagesReachTheAdcInputs)
{
    auto part = sim::installZN3930(board);
    vcc(true);
    const double v = analog->vcc();
    frame({0x50, 0xC0, 64});
    frame({0x50, 0xC3, 200}); // beyond 128 taps: full scale
    EXPECT_DOUBLE_EQ(analog->inputVolts(sim::AnalogBoard::kVin0, false), v * 64 / 128 / 2);
    EXPECT_DOUBLE_EQ(analog->inputVolts(sim::AnalogBoard::kVin0 + 3, false), v / 2);
    frame({0x50, 0xC8, 0x80}); // ACR bit 6 clear: shut down
    EXPECT_EQ(analog->inputVolts(sim::AnalogBoard::kVin0, false), 0.0);
    frame({0x50, 0xC8, 0xC0});
    vcc(false);
    EXPECT_EQ(analog->inputVolts(sim::AnalogBoard::kVin0, false), 0.0);

    sim::installK6623(board);
    vcc(true);
    frame({0x50, 0xA0, 0x02, 0x00});
    EXPECT_DOUBLE_EQ(analog->inputVolts(sim::AnalogBoard::kVin0, false), analog->vcc() * 512 / 1024 / 2);
}

TEST_F(SpiPartsTest, K6623RegistersAndTransfers)
{
    auto k = sim::installK6623(board);
    vcc(true);
    struct Step {
        Bytes mosi, miso;
    };
    const Step steps[] = {
        {{0x50, 0xA0, 0x03, 0xFF}, {0, 0xFF, 0xFF, 0xFF}},  // WCR := 3FF
        {{0x51, 0x80, 0, 0}, {0, 0xFF, 0x03, 0xFF}},        // read WCR
        {{0x50, 0xC8, 0x02, 0x3C}, {0, 0xFF, 0xFF, 0xFF}},  // DR2 := 23C
        {{0x51, 0xA8, 0, 0}, {0, 0xFF, 0x02, 0x3C}},        // read DR2
        {{0x51, 0xC8}, {0, 0xFF}},                          // WCR := DR2
        {{0x51, 0x80, 0, 0}, {0, 0xFF, 0x02, 0x3C}},
        {{0x50, 0xEC}, {0, 0xFF}},                          // DR3 := WCR
        {{0x51, 0xAC, 0, 0}, {0, 0xFF, 0x02, 0x3C}},
        {{0x50, 0x99, 0x01, 0x01}, {0, 0xFF, 0xFF, 0xFF}},  // unknown: nothing changes
        {{0x53, 0x80, 0, 0}, {0, 0, 0, 0}},                 // another ID
    };
    for (const Step& s : steps)
        EXPECT_EQ(frame(s.mosi), s.miso) << std::hex << s.mosi[0] << " " << s.mosi[1];
    EXPECT_EQ(k->dr[3], 0x23C);
    k->junkHighBits = 0xF0;
    EXPECT_EQ(frame({0x51, 0x80, 0, 0}), (Bytes{0, 0xFF, 0xF2, 0x3C}));
    frame({0x50, 0xC0, 0x01, 0x23}); // DR0 is what power-up loads
    vcc(false);
    vcc(true);
    EXPECT_EQ(k->wcr, 0x123);
}

// Each SPI part of the part list goes into the chip slot with the analog board behind it.
TEST(SpiPartsList, EachGoesIntoTheChipSlot)
{
    for (const char* name : {"ZN3920", "ZN3930", "K6623"}) {
        const sim::SimPart* p = sim::findSimPart(name);
        ASSERT_NE(p, nullptr) << name;
        sim::SimBoard board;
        p->install(board);
        EXPECT_NE(dynamic_cast<sim::SpiPart*>(board.chipSlot.get()), nullptr) << name;
        EXPECT_NE(sim::analogBoard(board), nullptr) << name;
    }
}
