// The I2C device window over a simulated I2C part: the first pick, presets, the wiper
// panels' writes and reads with the bytes on the wire, the address pins, the supply panel,
// the return to the menu and the entry points of windows this version does not have.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/device_fixture.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/globals.h"
#include "sim/analog_board.h"
#include "support/conversion_replies.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

using Bytes = std::vector<int>;

namespace {

const QString kVccOff = "VCC is not turned on.";
const QString kWriteError = "Write DCP Error, Check Device Address, VCC & AVDD Power and I2C Connections ";
const QString kReadError = "Read DCP Error, Check Device Addreess, VCC & AVDD Power and I2C Connections ";

void enter(QLineEdit* box, int index, void (DeviceFormCore::*keyPress)(int, int), DeviceFormCore& w, const QString& t)
{
    box->setText(t);
    (w.*keyPress)(index, 'X'); // a key typed: the field is pending
    (w.*keyPress)(index, 13);
}

void typeHex(frmDCP_User1& w, int ch, const QString& t)
{
    enter(w.txtHexDataWrt[size_t(ch)], ch, &DeviceFormCore::txtHexDataWrt_KeyPress, w, t);
}

void typeDec(frmDCP_User1& w, int ch, const QString& t)
{
    enter(w.txtDECDataWrt[size_t(ch)], ch, &DeviceFormCore::txtDECDataWrt_KeyPress, w, t);
}

} // namespace

class I2cWindowTest : public I2cWindowFixture {};

