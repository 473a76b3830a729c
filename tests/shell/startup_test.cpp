// The startup menu over the simulated board: the defaults it sets, the load order of the
// service windows on the first pick, the bus switch per family and the return to the menu.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/frmDCP_User1.h"
#include "link/hid.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "support/board_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

class StartupTest : public BoardFixture {
protected:
    frmStartup& menu()
    {
        forms().frmStartup.show();
        return forms().frmStartup();
    }
    void pick(int index) { menu().cboDCPSelect->setCurrentIndex(index); }
    // P1.3 in the motherboard's port image; the family window's set-up writes it out.
    bool busSwitchHigh() { return g_PortShadow[1] & 0x08; }
};

TEST_F(StartupTest, LoadSetsTheDefaultsAndListsTheEntries)
{
    g_AdcVref = 2.5;
    g_VminusTracksVcc = false;
    auto& m = menu();
    EXPECT_EQ(m.windowTitle(), "Vantrel DCP Devices Evaluation Software Main Startup Menu");
    const QStringList expected = {"Device Selection", "   DCP Devices", "I2C", "SPI", "Up /Down", "Push Button",
                                  "---------",        "",                "",    "Calibrate Device VCC Supply"};
    QStringList shown;
    for (int i = 0; i < m.cboDCPSelect->count(); ++i)
        shown << m.cboDCPSelect->itemText(i);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(m.cboDCPSelect->currentIndex(), 0);
    EXPECT_EQ(g_AdcVref, 3.3);
    EXPECT_TRUE(g_VminusTracksVcc);
    EXPECT_EQ(g_BridgeModel, 320);
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&m));
    EXPECT_TRUE(m.Timer1->isActive());
    // The heading loads nothing: no board traffic yet.
    EXPECT_FALSE(forms().frmMainF340.loaded());
    EXPECT_TRUE(board(0).transcript.requests().empty());
}

TEST_F(StartupTest, LampBlinksBetweenTheTwoGreens)
{
    auto& m = menu();
    const int first = m.Shpstatus[2]->fillColor();
    m.Timer1_Timer();
    EXPECT_NE(m.Shpstatus[2]->fillColor(), first);
    m.Timer1_Timer();
    EXPECT_EQ(m.Shpstatus[2]->fillColor(), first);
    EXPECT_TRUE(first == 10 || first == 2);
}

// The separators, and the families whose windows the program does not have yet: the pick
// loads the hidden service windows and sets the bus switch, then leaves the menu on screen.
TEST_F(StartupTest, PicksWithoutAWindowLoadTheServiceWindowsAndStayOnScreen)
{
    const int picks[] = {1, 6, 7, 8};
    for (int p : picks) {
        SCOPED_TRACE(p);
        auto& m = menu();
        board(0).transcript.clear();
        pick(p);
        EXPECT_TRUE(forms().frmMainF340.loaded());
        EXPECT_TRUE(forms().frmMotherboardDAQ2.loaded());
        EXPECT_FALSE(forms().frmMainF340().isVisible());
        EXPECT_FALSE(forms().frmMotherboardDAQ2().isVisible());
        EXPECT_TRUE(m.isVisible());
        EXPECT_FALSE(m.Timer1->isActive());
        EXPECT_FALSE(m.Shpstatus[2]->isVisible());
        EXPECT_TRUE(g_BoardPresent);
        EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&m));
        EXPECT_EQ(BoardCount(), 1);
        // Only the I2C family sends the console's I2C options.
        int optionSets = 0;
        for (const auto& rq : board(0).transcript.requests())
            optionSets += rq[1] == 0x04 && rq[2] == 0;
        EXPECT_EQ(optionSets, 0);
        forms().frmStartup.show(); // back to the heading for the next pick
    }
}

