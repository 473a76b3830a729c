#include "sim/analog_board.h"

#include <algorithm>

namespace sim {

namespace {

// The board's ADC inputs as SimBoard::adc.source; a named type so that analogBoard() can
// find the board it belongs to.
struct AnalogSource {
    std::shared_ptr<AnalogBoard> analog;
    double operator()(std::uint8_t positive, std::uint8_t negative) const
    {
        return analog->conversionVolts(positive, negative);
    }
};

constexpr std::uint8_t kP2Vcc = 0x20;    // P2.5: VCC regulator on
constexpr std::uint8_t kP2Vminus = 0x40; // P2.6: V-minus regulator on

} // namespace

// ---------------------------------------------------------------------------------------
// Supply potentiometer

void SupplyPotentiometer::select()
{
    RecordingSpiDevice::select();
    position_ = 0;
    addressed_ = false;
    instruction_ = 0;
}

std::uint8_t SupplyPotentiometer::answer(std::uint8_t mosi)
{
    std::uint8_t out = 0xFF;
    switch (position_++) {
    case 0:
        addressed_ = mosi == kDeviceByte;
        break;
    case 1:
        instruction_ = mosi;
        break;
    case 2: {
        if (!addressed_)
            break;
        const std::uint8_t reg = instruction_ & 0x0F;
        std::uint8_t* target = reg == kDataRegister ? &data : reg == kSetupRegister ? &setup : nullptr;
        if (!target)
            break;
        if ((instruction_ & 0xF0) == kRead) {
            out = *target;
        } else if ((instruction_ & 0xF0) == kWrite) {
            *target = reg == kDataRegister ? (mosi & 0x7F) : mosi;
            ++writes;
        }
        break;
    }
    default:
        break; // bytes beyond the frame are ignored
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Supplies and inputs

AnalogBoard::AnalogBoard(SimBoard& board, const AnalogConfig& config)
    : config(config), board_(board), noise_(config.noiseSeed)
{
}

bool AnalogBoard::vccOn() const { return board_.portPins(2) & kP2Vcc; }

double AnalogBoard::vcc() const
{
    if (!vccOn())
        return 0.0;
    const double nominal = kVccBase + kVccPerCode * supplyPot->data;
    return std::max(0.0, nominal * (1.0 + config.supplyGainError) + config.supplyOffsetVolts);
}

bool AnalogBoard::vminusOn() const { return board_.portPins(2) & kP2Vminus; }

double AnalogBoard::vminus() const { return vminusOn() ? config.vminusVolts : 0.0; }

double AnalogBoard::inputVolts(std::uint8_t code, bool negative) const
{
    if (code == kAdcVddOrGnd)
        return negative ? 0.0 : board_.adc.vref;
    if (negative && code == kAdcTempSensorOrVref)
        return board_.adc.vref;
    if (code == kVin4)
        return vcc() / 2;
    if (code >= kVin0 && code < kVin4)
        return wiperVolts ? wiperVolts(code - kVin0) / 2 : 0.0;
    const auto it = board_.adc.volts.find(code);
    return it == board_.adc.volts.end() ? 0.0 : it->second;
}

double AnalogBoard::conversionVolts(std::uint8_t positive, std::uint8_t negative)
{
    double v = inputVolts(positive, false) - inputVolts(negative, true);
    if (config.noiseVolts > 0 && (noisy(positive) || noisy(negative)))
        v += std::uniform_real_distribution<double>(-config.noiseVolts, config.noiseVolts)(noise_);
    return v;
}

std::shared_ptr<AnalogBoard> attachAnalogBoard(SimBoard& board, const AnalogConfig& config)
{
    auto analog = std::make_shared<AnalogBoard>(board, config);
    board.supplyPotSlot = analog->supplyPot;
    board.adc.source = AnalogSource{analog};
    return analog;
}

AnalogBoard* analogBoard(SimBoard& board)
{
    const auto* source = board.adc.source.target<AnalogSource>();
    return source ? source->analog.get() : nullptr;
}

} // namespace sim
