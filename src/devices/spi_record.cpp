#include "devices/spi_record.h"

#include "devices/i2c_record.h"
#include "devices/spi_frame.h"

namespace params {

SpiPartFields decodeSpiRecord(const ParameterTableRecord& record)
{
    SpiPartFields f;
    f.description = record[1];
    f.channels = leadingCount(record[2]);
    f.taps = leadingCount(record[3]);
    f.deviceId = record[4];
    f.sendId = !record[4].isEmpty() && record[4].toUpper() != QLatin1String("NA");
    f.acrWrite = padOneCharacter(record[5]);
    f.acrValue = padOneCharacter(record[6]);
    f.acrRead = padOneCharacter(record[7]);
    f.gpWrite = padOneCharacter(record[8]);
    f.gpRead = padOneCharacter(record[9]);
    f.wiperWrite = padOneCharacter(record[10]);
    f.wiperRead = padOneCharacter(record[11]);
    f.writeCount = record[14];
    f.readCount = record[15];
    return f;
}

SpiLayout spiLayout(const QString& description)
{
    if (spi::isK6623Product(description))
        return SpiLayout::K6623;
    if (description.startsWith(QLatin1String("K4731/2")))
        return SpiLayout::K4731;
    return SpiLayout::Standard;
}

} // namespace params
