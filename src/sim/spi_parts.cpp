#include "sim/spi_parts.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint8_t kNoAnswer = 0x00; // the board's pull-down on MISO
constexpr std::uint8_t kIdle = 0xFF;     // the chip drives high while it has nothing to say
constexpr std::uint8_t kBaseId = 0x50;
constexpr std::uint8_t kVccBit = 0x20; // P2.5
constexpr std::uint8_t kAcrVolatileOnly = 0x80;
constexpr std::uint8_t kAcrRunning = 0x40; // shutdown released
constexpr int kPortP2 = 2;

double fraction(int position, int taps) { return double(std::clamp(position, 0, taps)) / taps; }

template <class Part>
std::shared_ptr<Part> install(SimBoard& board, std::shared_ptr<Part> part)
{
    AnalogBoard* analog = analogBoard(board);
    if (!analog)
        analog = attachAnalogBoard(board).get();
    std::weak_ptr<Part> weak = part;
    board.pinListeners.push_back([weak](int port, std::uint8_t before, std::uint8_t after) {
        if (port != kPortP2 || ((before ^ after) & kVccBit) == 0)
            return;
        if (auto p = weak.lock())
            p->supplyChanged(after & kVccBit);
    });
    analog->wiperVolts = [weak](int channel) {
        auto p = weak.lock();
        return p ? p->wiperVolts(channel) : 0.0;
    };
    part->supplyChanged(analog->vccOn());
    board.chipSlot = part;
    return part;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Wiring and power

void SpiPart::select()
{
    RecordingSpiDevice::select();
    index_ = 0;
}

bool SpiPart::powered() const
{
    const AnalogBoard* analog = analogBoard(board_);
    return analog && analog->vccOn();
}

double SpiPart::vcc() const
{
    const AnalogBoard* analog = analogBoard(board_);
    return analog ? analog->vcc() : 0.0;
}

bool SpiPart::reachable() const { return board_.pin(1, 3) && powered(); }

std::uint8_t SpiPart::pinId() const
{
    const int a0 = board_.pin(0, 6), a1 = board_.pin(0, 7), a2 = board_.pin(1, 0), a3 = board_.pin(1, 1);
    return static_cast<std::uint8_t>(kBaseId + 2 * a0 + 4 * a1 + 8 * a2 + 16 * a3);
}

void SpiPart::supplyChanged(bool on)
{
    if (on)
        powerUp();
    else
        powerDown();
}

std::uint8_t SpiPart::answer(std::uint8_t mosi)
{
    const int index = index_++;
    return reachable() ? frameByte(index, mosi) : kNoAnswer;
}

// ---------------------------------------------------------------------------------------
// Four-channel parts

SpiDcp::SpiDcp(SimBoard& board, const SpiDcpMap& map) : SpiPart(board), map(map) {}

void SpiDcp::powerUp()
{
    wcr = nvWcr;
    acr = kAcrRunning;
}

void SpiDcp::powerDown()
{
    wcr.fill(0);
    acr = 0;
}

double SpiDcp::wiperVolts(int channel) const
{
    if (channel < 0 || channel >= map.channels || !powered() || !(acr & kAcrRunning))
        return 0.0;
    return vcc() * fraction(wcr[static_cast<size_t>(channel)], map.taps);
}

void SpiDcp::decode(std::uint8_t instruction)
{
    target_ = Target::None;
    const auto isChannel = [this](int c) { return c >= 0 && c < map.channels; };
    if (isChannel(instruction - map.wiperWrite)) {
        target_ = Target::Wiper, writing_ = true, channel_ = instruction - map.wiperWrite;
    } else if (isChannel(instruction - map.wiperRead)) {
        target_ = Target::Wiper, writing_ = false, channel_ = instruction - map.wiperRead;
    } else if (instruction == map.acrWrite || instruction == map.acrRead) {
        target_ = Target::Acr, writing_ = instruction == map.acrWrite;
    } else if (instruction == map.gpWrite || instruction == map.gpRead) {
        target_ = Target::Gp, writing_ = instruction == map.gpWrite;
    }
}

void SpiDcp::write(std::uint8_t value)
{
    if (writeProtected())
        return; // clocked in and ignored
    switch (target_) {
    case Target::Wiper:
        wcr[static_cast<size_t>(channel_)] = value;
        if (!(acr & kAcrVolatileOnly))
            nvWcr[static_cast<size_t>(channel_)] = value;
        break;
    case Target::Acr:
        acr = value;
        break;
    case Target::Gp:
        gp = value;
        break;
    case Target::None:
        break;
    }
}

int SpiDcp::read() const
{
    switch (target_) {
    case Target::Wiper:
        return wcr[static_cast<size_t>(channel_)];
    case Target::Acr:
        return acr;
    case Target::Gp:
        return gp;
    case Target::None:
        break;
    }
    return kIdle;
}

std::uint8_t SpiDcp::frameByte(int index, std::uint8_t mosi)
{
    const int instructionAt = map.hasId ? 1 : 0;
    if (map.hasId && index == 0) {
        addressed_ = mosi == pinId();
        return kNoAnswer;
    }
    if (map.hasId && !addressed_)
        return kNoAnswer;
    if (index == instructionAt) {
        decode(mosi);
        return kIdle;
    }
    if (target_ == Target::None)
        return kIdle;
    if (writing_) {
        if (index == instructionAt + 1)
            write(mosi);
        return kIdle;
    }
    return index == instructionAt + 1 + map.readLatency ? static_cast<std::uint8_t>(read()) : kIdle;
}

// ---------------------------------------------------------------------------------------
// 10-bit part

double K6623Part::wiperVolts(int channel) const
{
    if (channel != 0 || !powered())
        return 0.0;
    return vcc() * fraction(wcr, kTaps);
}

int* K6623Part::registerOf(std::uint8_t instruction)
{
    // Wiper (A0 on writes, 80 on reads) or data register r in bits 3..2.
    if (instruction == (reading_ ? 0x80 : 0xA0))
        return &wcr;
    const int base = reading_ ? 0xA0 : 0xC0;
    const int r = (instruction - base) / 4;
    if (instruction >= base && (instruction - base) % 4 == 0 && r < 4)
        return &dr[static_cast<size_t>(r)];
    return nullptr;
}

std::uint8_t K6623Part::frameByte(int index, std::uint8_t mosi)
{
    if (index == 0) {
        const std::uint8_t id = pinId();
        addressed_ = mosi == id || mosi == id + 1;
        reading_ = mosi == id + 1;
        return kNoAnswer;
    }
    if (!addressed_)
        return kNoAnswer;
    if (index == 1) {
        instruction_ = mosi;
        // The one-byte transfers act on their instruction.
        const int r = (mosi & 0x0C) >> 2;
        if (!reading_ && (mosi & 0xF3) == 0xE0)
            dr[static_cast<size_t>(r)] = wcr;
        else if (reading_ && (mosi & 0xF3) == 0xC0)
            wcr = dr[static_cast<size_t>(r)];
        return kIdle;
    }
    int* reg = registerOf(instruction_);
    if (!reg || index > 3)
        return kIdle;
    if (reading_)
        return index == 2 ? static_cast<std::uint8_t>((junkHighBits & 0xFC) | (*reg >> 8)) : static_cast<std::uint8_t>(*reg & 0xFF);
    if (index == 2)
        high_ = mosi & 3;
    else
        *reg = high_ * 256 + mosi;
    return kIdle;
}

// ---------------------------------------------------------------------------------------
// The parts

std::shared_ptr<SpiDcp> installZN3920(SimBoard& board)
{
    return install(board, std::make_shared<SpiDcp>(board, SpiDcpMap{}));
}

std::shared_ptr<SpiDcp> installZN3930(SimBoard& board)
{
    const SpiDcpMap map{.hasId = true,
                        .wiperWrite = 0xC0,
                        .wiperRead = 0xB0,
                        .acrWrite = 0xC8,
                        .acrRead = 0xB8,
                        .gpWrite = 0xC4,
                        .gpRead = 0xB4,
                        .readLatency = 0,
                        .taps = 128,
                        .channels = 4};
    return install(board, std::make_shared<SpiDcp>(board, map));
}

std::shared_ptr<K6623Part> installK6623(SimBoard& board) { return install(board, std::make_shared<K6623Part>(board)); }

} // namespace sim
