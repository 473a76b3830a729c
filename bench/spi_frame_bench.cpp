// Prints the host time of one SPI wiper write frame (terminal 2) and one wiper read frame
// (terminal 3) to a simulated ZN3920, beyond the fixed waits: the sleeps and event pumps run
// on a virtual clock, so what is left is the program's own work and the in-process board.
// The run is sound when no message came and the part holds the last wiper 3 write.
//
//   bench_spi_frame [--smoke]      (2000 frames of each; --smoke: 200)
#include "bridge/frmMainF340.h"
#include "devices/spi_frame_send.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "sim/sim_transport.h"
#include "sim/spi_parts.h"
#include "support/test_services.h"

#include "smoke.h"

#include <QApplication>
#include <QRadioButton>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool smoke = takeSmokeFlag(argc, argv);
    QApplication app(argc, argv);
    TestServices svc;
    platform::setServices(&svc);
    auto sims = std::make_shared<sim::SimTransport>(1);
    platform::setTransports({sims});
    auto part = sim::installZN3920(sims->board(0));
    resetSharedState();
    forms().frmMotherboardDAQ2().OptVCC[0]->setChecked(true);
    // P1.2 high, as the SPI device window's set-up leaves it: writes are not protected.
    sims->board(0).setSfr(sim::sfr::P1, sims->board(0).portLatch(1) | 0x04);

    const spi::SpiWindowTexts window{.deviceId = "50", .sendId = false, .writeBase = "C0", .readBase = "80",
                                     .writeCount = "2", .readCount = "4", .product = ""};
    const int kFrames = smoke ? 200 : 2000;
    const auto perFrameUs = [&](auto&& one) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kFrames; ++i)
            one(i);
        const auto t1 = std::chrono::steady_clock::now();
        return std::chrono::duration<double, std::micro>(t1 - t0).count() / kFrames;
    };
    int lastWiper3 = -1;
    const double write = perFrameUs([&](int i) {
        spi::sendOrRefuse(spi::wiperWrite(window, i % 4, Hex2(std::uint8_t(i))));
        if (i % 4 == 3)
            lastWiper3 = i & 0xFF;
    });
    const double read = perFrameUs([&](int i) { spi::sendOrRefuse(spi::wiperRead(window, i % 4)); });
    std::printf("SPI wiper write frame (terminal 2): %.1f us host time per frame\n", write);
    std::printf("SPI wiper read frame (terminal 3):  %.1f us host time per frame (beyond its 20 ms pause)\n", read);
    std::printf("wiper 3 = %d, message boxes %zu%s%s, P1 %02X P2 %02X\n", part->wcr[3], svc.boxes.size(), svc.boxes.empty() ? "" : ": ",
                svc.boxes.empty() ? "" : qPrintable(svc.boxes[0].text), sims->board(0).portLatch(1), sims->board(0).portLatch(2));
    const bool sound = svc.boxes.empty() && part->wcr[3] == lastWiper3;
    forms().destroyAll();
    platform::setTransports({});
    platform::setServices(nullptr);
    return sound ? 0 : 1;
}
