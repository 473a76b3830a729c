#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The system's words for a failed write. Qt's own text after a failed flush is often "Unknown
// error", so the errno of the failed call is preferred while it still says something.
QString whyWriteFailed(const QFileDevice& f, int savedErrno)
{
    if (savedErrno != 0)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return f.errorString();
}

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace

QString replaceFile(const QString& path, const QByteArray& data)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("No file name was given; nothing was written.");
    const bool existed = QFileInfo::exists(path);
    auto fail = [&](const QString& why) {
        return QStringLiteral("The file \"%1\" could not be written: %2. %3")
            .arg(shown(path), why,
                 existed ? QStringLiteral("The old file is unchanged.") : QStringLiteral("No file was created."));
    };
    // A device or a pipe picked as the file would be renamed over: the system's /dev/null, say.
    if (existed && !QFileInfo(path).isFile())
        return fail(QStringLiteral("it is not a regular file"));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(f.errorString());
    // The explicit flush matters: commit() alone can report success after its buffered write
    // failed (a full disk), and then renames a short temporary file over the old one.
    errno = 0;
    if (f.write(data) != data.size() || !f.flush()) {
        const QString why = whyWriteFailed(f, errno);
        f.cancelWriting();
        return fail(why);
    }
    if (!f.commit())
        return fail(f.errorString());
    return QString();
}

QString appendToFile(const QString& path, const QByteArray& data)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("No file name was given; nothing was written.");
    const bool existed = QFileInfo::exists(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("The record could not be added to \"%1\": %2. The file is unchanged.")
            .arg(shown(path), f.errorString());
    const qint64 oldSize = f.size();
    QString why;
    errno = 0;
    if (f.write(data) != data.size() || !f.flush())
        why = whyWriteFailed(f, errno);
    f.close();
    if (why.isEmpty() && f.error() != QFileDevice::NoError)
        why = f.errorString();
    if (why.isEmpty())
        return QString();
    // Half a record at the end of a log is worse than none: cut the file back.
    const bool restored = existed ? QFile::resize(path, oldSize) : QFile::remove(path);
    return QStringLiteral("The record could not be added to \"%1\": %2. %3")
        .arg(shown(path), why,
             restored ? QStringLiteral("The file is unchanged.")
                      : QStringLiteral("The file could not be cut back to its old length either; its end may hold part of the record."));
}

InputFile readInputFile(const QString& path, bool textOnly, qint64 limit)
{
    InputFile in;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        in.error = QStringLiteral("The file \"%1\" cannot be read: %2.").arg(shown(path), f.errorString());
        return in;
    }
    auto tooLarge = [&] {
        return QStringLiteral("The file \"%1\" is larger than %2, the most dcpeval reads; nothing was loaded.")
            .arg(shown(path), sizeText(limit));
    };
    if (f.size() > limit) {
        in.error = tooLarge();
        return in;
    }
    // Read one byte past the limit: a file that grew since its size was taken is still refused.
    QByteArray bytes = f.read(limit + 1);
    if (bytes.size() > limit) {
        in.error = tooLarge();
        return in;
    }
    if (f.error() != QFileDevice::NoError) {
        in.error = QStringLiteral("The file \"%1\" cannot be read: %2.").arg(shown(path), f.errorString());
        return in;
    }
    if (textOnly) {
        if (const QString why = whyNotText(bytes); !why.isEmpty()) {
            in.error = QStringLiteral("The file \"%1\" is not a text file (%2); nothing was loaded.").arg(shown(path), why);
            return in;
        }
    }
    in.bytes = std::move(bytes);
    return in;
}

QString whyNotText(QByteArray& bytes)
{
    if (!bytes.isEmpty() && bytes.back() == '\x1A')
        bytes.chop(1);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0D && b != 0x0F)
            return QStringLiteral("it holds the byte 0x%1 at offset %2")
                .arg(QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper())
                .arg(i);
    }
    return QString();
}

} // namespace platform
