// The supply potentiometer's console: each row one SPI frame with the potentiometer's chip
// select P2.4 low around it, the read-back row, and the entry rule of its byte fields.
#include "bridge/frmMainF340.h"
#include "controls/keyfilter.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/analog_board.h"
#include "support/board_fixture.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <memory>
#include <string>

using namespace platform;

namespace {

constexpr std::uint8_t kSfrAccess = 0x12, kSpiTransfer = 0x09, kP2 = 0xA0;
using Frames = std::vector<std::vector<std::uint8_t>>;

// Passes every frame on to the potentiometer, running a hook when it is selected.
class PeekingSlot : public sim::SpiDevice {
public:
    PeekingSlot(std::shared_ptr<sim::SpiDevice> inner, std::function<void()> onSelect)
        : inner_(std::move(inner)), onSelect_(std::move(onSelect))
    {
    }
    void select() override
    {
        onSelect_();
        inner_->select();
    }
    std::uint8_t transfer(std::uint8_t mosi) override { return inner_->transfer(mosi); }
    void deselect() override { inner_->deselect(); }

private:
    std::shared_ptr<sim::SpiDevice> inner_;
    std::function<void()> onSelect_;
};

// Keys as a user types them, through the field's key filter.
void type(QLineEdit* box, const QString& text) { KeyFilter::on(box)->typeText(text); }

void pressEnter(QLineEdit* box)
{
    int key = kKeyReturn;
    KeyFilter::on(box)->keyPress(key);
}

void leave(QLineEdit* box)
{
    QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &e);
}

} // namespace

class SupplyPotTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        analog = sim::attachAnalogBoard(board());
        mb();
        analog->supplyPot->frames.clear();
    }
    frmMotherboardDAQ2& mb() { return forms().frmMotherboardDAQ2(); }
    Frames frames() const { return analog->supplyPot->frames; }

    // Since the transcript was cleared: 'L' / 'H' a P2 write with P2.4 low / high, 'S' an
    // SPI transfer.
    std::string chipSelectAndTransfers()
    {
        std::string out;
        for (const auto& rq : board().transcript.requests()) {
            if (rq[1] == kSfrAccess && rq[2] == 0 && rq[3] == kP2)
                out += (rq[4] & 0x10) ? 'H' : 'L';
            else if (rq[1] == kSpiTransfer)
                out += 'S';
        }
        return out;
    }

    std::shared_ptr<sim::AnalogBoard> analog;
};

TEST_F(SupplyPotTest, WriteDataSendsTheCodeWithTheChipSelectLowAroundIt)
{
    mb().OptVCC[0]->setChecked(true); // VCC on: P2.5 must survive the chip-select writes
    board().transcript.clear();
    analog->supplyPot->frames.clear();

    mb().txtSPIwr[7]->setText("3E");
    mb().cmdSPIWrite2_Click();
    EXPECT_EQ(chipSelectAndTransfers(), "LSH");
    const auto spi = board().transcript.lastRequest(kSpiTransfer);
    ASSERT_TRUE(spi);
    EXPECT_EQ((*spi)[3], 1); // the bytes received are read back
    EXPECT_EQ((*spi)[6], 3);
    EXPECT_EQ(frames(), (Frames{{0x50, 0xC0, 0x3E}}));
    EXPECT_EQ(analog->supplyPot->data, 0x3E);
    EXPECT_TRUE(board().pin(2, 4));
    EXPECT_TRUE(board().pin(2, 5));
    EXPECT_NEAR(analog->vcc(), 1.254 + 0.03286 * 0x3E, 1e-9);
    EXPECT_TRUE(mb().cmdSPIWrite2->isEnabled());
}

