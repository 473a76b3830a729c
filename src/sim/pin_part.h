#pragma once
// Putting a daughter board that is driven by port pins on the simulated board: the analog
// board it draws VCC from (attached when the board has none) and the pin listener that hands
// it every latch change.
#include "sim/analog_board.h"

#include <cstdint>
#include <memory>

namespace sim {

template <class Part, class Config>
std::shared_ptr<Part> installPinPart(SimBoard& board, const Config& config)
{
    AnalogBoard* analog = analogBoard(board);
    if (!analog)
        analog = attachAnalogBoard(board).get();
    auto part = std::make_shared<Part>(board, *analog, config);
    board.pinListeners.push_back(
        [part](int port, std::uint8_t before, std::uint8_t after) { part->pinsChanged(port, before, after); });
    return part;
}

} // namespace sim
