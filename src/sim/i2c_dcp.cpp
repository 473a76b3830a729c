#include "sim/i2c_dcp.h"

#include <algorithm>

namespace sim {

I2cDcp::I2cDcp(SimBoard& board, AnalogBoard& analog, const I2cDcpModel& m) : model(m), board_(board), analog_(analog)
{
    // Wipers stored at mid-scale; a new chip's other registers hold 0.
    for (int k = 0; k < model.channels; ++k)
        nv_[static_cast<std::uint8_t>(k)] = static_cast<std::uint8_t>(std::min(model.taps / 2, 0xFF));
    address7_ = pinAddress7();
}

bool I2cDcp::supplied() const { return analog_.vccOn(); }
bool I2cDcp::busSelected() const { return !board_.pin(1, 3); }
bool I2cDcp::writeProtected() const { return !board_.pin(1, 2); }

std::uint8_t I2cDcp::pinAddress7() const
{
    const int a = board_.pin(0, 6) + 2 * board_.pin(0, 7) + 4 * board_.pin(1, 0) + 8 * board_.pin(1, 1);
    return static_cast<std::uint8_t>(model.base7 + a);
}

void I2cDcp::followSupply()
{
    const bool now = supplied();
    if (now && !wasSupplied_) {
        for (int i = 0; i < 256; ++i)
            setReg(i, nv_[size_t(i)]);
        setReg(model.acrAddress, 0x40);
    } else if (!now && wasSupplied_) {
        for (int i = 0; i < 256; ++i)
            setReg(i, 0);
    }
    wasSupplied_ = now;
}

double I2cDcp::wiperVolts(int channel)
{
    followSupply();
    if (channel < 0 || channel >= model.channels || !supplied() || !(acr() & 0x40))
        return 0.0;
    return analog_.vcc() * std::min(wcr(channel), model.taps) / model.taps;
}

std::uint8_t I2cDcp::readRegister(std::uint8_t index)
{
    followSupply();
    return reg(index);
}

void I2cDcp::writeRegister(std::uint8_t index, std::uint8_t value)
{
    followSupply();
    if (writeProtected())
        return;
    setReg(index, value);
    if (index == model.acrAddress)
        return;
    const bool wiper = index < model.channels;
    if (!wiper || !(acr() & 0x80))
        nv_[index] = value;
}

std::shared_ptr<I2cDcp> installI2cDcp(SimBoard& board, const I2cDcpModel& model)
{
    AnalogBoard* analog = analogBoard(board);
    if (!analog)
        analog = attachAnalogBoard(board).get();
    auto dcp = std::make_shared<I2cDcp>(board, *analog, model);
    board.attachI2C(dcp->address7(), dcp);
    std::weak_ptr<I2cDcp> weak = dcp;
    analog->wiperVolts = [weak](int channel) {
        auto d = weak.lock();
        return d ? d->wiperVolts(channel) : 0.0;
    };
    board.pinListeners.push_back([&board, weak](int port, std::uint8_t, std::uint8_t) {
        auto d = weak.lock();
        if (!d)
            return;
        if (port == 2)
            d->followSupply();
        if (port != 0 && port != 1)
            return;
        const std::uint8_t now = d->pinAddress7();
        if (now == d->address7())
            return;
        if (board.i2cDevice(d->address7()) == d.get())
            board.detachI2C(d->address7());
        d->setAddress7(now);
        board.attachI2C(now, d);
    });
    return dcp;
}

} // namespace sim
