#pragma once
// SPI potentiometers for the daughter board's chip slot (SimBoard::chipSlot): the four-channel
// ZN3920 (no ID byte, value on the fourth byte of a read), the four-channel ZN3930 (ID byte,
// value on the byte after the instruction) and the 10-bit K6623/4.
//
// Board wiring, as the bench has it:
// - The chip is reachable only while the bus switch P1.3 is high (SPI) and the supply
//   potentiometer's select P2.4 is high (the board routes the frame here then).
// - Powered while VCC is on (P2.5, AnalogBoard::vccOn). Switching VCC off loses the volatile
//   registers; switching it on loads each wiper from its non-volatile copy.
// - ID parts compare the ID byte with 0x50 + 2 A0 + 4 A1 + 8 A2 + 16 A3, the address pins
//   A0..A3 being P0.6, P0.7, P1.0, P1.1.
// - P1.2 is the write-protect line of the four-channel parts: low, writes are clocked in and
//   ignored.
// - MISO: 0x00 when the chip is not reached, unpowered or not addressed (the board's
//   pull-down); 0xFF on every byte that carries no value, the register on its value byte(s).
//   A good frame therefore answers a non-zero byte 1, a missing chip zeros.
// - Wiper k sets VIN k (through AnalogBoard::wiperVolts) to VCC x min(WCR, taps) / taps while
//   powered and not shut down (ACR bit 6 clear), else 0 V.
//
// Four-channel parts: ACR bit 7 set, wiper writes are volatile only; clear, they also go to
// the wiper's non-volatile copy. ACR bit 6 set releases the shutdown. ACR after power-up
// 0x40. General-purpose register: one non-volatile byte.
#include "sim/analog_board.h"
#include "sim/sim_board.h"
#include "sim/spi_devices.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace sim {

// Frame-level state shared by the SPI parts: wiring, power and the byte position.
class SpiPart : public RecordingSpiDevice {
public:
    explicit SpiPart(SimBoard& board) : board_(board) {}

    void select() override;
    // Reached, powered and selected: what the chip needs to answer.
    bool reachable() const;
    bool powered() const;
    // 0x50 + 2 A0 + 4 A1 + 8 A2 + 16 A3 from the pins.
    std::uint8_t pinId() const;
    bool writeProtected() const { return !board_.pin(1, 2); }

    // Called when VCC goes on or off (the install function wires the pin listener).
    void supplyChanged(bool on);
    virtual double wiperVolts(int channel) const = 0;

protected:
    virtual void powerUp() = 0;
    virtual void powerDown() = 0;
    // The byte at position `index` of the frame (0 = first); only while reachable.
    virtual std::uint8_t frameByte(int index, std::uint8_t mosi) = 0;
    std::uint8_t answer(std::uint8_t mosi) final;
    double vcc() const;

    SimBoard& board_;
    int index_ = 0;
};

struct SpiDcpMap {
    bool hasId = false;
    std::uint8_t wiperWrite = 0xC0, wiperRead = 0x80; // + channel
    std::uint8_t acrWrite = 0x60, acrRead = 0x20;
    std::uint8_t gpWrite = 0xC4, gpRead = 0x84;
    int readLatency = 2; // filler bytes between the instruction and the value
    int taps = 256;
    int channels = 4;
};

// The four-channel parts.
class SpiDcp : public SpiPart {
public:
    SpiDcp(SimBoard& board, const SpiDcpMap& map);

    const SpiDcpMap map;
    std::array<int, 4> wcr{};   // volatile wiper registers
    std::array<int, 4> nvWcr{}; // their non-volatile copies
    std::uint8_t acr = 0x40;
    std::uint8_t gp = 0; // non-volatile

    double wiperVolts(int channel) const override;

protected:
    void powerUp() override;
    void powerDown() override;
    std::uint8_t frameByte(int index, std::uint8_t mosi) override;

private:
    enum class Target { None, Wiper, Acr, Gp };
    void decode(std::uint8_t instruction);
    void write(std::uint8_t value);
    int read() const;

    bool addressed_ = false;
    bool writing_ = false;
    Target target_ = Target::None;
    int channel_ = 0;
};

// The 10-bit part: a wiper counter register and four data registers of ten bits. The first
// byte is the ID for frames that write, ID + 1 for frames that read.
//   ID     A0 hi lo   WCR := value        ID     C0+4r hi lo   DRr := value
//   ID     E0+4r      DRr := WCR
//   ID + 1 80 x x     WCR on bytes 2, 3   ID + 1 A0+4r x x     DRr on bytes 2, 3
//   ID + 1 C0+4r      WCR := DRr
// value = (hi & 3) x 256 + lo. Data registers are non-volatile; power-up loads WCR from DR0.
// Frames it does not know change nothing.
class K6623Part : public SpiPart {
public:
    explicit K6623Part(SimBoard& board) : SpiPart(board) {}

    static constexpr int kTaps = 1024;
    int wcr = 0;
    std::array<int, 4> dr{};
    // Set into bits 7..2 of every high byte read, as a chip with floating upper bits would.
    std::uint8_t junkHighBits = 0;

    double wiperVolts(int channel) const override;

protected:
    void powerUp() override { wcr = dr[0]; }
    void powerDown() override { wcr = 0; }
    std::uint8_t frameByte(int index, std::uint8_t mosi) override;

private:
    bool reading_ = false, addressed_ = false;
    std::uint8_t instruction_ = 0;
    int high_ = 0;
    int* registerOf(std::uint8_t instruction);
};

// Puts a part into the board's chip slot, wires VCC and the wiper voltages (attaching the
// analog board when none is there) and returns it.
std::shared_ptr<SpiDcp> installZN3920(SimBoard& board);
std::shared_ptr<SpiDcp> installZN3930(SimBoard& board);
std::shared_ptr<K6623Part> installK6623(SimBoard& board);

} // namespace sim
