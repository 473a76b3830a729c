// The motherboard window as a whole: its set-up, the hex entry rule of its byte fields, the
// action-button group, "Show Main" and "Exit", and the I2C panel against a register device.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <functional>
#include <vector>

using platform::vbOK;
using platform::vbRetry;

namespace {

const QString kInvalidAddress =
    "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel to close GUI.";

void typeInto(QLineEdit* box, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &e);
    }
}

void pressEnter(QLineEdit* box)
{
    QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(box, &e);
}

void leave(QLineEdit* box)
{
    QFocusEvent e(QEvent::FocusOut);
    QCoreApplication::sendEvent(box, &e);
}

} // namespace

class MotherboardWindowTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        svc.programDirectory = dir.path();
    }
    frmMotherboardDAQ2& mb() { return forms().frmMotherboardDAQ2(); }
    std::shared_ptr<sim::RegisterBankDevice> attach(std::uint8_t address7)
    {
        auto dev = std::make_shared<sim::RegisterBankDevice>();
        board(0).attachI2C(address7, dev);
        return dev;
    }
    QTemporaryDir dir;
};

TEST_F(MotherboardWindowTest, SetUpLoadsTheConsoleFirstAndStaysHidden)
{
    g_TraceOn = true;
    EXPECT_FALSE(forms().frmMainF340.loaded());
    frmMotherboardDAQ2& w = mb();
    EXPECT_TRUE(forms().frmMainF340.loaded());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "DCP Motherboard Control");
    EXPECT_EQ(w.chkPData[11]->text(), "P1.3 Mother Board Switch");
    EXPECT_EQ(w.chkP0OutEn[23]->text(), "P2.7");
    for (QRadioButton* o : w.OptVCCMinus) {
        if (o) {
            EXPECT_FALSE(o->isEnabled()) << "V-minus follows VCC at first";
        }
    }
    const QString log = forms().Doco().logText();
    EXPECT_LT(log.indexOf("Motherboard Form Load\r\n"), log.indexOf("F340 Form Load"));
    EXPECT_TRUE(log.endsWith("Motherboard Form Load Completed\r\n\r\n"));
    EXPECT_TRUE(svc.boxes.empty());
}

// Every byte field of the window keys through HexKeyAscii and settles by the hex entry rule;
// above FF is no byte and becomes "00" like a value of 0.
TEST_F(MotherboardWindowTest, HexEntryRuleOfTheByteFields)
{
    frmMotherboardDAQ2& w = mb();
    enum End { Enter, Leave };
    struct Case {
        const char* field;
        QLineEdit* box;
        const char* typed;
        End end;
        const char* shown;
    };
    const Case cases[] = {
        {"port byte", w.txtPBuf[0], "0", Enter, "00"},
        {"port byte", w.txtPBuf[0], "7f", Enter, "7F"},
        {"port byte", w.txtPBuf[0], "7", Leave, "7"},   // not padded
        {"port byte", w.txtPBuf[0], "FF", Enter, "FF"},
        {"port byte", w.txtPBuf[0], "100", Enter, "00"}, // no byte
        {"port byte", w.txtPBuf[0], "101", Leave, "00"},
        {"port byte", w.txtPBuf[0], "FFFF", Enter, "00"},
        {"port byte", w.txtPBuf[0], "100FF", Enter, "00"},
        {"port byte", w.txtPBuf[0], "", Leave, "00"},    // emptied and left
        {"port byte", w.txtPBuf[0], "1g-2", Enter, "12"}, // keys that are no hex digit are dropped
        {"I2C count", w.txtI2COut[0], "3", Leave, "3"},
        {"I2C address", w.txtI2COut[1], "a0", Leave, "A0"},
        {"I2C register", w.txtI2CIN[2], "0", Leave, "00"},
        {"I2C count", w.txtI2CIN[0], "100", Enter, "00"},
        {"SPI 2 byte", w.txtSPIWrite2Data[1], "c01", Enter, "C0"}, // cut to two characters
        {"SPI 2 byte", w.txtSPIWrite2Data[2], "0", Leave, "00"},
        {"SPI 3 byte", w.txtSPIWrite3Data[1], "0", Enter, "00"},
        {"SPI 3 byte", w.txtSPIWrite3Data[2], "0", Leave, "0"}, // terminal 3 settles on Enter only
    };
    for (const Case& c : cases) {
        c.box->clear();
        typeInto(c.box, c.typed);
        if (c.end == Enter)
            pressEnter(c.box);
        else
            leave(c.box);
        EXPECT_EQ(c.box->text(), c.shown) << c.field << " typed \"" << c.typed << "\"";
    }

    int key = 'b';
    w.HexKeyAscii(key);
    EXPECT_EQ(key, 'B');
    for (int k : {13, 8, int('0'), int('9'), int('A'), int('F')}) {
        int kept = k;
        w.HexKeyAscii(kept);
        EXPECT_EQ(kept, k);
    }
    for (int k : {int('g'), int(' '), int('-'), 27}) {
        w.HexKeyAscii(k);
        EXPECT_EQ(k, 0);
    }
}

