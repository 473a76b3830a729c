// The VCC calibration file: its exact format, the all-or-nothing reader, the whole-or-nothing
// writer, and what the calibration window and the VCC list make of good and bad files.
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "motherboard/vcc_cal_file.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "support/board_fixture.h"
#include "support/full_disk.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <functional>

#include <unistd.h>

namespace {

// A file as the calibration window writes it after a sweep on the default board.
const QString kGoodFile = "DCP VCC Calibration 03-05-2024 14:07:09\r\n"
                          "VREF , 3.3\r\n"
                          "2.7,2C,1.3484,2.6968\r\n"
                          "3.0,35,1.4968,2.9935\r\n"
                          "3.3,3E,1.6452,3.2903\r\n"
                          "3.5,44,1.7452,3.4903\r\n"
                          "4.0,54,2.0065,4.0129\r\n"
                          "4.5,63,2.2548,4.5097\r\n"
                          "5.0,72,2.5000,5.0000\r\n"
                          "END\r\n";

// The good file with one text replaced.
QString goodFileWith(const QString& from, const QString& to)
{
    QString s = kGoodFile;
    const qsizetype at = s.indexOf(from);
    EXPECT_GE(at, 0) << from.toStdString();
    return s.replace(at, from.size(), to);
}

// The good file cut after its first `lines` lines.
QString goodFileLines(int lines) { return kGoodFile.split("\r\n").mid(0, lines).join("\r\n") + "\r\n"; }

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(VccCalFile, AGoodFileReadsWholeAndWritesBackByteForByte)
{
    const VccCalibrationRead r = parseVccCalibration(kGoodFile);
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    EXPECT_EQ(r.cal.header, "DCP VCC Calibration 03-05-2024 14:07:09");
    EXPECT_EQ(r.cal.vrefText, "3.3");
    EXPECT_DOUBLE_EQ(r.cal.vref, 3.3);
    EXPECT_EQ(r.cal.codes(), (std::array<QString, 7>{"2C", "35", "3E", "44", "54", "63", "72"}));
    EXPECT_EQ(r.cal.rows[6].target, "5.0");
    EXPECT_EQ(r.cal.rows[6].vin, "2.5000");
    EXPECT_EQ(r.cal.rows[6].vcc, "5.0000");
    EXPECT_EQ(formatVccCalibration(r.cal), kGoodFile);
    EXPECT_EQ(vccCalibrationHeader(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))), r.cal.header);
}

TEST(VccCalFile, ReadingIsLenientAboutLayoutOnly)
{
    struct Case {
        const char* what;
        QString text;
    };
    const Case cases[] = {
        {"line feeds only", QString(kGoodFile).replace("\r\n", "\n")},
        {"blanks around fields", goodFileWith("2.7,2C,1.3484,2.6968", "  2.7 , 2C ,1.3484,  2.6968 ")},
        {"no END line", goodFileLines(9)},
        {"anything after the 31st field", goodFileWith("END", "END,more\r\njunk")},
        {"lower-case code", goodFileWith(",2C,", ",2c,")},
    };
    for (const Case& c : cases) {
        const VccCalibrationRead r = parseVccCalibration(c.text);
        ASSERT_TRUE(r.ok) << c.what << ": " << r.reason.toStdString();
        EXPECT_EQ(r.cal.codes()[0], "2C") << c.what;
        EXPECT_EQ(r.cal.rows[0].vcc, "2.6968") << c.what;
    }
}

