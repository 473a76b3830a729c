// The I2C window's register panels over a simulated part (bytes on the wire, lamps, the
// field check) and "I2C Parameter File" over the example table: a picked row sets the window
// up, including the K4736 and K6627 layouts.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/ProductExec.h"
#include "devices/device_fixture.h"
#include "devices/device_model.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "sim/k4736.h"
#include "sim/k6627.h"
#include "support/parameter_pick.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

using Bytes = std::vector<int>;

namespace {

QString exampleTable() { return QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/i2c_parameters.csv"); }

class I2cRegisters : public I2cWindowFixture {
protected:
    // "I2C Parameter File" with the file chosen and row picked (none: the table is left
    // without a pick).
    void pickRow(frmDCP_User1& w, const QString& file, int row)
    {
        answerParameterTable(svc, file, row);
        w.mnu_I2cList_Click();
        svc.onPump = nullptr;
    }
};

} // namespace

TEST_F(I2cRegisters, AcrAndGpTransfersOverTheWire)
{
    auto& w = atWindowWithVcc();
    EXPECT_EQ(w.txtACR[0]->text(), "C0");
    EXPECT_EQ(w.txtACRAddress->text(), "02");

    w.cmdACRWrite->click();
    w.cmdACRRead->click();
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x50, 1, 1, 0x02, 0xC0}, {0x51, 1, 1, 0x02}}));
    EXPECT_EQ(dcp->acr(), 0xC0);
    EXPECT_EQ(w.txtACR[1]->text(), "C0");
    for (int i : {0, 1})
        EXPECT_EQ(w.Shape2[size_t(i)]->fillColor(), 10);

    // A one-digit value stays as typed and is sent as its byte; an address beyond the
    // console's register map reads too.
    board().transcript.clear();
    w.txtGPWrite->setText("a");
    w.txtGPWrite_KeyPress(13);
    EXPECT_EQ(w.txtGPWrite->text(), "A");
    w.txtGPAddress->setText("41");
    w.cmdWriteGP->click();
    w.cmdGPRead->click();
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x50, 1, 1, 0x41, 0x0A}, {0x51, 1, 1, 0x41}}));
    EXPECT_EQ(w.lblGPRead->text(), "0A");
    EXPECT_EQ(w.Shape2[3]->fillColor(), 10);
    EXPECT_TRUE(svc.boxTexts().isEmpty());

    // No part answers: red lamps, the value read before stays.
    w.txtDeviceAdr->setText("60");
    svc.answerAll(platform::vbRetry, 2); // the console's link message, once a read
    w.cmdACRRead->click();
    w.cmdGPRead->click();
    EXPECT_EQ(w.txtACR[1]->text(), "C0");
    EXPECT_EQ(w.lblGPRead->text(), "0A");
    EXPECT_EQ(w.Shape2[1]->fillColor(), 12);
    EXPECT_EQ(w.Shape2[3]->fillColor(), 12);
    EXPECT_EQ(w.Shape1[2]->fillColor(), 12);
}

TEST_F(I2cRegisters, NoRegisterOrNoSupplyOrNoByte)
{
    auto& w = atWindowWithVcc();
    w.txtACRAddress->setText("NA");
    w.txtGPAddress->setText("NA");
    svc.answerAll(1, 4);
    w.cmdACRWrite_Click();
    w.cmdACRRead_Click();
    w.cmdWriteGP_Click();
    w.cmdGPRead_Click();
    EXPECT_EQ(svc.boxTexts(), (QStringList{"This device has no ACR Register", "This device has no ACR Register",
                                           "This device has no GP Register", "This device has no GP Register"}));
    EXPECT_TRUE(i2cRequests().empty());
    for (QPushButton* b : {w.cmdACRWrite, w.cmdACRRead, w.cmdWriteGP, w.cmdGPRead})
        EXPECT_TRUE(b->isEnabled());

    // A GP address that is no byte (a table cell "na" gives "0n") is refused by name.
    svc.boxes.clear();
    w.txtGPAddress->setText("0n");
    svc.answer(1);
    w.cmdWriteGP_Click();
    EXPECT_EQ(svc.boxTexts(), QStringList{"GP register address \"0n\" is not a byte. Nothing was written."});
    EXPECT_TRUE(i2cRequests().empty());

    // Supply off: the message, and the write still goes out.
    svc.boxes.clear();
    w.supply->OptVCC[1]->setChecked(true);
    w.txtACRAddress->setText("02");
    board().transcript.clear();
    svc.answer(1);
    svc.answer(platform::vbRetry); // an unpowered part does not answer
    w.cmdACRWrite_Click();
    EXPECT_EQ(svc.boxTexts().first(), "VCC is not turned on.");
    EXPECT_EQ(i2cRequests().size(), 1u);
}

