#pragma once
// The window registry: it owns every window. forms().X() creates window X on first use and
// runs its Form_Load once; forms().X.unload() destroys it, so the next use creates it again.
// forms().X.show() shows and raises the window and runs its activation (Form_Activate),
// which is how the program's windows learn they came to the front from another window.
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class Doco;
class ProductExec;
class frmAbout2;
class frmDCP_User1;
class frmDCP_SPI1;
class frmMainF340;
class frmMotherboardDAQ2;
class FrmVCCCal;
class frmStartup;
class frmScriptOps;
class UPDN_Runin;
class frmDCP_UD1;
class frmDCP_PB1;
class FrmK6623;
class frm_k4731;
class frm_k4744;
class QComboBox;
class DeviceFormControls;

class FormSlotBase {
public:
    virtual ~FormSlotBase() = default;
    virtual void destroy() = 0; // drop the window without running its unload
};

template <class T>
class FormSlot : public FormSlotBase {
public:
    // The window, created (hidden) and loaded on first use.
    T& operator()()
    {
        if (!w_) {
            T* w = new T();
            w_ = w;
            w->Form_Load();
            // A window unloaded inside its own load is gone from the registry but not yet
            // deleted (that waits for the event loop): the caller still gets a live object.
            if (w_ != w)
                return *w;
        }
        return *w_;
    }

    bool loaded() const { return w_ != nullptr; }
    T* get() const { return w_; }

    void show()
    {
        T& w = (*this)();
        w.show();
        w.raise();
        w.activateWindow();
        if constexpr (requires(T& t) { t.Form_Activate(); })
            w.Form_Activate();
    }

    // Unload: run the window's Form_Unload (which may end the program), then destroy it.
    void unload()
    {
        if (!w_)
            return;
        T* w = w_;
        if constexpr (requires(T& t) { t.Form_Unload(); })
            w->Form_Unload();
        if (w_ != w)
            return;
        w_ = nullptr;
        w->hide();
        w->deleteLater(); // the unload may run inside one of the window's own handlers
    }

    void destroy() override
    {
        if (w_) {
            T* w = w_;
            w_ = nullptr;
            delete w;
        }
    }

private:
    T* w_ = nullptr;
};

class Forms {
public:
    Forms();
    FormSlot<::Doco> Doco;
    FormSlot<::frmAbout2> frmAbout2;
    FormSlot<::frmMainF340> frmMainF340;
    FormSlot<::frmMotherboardDAQ2> frmMotherboardDAQ2;
    FormSlot<::FrmVCCCal> FrmVCCCal;
    FormSlot<::frmStartup> frmStartup;
    FormSlot<::frmScriptOps> frmScriptOps;
    FormSlot<::UPDN_Runin> UPDN_Runin;
    FormSlot<::frmDCP_UD1> frmDCP_UD1;
    FormSlot<::frmDCP_PB1> frmDCP_PB1;
    FormSlot<::frmDCP_User1> frmDCP_User1;
    FormSlot<::frmDCP_SPI1> frmDCP_SPI1;
    FormSlot<::FrmK6623> FrmK6623;
    FormSlot<::frm_k4744> frm_k4744;
    FormSlot<::frm_k4731> frm_k4731;
    FormSlot<::ProductExec> ProductExec;

    // The device windows' clock lists that the bridge console fills when it reads the SMBus
    // and SPI clocks back; reaching the I2C one creates its window (once the motherboard window
    // is loaded or loading). Null while no device window of that bus is part of the program.
    QComboBox* i2cDeviceClockList();
    QComboBox* spiDeviceClockList();

    // The loaded windows that carry supply controls: the four device windows and the VCC
    // calibration window.
    std::vector<DeviceFormControls*> loadedSupplyWindows();

    // Unloads both quad instruction consoles.
    void unloadQuadConsoles();
    // The device windows the parameter table returns to (the I2C one while g_I2CFamily is
    // set, the SPI one while g_SPIFamily is set): shown as the registry shows a window.
    // The I2C one shows frmDCP_User1; empty while that window is not part of the program.
    std::function<void()> showI2CDeviceWindow;
    std::function<void()> showSPIDeviceWindow;

    // Tests: destroy every window so the next test starts from nothing.
    void destroyAll();

private:
    std::vector<FormSlotBase*> slots_;
};

Forms& forms();
