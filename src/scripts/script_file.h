#pragma once
// Script files: one bus operation, command, comment or blank per line. The loader turns the
// lines into grid rows (ScriptRow) in file order and keeps every raw line (ScriptLines) for
// the results file. No widgets here: the window shows what the loader and the executor put
// in the rows.
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace script {

// Grid columns, 0-based here (the grid's keys are "1" to "8").
enum Cell : int { kLine = 0, kI2CAdr, kRegAdr, kDataWr, kDataRd, kActRd, kOperation, kComment, kCellCount };

// Cell backgrounds, 0xBBGGRR as the grid takes them.
constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;    // the grid's own background
constexpr std::uint32_t kButtonFace = 0xFFFFFFFEu;  // the system's button-face colour
constexpr std::uint32_t kRed = 255;
constexpr std::uint32_t kGreen = 65280;
constexpr std::uint32_t kWhite = 16777215;

// A script beyond one of these is refused whole: the most rows, the most fields of a data
// row, and the range of a delay (it is kept in 16 bits).
constexpr int kMaxRows = 1000;
constexpr int kMaxFields = 11;
constexpr int kMaxDelayMs = 32767;
constexpr int kMinDelayMs = -32768;
// What one report carries (bytes): an I2C write of register and data bytes together, an
// I2C read, the register bytes ahead of it, an SPI transfer. A longer row still loads; it
// fails when it runs (reportLimitFailure).
constexpr int kMaxI2CWriteBytes = 59;
constexpr int kMaxI2CReadBytes = 62;
constexpr int kMaxI2CRegBytes = 59;
constexpr int kMaxSpiBytes = 57;
// Port image positions a GPIO row can reach.
constexpr int kPortImageBytes = 11;

struct ScriptRow {
    std::array<QString, kCellCount> cell;
    std::array<std::uint32_t, kCellCount> colour{kNoColour, kNoColour, kNoColour, kNoColour,
                                                  kNoColour, kNoColour, kNoColour, kNoColour};
    // A field can be as long as a line (a file holds up to 1 MiB): its byte count needs more
    // than 16 bits.
    int regBytes = 0, wrBytes = 0, rdBytes = 0;
    std::int16_t delay = 0; // ms; -1 waits for a key press (the loader refuses what does not fit)

    const QString& text(Cell c) const { return cell[static_cast<size_t>(c)]; }
    QString& text(Cell c) { return cell[static_cast<size_t>(c)]; }
    std::uint32_t& bg(Cell c) { return colour[static_cast<size_t>(c)]; }
    std::uint32_t bg(Cell c) const { return colour[static_cast<size_t>(c)]; }
};

// The grid's cell format value of each column (1 for Line, I2C Adr and Operation).
constexpr int cellFormat(int column) { return column == kLine || column == kI2CAdr || column == kOperation ? 1 : 0; }

struct Family {
    bool i2c = true;
    bool spi = false;
};

struct ScriptLoad {
    std::vector<ScriptRow> rows; // rows[0] is grid row 1
    QStringList lines;           // ScriptLines: the raw lines, in order
    int iStart = 0, iEnd = 0;    // interrupt section command rows; 0 = none
    int endMain = 0;             // end-of-main row, or the last row without one
    bool hasEndMain = false;
    int readCount = 0;           // rows with an expected read
    int longestDataWr = 0, longestDataRd = 0;
    // Why the script was refused (the line and the limit it exceeds); empty when it loaded.
    // A refused script has no rows and no lines: a part of it is never taken for the whole.
    QString error;
};

// Byte count of a field: its length / 2, halves to even, when the length is 2 or more.
int byteCount(const QString& field);
// Hex pair i of a text (characters 2i and 2i+1, or the lone last one) and its byte value.
QString hexPair(const QString& text, int i);
std::uint8_t hexPairByte(const QString& text, int i);
// The first n bytes of a text, pair by pair.
std::vector<std::uint8_t> hexBytes(const QString& text, int n);
// True when a text is a whole number of upper-case hex pairs (a GPIO value that can match).
bool isHexPairs(const QString& text);

// Splits a file's text into lines (CR LF, LF or a lone CR end a line).
QStringList splitLines(const QString& text);

// Why a data row cannot run: its transfer needs more than one report carries. Names the row
// and the limit; empty when the row fits. Only the transfers the row makes count: the
// register bytes alone send nothing, and an SPI row without Data_Wr makes no transfer.
QString reportLimitFailure(const ScriptRow& row, int rowNumber, Family family);

// Loads the lines of a script. The first rows take writeAddress (upper-case hex without a
// leading zero) as their device address until an address command changes it.
ScriptLoad loadScript(const QStringList& lines, Family family, std::uint8_t writeAddress);

// "001", "012", "1000".
QString lineText(int row);

} // namespace script
