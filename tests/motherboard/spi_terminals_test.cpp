// The motherboard's SPI terminals 2 and 3: a frame through the console to the chip under
// test with the supply potentiometer released, the reply fields, terminal 3's pause, the
// count fields, bad frames, and closing the window while a terminal waits.
#include "bridge/frmMainF340.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "support/board_fixture.h"
#include "support/fields.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdlib>
#include <vector>

using platform::vbOK;

namespace {

constexpr std::uint8_t kSpiCmd = 0x09;


} // namespace

class SpiTerminalsTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        svc.programDirectory = dir.path();
        chip = std::make_shared<sim::ShiftRegisterSpiDevice>();
        pot = std::make_shared<sim::ConstantSpiDevice>(0x00);
        board(0).chipSlot = chip;
        board(0).supplyPotSlot = pot;
    }
    frmMotherboardDAQ2& mb() { return forms().frmMotherboardDAQ2(); }
    // As a supply potentiometer frame could leave it: P2.4 low on the board and in the console.
    void selectSupplyPot()
    {
        board(0).setSfr(0xA0, board(0).portLatch(2) & ~0x10);
        if (QCheckBox* cs = console().chkGPvalueP2[4])
            cs->setChecked(false);
    }
    void fill(QLineEdit* count, std::array<QLineEdit*, 6>& bytes, const QString& n, const QStringList& frame)
    {
        count->setText(n);
        for (int k = 0; k < frame.size(); ++k)
            bytes[size_t(k + 1)]->setText(frame[k]);
    }
    std::shared_ptr<sim::ShiftRegisterSpiDevice> chip;
    std::shared_ptr<sim::ConstantSpiDevice> pot;
    QTemporaryDir dir;
};

