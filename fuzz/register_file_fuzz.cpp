// Feeds any bytes to the register data file reader: the first byte chooses how many data bytes
// are asked for (0 to 64), the rest is the file. Besides the sanitizers it checks what the
// console relies on: a read that fails leaves the caller's bytes as they were, one that succeeds
// gives exactly the count asked for, each byte either from its "0x" field or as it was.
#include "bridge/register_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int n = data[0] % 65;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QStringList fields = bridge::inputFields(text);
    for (const QString& f : fields)
        check(!f.contains(u'\n') && !f.contains(u'\r'), "a field never holds a line break");

    // Filled beyond n, so that a read that shrinks or grows the buffer shows.
    std::vector<std::uint8_t> bytes(static_cast<size_t>(n) + 3);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    const std::vector<std::uint8_t> before = bytes;
    const bool ok = bridge::parseRegisterData(text, n, bytes);
    if (!ok) {
        check(bytes == before, "a failed read changes nothing");
        return 0;
    }
    check(bytes.size() == static_cast<size_t>(n), "as many bytes as asked for");
    check(fields.size() >= n + 1 && fields[0] == QLatin1String("generic"), "only a generic file with enough fields");
    for (int j = 0; j < n; ++j) {
        const QString& f = fields[j + 1];
        const auto v = f.startsWith(QLatin1String("0x")) ? bridge::parseHexByte(f.mid(2, 2)) : std::nullopt;
        check(bytes[static_cast<size_t>(j)] == (v ? *v : before[static_cast<size_t>(j)]), "each byte from its field or kept");
    }
    return 0;
}
