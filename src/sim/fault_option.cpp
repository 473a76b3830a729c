#include "sim/fault_option.h"

#include <QStringList>

#include <utility>

namespace sim {

std::optional<SimBoard::ScheduledFault> parseFaultOption(const QString& text, QString* error)
{
    using Kind = SimBoard::FaultKind;
    static const std::pair<const char*, Kind> kinds[] = {
        {"no-reply", Kind::NoReply}, {"late-reply", Kind::LateReply}, {"fail-write", Kind::FailedWrite},
        {"nak", Kind::Nak},          {"garbage", Kind::Garbage},
    };
    const auto fail = [&](const QString& why) {
        *error = QString("--fault %1: %2").arg(text, why);
        return std::nullopt;
    };
    const QStringList parts = text.split(u':');
    SimBoard::ScheduledFault f;
    bool known = false;
    for (const auto& [name, kind] : kinds)
        if (parts[0] == QLatin1String(name)) {
            f.kind = kind;
            known = true;
        }
    if (!known)
        return fail("the kind is one of no-reply, late-reply, fail-write, nak, garbage");
    const int most = f.kind == Kind::LateReply ? 4 : 3;
    if (parts.size() < 2 || parts.size() > most)
        return fail(f.kind == Kind::LateReply ? "write late-reply:N[:M[:MS]]" : "write KIND:N[:M]");
    const auto number = [&](int i, int least, int& out) {
        bool ok = false;
        const int v = parts[i].toInt(&ok);
        if (!ok || v < least)
            return false;
        out = v;
        return true;
    };
    if (!number(1, 1, f.atRequest))
        return fail("N, the request that arms the fault, is a whole number from 1");
    if (parts.size() > 2 && !number(2, 1, f.count))
        return fail("M, how many requests it covers, is a whole number from 1");
    f.delayMs = 7000;
    if (parts.size() > 3 && !number(3, 0, f.delayMs))
        return fail("MS, how late the reply comes, is a whole number of milliseconds");
    f.seed = static_cast<std::uint32_t>(f.atRequest);
    return f;
}

} // namespace sim
