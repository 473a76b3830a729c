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
