#pragma once
// A disk that fills up: body runs in a child process whose files cannot grow past limitBytes
// (RLIMIT_FSIZE, with SIGXFSZ ignored, so a write past the limit fails with EFBIG as a write
// to a full disk fails with ENOSPC). Returns the child's exit code (body's result), or -1
// when the child could not run or died. No root needed.
#include <QtGlobal>

#include <functional>

int runWithFileSizeLimit(qint64 limitBytes, const std::function<int()>& body);
