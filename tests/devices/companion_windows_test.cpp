// The windows the I2C device window opens: the script window (with the window's address, and
// the example sweep run on the simulated part), the I2C quad console (shown, storing the WCRs,
// its hooks into the window, unloaded with the window's return), and the parameter table's
// way back to the window.
#include "devices/device_fixture.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "scripts/frmScriptOps.h"
#include "shell/globals.h"
#include "sim/quad_part.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class CompanionWindows : public I2cWindowFixture {
protected:
    void TearDown() override
    {
        resetQuadDeviceLinks();
        I2cWindowFixture::TearDown();
    }
    // The I2C window over the quad part with VCC on.
    frmDCP_User1& atQuadWindow()
    {
        sim::setUpEvaluationBoard(board(), {}, sim::findSimPart("k4744"));
        quad = dynamic_cast<sim::QuadI2CPart*>(board().i2cDevice(sim::QuadI2CPart::kAddress7));
        frmDCP_User1& w = pickI2C();
        w.supply->OptVCC[0]->setChecked(true);
        board().transcript.clear();
        return w;
    }
    sim::QuadI2CPart* quad = nullptr;
};

TEST_F(CompanionWindows, ScriptExecutionOpensTheScriptWindowThatRunsTheExampleSweep)
{
    auto& w = atWindowWithVcc();
    w.txtDeviceAdr->setText("5A");
    g_I2CFamily = false;
    g_SPIFamily = true;
    w.mnuScriptShow_Click();
    ASSERT_TRUE(forms().frmScriptOps.loaded());
    frmScriptOps& s = forms().frmScriptOps();
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(g_I2CFamily);
    EXPECT_FALSE(g_SPIFamily);
    EXPECT_EQ(s.txtI2CAdr->text(), "5A");

    // A copy, so that the results file lands in the test's own directory.
    const QString copy = dataDir.filePath("wiper_sweep.txt");
    ASSERT_TRUE(QFile::copy(QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/scripts/wiper_sweep.txt"), copy));
    svc.openPaths.push_back(copy);
    s.mnuScript_Read_Click();
    svc.answer(platform::vbOK); // the pause of the interrupt section
    s.cmdExecAll->click();
    // The two failures are the ones the file makes on purpose: the port check of P0 as the
    // I2C window leaves it passes.
    EXPECT_EQ(s.txtRdPass->text(), "6");
    EXPECT_EQ(s.txtRdFails->text(), "2");
    EXPECT_EQ(dcp->wcr(0), 0x00);
}

TEST_F(CompanionWindows, InstructionSetFormNeedsVccThenDrivesTheQuadPart)
{
    auto& w = atQuadWindow();
    ASSERT_NE(quad, nullptr);

    w.supply->OptVCC[1]->setChecked(true);
    svc.answer(platform::vbOK);
    w.cmdShowk4744_Click();
    EXPECT_EQ(svc.boxTexts(), QStringList{"VCC is not turned on."});
    EXPECT_FALSE(forms().frm_k4744.loaded());

    w.supply->OptVCC[0]->setChecked(true);
    w.cmdShowk4744_Click();
    ASSERT_TRUE(forms().frm_k4744.loaded());
    EXPECT_TRUE(forms().frm_k4744().isVisible());

    quad->wcr = {0x11, 0x22, 0x33, 0x44};
    board().transcript.clear();
    w.cmdStoreWCRs_Click();
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(quad->data[size_t(4 * p)], quad->wcr[size_t(p)]) << "pot " << p;
    const auto sent = i2cRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].back(), 0x80);

    // Back to the menu takes the console away.
    svc.answerAll(platform::vbOK, 4);
    w.cmdMMenu_Click();
    EXPECT_FALSE(forms().frm_k4744.loaded());
}

TEST_F(CompanionWindows, QuadConsoleHooksReachTheLoadedWindowOnly)
{
    auto& w = atQuadWindow();
    QuadDeviceLink& link = quadDeviceLink(quad::Bus::I2C);
    w.txtDeviceAdr->setText("52");
    EXPECT_EQ(link.deviceAddress(), "52");
    link.setInUse(false);
    EXPECT_FALSE(w.isEnabled());
    link.setInUse(true);
    EXPECT_TRUE(w.isEnabled());

    w.lblWiperVolts[2]->clear();
    board().transcript.clear();
    const QString volts = link.sampleWiper(2);
    EXPECT_FALSE(volts.isEmpty());
    EXPECT_EQ(volts, w.lblWiperVolts[2]->text());
    EXPECT_FALSE(board().transcript.requests().empty()); // the conversions

    // With the window gone the console falls back to the part's strapped address.
    forms().frmDCP_User1.destroy();
    EXPECT_EQ(link.deviceAddress(), "50");
    EXPECT_EQ(scriptWindowLinks().deviceAddressText(), "50");
}

TEST_F(CompanionWindows, ParameterTableReturnsToTheI2CWindow)
{
    usePart();
    auto& w = pickI2C();
    w.hide();
    ASSERT_TRUE(forms().showI2CDeviceWindow);
    forms().showI2CDeviceWindow();
    EXPECT_TRUE(w.isVisible());
}

} // namespace
