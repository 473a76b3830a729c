// The up/down console over the simulated up/down part: trains move the chips by their count,
// Store keeps the position through a power cycle, and the lines on the wire follow the
// trains and store sequences edge by edge.
#include "updown/pin_console_fixture.h"

#include "shell/frmStartup.h"
#include "sim/updown_part.h"
#include "updown/UPDN_Runin.h"
#include "updown/frmDCP_UD1.h"

#include <QComboBox>

class UpDownConsoleTest : public PinTraceFixture {
protected:
    void SetUp() override
    {
        PinTraceFixture::SetUp();
        part = sim::installUpDownPart(board());
        console();
        forms().frmDCP_UD1.show();
        w = &forms().frmDCP_UD1();
        vcc(true);
        // U/D before /INC: the part applies a P1 write that moves both in that order.
        tracePins({{0, 6, "CS1"}, {0, 7, "CS2"}, {1, 2, "UD"}, {1, 1, "INC"}});
    }
    void vcc(bool on) { w->supply->OptVCC[on ? 0 : 1]->setChecked(true); }
    // A train from the window's Up/Down button with the given count.
    void train(int index, const QString& n)
    {
        w->txtIncr[size_t(index)]->setText(n);
        w->cmdIncr[size_t(index)]->click();
    }
    int wiper(int chip) const { return part->chips[size_t(chip)].wiper; }

    std::shared_ptr<sim::UpDownPart> part;
    frmDCP_UD1* w = nullptr;
};

