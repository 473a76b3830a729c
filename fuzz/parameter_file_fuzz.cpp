// Feeds any bytes to the parameter file reader as an I2C and as an SPI table. Besides the
// sanitizers it checks what callers rely on: an accepted table has 1..50 rows of exactly its
// family's width, only its last row can end it, and a record never reaches past a row.
#include "devices/parameter_file.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void read(const std::uint8_t* data, size_t size, params::Family family)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto table = params::parseParameterTable(bytes, family);
    if (!table)
        return;
    check(table->rowCount() >= 1 && table->rowCount() <= params::kMaxRows);
    check(table->endsWithEndRow || table->rowCount() == params::kMaxRows);
    for (int r = 0; r < table->rowCount(); ++r) {
        const QStringList& row = table->rows[static_cast<size_t>(r)];
        check(row.size() == params::rowWidth(family));
        const bool end = row[0].toUpper() == QLatin1String("END");
        check(end == (table->endsWithEndRow && r == table->rowCount() - 1));
        const ParameterTableRecord rec = table->record(r);
        for (int c = params::recordCells(family); c < params::kMaxRecordCells; ++c)
            check(rec[static_cast<size_t>(c)].isEmpty());
        if (family == params::Family::I2C)
            (void)params::i2cRecordAddressProblem(rec);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    read(data, size, params::Family::I2C);
    read(data, size, params::Family::SPI);
    return 0;
}
