#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Sfr::buildSfrFrames() { return new QGroupBox("SFRs "); }
void F340Sfr::cmdGetSDFValue_Click() {}
void F340Sfr::cmdSetSFR_Click() {}
void F340Sfr::cmdReadSKF_Click() {}
