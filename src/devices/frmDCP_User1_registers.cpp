// The I2C device window's register panels (ACR, or status register on a K4736, and the
// general-purpose register) and its "I2C Parameter File" entry, which sets the window up
// for a part picked from a parameter table.
#include "devices/frmDCP_User1.h"

#include "bridge/frmMainF340.h"
#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "devices/ProductExec.h"
#include "devices/device_model.h"
#include "devices/i2c_record.h"
#include "devices/parameter_file.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace devices;

namespace {

constexpr int kGreen = 10, kRed = 12;
constexpr int kAddressPin0 = 6, kShutdownPin = 10;

const QString kNoAcr = QStringLiteral("This device has no ACR Register");
const QString kNoGp = QStringLiteral("This device has no GP Register");

frmMainF340& console() { return forms().frmMainF340(); }
frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

void setLamps(Lamp* a, Lamp* b, bool good)
{
    a->setFillColor(good ? kGreen : kRed);
    b->setFillColor(good ? kGreen : kRed);
}

// The number a text starts with, read as decimal digits ("05" is 5, "0A" is 0).
int leadingDecimal(const QString& text)
{
    int n = 0, i = 0;
    while (i < text.size() && i < 9 && text[i].isDigit())
        n = n * 10 + text[i++].digitValue();
    return n;
}

// A register field as its check leaves it.
void commitField(QLineEdit* box) { box->setText(registerFieldText(box->text())); }

} // namespace

void frmDCP_User1::connectRegisterPanels()
{
    const auto onEnter = [](QLineEdit* box, std::function<void(int)> keyPress) {
        KeyFilter::on(box)->keyPress = [keyPress](int& KeyAscii) {
            const int key = KeyAscii;
            if (key == kKeyReturn)
                KeyAscii = 0;
            keyPress(key);
        };
    };
    for (int i = 0; i < 2; ++i) {
        onEnter(txtACR[size_t(i)], [this, i](int k) { txtACR_KeyPress(i, k); });
        onFocusOut(txtACR[size_t(i)], [this, i] { txtACR_LostFocus(i); });
    }
    onEnter(txtACRAddress, [this](int k) { txtACRAddress_KeyPress(k); });
    onFocusOut(txtACRAddress, [this] { txtACRAddress_LostFocus(); });
    onEnter(txtGPAddress, [this](int k) { txtGPAddress_KeyPress(k); });
    onFocusOut(txtGPAddress, [this] { txtGPAddress_LostFocus(); });
    onEnter(txtGPWrite, [this](int k) { txtGPWrite_KeyPress(k); });
    onFocusOut(txtGPWrite, [this] { txtGPWrite_LostFocus(); });
    connect(cmdACRWrite, &QPushButton::clicked, this, [this] { cmdACRWrite_Click(); });
    connect(cmdACRRead, &QPushButton::clicked, this, [this] { cmdACRRead_Click(); });
    connect(cmdWriteGP, &QPushButton::clicked, this, [this] { cmdWriteGP_Click(); });
    connect(cmdGPRead, &QPushButton::clicked, this, [this] { cmdGPRead_Click(); });
}

// ---------------------------------------------------------------------------------------
// Field checks

void frmDCP_User1::txtACR_KeyPress(int Index, int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        txtACR_LostFocus(Index);
}

void frmDCP_User1::txtACR_LostFocus(int Index)
{
    if (Index < 0 || Index > 1)
        return;
    commitField(txtACR[size_t(Index)]);
    g_AcrValue = HexToInt(txtACR[size_t(Index)]->text());
}

void frmDCP_User1::txtACRAddress_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        commitField(txtACRAddress);
}
void frmDCP_User1::txtACRAddress_LostFocus() { commitField(txtACRAddress); }

void frmDCP_User1::txtGPAddress_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        commitField(txtGPAddress);
}
void frmDCP_User1::txtGPAddress_LostFocus() { commitField(txtGPAddress); }

void frmDCP_User1::txtGPWrite_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        commitField(txtGPWrite);
}
void frmDCP_User1::txtGPWrite_LostFocus() { commitField(txtGPWrite); }

// ---------------------------------------------------------------------------------------
// Transfers

bool frmDCP_User1::writeRegister(const QString& what, const QString& address, const QString& value)
{
    const auto reg = registerFieldByte(address);
    const auto byte = registerFieldByte(value);
    if (!reg || !byte) {
        platform::msgBox(QStringLiteral("%1 %2 \"%3\" is not a byte. Nothing was written.")
                             .arg(what, reg ? QStringLiteral("value") : QStringLiteral("address"),
                                  reg ? value : address));
        return false;
    }
    frmMainF340& c = console();
    g_I2CAddress = deviceAddress();
    c.txtNumToWrite->setText("1");
    c.txtStartRegWr->setText(Hex2(*reg));
    c.txtWriteVal[0]->setText(Hex2(*byte));
    g_BridgeStatus = 0; // a transfer the console refuses must not show an earlier success
    c.cmdWrite_Click();
    return true;
}

