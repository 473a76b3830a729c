// The run-in window before and after a short run: build/test/screens/runin-*.png.
#include "updown/runin_window_fixture.h"

#include "support/screens.h"

#include <QLabel>
#include <QLineEdit>

#include <array>

class RunInScreens : public RunInWindowFixture {
protected:
    void save(const QString& name) { saveScreen(window(), name); }
};

TEST_F(RunInScreens, BeforeAndAfterAShortRun)
{
    save("runin-before");
    expectTextsWhole(window());
    // Each heading stands over its own column of fields.
    UPDN_Runin& w = window();
    const std::array<QWidget*, 5> row = {w.txtInitialIncr[0], w.txtWiperLoc[0], w.txtWiperVolts[0], w.lvlWipV[0],
                                         w.lvlWipError[0]};
    for (size_t c = 0; c < row.size(); ++c) {
        const QRect heading = w.vlvTestHeaders[c]->geometry();
        const QRect field = row[c]->geometry();
        EXPECT_GE(heading.left(), field.left()) << w.vlvTestHeaders[c]->text().toStdString();
        EXPECT_LE(heading.right(), field.right()) << w.vlvTestHeaders[c]->text().toStdString();
    }
    // A store that wears out at move 10, so the table and log show fails too.
    part->config.storeFailsAfter = 10;
    window().ChkLogAll->setChecked(true);
    runTest(QStringLiteral("24"), QStringLiteral("8"));
    save("runin-after");
    expectTextsWhole(window());
}
