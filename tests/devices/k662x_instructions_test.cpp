// The K662x instruction bytes and the two-byte form of 10-bit values.
#include "devices/k662x_instructions.h"

#include <gtest/gtest.h>

#include <QStringList>

using k662x::Operation;

TEST(K662xInstructions, Table)
{
    struct Case {
        Operation op;
        QStringList bytes;
    } cases[] = {
        {Operation::Read, {"80", "A0", "A4", "A8", "AC", ""}},
        {Operation::Write, {"A0", "C0", "C4", "C8", "CC", ""}},
        {Operation::DataToWiper, {"C0", "C4", "C8", "CC", "", ""}},
        {Operation::WiperToData, {"E0", "E4", "E8", "EC", "", ""}},
    };
    for (const auto& c : cases)
        for (int i = 0; i < c.bytes.size(); ++i)
            EXPECT_EQ(k662x::instruction(c.op, i), c.bytes[i]) << int(c.op) << " " << i;
    EXPECT_EQ(k662x::instruction(Operation::Read, -1), "");
}

TEST(K662xInstructions, ValuesTravelAsTwoBytes)
{
    struct Case {
        const char* text;
        int high, low; // -1: refused
    } cases[] = {
        {"3FF", 0x03, 0xFF}, {"000", 0, 0}, {"12", 0, 0x12}, {"80", 0, 0x80}, {"5", 0, 5},
        {"03FF", 3, 0xFF},   {"3ff", 3, 0xFF}, {"0000000123", 1, 0x23},
        {"", -1, -1},        {"400", -1, -1}, {"1234", -1, -1}, {"FFFF", -1, -1}, {"1G", -1, -1}, {" 12", -1, -1},
    };
    for (const auto& c : cases) {
        const auto b = k662x::valueBytes(QString::fromUtf8(c.text));
        if (c.high < 0) {
            EXPECT_FALSE(b) << c.text;
        } else {
            ASSERT_TRUE(b) << c.text;
            EXPECT_EQ(b->high, c.high) << c.text;
            EXPECT_EQ(b->low, c.low) << c.text;
        }
    }
    EXPECT_EQ(k662x::value(0x03, 0xFF), 0x3FF);
    EXPECT_EQ(k662x::value(0x07, 0x10), 0x310); // only the two low bits of the high byte
}
