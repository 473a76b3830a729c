#include "bridge/protocol.h"

#include "shell/text.h"

#include <QLocale>

#include <algorithm>

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

AdcConversion decodeAdcConversion(const Report& reply)
{
    AdcConversion c;
    c.count = decodeAdcCount(reply);
    c.reading = reply[1] == 0 && c.count <= kAdcMaxCount;
    return c;
}

double adcVolts(double vref, int count) { return vref / kAdcMaxCount * count; }

ChannelVolts channelVolts(double vref, int count)
{
    const double volts = adcVolts(vref, count);
    return {volts, 2 * volts};
}

double wiperVoltsOfCount(double vref, int count) { return count * 2 * vref / kAdcMaxCount; }

bool decodeAdcContinuous(const Report& reply) { return reply[2] == 0x01; }

bool decodeAdcEnabled(const Report& reply) { return reply[2] == 0x01; }

std::int32_t decodeExternalAdc(const Report& reply)
{
    std::int32_t v = (reply[3] << 16) | (reply[4] << 8) | reply[5];
    if (v & 0x800000)
        v -= 0x1000000;
    return v;
}

std::uint8_t decodeExternalAdcRegister(const Report& reply)
{
    return static_cast<std::uint8_t>((reply[2] & 0x01) * 128 + (reply[3] >> 1));
}

double externalAdcMillivolts(std::int32_t count, double gain)
{
    constexpr double kFullScaleVolts = 2.5;
    constexpr double kFullScaleCount = 8388607.0;
    if (gain == 0)
        gain = 1;
    return kFullScaleVolts / gain / kFullScaleCount * count * 1000;
}

bool spiFrameGood(std::span<const QString> replies) { return replies.size() > 1 && HexToInt(replies[1]) != 0; }

std::optional<int> spiReadValue(std::span<const QString> replies, int count)
{
    if (count < 1 || count > static_cast<int>(replies.size()))
        return std::nullopt;
    const auto b = HexByte(replies[static_cast<size_t>(count - 1)]);
    if (!b)
        return std::nullopt;
    return *b;
}

std::optional<int> spiReadValue10(std::span<const QString> replies, int count)
{
    const auto low = spiReadValue(replies, count);
    if (!low || count < 2)
        return std::nullopt;
    const QString highText = replies[static_cast<size_t>(count - 2)];
    if (!HexByte(highText))
        return std::nullopt;
    return 256 * HexToInt(highText.right(1)) + *low;
}

std::optional<int> spiWiperPosition(std::span<const QString> replies, int count, bool tenBit, int highest)
{
    const auto read = tenBit ? spiReadValue10(replies, count) : spiReadValue(replies, count);
    if (!read)
        return std::nullopt;
    return std::min(*read, highest);
}

QString spiRegisterText(std::span<const QString> replies, int count)
{
    if (count < 1 || count > static_cast<int>(replies.size()))
        return QStringLiteral("--");
    const QString& reply = replies[static_cast<size_t>(count - 1)];
    return reply.size() == 1 ? u'0' + reply : reply;
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
