// The console's external delta-sigma ADC over a simulated board: pin preparation on port P1,
// the register exchange on the wire, the conversion in counts and millivolts, entry checks,
// and what an unanswered exchange leaves.
#include "bridge/frmMainF340.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <utility>
#include <vector>

using platform::vbOK;
using platform::vbRetry;

namespace {
const QString kLinkDialog = "Please check USB connection.\r\ncheckStatus";
}

class ExtAdcTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        c = &console();
        board(0).transcript.clear(); // the load's own reports
    }
    // The register exchange's reply bytes 1..4 as shown.
    QStringList received() const
    {
        QStringList l;
        for (const QLabel* x : c->lblAdRcv)
            l << x->text();
        return l;
    }
    frmMainF340* c = nullptr;
};

TEST_F(ExtAdcTest, ConversionInCountsAndMillivolts)
{
    struct { std::int32_t result; int gain; const char* count; const char* mv; } rows[] = {
        {8388607, 1, "8388607", "2500.00"},  {-8388608, 1, "-8388608", "-2500.00"},
        {-1, 1, "-1", "0.00"},               {1, 1, "1", "0.00"},
        {8388607, 0, "8388607", "2500.00"},  {4194304, 2, "4194304", "625.00"},
        {0, 1, "0", "0.00"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.result);
        board(0).extAdc.result = r.result;
        g_ExtAdcGain = std::int16_t(r.gain);
        c->cmdRDZN5520_Click();
        EXPECT_EQ(g_ExtAdcCount, r.result);
        EXPECT_EQ(c->lblADDecimal[1]->text(), r.count);
        EXPECT_EQ(c->lbl_ADReal->text(), r.mv);
        const int gain = r.gain == 0 ? 1 : r.gain;
        EXPECT_EQ(g_ExtAdcGain, gain); // a gain of 0 is taken as 1, and stays 1
        EXPECT_DOUBLE_EQ(g_ExtAdcMillivolts, 2.5 / gain / 8388607 * r.result * 1000);
    }
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(ExtAdcTest, RequestsCarryTheRegisterAndDelayFields)
{
    // Design texts first, then fields as a user would change them.
    struct { const char* reg0; const char* reg1; const char* delay; std::uint8_t b3, b4, b5; } rows[] = {
        {nullptr, nullptr, nullptr, 0x84, 0x02, 0x01}, {"8F", "ab", "7", 0x8F, 0xAB, 0x07}};
    for (const auto& r : rows) {
        if (r.reg0) {
            c->txtADCReg[0]->setText(r.reg0);
            c->txtADCReg[1]->setText(r.reg1);
            c->txtADCDelay[0]->setText(r.delay);
        }
        c->cmdWrtADReg_Click();
        c->cmdRDZN5520_Click();
        const auto rqs = board(0).transcript.requests(0x13);
        ASSERT_EQ(rqs.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(rqs[i][2], i); // 0 register exchange, 1 conversion
            EXPECT_EQ(rqs[i][3], r.b3);
            EXPECT_EQ(rqs[i][4], r.b4);
            EXPECT_EQ(rqs[i][5], r.b5);
        }
        board(0).transcript.clear();
    }
    EXPECT_EQ(board(0).extAdc.lastDelay, 0x07);
}

TEST_F(ExtAdcTest, RegisterExchangeShowsTheValueShiftedBack)
{
    // Written through bit 7 of the register byte; the board answers one bit late.
    struct { const char* value; QStringList received; const char* shown; } rows[] = {
        {"7F", {"00", "00", "FE", "00"}, "7F"},
        {"FF", {"00", "01", "FE", "00"}, "FF"},
        {"01", {"00", "00", "02", "00"}, "01"},
        {"AB", {"00", "01", "56", "00"}, "AB"},
    };
    c->txtADCReg[0]->setText("83");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        c->txtADCReg[1]->setText(r.value);
        c->cmdWrtADReg_Click();
        EXPECT_EQ(received(), r.received);
        EXPECT_EQ(c->lblADRegRead->text(), r.shown);
        EXPECT_EQ(board(0).extAdc.registers[3], HexToInt(r.value));
    }
    // A read (bit 7 clear) of the same register.
    c->txtADCReg[0]->setText("03");
    c->txtADCReg[1]->setText("00");
    c->cmdWrtADReg_Click();
    EXPECT_EQ(c->lblADRegRead->text(), "AB");
}