TEST_F(SpiTerminalsTest, Terminal2SendsTheFrameToTheChipAndFillsTheReplies)
{
    struct Case {
        const char* count;
        QStringList frame;
        std::vector<std::uint8_t> sent;
        std::vector<QString> replies; // the shift register answers the byte before
    };
    const Case cases[] = {
        {"1", {"C0"}, {0xC0}, {"FF", "--", "--", "--", "--", "--"}},
        {"3", {"A1", "B2", "C3"}, {0xA1, 0xB2, 0xC3}, {"FF", "A1", "B2", "--", "--", "--"}},
        {"5", {"11", "22", "33", "44", "55"}, {0x11, 0x22, 0x33, 0x44, 0x55}, {"FF", "11", "22", "33", "44", "--"}},
        // The console's count field holds two characters: "005" must reach it as 5.
        {"005", {"11", "22", "33", "44", "55"}, {0x11, 0x22, 0x33, 0x44, 0x55}, {"FF", "11", "22", "33", "44", "--"}},
    };
    frmMotherboardDAQ2& w = mb();
    frmMainF340& con = console();
    for (const Case& c : cases) {
        chip->held = 0xFF;
        chip->frames.clear();
        pot->frames.clear(); // the I2C device window's set-up, then each case, reach the potentiometer
        selectSupplyPot();
        w.cmdDisableButtons_Click(); // the terminal does not disable, but enables at its end
        fill(w.txtSPIWrQty2, w.txtSPIWrite2Data, c.count, c.frame);

        w.cmdSPIOWrite2_Click();

        ASSERT_EQ(chip->frames.size(), 1u) << c.count << ": the frame went to the chip, P2.4 high";
        EXPECT_EQ(chip->frames[0], c.sent);
        EXPECT_TRUE(pot->frames.empty());
        EXPECT_TRUE(board(0).pin(2, 4)) << "the supply potentiometer stays released";
        EXPECT_EQ(texts(w.txtSPIORead), c.replies) << c.count;
        EXPECT_EQ(w.txtSPIReadCnt2->text(), c.count);
        EXPECT_TRUE(con.chkSPIread->isChecked());
        EXPECT_TRUE(con.chkGPvalueP2[4]->isChecked());
        EXPECT_TRUE(w.cmdSPIOWrite2->isEnabled());
    }
    EXPECT_EQ(g_PortShadow[2], 0x10) << "the port image is not touched";
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(SpiTerminalsTest, Terminal3PausesBeforeItsTransferAndShowsTheCountAsANumber)
{
    frmMotherboardDAQ2& w = mb();
    const auto gapBeforeTransfer = [&] {
        const auto& e = board(0).transcript.entries();
        std::int64_t last = 0;
        for (const auto& x : e) {
            if (x.dir != sim::Direction::ToBoard)
                continue;
            if (x.command() == kSpiCmd)
                return x.timeMs - last;
            last = x.timeMs;
        }
        return std::int64_t(-1);
    };

    fill(w.txtSPIWrQty2, w.txtSPIWrite2Data, "4", {"80", "01", "02", "03"});
    board(0).transcript.clear();
    const int pumps2 = svc.pumps;
    w.cmdSPIOWrite2_Click();
    const auto gap2 = gapBeforeTransfer();
    const int passes2 = svc.pumps - pumps2;

    chip->held = 0xFF;
    board(0).transcript.clear();
    const int pumps3 = svc.pumps;
    w.txtSPIWrQty3->setText("04");
    w.cmdSPIOWrite3_Click();
    const auto gap3 = gapBeforeTransfer();

    EXPECT_EQ(gap3 - gap2, 20);
    EXPECT_EQ(svc.pumps - pumps3, passes2 + 3) << "events run after the port read, before the pause and after the transfer";
    EXPECT_EQ(chip->frames.back(), (std::vector<std::uint8_t>{0x80, 0x00, 0x00, 0x00}));
    EXPECT_EQ(texts(w.txtSPIORead3), (std::vector<QString>{"FF", "80", "00", "00", "--", "--"}));
    EXPECT_EQ(w.txtSPIReadCnt3->text(), "4");
    EXPECT_EQ(w.txtSPIReadCnt2->text(), "4");
}

TEST_F(SpiTerminalsTest, CountFieldsKeepOneToFiveWhenLeft)
{
    frmMotherboardDAQ2& w = mb();
    const std::pair<const char*, const char*> cases[] = {{"0", "1"}, {"x", "1"}, {"", "1"}, {"9", "5"}, {"3", "3"}};
    for (QLineEdit* count : {w.txtSPIWrQty2, w.txtSPIWrQty3})
        for (auto [typed, kept] : cases) {
            count->setText(typed);
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(count, &out);
            EXPECT_EQ(count->text(), kept) << typed;
        }
}

TEST_F(SpiTerminalsTest, AFrameTheConsoleCannotSendIsRefusedWithAMessage)
{
    frmMotherboardDAQ2& w = mb();
    struct Case {
        QLineEdit* count;
        std::array<QLineEdit*, 6>& bytes;
        const char* n;
        QStringList frame;
        bool terminal3;
        const char* message;
    };
    const Case cases[] = {
        {w.txtSPIWrQty2, w.txtSPIWrite2Data, "6", {}, false,
         "SPI terminal 2: the count \"6\" is no number from 1 to 5. Nothing was sent."},
        {w.txtSPIWrQty3, w.txtSPIWrite3Data, "2", {"80", "XYZ"}, true,
         "SPI terminal 3: B2 holds \"XYZ\", which is no hex byte (00 to FF). Nothing was sent."},
    };
    for (const Case& c : cases) {
        fill(c.count, c.bytes, c.n, c.frame);
        board(0).transcript.clear();
        g_SpiTransferOk = true; // an earlier frame's
        for (QLineEdit* reply : w.txtSPIORead)
            reply->setText("5A"); // left from an earlier transfer
        for (QLineEdit* reply : w.txtSPIORead3)
            reply->setText("5A");
        svc.answer(vbOK);
        w.cmdDisableButtons_Click();
        if (c.terminal3)
            w.cmdSPIOWrite3_Click();
        else
            w.cmdSPIOWrite2_Click();
        EXPECT_EQ(svc.boxes.back().text, c.message);
        EXPECT_TRUE(board(0).transcript.requests().empty());
        EXPECT_EQ(texts(c.terminal3 ? w.txtSPIORead3 : w.txtSPIORead), std::vector<QString>(6, "--"))
            << "no reply of an earlier transfer passes for this one's";
        EXPECT_TRUE(w.cmdSPIOWrite2->isEnabled());
        EXPECT_FALSE(g_SpiTransferOk);
    }
}

// The frame's report cannot be written: the console's read column still holds the last
// frame's bytes, which must not show as this frame's replies.
TEST_F(SpiTerminalsTest, AFrameThatFailsShowsNoReplies)
{
    frmMotherboardDAQ2& w = mb();
    fill(w.txtSPIWrQty3, w.txtSPIWrite3Data, "2", {"80", "01"});
    w.cmdSPIOWrite3_Click();
    ASSERT_EQ(w.txtSPIORead3[1]->text(), "80");

    bool armed = false;
    svc.onPump = [&](int) {
        const auto last = board(0).transcript.lastRequest();
        // Once the chip select is released and read back, the next report is the frame.
        if (!armed && last && (*last)[1] == 0x12 && (*last)[2] == 1 && (*last)[3] == 0xA0) {
            armed = true;
            board(0).failNextWrites(1);
        }
    };
    svc.answer(platform::vbRetry);
    w.cmdSPIOWrite3_Click();
    svc.onPump = nullptr;
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});
    EXPECT_FALSE(g_SpiTransferOk);
    EXPECT_EQ(texts(w.txtSPIORead3), std::vector<QString>(6, "--"));
    EXPECT_EQ(w.txtSPIReadCnt3->text(), "--");
    EXPECT_TRUE(w.cmdSPIOWrite3->isEnabled());
}

