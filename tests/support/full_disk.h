#pragma once
// A disk that fills up: body runs in a child process whose files cannot grow past limitBytes
// (RLIMIT_FSIZE, with SIGXFSZ ignored, so a write past the limit fails with EFBIG as a write
// to a full disk fails with ENOSPC). Returns the child's exit code (body's result), or -1
// when the child could not run or died. No root needed.
#include <QByteArray>
#include <QString>

#include <functional>

int runWithFileSizeLimit(qint64 limitBytes, const std::function<int()>& body);

// The bytes a test puts on disk before the disk fills, and what is there afterwards.
void putFileBytes(const QString& path, const QByteArray& bytes); // a failed test when it cannot
QByteArray fileBytes(const QString& path);                       // "<missing>" when there is none
