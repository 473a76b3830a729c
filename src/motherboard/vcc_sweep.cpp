#include "motherboard/vcc_sweep.h"

#include "shell/text.h"

#include <cmath>

namespace vcccal {

SettledReading settleReading(const std::function<std::optional<double>()>& read,
                             const std::function<bool()>& stop, int maxPairs)
{
    using Outcome = SettledReading::Outcome;
    SettledReading r;
    double a = -1.0, b = 1.0;
    while (a != b) {
        if (r.pairs >= maxPairs) {
            r.outcome = Outcome::Unsettled;
            r.volts = b;
            return r;
        }
        if (stop()) {
            r.outcome = Outcome::Stopped;
            return r;
        }
        const auto first = read();
        const auto second = first ? read() : std::nullopt;
        if (!second) {
            r.outcome = Outcome::Failed;
            return r;
        }
        a = *first;
        b = *second;
        ++r.pairs;
    }
    r.outcome = Outcome::Settled;
    r.volts = b;
    return r;
}

std::array<int, kTargets.size()> nearestCodes(std::span<const double> readings)
{
    std::array<int, kTargets.size()> chosen{};
    for (size_t k = 0; k < kTargets.size(); ++k) {
        double best = 10000.0;
        for (size_t code = 0; code < readings.size(); ++code) {
            const double d = std::fabs(kTargets[k] / 2 - readings[code]);
            if (d < best) {
                best = d;
                chosen[k] = static_cast<int>(code);
            }
        }
    }
    return chosen;
}

QString riseProblem(std::span<const double> readings)
{
    if (readings.size() < 2)
        return "there are too few readings";
    const auto at = [&](size_t code) {
        return QString("%1 V at code %2").arg(Format(readings[code], "0.000"), Hex2(static_cast<std::uint8_t>(code)));
    };
    const size_t last = readings.size() - 1;
    if (readings[last] - readings[0] < kMinRiseVolts)
        return QString("the VCC/2 reading does not rise with the supply code (%1, %2)").arg(at(0), at(last));
    size_t highest = 0;
    for (size_t code = 1; code <= last; ++code) {
        if (readings[code] < readings[highest] - kMaxFallVolts)
            return QString("the VCC/2 reading falls from %1 to %2").arg(at(highest), at(code));
        if (readings[code] > readings[highest])
            highest = code;
    }
    return QString();
}

} // namespace vcccal
