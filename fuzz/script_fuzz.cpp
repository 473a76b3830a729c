// Loads arbitrary bytes as a script, then merges made-up actual reads into its lines.
// Checked: a refused script keeps nothing and names its line; a loaded one has no more than
// 1000 rows, one kept line per row, byte counts that follow the field lengths however long
// they are, each row beyond one report told apart with a failure that names it, and a merge
// that changes nothing but third fields.
#include "scripts/script_file.h"
#include "scripts/script_results.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstdio>

using namespace script;

namespace {

void fail(const char* what, int row)
{
    std::fprintf(stderr, "invariant broken: %s (row %d)\n", what, row);
    std::abort();
}

// Where the third field of a line starts and ends (-1 when the line has none).
void thirdField(const QString& line, qsizetype& b, qsizetype& e)
{
    b = e = -1;
    const qsizetype first = line.indexOf(',');
    const qsizetype second = first < 0 ? -1 : line.indexOf(',', first + 1);
    if (second < 0)
        return;
    e = second + 1;
    while (e < line.size() && line[e] != ',' && line[e] != '#')
        ++e;
    b = second + 1;
    while (b < e && (line[b] == ' ' || line[b] == '\t'))
        ++b;
    while (e > b && (line[e - 1] == ' ' || line[e - 1] == '\t'))
        --e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool spi = data[0] & 1;
    const auto address = static_cast<std::uint8_t>(data[0] & 0xFE);
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const Family family{!spi, spi};
    ScriptLoad load = loadScript(splitLines(text), family, address);

    if (!load.error.isEmpty() && (!load.rows.empty() || !load.lines.isEmpty()))
        fail("a refused script kept rows", static_cast<int>(load.rows.size()));
    if (!load.error.isEmpty() && !load.error.startsWith("line "))
        fail("a refusal that does not name its line", 0);
    if (load.rows.size() > static_cast<size_t>(kMaxRows))
        fail("more than 1000 rows", static_cast<int>(load.rows.size()));
    if (load.lines.size() != static_cast<qsizetype>(load.rows.size()))
        fail("lines and rows differ", 0);
    for (size_t i = 0; i < load.rows.size(); ++i) {
        const ScriptRow& r = load.rows[i];
        const int n = static_cast<int>(i) + 1;
        const QString& op = r.text(kOperation);
        if (op.startsWith("Cmd: GPIO:")) {
            if (r.wrBytes != 2 || r.rdBytes != 2 || r.regBytes != 0)
                fail("GPIO counts", n);
            continue;
        }
        if (r.regBytes != byteCount(r.text(kRegAdr)) || r.wrBytes != byteCount(r.text(kDataWr)) ||
            r.rdBytes != byteCount(r.text(kDataRd)))
            fail("byte counts do not follow the fields", n);
        const bool beyond = spi ? r.wrBytes > 0 && r.regBytes + r.wrBytes > kMaxSpiBytes
                                : (r.wrBytes > 0 && r.regBytes + r.wrBytes > kMaxI2CWriteBytes) ||
                                      (r.rdBytes > 0 && (r.regBytes > kMaxI2CRegBytes || r.rdBytes > kMaxI2CReadBytes));
        const QString why = reportLimitFailure(r, n, family);
        if (why.isEmpty() == beyond)
            fail("a row beyond one report is not told apart", n);
        if (beyond && !why.startsWith(QString("Row %1 has ").arg(n)))
            fail("a row failure that does not name its row", n);
    }

    // Made-up actual reads: the input's own bytes as text, some empty, some "--".
    std::vector<ScriptRow> rows = load.rows;
    for (size_t i = 0; i < rows.size(); ++i) {
        const size_t k = (i * 7) % size;
        QString act;
        switch (data[k] % 4) {
        case 0: act = "--"; break;
        case 1: act = "NAK"; break;
        case 2: act = QString::fromLatin1(reinterpret_cast<const char*>(data + k), static_cast<qsizetype>(std::min<size_t>(size - k, 9))); break;
        default: act = QString(); break;
        }
        rows[i].text(kActRd) = act;
    }
    const QStringList before = load.lines;
    QStringList after = before;
    mergeActualReads(after, rows);
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (after[i] == before[i])
            continue;
        const ScriptRow& r = rows[static_cast<size_t>(i)];
        if (!r.text(kOperation).contains("R:", Qt::CaseInsensitive) || r.text(kActRd).size() <= 1)
            fail("merge changed a row that has no read", static_cast<int>(i) + 1);
        qsizetype b, e;
        thirdField(before[i], b, e);
        if (b < 0)
            fail("merge changed a line without a third field", static_cast<int>(i) + 1);
        if (after[i] != before[i].left(b) + r.text(kActRd) + before[i].mid(e))
            fail("merge changed more than the third field", static_cast<int>(i) + 1);
    }
    QStringList stamped = after;
    stampFirstLine(stamped, QDateTime(QDate(2026, 1, 1), QTime(0, 0)), "1");
    for (qsizetype i = 1; i < stamped.size(); ++i)
        if (stamped[i] != after[i])
            fail("stamp changed a line other than the first", static_cast<int>(i) + 1);
    return 0;
}