TEST(VccCalFile, ABadFileIsRefusedWholeWithTheReason)
{
    struct Case {
        const char* what;
        QString text;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", "", "it ends before its VREF value"},
        {"ends after its fifth row", goodFileLines(7), "it ends early, in row 6 of 7"},
        {"ends inside row 7", goodFileWith("5.0,72,2.5000,5.0000\r\nEND\r\n", "5.0,72"), "it ends early, in row 7 of 7"},
        {"VREF line missing", goodFileWith("VREF , 3.3\r\n", ""), "VREF is missing (line 2 begins \"2.7\")"},
        {"VREF not a number", goodFileWith("VREF , 3.3", "VREF , abc"), "VREF \"abc\" is not a voltage from 1.0 to 5.5 V"},
        {"VREF empty", goodFileWith("VREF , 3.3", "VREF , "), "VREF \"\" is not a voltage from 1.0 to 5.5 V"},
        {"VREF zero", goodFileWith("VREF , 3.3", "VREF , 0"), "VREF \"0\" is not a voltage from 1.0 to 5.5 V"},
        {"VREF in millivolts", goodFileWith("VREF , 3.3", "VREF , 3300"), "VREF \"3300\" is not a voltage from 1.0 to 5.5 V"},
        {"code FF", goodFileWith(",63,", ",FF,"), "row 6: code \"FF\" is not a supply code from 00 to 7F"},
        {"code 80", goodFileWith(",2C,", ",80,"), "row 1: code \"80\" is not a supply code from 00 to 7F"},
        {"code not hex", goodFileWith(",3E,", ",G1,"), "row 3: code \"G1\" is not a supply code from 00 to 7F"},
        {"code of one digit", goodFileWith(",35,", ",5,"), "row 2: code \"5\" is not a supply code from 00 to 7F"},
        {"code never measured", goodFileWith(",44,", ",--,"), "row 4: code \"--\" is not a supply code from 00 to 7F"},
        {"target not a number", goodFileWith("4.0,54", "x.x,54"), "row 5: target \"x.x\" is not a voltage"},
        {"reading not a number", goodFileWith("2.5000,5.0000", "2.5000,--"), "row 7: reading \"--\" is not a number"},
    };
    for (const Case& c : cases) {
        const VccCalibrationRead r = parseVccCalibration(c.text);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_FALSE(r.missing) << c.what;
        EXPECT_EQ(r.reason, c.reason) << c.what;
    }
}

TEST(VccCalFile, MissingUnreadableAndBinaryFilesSayWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("DCP_Cal_Data.txt");

    VccCalibrationRead r = readVccCalibrationFile(path);
    EXPECT_TRUE(r.missing);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message(path), path + " ... VCC Calibration File does not exist");

    QDir().mkpath(path); // a directory where the file should be
    r = readVccCalibrationFile(path);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.reason.isEmpty());
    QDir().rmdir(path);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100000, '\xFF'));
    f.close();
    r = readVccCalibrationFile(path);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message(path).startsWith(path + " ... VCC Calibration File cannot be used: "));
    EXPECT_TRUE(r.message(path).endsWith(". The default VCC codes and VREF stay in use."));

    // Whatever the file holds, the message is a few readable lines: a binary file is named as
    // one, and a field is quoted only as far as the user needs to find it.
    QByteArray binary = "DCP VCC Calibration\r\nVREF , ";
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 37 + 11) % 256 == ',' ? 'x' : (i * 37 + 11) % 256);
    const struct {
        const char* what;
        QByteArray bytes;
        QString reason;
    } spoilt[] = {
        {"binary", binary, "it is not a text file (it holds the byte 0x0B at offset 28)"},
        {"a long VREF field", "DCP\r\nVREF , " + QByteArray(5000, '9') + "\r\n",
         "VREF \"" + QString(40, '9') + "...\" is not a voltage from 1.0 to 5.5 V"},
        {"a long second line", "DCP\r\n" + QByteArray(5000, 'a') + ",1\r\n",
         "VREF is missing (line 2 begins \"" + QString(40, 'a') + "...\")"},
    };
    for (const auto& s : spoilt) {
        SCOPED_TRACE(s.what);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(s.bytes);
        f.close();
        r = readVccCalibrationFile(path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, s.reason);
    }
}

