// The loader: line classes, the command table, field padding and byte counts, limits.
#include "scripts/script_file.h"

#include "support/test_services.h"

#include <gtest/gtest.h>

using namespace script;

namespace {

ScriptLoad load(const QStringList& lines, bool spi = false)
{
    return loadScript(lines, Family{!spi, spi}, 0x50);
}

struct LineCase {
    const char* line;
    const char* operation;
    const char* regAdr;
    const char* dataWr;
    const char* dataRd;
    const char* actRd;
    int reg, wr, rd, delay;
    const char* comment;
};

} // namespace

TEST(ScriptLoader, LineTable)
{
    const LineCase cases[] = {
        {"", "NOP", "", "", "", "", 0, 0, 0, 0, "Script File has a blank line"},
        {"   # just a note", "NOP", "", "", "", "", 0, 0, 0, 0, "# just a note"},
        {"   ", "", "", "", "", "", 0, 0, 0, 0, "No Internal Register"},
        {"a0,5,123", " Reg:1 W:1 R:2", "A0", "05", "0123", "--", 1, 1, 2, 0, ""},
        {"00,,12345", " Reg:1 R:2", "00", "", "12345", "--", 1, 0, 2, 0, ""},
        {"00,1234567,", " Reg:1 W:4", "00", "1234567", "", "", 1, 4, 0, 0, ""},
        {"123,,", " Reg:2", "0123", "", "", "", 2, 0, 0, 0, ""},
        {",12, 3 4 # c", " W:1 R:1", "", "12", "34", "--", 0, 1, 1, 0, "No Internal Register# c"},
        {"\t00,\t11,22,x,x,x,x,x,x,x,x", " Reg:1 W:1 R:1", "00", "11", "22", "--", 1, 1, 1, 0, ""},
        {" `ENDM", " Reg:2", "`ENDM", "", "", "", 2, 0, 0, 0, ""},
        {"`ENDM ", "Cmd:", "", "", "", "", 0, 0, 0, 0, ""},
        {"`ENDM # end", "Cmd: End Main", "", "", "", "", 0, 0, 0, 0, "# end"},
        {"`W100", "Cmd:", "", "", "", "", 0, 0, 0, 0, ""},
        {"`w", "Cmd: Delay Keypress", "", "", "", "", 0, 0, 0, -1, ""},
        {"`w 100", "Cmd:Delay : 100: mSec", "", "", "", "", 0, 0, 0, 100, ""},
        {"`w2.5", "Cmd:Delay :2.5: mSec", "", "", "", "", 0, 0, 0, 2, ""},
        {"`w-1", "Cmd:Delay :-1: mSec", "", "", "", "", 0, 0, 0, -1, ""},
        {"`wabc", "Error Delay_Time", "", "", "", "", 0, 0, 0, 0, "Delay Error: Time not numeric"},
        {"`S", "Cmd: Save File", "", "", "", "", 0, 0, 0, 0, ""},
        {"`S ", "Cmd:", "", "", "", "", 0, 0, 0, 0, ""},
        {"`SPI", "Cmd:Set SPI Comm", "", "", "", "", 0, 0, 0, 0, ""},
        {"`G0F0F", "Cmd: GPIO:0F0F", "", "0F0F", "0F0F", "", 0, 2, 2, 0, ""},
        {"`G0f0", "Cmd: GPIO:0f0", "", "0f0", "0f0", "", 0, 2, 2, 0, " GPIO value not in hex pairs"},
        {"`G", "Cmd: GPIO:", "", "", "", "", 0, 2, 2, 0, " GPIO Error: no value"},
        {"`IE", "Cmd: Int Enable", "", "", "", "", 0, 0, 0, 0, ""},
        {"`ID # off", "Cmd: Int Disable", "", "", "", "", 0, 0, 0, 0, "# off"},
        {"`EISTART", "Cmd: Int Start", "", "", "", "", 0, 0, 0, 0, ""},
        {"`EIEND", "Cmd: Int End", "", "", "", "", 0, 0, 0, 0, ""},
        {"`Q", "Cmd:", "", "", "", "", 0, 0, 0, 0, ""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        const ScriptLoad l = load({QString(c.line)});
        ASSERT_EQ(l.rows.size(), 1u);
        const ScriptRow& r = l.rows[0];
        EXPECT_EQ(r.text(kOperation), c.operation);
        // A leading blank keeps a backtick line a data row: its text lands in Reg Adr.
        EXPECT_EQ(r.text(kRegAdr), QString(c.regAdr).toUpper());
        EXPECT_EQ(r.text(kDataWr), c.dataWr);
        EXPECT_EQ(r.text(kDataRd), c.dataRd);
        EXPECT_EQ(r.text(kActRd), c.actRd);
        EXPECT_EQ(r.regBytes, c.reg);
        EXPECT_EQ(r.wrBytes, c.wr);
        EXPECT_EQ(r.rdBytes, c.rd);
        EXPECT_EQ(r.delay, c.delay);
        EXPECT_EQ(r.text(kComment), c.comment);
        EXPECT_EQ(r.text(kLine), "001");
        EXPECT_EQ(l.lines, QStringList{QString(c.line)}); // kept raw, tabs and all
    }
}

TEST(ScriptLoader, CellColours)
{
    const ScriptLoad l = load({"00,11,", "`wxyz", "`G", "`IE"});
    EXPECT_EQ(l.rows[0].bg(kLine), kButtonFace);
    EXPECT_EQ(l.rows[0].bg(kOperation), kGreen);
    EXPECT_EQ(l.rows[1].bg(kOperation), kRed);
    EXPECT_EQ(l.rows[1].bg(kComment), kRed);
    EXPECT_EQ(l.rows[2].bg(kOperation), kRed);
    EXPECT_EQ(l.rows[3].bg(kOperation), kNoColour);
}

TEST(ScriptLoader, AddressCommands)
{
    // Four characters: shown on its own row; three: "0" and the last one, from the next row
    // on; a blank inside without a comment: "0" and the last digit.
    const ScriptLoad l = load({"00,,", "`A62", "00,,", "`A7", "00,,", "`A 64", "00,,", "`A 66 # c", "00,,", "`A"});
    const QStringList want = {"50", "62", "62", "62", "07", "07", "04", "66", "66", "66"};
    for (int i = 0; i < want.size(); ++i)
        EXPECT_EQ(l.rows[static_cast<size_t>(i)].text(kI2CAdr), want[i]) << "row " << i + 1;
    for (int i : {1, 3, 5, 7, 9})
        EXPECT_EQ(l.rows[static_cast<size_t>(i)].text(kOperation), "Cmd:Set I2C Adr");
    // `A alone gives 0A for the rows after it; the SPI family shows only a four-character one.
    EXPECT_EQ(load({"`A", "00,,"}).rows[1].text(kI2CAdr), "0A");
    const ScriptLoad spi = load({"`A62", ",11,", "`SPI", "`G00"}, true);
    EXPECT_EQ(spi.rows[0].text(kI2CAdr), "62");
    EXPECT_EQ(spi.rows[1].text(kI2CAdr), "");
    EXPECT_EQ(spi.rows[2].text(kI2CAdr), "SPI");
    EXPECT_EQ(spi.rows[3].text(kI2CAdr), "GPIO");
}

TEST(ScriptLoader, SpiFamilyRows)
{
    const ScriptLoad l = load({"A0,12,34", ",,34", ",12,3XX4", ",12,"}, true);
    EXPECT_EQ(l.rows[0].text(kOperation), "Read Only SPI Not Allowed");
    EXPECT_EQ(l.rows[0].bg(kOperation), kRed);
    EXPECT_EQ(l.rows[1].text(kOperation), "Read Only SPI Not Allowed");
    EXPECT_EQ(l.rows[2].text(kOperation), " W:1 R:2");
    EXPECT_EQ(l.rows[2].text(kDataRd), "3XX4");
    EXPECT_EQ(l.rows[3].text(kComment), ""); // no "No Internal Register" on SPI rows
}

TEST(ScriptLoader, SectionsAndEndMain)
{
    const ScriptLoad none = load({"00,,", "00,,"});
    EXPECT_EQ(none.endMain, 2);
    EXPECT_FALSE(none.hasEndMain);
    const ScriptLoad l = load({"00,,", "`ENDM", "`EISTART", "00,,", "`EIEND"});
    EXPECT_EQ(l.endMain, 2);
    EXPECT_TRUE(l.hasEndMain);
    EXPECT_EQ(l.iStart, 3);
    EXPECT_EQ(l.iEnd, 5);
    const ScriptLoad empty = load({});
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(empty.endMain, 0);
    EXPECT_EQ(load({"00,,12", "01,,1234567", "`G00"}).readCount, 2);
}

// A script beyond a limit is refused whole: a part of it would pass for the script, and a
// results file written from it would cut the user's file short.
TEST(ScriptLoader, LimitsRefuseTheWholeScript)
{
    struct Limit {
        QString line;
        const char* says;
    };
    const char* delayRange = "exceeds the delay range of -32768 to 32767 ms";
    const Limit limits[] = {
        {"1,2,3,4,5,6,7,8,9,10,11,12", "exceeds 11 fields"},
        {"`w40000", delayRange},
        {"`w32767.5", delayRange}, // rounds to 32768
        {"`w-32769", delayRange},
    };
    for (const Limit& c : limits) {
        SCOPED_TRACE(c.line.toStdString());
        const ScriptLoad l = load({"00,11,", "01,,22", c.line, "02,,"});
        EXPECT_TRUE(l.rows.empty());
        EXPECT_TRUE(l.lines.isEmpty());
        EXPECT_EQ(l.error, QString("line 3 %1: \"%2\"").arg(c.says, c.line));
    }
    // A long line is named by its start only.
    const ScriptLoad wide = load({QString(100000, '1') + ",,,,,,,,,,,"});
    EXPECT_TRUE(wide.error.startsWith("line 1 exceeds 11 fields: \"111")) << wide.error.toStdString();
    EXPECT_LT(wide.error.size(), 120);

    QStringList many;
    for (int i = 0; i < 1001; ++i)
        many << "00,,";
    const ScriptLoad l = load(many);
    EXPECT_TRUE(l.rows.empty());
    EXPECT_EQ(l.error, "line 1001 exceeds 1000 lines: \"00,,\"");

    // The edge of each limit still loads.
    many.removeLast();
    const ScriptLoad full = load(many);
    ASSERT_EQ(full.rows.size(), 1000u);
    EXPECT_EQ(full.rows.back().text(kLine), "1000");
    EXPECT_EQ(full.endMain, 1000);
    const ScriptLoad edges = load({"`w32767", "`w-32768", "1,2,3,4,5,6,7,8,9,10,11"});
    EXPECT_TRUE(edges.error.isEmpty()) << edges.error.toStdString();
    EXPECT_EQ(edges.rows[0].delay, 32767);
    EXPECT_EQ(edges.rows[1].delay, -32768);
}

// A row longer than one report loads like any other (it fails when it runs), and its byte
// counts follow the field however long it is.
TEST(ScriptLoader, RowsBeyondOneReportLoadWithTheirWholeCounts)
{
    const ScriptLoad l = load({"00," + QString(118, '1') + ",", "00,," + QString(126, '1'), QString(120, '1') + ",,",
                               "00," + QString(100000, 'A') + ",", "00,,"});
    ASSERT_TRUE(l.error.isEmpty()) << l.error.toStdString();
    ASSERT_EQ(l.rows.size(), 5u);
    EXPECT_EQ(l.lines.size(), 5);
    EXPECT_EQ(l.rows[0].wrBytes, 59);
    EXPECT_EQ(l.rows[1].rdBytes, 63);
    EXPECT_EQ(l.rows[2].regBytes, 60);
    EXPECT_EQ(l.rows[3].wrBytes, 50000);
    EXPECT_EQ(l.rows[3].text(kOperation), " Reg:1 W:50000");
    EXPECT_EQ(l.longestDataWr, 100000);
    EXPECT_EQ(byteCount(QString(70001, '1')), 35000); // halves to even past 16 bits too
    EXPECT_EQ(load({"," + QString(116, '1') + ","}, true).rows[0].wrBytes, 58);
}

TEST(ScriptLoader, SplitLinesAndHexPairs)
{
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (QStringList{"a", ""}));
    EXPECT_EQ(splitLines(""), QStringList{});
    EXPECT_EQ(hexBytes("1234567", 4), (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x07}));
    EXPECT_EQ(hexBytes("ZZ", 1), (std::vector<std::uint8_t>{0x00}));
    EXPECT_TRUE(isHexPairs("0F0F"));
    EXPECT_FALSE(isHexPairs("0f0F"));
    EXPECT_FALSE(isHexPairs("0F0"));
}
