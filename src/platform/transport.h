#pragma once
// The one way to an evaluation board: find boards by vendor and product ID, open one,
// write one 64-byte report, read one with a time-out, close.
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

constexpr int kReportSize = 64;
using Report = std::array<std::uint8_t, kReportSize>;

// Input reports the host keeps for a board while nobody reads them: hidraw keeps 63 and
// drops the newer ones; hidapi on libusb keeps about 30.
constexpr int kHidrawInputReports = 63;
constexpr int kLibusbInputReports = 30;

// What a read of one report came to.
enum class ReadResult { Report, Timeout, Gone };

class BoardTransport;

struct BoardInfo {
    QString path;                      // unique per board and transport ("sim:0", "unix:/tmp/b", hidraw path)
    BoardTransport* transport = nullptr;
};

// An opened board. Dropping the object closes it.
class BoardConnection {
public:
    virtual ~BoardConnection() = default;
    // Writes one whole report (byte 0 is the report number). False: the write failed.
    virtual bool write(const Report& report) = 0;
    // Waits up to timeoutMs for one report from the board.
    virtual ReadResult read(Report& report, int timeoutMs) = 0;
    // How many unread reports the way to the board holds before it loses some: the link never
    // waits for more answers than that.
    virtual int inputQueueReports() const { return kHidrawInputReports; }
};

class BoardTransport {
public:
    virtual ~BoardTransport() = default;
    virtual std::vector<BoardInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) = 0;
    // Null on failure, with a user-readable reason in *error ("Permission denied", ...).
    virtual std::unique_ptr<BoardConnection> open(const BoardInfo& board, QString* error) = 0;
    // Where the last enumerate looked and, when it could tell, why it found nothing there;
    // for a user told that no board was found. Empty: nothing worth naming.
    virtual QString searched(std::uint16_t vendorId, std::uint16_t productId) const
    {
        (void)vendorId;
        (void)productId;
        return {};
    }
};

// The transports the board search walks, in search order.
void setTransports(std::vector<std::shared_ptr<BoardTransport>> transports);
const std::vector<std::shared_ptr<BoardTransport>>& transports();

// Every board of every transport, in search order.
std::vector<BoardInfo> enumerateBoards(std::uint16_t vendorId, std::uint16_t productId);

// The line for the terminal when a search found no board: where it looked, and that the
// simulated board needs none.
QString noBoardFoundLine(std::uint16_t vendorId, std::uint16_t productId);

// USB HID through hidapi.
std::shared_ptr<BoardTransport> makeHidTransport();
// A board served on an AF_UNIX SOCK_SEQPACKET socket, one report per message.
std::shared_ptr<BoardTransport> makeSocketTransport(const QString& socketPath);

} // namespace platform
