// The up/down and push-button consoles: build/test/screens/updown-*.png and pushbutton-*.png.
#include "updown/pin_console_fixture.h"

#include "support/screens.h"

#include "sim/pushbutton_part.h"
#include "sim/updown_part.h"
#include "updown/frmDCP_PB1.h"
#include "updown/frmDCP_UD1.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <utility>
#include <vector>

class PinConsoleScreens : public PinTraceFixture {
protected:
    void save(QWidget& w, const QString& name) { saveScreen(w, name); }
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
    expectTextsWhole(w);

    // Abort shows while a train runs; the train's other controls stay where they were, so a
    // click aimed at them mid-train lands.
    const std::vector<QWidget*> train = {w.cmdIncr[0], w.cmdIncr[1], w.txtIncr[0], w.txtIncr[1],
                                         w.txtDelay,   w.Label2,    w.ChlAutoCS[1], w.blAutoStore};
    const auto places = [&] {
        std::vector<std::pair<int, int>> at;
        for (QWidget* c : train) {
            const QPoint p = c->mapTo(&w, QPoint(0, 0));
            at.emplace_back(p.x(), p.y());
        }
        return at;
    };
    const auto before = places();
    bool seen = false;
    svc.onPump = [&](int) {
        if (seen || !w.cmdAbortIncr->isVisible())
            return;
        seen = true;
        save(w, "pushbutton-train");
        EXPECT_EQ(places(), before);
        expectTextsWhole(w);
    };
    w.txtIncr[0]->setText("3");
    w.cmdIncr[0]->click();
    svc.onPump = nullptr;
    EXPECT_TRUE(seen);
}
