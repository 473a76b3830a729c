// The SPI device window over a simulated board carrying a ZN3920 or ZN3930: reached from the
// startup menu's "SPI" pick, set up by its presets, writing and reading wipers through the
// motherboard's SPI terminals.
#include "bridge/frmMainF340.h"
#include "bridge/protocol.h"
#include "controls/lamp.h"
#include "devices/FrmK6623.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/spi_fixture.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "scripts/frmScriptOps.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "sim/evaluation_board.h"
#include "sim/quad_part.h"
#include "sim/spi_parts.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

class SpiWindowTest : public SpiWindowFixture {
protected:
    // The window with the part chosen by its preset and the supply on, the wire cleared.
    frmDCP_SPI1& atPart(bool zn3930)
    {
        sim::setUpEvaluationBoard(board());
        part = zn3930 ? sim::installZN3930(board()) : sim::installZN3920(board());
        frmDCP_SPI1& w = pickSPI();
        if (zn3930)
            w.mnuZN3930->trigger();
        else
            w.mnuZN3920->trigger();
        w.supply->OptVCC[0]->setChecked(true);
        board().transcript.clear();
        return w;
    }
    // The frames that reached the chip under test (the supply potentiometer's left out).
    size_t chipFrames() const { return part->frames.size(); }
    static void enter(QLineEdit* box)
    {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(box, &e);
    }
    static void leave(QLineEdit* box)
    {
        QFocusEvent e(QEvent::FocusOut);
        QApplication::sendEvent(box, &e);
    }
    std::shared_ptr<sim::SpiDcp> part;
};

TEST_F(SpiWindowTest, TheSpiPickSetsTheWindowUpAndHidesTheMenu)
{
    sim::setUpEvaluationBoard(board());
    forms().frmStartup.show();
    board().transcript.clear();
    frmDCP_SPI1& w = pickSPI();
    // The clock is asked once and sent back from both lists: the console's and this window's.
    int gets = 0, sets = 0;
    for (const auto& r : board().transcript.requests(bridge::kSpiClock))
        ++(r[2] == bridge::kGet ? gets : sets);
    EXPECT_EQ(gets, 1);
    EXPECT_EQ(sets, 2);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(forms().frmStartup().isVisible());
    EXPECT_EQ(w.windowTitle(), "Vantrel  SPI DCP Evaluation");
    EXPECT_EQ(g_ActiveForm, &w);
    EXPECT_TRUE(g_SPIFamily);
    EXPECT_FALSE(g_I2CFamily);
    for (QListWidget* l : w.List1) {
        ASSERT_EQ(l->count(), 129);
        EXPECT_EQ(l->item(128)->text(), "128");
    }
    for (int k = 1; k < 4; ++k) {
        EXPECT_TRUE(w.SSFrame3[size_t(k)]->isHidden());
        EXPECT_TRUE(w.SSFrame4[size_t(k)]->isHidden());
    }
    EXPECT_EQ(w.txtDeviceAdr->text(), "50");
    EXPECT_EQ(w.txtACRAddress->text(), "02");
    EXPECT_EQ(w.txtACRAddress1->text(), "60");
    EXPECT_TRUE(w.Option1[1]->isChecked());
    EXPECT_TRUE(board().pin(1, 3)); // bus switch on SPI
    EXPECT_TRUE(board().pin(1, 2)); // shutdown / write protect released
    // The bridge console fills the window's clock list from now on.
    EXPECT_EQ(forms().spiDeviceClockList(), w.cboSPIClock);
    EXPECT_GT(w.cboSPIClock->count(), 0);
    EXPECT_EQ(w.cboSPIClock->count(), forms().frmMainF340().cboSPIClock->count());
}

