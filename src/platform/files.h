#pragma once
// Every file the program writes goes through here, and every file it takes as input is read
// through here, so that both keep one set of rules:
// - a write is whole or absent, on a full disk too: a replaced file keeps its old bytes when
//   the new ones cannot all be written, and an appended record is either all there or the file
//   is cut back to the length it had;
// - an input file is read whole, only up to a size no real file of the program comes near, and,
//   where the program expects text, only when it is text.
#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with data. Empty on success; else the message for the user: which
// file, the system's words, and that the old file is unchanged (or that none was created).
QString replaceFile(const QString& path, const QByteArray& data);
// Adds data at the end of the file at path, creating it when it is missing. Empty on success;
// else the message, and the file is as it was before (a file this call created is removed).
QString appendToFile(const QString& path, const QByteArray& data);
inline QString writeFile(const QString& path, const QByteArray& data, bool append)
{
    return append ? appendToFile(path, data) : replaceFile(path, data);
}

// The largest input file the program reads: parameter tables, scripts and register data files
// are a few KiB; anything past this is not one of them.
constexpr qint64 kMaxInputFileBytes = 1024 * 1024;

struct InputFile {
    QByteArray bytes; // the whole file (without an end-of-file mark, see below)
    QString error;    // empty when the file was read
    bool ok() const { return error.isEmpty(); }
};

// Reads the whole file at path, refusing it (nothing read, a message that names the file) when
// it cannot be opened or is larger than limit bytes. With textOnly it also refuses a file that
// holds a control byte other than tab, line feed, carriage return and 0x0F (which the script
// reader turns into a blank); a single 0x1A as the last byte, the end-of-file mark old editors
// write, is dropped. Bytes from 0x80 up are text (Latin-1 / Windows-1252).
InputFile readInputFile(const QString& path, bool textOnly, qint64 limit = kMaxInputFileBytes);

// The text rule of readInputFile for bytes already read: drops a last 0x1A and returns why the
// rest is not text ("it holds the byte 0x00 at offset 12"), or empty when it is.
QString whyNotText(QByteArray& bytes);

} // namespace platform
