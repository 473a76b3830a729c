#pragma once
// The VCC calibration file "DCP_Cal_Data.txt" in the program's directory: the only thing the
// program keeps between runs. Ten lines, each ended by CR LF:
//
//   DCP VCC Calibration mm-dd-yyyy hh:mm:ss
//   VREF , 3.3
//   2.7,2C,1.3484,2.6968          seven rows: target, supply code, VCC/2 reading, VCC
//   ...
//   END
//
// Read as a run of fields, each ending at a comma or at the end of a line, blanks around a
// field ignored: the header, the tag "VREF", the VREF value, then four fields per row.
// Nothing after the 31st field is read.
//
// A file is taken all or nothing: VREF must be a plausible reference voltage, every code two
// hexadecimal digits from 00 to 7F, targets and readings numbers. A file that fails any of
// that is not used at all, so a damaged file can never put half a table into the VCC lists.
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

inline constexpr int kVccCalRows = 7;
inline constexpr double kMinVref = 1.0; // volts; the bridge ADC's reference cannot lie outside
inline constexpr double kMaxVref = 5.5;

QString vccCalibrationFileName(); // "DCP_Cal_Data.txt"
// The file's full path in the program's directory, in the platform's spelling.
QString vccCalibrationPath();

struct VccCalRow {
    QString target; // "2.7"
    QString code;   // "2C": the supply potentiometer code, two upper-case hex digits
    QString vin;    // measured VCC/2, "1.3484"
    QString vcc;    // twice that, "2.6968"

    bool operator==(const VccCalRow&) const = default;
};

struct VccCalibration {
    QString header;   // line 1 as written
    QString vrefText; // the VREF value as written
    double vref = 3.3;
    std::array<VccCalRow, kVccCalRows> rows{};

    std::array<QString, kVccCalRows> codes() const;
};

struct VccCalibrationRead {
    bool ok = false;
    bool missing = false; // no such file: not a fault, the defaults simply stay
    QString reason;       // why the file cannot be used (empty when ok)
    VccCalibration cal;   // meaningful only when ok

    // What to tell the user about a file that was not used.
    QString message(const QString& path) const;
};

// VREF from a text: a number in the plausible range, else nothing.
std::optional<double> plausibleVref(const QString& text);

VccCalibrationRead parseVccCalibration(const QString& text);
VccCalibrationRead readVccCalibrationFile(const QString& path);

// Line 1: "DCP VCC Calibration " + mm-dd-yyyy + " " + hh:mm:ss (24-hour).
QString vccCalibrationHeader(const QDateTime& when);
// The ten lines of the file.
QString formatVccCalibration(const VccCalibration& cal);
// Writes the file whole or not at all, and only contents that read back: empty on success,
// else the message for the user (which file, why, and that the old file is unchanged).
QString writeVccCalibrationFile(const QString& path, const VccCalibration& cal);
