#include "scripts/script_file.h"

#include "shell/text.h"

#include <cmath>

namespace script {

namespace {

// A delay text counts as a number when it is one whole: an optional sign, digits with at most
// one decimal point, an optional exponent, blanks around it; or "&H" and hex digits.
bool isNumeric(const QString& raw)
{
    const QString s = raw.trimmed();
    if (s.isEmpty())
        return false;
    if (s.startsWith("&H", Qt::CaseInsensitive)) {
        if (s.size() == 2)
            return false;
        for (int i = 2; i < s.size(); ++i)
            if (!isxdigit(s[i].toLatin1()))
                return false;
        return true;
    }
    int i = 0;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isDigit() && c.toLatin1() != 0)
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        int expDigits = 0;
        while (i < s.size() && s[i].isDigit() && s[i].toLatin1() != 0) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

// One or three characters get a leading "0" (a lone digit, or a pair and a half).
QString padField(QString f)
{
    f.remove(' ');
    if (f.size() == 1 || f.size() == 3)
        f.prepend('0');
    return f.toUpper();
}

QString addressText(std::uint8_t writeAddress) { return QString::number(writeAddress, 16).toUpper(); }

// The line is quoted so that the user finds it; a line can be as long as the file, so a long
// one is cut.
QString limitMessage(int lineNumber, const QString& what, const QString& line)
{
    constexpr int kQuoted = 60;
    const QString shown = line.size() > kQuoted ? line.left(kQuoted - 3) + "..." : line;
    return QString("line %1 exceeds %2: \"%3\"").arg(lineNumber).arg(what, shown);
}

struct Loader {
    Family family;
    ScriptLoad out;
    QString address; // the current address text

    // Applies the command table to a command line (comment already cut). Returns false
    // with out.error set when the line is beyond a limit.
    bool command(ScriptRow& row, int r, const QString& cmd, const QString& raw)
    {
        QString& op = row.text(kOperation);
        const QString body = cmd.mid(1);
        if (body.startsWith('A')) {
            op = "Cmd:Set I2C Adr";
            if (cmd.size() == 4) {
                address = cmd.right(2).toUpper();
                row.text(kI2CAdr) = address;
            } else {
                address = "0" + cmd.right(1).toUpper();
            }
        } else if (body.startsWith("SPI")) {
            op = "Cmd:Set SPI Comm";
            row.text(kI2CAdr) = "SPI";
        } else if (body == "w") {
            op = "Cmd: Delay Keypress";
            row.delay = -1;
        } else if (body.startsWith('w') && cmd.size() >= 3) {
            const QString t = cmd.mid(2).toUpper();
            op = "Cmd:Delay :" + t + ": mSec";
            if (!isNumeric(t)) {
                op = "Error Delay_Time";
                row.text(kComment) += "Delay Error: Time not numeric";
                row.bg(kOperation) = kRed;
                row.bg(kComment) = kRed;
                row.delay = 0;
            } else {
                const double v = std::nearbyint(Val(t)); // halves to even
                if (v > kMaxDelayMs || v < kMinDelayMs) {
                    out.error = limitMessage(r, QString("the delay range of %1 to %2 ms").arg(kMinDelayMs).arg(kMaxDelayMs), raw);
                    return false;
                }
                row.delay = static_cast<std::int16_t>(v);
            }
        } else if (body == "S") {
            op = "Cmd: Save File";
        } else if (body.startsWith('G')) {
            const QString hex = cmd.mid(2);
            op = "Cmd: GPIO:" + hex;
            row.text(kDataWr) = hex;
            row.text(kDataRd) = hex;
            row.wrBytes = 2;
            row.rdBytes = 2;
            row.text(kI2CAdr) = "GPIO";
            if (hex.isEmpty()) {
                row.text(kComment) += " GPIO Error: no value";
                row.bg(kOperation) = kRed;
            } else if (!isHexPairs(hex)) {
                row.text(kComment) += " GPIO value not in hex pairs";
            }
        } else if (body == "IE") {
            op = "Cmd: Int Enable";
        } else if (body == "ID") {
            op = "Cmd: Int Disable";
        } else if (body == "ENDM") {
            op = "Cmd: End Main";
            out.endMain = r;
            out.hasEndMain = true;
        } else if (body == "EISTART") {
            op = "Cmd: Int Start";
            out.iStart = r;
        } else if (body == "EIEND") {
            op = "Cmd: Int End";
            out.iEnd = r;
        }
        return true;
    }

