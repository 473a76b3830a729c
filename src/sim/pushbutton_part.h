#pragma once
// The push-button daughter board: one potentiometer worked by active-low button lines.
//
//   /CS1    P0.6   chip select (the part ignores it)
//   /STORE  P0.7   a low pulse stores the wiper when the line rises again
//   /MUTE   P0.2   see muteSilencesWiper
//   /UP     P1.1   falling edge with /DOWN high: one position up
//   /DOWN   P1.2   falling edge with /UP high: one position down
//
// /UP and /DOWN low together put the part into shutdown (the wiper output reads 0 V; the
// counter stays); both high again leave it. The wiper is on VIN0.
//
// Hold behaviour is this simulator's own model, since the part's data are not at hand: a
// button held for repeatStartMs or longer steps once more, then once every repeatEveryMs
// while it stays held (1000 ms and 100 ms by default). Time is the platform clock, so the
// virtual clock of the tests drives it. With muteSilencesWiper set, /MUTE low makes the
// wiper output read 0 V.
//
// Like the up/down part it runs on VCC (P2.5): with VCC off it ignores the lines and loses
// the wiper; when VCC comes back it recalls its stored position. The wiper voltage is
// VCC x position / (positions - 1).
#include "sim/analog_board.h"

#include <cstdint>
#include <memory>

namespace sim {

struct PushButtonConfig {
    int positions = 101;
    int startPosition = 50;
    int repeatStartMs = 1000;
    int repeatEveryMs = 100;
    bool muteSilencesWiper = true;
};

class PushButtonPart {
public:
    PushButtonPart(SimBoard& board, AnalogBoard& analog, const PushButtonConfig& config);

    PushButtonConfig config;
    int stored = 0;       // the non-volatile position
    int storeCycles = 0;

    // The wiper position now (a held button's repeats up to this moment included).
    int wiper();
    bool shutdown() const { return shutdown_; }
    bool powered() const { return analog_.vccOn(); }
    double wiperVolts();
    void pinsChanged(int port, std::uint8_t before, std::uint8_t after);

private:
    void move(int step);
    void catchUpRepeats(); // applies the repeats a held button has earned so far

    SimBoard& board_;
    AnalogBoard& analog_;
    int wiper_ = 0;
    bool shutdown_ = false;
    int heldStep_ = 0;           // +1 /UP held, -1 /DOWN held, 0 none
    std::int64_t heldSinceMs_ = 0;
    int repeatsDone_ = 0;
};

std::shared_ptr<PushButtonPart> installPushButtonPart(SimBoard& board, const PushButtonConfig& config = {});

} // namespace sim
