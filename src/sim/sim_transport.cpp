#include "sim/sim_transport.h"

#include "platform/services.h"

#include <algorithm>
#include <deque>

namespace sim {

namespace {

class SimConnection : public platform::BoardConnection {
public:
    explicit SimConnection(std::shared_ptr<SimBoard> board)
        : board_(std::move(board)), generation_(board_->generation())
    {
    }

    bool write(const platform::Report& report) override
    {
        if (!alive()) {
            // The old handle of an unplugged board: nothing reaches the board, but the
            // attempt stays in the transcript.
            board_->transcript.record(Direction::ToBoard, report, platform::services().monotonicMs(), true);
            return false;
        }
        const std::int64_t now = platform::services().monotonicMs();
        arrive(now);
        const Response r = board_->handle(report);
        if (r.reply) {
            // The firmware answers in order: a late reply holds back the ones after it.
            std::int64_t due = now + r.delayMs;
            if (!onTheWay_.empty())
                due = std::max(due, onTheWay_.back().due);
            onTheWay_.push_back({due, *r.reply});
        }
        return r.accepted;
    }

    platform::ReadResult read(platform::Report& report, int timeoutMs) override
    {
        auto& svc = platform::services();
        const std::int64_t deadline = svc.monotonicMs() + std::max(timeoutMs, 0);
        for (;;) {
            if (!alive()) {
                onTheWay_.clear();
                arrived_.clear();
                return platform::ReadResult::Gone;
            }
            const std::int64_t now = svc.monotonicMs();
            arrive(now);
            if (!arrived_.empty()) {
                report = arrived_.front();
                arrived_.pop_front();
                return platform::ReadResult::Report;
            }
            if (now >= deadline)
                return platform::ReadResult::Timeout;
            const std::int64_t wake = onTheWay_.empty() ? deadline : std::min(deadline, onTheWay_.front().due);
            svc.sleepMs(static_cast<int>(wake - now));
        }
    }

private:
    bool alive() const { return board_->plugged() && board_->generation() == generation_; }

    // Replies that are due reach the host's input queue, which keeps kHidrawInputReports
    // unread ones and drops newer replies, as hidraw does.
    void arrive(std::int64_t now)
    {
        while (!onTheWay_.empty() && onTheWay_.front().due <= now) {
            if (arrived_.size() < static_cast<size_t>(platform::kHidrawInputReports))
                arrived_.push_back(onTheWay_.front().bytes);
            onTheWay_.pop_front();
        }
    }

    struct Pending {
        std::int64_t due;
        platform::Report bytes;
    };
    std::shared_ptr<SimBoard> board_;
    unsigned generation_;
    std::deque<Pending> onTheWay_;
    std::deque<platform::Report> arrived_;
};

} // namespace

SimTransport::SimTransport(int boardCount)
{
    for (int i = 0; i < boardCount; ++i)
        addBoard();
}

SimBoard& SimTransport::addBoard()
{
    boards_.push_back(std::make_shared<SimBoard>());
    return *boards_.back();
}

std::vector<platform::BoardInfo> SimTransport::enumerate(std::uint16_t, std::uint16_t)
{
    std::vector<platform::BoardInfo> found;
    for (int i = 0; i < boardCount(); ++i)
        if (boards_[static_cast<size_t>(i)]->plugged())
            found.push_back({pathOf(i), this});
    return found;
}

QString SimTransport::searched(std::uint16_t, std::uint16_t) const
{
    return boards_.empty() ? QString("the simulated boards (none attached)")
                           : QString("the simulated boards (%1, none plugged in)").arg(boardCount());
}

std::unique_ptr<platform::BoardConnection> SimTransport::open(const platform::BoardInfo& info, QString* error)
{
    bool ok = false;
    const int index = info.path.startsWith("sim:") ? info.path.mid(4).toInt(&ok) : -1;
    if (!ok || index < 0 || index >= boardCount() || !boards_[static_cast<size_t>(index)]->plugged()) {
        if (error)
            *error = "No such device";
        return nullptr;
    }
    ++opened;
    return std::make_unique<SimConnection>(boards_[static_cast<size_t>(index)]);
}

} // namespace sim
