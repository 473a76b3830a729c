#pragma once
// The results file: the loaded script's own lines with the actual reads in place of the
// expected ones and a stamp on the first line. Both steps change the kept lines themselves,
// so a second write carries the first one's changes and replaces its stamp.
#include "scripts/script_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace script {

// Every row whose Operation holds "R:" (any case) and whose Act_Rd is longer than one
// character gets Act_Rd as the third field of its line: the text after the second comma up
// to the next comma, "#" or the end, less the blanks and tabs around it. The rest of the
// line stays as it was.
void mergeActualReads(QStringList& lines, const std::vector<ScriptRow>& rows);
// Replaces the third field of one line; a line with fewer than two commas stays as it is.
QString replaceThirdField(const QString& line, const QString& value);

// Line 1 loses everything from its first "# AutoUpdated:" (any case) and gets a new stamp.
void stampFirstLine(QStringList& lines, const QDateTime& when, const QString& loopCount);

// "mm-dd-yyyy", "hh:mm:ss".
QString dateText(const QDateTime& when);
QString timeText(const QDateTime& when);

// The save command's file: "_DL" before the last four characters of the script's path.
QString autoSaveName(const QString& scriptPath);

// Writes the lines, each ended by CR LF, appended or as the whole file, whole or not at all.
// Empty on success, otherwise the message for the user (which file, why, what became of it).
QString writeLines(const QString& path, const QStringList& lines, bool append);

// Reads a script file's lines; empty error on success. A file larger than 1 MiB, or one that
// is not text, is refused whole with a message that names it.
QStringList readLines(const QString& path, QString& error);

} // namespace script
