#pragma once
// Chip models on the simulated board's I2C bus. The board routes every I2C transfer
// (command 0x06) by its 7-bit address to the device attached there; a device that is
// missing or unpowered does not acknowledge.
#include <array>
#include <cstdint>
#include <span>

namespace sim {

class I2CDevice {
public:
    virtual ~I2CDevice() = default;
    // A write transfer: the register bytes, then the data bytes, as they follow the address
    // byte on the bus. False: the device did not acknowledge.
    virtual bool write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data) = 0;
    // A read transfer: the register bytes are written first (none for a current-address read),
    // then out.size() bytes are read. False: the device did not acknowledge.
    virtual bool read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) = 0;
    // An unpowered chip does not acknowledge. Chip models that take their supply from the
    // board override this; the plain flag serves tests.
    virtual bool powered() const { return powered_; }
    void setPowered(bool on) { powered_ = on; }

private:
    bool powered_ = true;
};

// 256 byte-wide registers behind a one-byte register pointer, as most small I2C parts have:
// the first byte after the address sets the pointer, every further byte is written at the
// pointer, and reads come from the pointer; the pointer advances after every byte and wraps
// at 256. Because the bus carries register bytes and data bytes alike, a transfer with two
// register bytes writes its second register byte as data at the pointer, exactly as such a
// part would see it. Chip models with volatile and non-volatile registers derive from it and
// override readRegister / writeRegister.
class RegisterBankDevice : public I2CDevice {
public:
    bool write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data) override;
    bool read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) override;

    std::uint8_t pointer() const { return pointer_; }
    std::uint8_t reg(int index) const { return regs_[static_cast<std::uint8_t>(index)]; }
    void setReg(int index, std::uint8_t value) { regs_[static_cast<std::uint8_t>(index)] = value; }
    int writes = 0; // acknowledged write transfers
    int reads = 0;  // acknowledged read transfers

protected:
    virtual std::uint8_t readRegister(std::uint8_t index) { return regs_[index]; }
    virtual void writeRegister(std::uint8_t index, std::uint8_t value) { regs_[index] = value; }

private:
    // The bytes of the write phase: the first sets the pointer, the rest are stored.
    void busWrite(std::span<const std::uint8_t> bytes, bool& first);

    std::array<std::uint8_t, 256> regs_{};
    std::uint8_t pointer_ = 0;
};

} // namespace sim