TEST_F(SupplyPotTest, EachRowSendsItsFrameAndShowsTheBytesReceived)
{
    using Handler = void (MbSupplyPot::*)();
    struct Case {
        const char* name;
        Handler handler;
        std::vector<std::uint8_t> frame;
        QStringList received; // txtSPIRd(0..3)
        bool showsXX;         // while the transfer runs
    };
    const Case cases[] = {
        {"Write Reg", &MbSupplyPot::cmdSPIWrite_Click, {0x50, 0xC2, 0xC0}, {"FF", "FF", "FF", "AB"}, false},
        {"Write Data", &MbSupplyPot::cmdSPIWrite2_Click, {0x50, 0xC0, 0x77}, {"FF", "FF", "FF", "AB"}, false},
        {"Read Setup", &MbSupplyPot::cmdSPRRdReg_Click, {0x50, 0xB2, 0xC0}, {"FF", "FF", "C0", "AB"}, true},
        {"ReadData", &MbSupplyPot::cmdSPIReadData_Click, {0x50, 0xB0, 0x00}, {"FF", "FF", "77", "AB"}, true},
    };
    QString shownDuringTransfer;
    board().supplyPotSlot = std::make_shared<PeekingSlot>(analog->supplyPot, [&] {
        shownDuringTransfer = mb().txtSPIRd[0]->text();
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        console().txtReadVal[3]->setText("AB"); // a three-byte transfer leaves it
        mb().txtSPIRd[0]->setText("--");
        analog->supplyPot->frames.clear();
        (mb().*c.handler)();
        EXPECT_EQ(frames(), Frames{c.frame});
        const QStringList shown{mb().txtSPIRd[0]->text(), mb().txtSPIRd[1]->text(), mb().txtSPIRd[2]->text(),
                                mb().txtSPIRd[3]->text()};
        EXPECT_EQ(shown, c.received);
        EXPECT_EQ(shownDuringTransfer, c.showsXX ? "XX" : "--");
        EXPECT_TRUE(board().pin(2, 4));
    }
}

TEST_F(SupplyPotTest, ByteFieldsHoldOneByte)
{
    struct Case {
        const char* typed;
        bool byEnter; // else by leaving the field
        const char* kept;
    };
    const Case cases[] = {
        {"0", true, "00"},   {"000", true, "00"}, {"100", true, "00"}, {"FFFF", true, "00"},
        {"7f", true, "7F"},  {"1g2", true, "12"}, {"100", false, "00"}, {"", false, "00"},
        {"c", false, "C"},
    };
    QLineEdit* box = mb().txtSPIwr[7];
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.typed << "\" " << (c.byEnter ? "Enter" : "leave"));
        box->clear();
        type(box, c.typed);
        if (c.byEnter)
            pressEnter(box);
        else
            leave(box);
        EXPECT_EQ(box->text(), c.kept);
    }
}

TEST_F(SupplyPotTest, BytesKeptWithLeadingZerosGoOutWhole)
{
    // The entry rule keeps "072" as typed; the frame must still carry 0x72, not "07".
    const char* const typed[] = {"050", "0C0", "0072"};
    for (int k = 0; k < 3; ++k) {
        QLineEdit* box = mb().txtSPIwr[size_t(5 + k)];
        box->clear();
        type(box, typed[k]);
        pressEnter(box);
    }
    mb().cmdSPIWrite2_Click();
    EXPECT_EQ(frames(), (Frames{{0x50, 0xC0, 0x72}}));
    EXPECT_EQ(analog->supplyPot->data, 0x72);
}

TEST_F(SupplyPotTest, AFailedTransferStillDeselectsThePotentiometer)
{
    // "Read Setup" lets events run once the potentiometer is selected: from then on the
    // transfer's report write fails, and the user retries.
    bool armed = false;
    svc.onPump = [&](int) {
        if (!armed && !board().pin(2, 4)) {
            armed = true;
            board().failNextWrites(1);
        }
    };
    svc.onBox = [](const QString&, int) { return vbRetry; };
    mb().cmdSPRRdReg_Click();
    EXPECT_TRUE(armed);
    EXPECT_EQ(svc.boxes.size(), 1u);
    // The board the Retry found again gets the set-up frames; the transfer is not sent again.
    EXPECT_EQ(frames(), (Frames{{0x50, 0xC0, 0x5F}, {0x50, 0xC2, 0xC0}}));
    EXPECT_TRUE(board().pin(2, 4));
    EXPECT_TRUE(mb().cmdSPRRdReg->isEnabled());
}

TEST_F(SupplyPotTest, ClosingTheWindowInTheMiddleOfAFrameStillDeselects)
{
    svc.onPump = [&](int) {
        if (forms().frmMotherboardDAQ2.loaded() && !board().pin(2, 4)) {
            forms().frmMotherboardDAQ2.get()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    mb().cmdSPRRdReg_Click(); // lets events run while selected, before its transfer
    svc.onPump = nullptr;
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
    EXPECT_TRUE(board().pin(2, 4));
}
