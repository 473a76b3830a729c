#pragma once
// The part under test as the device windows describe it, and the entry rules of their wiper,
// address and register fields. No widgets here: the windows and the tests share these rules.
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace devices {

// --- taps ---------------------------------------------------------------------------------

// The taps options, by option index: "16" .. "1024".
inline constexpr std::array<int, 8> kTapCounts{16, 32, 64, 100, 128, 256, 512, 1024};
inline constexpr int kTapsIndex128 = 4;

// One slider tick every step positions: taps / 16, except 100 taps, which use 5.
int tapStep(int taps);

// Parts above 256 taps show positions with one digit more.
inline bool wideTaps(int taps) { return taps > 256; }

// The texts the entry fields and read labels show before a position is known.
struct Placeholders {
    QString dec, hex, readDec, readHex;
};
Placeholders placeholders(int taps);

// The channels options, by option index: "1", "2", "4" channels shown.
inline constexpr std::array<int, 3> kChannelOptions{1, 2, 4};

// --- presets ------------------------------------------------------------------------------

struct DevicePreset {
    const char* caption;     // the menu entry: the part number
    const char* product;     // lblProduct
    const char* address;     // txtDeviceAdr, 8-bit write address
    const char* acrAddress;  // txtACRAddress
    int tapsIndex;           // OptTaps
    int chansIndex;          // OptChans
    int channels;            // g_ChannelCount
};
// The I2C window's "Device Select" presets, in menu order.
extern const std::array<DevicePreset, 4> kI2CPresets;

// --- text of positions --------------------------------------------------------------------

// A position as the panels show it in hex: upper case, a leading "0" when it has one digit.
QString positionHex(int p);
// True when text is one or more hexadecimal digits and nothing else.
bool isHexDigits(const QString& text);

// The hex field after Enter. threeDigitForm: the form of parts above 256 taps (the I2C
// window); the field then always holds three digits or more. Text with any character that
// is not a hex digit counts as invalid, like a value out of range.
QString hexCommitText(const QString& typed, int taps, bool threeDigitForm);
// The position a decimal field names on Enter: out-of-range numbers give 0, fractions round
// to the nearest whole position (halves to even).
int decimalCommitPosition(const QString& typed, int taps);

// --- device address -----------------------------------------------------------------------

// The I2C address field after Enter or leaving it: upper case; no value, 0, negative or above
// FF gives "50"; an odd value (which the link would send as a read) gives the even address
// below it, and "50" when that is 0.
// An entry box of the SPI window (ID byte, ACR and GP instructions and values) on Enter or
// on leaving it: upper case; hex digits only, worth 1 to limit, stay as typed (not padded,
// not cut); anything else (0, too large, a character that is no hex digit) gives fallback.
QString spiBoxText(const QString& typed, int limit, const QString& fallback);
// The SPI window's ID byte: spiBoxText with the limit 0x100 and "50" (any low bit kept).
QString spiIdText(const QString& typed);
QString deviceAddressText(const QString& typed);
// The address every transfer uses: the field's value with the read bit cleared.
std::uint8_t deviceAddressByte(const QString& text);
// The address the pins A0..A3 select: 0x50 + 2 A0 + 4 A1 + 8 A2 + 16 A3.
int pinAddress(const std::array<bool, 4>& pins);

// --- register fields ----------------------------------------------------------------------

// An ACR or general-purpose register field after Enter or leaving it: upper case; a byte
// 01..FF stays as typed, anything else (0, too large, not hex digits, "NA") gives "00".
QString registerFieldText(const QString& typed);
// The byte a register field names: hex digits only, 00..FF (leading zeros allowed).
std::optional<std::uint8_t> registerFieldByte(const QString& text);

// --- wiper transfer bytes -----------------------------------------------------------------

// What a wiper write hands the bridge console, worked out before anything is sent.
enum class WiperLayout { OneByte, TenBit, QuadInstruction };
struct WiperWrite {
    QString error;                  // non-empty: nothing may be sent; the text tells why
    std::vector<std::uint8_t> data; // data bytes in order (register byte not included)
    int value = 0;
};
// size: the data-size list index (1 one byte, 2 two bytes); quad: the instruction form.
WiperWrite wiperWriteBytes(int channel, const QString& hexText, int size, bool quad, int reg);

} // namespace devices