TEST_F(SpiWindowTest, PresetsSetTheWindowUpForTheirPart)
{
    struct Case {
        bool zn3930;
        const char *product, *wr, *rd, *acrW, *acrR, *id, *gpR, *baseR;
        bool sendId;
        int taps;
    };
    const Case cases[] = {
        {false, "ZN3920, SPI, Four Channel, 256 Tap QPOT", "2", "4", "60", "20", "0", "84", "80", false, 256},
        {true, "ZN3930, SPI, Four Channel, 128 Tap QPOT", "3", "3", "C8", "B8", "50", "B4", "B0", true, 128},
    };
    for (const Case& c : cases) {
        frmDCP_SPI1& w = atPart(c.zn3930);
        EXPECT_EQ(w.lblProduct->text(), c.product);
        EXPECT_EQ(w.txtSPIWrCount->text(), c.wr);
        EXPECT_EQ(w.txtSPIRDQuantity->text(), c.rd);
        EXPECT_EQ(w.txtACRAddress->text(), c.acrW);
        EXPECT_EQ(w.txtACRAddress1->text(), c.acrR);
        EXPECT_EQ(w.txtDeviceAdr->text(), c.id);
        EXPECT_EQ(w.txtGPAddress->text(), "C4");
        EXPECT_EQ(w.txtGPAddress1->text(), c.gpR);
        EXPECT_EQ(w.txtBaseDCPWriteAddress->text(), "C0");
        EXPECT_EQ(w.txtBaseDCPReadAddress->text(), c.baseR);
        EXPECT_EQ(w.chkSendID->isChecked(), c.sendId);
        EXPECT_EQ(g_TapCount, c.taps);
        EXPECT_EQ(g_ChannelCount, 4);
        EXPECT_EQ(w.List1[3]->count(), c.taps + 1);
        EXPECT_FALSE(w.SSFrame4[3]->isHidden());
        forms().destroyAll();
    }
}

TEST_F(SpiWindowTest, WiperWriteWithAutoReadMovesThePartAndShowsReadBackAndVoltage)
{
    struct Case {
        bool zn3930;
        int channel;
        const char* hex;
        std::vector<int> write, read;
    };
    const Case cases[] = {
        {false, 2, "7F", {0xC2, 0x7F}, {0x82, 0, 0, 0}},
        {true, 0, "05", {0x50, 0xC0, 0x05}, {0x50, 0xB0, 0}},
    };
    for (const Case& c : cases) {
        frmDCP_SPI1& w = atPart(c.zn3930);
        const size_t k = size_t(c.channel);
        w.ChkAutoRead[k]->setChecked(true);
        board().transcript.clear();
        w.txtHexDataWrt[k]->setText(c.hex);
        w.CMDxMIT[k]->click();
        const int value = c.hex == QString("7F") ? 0x7F : 5;
        EXPECT_EQ(part->wcr[k], value);
        EXPECT_EQ(w.lblPotReadhex[k]->text(), c.hex);
        EXPECT_EQ(w.lblPotRead[k]->text(), QString::number(value));
        EXPECT_NE(w.lblWiperVolts[k]->text(), "0.000");
        const auto frames = spiFrames();
        ASSERT_GE(frames.size(), 2u);
        EXPECT_EQ(frames[0], c.write);
        EXPECT_EQ(frames[1], c.read);
        EXPECT_EQ(w.Shape1[1]->fillColor(), 10);
        EXPECT_EQ(w.Shape1[2]->fillColor(), 10);
        EXPECT_TRUE(w.CMDxMIT[k]->isEnabled());
        EXPECT_TRUE(svc.boxes.empty());
        forms().destroyAll();
    }
}

TEST_F(SpiWindowTest, WritesAndReadsNeedTheSupplyOn)
{
    frmDCP_SPI1& w = atPart(false);
    w.supply->OptVCC[1]->setChecked(true);
    board().transcript.clear();
    for (QPushButton* b : {w.CMDxMIT[0], w.cmdI2Read[0]}) {
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        b->click();
        ASSERT_EQ(svc.boxes.size(), 1u);
        EXPECT_EQ(svc.boxes[0].text, "VCC is not turned on.");
    }
    EXPECT_TRUE(spiFrames().empty());
    EXPECT_TRUE(w.CMDxMIT[0]->isEnabled());
}

TEST_F(SpiWindowTest, ASilentChipTurnsTheLampsRedAndKeepsTheReadBack)
{
    frmDCP_SPI1& w = atPart(false);
    w.txtHexDataWrt[0]->setText("40");
    w.CMDxMIT[0]->click();
    w.cmdI2Read[0]->click();
    ASSERT_EQ(w.lblPotReadhex[0]->text(), "40");
    // The bus switch turned to I2C: the chip is out of reach and MISO reads 00.
    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    mb.chkPData[11]->setChecked(false);
    mb.cmdWrtPipe1_Click();
    w.txtHexDataWrt[0]->setText("20");
    w.CMDxMIT[0]->click();
    EXPECT_EQ(w.Shape1[1]->fillColor(), 12);
    w.cmdI2Read[0]->click();
    EXPECT_EQ(w.Shape1[2]->fillColor(), 12);
    EXPECT_EQ(w.lblPotReadhex[0]->text(), "00"); // "00" is a byte: it is shown
}

