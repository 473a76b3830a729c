#pragma once
// The motherboard's pin map: what each bridge port pin P0.0 .. P2.7 is wired to, the caption
// of its level box `chkPData` (which the bridge console copies onto its own pin boxes), and
// the state the motherboard window's power-up pattern leaves it in. Pure data, no windows.
#include <QString>

#include <array>
#include <cstdint>

namespace motherboard {

// Pins of ports P0, P1 and P2; index = port * 8 + bit.
inline constexpr int kPinCount = 24;

struct PinRow {
    const char* pin;     // "P0.0": also the caption of the drive-enable box `chkP0OutEn`
    const char* caption; // caption of the level box `chkPData`: the motherboard wiring
    bool powerUpDrive;   // push-pull after the power-up pattern
    bool powerUpLevel;   // output high after the power-up pattern
};

const std::array<PinRow, kPinCount>& pinTable();

// Caption of `chkPData`(index); empty for an index that is no motherboard pin.
QString pinCaption(int index);
// Caption of `chkP0OutEn`(index), the pin's name; empty outside 0..23.
QString driveCaption(int index);

// The six bridge registers the port image is written to, in write order: the output
// latches of P0, P1, P2, then their output modes (bit set = push-pull).
struct ImageRegister {
    std::uint8_t address;
    const char* rowCaption; // caption `lblPbuf` of the window's register panel row
};
inline constexpr std::array<ImageRegister, 6> kImageRegisters{{
    {0x80, "P0 Data"},
    {0x90, "P1 Data"},
    {0xA0, "P2 Data"},
    {0xA4, "P0 Enable"},
    {0xA5, "P1Enable"},
    {0xA6, "P2 Enable"},
}};

// Image bytes 0..5 (levels of P0..P2, then drive enables of P0..P2) that the power-up
// pattern leaves, as the pin table gives them.
std::array<std::uint8_t, 6> powerUpImage();

} // namespace motherboard