TEST_F(I2cWindowTest, FirstPickSetsTheWindowUpInsideTheConsoleLoadAndShowsIt)
{
    usePart();
    auto& w = pickI2C();
    const auto requests = board().transcript.requests();

    // The window's pin defaults (A0..A3 low, /WP high) and the supply potentiometer's set-up
    // frames go out while the console reads the board back, before the motherboard's
    // power-up port write (P2 = 0x10).
    size_t pinDefaults = requests.size(), setupFrame = requests.size(), powerUp = requests.size();
    const auto first = [&](size_t& at, auto match) {
        for (size_t i = 0; i < requests.size() && at == requests.size(); ++i)
            if (match(requests[i]))
                at = i;
    };
    first(pinDefaults, [](const auto& rq) { return rq[1] == 0x12 && rq[2] == 0 && rq[3] == 0x90 && (rq[4] & 0x07) == 0x04; });
    first(setupFrame, [](const auto& rq) { return rq[1] == 0x09 && rq[7] == 0x50 && rq[8] == 0xC2 && rq[9] == 0xC0; });
    first(powerUp, [](const auto& rq) { return rq[1] == 0x12 && rq[2] == 0 && rq[3] == 0x90 && rq[4] == 0x08; });
    ASSERT_LT(powerUp, requests.size());
    EXPECT_LT(pinDefaults, powerUp);
    EXPECT_LT(setupFrame, powerUp);

    // The clock list mirrors the console's, and the clock was sent twice (both lists' handlers).
    auto& c = forms().frmMainF340();
    ASSERT_EQ(w.cboI2CClock->count(), c.cboSMBusFrequency->count());
    EXPECT_EQ(w.cboI2CClock->currentIndex(), c.cboSMBusFrequency->currentIndex());
    EXPECT_EQ(w.cboI2CClock->itemData(3), c.cboSMBusFrequency->itemData(3));
    int clockSets = 0;
    for (const auto& rq : requests)
        clockSets += rq[1] == 0x05 && rq[2] == 0;
    EXPECT_EQ(clockSets, 2);

    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(forms().frmStartup().isVisible());
    EXPECT_FALSE(board().pin(1, 3)); // I2C selected
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&w));
    EXPECT_EQ(w.List1[0]->count(), 129);
    EXPECT_EQ(w.List1[3]->item(128)->text(), "128");
    EXPECT_TRUE(w.OptTaps[4]->isChecked());
    EXPECT_FALSE(w.SSFrame3[1]->isVisibleTo(&w));
    EXPECT_TRUE(w.SSFrame3[0]->isVisibleTo(&w));
    EXPECT_EQ(w.txtDeviceAdr->text(), "50");
    EXPECT_EQ(w.txtACRAddress->text(), "02");
    EXPECT_EQ(w.txtACR[0]->text(), "C0");
    EXPECT_EQ(g_AcrValue, 0xC0);
    EXPECT_EQ(w.lblProduct->text(), "Manual Setup");
    EXPECT_EQ(w.txtDECDataWrt[0]->text(), "0000");
    EXPECT_EQ(w.txtHexDataWrt[0]->text(), "000");
    EXPECT_EQ(w.supply->CboVCC->currentText(), "5.0");
    EXPECT_EQ(w.cboDataSize->currentIndex(), 1);
    EXPECT_TRUE(g_I2CFamily);
    // The activation, VCC being off: the level was sent again (0x72) and VCC read back.
    bool level = false;
    for (const auto& rq : requests)
        level |= rq[1] == 0x09 && rq[7] == 0x50 && rq[8] == 0xC0 && rq[9] == 0x72;
    EXPECT_TRUE(level);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2cWindowTest, WiperWriteWithAutoReadWritesReadsBackAndShowsTheVoltage)
{
    auto& w = atWindowWithVcc();
    EXPECT_EQ(w.supply->lblVCCVolts->text(), "5.000");
    w.ChkAutoRead[0]->setChecked(true); // reads at once
    board().transcript.clear();

    typeHex(w, 0, "5A");

    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x50, 1, 1, 0x00, 0x5A}, {0x51, 1, 1, 0x00}}));
    EXPECT_EQ(dcp->wcr(0), 0x5A);
    // After the read-back the wiper input VIN0 (the tick's sample left it selected) is
    // converted by READ_AD twice.
    const auto all = board().transcript.requests();
    size_t read = 0;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i][1] == 0x06 && (all[i][2] & 1))
            read = i;
    int conversionsAfter = 0;
    for (size_t i = read; i < all.size(); ++i)
        conversionsAfter += all[i][1] == 0x11;
    EXPECT_EQ(conversionsAfter, 2);
    EXPECT_EQ(board().sfr(0xBB), 0x06); // AMX0P: VIN0
    EXPECT_EQ(forms().frmMotherboardDAQ2().Combo1->currentIndex(), 6);
    EXPECT_EQ(w.lblPotRead[0]->text(), "90");
    EXPECT_EQ(w.lblPotReadhex[0]->text(), "5A");
    EXPECT_EQ(w.ProgressBar1[0]->value(), 90);
    EXPECT_EQ(w.lblWiperVolts[0]->text(), "3.516");
    EXPECT_EQ(w.Shape1[1]->fillColor(), 10);
    EXPECT_EQ(w.Shape1[4]->fillColor(), 10);
    EXPECT_EQ(w.txtDECDataWrt[0]->text(), "90");

    typeHex(w, 0, "5B");
    EXPECT_EQ(w.Shape1[1]->fillColor(), 2); // repeated successes blink
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2cWindowTest, PresetsSetTheModelTheFieldsAndTheStandardI2COptions)
{
    usePart();
    auto& w = pickI2C();
    struct Case {
        QAction* frmDCP_User1::*action;
        const char* product;
        const char* address;
        const char* acr;
        int taps, channels, addressByte;
    } cases[] = {
        {&frmDCP_User1::mnu_ZN3740, "ZN3740, I2C, Four Channel, 128 Tap QPOT", "A0", "08", 128, 4, 0xA0},
        {&frmDCP_User1::mnuZN3750, "ZN3750, I2C, Four Channel, 256 Tap QPOT", "A0", "10", 256, 4, 0xA0},
        {&frmDCP_User1::mnuZN3810, "ZN3810, I2C, Single Channel, 128 Tap QPOT", "50", "02", 128, 1, 0x50},
        {&frmDCP_User1::mnu_ZN3710, "ZN3710, I2C, Single Channel, 128 Tap QPOT", "50", "02", 128, 1, 0x50},
    };
    auto& c = forms().frmMainF340();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.product);
        // An earlier part left the console without its register byte.
        c.chkRandom->setChecked(false);
        c.chk2WireRead->setChecked(true);
        w.cboDataSize->setCurrentIndex(0);
        (w.*k.action)->trigger();
        EXPECT_EQ(w.lblProduct->text(), k.product);
        EXPECT_EQ(w.txtDeviceAdr->text(), k.address);
        EXPECT_EQ(w.txtCalcAddr->text(), k.address);
        EXPECT_EQ(w.txtACRAddress->text(), k.acr);
        EXPECT_EQ(g_TapCount, k.taps);
        EXPECT_EQ(g_ChannelCount, k.channels);
        EXPECT_EQ(g_WriteAddress, k.addressByte);
        for (int ch = 0; ch < 4; ++ch)
            EXPECT_EQ(w.SSFrame3[size_t(ch)]->isVisibleTo(&w), ch < k.channels) << ch;
        EXPECT_EQ(w.List1[2]->count(), k.taps + 1);
        EXPECT_EQ(w.Slider1[0]->maximum(), k.taps);
        EXPECT_EQ(w.txtHexDataWrt[0]->text(), "00");
        EXPECT_EQ(w.lblPotReadhex[0]->text(), "--");
        EXPECT_EQ(w.cboDataSize->currentIndex(), 1);
        EXPECT_EQ(w.cboRegSize->currentIndex(), 1);
        EXPECT_TRUE(c.chkRandom->isChecked());
        EXPECT_FALSE(c.chk2WireRead->isChecked());
    }
    // The preset already chosen rebuilds the lists all the same.
    w.List1[0]->clear();
    w.mnu_ZN3710->trigger();
    EXPECT_EQ(w.List1[0]->count(), 129);
}

