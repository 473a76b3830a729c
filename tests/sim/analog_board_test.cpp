// The analog side of the simulated evaluation board: the supply potentiometer on SPI, the
// supplies it sets, the ADC inputs, noise, and the boards that `--simulate` and
// `dcpeval-sim` serve.
#include "sim_test_util.h"
#include "support/sim_server.h"

#include "platform/transport.h"
#include "sim/analog_board.h"
#include "sim/evaluation_board.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>

using simtest::ask;
using simtest::hex;
using simtest::report;

namespace {

constexpr int kP2 = 0xA0;

class AnalogBoardTest : public simtest::VirtualClock {
protected:
    void SetUp() override
    {
        VirtualClock::SetUp();
        analog = sim::attachAnalogBoard(board);
    }
    void setP2(int value) { ask(board, report({1, 0x12, 0, kP2, value})); }
    // One three-byte frame to whatever P2.4 selects; the three bytes clocked back.
    std::vector<int> frame(int a, int b, int c)
    {
        const platform::Report rp = ask(board, report({1, 0x09, 0, 1, 0, 0, 3, a, b, c}));
        return {rp[2], rp[3], rp[4]};
    }
    int convert(int positive, int negative = 0x1F)
    {
        ask(board, report({1, 0x0C, 0, positive, negative}));
        const platform::Report rp = ask(board, report({1, 0x11, 0, 0}));
        return rp[2] << 8 | rp[3];
    }
    static int count(double volts) { return std::clamp(int(std::lround(volts / 3.3 * 1023)), 0, 1023); }

    sim::SimBoard board;
    std::shared_ptr<sim::AnalogBoard> analog;
};

} // namespace

TEST_F(AnalogBoardTest, SupplyPotentiometerFramesWhileP24IsLow)
{
    setP2(0xEF); // P2.4 low: the potentiometer is selected
    struct Case {
        const char* what;
        std::array<int, 3> sent;
        std::vector<int> received;
        int data, setup;
    };
    const Case cases[] = {
        {"write data", {0x50, 0xC0, 0x3E}, {0xFF, 0xFF, 0xFF}, 0x3E, 0x00},
        {"read data", {0x50, 0xB0, 0x00}, {0xFF, 0xFF, 0x3E}, 0x3E, 0x00},
        {"write set-up", {0x50, 0xC2, 0xC0}, {0xFF, 0xFF, 0xFF}, 0x3E, 0xC0},
        {"read set-up", {0x50, 0xB2, 0x00}, {0xFF, 0xFF, 0xC0}, 0x3E, 0xC0},
        {"data keeps seven bits", {0x50, 0xC0, 0xFF}, {0xFF, 0xFF, 0xFF}, 0x7F, 0xC0},
        {"another device byte", {0x51, 0xC0, 0x10}, {0xFF, 0xFF, 0xFF}, 0x7F, 0xC0},
        {"another device reads nothing", {0x51, 0xB0, 0x00}, {0xFF, 0xFF, 0xFF}, 0x7F, 0xC0},
        {"unknown register", {0x50, 0xC1, 0x10}, {0xFF, 0xFF, 0xFF}, 0x7F, 0xC0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frame(c.sent[0], c.sent[1], c.sent[2]), c.received) << c.what;
        EXPECT_EQ(analog->supplyPot->data, c.data) << c.what;
        EXPECT_EQ(analog->supplyPot->setup, c.setup) << c.what;
    }
    EXPECT_EQ(analog->supplyPot->writes, 3);

    setP2(0xFF); // P2.4 high: the frame goes to the chip under test
    frame(0x50, 0xC0, 0x01);
    EXPECT_EQ(analog->supplyPot->data, 0x7F);
}

