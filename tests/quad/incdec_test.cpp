// Increment/decrement mode on both consoles: the crossbar report, the preamble edges, Up,
// Down and Terminate on the wire, the wiper stepping in the simulated part, the lock of the
// console and of its device window, and closing a console in the mode.
#include "quad_fixture.h"
#include "support/quad_sequences.h"

using namespace quad;
using platform::vbOK;

namespace {

using quadseq::kI2CPreamblePot1;
using quadseq::kSpiPreamblePot2;

std::vector<int> tail(const std::vector<int>& v, size_t from) { return {v.begin() + long(from), v.end()}; }

} // namespace

class QuadIncDec : public QuadFixture {
protected:
    // Selects Inc / Dec for a pot and presses Go with port P0 reading `p0`.
    void enter(QuadConsole& c, int pot, int p0)
    {
        board().setSfr(0x80, std::uint8_t(p0));
        QuadConsole::select(c.OptInstruction[kIncDec]);
        QuadConsole::select(c.OptWiper[size_t(pot)]);
        board().transcript.clear();
        c.cmdDoInstruction->click();
    }
    // Byte 4 of the P0 sets after the first `from` of them.
    std::vector<int> p0Since(size_t from) { return tail(sfrSets(0x80), from); }
};

TEST_F(QuadIncDec, I2CSequenceOnTheWire)
{
    QuadConsole& c = k44();
    i2c->wcr[1] = 0x80;
    g_ReportBuffer.fill(0xEE); // what an earlier exchange may leave behind
    enter(c, 1, 0x00);

    // The crossbar report first, from a clean buffer; then the ordinary write of the prepared
    // image and the 56 edges.
    const auto rq = board().transcript.requests(0x12);
    ASSERT_FALSE(rq.empty());
    EXPECT_EQ(sim::hexBytes(rq[0], 6), "01 12 00 E1 02 00");
    std::vector<int> want = {0x30};
    want.insert(want.end(), kI2CPreamblePot1.begin(), kI2CPreamblePot1.end());
    EXPECT_EQ(sfrSets(0x80), want);
    for (const auto& r : rq) {
        if (r[2] == 0 && r[3] == 0x80) {
            for (size_t i = 5; i < r.size(); ++i)
                ASSERT_EQ(r[i], 0) << sim::hexBytes(r).toStdString();
        }
    }
    EXPECT_EQ(i2c->incPot, 1);

    size_t n = sfrSets(0x80).size();
    c.cmdIncrWip[0]->click();
    EXPECT_EQ(p0Since(n), (std::vector<int>{0x10, 0x30, 0x10}));
    c.cmdIncrWip[0]->click();
    n = sfrSets(0x80).size();
    c.cmdIncrWip[1]->click();
    EXPECT_EQ(p0Since(n), (std::vector<int>{0x00, 0x20, 0x00}));
    EXPECT_EQ(i2c->wcr[1], 0x81);

    n = sfrSets(0x80).size();
    board().transcript.clear();
    c.cmdIncrWip[2]->click();
    const auto sets = sfrSets(0x80);
    ASSERT_GE(sets.size(), 3u);
    EXPECT_EQ(std::vector<int>(sets.begin(), sets.begin() + 3), (std::vector<int>{0x00, 0x20, 0x30}));
    EXPECT_EQ(sfrSets(0xE1), std::vector<int>{0x06});
    EXPECT_EQ(i2cTransfers(), (std::vector<std::vector<int>>{{0x51, 0x91}}));
    EXPECT_EQ(i2c->wcr[1], 0x81); // the stop took no step
    EXPECT_EQ(c.lblRDWcr[1]->text(), "81");
    EXPECT_EQ(c.txtWXWcr[1]->text(), "81");
    EXPECT_EQ(c.ShpWrWCR[1]->fillColor(), 9);
    EXPECT_EQ(c.ShpRdWCR[1]->fillColor(), 14);
}

