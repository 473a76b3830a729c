#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Gpio::buildGpioFrame() { return new QGroupBox("GPIO"); }
void F340Gpio::initPinCaptions() {}
void F340Gpio::getGPconf() {}
void F340Gpio::getGPvalue() {}
void F340Gpio::cmdWrGPData_Click(int) {}
void F340Gpio::cmdRdGPData_Click(int) {}
void F340Gpio::cmdWrOC_Click(int) {}
void F340Gpio::cmdRdOC_Click(int) {}
void F340Gpio::cmdWrGPAnalog_Click(int) {}
void F340Gpio::cmdRdGPAnalog_Click(int) {}
void F340Gpio::cmdResetGPIO_Click() {}
void F340Gpio::cmdWriteReadAll_Click() {}
void F340Gpio::cmdClearAnalog_Click() {}
void F340Gpio::cmdSampleGP_Click() {}
void F340Gpio::chkDINP1_Click(int) {}
void F340Gpio::chkDINP2_Click(int) {}
