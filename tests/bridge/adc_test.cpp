// The console's on-chip ADC group over a simulated board: the input and read-mode lists, the
// configuration gets and sets on the wire, the multiplexer write with its analog pins, the
// conversion in counts and volts, entry checks, and what an unanswered query leaves.
#include "bridge/frmMainF340.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "support/board_fixture.h"
#include "support/conversion_replies.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <functional>
#include <span>
#include <vector>

using platform::vbOK;
using platform::vbRetry;

namespace {

constexpr std::uint8_t kP1MDIN = 0xF2, kP2MDIN = 0xF3;
const QString kLinkDialog = "Please check USB connection.\r\ncheckStatus";

QStringList texts(std::span<QLabel* const> labels)
{
    QStringList l;
    for (const QLabel* x : labels)
        l << x->text();
    return l;
}

} // namespace

class AdcTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        c = &console();
        board(0).transcript.clear();
    }
    std::vector<platform::Report> requests(std::uint8_t cmd) { return board(0).transcript.requests(cmd); }
    // SFR writes (command 0x12 sets) to one register, by value.
    std::vector<std::uint8_t> sfrWrites(std::uint8_t address)
    {
        std::vector<std::uint8_t> v;
        for (const auto& rq : requests(0x12))
            if (rq[2] == 0 && rq[3] == address)
                v.push_back(rq[4]);
        return v;
    }
    frmMainF340* c = nullptr;
};

TEST_F(AdcTest, InputListsHoldTheBridgeCodesAndOpenAtVccHalfAgainstGround)
{
    struct { int index; const char* positive; const char* negative; } rows[] = {
        {0, "00 - P1.0", "00 - P1.0"},         {7, "07 - P1.7", "07 - P1.7"},
        {8, "08 - P2.0", "08 - P2.0"},         {10, "0A - P2.2", "0A - P2.2"},
        {15, "0F - P2.7", "0F - P2.7"},        {16, "1E - Temp Sensor", "1E - VREF"},
        {17, "1F - VDD", "1F - GND"},
    };
    ASSERT_EQ(c->cboAnamux[0]->count(), 18);
    ASSERT_EQ(c->cboAnamux[1]->count(), 18);
    for (const auto& r : rows) {
        EXPECT_EQ(c->cboAnamux[0]->itemText(r.index), r.positive);
        EXPECT_EQ(c->cboAnamux[1]->itemText(r.index), r.negative);
    }
    EXPECT_EQ(c->cboAnamux[0]->currentIndex(), 10);
    EXPECT_EQ(c->cboAnamux[1]->currentIndex(), 17);
    EXPECT_EQ(g_VccAdcChannel, 10);
    EXPECT_EQ(g_AdcNegChannel, 17);

    ASSERT_EQ(c->cboADCReadMode[0]->count(), 3);
    EXPECT_EQ(c->cboADCReadMode[0]->itemText(2), "2: Continuous 2");
    ASSERT_EQ(c->cboADCReadMode[1]->count(), 2);
    EXPECT_EQ(c->cboADCReadMode[1]->itemText(1), "1:  1 Sample");
    EXPECT_EQ(c->cboADCReadMode[0]->currentIndex(), 0);
    EXPECT_EQ(c->cboADCReadMode[1]->currentIndex(), 0);
}

TEST_F(AdcTest, LoadLeavesTheMultiplexerAtP22AgainstGround)
{
    EXPECT_EQ(board(0).sfr(0xBB), 0x0A); // AMX0P
    EXPECT_EQ(board(0).sfr(0xBA), 0x1F); // AMX0N
    EXPECT_EQ(c->txtModeByte[0]->text(), "10");
    EXPECT_EQ(c->txtModeByte[1]->text(), "31");
    // Every pin digital but P2.2.
    EXPECT_EQ(board(0).sfr(kP1MDIN), 0xFF);
    EXPECT_EQ(board(0).sfr(kP2MDIN), 0xFB);
}

