#pragma once
// The run-in log outlives the program: when the program ends while the log holds text that was
// never saved, the whole log goes to disk as a record first. Always appended, so that no
// earlier record in the file is lost whatever the window's "Append" says.
#include <QDateTime>
#include <QString>

namespace runin {

struct LogRescue {
    QString path;   // the file the record went to; empty when it could go nowhere
    QString report; // one line for stderr: the file written, or why none could be
};

// Appends the record (header, log, "END") to namedPath; when that fails or no file is named,
// to runin-log-YYYYMMDD-HHMMSS.txt in dir.
LogRescue rescueLog(const QString& log, const QString& namedPath, const QString& dir, const QDateTime& when);

} // namespace runin
