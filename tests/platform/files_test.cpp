// The one file writer and the input reader: whole or absent on a full disk, bounded input.
#include "platform/files.h"
#include "support/full_disk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr qint64 kDiskBytes = 4096;
const QByteArray kOld = QByteArray("old line\r\n").repeated(10);

// A write that fits and one that does not, each under the full disk; what the file holds after.
struct Case {
    const char* name;
    bool append;
    bool existed;
    qsizetype size;
    bool fits;
};

} // namespace

TEST(FileWriter, WholeOrAbsentOnAFullDisk)
{
    const Case cases[] = {
        {"replace, fits", false, true, 1000, true},
        {"replace, disk full", false, true, 10000, false},
        {"replace, disk full, new file", false, false, 10000, false},
        {"replace, beyond the write buffer", false, true, 40000, false},
        {"append, fits", true, true, 1000, true},
        {"append, disk full", true, true, 10000, false},
        {"append, disk full, new file", true, false, 10000, false},
        {"append, beyond the write buffer", true, true, 40000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("record.txt");
        if (c.existed)
            putFileBytes(path, kOld);
        const QByteArray data(c.size, 'x');
        const int code = runWithFileSizeLimit(kDiskBytes, [&] {
            return platform::writeFile(path, data, c.append).isEmpty() ? 0 : 1;
        });
        ASSERT_GE(code, 0);
        EXPECT_EQ(code == 0, c.fits);
        const QByteArray before = c.existed ? kOld : QByteArray();
        if (c.fits)
            EXPECT_EQ(fileBytes(path), c.append ? before + data : data);
        else if (c.existed)
            EXPECT_EQ(fileBytes(path), kOld);
        else
            EXPECT_FALSE(QFile::exists(path));
        // no temporary file left beside it
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), QFile::exists(path) ? 1 : 0);
    }
}

TEST(FileWriter, FailureNamesTheFileTheCauseAndWhatBecameOfTheOldOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("DCP_Cal_Data.txt");
    putFileBytes(path, kOld);
    EXPECT_EQ(runWithFileSizeLimit(kDiskBytes, [&] {
                  const QString error = platform::replaceFile(path, QByteArray(10000, 'x'));
                  std::fprintf(stderr, "%s\n", qPrintable(error));
                  return error.contains(path) && error.contains("File too large")
                                 && error.endsWith("The old file is unchanged.")
                             ? 0
                             : 1;
              }),
              0);
    QString error;
    const QString missing = dir.filePath("no/such/dir/x.txt");
    error = platform::appendToFile(missing, "x");
    EXPECT_TRUE(error.contains(missing)) << qPrintable(error);
    EXPECT_TRUE(error.endsWith("The file is unchanged.")) << qPrintable(error);
    EXPECT_FALSE(platform::replaceFile(QString(), "x").isEmpty());
    // A device or a pipe chosen as the file is not replaced by a plain file.
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    error = platform::replaceFile(fifo, "x");
    EXPECT_TRUE(error.contains("not a regular file")) << qPrintable(error);
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

TEST(InputFile, SizeAndTextRules)
{
    QTemporaryDir dir;
    struct Read {
        const char* name;
        QByteArray bytes;
        bool textOnly;
        bool ok;
        QByteArray read;
    };
    const QByteArray big(platform::kMaxInputFileBytes + 1, 'a');
    const Read reads[] = {
        {"plain text", "a,b\r\nc\td\n", true, true, "a,b\r\nc\td\n"},
        {"code 15 is kept for the script reader", "a\x0F" "b", true, true, "a\x0F" "b"},
        {"Latin-1 is text", "\xE9\xFC\x80", true, true, "\xE9\xFC\x80"},
        {"a last end-of-file mark is dropped", "a\r\n\x1A", true, true, "a\r\n"},
        {"an end-of-file mark inside is not text", "a\x1A" "b", true, false, ""},
        {"a zero byte is not text", QByteArray("a\0b", 3), true, false, ""},
        {"binary is fine where text is not asked for", QByteArray("a\0b", 3), false, true, QByteArray("a\0b", 3)},
        {"at the limit", QByteArray(platform::kMaxInputFileBytes, 'a'), true, true, QByteArray(platform::kMaxInputFileBytes, 'a')},
        {"one byte past the limit", big, false, false, ""},
    };
    for (const Read& r : reads) {
        SCOPED_TRACE(r.name);
        const QString path = dir.filePath("in.txt");
        putFileBytes(path, r.bytes);
        const platform::InputFile in = platform::readInputFile(path, r.textOnly);
        EXPECT_EQ(in.ok(), r.ok) << qPrintable(in.error);
        EXPECT_EQ(in.bytes, r.read);
        if (!r.ok) {
            EXPECT_TRUE(in.error.contains(path)) << qPrintable(in.error);
        }
    }
    const platform::InputFile large = platform::readInputFile(dir.filePath("in.txt"), false);
    EXPECT_TRUE(large.error.contains("1 MiB")) << qPrintable(large.error);
    EXPECT_FALSE(platform::readInputFile(dir.filePath("missing.txt"), true).ok());
}