TEST_F(AdcTest, MultiplexerWriteSendsTheCodesAndMakesTheSelectedPinsAnalog)
{
    struct {
        int positive, negative;
        std::uint8_t posCode, negCode, p1mdin, p2mdin;
        std::vector<std::uint8_t> p1Writes; // P1's analog configuration after the clear
    } rows[] = {
        {11, 17, 0x0B, 0x1F, 0xFF, 0xF7, {}},           // P2.3 analog
        {16, 17, 0x1E, 0x1F, 0xFF, 0xFF, {}},           // internal inputs: no pin
        {3, 3, 0x03, 0x03, 0xF7, 0xFF, {0xF7, 0xF7}},   // the same pin twice: written per selection
        {12, 0, 0x0C, 0x00, 0xFE, 0xFF, {0xFE}},        // P2.4 stays digital
        {7, 9, 0x07, 0x09, 0x7F, 0xFD, {0x7F}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.positive * 100 + r.negative);
        board(0).transcript.clear();
        c->cboAnamux[0]->setCurrentIndex(r.positive);
        c->cboAnamux[1]->setCurrentIndex(r.negative);
        c->cmdMuxWrite_Click();

        const auto mux = board(0).transcript.lastRequest(0x0C);
        ASSERT_TRUE(mux);
        EXPECT_EQ((*mux)[2], 0);
        EXPECT_EQ((*mux)[3], r.posCode);
        EXPECT_EQ((*mux)[4], r.negCode);
        EXPECT_EQ((*mux)[5], 0); // a zeroed request
        EXPECT_EQ(board(0).sfr(0xBB), r.posCode);
        EXPECT_EQ(board(0).sfr(0xBA), r.negCode);
        EXPECT_EQ(c->txtModeByte[0]->text(), QString::number(r.posCode));
        EXPECT_EQ(c->txtModeByte[1]->text(), QString::number(r.negCode));

        EXPECT_EQ(board(0).sfr(kP1MDIN), r.p1mdin);
        EXPECT_EQ(board(0).sfr(kP2MDIN), r.p2mdin);
        auto p1 = sfrWrites(kP1MDIN);
        ASSERT_FALSE(p1.empty());
        EXPECT_EQ(p1.front(), 0xFF); // cleared first
        EXPECT_EQ(std::vector<std::uint8_t>(p1.begin() + 1, p1.end()), r.p1Writes);
        // The multiplexer is written last, after the pins.
        EXPECT_EQ(board(0).transcript.lastRequest()->at(1), 0x0C);
    }
}

