#pragma once
// The quad potentiometers' one-byte instructions, without any window: the nine
// instructions the consoles offer, how an instruction byte is composed from the
// instruction nibble, the data register and the pot, the instruction table shown beside
// the options, the frame sizes each bus uses, and the checks of the value fields.
//
// Instruction byte, most significant bit first: I3 I2 I1 I0 R1 R0 P1 P0.
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace quad {

enum class Bus { I2C, SPI };

// What an instruction does, as the consoles remember it ("Read", "Write", "XFER", "XFERG",
// "INC"; empty while none is chosen).
inline const QString kOpRead = QStringLiteral("Read");
inline const QString kOpWrite = QStringLiteral("Write");
inline const QString kOpXfer = QStringLiteral("XFER");
inline const QString kOpXferG = QStringLiteral("XFERG");
inline const QString kOpInc = QStringLiteral("INC");
inline const QString kKindWcr = QStringLiteral("WCR");
inline const QString kKindData = QStringLiteral("Data");

struct Instruction {
    const char* caption;     // the option's caption
    std::uint8_t nibble;     // I3..I0
    const char* operation;
    const char* registerKind; // "" for transfers and INC
    const char* xferSource;   // nullptr: the previous source stays
    bool registerForced;      // R1 R0 forced to 0
    bool potForced;           // P1 P0 forced to 0
    bool writeValueEnabled;   // txtWriteValue
    bool readValueEnabled;    // lblReadValue
};

inline constexpr int kInstructionCount = 9;
extern const std::array<Instruction, kInstructionCount> kInstructions;

// Option indexes the register buttons, the fill and the store buttons select.
inline constexpr int kReadWcr = 0, kWriteWcr = 1, kReadData = 2, kWriteData = 3, kXferDataToWcr = 4,
                     kXferWcrToData = 5, kGlobalDataToWcr = 6, kGlobalWcrToData = 7, kIncDec = 8;

// The composed byte; regField is R1 R0 already shifted (register * 4).
constexpr std::uint8_t instructionByte(std::uint8_t nibble, std::uint8_t regField, std::uint8_t pot)
{
    return static_cast<std::uint8_t>(((nibble & 0x0F) << 4) | ((regField + pot) & 0x0F));
}
// One upper-case hexadecimal digit, no leading zero ("A", "F", "0").
QString hexDigit(int value);

// The instruction table: 10 rows by 10 columns, row 0 the headers.
inline constexpr int kTableRows = 10, kTableColumns = 10;
extern const std::array<std::array<const char*, kTableColumns>, kTableRows> kInstructionTable;

// The first byte of the increment/decrement preamble: the part's address with its address
// pins low, whatever the device window's address field holds.
inline constexpr std::uint8_t kPreambleFirstByte = 0x50;

// Register numbering in the register panel: data register r of pot p is k = 4p + r.
constexpr int dataIndex(int pot, int reg) { return pot * 4 + reg; }

// Bytes of one transfer on each bus. I2C: the data bytes after the address (the read
// sends the instruction as its one register byte and reads one byte). SPI: the frame
// length on terminal 3, the ID byte included; a read takes its length from the part.
struct FrameCounts {
    int write;
    int xfer;
};
constexpr FrameCounts frameCounts(Bus bus) { return bus == Bus::I2C ? FrameCounts{2, 1} : FrameCounts{3, 2}; }
inline constexpr int kI2CReadCount = 1;

// Value written by the register fill into data register k.
inline QString fillValue(int k) { return QString("%1").arg(k, 2, 16, QChar('0')).toUpper(); }
inline const std::array<const char*, 4> kFillWcrValues{"AA", "BB", "CC", "DD"};

// A value field checked when it loses the focus: upper-cased; its leading hexadecimal
// digits must be worth 1 to 255, else the field becomes "00". The digits as typed stay.
QString checkedEntry(const QString& text);

// A value about to be written: one to any number of hexadecimal digits and nothing else,
// worth 00 to FF. Anything else (markers such as "<<" or "^v", "5G", "") is no byte.
std::optional<std::uint8_t> writeValue(const QString& text);

} // namespace quad
