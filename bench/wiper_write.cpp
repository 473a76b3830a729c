// Host time of one wiper write with Auto Read in the I2C device window on the simulated
// board, with real sleeps, and how much of it the fixed waits take: the 50 ms before the
// read-back, the 20 ms pauses, and the 1 ms waits of the input drains before each request.
//
//   build/bench/bench/bench_wiper_write [writes]      (QT_QPA_PLATFORM=offscreen)
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_User1.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <map>

namespace {

// Real sleeps, each one tallied by its length.
class TallyServices : public platform::DesktopServices {
public:
    void sleepMs(int ms) override
    {
        QElapsedTimer t;
        t.start();
        DesktopServices::sleepMs(ms);
        const double took = t.nsecsElapsed() / 1e6;
        auto& s = byLength[ms];
        ++s.count;
        s.ms += took;
    }
    int msgBox(const QString& text, int, const QString&) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return platform::vbOK;
    }
    struct Tally {
        int count = 0;
        double ms = 0;
    };
    std::map<int, Tally> byLength;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int writes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

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
    const double perWrite = total.nsecsElapsed() / 1e6 / writes;

    double slept = 0;
    std::printf("one wiper write with Auto Read, mean of %d: %.2f ms host time\n", writes, perWrite);
    for (const auto& [len, t] : svc.byLength) {
        std::printf("  sleeps of %3d ms: %5.1f per write, %7.2f ms per write%s\n", len, double(t.count) / writes,
                    t.ms / writes, len == 1 ? "  (input drains)" : "");
        slept += t.ms;
    }
    std::printf("  fixed waits in all: %.2f ms per write (%.0f %%); the rest: %.2f ms\n", slept / writes,
                100 * slept / writes / perWrite, perWrite - slept / writes);
    forms().destroyAll();
    return 0;
}
