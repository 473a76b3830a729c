// The run-in as a user reaches it: the menu's "Up /Down" pick, VCC on in the up/down console,
// its "Show Run In" button, then runs from the run-in window on a part chosen as `--part`
// chooses it.
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/activeform.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "sim/parts.h"
#include "support/board_fixture.h"
#include "updown/UPDN_Runin.h"
#include "updown/frmDCP_UD1.h"

#include "devices/SupplyPanel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class RunInFromConsoleTest : public BoardFixture {
protected:
    // The board with the part `--part text` gives, the console picked from the menu with VCC
    // on, and the run-in window opened from it.
    UPDN_Runin& openRunIn(const char* partOption)
    {
        std::string error;
        const auto choice = sim::parsePartChoice(partOption, &error);
        EXPECT_TRUE(choice) << error;
        if (choice)
            choice->install(board());
        svc.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0));
        forms().frmStartup.show();
        forms().frmStartup().cboDCPSelect->setCurrentIndex(4); // "Up /Down"
        frmDCP_UD1& ud = forms().frmDCP_UD1();
        EXPECT_TRUE(ud.isVisible());
        ud.supply->OptVCC[0]->setChecked(true);
        EXPECT_TRUE(ud.cmdRunin->isVisible());
        ud.cmdRunin->click();
        EXPECT_TRUE(forms().UPDN_Runin.loaded());
        return forms().UPDN_Runin();
    }
};

} // namespace

TEST_F(RunInFromConsoleTest, ShowRunInOpensTheWindowAndAShortRunPasses)
{
    UPDN_Runin& w = openRunIn("updown");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Up Down Run In");
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&forms().frmDCP_UD1())); // the run-in registers nowhere

    w.txtTestQty->setText("40");
    w.txtLogSteps->setText("20");
    w.cmdRunInitial->click();
    const QStringList lines = w.logText().split("\r\n");
    EXPECT_EQ(lines.filter("FAIL").size(), 0);
    EXPECT_EQ(lines.value(lines.size() - 3),
              "User Test ID   Test Completed : Test Count:[ 40] Fail Count:[ 0] Time Stamp: 10:00:00");
    EXPECT_EQ(w.lblRUnCount[0]->text(), " 40");
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&forms().frmDCP_UD1()));
}

// A worn store, chosen on the part, from move 20 on: every down move finds the wiper back at
// 64 and fails; Abort ends the run after its pass; the record file holds the whole log.
TEST_F(RunInFromConsoleTest, WornStoreFailsAreLoggedAbortEndsAndTheLogIsSavedWhole)
{
    UPDN_Runin& w = openRunIn("updown:store-fails-after=20");
    svc.onPump = [&](int) {
        if (w.run().moves == 38)
            w.cmdAbortRun->click();
    };
    w.cmdRunInitial->click(); // the design values: 100000 moves, progress every 500
    const QStringList lines = w.logText().split("\r\n");
    const QStringList fails = lines.filter("FAIL");
    ASSERT_EQ(fails.size(), 11);
    // The console's supply list opens at 5.0 V: 0.05 V per step.
    EXPECT_EQ(fails[0], " Wiper Position 63 Check Expected 3.1500   Read 3.2000   Error -.0500  TOL .0165 Volts     "
                        "Test#[ 22] FAIL");
    EXPECT_EQ(lines.value(lines.size() - 2),
              "User Test ID   Test Terminated : Test Count:[ 40] Fail Count:[ 11]  Date / Time Stamp: 03-02-2026 10:00:00");
    EXPECT_EQ(w.lblRUnCount[1]->text(), " 11");

    const QString path = QDir(dataDir.path()).filePath("worn.txt");
    w.txtFilePath->setText(path);
    w.cmdStartRec[0]->click();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              "Trace File Data Acquisition 03-02-2026 10:00:00\r\n" + w.logText() + "\r\nEND\r\n");
    EXPECT_EQ(w.rtxt1->toPlainText(), QString(w.logText()).replace("\r\n", "\n"));
}
