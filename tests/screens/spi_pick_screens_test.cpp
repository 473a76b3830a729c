// The SPI device window after a part picked from the example table, rendered offscreen for
// review: build/test/screens/*.png.
#include "devices/FrmK6623.h"
#include "devices/frmDCP_SPI1.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "support/board_fixture.h"
#include "support/parameter_pick.h"
#include "support/screens.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

class SpiPickScreens : public BoardFixture {};

TEST_F(SpiPickScreens, SpiDeviceWindowAfterEachSpecialPick)
{
    sim::setUpEvaluationBoard(board());
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
    frmDCP_SPI1& w = forms().frmDCP_SPI1();
    const QString file = QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/spi_parameters.csv");
    QDir().mkpath(DCPEVAL_SCREENS_DIR);
    for (const auto& [row, name] : {std::pair{3, "spi-device-k6623"}, std::pair{4, "spi-device-k4731"}}) {
        SCOPED_TRACE(name);
        answerParameterTable(svc, file, row);
        w.mnu_SPI_List->trigger();
        svc.onPump = nullptr;
        saveScreen(w, name);
        if (row == 3) {
            saveScreen(forms().FrmK6623(), "spi-k6623-console-after-pick");
            w.OptChans[2]->click(); // the 10-bit part's one channel, and the other three by hand
            layOutPending(w);
        }
        expectTextsWhole(w);
        // Channel 0's captions are instruction bytes, the others channel numbers: every
        // channel's frames still line up.
        for (int k = 1; k < 4; ++k) {
            EXPECT_EQ(w.Slider1[size_t(k)]->mapTo(&w, QPoint()).x(), w.Slider1[0]->mapTo(&w, QPoint()).x()) << k;
            EXPECT_EQ(w.cmdI2Read[size_t(k)]->mapTo(&w, QPoint()).x(), w.cmdI2Read[0]->mapTo(&w, QPoint()).x()) << k;
        }
    }
}
