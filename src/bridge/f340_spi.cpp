#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Spi::buildSpiFrame() { return new QGroupBox("SPI"); }
QWidget* F340Spi::buildSpiClock() { return new QWidget; }
void F340Spi::getSPIconfig() {}
