// Host time of one wiper write in the SPI device window on the simulated board carrying a
// ZN3930, with real sleeps, and how much of it the fixed waits take: the 50 ms before the
// read-back, the 20 ms pauses (terminal 3's included) and the 1 ms waits of the input drains.
// Measured for a write alone and for a write with Auto Read (read-back and wiper voltage).
//
//   build/bench/bench/bench_spi_wiper_write [writes] [--smoke]      (QT_QPA_PLATFORM=offscreen)
//
// 20 writes, or 3 with --smoke (the sleeps are real). The run is sound when no message came
// and Auto Read shows the last value written.
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_SPI1.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "sim/parts.h"
#include "smoke.h"
#include "tally_services.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void measure(TallyServices& svc, frmDCP_SPI1& w, bool autoRead, int writes)
{
    w.ChkAutoRead[0]->setChecked(autoRead);
    svc.byLength.clear();
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < writes; ++i) {
        w.txtHexDataWrt[0]->setText(QString::number(0x10 + i % 0x60, 16).toUpper());
        w.CMDxMIT_Click(0);
    }
    svc.report(autoRead ? "one SPI wiper write with Auto Read" : "one SPI wiper write", writes,
               total.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool smoke = takeSmokeFlag(argc, argv);
    QApplication app(argc, argv);
    const int writes = argc > 1 ? std::max(1, std::atoi(argv[1])) : smoke ? 3 : 20;

    static TallyServices svc;
    platform::setServices(&svc);
    platform::setTransports({sim::makeEvaluationBoards(1, {}, sim::PartChoice{sim::findSimPart("ZN3930")})});

    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
    frmDCP_SPI1& w = forms().frmDCP_SPI1();
    w.mnuZN3930->trigger();
    w.supply->OptVCC[0]->setChecked(true);

    measure(svc, w, false, writes);
    measure(svc, w, true, writes);
    std::printf("read back: %s (%s), wiper volts %s\n", qPrintable(w.lblPotRead[0]->text()),
                qPrintable(w.lblPotReadhex[0]->text()), qPrintable(w.lblWiperVolts[0]->text()));
    const bool sound = svc.unexpectedBoxes == 0 && readBackIs(w, 0x10 + (writes - 1) % 0x60);
    forms().destroyAll();
    return sound ? 0 : 1;
}
