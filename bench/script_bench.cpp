// Script engine figures: load time of a 1000-row script (the loader alone, and into the
// window's grid), and the host's work per row of a run on the simulated board, as a user
// runs it (the window shown, events running at every point the run lets them) and with the
// window hidden, then "Loop Cont" over a 4-row script with the window shown.
//
//   bench_scripts [--smoke]
//
// The board answers each request 1 ms after it (one full-speed USB frame) and every wait runs
// on the virtual clock, so the wall time of a run is the program's own work: the bus and the
// fixed waits are not in it. Beside each figure: how often the grid was painted per 1000 rows.
// The platform is QT_QPA_PLATFORM's (offscreen when unset); run under `xvfb-run -a` with
// QT_QPA_PLATFORM=xcb for the figure on X. --smoke is a short run; the exit code says whether
// the runs were sound (every read passed, and a shown run painted before its end).
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
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>

#include <climits>
#include <cstdio>

namespace {

// A wiper sweep written and read back: every second row a compared read.
QStringList sweepRows(int rows)
{
    QStringList s;
    s << QString("# %1 rows: a wiper sweep written and read back").arg(rows);
    for (int i = 1; s.size() < rows; ++i) {
        const int v = i % 128;
        s << QString("00,%1,").arg(v, 2, 16, QChar('0')).toUpper();
        if (s.size() < rows)
            s << QString("00,,%1   # read back").arg(v, 2, 16, QChar('0')).toUpper();
    }
    return s;
}

double msOf(QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// Counts the grid's paints, and the window's (any of its widgets) that came while rows were
// still to run: a loop over a few rows that read back what they wrote may leave the grid as it
// was, but its pass counter changes.
struct PaintCounter : QObject {
    frmScriptOps* w = nullptr;
    int lastRow = 0;
    int paints = 0, gridBeforeEnd = 0, windowBeforeEnd = 0;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::Paint || !o->isWidgetType() || static_cast<QWidget*>(o)->window() != w)
            return false;
        const bool grid = o == w->vbalGrid1->viewport();
        paints += grid;
        if (w->executor().running() && w->executor().currentRow < lastRow) {
            gridBeforeEnd += grid;
            ++windowBeforeEnd;
        }
        return false;
    }
};

struct Figure {
    double usPerRow = 0;
    double paintsPer1000 = 0;
    bool sound = false;
};

} // namespace

int main(int argc, char** argv)
{
    const bool smoke = takeSmokeFlag(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestServices svc;
    platform::setServices(&svc);
    QTemporaryDir dir;
    svc.programDirectory = dir.path();
    // The virtual clock in local time would look the time zone up at every virtual wait: the
    // clock's cost, not the program's.
    svc.clock = QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0), Qt::UTC);
    auto sims = std::make_shared<sim::SimTransport>(1);
    sims->board(0).attachI2C(0x28, std::make_shared<sim::RegisterBankDevice>());
    sims->board(0).delayNextReplies(INT_MAX, 1);
    platform::setTransports({sims});
    g_I2CFamily = true;

    const int rowsPerRun = smoke ? 200 : 1000;
    const QStringList lines = sweepRows(rowsPerRun);
    auto writeFile = [&](const QString& name, const QStringList& content) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content.join("\r\n").toLatin1() + "\r\n");
        return path;
    };
    const QString sweep = writeFile("sweep.txt", lines);
    const QString four = writeFile("four.txt", {"00,3F,", "00,,3F", "00,00,", "00,,00"});

    const int loads = smoke ? 1 : 20;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < loads; ++i) {
        const script::ScriptLoad l = script::loadScript(lines, script::Family{true, false}, 0x50);
        if (static_cast<int>(l.rows.size()) != rowsPerRun)
            return 1;
    }
    const double loaderMs = msOf(t) / loads;

    forms().frmMainF340();
    double windowLoadMs = 0;

    // One run in a fresh window: shown or hidden, "Run All Steps" or "Loop Cont" until as many
    // rows as the sweep has were run. Events run at every pump, as on the desktop.
    auto measure = [&](bool shown, bool loop) {
        Figure fig;
        frmScriptOps& w = forms().frmScriptOps();
        if (shown) {
            forms().frmScriptOps.show();
            w.resize(1000, 700);
        }
        svc.openPaths.push_back(loop ? four : sweep);
        t.restart();
        w.mnuScript_Read_Click();
        if (!loop)
            windowLoadMs = msOf(t);
        QApplication::processEvents();
        PaintCounter counter;
        counter.w = &w;
        counter.lastRow = w.executor().rowCount();
        app.installEventFilter(&counter);
        const int passesWanted = rowsPerRun / 4;
        svc.onPump = [&](int) {
            QApplication::processEvents();
            if (loop && w.executor().loopCount == passesWanted - 1 && w.executor().currentRow == 4 &&
                w.executor().txtRunning == "3" && !g_AbortRequest)
                w.cmdAbort_Click(); // in the last row of the last pass
        };
        const std::int64_t virtualStart = svc.monoMs;
        t.restart();
        if (loop)
            w.cmdRunContinuous_Click();
        else
            w.cmdExecAll_Click();
        const double ms = msOf(t);
        svc.onPump = nullptr;
        const int rows = loop ? w.executor().loopCount * 4 : w.executor().rowCount();
        fig.usPerRow = ms * 1000.0 / rows;
        fig.paintsPer1000 = 1000.0 * counter.paints / rows;
        // Each pass of a loop starts its counts again: the last pass's are what remains.
        const int passesSeen = w.executor().script().readCount;
        fig.sound = w.executor().fails == 0 && w.executor().passes == passesSeen && svc.unexpectedBoxes == 0 &&
                    (!shown || (loop ? counter.windowBeforeEnd : counter.gridBeforeEnd) > 0) && (!loop || w.executor().loopCount == passesWanted);
        std::printf("  %-34s %7.1f us per row, %6.1f grid paints per 1000 rows (%d rows, %lld ms virtual)%s\n",
                    loop ? "Loop Cont, 4-row script, shown:" : shown ? "Run All Steps, window shown:"
                                                                     : "Run All Steps, window hidden:",
            fig.usPerRow, fig.paintsPer1000, rows, static_cast<long long>(svc.monoMs - virtualStart),
                    fig.sound ? "" : "  NOT SOUND");
        app.removeEventFilter(&counter);
        forms().frmScriptOps.unload();
        QApplication::processEvents();
        return fig;
    };

    std::printf("script load (loader alone): %.3f ms for %d rows\n", loaderMs, rowsPerRun);
    std::printf("host work per row on the simulated board, replies 1 ms after their request, platform %s:\n",
                qPrintable(QGuiApplication::platformName()));
    const Figure hidden = measure(false, false);
    const Figure shown = measure(true, false);
    const Figure loop = measure(true, true);
    std::printf("script load (file into the window's grid): %.3f ms\n", windowLoadMs);

    forms().destroyAll();
    CloseHidHandles();
    platform::setTransports({});
    platform::setServices(nullptr);
    return hidden.sound && shown.sound && loop.sound ? 0 : 1;
}