bool frmDCP_User1::readRegister(const QString& what, const QString& address)
{
    const auto reg = registerFieldByte(address);
    if (!reg) {
        platform::msgBox(QStringLiteral("%1 address \"%2\" is not a byte. Nothing was read.").arg(what, address));
        return false;
    }
    frmMainF340& c = console();
    g_I2CAddress = deviceAddress();
    c.txtNumToRead->setText("1");
    c.txtStartRegRD->setText(Hex2(*reg));
    g_BridgeStatus = 0;
    c.cmdRead_Click();
    return true;
}

bool frmDCP_User1::registerPresent(QLineEdit* address, const QString& noneMessage)
{
    if (address->text() == "NA") {
        platform::msgBox(noneMessage);
        return false;
    }
    platform::pumpEvents();
    vccCheck();
    return true;
}

void frmDCP_User1::cmdACRWrite_Click()
{
    cmdACRWrite->setEnabled(false);
    cmdACRRead->setEnabled(false);
    if (registerPresent(txtACRAddress, kNoAcr)) {
        g_AcrValue = HexToInt(txtACR[0]->text());
        platform::pumpEvents();
        if (writeRegister("ACR", txtACRAddress->text(), txtACR[0]->text())) {
            setLamps(Shape2[0], Shape1[1], g_BridgeStatus == 8);
            if (lblProduct->text().startsWith("K4736"))
                showK4736Status();
        }
    }
    cmdACRWrite->setEnabled(true);
    cmdACRRead->setEnabled(true);
    platform::pumpEvents();
}

void frmDCP_User1::showK4736Status()
{
    const int n = leadingDecimal(txtACR[0]->text());
    const bool bank = n == 1 || n == 3 || n == 5 || n == 7;
    const QString kind = n == 0 ? "WCR" : bank ? "DR" : "XXX";
    const QString digit = bank ? QString::number((n - 1) / 2) : QString();
    if (kind != "WCR")
        Frk4736->lblBank->setText(kind + digit);
    for (int k = 0; k < 4; ++k) {
        lblChanSend[size_t(k)]->setText(kind + QString::number(k) + digit);
        lblChanRcvr[size_t(k)]->setText("WCR" + QString::number(k));
    }
    SSFrame2->setTitle("Status Register Control");
    Label2->setText("Status Address");
    txtCalcAddr->show();
    cmdCopyAdr->show();
    Frk4736->Chk4736_Click(3);
}

void frmDCP_User1::cmdACRRead_Click()
{
    cmdACRWrite->setEnabled(false);
    cmdACRRead->setEnabled(false);
    if (registerPresent(txtACRAddress, kNoAcr)) {
        if (readRegister("ACR", txtACRAddress->text())) {
            // The byte of this read, whatever the register address; a failed read keeps
            // the value shown before.
            if (g_BridgeStatus == 8)
                txtACR[1]->setText(console().TXTI2C[0]->text());
            setLamps(Shape2[1], Shape1[2], g_BridgeStatus == 8);
        }
        platform::pumpEvents();
        platform::sleepMs(20);
    }
    cmdACRWrite->setEnabled(true);
    cmdACRRead->setEnabled(true);
    platform::pumpEvents();
}

void frmDCP_User1::cmdWriteGP_Click()
{
    cmdWriteGP->setEnabled(false);
    cmdGPRead->setEnabled(false);
    if (registerPresent(txtGPAddress, kNoGp)) {
        if (writeRegister("GP register", txtGPAddress->text(), txtGPWrite->text()))
            setLamps(Shape2[2], Shape1[1], g_BridgeStatus == 8);
        platform::pumpEvents();
        platform::sleepMs(20);
    }
    for (QPushButton* b : {cmdWriteGP, cmdGPRead, cmdACRRead, cmdACRWrite})
        b->setEnabled(true);
    platform::pumpEvents();
}

void frmDCP_User1::cmdGPRead_Click()
{
    platform::sleepMs(20);
    cmdWriteGP->setEnabled(false);
    cmdGPRead->setEnabled(false);
    if (registerPresent(txtGPAddress, kNoGp)) {
        if (readRegister("GP register", txtGPAddress->text())) {
            if (g_BridgeStatus == 8) {
                const QString t = console().TXTI2C[0]->text();
                lblGPRead->setText(t.size() == 1 ? "0" + t : t);
            }
            setLamps(Shape2[3], Shape1[2], g_BridgeStatus == 8);
        }
        platform::sleepMs(20);
    }
    for (QPushButton* b : {cmdWriteGP, cmdGPRead, cmdACRRead, cmdACRWrite})
        b->setEnabled(true);
    platform::pumpEvents();
}

// ---------------------------------------------------------------------------------------
// "I2C Parameter File"

