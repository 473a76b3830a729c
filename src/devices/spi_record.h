#pragma once
// What the SPI device window takes from a part picked in a parameter table: the record's
// cells turned into the texts its fields receive, and the special set-up its description
// names. Plain text work, so the rules live apart from the window.
#include "shell/globals.h"

#include <QString>

namespace params {

enum class SpiLayout { Standard, K6623, K4731 };

struct SpiPartFields {
    QString description; // cell 1
    int channels = 0;    // cell 2: its leading number, rounded (halves to even)
    int taps = 0;        // cell 3: likewise
    QString deviceId;    // cell 4 as written: a single digit stays one digit
    bool sendId = false; // false for an empty cell or "NA" in any case
    // Cells 5 to 11, a single character with a "0" in front.
    QString acrWrite, acrValue, acrRead, gpWrite, gpRead, wiperWrite, wiperRead;
    QString writeCount; // cell 14 as written
    QString readCount;  // cell 15 as written
};

SpiPartFields decodeSpiRecord(const ParameterTableRecord& record);

// The special set-up a description selects by its first seven characters (exact,
// case-sensitive): "K6623/4" the 10-bit register console, "K4731/2" the quad console.
SpiLayout spiLayout(const QString& description);

} // namespace params
