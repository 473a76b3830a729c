// The quad consoles as a user sees them: fresh, after a fill and a read of every register,
// and in increment/decrement mode.
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "shell/forms.h"
#include "sim/quad_part.h"
#include "support/board_fixture.h"
#include "support/screens.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>

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
    saveScreen(forms().frm_k4744(), "quad-k4744");

    QuadConsole& spi = forms().frm_k4731();
    forms().frm_k4731.show();
    spi.cmdFillRegs->click();
    spi.cmdReadAll->click();
    QuadConsole::select(spi.OptInstruction[quad::kXferWcrToData]);
    QuadConsole::select(spi.OptWiper[1]);
    QuadConsole::select(spi.OptRegSel[2]);
    spi.cmdDoInstruction->click();
    saveScreen(spi, "quad-k4731-registers");

    QuadConsole& i2c = forms().frm_k4744();
    QuadConsole::select(i2c.OptInstruction[quad::kIncDec]);
    QuadConsole::select(i2c.OptWiper[2]);
    i2c.cmdDoInstruction->click();
    i2c.cmdIncrWip[0]->click();
    saveScreen(i2c, "quad-k4744-incdec");
    i2c.cmdIncrWip[2]->click();
}

// The console keeps the design's client area (933 x 798) and nothing in it is cut off: every
// cell of the instruction table holds its wrapped text, in every mode every frame, label and
// button its text.
TEST_F(QuadScreens, TheConsoleFitsItsDesignSizeAndShowsEveryTextWhole)
{
    QuadConsole& c = forms().frm_k4744();
    forms().frm_k4744.show();
    auto check = [&c](const char* mode) {
        SCOPED_TRACE(mode);
        expectTextsWhole(c);
        EXPECT_LE(c.height(), 798);
        expectWrappedCellsWhole(*c.Grid1);
    };
    check("fresh");
    QuadConsole::select(c.OptInstruction[quad::kIncDec]);
    QuadConsole::select(c.OptWiper[1]);
    c.cmdDoInstruction->click();
    check("increment/decrement");
    c.cmdIncrWip[2]->click();
}