TEST_F(I2cWindowTest, DraggingASliderWritesItsPositionOnce)
{
    auto& w = atWindowWithVcc("ZN3740");
    w.mnu_ZN3740->trigger();
    // The preset moved the sliders as a user would: a release on one writes what it shows.
    board().transcript.clear();
    w.Slider1_MouseDown(3);
    w.Slider1_MouseUp(3);
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0xA0, 1, 1, 0x03, 0x00}}));

    typeHex(w, 1, "10"); // an Enter commit clears the sliders' touched flag
    board().transcript.clear();

    w.Slider1_MouseDown(2);
    w.Slider1[2]->setValue(65);
    w.Slider1_MouseUp(2);
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0xA0, 1, 1, 0x02, 0x40}}));
    EXPECT_EQ(dcp->wcr(2), 0x40);
    EXPECT_EQ(w.txtHexDataWrt[2]->text(), "40");
    EXPECT_EQ(w.txtDECDataWrt[2]->text(), "64");

    // A press and release that moves nothing writes nothing and leaves no busy flag behind.
    board().transcript.clear();
    w.Slider1_MouseDown(2);
    w.Slider1_MouseUp(2);
    EXPECT_TRUE(i2cRequests().empty());
    EXPECT_FALSE(g_SliderSyncBusy);
}

TEST_F(I2cWindowTest, AClickOnTheSliderTrackWritesThePositionItShows)
{
    auto& w = atWindowWithVcc();
    w.mnu_ZN3710->trigger();
    typeHex(w, 0, "10"); // a known position, the touched flags clear
    board().transcript.clear();
    QSlider* s = w.Slider1[0];
    const QPoint farRight(s->width() - 3, s->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, farRight, s->mapToGlobal(farRight), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(s, &e);
    }
    const int p = s->value() - 1;
    ASSERT_NE(p, 0x10) << "the click did not move the slider";
    EXPECT_EQ(w.txtDECDataWrt[0]->text(), QString::number(p));
    EXPECT_EQ(dcp->wcr(0), p);
    EXPECT_EQ(i2cRequests().size(), 1u);
}

TEST_F(I2cWindowTest, ComingBackToTheFrontRegistersTheWindowSoItsSupplyLampShows)
{
    usePart();
    auto& w = pickI2C();
    g_ActiveForm = nullptr; // as a VCC calibration window leaves it when it closes
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&w));
    w.supply->OptVCC[0]->setChecked(true);
    EXPECT_EQ(w.supply->ShpVCCon->fillColor(), 12);
}

TEST_F(I2cWindowTest, WiperWriteFirstCommitsTheFieldTypedInLast)
{
    auto& w = atWindowWithVcc("ZN3740");
    w.mnu_ZN3740->trigger();
    typeHex(w, 1, "10");
    board().transcript.clear();
    w.txtHexDataWrt[0]->setText("7F");
    w.txtHexDataWrt_KeyPress(0, 'F'); // typed, no Enter
    w.txtDECDataWrt[3]->setText("5");
    w.txtDECDataWrt_KeyPress(3, '5'); // typed later: only this one is pending
    EXPECT_FALSE(g_HexEntryPending);
    EXPECT_TRUE(g_DecEntryPending);
    w.txtHexDataWrt_KeyPress(0, 'F');
    EXPECT_TRUE(g_HexEntryPending);
    EXPECT_FALSE(g_DecEntryPending);

    w.CMDxMIT[1]->click();
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0xA0, 1, 1, 0x00, 0x7F}, {0xA0, 1, 1, 0x01, 0x10}}));
}

