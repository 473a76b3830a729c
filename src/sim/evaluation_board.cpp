#include "sim/evaluation_board.h"

#include "sim/i2c_devices.h"

namespace sim {

void setUpEvaluationBoard(SimBoard& board, const AnalogConfig& analog)
{
    attachAnalogBoard(board, analog);
    board.attachI2C(kDemoI2CAddress7, std::make_shared<RegisterBankDevice>());
}

std::shared_ptr<SimTransport> makeEvaluationBoards(int count, const AnalogConfig& analog)
{
    auto transport = std::make_shared<SimTransport>(count);
    for (int i = 0; i < transport->boardCount(); ++i) {
        AnalogConfig own = analog;
        own.noiseSeed += static_cast<std::uint32_t>(i); // boards do not share their noise
        setUpEvaluationBoard(transport->board(i), own);
    }
    return transport;
}

} // namespace sim
