// The device parameter file reader: the cell stream, row widths per family, the END row and
// the 50-row limit, what makes a read fail, and the I2C address check of a picked record.
#include "devices/parameter_file.h"
#include "devices/sample_tables.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>

using params::Family;
using params::parseParameterTable;

namespace {

std::optional<params::ParameterTable> parse(const QString& text, Family f = Family::I2C)
{
    const QByteArray bytes = text.toUtf8();
    return parseParameterTable(bytes, f);
}

// `n` cells named <prefix>0.. on one line.
QString line(const QString& prefix, int n)
{
    QStringList cells;
    for (int i = 0; i < n; ++i)
        cells << prefix + QString::number(i);
    return cells.join(',') + "\n";
}

QString replaced(QString s, const QString& from, const QString& to)
{
    const qsizetype at = s.indexOf(from);
    EXPECT_GE(at, 0) << from.toStdString();
    return s.replace(at, from.size(), to);
}

} // namespace

TEST(ParameterFile, TheI2CSampleReadsRowByRow)
{
    const auto t = parse(kI2CSample);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->rowCount(), 8);
    for (const auto& row : t->rows)
        EXPECT_EQ(row.size(), params::kI2CRowWidth);
    EXPECT_EQ(t->rows[0].mid(5, 9), (QStringList{"ACR Adr", "ACR Value", "GP Regs", "Spare 8", "Spare 9", "Spare 10",
                                                  "Spare 11", "Reg Size", "Data Size"}));
    EXPECT_EQ(t->rows[1][1], "ZN3710, I2C, Single Channel, 128 Tap QPOT"); // quoted commas stay in the cell
    EXPECT_EQ(t->rows[3].mid(0, 8), (QStringList{"K4736B", "K4736, I2C, Four Channel, 64 Tap, Banked", "4", "64", "5E",
                                                 "8", "0", "NA"}));
    EXPECT_EQ(t->rows[7], (QStringList{"END"} + QStringList(14, QString())));
    EXPECT_TRUE(t->endsWithEndRow);
    EXPECT_FALSE(t->pickable(0));
    EXPECT_TRUE(t->pickable(1));
    EXPECT_TRUE(t->pickable(6));
    EXPECT_FALSE(t->pickable(7)); // the END row
}

TEST(ParameterFile, TheSPISampleTakesNineteenCellsARow)
{
    const auto t = parse(kSPISample, Family::SPI);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->rowCount(), 6);
    for (const auto& row : t->rows)
        EXPECT_EQ(row.size(), params::kSPIRowWidth);
    EXPECT_EQ(t->rows[0][17], "Spare 17");
    EXPECT_EQ(t->rows[2][4], "NA");
    EXPECT_EQ(t->rows[3][14], "4");
    const ParameterTableRecord r = t->record(3);
    EXPECT_EQ(r[0], "K6623A");
    EXPECT_EQ(r[17], ""); // the last column is never handed over
    EXPECT_EQ(r[10], "A0");
}

TEST(ParameterFile, LineEndsAreLFCRLFOrALoneCR)
{
    const auto lf = parse(kI2CSample);
    ASSERT_TRUE(lf);
    QString crlf = kI2CSample, cr = kI2CSample;
    crlf.replace("\n", "\r\n");
    cr.replace("\n", "\r");
    for (const QString& text : {crlf, cr, crlf.chopped(2), QString(kI2CSample).replace("\nEND\n", "\r\nEND")}) {
        const auto t = parse(text);
        ASSERT_TRUE(t) << text.toStdString();
        EXPECT_EQ(t->rows, lf->rows);
    }
}