void frmDCP_User1::standardLayout()
{
    for (QWidget* w : std::initializer_list<QWidget*>{fraADDRSelect, SSFrame2, FrmShutdown, frmRegisterWrite})
        w->show();
    Frk4744Show->hide();
    txtCalcAddr->hide();
    cmdCopyAdr->hide();
    // Only the K4736 layout takes the ACR address field away.
    txtACRAddress->setEnabled(true);

    frmMainF340& c = console();
    c.chk2WireRead->setChecked(false);
    c.chkRandom->setChecked(true);
    c.setI2Coptions(0);
    platform::pumpEvents();

    Frk4736->hide();
    frk662x->hide();
    forms().unloadQuadConsoles();

    pinDefaults();
}

void frmDCP_User1::pinDefaults()
{
    frmMotherboardDAQ2& mb = motherboard();
    for (int i = 0; i < 4; ++i)
        mb.chkPData[size_t(kAddressPin0 + i)]->setChecked(false);
    mb.chkPData[kShutdownPin]->setChecked(true);
    platform::pumpEvents();
    mb.cmdWrtPipe1_Click();
    platform::pumpEvents();
    platform::pumpEvents();

    for (QCheckBox* b : chkI2CAdr)
        b->show();
    txtCalcAddr->show();
    cmdCopyAdr->show();
}

void frmDCP_User1::applyPickedRecord()
{
    const params::I2CPartFields f = params::decodeI2CRecord(g_PickedRecord);
    g_I2CFamily = true;
    g_SPIFamily = false;
    txtACRAddress->setText(f.acrAddress);
    txtACR[0]->setText(f.acrValue);
    txtGPAddress->setText(f.gpAddress);
    lblGDRs->setText(f.gpLabel);
    txtDeviceAdr->setText(f.deviceAddress);
    takePartCounts(f.description, f.channels, f.taps);
    platform::pumpEvents();
    cboRegSize->setCurrentIndex(f.regSizeIndex);
    cboDataSize->setCurrentIndex(f.dataSizeIndex);
    txtCalcAddr->setText(txtDeviceAdr->text());
    g_WriteAddress = deviceAddress();
    runSelectedCountOptions();
    platform::pumpEvents();
}

void frmDCP_User1::familyLayout()
{
    for (int k = 0; k < 4; ++k) {
        lblChanSend[size_t(k)]->setText(QString::number(k));
        lblChanRcvr[size_t(k)]->setText(QString::number(k));
    }
    SSFrame2->setTitle("ACR Register Control");
    Label2->setText("ACR Address");
    fraADDRSelect->show();

    const QString product = lblProduct->text();
    frmMainF340& c = console();
    if (product.startsWith("K4736")) {
        txtACRAddress->setEnabled(false);
        for (int k = 0; k < 4; ++k) {
            lblChanSend[size_t(k)]->setText("WCR" + QString::number(k));
            lblChanRcvr[size_t(k)]->setText("WCR" + QString::number(k));
        }
        SSFrame2->setTitle("Status Register Control");
        Label2->setText("Status Address");
        Frk4736->show();
        for (QCheckBox* b : chkI2CAdr)
            b->hide();
        txtCalcAddr->hide();
        cmdCopyAdr->hide();
        for (int pin : {0, 1, 3}) {
            // Each box change drives the pins; a box already ticked is driven again.
            if (Frk4736->Chk4736[pin]->isChecked())
                Frk4736->Chk4736_Click(pin);
            else
                Frk4736->Chk4736[pin]->setChecked(true);
        }
        fraADDRSelect->hide();
    }
    if (product.startsWith("K4744/5")) {
        Frk4744Show->show();
        for (QWidget* w : std::initializer_list<QWidget*>{frmRegisterWrite, fraADDRSelect, SSFrame2, FrmShutdown})
            w->hide();
        lblChanSend[0]->setText("A0");
        lblChanRcvr[0]->setText("90");
        c.chk2WireRead->setChecked(true);
        c.chkRandom->setChecked(false);
        c.setI2Coptions(0);
    }
    if (product.startsWith("K6627/8")) {
        frk662x->setTitle("K6627/8 Table 3 Instruction Set");
        frk662x->show();
        lblChanSend[0]->setText("A0");
        lblChanRcvr[0]->setText("80");
        c.chk2WireRead->setChecked(true);
        c.setI2Coptions(0);
    }
}

void frmDCP_User1::mnu_I2cList_Click()
{
    platform::pumpEvents();
    g_ParamTableDone = false;
    g_I2CFamily = true;
    g_SPIFamily = false;
    standardLayout();

    if (!waitForParameterPick())
        return;

    if (!g_I2CPartPicked) {
        platform::msgBox("No Device was selected from the list");
    } else if (const QString problem = params::i2cRecordAddressProblem(g_PickedRecord); !problem.isEmpty()) {
        // Nothing of a part without an I2C address is applied.
        platform::msgBox(problem);
    } else {
        applyPickedRecord();
    }
    familyLayout();
}
