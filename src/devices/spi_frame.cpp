#include "devices/spi_frame.h"

#include "shell/text.h"

namespace spi {

namespace {

const QString kK6623Prefix = QStringLiteral("K6623/4");
constexpr int kOneByteMax = 0xFF;
constexpr int kTenBitMax = 0x3FF;

// The count field as a number from minimum to 5; a refusal names the field.
std::optional<int> frameCount(const QString& text, int minimum, const QString& field, QString& refusal)
{
    const auto n = DecimalNumber(text, 2);
    if (n && *n >= minimum && *n <= kMaxFrameBytes)
        return n;
    refusal = QString("%1 \"%2\" is no count from %3 to %4. Nothing was sent.")
                  .arg(field, text)
                  .arg(minimum)
                  .arg(kMaxFrameBytes);
    return std::nullopt;
}

FrameResult refused(QString why)
{
    FrameResult r;
    r.refusal = std::move(why);
    return r;
}

FrameResult framed(int terminal, const QString& count, std::vector<QString> bytes)
{
    FrameResult r;
    r.frame = SpiDeviceFrame{terminal, count, std::move(bytes)};
    return r;
}

// ID first when the window sends it.
std::vector<QString> withId(const SpiWindowTexts& w, std::vector<QString> bytes)
{
    if (w.sendId)
        bytes.insert(bytes.begin(), frameByte(w.deviceId));
    return bytes;
}

QString instruction(const QString& base, int channel) { return hexNoLeadingZero(HexToInt(base) + channel); }

// ID + 1 of an ID of hex digits; any other ID ("NA", "5G") goes unchanged, for the terminal
// to refuse, rather than addressing whatever chip its leading digits name.
QString idPlusOne(const QString& deviceId)
{
    const auto id = hexDigitsValue(deviceId.trimmed());
    return id ? hexNoLeadingZero(*id + 1) : deviceId;
}

const QString kWriteCountField = QStringLiteral("Write Byte Quantity");
const QString kReadCountField = QStringLiteral("Read Byte Quantity");

} // namespace

QString frameByte(const QString& text)
{
    const auto v = hexDigitsValue(text.trimmed());
    return v && *v <= kOneByteMax ? Hex2(static_cast<std::uint8_t>(*v)) : text;
}

QString hexNoLeadingZero(int value) { return QString::number(value, 16).toUpper(); }

QString padTo3(const QString& text) { return text.rightJustified(3, u'0'); }

std::optional<int> hexDigitsValue(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0 || c.unicode() > 127)
            return std::nullopt;
        value = value * 16 + d;
        if (value > 0xFFFFF)
            return std::nullopt; // far beyond any register; keeps the sum in range
    }
    return value;
}

bool isK6623Product(const QString& product) { return product.startsWith(kK6623Prefix); }

FrameResult wiperWrite(const SpiWindowTexts& w, int channel, const QString& hexBox)
{
    QString why;
    if (!frameCount(w.writeCount, 1, kWriteCountField, why))
        return refused(why);
    const bool tenBit = isK6623Product(w.product);
    const QString box = tenBit ? padTo3(hexBox) : hexBox;
    const auto position = hexDigitsValue(box.trimmed());
    if (!position)
        return refused(QString("Channel %1: \"%2\" is no wiper position. Nothing was written.").arg(channel).arg(hexBox));
    if (*position > (tenBit ? kTenBitMax : kOneByteMax))
        return refused(QString("Channel %1: position %2 (%3) does not fit this part's %4 wiper register. Nothing was written.")
                           .arg(channel)
                           .arg(*position)
                           .arg(hexNoLeadingZero(*position), tenBit ? "ten-bit" : "one-byte"));
    const QString instr = instruction(w.writeBase, channel);
    if (!tenBit)
        return framed(kWriteTerminal, w.writeCount, withId(w, {instr, Hex2(static_cast<std::uint8_t>(*position))}));
    // The 10-bit form always carries the ID, whatever "ID Enabled" says.
    FrameResult r = framed(kWriteTerminal, w.writeCount,
                           {frameByte(w.deviceId), instr, Hex2(static_cast<std::uint8_t>(*position >> 8)),
                            Hex2(static_cast<std::uint8_t>(*position & 0xFF))});
    r.paddedHex = box;
    return r;
}

FrameResult wiperRead(const SpiWindowTexts& w, int channel, const QString& hexBox)
{
    const bool tenBit = isK6623Product(w.product);
    QString why;
    if (!frameCount(w.readCount, tenBit ? 2 : 1, kReadCountField, why))
        return refused(why);
    const QString instr = instruction(w.readBase, channel);
    if (!tenBit)
        return framed(kReadTerminal, w.readCount, withId(w, {instr, kFiller, kFiller, kFiller}));
    FrameResult r = framed(kReadTerminal, w.readCount, {idPlusOne(w.deviceId), instr, kFiller, kFiller, kFiller});
    r.paddedHex = padTo3(hexBox);
    return r;
}

FrameResult registerWrite(const SpiWindowTexts& w, const QString& address, const QString& value)
{
    QString why;
    if (!frameCount(w.writeCount, 1, kWriteCountField, why))
        return refused(why);
    return framed(kWriteTerminal, w.writeCount, withId(w, {frameByte(address), frameByte(value)}));
}

FrameResult registerRead(const SpiWindowTexts& w, const QString& address)
{
    QString why;
    if (!frameCount(w.readCount, 1, kReadCountField, why))
        return refused(why);
    return framed(kReadTerminal, w.readCount, withId(w, {frameByte(address), kFiller, kFiller, kFiller}));
}

// --- the 10-bit register console

QString k6623Instruction(K6623Op op, int index)
{
    // Data register r sits in bits 3..2: 0x04 x r.
    switch (op) {
    case K6623Op::Read: // wiper 80, data r A0 + 4r
        return Hex2(static_cast<std::uint8_t>(index == 0 ? 0x80 : 0xA0 + 4 * (index - 1)));
    case K6623Op::Write: // wiper A0, data r C0 + 4r
        return Hex2(static_cast<std::uint8_t>(index == 0 ? 0xA0 : 0xC0 + 4 * (index - 1)));
    case K6623Op::DataToWiper:
        return Hex2(static_cast<std::uint8_t>(0xC0 + 4 * index));
    case K6623Op::WiperToData:
        return Hex2(static_cast<std::uint8_t>(0xE0 + 4 * index));
    }
    return {};
}

FrameResult k6623Frame(K6623Op op, int index, const QString& deviceId, const QString& valueBox)
{
    const QString instr = k6623Instruction(op, index);
    switch (op) {
    case K6623Op::Read:
        // Five byte fields filled, four sent.
        return framed(kReadTerminal, "4", {idPlusOne(deviceId), instr, kFiller, kFiller, kFiller});
    case K6623Op::Write: {
        const QString box = padTo3(valueBox);
        const auto value = hexDigitsValue(box);
        if (!value || *value > kTenBitMax)
            return refused(QString("\"%1\" is no ten-bit value (000 to 3FF). Nothing was written.").arg(valueBox));
        FrameResult r = framed(kWriteTerminal, "4",
                               {frameByte(deviceId), instr, Hex2(static_cast<std::uint8_t>(*value >> 8)),
                                Hex2(static_cast<std::uint8_t>(*value & 0xFF))});
        r.paddedHex = box;
        return r;
    }
    case K6623Op::DataToWiper:
        return framed(kWriteTerminal, "2", {idPlusOne(deviceId), instr});
    case K6623Op::WiperToData:
        return framed(kWriteTerminal, "2", {frameByte(deviceId), instr});
    }
    return {};
}

} // namespace spi
