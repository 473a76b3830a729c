// The push-button console over the simulated push-button part: press trains, the store
// pulse, shutdown, and the supply that goes off whenever the window comes back.
#include "updown/pin_console_fixture.h"

#include "shell/frmStartup.h"
#include "sim/pushbutton_part.h"
#include "updown/frmDCP_PB1.h"

#include <QComboBox>

class PushButtonConsoleTest : public PinTraceFixture {
protected:
    void SetUp() override
    {
        PinTraceFixture::SetUp();
        part = sim::installPushButtonPart(board());
        console();
        forms().frmDCP_PB1.show();
        w = &forms().frmDCP_PB1();
        vcc(true);
        tracePins({{0, 7, "STORE"}, {0, 2, "MUTE"}, {1, 1, "UP"}, {1, 2, "DOWN"}});
    }
    void vcc(bool on) { w->supply->OptVCC[on ? 0 : 1]->setChecked(true); }

    std::shared_ptr<sim::PushButtonPart> part;
    frmDCP_PB1* w = nullptr;
};

TEST_F(PushButtonConsoleTest, PressTrainsMoveThePartAndStoreWhenTicked)
{
    struct Case {
        int index; // 0 Up, 1 Down
        const char* count;
        bool toggleStore;
        int wiper, stored;
        const char* wire;
    } cases[] = {
        {0, "7", false, 57, 50, nullptr},
        {1, "3", false, 54, 50, nullptr},
        {0, "0", false, 54, 50, ""},
        {1, "-4", false, 54, 50, ""},
        {0, "2", true, 56, 56, "UP- UP+ UP- UP+ STORE- STORE+"},
        {1, "1", false, 55, 56, "DOWN- DOWN+"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        w->ChlAutoCS[1]->setChecked(c.toggleStore);
        EXPECT_EQ(w->blAutoStore->text(), c.toggleStore ? "Store after Inc / Dec" : "No Store after Inc / Dec");
        w->txtIncr[size_t(c.index)]->setText(c.count);
        clearTrace();
        w->cmdIncr[size_t(c.index)]->click();
        EXPECT_EQ(part->wiper(), c.wiper);
        EXPECT_EQ(part->stored, c.stored);
        if (c.wire) {
            EXPECT_EQ(trace(), c.wire);
        }
    }
    EXPECT_TRUE(w->cmdAbortIncr->isHidden());
    EXPECT_TRUE(w->cmdSequence[0]->isEnabled());
}

TEST_F(PushButtonConsoleTest, AbortStopsAfterThePress)
{
    svc.onPump = [&](int) {
        if (countOf("UP-") == 2 && !g_AbortIncr)
            w->cmdAbortIncr->click();
    };
    w->cmdIncr[0]->click();
    EXPECT_EQ(countOf("UP-"), 2);
    EXPECT_EQ(part->wiper(), 52);
}

TEST_F(PushButtonConsoleTest, ShutdownComesInOneWriteEvenWithDownAlreadyLow)
{
    w->ChOut[4]->setChecked(false); // /DOWN low by hand: one step down
    EXPECT_EQ(part->wiper(), 49);
    w->ChOut[1]->setChecked(false); // /STORE low
    clearTrace();
    w->cmdSequence[3]->click();
    EXPECT_EQ(trace(), "STORE+ UP-");
    EXPECT_TRUE(part->shutdown());
    w->cmdSequence[4]->click();
    EXPECT_FALSE(part->shutdown());
    EXPECT_EQ(part->wiper(), 49);
}

TEST_F(PushButtonConsoleTest, VccOffRefusesTrainsButTheHoldFrameRunsWithTheMessage)
{
    vcc(false);
    clearTrace();
    svc.answerAll(platform::vbOK, 2);
    w->cmdIncr[0]->click();
    EXPECT_EQ(trace(), "");
    w->txtPressAndHold[2]->setText("soon");
    w->cmdSequence[2]->click(); // Toggle Store
    EXPECT_EQ(svc.boxTexts(), (QStringList{"VCC is not turned on.", "VCC is not turned on."}));
    EXPECT_EQ(trace(), "STORE- STORE+");
    EXPECT_EQ(w->txtPressAndHold[2]->text(), "5");
}

TEST_F(PushButtonConsoleTest, EveryActivationSwitchesTheSupplyOff)
{
    EXPECT_TRUE(part->powered());
    forms().frmDCP_PB1.show();
    EXPECT_FALSE(part->powered());
    EXPECT_TRUE(forms().frmMotherboardDAQ2().OptVCC[1]->isChecked());
}

TEST_F(PushButtonConsoleTest, MenuPickShowsTheConsoleAndHidesTheMenu)
{
    forms().frmDCP_PB1.destroy();
    frmStartup& m = forms().frmStartup();
    forms().frmStartup.show();
    m.cboDCPSelect->setCurrentIndex(5);
    ASSERT_TRUE(forms().frmDCP_PB1.loaded());
    EXPECT_TRUE(forms().frmDCP_PB1().isVisible());
    EXPECT_FALSE(m.isVisible());
    EXPECT_FALSE(g_PortShadow[1] & 0x08);
    for (QCheckBox* b : forms().frmDCP_PB1().ChOut)
        EXPECT_TRUE(b->isChecked());
}
