#pragma once
// What a quad console uses of its device window (the I2C window for the I2C console, the SPI
// window for the SPI console): the device address or ID text, the SPI read count, the wiper
// sample of one pot, and taking the whole window out of use while increment/decrement mode
// lasts. The device windows fill their link when they load; until one does, the console
// works with the part's strapped address "50", a read count of "3" and no wiper sample.
#include "quad/quad_instruction.h"

#include <QString>

#include <functional>

struct QuadDeviceLink {
    std::function<QString()> deviceAddress; // txtDeviceAdr as typed
    std::function<QString()> readCount;     // SPI only: txtSPIRDQuantity as typed
    // cmdSampleWiper_Click(pot), then the caption of lblWiperVolts(pot).
    std::function<QString(int pot)> sampleWiper;
    // The device window in use (true) or out of use (false).
    std::function<void(bool inUse)> setInUse;
};

// The stand-ins above.
QuadDeviceLink quadStandInLink();
// The link of each console; reset() restores the stand-ins.
QuadDeviceLink& quadDeviceLink(quad::Bus bus);
void resetQuadDeviceLinks();
