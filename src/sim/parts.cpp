#include "sim/parts.h"

#include "sim/i2c_dcp.h"

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
        std::snprintf(line, sizeof line, "%-8s %-30s %s%s\n", p.name, p.menuPick, p.description,
                      &p == &defaultSimPart() ? " (default)" : "");
        out += line;
    }
    return out;
}

} // namespace sim
