#include "sim/updown_part.h"

#include "sim/pin_part.h"

#include <algorithm>

namespace sim {

namespace {
constexpr std::uint8_t kCsBit[2] = {0x40, 0x80}; // P0.6, P0.7
constexpr std::uint8_t kInc = 0x02;              // P1.1
constexpr std::uint8_t kUp = 0x04;               // P1.2
constexpr std::uint8_t kVcc = 0x20;              // P2.5
} // namespace

UpDownPart::UpDownPart(SimBoard& board, AnalogBoard& analog, const UpDownConfig& cfg)
    : config(cfg), board_(board), analog_(analog), noise_(cfg.noiseSeed)
{
    config.positions = std::max(config.positions, 2);
    config.startPosition = std::clamp(config.startPosition, 0, config.positions - 1);
    for (Chip& c : chips)
        c.wiper = c.stored = config.startPosition;
}

double UpDownPart::wiperVolts(int chip)
{
    if (!powered())
        return 0.0;
    const Chip& c = chips.at(static_cast<size_t>(chip));
    const int position = config.stuckAt >= 0 ? std::min(config.stuckAt, config.positions - 1) : c.wiper;
    double v = analog_.vcc() * position / (config.positions - 1);
    if (config.noiseVolts > 0)
        v += std::uniform_real_distribution<double>(-config.noiseVolts, config.noiseVolts)(noise_);
    return v;
}

void UpDownPart::csRose(Chip& c, bool incHigh)
{
    if (!incHigh)
        return; // standby, nothing stored
    ++c.storeCycles;
    if (config.storeFailsAfter >= 0 && c.storeCycles > config.storeFailsAfter)
        c.wiper = c.stored; // the worn memory keeps its old value and the wiper reloads it
    else
        c.stored = c.wiper;
}

void UpDownPart::pinsChanged(int port, std::uint8_t before, std::uint8_t after)
{
    if (port == 2) {
        if ((before ^ after) & kVcc && (after & kVcc))
            for (Chip& c : chips)
                c.wiper = c.stored; // power-up recall
        return;
    }
    if (!powered())
        return;
    if (port == 0) {
        const bool incHigh = board_.portPins(1) & kInc;
        for (int i = 0; i < 2; ++i)
            if ((before & kCsBit[i]) == 0 && (after & kCsBit[i]))
                csRose(chips[static_cast<size_t>(i)], incHigh);
    } else if (port == 1 && (before & kInc) && !(after & kInc)) {
        // U/D of the same write already counts: it is applied before /INC.
        const int step = (after & kUp) ? 1 : -1;
        const std::uint8_t p0 = board_.portPins(0);
        for (int i = 0; i < 2; ++i) {
            if (p0 & kCsBit[i])
                continue;
            Chip& c = chips[static_cast<size_t>(i)];
            c.wiper = std::clamp(c.wiper + step, 0, config.positions - 1);
            ++c.steps;
        }
    }
}

std::shared_ptr<UpDownPart> installUpDownPart(SimBoard& board, const UpDownConfig& config)
{
    auto part = installPinPart<UpDownPart>(board, config);
    analogBoard(board)->wiperVolts = [part](int channel) { return channel < 2 ? part->wiperVolts(channel) : 0.0; };
    return part;
}

} // namespace sim
