#include "devices/i2c_record.h"

#include "shell/text.h"

#include <cmath>

namespace params {

namespace {

// A list index from a size cell: a number naming one of the list's three entries, else 1.
int sizeIndex(const QString& cell)
{
    bool ok = false;
    const double v = cell.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 1;
    const double r = std::nearbyint(v); // halves to even under the default rounding mode
    return r >= 0 && r <= 2 ? static_cast<int>(r) : 1;
}

} // namespace

QString padOneCharacter(const QString& cell) { return cell.size() == 1 ? u'0' + cell : cell; }

int leadingCount(const QString& cell)
{
    const double v = std::nearbyint(Val(cell));
    return std::isfinite(v) && v >= -32768 && v <= 32767 ? static_cast<int>(v) : 0;
}

I2CPartFields decodeI2CRecord(const ParameterTableRecord& record)
{
    I2CPartFields f;
    f.description = record[1];
    f.channels = leadingCount(record[2]);
    f.taps = leadingCount(record[3]);
    f.deviceAddress = record[4];
    f.acrAddress = padOneCharacter(record[5]);
    f.acrValue = padOneCharacter(record[6]);
    if (record[7] == QLatin1String("NA")) {
        f.gpAddress = "NA";
        f.gpLabel = "None Available";
    } else {
        f.gpAddress = u'0' + record[7].left(1);
        f.gpLabel = record[7];
    }
    f.regSizeIndex = sizeIndex(record[12]);
    f.dataSizeIndex = sizeIndex(record[13]);
    return f;
}

I2CLayout i2cLayout(const QString& description)
{
    if (description.startsWith(QLatin1String("K4736")))
        return I2CLayout::K4736;
    if (description.startsWith(QLatin1String("K4744/5")))
        return I2CLayout::K4744;
    if (description.startsWith(QLatin1String("K6627/8")))
        return I2CLayout::K6627;
    return I2CLayout::Standard;
}

} // namespace params
