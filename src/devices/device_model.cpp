#include "devices/device_model.h"

#include "shell/text.h"

#include <cmath>

namespace devices {

int tapStep(int taps) { return taps == 100 ? 5 : taps / 16; }

Placeholders placeholders(int taps)
{
    if (wideTaps(taps))
        return {"0000", "000", "----", "---"};
    return {"000", "00", "---", "--"};
}

const std::array<DevicePreset, 4> kI2CPresets{{
    {"ZN3710", "ZN3710, I2C, Single Channel, 128 Tap QPOT", "50", "02", 4, 0, 1},
    {"ZN3740", "ZN3740, I2C, Four Channel, 128 Tap QPOT", "A0", "08", 4, 2, 4},
    {"ZN3750", "ZN3750, I2C, Four Channel, 256 Tap QPOT", "A0", "10", 5, 2, 4},
    {"ZN3810", "ZN3810, I2C, Single Channel, 128 Tap QPOT", "50", "02", 4, 0, 1},
}};

QString positionHex(int p)
{
    QString t = QString::number(p, 16).toUpper();
    return t.size() == 1 ? "0" + t : t;
}

bool isHexDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

QString hexCommitText(const QString& typed, int taps, bool threeDigitForm)
{
    QString t = typed.toUpper();
    const bool wide = threeDigitForm && wideTaps(taps);
    const QString zero = wide ? "000" : "00";
    if (!t.isEmpty() && !isHexDigits(t))
        return zero;
    // Judge the whole number: a 16-bit reading would take "10005" for 5 and show a position
    // that the write then refuses.
    bool ok = false;
    const qlonglong v = t.size() <= 8 ? t.toLongLong(&ok, 16) : 0;
    if (!ok || v == 0 || v > taps)
        return zero;
    if (t.size() == 1)
        t = "0" + t;
    if (wide && t.size() == 2)
        t = "0" + t;
    return t;
}

int decimalCommitPosition(const QString& typed, int taps)
{
    const double v = Val(typed);
    if (v < 0 || v > taps)
        return 0;
    return CInt(v);
}

QString deviceAddressText(const QString& typed)
{
    const QString t = typed.toUpper();
    const int v = HexToInt(t);
    if (v <= 0 || v > 0xFF)
        return "50";
    if (v & 1)
        return v == 1 ? "50" : Hex2(static_cast<std::uint8_t>(v - 1));
    return t;
}

QString spiBoxText(const QString& typed, int limit, const QString& fallback)
{
    const QString t = typed.toUpper();
    if (!isHexDigits(t))
        return fallback;
    int v = 0;
    for (QChar c : t) {
        v = v * 16 + QStringLiteral("0123456789ABCDEF").indexOf(c);
        if (v > limit)
            return fallback;
    }
    return v >= 1 ? t : fallback;
}

QString spiIdText(const QString& typed) { return spiBoxText(typed, 0x100, QStringLiteral("50")); }

std::uint8_t deviceAddressByte(const QString& text) { return static_cast<std::uint8_t>(HexToInt(text) & 0xFE); }

int pinAddress(const std::array<bool, 4>& pins)
{
    int a = 0x50;
    for (int i = 0; i < 4; ++i)
        if (pins[size_t(i)])
            a += 2 << i;
    return a;
}

WiperWrite wiperWriteBytes(int channel, const QString& hexText, int size, bool quad, int reg)
{
    WiperWrite w;
    const QString t = hexText.trimmed();
    const QString head = QString("Channel %1: ").arg(channel);
    if (!isHexDigits(t) || t.size() > 8) {
        w.error = head + QString("\"%1\" is not a hexadecimal wiper position. Nothing was written.").arg(hexText);
        return w;
    }
    w.value = static_cast<int>(t.toLongLong(nullptr, 16));
    const QString pos = QString("position %1 (%2)").arg(w.value).arg(t.toUpper());
    if (quad) {
        if (w.value > 0xFF) {
            w.error = head + pos + " does not fit this part's one-byte wiper register. Nothing was written.";
            return w;
        }
        w.data = {static_cast<std::uint8_t>(0xA0 + reg), static_cast<std::uint8_t>(w.value)};
        return w;
    }
    if (size == 1) {
        if (w.value > 0xFF) {
            w.error = head + pos + " does not fit this part's one-byte wiper register. Nothing was written.";
            return w;
        }
        w.data = {static_cast<std::uint8_t>(w.value)};
        return w;
    }
    if (size == 2) {
        if (w.value > 0x3FF) {
            w.error = head + pos + " does not fit this part's 10-bit wiper register. Nothing was written.";
            return w;
        }
        w.data = {static_cast<std::uint8_t>(w.value >> 8), static_cast<std::uint8_t>(w.value & 0xFF)};
        return w;
    }
    w.error = head + "the data size is \"None\", so no wiper value can be sent. Nothing was written.";
    return w;
}

std::optional<std::uint8_t> registerFieldByte(const QString& text)
{
    if (!isHexDigits(text))
        return std::nullopt;
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (!ok || v > 0xFF)
        return std::nullopt;
    return static_cast<std::uint8_t>(v);
}

QString registerFieldText(const QString& typed)
{
    const QString t = typed.toUpper();
    const auto b = registerFieldByte(t);
    return b && *b != 0 ? t : QStringLiteral("00");
}

} // namespace devices
