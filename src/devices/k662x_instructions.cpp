#include "devices/k662x_instructions.h"

namespace k662x {

QString instruction(Operation op, int index)
{
    auto pick = [index](const auto& row) {
        return index >= 0 && index < static_cast<int>(row.size()) ? QString::fromLatin1(row[static_cast<size_t>(index)])
                                                                   : QString();
    };
    switch (op) {
    case Operation::Read: return pick(kInstructions.read);
    case Operation::Write: return pick(kInstructions.write);
    case Operation::DataToWiper: return pick(kInstructions.dataToWiper);
    case Operation::WiperToData: return pick(kInstructions.wiperToData);
    }
    return QString();
}

std::optional<TwoBytes> valueBytes(const QString& hexText)
{
    if (hexText.isEmpty())
        return std::nullopt;
    int v = 0;
    for (QChar c : hexText) {
        const char a = c.toLatin1();
        const int digit = a >= '0' && a <= '9' ? a - '0' : a >= 'A' && a <= 'F' ? a - 'A' + 10 : a >= 'a' && a <= 'f' ? a - 'a' + 10 : -1;
        if (digit < 0 || c.unicode() > 0x7F)
            return std::nullopt;
        v = v * 16 + digit;
        if (v > kMaxValue)
            return std::nullopt;
    }
    return TwoBytes{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v & 0xFF)};
}

} // namespace k662x
