#include "motherboard/vcc_cal_file.h"

#include "platform/files.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace {

constexpr int kFieldCount = 3 + 4 * kVccCalRows;
// The file is a few hundred bytes; what lies beyond this cannot hold the fields we read.
constexpr qint64 kMaxBytesRead = 64 * 1024;

std::optional<double> number(const QString& text)
{
    // A comma separates the file's fields; "0,003" is no 3 V.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QStringList fields(const QString& text)
{
    QStringList out;
    for (const QString& line : text.split(QRegularExpression("\r\n|\n|\r"))) {
        if (line.trimmed().isEmpty())
            continue;
        for (const QString& f : line.split(u','))
            out.push_back(f.trimmed());
        if (out.size() >= kFieldCount)
            break;
    }
    return out;
}

bool isSupplyCode(const QString& s)
{
    static const QRegularExpression twoHex("^[0-9A-Fa-f]{2}$");
    return twoHex.match(s).hasMatch() && s.toInt(nullptr, 16) <= 0x7F;
}

// A field as a message quotes it: a long one is cut, since the user only needs to find it.
QString quoted(const QString& field)
{
    constexpr int kShown = 40;
    return '"' + (field.size() > kShown ? field.left(kShown) + "..." : field) + '"';
}

VccCalibrationRead fault(const QString& reason)
{
    VccCalibrationRead r;
    r.reason = reason;
    return r;
}

} // namespace

QString vccCalibrationFileName() { return QStringLiteral("DCP_Cal_Data.txt"); }

QString vccCalibrationPath()
{
    return QDir::toNativeSeparators(QDir(platform::programDir()).filePath(vccCalibrationFileName()));
}

std::array<QString, kVccCalRows> VccCalibration::codes() const
{
    std::array<QString, kVccCalRows> out;
    for (int k = 0; k < kVccCalRows; ++k)
        out[k] = rows[k].code;
    return out;
}

QString VccCalibrationRead::message(const QString& path) const
{
    if (missing)
        return path + " ... VCC Calibration File does not exist";
    return path + " ... VCC Calibration File cannot be used: " + reason
           + ". The default VCC codes and VREF stay in use.";
}

std::optional<double> plausibleVref(const QString& text)
{
    const auto v = number(text.trimmed());
    if (!v || *v < kMinVref || *v > kMaxVref)
        return std::nullopt;
    return v;
}

VccCalibrationRead parseVccCalibration(const QString& text)
{
    const QStringList f = fields(text);
    if (f.size() < 3)
        return fault("it ends before its VREF value");
    if (f[1].compare("VREF", Qt::CaseInsensitive) != 0)
        return fault(QString("VREF is missing (line 2 begins %1)").arg(quoted(f[1])));
    const auto vref = plausibleVref(f[2]);
    if (!vref)
        return fault(QString("VREF %1 is not a voltage from %2 to %3 V")
                         .arg(quoted(f[2]), QString::number(kMinVref, 'f', 1), QString::number(kMaxVref, 'f', 1)));
    if (f.size() < kFieldCount)
        return fault(QString("it ends early, in row %1 of %2").arg((f.size() - 3) / 4 + 1).arg(kVccCalRows));

    VccCalibrationRead r;
    r.cal.header = f[0];
    r.cal.vrefText = f[2];
    r.cal.vref = *vref;
    for (int k = 0; k < kVccCalRows; ++k) {
        const int at = 3 + 4 * k;
        VccCalRow row{f[at], f[at + 1].toUpper(), f[at + 2], f[at + 3]};
        const QString where = QString("row %1: ").arg(k + 1);
        if (!number(row.target))
            return fault(where + QString("target %1 is not a voltage").arg(quoted(row.target)));
        if (!isSupplyCode(row.code))
            return fault(where + QString("code %1 is not a supply code from 00 to 7F").arg(quoted(f[at + 1])));
        for (const QString& reading : {row.vin, row.vcc})
            if (!number(reading))
                return fault(where + QString("reading %1 is not a number").arg(quoted(reading)));
        r.cal.rows[k] = row;
    }
    r.ok = true;
    return r;
}

VccCalibrationRead readVccCalibrationFile(const QString& path)
{
    QFile file(path);
    if (!file.exists()) {
        VccCalibrationRead r;
        r.missing = true;
        r.reason = "the file does not exist";
        return r;
    }
    if (!file.open(QIODevice::ReadOnly))
        return fault(file.errorString());
    QByteArray bytes = file.read(kMaxBytesRead);
    if (file.error() != QFileDevice::NoError)
        return fault(file.errorString());
    // Fields quoted from a binary file would fill the message with garbage.
    if (const QString why = platform::whyNotText(bytes); !why.isEmpty())
        return fault("it is not a text file (" + why + ")");
    return parseVccCalibration(QString::fromUtf8(bytes));
}

QString vccCalibrationHeader(const QDateTime& when)
{
    return "DCP VCC Calibration " + when.toString("MM-dd-yyyy HH:mm:ss");
}

QString formatVccCalibration(const VccCalibration& cal)
{
    QString out = cal.header + "\r\n" + "VREF , " + cal.vrefText + "\r\n";
    for (const VccCalRow& row : cal.rows)
        out += row.target + ',' + row.code + ',' + row.vin + ',' + row.vcc + "\r\n";
    return out + "END\r\n";
}

QString writeVccCalibrationFile(const QString& path, const VccCalibration& cal)
{
    const QString text = formatVccCalibration(cal);
    // A header or field with a comma or line break of its own would shift every field
    // after it; such contents are refused rather than written unreadable.
    const VccCalibrationRead check = parseVccCalibration(text);
    if (!check.ok)
        return "The calibration cannot be written: " + check.reason;
    if (check.cal.header != cal.header || check.cal.vrefText != cal.vrefText || check.cal.rows != cal.rows)
        return "The calibration cannot be written: a field holds a comma, a line break or blanks of its own";

    return platform::replaceFile(path, text.toUtf8());
}