TEST_F(I2cRegisters, RegisterFieldCheck)
{
    const std::pair<QString, QString> cases[] = {
        {"0", "00"}, {"1FF", "00"}, {"FF00", "00"}, {"8000", "00"}, {"a", "A"}, {"5G", "00"},
        {"NA", "00"}, {"na", "00"}, {"--", "00"}, {"", "00"}, {"ff", "FF"}, {"0C", "0C"}, {"00000000000A", "00000000000A"}};
    for (const auto& [typed, kept] : cases)
        EXPECT_EQ(devices::registerFieldText(typed), kept) << typed.toStdString();

    auto& w = atWindowWithVcc();
    w.txtACR[1]->setText("--");
    w.txtACR_LostFocus(1);
    EXPECT_EQ(w.txtACR[1]->text(), "00");
    EXPECT_EQ(g_AcrValue, 0);
    w.txtACR[0]->setText("4f");
    w.txtACR_KeyPress(0, 13);
    EXPECT_EQ(g_AcrValue, 0x4F);
}

TEST_F(I2cRegisters, ParameterFilePickSetsTheWindowUp)
{
    auto& w = atWindowWithVcc();
    pickRow(w, exampleTable(), 4); // ZN3750: four channels, 256 taps, at A0, ACR at 10, GP 3-7
    EXPECT_EQ(w.lblProduct->text(), "ZN3750, I2C, Four Channel, 256 Tap QPOT");
    EXPECT_EQ(w.txtDeviceAdr->text(), "A0");
    EXPECT_EQ(w.txtACRAddress->text(), "10");
    EXPECT_EQ(w.txtGPAddress->text(), "03");
    EXPECT_EQ(w.lblGDRs->text(), "3-7");
    EXPECT_EQ(g_TapCount, 256);
    EXPECT_EQ(g_ChannelCount, 4);
    EXPECT_EQ(g_WriteAddress, 0xA0);
    EXPECT_TRUE(w.OptChans[2]->isChecked() && w.OptTaps[5]->isChecked());
    EXPECT_FALSE(w.SSFrame3[3]->isHidden());
    EXPECT_TRUE(svc.boxTexts().isEmpty());

    // Leaving the table without a new pick applies the same row again; a fresh visit
    // without a pick says so and keeps the part.
    pickRow(w, exampleTable(), 0);
    EXPECT_TRUE(svc.boxTexts().isEmpty());
    g_I2CPartPicked = false;
    svc.answer(1);
    pickRow(w, exampleTable(), 0);
    EXPECT_EQ(svc.boxTexts(), QStringList{"No Device was selected from the list"});
    EXPECT_EQ(w.txtDeviceAdr->text(), "A0");
}

TEST_F(I2cRegisters, ARowWithoutAnI2CAddressIsNotApplied)
{
    auto& w = atWindowWithVcc();
    QTemporaryDir dir;
    const QString file = dir.filePath("bad.csv");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Part,Description,Channels,Taps,Bus Adr,ACR Adr,ACR Value,GP Regs,S8,S9,S10,S11,Reg,Data,Note\n"
            "BAD1,\"K4736 lookalike\",4,64,5G,8,0,NA,,,,,1,1,x\n"
            "END\n");
    f.close();
    svc.answer(1);
    pickRow(w, file, 1);
    EXPECT_EQ(svc.boxTexts(),
              QStringList{"Device address \"5G\" of part BAD1 is not an I2C address. The part was not applied."});
    EXPECT_EQ(w.lblProduct->text(), "Manual Setup");
    EXPECT_EQ(w.txtDeviceAdr->text(), "50");
    EXPECT_EQ(w.txtACRAddress->text(), "02");
    EXPECT_TRUE(w.Frk4736->isHidden());
}

