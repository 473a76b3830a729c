#include "bridge/register_file.h"
#include "platform/files.h"
#include "shell/text.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace bridge {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// The fields of one line; a comma at the end of the line separates it from the next line
// and starts no empty field of its own.
void lineFields(const QString& line, QStringList& out)
{
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        while (i < n && isBlank(line[i]))
            ++i;
        QString field;
        if (i < n && line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = line.mid(i + 1, end - i - 1);
            i = line.indexOf(u',', end); // whatever follows the closing quote is skipped
            if (i < 0)
                i = n;
        } else {
            qsizetype comma = line.indexOf(u',', i);
            if (comma < 0)
                comma = n;
            field = line.mid(i, comma - i).trimmed();
            i = comma;
        }
        out << field;
        if (i >= n)
            return;
        ++i; // the comma
        if (i >= n)
            return;
    }
}

} // namespace

std::optional<std::uint8_t> parseHexByte(const QString& digits)
{
    if (digits.trimmed() != digits)
        return std::nullopt; // the digits of a field, taken as they stand
    return HexByte(digits);
}

QStringList inputFields(const QString& text)
{
    QStringList out;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineBreak)) {
        if (line.trimmed().isEmpty())
            continue;
        lineFields(line, out);
    }
    return out;
}

bool parseRegisterData(const QString& text, int n, std::vector<std::uint8_t>& data)
{
    if (n < 0)
        return false;
    const QStringList fields = inputFields(text);
    if (fields.isEmpty() || fields[0] != QLatin1String("generic") || fields.size() < n + 1)
        return false;
    std::vector<std::uint8_t> bytes = data;
    bytes.resize(static_cast<size_t>(n), 0);
    for (int j = 0; j < n; ++j) {
        const QString& field = fields[j + 1];
        if (!field.startsWith(QLatin1String("0x")))
            continue; // not a byte: the previous value stays
        const auto v = parseHexByte(field.mid(2, 2)); // a third or later digit is ignored
        if (!v)
            return false;
        bytes[static_cast<size_t>(j)] = *v;
    }
    data = std::move(bytes);
    return true;
}

bool readRegisterFile(const QString& path, int n, std::vector<std::uint8_t>& data, QString* refusal)
{
    if (refusal)
        refusal->clear();
    if (!QFileInfo::exists(path))
        return false;
    // A register file is a few hundred bytes; a larger one is refused whole rather than read
    // in part, and the reason goes with the console's message.
    const platform::InputFile in = platform::readInputFile(path, false);
    if (!in.ok()) {
        if (refusal)
            *refusal = in.error;
        return false;
    }
    return parseRegisterData(QString::fromUtf8(in.bytes), n, data);
}

} // namespace bridge
