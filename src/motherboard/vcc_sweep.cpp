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
    // Least-squares line of volts over code: single readings may scatter with conversion
    // noise, the line through all of them shows whether the input follows the supply.
    const double n = static_cast<double>(readings.size());
    const double meanCode = (n - 1) / 2;
    double meanVolts = 0;
    for (double v : readings)
        meanVolts += v;
    meanVolts /= n;
    double covariance = 0, spread = 0;
    for (size_t code = 0; code < readings.size(); ++code) {
        const double dc = static_cast<double>(code) - meanCode;
        covariance += dc * (readings[code] - meanVolts);
        spread += dc * dc;
    }
    const double rise = covariance / spread * (n - 1);
    if (rise >= kMinRiseVolts)
        return QString();
    const QString span = QString("codes 00 to %1").arg(Hex2(static_cast<std::uint8_t>(readings.size() - 1)));
    // Rounded away from -0.000 so that a flat sweep reads as 0.
    const QString volts = Format(std::fabs(rise) < 0.0005 ? 0.0 : rise, "0.000");
    if (rise < 0)
        return QString("the VCC/2 reading falls as the supply code rises (fitted change %1 V over %2)").arg(volts, span);
    return QString("the VCC/2 reading does not rise with the supply code (fitted rise %1 V over %2, at least %3 V expected)")
        .arg(volts, span, Format(kMinRiseVolts, "0.000"));
}

} // namespace vcccal
