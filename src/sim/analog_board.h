#pragma once
// The analog side of the simulated evaluation board: the supply potentiometer that sets the
// chip's VCC, the VCC and V-minus switches, and what the bridge's ADC inputs see.
//
// Supply potentiometer: the SPI slave selected while P2.4 is low (SimBoard::supplyPotSlot).
// A frame is three bytes: the device byte 0x50, an instruction (high nibble 0xC write, 0xB
// read; low nibble the register: 0 data, 2 set-up) and a value (or a filler while reading).
// What it clocks back, byte for byte:
//     byte 1 (device byte in)   0xFF
//     byte 2 (instruction in)   0xFF
//     byte 3 (value/filler in)  the register for a read instruction (B0 data, B2 set-up),
//                               0xFF for anything else
// so a read's answer shows in the third received byte. A write takes effect with its third
// byte; a frame for another device byte, or with another instruction, changes nothing. The
// data register keeps 7 bits (codes 0x00..0x7F).
//
// Supplies: VCC = (1.254 V + 0.03286 V x code) x (1 + gain error) + offset while P2.5 is high,
// else 0 V; V-minus is the configured level while P2.6 is high, else 0 V.
//
// ADC: VIN4 (P2.2, input code 0x0A) reads VCC/2; VIN0..VIN3 (P1.6, P1.7, P2.0, P2.1, codes
// 0x06..0x09) read the wiper voltage / 2 that the chip models report through wiperVolts
// (0 V until one does); every other input comes from the board's per-input table as before.
// Seeded noise, uniform within +-noiseVolts, is added to every conversion of VIN0..VIN4.
//
// Attach it explicitly: a plain SimBoard keeps its per-input table for every input.
#include "sim/sim_board.h"
#include "sim/spi_devices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

namespace sim {

struct AnalogConfig {
    double supplyOffsetVolts = 0.0; // added to VCC
    double supplyGainError = 0.0;   // relative: 0.02 makes VCC 2 % high
    double noiseVolts = 0.0;        // peak noise on VIN0..VIN4 conversions
    std::uint32_t noiseSeed = 1;
    double vminusVolts = -5.0;      // V-minus while switched on
};

class SupplyPotentiometer : public RecordingSpiDevice {
public:
    static constexpr std::uint8_t kDeviceByte = 0x50;
    static constexpr std::uint8_t kWrite = 0xC0, kRead = 0xB0;
    static constexpr std::uint8_t kDataRegister = 0x0, kSetupRegister = 0x2;

    std::uint8_t data = 0x3F; // mid-scale at power-up
    std::uint8_t setup = 0x00;
    int writes = 0;           // register writes taken

    void select() override;

protected:
    std::uint8_t answer(std::uint8_t mosi) override;

private:
    int position_ = 0;
    bool addressed_ = false;
    std::uint8_t instruction_ = 0;
};

class AnalogBoard {
public:
    static constexpr double kVccBase = 1.254;    // volts at code 0
    static constexpr double kVccPerCode = 0.03286;
    static constexpr std::uint8_t kVin0 = 0x06, kVin4 = 0x0A;

    AnalogBoard(SimBoard& board, const AnalogConfig& config);

    AnalogConfig config;
    std::shared_ptr<SupplyPotentiometer> supplyPot = std::make_shared<SupplyPotentiometer>();
    // The wiper voltage on VIN0..VIN3 (channel 0..3), before the board's divide-by-two.
    std::function<double(int channel)> wiperVolts;

    bool vccOn() const;
    double vcc() const;
    bool vminusOn() const;
    double vminus() const;

    // The voltage an input code carries (the negative input: 0x1F ground, 0x1E VREF).
    double inputVolts(std::uint8_t code, bool negative) const;
    // positive - negative, with noise on the board's own inputs: one conversion.
    double conversionVolts(std::uint8_t positive, std::uint8_t negative);

private:
    bool noisy(std::uint8_t code) const { return code >= kVin0 && code <= kVin4; }

    SimBoard& board_;
    std::mt19937 noise_;
};

// Puts the analog board on `board`: the supply potentiometer into supplyPotSlot and the ADC
// inputs into adc.source. Returns it for tests and chip models.
std::shared_ptr<AnalogBoard> attachAnalogBoard(SimBoard& board, const AnalogConfig& config = {});
// The analog board attached to `board`, or null.
AnalogBoard* analogBoard(SimBoard& board);

} // namespace sim
