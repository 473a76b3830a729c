#include "sim/k4736.h"

#include "sim/sim_board.h"

#include <algorithm>

namespace sim {

namespace {
constexpr std::uint8_t kP0Ds0 = 0x40, kP0Ds1 = 0x80;
constexpr std::uint8_t kP1Scl = 0x01, kP1Cs = 0x02, kP1Up = 0x04;
} // namespace

std::uint8_t* K4736::reg(std::uint8_t index)
{
    if (index == statusAddress)
        return &status;
    if (index > 3)
        return nullptr;
    if (status & 1)
        return &dr[(status >> 1) & 3][index];
    return &wcr[index];
}

bool K4736::write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data)
{
    bool first = true;
    for (auto part : {regs, data}) {
        for (std::uint8_t b : part) {
            if (first) {
                pointer_ = b;
                first = false;
            } else {
                if (std::uint8_t* r = reg(pointer_))
                    *r = b;
                ++pointer_;
            }
        }
    }
    return true;
}

bool K4736::read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out)
{
    if (!regs.empty())
        pointer_ = regs.back();
    for (auto& b : out) {
        const std::uint8_t* r = reg(pointer_++);
        b = r ? *r : 0;
    }
    return true;
}

double K4736::wiperFraction(int channel) const
{
    if (channel < 0 || channel > 3 || taps <= 0)
        return 0.0;
    return std::min<int>(wcr[static_cast<size_t>(channel)], taps) / double(taps);
}

int K4736::selectedWiper() const
{
    const std::uint8_t p0 = board_.portPins(0);
    return ((p0 & kP0Ds0) ? 1 : 0) + ((p0 & kP0Ds1) ? 2 : 0);
}

void K4736::supplyChanged(bool on)
{
    status = 0;
    for (size_t k = 0; k < 4; ++k)
        wcr[k] = on ? dr[0][k] : 0;
}

void K4736::portChanged(int port, std::uint8_t before, std::uint8_t after)
{
    if (port != 1 || !supplied())
        return;
    const auto rose = [&](std::uint8_t bit) { return !(before & bit) && (after & bit); };
    std::uint8_t& w = wcr[static_cast<size_t>(selectedWiper())];
    if (rose(kP1Scl) && !(after & kP1Cs)) {
        w = static_cast<std::uint8_t>(std::clamp((after & kP1Up) ? w + 1 : w - 1, 0, std::min(taps, 255)));
        ++pinSteps;
    }
    if (rose(kP1Cs) && (after & kP1Scl))
        dr[0][static_cast<size_t>(selectedWiper())] = w;
}

std::shared_ptr<K4736> installK4736(SimBoard& board, std::uint8_t address7)
{
    auto part = std::make_shared<K4736>(board);
    attachDaughterBoardPart(board, address7, part);
    return part;
}

} // namespace sim
