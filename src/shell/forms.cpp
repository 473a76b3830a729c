#include "shell/forms.h"

#include "bridge/frmMainF340.h"
#include "devices/ProductExec.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/frmStartup.h"
#include "shell/about.h"
#include "shell/doco.h"

// Destroyed in this order: the console last, since other windows use it while they go.
Forms::Forms() : slots_{&ProductExec, &frmStartup, &FrmVCCCal, &Doco, &frmAbout2, &frmMotherboardDAQ2, &frmMainF340} {}

QComboBox* Forms::i2cDeviceClockList() { return nullptr; }
QComboBox* Forms::spiDeviceClockList() { return nullptr; }

void Forms::destroyAll()
{
    for (auto* s : slots_)
        s->destroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Forms& forms()
{
    static Forms f;
    return f;
}
