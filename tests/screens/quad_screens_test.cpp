// The quad consoles as a user sees them: fresh, after a fill and a read of every register,
// and in increment/decrement mode.
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "shell/forms.h"
#include "sim/quad_part.h"
#include "support/board_fixture.h"

#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTableWidget>

namespace {

void save(QWidget& w, const QString& name)
{
    // Frames shown or hidden since the last event loop turn: lay them out as a user sees them.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath(name + ".png");
    ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
}

} // namespace

class QuadScreens : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        resetQuadDeviceLinks();
        sim::QuadI2CPart::install(board());
        sim::QuadSpiPart::install(board());
    }
    void TearDown() override
    {
        BoardFixture::TearDown();
        resetQuadDeviceLinks();
    }
};

TEST_F(QuadScreens, BothConsoles)
{
    forms().frm_k4744.show();
    save(forms().frm_k4744(), "quad-k4744");

    QuadConsole& spi = forms().frm_k4731();
    forms().frm_k4731.show();
    spi.cmdFillRegs->click();
    spi.cmdReadAll->click();
    QuadConsole::select(spi.OptInstruction[quad::kXferWcrToData]);
    QuadConsole::select(spi.OptWiper[1]);
    QuadConsole::select(spi.OptRegSel[2]);
    spi.cmdDoInstruction->click();
    save(spi, "quad-k4731-registers");

    QuadConsole& i2c = forms().frm_k4744();
    QuadConsole::select(i2c.OptInstruction[quad::kIncDec]);
    QuadConsole::select(i2c.OptWiper[2]);
    i2c.cmdDoInstruction->click();
    i2c.cmdIncrWip[0]->click();
    save(i2c, "quad-k4744-incdec");
    i2c.cmdIncrWip[2]->click();
}

// The console keeps the design's client area (933 x 798) and nothing in it is cut off: every
// cell of the instruction table holds its wrapped text, in every mode every wrapped label its
// lines.
TEST_F(QuadScreens, TheConsoleFitsItsDesignSizeAndShowsEveryTextWhole)
{
    QuadConsole& c = forms().frm_k4744();
    forms().frm_k4744.show();
    auto check = [&c](const char* mode) {
        SCOPED_TRACE(mode);
        c.layout()->activate();
        EXPECT_LE(c.height(), 798);
        // Frames get the room their contents need, at least.
        for (QGroupBox* f : c.findChildren<QGroupBox*>()) {
            if (f->isVisibleTo(&c)) {
                EXPECT_GE(f->height(), f->minimumSizeHint().height()) << f->title().toStdString();
                if (f->layout() && f->layout()->hasHeightForWidth()) {
                    EXPECT_GE(f->height(), f->heightForWidth(f->width())) << f->title().toStdString();
                }
            }
        }
        const QTableWidget* t = c.Grid1;
        const QFontMetrics fm(t->font());
        for (int r = 0; r < t->rowCount(); ++r)
            for (int col = 0; col < t->columnCount(); ++col) {
                // The cell's text area: its width less the item's margins on both sides.
                const QRect room(0, 0, t->columnWidth(col) - 8, 10000);
                const int needed = fm.boundingRect(room, Qt::TextWordWrap, t->item(r, col)->text()).height();
                EXPECT_GE(t->rowHeight(r), needed) << "row " << r << " column " << col;
            }
        EXPECT_GE(t->height(), t->verticalHeader()->length());
        for (QLabel* l : c.findChildren<QLabel*>()) {
            if (l->wordWrap() && l->isVisibleTo(&c)) {
                EXPECT_GE(l->height(), l->heightForWidth(l->width())) << l->text().toStdString();
            }
        }
    };
    check("fresh");
    QuadConsole::select(c.OptInstruction[quad::kIncDec]);
    QuadConsole::select(c.OptWiper[1]);
    c.cmdDoInstruction->click();
    check("increment/decrement");
    c.cmdIncrWip[2]->click();
}
