#include "devices/frk662x.h"

#include "bridge/frmMainF340.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "devices/k662x_instructions.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using k662x::Operation;

namespace {

constexpr int kLampGood = 10, kLampDim = 2, kLampFailed = 12;

const char* kRegisterNames[] = {"Wiper", "Data 0", "Data 1", "Data 2", "Data 3"};

} // namespace

frk662x::frk662x(Host host, QWidget* parent) : QGroupBox("K6627/8 Table 3 Instruction Set", parent), host_(std::move(host))
{
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel("Read Hex"), 0, 0, 1, 2);
    g->addWidget(new QLabel("Write Hex"), 0, 2, 1, 2);
    for (int i = 0; i < 5; ++i) {
        CMDk662X_Read[i] = new QPushButton(kRegisterNames[i]);
        lblRdk662x[i] = new QLabel("000");
        lblRdk662x[i]->setFrameShape(QFrame::Panel);
        lblRdk662x[i]->setFrameShadow(QFrame::Sunken);
        lblRdk662x[i]->setMinimumWidth(48);
        CMDk662X_Write[i] = new QPushButton(kRegisterNames[i]);
        txtWrK6628[i] = new QLineEdit("000");
        txtWrK6628[i]->setToolTip("Input Value in Hex, then click write button");
        txtWrK6628[i]->setMaximumWidth(56);
        KeyFilter::on(txtWrK6628[i])->keyPress = [](int& KeyAscii) { checkValidEntryHex(KeyAscii); };
        g->addWidget(CMDk662X_Read[i], i + 1, 0);
        g->addWidget(lblRdk662x[i], i + 1, 1);
        g->addWidget(CMDk662X_Write[i], i + 1, 2);
        g->addWidget(txtWrK6628[i], i + 1, 3);
        connect(CMDk662X_Read[i], &QPushButton::clicked, this, [this, i] { CMDk662X_Read_Click(i); });
        connect(CMDk662X_Write[i], &QPushButton::clicked, this, [this, i] { CMDk662X_Write_Click(i); });
    }
    g->addWidget(new QLabel("Transfer Commands (1 Byte Instructions)"), 6, 0, 1, 4);
    for (int r = 0; r < 4; ++r) {
        cmdK662xDatatoWiper[r] = new QPushButton(QString("Data %1 > Wiper").arg(r));
        cmdK662xWipertoData[r] = new QPushButton(QString("Wiper > Data %1").arg(r));
        g->addWidget(cmdK662xDatatoWiper[r], r + 7, 0, 1, 2);
        g->addWidget(cmdK662xWipertoData[r], r + 7, 2, 1, 2);
        connect(cmdK662xDatatoWiper[r], &QPushButton::clicked, this, [this, r] { cmdK662xDatatoWiper_Click(r); });
        connect(cmdK662xWipertoData[r], &QPushButton::clicked, this, [this, r] { cmdK662xWipertoData_Click(r); });
    }
}

void frk662x::warnSupply()
{
    if (!forms().frmMotherboardDAQ2().OptVCC[0]->isChecked())
        platform::msgBox("VCC is not turned on.");
}

void frk662x::setAddress()
{
    // An odd address would turn a write into a read on the wire: the write address below it.
    g_I2CAddress = static_cast<std::uint8_t>(HexToInt(host_.deviceAddress ? host_.deviceAddress() : QString()) & 0xFE);
}

bool frk662x::showOutcome()
{
    if (g_BridgeStatus == kStatusOk) {
        if (host_.readLamp)
            host_.readLamp->setFillColor(host_.readLamp->fillColor() == kLampGood ? kLampDim : kLampGood);
        if (host_.commLamp)
            host_.commLamp->setFillColor(kLampGood);
        return true;
    }
    if (host_.readLamp)
        host_.readLamp->setFillColor(kLampFailed);
    if (host_.commLamp)
        host_.commLamp->setFillColor(kLampFailed);
    platform::pumpEvents();
    platform::msgBox("Read DCP Error, Check Device Addreess, VCC & AVDD Power and I2C Connections ", platform::vbOKOnly,
                     " Error during DCP Read ");
    return false;
}

void frk662x::CMDk662X_Read_Click(int Index)
{
    warnSupply();
    setAddress();
    auto& c = forms().frmMainF340();
    c.txtNumToRead->setText("2");
    c.txtStartRegRD->setText(k662x::instruction(Operation::Read, Index));
    c.cmdRead_Click();
    // A read that was not acknowledged leaves what the console showed before: no value.
    if (!showOutcome())
        return;
    const int value = k662x::value(static_cast<std::uint8_t>(HexToInt(c.TXTI2C[0]->text())),
                                   static_cast<std::uint8_t>(HexToInt(c.TXTI2C[1]->text())));
    if (host_.keepReadValue)
        host_.keepReadValue(value);
    lblRdk662x[Index]->setText(QString::number(value, 16).toUpper());
}

void frk662x::CMDk662X_Write_Click(int Index)
{
    const QString text = txtWrK6628[Index]->text();
    const auto bytes = k662x::valueBytes(text);
    if (!bytes) {
        platform::msgBox(QString("%1: value \"%2\" does not fit this part's 10-bit register (0 to 3FF). Nothing was "
                                 "written.")
                             .arg(kRegisterNames[Index], text));
        return;
    }
    warnSupply();
    setAddress();
    auto& c = forms().frmMainF340();
    c.txtNumToWrite->setText("2");
    c.txtStartRegWr->setText(k662x::instruction(Operation::Write, Index));
    c.txtWriteVal[0]->setText(Hex2(bytes->high));
    c.txtWriteVal[1]->setText(Hex2(bytes->low));
    c.cmdWrite_Click();
    showOutcome();
}

void frk662x::cmdK662xDatatoWiper_Click(int Index)
{
    warnSupply();
    auto& c = forms().frmMainF340();
    c.chk2WireRead->setChecked(true);
    c.ChK2WireCommand->setChecked(true);
    c.chkRandom->setChecked(false);
    c.setI2Coptions(0);
    platform::pumpEvents();
    platform::pumpEvents();
    // Filled right before the transfer: a button pressed while events ran cannot change
    // what this one sends.
    setAddress();
    c.txtNumToRead->setText("1");
    c.txtStartRegRD->setText(k662x::instruction(Operation::DataToWiper, Index));
    c.cmdRead_Click();
    c.ChK2WireCommand->setChecked(false);
    c.chkRandom->setChecked(true);
    c.setI2Coptions(0);
    platform::pumpEvents();
    c.txtNumToRead->setText("2");
    showOutcome();
}

void frk662x::cmdK662xWipertoData_Click(int Index)
{
    warnSupply();
    auto& c = forms().frmMainF340();
    c.chkRandom->setChecked(false);
    c.setI2Coptions(0);
    platform::pumpEvents();
    setAddress();
    c.txtNumToWrite->setText("1");
    c.txtWriteVal[0]->setText(k662x::instruction(Operation::WiperToData, Index));
    c.cmdWrite_Click();
    c.chkRandom->setChecked(true);
    c.setI2Coptions(0);
    c.txtNumToWrite->setText("2");
    platform::pumpEvents();
    showOutcome();
}
