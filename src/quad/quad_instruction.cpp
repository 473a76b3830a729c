#include "quad/quad_instruction.h"

#include <QRegularExpression>

namespace quad {

const std::array<Instruction, kInstructionCount> kInstructions{{
    {"Read WCR", 0x9, "Read", "WCR", nullptr, true, false, false, true},
    {"Write WCR", 0xA, "Write", "WCR", nullptr, true, false, true, false},
    {"Read Data", 0xB, "Read", "Data", nullptr, false, false, false, true},
    {"Write  Data", 0xC, "Write", "Data", nullptr, false, false, true, false},
    {"XFER Data to WCR", 0xD, "XFER", "", "Data", false, false, false, false},
    {"XFER WCR to Data", 0xE, "XFER", "", "WCR", false, false, false, false},
    {"Global Data To WCR", 0x1, "XFERG", "", "Data", false, true, false, false},
    {"Global WCR to Data", 0x8, "XFERG", "", "WCR", false, true, false, false},
    // Stepping needs neither a value to write nor a read result: both fields are disabled.
    {"Inc / Dec WCR", 0x2, "INC", "", nullptr, true, false, false, false},
}};

const std::array<std::array<const char*, kTableColumns>, kTableRows> kInstructionTable{{
    {"INSTRUCTION", " I3 ", " I2 ", " I1 ", " I0 ", " R1 ", " R0 ", " P1 ", " P0 ", "OPERATION"},
    {"Read Wiper Counter Register", "1", "0", "0", "1", "0", "0", "1/0", "1/0",
     "Read the contents of the Wiper Counter Register pointed to by P1 - P0"},
    {"Write Wiper Counter Register", "1", "0", "1", "0", "0", "0", "1/0", "1/0",
     "Write new value the to Wiper Counter Register pointed to by P1 - P0"},
    {"Read Data Register", "1", "0", "1", "1", "1/0", "1/0", "1/0", "1/0",
     "Read the contents of the Data Register pointed to by P1 - P0 and R1 -R0."},
    {"Write Data Register", "1", "1", "0", "0", "1/0", "1/0", "1/0", "1/0",
     "Write a new value to the Data Register pointed to by P1 - P0 and R1 - R0."},
    {"XFR Data Register to Wiper Counter Register", "1", "1", "0", "1", "1/0", "1/0", "1/0", "1/0",
     "Transfer the contents of the Data Register pointed to by P1 - P0 and R1 - R0 to its associated Wiper "
     "Counter Register."},
    {"XFR Wiper Counter Register to Data Register", "1", "1", "1", "0", "1/0", "1/0", "1/0", "1/0",
     "Transfer the contents of the Wiper Counter Register pointed to by P1 - P0 to its associated Data Register "
     "Pointed to by R1 - R0."},
    {"Global XFR Data Register to Wiper Counter Register", "0", "0", "0", "1", "1/0", "1/0", "0", "0",
     "Global Transfer the contents of the Data Register pointed by R1 - R0 to all four associated Wiper Counter "
     "Registers."},
    {"Global XFR Wiper Counter Register to Data Register", "1", "0", "0", "0", "1/0", "1/0", "0", "0",
     "Global Transfer the contents of all four Wiper Counter Registers to their associated Data Register Pointed "
     "to by R1 - R0."},
    {"Increment /Decrement Wiper Counter Register", "0", "0", "1", "0", "0", "0", "1/0", "1/0",
     "Enable Increment / decrement of the Wiper Counter Register pointed to by P1 - P0."},
}};

QString hexDigit(int value) { return QString::number(value & 0x0F, 16).toUpper(); }

namespace {

// The run of hexadecimal digits at the start of text, without its leading zeros.
QString leadingHexDigits(const QString& text)
{
    static const QRegularExpression digits("^[0-9A-Fa-f]*");
    QString run = digits.match(text).captured(0);
    while (run.startsWith('0'))
        run.remove(0, 1);
    return run;
}

bool allHex(const QString& text)
{
    static const QRegularExpression digits("^[0-9A-Fa-f]+$");
    return digits.match(text).hasMatch();
}

} // namespace

QString checkedEntry(const QString& text)
{
    const QString upper = text.toUpper();
    // The leading digits as a signed 16-bit number: more than four significant digits do
    // not fit at all, four from 8000 up are negative; either way no byte.
    const QString run = leadingHexDigits(upper);
    const int value = run.size() > 4 ? 0 : run.toInt(nullptr, 16);
    if (value < 1 || value > 255)
        return QStringLiteral("00");
    return upper;
}

std::optional<std::uint8_t> writeValue(const QString& text)
{
    if (!allHex(text))
        return std::nullopt;
    const QString run = leadingHexDigits(text);
    if (run.size() > 2)
        return std::nullopt;
    return static_cast<std::uint8_t>(run.toInt(nullptr, 16));
}

} // namespace quad
