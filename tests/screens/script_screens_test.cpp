// The script window with the example wiper sweep, loaded and after a run.
#include "bridge/frmMainF340.h"
#include "scripts/frmScriptOps.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/i2c_devices.h"
#include "support/board_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

class ScriptScreens : public BoardFixture {};

TEST_F(ScriptScreens, ScriptWindowLoadedAndAfterARun)
{
    board().attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    g_I2CFamily = true;
    console();
    frmScriptOps& w = forms().frmScriptOps();
    forms().frmScriptOps.show();
    w.resize(1000, 620);
    // A copy of the example from the source tree, so that its save row writes here.
    const QString copy = dataDir.filePath("wiper_sweep.txt");
    ASSERT_TRUE(QFile::copy(QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/scripts/wiper_sweep.txt"), copy));
    svc.openPaths.push_back(copy);
    w.mnuScript_Read_Click();
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    ASSERT_TRUE(w.grab().save(QDir(DCPEVAL_SCREENS_DIR).filePath("script-loaded.png")));
    svc.answerAll(platform::vbOK, 4); // the pause row
    w.cmdExecAll_Click();
    ASSERT_TRUE(w.grab().save(QDir(DCPEVAL_SCREENS_DIR).filePath("script-after-run.png")));
}
