// What collecting the answers owed to sets costs a query, on the real clock: on the simulated
// board in process and on dcpeval-sim over its socket, each answering at once and 3 ms late.
//
// Each round writes one set (an SFR write, whose answer nobody reads) and then a firmware
// query, whose drain collects the set's answer before the query goes out. The same query is
// timed once with that answer owed and once with nothing owed (the answer let arrive and
// drained beforehand); the difference is what the collection costs.
//
//   build/bench/bench/bench_collection [ROUNDS] [--smoke]
//
// ROUNDS defaults to 300 per board and case; --smoke runs 40 and exits 0 only when every
// query got its own reply and nothing was left owed.
#include "bridge/exchange.h"
#include "link/hid.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/globals.h"
#include "sim/evaluation_board.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The desktop's services, real sleeps included, with no dialog that could wait for a user.
struct Quiet : platform::DesktopServices {
    int boxes = 0;
    int msgBox(const QString& text, int, const QString&) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        ++boxes;
        return platform::vbCancel;
    }
};

struct Figures {
    double owedUs = 0, noneUs = 0; // mean host time of the query
    int wrong = 0;                 // queries that did not get their own reply
};

bool ownReply(const bridge::ExchangeResult& r)
{
    return r.replied && g_ReportBuffer[1] == 0 && g_ReportBuffer[2] == 2 && g_ReportBuffer[3] == 5;
}

// `rounds` rounds on the selected board, slowMs being how late it answers.
Figures measure(int rounds, int slowMs)
{
    Figures f;
    QElapsedTimer t;
    double owed = 0, none = 0;
    for (int i = 0; i < rounds; ++i) {
        bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xE3, 0x40}); // XBR2, as the board has it
        t.start();
        f.wrong += ownReply(bridge::exchange(bridge::kFirmwareVersion, 0)) ? 0 : 1;
        owed += double(t.nsecsElapsed());

        bridge::exchange(bridge::kSfrAccess, bridge::kSet, {0xE3, 0x40});
        QThread::msleep(static_cast<unsigned long>(slowMs + 5)); // its answer has come
        FlushHidInput();
        t.start();
        f.wrong += ownReply(bridge::exchange(bridge::kFirmwareVersion, 0)) ? 0 : 1;
        none += double(t.nsecsElapsed());
    }
    f.wrong += OwedAnswers() != 0 ? 1 : 0;
    f.owedUs = owed / rounds / 1000;
    f.noneUs = none / rounds / 1000;
    return f;
}

void print(const char* board, int slowMs, const Figures& f)
{
    std::printf("%-22s %2d ms late: query %8.1f us with a set's answer owed, %8.1f us with none;"
                " collection %+8.1f us per exchange%s\n",
                board, slowMs, f.owedUs, f.noneUs, f.owedUs - f.noneUs, f.wrong ? "  (WRONG REPLIES)" : "");
}

// dcpeval-sim on a socket in `dir`, answering slowMs late; false when it does not come up.
bool serve(QProcess& server, const QString& path, int slowMs)
{
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(DCPEVAL_SIM_BINARY, {"--listen", path, "--slow", QString::number(slowMs)});
    if (!server.waitForStarted(5000))
        return false;
    auto probe = platform::makeSocketTransport(path);
    for (int waited = 0; waited < 10000; waited += 20) {
        if (!probe->enumerate(0, 0x2034).empty())
            return true;
        QThread::msleep(20);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int rounds = 300;
    bool smoke = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--smoke"))
            smoke = true;
        else
            rounds = std::atoi(argv[i]);
    }
    if (smoke)
        rounds = 40;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: bench_collection [ROUNDS] [--smoke]\n");
        return 2;
    }

    Quiet services;
    platform::setServices(&services);
    bool sound = true;
    const auto run = [&](const char* board, int slowMs, const std::function<bool()>& attach) {
        if (!attach()) {
            std::fprintf(stderr, "%s: no board\n", board);
            sound = false;
            return;
        }
        InitHidConnection();
        const Figures f = measure(rounds, slowMs);
        print(board, slowMs, f);
        sound = sound && f.wrong == 0 && services.boxes == 0;
        CloseHidHandles();
        platform::setTransports({});
    };

    std::printf("%d rounds per board, real clock\n", rounds);
    for (int slowMs : {0, 3}) {
        run("in process", slowMs, [slowMs] {
            auto boards = sim::makeEvaluationBoards(1);
            boards->board(0).replyDelayMs = slowMs;
            platform::setTransports({boards});
            return true;
        });
    }
    QTemporaryDir dir;
    for (int slowMs : {0, 3}) {
        const QString path = QDir(dir.path()).filePath(QString("board%1").arg(slowMs));
        QProcess server;
        run("dcpeval-sim (socket)", slowMs, [&] {
            if (!serve(server, path, slowMs))
                return false;
            platform::setTransports({platform::makeSocketTransport(path)});
            return true;
        });
        server.terminate();
        server.waitForFinished(5000);
    }
    platform::setServices(nullptr);
    return sound ? 0 : 1;
}