TEST_F(AdcTest, ConversionPublishesCountAndVolts)
{
    struct { int count; const char* text; std::uint8_t high, low; } rows[] = {
        {0, " 0", 0x00, 0x00}, {512, " 512", 0x02, 0x00}, {1023, " 1023", 0x03, 0xFF}};
    for (double vref : {3.3, 2.5}) {
        g_AdcVref = vref;
        for (const auto& r : rows) {
            SCOPED_TRACE(r.count);
            board(0).setInputVoltage(0x0A, r.count * 3.3 / 1023);
            c->cmdADCRDData_Click();
            EXPECT_EQ(c->txtADDec->text(), r.text);
            EXPECT_EQ(c->lblBytesSucceded->text(), "64");
            EXPECT_EQ(g_AdcHigh, r.high);
            EXPECT_EQ(g_AdcLow, r.low);
            EXPECT_EQ(g_AdcCount, r.count);
            EXPECT_DOUBLE_EQ(g_AdcVolts, vref / 1023 * r.count);
        }
    }
    EXPECT_DOUBLE_EQ(g_AdcVolts, 2.5);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(AdcTest, ConversionCarriesTheReadModeSelections)
{
    struct { int mode, samples; std::uint8_t byte2, byte3; } rows[] = {{0, 0, 0, 0}, {2, 1, 2, 1}, {1, 0, 1, 0}};
    for (const auto& r : rows) {
        c->cboADCReadMode[0]->setCurrentIndex(r.mode);
        c->cboADCReadMode[1]->setCurrentIndex(r.samples);
        c->cmdADCRDData_Click();
        const auto rq = *board(0).transcript.lastRequest(0x11);
        EXPECT_EQ(rq[2], r.byte2);
        EXPECT_EQ(rq[3], r.byte3);
    }
}

TEST_F(AdcTest, MotherboardReadEnablesThenConverts)
{
    board(0).setInputVoltage(0x06, 1.0);
    c->cboAnamux[0]->setCurrentIndex(6);
    c->cmdMuxWrite_Click();
    c->chkADCEnable->setChecked(true);
    c->cmdADCWrEn_Click();
    c->cmdADCRDData_Click();

    const auto en = *board(0).transcript.lastRequest(0x10);
    EXPECT_EQ(en[2], 0);
    EXPECT_EQ(en[3], 1);
    EXPECT_TRUE(board(0).sfr(0xE8) & 0x80);
    EXPECT_EQ(g_AdcCount, 310); // round(1.0 / 3.3 x 1023)
    EXPECT_DOUBLE_EQ(g_AdcVolts, 3.3 / 1023 * 310);

    c->chkADCEnable->setChecked(false);
    c->cmdADCWrEn_Click();
    EXPECT_EQ(board(0).transcript.lastRequest(0x10)->at(3), 0);
    EXPECT_FALSE(board(0).sfr(0xE8) & 0x80);
}

TEST_F(AdcTest, GetsShowTheReplyBytes)
{
    sim::SimBoard& b = board(0);
    b.adc.systemClockMHz = 48;
    b.setSfr(0xBC, 0x5C); // ADC0CF
    b.setSfr(0xD1, 0x07); // REFCON
    b.adc.continuous = true;
    b.adc.averaging = 200;
    b.adc.sampleRate = 0x1234;
    b.setSfr(0xE8, 0x80);
    struct {
        const char* name;
        std::function<void()> handler;
        std::function<std::span<QLabel* const>()> labels;
        QStringList shown;
    } rows[] = {
        {"clock", [&] { c->cmdReadADCClock_Click(); }, [&] { return std::span<QLabel* const>(c->lblADCClockDaa); },
         {"01", "00", "30", "5C"}},
        {"reference", [&] { c->cmdRdADCMode_Click(); }, [&] { return std::span<QLabel* const>(c->lblADCRefcon); },
         {"01", "00", "07"}},
        {"mode", [&] { c->cmdADCRDMode16_Click(); }, [&] { return std::span<QLabel* const>(c->lblADCMode1Data); },
         {"01", "00", "01"}},
        {"averaging", [&] { c->cmdRdADCAvg_Click(); }, [&] { return std::span<QLabel* const>(c->lblADCLoopData); },
         {"01", "00", "C8"}},
        {"sample rate", [&] { c->cmdADCRdSampleRate_Click(); },
         [&] { return std::span<QLabel* const>(c->lblADCSampleData); }, {"01", "00", "30", "12", "34"}},
        {"enable", [&] { c->cmdADCRDEnable_Click(); }, [&] { return std::span<QLabel* const>(c->lblADCEnable); },
         {"01", "00", "01"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        r.handler();
        EXPECT_EQ(texts(r.labels()), r.shown);
    }
    EXPECT_TRUE(c->OptiADCSamples[1]->isChecked());
    EXPECT_EQ(c->ShpADCEn->fillColor(), 12);

    c->cmdRdADMux_Click();
    const QStringList mux = texts(c->lblADMuxData);
    EXPECT_EQ(mux.size(), 13);
    EXPECT_EQ(mux.mid(0, 4), (QStringList{"01", "00", "0A", "1F"}));
    EXPECT_EQ(c->lblADMux[2]->text(), "AMXOP");
    EXPECT_EQ(c->lblADMux[12]->text(), "P4MDIN");
}

TEST_F(AdcTest, ModeAndEnableReadBacksKnowOnlyOne)
{
    struct { bool on; int option; int lamp; } rows[] = {{false, 0, 0}, {true, 1, 12}, {false, 0, 0}};
    for (const auto& r : rows) {
        board(0).adc.continuous = r.on;
        board(0).setSfr(0xE8, r.on ? 0x80 : 0x00);
        c->cmdADCRDMode16_Click();
        c->cmdADCRDEnable_Click();
        EXPECT_TRUE(c->OptiADCSamples[size_t(r.option)]->isChecked());
        EXPECT_FALSE(c->OptiADCSamples[size_t(1 - r.option)]->isChecked());
        EXPECT_EQ(c->ShpADCEn->fillColor(), r.lamp);
    }
}

TEST_F(AdcTest, SetsSendTheFieldsAsBytes)
{
    struct {
        const char* name;
        std::function<void()> prepare;
        std::function<void()> handler;
        std::vector<std::uint8_t> bytes; // from byte 1
    } rows[] = {
        {"clock", [&] { c->txtADOSC->setText("5C"); }, [&] { c->cmdWriteADCClock_Click(); }, {0x0A, 0, 0x5C, 0}},
        {"mode cont.", [&] { c->OptiADCSamples[1]->setChecked(true); }, [&] { c->cmdADCWrmode1_Click(); }, {0x0D, 0, 1}},
        {"mode single", [&] { c->OptiADCSamples[0]->setChecked(true); }, [&] { c->cmdADCWrmode1_Click(); }, {0x0D, 0, 0}},
        {"loop count", [&] { c->txtADCLoopCount->setText("255"); }, [&] { c->cmdWrtLoopCount_Click(); }, {0x0E, 0, 0xFF, 0}},
        {"sample rate", [&] { c->txtADSAMP[0]->setText("12"); c->txtADSAMP[1]->setText("a4"); },
         [&] { c->cmdADCWriteSampleRate_Click(); }, {0x0F, 0, 0x12, 0xA4, 0}},
        // Leading zeros still make a byte and a count.
        {"clock 0FF", [&] { c->txtADOSC->setText("0FF"); }, [&] { c->cmdWriteADCClock_Click(); }, {0x0A, 0, 0xFF, 0}},
        {"loop count 0010", [&] { c->txtADCLoopCount->setText("0010"); }, [&] { c->cmdWrtLoopCount_Click(); }, {0x0E, 0, 10, 0}},
        {"sample rate 005", [&] { c->txtADSAMP[0]->setText("12"); c->txtADSAMP[1]->setText("005"); },
         [&] { c->cmdADCWriteSampleRate_Click(); }, {0x0F, 0, 0x12, 0x05, 0}},
        {"loop count 255", [&] { c->txtADCLoopCount->setText("255"); }, [&] { c->cmdWrtLoopCount_Click(); }, {0x0E, 0, 0xFF, 0}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        r.prepare();
        r.handler();
        const auto rq = board(0).transcript.lastRequest();
        ASSERT_TRUE(rq);
        EXPECT_EQ(std::vector<std::uint8_t>(rq->begin() + 1, rq->begin() + 1 + long(r.bytes.size())), r.bytes);
    }
    EXPECT_EQ(board(0).sfr(0xBC), 0xFF);
    EXPECT_FALSE(board(0).adc.continuous);
    EXPECT_EQ(board(0).adc.averaging, 255);
    EXPECT_EQ(board(0).adc.sampleRate, 0x1205);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(AdcTest, FieldsThatDoNotHoldAByteSendNothing)
{
    struct {
        const char* text;
        QLineEdit* (*field)(frmMainF340&);
        std::function<void()> handler;
        const char* named;
    } rows[] = {
        {"100", [](frmMainF340& f) { return f.txtADOSC; }, [&] { c->cmdWriteADCClock_Click(); }, "ADOSC"},
        {"", [](frmMainF340& f) { return f.txtADOSC; }, [&] { c->cmdWriteADCClock_Click(); }, "ADOSC"},
        {"G1", [](frmMainF340& f) { return f.txtADSAMP[0]; }, [&] { c->cmdADCWriteSampleRate_Click(); }, "MSB Count"},
        {"1 2", [](frmMainF340& f) { return f.txtADSAMP[1]; }, [&] { c->cmdADCWriteSampleRate_Click(); }, "LSB Count"},
        {"0", [](frmMainF340& f) { return f.txtADCLoopCount; }, [&] { c->cmdWrtLoopCount_Click(); }, "Loop count"},
        {"256", [](frmMainF340& f) { return f.txtADCLoopCount; }, [&] { c->cmdWrtLoopCount_Click(); }, "Loop count"},
        {"", [](frmMainF340& f) { return f.txtADCLoopCount; }, [&] { c->cmdWrtLoopCount_Click(); }, "Loop count"},
        {"-5", [](frmMainF340& f) { return f.txtADCLoopCount; }, [&] { c->cmdWrtLoopCount_Click(); }, "Loop count"},
        {"0x1F", [](frmMainF340& f) { return f.txtADOSC; }, [&] { c->cmdWriteADCClock_Click(); }, "ADOSC"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.named) + " \"" + r.text + "\"");
        QLineEdit* box = r.field(*c);
        const QString before = box->text();
        box->setText(r.text);
        svc.boxes.clear();
        svc.answer(vbOK);
        r.handler();
        ASSERT_EQ(svc.boxes.size(), 1u);
        EXPECT_TRUE(svc.boxes[0].text.startsWith(r.named)) << svc.boxes[0].text.toStdString();
        EXPECT_TRUE(svc.boxes[0].text.contains(QString("\"%1\"").arg(r.text)));
        EXPECT_TRUE(board(0).transcript.requests().empty());
        EXPECT_EQ(box->text(), r.text); // the entry stays for the user to mend
        box->setText(before);
    }
}

TEST_F(AdcTest, LoopCountFieldTakesDigitsAndClampsOnLeaving)
{
    struct { const char* text; const char* after; } rows[] = {
        {"0", "1"}, {"", "1"}, {"300", "255"}, {"10", "10"}, {"255", "255"}, {"1", "1"}};
    for (const auto& r : rows) {
        c->txtADCLoopCount->setText(r.text);
        c->txtADCLoopCount_LostFocus();
        EXPECT_EQ(c->txtADCLoopCount->text(), r.after) << r.text;
    }
    c->txtADCLoopCount->clear();
    KeyFilter::on(c->txtADCLoopCount)->typeText("1a-2 5");
    EXPECT_EQ(c->txtADCLoopCount->text(), "125");
}

TEST_F(AdcTest, UnansweredConversionShowsNoReading)
{
    board(0).setInputVoltage(0x0A, 512 * 3.3 / 1023);
    c->cmdADCRDData_Click();
    ASSERT_EQ(c->txtADDec->text(), " 512");
    const double volts = g_AdcVolts;
    board(0).setInputVoltage(0x0A, 3.3);

    struct { const char* name; std::function<void()> fault; const char* bytesWritten; } faults[] = {
        {"time-out", [&] { board(0).dropNextReplies(1); }, "64"},
        {"failed write", [&] { board(0).failNextWrites(1); }, "0"},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.name);
        svc.boxes.clear();
        f.fault();
        svc.answer(vbRetry);
        c->cmdADCRDData_Click();
        EXPECT_EQ(svc.boxTexts(), QStringList{kLinkDialog});
        // No reading shown as this conversion's; the bytes written are told either way.
        EXPECT_EQ(c->txtADDec->text(), "xxxx");
        EXPECT_EQ(c->lblBytesSucceded->text(), f.bytesWritten);
        EXPECT_DOUBLE_EQ(g_AdcVolts, volts);
        EXPECT_EQ(g_AdcCount, 512);
        EXPECT_EQ(g_AdcHigh, 2);
        EXPECT_EQ(g_AdcLow, 0);
        EXPECT_FALSE(g_AdcConversionOk);
    }
    // Retry searched again: the next conversion works.
    c->cmdADCRDData_Click();
    EXPECT_EQ(c->txtADDec->text(), " 1023");
    EXPECT_TRUE(g_AdcConversionOk);
}

// A reply with a failed status, or with a count the 10-bit converter cannot give (another
// reply's bytes), is no reading: the field shows what came, nothing is published.
TEST_F(AdcTest, AReplyThatIsNoReadingShowsItsCountAndPublishesNothing)
{
    // Started again with the replies intercepted before the link opens.
    TearDown();
    BoardFixture::SetUp();
    const auto intercepted = interceptConversions(sims);
    c = &console();
    board(0).setInputVoltage(0x0A, 512 * 3.3 / 1023);
    c->cmdADCRDData_Click();
    ASSERT_TRUE(g_AdcConversionOk);
    const double volts = g_AdcVolts;

    const struct {
        const char* name;
        ConversionReplies::Rewrite rewrite;
        const char* shown;
    } cases[] = {
        {"failed status", ConversionReplies::failedStatus(), " 512"},
        {"count 1024", ConversionReplies::count(1024), " 1024"},
        {"count 4608", ConversionReplies::count(4608), " 4608"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        intercepted->rewriteNext(1, k.rewrite);
        c->cmdADCRDData_Click();
        EXPECT_EQ(c->txtADDec->text(), k.shown);
        EXPECT_FALSE(g_AdcConversionOk);
        EXPECT_EQ(g_AdcCount, 512);
        EXPECT_DOUBLE_EQ(g_AdcVolts, volts);
    }
    EXPECT_EQ(intercepted->rewritten, 3);
    EXPECT_TRUE(svc.boxes.empty());
    c->cmdADCRDData_Click();
    EXPECT_TRUE(g_AdcConversionOk);
}

TEST_F(AdcTest, UnansweredGetShowsNoStaleBytes)
{
    c->cmdRdADMux_Click();
    ASSERT_EQ(c->lblADMuxData[2]->text(), "0A");

    svc.answer(vbRetry);
    board(0).failNextWrites(1);
    c->cmdRdADMux_Click();
    EXPECT_EQ(c->lblADMuxData[2]->text(), "0A"); // nothing was asked

    svc.answer(vbRetry);
    board(0).dropNextReplies(1);
    c->cmdRdADMux_Click();
    EXPECT_EQ(texts(c->lblADMuxData), QStringList(13, "--"));
    EXPECT_EQ(svc.boxTexts(), (QStringList{kLinkDialog, kLinkDialog}));
}

TEST_F(AdcTest, DetailTraceLines)
{
    g_TraceOn = true;
    g_TraceDetail = true;
    board(0).setInputVoltage(0x1E, 512 * 3.3 / 1023);
    c->cboAnamux[0]->setCurrentIndex(16);
    c->cmdMuxWrite_Click();
    c->cmdADCRDData_Click();
    const QString log = forms().Doco().logText();
    EXPECT_TRUE(log.contains("Connect F340 ADC InputADC Connect: +INP =1E - Temp Sensor  ADC -INP =1F - GND\r\n"));
    EXPECT_TRUE(log.contains("Record F340 ADC Input Decimal Count =  512\r\n"));
}
