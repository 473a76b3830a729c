#pragma once
// Switching the chip's supply from any window and filling that window's VCC list: both
// paint the window registered in g_ActiveForm. Controls that window does not carry are
// left alone.
#include <array>

// 0 = on, 1 = off.
void SetVCC(int state);
// Switches both supplies off, sends the supply potentiometer's set-up frames and fills the
// registered window's VCC list (codes from the calibration file when it exists).
void InitVccOptions();
// A board found by a search after a lost link or Reconnect comes up as from power-up, every
// port latch high (VCC on at the potentiometer's power-up code, the bus switch on SPI, the
// address lines high). Before its state is read back it gets what the windows show, with
// nothing switched on: every loaded window shows both supplies off; the port image, with the
// supply pins off, is written whole; the supply potentiometer gets its set-up frames; the ADC
// multiplexer and the pins it makes analog are written as the console last chose them; the
// console's I2C options are sent. It stops once a link dialog's Retry asked for a search.
void SetUpFreshBoard();
// The supply potentiometer's set-up frames: its data register := 0x5F, then its set-up
// register := 0xC0, through the "Write Reg" row, which keeps the set-up frame afterwards.
void SendSupplyPotSetUp();

// The VCC list: its text and the supply potentiometer code, by list position.
struct VccLevel {
    const char* text;
    const char* code;
};
inline constexpr std::array<VccLevel, 10> kVccLevels{{
    {"2.7", "2C"},
    {"3.0", "35"},
    {"3.3", "3E"},
    {"3.5", "44"},
    {"4.0", "54"},
    {"4.5", "63"},
    {"5.0", "72"},
    {"Min", "00"},
    {"Mid", "3F"},
    {"Max", "7F"},
}};
// Positions 0..6 are the voltages whose texts and codes a calibration file replaces; "Min",
// "Mid" and "Max" never change. The list opens at "5.0".
inline constexpr int kVccListDefault = 6;
