#include "motherboard/FrmVCCCal.h"

FrmVCCCal::FrmVCCCal() { setWindowTitle("DCP VCC Calibration"); }

void FrmVCCCal::Form_Load() {}
