#pragma once
// The arithmetic of the VCC calibration sweep, apart from the window: the seven targets, the
// settle rule for one reading, the nearest code per target and the check that the readings
// follow the supply code at all. All voltages here are readings of the VCC/2 input.
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <span>

namespace vcccal {

constexpr int kCodeCount = 128; // supply potentiometer codes 0x00..0x7F
constexpr std::array<double, 7> kTargets{2.7, 3.0, 3.3, 3.5, 4.0, 4.5, 5.0}; // VCC, volts

// A reading settles when two consecutive conversions agree exactly. A noisy input may never
// do that, so after this many pairs the last reading is taken as it stands.
constexpr int kMaxSettlePairs = 20;

// The straight line fitted through the whole sweep's VCC/2 readings must climb at least this
// far from the first code to the last (a working board's span is about 2 V). A supply that
// never came on or a dead input stays flat; noise on single readings does not matter.
constexpr double kMinRiseVolts = 0.5;

struct SettledReading {
    enum class Outcome {
        Settled,   // two consecutive conversions agreed
        Unsettled, // the pair limit was reached; volts is the last conversion
        Failed,    // a conversion gave no reading
        Stopped,   // stop() asked to end
    };
    Outcome outcome = Outcome::Failed;
    double volts = 0.0;
    int pairs = 0;
};

// read: one conversion (nothing when it failed); stop: asked before every pair, so an Abort
// is seen inside the loop.
SettledReading settleReading(const std::function<std::optional<double>()>& read,
                             const std::function<bool()>& stop, int maxPairs = kMaxSettlePairs);

// For each target, the code whose reading lies nearest half the target; a tie keeps the
// lower code. readings[code] for every code of the sweep.
std::array<int, kTargets.size()> nearestCodes(std::span<const double> readings);

// Empty when the readings rise with the code; otherwise what is wrong with them.
QString riseProblem(std::span<const double> readings);

} // namespace vcccal
