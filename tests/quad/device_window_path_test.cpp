// Each quad console as a user reaches it: the device window of its bus over the simulated
// evaluation board with the quad part of that bus (as --part chooses it), supply on, the
// console opened with "Show Instruction Set Form". Every instruction runs against the part
// with the registers shown and marked, and the increment/decrement mode steps a wiper that
// the device window samples and ends with the board back on its bus.
#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/frmDCP_User1.h"
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/text.h"
#include "sim/evaluation_board.h"
#include "sim/parts.h"
#include "sim/quad_part.h"
#include "support/board_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace quad;

namespace {

class QuadFromDeviceWindow : public BoardFixture, public ::testing::WithParamInterface<Bus> {
protected:
    void TearDown() override
    {
        BoardFixture::TearDown();
        resetQuadDeviceLinks();
    }
    // The part of the bus on the board, its device window with the supply on, and the
    // console opened from it; returns the part's registers.
    sim::QuadPotCore& open(Bus bus)
    {
        sim::setUpEvaluationBoard(board(), {}, sim::findSimPart(bus == Bus::I2C ? "k4744" : "k4731"));
        forms().frmStartup.show();
        forms().frmStartup().cboDCPSelect->setCurrentIndex(bus == Bus::I2C ? 2 : 3);
        if (bus == Bus::I2C) {
            frmDCP_User1& w = forms().frmDCP_User1();
            w.supply->OptVCC[0]->setChecked(true);
            w.cmdShowk4744_Click();
            window = &w;
            return *dynamic_cast<sim::QuadI2CPart*>(board().i2cDevice(sim::QuadI2CPart::kAddress7));
        }
        frmDCP_SPI1& w = forms().frmDCP_SPI1();
        // What the part's row of the SPI parameter file sets: ID 50, three bytes a read.
        w.txtDeviceAdr->setText("50");
        w.txtSPIRDQuantity->setText("3");
        w.supply->OptVCC[0]->setChecked(true);
        w.cmdShowk4744_Click();
        window = &w;
        return *std::dynamic_pointer_cast<sim::QuadSpiPart>(board().chipSlot);
    }
    QuadConsole& console(Bus bus)
    {
        QuadConsole* c = bus == Bus::I2C ? static_cast<QuadConsole*>(forms().frm_k4744.get())
                                         : static_cast<QuadConsole*>(forms().frm_k4731.get());
        EXPECT_TRUE(c && c->isVisible());
        return *c;
    }
    static void go(QuadConsole& c, int instruction, int pot, int reg)
    {
        QuadConsole::select(c.OptInstruction[size_t(instruction)]);
        if (c.OptWiper[size_t(pot)]->isEnabled())
            QuadConsole::select(c.OptWiper[size_t(pot)]);
        if (c.OptRegSel[size_t(reg)]->isEnabled())
            QuadConsole::select(c.OptRegSel[size_t(reg)]);
        c.cmdDoInstruction->click();
    }
    QWidget* window = nullptr;
};

TEST_P(QuadFromDeviceWindow, EveryInstructionReachesThePartAndShowsOnTheConsole)
{
    const Bus bus = GetParam();
    sim::QuadPotCore& part = open(bus);
    QuadConsole& c = console(bus);

    // Write WCR and Write Data (the fill), Read WCR and Read Data (Read All).
    c.cmdFillRegs->click();
    EXPECT_EQ(part.wcr, (std::array<std::uint8_t, 4>{0xAA, 0xBB, 0xCC, 0xDD}));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(part.data[size_t(k)], k);
    part.wcr[3] = 0x3C; // changed behind the console's back
    c.cmdReadAll->click();
    EXPECT_EQ(c.lblRDWcr[3]->text(), "3C");
    EXPECT_EQ(c.lblRdData[13]->text(), "0D");
    EXPECT_EQ(c.ShpDataRd[13]->fillColor(), 10);

    // The transfers, one pot and all four.
    go(c, kXferDataToWcr, 2, 3); // data register 3 of pot 2 (k 11) to WCR 2
    EXPECT_EQ(part.wcr[2], 0x0B);
    EXPECT_EQ(c.lblRDWcr[2]->text(), ">>");
    EXPECT_EQ(c.ShpDataRd[11]->fillColor(), 14);
    go(c, kXferWcrToData, 1, 2); // WCR 1 to data register 2 of pot 1 (k 6)
    EXPECT_EQ(part.data[6], 0xBB);
    EXPECT_EQ(c.lblRdData[6]->text(), "<<");
    go(c, kGlobalDataToWcr, 0, 1); // data register 1 of every pot to its WCR
    EXPECT_EQ(part.wcr, (std::array<std::uint8_t, 4>{0x01, 0x05, 0x09, 0x0D}));
    EXPECT_EQ(c.ShpDataRd[9]->fillColor(), 14);
    // Global WCR to data register 0, from the device window's store button.
    if (bus == Bus::I2C)
        static_cast<frmDCP_User1*>(window)->cmdStoreWCRs_Click();
    else
        static_cast<frmDCP_SPI1*>(window)->cmdStoreWCRs_Click();
    EXPECT_EQ(part.data[4], 0x05);
    EXPECT_EQ(part.data[12], 0x0D);
    EXPECT_EQ(c.lblSet[4]->text(), "80");
    EXPECT_TRUE(c.ShpI2CAck[0]->fillColor() == 10 || c.ShpI2CAck[0]->fillColor() == 2);
    EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
}

TEST_P(QuadFromDeviceWindow, IncrementDecrementStepsAWiperTheWindowSamplesAndEndsCleanly)
{
    const Bus bus = GetParam();
    sim::QuadPotCore& part = open(bus);
    QuadConsole& c = console(bus);
    part.wcr[2] = 0x80;

    go(c, kIncDec, 2, 0);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(part.incPot, 2);
    const QString atEntry = c.lblPotVolts->text();
    for (int i : {0, 0, 0, 1})
        c.cmdIncrWip[size_t(i)]->click();
    EXPECT_EQ(part.wcr[2], 0x82);
    // The window's own sample of the pot's wiper, VCC x WCR / 255.
    EXPECT_NE(c.lblPotVolts->text(), atEntry);
    EXPECT_NEAR(c.lblPotVolts->text().toDouble(), 5.0 * 0x82 / 255, 0.05);

    c.cmdIncrWip[2]->click();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(part.incPot, -1);
    EXPECT_EQ(board().sfr(0xE1), 0x06);
    EXPECT_EQ(part.wcr[2], 0x82); // the ending took no step
    EXPECT_EQ(c.lblRDWcr[2]->text(), "82");
    EXPECT_EQ(c.txtWXWcr[2]->text(), "82");
    // The bus works again.
    part.data[9] = 0x5D;
    c.cmdRDData[9]->click();
    EXPECT_EQ(c.lblRdData[9]->text(), "5D");
    EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Bus, QuadFromDeviceWindow, ::testing::Values(Bus::I2C, Bus::SPI),
                         [](const ::testing::TestParamInfo<Bus>& i) { return i.param == Bus::I2C ? "I2C" : "SPI"; });

} // namespace
