// The K6627 register console over the simulated K6627: the bytes each button puts on the
// wire, what it shows, the console options it leaves, lamps and messages, refused values.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/frk662x.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/k6627.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include <memory>

namespace {

class K6627Console : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        part = sim::installK6627(board(0));
        console();
        auto& mb = forms().frmMotherboardDAQ2();
        {
            QSignalBlocker quiet(mb.OptVCC[0]);
            mb.OptVCC[0]->setChecked(true);
        }
        board(0).setSfr(0x90, 0xF7); // the bus switch selects I2C
        frame = std::make_unique<frk662x>(frk662x::Host{[this] { return address; }, &readLamp, &commLamp,
                                                        [this](int v) { kept = v; }});
        board(0).transcript.clear();
    }
    void TearDown() override
    {
        frame.reset();
        BoardFixture::TearDown();
    }
    std::vector<QString> i2c(int n)
    {
        std::vector<QString> out;
        for (const auto& r : board(0).transcript.requests(0x06))
            out.push_back(sim::hexBytes(r, n));
        return out;
    }

    std::shared_ptr<sim::K6627> part;
    QString address = "50";
    Lamp readLamp, commLamp;
    int kept = -1;
    std::unique_ptr<frk662x> frame;
};

} // namespace

TEST_F(K6627Console, ReadsShowTenBits)
{
    part->dr[2] = 0x3FF;
    frame->CMDk662X_Read_Click(3);
    EXPECT_EQ(i2c(6), std::vector<QString>{"01 06 51 02 01 A8"});
    EXPECT_EQ(frame->lblRdk662x[3]->text(), "3FF");
    EXPECT_EQ(kept, 0x3FF);

    part->wcr = 0x310;
    part->junkHighBits = true; // only the two low bits of the high byte count
    frame->CMDk662X_Read_Click(0);
    EXPECT_EQ(frame->lblRdk662x[0]->text(), "310");
    part->wcr = 5;
    frame->CMDk662X_Read_Click(0);
    EXPECT_EQ(frame->lblRdk662x[0]->text(), "5");
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(K6627Console, WritesSendTheValueAsTwoBytesAndRefuseWhatDoesNotFit)
{
    const struct {
        int index;
        const char* text;
        const char* wire;
    } good[] = {{0, "3FF", "01 06 50 02 01 A0 03 FF"},
                {0, "12", "01 06 50 02 01 A0 00 12"},
                {2, "000", "01 06 50 02 01 C4 00 00"},
                {4, "0123", "01 06 50 02 01 CC 01 23"}};
    for (const auto& c : good) {
        board(0).transcript.clear();
        frame->txtWrK6628[c.index]->setText(c.text);
        frame->CMDk662X_Write_Click(c.index);
        EXPECT_EQ(i2c(8), std::vector<QString>{c.wire}) << c.text;
    }
    EXPECT_EQ(part->wcr, 0x12);
    EXPECT_EQ(part->dr[1], 0);
    EXPECT_EQ(part->dr[3], 0x123);

    board(0).transcript.clear();
    for (const char* bad : {"1234", "400", ""}) {
        svc.answer(platform::vbOK);
        frame->txtWrK6628[1]->setText(bad);
        frame->CMDk662X_Write_Click(1);
    }
    EXPECT_TRUE(board(0).transcript.requests(0x06).empty());
    ASSERT_EQ(svc.boxes.size(), 3u);
    EXPECT_EQ(svc.boxes[0].text,
              "Data 0: value \"1234\" does not fit this part's 10-bit register (0 to 3FF). Nothing was written.");
}

TEST_F(K6627Console, TransferCommands)
{
    auto& c = forms().frmMainF340();
    part->dr[1] = 0x2AA;
    frame->cmdK662xDatatoWiper_Click(1);
    EXPECT_EQ(i2c(6), std::vector<QString>{"01 06 51 01 01 C4"});
    EXPECT_TRUE(part->transfers.back().twoWireRead);
    EXPECT_EQ(part->wcr, 0x2AA);
    EXPECT_TRUE(c.chk2WireRead->isChecked());
    EXPECT_FALSE(c.ChK2WireCommand->isChecked());
    EXPECT_TRUE(c.chkRandom->isChecked());
    EXPECT_EQ(c.txtNumToRead->text(), "2");

    board(0).transcript.clear();
    frame->cmdK662xWipertoData_Click(3);
    EXPECT_EQ(i2c(6), std::vector<QString>{"01 06 50 01 00 EC"});
    EXPECT_EQ(part->dr[3], 0x2AA);
    EXPECT_TRUE(c.chkRandom->isChecked());
    EXPECT_EQ(c.txtNumToWrite->text(), "2");
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(K6627Console, LampsBlinkOnSuccessAndTurnRedWithAMessage)
{
    frame->CMDk662X_Read_Click(0);
    EXPECT_EQ(readLamp.fillColor(), 10);
    EXPECT_EQ(commLamp.fillColor(), 10);
    frame->CMDk662X_Read_Click(0);
    EXPECT_EQ(readLamp.fillColor(), 2);
    frame->CMDk662X_Read_Click(0);
    EXPECT_EQ(readLamp.fillColor(), 10);

    // Not acknowledged: the console's own dialogs, then red lamps and the message; the value
    // shown and kept stay as they were.
    frame->lblRdk662x[1]->setText("ABC");
    kept = 7;
    board(0).nakNextI2C();
    svc.onBox = [](const QString&, int buttons) {
        return buttons == platform::vbRetryCancel ? platform::vbRetry : platform::vbOK; // Retry: back to the window
    };
    frame->CMDk662X_Read_Click(1);
    EXPECT_EQ(readLamp.fillColor(), 12);
    EXPECT_EQ(commLamp.fillColor(), 12);
    EXPECT_EQ(frame->lblRdk662x[1]->text(), "ABC");
    EXPECT_EQ(kept, 7);
    ASSERT_EQ(svc.boxes.size(), 2u);
    EXPECT_TRUE(svc.boxes[0].text.startsWith("Invalid I2C address."));
    EXPECT_EQ(svc.boxes.back().text, "Read DCP Error, Check Device Addreess, VCC & AVDD Power and I2C Connections ");
    EXPECT_EQ(svc.boxes.back().title, " Error during DCP Read ");
}

TEST_F(K6627Console, SupplyOffWarnsAndStillSendsAndAnOddAddressWritesBelowIt)
{
    {
        QSignalBlocker quiet(forms().frmMotherboardDAQ2().OptVCC[1]);
        forms().frmMotherboardDAQ2().OptVCC[1]->setChecked(true);
    }
    address = "51";
    svc.answer(platform::vbOK);
    frame->txtWrK6628[0]->setText("80");
    frame->CMDk662X_Write_Click(0);
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(svc.boxes[0].text, "VCC is not turned on.");
    EXPECT_EQ(i2c(8), std::vector<QString>{"01 06 50 02 01 A0 00 80"});
    EXPECT_EQ(part->wcr, 0x80);
}
