#pragma once
// Switching the chip's supply from any window and filling that window's VCC list: both
// paint the window registered in g_ActiveForm.

// 0 = on, 1 = off.
void SetVCC(int state);
// Switches both supplies off, sends the supply potentiometer's set-up frames and fills the
// registered window's VCC list (codes from the calibration file when it exists).
void InitVccOptions();
