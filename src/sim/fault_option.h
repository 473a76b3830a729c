#pragma once
// dcpeval-sim's --fault option: "KIND:N[:M[:MS]]" arms fault KIND at the board's N-th request
// (the first request is 1) for M requests (default 1). KIND is no-reply, late-reply (MS: how
// late, default 7000, past the program's 6000 ms wait), fail-write, nak (M counts I2C
// transfers) or garbage.
#include "sim/sim_board.h"

#include <QString>

#include <optional>

namespace sim {

// Empty with the reason in *error when the text is no fault.
std::optional<SimBoard::ScheduledFault> parseFaultOption(const QString& text, QString* error);

} // namespace sim
