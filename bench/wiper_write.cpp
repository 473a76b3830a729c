// Host time of one wiper write with Auto Read in the I2C device window on the simulated
// board, with real sleeps, and how much of it the fixed waits take: the 50 ms before the
// read-back, the 20 ms pauses, and the 1 ms waits of the input drains before each request.
//
//   build/bench/bench/bench_wiper_write [writes] [--smoke]      (QT_QPA_PLATFORM=offscreen)
//
// 20 writes, or 3 with --smoke (the sleeps are real). The run is sound when no message came
// and Auto Read shows the last value written.
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_User1.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "smoke.h"
#include "tally_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool smoke = takeSmokeFlag(argc, argv);
    QApplication app(argc, argv);
    const int writes = argc > 1 ? std::max(1, std::atoi(argv[1])) : smoke ? 3 : 20;

    static TallyServices svc;
    platform::setServices(&svc);
    platform::setTransports({sim::makeEvaluationBoards(1)});

    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    frmDCP_User1& w = forms().frmDCP_User1();
    w.supply->OptVCC[0]->setChecked(true);
    w.ChkAutoRead[0]->setChecked(true);

    svc.byLength.clear();
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < writes; ++i) {
        w.txtHexDataWrt[0]->setText(QString::number(0x10 + i % 0x60, 16).toUpper());
        w.txtHexDataWrt_KeyPress(0, 13);
    }
    svc.report("one wiper write with Auto Read", writes, total.nsecsElapsed() / 1e6);
    std::printf("read back: %s (%s), wiper volts %s\n", qPrintable(w.lblPotRead[0]->text()),
                qPrintable(w.lblPotReadhex[0]->text()), qPrintable(w.lblWiperVolts[0]->text()));
    const bool sound = svc.unexpectedBoxes == 0 && readBackIs(w, 0x10 + (writes - 1) % 0x60);
    forms().destroyAll();
    return sound ? 0 : 1;
}
