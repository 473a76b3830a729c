// The run-in window running a long test on the simulated up/down part, offscreen, with the
// program's own event pump. Sleeps and reply waits run on a virtual clock, so the wall time
// measured is the host's work alone: the report building, the link, the simulated board and
// the window's displays. Prints the time per move and the resident memory before and after.
//
//   bench_runin [moves] [progress interval] [--smoke]      (defaults 100000 and 500; --smoke: 300 and 100)
//
// A progress interval of 32767 leaves the log almost empty, so what the memory does apart
// from the log's growth shows on its own. The simulated part is sound, so the run is sound when
// it completes with its checks all passed and no message.
#include "bridge/frmMainF340.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/sim_transport.h"
#include "sim/updown_part.h"
#include "updown/UPDN_Runin.h"

#include "smoke.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

// The desktop, but with time that passes only when the program waits.
class BenchServices : public platform::DesktopServices {
public:
    sim::SimBoard* board = nullptr;
    std::int64_t virtualMs = 0;
    long pumps = 0;
    std::function<void()> onPump;

    void sleepMs(int ms) override { virtualMs += ms > 0 ? ms : 0; }
    std::int64_t monotonicMs() override { return virtualMs; }
    void pumpEvents() override
    {
        DesktopServices::pumpEvents();
        // A board that keeps a transcript would grow by every report; the program's own
        // boards keep none, so neither does this one.
        if (++pumps % 1024 == 0 && board)
            board->transcript.clear();
        if (onPump)
            onPump();
    }
    int msgBox(const QString& text, int, const QString&) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(2);
    }
};

long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool smoke = takeSmokeFlag(argc, argv);
    QApplication app(argc, argv);
    const int moves = argc > 1 ? std::atoi(argv[1]) : smoke ? 300 : 100000;
    const QString every = argc > 2 ? QString::fromLocal8Bit(argv[2]) : smoke ? QStringLiteral("100") : QStringLiteral("500");

    BenchServices svc;
    platform::setServices(&svc);
    auto sims = std::make_shared<sim::SimTransport>(1);
    svc.board = &sims->board(0);
    auto part = sim::installUpDownPart(sims->board(0));
    platform::setTransports({sims});
    forms().frmMainF340();
    forms().frmMotherboardDAQ2().OptVCC[0]->setChecked(true);
    if (!qEnvironmentVariableIsSet("BENCH_HIDDEN"))
        forms().UPDN_Runin.show();
    UPDN_Runin& w = forms().UPDN_Runin();

    // A short run first, so that every path has allocated what it keeps.
    w.txtTestQty->setText(smoke ? QStringLiteral("200") : QStringLiteral("2000"));
    w.txtLogSteps->setText(QStringLiteral("500"));
    w.cmdRunInitial->click();
    const long rssBefore = residentKiB();

    w.txtTestQty->setText(QString::number(moves));
    w.txtLogSteps->setText(every);
    // Resident memory at every quarter of the run: flat, apart from the log's own growth.
    int nextQuarter = 1;
    svc.onPump = [&] {
        if (nextQuarter < 4 && w.run().moves >= std::int64_t(moves) / 4 * nextQuarter) {
            std::printf("  after %lld moves: %ld KiB\n", static_cast<long long>(w.run().moves), residentKiB());
            ++nextQuarter;
        }
    };
    const std::int64_t waitedBefore = svc.virtualMs;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer t;
    t.start();
    w.cmdRunInitial->click();
    const double wallUs = double(t.nsecsElapsed()) / 1000.0;
    const double cpuUs = (cpuSeconds() - cpuBefore) * 1e6;
    const long rssAfter = residentKiB();

    std::printf("run-in: %lld moves, %lld fails, log %lld characters\n", static_cast<long long>(w.run().moves),
                static_cast<long long>(w.run().fails), static_cast<long long>(w.logText().size()));
    std::printf("host time per move: %.1f us wall, %.1f us CPU (waits of %.1f ms per move not counted)\n",
                wallUs / double(w.run().moves), cpuUs / double(w.run().moves),
                double(svc.virtualMs - waitedBefore) / double(w.run().moves));
    std::printf("resident memory: %ld KiB before, %ld KiB after (%+ld KiB)\n", rssBefore, rssAfter,
                rssAfter - rssBefore);
    std::printf("simulated part: wiper %d, %d store cycles\n", part->chips[0].wiper, part->chips[0].storeCycles);
    // The run ends at the first progress line at or past its quantity.
    const bool sound = w.run().completed() && w.run().moves >= moves && w.run().checks > 0 && w.run().fails == 0;
    forms().destroyAll();
    platform::setTransports({});
    platform::setServices(nullptr);
    return sound ? 0 : 1;
}
