#include "motherboard/pin_table.h"

namespace motherboard {

namespace {

// clang-format off
constexpr std::array<PinRow, kPinCount> kPins{{
    // pin    level-box caption                  drive  level
    {"P0.0", "P0.0 N103 NO SCLK",               true,  false}, // SPI clock
    {"P0.1", "P0.1 N102 NO MISO",               false, true},  // SPI data in
    {"P0.2", "P0.2 N101 NO MOSI",               true,  false}, // SPI data out
    {"P0.3", "P0.3 N100 NO CSEL",               false, false}, // SPI chip select
    {"P0.4", "P0.4 I2C SDA",                    false, false},
    {"P0.5", "P0.5 I2C SCL",                    false, false},
    {"P0.6", "P0.6 N100 NC /A0/  /CS1/  /",     false, false}, // device address or control lines
    {"P0.7", "P0.7 N101 NC/ A1/  /CS2/ STORE",  false, false},
    {"P1.0", "P1.0 N102 NC  /A2/  /  /MUTE",    false, false},
    {"P1.1", "P1.1 N103 NC /A3/  /INC/UP",      false, false},
    {"P1.2", "P1.2 JP6-P7 SHDNPWP/UD/DN",       false, false},
    {"P1.3", "P1.3 Mother Board Switch",        true,  true},  // bus switch: high = SPI
    {"P1.4", "P1.4 NC",                         false, false},
    {"P1.5", "P1.5 NC",                         false, false},
    {"P1.6", "P1.6 VIN0",                       false, false}, // ADC inputs
    {"P1.7", "P1.7 VIN1",                       false, false},
    {"P2.0", "P2.0 VIN2",                       false, false},
    {"P2.1", "P2.1 VIN3",                       false, false},
    {"P2.2", "P2.2 VIN4 VCC",                   false, false}, // VCC/2
    {"P2.3", "P2.3 JP8-P5",                     true,  false},
    {"P2.4", "P2.4 DCP CS U5",                  true,  true},  // supply potentiometer select, low = selected
    {"P2.5", "P2.5 /SHDN V+",                   true,  false}, // VCC on when high
    {"P2.6", "P2.6 /SHDN V-",                   true,  false}, // V-minus on when high
    {"P2.7", "P2.7 LED",                        true,  false},
}};
// clang-format on

bool isPin(int index) { return index >= 0 && index < kPinCount; }

} // namespace

const std::array<PinRow, kPinCount>& pinTable() { return kPins; }

QString pinCaption(int index) { return isPin(index) ? QString(kPins[static_cast<size_t>(index)].caption) : QString(); }

QString driveCaption(int index) { return isPin(index) ? QString(kPins[static_cast<size_t>(index)].pin) : QString(); }

std::array<std::uint8_t, 6> powerUpImage()
{
    std::array<std::uint8_t, 6> image{};
    for (int i = 0; i < kPinCount; ++i) {
        const auto bit = static_cast<std::uint8_t>(1u << (i % 8));
        const auto& row = kPins[static_cast<size_t>(i)];
        if (row.powerUpLevel)
            image[static_cast<size_t>(i / 8)] |= bit;
        if (row.powerUpDrive)
            image[static_cast<size_t>(3 + i / 8)] |= bit;
    }
    return image;
}

} // namespace motherboard
