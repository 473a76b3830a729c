#include "sim/transcript.h"

#include "sim/records.h"

namespace sim {

void Transcript::record(Direction dir, const platform::Report& bytes, std::int64_t timeMs, bool refused)
{
    if (recordsKept())
        entries_.push_back({dir, bytes, timeMs, refused});
}

std::vector<platform::Report> Transcript::requests() const
{
    std::vector<platform::Report> out;
    for (const auto& e : entries_)
        if (e.dir == Direction::ToBoard && !e.refused)
            out.push_back(e.bytes);
    return out;
}

std::vector<platform::Report> Transcript::requests(std::uint8_t command) const
{
    std::vector<platform::Report> out;
    for (const auto& r : requests())
        if (r[1] == command)
            out.push_back(r);
    return out;
}

std::optional<platform::Report> Transcript::lastRequest() const
{
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->dir == Direction::ToBoard && !it->refused)
            return it->bytes;
    return std::nullopt;
}

std::optional<platform::Report> Transcript::lastRequest(std::uint8_t command) const
{
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->dir == Direction::ToBoard && !it->refused && it->command() == command)
            return it->bytes;
    return std::nullopt;
}

std::vector<platform::Report> Transcript::replies() const
{
    std::vector<platform::Report> out;
    for (const auto& e : entries_)
        if (e.dir == Direction::FromBoard)
            out.push_back(e.bytes);
    return out;
}

std::optional<platform::Report> Transcript::lastReply() const
{
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->dir == Direction::FromBoard)
            return it->bytes;
    return std::nullopt;
}

int Transcript::refusedWrites() const
{
    int n = 0;
    for (const auto& e : entries_)
        n += e.refused ? 1 : 0;
    return n;
}

QString Transcript::dump(int bytesPerLine) const
{
    QString out;
    for (const auto& e : entries_) {
        out += QString("%1 %2 %3%4\n")
                   .arg(e.timeMs, 8)
                   .arg(e.dir == Direction::ToBoard ? "->" : "<-")
                   .arg(hexBytes(e.bytes, bytesPerLine))
                   .arg(e.refused ? "  (write failed)" : "");
    }
    return out;
}

QString hexBytes(const platform::Report& r, int n)
{
    QString out;
    for (int i = 0; i < n && i < platform::kReportSize; ++i) {
        if (i)
            out += ' ';
        out += QString("%1").arg(r[static_cast<size_t>(i)], 2, 16, QChar('0')).toUpper();
    }
    return out;
}

} // namespace sim