// Enter in the hex field: what the field keeps and what reaches the wire.
TEST_F(I2cWindowTest, HexCommitTable)
{
    auto& w = atWindowWithVcc();
    struct Case {
        int tapsIndex, size;
        const char* typed;
        const char* after;
        Bytes written; // empty: nothing sent, a message instead
    } cases[] = {
        {4, 1, "7", "07", {0x50, 1, 1, 0x00, 0x07}},
        {4, 1, "7f", "7F", {0x50, 1, 1, 0x00, 0x7F}},
        {4, 1, "0", "00", {0x50, 1, 1, 0x00, 0x00}},
        {4, 1, "80", "80", {0x50, 1, 1, 0x00, 0x80}},
        {4, 1, "81", "00", {0x50, 1, 1, 0x00, 0x00}},
        {4, 1, "G1", "00", {0x50, 1, 1, 0x00, 0x00}},
        {4, 1, "FFFF", "00", {0x50, 1, 1, 0x00, 0x00}},
        {4, 1, "10005", "00", {0x50, 1, 1, 0x00, 0x00}},
        {4, 1, "5G", "00", {0x50, 1, 1, 0x00, 0x00}},
        {7, 1, "5", "005", {0x50, 1, 1, 0x00, 0x05}},
        {7, 1, "401", "000", {0x50, 1, 1, 0x00, 0x00}},
        {7, 1, "12C", "000", {}},
        {5, 1, "100", "00", {}},
        {7, 2, "3FF", "3FF", {0x50, 2, 1, 0xA0, 0x03, 0xFF}},
        {7, 2, "400", "000", {}},
        {4, 2, "1A", "1A", {0x50, 2, 1, 0xA0, 0x00, 0x1A}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        w.OptTaps_Click(c.tapsIndex);
        w.cboDataSize->setCurrentIndex(c.size);
        board().transcript.clear();
        svc.boxes.clear();
        const int lamp = w.Shape1[1]->fillColor();
        if (c.written.empty())
            svc.answer(platform::vbOK);
        typeHex(w, 0, c.typed);
        EXPECT_EQ(w.txtHexDataWrt[0]->text(), c.after);
        if (c.written.empty()) {
            EXPECT_TRUE(i2cRequests().empty());
            ASSERT_EQ(svc.boxes.size(), 1u);
            EXPECT_TRUE(svc.boxes[0].text.startsWith("Channel 0: position")) << svc.boxes[0].text.toStdString();
            EXPECT_EQ(w.Shape1[1]->fillColor(), lamp);
        } else {
            EXPECT_EQ(i2cRequests(), std::vector<Bytes>{c.written});
            EXPECT_TRUE(svc.boxes.empty());
        }
    }
    EXPECT_EQ(w.frk662x->txtWrK6628[0]->text(), "1A");
}

TEST_F(I2cWindowTest, DecimalCommitTable)
{
    auto& w = atWindowWithVcc();
    struct Case {
        int tapsIndex;
        const char* typed;
        const char* dec;
        const char* hex;
        int written; // -1: refused with a message
    } cases[] = {
        {4, "-3", "0", "00", 0},     {4, "129", "0", "00", 0},     {4, "12.6", "13", "0D", 13},
        {4, "127.5", "128", "80", 128}, {4, "126.5", "126", "7E", 126}, {4, "abc", "0", "00", 0},
        {7, "300", "0", "000", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        w.OptTaps_Click(c.tapsIndex);
        board().transcript.clear();
        if (c.written < 0)
            svc.answer(platform::vbOK);
        typeDec(w, 0, c.typed);
        EXPECT_EQ(w.txtDECDataWrt[0]->text(), c.dec);
        EXPECT_EQ(w.txtHexDataWrt[0]->text(), c.hex);
        if (c.written < 0)
            EXPECT_TRUE(i2cRequests().empty());
        else
            EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x50, 1, 1, 0x00, c.written}}));
    }
}

