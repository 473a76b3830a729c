#include "shell/text.h"

#include "controls/keyfilter.h"
#include "platform/services.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <cmath>
#include <limits>

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// The leading hex digits of s from pos, as the old "&H" literal read them: up to four digits
// are a 16-bit two's-complement value, more are 32-bit (low 32 bits kept).
std::int32_t leadingHex(const QString& s, qsizetype pos = 0)
{
    std::uint32_t v = 0;
    int digits = 0;
    for (; pos < s.size(); ++pos) {
        const int d = hexDigit(s.at(pos));
        if (d < 0)
            break;
        v = (v << 4) | std::uint32_t(d);
        ++digits;
    }
    if (digits <= 4)
        return std::int16_t(std::uint16_t(v));
    return std::int32_t(v);
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

template <class Int>
Int roundToInt(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v); // the default rounding mode rounds halves to even
    if (r <= double(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (r >= double(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return Int(r);
}

} // namespace

QString Hex2(std::uint8_t b) { return QString::number(b, 16).toUpper().rightJustified(2, u'0'); }

std::int16_t HexToInt(const QString& s) { return std::int16_t(std::uint16_t(leadingHex(s))); }

std::int16_t SplitToArray(QString& s, std::span<QString> parts, const QString& delim)
{
    for (QString& p : parts)
        p.clear();
    const bool wasEmpty = s.isEmpty();
    s += delim;
    if (parts.empty())
        return -1; // nowhere to store a field
    if (wasEmpty)
        return 0;
    if (delim.isEmpty()) {
        parts[0] = s;
        return 0;
    }
    // Every search finds a delimiter: s ends with one. Only the appended one left means done.
    const qsizetype end = s.size() - delim.size();
    qsizetype start = 0;
    std::size_t i = 0;
    for (;;) {
        const qsizetype at = s.indexOf(delim, start);
        parts[i] = s.mid(start, at - start);
        start = at + delim.size();
        if (start >= end || i + 1 >= parts.size())
            return std::int16_t(i);
        ++i;
    }
}

std::int16_t SplitToArray(QString& s, QStringList& parts, const QString& delim)
{
    return SplitToArray(s, std::span<QString>(parts.data(), std::size_t(parts.size())), delim);
}

std::int16_t SplitToArray(QString& s, std::vector<QString>& parts, const QString& delim)
{
    return SplitToArray(s, std::span<QString>(parts), delim);
}

int FilterHexKey(int& KeyAscii)
{
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == kKeyBack)
        return KeyAscii;
    if (KeyAscii >= 'a' && KeyAscii <= 'f')
        KeyAscii -= 'a' - 'A';
    return KeyAscii >= 'A' && KeyAscii <= 'F' ? KeyAscii : 0;
}

bool FileExistsInAppPath(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QFileInfo fi(QDir(platform::programDir()).filePath(name));
    return fi.exists() && fi.isFile() && !fi.isHidden();
}

void Delay(float seconds)
{
    const double start = platform::secondsSinceMidnight();
    double end = start + double(seconds);
    if (!(start < end))
        return;
    double previous = start;
    do {
        platform::sleepMs(4);
        platform::pumpEvents();
        const double now = platform::secondsSinceMidnight();
        if (now < previous) // the clock went past midnight
            end -= 86400.0;
        previous = now;
    } while (previous < end);
}

void checkValidEntryHex(int& KeyAscii)
{
    if (KeyAscii > 0 && KeyAscii <= 0xFFFF)
        KeyAscii = QChar(char16_t(KeyAscii)).toUpper().unicode();
    const bool pass = KeyAscii == kKeyReturn || KeyAscii == kKeyBack || (KeyAscii >= '0' && KeyAscii <= '9')
                   || (KeyAscii >= 'A' && KeyAscii <= 'F');
    if (!pass)
        KeyAscii = 0;
}

void checkValidEntryDecInt(int& KeyAscii)
{
    const bool pass = KeyAscii == kKeyReturn || KeyAscii == kKeyBack || (KeyAscii >= '0' && KeyAscii <= '9');
    if (!pass)
        KeyAscii = 0;
}

void TextBoxClipboardKeys(QLineEdit* box, int KeyCode, int Shift)
{
    if (!box || Shift != kCtrlMask)
        return;
    switch (KeyCode) {
    case 65: // A: select all
        box->setSelection(0, int(box->text().size()));
        break;
    case 67: // C: the selection replaces whatever the clipboard held
        platform::services().setClipboardText(box->selectedText());
        break;
    case 86: // V: the clipboard replaces the whole text, not only the selection; it is typed
             // through the field's key filter so a paste brings nothing typing could not
        box->selectAll();
        KeyFilter::on(box)->paste();
        break;
    default:
        break;
    }
}

double Val(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!isBlank(c))
            s += c;

    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return leadingHex(s, 2);

    // sign, digits, point, digits, then an exponent only when digits follow its letter
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    int mantissaDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        ++mantissaDigits;
    if (i < s.size() && s[i] == u'.')
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++mantissaDigits;
    if (mantissaDigits == 0)
        return 0.0;
    QString number = s.left(i);
    if (i < s.size() && QStringLiteral("eEdD").contains(s[i])) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const qsizetype digitsFrom = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j > digitsFrom)
            number += u'e' + s.mid(i + 1, j - i - 1);
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0; // an overflowing exponent reads as nothing
}

