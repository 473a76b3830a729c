#include "bridge/frmMainF340.h"

#include <QGroupBox>

QWidget* F340Sfr::buildSfrFrames() { return new QGroupBox("SFRs "); }
