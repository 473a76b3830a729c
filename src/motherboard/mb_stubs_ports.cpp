#include "motherboard/frmMotherboardDAQ2.h"

#include <QWidget>

void MbPorts::chkPData_Click(int) {}
void MbPorts::chkP0OutEn_Click(int) {}
void MbPorts::cmdWrtPipe1_Click() {}
void MbPorts::cmdReadPipe1_Click() {}
QWidget* MbPorts::buildPortFrames() { return new QWidget; }
void MbSpiTerminals::cmdSPIOWrite2_Click() {}
void MbSpiTerminals::cmdSPIOWrite3_Click() {}
QWidget* MbSpiTerminals::buildSpiTerminals() { return new QWidget; }
