#include "quad/quad_device_link.h"

namespace {

QuadDeviceLink standIn()
{
    return {
        [] { return QStringLiteral("50"); },
        [] { return QStringLiteral("3"); },
        [](int) { return QStringLiteral("0.000"); },
        [](bool) {},
    };
}

QuadDeviceLink& slot(quad::Bus bus)
{
    static QuadDeviceLink i2c = standIn(), spi = standIn();
    return bus == quad::Bus::I2C ? i2c : spi;
}

} // namespace

QuadDeviceLink& quadDeviceLink(quad::Bus bus) { return slot(bus); }

void resetQuadDeviceLinks()
{
    slot(quad::Bus::I2C) = standIn();
    slot(quad::Bus::SPI) = standIn();
}
