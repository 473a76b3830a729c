#include "devices/parameter_file.h"

#include "platform/files.h"

#include <QDir>
#include <QStringDecoder>

namespace params {

namespace {

bool isBreak(QChar c) { return c == u'\n' || c == u'\r'; }
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// The file's cells one after another; a comma and a line break both end a cell.
class CellStream {
public:
    explicit CellStream(QStringView text) : s_(text) {}

    // The next cell; false when the file has run out. A comma promises a cell after it, even
    // at the very end of the file; a line break does not.
    bool next(QString& cell)
    {
        const qsizetype n = s_.size();
        if (i_ >= n && !afterComma_)
            return false;
        afterComma_ = false;
        while (i_ < n && isBlank(s_[i_]))
            ++i_;
        if (i_ < n && s_[i_] == u'"') {
            // Quoted: up to the closing quote (a line break ends it too); what follows the
            // closing quote up to the next separator is no part of any cell.
            const qsizetype start = ++i_;
            while (i_ < n && s_[i_] != u'"' && !isBreak(s_[i_]))
                ++i_;
            cell = s_.mid(start, i_ - start).toString();
            if (i_ < n && s_[i_] == u'"') {
                ++i_;
                while (i_ < n && s_[i_] != u',' && !isBreak(s_[i_]))
                    ++i_;
            }
        } else {
            const qsizetype start = i_;
            while (i_ < n && s_[i_] != u',' && !isBreak(s_[i_]))
                ++i_;
            qsizetype end = i_;
            while (end > start && isBlank(s_[end - 1]))
                --end;
            cell = s_.mid(start, end - start).toString();
        }
        if (i_ < n) {
            if (s_[i_] == u',') {
                afterComma_ = true;
                ++i_;
            } else if (s_[i_] == u'\r' && i_ + 1 < n && s_[i_ + 1] == u'\n') {
                i_ += 2; // CR LF is one line break
            } else {
                ++i_;
            }
        }
        return true;
    }

private:
    QStringView s_;
    qsizetype i_ = 0;
    bool afterComma_ = false;
};

// Tables are written by spreadsheets in UTF-8 (often with a byte-order mark) or in the
// desktop's 8-bit code page; text that is no valid UTF-8 is taken as Latin-1.
QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes.data(), bytes.size());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool isEndCell(const QString& cell) { return cell.toUpper() == QLatin1String("END"); }

} // namespace

ParameterTableRecord ParameterTable::record(int row) const
{
    ParameterTableRecord out;
    if (row < 0 || row >= rowCount())
        return out;
    const QStringList& cells = rows[static_cast<size_t>(row)];
    for (int c = 0; c < recordCells(family) && c < cells.size(); ++c)
        out[static_cast<size_t>(c)] = cells[c];
    return out;
}

std::optional<ParameterTable> parseParameterTable(QByteArrayView bytes, Family family)
{
    const QString text = decode(bytes);
    CellStream cells(text);
    ParameterTable table;
    table.family = family;
    const int width = rowWidth(family);
    for (int r = 0; r < kMaxRows; ++r) {
        QStringList row;
        row.reserve(width);
        for (int c = 0; c < width; ++c) {
            QString cell;
            if (!cells.next(cell))
                return std::nullopt;
            row << cell;
            if (c == 0 && isEndCell(cell)) {
                while (row.size() < width)
                    row << QString();
                table.rows.push_back(row);
                table.endsWithEndRow = true;
                return table;
            }
        }
        table.rows.push_back(row);
    }
    return table;
}

std::optional<ParameterTable> readParameterFile(const QString& path, Family family,
                                                QString* problem)
{
    const auto fail = [&](const QString& why) -> std::optional<ParameterTable> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    // A table is a few kilobytes of text. A larger file or one that is not text is not read in
    // part: its cells would be garbage in the grid.
    const platform::InputFile in = platform::readInputFile(path, true);
    if (!in.ok())
        return fail(in.error);
    const auto notATable = [&](const QString& why) {
        return fail(QStringLiteral("%1 cannot be read as a parameter table: %2.").arg(QDir::toNativeSeparators(path), why));
    };
    if (in.bytes.isEmpty())
        return notATable(QStringLiteral("the file is empty"));
    std::optional<ParameterTable> table = parseParameterTable(in.bytes, family);
    if (!table)
        return notATable(QStringLiteral("the file ends inside a row: every row of this table has %1 cells")
                             .arg(rowWidth(family)));
    return table;
}

QString i2cRecordAddressProblem(const ParameterTableRecord& record)
{
    const QString& cell = record[4];
    bool hex = !cell.isEmpty();
    int value = 0;
    for (QChar ch : cell) {
        const int digit = ch.isDigit() && ch.unicode() < 0x80 ? ch.unicode() - u'0'
                        : ch >= u'a' && ch <= u'f'             ? ch.unicode() - u'a' + 10
                        : ch >= u'A' && ch <= u'F'             ? ch.unicode() - u'A' + 10
                                                                : -1;
        if (digit < 0) {
            hex = false;
            break;
        }
        value = std::min(value * 16 + digit, 0x10000); // leading zeros are fine, size is not
    }
    value &= ~1; // an odd value names the read address of the part below it
    if (hex && value >= 0x02 && value <= 0xFE)
        return QString();
    return QStringLiteral("Device address \"%1\" of part %2 is not an I2C address. The part was not applied.")
        .arg(cell, record[0]);
}

} // namespace params
