#pragma once
// Text, key and timing helpers shared by every window. Register values travel through the
// program as upper-case hexadecimal text, so Hex2 and HexToInt carry most of the traffic
// between fields and bytes. Key filters work on the old "KeyAscii" model: a character code
// that a filter may change in place or set to 0 to drop the key.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QLineEdit;

// A byte as two upper-case hexadecimal digits, "00" to "FF".
QString Hex2(std::uint8_t b);

// The value of the leading hexadecimal digits of s as a 16-bit two's-complement number:
// "FF" 255, "8000" -32768, "FFFF" -1; reading stops at the first non-digit, no digits give 0.
// Longer runs keep their low 16 bits.
std::int16_t HexToInt(const QString& s);

// Splits s at delim into parts, which is cleared first and never grows; fields beyond its
// end are dropped. delim is appended to s (the caller sees it). Returns the index of the last
// field stored (number of fields minus one), 0 for an empty text.
std::int16_t SplitToArray(QString& s, std::span<QString> parts, const QString& delim);
std::int16_t SplitToArray(QString& s, QStringList& parts, const QString& delim);
std::int16_t SplitToArray(QString& s, std::vector<QString>& parts, const QString& delim);

// Key filter of hex address fields: digits and Backspace pass, a..f become A..F (in KeyAscii
// too), A..F pass; anything else (Enter included) gives 0.
int FilterHexKey(int& KeyAscii);

// True when an ordinary, visible file called name is in the program's directory.
bool FileExistsInAppPath(const QString& name);

// Waits in 4 ms sleeps while letting pending events run (other handlers may run meanwhile);
// a wait that crosses midnight ends on time.
void Delay(float seconds);

// Hex entry fields: upper-cases the key; Enter, Backspace, 0-9 and A-F pass, others become 0.
void checkValidEntryHex(int& KeyAscii);
// Decimal entry fields: Enter, Backspace and 0-9 pass, others become 0.
void checkValidEntryDecInt(int& KeyAscii);

// Clipboard keys of the console's entry fields, acting only while exactly Ctrl is held:
// Ctrl+A selects all, Ctrl+C copies the selection, Ctrl+V replaces the whole text.
void TextBoxClipboardKeys(QLineEdit* box, int KeyCode, int Shift);

// --- numeric text -------------------------------------------------------------------------

// The leading number of a text: blanks, tabs and line feeds are ignored wherever they stand,
// "&H" introduces hexadecimal digits (up to four read as 16-bit, up to eight as 32-bit two's
// complement), an exponent may follow (E or D), and a text not starting with a number is 0.
double Val(const QString& text);

// Rounds to the nearest whole number, halves to even, saturating at the type's range.
std::int16_t CInt(double v);
std::int32_t CLng(double v);

// A number as plain text with a sign place: " 63", "-5", " .5".
QString Str(double v);

// A number through a digit pattern: "0" always writes a digit, "#" only a significant one,
// "." is the decimal point; other characters are copied. Halves round away from zero.
// Format(0.5, "#0.000") == "0.500", Format(0.5, "##.0000") == ".5000".
QString Format(double v, const QString& pattern);

// Entry-field values checked before a report is built. A byte: hex digits only (blanks
// around them allowed, leading zeros too) worth 00..FF. A count: decimal digits only, at most
// maxDigits of them. Anything else is no value: the caller says so and sends nothing.
std::optional<std::uint8_t> HexByte(const QString& text);
std::optional<int> DecimalNumber(const QString& text, int maxDigits);
