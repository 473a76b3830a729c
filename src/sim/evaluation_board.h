#pragma once
// The simulated evaluation board as a user meets it (`dcpeval --simulate`, `dcpeval-sim
// --listen`): the bridge with the analog board attached (supply potentiometer, supplies, ADC
// inputs) and, so that an address scan or the I2C device window finds something, a
// register-bank part at 7-bit address 0x28 (8-bit write address 0x50). Tests that want a
// bare bridge keep using SimBoard and SimTransport as they are.
#include "sim/analog_board.h"
#include "sim/sim_transport.h"

#include <memory>

namespace sim {

constexpr std::uint8_t kDemoI2CAddress7 = 0x28;

void setUpEvaluationBoard(SimBoard& board, const AnalogConfig& analog = {});

// `count` evaluation boards in process, in search order.
std::shared_ptr<SimTransport> makeEvaluationBoards(int count, const AnalogConfig& analog = {});

} // namespace sim