TEST_F(SpiWindowTest, ReturnShowsTheMenuAndTheCloseBoxEndsTheProgram)
{
    frmDCP_SPI1& w = atPart(false);
    w.cmdMMenu->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(forms().frmStartup().isVisible());
    EXPECT_TRUE(w.supply->OptVCC[1]->isChecked());
    forms().frmStartup().cboDCPSelect->setCurrentIndex(0);
    forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.lblProduct->text(), "ZN3920, SPI, Four Channel, 256 Tap QPOT"); // kept while hidden
    EXPECT_TRUE(ends([&] { w.close(); }));
}

TEST_F(SpiWindowTest, RegisterWritesLandAndReadsShowTheReply)
{
    frmDCP_SPI1& w = atPart(false);
    w.txtACR[0]->setText("C0");
    w.cmdACRWrite->click();
    w.cmdACRRead->click();
    w.txtGPWrite->setText("3A");
    // A GP write frees the ACR buttons at its end, whoever took them.
    w.cmdACRWrite->setEnabled(false);
    w.cmdACRRead->setEnabled(false);
    w.cmdWriteGP->click();
    EXPECT_TRUE(w.cmdACRWrite->isEnabled());
    EXPECT_TRUE(w.cmdACRRead->isEnabled());
    w.cmdGPRead->click();
    EXPECT_EQ(part->acr, 0xC0);
    EXPECT_EQ(part->gp, 0x3A);
    EXPECT_EQ(w.txtACR[1]->text(), "C0");
    EXPECT_EQ(w.lblGPRead->text(), "3A");
    const std::vector<std::vector<int>> wire = {{0x60, 0xC0}, {0x20, 0, 0, 0}, {0xC4, 0x3A}, {0x84, 0, 0, 0}};
    EXPECT_EQ(spiFrames(), wire);
    for (QPushButton* b : {w.cmdACRWrite, w.cmdACRRead, w.cmdWriteGP, w.cmdGPRead})
        EXPECT_TRUE(b->isEnabled());
}

// The SPI window opens the script window in the SPI family and the SPI quad console, whose
// hooks reach this window's fields.
TEST_F(SpiWindowTest, ScriptExecutionAndTheQuadConsoleOpenFromTheSpiWindow)
{
    sim::setUpEvaluationBoard(board());
    sim::QuadSpiPart::install(board());
    frmDCP_SPI1& w = pickSPI();

    w.mnuScriptShow_Click();
    ASSERT_TRUE(forms().frmScriptOps.loaded());
    EXPECT_TRUE(forms().frmScriptOps().isVisible());
    EXPECT_TRUE(g_SPIFamily);
    EXPECT_FALSE(g_I2CFamily);

    // The I2C window's script entry left the I2C family behind: this window's entry takes
    // its own family back, so script rows go to the bus the board is switched to.
    g_I2CFamily = true;
    g_SPIFamily = false;
    w.mnuScriptShow_Click();
    EXPECT_TRUE(g_SPIFamily);
    EXPECT_FALSE(g_I2CFamily);

    w.supply->OptVCC[0]->setChecked(true);
    w.cmdShowk4744_Click();
    ASSERT_TRUE(forms().frm_k4731.loaded());
    EXPECT_TRUE(forms().frm_k4731().isVisible());
    EXPECT_EQ(forms().frm_k4731().windowTitle(), "k4731/2  Instruction Set, Register Controls and Status Detail");
    EXPECT_EQ(forms().frm_k4731().FrPot->title(), "K4731/2 Instruction Set");
    EXPECT_FALSE(forms().frm_k4744.loaded());

    QuadDeviceLink& link = quadDeviceLink(quad::Bus::SPI);
    w.txtSPIRDQuantity->setText("3");
    EXPECT_EQ(link.readCount(), "3");
    EXPECT_EQ(link.deviceAddress(), w.txtDeviceAdr->text());
    link.setInUse(false);
    EXPECT_FALSE(w.isEnabled());
    link.setInUse(true);
    EXPECT_TRUE(w.isEnabled());
}

