#pragma once
// Simulated boards in the program's own process (`dcpeval --simulate` and the tests):
// boards "sim:0", "sim:1", ... in search order. A connection hands each written report to
// its board and queues the reply with its due time on the platform clock, so the test
// services' virtual clock makes the 6000 ms reply wait cost no real time.
#include "platform/transport.h"
#include "sim/sim_board.h"

#include <memory>
#include <vector>

namespace sim {

class SimTransport : public platform::BoardTransport {
public:
    explicit SimTransport(int boardCount = 1);

    SimBoard& board(int index = 0) { return *boards_.at(static_cast<size_t>(index)); }
    std::shared_ptr<SimBoard> boardPtr(int index = 0) { return boards_.at(static_cast<size_t>(index)); }
    int boardCount() const { return static_cast<int>(boards_.size()); }
    SimBoard& addBoard();
    static QString pathOf(int index) { return QString("sim:%1").arg(index); }

    // Every plugged board, whatever the IDs: a simulated board is always the right kind.
    std::vector<platform::BoardInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    std::unique_ptr<platform::BoardConnection> open(const platform::BoardInfo& board, QString* error) override;
    QString searched(std::uint16_t vendorId, std::uint16_t productId) const override;

    int opened = 0; // connections opened so far

private:
    std::vector<std::shared_ptr<SimBoard>> boards_;
};

} // namespace sim
