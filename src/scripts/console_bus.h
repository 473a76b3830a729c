#pragma once
// The script rows' way to the board: the link's I2C transfers with the bridge console's
// options and read fields, the console's SPI transfer with the chip select of the device
// under test released, and the motherboard's read-back of its port image.
#include "scripts/script_run.h"

namespace script {

class ConsoleBus : public Bus {
public:
    bool i2cWrite(std::uint8_t address, std::span<const std::uint8_t> regs,
                  std::span<const std::uint8_t> data) override;
    bool i2cRead(std::uint8_t address, std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) override;
    std::optional<std::vector<std::uint8_t>> spiTransfer(std::span<const std::uint8_t> bytes) override;
    std::optional<std::array<std::uint8_t, 6>> readPorts() override;
    int linkRetries() override;
};

} // namespace script
