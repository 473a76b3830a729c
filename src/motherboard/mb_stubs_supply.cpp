#include "motherboard/frmMotherboardDAQ2.h"

#include <QWidget>

void MbAdc::READ_AD() {}
QWidget* MbAdc::buildAdcFrame() { return new QWidget; }
void MbSupply::OptVCC_Click(int) {}
void MbSupply::OptVCCMinus_Click(int) {}
void MbSupply::ChkTrack_Click() {}
QWidget* MbSupply::buildSupplyFrame() { return new QWidget; }
void MbSupplyPot::cmdSPIWrite_Click() {}
void MbSupplyPot::cmdSPIWrite2_Click() {}
QWidget* MbSupplyPot::buildSupplyPotFrame() { return new QWidget; }
