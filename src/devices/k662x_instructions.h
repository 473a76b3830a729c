#pragma once
// The one-byte instructions of the 10-bit K662x parts, shared by the I2C register console and
// the SPI one, and the two-byte form their 10-bit values travel in.
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace k662x {

enum class Operation { Read, Write, DataToWiper, WiperToData };

// Instruction bytes as two hex digits, by operation and button index. Read and Write: index 0
// is the wiper, 1..4 data registers 0..3; the transfers: index 0..3 data registers 0..3.
// Data registers are selected by bits 3..2 of the byte.
struct K662xInstructionTable {
    std::array<const char*, 5> read{"80", "A0", "A4", "A8", "AC"};
    std::array<const char*, 5> write{"A0", "C0", "C4", "C8", "CC"};
    std::array<const char*, 4> dataToWiper{"C0", "C4", "C8", "CC"};
    std::array<const char*, 4> wiperToData{"E0", "E4", "E8", "EC"};
};
inline constexpr K662xInstructionTable kInstructions{};

// The instruction text of `op` for button `index`; empty for an index the operation lacks.
QString instruction(Operation op, int index);

constexpr int kMaxValue = 0x3FF;

struct TwoBytes {
    std::uint8_t high; // bits 9..8 of the value in its two low bits
    std::uint8_t low;
};

// A value entered as hex text: hex digits only (leading zeros are fine), 0..0x3FF. Empty for
// anything else: such a text is refused, nothing is sent.
std::optional<TwoBytes> valueBytes(const QString& hexText);

// The value two received bytes carry: only the two low bits of the high byte count.
constexpr int value(std::uint8_t high, std::uint8_t low) { return (high & 0x03) << 8 | low; }

} // namespace k662x
