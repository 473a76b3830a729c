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
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

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

// The up/down part's faults and geometry, for runs that must find something.
constexpr PartOption kUpDownOptions[] = {
    {"positions", "wiper positions 0 .. N-1 (default 101)", 2, 32767, true},
    {"start", "stored position of a fresh chip (default 50)", 0, 32766, true},
    {"store-fails-after", "store cycles that hold; later stores keep the old position", 0, 2147483647, true},
    {"stuck-at", "the wiper output stays at this position", 0, 32766, true},
    {"noise-mv", "peak noise on the wiper voltage in millivolts (default 0)", 0, 1000, false},
    {"noise-seed", "seed of that noise (default 1)", 0, 4294967295.0, true},
};

UpDownConfig upDownConfig(const PartSettings& s)
{
    UpDownConfig c;
    const auto given = [&s](const char* name, auto& field) {
        if (const auto it = s.find(name); it != s.end())
            field = static_cast<std::remove_reference_t<decltype(field)>>(it->second);
    };
    given("positions", c.positions);
    given("start", c.startPosition);
    given("store-fails-after", c.storeFailsAfter);
    given("stuck-at", c.stuckAt);
    given("noise-seed", c.noiseSeed);
    if (const auto it = s.find("noise-mv"); it != s.end())
        c.noiseVolts = it->second / 1000;
    return c;
}

void installUpDownWith(SimBoard& board, const PartSettings& s) { installUpDownPart(board, upDownConfig(s)); }

std::string checkUpDown(const PartSettings& s)
{
    const int positions = upDownConfig(s).positions;
    for (const char* name : {"start", "stuck-at"})
        if (const auto it = s.find(name); it != s.end() && it->second > positions - 1)
            return std::string("updown option ") + name + " wants a position from 0 to " + std::to_string(positions - 1)
                 + " (positions - 1)";
    return {};
}
void installPushButton(SimBoard& board) { installPushButtonPart(board); }

// The way to each part's window in dcpeval, as a user takes it: the menu pick, then the
// window's Device Select entry, or a row of an example parameter table and the table's Return.
#define DCP_I2C_ROW(part) "I2C > Device Select > I2C Parameter File > examples/i2c_parameters.csv > row " part " > Return"
#define DCP_SPI_ROW(part) "SPI > Device Select > SPI Parameter File > examples/spi_parameters.csv > row " part " > Return"

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
    {"K4736", DCP_I2C_ROW("K4736"), "I2C, 4 wipers, 64 taps, 4 register banks, address 5E; up/down pins",
     &installK4736Part},
    {"K6627", DCP_I2C_ROW("K6627"), "I2C, 1 wiper, 1024 taps, 4 data registers, address 50", &installK6627Part},
    {"k4744", DCP_I2C_ROW("K4744"), "I2C quad, 4 pots, 256 taps, 16 data registers, address 50",
     &installPart<&QuadI2CPart::install>},
    {"k4731", DCP_SPI_ROW("K4731"), "SPI quad, 4 pots, 256 taps, 16 data registers, ID 50",
     &installPart<&QuadSpiPart::install>},
    {"ZN3920", "SPI > Device Select > ZN3920", "SPI, 4 channels, 256 taps, no ID byte", &installPart<&installZN3920>},
    {"ZN3930", "SPI > Device Select > ZN3930", "SPI, 4 channels, 128 taps, ID 50", &installPart<&installZN3930>},
    {"K6623", DCP_SPI_ROW("K6623"), "SPI, 1 wiper, 1024 taps, 4 data registers, ID 50", &installPart<&installK6623>},
    {"updown", "Up /Down", "two up/down pots, 101 positions, on port pins; wipers on VIN0, VIN1",
     &installUpDown, kUpDownOptions, &installUpDownWith, &checkUpDown},
    {"pushbutton", "Push Button", "one push-button pot, 101 positions, on port pins; wiper on VIN0",
     &installPushButton},
};

#undef DCP_I2C_ROW
#undef DCP_SPI_ROW

bool sameName(const std::string& a, const char* b)
{
    const std::string bs(b);
    return a.size() == bs.size()
        && std::equal(a.begin(), a.end(), bs.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string optionNames(const SimPart& part)
{
    std::string names;
    for (const PartOption& o : part.options)
        names += (names.empty() ? "" : ", ") + std::string(o.name);
    return names;
}

// One NAME=VALUE of `part` into *settings; the reason when it is no setting of the part.
std::string readSetting(const SimPart& part, const std::string& item, PartSettings* settings)
{
    const std::string prefix = std::string(part.name) + " option ";
    const size_t eq = item.find('=');
    const std::string name = lower(item.substr(0, eq));
    const PartOption* option = nullptr;
    for (const PartOption& o : part.options)
        if (name == o.name)
            option = &o;
    if (!option)
        return "part " + std::string(part.name) + " has no option \"" + item.substr(0, eq) + "\"; its options: "
             + optionNames(part);
    if (eq == std::string::npos)
        return prefix + option->name + " wants a value: " + option->name + "=VALUE";
    const std::string text = item.substr(eq + 1);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    const bool number = !text.empty() && end == text.c_str() + text.size() && std::isfinite(v)
                     && !std::isspace(static_cast<unsigned char>(text.front()));
    if (!number || v < option->min || v > option->max || (option->whole && v != std::floor(v))) {
        char range[96];
        std::snprintf(range, sizeof range, "%s from %.15g to %.15g", option->whole ? "a whole number" : "a number",
                      option->min, option->max);
        return prefix + option->name + " wants " + range + ", not \"" + text + "\"";
    }
    if (!settings->emplace(option->name, v).second)
        return prefix + option->name + " is given twice";
    return {};
}

} // namespace

void PartChoice::install(SimBoard& board) const
{
    const SimPart& p = part ? *part : defaultSimPart();
    if (p.installWith)
        p.installWith(board, settings);
    else
        p.install(board);
}

std::optional<PartChoice> parsePartChoice(const std::string& text, std::string* error)
{
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    PartChoice choice;
    choice.part = findSimPart(name);
    if (!choice.part) {
        *error = "no simulated part \"" + name + "\"; these are known:\n" + simPartList();
        return std::nullopt;
    }
    if (colon == std::string::npos)
        return choice;
    const SimPart& part = *choice.part;
    if (part.options.empty()) {
        *error = "part " + std::string(part.name) + " takes no options";
        return std::nullopt;
    }
    const std::string list = text.substr(colon + 1);
    size_t from = 0;
    for (;;) {
        const size_t comma = list.find(',', from);
        const std::string item = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (item.empty()) {
            *error = "part " + std::string(part.name) + ": an empty option in \"" + list + "\"; its options: "
                   + optionNames(part);
            return std::nullopt;
        }
        if (std::string reason = readSetting(part, item, &choice.settings); !reason.empty()) {
            *error = reason;
            return std::nullopt;
        }
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    if (part.checkSettings) {
        if (std::string reason = part.checkSettings(choice.settings); !reason.empty()) {
            *error = reason;
            return std::nullopt;
        }
    }
    return choice;
}

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
        std::snprintf(line, sizeof line, "%-11s %s%s\n%-11s in dcpeval: %s\n", p.name, p.description,
                      &p == &defaultSimPart() ? " (default)" : "", "", p.menuPick);
        out += line;
        for (const PartOption& o : p.options) {
            const std::string setting = std::string(p.name) + ":" + o.name + "=N";
            std::snprintf(line, sizeof line, "%-11s %-30s %s\n", "", setting.c_str(), o.help);
            out += line;
        }
    }
    return out;
}

} // namespace sim
