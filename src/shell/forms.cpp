#include "shell/forms.h"

#include "bridge/frmMainF340.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/frmDCP_User1.h"
#include "devices/FrmK6623.h"
#include "devices/ProductExec.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "quad/quad_console.h"
#include "shell/frmStartup.h"
#include "scripts/frmScriptOps.h"
#include "shell/about.h"
#include "shell/doco.h"
#include "updown/UPDN_Runin.h"
#include "updown/frmDCP_PB1.h"
#include "updown/frmDCP_UD1.h"

// Destroyed in this order: the console last, since other windows use it while they go.
Forms::Forms() : slots_{&ProductExec, &frm_k4744, &frm_k4731, &FrmK6623, &UPDN_Runin, &frmDCP_UD1, &frmDCP_PB1, &frmScriptOps, &frmStartup, &frmDCP_SPI1, &frmDCP_User1, &FrmVCCCal, &Doco, &frmAbout2, &frmMotherboardDAQ2, &frmMainF340}
{
    showI2CDeviceWindow = [this] { frmDCP_User1.show(); };
}

std::vector<DeviceFormControls*> Forms::loadedSupplyWindows()
{
    std::vector<DeviceFormControls*> out;
    const auto add = [&out](auto& slot) {
        if (slot.loaded())
            out.push_back(slot.get());
    };
    add(frmDCP_User1);
    add(frmDCP_SPI1);
    add(frmDCP_UD1);
    add(frmDCP_PB1);
    add(FrmVCCCal);
    return out;
}

void Forms::unloadQuadConsoles()
{
    frm_k4744.unload();
    frm_k4731.unload();
}

// The program loads the console from the motherboard window's load, and the I2C device window
// is set up through the motherboard's ports: its list exists from then on. A console loaded
// on its own fills only its own list.
QComboBox* Forms::i2cDeviceClockList()
{
    if (!frmDCP_User1.loaded() && !frmMotherboardDAQ2.loaded())
        return nullptr;
    return frmDCP_User1().cboI2CClock;
}
// The SPI device window's list exists while the window is loaded (its set-up fills it).
QComboBox* Forms::spiDeviceClockList() { return frmDCP_SPI1.loaded() ? frmDCP_SPI1.get()->cboSPIClock : nullptr; }

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
