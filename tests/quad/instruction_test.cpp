// Instruction bytes, the instruction table and the value checks of the quad consoles.
#include "quad/quad_instruction.h"
#include "support/test_services.h"

#include <gtest/gtest.h>

using namespace quad;

TEST(QuadInstruction, EachInstructionComposesItsByte)
{
    struct Case {
        int index;
        int reg, pot;
        std::uint8_t byte;
    } cases[] = {
        {kReadWcr, 0, 2, 0x92},        {kWriteWcr, 0, 3, 0xA3},       {kReadData, 3, 2, 0xBE},
        {kReadData, 2, 3, 0xBB},       {kWriteData, 1, 0, 0xC4},      {kXferDataToWcr, 1, 1, 0xD5},
        {kXferWcrToData, 2, 1, 0xE9},  {kGlobalDataToWcr, 3, 0, 0x1C}, {kGlobalWcrToData, 1, 0, 0x84},
        {kGlobalWcrToData, 0, 0, 0x80}, {kIncDec, 0, 1, 0x21},
    };
    for (const Case& c : cases) {
        const Instruction& in = kInstructions[size_t(c.index)];
        EXPECT_EQ(instructionByte(in.nibble, std::uint8_t(c.reg * 4), std::uint8_t(c.pot)), c.byte) << in.caption;
    }
}

TEST(QuadInstruction, TableBitsAreTheNibbleAndForcedFieldsReadZero)
{
    for (int i = 0; i < kInstructionCount; ++i) {
        const auto& row = kInstructionTable[size_t(i + 1)];
        const Instruction& in = kInstructions[size_t(i)];
        for (int b = 0; b < 4; ++b)
            EXPECT_STREQ(row[size_t(1 + b)], (in.nibble >> (3 - b)) & 1 ? "1" : "0") << "row " << i + 1;
        for (int c = 5; c <= 6; ++c)
            EXPECT_STREQ(row[size_t(c)], in.registerForced ? "0" : "1/0") << "row " << i + 1;
        for (int c = 7; c <= 8; ++c)
            EXPECT_STREQ(row[size_t(c)], in.potForced ? "0" : "1/0") << "row " << i + 1;
    }
}

TEST(QuadInstruction, FrameSizesPerBus)
{
    EXPECT_EQ(frameCounts(Bus::I2C).write, 2);
    EXPECT_EQ(frameCounts(Bus::I2C).xfer, 1);
    EXPECT_EQ(frameCounts(Bus::SPI).write, 3);
    EXPECT_EQ(frameCounts(Bus::SPI).xfer, 2);
}

TEST(QuadInstruction, ValueFieldCheckOnLeaving)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ff", "FF"}, {"0FF", "0FF"}, {"5", "5"},   {"0", "00"},    {"000", "00"},     {"", "00"},
        {"100", "00"}, {"1FF", "00"}, {"FFFF", "00"}, {"10005", "00"}, {"5G", "5G"}, {"<<", "00"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(checkedEntry(in), out) << in;
}

TEST(QuadInstruction, WriteValueMustBeAHexByte)
{
    EXPECT_EQ(writeValue("0FF"), 0xFF);
    EXPECT_EQ(writeValue("000"), 0x00);
    EXPECT_EQ(writeValue("5"), 0x05);
    EXPECT_EQ(writeValue("a5"), 0xA5);
    for (const char* bad : {"", "<<", ">>", "^v", "5G", "100", " 5"})
        EXPECT_FALSE(writeValue(bad).has_value()) << bad;
}
