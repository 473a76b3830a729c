#include "updown/runin_record.h"

#include "platform/files.h"
#include "shell/doco.h"

#include <QDir>
#include <QStringList>

namespace runin {

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

LogRescue rescueLog(const QString& log, const QString& namedPath, const QString& dir, const QDateTime& when)
{
    const QByteArray record = TraceRecordFile(log, when).toUtf8();
    const QString lead = QStringLiteral("dcpeval: the unsaved run-in log ");
    QStringList failures;
    if (!namedPath.trimmed().isEmpty()) {
        const QString error = platform::appendToFile(namedPath, record);
        if (error.isEmpty())
            return {namedPath, lead + QStringLiteral("was appended to ") + native(namedPath)};
        failures << error;
    } else {
        failures << QStringLiteral("the run-in window names no record file");
    }
    const QString fallback =
        QDir(dir).filePath(QStringLiteral("runin-log-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".txt"));
    const QString error = platform::appendToFile(fallback, record);
    if (error.isEmpty())
        return {fallback, lead + QStringLiteral("was appended to ") + native(fallback) + QStringLiteral(" (")
                              + failures.join(QStringLiteral("; ")) + u')'};
    failures << error;
    return {QString(), lead + QStringLiteral("could not be saved: ") + failures.join(QStringLiteral("; "))};
}

} // namespace runin
