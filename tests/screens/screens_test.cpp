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
#include "support/screens.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

class Screens : public BoardFixture {};

TEST_F(Screens, BridgeConsoleTabs)
{
    auto& f = console();
    f.show();
    for (int i = 0; i < f.SSTab1->count(); ++i) {
        f.SSTab1->setCurrentIndex(i);
        QString name = f.SSTab1->tabText(i).toLower().replace(QRegularExpression("[^a-z0-9]+"), "-");
        saveScreen(f, "bridge-console-" + QString::number(i) + "-" + name);
    }
}

TEST_F(Screens, StartupMotherboardAndCalibration)
{
    forms().frmStartup.show();
    saveScreen(forms().frmStartup(), "startup-menu");
    forms().frmStartup().cboDCPSelect->setCurrentIndex(9); // loads the service windows
    forms().frmMotherboardDAQ2.show();
    saveScreen(forms().frmMotherboardDAQ2(), "motherboard");
    saveScreen(forms().FrmVCCCal(), "vcc-calibration");
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
            saveScreen(cal, "vcc-calibration-sweeping");
        }
    };
    cal.cmdDoVCC_Cal_Click();
    svc.onPump = nullptr;
    saveScreen(cal, "vcc-calibration-done");
}

TEST_F(Screens, TraceLogAndAbout)
{
    forms().Doco.show();
    saveScreen(forms().Doco(), "trace-log");
    forms().frmAbout2.show();
    saveScreen(forms().frmAbout2(), "about");
}

TEST_F(Screens, I2CDeviceWindowOneAndFourChannels)
{
    sim::setUpEvaluationBoard(board());
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    auto& w = forms().frmDCP_User1();
    saveScreen(w, "i2c-device-single-channel");
    expectTextsWhole(w);
    w.mnu_ZN3740->trigger();
    saveScreen(w, "i2c-device-four-channels");
    expectTextsWhole(w);
}

// Every part family's layout fits a 1920 x 1080 screen with its title and task bars, shows
// every text whole, and the K4736 panel under the four channels keeps the window near the
// height of the ordinary four-channel layout.
TEST_F(Screens, I2CDeviceWindowInThePartFamilyLayouts)
{
    sim::setUpEvaluationBoard(board());
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    auto& w = forms().frmDCP_User1();
    w.mnu_ZN3740->trigger();
    w.adjustSize();
    layOutPending(w);
    const int standardHeight = w.height();
    const QString file = QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/i2c_parameters.csv");
    for (const auto& [row, name] :
         {std::pair{5, "i2c-device-k4736"}, std::pair{6, "i2c-device-k6627"}, std::pair{7, "i2c-device-k4744"}}) {
        SCOPED_TRACE(name);
        answerParameterTable(svc, file, row);
        w.mnu_I2cList_Click();
        svc.onPump = nullptr;
        w.adjustSize();
        saveScreen(w, name);
        expectTextsWhole(w);
        EXPECT_LE(w.width(), 1920);
        EXPECT_LE(w.height(), 1000);
        if (row == 5) {
            EXPECT_LE(w.height(), standardHeight + 40);
        }
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
        saveScreen(w, t.name);
        SCOPED_TRACE(t.file);
        expectTextsWhole(w);
        // Every column holds its title and cells whole but the narrow last one ("Note").
        expectCellsFitTheirColumns(*w.tGrid, {w.tGrid->columnCount() - 1});
        EXPECT_LE(w.frameGeometry().width(), w.screen()->availableGeometry().width());
        forms().ProductExec.unload();
    }
}

TEST_F(Screens, K6627Console)
{
    frk662x frame(frk662x::Host{});
    frame.lblRdk662x[0]->setText("3FF");
    frame.txtWrK6628[1]->setText("123");
    frame.adjustSize();
    saveScreen(frame, "k6627-console");
}

TEST_F(Screens, K4736Panel)
{
    console();
    Frk4736 panel(Frk4736::Host{});
    panel.adjustSize();
    saveScreen(panel, "k4736-panel");
}
