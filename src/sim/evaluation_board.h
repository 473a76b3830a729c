#pragma once
// The simulated evaluation board as a user meets it (`dcpeval --simulate`, `dcpeval-sim
// --listen`): the bridge with the analog board attached (supply potentiometer, supplies, ADC
// inputs) and one daughter board, the chosen part (by default the single-channel I2C part at
// write address 50). Tests that want a bare bridge keep using SimBoard and SimTransport as
// they are.
#include "sim/analog_board.h"
#include "sim/parts.h"
#include "sim/sim_transport.h"

#include <memory>

namespace sim {

// part: the daughter board; null gives the default part.
void setUpEvaluationBoard(SimBoard& board, const AnalogConfig& analog = {}, const SimPart* part = nullptr);
// The daughter board with the settings `--part` gave it.
void setUpEvaluationBoard(SimBoard& board, const AnalogConfig& analog, const PartChoice& part);

// `count` evaluation boards in process, in search order, each with its own daughter board.
std::shared_ptr<SimTransport> makeEvaluationBoards(int count, const AnalogConfig& analog = {},
                                                   const PartChoice& part = {});

} // namespace sim
