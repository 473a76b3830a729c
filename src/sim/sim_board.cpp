#include "sim/sim_board.h"

#include "platform/services.h"

#include <algorithm>
#include <cmath>

namespace sim {

using platform::Report;

const SimBoard::Command SimBoard::kCommands[] = {
    {0x00, &SimBoard::cmdFirmware},      {0x01, &SimBoard::cmdLeds},
    {0x02, &SimBoard::cmdPortModes},     {0x04, &SimBoard::cmdI2COptions},
    {0x05, &SimBoard::cmdSmbusClock},    {0x06, &SimBoard::cmdI2CTransfer},
    {0x07, &SimBoard::cmdSpiMode},       {0x08, &SimBoard::cmdSpiClock},
    {0x09, &SimBoard::cmdSpiTransfer},   {0x0A, &SimBoard::cmdAdcClock},
    {0x0B, &SimBoard::cmdAdcReference},  {0x0C, &SimBoard::cmdAdcMux},
    {0x0D, &SimBoard::cmdAdcMode},       {0x0E, &SimBoard::cmdAdcAveraging},
    {0x0F, &SimBoard::cmdAdcSampleRate}, {0x10, &SimBoard::cmdAdcEnable},
    {0x11, &SimBoard::cmdAdcConvert},    {0x12, &SimBoard::cmdSfr},
    {0x13, &SimBoard::cmdExternalAdc},
};

SimBoard::SimBoard()
{
    // The F340's reset values, then what the bridge firmware sets up at start: crossbar on
    // with SMBus and SPI routed, the ADC clock and the VDD reference.
    for (auto a : sfr::kPortData)
        sfr_[a] = 0xFF;
    for (auto a : sfr::kPortMdin)
        sfr_[a] = 0xFF;
    sfr_[sfr::XBR0] = 0x06;
    sfr_[sfr::XBR1] = 0x40;
    sfr_[sfr::SPI0CFG] = 0x40;
    sfr_[sfr::SPI0CKR] = 11;
    sfr_[sfr::SPI0CN] = 0x0F;
    sfr_[sfr::AMX0P] = 0x0A;
    sfr_[sfr::AMX0N] = kAdcVddOrGnd;
    sfr_[sfr::ADC0CF] = 0x38;
    sfr_[sfr::REFCON] = 0x08;
}

// ---------------------------------------------------------------------------------------
// Requests, faults and the transcript

void SimBoard::armScheduledFaults()
{
    ++requestsSeen_;
    for (const ScheduledFault& f : scheduled_) {
        if (f.atRequest != requestsSeen_)
            continue;
        switch (f.kind) {
        case FaultKind::NoReply:
            dropNextReplies(f.count);
            break;
        case FaultKind::LateReply:
            delayNextReplies(f.count, f.delayMs);
            break;
        case FaultKind::FailedWrite:
            failNextWrites(f.count);
            break;
        case FaultKind::Nak:
            nakNextI2C(f.count);
            break;
        case FaultKind::Garbage:
            garbleNextReplies(f.count, f.seed);
            break;
        }
    }
}

Response SimBoard::handle(const Report& rq)
{
    armScheduledFaults();
    const std::int64_t now = platform::services().monotonicMs();
    Response out;
    if (!plugged_ || rq[0] != 1 || failWrites_ > 0) {
        if (plugged_ && rq[0] == 1)
            --failWrites_;
        transcript.record(Direction::ToBoard, rq, now, true);
        out.accepted = false;
        return out;
    }
    transcript.record(Direction::ToBoard, rq, now);
    if (dropReplies_ > 0) {
        --dropReplies_;
        return out;
    }

    Report rp{};
    rp[0] = 1;
    rp[1] = kStatusDone;
    const auto* cmd = std::find_if(std::begin(kCommands), std::end(kCommands),
                                   [&](const Command& c) { return c.code == rq[1]; });
    if (cmd == std::end(kCommands))
        rp[1] = kStatusBadRequest;
    else
        (this->*cmd->handler)(rq, rp);

    if (setAnswersCarryCode && rp[1] == kStatusDone && answerUnread(rq))
        rp[2] = rq[1];

    if (garbled_ > 0) {
        --garbled_;
        std::uniform_int_distribution<int> byte(0, 255);
        for (size_t i = 1; i < rp.size(); ++i)
            rp[i] = static_cast<std::uint8_t>(byte(garbage_));
    }
    out.delayMs = replyDelayMs;
    if (lateReplies_ > 0) {
        --lateReplies_;
        out.delayMs = std::max(out.delayMs, lateMs_);
    }
    out.reply = rp;
    transcript.record(Direction::FromBoard, rp, now + out.delayMs);
    return out;
}

void SimBoard::garbleNextReplies(int n, std::uint32_t seed)
{
    garbled_ = n;
    garbage_.seed(seed);
}

void SimBoard::clearFaults()
{
    failWrites_ = dropReplies_ = nakI2C_ = lateReplies_ = lateMs_ = garbled_ = 0;
}

void SimBoard::unplug()
{
    plugged_ = false;
    ++generation_;
}

void SimBoard::replug() { plugged_ = true; }

bool SimBoard::answerUnread(const Report& rq)
{
    static constexpr std::uint8_t kConfiguration[] = {0x01, 0x02, 0x04, 0x05, 0x07, 0x08, 0x0A, 0x0B,
                                                      0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x12};
    const bool configuration = std::find(std::begin(kConfiguration), std::end(kConfiguration), rq[1])
                               != std::end(kConfiguration);
    const bool sclToggle = rq[1] == 0x04 && rq[5] == 1;
    return configuration && rq[2] == 0 && !sclToggle;
}

bool SimBoard::isSet(const Report& rq, Report& rp)
{
    if (rq[2] > 1)
        rp[1] = kStatusBadRequest;
    return rq[2] == 0;
}

// ---------------------------------------------------------------------------------------
// SFR map and pins

void SimBoard::setSfr(std::uint8_t address, std::uint8_t value)
{
    const std::uint8_t before = sfr_[address];
    sfr_[address] = value;
    for (int port = 0; port < 5; ++port)
        if (sfr::kPortData[port] == address && before != value)
            for (auto& listener : pinListeners)
                listener(port, before, value);
}

std::uint8_t SimBoard::readSfr(std::uint8_t address) const
{
    for (int port = 0; port < 5; ++port)
        if (sfr::kPortData[port] == address)
            return static_cast<std::uint8_t>((sfr_[address] & ~inputMask_[port]) | (inputLevels_[port] & inputMask_[port]));
    return sfr_[address];
}

void SimBoard::setPinInputs(int port, std::uint8_t mask, std::uint8_t levels)
{
    inputMask_.at(port) = mask;
    inputLevels_.at(port) = levels;
}

// ---------------------------------------------------------------------------------------
// Buses

void SimBoard::attachI2C(std::uint8_t address7, std::shared_ptr<I2CDevice> device)
{
    i2cDevices_[address7 & 0x7F] = std::move(device);
}

void SimBoard::detachI2C(std::uint8_t address7) { i2cDevices_.erase(address7 & 0x7F); }

I2CDevice* SimBoard::i2cDevice(std::uint8_t address7) const
{
    const auto it = i2cDevices_.find(address7 & 0x7F);
    return it == i2cDevices_.end() ? nullptr : it->second.get();
}

SpiDevice* SimBoard::spiTarget() const
{
    const bool potSelected = !(portLatch(2) & 0x10); // P2.4 low selects the supply potentiometer
    return (potSelected ? supplyPotSlot : chipSlot).get();
}

// ---------------------------------------------------------------------------------------
// Analog

double SimBoard::inputVolts(std::uint8_t code, bool negative) const
{
    if (code == kAdcVddOrGnd)
        return negative ? 0.0 : adc.vref;
    if (negative && code == kAdcTempSensorOrVref)
        return adc.vref;
    const auto it = adc.volts.find(code);
    return it == adc.volts.end() ? 0.0 : it->second;
}

std::uint16_t SimBoard::conversionCount() const
{
    const std::uint8_t pos = sfr_[sfr::AMX0P], neg = sfr_[sfr::AMX0N];
    const double v = adc.source ? adc.source(pos, neg) : inputVolts(pos, false) - inputVolts(neg, true);
    const long count = std::lround(v / adc.vref * 1023.0);
    return static_cast<std::uint16_t>(std::clamp(count, 0L, 1023L));
}

// ---------------------------------------------------------------------------------------
// The commands. rq = request, rp = reply (byte 0 = 1, byte 1 = done on entry).

void SimBoard::cmdFirmware(const Report&, Report& rp)
{
    rp[2] = firmware.major;
    rp[3] = firmware.minor;
    rp[4] = static_cast<std::uint8_t>(firmware.year >> 8);
    rp[5] = static_cast<std::uint8_t>(firmware.year & 0xFF);
    rp[6] = firmware.month;
    rp[7] = firmware.day;
}

void SimBoard::cmdLeds(const Report& rq, Report& rp)
{
    if (isSet(rq, rp))
        leds = rq[3] & 0x03;
    else if (rq[2] == 1)
        rp[2] = leds;
}

// Set: byte 3 = P1 push-pull pins, byte 4 = P2 pins 0..3, byte 5 = 1 weak pull-ups off.
// Get (not used by the program): the same three bytes in reply bytes 2..4.
void SimBoard::cmdPortModes(const Report& rq, Report& rp)
{
    if (isSet(rq, rp)) {
        setSfr(sfr::P1MDOUT, rq[3]);
        setSfr(sfr::P2MDOUT, static_cast<std::uint8_t>((sfr_[sfr::P2MDOUT] & 0xF0) | (rq[4] & 0x0F)));
        setSfr(sfr::XBR1, static_cast<std::uint8_t>((sfr_[sfr::XBR1] & 0x7F) | (rq[5] == 1 ? 0x80 : 0x00)));
    } else if (rq[2] == 1) {
        rp[2] = sfr_[sfr::P1MDOUT];
        rp[3] = sfr_[sfr::P2MDOUT] & 0x0F;
        rp[4] = (sfr_[sfr::XBR1] & 0x80) ? 1 : 0;
    }
}

void SimBoard::cmdI2COptions(const Report& rq, Report& rp)
{
    if (isSet(rq, rp)) {
        i2c.repeatedStart = rq[3] & 0x01;
        i2c.stoppedWrite = rq[3] & 0x02;
        i2c.twoWireRead = rq[3] & 0x08;
        i2c.extendedHold = rq[4] == 1;
        if (rq[5] == 1) {
            ++i2c.sclToggles;
            rp[2] = i2c.sdaStuck ? 0x01 : 0x00;
        }
    } else if (rq[2] == 1) {
        rp[2] = static_cast<std::uint8_t>((i2c.repeatedStart ? 0x01 : 0) | (i2c.stoppedWrite ? 0x02 : 0)
                                          | (i2c.twoWireRead ? 0x08 : 0));
        rp[3] = i2c.extendedHold ? 0x01 : 0x00;
    }
}

void SimBoard::cmdSmbusClock(const Report& rq, Report& rp)
{
    if (isSet(rq, rp)) {
        smbus.divider = rq[3];
    } else if (rq[2] == 1) {
        rp[2] = smbus.baseMHz;
        rp[3] = smbus.divider;
    }
}

// Byte 2 = 8-bit address (bit 0 = read), 3 = data count n, 4 = register-byte count k,
// 5..4+k = register bytes, write: 5+k..4+k+n = data. Read reply: bytes 2..n+1.
void SimBoard::cmdI2CTransfer(const Report& rq, Report& rp)
{
    ++i2cTransfers;
    const bool read = rq[2] & 0x01;
    const int n = rq[3], k = rq[4];
    const bool fits = read ? (n <= 62 && 5 + k <= 64) : (5 + k + n <= 64);
    if (!fits) {
        rp[1] = kStatusBadRequest;
        return;
    }
    const std::span<const std::uint8_t> regs(rq.data() + 5, static_cast<size_t>(k));
    I2CDevice* dev = i2cDevice(static_cast<std::uint8_t>(rq[2] >> 1));
    bool ack = dev && dev->powered() && !i2c.sdaStuck;
    if (nakI2C_ > 0) {
        --nakI2C_;
        ack = false;
    }
    if (ack && read)
        ack = dev->read(regs, std::span<std::uint8_t>(rp.data() + 2, static_cast<size_t>(n)));
    else if (ack)
        ack = dev->write(regs, std::span<const std::uint8_t>(rq.data() + 5 + k, static_cast<size_t>(n)));
    if (!ack) {
        std::fill(rp.begin() + 2, rp.end(), 0);
        rp[1] = kStatusNak;
    }
}

void SimBoard::cmdSpiMode(const Report& rq, Report& rp)
{
    if (isSet(rq, rp))
        spi.mode = rq[3] & 0x07;
    else if (rq[2] == 1)
        rp[2] = spi.mode;
}

void SimBoard::cmdSpiClock(const Report& rq, Report& rp)
{
    if (isSet(rq, rp)) {
        setSfr(sfr::SPI0CKR, rq[3]);
    } else if (rq[2] == 1) {
        rp[2] = spi.baseMHz;
        rp[3] = sfr_[sfr::SPI0CKR];
    }
}

// Byte 3 = 1 read back, 4 phase change, 5 phase change byte, 6 = count n 1..57, 7.. data.
// The reply carries the bytes clocked in (2..n+1) when byte 3 = 1, else zeros.
void SimBoard::cmdSpiTransfer(const Report& rq, Report& rp)
{
    const int n = rq[6];
    if (n < 1 || n > 57) {
        rp[1] = kStatusBadRequest;
        return;
    }
    ++spi.transfers;
    spi.lastPhaseChange = rq[4] == 1;
    spi.lastPhaseByte = rq[5];
    SpiDevice* dev = spiTarget();
    dev->select();
    for (int i = 0; i < n; ++i) {
        const std::uint8_t in = dev->transfer(rq[7 + i]);
        sfr_[sfr::SPI0DAT] = in;
        if (rq[3] == 1)
            rp[2 + i] = in;
    }
    dev->deselect();
}

void SimBoard::cmdAdcClock(const Report& rq, Report& rp)
{
    if (isSet(rq, rp)) {
        setSfr(sfr::ADC0CF, rq[3]);
    } else if (rq[2] == 1) {
        rp[2] = adc.systemClockMHz;
        rp[3] = sfr_[sfr::ADC0CF];
    }
}

void SimBoard::cmdAdcReference(const Report& rq, Report& rp)
{
    if (isSet(rq, rp))
        setSfr(sfr::REFCON, rq[3]);
    else if (rq[2] == 1)
        rp[2] = sfr_[sfr::REFCON];
}

// Get: the multiplexer and the port registers that decide which pins are analog, in the
// order of the console's captions (AMX0P, AMX0N, P0MDIN, P0SKIP, ... P3SKIP, P4MDIN).
void SimBoard::cmdAdcMux(const Report& rq, Report& rp)
{
    static constexpr std::uint8_t kMuxGet[] = {sfr::AMX0P,  sfr::AMX0N,  sfr::P0MDIN, sfr::P0SKIP,
                                               sfr::P1MDIN, sfr::P1SKIP, sfr::P2MDIN, sfr::P2SKIP,
                                               sfr::P3MDIN, sfr::P3SKIP, sfr::P4MDIN};
    if (isSet(rq, rp)) {
        setSfr(sfr::AMX0P, rq[3]);
        setSfr(sfr::AMX0N, rq[4]);
    } else if (rq[2] == 1) {
        for (size_t i = 0; i < std::size(kMuxGet); ++i)
            rp[2 + i] = sfr_[kMuxGet[i]];
    }
}

void SimBoard::cmdAdcMode(const Report& rq, Report& rp)
{
    if (isSet(rq, rp))
        adc.continuous = rq[3] == 1;
    else if (rq[2] == 1)
        rp[2] = adc.continuous ? 1 : 0;
}

void SimBoard::cmdAdcAveraging(const Report& rq, Report& rp)
{
    if (isSet(rq, rp))
        adc.averaging = rq[3];
    else if (rq[2] == 1)
        rp[2] = adc.averaging;
}

void SimBoard::cmdAdcSampleRate(const Report& rq, Report& rp)
{
    if (isSet(rq, rp)) {
        adc.sampleRate = static_cast<std::uint16_t>(rq[3] << 8 | rq[4]);
    } else if (rq[2] == 1) {
        rp[2] = adc.systemClockMHz;
        rp[3] = static_cast<std::uint8_t>(adc.sampleRate >> 8);
        rp[4] = static_cast<std::uint8_t>(adc.sampleRate & 0xFF);
    }
}

void SimBoard::cmdAdcEnable(const Report& rq, Report& rp)
{
    if (isSet(rq, rp))
        setSfr(sfr::ADC0CN, static_cast<std::uint8_t>((sfr_[sfr::ADC0CN] & 0x7F) | (rq[3] == 1 ? 0x80 : 0)));
    else if (rq[2] == 1)
        rp[2] = (sfr_[sfr::ADC0CN] & 0x80) ? 1 : 0;
}

// Byte 2 = read mode, byte 3 = samples (0: 31, 1: one). The firmware powers the ADC for the
// conversion itself, so a conversion also works while the enable bit is clear.
void SimBoard::cmdAdcConvert(const Report& rq, Report& rp)
{
    adc.lastReadMode = rq[2];
    adc.lastSampleSelect = rq[3];
    ++adc.conversions;
    const std::uint16_t count = conversionCount();
    sfr_[sfr::ADC0H] = static_cast<std::uint8_t>(count >> 8);
    sfr_[sfr::ADC0L] = static_cast<std::uint8_t>(count & 0xFF);
    rp[2] = sfr_[sfr::ADC0H];
    rp[3] = sfr_[sfr::ADC0L];
}

// Get: byte 3 = address; reply byte 2 = access status, byte 3 = value.
// Set: byte 3 = address, byte 4 = value; the reply carries the status in byte 2 too.
void SimBoard::cmdSfr(const Report& rq, Report& rp)
{
    const bool set = isSet(rq, rp);
    if (rp[1] != kStatusDone)
        return;
    const std::uint8_t address = rq[3];
    if (address < 0x80) {
        rp[2] = 0x01; // not an SFR
        return;
    }
    if (set)
        setSfr(address, rq[4]);
    else
        rp[3] = readSfr(address);
}

void SimBoard::cmdExternalAdc(const Report& rq, Report& rp)
{
    extAdc.lastDelay = rq[5];
    if (rq[2] == 1) {
        ++extAdc.conversions;
        const std::int32_t v = std::clamp<std::int32_t>(extAdc.result, -8388608, 8388607);
        const auto u = static_cast<std::uint32_t>(v) & 0xFFFFFF;
        rp[3] = static_cast<std::uint8_t>(u >> 16);
        rp[4] = static_cast<std::uint8_t>(u >> 8);
        rp[5] = static_cast<std::uint8_t>(u);
    } else if (rq[2] == 0) {
        auto& reg = extAdc.registers[rq[3] & 0x0F];
        if (rq[3] & 0x80)
            reg = rq[4];
        rp[2] = static_cast<std::uint8_t>(reg >> 7);
        rp[3] = static_cast<std::uint8_t>(reg << 1);
    } else {
        rp[1] = kStatusBadRequest;
    }
}

} // namespace sim
