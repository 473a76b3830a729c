#include "motherboard/frmMotherboardDAQ2.h"

frmMotherboardDAQ2::frmMotherboardDAQ2()
    : MbPorts(*this), MbSpiTerminals(*this), MbAdc(*this), MbSupply(*this), MbSupplyPot(*this)
{
    setWindowTitle("DCP Motherboard Control");
}

void frmMotherboardDAQ2::Form_Load() {}