// The ID byte keeps what was typed (no padding, odd IDs stay odd); 0, or a value above 0x100,
// becomes "50". An I2C write address would be made even: the SPI window must not do that.
TEST_F(SpiWindowTest, TheIdByteKeepsItsTextUnlessItIsNoIdAtAll)
{
    sim::setUpEvaluationBoard(board());
    frmDCP_SPI1& w = pickSPI();
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"5", "5"}, {"51", "51"}, {"0a", "0A"}, {"100", "100"}, {"0", "50"}, {"101", "50"}, {"G", "50"}, {"", "50"}, {"5G", "50"}, {" 5", "50"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        w.txtDeviceAdr->setText(c.typed);
        w.txtDeviceAdr_KeyPress(13);
        EXPECT_EQ(w.txtDeviceAdr->text(), c.shown);
        w.txtDeviceAdr->setText(c.typed);
        w.txtDeviceAdr_LostFocus();
        EXPECT_EQ(w.txtDeviceAdr->text(), c.shown);
    }
}

// The supply panel's extra tips and the lamps this window shows.
TEST_F(SpiWindowTest, DesignTipsAndLampsOfTheSpiWindow)
{
    sim::setUpEvaluationBoard(board());
    frmDCP_SPI1& w = pickSPI();
    EXPECT_EQ(w.supply->txtADOffset->toolTip(), "VCC Offset of Motherboard");
    EXPECT_EQ(w.supply->txtADGain->toolTip(), "VCC Gain needed by Motherboard");
    EXPECT_EQ(w.supply->cmdReadVCC->toolTip(), "Samples VCC Voltage");
    EXPECT_EQ(w.supply->FraVminus->toolTip(), "Controls Negative Supply ");
    for (int i = 0; i < 6; ++i) {
        const bool shown = i == 1 || i == 2; // "Write DCP", "Read DCP"
        EXPECT_EQ(w.lblUSBChk[size_t(i)]->isHidden(), !shown) << w.lblUSBChk[size_t(i)]->text().toStdString();
    }
    EXPECT_TRUE(w.Shape1[4]->isHidden());
    EXPECT_FALSE(w.Shape1[1]->isHidden());
}

