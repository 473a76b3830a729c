#include "sim/k_daughter.h"

#include "sim/analog_board.h"
#include "sim/sim_board.h"

namespace sim {

namespace {
constexpr std::uint8_t kP1BusSwitch = 0x08; // P1.3: high selects SPI
}

bool DaughterBoardI2CPart::supplied() const
{
    const AnalogBoard* analog = analogBoard(board_);
    return !analog || analog->vccOn();
}

bool DaughterBoardI2CPart::powered() const
{
    return I2CDevice::powered() && supplied() && !(board_.portPins(1) & kP1BusSwitch);
}

void attachDaughterBoardPart(SimBoard& board, std::uint8_t address7, std::shared_ptr<DaughterBoardI2CPart> part)
{
    board.attachI2C(address7, part);
    part->supplyChanged(part->supplied());
    board.pinListeners.push_back([part, on = part->supplied()](int port, std::uint8_t before, std::uint8_t after) mutable {
        part->portChanged(port, before, after);
        if (part->supplied() != on) {
            on = !on;
            part->supplyChanged(on);
        }
    });
    if (AnalogBoard* analog = analogBoard(board)) {
        analog->wiperVolts = [part, analog](int channel) {
            return part->supplied() ? analog->vcc() * part->wiperFraction(channel) : 0.0;
        };
    }
}

} // namespace sim