std::int16_t CInt(double v) { return roundToInt<std::int16_t>(v); }
std::int32_t CLng(double v) { return roundToInt<std::int32_t>(v); }

QString Str(double v)
{
    QString t = QString::number(v, 'g', 15).toUpper();
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    else if (t.startsWith(QLatin1String("-0.")))
        t.remove(1, 1);
    return t.startsWith(u'-') ? t : u' ' + t;
}

QString Format(double v, const QString& pattern)
{
    // The placeholder run: from the first to the last of "0", "#" and "."; the rest is literal.
    const auto isPlace = [](QChar c) { return c == u'0' || c == u'#' || c == u'.'; };
    qsizetype first = 0;
    while (first < pattern.size() && !isPlace(pattern[first]))
        ++first;
    if (first == pattern.size())
        return pattern;
    qsizetype last = pattern.size() - 1;
    while (!isPlace(pattern[last]))
        --last;
    const QString places = pattern.mid(first, last - first + 1);
    const qsizetype point = places.indexOf(u'.');
    const QString intPlaces = point < 0 ? places : places.left(point);
    const QString fracPlaces = point < 0 ? QString() : places.mid(point + 1);
    const int decimals = int(fracPlaces.size());
    const int minFrac = int(fracPlaces.lastIndexOf(u'0') + 1);
    const int minInt = int(intPlaces.count(u'0'));

    // Scale, drop the binary noise beyond 15 digits (1.0005 must round up), round half up.
    const double scaled = std::fabs(v) * std::pow(10.0, decimals);
    const double rounded = std::floor(QString::number(scaled, 'g', 15).toDouble() + 0.5);
    QString digits = QString::number(rounded, 'f', 0);
    if (digits.size() <= decimals)
        digits = digits.rightJustified(decimals + 1, u'0');
    QString intDigits = digits.left(digits.size() - decimals);
    QString fracDigits = digits.right(decimals);
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    intDigits = intDigits.rightJustified(minInt, u'0');
    while (fracDigits.size() > minFrac && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);

    QString out = pattern.left(first) + intDigits;
    if (point >= 0)
        out += u'.' + fracDigits;
    out += pattern.mid(last + 1);
    // A value that rounds to zero carries no sign.
    return v < 0 && rounded != 0 ? u'-' + out : out;
}

std::optional<std::uint8_t> HexByte(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int value = 0;
    for (QChar c : t) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0 || c.unicode() > 127)
            return std::nullopt;
        value = value * 16 + d;
        if (value > 0xFF)
            return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

std::optional<int> DecimalNumber(const QString& text, int maxDigits)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > maxDigits)
        return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const int value = t.toInt(&ok);
    if (!ok)
        return std::nullopt; // beyond the int range
    return value;
}
