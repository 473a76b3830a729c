// The motherboard's ADC channels: Combo1 selecting the bridge's input, READ_AD turning the
// count into volts, the channel update, the VCC read-back and the sampling loop.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "support/board_fixture.h"
#include "support/conversion_replies.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <string>

using namespace platform;

namespace {

constexpr std::uint8_t kMux = 0x0C, kAdcEnable = 0x10, kAdcConvert = 0x11;
constexpr std::uint8_t kVin1 = 0x07, kVin4 = 0x0A;
constexpr int kVin1Index = 7;

// The input voltage whose conversion gives `count` at the board's 3.3 V reference.
double voltsForCount(int count) { return count * 3.3 / 1023; }

} // namespace

class AdcChannelsTest : public BoardFixture {
protected:
    frmMotherboardDAQ2& mb() { return forms().frmMotherboardDAQ2(); }

    // The ADC commands sent since the transcript was cleared, as one letter each.
    std::string adcCommands()
    {
        std::string out;
        for (const auto& rq : board().transcript.requests()) {
            if (rq[1] == kMux)
                out += 'M';
            else if (rq[1] == kAdcEnable)
                out += 'E';
            else if (rq[1] == kAdcConvert)
                out += 'C';
        }
        return out;
    }
    int conversions() const { return sims->board(0).adc.conversions; }
};

TEST_F(AdcChannelsTest, LoadOpensAtTheVccHalfInput)
{
    EXPECT_EQ(mb().Combo1->count(), 18);
    EXPECT_EQ(mb().Combo1->itemText(6), "06 - P1.6 VIN0");
    EXPECT_EQ(mb().Combo1->itemText(17), "1F - VDD");
    EXPECT_EQ(mb().Combo1->currentIndex(), g_VccAdcChannel);
    EXPECT_EQ(mb().Combo1->currentText(), "0A - P2.2 VIN4");
    const auto mux = board().transcript.lastRequest(kMux);
    ASSERT_TRUE(mux);
    EXPECT_EQ((*mux)[3], kVin4);
}

TEST_F(AdcChannelsTest, EveryEntryNamesTheMultiplexerCodeItSelects)
{
    mb();
    for (int i = 0; i < mb().Combo1->count(); ++i) {
        const QString entry = mb().Combo1->itemText(i);
        SCOPED_TRACE(entry.toStdString());
        mb().Combo1->setCurrentIndex(i);
        const auto mux = board().transcript.lastRequest(kMux);
        ASSERT_TRUE(mux);
        EXPECT_EQ((*mux)[3], entry.left(2).toInt(nullptr, 16));
    }
}

