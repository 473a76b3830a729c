#include "quad/quad_device_link.h"

QuadDeviceLink quadStandInLink()
{
    return {
        [] { return QStringLiteral("50"); },
        [] { return QStringLiteral("3"); },
        [](int) { return QStringLiteral("0.000"); },
        [](bool) {},
    };
}

namespace {

QuadDeviceLink& slot(quad::Bus bus)
{
    static QuadDeviceLink i2c = quadStandInLink(), spi = quadStandInLink();
    return bus == quad::Bus::I2C ? i2c : spi;
}

} // namespace

QuadDeviceLink& quadDeviceLink(quad::Bus bus) { return slot(bus); }

void resetQuadDeviceLinks()
{
    slot(quad::Bus::I2C) = quadStandInLink();
    slot(quad::Bus::SPI) = quadStandInLink();
}
