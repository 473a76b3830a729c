#pragma once
// The K6627/K6628: one 10-bit wiper driven by one-byte instructions, with a wiper counter
// register (WCR) and four non-volatile data registers (DR0..DR3), each 0x000..0x3FF.
//
// The instruction is the first byte after the address: the register byte, or the first data
// byte of a write sent without one. A value travels as two bytes, the high byte carrying
// bits 9..8 in its two low bits, then the low byte.
//   write  A0 hi lo        WCR := value
//   write  C0+4r hi lo     DRr := value
//   write  E0+4r (alone)   DRr := WCR
//   read   80              WCR as hi, lo
//   read   A0+4r           DRr as hi, lo
//   read   C0+4r           WCR := DRr (the bytes read are FF)
// Anything else is acknowledged and changes nothing. At power-up the WCR loads DR0.
#include "sim/k_daughter.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace sim {

class K6627 : public DaughterBoardI2CPart {
public:
    static constexpr std::uint8_t kAddress7 = 0x28; // write address "50"
    static constexpr int kTaps = 1024;

    explicit K6627(SimBoard& board) : DaughterBoardI2CPart(board) {}

    std::uint16_t wcr = 0;
    std::array<std::uint16_t, 4> dr{}; // non-volatile
    // Reads set the unused bits 7..2 of the high byte, as a part that drives them would:
    // the reader must mask them.
    bool junkHighBits = false;

    // Every acknowledged transfer, with the bridge's two-wire read option as it stood.
    struct Transfer {
        bool read = false;
        std::vector<std::uint8_t> bytes; // written bytes (a read: its register bytes)
        bool twoWireRead = false;
    };
    std::vector<Transfer> transfers;

    bool write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data) override;
    bool read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) override;
    double wiperFraction(int channel) const override;

protected:
    void supplyChanged(bool on) override;
};

std::shared_ptr<K6627> installK6627(SimBoard& board, std::uint8_t address7 = K6627::kAddress7);

} // namespace sim
