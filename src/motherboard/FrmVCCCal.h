#pragma once
// The VCC calibration window.
#include "shell/activeform.h"

#include <QWidget>

class FrmVCCCal : public QWidget, public DeviceFormControls {
    Q_OBJECT
public:
    FrmVCCCal();
    void Form_Load();
};
