// Drives exchanges through the board link on the in-process simulated evaluation board (as
// `dcpeval --simulate` runs it) and prints the resident memory before and after, so a long
// sampling loop or run-in can be checked for growth.
//
//   bench_link_memory [EXCHANGES] [--keep-records] [--smoke]
//
// EXCHANGES defaults to 100000, a third each of firmware queries, I2C reads and SPI frames
// with read-back (--smoke: 300). --keep-records keeps the transcript and SPI frames as the
// tests do, for comparison. The clock is virtual (sleeps and the drain's 1 ms waits advance it
// at once), so the host time is the program's own work, not its waits. The run is sound when
// every exchange is answered and every I2C read acknowledged.
#include "bridge/exchange.h"
#include "link/hid.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/globals.h"
#include "sim/evaluation_board.h"
#include "sim/records.h"
#include "smoke.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <array>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// The desktop's services on a virtual clock.
struct VirtualClock : platform::DesktopServices {
    std::int64_t ms = 0;
    void sleepMs(int n) override { ms += n; }
    std::int64_t monotonicMs() override { return ms; }
};

// Clears the bits `low` and sets the bits `high` of a port, read and written through the
// bridge as the program does; true when the port then reads back so.
bool setPortBits(std::uint8_t port, std::uint8_t low, std::uint8_t high)
{
    const auto get = [port]() -> std::optional<std::uint8_t> {
        if (!bridge::exchange(bridge::kSfrAccess, bridge::kGet, {port}).replied)
            return std::nullopt;
        return g_ReportBuffer[3];
    };
    const std::optional<std::uint8_t> was = get();
    if (!was)
        return false;
    const auto want = static_cast<std::uint8_t>((*was & ~low) | high);
    if (bridge::exchange(bridge::kSfrAccess, bridge::kSet, {port, want}).status != kStatusOk)
        return false;
    return get() == want;
}

// The board as the I2C window's set-up leaves it: a fresh board has the bus switch P1.3 on
// SPI and the address lines high, where the part is at 6E and nothing answers at 50.
bool setUpForI2C()
{
    constexpr std::uint8_t kP0 = 0x80, kP1 = 0x90, kP2 = 0xA0;
    // Address lines A0, A1 (P0.6, P0.7) and A2, A3 (P1.0, P1.1) low, the bus switch P1.3 low
    // (I2C), the shutdown / write-protect line P1.2 high, VCC (P2.5) on.
    return setPortBits(kP0, 0xC0, 0x00) && setPortBits(kP1, 0x0B, 0x04) && setPortBits(kP2, 0x00, 0x20);
}

} // namespace

int main(int argc, char** argv)
{
    const bool smoke = takeSmokeFlag(argc, argv);
    QCoreApplication app(argc, argv);
    long exchanges = smoke ? 300 : 100000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--keep-records"))
            sim::recordsKept() = true;
        else
            exchanges = std::strtol(argv[i], nullptr, 10);
    }
    if (exchanges < 1) {
        std::fprintf(stderr, "usage: bench_link_memory [EXCHANGES] [--keep-records] [--smoke]\n");
        return 2;
    }

    VirtualClock services;
    platform::setServices(&services);
    auto boards = sim::makeEvaluationBoards(1);
    platform::setTransports({boards});
    InitHidConnection();
    if (!setUpForI2C()) {
        std::fprintf(stderr, "bench_link_memory: the board's ports could not be set up for I2C\n");
        return 1;
    }

    const std::array<std::uint8_t, 1> reg{0x00};
    const std::array<std::uint8_t, 3> frame{0x9F, 0x00, 0x00};
    std::array<std::uint8_t, 4> read{};
    const auto once = [&](long n) {
        switch (n % 3) {
        case 0:
            return bridge::exchange(bridge::kFirmwareVersion, 0).replied;
        case 1:
            FlushHidInput();
            return I2CRead(0x50, 4, 1, read, reg) == kStatusOk;
        default:
            bridge::spiTransferBegin();
            return bridge::spiTransferSend(true, 0, 0, frame).replied;
        }
    };
    // A first round so that the allocator and the caches are warm before the first figure.
    for (long n = 0, warm = smoke ? 30 : 3000; n < warm; ++n)
        once(n);

    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    long failed = 0;
    for (long n = 0; n < exchanges; ++n)
        failed += once(n) ? 0 : 1;
    const double seconds = timer.nsecsElapsed() / 1e9;
    const long after = residentKiB();

    std::printf("exchanges          %ld (%ld failed)%s\n", exchanges, failed,
                sim::recordsKept() ? ", records kept" : "");
    std::printf("VmRSS before       %ld KiB\n", before);
    std::printf("VmRSS after        %ld KiB\n", after);
    std::printf("growth             %ld KiB (%.1f bytes per exchange)\n", after - before,
                1024.0 * double(after - before) / double(exchanges));
    std::printf("host time          %.2f s (%.1f us per exchange)\n", seconds, 1e6 * seconds / double(exchanges));
    CloseHidHandles();
    platform::setTransports({});
    platform::setServices(nullptr);
    return failed ? 1 : 0;
}
