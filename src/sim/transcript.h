#pragma once
// Every report that passed between the program and a simulated board, both ways, with the
// monotonic time, so a test can assert the exact bytes on the wire. Kept only while
// sim::recordsKept() is on (the tests'); otherwise record() keeps nothing.
#include "platform/transport.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace sim {

enum class Direction { ToBoard, FromBoard };

struct TranscriptEntry {
    Direction dir;
    platform::Report bytes;
    std::int64_t timeMs; // ToBoard: when written; FromBoard: when the reply is (or was) due
    bool refused = false; // ToBoard only: the write failed, the board never saw the report
    std::uint8_t command() const { return bytes[1]; }
};

class Transcript {
public:
    void record(Direction dir, const platform::Report& bytes, std::int64_t timeMs, bool refused = false);
    void clear() { entries_.clear(); }

    const std::vector<TranscriptEntry>& entries() const { return entries_; }
    // Requests the board received (refused writes left out), optionally of one command.
    std::vector<platform::Report> requests() const;
    std::vector<platform::Report> requests(std::uint8_t command) const;
    std::optional<platform::Report> lastRequest() const;
    std::optional<platform::Report> lastRequest(std::uint8_t command) const;
    std::vector<platform::Report> replies() const;
    std::optional<platform::Report> lastReply() const;
    // Writes that failed (fault, unplugged board or a report number other than 1).
    int refusedWrites() const;
    // One line per entry, "-> 01 12 01 80 ..." / "<- 01 00 00 FF ...", for failure messages.
    QString dump(int bytesPerLine = 16) const;

private:
    std::vector<TranscriptEntry> entries_;
};

// The first n bytes as upper-case hex pairs separated by blanks.
QString hexBytes(const platform::Report& r, int n = platform::kReportSize);

} // namespace sim
