// dcpeval-sim: serves one simulated evaluation board on a local socket, so that the program
// (`dcpeval --board unix:PATH`) can meet a board that is unplugged (kill this process) and
// plugged back (start it again) while it runs.
#include "sim/sim_board.h"
#include "sim/socket_server.h"

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
                 "usage: dcpeval-sim --listen PATH [--firmware MAJ.MIN] [--verbose]\n"
                 "  --listen PATH       serve the board on the AF_UNIX SOCK_SEQPACKET socket PATH\n"
                 "  --firmware MAJ.MIN  firmware version the board reports (default 2.5)\n"
                 "  --verbose           print every report both ways on stderr\n");
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

} // namespace

int main(int argc, char** argv)
{
    std::string path;
    bool verbose = false;
    sim::SimBoard board;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--listen") && i + 1 < argc) {
            path = argv[++i];
        } else if (!std::strcmp(a, "--firmware") && i + 1 < argc) {
            if (!parseFirmware(argv[++i], board.firmware)) {
                std::fprintf(stderr, "dcpeval-sim: --firmware wants MAJ.MIN, as 2.5\n");
                return 2;
            }
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