// Register boxes, on Enter and on leaving them: upper case, kept as typed within their limit,
// else the box's default; no frame goes out. The ACR value box keeps "100" on Enter only.
TEST_F(SpiWindowTest, RegisterBoxesKeepTheirValuesWithinTheirLimits)
{
    frmDCP_SPI1& w = atPart(false);
    const struct {
        QLineEdit* box;
        const char* typed;
        const char* onEnter;
        const char* onLeave;
    } cases[] = {
        {w.txtACRAddress, "100", "00", "00"},  {w.txtACRAddress, "c8", "C8", "C8"},
        {w.txtACRAddress1, "0", "00", "00"},   {w.txtACRAddress1, "5G", "00", "00"},
        {w.txtACRAddress1, "5", "5", "5"},     {w.txtACR[0], "100", "100", "00"},
        {w.txtACR[1], "c0", "C0", "C0"},       {w.txtGPWrite, "0", "00", "00"},
        {w.txtGPWrite, "100", "100", "100"},   {w.txtGPWrite, "101", "00", "00"},
        {w.txtGPAddress, "0A", "0A", "0A"},    {w.txtGPAddress1, "FFF", "00", "00"},
        {w.txtGPAddress1, "NA", "00", "00"},   {w.txtDeviceAdr, "a1", "A1", "A1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box->toolTip().toStdString() + " " + c.typed);
        c.box->setText(c.typed);
        enter(c.box);
        EXPECT_EQ(c.box->text(), c.onEnter);
        c.box->setText(c.typed);
        leave(c.box);
        EXPECT_EQ(c.box->text(), c.onLeave);
    }
    // The ACR value boxes also set the value the option bits build on.
    w.txtACR[0]->setText("100");
    enter(w.txtACR[0]);
    EXPECT_EQ(g_AcrValue, 0x100);
    leave(w.txtACR[0]);
    EXPECT_EQ(g_AcrValue, 0);
    w.txtACR[1]->setText("c0");
    leave(w.txtACR[1]);
    EXPECT_EQ(g_AcrValue, 0xC0);
    EXPECT_EQ(chipFrames(), 0u);
    EXPECT_TRUE(svc.boxes.empty());
}

// A count field that gives no frame length: a message names it, nothing reaches the chip, the
// lamps stay and every button is usable again.
TEST_F(SpiWindowTest, CountsThatAreNoFrameLengthSendNothing)
{
    frmDCP_SPI1& w = atPart(false);
    for (Lamp* l : {w.Shape1[1], w.Shape1[2], w.Shape2[0], w.Shape2[1], w.Shape2[2], w.Shape2[3]})
        l->setFillColor(0);
    const struct {
        QLineEdit* field;
        const char* count;
        QPushButton* button;
        const char* name;
        const char* range;
    } cases[] = {
        {w.txtSPIRDQuantity, "0", w.cmdI2Read[0], "Read Byte Quantity", "1 to 5"},
        {w.txtSPIRDQuantity, "abc", w.cmdACRRead, "Read Byte Quantity", "1 to 5"},
        {w.txtSPIRDQuantity, "6", w.cmdGPRead, "Read Byte Quantity", "1 to 5"},
        {w.txtSPIWrCount, "", w.CMDxMIT[0], "Write Byte Quantity", "1 to 5"},
        {w.txtSPIWrCount, "9", w.cmdACRWrite, "Write Byte Quantity", "1 to 5"},
        {w.txtSPIWrCount, "-1", w.cmdWriteGP, "Write Byte Quantity", "1 to 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button->text().toStdString() + " " + c.count);
        w.txtSPIRDQuantity->setText("4");
        w.txtSPIWrCount->setText("2");
        c.field->setText(c.count);
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        c.button->click();
        ASSERT_EQ(svc.boxes.size(), 1u);
        EXPECT_EQ(svc.boxes[0].text, QString("%1 \"%2\" is no count from %3. Nothing was sent.").arg(c.name, c.count, c.range));
        for (QPushButton* b : {w.CMDxMIT[0], w.cmdI2Read[0], w.cmdACRWrite, w.cmdACRRead, w.cmdWriteGP, w.cmdGPRead})
            EXPECT_TRUE(b->isEnabled());
    }
    EXPECT_EQ(chipFrames(), 0u);
    for (Lamp* l : {w.Shape1[1], w.Shape1[2], w.Shape2[0], w.Shape2[1], w.Shape2[2], w.Shape2[3]})
        EXPECT_EQ(l->fillColor(), 0);
}

// A position the part's wiper register cannot hold is refused before anything is sent: a
// one-byte register takes up to FF, the 10-bit part up to 3FF.
TEST_F(SpiWindowTest, PositionsBeyondTheWiperRegisterAreRefused)
{
    frmDCP_SPI1& w = atPart(false);
    auto k6623 = sim::installK6623(board());
    const struct {
        const char* product;
        int tapsIndex;
        const char* hex;
        const char* message;
    } cases[] = {
        {"", 5, "100", "Channel 0: position 256 (100) does not fit this part's one-byte wiper register. Nothing was written."},
        {"", 7, "1FF", "Channel 0: position 511 (1FF) does not fit this part's one-byte wiper register. Nothing was written."},
        {"K6623/4 10-bit SPI DCP", 7, "400", "Channel 0: position 1024 (400) does not fit this part's ten-bit wiper register. Nothing was written."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        if (*c.product)
            w.lblProduct->setText(c.product);
        w.OptTaps[size_t(c.tapsIndex)]->setChecked(true);
        w.Shape1[1]->setFillColor(0);
        w.ChkAutoRead[0]->setChecked(false);
        board().transcript.clear();
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        // Typed and committed with Enter: the panel accepts every position up to the taps, the
        // write refuses it, and the fields show the position of the taps change again.
        w.txtHexDataWrt[0]->setText(c.hex);
        enter(w.txtHexDataWrt[0]);
        EXPECT_EQ(w.txtHexDataWrt[0]->text(), "00");
        EXPECT_EQ(w.txtDECDataWrt[0]->text(), "0");
        ASSERT_EQ(svc.boxes.size(), 1u);
        EXPECT_EQ(svc.boxes[0].text, c.message);
        EXPECT_TRUE(spiFrames().empty());
        EXPECT_EQ(w.Shape1[1]->fillColor(), 0);
        EXPECT_TRUE(w.CMDxMIT[0]->isEnabled());
    }
    // The 10-bit part takes its full scale as two bytes.
    w.txtDeviceAdr->setText("50");
    w.txtBaseDCPWriteAddress->setText("A0");
    w.txtSPIWrCount->setText("4");
    w.txtHexDataWrt[0]->setText("3FF");
    w.CMDxMIT[0]->click();
    EXPECT_EQ(k6623->wcr, 0x3FF);
    EXPECT_EQ(spiFrames().back(), (std::vector<int>{0x50, 0xA0, 0x03, 0xFF}));
}

// A read whose reply holds no byte (the terminal refused the frame) turns the lamps red and
// leaves the value shown; the wiper voltage is still sampled.
TEST_F(SpiWindowTest, AReadWithoutReplyBytesKeepsTheValueShown)
{
    frmDCP_SPI1& w = atPart(true);
    w.txtHexDataWrt[1]->setText("40");
    w.ChkAutoRead[1]->setChecked(true);
    w.CMDxMIT[1]->click();
    ASSERT_EQ(w.lblPotRead[1]->text(), "64");
    w.lblWiperVolts[1]->setText("-");
    w.txtDeviceAdr->setText("100"); // kept by the box, but no frame byte
    svc.answer(platform::vbOK);
    w.cmdI2Read[1]->click();
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(svc.boxes[0].text, "SPI terminal 3: B1 holds \"100\", which is no hex byte (00 to FF). Nothing was sent.");
    EXPECT_EQ(w.Shape2[1]->fillColor(), 12);
    EXPECT_EQ(w.Shape1[2]->fillColor(), 12);
    EXPECT_EQ(w.lblPotRead[1]->text(), "64");
    EXPECT_EQ(w.lblPotReadhex[1]->text(), "40");
    EXPECT_EQ(w.ProgressBar1[1]->value(), 64);
    EXPECT_NE(w.lblWiperVolts[1]->text(), "-");
    EXPECT_TRUE(w.cmdI2Read[1]->isEnabled());
}

// The 10-bit console with the SPI window itself: the window's ID and part decide its frames,
// and its "Read DCP" lamp flips on every press, refused or not sent at all.
TEST_F(SpiWindowTest, TheTenBitConsoleWorksThroughTheSpiWindow)
{
    sim::setUpEvaluationBoard(board());
    auto k6623 = sim::installK6623(board());
    frmDCP_SPI1& w = pickSPI();
    w.supply->OptVCC[0]->setChecked(true);
    w.lblProduct->setText("K6623/4 10-bit SPI DCP");
    FrmK6623& k = forms().FrmK6623();
    Lamp* lamp = w.Shape1[2];
    lamp->setFillColor(0);

    k.txtWrK6628[0]->setText("2A7");
    k.CMDk662X_Write[0]->click();
    EXPECT_EQ(k6623->wcr, 0x2A7);
    EXPECT_EQ(lamp->fillColor(), 10);
    k.CMDk662X_Read[0]->click();
    EXPECT_EQ(k.lblRdk662x[0]->text(), "2A7");
    EXPECT_EQ(lamp->fillColor(), 2);

    k.txtWrK6628[0]->setText("1234");
    svc.answer(platform::vbOK);
    k.CMDk662X_Write[0]->click();
    EXPECT_EQ(svc.boxes.back().text, "\"1234\" is no ten-bit value (000 to 3FF). Nothing was written.");
    EXPECT_EQ(k6623->wcr, 0x2A7);
    EXPECT_EQ(lamp->fillColor(), 10);

    // Another part chosen: nothing is sent, the value stays, the lamp still flips.
    w.mnuZN3920->trigger();
    board().transcript.clear();
    k.CMDk662X_Read[0]->click();
    EXPECT_TRUE(spiFrames().empty());
    EXPECT_EQ(k.lblRdk662x[0]->text(), "2A7");
    EXPECT_EQ(lamp->fillColor(), 2);
}