    // A data row from its fields.
    void dataRow(ScriptRow& row, const QStringList& f)
    {
        QString& op = row.text(kOperation);
        QString& reg = row.text(kRegAdr);
        reg = padField(f.value(0));
        op.clear();
        if (reg.size() >= 2) {
            row.regBytes = byteCount(reg);
            op = QString(" Reg:%1").arg(row.regBytes);
        } else {
            row.regBytes = 0;
            if (!family.spi)
                row.text(kComment).prepend("No Internal Register");
        }
        QString& wr = row.text(kDataWr);
        wr = padField(f.value(1));
        row.wrBytes = byteCount(wr);
        if (row.wrBytes != 0)
            op += QString(" W:%1").arg(row.wrBytes);
        out.longestDataWr = std::max(out.longestDataWr, static_cast<int>(wr.size()));
        QString& rd = row.text(kDataRd);
        rd = padField(f.value(2));
        out.longestDataRd = std::max(out.longestDataRd, static_cast<int>(rd.size()));
        if (!rd.isEmpty()) {
            ++out.readCount;
            row.text(kActRd) = "--";
        }
        row.bg(kOperation) = kGreen;
        row.rdBytes = byteCount(rd);
        if (row.rdBytes != 0)
            op += QString(" R:%1").arg(row.rdBytes);
        if (family.spi && op.startsWith(" R")) {
            op = "Read Only SPI Not Allowed";
            row.bg(kOperation) = kRed;
        }
    }
};

} // namespace

int byteCount(const QString& field)
{
    if (field.size() < 2)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(field.size()) / 2.0));
}

QString reportLimitFailure(const ScriptRow& row, int rowNumber, Family family)
{
    const int regs = row.regBytes, wr = row.wrBytes, rd = row.rdBytes;
    auto beyond = [&](int count, const char* what, int limit) {
        return QString("Row %1 has %2 %3 %4. Nothing was sent.").arg(rowNumber).arg(count).arg(what).arg(limit);
    };
    if (family.i2c) {
        // The write goes out first, so its limit is the first the row meets.
        if (wr > 0 && regs + wr > kMaxI2CWriteBytes)
            return beyond(regs + wr, "register and data bytes to write; one I2C write carries at most", kMaxI2CWriteBytes);
        if (rd > 0 && regs > kMaxI2CRegBytes)
            return beyond(regs, "register bytes ahead of its read; one I2C read takes at most", kMaxI2CRegBytes);
        if (rd > kMaxI2CReadBytes)
            return beyond(rd, "bytes to read; one I2C read returns at most", kMaxI2CReadBytes);
    } else if (family.spi && wr > 0 && regs + wr > kMaxSpiBytes) {
        return beyond(regs + wr, "bytes to send; one SPI transfer carries at most", kMaxSpiBytes);
    }
    return QString();
}

QString hexPair(const QString& text, int i) { return text.mid(2 * i, 2); }

std::uint8_t hexPairByte(const QString& text, int i)
{
    return static_cast<std::uint8_t>(HexToInt(hexPair(text, i)) & 0xFF);
}

std::vector<std::uint8_t> hexBytes(const QString& text, int n)
{
    std::vector<std::uint8_t> b;
    b.reserve(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        b.push_back(hexPairByte(text, i));
    return b;
}

bool isHexPairs(const QString& text)
{
    if (text.isEmpty() || text.size() % 2 != 0)
        return false;
    for (QChar c : text) {
        const char a = c.toLatin1();
        if (!((a >= '0' && a <= '9') || (a >= 'A' && a <= 'F')))
            return false;
    }
    return true;
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines << text.mid(start, i - start);
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QString lineText(int row) { return QString::number(row).rightJustified(3, '0'); }

ScriptLoad loadScript(const QStringList& lines, Family family, std::uint8_t writeAddress)
{
    Loader L{family, {}, addressText(writeAddress)};
    ScriptLoad& out = L.out;
    out.rows.reserve(static_cast<size_t>(std::min<qsizetype>(lines.size(), kMaxRows)));
    int r = 0;
    for (const QString& raw : lines) {
        if (r == kMaxRows) {
            out.error = limitMessage(r + 1, QString("%1 lines").arg(kMaxRows), raw);
            break;
        }
        ScriptRow row;
        const int n = r + 1;
        row.bg(kLine) = kButtonFace;
        row.text(kOperation) = "NOP";
        if (family.i2c)
            row.text(kI2CAdr) = L.address;

        QString line = raw;
        line.replace(QChar(9), ' ').replace(QChar(15), ' ');
        bool ok = true;
        if (line.isEmpty()) {
            row.text(kComment) = "Script File has a blank line";
        } else if (line[0] == '`') {
            row.text(kOperation) = "Cmd:";
            const qsizetype hash = line.indexOf('#');
            if (hash >= 0) {
                row.text(kComment) = line.mid(hash);
                line.truncate(hash);
                line.remove(' ');
            }
            ok = L.command(row, n, line, raw);
        } else {
            const qsizetype hash = line.indexOf('#');
            if (hash >= 0) {
                row.text(kComment) = line.mid(hash);
                line.truncate(hash);
            }
            line.remove(' ');
            if (!(hash >= 0 && line.isEmpty())) {
                const QStringList fields = line.split(',');
                if (fields.size() > kMaxFields) {
                    out.error = limitMessage(n, QString("%1 fields").arg(kMaxFields), raw);
                    ok = false;
                } else {
                    L.dataRow(row, fields);
                }
            }
        }
        if (!ok)
            break;
        row.text(kLine) = lineText(n);
        out.rows.push_back(std::move(row));
        out.lines << raw;
        ++r;
    }
    if (!out.error.isEmpty()) {
        // Refused whole: the rows before the limit would pass for the script, and a results
        // file written from them would cut the user's script short.
        ScriptLoad refused;
        refused.error = out.error;
        return refused;
    }
    if (!out.hasEndMain)
        out.endMain = r;
    return out;
}

} // namespace script
