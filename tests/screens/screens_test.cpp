// Renders every window (every tab of the tabbed ones) offscreen to PNG files for people who
// review the look: build/test/screens/*.png. Run with `ctest -L screens`.
#include "bridge/frmMainF340.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/frmStartup.h"
#include "shell/about.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "sim/analog_board.h"
#include "support/board_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

void save(QWidget& w, const QString& name)
{
    // The layouts follow texts changed since the last pump (nothing else is delivered).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath(name + ".png");
    ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
}

} // namespace

class Screens : public BoardFixture {};

TEST_F(Screens, BridgeConsoleTabs)
{
    auto& f = console();
    f.show();
    for (int i = 0; i < f.SSTab1->count(); ++i) {
        f.SSTab1->setCurrentIndex(i);
        QString name = f.SSTab1->tabText(i).toLower().replace(QRegularExpression("[^a-z0-9]+"), "-");
        save(f, "bridge-console-" + QString::number(i) + "-" + name);
    }
}

TEST_F(Screens, StartupMotherboardAndCalibration)
{
    forms().frmStartup.show();
    save(forms().frmStartup(), "startup-menu");
    forms().frmStartup().cboDCPSelect->setCurrentIndex(9); // loads the service windows
    forms().frmMotherboardDAQ2.show();
    save(forms().frmMotherboardDAQ2(), "motherboard");
    save(forms().FrmVCCCal(), "vcc-calibration");
}

TEST_F(Screens, CalibrationDuringAndAfterASweep)
{
    sim::attachAnalogBoard(board(0));
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(9);
    FrmVCCCal& cal = forms().FrmVCCCal();
    bool saved = false;
    svc.onPump = [&](int) {
        if (!saved && cal.lblCalHex->text() == "40") {
            saved = true;
            save(cal, "vcc-calibration-sweeping");
        }
    };
    cal.cmdDoVCC_Cal_Click();
    svc.onPump = nullptr;
    save(cal, "vcc-calibration-done");
}

TEST_F(Screens, TraceLogAndAbout)
{
    forms().Doco.show();
    save(forms().Doco(), "trace-log");
    forms().frmAbout2.show();
    save(forms().frmAbout2(), "about");
}
