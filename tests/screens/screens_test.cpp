// Renders every window (every tab of the tabbed ones) offscreen to PNG files for people who
// review the look: build/test/screens/*.png. Run with `ctest -L screens`.
#include "bridge/frmMainF340.h"
#include "devices/frmDCP_User1.h"
#include "devices/Frk4736.h"
#include "devices/ProductExec.h"
#include "devices/frk662x.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/frmStartup.h"
#include "shell/about.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/analog_board.h"
#include "sim/evaluation_board.h"
#include "support/board_fixture.h"
#include "support/parameter_pick.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>

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

TEST_F(Screens, I2CDeviceWindowOneAndFourChannels)
{
    sim::setUpEvaluationBoard(board());
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    auto& w = forms().frmDCP_User1();
    save(w, "i2c-device-single-channel");
    w.mnu_ZN3740->trigger();
    save(w, "i2c-device-four-channels");
}

TEST_F(Screens, I2CDeviceWindowInTheK4736AndK6627Layouts)
{
    sim::setUpEvaluationBoard(board());
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    auto& w = forms().frmDCP_User1();
    const QString file = QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/i2c_parameters.csv");
    for (const auto& [row, name] : {std::pair{5, "i2c-device-k4736"}, std::pair{6, "i2c-device-k6627"}}) {
        answerParameterTable(svc, file, row);
        w.mnu_I2cList_Click();
        svc.onPump = nullptr;
        w.adjustSize();
        save(w, name);
    }
}

TEST_F(Screens, ParameterTables)
{
    // The example tables users start from, each with a part picked.
    const QDir examples(QStringLiteral(DCPEVAL_SOURCE_DIR "/examples"));
    const struct {
        bool spi;
        const char* file;
        int row;
        const char* name;
    } tables[] = {{false, "i2c_parameters.csv", 5, "parameter-table-i2c"},
                  {true, "spi_parameters.csv", 3, "parameter-table-spi"}};
    for (const auto& t : tables) {
        g_I2CFamily = !t.spi;
        g_SPIFamily = t.spi;
        g_ParamTableDone = false;
        svc.openPaths.push_back(examples.filePath(t.file));
        showParameterTable();
        ProductExec& w = forms().ProductExec();
        w.Timer1_Timer();
        ASSERT_TRUE(w.Frame1->isVisible()) << t.file;
        w.tGrid->setCurrentCell(t.row, 0);
        w.tGrid->selectRow(t.row);
        w.tGrid_Click();
        save(w, t.name);
    }
}

TEST_F(Screens, K6627Console)
{
    frk662x frame(frk662x::Host{});
    frame.lblRdk662x[0]->setText("3FF");
    frame.txtWrK6628[1]->setText("123");
    frame.adjustSize();
    save(frame, "k6627-console");
}

TEST_F(Screens, K4736Panel)
{
    console();
    Frk4736 panel(Frk4736::Host{});
    panel.adjustSize();
    save(panel, "k4736-panel");
}
