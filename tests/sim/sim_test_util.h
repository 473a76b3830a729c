#pragma once
// Helpers of the simulated-board tests: reports from byte lists, one exchange with a board,
// and a fixture on the virtual clock.
#include "platform/services.h"
#include "sim/sim_board.h"
#include "support/test_services.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace simtest {

// A 64-byte report: the listed bytes from byte 0, zeros after them.
inline platform::Report report(std::initializer_list<int> bytes)
{
    platform::Report r{};
    size_t i = 0;
    for (int b : bytes)
        r.at(i++) = static_cast<std::uint8_t>(b);
    return r;
}

inline std::string hex(const platform::Report& r) { return sim::hexBytes(r).toStdString(); }

// One request straight to the board; the reply it gives (a failed test when it gives none).
inline platform::Report ask(sim::SimBoard& board, const platform::Report& rq)
{
    const sim::Response r = board.handle(rq);
    EXPECT_TRUE(r.accepted) << "request refused: " << hex(rq);
    EXPECT_TRUE(r.reply.has_value()) << "no reply to: " << hex(rq);
    return r.reply.value_or(platform::Report{});
}

// The virtual clock for everything the board and the transport time.
class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override { platform::setServices(&svc); }
    void TearDown() override { platform::setServices(nullptr); }
    TestServices svc;
};

} // namespace simtest