TEST_F(I2cRegisters, K4736Layout)
{
    usePart();
    auto part = sim::installK4736(board());
    auto& w = pickI2C();
    w.supply->OptVCC[0]->setChecked(true);
    pickRow(w, exampleTable(), 5);
    EXPECT_FALSE(w.Frk4736->isHidden());
    EXPECT_TRUE(w.fraADDRSelect->isHidden());
    EXPECT_FALSE(w.txtACRAddress->isEnabled());
    EXPECT_EQ(w.SSFrame2->title(), "Status Register Control");
    EXPECT_EQ(w.lblChanSend[2]->text(), "WCR2");
    EXPECT_TRUE(board().pin(0, 6) && board().pin(0, 7) && board().pin(1, 1));

    // A bank: the status byte, the bank and the register names.
    board().transcript.clear();
    w.Frk4736->optK4736[3]->setChecked(true);
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x5E, 1, 1, 0x08, 0x05}}));
    EXPECT_EQ(w.Frk4736->lblBank->text(), "DR2");
    EXPECT_EQ((QStringList{w.lblChanSend[0]->text(), w.lblChanSend[3]->text(), w.lblChanRcvr[1]->text()}),
              (QStringList{"DR02", "DR32", "WCR1"}));
    EXPECT_TRUE(w.cmdACRRead->isHidden());

    // A wiper read selects the wiper registers first and reads the status back.
    board().transcript.clear();
    part->wcr[1] = 33;
    w.cmdI2Read_Click(1);
    const auto rq = i2cRequests();
    ASSERT_GE(rq.size(), 3u);
    EXPECT_EQ(rq[0], (Bytes{0x5E, 1, 1, 0x08, 0x00}));
    EXPECT_EQ(rq[1], (Bytes{0x5F, 1, 1, 0x08}));
    EXPECT_EQ(w.lblPotRead[1]->text(), "33");
    EXPECT_FALSE(w.cmdACRRead->isHidden());

    // The fill with a channel's Auto Read ticked still lands in all sixteen data registers,
    // and the wipers keep their places.
    w.ChkAutoRead[0]->setChecked(true);
    const auto wipers = part->wcr;
    svc.answer(1); // OK
    w.Frk4736->cdmAuto_Init->click();
    for (int b = 0; b < 4; ++b)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(part->dr[size_t(b)][size_t(k)], 16 * k + b) << b << k;
    EXPECT_EQ(part->wcr, wipers);
    EXPECT_EQ(w.txtACR[0]->text(), "00");
    EXPECT_TRUE(w.ChkAutoRead[0]->isChecked());

    // The next part gets its ACR address field back.
    pickRow(w, exampleTable(), 1);
    EXPECT_TRUE(w.txtACRAddress->isEnabled());
    EXPECT_TRUE(w.Frk4736->isHidden());
    EXPECT_EQ(w.SSFrame2->title(), "ACR Register Control");
}

TEST_F(I2cRegisters, K6627Layout)
{
    usePart("ZN3750"); // at A0, clear of the K6627
    auto part = sim::installK6627(board());
    auto& w = pickI2C();
    w.supply->OptVCC[0]->setChecked(true);
    pickRow(w, exampleTable(), 6);
    EXPECT_FALSE(w.frk662x->isHidden());
    EXPECT_EQ(w.frk662x->title(), "K6627/8 Table 3 Instruction Set");
    EXPECT_EQ(w.lblChanSend[0]->text(), "A0");
    EXPECT_EQ(w.lblChanRcvr[0]->text(), "80");
    auto& c = forms().frmMainF340();
    EXPECT_TRUE(c.chk2WireRead->isChecked());
    EXPECT_TRUE(c.chkRandom->isChecked());
    EXPECT_EQ(w.txtACRAddress->text(), "NA");
    EXPECT_EQ(w.cboDataSize->currentIndex(), 2);

    // The console's buttons reach the part; the window's 10-bit wiper write too.
    w.frk662x->txtWrK6628[0]->setText("3FF");
    w.frk662x->CMDk662X_Write[0]->click();
    w.frk662x->CMDk662X_Read[0]->click();
    EXPECT_EQ(w.frk662x->lblRdk662x[0]->text(), "3FF");
    EXPECT_EQ(part->wcr, 0x3FF);
    EXPECT_EQ(g_ReadValues[6], 0x3FF);
}

TEST_F(I2cRegisters, K4744LayoutAndBackToAStandardPart)
{
    auto& w = atWindowWithVcc();
    auto& c = forms().frmMainF340();
    pickRow(w, exampleTable(), 7);
    EXPECT_FALSE(w.Frk4744Show->isHidden());
    for (QWidget* f : std::initializer_list<QWidget*>{w.SSFrame2, w.frmRegisterWrite, w.fraADDRSelect, w.FrmShutdown})
        EXPECT_TRUE(f->isHidden());
    EXPECT_EQ(w.lblChanSend[0]->text(), "A0");
    EXPECT_EQ(w.lblChanRcvr[0]->text(), "90");
    EXPECT_TRUE(c.chk2WireRead->isChecked());
    EXPECT_FALSE(c.chkRandom->isChecked());

    pickRow(w, exampleTable(), 1);
    EXPECT_TRUE(w.Frk4744Show->isHidden());
    for (QWidget* f : std::initializer_list<QWidget*>{w.SSFrame2, w.frmRegisterWrite, w.fraADDRSelect, w.FrmShutdown})
        EXPECT_FALSE(f->isHidden());
    EXPECT_EQ(w.lblChanSend[0]->text(), "0");
    EXPECT_FALSE(c.chk2WireRead->isChecked());
    EXPECT_TRUE(c.chkRandom->isChecked());
}
