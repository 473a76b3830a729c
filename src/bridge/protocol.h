#pragma once
// The bridge's report protocol: command codes, how each command's exchange runs, and the
// builders and decoders of the request and reply bytes. No windows here.
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace bridge {

using Report = std::array<std::uint8_t, 64>;

enum Command : std::uint8_t {
    kFirmwareVersion = 0x00,
    kLeds = 0x01,
    kPortModes = 0x02,    // P1/P2 output modes and pull-ups
    kI2COptions = 0x04,
    kSmbusClock = 0x05,
    kI2CTransfer = 0x06,
    kSpiMode = 0x07,
    kSpiClock = 0x08,
    kSpiTransfer = 0x09,
    kAdcClock = 0x0A,
    kAdcReference = 0x0B,
    kAdcMux = 0x0C,
    kAdcMode = 0x0D,
    kAdcAveraging = 0x0E,
    kAdcSampleRate = 0x0F,
    kAdcEnable = 0x10,
    kAdcConvert = 0x11,
    kSfrAccess = 0x12,
    kExternalAdc = 0x13,
};

enum : std::uint8_t { kSet = 0, kGet = 1 };

// How one command's exchange runs.
struct ExchangeKind {
    bool drain = false;          // stale input is drained before the request is built
    bool zeroed = false;         // the buffer is zeroed before the request is built
    bool drainAfterZero = false; // zeroed first, then drained (a drained report refills the buffer)
    bool guarded = false;        // the write result goes through checkStatus
    bool cleared = false;        // the buffer is zeroed again before the reply is read
    bool reply = false;          // the reply is awaited
    bool writesByte2 = true;     // byte 2 of the request is written
};

enum class Variant { Plain, SclToggle };

// The exchange of command `code` with byte 2 = `byte2` (set/get, read mode, operation).
// Null for the I2C transfer, which the link runs itself, and for unknown codes.
const ExchangeKind* exchangeKind(std::uint8_t code, std::uint8_t byte2, Variant variant = Variant::Plain);

// --- decoders -------------------------------------------------------------------------
struct FirmwareVersion {
    int major = 0, minor = 0, year = 0, month = 0, day = 0;
};
FirmwareVersion decodeFirmwareVersion(const Report& reply);
// "Firmware Version 2.5 - 2010/March/15"; a month outside 1..12 shows as its number.
QString firmwareText(const FirmwareVersion& v);

int decodeAdcCount(const Report& reply);         // bytes 2 (high) and 3 (low), 10 bits

// --- the on-chip ADC
constexpr int kAdcMaxCount = 1023; // full scale of the 10-bit converter

// A conversion reply (0x11) and whether it is a reading at all. The converter has 10 bits, so
// a count above 1023 cannot be one of its results (it is some other reply's bytes), and a
// reply whose status byte 1 is not 0 says the conversion was not done. Either counts as a
// conversion that was not received; the count is kept for whoever shows the raw reply.
struct AdcConversion {
    int count = 0;        // bytes 2 (high) and 3 (low)
    bool reading = false; // status 0 and a count the converter can give
};
AdcConversion decodeAdcConversion(const Report& reply);
// What a volts field shows where a conversion gave no reading: never the last value.
inline const QString kNoReadingText = QStringLiteral("-.---");

// A count in volts at the reference vref: vref / 1023 x count (the division first, as every
// reading on screen has always been worked out).
double adcVolts(double vref, int count);
// A channel read: the input's volts and, for the VCC/2 input, VCC (twice the input).
struct ChannelVolts {
    double volts = 0.0;
    double vcc = 0.0;
};
ChannelVolts channelVolts(double vref, int count);
// The run-in's wiper reading: the board halves the wiper voltage at the input, so the wiper
// is count x 2 x vref / 1023 (in this order, as its log has always carried it).
double wiperVoltsOfCount(double vref, int count);

// Read-backs of the ADC configuration gets: byte 2 = 1 means continuous conversions (0x0D)
// and an enabled converter (0x10); any other value means single and disabled.
bool decodeAdcContinuous(const Report& reply);
bool decodeAdcEnabled(const Report& reply);

// --- the external delta-sigma ADC (0x13)
std::int32_t decodeExternalAdc(const Report& reply); // bytes 3..5, 24-bit two's complement
// A register access's read-back: the converter's serial output arrives one bit late, so bit 7
// of the value is bit 0 of byte 2 and bits 6..0 are bits 7..1 of byte 3.
std::uint8_t decodeExternalAdcRegister(const Report& reply);
// A conversion count in millivolts: full scale 2.5 V at 2^23 - 1, divided by the gain (a gain
// of 0 counts as 1).
double externalAdcMillivolts(std::int32_t count, double gain);

// --- SPI read-backs, from the reply fields of a motherboard SPI terminal: each field holds a
// reply byte as hex text, or "--" (or other text that is no byte) where nothing came.
//
// A frame is good when received byte 1 is not 0: "00", "--" and text without a leading hex
// digit fail.
bool spiFrameGood(std::span<const QString> replies);
// The last byte clocked in (field count - 1); nullopt when count is outside the fields or
// that field holds no byte.
std::optional<int> spiReadValue(std::span<const QString> replies, int count);
// 10-bit read: 256 x (last character of field count - 2) + field count - 1, so "F2" counts as
// 2; nullopt when either field is missing or holds no byte.
std::optional<int> spiReadValue10(std::span<const QString> replies, int count);
// A wiper read-back as the window shows it: the position (10-bit or one byte), no higher than
// highest (the window's tap count).
std::optional<int> spiWiperPosition(std::span<const QString> replies, int count, bool tenBit, int highest);
// A register read-back as the window shows it: the last field, a lone digit with a leading
// "0"; "--" when count is outside the fields.
QString spiRegisterText(std::span<const QString> replies, int count);

struct BusClock {
    int baseMhz = 0;
    int divider = 0;
};
BusClock decodeBusClock(const Report& reply);    // SMBus (0x05) and SPI (0x08) clock gets

// --- builders for the requests that bypass the generic sender -------------------------
// SPI transfer (0x09): bytes 3..6 and 7..6+n; the bytes after the data keep their values.
void buildSpiTransfer(Report& buf, bool readBack, std::uint8_t phaseChange, std::uint8_t phaseByte,
                      std::span<const std::uint8_t> data);
// Port write written directly by the run-in test and the quad consoles: the report number
// and bytes 1..4 only.
void buildDirectSfrWrite(Report& buf, std::uint8_t sfrAddress, std::uint8_t value);
// The run-in test's conversion request: bytes 0..3 only.
void buildDirectConversion(Report& buf);

constexpr int kMaxSpiBytes = 57;
constexpr int kMaxI2CReadBytes = 62;
constexpr int kMaxI2CWriteBytes = 59; // data plus register bytes

} // namespace bridge
