#include "bridge/protocol.h"

#include <QLocale>

namespace bridge {

namespace {

struct Row {
    std::uint8_t code;
    int byte2; // -1: any
    Variant variant;
    ExchangeKind kind;
};

// clang-format off
constexpr ExchangeKind kQueryCleared   {.drain = true, .zeroed = true, .guarded = true, .cleared = true,  .reply = true};
constexpr ExchangeKind kQueryRaw       {.drain = true, .zeroed = true, .guarded = true, .cleared = false, .reply = true};
constexpr ExchangeKind kSetGuarded     {.zeroed = true, .guarded = true};
constexpr ExchangeKind kSetUnguarded   {.zeroed = true};

const Row kTable[] = {
    {kFirmwareVersion, -1, Variant::Plain, {.drain = true, .zeroed = true, .guarded = true, .cleared = true, .reply = true, .writesByte2 = false}},
    {kLeds,         kSet, Variant::Plain, kSetGuarded},
    {kLeds,         kGet, Variant::Plain, kQueryCleared},
    {kPortModes,    kSet, Variant::Plain, kSetGuarded},
    {kI2COptions,   kSet, Variant::Plain, kSetGuarded},
    {kI2COptions,   kSet, Variant::SclToggle, kQueryCleared},
    {kI2COptions,   kGet, Variant::Plain, kQueryCleared},
    {kSmbusClock,   kSet, Variant::Plain, kSetGuarded},
    {kSmbusClock,   kGet, Variant::Plain, kQueryCleared},
    {kSpiMode,      kSet, Variant::Plain, kSetUnguarded},
    {kSpiMode,      kGet, Variant::Plain, kQueryCleared},
    {kSpiClock,     kSet, Variant::Plain, kSetGuarded},
    {kSpiClock,     kGet, Variant::Plain, kQueryCleared},
    // The SPI transfer is awaited only when the slave's bytes are asked for (byte 3 = 1).
    {kSpiTransfer,  -1,   Variant::Plain, {.drain = true, .zeroed = false, .guarded = true, .cleared = true, .reply = true}},
    {kAdcClock,     kSet, Variant::Plain, kSetUnguarded},
    {kAdcClock,     kGet, Variant::Plain, kQueryRaw},
    {kAdcReference, kGet, Variant::Plain, kQueryRaw},
    {kAdcMux,       kSet, Variant::Plain, kSetUnguarded},
    {kAdcMux,       kGet, Variant::Plain, kQueryRaw},
    {kAdcMode,      kSet, Variant::Plain, kSetUnguarded},
    {kAdcMode,      kGet, Variant::Plain, kQueryRaw},
    {kAdcAveraging, kSet, Variant::Plain, kSetUnguarded},
    {kAdcAveraging, kGet, Variant::Plain, kQueryRaw},
    {kAdcSampleRate,kSet, Variant::Plain, {.drain = true, .zeroed = true}},
    {kAdcSampleRate,kGet, Variant::Plain, kQueryRaw},
    {kAdcEnable,    kSet, Variant::Plain, {}},
    {kAdcEnable,    kGet, Variant::Plain, {.drain = true, .guarded = true, .reply = true}},
    {kAdcConvert,   -1,   Variant::Plain, {.drain = true, .guarded = true, .reply = true}},
    {kSfrAccess,    kGet, Variant::Plain, kQueryRaw},
    {kSfrAccess,    kSet, Variant::Plain, kSetUnguarded},
    {kExternalAdc,  -1,   Variant::Plain, {.zeroed = true, .drainAfterZero = true, .guarded = true, .reply = true}},
};
// clang-format on

} // namespace

const ExchangeKind* exchangeKind(std::uint8_t code, std::uint8_t byte2, Variant variant)
{
    for (const Row& r : kTable)
        if (r.code == code && (r.byte2 < 0 || r.byte2 == byte2) && r.variant == variant)
            return &r.kind;
    return nullptr;
}

FirmwareVersion decodeFirmwareVersion(const Report& reply)
{
    return {reply[2], reply[3], reply[4] * 256 + reply[5], reply[6], reply[7]};
}

QString firmwareText(const FirmwareVersion& v)
{
    const QString month = v.month >= 1 && v.month <= 12 ? QLocale().monthName(v.month, QLocale::LongFormat)
                                                        : QString::number(v.month);
    return QString("Firmware Version %1.%2 - %3/%4/%5").arg(v.major).arg(v.minor).arg(v.year).arg(month).arg(v.day);
}

int decodeAdcCount(const Report& reply) { return reply[2] * 256 + reply[3]; }

std::int32_t decodeExternalAdc(const Report& reply)
{
    std::int32_t v = (reply[3] << 16) | (reply[4] << 8) | reply[5];
    if (v & 0x800000)
        v -= 0x1000000;
    return v;
}

BusClock decodeBusClock(const Report& reply) { return {reply[2], reply[3]}; }

void buildSpiTransfer(Report& buf, bool readBack, std::uint8_t phaseChange, std::uint8_t phaseByte,
                      std::span<const std::uint8_t> data)
{
    buf[0] = 1;
    buf[1] = kSpiTransfer;
    buf[2] = 0;
    buf[3] = readBack ? 1 : 0;
    buf[4] = phaseChange;
    buf[5] = phaseByte;
    const size_t n = std::min<size_t>(data.size(), kMaxSpiBytes);
    buf[6] = static_cast<std::uint8_t>(n);
    for (size_t i = 0; i < n; ++i)
        buf[7 + i] = data[i];
}

void buildDirectSfrWrite(Report& buf, std::uint8_t sfrAddress, std::uint8_t value)
{
    buf[0] = 1; // a stale report number would address another report
    buf[1] = kSfrAccess;
    buf[2] = kSet;
    buf[3] = sfrAddress;
    buf[4] = value;
}

void buildDirectConversion(Report& buf)
{
    buf[0] = 1;
    buf[1] = kAdcConvert;
    buf[2] = 0; // single
    buf[3] = 0; // 31 samples
}

} // namespace bridge