TEST(VccCalFile, TheWriterWritesWholeOrNotAtAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("DCP_Cal_Data.txt");
    VccCalibration cal = parseVccCalibration(kGoodFile).cal;

    EXPECT_EQ(writeVccCalibrationFile(path, cal), "");
    EXPECT_EQ(readText(path), kGoodFile);

    // Contents that would not read back are refused and the good file stays.
    struct Case {
        const char* what;
        std::function<void(VccCalibration&)> spoil;
    };
    const Case cases[] = {
        {"a row never measured", [](VccCalibration& c) { c.rows[3].code = "--"; }},
        {"VREF not a number", [](VccCalibration& c) { c.vrefText = "---"; }},
        {"a comma in the header", [](VccCalibration& c) { c.header = "DCP VCC Calibration, bench 2"; }},
        // Read back, the last reading would lose everything after its comma.
        {"a comma in the last reading", [](VccCalibration& c) { c.rows[6].vcc = "5.0,1"; }},
    };
    for (const Case& c : cases) {
        VccCalibration bad = cal;
        c.spoil(bad);
        EXPECT_TRUE(writeVccCalibrationFile(path, bad).startsWith("The calibration cannot be written")) << c.what;
        EXPECT_EQ(readText(path), kGoodFile) << c.what;
    }

    // A directory that cannot take the file: the path, the system's reason and what it
    // means for the calibration; nothing written.
    const QString nowhere = dir.filePath("no/such/dir/DCP_Cal_Data.txt");
    const QString why = writeVccCalibrationFile(nowhere, cal);
    EXPECT_TRUE(why.contains(nowhere)) << why.toStdString();
    EXPECT_TRUE(why.contains("No such file or directory", Qt::CaseInsensitive)) << why.toStdString();
    EXPECT_TRUE(why.endsWith("No file was created.")) << why.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));

    // A disk that fills up while the new file is written: the old one stays byte for byte,
    // or none appears where there was none.
    VccCalibration next = cal;
    next.header = "DCP VCC Calibration 12-31-2026 23:59:59";
    for (const bool existed : {true, false}) {
        SCOPED_TRACE(existed ? "over an old file" : "a new file");
        if (!existed)
            QFile::remove(path);
        const int code = runWithFileSizeLimit(100, [&] {
            const QString error = writeVccCalibrationFile(path, next);
            return error.contains(path) && error.contains("File too large") ? 0 : 1;
        });
        EXPECT_EQ(code, 0) << "the write fails and says which file and why";
        if (existed)
            EXPECT_EQ(readText(path), kGoodFile);
        else
            EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), existed ? QStringList{"DCP_Cal_Data.txt"} : QStringList{});
    }
    ASSERT_EQ(writeVccCalibrationFile(path, cal), "");

    // A directory the user may not write to keeps the file it holds.
    if (::geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const QString denied = writeVccCalibrationFile(path, cal);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(denied.contains(path) && denied.endsWith("The old file is unchanged.")) << denied.toStdString();
        EXPECT_EQ(readText(path), kGoodFile);
    }
}

// ---------------------------------------------------------------------------------------
// The calibration window's reader and the VCC list

class VccCalFileWindowTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        svc.programDirectory = dir.path();
    }
    QString filePath() const { return QDir::toNativeSeparators(dir.filePath("DCP_Cal_Data.txt")); }
    static QStringList column(const std::array<QLabel*, 8>& labels)
    {
        QStringList out;
        for (size_t k = 1; k < labels.size(); ++k)
            out << labels[k]->text();
        return out;
    }
    QTemporaryDir dir;
};

TEST_F(VccCalFileWindowTest, ReadingAGoodFileFillsTheWindow)
{
    writeText(filePath(), goodFileWith("VREF , 3.3", "VREF , 3.28"));
    FrmVCCCal& cal = forms().FrmVCCCal();
    cal.cdmRead_Cal_File_Click();
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_EQ(cal.lblCal_header->text(), "DCP VCC Calibration 03-05-2024 14:07:09");
    EXPECT_EQ(cal.txtVrefCal->text(), "3.28");
    EXPECT_DOUBLE_EQ(cal.vrefCal(), 3.28);
    EXPECT_DOUBLE_EQ(g_AdcVref, 3.3); // the reader leaves the reference to its callers
    EXPECT_EQ(column(cal.blbTargetV), (QStringList{"2.7", "3.0", "3.3", "3.5", "4.0", "4.5", "5.0"}));
    EXPECT_EQ(column(cal.lblTargetHex), (QStringList{"2C", "35", "3E", "44", "54", "63", "72"}));
    EXPECT_EQ(cal.lblTargetV[7]->text(), "2.5000");
    EXPECT_EQ(cal.lblTargetV[15]->text(), "5.0000");
    EXPECT_EQ(cal.lblCalStatus->text(), "Cal File Read");
}

