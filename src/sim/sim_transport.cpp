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
        const Response r = board_->handle(report);
        if (r.reply) {
            // The firmware answers in order: a late reply holds back the ones after it.
            std::int64_t due = platform::services().monotonicMs() + r.delayMs;
            if (!queue_.empty())
                due = std::max(due, queue_.back().due);
            queue_.push_back({due, *r.reply});
        }
        return r.accepted;
    }

    platform::ReadResult read(platform::Report& report, int timeoutMs) override
    {
        auto& svc = platform::services();
        const std::int64_t deadline = svc.monotonicMs() + std::max(timeoutMs, 0);
        for (;;) {
            if (!alive()) {
                queue_.clear();
                return platform::ReadResult::Gone;
            }
            const std::int64_t now = svc.monotonicMs();
            if (!queue_.empty() && queue_.front().due <= now) {
                report = queue_.front().bytes;
                queue_.pop_front();
                return platform::ReadResult::Report;
            }
            if (now >= deadline)
                return platform::ReadResult::Timeout;
            const std::int64_t wake = queue_.empty() ? deadline : std::min(deadline, queue_.front().due);
            svc.sleepMs(static_cast<int>(wake - now));
        }
    }

private:
    bool alive() const { return board_->plugged() && board_->generation() == generation_; }

    struct Pending {
        std::int64_t due;
        platform::Report bytes;
    };
    std::shared_ptr<SimBoard> board_;
    unsigned generation_;
    std::deque<Pending> queue_;
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