// One cell after the 15-cell header row, as the stream reads it.
TEST(ParameterFile, Cells)
{
    const QString header = line("h", 15);
    struct Case {
        const char* text;  // the start of row 1 as written (commas fill the row, then END)
        QStringList cells; // the cells it makes
    } cases[] = {
        {"  ab  ,x", {"ab", "x"}},                          // blanks around an unquoted cell go
        {"\" ab \",x", {" ab ", "x"}},                      // inside quotes they stay
        {"   \"a,b\",x", {"a,b", "x"}},                     // quotes may hold commas
        {"\"ab\"cd,x", {"ab", "x"}},                        // text after the closing quote is dropped
        {"\"ab\ncd,x", {"ab", "cd", "x"}},                  // a line break ends a quoted cell
        {",,x", {"", "", "x"}},                             // empty cells
        {"a\n\nb", {"a", "", "b"}},                         // an empty line is one empty cell
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a,END,b", {"a", "END", "b"}},                     // END in another column is a cell
        {"\t x,y", {"x", "y"}},
    };
    for (const auto& c : cases) {
        const QString row = QString::fromUtf8(c.text) + QString(15 - c.cells.size(), u',') + "\nEND\n";
        const auto t = parse(header + row);
        ASSERT_TRUE(t) << c.text;
        EXPECT_EQ(t->rows[1].mid(0, c.cells.size()), c.cells) << c.text;
    }
}

TEST(ParameterFile, EndInAnyCaseEndsTheTable)
{
    for (const char* end : {"end", "End", " END  ", "\"eNd\"", "END,whatever,is,here"}) {
        const auto t = parse(line("h", 15) + QString::fromUtf8(end) + "\n" + line("p", 15));
        ASSERT_TRUE(t) << end;
        EXPECT_EQ(t->rowCount(), 2) << end;
        EXPECT_FALSE(t->pickable(1));
    }
    // "end" as the first part: one row after the header, the END row.
    const auto t = parse(replaced(kI2CSample, "ZN3710,", "end,"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rowCount(), 2);
}

TEST(ParameterFile, AFileThatRunsOutBeforeItsEndIsNoTable)
{
    const QString noEnd = replaced(kI2CSample, "END\n", "");
    for (const QString& text : {QString(), QString("\n"), line("h", 15), line("h", 14), noEnd, noEnd + "\n\n"})
        EXPECT_FALSE(parse(text)) << text.toStdString();
    EXPECT_FALSE(params::readParameterFile("/nonexistent/dir/params.csv", Family::I2C));
}

// A file larger than 1 MiB or one that is not text is refused whole, however good a table it
// starts with, with a message that names the file. An end-of-file mark as the last byte and
// Latin-1 letters are text.
TEST(ParameterFile, ALargeOrBinaryFileIsRefusedWhole)
{
    QTemporaryDir dir;
    const QByteArray table = kI2CSample.toUtf8();
    const struct {
        const char* name;
        QByteArray bytes;
        const char* refusal; // empty: read
    } files[] = {
        {"padded past 1 MiB", table + QByteArray(1024 * 1024, 'x'), "larger than 1 MiB"},
        {"a zero byte in a cell", QByteArray(table).insert(table.indexOf("ZN"), '\0'), "not a text file"},
        {"an escape byte", QByteArray(table).replace("Odd row", "Odd\x1B row"), "not a text file"},
        {"an end-of-file mark at the end", table + "\x1A", nullptr},
        {"Latin-1", QByteArray(table).replace("Odd row", "Odd \xB5row"), nullptr},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QString path = dir.filePath("params.csv");
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(f.bytes);
        out.close();
        QString problem;
        const auto read = params::readParameterFile(path, Family::I2C, &problem);
        EXPECT_EQ(read.has_value(), f.refusal == nullptr) << problem.toStdString();
        if (f.refusal) {
            EXPECT_TRUE(problem.contains(QDir::toNativeSeparators(path))) << problem.toStdString();
            EXPECT_TRUE(problem.contains(f.refusal)) << problem.toStdString();
        }
    }
}

TEST(ParameterFile, AtMostFiftyRowsAndTheLastCannotBePicked)
{
    QString text = line("h", 15);
    for (int r = 1; r <= 60; ++r)
        text += line(QString("r%1c").arg(r), 15);
    const auto t = parse(text);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rowCount(), params::kMaxRows);
    EXPECT_FALSE(t->endsWithEndRow);
    EXPECT_EQ(t->rows[49][0], "r49c0");
    EXPECT_TRUE(t->pickable(48));
    EXPECT_FALSE(t->pickable(49));
    // Exactly 49 part rows and nothing more is a whole table; one cell short of it is not.
    EXPECT_TRUE(parse(text.section('\n', 0, 49) + "\n"));
    EXPECT_FALSE(parse(text.section('\n', 0, 49).section(',', 0, -2) + "\n"));
}