TEST_F(VccCalFileWindowTest, AMissingOrBadFileLeavesNothingOfItInTheWindow)
{
    struct Case {
        const char* what;
        std::optional<QString> file; // none: no file at all
        QString box;
    };
    const Case cases[] = {
        {"missing", std::nullopt, filePath() + " ... VCC Calibration File does not exist"},
        {"ends after its fifth row", goodFileLines(7),
         filePath() + " ... VCC Calibration File cannot be used: it ends early, in row 6 of 7. "
                      "The default VCC codes and VREF stay in use."},
        {"code FF", goodFileWith(",72,", ",FF,"),
         filePath() + " ... VCC Calibration File cannot be used: row 7: code \"FF\" is not a supply code from 00 "
                      "to 7F. The default VCC codes and VREF stay in use."},
    };
    for (const Case& c : cases) {
        QFile::remove(filePath());
        if (c.file)
            writeText(filePath(), *c.file);
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        FrmVCCCal& cal = forms().FrmVCCCal();
        cal.cdmRead_Cal_File_Click();
        EXPECT_EQ(svc.boxTexts(), QStringList{c.box}) << c.what;
        EXPECT_EQ(column(cal.blbTargetV), QStringList(7, "x.x")) << c.what;
        EXPECT_EQ(column(cal.lblTargetHex), QStringList(7, "--")) << c.what;
        EXPECT_EQ(cal.lblTargetV[5]->text(), "--") << c.what;
        EXPECT_EQ(cal.txtVrefCal->text(), "---") << c.what;
        EXPECT_DOUBLE_EQ(cal.vrefCal(), 3.3) << c.what;
        EXPECT_EQ(cal.lblCalStatus->text(), "----") << c.what;
        EXPECT_EQ(cal.lblCal_header->text(), "") << c.what;
    }
}

TEST_F(VccCalFileWindowTest, TheVccListTakesAGoodFileAndKeepsTheDefaultsForABadOne)
{
    frmStartup& menu = forms().frmStartup();
    // The service windows load first, as on the menu's first pick; the I2C device window they
    // set up registers itself on the way.
    forms().frmMotherboardDAQ2();
    g_ActiveForm = &menu;
    const auto listTexts = [&] {
        QStringList out;
        for (int i = 0; i < menu.cboVCC->count(); ++i)
            out << menu.cboVCC->itemText(i);
        return out;
    };
    const auto codeTable = [] { return QStringList(g_VccCodeTable.begin(), g_VccCodeTable.begin() + 10); };

    writeText(filePath(), goodFileWith("VREF , 3.3", "VREF , 3.31")
                              .replace("2.7,2C", "2.8,2D")
                              .replace("5.0,72", "4.9,70"));
    InitVccOptions();
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_EQ(listTexts(), (QStringList{"2.8", "3.0", "3.3", "3.5", "4.0", "4.5", "4.9", "Min", "Mid", "Max"}));
    EXPECT_EQ(codeTable(), (QStringList{"2D", "35", "3E", "44", "54", "63", "70", "00", "3F", "7F"}));
    EXPECT_EQ(menu.cboVCC->currentIndex(), 6);
    EXPECT_DOUBLE_EQ(g_AdcVref, 3.31);

    g_AdcVref = 3.3;
    writeText(filePath(), goodFileWith(",63,", ",FF,"));
    svc.answer(platform::vbOK);
    InitVccOptions();
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_TRUE(svc.boxes[0].text.contains("row 6: code \"FF\" is not a supply code from 00 to 7F"));
    EXPECT_EQ(listTexts(), (QStringList{"2.7", "3.0", "3.3", "3.5", "4.0", "4.5", "5.0", "Min", "Mid", "Max"}));
    EXPECT_EQ(codeTable(), (QStringList{"2C", "35", "3E", "44", "54", "63", "72", "00", "3F", "7F"}));
    EXPECT_DOUBLE_EQ(g_AdcVref, 3.3);
}
