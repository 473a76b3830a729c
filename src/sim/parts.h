#pragma once
// The daughter boards the simulated evaluation board can carry, one at a time as on the
// bench: `--part NAME` on `dcpeval --simulate` and `dcpeval-sim` chooses one, `--part list`
// names them with the way to each one's window. A part may take settings after its name:
// `--part updown:store-fails-after=20,noise-mv=5`.
#include "sim/sim_board.h"

#include <map>
#include <optional>
#include <span>
#include <string>

namespace sim {

// A setting a part takes on the command line, NAME=VALUE.
struct PartOption {
    const char* name;  // as typed (any case)
    const char* help;  // for --part list
    double min, max;   // the values it accepts
    bool whole;        // whole numbers only
};

// The settings given for a part, by option name; options not given are absent.
using PartSettings = std::map<std::string, double>;

struct SimPart {
    const char* name;        // as typed after --part (any case)
    const char* menuPick;    // the way to its window in dcpeval: picks joined by " > "
    const char* description;
    void (*install)(SimBoard& board);
    // Parts with settings: the options, the install that takes them, and the check of the
    // settings together (empty when they fit; else what is wrong).
    std::span<const PartOption> options = {};
    void (*installWith)(SimBoard& board, const PartSettings& settings) = nullptr;
    std::string (*checkSettings)(const PartSettings& settings) = nullptr;
};

// A part with its settings, as `--part` chose it.
struct PartChoice {
    const SimPart* part = nullptr;
    PartSettings settings;

    void install(SimBoard& board) const;
};

// Reads "NAME" or "NAME:OPTION=VALUE,OPTION=VALUE". Empty with the reason in *error when the
// part, an option or a value is unknown or out of range; the reason names it. ("list" is no
// part: the programs answer it before they ask for a part.)
std::optional<PartChoice> parsePartChoice(const std::string& text, std::string* error);

std::span<const SimPart> simParts();
// The part called name (any case), or null.
const SimPart* findSimPart(const std::string& name);
// The part a new user meets: a single-channel I2C part at write address 50.
const SimPart& defaultSimPart();
// Per part: its name and description, the way to its window, then one line per option.
std::string simPartList();

} // namespace sim
