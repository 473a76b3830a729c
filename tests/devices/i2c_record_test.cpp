// What the I2C device window takes from a picked row: padding, the general-purpose register
// cell, counts, list indices and the family layout a description names.
#include "devices/i2c_record.h"
#include "devices/parameter_file.h"
#include "devices/sample_tables.h"

#include <gtest/gtest.h>

using params::I2CLayout;

TEST(I2CRecord, TheSampleRows)
{
    const auto table = params::parseParameterTable(kI2CSample.toUtf8(), params::Family::I2C);
    ASSERT_TRUE(table);
    struct Case {
        int row;
        int channels, taps;
        const char *address, *acrAddress, *acrValue, *gpAddress, *gpLabel;
        int dataSize;
    } cases[] = {
        {1, 1, 128, "50", "02", "C0", "NA", "None Available", 1},
        {2, 4, 256, "A0", "10", "C0", "03", "3-7", 1},
        {3, 4, 64, "5E", "08", "00", "NA", "None Available", 1},
        {4, 1, 1024, "50", "NA", "00", "NA", "None Available", 2},
        {6, 3, 512, "52", "02", "40", "0A", "A", 1},
    };
    for (const auto& c : cases) {
        const params::I2CPartFields f = params::decodeI2CRecord(table->record(c.row));
        EXPECT_EQ(f.description, table->rows[static_cast<size_t>(c.row)][1]);
        EXPECT_EQ(f.channels, c.channels) << c.row;
        EXPECT_EQ(f.taps, c.taps) << c.row;
        EXPECT_EQ(f.deviceAddress, c.address) << c.row;
        EXPECT_EQ(f.acrAddress, c.acrAddress) << c.row;
        EXPECT_EQ(f.acrValue, c.acrValue) << c.row;
        EXPECT_EQ(f.gpAddress, c.gpAddress) << c.row;
        EXPECT_EQ(f.gpLabel, c.gpLabel) << c.row;
        EXPECT_EQ(f.regSizeIndex, 1) << c.row;
        EXPECT_EQ(f.dataSizeIndex, c.dataSize) << c.row;
    }
}

TEST(I2CRecord, CellRules)
{
    ParameterTableRecord r;
    r[5] = "";
    r[6] = "A";
    r[7] = "na"; // only "NA" itself means none
    auto f = params::decodeI2CRecord(r);
    EXPECT_EQ(f.acrAddress, "");
    EXPECT_EQ(f.acrValue, "0A");
    EXPECT_EQ(f.gpAddress, "0n");
    EXPECT_EQ(f.gpLabel, "na");

    struct Count {
        const char* cell;
        int value;
    } counts[] = {{"4", 4}, {" 4 ch", 4}, {"2.5", 2}, {"3.5", 4}, {"", 0}, {"abc", 0}, {"99999", 0}, {"-3", -3}};
    for (const auto& c : counts)
        EXPECT_EQ(params::leadingCount(QString::fromUtf8(c.cell)), c.value) << c.cell;

    struct Size {
        const char* cell;
        int index;
    } sizes[] = {{"0", 0}, {"2", 2}, {" 2 ", 2}, {"3", 1}, {"-1", 1}, {"x", 1}, {"", 1}, {"1e9", 1}};
    for (const auto& s : sizes) {
        r[12] = r[13] = QString::fromUtf8(s.cell);
        f = params::decodeI2CRecord(r);
        EXPECT_EQ(f.regSizeIndex, s.index) << s.cell;
        EXPECT_EQ(f.dataSizeIndex, s.index) << s.cell;
    }
}

TEST(I2CRecord, LayoutByTheLeadingCharacters)
{
    struct Case {
        const char* description;
        I2CLayout layout;
    } cases[] = {
        {"K4736, I2C, banked", I2CLayout::K4736}, {"K4736X", I2CLayout::K4736},
        {"K4744/5 anything", I2CLayout::K4744},   {"K4744 quad", I2CLayout::Standard},
        {"K6627/8, 10 bit", I2CLayout::K6627},    {"K6627", I2CLayout::Standard},
        {"k4736", I2CLayout::Standard},           {"", I2CLayout::Standard},
    };
    for (const auto& c : cases)
        EXPECT_EQ(params::i2cLayout(QString::fromUtf8(c.description)), c.layout) << c.description;
}
