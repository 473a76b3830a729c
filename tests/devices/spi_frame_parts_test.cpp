// The SPI device frames as each simulated part's set-up shapes them, through the
// motherboard's terminals: writes land in the part, reads give back what was written, and the
// success rule tells a good frame from a chip that does not answer.
#include "bridge/protocol.h"
#include "devices/spi_frame_send.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "sim/spi_parts.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace spi;

namespace {

struct PartSetUp {
    const char* name;
    void (*install)(sim::SimBoard&);
    SpiWindowTexts window;
    QString acrWrite, acrRead, gpWrite, gpRead; // empty: the part has none
    QString position;                           // a wiper position in the window's hex box
    int value;
};

const PartSetUp kParts[] = {
    {"ZN3920", [](sim::SimBoard& b) { sim::installZN3920(b); },
     {.deviceId = "0", .sendId = false, .writeBase = "C0", .readBase = "80", .writeCount = "2", .readCount = "4", .product = "ZN3920"},
     "60", "20", "C4", "84", "FF", 0xFF},
    {"ZN3930", [](sim::SimBoard& b) { sim::installZN3930(b); },
     {.deviceId = "50", .sendId = true, .writeBase = "C0", .readBase = "B0", .writeCount = "3", .readCount = "3", .product = "ZN3930"},
     "C8", "B8", "C4", "B4", "7F", 0x7F},
    {"K6623", [](sim::SimBoard& b) { sim::installK6623(b); },
     {.deviceId = "50", .sendId = false, .writeBase = "A0", .readBase = "80", .writeCount = "4", .readCount = "4", .product = "K6623/4 10-bit"},
     "", "", "", "", "2A7", 0x2A7},
};

} // namespace

class SpiFramePartsTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        // As the SPI device window's set-up leaves the ports: P1.3 (SPI) and P1.2 high.
        frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
        mb.chkPData[11]->setChecked(true);
        mb.chkPData[10]->setChecked(true);
        mb.cmdWrtPipe1_Click();
    }
    void vcc(bool on) { forms().frmMotherboardDAQ2().OptVCC[on ? 0 : 1]->setChecked(true); }
    std::vector<QString> send(const FrameResult& r)
    {
        EXPECT_TRUE(r.frame) << r.refusal.toStdString();
        return r.frame ? sendFrame(*r.frame) : std::vector<QString>{};
    }
    std::optional<int> valueOf(const PartSetUp& p, const std::vector<QString>& replies)
    {
        const int count = p.window.readCount.toInt();
        return isK6623Product(p.window.product) ? bridge::spiReadValue10(replies, count) : bridge::spiReadValue(replies, count);
    }
};

TEST_F(SpiFramePartsTest, EachPartTakesItsFramesAndAnswersItsReads)
{
    for (const PartSetUp& p : kParts) {
        p.install(board(0));
        vcc(true);
        for (int channel : {0, 3}) {
            if (channel > 0 && isK6623Product(p.window.product))
                break; // one wiper
            EXPECT_TRUE(bridge::spiFrameGood(send(wiperWrite(p.window, channel, p.position)))) << p.name;
            const auto replies = send(wiperRead(p.window, channel));
            EXPECT_TRUE(bridge::spiFrameGood(replies)) << p.name;
            EXPECT_EQ(valueOf(p, replies), p.value) << p.name << " channel " << channel;
        }
        if (!p.acrWrite.isEmpty()) {
            EXPECT_TRUE(bridge::spiFrameGood(send(registerWrite(p.window, p.acrWrite, "C0")))) << p.name;
            EXPECT_EQ(bridge::spiReadValue(send(registerRead(p.window, p.acrRead)), p.window.readCount.toInt()), 0xC0) << p.name;
            EXPECT_TRUE(bridge::spiFrameGood(send(registerWrite(p.window, p.gpWrite, "3A")))) << p.name;
            EXPECT_EQ(bridge::spiReadValue(send(registerRead(p.window, p.gpRead)), p.window.readCount.toInt()), 0x3A) << p.name;
        }

        // Supply off: the chip answers nothing, every frame counts as failed.
        vcc(false);
        EXPECT_FALSE(bridge::spiFrameGood(send(wiperWrite(p.window, 0, "01")))) << p.name;
        EXPECT_FALSE(bridge::spiFrameGood(send(wiperRead(p.window, 0)))) << p.name;
    }
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(SpiFramePartsTest, ARefusedFrameSaysWhyAndSendsNothing)
{
    sim::installZN3920(board(0));
    vcc(true);
    board(0).transcript.clear();
    svc.answer(platform::vbOK);
    EXPECT_FALSE(sendOrRefuse(wiperWrite(kParts[0].window, 1, "100")));
    EXPECT_EQ(svc.boxes.back().text, "Channel 1: position 256 (100) does not fit this part's one-byte wiper register. Nothing was written.");
    EXPECT_TRUE(board(0).transcript.requests(0x09).empty());
}
