#include "sim/quad_part.h"

#include "sim/analog_board.h"
#include "sim/sim_board.h"

namespace sim {

namespace {

constexpr std::uint8_t kSmbusOn = 0x04, kSpiOn = 0x02; // XBR0 bits
constexpr std::uint8_t kSda = 0x10, kScl = 0x20;         // P0.4, P0.5
constexpr std::uint8_t kSclk = 0x01, kMosi = 0x04, kNss = 0x08; // P0.0, P0.2, P0.3

bool supplyOn(SimBoard& board)
{
    const AnalogBoard* analog = analogBoard(board);
    return !analog || analog->vccOn();
}

// The wiper of pot p on VIN p, and the decoder on port P0 while `function` is off.
template <class Part>
void wire(SimBoard& board, const std::shared_ptr<Part>& part, std::uint8_t function,
          void (*edge)(Part&, std::uint8_t before, std::uint8_t after))
{
    if (AnalogBoard* analog = analogBoard(board)) {
        std::weak_ptr<Part> weak = part;
        analog->wiperVolts = [weak, analog](int channel) {
            auto p = weak.lock();
            if (!p || channel < 0 || channel > 3 || !p->followSupply(analog->vccOn()))
                return 0.0;
            return analog->vcc() * p->wcr[size_t(channel)] / 255.0;
        };
    }
    SimBoard* b = &board;
    std::weak_ptr<Part> weak = part;
    board.pinListeners.push_back([b, weak, function, edge](int port, std::uint8_t before, std::uint8_t after) {
        auto p = weak.lock();
        if (!p || port != 0)
            return;
        if (b->sfr(sfr::XBR0) & function) {
            p->pins.reset();
            return;
        }
        if (p->followSupply(supplyOn(*b)))
            edge(*p, before, after);
    });
}

} // namespace

// ---------------------------------------------------------------------------------------
// Registers and instructions

bool QuadPotCore::takesValue(std::uint8_t instruction)
{
    const int op = instruction >> 4;
    return op == 0xA || op == 0xC;
}

bool QuadPotCore::reads(std::uint8_t instruction)
{
    const int op = instruction >> 4;
    return op == 0x9 || op == 0xB;
}

std::optional<std::uint8_t> QuadPotCore::execute(std::uint8_t instruction, std::uint8_t value)
{
    const int pot = instruction & 3, reg = (instruction >> 2) & 3;
    const auto k = size_t(pot * 4 + reg);
    switch (instruction >> 4) {
    case 0x9: return wcr[size_t(pot)];
    case 0xA: wcr[size_t(pot)] = value; break;
    case 0xB: return data[k];
    case 0xC: data[k] = value; break;
    case 0xD: wcr[size_t(pot)] = data[k]; break;
    case 0xE: data[k] = wcr[size_t(pot)]; break;
    case 0x1:
        for (size_t p = 0; p < 4; ++p)
            wcr[p] = data[p * 4 + size_t(reg)];
        break;
    case 0x8:
        for (size_t p = 0; p < 4; ++p)
            data[p * 4 + size_t(reg)] = wcr[p];
        break;
    default: break; // 2 over the bus and unknown codes change nothing
    }
    return std::nullopt;
}

void QuadPotCore::step(bool up)
{
    if (incPot < 0)
        return;
    auto& w = wcr[size_t(incPot)];
    if (up && w < 0xFF)
        ++w;
    else if (!up && w > 0)
        --w;
    ++steps;
}

bool QuadPotCore::followSupply(bool on)
{
    if (on && !wasOn_) {
        for (size_t p = 0; p < 4; ++p)
            wcr[p] = data[p * 4];
        incPot = -1;
    }
    wasOn_ = on;
    return on;
}

// ---------------------------------------------------------------------------------------
// Pin decoder

void QuadPinDecoder::reset()
{
    state_ = State::Idle;
    inPulse_ = false;
    core_.incPot = -1;
}

void QuadPinDecoder::begin()
{
    reset();
    state_ = State::Byte1;
    bits_ = 0;
    shift_ = 0;
}

void QuadPinDecoder::byteDone()
{
    if (state_ == State::Byte1)
        state_ = shift_ == QuadPotCore::kAddressByte ? State::Byte2 : State::Ignore;
    else if (state_ == State::Byte2 && (shift_ & 0xFC) == 0x20) {
        state_ = State::Stepping;
        core_.incPot = shift_ & 3;
    } else
        state_ = State::Ignore;
    bits_ = 0;
    shift_ = 0;
}

void QuadPinDecoder::clockRise(bool dataLine, bool withAck)
{
    switch (state_) {
    case State::Byte1:
    case State::Byte2:
        if (bits_ < 8) {
            shift_ = std::uint8_t(shift_ << 1 | (dataLine ? 1 : 0));
            ++bits_;
            if (bits_ == 8 && !withAck)
                byteDone();
        } else {
            byteDone(); // the acknowledge clock; SDA is the part's to drive there
        }
        break;
    case State::Stepping:
        inPulse_ = true;
        pulseUp_ = dataLine;
        break;
    default: break;
    }
}

void QuadPinDecoder::clockFall()
{
    if (state_ == State::Stepping && inPulse_)
        core_.step(pulseUp_);
    inPulse_ = false;
}

void QuadPinDecoder::i2c(bool sdaBefore, bool sclBefore, bool sda, bool scl)
{
    if (sda != sdaBefore && sclBefore) {
        if (!sda)
            begin(); // start condition
        else
            reset(); // stop condition: ends the mode without a step
    }
    if (scl != sclBefore) {
        if (scl)
            clockRise(sda, true);
        else
            clockFall();
    }
}

void QuadPinDecoder::spi(bool nssBefore, bool sclkBefore, bool nss, bool sclk, bool mosi)
{
    if (nss != nssBefore) {
        if (nss) {
            reset();
            return;
        }
        begin();
    }
    if (nss)
        return;
    // NSS already low when the pins were freed: the first clock starts the frame.
    if (state_ == State::Idle && sclk != sclkBefore)
        begin();
    if (sclk != sclkBefore) {
        if (sclk)
            clockRise(mosi, false);
        else
            clockFall();
    }
}

// ---------------------------------------------------------------------------------------
// I2C part

QuadI2CPart::QuadI2CPart(SimBoard& board) : board_(board) {}

std::shared_ptr<QuadI2CPart> QuadI2CPart::install(SimBoard& board)
{
    auto part = std::make_shared<QuadI2CPart>(board);
    board.attachI2C(kAddress7, part);
    wire<QuadI2CPart>(board, part, kSmbusOn, [](QuadI2CPart& p, std::uint8_t before, std::uint8_t after) {
        p.pins.i2c(before & kSda, before & kScl, after & kSda, after & kScl);
    });
    return part;
}

bool QuadI2CPart::powered() const
{
    // The SMBus function off in the crossbar leaves the pins to the port: nothing answers.
    if (!(board_.sfr(sfr::XBR0) & kSmbusOn) || !I2CDevice::powered())
        return false;
    return const_cast<QuadI2CPart*>(this)->followSupply(supplyOn(board_));
}

bool QuadI2CPart::write(std::span<const std::uint8_t> regs, std::span<const std::uint8_t> data)
{
    std::vector<std::uint8_t> bytes(regs.begin(), regs.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    if (bytes.empty())
        return true;
    const std::uint8_t instruction = bytes[0];
    if (takesValue(instruction)) {
        if (bytes.size() < 2)
            return true; // the value never came: nothing changes
        execute(instruction, bytes[1]);
    } else {
        execute(instruction);
    }
    ++writes;
    return true;
}

bool QuadI2CPart::read(std::span<const std::uint8_t> regs, std::span<std::uint8_t> out)
{
    std::optional<std::uint8_t> value;
    if (!regs.empty())
        value = execute(regs[0]);
    for (auto& b : out)
        b = value.value_or(0xFF);
    ++reads;
    return true;
}

// ---------------------------------------------------------------------------------------
// SPI part

QuadSpiPart::QuadSpiPart(SimBoard& board) : board_(board) {}

std::shared_ptr<QuadSpiPart> QuadSpiPart::install(SimBoard& board)
{
    auto part = std::make_shared<QuadSpiPart>(board);
    board.chipSlot = part;
    wire<QuadSpiPart>(board, part, kSpiOn, [](QuadSpiPart& p, std::uint8_t before, std::uint8_t after) {
        p.pins.spi(before & kNss, before & kSclk, after & kNss, after & kSclk, after & kMosi);
    });
    return part;
}

void QuadSpiPart::select()
{
    RecordingSpiDevice::select();
    position_ = 0;
    instruction_ = 0;
}

std::uint8_t QuadSpiPart::answer(std::uint8_t mosi)
{
    // With the SPI function off or no supply, nobody drives MISO.
    if (!(board_.sfr(sfr::XBR0) & kSpiOn) || !followSupply(supplyOn(board_)))
        return 0x00;
    const int at = position_++;
    if (at == 0) {
        if (mosi != kAddressByte)
            position_ = -1000; // another ID: the rest of the frame is not for this part
        return 0xFF;
    }
    if (at == 1) {
        instruction_ = mosi;
        if (!takesValue(mosi) && !reads(mosi))
            execute(mosi);
        return 0xFF;
    }
    if (at == 2) {
        if (takesValue(instruction_))
            execute(instruction_, mosi);
        else if (reads(instruction_))
            return execute(instruction_).value_or(0xFF);
    }
    return 0xFF;
}

} // namespace sim
