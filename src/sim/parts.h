#pragma once
// The daughter boards the simulated evaluation board can carry, one at a time as on the
// bench: `--part NAME` on `dcpeval --simulate` and `dcpeval-sim` chooses one, `--part list`
// names them with the menu pick each goes with.
#include "sim/sim_board.h"

#include <span>
#include <string>

namespace sim {

struct SimPart {
    const char* name;        // as typed after --part (any case)
    const char* menuPick;    // where the part is used in the program
    const char* description;
    void (*install)(SimBoard& board);
};

std::span<const SimPart> simParts();
// The part called name (any case), or null.
const SimPart* findSimPart(const std::string& name);
// The part a new user meets: a single-channel I2C part at write address 50.
const SimPart& defaultSimPart();
// One line per part: name, menu pick, description.
std::string simPartList();

} // namespace sim
