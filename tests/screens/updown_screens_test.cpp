// The up/down and push-button consoles: build/test/screens/updown-*.png and pushbutton-*.png.
#include "updown/pin_console_fixture.h"

#include "sim/pushbutton_part.h"
#include "sim/updown_part.h"
#include "updown/frmDCP_PB1.h"
#include "updown/frmDCP_UD1.h"

#include <QDir>

class PinConsoleScreens : public PinTraceFixture {
protected:
    void save(QWidget& w, const QString& name)
    {
        QDir().mkpath(DCPEVAL_SCREENS_DIR);
        const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath(name + ".png");
        ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
    }
};

TEST_F(PinConsoleScreens, UpDownConsoleSingleAndDual)
{
    sim::installUpDownPart(board());
    console();
    forms().frmDCP_UD1.show();
    frmDCP_UD1& w = forms().frmDCP_UD1();
    w.supply->OptVCC[0]->setChecked(true);
    w.txtIncr[0]->setText("7");
    w.cmdIncr[0]->click();
    save(w, "updown-single");
    w.OptChans[1]->click();
    w.adjustSize();
    save(w, "updown-dual");
}

TEST_F(PinConsoleScreens, PushButtonConsole)
{
    sim::installPushButtonPart(board());
    console();
    forms().frmDCP_PB1.show();
    frmDCP_PB1& w = forms().frmDCP_PB1();
    w.supply->OptVCC[0]->setChecked(true);
    w.ChOut[2]->setChecked(false);
    w.cmdSampleWiper[0]->click();
    save(w, "pushbutton");
}
