#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Gpio::buildGpioFrame() { return new QGroupBox("GPIO"); }
void F340Gpio::initPinCaptions() {}
void F340Gpio::getGPconf() {}
void F340Gpio::getGPvalue() {}
