#include "updown/runin_log.h"

#include "shell/text.h"

namespace runinlog {

namespace {

QString date(const QDateTime& t) { return t.toString(QStringLiteral("MM-dd-yyyy")); }
QString time(const QDateTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }
QString counts(const QString& id, const char* what, std::int64_t moves, std::int64_t fails)
{
    return id + QStringLiteral("   ") + QLatin1String(what) + QStringLiteral(" : Test Count:[") + Str(moves)
         + QStringLiteral("] Fail Count:[") + Str(fails) + u']';
}

} // namespace

QString header(const QString& id, const QDateTime& when, const QString& positionsText, const QString& toleranceText)
{
    const QString title = QStringLiteral("DCP EEPROM Run In Test  ") + id + u' ' + date(when) + u' ' + time(when)
                        + kCrLf + QStringLiteral("Positions") + positionsText + QStringLiteral(" V Tolerence ")
                        + toleranceText;
    return kCrLf + kCrLf + QStringLiteral("10.0.0 ") + title + kCrLf;
}

QString characterisation(double maxV, double minV, double voltsPerStep, double limit)
{
    return QStringLiteral("Max Wiper V:[") + Format(maxV, QStringLiteral("0.0000")) + QStringLiteral("]    Min Wiper V:[")
         + Format(minV, QStringLiteral("0.0000")) + QStringLiteral("]    Volts Per Step:[")
         + Format(voltsPerStep, QStringLiteral("0.000000")) + QStringLiteral("] Calculated Limit +-:[")
         + Format(limit, QStringLiteral("0.0000")) + QStringLiteral("]  ") + kCrLf + kCrLf;
}

QString toleranceLine(const QString& label, double expected, double read, double err, double tol, std::int64_t check,
                      const QString& verdict)
{
    const QString f = QStringLiteral("##.0000");
    return QStringLiteral(" Wiper Position") + label + QStringLiteral(" Check Expected ") + Format(expected, f)
         + QStringLiteral("   Read ") + Format(read, f) + QStringLiteral("   Error ") + Format(err, f)
         + QStringLiteral("  TOL ") + Format(tol, f) + QStringLiteral(" Volts  ") + QStringLiteral("   Test#[")
         + Str(check) + QStringLiteral("] ") + verdict + kCrLf;
}

QString windowLine(const QString& label, double high, double low, double value, std::int64_t check, const QString& verdict)
{
    const QString f = QStringLiteral("00.0000");
    return QStringLiteral(" Wiper Position") + label + QStringLiteral(" Check Recorded value [") + Format(value, f)
         + QStringLiteral("] >= ") + Format(low, f) + QStringLiteral(" and <= ") + Format(high, f)
         + QStringLiteral(" Volts") + QStringLiteral("   Test#[") + Str(check) + QStringLiteral("] ") + verdict + kCrLf;
}

QString noReadingLine(const QString& label, const QString& why, std::int64_t check)
{
    return QStringLiteral(" Wiper Position") + label + QStringLiteral(" No Reading: ") + why + QStringLiteral("   Test#[")
         + Str(check) + QStringLiteral("] NO READING") + kCrLf;
}

QString linkLost() { return QStringLiteral("Link lost: the board was searched again; the run stops.") + kCrLf; }

QString beginLoop(const QString& id)
{
    return kCrLf + QStringLiteral("Beginning Loop  ") + id + QStringLiteral(" Test") + kCrLf + kCrLf;
}

QString progress(const QString& id, std::int64_t moves, std::int64_t fails, const QDateTime& when)
{
    return counts(id, "Activity Log", moves, fails) + QStringLiteral(" Time Stamp: ") + time(when) + kCrLf;
}

QString completed(const QString& id, std::int64_t moves, std::int64_t fails, const QDateTime& when)
{
    return counts(id, "Test Completed", moves, fails) + QStringLiteral(" Time Stamp: ") + time(when) + kCrLf + kCrLf;
}

QString terminated(const QString& id, std::int64_t moves, std::int64_t fails, const QDateTime& when)
{
    return counts(id, "Test Terminated", moves, fails) + QStringLiteral("  Date / Time Stamp: ") + date(when) + u' '
         + time(when) + kCrLf;
}

} // namespace runinlog