TEST_F(MotherboardWindowTest, ActionGroupIsDisabledAndEnabledTogether)
{
    frmMotherboardDAQ2& w = mb();
    const std::vector<QPushButton*> group{w.cmdWrtPipe1,  w.cmdReadPipe1,   w.cmdSPIOWrite2, w.cmdSPIOWrite3, w.cmdSPIWrite,
                                          w.cmdSPIWrite2, w.cmdSPRRdReg,    w.cmdSPIReadData, w.CMDI2CWrite,  w.cmdI2CRead,
                                          w.cmdSetMode,   w.cmdSample,      w.cmdSampleVCC};
    EXPECT_EQ(w.actionButtons(), group);
    w.cmdDisableButtons->click();
    for (QPushButton* b : w.actionButtons())
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(w.cmdexit->isEnabled());
    EXPECT_TRUE(w.cmdShowMian->isEnabled());
    EXPECT_TRUE(w.cmdEndSampling->isEnabled()) << "the sampling loop's stop is no member";
    w.cmdEnableBUttons->click();
    for (QPushButton* b : w.actionButtons())
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
}

TEST_F(MotherboardWindowTest, ShowMainShowsTheConsole)
{
    frmMotherboardDAQ2& w = mb();
    EXPECT_FALSE(console().isVisible());
    w.cmdShowMian->click();
    EXPECT_TRUE(console().isVisible());
}

TEST_F(MotherboardWindowTest, ExitUnloadsAndTheNextUseRunsTheWholeSetUpAgain)
{
    frmMotherboardDAQ2& first = mb();
    first.chkPData[6]->setChecked(true); // P0.6 high in the image
    first.txtI2COut[1]->setText("A0");
    first.cmdexit->click();
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Another window switches VCC on through the image and writes it, then uses a pin box.
    board(0).setSfr(0xA0, 0x70); // P2.4..P2.6 high: supply potentiometer out, supplies on
    board(0).transcript.clear();
    frmMotherboardDAQ2& again = mb();
    EXPECT_EQ(again.txtI2COut[1]->text(), "50") << "the fields start from their initial texts";
    EXPECT_FALSE(again.chkPData[6]->isChecked());
    // The image outlives the window: the P0.6 bit whose box was already clear stays set.
    EXPECT_EQ(g_PortShadow[0], 0x42);
    EXPECT_EQ(again.txtPBuf[0]->text(), "42");
    EXPECT_EQ(again.txtPBuf[2]->text(), "10");
    // The set-up wrote the ports again: supplies off, supply potentiometer deselected.
    EXPECT_FALSE(board(0).transcript.requests().empty());
    EXPECT_FALSE(board(0).pin(2, 5));
    EXPECT_FALSE(board(0).pin(2, 6));
    EXPECT_TRUE(board(0).pin(2, 4));
}

TEST_F(MotherboardWindowTest, ClosingTheWindowUnloadsItLikeExit)
{
    mb().close();
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
    EXPECT_FALSE(svc.ended);
}

