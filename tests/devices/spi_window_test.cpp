// The SPI device window over a simulated board carrying a ZN3920 or ZN3930: reached from the
// startup menu's "SPI" pick, set up by its presets, writing and reading wipers through the
// motherboard's SPI terminals.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
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
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    std::shared_ptr<sim::SpiDcp> part;
};

TEST_F(SpiWindowTest, TheSpiPickSetsTheWindowUpAndHidesTheMenu)
{
    sim::setUpEvaluationBoard(board());
    frmDCP_SPI1& w = pickSPI();
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
    w.cmdWriteGP->click();
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

    w.supply->OptVCC[0]->setChecked(true);
    w.cmdShowk4744_Click();
    ASSERT_TRUE(forms().frm_k4731.loaded());
    EXPECT_TRUE(forms().frm_k4731().isVisible());
    EXPECT_FALSE(forms().frm_k4744.loaded());
    EXPECT_EQ(forms().frm_k4731().windowTitle(), "k4731/2  Instruction Set, Register Controls and Status Detail");
    EXPECT_EQ(forms().frm_k4731().FrPot->title(), "K4731/2 Instruction Set");

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
    } cases[] = {{"5", "5"}, {"51", "51"}, {"0a", "0A"}, {"100", "100"}, {"0", "50"}, {"101", "50"}, {"G", "50"}, {"", "50"}};
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
