#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340I2C::buildI2CFrame() { return new QGroupBox("I2C"); }
QWidget* F340I2C::buildRegisterRows(int, int) { return new QWidget; }
QWidget* F340I2C::buildSmbusClock() { return new QWidget; }
void F340I2C::initRegisterRows() {}
void F340I2C::initAddressBox() {}
void F340I2C::cboSMBusFrequency_init() {}
void F340I2C::getI2Coptions() {}
