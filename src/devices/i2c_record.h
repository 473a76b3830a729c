#pragma once
// What the I2C device window takes from a part picked in a parameter table: the record's
// cells turned into the values its fields and the device model receive, and the family layout
// its description names. Plain text work, so the rules are tested without a window.
#include "shell/globals.h"

#include <QString>

namespace params {

enum class I2CLayout { Standard, K4736, K4744, K6627 };

struct I2CPartFields {
    QString description;   // cell 1
    int channels = 0;      // cell 2: its leading number, rounded (halves to even)
    int taps = 0;          // cell 3: likewise
    QString deviceAddress; // cell 4, as written (checked apart, before anything is applied)
    QString acrAddress;    // cell 5, a single character with a "0" in front
    QString acrValue;      // cell 6, likewise
    QString gpAddress;     // cell 7: "NA" when it is exactly "NA", else "0" and its first character
    QString gpLabel;       // "None Available" for "NA", else the whole cell
    int regSizeIndex = 1;  // cell 12 when it is a number 0..2, else 1
    int dataSizeIndex = 1; // cell 13 likewise
};

I2CPartFields decodeI2CRecord(const ParameterTableRecord& record);

// The layout a description selects by its first characters (exact, case-sensitive):
// "K4736", "K4744/5", "K6627/8"; any other description keeps the standard layout.
I2CLayout i2cLayout(const QString& description);

// A count cell's leading number, rounded with halves to even; a cell without one, or whose
// number lies outside -32768..32767, counts 0.
int leadingCount(const QString& cell);

// A register cell of one character with a "0" in front ("5" is "05"); other cells as they are.
QString padOneCharacter(const QString& cell);

} // namespace params
