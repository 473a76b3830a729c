#include "scripts/script_results.h"

#include "platform/files.h"

#include <QFile>

namespace script {

namespace {
bool isBlank(QChar c) { return c == ' ' || c == '\t'; }
} // namespace

QString replaceThirdField(const QString& line, const QString& value)
{
    const qsizetype first = line.indexOf(',');
    if (first < 0)
        return line;
    const qsizetype second = line.indexOf(',', first + 1);
    if (second < 0)
        return line;
    qsizetype end = second + 1;
    while (end < line.size() && line[end] != ',' && line[end] != '#')
        ++end;
    qsizetype b = second + 1, e = end;
    while (b < e && isBlank(line[b]))
        ++b;
    while (e > b && isBlank(line[e - 1]))
        --e;
    return line.left(b) + value + line.mid(e);
}

void mergeActualReads(QStringList& lines, const std::vector<ScriptRow>& rows)
{
    const qsizetype n = std::min<qsizetype>(lines.size(), static_cast<qsizetype>(rows.size()));
    for (qsizetype i = 0; i < n; ++i) {
        const ScriptRow& r = rows[static_cast<size_t>(i)];
        if (r.text(kOperation).contains("R:", Qt::CaseInsensitive) && r.text(kActRd).size() > 1)
            lines[i] = replaceThirdField(lines[i], r.text(kActRd));
    }
}

QString dateText(const QDateTime& when) { return when.toString("MM-dd-yyyy"); }
QString timeText(const QDateTime& when) { return when.toString("HH:mm:ss"); }

void stampFirstLine(QStringList& lines, const QDateTime& when, const QString& loopCount)
{
    if (lines.isEmpty())
        return;
    QString& first = lines[0];
    const qsizetype at = first.indexOf("# AutoUpdated:", 0, Qt::CaseInsensitive);
    if (at >= 0)
        first.truncate(at);
    first += "# AutoUpdated: " + dateText(when) + " " + timeText(when) + " Looping: " + loopCount;
}

QString autoSaveName(const QString& scriptPath)
{
    // A path too short to have an extension gets "_DL" at its end.
    if (scriptPath.size() < 4)
        return scriptPath + "_DL";
    return scriptPath.left(scriptPath.size() - 4) + "_DL" + scriptPath.right(4);
}

QString writeLines(const QString& path, const QStringList& lines, bool append)
{
    QByteArray bytes;
    for (const QString& l : lines) {
        bytes += l.toLatin1();
        bytes += "\r\n";
    }
    return platform::writeFile(path, bytes, append);
}

QStringList readLines(const QString& path, QString& error)
{
    // A file past the size cap or with control bytes in it is no script: loading it would put
    // garbage rows on the bus.
    const platform::InputFile in = platform::readInputFile(path, true);
    if (!in.ok()) {
        error = in.error;
        return {};
    }
    error.clear();
    // Latin-1 maps every byte to one character, so lines go back to disk as they came.
    return splitLines(QString::fromLatin1(in.bytes));
}

} // namespace script