TEST_F(ExtAdcTest, UnansweredExchangesShowNoStaleResults)
{
    c->txtADCReg[0]->setText("81");
    c->txtADCReg[1]->setText("5A");
    c->cmdWrtADReg_Click();
    ASSERT_EQ(c->lblADRegRead->text(), "5A");

    svc.answer(vbRetry);
    board(0).failNextWrites(1);
    c->cmdWrtADReg_Click();
    EXPECT_EQ(c->lblADRegRead->text(), "5A"); // nothing was asked

    svc.answer(vbRetry);
    board(0).dropNextReplies(1);
    c->cmdWrtADReg_Click();
    EXPECT_EQ(received(), QStringList(4, "--"));
    EXPECT_EQ(c->lblADRegRead->text(), "--");

    // The conversion leaves no earlier result behind as its own: the count and millivolts
    // are 0; the labels keep their texts when nothing was asked and show "--" when the
    // reply did not come.
    struct { bool timeOut; const char* count; const char* mv; } conversions[] = {
        {false, "8388607", "2500.00"}, {true, "--", "--"}};
    for (const auto& r : conversions) {
        SCOPED_TRACE(r.timeOut ? "time-out" : "failed write");
        board(0).extAdc.result = 8388607;
        c->cmdRDZN5520_Click();
        ASSERT_EQ(g_ExtAdcCount, 8388607);
        board(0).extAdc.result = -5;
        svc.answer(vbRetry);
        if (r.timeOut)
            board(0).dropNextReplies(1);
        else
            board(0).failNextWrites(1);
        c->cmdRDZN5520_Click();
        EXPECT_EQ(g_ExtAdcCount, 0);
        EXPECT_EQ(g_ExtAdcMillivolts, 0.0);
        EXPECT_EQ(c->lblADDecimal[1]->text(), r.count);
        EXPECT_EQ(c->lbl_ADReal->text(), r.mv);
    }
    EXPECT_EQ(svc.boxTexts(), QStringList(4, kLinkDialog));
}

TEST_F(ExtAdcTest, FieldsThatDoNotHoldAByteSendNothing)
{
    struct { QLineEdit* field; const char* text; const char* named; } rows[] = {
        {c->txtADCReg[0], "1FF", "Register byte 1"},
        {c->txtADCReg[1], "", "Register byte 2"},
        {c->txtADCDelay[0], "x", "Delay"},
        {c->txtADCReg[0], "100", "Register byte 1"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.named);
        const QString before = r.field->text();
        r.field->setText(r.text);
        for (const std::function<void()>& handler :
             {std::function<void()>([&] { c->cmdWrtADReg_Click(); }), std::function<void()>([&] { c->cmdRDZN5520_Click(); })}) {
            svc.boxes.clear();
            svc.answer(vbOK);
            handler();
            ASSERT_EQ(svc.boxes.size(), 1u);
            EXPECT_TRUE(svc.boxes[0].text.startsWith(r.named)) << svc.boxes[0].text.toStdString();
        }
        EXPECT_TRUE(board(0).transcript.requests().empty());
        r.field->setText(before);
    }
}

TEST_F(ExtAdcTest, PinPreparationSetsPortP1)
{
    const std::uint8_t modesBefore = board(0).sfr(0xA5), latchBefore = board(0).portLatch(1);

    c->cmdInitADCIO_Click();

    // Push-pull CS, CLK, MOSI, open-collector RESET and MISO; RESET, CS, MISO high, CLK and
    // MOSI low; P1.5..P1.7 as they were.
    EXPECT_EQ(board(0).sfr(0xA5), (modesBefore & 0xE0) | 0x16);
    EXPECT_EQ(board(0).portLatch(1), (latchBefore & 0xE0) | 0x0B);
    const bool pushPull[] = {false, true, true, false, true};
    const bool high[] = {true, true, false, true, false};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(c->chkOpenCollectorP1[i]->isChecked(), pushPull[i]) << i;
        EXPECT_EQ(c->chkGPvalueP1[i]->isChecked(), high[i]) << i;
    }
}

TEST_F(ExtAdcTest, PinPreparationWithAutoWriteReadWritesPerChangedBox)
{
    // P1.0..P1.4 all clear, but for one box of each family already as wanted.
    for (size_t i = 0; i < 5; ++i) {
        c->chkOpenCollectorP1[i]->setChecked(i == 1);
        c->chkGPvalueP1[i]->setChecked(i == 0);
    }
    c->chkAutoWriteRead->setChecked(true);
    board(0).transcript.clear();

    c->cmdInitADCIO_Click();

    // Changed: modes of P1.2 and P1.4, values of P1.1 and P1.3; then the four port
    // operations once more.
    std::vector<std::pair<int, std::uint8_t>> sfr; // (set 0 / get 1, register)
    for (const auto& rq : board(0).transcript.requests(0x12))
        sfr.emplace_back(rq[2], rq[3]);
    const std::vector<std::pair<int, std::uint8_t>> expected = {
        {0, 0xA5}, {1, 0xA5}, {0, 0xA5}, {1, 0xA5}, // P1.2, P1.4 push-pull
        {0, 0x90}, {1, 0x90}, {0, 0x90}, {1, 0x90}, // P1.1, P1.3 high
        {0, 0xA5}, {1, 0xA5}, {0, 0x90}, {1, 0x90}, // the preparation's own write and read
    };
    EXPECT_EQ(sfr, expected);
    EXPECT_EQ(board(0).sfr(0xA5) & 0x1F, 0x16);
    EXPECT_EQ(board(0).portLatch(1) & 0x1F, 0x0B);
}
