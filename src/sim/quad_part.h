#pragma once
// Simulated quad potentiometers, one for each bus: four pots, each with a wiper counter
// register (WCR, volatile) and four data registers (non-volatile, kept over power cycles),
// driven by one-byte instructions I3..I0 R1 R0 P1 P0:
//   9 read WCR(P)            A write WCR(P) <- next byte    B read DR(P,R)
//   C write DR(P,R) <- next  D DR(P,R) -> WCR(P)             E WCR(P) -> DR(P,R)
//   1 DR(*,R) -> WCR(*)      8 WCR(*) -> DR(*,R)             2 increment/decrement WCR(P)
// At power-up every WCR is loaded from data register 0 of its pot.
//
// The I2C part answers at write address 0x50 (address pins strapped low): a write carries
// the instruction and, for A and C, the value; a read sends the instruction as its register
// byte and reads the register back. The SPI part takes frames [ID 0x50, instruction, value
// or filler]: it clocks back 0xFF during the first two bytes and the register during the
// third.
//
// Increment/decrement mode is entered from port pins that the crossbar has freed, as the
// consoles do it: with XBR0 bit 2 (SMBus) clear SDA = P0.4 and SCL = P0.5 are plain port
// lines; with bit 1 (SPI) also clear SCLK = P0.0, MOSI = P0.2 and NSS = P0.3 are. The part
// decodes the pin edges: I2C a start condition, the address byte 0x50 and the byte 0x2P, each
// followed by an acknowledge clock (bits taken on SCL rising); SPI NSS low, then 0x50 and 0x2P
// MSB first on SCLK rising. From then on every whole clock pulse (rising, then falling) steps
// WCR(P) by one, up while the data line is high, down while it is low, within 00..FF. An I2C
// stop (SDA rising while SCL is high) or NSS going high ends the mode without a step. While
// its bus function is off in the crossbar, the part does not answer bus transfers.
//
// The wiper of pot p drives the board's ADC input VIN p: VCC x WCR(p) / 255.
#include "sim/i2c_devices.h"
#include "sim/spi_devices.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace sim {

class SimBoard;

// The registers and instructions, shared by both parts.
class QuadPotCore {
public:
    static constexpr std::uint8_t kAddressByte = 0x50; // I2C write address, SPI ID byte

    std::array<std::uint8_t, 4> wcr{};
    std::array<std::uint8_t, 16> data{}; // k = 4 x pot + register
    int incPot = -1;                      // pot in increment/decrement mode, -1 none
    int steps = 0;                        // increment/decrement steps taken

    static bool takesValue(std::uint8_t instruction);
    static bool reads(std::uint8_t instruction);
    // Carries out an instruction (with its value for A and C); returns the register read
    // for 9 and B.
    std::optional<std::uint8_t> execute(std::uint8_t instruction, std::uint8_t value = 0);
    void step(bool up);
    // Follows the supply: a part that comes back on loads its WCRs from data register 0.
    // Returns whether it is on.
    bool followSupply(bool on);

private:
    bool wasOn_ = true;
};

// Decodes the bit-banged byte stream and the steps of increment/decrement mode.
class QuadPinDecoder {
public:
    explicit QuadPinDecoder(QuadPotCore& core) : core_(core) {}
    // Leaves any sequence: the bus function took the pins back.
    void reset();
    // One write of the port latch: the pin levels before and after. Data line changes are
    // taken before clock changes.
    void i2c(bool sdaBefore, bool sclBefore, bool sda, bool scl);
    void spi(bool nssBefore, bool sclkBefore, bool nss, bool sclk, bool mosi);

private:
    enum class State { Idle, Byte1, Byte2, Stepping, Ignore };
    void begin();
    void clockRise(bool dataLine, bool withAck);
    void clockFall();
    void byteDone();

    QuadPotCore& core_;
    State state_ = State::Idle;
    int bits_ = 0;
    std::uint8_t shift_ = 0;
    bool pulseUp_ = false, inPulse_ = false;
};

class QuadI2CPart : public I2CDevice, public QuadPotCore {
public:
    static constexpr std::uint8_t kAddress7 = kAddressByte >> 1;
    // Attaches the part to the board's I2C bus, its port pins and the ADC's wiper inputs.
    static std::shared_ptr<QuadI2CPart> install(SimBoard& board);

    explicit QuadI2CPart(SimBoard& board);
    bool write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data) override;
    bool read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) override;
    bool powered() const override;
    int reads = 0, writes = 0;
    QuadPinDecoder pins{*this};

private:
    SimBoard& board_;
};

class QuadSpiPart : public RecordingSpiDevice, public QuadPotCore {
public:
    static std::shared_ptr<QuadSpiPart> install(SimBoard& board);

    explicit QuadSpiPart(SimBoard& board);
    void select() override;
    QuadPinDecoder pins{*this};

protected:
    std::uint8_t answer(std::uint8_t mosi) override;

private:
    SimBoard& board_;
    int position_ = 0;
    std::uint8_t instruction_ = 0;
};

} // namespace sim
