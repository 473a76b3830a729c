// The 10-bit register console against the simulated K6623: its frames on the wire, what it
// shows, its refusals, the supply warning, the borrowed lamp, and a part that is not a K6623.
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "devices/FrmK6623.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "sim/spi_parts.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <vector>

using platform::vbOK;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Stands in for the SPI device window's borrowed fields.
struct SpiWindowStandIn {
    QWidget owner;
    QLineEdit* id = new QLineEdit("50", &owner);
    QLabel* product = new QLabel("K6623/4 10-bit SPI DCP", &owner);
    Lamp* lamp = new Lamp(&owner);
};

} // namespace

class K6623ConsoleTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        part = sim::installK6623(board(0));
        host = std::make_unique<SpiWindowStandIn>();
        setSpiWindowFieldsProvider([this] { return SpiWindowFields{host->id, host->product, host->lamp}; });
        // As the SPI device window's set-up leaves the ports: P1.3 (SPI) and P1.2 high.
        frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
        mb.chkPData[11]->setChecked(true);
        mb.chkPData[10]->setChecked(true);
        mb.cmdWrtPipe1_Click();
        mb.OptVCC[0]->setChecked(true);
        part->frames.clear();
    }
    void TearDown() override
    {
        setSpiWindowFieldsProvider(nullptr);
        BoardFixture::TearDown();
    }
    FrmK6623& console6623() { return forms().FrmK6623(); }
    std::vector<Bytes> sent() const { return part->frames; }

    std::shared_ptr<sim::K6623Part> part;
    std::unique_ptr<SpiWindowStandIn> host;
};

TEST_F(K6623ConsoleTest, ReadsShowThreeDigitsFromTheTwoValueBytes)
{
    forms().FrmK6623.show();
    FrmK6623& k = console6623();
    part->dr[2] = 0x23C;
    part->wcr = 0x005;
    k.CMDk662X_Read[3]->click(); // "Data 2"
    k.CMDk662X_Read[0]->click(); // "Wiper"
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x51, 0xA8, 0x00, 0x00}, {0x51, 0x80, 0x00, 0x00}}));
    EXPECT_EQ(k.lblRdk662x[3]->text(), "23C");
    EXPECT_EQ(k.lblRdk662x[0]->text(), "005");

    part->junkHighBits = 0xF0; // received byte 2 "F2" counts as 2
    k.lblRdk662x[3]->setText("000");
    k.CMDk662X_Read_Click(3);
    EXPECT_EQ(k.lblRdk662x[3]->text(), "23C");
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(K6623ConsoleTest, WritesAndTransfersReachTheRegisters)
{
    FrmK6623& k = console6623();
    struct Case {
        const char* what;
        std::function<void()> press;
        Bytes frame;
    };
    const Case cases[] = {
        {"3FF to the wiper", [&] { k.txtWrK6628[0]->setText("3FF"); k.CMDk662X_Write[0]->click(); }, {0x50, 0xA0, 0x03, 0xFF}},
        {"5 to data 0", [&] { k.txtWrK6628[1]->setText("5"); k.CMDk662X_Write_Click(1); }, {0x50, 0xC0, 0x00, 0x05}},
        {"wiper > data 3", [&] { k.cmdK662xWipertoData[3]->click(); }, {0x50, 0xEC}},
        {"data 0 > wiper", [&] { k.cmdK662xDatatoWiper[0]->click(); }, {0x51, 0xC0}},
        {"1A2 to data 1", [&] { k.txtWrK6628[2]->setText("1A2"); k.CMDk662X_Write_Click(2); }, {0x50, 0xC4, 0x01, 0xA2}},
        {"data 1 > wiper", [&] { k.cmdK662xDatatoWiper_Click(1); }, {0x51, 0xC4}},
    };
    for (const Case& c : cases) {
        part->frames.clear();
        c.press();
        EXPECT_EQ(sent(), std::vector<Bytes>{c.frame}) << c.what;
    }
    EXPECT_EQ(k.txtWrK6628[1]->text(), "005") << "the box is padded to three digits";
    EXPECT_EQ(part->dr[3], 0x3FF);
    EXPECT_EQ(part->dr[0], 0x005);
    EXPECT_EQ(part->wcr, 0x1A2);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(K6623ConsoleTest, ValuesBeyondTenBitsAndFramesTheTerminalRefusesSendNothing)
{
    FrmK6623& k = console6623();
    k.txtWrK6628[0]->setText("1234");
    svc.answer(vbOK);
    k.CMDk662X_Write_Click(0);
    EXPECT_EQ(svc.boxes.back().text, "\"1234\" is no ten-bit value (000 to 3FF). Nothing was written.");
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(part->wcr, 0);

    // ID FF: ID + 1 is no byte; the terminal says so and the value shown stays.
    host->id->setText("FF");
    k.lblRdk662x[1]->setText("ABC");
    svc.answer(vbOK);
    k.CMDk662X_Read_Click(1);
    EXPECT_EQ(svc.boxes.back().text, "SPI terminal 3: B1 holds \"100\", which is no hex byte (00 to FF). Nothing was sent.");
    EXPECT_EQ(k.lblRdk662x[1]->text(), "ABC");
    EXPECT_TRUE(sent().empty());
}

TEST_F(K6623ConsoleTest, SupplyOffWarnsAndSendsAllTheSame)
{
    FrmK6623& k = console6623();
    forms().frmMotherboardDAQ2().OptVCC[1]->setChecked(true);
    part->frames.clear();
    svc.answer(vbOK);
    k.cmdK662xWipertoData_Click(0);
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(svc.boxes[0].text, "VCC is not turned on.");
    EXPECT_EQ(svc.boxes[0].buttons, platform::vbOKOnly);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x50, 0xE0}}));
}

