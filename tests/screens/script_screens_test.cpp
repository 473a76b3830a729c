// The script window with the example wiper sweep, loaded and after a run; no cell but the
// comments, no heading and no label of it is cut.
#include "bridge/frmMainF340.h"
#include "scripts/frmScriptOps.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/i2c_devices.h"
#include "support/board_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStyle>

#include <cmath>

class ScriptScreens : public BoardFixture {
protected:
    // Every cell's text in its own font, with the item view's text margins and the grid line,
    // fits its column; Comment, which takes the width that is left, may cut (its tool tip then
    // holds the whole text). Every heading and label has the room its text needs.
    static void expectNothingCut(frmScriptOps& w)
    {
        ScriptGrid& g = *w.vbalGrid1;
        const int margins = 2 * (g.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &g) + 1) + 1;
        for (int r = 0; r < g.rowCount(); ++r)
            for (int c = 0; c < script::kCellCount; ++c) {
                const QModelIndex at = g.model()->index(r, c);
                const QString text = at.data().toString();
                const QVariant font = at.data(Qt::FontRole);
                const QFont f = font.isValid() ? font.value<QFont>().resolve(g.font()) : g.font();
                const int needs = static_cast<int>(std::ceil(QFontMetricsF(f).horizontalAdvance(text))) + margins;
                if (c != script::kComment) {
                    EXPECT_LE(needs, g.columnWidth(c)) << "row " << r + 1 << " column " << c << ": " << text.toStdString();
                } else if (needs > g.columnWidth(c)) {
                    EXPECT_EQ(g.cutText(r, c), text) << "row " << r + 1;
                }
            }
        for (int c = 0; c < script::kCellCount; ++c)
            EXPECT_GE(g.columnWidth(c), g.headerWidth(c)) << g.headerText(c).toStdString();
        for (QLabel* l : w.findChildren<QLabel*>())
            if (l->isVisible()) {
                EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            }
    }
};

TEST_F(ScriptScreens, ScriptWindowLoadedAndAfterARun)
{
    board().attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    g_I2CFamily = true;
    console();
    frmScriptOps& w = forms().frmScriptOps();
    forms().frmScriptOps.show();
    // It opened wide enough for every column but Comment, within the screen.
    const int columns = [&w] {
        int sum = 0;
        for (int c = 0; c < script::kComment; ++c)
            sum += w.vbalGrid1->columnWidth(c);
        return sum;
    }();
    EXPECT_LE(w.frameGeometry().width(), w.screen()->availableGeometry().width());
    if (w.width() < w.screen()->availableGeometry().width() - 50) {
        EXPECT_GE(w.vbalGrid1->viewport()->width(), columns);
    }
    w.resize(w.width(), 620);
    // A copy of the example from the source tree, so that its save row writes here.
    const QString copy = dataDir.filePath("wiper_sweep.txt");
    ASSERT_TRUE(QFile::copy(QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/scripts/wiper_sweep.txt"), copy));
    svc.openPaths.push_back(copy);
    w.mnuScript_Read_Click();
    QCoreApplication::processEvents();
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    ASSERT_TRUE(w.grab().save(QDir(DCPEVAL_SCREENS_DIR).filePath("script-loaded.png")));
    {
        SCOPED_TRACE("loaded");
        expectNothingCut(w);
    }
    svc.answerAll(platform::vbOK, 4); // the pause row
    w.cmdExecAll_Click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.grab().save(QDir(DCPEVAL_SCREENS_DIR).filePath("script-after-run.png")));
    {
        SCOPED_TRACE("after a run");
        expectNothingCut(w);
    }
}
