#pragma once
// The run-in log's pieces, each exactly as the log carries it (CR LF line breaks; integers as
// " 63" / "-2"; dates mm-dd-yyyy, times hh:mm:ss).
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace runinlog {

inline const QString kCrLf = QStringLiteral("\r\n");

// Two empty lines, the title line with the test ID and the start's date and time, the
// "Positions" line with the texts as typed, and a line break.
QString header(const QString& id, const QDateTime& when, const QString& positionsText, const QString& toleranceText);
// The characterisation line and an empty line.
QString characterisation(double maxV, double minV, double voltsPerStep, double limit);
// A tolerance check of a move.
QString toleranceLine(const QString& label, double expected, double read, double err, double tol, std::int64_t check,
                      const QString& verdict);
// The window check of the initial store test.
QString windowLine(const QString& label, double high, double low, double value, std::int64_t check, const QString& verdict);
// A reading that was not received: no check was made, but it has its check number.
QString noReadingLine(const QString& label, const QString& why, std::int64_t check);
// Before the termination line of a run that a lost link stopped.
QString linkLost();
// After the window check: an empty line and the loop line with an empty line after it.
QString beginLoop(const QString& id);
QString progress(const QString& id, std::int64_t moves, std::int64_t fails, const QDateTime& when);
QString completed(const QString& id, std::int64_t moves, std::int64_t fails, const QDateTime& when);
QString terminated(const QString& id, std::int64_t moves, std::int64_t fails, const QDateTime& when);

} // namespace runinlog
