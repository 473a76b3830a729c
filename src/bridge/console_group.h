#pragma once
// The bridge console is built from groups (I2C, SPI, GPIO, SFR, ADC): each group holds its
// own named controls and handlers and is a base of frmMainF340, so a caller reaches every
// control and handler on the console itself (forms().frmMainF340().txtNumToRead).
class frmMainF340;

class ConsoleGroup {
protected:
    explicit ConsoleGroup(frmMainF340& console) : f(console) {}
    frmMainF340& f; // the console: the other groups' controls and handlers
};