TEST_F(AnalogBoardTest, VccFollowsTheCodeWhileP25IsHighWithTheBoardsErrors)
{
    struct Case {
        int code;
        bool on;
        double offset, gain;
        double vcc;
    };
    const Case cases[] = {
        {0x00, true, 0, 0, 1.254},
        {0x2C, true, 0, 0, 1.254 + 0.03286 * 44},
        {0x7F, true, 0, 0, 1.254 + 0.03286 * 127},
        {0x7F, false, 0, 0, 0.0},
        {0x3F, true, 0.1, 0, 1.254 + 0.03286 * 63 + 0.1},
        {0x3F, true, 0, 0.02, (1.254 + 0.03286 * 63) * 1.02},
        {0x00, true, -2.0, 0, 0.0}, // a supply does not go below ground
    };
    for (const Case& c : cases) {
        analog->supplyPot->data = std::uint8_t(c.code);
        analog->config.supplyOffsetVolts = c.offset;
        analog->config.supplyGainError = c.gain;
        setP2(c.on ? 0xFF : 0xDF);
        EXPECT_EQ(analog->vccOn(), c.on);
        EXPECT_NEAR(analog->vcc(), c.vcc, 1e-12) << c.code;
        EXPECT_EQ(convert(0x0A), count(c.vcc / 2)) << c.code; // VIN4 = VCC/2
    }
}

TEST_F(AnalogBoardTest, VminusFollowsP26)
{
    setP2(0xBF);
    EXPECT_FALSE(analog->vminusOn());
    EXPECT_EQ(analog->vminus(), 0.0);
    setP2(0xFF);
    EXPECT_EQ(analog->vminus(), analog->config.vminusVolts);
    board.setPinInputs(2, 0x40, 0x00); // held low from outside
    EXPECT_EQ(analog->vminus(), 0.0);
}

TEST_F(AnalogBoardTest, WiperInputsAndTheRestOfTheInputs)
{
    EXPECT_EQ(convert(0x06), 0); // no chip model yet: the wipers read 0 V
    analog->wiperVolts = [](int channel) { return 1.0 + channel; };
    board.setInputVoltage(0x0B, 1.2);  // not an analog-board input: the table stays in use
    board.setInputVoltage(0x07, 3.0);  // a wiper input: the chip model wins over the table
    analog->supplyPot->data = 0x3F;
    const double vin4 = (1.254 + 0.03286 * 63) / 2;
    struct Case {
        int positive, negative;
        double volts;
    };
    const Case cases[] = {
        {0x06, 0x1F, 0.5}, {0x07, 0x1F, 1.0}, {0x08, 0x1F, 1.5}, {0x09, 0x1F, 2.0},
        {0x0B, 0x1F, 1.2}, {0x0C, 0x1F, 0.0}, {0x1F, 0x1F, 3.3},
        {0x0A, 0x06, vin4 - 0.5}, // differential against VIN0
        {0x06, 0x0A, 0.0},        // negative: clamped at 0
        {0x1F, 0x1E, 0.0},        // VDD against VREF
    };
    for (const Case& c : cases)
        EXPECT_EQ(convert(c.positive, c.negative), count(c.volts)) << std::hex << c.positive << " - " << c.negative;
}

TEST_F(AnalogBoardTest, NoiseIsSeededBoundedAndOnlyOnTheBoardsInputs)
{
    const auto readings = [](std::uint32_t seed) {
        sim::SimBoard b;
        auto a = sim::attachAnalogBoard(b, {.noiseVolts = 0.01, .noiseSeed = seed});
        b.setInputVoltage(0x0B, 1.0);
        std::vector<double> out;
        for (int i = 0; i < 200; ++i)
            out.push_back(a->conversionVolts(0x0A, 0x1F) - a->vcc() / 2);
        EXPECT_EQ(a->conversionVolts(0x0B, 0x1F), 1.0);
        return out;
    };
    const auto first = readings(7);
    EXPECT_EQ(first, readings(7));
    EXPECT_NE(first, readings(8));
    const auto [lo, hi] = std::minmax_element(first.begin(), first.end());
    EXPECT_GE(*lo, -0.01);
    EXPECT_LE(*hi, 0.01);
    EXPECT_LT(*lo, -0.005); // it does spread over the range
    EXPECT_GT(*hi, 0.005);
}