TEST_F(MotherboardWindowTest, I2CWriteWithTheInitialTextsSendsRegisterAndBytes)
{
    auto dev = attach(0x28); // 8-bit write address 0x50
    frmMotherboardDAQ2& w = mb();
    frmMainF340& con = console();
    ASSERT_TRUE(con.chkRandom->isChecked());
    con.txtWriteVal[2]->setText("5A"); // the console's third data field goes out as it stands

    w.CMDI2CWrite->click();

    EXPECT_EQ(g_I2CAddress, 0x50);
    EXPECT_EQ(dev->reg(2), 0x02);
    EXPECT_EQ(dev->reg(3), 0xC0);
    EXPECT_EQ(dev->reg(4), 0x5A);
    EXPECT_EQ(dev->writes, 1);
    EXPECT_EQ(w.ShpI2CNAK[0]->fillColor(), 10);
    EXPECT_EQ(w.txtI2CWriteStatus->text(), "--");
    EXPECT_TRUE(w.CMDI2CWrite->isEnabled());
}

TEST_F(MotherboardWindowTest, I2CReadShowsTheBytesOfTheReadAndDashesPastThem)
{
    auto dev = attach(0x28);
    dev->setReg(0, 0xAB);
    dev->setReg(1, 0xCD);
    dev->setReg(2, 0xEF);
    frmMotherboardDAQ2& w = mb();
    leave(w.txtI2CIN[2]);
    EXPECT_EQ(w.txtI2CIN[2]->text(), "00");

    // The address field holds the write address: the initial "51" goes out as 0x52.
    attach(0x29);
    w.cmdI2CRead->click();
    const auto first = board(0).transcript.lastRequest(0x06);
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)[2], 0x52);
    EXPECT_EQ((*first)[3], 2) << "the count";

    w.txtI2CIN[1]->setText("50");
    w.cmdI2CRead->click();
    EXPECT_EQ(dev->reads, 1);
    EXPECT_EQ(w.txtI2CRead[0]->text(), "AB");
    EXPECT_EQ(w.txtI2CRead[1]->text(), "CD");
    EXPECT_EQ(w.txtI2CRead[2]->text(), "--");
    EXPECT_EQ(w.txtI2CRead[3]->text(), "--");
    EXPECT_EQ(w.ShpI2CNAK[1]->fillColor(), 10);

    // From register 1 the panel shows the bytes read, not the console's entries from 0.
    w.txtI2CIN[0]->setText("3");
    w.txtI2CIN[2]->setText("01");
    w.cmdI2CRead->click();
    EXPECT_EQ(w.txtI2CRead[0]->text(), "CD");
    EXPECT_EQ(w.txtI2CRead[1]->text(), "EF");
    EXPECT_EQ(w.txtI2CRead[2]->text(), "00");
    EXPECT_EQ(w.txtI2CRead[3]->text(), "--");
    EXPECT_EQ(w.txtI2CReadStatus->text(), "--");
    EXPECT_TRUE(svc.boxes.empty());
}

