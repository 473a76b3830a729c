#include "sim/i2c_devices.h"

namespace sim {

void RegisterBankDevice::busWrite(std::span<const std::uint8_t> bytes, bool& first)
{
    for (const std::uint8_t b : bytes) {
        if (first) {
            pointer_ = b;
            first = false;
        } else {
            writeRegister(pointer_++, b);
        }
    }
}

bool RegisterBankDevice::write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data)
{
    bool first = true;
    busWrite(regs, first);
    busWrite(data, first);
    ++writes;
    return true;
}

bool RegisterBankDevice::read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out)
{
    bool first = true;
    busWrite(regs, first);
    for (auto& b : out)
        b = readRegister(pointer_++);
    ++reads;
    return true;
}

} // namespace sim
