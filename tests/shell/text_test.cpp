#include "shell/text.h"

#include "shell_fixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <array>
#include <cmath>

TEST(Hex2, TwoUpperCaseDigits)
{
    const std::pair<int, const char*> cases[] = {{0, "00"}, {9, "09"}, {10, "0A"}, {15, "0F"}, {16, "10"}, {171, "AB"}, {255, "FF"}};
    for (auto [b, text] : cases)
        EXPECT_EQ(Hex2(std::uint8_t(b)), QString(text)) << b;
}

TEST(HexToInt, LeadingDigitsAsSigned16Bit)
{
    const std::pair<const char*, int> cases[] = {
        {"", 0},     {"G1", 0},    {"1G", 1},     {"ff", 255},     {"0080", 128}, {"7FFF", 32767},
        {"8000", -32768}, {"FFFF", -1}, {"aB", 171}, {"12 34", 0x12}, {"1FFFF", -1}, {"&H10", 0},
    };
    for (auto [text, value] : cases)
        EXPECT_EQ(HexToInt(text), value) << text;
}

TEST(SplitToArray, FixedArrayTable)
{
    struct Case {
        const char* text;
        std::size_t size;
        int result;
        std::vector<QString> parts;
    };
    const Case cases[] = {
        {"x,y,z", 10, 2, {"x", "y", "z", "", "", "", "", "", "", ""}},
        {"x,,y", 4, 2, {"x", "", "y", ""}},
        {"x,y", 1, 0, {"x"}},
        {"", 3, 0, {"", "", ""}},
        {"x,y,", 4, 1, {"x", "y", "", ""}},   // a trailing empty field is not stored
        {",", 2, 0, {"", ""}},
        {"abc", 2, 0, {"abc", ""}},
    };
    for (const Case& c : cases) {
        std::vector<QString> parts(c.size, QStringLiteral("old"));
        QString s = c.text;
        EXPECT_EQ(SplitToArray(s, parts, QStringLiteral(",")), c.result) << c.text;
        EXPECT_EQ(parts, c.parts) << c.text;
        EXPECT_EQ(s, QString(c.text) + ",") << "the caller's text keeps the delimiter";
    }
}

TEST(SplitToArray, QStringListAndLongDelimiter)
{
    QStringList parts(3, QStringLiteral("old"));
    QString s = QStringLiteral("a::b::c::d");
    EXPECT_EQ(SplitToArray(s, parts, QStringLiteral("::")), 2);
    EXPECT_EQ(parts, QStringList({"a", "b", "c"}));
    EXPECT_EQ(s, QStringLiteral("a::b::c::d::"));
}

TEST(KeyFilters, Tables)
{
    struct Case {
        int key;
        int filterHexResult, filterHexKey; // FilterHexKey's result and the key it leaves
        int entryHex;                       // checkValidEntryHex
        int entryDec;                       // checkValidEntryDecInt
    };
    const Case cases[] = {
        {'b', 'B', 'B', 'B', 0}, {'B', 'B', 'B', 'B', 0}, {'f', 'F', 'F', 'F', 0},
        {'g', 0, 'g', 0, 0},     {'.', 0, '.', 0, 0},     {'-', 0, '-', 0, 0},
        {'7', '7', '7', '7', '7'}, {13, 0, 13, 13, 13},  {8, 8, 8, 8, 8},
        {22, 0, 22, 0, 0},       {' ', 0, ' ', 0, 0},
    };
    for (const Case& c : cases) {
        int k = c.key;
        EXPECT_EQ(FilterHexKey(k), c.filterHexResult) << c.key;
        EXPECT_EQ(k, c.filterHexKey) << c.key;
        k = c.key;
        checkValidEntryHex(k);
        EXPECT_EQ(k, c.entryHex) << c.key;
        k = c.key;
        checkValidEntryDecInt(k);
        EXPECT_EQ(k, c.entryDec) << c.key;
    }
}

TEST(NumericText, Val)
{
    const std::pair<const char*, double> cases[] = {
        {"", 0},         {"abc", 0},      {"12", 12},        {" 1 2 ", 12},   {"\t3.5\n", 3.5},
        {"-2.25V", -2.25}, {"+7", 7},     {".5", 0.5},       {"1.2.3", 1.2},  {"1e3", 1000},
        {"2D2", 200},    {"1e", 1},       {"1e+", 1},        {"-", 0},        {".", 0},
        {"&H10", 16},    {"&hff", 255},   {"&HFFFF", -1},    {"&H10000", 65536}, {"&HG", 0},
        {"1e999", 0},
    };
    for (auto [text, value] : cases)
        EXPECT_DOUBLE_EQ(Val(text), value) << text;
}

TEST(NumericText, RoundingHalvesToEvenAndSaturates)
{
    const std::pair<double, int> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {2.6, 3}, {40000, 32767}, {-40000, -32768}};
    for (auto [v, r] : cases)
        EXPECT_EQ(CInt(v), r) << v;
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(std::nan("")), 0);
}

TEST(NumericText, StrHasASignPlace)
{
    const std::pair<double, const char*> cases[] = {{63, " 63"}, {0, " 0"}, {-5, "-5"}, {0.5, " .5"}, {-0.25, "-.25"}, {1.5, " 1.5"}};
    for (auto [v, text] : cases)
        EXPECT_EQ(Str(v), QString(text)) << v;
}

