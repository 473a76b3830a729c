#include "sim/pushbutton_part.h"

#include "platform/services.h"
#include "sim/pin_part.h"

#include <algorithm>

namespace sim {

namespace {
constexpr std::uint8_t kMute = 0x04;  // P0.2
constexpr std::uint8_t kStore = 0x80; // P0.7
constexpr std::uint8_t kUp = 0x02;    // P1.1
constexpr std::uint8_t kDown = 0x04;  // P1.2
constexpr std::uint8_t kVcc = 0x20;   // P2.5
} // namespace

PushButtonPart::PushButtonPart(SimBoard& board, AnalogBoard& analog, const PushButtonConfig& cfg)
    : config(cfg), board_(board), analog_(analog)
{
    config.positions = std::max(config.positions, 2);
    config.startPosition = std::clamp(config.startPosition, 0, config.positions - 1);
    config.repeatEveryMs = std::max(config.repeatEveryMs, 1);
    wiper_ = stored = config.startPosition;
}

void PushButtonPart::move(int step) { wiper_ = std::clamp(wiper_ + step, 0, config.positions - 1); }

void PushButtonPart::catchUpRepeats()
{
    if (heldStep_ == 0 || shutdown_ || !powered())
        return;
    const std::int64_t held = platform::services().monotonicMs() - heldSinceMs_;
    const int due = held < config.repeatStartMs ? 0 : int((held - config.repeatStartMs) / config.repeatEveryMs) + 1;
    for (; repeatsDone_ < due; ++repeatsDone_)
        move(heldStep_);
}

int PushButtonPart::wiper()
{
    catchUpRepeats();
    return wiper_;
}

double PushButtonPart::wiperVolts()
{
    if (!powered() || shutdown_)
        return 0.0;
    if (config.muteSilencesWiper && !(board_.portPins(0) & kMute))
        return 0.0;
    return analog_.vcc() * wiper() / (config.positions - 1);
}

void PushButtonPart::pinsChanged(int port, std::uint8_t before, std::uint8_t after)
{
    catchUpRepeats(); // what a held button earned before this change
    if (port == 2) {
        if ((before ^ after) & kVcc && (after & kVcc)) {
            // Power-on: the part starts from the button levels it finds, whatever they did
            // while it was unpowered.
            wiper_ = stored;
            heldStep_ = 0;
            const std::uint8_t buttons = board_.portPins(1);
            shutdown_ = !(buttons & kUp) && !(buttons & kDown);
        }
        return;
    }
    if (!powered())
        return;
    if (port == 0 && !(before & kStore) && (after & kStore)) {
        stored = wiper_;
        ++storeCycles;
        return;
    }
    if (port != 1 || !((before ^ after) & (kUp | kDown)))
        return;
    const bool up = after & kUp, down = after & kDown;
    if (!up && !down) {
        shutdown_ = true;
        heldStep_ = 0;
        return;
    }
    if (up && down) {
        shutdown_ = false;
        heldStep_ = 0;
        return;
    }
    if (shutdown_)
        return; // one button released out of shutdown: no press
    const int step = !up ? 1 : -1;
    const bool pressed = !up ? (before & kUp) : (before & kDown);
    if (pressed) {
        move(step);
        heldStep_ = step;
        heldSinceMs_ = platform::services().monotonicMs();
        repeatsDone_ = 0;
    }
}

std::shared_ptr<PushButtonPart> installPushButtonPart(SimBoard& board, const PushButtonConfig& config)
{
    auto part = installPinPart<PushButtonPart>(board, config);
    analogBoard(board)->wiperVolts = [part](int channel) { return channel == 0 ? part->wiperVolts() : 0.0; };
    return part;
}

} // namespace sim
