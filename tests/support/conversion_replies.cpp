#include "support/conversion_replies.h"

class ConversionRepliesConnection : public platform::BoardConnection {
public:
    ConversionRepliesConnection(std::shared_ptr<ConversionReplies> owner, std::unique_ptr<platform::BoardConnection> inner)
        : owner_(std::move(owner)), inner_(std::move(inner))
    {
    }
    bool write(const platform::Report& report) override
    {
        if (!inner_->write(report))
            return false;
        // A prompt board's reply is in the input queue at once, and a full queue drops it, as
        // hidraw does: no reply will come for this request.
        if (replyOf_.size() >= static_cast<size_t>(inner_->inputQueueReports()))
            return true;
        const bool rewrite = report[1] == 0x11 && owner_->pending_ > 0;
        if (rewrite)
            --owner_->pending_;
        replyOf_.push_back(rewrite ? owner_->rewrite_ : ConversionReplies::Rewrite());
        return true;
    }
    platform::ReadResult read(platform::Report& report, int timeoutMs) override
    {
        const platform::ReadResult r = inner_->read(report, timeoutMs);
        if (r != platform::ReadResult::Report || replyOf_.empty())
            return r;
        const ConversionReplies::Rewrite rewrite = replyOf_.front();
        replyOf_.pop_front();
        if (rewrite) {
            rewrite(report);
            ++owner_->rewritten;
        }
        return r;
    }

private:
    std::shared_ptr<ConversionReplies> owner_;
    std::unique_ptr<platform::BoardConnection> inner_;
    std::deque<ConversionReplies::Rewrite> replyOf_; // one per accepted request, in order
};

std::vector<platform::BoardInfo> ConversionReplies::enumerate(std::uint16_t vendorId, std::uint16_t productId)
{
    std::vector<platform::BoardInfo> boards = inner_->enumerate(vendorId, productId);
    for (platform::BoardInfo& b : boards)
        b.transport = this;
    return boards;
}

std::unique_ptr<platform::BoardConnection> ConversionReplies::open(const platform::BoardInfo& board, QString* error)
{
    platform::BoardInfo at = board;
    at.transport = inner_.get();
    auto c = inner_->open(at, error);
    if (!c)
        return nullptr;
    return std::make_unique<ConversionRepliesConnection>(shared_from_this(), std::move(c));
}

std::shared_ptr<ConversionReplies> interceptConversions(std::shared_ptr<platform::BoardTransport> sims)
{
    auto t = std::make_shared<ConversionReplies>(std::move(sims));
    platform::setTransports({t});
    return t;
}
