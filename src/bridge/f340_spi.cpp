#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Spi::buildSpiFrame() { return new QGroupBox("SPI"); }
QWidget* F340Spi::buildSpiClock() { return new QWidget; }
void F340Spi::getSPIconfig() {}
void F340Spi::cmdSPIWrite_Click() {}
void F340Spi::cboSPIClock_Click() {}
void F340Spi::cboSPIclock_init() {}
