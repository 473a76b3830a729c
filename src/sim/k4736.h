#pragma once
// The K4736: four wipers behind I2C with four banks of non-volatile data registers, and a
// pin interface that steps a wiper up or down and stores it.
//
// I2C: the first byte after the address sets the register pointer, further bytes are written
// at the pointer and reads come from it; the pointer advances after every byte. Registers 0..3
// are the wiper counter registers (WCR) while the status register holds 0, and the data
// registers of bank b (DR[b][0..3]) while it holds 2b + 1; the status register sits at its own
// address (8 by default). Other registers read 0 and ignore writes.
//
// Pins (motherboard port lines): DS0 P0.6 and DS1 P0.7 select the wiper, SCL P1.0 clocks,
// CS P1.1 selects the chip (low), U/D P1.2 gives the direction (high = up). A rising SCL while
// CS is low moves the selected WCR one step, within 0..taps; a rising CS while SCL is high
// stores the selected WCR into its bank-0 data register. At power-up every WCR loads its
// bank-0 data register and the status returns to 0.
#include "sim/k_daughter.h"

#include <array>
#include <cstdint>
#include <memory>

namespace sim {

class K4736 : public DaughterBoardI2CPart {
public:
    static constexpr std::uint8_t kAddress7 = 0x2F; // write address "5E"
    static constexpr std::uint8_t kStatusAddress = 0x08;

    explicit K4736(SimBoard& board, int taps = 64, std::uint8_t statusAddress = kStatusAddress)
        : DaughterBoardI2CPart(board), taps(taps), statusAddress(statusAddress) {}

    const int taps;
    const std::uint8_t statusAddress;
    std::array<std::uint8_t, 4> wcr{};
    std::array<std::array<std::uint8_t, 4>, 4> dr{}; // [bank][wiper], non-volatile
    std::uint8_t status = 0;
    int pinSteps = 0; // wiper steps made through the pins

    bool write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data) override;
    bool read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) override;
    double wiperFraction(int channel) const override;

    // The wiper DS1:DS0 select.
    int selectedWiper() const;

protected:
    void supplyChanged(bool on) override;
    void portChanged(int port, std::uint8_t before, std::uint8_t after) override;

private:
    // The register at `index` under the current status, or null.
    std::uint8_t* reg(std::uint8_t index);
    std::uint8_t pointer_ = 0;
};

std::shared_ptr<K4736> installK4736(SimBoard& board, std::uint8_t address7 = K4736::kAddress7);

} // namespace sim