// A position the part's register cannot hold is refused with its message; both fields then
// show the position written before, each in its own form, and the slider stays there.
TEST_F(I2cWindowTest, ARefusedEntryShowsThePositionWrittenBefore)
{
    auto& w = atWindowWithVcc("ZN3750");
    w.mnuZN3750->trigger();
    typeHex(w, 2, "40");
    ASSERT_EQ(dcp->wcr(2), 0x40);
    const struct {
        void (*type)(frmDCP_User1&, int, const QString&);
        const char* typed;
    } cases[] = {{typeHex, "100"}, {typeDec, "256"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        board().transcript.clear();
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        c.type(w, 2, c.typed);
        EXPECT_EQ(svc.boxTexts(), QStringList{"Channel 2: position 256 (100) does not fit this part's one-byte wiper "
                                              "register. Nothing was written."});
        EXPECT_TRUE(i2cRequests().empty());
        EXPECT_EQ(w.txtHexDataWrt[2]->text(), "40");
        EXPECT_EQ(w.txtDECDataWrt[2]->text(), "64");
        EXPECT_EQ(w.Slider1[2]->value(), 0x41);
    }
    EXPECT_EQ(dcp->wcr(2), 0x40);
}

TEST_F(I2cWindowTest, SupplyOffWriteShowsTheThreeDialogsInOrderAndRedLamps)
{
    dcp = &usePart();
    auto& w = pickI2C();
    svc.answer(platform::vbOK);    // VCC is not turned on.
    svc.answer(platform::vbRetry); // not acknowledged: back to the window
    svc.answer(platform::vbOK);    // the window's own message
    w.txtHexDataWrt[0]->setText("10");
    w.CMDxMIT_Click(0);
    ASSERT_EQ(svc.boxes.size(), 3u);
    EXPECT_EQ(svc.boxes[0].text, kVccOff);
    EXPECT_TRUE(svc.boxes[1].text.startsWith("Invalid I2C address."));
    EXPECT_EQ(svc.boxes[2].text, kWriteError);
    EXPECT_EQ(svc.boxes[2].title, " Error during Write to DCP ");
    EXPECT_EQ(w.Shape1[1]->fillColor(), 12);
    EXPECT_EQ(w.Shape1[4]->fillColor(), 12);
}

TEST_F(I2cWindowTest, AReadNotAcknowledgedKeepsTheShownPosition)
{
    auto& w = atWindowWithVcc();
    w.ChkAutoRead[0]->setChecked(true);
    typeHex(w, 0, "5A");
    ASSERT_EQ(w.lblPotRead[0]->text(), "90");
    w.ChkAutoRead[0]->setChecked(false);

    board().nakNextI2C();
    svc.answer(platform::vbRetry);
    svc.answer(platform::vbOK);
    w.cmdI2Read_Click(0);
    EXPECT_EQ(svc.boxes.back().text, kReadError);
    EXPECT_EQ(svc.boxes.back().title, " Error during DCP Read ");
    EXPECT_EQ(w.lblPotRead[0]->text(), "90");
    EXPECT_EQ(w.lblPotReadhex[0]->text(), "5A");
    EXPECT_EQ(w.ProgressBar1[0]->value(), 90);
    EXPECT_EQ(g_ReadValues[6], 90);
    EXPECT_EQ(w.Shape1[2]->fillColor(), 12);

    // Data size "None": no transfer, the lamps stay as the last read left them.
    board().transcript.clear();
    w.cboDataSize->setCurrentIndex(0);
    w.cmdI2Read_Click(0);
    EXPECT_TRUE(i2cRequests().empty());
    EXPECT_EQ(w.Shape1[2]->fillColor(), 12);
    EXPECT_EQ(w.lblPotRead[0]->text(), "90");
}

TEST_F(I2cWindowTest, AnOddAddressIsSentAsTheWriteAddressBelowIt)
{
    auto& w = atWindowWithVcc();
    w.txtDeviceAdr->setText("51"); // set without validation, as Copy and Default do
    typeHex(w, 0, "22");
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x50, 1, 1, 0x00, 0x22}}));
    EXPECT_EQ(dcp->wcr(0), 0x22);
    w.txtDeviceAdr_KeyPress(13);
    EXPECT_EQ(w.txtDeviceAdr->text(), "50");
}

