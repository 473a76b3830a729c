#pragma once
// A board transport in front of another that can change the replies to ADC conversion
// requests (command 0x11) on their way to the program: a bridge answering with a failed
// status, or another request's bytes read as the conversion's (a count no 10-bit conversion
// gives). It pairs each reply with its request in order, so it assumes the board behind it
// answers every request it accepts once and at once, as the simulated board does without
// reply faults, and that a full input queue drops the newest reply.
#include "platform/transport.h"

#include <deque>
#include <functional>
#include <memory>

class ConversionReplies : public platform::BoardTransport,
                          public std::enable_shared_from_this<ConversionReplies> {
public:
    using Rewrite = std::function<void(platform::Report& reply)>;

    explicit ConversionReplies(std::shared_ptr<platform::BoardTransport> inner) : inner_(std::move(inner)) {}

    // The replies to the next n conversion requests pass through rewrite.
    void rewriteNext(int n, Rewrite rewrite)
    {
        pending_ = n;
        rewrite_ = std::move(rewrite);
    }
    int rewritten = 0;

    // Shorthands: status byte 1 set; status 0 with a count of high * 256 + low.
    static Rewrite failedStatus() { return [](platform::Report& r) { r[1] = 0x02; }; }
    static Rewrite count(int value)
    {
        return [value](platform::Report& r) {
            r[1] = 0;
            r[2] = std::uint8_t(value >> 8);
            r[3] = std::uint8_t(value & 0xFF);
        };
    }

    std::vector<platform::BoardInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    std::unique_ptr<platform::BoardConnection> open(const platform::BoardInfo& board, QString* error) override;

private:
    friend class ConversionRepliesConnection;
    std::shared_ptr<platform::BoardTransport> inner_;
    int pending_ = 0;
    Rewrite rewrite_;
};

// Puts a ConversionReplies in front of the fixture's simulated boards (before the link opens).
std::shared_ptr<ConversionReplies> interceptConversions(std::shared_ptr<platform::BoardTransport> sims);
