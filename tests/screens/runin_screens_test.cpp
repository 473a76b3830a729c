// The run-in window before and after a short run: build/test/screens/runin-*.png.
#include "updown/runin_window_fixture.h"

#include <QDir>

class RunInScreens : public RunInWindowFixture {
protected:
    void save(const QString& name)
    {
        QDir().mkpath(DCPEVAL_SCREENS_DIR);
        const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath(name + ".png");
        ASSERT_TRUE(window().grab().save(path)) << path.toStdString();
    }
};

TEST_F(RunInScreens, BeforeAndAfterAShortRun)
{
    save("runin-before");
    // A store that wears out at move 10, so the table and log show fails too.
    part->config.storeFailsAfter = 10;
    window().ChkLogAll->setChecked(true);
    runTest(QStringLiteral("24"), QStringLiteral("8"));
    save("runin-after");
}
