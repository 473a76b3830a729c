// dcpeval-sim: serves one simulated evaluation board on a local socket, so that the program
// (`dcpeval --board unix:PATH`) can meet a board that is unplugged (kill this process) and
// plugged back (start it again) while it runs.
#include "sim/evaluation_board.h"
#include "sim/fault_option.h"
#include "sim/socket_server.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) { g_stop = 1; }

int usage(int rc)
{
    std::fprintf(rc ? stderr : stdout,
                 "usage: dcpeval-sim --listen PATH [options]\n"
                 "  --listen PATH              serve the board on the AF_UNIX SOCK_SEQPACKET socket PATH\n"
                 "  --firmware MAJ.MIN         firmware version the board reports (default 2.5)\n"
                 "  --supply-offset VOLTS      VCC supply offset error, as 0.1 or -0.05 (default 0)\n"
                 "  --supply-gain-error PCT    VCC supply gain error in percent, as 2 or -1.5 (default 0)\n"
                 "  --noise MILLIVOLTS         peak noise on the VCC/2 and wiper inputs (default 0)\n"
                 "  --noise-seed N             seed of that noise (default 1)\n"
                 "  --fault KIND:N[:M[:MS]]    from the N-th request the board receives (the first is 1),\n"
                 "                             play fault KIND on M requests (default 1); repeatable.\n"
                 "                             KIND: no-reply (taken, never answered), late-reply (answered\n"
                 "                             MS ms late, default 7000), fail-write (the report is\n"
                 "                             refused; over the socket it goes unanswered),\n"
                 "                             nak (M I2C transfers not acknowledged), garbage (random bytes)\n"
                 "  --slow MS                  answer every request MS ms late, in order (a busy bridge)\n"
                 "  --verbose                  print every report both ways on stderr\n"
                 "  --part NAME[:OPT=V,...]    the part on the daughter board (default ZN3710) with its settings;\n"
                 "                             --part list names the parts and their settings\n");
    return rc;
}

bool parseFirmware(const char* text, sim::FirmwareVersion& fw)
{
    unsigned major = 0, minor = 0;
    char tail = 0;
    if (std::sscanf(text, "%u.%u%c", &major, &minor, &tail) != 2 || major > 255 || minor > 255)
        return false;
    fw.major = static_cast<std::uint8_t>(major);
    fw.minor = static_cast<std::uint8_t>(minor);
    return true;
}

// A whole number or a decimal with nothing after it.
bool parseNumber(const char* text, double& out)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string path;
    bool verbose = false;
    sim::SimBoard board;
    sim::AnalogConfig analog;
    sim::PartChoice part;
    const auto number = [&](int& i, const char* option, double& out) {
        if (!parseNumber(argv[++i], out)) {
            std::fprintf(stderr, "dcpeval-sim: %s wants a number, not %s\n", option, argv[i]);
            return false;
        }
        return true;
    };
    // A whole number from 0 to `most`; `wants` says what, in the refusal.
    const auto whole = [&](int& i, const char* option, double most, const char* wants, double& out) {
        if (!number(i, option, out))
            return false;
        if (out < 0 || out > most || out != std::floor(out)) {
            std::fprintf(stderr, "dcpeval-sim: %s wants %s from 0 to %.0f\n", option, wants, most);
            return false;
        }
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        double v = 0;
        if (!std::strcmp(a, "--listen") && i + 1 < argc) {
            path = argv[++i];
        } else if (!std::strcmp(a, "--firmware") && i + 1 < argc) {
            if (!parseFirmware(argv[++i], board.firmware)) {
                std::fprintf(stderr, "dcpeval-sim: --firmware wants MAJ.MIN, as 2.5\n");
                return 2;
            }
        } else if (!std::strcmp(a, "--supply-offset") && i + 1 < argc) {
            if (!number(i, a, analog.supplyOffsetVolts))
                return 2;
        } else if (!std::strcmp(a, "--supply-gain-error") && i + 1 < argc) {
            if (!number(i, a, v))
                return 2;
            analog.supplyGainError = v / 100;
        } else if (!std::strcmp(a, "--noise") && i + 1 < argc) {
            if (!number(i, a, v))
                return 2;
            if (v < 0) {
                std::fprintf(stderr, "dcpeval-sim: --noise wants millivolts of 0 or more\n");
                return 2;
            }
            analog.noiseVolts = v / 1000;
        } else if (!std::strcmp(a, "--noise-seed") && i + 1 < argc) {
            if (!whole(i, a, 4294967295.0, "a whole number", v))
                return 2;
            analog.noiseSeed = static_cast<std::uint32_t>(v);
        } else if (!std::strcmp(a, "--part") && i + 1 < argc) {
            const std::string name = argv[++i];
            if (name == "list") {
                std::fputs(sim::simPartList().c_str(), stdout);
                return 0;
            }
            std::string error;
            const auto choice = sim::parsePartChoice(name, &error);
            if (!choice) {
                std::fprintf(stderr, "dcpeval-sim: --part %s: %s\n", name.c_str(), error.c_str());
                return 2;
            }
            part = *choice;
        } else if (!std::strcmp(a, "--fault") && i + 1 < argc) {
            QString error;
            const auto fault = sim::parseFaultOption(QString::fromLocal8Bit(argv[++i]), &error);
            if (!fault) {
                std::fprintf(stderr, "dcpeval-sim: %s\n", error.toLocal8Bit().constData());
                return 2;
            }
            board.scheduleFault(*fault);
        } else if (!std::strcmp(a, "--slow") && i + 1 < argc) {
            if (!whole(i, a, 60000, "whole milliseconds", v))
                return 2;
            board.replyDelayMs = static_cast<int>(v);
        } else if (!std::strcmp(a, "--verbose")) {
            verbose = true;
        } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            return usage(0);
        } else {
            std::fprintf(stderr, "dcpeval-sim: unknown argument %s\n", a);
            return usage(2);
        }
    }
    if (path.empty())
        return usage(2);
    sim::setUpEvaluationBoard(board, analog, part);

    // SIGTERM and SIGINT are blocked except while the server waits, so a stop request is
    // seen at once and never lost between two waits.
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    sim::SocketServer server(board, QString::fromStdString(path), verbose);
    QString error;
    if (!server.listen(&error)) {
        std::fprintf(stderr, "dcpeval-sim: cannot listen on %s: %s\n", path.c_str(), error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("dcpeval-sim: board (firmware %u.%u) on %s\n", board.firmware.major, board.firmware.minor, path.c_str());
    std::fflush(stdout);
    server.run(&g_stop, &waitMask);
    return 0; // the server's destructor closes the sockets and removes the socket file
}