TEST(ParameterFile, ARowOfTheWrongWidthShiftsTheRowsAfterIt)
{
    // Row 1 has a cell too few, row 2 one too many: row 1 takes row 2's first cell, and the
    // END row lines up again.
    const auto t = parse(line("h", 15) + line("a", 14) + line("b", 16) + "END\n");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->rowCount(), 4);
    EXPECT_EQ(t->rows[1][14], "b0");
    EXPECT_EQ(t->rows[2][0], "b1");
    EXPECT_EQ(t->rows[2][14], "b15");
    EXPECT_TRUE(t->endsWithEndRow);

    // A table of 15-cell lines read as SPI rows is misaligned from the header on.
    QString fifteen;
    for (int l = 0; l < 19; ++l)
        fifteen += line(QString("l%1c").arg(l), 15);
    const auto spi = parse(fifteen + "END\n", Family::SPI);
    ASSERT_TRUE(spi);
    EXPECT_EQ(spi->rowCount(), 16);
    EXPECT_EQ(spi->rows[0][15], "l1c0");
    EXPECT_EQ(spi->rows[1][0], "l1c4");
    // The I2C sample read as SPI rows never finds its END in column 0.
    EXPECT_FALSE(parse(kI2CSample, Family::SPI));
}

TEST(ParameterFile, TextEncodings)
{
    // A byte-order mark is no part of the first cell; bytes that are no UTF-8 are Latin-1.
    const auto bom = parseParameterTable(QByteArray("\xEF\xBB\xBF") + kI2CSample.toUtf8(), Family::I2C);
    ASSERT_TRUE(bom);
    EXPECT_EQ(bom->rows[0][0], "Part");
    const auto latin = parseParameterTable(
        replaced(kI2CSample, "Odd row", QString("Odd ") + QChar(0xB5) + "row").toLatin1(), Family::I2C);
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->rows[6][1], QString::fromUtf8("Odd \xC2\xB5row, 512 taps, 3 channels"));
}

TEST(ParameterFile, TheExampleTablesRead)
{
    const QDir examples(QStringLiteral(DCPEVAL_SOURCE_DIR "/examples"));
    const auto i2c = params::readParameterFile(examples.filePath("i2c_parameters.csv"), Family::I2C);
    const auto spi = params::readParameterFile(examples.filePath("spi_parameters.csv"), Family::SPI);
    ASSERT_TRUE(i2c);
    ASSERT_TRUE(spi);
    EXPECT_TRUE(i2c->endsWithEndRow);
    EXPECT_TRUE(spi->endsWithEndRow);
    for (int r = 1; r + 1 < i2c->rowCount(); ++r)
        EXPECT_EQ(params::i2cRecordAddressProblem(i2c->record(r)), QString()) << r;
}

TEST(ParameterFile, ARecordMustNameAnI2CAddress)
{
    for (const char* good : {"50", "51", "A0", "5e", "0050", "02", "03", "FF"}) {
        ParameterTableRecord r;
        r[0] = "P1";
        r[4] = QString::fromUtf8(good);
        EXPECT_EQ(params::i2cRecordAddressProblem(r), QString()) << good;
    }
    for (const char* bad : {"", "0", "1", "01", "5G", "100", " 50", "NA", "\xD9\xA5"}) {
        ParameterTableRecord r;
        r[0] = "P1";
        r[4] = QString::fromUtf8(bad);
        EXPECT_EQ(params::i2cRecordAddressProblem(r),
                  QString("Device address \"%1\" of part P1 is not an I2C address. The part was not applied.")
                      .arg(r[4]))
            << bad;
    }
}