TEST_F(AdcChannelsTest, ClientReadGivesVoltsAndTexts)
{
    struct Case {
        int count;
        const char* decimal;
        const char* volts; // "##.####"
    };
    const Case cases[] = {{0, "0", "."}, {512, "512", "1.6516"}, {1023, "1023", "3.3"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        board().setInputVoltage(kVin1, voltsForCount(c.count));
        mb().Combo1->setCurrentIndex(kVin1Index);
        mb().READ_AD();
        mb().READ_AD();
        EXPECT_NEAR(g_AdcVolts, 3.3 / 1023 * c.count, 1e-12);
        EXPECT_DOUBLE_EQ(g_VccVolts, 2 * g_AdcVolts);
        EXPECT_EQ(mb().txtADDec->text(), c.decimal);
        EXPECT_EQ(mb().txtRdgs[0]->text(), c.volts);
    }
}

TEST_F(AdcChannelsTest, SelectingAnInputWritesTheMultiplexerThenConverts)
{
    mb();
    board().transcript.clear();
    mb().Combo1->setCurrentIndex(kVin1Index);
    EXPECT_EQ(adcCommands(), "MEC");
    const auto mux = board().transcript.lastRequest(kMux);
    ASSERT_TRUE(mux);
    EXPECT_EQ((*mux)[2], 0);    // set
    EXPECT_EQ((*mux)[3], kVin1); // positive input
    EXPECT_EQ((*mux)[4], 0x1F); // the console's negative input, ground
    EXPECT_EQ(console().cboAnamux[0]->currentIndex(), kVin1Index);

    // The same input again while the bridge still converts it: nothing to send.
    board().transcript.clear();
    mb().Combo1->setCurrentIndex(kVin1Index);
    EXPECT_EQ(adcCommands(), "");

    // The console wrote VIN0 and its list was set back without a write: the bridge converts
    // VIN0, so selecting VIN1 again writes it.
    console().cboAnamux[0]->setCurrentIndex(6);
    console().cmdMuxWrite_Click();
    console().cboAnamux[0]->setCurrentIndex(kVin1Index);
    board().transcript.clear();
    mb().Combo1->setCurrentIndex(kVin1Index);
    EXPECT_EQ(adcCommands(), "MEC");
    EXPECT_EQ((*board().transcript.lastRequest(kMux))[3], kVin1);
}

TEST_F(AdcChannelsTest, ReadVccShowsTwiceTheHalfInputAndLeavesCombo1)
{
    board().setInputVoltage(kVin4, voltsForCount(512));
    mb().Combo1->setCurrentIndex(kVin1Index);
    mb().cmdSampleVCC_Click();
    EXPECT_EQ(mb().lblVCCVoltsRDBK->text(), "3.303");
    EXPECT_EQ(mb().Combo1->currentIndex(), kVin1Index);
    EXPECT_EQ((*board().transcript.lastRequest(kMux))[3], kVin4);
    EXPECT_TRUE(mb().cmdSampleVCC->isEnabled());

    // A client selecting the channel Combo1 still shows gets that channel converted, not
    // the VCC input the bridge was left on.
    board().setInputVoltage(kVin1, voltsForCount(100));
    board().transcript.clear();
    mb().Combo1->setCurrentIndex(kVin1Index);
    mb().READ_AD();
    mb().READ_AD();
    EXPECT_EQ((*board().transcript.lastRequest(kMux))[3], kVin1);
    EXPECT_EQ(mb().txtADDec->text(), "100");
}

TEST_F(AdcChannelsTest, UpdateAdChannelPutsTheNegativeInputBackToGround)
{
    mb().Combo1->setCurrentIndex(kVin1Index);
    console().cboAnamux[1]->setCurrentIndex(3);
    board().transcript.clear();
    mb().cmdSetMode_Click();
    EXPECT_EQ(adcCommands(), "MEC");
    const auto mux = board().transcript.lastRequest(kMux);
    EXPECT_EQ((*mux)[3], kVin1);
    EXPECT_EQ((*mux)[4], 0x1F);
    EXPECT_EQ(console().cboAnamux[1]->currentIndex(), g_AdcNegChannel);
}

// A conversion that is no reading shows "-.---" for its volts, never the last reading, and
// the count it got (or "xxxx" without a reply); the shared results keep the last reading.
TEST_F(AdcChannelsTest, AConversionThatIsNoReadingShowsNoVolts)
{
    const auto replies = interceptConversions(sims);
    board().setInputVoltage(kVin1, voltsForCount(512));
    board().setInputVoltage(kVin4, voltsForCount(512));
    mb().Combo1->setCurrentIndex(kVin1Index);
    mb().READ_AD();
    mb().cmdSampleVCC_Click();
    ASSERT_EQ(mb().lblVCCVoltsRDBK->text(), "3.303");
    const double volts = g_AdcVolts, vcc = g_VccVolts;
    g_AdcVref = 3.0; // nothing may be worked out anew from the last conversion's bytes

    const struct {
        const char* name;
        ConversionReplies::Rewrite rewrite; // none: the reply does not come
        const char* count;
    } cases[] = {
        {"no reply", nullptr, "xxxx"},
        {"failed status", ConversionReplies::failedStatus(), "512"},
        {"count 4608", ConversionReplies::count(4608), "4608"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        svc.boxes.clear();
        if (c.rewrite) {
            replies->rewriteNext(1, c.rewrite);
        } else {
            svc.answer(vbRetry);
            board().dropNextReplies(2); // the enable's reply and the conversion's
        }
        mb().READ_AD();
        EXPECT_EQ(svc.boxes.size(), c.rewrite ? 0u : 1u);
        EXPECT_EQ(mb().txtADDec->text(), c.count);
        EXPECT_EQ(mb().txtRdgs[0]->text(), "-.---");
        EXPECT_EQ(g_AdcVolts, volts);
        EXPECT_EQ(g_VccVolts, vcc);
        if (!c.rewrite)
            continue;
        // "Read VCC" shows its second conversion: when that is none, so are the volts.
        replies->rewriteNext(2, c.rewrite);
        mb().cmdSampleVCC_Click();
        EXPECT_EQ(mb().lblVCCVoltsRDBK->text(), "-.---");
    }
}

TEST_F(AdcChannelsTest, StopDuringTheFirstPauseEndsTheLoopAfterOneConversion)
{
    mb();
    const int before = conversions();
    bool stopped = false;
    svc.onPump = [&](int) {
        if (!stopped) {
            stopped = true;
            mb().cmdEndSampling_Click();
        }
    };
    mb().cmdSample_Click();
    EXPECT_EQ(conversions() - before, 1);
    EXPECT_EQ(mb().shpSample->fillColor(), 10);
    EXPECT_FALSE(mb().shpSample->isHidden());
    EXPECT_FALSE(mb().cmdSample->isHidden());
    EXPECT_TRUE(mb().cmdEndSampling->isHidden());
    EXPECT_TRUE(mb().cmdSample->isEnabled());
}

TEST_F(AdcChannelsTest, AStopWhileIdleDoesNotKeepTheNextLoopFromRunning)
{
    mb().cmdEndSampling_Click();
    const int before = conversions();
    // The loop converts whatever the bridge selects and writes no multiplexer.
    board().transcript.clear();
    svc.onPump = [&](int) {
        if (conversions() - before == 3 && !g_StopSampling)
            mb().cmdEndSampling_Click();
    };
    mb().cmdSample_Click();
    EXPECT_EQ(conversions() - before, 3);
    EXPECT_EQ(mb().shpSample->fillColor(), 10); // off, on, off, on
    EXPECT_TRUE(board().transcript.requests(kMux).empty());
}

TEST_F(AdcChannelsTest, ClosingTheWindowWhileSamplingEndsTheLoop)
{
    mb();
    const int before = conversions();
    int sleptAfterSecond = -1;
    svc.onPump = [&](int) {
        if (conversions() - before != 2 || !forms().frmMotherboardDAQ2.loaded())
            return;
        if (sleptAfterSecond < 0) {
            sleptAfterSecond = svc.sleptMs;
            return;
        }
        if (svc.sleptMs > sleptAfterSecond) { // the user closes it during the next pause
            forms().frmMotherboardDAQ2.get()->close();
            // Really gone, not only marked: the loop must not touch it again.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    mb().cmdSample_Click();
    svc.onPump = nullptr;
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
    EXPECT_EQ(conversions() - before, 2);
}

TEST_F(AdcChannelsTest, ReadVccClosedInALinkDialogConvertsNoMore)
{
    mb();
    board().transcript.clear();
    // "Read VCC" lets events run once the bridge is on the VCC/2 input: from then on the
    // first conversion gets no reply, and the user closes the window while the link dialog
    // is up.
    bool armed = false;
    svc.onPump = [&](int) {
        if (!armed) {
            armed = true;
            board().dropNextReplies(2);
        }
    };
    svc.onBox = [](const QString&, int) {
        if (forms().frmMotherboardDAQ2.loaded()) {
            forms().frmMotherboardDAQ2.get()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return vbRetry;
    };
    mb().cmdSampleVCC_Click();
    svc.onPump = nullptr;
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
    // The board the Retry found again gets the multiplexer again; no second conversion.
    EXPECT_EQ(adcCommands(), "MECM") << "the second conversion is not sent";
}
