#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Adc::buildAdcFrame() { return new QGroupBox("ADC Control"); }
QWidget* F340Adc::buildExternalAdcFrames() { return new QWidget; }
void F340Adc::initAdcLists() {}
void F340Adc::cmdMuxWrite_Click() {}
void F340Adc::cmdADCWrEn_Click() {}
void F340Adc::cmdADCRDData_Click() {}
