#include "sim/parts.h"

#include "sim/i2c_dcp.h"
#include "sim/k4736.h"
#include "sim/k6627.h"
#include "sim/pushbutton_part.h"
#include "sim/quad_part.h"
#include "sim/spi_parts.h"
#include "sim/updown_part.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace sim {

namespace {

template <std::uint8_t Base7, int Channels, int Taps, std::uint8_t Acr>
void installI2c(SimBoard& board)
{
    installI2cDcp(board, {.base7 = Base7, .channels = Channels, .taps = Taps, .acrAddress = Acr});
}

// The install functions return the part for tests; the registry only needs it on the board.
template <auto Install>
void installPart(SimBoard& board)
{
    Install(board);
}

void installK4736Part(SimBoard& board) { installK4736(board); }
void installK6627Part(SimBoard& board) { installK6627(board); }
void installUpDown(SimBoard& board) { installUpDownPart(board); }
void installPushButton(SimBoard& board) { installPushButtonPart(board); }

// Write addresses 50 and A0 are the 7-bit addresses 0x28 and 0x50.
constexpr SimPart kParts[] = {
    {"ZN3710", "I2C > Device Select > ZN3710", "I2C, 1 channel, 128 taps, address 50, ACR at 02",
     &installI2c<0x28, 1, 128, 0x02>},
    {"ZN3740", "I2C > Device Select > ZN3740", "I2C, 4 channels, 128 taps, address A0, ACR at 08",
     &installI2c<0x50, 4, 128, 0x08>},
    {"ZN3750", "I2C > Device Select > ZN3750", "I2C, 4 channels, 256 taps, address A0, ACR at 10",
     &installI2c<0x50, 4, 256, 0x10>},
    {"ZN3810", "I2C > Device Select > ZN3810", "I2C, 1 channel, 128 taps, address 50, ACR at 02",
     &installI2c<0x28, 1, 128, 0x02>},
    {"K4736", "I2C > I2C Parameter File", "I2C, 4 wipers, 64 taps, 4 register banks, address 5E; up/down pins",
     &installK4736Part},
    {"K6627", "I2C > I2C Parameter File", "I2C, 1 wiper, 1024 taps, 4 data registers, address 50",
     &installK6627Part},
    {"k4744", "I2C", "I2C quad, 4 pots, 256 taps, 16 data registers, address 50",
     &installPart<&QuadI2CPart::install>},
    {"k4731", "SPI", "SPI quad, 4 pots, 256 taps, 16 data registers, ID 50",
     &installPart<&QuadSpiPart::install>},
    {"ZN3920", "SPI", "SPI, 4 channels, 256 taps, no ID byte", &installPart<&installZN3920>},
    {"ZN3930", "SPI", "SPI, 4 channels, 128 taps, ID 50", &installPart<&installZN3930>},
    {"K6623", "SPI", "SPI, 1 wiper, 1024 taps, 4 data registers, ID 50", &installPart<&installK6623>},
    {"updown", "Up /Down", "two up/down pots, 101 positions, on port pins; wipers on VIN0, VIN1",
     &installUpDown},
    {"pushbutton", "Push Button", "one push-button pot, 101 positions, on port pins; wiper on VIN0",
     &installPushButton},
};

bool sameName(const std::string& a, const char* b)
{
    const std::string bs(b);
    return a.size() == bs.size()
        && std::equal(a.begin(), a.end(), bs.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::span<const SimPart> simParts() { return kParts; }

const SimPart* findSimPart(const std::string& name)
{
    for (const SimPart& p : kParts)
        if (sameName(name, p.name))
            return &p;
    return nullptr;
}

const SimPart& defaultSimPart() { return kParts[0]; }

std::string simPartList()
{
    std::string out;
    for (const SimPart& p : kParts) {
        char line[256];
        std::snprintf(line, sizeof line, "%-11s %-30s %s%s\n", p.name, p.menuPick, p.description,
                      &p == &defaultSimPart() ? " (default)" : "");
        out += line;
    }
    return out;
}

} // namespace sim
