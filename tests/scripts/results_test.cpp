// The results file: actual reads merged as third fields, the stamp on line 1, writing.
#include "scripts/script_results.h"
#include "support/full_disk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace script;

namespace {
ScriptRow readRow(const char* op, const char* act)
{
    ScriptRow r;
    r.text(kOperation) = op;
    r.text(kActRd) = act;
    return r;
}
} // namespace

TEST(ScriptResults, ThirdFieldIsReplacedAsAField)
{
    struct Case {
        const char* line;
        const char* act;
        const char* merged;
    };
    const Case cases[] = {
        {"00,,3F", "3E", "00,,3E"},
        {"00,,3F      # reads reg 00", "3E", "00,,3E      # reads reg 00"},
        {"00,,  3F  ,x", "3E", "00,,  3E  ,x"},
        {"00,,\t1234567", "12345607", "00,,\t12345607"},  // longer than what stood there
        {"00,,12345678", "1E", "00,,1E"},                 // shorter
        {"00,,", "NAK", "00,,NAK"},
        {"00,,3F#c,d", "--", "00,,--#c,d"},
        {"00,3F", "3E", "00,3F"}, // no third field to replace
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceThirdField(c.line, c.act), c.merged) << c.line;
}

TEST(ScriptResults, MergeTakesOnlyReadRowsWithAnActualRead)
{
    QStringList lines = {"# t", "10,,3F", "10,,40", "10,22,", "`w100", "10,,41", "10,,42"};
    const std::vector<ScriptRow> rows = {readRow("NOP", ""),         readRow(" Reg:1 R:1", "3E"),
                                         readRow(" reg:1 r:1", "40"), readRow(" Reg:1 W:1", "22"),
                                         readRow("Cmd:Delay :100: mSec", "Delay 100"),
                                         readRow(" Reg:1 R:1", "--"), readRow(" Reg:1 R:1", "4")};
    mergeActualReads(lines, rows);
    EXPECT_EQ(lines, (QStringList{"# t", "10,,3E", "10,,40", "10,22,", "`w100", "10,,--", "10,,42"}));
}

TEST(ScriptResults, StampReplacesTheLastOne)
{
    QStringList lines = {"# wiper test ", "00,,"};
    stampFirstLine(lines, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)), "0");
    EXPECT_EQ(lines[0], "# wiper test # AutoUpdated: 03-04-2026 05:06:07 Looping: 0");
    stampFirstLine(lines, QDateTime(QDate(2026, 12, 31), QTime(23, 0, 1)), "12");
    EXPECT_EQ(lines[0], "# wiper test # AutoUpdated: 12-31-2026 23:00:01 Looping: 12");
    QStringList other = {"00,,# autoupdated: old"};
    stampFirstLine(other, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), "1");
    EXPECT_EQ(other[0], "00,,# AutoUpdated: 01-02-2026 03:04:05 Looping: 1");
}

TEST(ScriptResults, WriteReplaceOrAppendAndTheSaveName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    EXPECT_EQ(writeLines(path, {"a", "b"}, false), "");
    EXPECT_EQ(writeLines(path, {"c"}, true), "");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a\r\nb\r\nc\r\n"));
    f.close();
    EXPECT_EQ(writeLines(path, {"d"}, false), "");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("d\r\n"));
    EXPECT_FALSE(writeLines(dir.filePath("no/such/dir/x.txt"), {"a"}, false).isEmpty());
    EXPECT_FALSE(writeLines(dir.filePath("no/such/dir/x.txt"), {"a"}, true).isEmpty());

    EXPECT_EQ(autoSaveName("/s/wiper.txt"), "/s/wiper_DL.txt");
    EXPECT_EQ(autoSaveName("abc"), "abc_DL");
}

// "Write to Disk" and the save row on a disk that fills up: the file that was there stays as it
// was, with no results cut off mid-line after it.
TEST(ScriptResults, AFullDiskLeavesTheOldFileAsItWas)
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QString("00,,%1  # row %2").arg(i % 256, 2, 16, QChar('0')).arg(i);
    const QByteArray old = QByteArray("# earlier results\r\n").repeated(50);
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "append" : "replace");
        QTemporaryDir dir;
        const QString path = dir.filePath("script_DL.txt");
        putFileBytes(path, old);
        const int code = runWithFileSizeLimit(4096, [&] {
            const QString error = writeLines(path, lines, append);
            return error.contains(path) && error.contains("unchanged") ? 0 : 1;
        });
        EXPECT_EQ(code, 0) << "the write fails and says so";
        EXPECT_EQ(fileBytes(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"script_DL.txt"});
    }
}
