// The 10-bit register console rendered offscreen for review: build/test/screens/*.png.
#include "devices/FrmK6623.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_SPI1.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "sim/spi_parts.h"
#include "support/board_fixture.h"
#include "support/screens.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class SpiScreens : public BoardFixture {};

TEST_F(SpiScreens, K6623RegisterConsole)
{
    forms().FrmK6623.show();
    FrmK6623& k = forms().FrmK6623();
    saveScreen(k, "k6623-register-console");
    expectTextsWhole(k);
}

TEST_F(SpiScreens, SpiDeviceWindowWithTheZN3920Preset)
{
    frmDCP_SPI1& w = forms().frmDCP_SPI1();
    w.mnuZN3920_Click();
    forms().frmDCP_SPI1.show();
    saveScreen(w, "spi-device-window");
    expectTextsWhole(w);
}

// As a user leaves it on a ZN3930: supply on, channel 1 written with Auto Read (read-back,
// bar and wiper voltage shown).
TEST_F(SpiScreens, SpiDeviceWindowAfterAWriteWithAutoRead)
{
    sim::setUpEvaluationBoard(board());
    sim::installZN3930(board());
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
    frmDCP_SPI1& w = forms().frmDCP_SPI1();
    w.mnuZN3930->trigger();
    w.supply->OptVCC[0]->setChecked(true);
    w.ChkAutoRead[1]->setChecked(true);
    w.txtHexDataWrt[1]->setText("5A");
    w.CMDxMIT[1]->click();
    ASSERT_EQ(w.lblPotReadhex[1]->text(), "5A");
    saveScreen(w, "spi-device-window-zn3930-written");
    expectTextsWhole(w);
}
