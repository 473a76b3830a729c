#include "shell/frmStartup.h"

frmStartup::frmStartup() { setWindowTitle("Vantrel DCP Devices Evaluation Software Main Startup Menu"); }

void frmStartup::Form_Load() {}
