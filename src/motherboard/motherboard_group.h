#pragma once
// The motherboard window is built from groups (ports, SPI terminals, ADC channels, supply
// switching, supply potentiometer), each a base of frmMotherboardDAQ2 holding its own named
// controls and handlers, so callers reach them all on the window itself.
class frmMotherboardDAQ2;

class MotherboardGroup {
protected:
    explicit MotherboardGroup(frmMotherboardDAQ2& window) : m(window) {}
    frmMotherboardDAQ2& m; // the whole window: the other groups' controls and handlers
};
