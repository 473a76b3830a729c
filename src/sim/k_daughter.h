#pragma once
// What the special parts on the daughter board share: the chip is supplied while the board's
// VCC is on (P2.5), it answers on I2C only while the bus switch P1.3 selects I2C (low), and it
// learns of its supply going on and off so that volatile registers are lost and reload.
#include "sim/i2c_devices.h"

#include <memory>

namespace sim {

class SimBoard;

class DaughterBoardI2CPart : public I2CDevice {
public:
    explicit DaughterBoardI2CPart(SimBoard& board) : board_(board) {}

    // VCC on (a board without the analog side counts as supplied).
    bool supplied() const;
    bool powered() const override;

    // Every wiper's position as a fraction of full scale (0 while unsupplied).
    virtual double wiperFraction(int channel) const = 0;

protected:
    friend void attachDaughterBoardPart(SimBoard&, std::uint8_t, std::shared_ptr<DaughterBoardI2CPart>);
    virtual void supplyChanged(bool on) = 0;
    // A port latch changed (pin-driven parts listen here).
    virtual void portChanged(int port, std::uint8_t before, std::uint8_t after) {}

    SimBoard& board_;
};

// Puts the part on the bus at `address7`, tells it of supply and pin changes, and, on a board
// with the analog side, feeds its wipers to VIN0..VIN3.
void attachDaughterBoardPart(SimBoard& board, std::uint8_t address7, std::shared_ptr<DaughterBoardI2CPart> part);

} // namespace sim
