#include "sim/k6627.h"

#include "sim/sim_board.h"

#include <algorithm>

namespace sim {

namespace {

// The data register an instruction of the group `base` (A0, C0, E0) names, or -1.
int dataRegister(std::uint8_t instruction, std::uint8_t base)
{
    return (instruction & 0xF3) == base ? (instruction >> 2) & 3 : -1;
}

std::uint16_t value10(std::uint8_t hi, std::uint8_t lo) { return static_cast<std::uint16_t>((hi & 3) << 8 | lo); }

} // namespace

bool K6627::write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data)
{
    std::vector<std::uint8_t> bytes(regs.begin(), regs.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    transfers.push_back({false, bytes, board_.i2c.twoWireRead});
    if (bytes.empty())
        return true;
    const std::uint8_t inst = bytes[0];
    if (bytes.size() == 3 && inst == 0xA0)
        wcr = value10(bytes[1], bytes[2]);
    else if (const int r = dataRegister(inst, 0xC0); bytes.size() == 3 && r >= 0)
        dr[static_cast<size_t>(r)] = value10(bytes[1], bytes[2]);
    else if (const int r = dataRegister(inst, 0xE0); bytes.size() == 1 && r >= 0)
        dr[static_cast<size_t>(r)] = wcr;
    return true;
}

bool K6627::read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out)
{
    transfers.push_back({true, {regs.begin(), regs.end()}, board_.i2c.twoWireRead});
    std::fill(out.begin(), out.end(), 0xFF);
    if (regs.empty())
        return true;
    const std::uint8_t inst = regs[0];
    int value = -1;
    if (inst == 0x80)
        value = wcr;
    else if (const int r = dataRegister(inst, 0xA0); r >= 0)
        value = dr[static_cast<size_t>(r)];
    else if (const int r = dataRegister(inst, 0xC0); r >= 0)
        wcr = dr[static_cast<size_t>(r)];
    if (value >= 0 && !out.empty()) {
        out[0] = static_cast<std::uint8_t>((value >> 8) | (junkHighBits ? 0xFC : 0));
        if (out.size() > 1)
            out[1] = static_cast<std::uint8_t>(value & 0xFF);
    }
    return true;
}

double K6627::wiperFraction(int channel) const
{
    return channel == 0 ? std::min<int>(wcr, kTaps) / double(kTaps) : 0.0;
}

void K6627::supplyChanged(bool on) { wcr = on ? dr[0] : 0; }

std::shared_ptr<K6627> installK6627(SimBoard& board, std::uint8_t address7)
{
    auto part = std::make_shared<K6627>(board);
    attachDaughterBoardPart(board, address7, part);
    return part;
}

} // namespace sim