TEST(NumericText, FormatPatterns)
{
    struct Case {
        double v;
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {
        {0.5, "#0.000", "0.500"},      {0.5, "00.0000", "00.5000"}, {0.5, "##.0000", ".5000"},
        {1.23456, "##.####", "1.2346"}, {2, "##.####", "2."},       {1234.5, "####0.00", "1234.50"},
        {1.0005, "0.000", "1.001"},    {2.5, "0", "3"},             {-1.5, "0", "-2"},
        {-0.0004, "0.000", "0.000"},   {3.3, "0.00 V", "3.30 V"},   {12.345, "#0.0", "12.3"},
        {-4.56, "#0.000", "-4.560"},   {99.996, "#0.00", "100.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.v, c.pattern), QString(c.text)) << c.v << " " << c.pattern;
}

class AppPathTest : public ShellTest {};

TEST_F(AppPathTest, FileExistsOnlyForVisibleOrdinaryFiles)
{
    auto touch = [&](const QString& name) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    touch("DCP_Cal_Data.txt");
    touch(".hidden.txt");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));

    EXPECT_TRUE(FileExistsInAppPath("DCP_Cal_Data.txt"));
    EXPECT_FALSE(FileExistsInAppPath("missing.txt"));
    EXPECT_FALSE(FileExistsInAppPath(".hidden.txt"));
    EXPECT_FALSE(FileExistsInAppPath("folder.txt"));
    EXPECT_FALSE(FileExistsInAppPath(""));
}

class DelayTest : public ShellTest {};

TEST_F(DelayTest, EndsOnTimeAcrossMidnight)
{
    const QDate day(2026, 3, 2);
    svc.clock = QDateTime(day, QTime(23, 59, 59, 800));
    Delay(0.5f);
    const qint64 late = QDateTime(day.addDays(1), QTime(0, 0, 0, 300)).msecsTo(svc.clock);
    EXPECT_GE(late, 0);
    EXPECT_LT(late, 8);
    EXPECT_EQ(svc.pumps, svc.sleptMs / 4) << "events run after every 4 ms sleep";
}

TEST_F(DelayTest, LetsEventsRunAndReturnsAtOnceForNothing)
{
    Delay(0.0f);
    Delay(-1.0f);
    EXPECT_EQ(svc.sleptMs, 0);

    int seenAt = 0;
    svc.onPump = [&](int n) { if (!seenAt) seenAt = n; };
    Delay(0.1f);
    EXPECT_EQ(seenAt, 1);
    EXPECT_NEAR(svc.sleptMs, 100, 4);
}

class ClipboardKeysTest : public ShellTest {};

TEST_F(ClipboardKeysTest, OnlyExactlyCtrlActs)
{
    struct Case {
        int keyCode, shift;
        const char* text;      // box text afterwards
        const char* clip;      // clipboard afterwards
        const char* selected;  // selection afterwards
    };
    const Case cases[] = {
        {65, 2, "12AB", "FF", "12AB"}, // select all
        {67, 2, "12AB", "2A", "2A"},   // copy the selection
        {86, 2, "FF", "FF", ""},       // paste replaces the whole text
        {86, 3, "12AB", "FF", "2A"},   // Ctrl+Shift+V does not paste
        {86, 6, "12AB", "FF", "2A"},   // Ctrl+Alt+V neither
        {86, 0, "12AB", "FF", "2A"},
        {67, 1, "12AB", "FF", "2A"},
        {88, 2, "12AB", "FF", "2A"},   // other keys do nothing here
    };
    for (const Case& c : cases) {
        QLineEdit box(QStringLiteral("12AB"));
        box.setSelection(1, 2);
        svc.clipboard = QStringLiteral("FF");
        TextBoxClipboardKeys(&box, c.keyCode, c.shift);
        EXPECT_EQ(box.text(), QString(c.text)) << c.keyCode << "/" << c.shift;
        EXPECT_EQ(svc.clipboard, QString(c.clip)) << c.keyCode << "/" << c.shift;
        EXPECT_EQ(box.selectedText(), QString(c.selected)) << c.keyCode << "/" << c.shift;
    }
}

TEST(EntryValues, HexByteAndDecimalNumber)
{
    struct { const char* text; int byte; } bytes[] = {
        {"0", 0}, {"ff", 255}, {"0FF", 255}, {" 7 ", 7}, {"100", -1}, {"", -1}, {"1G", -1}, {"0x1F", -1}, {"-1", -1},
    };
    for (const auto& c : bytes) {
        const auto v = HexByte(c.text);
        EXPECT_EQ(v ? int(*v) : -1, c.byte) << c.text;
    }
    struct { const char* text; int digits; int value; } counts[] = {
        {"1", 4, 1}, {" 32", 4, 32}, {"0010", 4, 10}, {"12345", 4, -1}, {"", 4, -1}, {"-5", 4, -1}, {"3a", 4, -1},
        {"2147483647", 10, 2147483647}, {"2147483648", 10, -1}, {"99999999999", 12, -1}, {"000000000042", 12, 42},
    };
    for (const auto& c : counts) {
        const auto v = DecimalNumber(c.text, c.digits);
        EXPECT_EQ(v.value_or(-1), c.value) << c.text;
    }
}
