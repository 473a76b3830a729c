#pragma once
// Chip models on the simulated board's SPI bus. The bridge drives no chip select of its own
// (callers select with a port pin), so the board treats each SPI transfer report (command
// 0x09) as one frame: select, one transfer per byte, deselect, on the device that the
// port pins select (SimBoard::spiTarget).
#include "sim/records.h"

#include <cstdint>
#include <vector>

namespace sim {

class SpiDevice {
public:
    virtual ~SpiDevice() = default;
    virtual void select() {}
    // One byte each way: the byte clocked out to the device (MOSI), the one it returns (MISO).
    virtual std::uint8_t transfer(std::uint8_t mosi) = 0;
    virtual void deselect() {}
};

// Keeps the MOSI bytes of every frame, so tests can see which slot a frame reached (only
// while sim::recordsKept() is on).
class RecordingSpiDevice : public SpiDevice {
public:
    std::vector<std::vector<std::uint8_t>> frames;

    void select() override
    {
        if (recordsKept())
            frames.emplace_back();
    }
    std::uint8_t transfer(std::uint8_t mosi) final
    {
        if (recordsKept()) {
            if (frames.empty())
                frames.emplace_back();
            frames.back().push_back(mosi);
        }
        return answer(mosi);
    }

protected:
    virtual std::uint8_t answer(std::uint8_t mosi) = 0;
};

// A predictable slave: a one-byte shift register. Each byte returns the byte clocked in just
// before it (within a frame, MISO byte i = MOSI byte i-1; the first byte of a frame returns
// the last byte of the previous frame), 0xFF before anything was clocked in.
class ShiftRegisterSpiDevice : public RecordingSpiDevice {
public:
    std::uint8_t held = 0xFF;

protected:
    std::uint8_t answer(std::uint8_t mosi) override
    {
        const std::uint8_t out = held;
        held = mosi;
        return out;
    }
};

// A slave that answers the same byte to everything (0xFF: MISO pulled up, nobody driving it).
class ConstantSpiDevice : public RecordingSpiDevice {
public:
    explicit ConstantSpiDevice(std::uint8_t value = 0xFF) : value(value) {}
    std::uint8_t value;

protected:
    std::uint8_t answer(std::uint8_t) override { return value; }
};

} // namespace sim