TEST_F(AnalogBoardTest, APlainBoardHasNoAnalogBoardUntilOneIsAttached)
{
    sim::SimBoard plain;
    EXPECT_EQ(sim::analogBoard(plain), nullptr);
    plain.setInputVoltage(0x0A, 1.0);
    EXPECT_EQ(plain.conversionCount(), count(1.0));
    EXPECT_EQ(sim::analogBoard(board), analog.get());
}

TEST_F(AnalogBoardTest, EvaluationBoardsCarryTheAnalogBoardAndTheDefaultPartAt28)
{
    auto transport = sim::makeEvaluationBoards(2, {.supplyOffsetVolts = 0.05, .noiseVolts = 0.001});
    ASSERT_EQ(transport->boardCount(), 2);
    for (int i = 0; i < 2; ++i) {
        sim::SimBoard& b = transport->board(i);
        sim::AnalogBoard* a = sim::analogBoard(b);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->config.supplyOffsetVolts, 0.05);
        EXPECT_EQ(b.supplyPotSlot.get(), a->supplyPot.get());
        b.setSfr(sim::sfr::P0, 0x00); // address pins low
        b.setSfr(sim::sfr::P1, 0x04); // bus switch on I2C, /WP high
        b.setSfr(sim::sfr::P2, 0x20); // VCC on: the part answers
        // 8-bit address 0x50: write register 3, read it back
        EXPECT_EQ(ask(b, report({1, 0x06, 0x50, 1, 1, 0x03, 0x5A}))[1], 0);
        const platform::Report rp = ask(b, report({1, 0x06, 0x51, 1, 1, 0x03}));
        EXPECT_EQ(rp[1], 0);
        EXPECT_EQ(rp[2], 0x5A);
    }
    EXPECT_NE(sim::analogBoard(transport->board(0))->conversionVolts(0x0A, 0x1F),
              sim::analogBoard(transport->board(1))->conversionVolts(0x0A, 0x1F)); // own noise each
}

// ---------------------------------------------------------------------------------------
// dcpeval-sim's options

TEST(AnalogSimOptions, TheServedBoardCarriesTheSupplyErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("analog.sock");
    QProcess server;
    ASSERT_TRUE(startSimServer(server, path, {"--supply-offset", "0.1", "--noise-seed", "3"}));

    auto transport = platform::makeSocketTransport(path);
    const auto boards = transport->enumerate(0, 0x2034);
    ASSERT_EQ(boards.size(), 1u);
    QString error;
    auto connection = transport->open(boards[0], &error);
    ASSERT_TRUE(connection) << error.toStdString();

    // At power-up the latches are high (VCC on, potentiometer at mid-scale 0x3F) and the
    // multiplexer selects VIN4 against ground.
    platform::Report in{};
    ASSERT_TRUE(connection->write(report({1, 0x11, 0, 0})));
    ASSERT_EQ(connection->read(in, 6000), platform::ReadResult::Report);
    const double vcc = 1.254 + 0.03286 * 0x3F + 0.1;
    EXPECT_EQ(in[2] << 8 | in[3], std::lround(vcc / 2 / 3.3 * 1023));

    server.terminate();
    ASSERT_TRUE(server.waitForFinished(5000));
}

TEST(AnalogSimOptions, BadValuesAreRefused)
{
    const QStringList bad[] = {
        {"--supply-offset", "abc"}, {"--supply-gain-error", "2%"}, {"--noise", "-1"}, {"--noise-seed", "1.5"},
    };
    for (const QStringList& args : bad) {
        QProcess p;
        p.start(DCPEVAL_SIM_BINARY, QStringList{"--listen", "/nonexistent/x.sock"} + args);
        ASSERT_TRUE(p.waitForFinished(5000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
    }
}
