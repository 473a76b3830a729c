#pragma once
// The motherboard window: the motherboard's service to the device windows (port image and
// port write, SPI terminals, ADC channels, supplies, supply potentiometer, an I2C panel).
#include "motherboard/mb_adc.h"
#include "motherboard/mb_ports.h"
#include "motherboard/mb_spi_terminals.h"
#include "motherboard/mb_supply.h"
#include "motherboard/mb_supply_pot.h"

#include <QWidget>

class frmMotherboardDAQ2 : public QWidget,
                           public MbPorts,
                           public MbSpiTerminals,
                           public MbAdc,
                           public MbSupply,
                           public MbSupplyPot {
    Q_OBJECT
public:
    frmMotherboardDAQ2();

    void Form_Load();
};
