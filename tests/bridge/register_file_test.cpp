// The register data file's reader: how its text is split into fields and which bytes the
// fields give.
#include "bridge/register_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using bridge::inputFields;
using bridge::parseRegisterData;

TEST(RegisterFile, FieldsSplitAtCommasAndLineBreaks)
{
    struct Case {
        const char* text;
        QStringList fields;
    };
    const Case cases[] = {
        {"generic,0x01,0x02", {"generic", "0x01", "0x02"}},
        {"generic\r\n0x01\n0x02\n", {"generic", "0x01", "0x02"}},
        {"generic,\n0x01,\r\n\r\n0x02", {"generic", "0x01", "0x02"}}, // a comma at a line end separates once
        {"  generic ,  0x01\t,x", {"generic", "0x01", "x"}},
        {"\"generic\",\"a, b\" ,0x3", {"generic", "a, b", "0x3"}},
        {"generic,,0x3", {"generic", "", "0x3"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inputFields(QString::fromLatin1(c.text)), c.fields) << c.text;
}

TEST(RegisterFile, BytesFromTheFieldsAfterTheWordGeneric)
{
    struct Case {
        const char* text;
        int n;
        std::optional<std::vector<std::uint8_t>> bytes; // empty: the read fails
    };
    const Case cases[] = {
        {"generic,0xA5,12,0x3", 3, std::vector<std::uint8_t>{0xA5, 0x77, 0x03}}, // "12" keeps the byte
        {"generic,0xff,0x1234", 2, std::vector<std::uint8_t>{0xFF, 0x12}},        // two digits at most
        {"generic,0x01,0x02,0x03", 2, std::vector<std::uint8_t>{0x01, 0x02}},     // later fields unread
        {"generic,0x01,0xZZ", 1, std::vector<std::uint8_t>{0x01}},                // ... even bad ones
        {"Generic,0x01", 1, std::nullopt},                                        // the word is case-sensitive
        {"generic,0x01", 2, std::nullopt},                                        // too few fields
        {"generic,0x", 1, std::nullopt},                                          // no digits
        {"generic,0x1G", 1, std::nullopt},
        {"generic,0X01", 1, std::vector<std::uint8_t>{0x77}},                     // only "0x" marks a byte
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> data(static_cast<size_t>(c.n), 0x77);
        const std::vector<std::uint8_t> before = data;
        const bool ok = parseRegisterData(QString::fromLatin1(c.text), c.n, data);
        EXPECT_EQ(ok, c.bytes.has_value()) << c.text;
        EXPECT_EQ(data, c.bytes.value_or(before)) << c.text << (ok ? "" : ": a failed read changes nothing");
    }
}

TEST(RegisterFile, FileIsReadFreshEachTime)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(bridge::kRegisterFileName);
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(bridge::readRegisterFile(path, 1, data)) << "no file";

    const auto write = [&](const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    write("generic,0x10\n");
    EXPECT_FALSE(bridge::readRegisterFile(path, 2, data));
    write("generic,0x10,0x20\n");
    ASSERT_TRUE(bridge::readRegisterFile(path, 2, data));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{0x10, 0x20}));

    // Larger than 1 MiB: refused before a field is read, and the reason names the file.
    write("generic,0x30,0x40\n" + QByteArray(1024 * 1024, '\n'));
    QString refusal;
    EXPECT_FALSE(bridge::readRegisterFile(path, 2, data, &refusal));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{0x10, 0x20}));
    EXPECT_TRUE(refusal.contains(QDir::toNativeSeparators(path)) && refusal.contains("1 MiB")) << refusal.toStdString();
    // A missing file or bad fields need no reason beyond the console's own message.
    QFile::remove(path);
    EXPECT_FALSE(bridge::readRegisterFile(path, 2, data, &refusal));
    EXPECT_EQ(refusal, QString());
}