TEST_F(K6623ConsoleTest, TheReadLampFlipsOnEveryPressAndOtherPartsGetNothing)
{
    FrmK6623& k = console6623();
    host->lamp->setFillColor(12);
    k.CMDk662X_Read_Click(0);
    EXPECT_EQ(host->lamp->fillColor(), 10) << "from any other colour: green";
    k.cmdK662xDatatoWiper_Click(0);
    EXPECT_EQ(host->lamp->fillColor(), 2);

    // A preset put another part into the SPI window: presses send nothing, change no value,
    // and still flip the lamp.
    host->product->setText("ZN3920, SPI, Four Channel, 256 Tap QPOT");
    part->frames.clear();
    k.lblRdk662x[0]->setText("123");
    k.txtWrK6628[0]->setText("5");
    for (QPushButton* b : {k.CMDk662X_Read[0], k.CMDk662X_Write[0], k.cmdK662xDatatoWiper[0], k.cmdK662xWipertoData[0]})
        b->click();
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(k.lblRdk662x[0]->text(), "123");
    EXPECT_EQ(k.txtWrK6628[0]->text(), "5");
    EXPECT_EQ(host->lamp->fillColor(), 2) << "four more flips";

    // No SPI window at all: nothing sent, no lamp, no failure.
    setSpiWindowFieldsProvider(nullptr);
    k.CMDk662X_Read_Click(0);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(K6623ConsoleTest, WriteBoxesTakeHexDigitsOnly)
{
    FrmK6623& k = console6623();
    QLineEdit* box = k.txtWrK6628[2];
    box->clear();
    KeyFilter::on(box)->typeText("g1a!F");
    EXPECT_EQ(box->text(), "1AF");
    int enter = kKeyReturn;
    k.txtWrK6628_KeyPress(2, enter);
    EXPECT_EQ(enter, kKeyReturn) << "Enter passes";
    EXPECT_TRUE(sent().empty()) << "and writes nothing";
}

TEST_F(K6623ConsoleTest, CaptionsAsDesigned)
{
    FrmK6623& k = console6623();
    EXPECT_EQ(k.windowTitle(), "K6623/ 4 SPI Register Control");
    EXPECT_EQ(k.frk662x->title(), "K6627/8 Table 3 Instruction Set");
    const QStringList rows{"Wiper", "Data 0", "Data 1", "Data 2", "Data 3"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(k.CMDk662X_Read[size_t(i)]->text(), rows[i]);
        EXPECT_EQ(k.CMDk662X_Write[size_t(i)]->text(), rows[i]);
        EXPECT_EQ(k.lblRdk662x[size_t(i)]->text(), "000");
        EXPECT_EQ(k.txtWrK6628[size_t(i)]->text(), "000");
    }
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(k.cmdK662xDatatoWiper[size_t(j)]->text(), QString("Data %1 > Wiper").arg(j));
        EXPECT_EQ(k.cmdK662xWipertoData[size_t(j)]->text(), QString("Wiper > Data %1").arg(j));
    }
}
