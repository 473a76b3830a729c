// A board served on a local AF_UNIX SOCK_SEQPACKET socket: every message in either
// direction is exactly one 64-byte report. Killing the server unplugs the board.
#include "platform/transport.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

int connectTo(const QByteArray& path, int* err)
{
    sockaddr_un addr{};
    if (path.size() >= static_cast<int>(sizeof addr.sun_path)) {
        *err = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *err = errno;
        return -1;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        *err = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

class SocketConnection : public BoardConnection {
public:
    explicit SocketConnection(int fd) : fd_(fd) {}
    ~SocketConnection() override { ::close(fd_); }

    bool write(const Report& report) override
    {
        const ssize_t n = ::send(fd_, report.data(), report.size(), MSG_NOSIGNAL);
        return n == static_cast<ssize_t>(report.size());
    }

    ReadResult read(Report& report, int timeoutMs) override
    {
        pollfd p{fd_, POLLIN, 0};
        int r;
        do {
            r = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
        } while (r < 0 && errno == EINTR);
        if (r < 0)
            return ReadResult::Gone;
        if (r == 0)
            return ReadResult::Timeout;
        Report in{};
        const ssize_t n = ::recv(fd_, in.data(), in.size(), 0);
        if (n <= 0)
            return ReadResult::Gone; // the server went away (0: orderly shutdown)
        report = in;
        return ReadResult::Report;
    }

private:
    int fd_;
};

class SocketTransport : public BoardTransport {
public:
    explicit SocketTransport(QString path) : path_(std::move(path)) {}

    std::vector<BoardInfo> enumerate(std::uint16_t, std::uint16_t) override
    {
        // A served board is present while something listens on its socket.
        int err = 0;
        const int fd = connectTo(path_.toLocal8Bit(), &err);
        lastError_ = fd < 0 ? err : 0;
        if (fd < 0)
            return {};
        ::close(fd);
        return {BoardInfo{"unix:" + path_, nullptr}};
    }

    QString searched(std::uint16_t, std::uint16_t) const override
    {
        QString where = "the socket " + path_;
        if (lastError_)
            where += " (" + QString::fromLocal8Bit(std::strerror(lastError_)) + ")";
        return where;
    }

    std::unique_ptr<BoardConnection> open(const BoardInfo&, QString* error) override
    {
        int err = 0;
        const int fd = connectTo(path_.toLocal8Bit(), &err);
        if (fd < 0) {
            if (error)
                *error = err == EACCES ? QString("Permission denied") : QString::fromLocal8Bit(std::strerror(err));
            return nullptr;
        }
        return std::make_unique<SocketConnection>(fd);
    }

private:
    QString path_;
    int lastError_ = 0; // why the last enumerate found no board here
};

} // namespace

std::shared_ptr<BoardTransport> makeSocketTransport(const QString& socketPath)
{
    return std::make_shared<SocketTransport>(socketPath);
}

} // namespace platform