TEST_F(I2cWindowTest, AddressPinsMoveThePartAndCopyAddressesIt)
{
    auto& w = atWindowWithVcc();
    w.chkI2CAdr[0]->setChecked(true);
    board().transcript.clear();
    w.chkI2CAdr[2]->setChecked(true);
    int portSets = 0;
    for (const auto& rq : board().transcript.requests(0x12))
        portSets += rq[2] == 0;
    EXPECT_EQ(portSets, 6); // one six-register port write
    EXPECT_TRUE(board().pin(0, 6));
    EXPECT_FALSE(board().pin(0, 7));
    EXPECT_TRUE(board().pin(1, 0));
    EXPECT_FALSE(board().pin(1, 1));
    EXPECT_EQ(w.txtCalcAddr->text(), "5A");
    EXPECT_EQ(w.txtDeviceAdr->text(), "50");
    EXPECT_EQ(dcp->address7(), 0x2D);

    w.cmdCopyAdr->click();
    board().transcript.clear();
    typeHex(w, 0, "33");
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x5A, 1, 1, 0x00, 0x33}}));
    EXPECT_EQ(dcp->wcr(0), 0x33);

    w.chkI2CAdr[1]->setChecked(true);
    w.chkI2CAdr[3]->setChecked(true);
    EXPECT_EQ(w.txtCalcAddr->text(), "6E");
    for (QCheckBox* c : w.chkI2CAdr)
        c->setChecked(false);
    EXPECT_EQ(w.txtCalcAddr->text(), "50");
    w.cmdSlave->click();
    EXPECT_EQ(w.txtDeviceAdr->text(), "50");

    // Unticking "/ShutDown /Wp" drives P1.2 low, and the part ignores writes.
    board().transcript.clear();
    w.ChkShutDown2->setChecked(false);
    EXPECT_FALSE(board().pin(1, 2));
    typeHex(w, 0, "44");
    EXPECT_EQ(dcp->wcr(0), 0x33);
}

TEST_F(I2cWindowTest, SupplyPanelReadingsOffsetGainAndLevels)
{
    const auto replies = interceptConversions(sims);
    auto& w = atWindowWithVcc();
    SupplyPanel& s = *w.supply;
    EXPECT_TRUE(board().pin(2, 5));
    EXPECT_EQ(s.lblVCCVolts->text(), "5.000");
    EXPECT_EQ(s.lblSPICode->text(), "72");
    EXPECT_EQ(w.ShpVCCon()->fillColor(), 12);

    s.CboVCC->setCurrentIndex(9); // "Max"
    board().transcript.clear();
    s.cmdUpdateVCC->click();
    EXPECT_EQ(s.lblSPICode->text(), "7F");
    bool sent = false;
    for (const auto& rq : board().transcript.requests(0x09))
        sent |= rq[7] == 0x50 && rq[8] == 0xC0 && rq[9] == 0x7F;
    EXPECT_TRUE(sent);
    s.CboVCC->setCurrentIndex(6);
    s.cmdUpdateVCC_Click();

    s.txtADOffset->setText("0.10");
    s.cmdReadVCC_Click();
    EXPECT_EQ(s.lblVCCVolts->text(), "5.200");
    EXPECT_NEAR(g_AdcVolts, 2.60, 0.002);

    // A conversion that is no reading (a failed status, a count no conversion gives) shows
    // none, never the last reading, and leaves the shared result alone.
    const double before = g_AdcVolts;
    for (const auto& rewrite : {ConversionReplies::failedStatus(), ConversionReplies::count(4096)}) {
        replies->rewriteNext(2, rewrite);
        s.cmdReadVCC_Click();
        EXPECT_EQ(s.lblVCCVolts->text(), "-.---");
        EXPECT_EQ(g_AdcVolts, before);
        w.cmdSampleWiper_Click(1);
        ASSERT_NE(w.lblWiperVolts[1]->text(), "-.---");
        replies->rewriteNext(2, rewrite);
        w.cmdSampleWiper_Click(1);
        EXPECT_EQ(w.lblWiperVolts[1]->text(), "-.---");
        s.cmdReadVCC_Click();
        ASSERT_EQ(s.lblVCCVolts->text(), "5.200");
    }
    EXPECT_EQ(replies->rewritten, 8);

    s.txtADGain->setText("abc");
    s.txtADGain_LostFocus();
    EXPECT_EQ(s.txtADGain->text(), "2.00");
    s.txtADOffset->setText("x");
    s.txtADOffset_LostFocus();
    EXPECT_EQ(s.txtADOffset->text(), "0.00");

    // Wiper 3's voltage: input-list entry 9, its own label only.
    w.lblWiperVolts[0]->setText("keep");
    w.cmdSampleWiper_Click(3);
    EXPECT_EQ(forms().frmMotherboardDAQ2().Combo1->currentIndex(), 9);
    EXPECT_EQ(w.lblWiperVolts[0]->text(), "keep");
    EXPECT_EQ(w.lblWiperVolts[3]->text(), "0.000");

    // Tracking switched back on while VCC is on: V-minus on, and the level sent again.
    s.ChkTrack->setChecked(false);
    EXPECT_TRUE(s.OptVM[0]->isEnabled());
    board().transcript.clear();
    s.ChkTrack->setChecked(true);
    EXPECT_TRUE(s.OptVM[0]->isChecked());
    EXPECT_FALSE(s.OptVM[0]->isEnabled());
    EXPECT_TRUE(board().pin(2, 6));
    EXPECT_FALSE(board().transcript.requests(0x09).empty());

    // No level selected (an empty list): nothing to send, and the button comes back.
    s.CboVCC->clear();
    board().transcript.clear();
    s.cmdUpdateVCC_Click();
    EXPECT_TRUE(board().transcript.requests(0x09).empty());
    EXPECT_TRUE(s.cmdUpdateVCC->isEnabled());
}

