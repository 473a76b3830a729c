#include "sim/evaluation_board.h"

namespace sim {

void setUpEvaluationBoard(SimBoard& board, const AnalogConfig& analog, const SimPart* part)
{
    setUpEvaluationBoard(board, analog, PartChoice{part, {}});
}

void setUpEvaluationBoard(SimBoard& board, const AnalogConfig& analog, const PartChoice& part)
{
    attachAnalogBoard(board, analog);
    part.install(board);
}

std::shared_ptr<SimTransport> makeEvaluationBoards(int count, const AnalogConfig& analog, const PartChoice& part)
{
    auto transport = std::make_shared<SimTransport>(count);
    for (int i = 0; i < transport->boardCount(); ++i) {
        AnalogConfig own = analog;
        own.noiseSeed += static_cast<std::uint32_t>(i); // boards do not share their noise
        setUpEvaluationBoard(transport->board(i), own, part);
    }
    return transport;
}

} // namespace sim
