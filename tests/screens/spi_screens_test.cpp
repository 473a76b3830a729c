// The 10-bit register console rendered offscreen for review: build/test/screens/*.png.
#include "devices/FrmK6623.h"
#include "devices/frmDCP_SPI1.h"
#include "shell/forms.h"
#include "support/board_fixture.h"

#include <QDir>

class SpiScreens : public BoardFixture {};

TEST_F(SpiScreens, K6623RegisterConsole)
{
    forms().FrmK6623.show();
    FrmK6623& k = forms().FrmK6623();
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath("k6623-register-console.png");
    ASSERT_TRUE(k.grab().save(path)) << path.toStdString();
}

TEST_F(SpiScreens, SpiDeviceWindowWithTheZN3920Preset)
{
    frmDCP_SPI1& w = forms().frmDCP_SPI1();
    w.mnuZN3920_Click();
    forms().frmDCP_SPI1.show();
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath("spi-device-window.png");
    ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
}