TEST_F(I2cWindowTest, ReturnToMenuSwitchesOffAndTheNextPickOnlyActivates)
{
    auto& w = atWindowWithVcc();
    w.cmdMMenu->click();
    EXPECT_FALSE(board().pin(2, 5));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(forms().frmStartup().isVisible());

    w.txtDeviceAdr->setText("A0");
    board().transcript.clear();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.txtDeviceAdr->text(), "A0"); // no second set-up
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&w));

    g_ReturnToMenu = false;
    EXPECT_TRUE(ends([&] { w.close(); }));
}

TEST_F(I2cWindowTest, ReadAllAndSetWriteEqualsRead)
{
    auto& w = atWindowWithVcc("ZN3740");
    w.mnu_ZN3740->trigger();
    dcp->setReg(1, 0x7F);
    dcp->setReg(2, 0x80); // the tap count
    board().transcript.clear();
    w.cmdReadAllWipers[0]->click();
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0xA1, 1, 1, 0}, {0xA1, 1, 1, 1}, {0xA1, 1, 1, 2}, {0xA1, 1, 1, 3}}));
    EXPECT_EQ(w.lblPotReadhex[1]->text(), "7F");

    board().transcript.clear();
    w.cmdReadAllWipers[1]->click();
    EXPECT_EQ(w.txtDECDataWrt[1]->text(), "127");
    EXPECT_EQ(w.Slider1[1]->value(), 128);
    EXPECT_EQ(w.List1[1]->currentRow(), 127);
    EXPECT_EQ(w.List1[2]->currentRow(), 128);
    // Each channel's list writes back the position read, the tap count included.
    const auto writes = i2cRequests();
    EXPECT_NE(std::find(writes.begin(), writes.end(), Bytes{0xA0, 1, 1, 1, 0x7F}), writes.end());
    EXPECT_NE(std::find(writes.begin(), writes.end(), Bytes{0xA0, 1, 1, 2, 0x80}), writes.end());
    EXPECT_EQ(dcp->wcr(2), 0x80);

    // More channels than panels (a parameter row can say 8): four reads.
    g_ChannelCount = 8;
    board().transcript.clear();
    w.cmdReadAllWipers_Click(0);
    EXPECT_EQ(i2cRequests().size(), 4u);
}

TEST_F(I2cWindowTest, ReadAllOnTheSetUpReadsOneChannelAndSetWriteSkipsPlaceholders)
{
    auto& w = atWindowWithVcc();
    w.OptChans[2]->setChecked(true); // four panels by hand; the part keeps one channel
    EXPECT_EQ(g_ChannelCount, 1);
    EXPECT_TRUE(w.SSFrame4[3]->isVisibleTo(&w));
    board().transcript.clear();
    w.cmdReadAllWipers_Click(1); // read labels still show "000"
    EXPECT_TRUE(i2cRequests().empty());
    w.cmdReadAllWipers_Click(0);
    EXPECT_EQ(i2cRequests().size(), 1u);
}

