#include "sim/socket_server.h"

#include "platform/services.h"

#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace sim {

SocketServer::SocketServer(SimBoard& board, QString path, bool verbose)
    : board_(board), path_(std::move(path)), verbose_(verbose)
{
}

SocketServer::~SocketServer()
{
    for (auto& c : clients_)
        ::close(c.fd);
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(path_.toLocal8Bit().constData());
    }
}

bool SocketServer::listen(QString* error)
{
    const QByteArray path = path_.toLocal8Bit();
    sockaddr_un addr{};
    if (path.isEmpty() || path.size() >= static_cast<int>(sizeof addr.sun_path)) {
        *error = "socket path empty or too long";
        return false;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::unlink(path.constData()); // a socket file left by a server that was killed
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    listenFd_ = fd;
    return true;
}

void SocketServer::run(const volatile std::sig_atomic_t* stop, const sigset_t* waitMask)
{
    auto& clock = platform::services();
    while (!*stop) {
        std::vector<pollfd> fds{{listenFd_, POLLIN, 0}};
        std::int64_t next = -1;
        for (const auto& c : clients_) {
            fds.push_back({c.fd, POLLIN, 0});
            if (!c.replies.empty())
                next = next < 0 ? c.replies.front().due : std::min(next, c.replies.front().due);
        }
        timespec wait{};
        timespec* waitPtr = nullptr;
        if (next >= 0) {
            const std::int64_t ms = std::max<std::int64_t>(0, next - clock.monotonicMs());
            wait.tv_sec = static_cast<time_t>(ms / 1000);
            wait.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
            waitPtr = &wait;
        }
        const int r = ::ppoll(fds.data(), fds.size(), waitPtr, waitMask);
        if (r < 0 && errno != EINTR)
            return;
        if (r > 0) {
            // Clients first, by fd, so a client accepted now is not confused with an index.
            std::vector<int> gone;
            for (size_t i = 1; i < fds.size(); ++i) {
                if (!fds[i].revents)
                    continue;
                auto it = std::find_if(clients_.begin(), clients_.end(), [&](const Client& c) { return c.fd == fds[i].fd; });
                if (it != clients_.end() && !receive(*it))
                    gone.push_back(it->fd);
            }
            for (int fd : gone) {
                ::close(fd);
                std::erase_if(clients_, [&](const Client& c) { return c.fd == fd; });
            }
            if (fds[0].revents & POLLIN)
                acceptClients();
        }
        const std::int64_t now = clock.monotonicMs();
        for (auto& c : clients_)
            sendDue(c, now);
    }
}

void SocketServer::acceptClients()
{
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return; // EAGAIN: no more waiting
        clients_.push_back({fd, {}});
        if (verbose_)
            std::fprintf(stderr, "dcpeval-sim: client %d connected\n", fd);
    }
}

bool SocketServer::receive(Client& c)
{
    platform::Report rq{};
    const ssize_t n = ::recv(c.fd, rq.data(), rq.size(), MSG_DONTWAIT);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    if (n == 0) {
        if (verbose_)
            std::fprintf(stderr, "dcpeval-sim: client %d closed\n", c.fd);
        return false;
    }
    if (n != static_cast<ssize_t>(rq.size())) {
        std::fprintf(stderr, "dcpeval-sim: ignored a message of %zd bytes (a report is 64)\n", n);
        return true;
    }
    log("->", rq);
    const Response r = board_.handle(rq);
    if (!r.accepted && verbose_)
        std::fprintf(stderr, "dcpeval-sim: request refused\n");
    if (r.reply) {
        std::int64_t due = platform::services().monotonicMs() + r.delayMs;
        if (!c.replies.empty())
            due = std::max(due, c.replies.back().due);
        c.replies.push_back({due, *r.reply});
    }
    return true;
}

namespace {
// Bytes of the socket's send queue the peer has not read (Linux: SIOCOUTQ on a unix socket).
int unsentBytes(int fd)
{
    int bytes = 0;
    return ::ioctl(fd, SIOCOUTQ, &bytes) == 0 ? bytes : -1;
}
} // namespace

int SocketServer::unreadReports(const Client& c) const
{
    const int bytes = unsentBytes(c.fd);
    if (bytes < 0 || c.reportCost <= 0)
        return bytes == 0 ? 0 : -1;
    return bytes / c.reportCost;
}

void SocketServer::sendDue(Client& c, std::int64_t now)
{
    while (!c.replies.empty() && c.replies.front().due <= now) {
        const auto& rp = c.replies.front().bytes;
        if (unreadReports(c) >= platform::kHidrawInputReports) {
            if (verbose_)
                std::fprintf(stderr, "dcpeval-sim: client %d holds %d unread reports; reply dropped\n", c.fd,
                             platform::kHidrawInputReports);
        } else {
            log("<-", rp);
            const int before = unsentBytes(c.fd);
            ::send(c.fd, rp.data(), rp.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            // What one report costs in the queue, measured on a queue that was empty.
            const int after = unsentBytes(c.fd);
            if (c.reportCost == 0 && before == 0 && after > 0)
                c.reportCost = after;
        }
        c.replies.pop_front();
    }
}

void SocketServer::log(const char* arrow, const platform::Report& r) const
{
    if (verbose_)
        std::fprintf(stderr, "%s %s\n", arrow, hexBytes(r).toLatin1().constData());
}

} // namespace sim
