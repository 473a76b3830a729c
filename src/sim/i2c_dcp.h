#pragma once
// A generic I2C digitally controlled potentiometer on the daughter board: one wiper counter
// register (WCR) per channel at registers 0..channels-1, an access control register (ACR),
// and a non-volatile store behind every register but the ACR.
//
//   ACR bit 7 = 1: wiper writes go to the WCR only (volatile); 0: to the WCR and its
//   non-volatile copy. ACR bit 6 = 1: running; 0: shut down (wiper at 0 V). The ACR starts
//   at 0x40 (non-volatile writes, running) at every power-up.
//   Other registers (general purpose) are non-volatile bytes.
//
// Wiring as on the daughter boards: the chip takes its supply from VCC (P2.5) and answers on
// the bus only while the bus switch P1.3 is low (I2C selected); unpowered it loses its
// volatile registers and each WCR reloads its non-volatile value at the next power-up. Its
// 7-bit address is base + A0 + 2 A1 + 4 A2 + 8 A3, the pins on P0.6, P0.7, P1.0, P1.1, and it
// moves when they change. P1.2 low write-protects it: writes are acknowledged and ignored.
// Its wiper voltage, VCC x min(WCR, taps) / taps, reaches VIN0..VIN3 through the analog board.
#include "sim/analog_board.h"
#include "sim/i2c_devices.h"
#include "sim/sim_board.h"

#include <array>
#include <cstdint>
#include <memory>

namespace sim {

struct I2cDcpModel {
    std::uint8_t base7 = 0x28; // with every address pin low
    int channels = 1;
    int taps = 128;
    std::uint8_t acrAddress = 0x02;
};

class I2cDcp : public RegisterBankDevice {
public:
    I2cDcp(SimBoard& board, AnalogBoard& analog, const I2cDcpModel& model);

    const I2cDcpModel model;

    bool powered() const override { return supplied() && busSelected(); }
    bool supplied() const;
    bool busSelected() const;
    bool writeProtected() const;

    int wcr(int channel) const { return reg(channel); }
    std::uint8_t acr() const { return reg(model.acrAddress); }
    std::uint8_t stored(int index) const { return nv_[static_cast<std::uint8_t>(index)]; }
    void setStored(int index, std::uint8_t value) { nv_[static_cast<std::uint8_t>(index)] = value; }
    std::uint8_t address7() const { return address7_; }
    // The address the pins select now.
    std::uint8_t pinAddress7() const;
    double wiperVolts(int channel);

    // Follows the supply: loses the volatile registers while off, reloads them at power-up.
    void followSupply();
    void setAddress7(std::uint8_t a) { address7_ = a; }

protected:
    std::uint8_t readRegister(std::uint8_t index) override;
    void writeRegister(std::uint8_t index, std::uint8_t value) override;

private:
    SimBoard& board_;
    AnalogBoard& analog_;
    std::array<std::uint8_t, 256> nv_{};
    bool wasSupplied_ = false;
    std::uint8_t address7_ = 0;
};

// Puts the chip on board (with the analog board, attached when missing), at the address its
// pins select, following them and the supply. Returns it for tests.
std::shared_ptr<I2cDcp> installI2cDcp(SimBoard& board, const I2cDcpModel& model);

} // namespace sim
