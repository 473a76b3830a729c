// Script engine figures: load time of a 1000-row script (the loader alone, and into the
// window's grid), and host time per row of a run on the simulated board. The board answers
// at once and every wait runs on the virtual clock, so what is measured is the program's own
// work per row: the link's waits are not in it.
#include "bridge/frmMainF340.h"
#include "link/hid.h"
#include "platform/transport.h"
#include "scripts/frmScriptOps.h"
#include "scripts/script_file.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/i2c_devices.h"
#include "sim/sim_transport.h"
#include "support/test_services.h"

#include "smoke.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QStringList thousandRows()
{
    QStringList s;
    s << "# 1000 rows: a wiper sweep written and read back";
    for (int i = 1; s.size() < 1000; ++i) {
        const int v = i % 128;
        s << QString("00,%1,").arg(v, 2, 16, QChar('0')).toUpper();
        if (s.size() < 1000)
            s << QString("00,,%1   # read back").arg(v, 2, 16, QChar('0')).toUpper();
    }
    return s;
}

double msOf(QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool smoke = takeSmokeFlag(argc, argv);
    QApplication app(argc, argv);
    TestServices svc;
    platform::setServices(&svc);
    QTemporaryDir dir;
    svc.programDirectory = dir.path();
    auto sims = std::make_shared<sim::SimTransport>(1);
    sims->board(0).attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    platform::setTransports({sims});
    g_I2CFamily = true;

    const QStringList lines = thousandRows();
    const QString path = dir.filePath("bench.txt");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(lines.join("\r\n").toLatin1() + "\r\n");
    }

    const int kLoads = smoke ? 1 : 20;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kLoads; ++i) {
        const script::ScriptLoad l = script::loadScript(lines, script::Family{true, false}, 0x50);
        if (l.rows.size() != 1000)
            return 1;
    }
    const double loaderMs = msOf(t) / kLoads;

    forms().frmMainF340();
    frmScriptOps& w = forms().frmScriptOps();
    svc.openPaths.push_back(path);
    t.restart();
    w.mnuScript_Read_Click();
    const double windowLoadMs = msOf(t);
    if (w.executor().rowCount() != 1000)
        return 1;

    t.restart();
    w.cmdExecAll_Click();
    const double runMs = msOf(t);
    const int rows = w.executor().rowCount();
    std::printf("script load (loader alone): %.3f ms for %d rows\n", loaderMs, rows);
    std::printf("script load (file into the window's grid): %.3f ms\n", windowLoadMs);
    std::printf("run on the simulated board: %.1f ms for %d rows = %.1f us per row (passes %d, fails %d, "
                "virtual time %lld ms)\n",
                runMs, rows, runMs * 1000.0 / rows, w.executor().passes, w.executor().fails,
                static_cast<long long>(svc.monoMs));

    forms().destroyAll();
    CloseHidHandles();
    platform::setTransports({});
    platform::setServices(nullptr);
    return 0;
}
