#pragma once
// The startup menu: the program's first window and its hub.
#include "shell/activeform.h"

#include <QWidget>

class frmStartup : public QWidget, public DeviceFormControls {
    Q_OBJECT
public:
    frmStartup();
    void Form_Load();
};