// The entry rule keeps "050" and "001" as typed: each field goes out as the number it
// denotes, although the console's fields hold two characters.
TEST_F(MotherboardWindowTest, I2CFieldsWithLeadingZerosGoOutAsTheirValue)
{
    auto dev = attach(0x28);
    dev->setReg(1, 0xCD);
    dev->setReg(2, 0xEF);
    frmMotherboardDAQ2& w = mb();
    const std::pair<QLineEdit*, const char*> typed[] = {
        {w.txtI2CIN[0], "002"},  {w.txtI2CIN[1], "050"},  {w.txtI2CIN[2], "001"},
        {w.txtI2COut[0], "002"}, {w.txtI2COut[1], "050"}, {w.txtI2COut[2], "005"}, {w.txtI2COut[3], "0C0"},
    };
    for (auto [box, text] : typed) {
        box->clear();
        typeInto(box, text);
        leave(box);
        ASSERT_EQ(box->text(), text);
    }

    w.cmdI2CRead->click();
    EXPECT_EQ(w.txtI2CRead[0]->text(), "CD");
    EXPECT_EQ(w.txtI2CRead[1]->text(), "EF");
    EXPECT_EQ(w.txtI2CRead[2]->text(), "--");
    w.CMDI2CWrite->click();
    EXPECT_EQ(g_I2CAddress, 0x50);
    EXPECT_EQ(dev->writes, 1);
    EXPECT_EQ(dev->reg(5), 0x05) << "register 05, Byte1 again as the first data byte";
    EXPECT_EQ(dev->reg(6), 0xC0);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(MotherboardWindowTest, NotAcknowledgedReadTurnsOnlyItsLampRed)
{
    attach(0x28);
    frmMotherboardDAQ2& w = mb();
    w.CMDI2CWrite->click();
    ASSERT_EQ(w.ShpI2CNAK[0]->fillColor(), 10);

    svc.answer(vbRetry); // back to the window
    w.cmdI2CRead->click(); // nobody at 0x29
    EXPECT_EQ(svc.boxTexts(), QStringList{kInvalidAddress});
    EXPECT_EQ(g_BridgeStatus, kStatusDeviceError);
    EXPECT_EQ(w.ShpI2CNAK[1]->fillColor(), 12);
    EXPECT_EQ(w.ShpI2CNAK[0]->fillColor(), 10);
    EXPECT_EQ(w.txtI2CRead[0]->text(), "--");
    EXPECT_TRUE(w.cmdI2CRead->isEnabled());
}

// Counts the console will not send: the panel shows no bytes of an earlier read and its
// lamps turn red, as for any failed transfer.
TEST_F(MotherboardWindowTest, CountsTheConsoleRefusesShowDashesAndARedLamp)
{
    auto dev = attach(0x28);
    dev->setReg(0, 0xAB);
    frmMotherboardDAQ2& w = mb();
    w.txtI2CIN[1]->setText("50");
    w.cmdI2CRead->click();
    w.CMDI2CWrite->click();
    ASSERT_EQ(w.txtI2CRead[0]->text(), "AB");
    ASSERT_EQ(w.ShpI2CNAK[1]->fillColor(), 10);
    ASSERT_EQ(w.ShpI2CNAK[0]->fillColor(), 10);

    svc.answerAll(vbOK, 2);
    w.txtI2CIN[0]->setText("63");
    w.cmdI2CRead->click();
    w.txtI2COut[0]->setText("60");
    w.CMDI2CWrite->click();
    EXPECT_EQ(svc.boxTexts(), (QStringList{"Number of Regs to Read must be a number from 1 to 62.",
                                           "Number of Bytes to Write must be a number from 1 to 58."}));
    for (QLineEdit* shown : w.txtI2CRead)
        EXPECT_EQ(shown->text(), "--");
    EXPECT_EQ(w.ShpI2CNAK[1]->fillColor(), 12);
    EXPECT_EQ(w.ShpI2CNAK[0]->fillColor(), 12);
    EXPECT_EQ(dev->reads, 1);
    EXPECT_EQ(dev->writes, 1);
}

TEST_F(MotherboardWindowTest, I2CFieldsThatAreNoByteOrCountSendNothingAndSayWhy)
{
    frmMotherboardDAQ2& w = mb();
    const std::function<void()> presses[] = {
        [&] { w.txtI2CIN[1]->setText("100"); w.cmdI2CRead->click(); w.txtI2CIN[1]->setText("51"); },
        [&] { w.txtI2CIN[0]->setText("2A"); w.cmdI2CRead->click(); w.txtI2CIN[0]->setText("2"); },
        [&] { w.txtI2COut[1]->setText(""); w.CMDI2CWrite->click(); w.txtI2COut[1]->setText("50"); },
    };
    for (const auto& press : presses) {
        board(0).transcript.clear();
        svc.answer(vbOK);
        press();
        EXPECT_TRUE(board(0).transcript.requests(0x06).empty());
    }
    ASSERT_EQ(svc.boxes.size(), 3u);
    EXPECT_EQ(svc.boxes[0].text, "I2C read address \"100\" is no byte: enter 00 to FF. Nothing was sent.");
    EXPECT_EQ(svc.boxes[1].text, "I2C read count \"2A\" is no decimal number. Nothing was sent.");
    EXPECT_EQ(svc.boxes[2].text, "I2C write address \"\" is no byte: enter 00 to FF. Nothing was sent.");
    EXPECT_TRUE(w.cmdI2CRead->isEnabled());
    EXPECT_TRUE(w.CMDI2CWrite->isEnabled());
}
