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
std::int32_t decodeExternalAdc(const Report& reply); // bytes 3..5, 24-bit two's complement

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