TEST_F(QuadIncDec, SpiSequenceOnTheWire)
{
    QuadConsole& c = k31();
    spi->wcr[2] = 0x10;
    enter(c, 2, 0x00);
    EXPECT_EQ(sfrSets(0xE1), std::vector<int>{0x00});
    std::vector<int> want = {0x00};
    want.insert(want.end(), kSpiPreamblePot2.begin(), kSpiPreamblePot2.end());
    EXPECT_EQ(sfrSets(0x80), want);
    EXPECT_EQ(spi->incPot, 2);

    size_t n = sfrSets(0x80).size();
    c.cmdIncrWip[0]->click();
    EXPECT_EQ(p0Since(n), (std::vector<int>{0x04, 0x05, 0x04}));
    n = sfrSets(0x80).size();
    c.cmdIncrWip[1]->click();
    c.cmdIncrWip[1]->click();
    EXPECT_EQ(p0Since(n), (std::vector<int>{0x00, 0x01, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(spi->wcr[2], 0x0F);

    board().transcript.clear();
    c.cmdIncrWip[2]->click();
    EXPECT_EQ(sfrSets(0x80).front(), 0x08);
    EXPECT_EQ(sfrSets(0xE1), std::vector<int>{0x06});
    EXPECT_EQ(spiFrames(), (std::vector<std::vector<int>>{{0x50, 0x92, 0x00}}));
    EXPECT_EQ(c.lblRDWcr[2]->text(), "0F");
}

TEST_F(QuadIncDec, PinsThatAreNotTheBusKeepTheirLevelsAndThePotComesFromTheSelection)
{
    struct Case {
        Bus bus;
        int pot, p0;
        std::vector<int> opening;
    } cases[] = {
        {Bus::I2C, 0, 0xC0, {0xF0, 0xF0, 0xE0, 0xC0}},
        {Bus::I2C, 3, 0x00, {0x30, 0x30, 0x20, 0x00}},
        {Bus::SPI, 0, 0xFF, {0xF2, 0xF2, 0xF2, 0xF2}},
        {Bus::SPI, 3, 0x00, {0x00, 0x00, 0x00, 0x00}},
    };
    // The preamble's first byte stays 0x50 whatever the address field holds.
    quadDeviceLink(Bus::I2C).deviceAddress = [] { return QString("52"); };
    for (const Case& k : cases) {
        enter(con(k.bus), k.pot, k.p0);
        const auto sets = sfrSets(0x80);
        ASSERT_GE(sets.size(), 4u);
        EXPECT_EQ(std::vector<int>(sets.begin(), sets.begin() + 4), k.opening);
        EXPECT_EQ(sets.size(), k.bus == Bus::I2C ? 57u : 51u);
        EXPECT_EQ((k.bus == Bus::I2C ? static_cast<sim::QuadPotCore&>(*i2c) : *spi).incPot, k.pot);
        // Leave the mode on the wire without the read-back.
        board().setSfr(0xE1, 0x06);
        forms().frm_k4744.destroy();
        forms().frm_k4731.destroy();
    }
}

TEST_F(QuadIncDec, TheModeLocksTheConsoleAndTheDeviceWindowUntilTerminate)
{
    QuadConsole& c = k44();
    enter(c, 1, 0x00);
    EXPECT_TRUE(c.incMode());
    EXPECT_EQ(c.txtWXWcr[1]->text(), "^v");
    EXPECT_EQ(c.lvlPotN->text(), "Pot  1 Volts");
    EXPECT_EQ(samples, (std::vector<int>{1, 1}));
    EXPECT_EQ(c.lblPotVolts->text(), "1.250");
    EXPECT_EQ(inUse, std::vector<bool>{false});
    EXPECT_FALSE(c.FrDCP[0]->isVisibleTo(&c));
    EXPECT_TRUE(c.FrDCP[1]->isVisibleTo(&c));
    EXPECT_FALSE(c.FrVal->isVisibleTo(&c));
    EXPECT_TRUE(c.FrIncrDec->isVisibleTo(&c));
    EXPECT_FALSE(c.OptInstruction[0]->isEnabled());
    EXPECT_FALSE(c.cmdRdWCR[1]->isEnabled());
    EXPECT_EQ(c.ShpI2CAck[0]->fillColor(), 0); // no status step on entry

    c.cmdIncrWip[0]->click();
    EXPECT_EQ(c.ShpWrWCR[1]->fillColor(), 1);
    c.cmdIncrWip[0]->click();
    EXPECT_EQ(c.ShpWrWCR[1]->fillColor(), 9);
    EXPECT_EQ(c.txtWXWcr[1]->text(), "^1");
    c.cmdIncrWip[1]->click();
    EXPECT_EQ(c.txtWXWcr[1]->text(), "1v");
    EXPECT_EQ(samples.size(), 5u);

    c.cmdIncrWip[2]->click();
    EXPECT_FALSE(c.incMode());
    EXPECT_EQ(inUse, (std::vector<bool>{false, true}));
    for (QGroupBox* f : c.FrDCP)
        EXPECT_TRUE(f->isVisibleTo(&c));
    EXPECT_TRUE(c.FrVal->isVisibleTo(&c));
    EXPECT_FALSE(c.FrIncrDec->isVisibleTo(&c));
    EXPECT_TRUE(c.OptInstruction[0]->isEnabled());
    EXPECT_TRUE(c.OptRegSel[2]->isEnabled());
    EXPECT_TRUE(c.cmdRdWCR[1]->isEnabled());
    EXPECT_TRUE(c.OptInstruction[kReadWcr]->isChecked());
}

TEST_F(QuadIncDec, ClosingAConsoleInTheModeTerminatesItFirst)
{
    i2c->wcr[2] = 0x44;
    enter(k44(), 2, 0x00);
    board().transcript.clear();
    k44().close();
    EXPECT_FALSE(forms().frm_k4744.loaded());
    EXPECT_EQ(sfrSets(0x80).front(), 0x00); // the stop condition's edges
    EXPECT_EQ(sfrSets(0xE1), std::vector<int>{0x06});
    EXPECT_EQ(i2cTransfers(), (std::vector<std::vector<int>>{{0x51, 0x92}}));
    EXPECT_EQ(inUse, (std::vector<bool>{false, true}));
    EXPECT_EQ(i2c->incPot, -1);
}
