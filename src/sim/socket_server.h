#pragma once
// Serves one simulated board on an AF_UNIX SOCK_SEQPACKET socket (`dcpeval-sim --listen`):
// every message either way is one 64-byte report, and each reply goes to the connection
// that sent the request. Several clients may connect (the program probes by connecting and
// closing at once, then keeps one connection open). Replies are sent when due on the
// platform clock, so a late-reply fault or a slow board delays them for real. A client keeps
// at most platform::kHidrawInputReports unread replies; newer ones are dropped, as hidraw
// drops them.
#include "sim/sim_board.h"

#include <QString>

#include <csignal>
#include <cstdint>
#include <deque>
#include <vector>

namespace sim {

class SocketServer {
public:
    SocketServer(SimBoard& board, QString path, bool verbose = false);
    ~SocketServer(); // closes every socket and removes the socket file
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Binds and listens, replacing a stale socket file. False with a reason in *error.
    bool listen(QString* error);
    // Serves until *stop turns nonzero. The signals that set it should be blocked outside
    // the wait; waitMask is the mask to wait with (ppoll), so none slips in unnoticed.
    void run(const volatile std::sig_atomic_t* stop, const sigset_t* waitMask);
    int clientCount() const { return static_cast<int>(clients_.size()); }

private:
    struct Pending {
        std::int64_t due;
        platform::Report bytes;
    };
    struct Client {
        int fd;
        std::deque<Pending> replies;
        int reportCost = 0; // socket buffer bytes one unread report takes; 0 until known
    };

    void acceptClients();
    // False: the client has gone and must be dropped.
    bool receive(Client& c);
    void sendDue(Client& c, std::int64_t now);
    // Replies sent to the client that it has not read yet; -1 when the socket cannot tell.
    int unreadReports(const Client& c) const;
    void log(const char* arrow, const platform::Report& r) const;

    SimBoard& board_;
    QString path_;
    bool verbose_;
    int listenFd_ = -1;
    std::vector<Client> clients_;
};

} // namespace sim