TEST_F(UpDownConsoleTest, TrainsMoveTheChipByTheirCountAndTheWiperReadingFollows)
{
    struct Case {
        int index; // 0 Up, 1 Down
        const char* count;
        int expected;
    } cases[] = {{0, "7", 57}, {1, "3", 54}, {0, "80", 100}, {1, "200", 0}, {0, "x", 1}, {1, "-5", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        train(c.index, c.count);
        EXPECT_EQ(wiper(0), c.expected);
        // The reading at the end of the train follows the wiper (through the 10-bit ADC).
        EXPECT_NEAR(w->lblWiperVolts[0]->text().toDouble(), part->wiperVolts(0), 0.01);
        w->cmdSequence[1]->click(); // No Store
    }
    EXPECT_EQ(w->txtIncr[0]->text(), "1"); // the text that was no number
    EXPECT_EQ(part->chips[0].storeCycles, 0);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(UpDownConsoleTest, StoreKeepsThePositionThroughAPowerCycleAndNoStoreDoesNot)
{
    train(0, "5");
    w->cmdSequence[0]->click(); // Store
    EXPECT_EQ(part->chips[0].stored, 55);
    EXPECT_FALSE(w->cmdSequence[1]->isEnabled()); // until the next train
    train(0, "10");
    EXPECT_TRUE(w->cmdSequence[1]->isEnabled());
    w->cmdSequence[1]->click(); // No Store
    EXPECT_EQ(wiper(0), 65);
    vcc(false);
    vcc(true);
    EXPECT_EQ(wiper(0), 55);
}

TEST_F(UpDownConsoleTest, TrainsAndSequencesOnTheWire)
{
    struct Case {
        const char* what;
        int index;
        const char* count;
        const char* wire;
    } cases[] = {
        {"count 0", 0, "0", "CS1- INC-"},
        {"count 1 down", 1, "1", "UD- INC+ INC-"},
        {"count 3 up", 0, "3", "UD+ INC+ INC- INC+ INC- INC+ INC-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clearTrace();
        train(c.index, c.count);
        EXPECT_EQ(trace(), c.wire);
        // Every half pulse lasts at least the period (50 ms).
        for (size_t i = 1; i < edges.size(); ++i) {
            if (edges[i].rfind("INC", 0) == 0 && edges[i - 1].rfind("INC", 0) == 0) {
                EXPECT_GE(times[i] - times[i - 1], 50);
            }
        }
    }
    // /CS1 stayed low between the trains; Store raises /INC, then /CS twice.
    clearTrace();
    w->cmdSequence[0]->click();
    EXPECT_EQ(trace(), "INC+ CS1+ CS1- CS1+");
    // With the set-high box ticked the train ends deselected without a store, and the frame's
    // No Store is hidden.
    w->ChlAutoCS[1]->setChecked(true);
    EXPECT_TRUE(w->cmdSequence[1]->isHidden());
    clearTrace();
    const int stores = part->chips[0].storeCycles;
    train(0, "2");
    EXPECT_EQ(trace(), "CS1- INC- INC+ INC- CS1+");
    EXPECT_EQ(part->chips[0].storeCycles, stores);
}

TEST_F(UpDownConsoleTest, AbortEndsTheTrainAfterThePulseWithOneFinalStep)
{
    int falls = 0;
    svc.onPump = [&](int) {
        if (countOf("INC-") == 3 && falls == 0) {
            falls = 3;
            w->cmdAbortIncr[0]->click();
        }
    };
    EXPECT_TRUE(w->cmdAbortIncr[0]->isHidden());
    train(0, "10");
    EXPECT_EQ(countOf("INC-"), 4);
    EXPECT_EQ(wiper(0), 54);
    EXPECT_TRUE(w->cmdAbortIncr[0]->isHidden());
    EXPECT_TRUE(w->cmdIncr[0]->isEnabled());
}

TEST_F(UpDownConsoleTest, ATrainOnOneChipNeverStepsTheOther)
{
    w->OptChans[1]->click();
    EXPECT_TRUE(w->OptCS[1]->isChecked());
    EXPECT_TRUE(w->FrmIncr[1]->isVisibleTo(w));
    train(1, "3"); // DCP #1 down, /CS1 left low
    train(2, "4"); // DCP #2 up: /CS1 goes high first (no store, /INC is low)
    EXPECT_EQ(wiper(0), 47);
    EXPECT_EQ(wiper(1), 54);
    EXPECT_EQ(part->chips[0].storeCycles, 0);
    // No Store on DCP #1 while /CS2 is low deselects DCP #2 first, so lowering /INC steps
    // neither chip.
    w->cmdSequence[1]->click();
    EXPECT_EQ(wiper(0), 47);
    EXPECT_EQ(wiper(1), 54);
    w->OptChans[0]->click();
    EXPECT_FALSE(w->FrmIncr[1]->isVisibleTo(w));
}

TEST_F(UpDownConsoleTest, VccOffRefusesTrainsButStoreRunsWithTheMessage)
{
    vcc(false);
    clearTrace();
    svc.answerAll(platform::vbOK, 2);
    train(0, "3");
    EXPECT_EQ(svc.boxTexts(), QStringList{"VCC is not turned on."});
    EXPECT_EQ(trace(), "");
    w->ChOut[1]->setChecked(false); // /INC low by hand
    w->cmdSequence[0]->click();
    EXPECT_EQ(svc.boxTexts().size(), 2);
    EXPECT_EQ(trace(), "INC- INC+ CS1- CS1+");
}

TEST_F(UpDownConsoleTest, LineBoxesSetAllHighAndReadBack)
{
    clearTrace();
    w->ChOut[5]->setChecked(false); // /INC of the DCP #2 frame
    EXPECT_EQ(trace(), "INC-");
    EXPECT_TRUE(w->ChOut[1]->isChecked()); // the other frame's box keeps its value
    w->ChOut[5]->setChecked(false);        // no change: nothing written
    w->ChOut[0]->setChecked(false);
    w->ChOut[2]->setChecked(false);
    EXPECT_EQ(trace(), "INC- CS1- UD-");
    // Read back from the board: /CS1 low, /INC low, U/D low.
    w->ChOut[5]->setChecked(true);
    forms().frmMotherboardDAQ2().chkPData[9]->setChecked(false);
    forms().frmMotherboardDAQ2().chkPData_Click(9);
    forms().frmMotherboardDAQ2().cmdWrtPipe1_Click();
    w->cmdSampleBits_Click();
    EXPECT_FALSE(w->ChOut[0]->isChecked());
    EXPECT_FALSE(w->ChOut[1]->isChecked());
    EXPECT_FALSE(w->ChOut[2]->isChecked());
    EXPECT_TRUE(w->ChOut[5]->isChecked());
    clearTrace();
    w->cmdAlloutsHigh[1]->click();
    EXPECT_EQ(trace(), "CS1+ UD+ INC+");
    for (QCheckBox* b : w->ChOut)
        EXPECT_TRUE(b->isChecked());
}

TEST_F(UpDownConsoleTest, MenuPickShowsTheConsoleAndRunInOpensFromIt)
{
    forms().frmDCP_UD1.destroy();
    frmStartup& m = forms().frmStartup();
    forms().frmStartup.show();
    m.cboDCPSelect->setCurrentIndex(4);
    ASSERT_TRUE(forms().frmDCP_UD1.loaded());
    EXPECT_TRUE(forms().frmDCP_UD1().isVisible());
    EXPECT_FALSE(m.isVisible());
    EXPECT_FALSE(g_PortShadow[1] & 0x08);
    EXPECT_FALSE(forms().frmDCP_UD1().cmdRunin->isHidden());
    forms().frmDCP_UD1().cmdRunin->click();
    EXPECT_TRUE(forms().UPDN_Runin().isVisible());
    // Return switches the supply off and keeps the window; closing it otherwise ends.
    forms().frmDCP_UD1().cmdMMenu->click();
    EXPECT_TRUE(forms().frmDCP_UD1.loaded());
    EXPECT_FALSE(forms().frmDCP_UD1().isVisible());
    EXPECT_TRUE(m.isVisible());
    EXPECT_FALSE(forms().frmMotherboardDAQ2().OptVCC[0]->isChecked());
    g_ReturnToMenu = false;
    EXPECT_TRUE(ends([] { forms().frmDCP_UD1().close(); }));
}
