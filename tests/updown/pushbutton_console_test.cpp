// The push-button console over the simulated push-button part: press trains, the store
// pulse, shutdown, and the supply that goes off whenever the window comes back.
#include "updown/pin_console_fixture.h"

#include "shell/frmStartup.h"
#include "sim/pushbutton_part.h"
#include "updown/frmDCP_PB1.h"

#include <QComboBox>

#include <functional>

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
    EXPECT_EQ(portSets().size(), 6); // one port write
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

TEST_F(PushButtonConsoleTest, ShutdownAndSetAllHighAreOnePortWriteEach)
{
    struct Case {
        const char* what;
        std::function<void()> press;
        const char* wire;
        const char* p0;
        const char* p1;
        bool shutdown;
    } cases[] = {
        {"enable", [&] { w->cmdSequence[3]->click(); }, "UP- DOWN-", "C6", "08", true},
        {"enable again", [&] { w->cmdSequence[3]->click(); }, "", nullptr, nullptr, true},
        {"release", [&] { w->cmdSequence[4]->click(); }, "UP+ DOWN+", "C6", "0E", false},
        {"enable", [&] { w->cmdSequence[3]->click(); }, "UP- DOWN-", "C6", "08", true},
        {"set all high", [&] { w->cmdAlloutsHigh->click(); }, "UP+ DOWN+", "C6", "0E", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clearTrace();
        c.press();
        EXPECT_EQ(trace(), c.wire);
        const QStringList sets = portSets();
        if (!c.p0) {
            EXPECT_TRUE(sets.isEmpty());
        } else {
            ASSERT_EQ(sets.size(), 6);
            EXPECT_EQ(sets[0], QStringLiteral("80=") + c.p0);
            EXPECT_EQ(sets[1], QStringLiteral("90=") + c.p1);
        }
        EXPECT_EQ(part->shutdown(), c.shutdown);
        EXPECT_EQ(readings(), 0); // this console takes no reading after a line change
    }
}

TEST_F(PushButtonConsoleTest, HoldSequencesOnTheWire)
{
    struct Case {
        int index; // 0 Up, 1 Down, 2 Toggle Store
        const char* time;
        const char* wire;
        int hold; // ms low, and ms waited after the release
    } cases[] = {
        {0, nullptr, "UP- UP+", 1100}, // the default hold time
        {1, "300", "DOWN- DOWN+", 300},
        {2, nullptr, "STORE- STORE+", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wire);
        if (c.time)
            w->txtPressAndHold[size_t(c.index)]->setText(c.time);
        bool lockedOut = true, setAllHighUsable = true;
        svc.onPump = [&](int) {
            if (edges.size() != 1)
                return; // only while the button is held
            lockedOut = lockedOut && !w->cmdIncr[0]->isEnabled() && !w->cmdSequence[4]->isEnabled();
            setAllHighUsable = setAllHighUsable && w->cmdAlloutsHigh->isEnabled();
        };
        clearTrace();
        const int before = part->wiper();
        w->cmdSequence[size_t(c.index)]->click();
        svc.onPump = nullptr;
        const std::int64_t end = svc.monoMs;
        EXPECT_EQ(trace(), c.wire);
        ASSERT_EQ(times.size(), 2u);
        EXPECT_GE(times[1] - times[0], c.hold);
        EXPECT_GE(end - times[1], c.hold);
        EXPECT_TRUE(lockedOut);
        EXPECT_TRUE(setAllHighUsable);
        EXPECT_TRUE(w->cmdIncr[0]->isEnabled());
        EXPECT_TRUE(w->cmdSequence[4]->isEnabled());
        if (c.index == 1) {
            EXPECT_EQ(part->wiper(), before - 1);
        }
        if (c.index == 2) {
            EXPECT_EQ(part->stored, part->wiper());
        }
    }
    // The stored position comes back after a power cycle; the moves after it do not.
    const int stored = part->stored;
    w->cmdSequence[1]->click();
    EXPECT_EQ(part->wiper(), stored - 1);
    vcc(false);
    vcc(true);
    EXPECT_EQ(part->wiper(), stored);
}
