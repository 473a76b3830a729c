// The K4736 panel: pin sequences that step and store a wiper of the simulated K4736, the
// status options and what they ask of the window, the fill of all data registers.
#include "devices/Frk4736.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "sim/k4736.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace {

class K4736Panel : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        part = sim::installK4736(board(0));
        console();
        forms().frmMotherboardDAQ2();
        Frk4736::Host host;
        host.setStatusText = [this](const QString& s) { calls << "status " + s; };
        host.showStatusReadBack = [this](bool on) { calls << (on ? "show read-back" : "hide read-back"); };
        host.writeStatus = [this] { calls << "write status"; };
        host.readStatus = [this] { calls << "read status"; };
        host.enterWiperHex = [this](int k, const QString& hex) {
            calls << QString("enter %1 %2%3").arg(k).arg(hex, panel->filling() ? " filling" : "");
        };
        host.readWiper = [this](int k) { calls << QString("read %1").arg(k); };
        host.sampleWiper = [this](int k) { calls << QString("sample %1").arg(k); };
        panel = std::make_unique<Frk4736>(host);
    }
    void TearDown() override
    {
        panel.reset();
        BoardFixture::TearDown();
    }
    bool pin(int port, int bit) { return board(0).pin(port, bit); }

    std::shared_ptr<sim::K4736> part;
    std::unique_ptr<Frk4736> panel;
    QStringList calls;
};

} // namespace

TEST_F(K4736Panel, UpDownAndStoreDriveThePins)
{
    panel->Chk4736[0]->setChecked(true); // DS0, DS1: wiper 3
    panel->Chk4736[1]->setChecked(true);
    EXPECT_TRUE(pin(0, 6) && pin(0, 7) && pin(1, 0) && pin(1, 1));
    part->wcr[3] = 20;

    panel->cmdUp[0]->click();
    panel->cmdUp[0]->click();
    EXPECT_EQ(part->wcr[3], 22);
    EXPECT_FALSE(pin(1, 1)); // CS stays low for further steps
    EXPECT_TRUE(pin(1, 2));  // U/D high: up
    panel->cmdUp[1]->click();
    EXPECT_EQ(part->wcr[3], 21);
    EXPECT_FALSE(pin(1, 2));
    EXPECT_EQ(part->dr[0][3], 0);
    panel->cmdUp[2]->click(); // CS high with SCL high stores the wiper
    EXPECT_TRUE(pin(1, 1));
    EXPECT_EQ(part->dr[0][3], 21);
    EXPECT_EQ(part->pinSteps, 3);
}

TEST_F(K4736Panel, StatusOptions)
{
    EXPECT_EQ((QStringList{Frk4736::statusText(0), Frk4736::statusText(1), Frk4736::statusText(2),
                           Frk4736::statusText(3), Frk4736::statusText(4)}),
              (QStringList{"00", "01", "03", "05", "07"}));
    panel->optK4736[3]->setChecked(true); // "Wr DR2": written, not read back
    EXPECT_EQ(calls, (QStringList{"hide read-back", "status 05", "write status"}));
    calls.clear();
    panel->optK4736[0]->setChecked(true); // "Wr / Rd WCR": written and read back
    EXPECT_EQ(calls, (QStringList{"hide read-back", "status 00", "show read-back", "write status", "read status"}));
    calls.clear();
    panel->ChkAutoSample->setChecked(true);
    panel->optK4736[1]->setChecked(true);
    EXPECT_EQ(calls.mid(3), (QStringList{"sample 0", "sample 1", "sample 2", "sample 3"}));
}

TEST_F(K4736Panel, FillAllDataRegisters)
{
    svc.answer(platform::vbCancel);
    panel->cdmAuto_Init->click();
    EXPECT_TRUE(calls.isEmpty());
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(svc.boxes[0].text, "All DR Register contents are about to be over written.  Click OK to Continue, Cancel to Abort");
    EXPECT_EQ(svc.boxes[0].buttons, platform::vbOKCancel);

    panel->Chk4736[3]->setChecked(false);
    svc.answer(platform::vbOK);
    panel->cdmAuto_Init->click();
    EXPECT_TRUE(pin(1, 1)); // CS high first
    QStringList expected;
    for (int b = 0; b < 4; ++b) {
        expected << "hide read-back" << QString("status 0%1").arg(2 * b + 1) << "write status";
        for (int k = 0; k < 4; ++k)
            expected << QString("enter %1 %2%3 filling").arg(k).arg(k).arg(b);
    }
    expected << "hide read-back" << "status 00" << "show read-back" << "write status" << "read status";
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(panel->filling());
    EXPECT_TRUE(panel->optK4736[0]->isChecked());
}

TEST_F(K4736Panel, ReadAllSetsCSAndSCLHighThenReadsEveryWiper)
{
    panel->Chk4736[2]->setChecked(false);
    panel->Chk4736[3]->setChecked(false);
    panel->cmdRdAllk47->click();
    EXPECT_TRUE(pin(1, 0) && pin(1, 1));
    EXPECT_EQ(calls, (QStringList{"read 0", "read 1", "read 2", "read 3"}));
    calls.clear();
    panel->cmdSamplek47->click();
    EXPECT_EQ(calls, (QStringList{"sample 0", "sample 1", "sample 2", "sample 3"}));
}
