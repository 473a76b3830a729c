// The SPI device window after a part picked from the example table, rendered offscreen for
// review: build/test/screens/*.png.
#include "devices/FrmK6623.h"
#include "devices/frmDCP_SPI1.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "support/board_fixture.h"
#include "support/parameter_pick.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
        answerParameterTable(svc, file, row);
        w.mnu_SPI_List->trigger();
        svc.onPump = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QString path = QDir(DCPEVAL_SCREENS_DIR).filePath(QString(name) + ".png");
        ASSERT_TRUE(w.grab().save(path)) << path.toStdString();
        if (row == 3) {
            const QString console = QDir(DCPEVAL_SCREENS_DIR).filePath("spi-k6623-console-after-pick.png");
            ASSERT_TRUE(forms().FrmK6623().grab().save(console)) << console.toStdString();
        }
    }
}