TEST_F(StartupTest, TheI2CPickShowsTheI2CWindowAndHidesTheMenu)
{
    auto& m = menu();
    board(0).transcript.clear();
    pick(2);
    EXPECT_TRUE(forms().frmDCP_User1().isVisible());
    EXPECT_FALSE(m.isVisible());
    EXPECT_FALSE(busSwitchHigh());
    int optionSets = 0;
    for (const auto& rq : board(0).transcript.requests())
        optionSets += rq[1] == 0x04 && rq[2] == 0;
    EXPECT_EQ(optionSets, 1);
}

TEST_F(StartupTest, TheMenuComingBackToTheFrontDuringAPickLeavesTheLampStopped)
{
    auto& m = menu();
    // A link dialog came and went while the pick ran: the menu is the active window again.
    svc.onPump = [&m](int) {
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&m);
    };
    pick(6);
    svc.onPump = nullptr;
    EXPECT_FALSE(m.Timer1->isActive());

    // Once the pick is over, coming to the front starts the lamp again.
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&m);
    EXPECT_TRUE(m.Timer1->isActive());
}

TEST_F(StartupTest, BusSwitchFollowsTheFamilyAndCalibrationLeavesIt)
{
    struct Case {
        int pick;
        bool high;
    } cases[] = {{3, true}, {9, true}, {2, false}, {9, false}, {4, false}, {3, true}, {5, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pick);
        forms().frmStartup.show(); // back at the menu: the list returns to the heading
        pick(c.pick);
        EXPECT_EQ(forms().frmMotherboardDAQ2().chkPData[11]->isChecked(), c.high);
        EXPECT_EQ(busSwitchHigh(), c.high);
    }
}

TEST_F(StartupTest, CalibrationPickShowsTheCalibrationWindowAndHidesTheMenu)
{
    auto& m = menu();
    pick(9);
    EXPECT_TRUE(forms().FrmVCCCal.loaded());
    EXPECT_TRUE(forms().FrmVCCCal().isVisible());
    EXPECT_FALSE(m.isVisible());
    // The service windows stay hidden without the engineering view.
    EXPECT_FALSE(forms().frmMainF340().isVisible());
    EXPECT_FALSE(forms().frmMotherboardDAQ2().isVisible());
}

TEST_F(StartupTest, EngineeringViewShowsTheServiceWindowsButNotForPushButton)
{
    auto& m = menu();
    m.Picture1_DblClick();
    pick(5);
    EXPECT_FALSE(forms().frmMainF340().isVisible());
    EXPECT_FALSE(forms().frmMotherboardDAQ2().isVisible());
    forms().frmStartup.show();
    pick(3);
    EXPECT_TRUE(forms().frmMainF340().isVisible());
    EXPECT_TRUE(forms().frmMotherboardDAQ2().isVisible());
}

TEST_F(StartupTest, ReturningResetsTheListAndForgetsPickedParts)
{
    auto& m = menu();
    pick(9);
    g_I2CPartPicked = g_SPIPartPicked = true;
    g_ActiveForm = nullptr;
    forms().frmStartup.show();
    EXPECT_EQ(m.cboDCPSelect->currentIndex(), 0);
    EXPECT_FALSE(g_I2CPartPicked);
    EXPECT_FALSE(g_SPIPartPicked);
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&m));
    EXPECT_TRUE(m.Timer1->isActive());
}

TEST_F(StartupTest, ClosingTheMenuEndsTheProgram)
{
    auto& m = menu();
    EXPECT_TRUE(ends([&] { m.close(); }));
}

TEST_F(StartupTest, NoBoardAndCancelEndsTheProgramBeforeAnyWindowShows)
{
    board(0).unplug();
    svc.answer(platform::vbCancel);
    menu();
    EXPECT_TRUE(ends([&] { pick(2); }));
    EXPECT_EQ(svc.boxTexts(), QStringList{notFoundText()});
}