TEST_F(I2cWindowTest, TapsHandlerTable)
{
    usePart();
    auto& w = pickI2C();
    struct Case {
        int index, taps, step;
        const char *dec, *hex, *readDec, *readHex;
    } cases[] = {
        {3, 100, 5, "000", "00", "---", "--"},
        {5, 256, 16, "000", "00", "---", "--"},
        {7, 1024, 64, "0000", "000", "----", "---"},
        {0, 16, 1, "000", "00", "---", "--"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.taps);
        w.OptTaps[size_t(c.index)]->setChecked(true);
        EXPECT_EQ(g_TapCount, c.taps);
        EXPECT_EQ(w.Slider1[1]->tickInterval(), c.step);
        EXPECT_EQ(w.List1[3]->count(), c.taps + 1);
        EXPECT_EQ(w.ProgressBar1[2]->maximum(), c.taps);
        EXPECT_EQ(w.txtDECDataWrt[0]->text(), c.dec);
        EXPECT_EQ(w.txtHexDataWrt[1]->text(), c.hex);
        EXPECT_EQ(w.lblPotRead[2]->text(), c.readDec);
        EXPECT_EQ(w.lblPotReadhex[3]->text(), c.readHex);
    }
}

TEST_F(I2cWindowTest, QuadInstructionFormSendsInstructionAndValue)
{
    auto& w = atWindowWithVcc();
    board().detachI2C(dcp->address7());
    auto quad = std::make_shared<sim::RegisterBankDevice>();
    board().attachI2C(0x28, quad);
    auto& c = forms().frmMainF340();
    c.chkRandom->setChecked(false);
    c.chk2WireRead->setChecked(true);
    w.lblProduct->setText("K4744/5, I2C, Quad");
    w.OptChans[2]->setChecked(true);
    for (int size : {2, 1}) {
        board().transcript.clear();
        w.cboDataSize->setCurrentIndex(size);
        w.txtHexDataWrt[1]->setText("80");
        w.CMDxMIT_Click(1);
        EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x50, 2, 0, 0xA1, 0x80}})) << size;
    }

    board().transcript.clear();
    w.cmdI2Read_Click(1);
    std::vector<std::vector<int>> sfr;
    for (const auto& rq : board().transcript.requests())
        if (rq[1] == 0x12 && rq[3] == 0x80)
            sfr.push_back({rq[2], rq[4]});
    ASSERT_EQ(sfr.size(), 4u);
    EXPECT_EQ(sfr[0][0], 1);
    EXPECT_EQ(sfr[1][0], 0);
    EXPECT_TRUE(sfr[1][1] & 0x40);
    EXPECT_EQ(sfr[3][0], 0);
    EXPECT_FALSE(sfr[3][1] & 0x40);
    EXPECT_EQ(i2cRequests(), (std::vector<Bytes>{{0x51, 1, 1, 0x91}}));

    // A port read without an answer is not written back. The set-up of the board that the
    // Retry finds again writes P0 with the port image: only what follows it counts.
    board().transcript.clear();
    board().dropNextReplies(1);
    svc.onBox = [](const QString&, int) { return int(platform::vbRetry); };
    const auto setUp = linkHooks().freshBoard;
    linkHooks().freshBoard = [this, setUp] {
        setUp();
        board().transcript.clear();
    };
    w.cmdI2Read_Click(1);
    svc.onBox = nullptr;
    linkHooks().freshBoard = setUp;
    const auto requests = board().transcript.requests();
    for (const auto& rq : requests) {
        if (rq[1] == 0x06)
            break;
        EXPECT_FALSE(rq[1] == 0x12 && rq[2] == 0 && rq[3] == 0x80) << "P0 written from a failed read";
    }
}

TEST_F(I2cWindowTest, ActivationWithVccOnOnlyRegistersTheWindow)
{
    auto& w = atWindowWithVcc();
    g_ActiveForm = nullptr;
    forms().frmDCP_User1.show();
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&w));
    EXPECT_TRUE(board().pin(2, 5));
    EXPECT_TRUE(board().transcript.requests().empty());
}
