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
    } cases[] = {{0, "7", 57}, {1, "3", 54}, {0, "80", 100}, {1, "200", 0}, {0, "x", 1}, {1, "-5", 0}, {0, "2.5", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        train(c.index, c.count);
        EXPECT_EQ(wiper(0), c.expected);
        // The reading at the end of the train follows the wiper (through the 10-bit ADC).
        EXPECT_NEAR(w->lblWiperVolts[0]->text().toDouble(), part->wiperVolts(0), 0.01);
        w->cmdSequence[1]->click(); // No Store
    }
    EXPECT_EQ(w->txtIncr[1]->text(), "-5");
    EXPECT_EQ(w->txtIncr[0]->text(), "2.5"); // a half goes to the even number
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
        int samples; // one after each single line change and one at the end
    } cases[] = {
        {"count 0", 0, "0", "CS1- INC-", 3},
        {"count 1 down", 1, "1", "UD- INC+ INC-", 2},
        {"count 3 up", 0, "3", "UD+ INC+ INC- INC+ INC- INC+ INC-", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clearTrace();
        train(c.index, c.count);
        EXPECT_EQ(trace(), c.wire);
        EXPECT_EQ(readings(), c.samples);
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
    // Store after such a train: /CS is already high, so the one store edge is the last.
    clearTrace();
    w->cmdSequence[0]->click();
    EXPECT_EQ(trace(), "INC+ CS1- CS1+");
    EXPECT_EQ(part->chips[0].storeCycles, stores + 1);
}

TEST_F(UpDownConsoleTest, AbortEndsTheTrainAfterThePulseWithOneFinalStep)
{
    int falls = 0;
    bool abortBeforeSelect = false; // Abort in view while /CS1 is still high
    svc.onPump = [&](int) {
        abortBeforeSelect = abortBeforeSelect || (countOf("CS1-") == 0 && w->cmdAbortIncr[0]->isVisible());
        if (countOf("INC-") == 3 && falls == 0) {
            falls = 3;
            w->cmdAbortIncr[0]->click();
        }
    };
    EXPECT_TRUE(w->cmdAbortIncr[0]->isHidden());
    train(0, "10");
    EXPECT_EQ(countOf("INC-"), 4);
    EXPECT_EQ(wiper(0), 54);
    EXPECT_FALSE(abortBeforeSelect);
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
    // With /INC raised by hand while DCP #2 is still selected, deselecting it for a DCP #1
    // train is that chip's store, as its own Store would be; it does not step.
    train(2, "2");
    w->ChOut[5]->setChecked(true);
    train(1, "1");
    EXPECT_EQ(wiper(0), 46);
    EXPECT_EQ(wiper(1), 56);
    EXPECT_EQ(part->chips[1].storeCycles, 1);
    EXPECT_EQ(part->chips[1].stored, 56);
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
    // One change: the six port registers once, then a reading of VIN0.
    EXPECT_EQ(portSets(), (QStringList{"80=C2", "90=0C", "A0=70", "A4=05", "A5=08", "A6=F8"}));
    EXPECT_EQ(readings(), 1);
    EXPECT_EQ(w->ShpOut[5]->fillColor(), 0);
    clearTrace();
    w->ChOut[5]->setChecked(false); // no change: nothing written, nothing read
    EXPECT_TRUE(portSets().isEmpty());
    EXPECT_EQ(readings(), 0);
    w->ChOut[0]->setChecked(false);
    w->ChOut[2]->setChecked(false);
    EXPECT_EQ(trace(), "CS1- UD-");
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
    w->ChOut[4]->setChecked(false);
    w->cmdAlloutsHigh[1]->click();
    EXPECT_EQ(trace(), "CS2- CS1+ CS2+ UD+ INC+");
    // All four lines in one port write, no reading.
    EXPECT_EQ(portSets().mid(6), (QStringList{"80=C2", "90=0E", "A0=70", "A4=05", "A5=08", "A6=F8"}));
    EXPECT_EQ(readings(), 1);
    for (size_t i = 0; i < w->ChOut.size(); ++i) {
        EXPECT_TRUE(w->ChOut[i]->isChecked());
        EXPECT_EQ(w->ShpOut[i]->fillColor(), 12);
    }
}

TEST_F(UpDownConsoleTest, SampleReadsTheDcp1LinesBackFromTheBoard)
{
    struct Case {
        std::uint8_t p0, p1;
        bool high;
    } cases[] = {{0x00, 0x00, false}, {0x40, 0x06, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p0);
        board().setPinInputs(0, 0xFF, c.p0);
        board().setPinInputs(1, 0xFF, c.p1);
        w->cmdSampleBits->click();
        for (int b : {0, 1, 2}) {
            EXPECT_EQ(w->ChOut[size_t(b)]->isChecked(), c.high) << b;
            EXPECT_EQ(w->ShpOut[size_t(b)]->fillColor(), c.high ? 12 : 0) << b;
        }
        // A box that changed went to the port image like any change; DCP #2 keeps its boxes
        // although the board shows /CS2 low.
        EXPECT_EQ((g_PortShadow[0] & 0x40) != 0, c.high);
        EXPECT_EQ((g_PortShadow[1] & 0x06) == 0x06, c.high);
        EXPECT_TRUE(w->ChOut[4]->isChecked());
        EXPECT_TRUE(w->ChOut[5]->isChecked());
    }

    // Port 0 unanswered (Retry searches the board again): the boxes keep their levels rather
    // than taking the no-reply mark for 0.
    board().setPinInputs(0, 0xFF, 0x00);
    board().setPinInputs(1, 0xFF, 0x00);
    board().dropNextReplies(1);
    svc.answer(platform::vbRetry);
    w->cmdSampleBits->click();
    EXPECT_EQ(svc.boxes.size(), 1u);
    for (int b : {0, 1, 2})
        EXPECT_TRUE(w->ChOut[size_t(b)]->isChecked()) << b;
    EXPECT_EQ(forms().frmMotherboardDAQ2().txtPBufRd[0]->text(), "--");
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
    // V-minus tracks VCC from the start: its own switch is out of use before any VCC change.
    EXPECT_TRUE(forms().frmDCP_UD1().supply->ChkTrack->isChecked());
    EXPECT_FALSE(forms().frmDCP_UD1().supply->OptVM[0]->isEnabled());
    EXPECT_FALSE(forms().frmDCP_UD1().supply->OptVM[1]->isEnabled());
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

TEST_F(UpDownConsoleTest, SupplyPanelCaptionsAsTheWindowShowsThem)
{
    EXPECT_EQ(w->supply->Label8->text(), "Offset         Gain");
    EXPECT_EQ(w->supply->FraVminus->toolTip(), "Controls Negative Supply ");
    EXPECT_EQ(w->supply->txtADGain->toolTip(), "VCC Gain needed by Motherboard");
    EXPECT_EQ(w->supply->cmdReadVCC->toolTip(), "Samples VCC Voltage");
}