TEST_F(SpiTerminalsTest, ClosingTheWindowDuringTerminal3sPauseSendsNoFrame)
{
    frmMotherboardDAQ2& w = mb();
    board(0).transcript.clear();
    chip->frames.clear();
    svc.onPump = [&](int) {
        if (!forms().frmMotherboardDAQ2.loaded())
            return;
        w.cmdexit->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    w.cmdSPIOWrite3_Click();
    svc.onPump = nullptr;
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
    EXPECT_TRUE(board(0).transcript.requests(kSpiCmd).empty());
    EXPECT_TRUE(chip->frames.empty());
}

// One heading over each column of the terminals: "Count", then "B1" to "B5", each centred
// over its fields.
TEST_F(SpiTerminalsTest, EachColumnHasItsHeadingAboveIt)
{
    frmMotherboardDAQ2& w = mb();
    w.show();
    QCoreApplication::processEvents();
    QWidget* frame = w.txtSPIWrQty2->parentWidget();
    const auto centreX = [&w](const QWidget* x) { return x->mapTo(&w, x->rect().center()).x(); };
    std::vector<QWidget*> columns{w.txtSPIWrQty2};
    for (size_t k = 1; k <= 5; ++k)
        columns.push_back(w.txtSPIWrite2Data[k]);
    const QStringList headings{"Count", "B1", "B2", "B3", "B4", "B5"};
    for (int c = 0; c < headings.size(); ++c) {
        QLabel* heading = nullptr;
        for (QLabel* l : frame->findChildren<QLabel*>())
            if (l->text() == headings[c])
                heading = l;
        ASSERT_TRUE(heading) << headings[c].toStdString();
        EXPECT_LE(std::abs(centreX(heading) - centreX(columns[size_t(c)])), 3) << headings[c].toStdString();
        EXPECT_LT(heading->mapTo(&w, QPoint()).y(), columns[size_t(c)]->mapTo(&w, QPoint()).y());
    }
}
