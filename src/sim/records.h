#pragma once
// Whether the simulated boards keep a record of what passes: the transcript of every report
// and the frames the recording SPI chip models saw. Tests switch it on before they build
// their boards; the program's own boards (`--simulate`, dcpeval-sim), which may run for hours
// of sampling or a long run-in, keep nothing.
namespace sim {

inline bool& recordsKept()
{
    static bool kept = false;
    return kept;
}

} // namespace sim
