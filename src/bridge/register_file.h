#pragma once
// The register data file "registers.txt": the bytes of the console's block write, simple
// write, SPI transfer and "File" fill. Its first field is the word "generic", then one field
// per byte in order; a field "0x.." gives the byte from its next two characters as hex
// digits ("0x1" is 0x01, digits after the second are ignored) and any other field leaves
// that byte as it was. Fields are separated by commas or line breaks and may be quoted.
// No windows here: the console shows the message when a read fails.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace bridge {

inline const QString kRegisterFileName = QStringLiteral("registers.txt");

// The byte that hex digits give ("A5", "3", "0FF"); empty when a character is not a hex
// digit, there is none or the value is above FF.
std::optional<std::uint8_t> parseHexByte(const QString& digits);

// The fields of a text as a sequential field reader takes them: separated by commas or line
// breaks, blanks around a field dropped, a quoted field taken as it stands between its
// quotes (commas included). Empty lines give no field.
QStringList inputFields(const QString& text);

// The first n data bytes of a register data file's text over data (resized to n, existing
// bytes kept where a field does not give one). False when the first field is not "generic",
// fewer than n data fields follow or a "0x" field has no hex digits to convert; data is
// then left as it was.
bool parseRegisterData(const QString& text, int n, std::vector<std::uint8_t>& data);

// The same from the file at path; false also when it is missing or cannot be read. A file
// that exists but is refused before its fields are looked at (larger than the input limit,
// unreadable) sets refusal, when given, to the reason in words for the user, naming the file.
bool readRegisterFile(const QString& path, int n, std::vector<std::uint8_t>& data,
                      QString* refusal = nullptr);

} // namespace bridge
