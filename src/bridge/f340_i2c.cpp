#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340I2C::buildI2CFrame() { return new QGroupBox("I2C"); }
QWidget* F340I2C::buildRegisterRows(int, int) { return new QWidget; }
QWidget* F340I2C::buildSmbusClock() { return new QWidget; }
void F340I2C::initRegisterRows() {}
void F340I2C::initAddressBox() {}
void F340I2C::cboSMBusFrequency_init() {}
void F340I2C::getI2Coptions() {}
void F340I2C::cmdRead_Click() {}
void F340I2C::cmdWrite_Click() {}
void F340I2C::cmdClearReadTextBoxes_Click() {}
int F340I2C::setI2Coptions(std::uint8_t) { return 8; }
std::uint8_t F340I2C::ReadWriteDataFile(std::uint8_t, std::vector<std::uint8_t>&) { return 0; }
