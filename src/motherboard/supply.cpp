#include "motherboard/supply.h"

#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/vcc_cal_file.h"
#include "platform/services.h"
#include "shell/activeform.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

constexpr int kLampOn = 12, kLampOff = 0;

// Events run inside every step; the motherboard window may be closed meanwhile, and its
// next use creates it again, as any use of its fields does.
frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

// The registered window's controls, read when they are used: the registered window may
// change while events run, and a window that lacks a control is left alone.
void paint(Lamp* (DeviceFormControls::*lamp)(), int color)
{
    if (g_ActiveForm)
        if (Lamp* l = (g_ActiveForm->*lamp)())
            l->setFillColor(color);
}

QRadioButton* optVM(int index) { return g_ActiveForm ? g_ActiveForm->OptVM(index) : nullptr; }

void enableOptVM(bool on)
{
    for (int i = 0; i < 2; ++i)
        if (QRadioButton* o = optVM(i))
            o->setEnabled(on);
}

// Row 0 of the supply potentiometer console, sent as it stands afterwards.
void sendSetupRow(const std::array<const char*, 4>& texts)
{
    for (size_t i = 0; i < texts.size(); ++i)
        motherboard().txtSPIwr[i]->setText(texts[i]);
    motherboard().cmdSPIWrite_Click();
}

// A code the supply potentiometer takes: two hexadecimal digits, 00 to 7F. The calibration
// window shows "--" for a row it could not read.
bool isSupplyCode(const QString& code)
{
    static const QRegularExpression twoHex("^[0-9A-F]{2}$");
    return twoHex.match(code).hasMatch() && HexToInt(code) <= 0x7F;
}

using VccList = std::array<QString, kVccLevels.size()>;

// Codes into g_VccCodeTable and texts into the registered window's VCC list, by position;
// the list opens at "5.0".
void fillVccList(const VccList& texts, const VccList& codes)
{
    for (size_t i = 0; i < codes.size(); ++i)
        g_VccCodeTable[i] = codes[i];
    QComboBox* list = g_ActiveForm ? g_ActiveForm->CboVCC() : nullptr;
    if (!list)
        return;
    list->clear();
    for (const QString& t : texts)
        list->addItem(t);
    list->setCurrentIndex(kVccListDefault);
}

} // namespace

void SetVCC(int state)
{
    if (state == 0) {
        paint(&DeviceFormControls::ShpVCCon, kLampOn); // before the supply comes on
        motherboard().OptVCC[0]->setChecked(true);
    } else if (state == 1) {
        motherboard().OptVCC[1]->setChecked(true);
        paint(&DeviceFormControls::ShpVCCon, kLampOff); // once it is off
    }
    if (!g_VminusTracksVcc) {
        enableOptVM(true);
        return;
    }
    if (state == 0 || state == 1) {
        paint(&DeviceFormControls::ShVM, state == 0 ? kLampOn : kLampOff);
        if (QRadioButton* o = optVM(state))
            o->setChecked(true);
    }
    enableOptVM(false);
}

void SendSupplyPotSetUp()
{
    sendSetupRow({"00", "50", "C0", "5F"});
    sendSetupRow({"00", "50", "C2", "C0"});
}

void SetUpFreshBoard()
{
    for (DeviceFormControls* w : forms().loadedSupplyWindows())
        w->showSuppliesOff();
    if (frmMotherboardDAQ2* mb = forms().frmMotherboardDAQ2.get()) {
        mb->showSuppliesOff();
        mb->writeSupplyPinsOff();
        if (SearchPending() || mb->unloaded())
            return;
        SendSupplyPotSetUp();
    }
    frmMainF340* con = forms().frmMainF340.get();
    if (SearchPending() || !con)
        return;
    con->muxPositiveWritten = -1; // what the old board was set to says nothing of this one
    con->cmdMuxWrite_Click();
    if (!SearchPending())
        con->setI2Coptions(0);
}

void InitVccOptions()
{
    // Both supplies off; each handler runs once more after its option is selected, also
    // when the option already was.
    motherboard().OptVCCMinus[1]->setChecked(true);
    motherboard().OptVCCMinus_Click(1);
    motherboard().OptVCC[1]->setChecked(true);
    motherboard().OptVCC_Click(1);

    SendSupplyPotSetUp();
    platform::pumpEvents();

    VccList texts, codes;
    for (size_t i = 0; i < kVccLevels.size(); ++i) {
        texts[i] = kVccLevels[i].text;
        codes[i] = kVccLevels[i].code;
    }
    fillVccList(texts, codes);
    motherboard().lblCal_header->setText("Defaults");

    if (!FileExistsInAppPath(vccCalibrationFileName()))
        return;
    // The calibration window reads the file into its fields (and tells the user when it
    // cannot); the list takes the seven rows only when every one of them was read, so a
    // damaged file leaves the defaults whole.
    FrmVCCCal& cal = forms().FrmVCCCal();
    cal.cdmRead_Cal_File_Click();
    for (int k = 1; k <= kVccCalRows; ++k) {
        const QString code = cal.lblTargetHex[size_t(k)]->text();
        if (!isSupplyCode(code))
            return;
        texts[size_t(k - 1)] = cal.blbTargetV[size_t(k)]->text();
        codes[size_t(k - 1)] = code;
    }
    fillVccList(texts, codes);
    motherboard().lblCal_header->setText(cal.lblCal_header->text());
    g_AdcVref = cal.vrefCal(); // every later conversion uses the calibrated reference
    platform::pumpEvents();
}