TEST_F(StartupTest, FirstCalibrationPickLoadsConsoleThenMotherboardAndLeavesTheBusSwitch)
{
    menu();
    pick(9);
    const auto requests = board(0).transcript.requests();
    ASSERT_FALSE(requests.empty());
    // The console loads first: its board read-back opens the traffic.
    EXPECT_EQ(requests.front()[1], 0x01);
    EXPECT_EQ(requests.front()[2], 0x01);
    // Then the motherboard drives its power-up pattern with one six-register port write.
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> powerUp = {
        {0x80, 0x02}, {0x90, 0x08}, {0xA0, 0x10}, {0xA4, 0x05}, {0xA5, 0x08}, {0xA6, 0xF8}};
    size_t found = 0, firstSet = requests.size();
    for (size_t i = 0; i < requests.size() && found < powerUp.size(); ++i) {
        const auto& rq = requests[i];
        if (rq[1] == 0x12 && rq[2] == 0 && rq[3] == powerUp[found].first && rq[4] == powerUp[found].second) {
            if (found == 0)
                firstSet = i;
            ++found;
        }
    }
    EXPECT_EQ(found, powerUp.size());
    size_t lastReadBack = 0;
    for (size_t i = 0; i < requests.size(); ++i)
        if (requests[i][1] == 0x07 && requests[i][2] == 1) // the SPI mode read-back
            lastReadBack = i;
    EXPECT_LT(lastReadBack, firstSet);
    // P1.3 stays as the power-up pattern set it (high).
    EXPECT_TRUE(busSwitchHigh());
    EXPECT_TRUE(board(0).sfr(0x90) & 0x08);
}

// A bridge that answers with noise from the first report on: the menu, both service
// windows and a whole calibration sweep get through it without a crash, and the sweep
// ends without leaving a calibration file behind.
TEST_F(StartupTest, GarbageRepliesThroughPickAndSweep)
{
    QTemporaryDir dir;
    svc.programDirectory = dir.path();
    board(0).garbleNextReplies(1000000, 5);
    svc.onBox = [](const QString&, int buttons) {
        return buttons == platform::vbYesNo ? platform::vbNo
             : buttons == platform::vbRetryCancel ? platform::vbRetry
                                                  : platform::vbOK;
    };
    menu();
    pick(9);
    forms().FrmVCCCal().cmdDoVCC_Cal_Click();
    EXPECT_FALSE(svc.ended);
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("DCP_Cal_Data.txt")));
}

TEST_F(StartupTest, PickingTheEntryShownAgainRunsThePickAgain)
{
    auto& m = menu();
    pick(6);
    QCoreApplication::processEvents(); // that pick is long over
    m.Timer1->start();
    // The user picks "---------" once more: no change of entry, the pick runs all the same.
    Q_EMIT m.cboDCPSelect->activated(6);
    EXPECT_FALSE(m.Timer1->isActive());

    // A user's pick that changes the entry runs once: the change runs it, the activation
    // that comes with it does not run it again.
    m.cboDCPSelect->setCurrentIndex(7);
    m.Timer1->start();
    Q_EMIT m.cboDCPSelect->activated(7);
    EXPECT_TRUE(m.Timer1->isActive());
}

// A keyboard pick as the desktop delivers it: the entry changes, then the activation
// follows, and the pick lets events run with the program's own pump in between. The I2C
// options go out once per pick, also when the entry shown is picked again.
TEST_F(StartupTest, OneUserPickSendsTheI2COptionsOnce)
{
    svc.onPump = [](int) { platform::DesktopServices().pumpEvents(); };
    auto& m = menu();
    pick(1);
    QCoreApplication::processEvents();
    board(0).transcript.clear();
    const auto optionSets = [this] {
        int n = 0;
        for (const auto& rq : board(0).transcript.requests(0x04))
            n += rq[2] == 0;
        return n;
    };

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(m.cboDCPSelect, &down);
    QCoreApplication::processEvents();
    ASSERT_EQ(m.cboDCPSelect->currentIndex(), 2);
    EXPECT_EQ(optionSets(), 1);

    Q_EMIT m.cboDCPSelect->activated(2); // "I2C" picked again from the pop-up
    QCoreApplication::processEvents();
    EXPECT_EQ(optionSets(), 2);
}
