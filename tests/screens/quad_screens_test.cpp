// The quad consoles as a user sees them: fresh, after a fill and a read of every register,
// and in increment/decrement mode.
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "shell/forms.h"
#include "sim/quad_part.h"
#include "support/board_fixture.h"

#include <QDir>
#include <QPushButton>

namespace {

void save(QWidget& w, const QString& name)
{
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
