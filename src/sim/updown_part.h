#pragma once
// The up/down daughter board: two up/down potentiometers driven by port pins only.
//
//   /CS1  P0.6   chip select of chip 1 (wiper on VIN0)
//   /CS2  P0.7   chip select of chip 2 (wiper on VIN1)
//   /INC  P1.1   increment, shared by both chips
//   U/D   P1.2   direction, shared by both chips
//
// A chip whose /CS is low steps its wiper one position on each falling /INC edge, up while
// U/D is high and down while it is low, saturating at 0 and positions - 1. /CS rising while
// /INC is high stores the wiper in the non-volatile memory (one store cycle); rising while
// /INC is low returns to standby without storing. With /CS high the chip ignores /INC. Both
// chips step when both are selected, since they share /INC.
//
// Edges come from the port latches: the listener diffs each latch write, so one P1 write that
// moves /INC and U/D together applies U/D first, and the writes of a port write arrive in the
// order P0, P1, P2 (the /CS edges of one batch precede its /INC edges).
//
// The chips run on VCC (P2.5 through the analog board): with VCC off they ignore every edge
// and lose the wiper; when VCC comes back each recalls its stored position. The wiper voltage
// is VCC x position / (positions - 1), with the low end at 0 V.
//
// Faults to give the run-in test something to find (all off by default; they apply to both
// chips):
//  - storeFailsAfter N: the first N store cycles hold; from the next one on the worn memory
//    keeps its old value and the wiper reloads it as the store ends, so the stored position
//    no longer follows the wiper.
//  - stuckAt P: the wiper output stays at position P whatever the counter does.
//  - noiseVolts: seeded uniform noise within +-noiseVolts on the wiper voltage.
#include "sim/analog_board.h"

#include <array>
#include <cstdint>
#include <memory>
#include <random>

namespace sim {

struct UpDownConfig {
    int positions = 101;     // wiper positions 0 .. positions - 1
    int startPosition = 50;  // non-volatile value of a fresh chip
    int storeFailsAfter = -1; // store cycles that hold; -1: every store holds
    int stuckAt = -1;        // -1: the wiper follows its counter
    double noiseVolts = 0.0;
    std::uint32_t noiseSeed = 1;
};

class UpDownPart {
public:
    struct Chip {
        int wiper = 0;
        int stored = 0;       // the non-volatile position
        int storeCycles = 0;  // stores attempted, held or not
        int steps = 0;        // /INC edges taken while selected (saturated ones included)
    };

    UpDownPart(SimBoard& board, AnalogBoard& analog, const UpDownConfig& config);

    UpDownConfig config;
    std::array<Chip, 2> chips;

    bool powered() const { return analog_.vccOn(); }
    // The wiper voltage of chip 0 or 1 (0 V while unpowered).
    double wiperVolts(int chip);
    // Pin changes, as the board's pin listener hands them on.
    void pinsChanged(int port, std::uint8_t before, std::uint8_t after);

private:
    void csRose(Chip& c, bool incHigh);

    SimBoard& board_;
    AnalogBoard& analog_;
    std::mt19937 noise_;
};

// Puts the up/down part on `board` (attaching the analog board when it has none): its pins
// on the board's pin listeners, its wipers on VIN0 and VIN1.
std::shared_ptr<UpDownPart> installUpDownPart(SimBoard& board, const UpDownConfig& config = {});

} // namespace sim
