#pragma once
// The device parameter file: a table of parts, one row each, that the parameter table window
// shows and lets the user pick from. No widgets here, so tests and the fuzzer reach it whole.
//
// The file is read as a stream of cells in file order. A comma or a line break (LF, CR LF or
// a lone CR) ends a cell, and the reader takes no notice of line structure: every row takes
// exactly its family's width in cells (15 for I2C parts, 19 for SPI parts), whatever lines
// they sit on, so a row with a cell too few or too many shifts every later row. Leading
// blanks of a cell are skipped and trailing blanks of an unquoted one dropped; a cell in
// double quotes may hold commas; an empty line is one empty cell. Row 0 is the header. A row
// whose first cell is "END" (any case) ends the table and stays in it as its last row; without
// one, the table stops after row 49. A file that runs out before either is not a table.
#include "shell/globals.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace params {

enum class Family { I2C, SPI };

constexpr int kI2CRowWidth = 15;
constexpr int kSPIRowWidth = 19;
constexpr int kMaxRows = 50; // the header and 49 parts
constexpr int kMaxRecordCells = 18;

constexpr int rowWidth(Family f) { return f == Family::SPI ? kSPIRowWidth : kI2CRowWidth; }
// Cells handed over with a picked row: all but the last column.
constexpr int recordCells(Family f) { return rowWidth(f) - 1; }

struct ParameterTable {
    Family family = Family::I2C;
    // Every row holds rowWidth(family) cells; the END row holds "END" and empty cells.
    std::vector<QStringList> rows;
    bool endsWithEndRow = false; // false: cut after row 49

    int rowCount() const { return static_cast<int>(rows.size()); }
    // The last row (the END row, or row 49) cannot be picked; nor can the header.
    bool pickable(int row) const { return row >= 1 && row < rowCount() - 1; }
    // Cells 0..recordCells-1 of `row`, the rest empty.
    ParameterTableRecord record(int row) const;
};

// Reads the table from the file's bytes. Empty: the file ran out before the table ended.
std::optional<ParameterTable> parseParameterTable(QByteArrayView bytes, Family family);
// Reads the file at `path`; empty when it cannot be read, is larger than the input limit, is
// not text, or is no table, and then `problem` (when given) is the message for the user,
// naming the file and why.
std::optional<ParameterTable> readParameterFile(const QString& path, Family family,
                                                QString* problem = nullptr);

// The I2C address a record names, checked before anything of the record is applied: hex
// digits only, and after an odd value is taken as the write address below it, 0x02..0xFE.
// Returns the message that refuses the record, or an empty string when the address is fine.
QString i2cRecordAddressProblem(const ParameterTableRecord& record);

} // namespace params
