#include "platform/transport.h"

#include <QStringList>

namespace platform {

namespace {
std::vector<std::shared_ptr<BoardTransport>>& transportList()
{
    static std::vector<std::shared_ptr<BoardTransport>> list;
    return list;
}
} // namespace

void setTransports(std::vector<std::shared_ptr<BoardTransport>> list) { transportList() = std::move(list); }

const std::vector<std::shared_ptr<BoardTransport>>& transports() { return transportList(); }

std::vector<BoardInfo> enumerateBoards(std::uint16_t vendorId, std::uint16_t productId)
{
    std::vector<BoardInfo> all;
    for (const auto& t : transportList()) {
        for (auto& b : t->enumerate(vendorId, productId)) {
            b.transport = t.get();
            all.push_back(b);
        }
    }
    return all;
}

QString noBoardFoundLine(std::uint16_t vendorId, std::uint16_t productId)
{
    QStringList places;
    for (const auto& t : transportList())
        if (const QString where = t->searched(vendorId, productId); !where.isEmpty())
            places << where;
    return QString("dcpeval: no evaluation board found; searched %1. dcpeval --simulate runs on a simulated board, "
                   "without one.")
        .arg(places.isEmpty() ? QString("nothing") : places.join("; "));
}

} // namespace platform
