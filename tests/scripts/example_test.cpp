// The example wiper sweep on the simulated board: once, with "Abort On fail", in a loop, and
// its results file.
#include "script_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace script;

namespace {
QString examplePath(const QString& name)
{
    return QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/scripts/") + name;
}
} // namespace

class ExampleScript : public ScriptWindowTest {
protected:
    frmScriptOps& openExample()
    {
        console();
        frmScriptOps& w = forms().frmScriptOps();
        // A copy, so that the save row writes into the test's own directory.
        const QString copy = dataDir.filePath("wiper_sweep.txt");
        EXPECT_TRUE(QFile::copy(examplePath("wiper_sweep.txt"), copy));
        svc.openPaths.push_back(copy);
        w.mnuScript_Read_Click();
        return w;
    }
    QString act(frmScriptOps& w, int row) { return w.vbalGrid1->cellText(row - 1, kActRd); }
};

TEST_F(ExampleScript, RunsOnceWithItsInterruptSectionAndSavesItsResults)
{
    frmScriptOps& w = openExample();
    ASSERT_EQ(w.executor().rowCount(), 22);
    EXPECT_EQ(w.txttotReads->text(), "6");
    svc.answer(platform::vbOK); // the pause in the interrupt section
    w.cmdExecAll->click();
    EXPECT_EQ(svc.boxTexts(), QStringList{pauseText(19)});
    EXPECT_EQ(w.txtRdPass->text(), "6");
    EXPECT_EQ(w.txtRdFails->text(), "2");
    EXPECT_EQ(act(w, 9), "3F");
    EXPECT_EQ(act(w, 11), "02");
    EXPECT_EQ(act(w, 13), "02");
    EXPECT_EQ(w.txtIdetectStep->text(), "013");
    EXPECT_EQ(w.txtIexec->text(), " 22");
    EXPECT_EQ(act(w, 14), "00");
    EXPECT_EQ(part->reg(0), 0x00);
    const QString saved = fileText(dataDir.filePath("wiper_sweep_DL.txt"));
    EXPECT_TRUE(saved.contains("\r\n00,,3F          # expects 3E where 3F stands"));
    EXPECT_TRUE(saved.contains("\r\n00,,00          # the run goes on here"));
    EXPECT_TRUE(saved.contains("# AutoUpdated: "));
}

TEST_F(ExampleScript, AbortOnFailAndLoop)
{
    frmScriptOps& w = openExample();
    w.chkAOF->setChecked(true);
    w.cmdExecAll->click();
    EXPECT_EQ(w.txtRdPass->text(), "3");
    EXPECT_EQ(w.txtRdFails->text(), "1");
    EXPECT_EQ(w.txtRunning->text(), "Done");
    EXPECT_EQ(act(w, 10), ""); // not reached

    w.chkAOF->setChecked(false);
    int pauses = 0;
    svc.onBox = [&](const QString&, int) {
        // OK twice, Cancel in the third pass: the loop ends after that pass.
        return ++pauses < 3 ? platform::vbOK : platform::vbCancel;
    };
    w.cmdRunContinuous->click();
    EXPECT_EQ(w.txtLoopCount->text(), "3");
    EXPECT_TRUE(w.cmdRunContinuous->isVisibleTo(&w));
    EXPECT_TRUE(w.cmdExecAll->isVisibleTo(&w));
    EXPECT_FALSE(w.cmdAbort->isVisibleTo(&w));
}
