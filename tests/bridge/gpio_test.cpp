// The GPIO group of the bridge console over a simulated board: bytes composed from the pin
// boxes, port writes and reads on the wire with their lamps, the read-backs that rebuild the
// boxes from the board, the bulk operations, command 2, the captions and the layout.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "motherboard/pin_table.h"
#include "shell/doco.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <vector>

using Family = F340Gpio::PinFamily;
using platform::vbRetry;

namespace {

const QString kCheckStatus = "Please check USB connection.\r\ncheckStatus";

constexpr std::uint8_t kValueRegs[] = {0x80, 0x90, 0xA0, 0xB0, 0xC7};
constexpr std::uint8_t kModeRegs[] = {0xA4, 0xA5, 0xA6, 0xA7, 0xAE};
constexpr std::uint8_t kAnalogRegs[] = {0xF1, 0xF2, 0xF3, 0xF4, 0xF5};

std::uint8_t boxesByte(const F340Gpio::PinBoxes& boxes)
{
    std::uint8_t v = 0;
    for (int i = 0; i < 8; ++i)
        if (boxes[static_cast<size_t>(i)]->isChecked())
            v |= static_cast<std::uint8_t>(1 << i);
    return v;
}

} // namespace

class GpioTest : public BoardFixture {
protected:
    // The console loaded over board 0, with the load's own traffic forgotten.
    frmMainF340& loaded()
    {
        frmMainF340& c = console();
        board(0).transcript.clear();
        return c;
    }

    // The register accesses (command 0x12) sent since the transcript was cleared, as
    // "A0=10" for a write and "A0?" for a read.
    QStringList sfrTraffic(bool writesOnly = false)
    {
        QStringList out;
        for (const auto& rq : board(0).transcript.requests(0x12)) {
            const QString reg = QString("%1").arg(rq[3], 2, 16, QChar('0')).toUpper();
            if (rq[2] == 0)
                out << reg + "=" + QString("%1").arg(rq[4], 2, 16, QChar('0')).toUpper();
            else if (!writesOnly)
                out << reg + "?";
        }
        return out;
    }

    static void setBoxes(F340Gpio::PinBoxes& boxes, std::uint8_t bits)
    {
        for (int i = 0; i < 8; ++i)
            boxes[static_cast<size_t>(i)]->setChecked((bits >> i) & 1);
    }
};

TEST_F(GpioTest, EachFamilyComposesItsByteFromTheBoxesAndSendsNothingWithoutAuto)
{
    struct Case {
        Family family;
        int port;
        std::uint8_t checked;
        const char* label;
    };
    const Case cases[] = {
        {Family::Value, 2, 0x10, "10"},  {Family::Value, 0, 0xFF, "FF"}, {Family::Value, 4, 0x01, "01"},
        {Family::Mode, 1, 0x81, "81"},   {Family::Mode, 3, 0x00, "00"},
        {Family::Analog, 1, 0xC0, "3F"}, {Family::Analog, 4, 0x00, "FF"}, {Family::Analog, 0, 0xFF, "00"},
    };
    frmMainF340& c = loaded();
    const std::array<std::array<QLabel*, 5>*, 3> labels{&c.lblWrGPData, &c.lblWrOC, &c.lblWrGPAnalog};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        auto& boxes = c.pinBoxes(k.family, k.port);
        setBoxes(boxes, k.checked);
        // Flip box 0 there and back so the handler runs even when no box had to change.
        boxes[0]->setChecked(!boxes[0]->isChecked());
        boxes[0]->setChecked(!boxes[0]->isChecked());
        EXPECT_EQ((*labels[static_cast<size_t>(k.family)])[static_cast<size_t>(k.port)]->text(), k.label);
    }
    EXPECT_TRUE(sfrTraffic().isEmpty());
}

TEST_F(GpioTest, AutoWriteReadSendsTheWholePortThenReadsItBack)
{
    frmMainF340& c = loaded();
    c.cmdResetGPIO_Click();
    c.chkAutoWriteRead->setChecked(true);
    board(0).transcript.clear();
    g_TraceOn = g_TraceDetail = true;

    c.chkGPvalueP2[4]->setChecked(true);

    const auto rq = board(0).transcript.requests(0x12);
    ASSERT_EQ(rq.size(), 2u);
    platform::Report write{};
    write[0] = 1, write[1] = 0x12, write[2] = 0, write[3] = 0xA0, write[4] = 0x10;
    EXPECT_EQ(rq[0], write);
    platform::Report read{};
    read[0] = 1, read[1] = 0x12, read[2] = 1, read[3] = 0xA0;
    EXPECT_EQ(rq[1], read);
    EXPECT_EQ(board(0).portLatch(2), 0x10);
    EXPECT_EQ(c.lblWrGPData[2]->text(), "10");
    EXPECT_EQ(c.lblRdGPData[2]->text(), "10");
    EXPECT_EQ(c.ShpGPIOStat[7]->fillColor(), 10);
    EXPECT_EQ(c.txtSFRAddress->text(), "A0");

    c.chkOpenCollectorP0[0]->setChecked(true);
    c.chkDINP3[1]->setChecked(true);
    EXPECT_EQ(sfrTraffic().mid(2), (QStringList{"A4=01", "A4?", "F4=FD", "F4?"}));
    const QString log = forms().Doco().logText();
    for (const char* line : {"Write F340 GPIO Data Port:A0 = 10\r\nRead F340 GPIO Data Port:A0\r\n",
                             "Write F340 GPIO Mode Register A4 to 01\r\nRead F340 GPIO Mode Register A4\r\n",
                             "Write F340 GPIO Analog Port:F4 = FD\r\nRead F340 GPIO Analog Port:F4\r\n"})
        EXPECT_TRUE(log.contains(line)) << line;
}

TEST_F(GpioTest, ReadBackLampBlinksOnMatchesAndTurnsRedOnADifference)
{
    struct Case {
        const char* name;
        Family family;
        int port;
        std::uint8_t reg;
        int lamp;
        void (F340Gpio::*write)(int);
        void (F340Gpio::*read)(int);
        std::array<QLabel*, 5> F340Gpio::*readLabel;
    };
    const Case cases[] = {
        {"value P0", Family::Value, 0, 0x80, 5, &F340Gpio::cmdWrGPData_Click, &F340Gpio::cmdRdGPData_Click,
         &F340Gpio::lblRdGPData},
        {"mode P3", Family::Mode, 3, 0xA7, 3, &F340Gpio::cmdWrOC_Click, &F340Gpio::cmdRdOC_Click, &F340Gpio::lblRdOC},
        {"analog P4", Family::Analog, 4, 0xF5, 14, &F340Gpio::cmdWrGPAnalog_Click, &F340Gpio::cmdRdGPAnalog_Click,
         &F340Gpio::lblRdGPAnalog},
    };
    frmMainF340& c = loaded();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        setBoxes(c.pinBoxes(k.family, k.port), 0x0C);
        (c.*k.write)(k.port);
        const int before = c.ShpGPIOStat[static_cast<size_t>(k.lamp)]->fillColor();
        (c.*k.read)(k.port);
        EXPECT_EQ(c.ShpGPIOStat[static_cast<size_t>(k.lamp)]->fillColor(), before == 10 ? 2 : 10);
        (c.*k.read)(k.port);
        EXPECT_EQ(c.ShpGPIOStat[static_cast<size_t>(k.lamp)]->fillColor(), before == 10 ? 10 : 2);

        board(0).setSfr(k.reg, 0x5A);
        (c.*k.read)(k.port);
        EXPECT_EQ((c.*k.readLabel)[static_cast<size_t>(k.port)]->text(), "5A");
        EXPECT_EQ(c.ShpGPIOStat[static_cast<size_t>(k.lamp)]->fillColor(), 12);
    }
}

TEST_F(GpioTest, BoardSelectionFillsValueAndModeBoxesFromTheBoardAndWritesNothing)
{
    const std::uint8_t values[] = {0x5A, 0x81, 0x10, 0x00, 0xC3};
    const std::uint8_t modes[] = {0x05, 0x08, 0xF8, 0x01, 0x80};
    for (int n = 0; n < 5; ++n) {
        board(0).setSfr(kValueRegs[n], values[n]);
        board(0).setSfr(kModeRegs[n], modes[n]);
    }
    frmMainF340& c = loaded();
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(boxesByte(c.pinBoxes(Family::Value, n)), values[n]);
        EXPECT_EQ(boxesByte(c.pinBoxes(Family::Mode, n)), modes[n]);
        // P3's boxes did not change, its label is composed all the same.
        EXPECT_EQ(c.lblWrGPData[static_cast<size_t>(n)]->text(), Hex2(values[n]));
        EXPECT_EQ(c.lblWrOC[static_cast<size_t>(n)]->text(), Hex2(modes[n]));
    }

    // Selecting the board again takes what it holds now, and sends no register write.
    board(0).setSfr(0xB0, 0x3C);
    board(0).setSfr(0xA4, 0x0F);
    c.cboEVBinstance_Click();
    EXPECT_EQ(boxesByte(c.chkGPvalueP3), 0x3C);
    EXPECT_EQ(c.lblWrGPData[3]->text(), "3C");
    EXPECT_EQ(boxesByte(c.chkOpenCollectorP0), 0x0F);
    EXPECT_TRUE(sfrTraffic(true).isEmpty()) << sfrTraffic(true).join(" ").toStdString();
}

TEST_F(GpioTest, ReadBackWithAutoWritesEachPortOnceWithItsCompleteByte)
{
    struct Case {
        const char* name;
        void (F340Gpio::*refresh)();
        const std::uint8_t* regs;
    };
    const Case cases[] = {{"getGPvalue", &F340Gpio::getGPvalue, kValueRegs},
                          {"getGPconf", &F340Gpio::getGPconf, kModeRegs}};
    frmMainF340& c = loaded();
    c.chkAutoWriteRead->setChecked(true);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        // Several pins of each port differ from the boxes.
        const std::uint8_t wanted[] = {0xA5, 0x3C, 0x0F, 0xF0, 0x99};
        QStringList expected;
        for (int n = 0; n < 5; ++n) {
            board(0).setSfr(k.regs[n], wanted[n]);
            expected << Hex2(k.regs[n]) + "=" + Hex2(wanted[n]);
        }
        board(0).transcript.clear();
        (c.*k.refresh)();
        EXPECT_EQ(sfrTraffic(true), expected);
        for (int n = 0; n < 5; ++n)
            EXPECT_EQ(board(0).sfr(k.regs[n]), wanted[n]);
    }
}

TEST_F(GpioTest, ReadBackWhoseDumpTimesOutRebuildsNoBoxAndWritesNothingBack)
{
    // Whatever a failed row ends up holding (the last reply of another register) is not
    // the board's P0.
    board(0).setSfr(0x80, 0x5A);
    board(0).setSfr(0xC7, 0x33);
    board(0).setSfr(0xF8, 0x77);
    frmMainF340& c = loaded();
    c.chkAutoWriteRead->setChecked(true);

    board(0).dropNextReplies(1); // the dump's first row, P0
    svc.answer(vbRetry);         // the search after Retry selects the board and reads it back
    c.getGPvalue();

    EXPECT_EQ(svc.boxTexts(), QStringList{kCheckStatus});
    EXPECT_EQ(board(0).sfr(0x80), 0x5A);
    EXPECT_EQ(boxesByte(c.chkGPvalueP0), 0x5A);
    EXPECT_EQ(c.lblWrGPData[0]->text(), "5A");
    // Only the board's own values went back (by the board selection the Retry ran).
    for (const auto& rq : board(0).transcript.requests(0x12)) {
        if (rq[2] == 0) {
            EXPECT_EQ(rq[4], board(0).sfr(rq[3])) << "register " << int(rq[3]);
        }
    }
}

TEST_F(GpioTest, PortReadThatFailsKeepsItsReadLabelAndTurnsTheLampRed)
{
    struct Case {
        const char* name;
        void (sim::SimBoard::*fault)(int);
    };
    const Case cases[] = {{"reply time-out", &sim::SimBoard::dropNextReplies},
                          {"write failure", &sim::SimBoard::failNextWrites}};
    frmMainF340& c = loaded();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        board(0).setSfr(0xA0, 0x10);
        c.cmdRdGPData_Click(2);
        ASSERT_EQ(c.lblRdGPData[2]->text(), "10");

        board(0).setSfr(0xA0, 0x77);
        (board(0).*k.fault)(1);
        svc.answer(vbRetry);
        c.cmdRdGPData_Click(2);
        EXPECT_EQ(svc.boxes.back().text, kCheckStatus);
        EXPECT_EQ(c.lblRdGPData[2]->text(), "10");
        EXPECT_EQ(c.ShpGPIOStat[7]->fillColor(), 12);
    }
}

TEST_F(GpioTest, ResetClearsEveryBoxAndWritesChangedPortsInBitOrderUnderAuto)
{
    frmMainF340& c = loaded();
    c.cmdResetGPIO_Click();
    EXPECT_TRUE(sfrTraffic().isEmpty());
    for (Family fam : {Family::Value, Family::Mode, Family::Analog})
        for (int n = 0; n < 5; ++n)
            EXPECT_EQ(boxesByte(c.pinBoxes(fam, n)), 0);
    EXPECT_EQ(c.lblWrGPData[0]->text(), "00");
    EXPECT_EQ(c.lblWrGPAnalog[0]->text(), "FF");

    c.chkOpenCollectorP1[3]->setChecked(true);
    c.chkGPvalueP0[1]->setChecked(true);
    c.chkDINP2[0]->setChecked(true);
    c.chkAutoWriteRead->setChecked(true);
    board(0).transcript.clear();
    c.cmdResetGPIO_Click();
    // Bit by bit; within a bit the output modes, then the values, then the analog inputs.
    EXPECT_EQ(sfrTraffic(), (QStringList{"F3=FF", "F3?", "80=00", "80?", "A5=00", "A5?"}));
}

TEST_F(GpioTest, WriteReadAllWritesAndReadsFifteenRegistersInOrderAndRestoresAuto)
{
    frmMainF340& c = loaded();
    for (bool autoOn : {false, true}) {
        SCOPED_TRACE(autoOn);
        c.chkAutoWriteRead->setChecked(autoOn);
        setBoxes(c.chkGPvalueP1, 0x42);
        board(0).transcript.clear();
        c.cmdWriteReadAll_Click();
        QStringList expected;
        for (const auto* regs : {kModeRegs, kValueRegs, kAnalogRegs})
            for (int n = 0; n < 5; ++n)
                expected << Hex2(regs[n]) + "=" + Hex2(board(0).sfr(regs[n])) << Hex2(regs[n]) + "?";
        EXPECT_EQ(sfrTraffic(), expected);
        EXPECT_EQ(board(0).sfr(0x90), 0x42);
        EXPECT_EQ(c.chkAutoWriteRead->isChecked(), autoOn);
    }
}

TEST_F(GpioTest, ClearAnalogWritesFFToEveryInputModeRegister)
{
    frmMainF340& c = loaded();
    c.chkDINP2[2]->setChecked(true);
    c.chkDINP0[7]->setChecked(true);
    board(0).transcript.clear();
    c.cmdClearAnalog_Click();
    EXPECT_EQ(sfrTraffic(), (QStringList{"F1=FF", "F2=FF", "F3=FF", "F4=FF", "F5=FF"}));
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(boxesByte(c.pinBoxes(Family::Analog, n)), 0);
        EXPECT_EQ(c.lblWrGPAnalog[static_cast<size_t>(n)]->text(), "FF");
    }

    // Again with every box already clear: still all five.
    board(0).transcript.clear();
    c.cmdClearAnalog_Click();
    EXPECT_EQ(sfrTraffic(true).size(), 5);
}

TEST_F(GpioTest, WeakPullUpBoxSendsCommand2WithP1AndLowP2OutputModes)
{
    frmMainF340& c = loaded();
    c.cmdResetGPIO_Click();
    c.chkOpenCollectorP1[0]->setChecked(true);
    c.chkOpenCollectorP1[7]->setChecked(true);
    c.chkOpenCollectorP2[3]->setChecked(true);
    c.chkOpenCollectorP2[5]->setChecked(true); // beyond the low nibble: not carried
    board(0).transcript.clear();

    c.chkWeakPullUpDisable->setChecked(true);
    auto rq = board(0).transcript.lastRequest(0x02);
    ASSERT_TRUE(rq);
    EXPECT_EQ((std::array<int, 4>{(*rq)[2], (*rq)[3], (*rq)[4], (*rq)[5]}), (std::array<int, 4>{0, 0x81, 0x08, 1}));
    c.chkWeakPullUpDisable->setChecked(false);
    EXPECT_EQ((*board(0).transcript.lastRequest(0x02))[5], 0);

    g_OptionGuard = true;
    c.chkWeakPullUpDisable->setChecked(true);
    EXPECT_EQ(board(0).transcript.requests(0x02).size(), 2u);
}

TEST_F(GpioTest, BoxCaptionsComeFromThePinTableAndTheModeTable)
{
    frmMainF340& c = console();
    for (int i = 0; i < 8; ++i) {
        const auto k = static_cast<size_t>(i);
        EXPECT_EQ(c.chkGPvalueP0[k]->text(), motherboard::pinCaption(i));
        EXPECT_EQ(c.chkGPvalueP1[k]->text(), motherboard::pinCaption(8 + i));
        EXPECT_EQ(c.chkGPvalueP2[k]->text(), motherboard::pinCaption(16 + i));
        EXPECT_EQ(c.chkGPvalueP3[k]->text(), "");
        EXPECT_EQ(c.chkGPvalueP4[k]->text(), "");
        EXPECT_EQ(c.chkDINP2[k]->text(), "");
    }
    EXPECT_EQ(c.chkGPvalueP0[7]->text(), "P0.7 N101 NC/ A1/  /CS2/ STORE");
    EXPECT_EQ(c.chkGPvalueP2[4]->text(), "P2.4 DCP CS U5");
    EXPECT_EQ(c.chkOpenCollectorP0[3]->text(), "PO.3 A");
    EXPECT_EQ(c.chkOpenCollectorP2[4]->text(), "P2.4");
    EXPECT_EQ(c.chkOpenCollectorP3[7]->text(), "P3.7 A");
    EXPECT_EQ(c.chkOpenCollectorP4[0]->text(), "P4.0 A");
}

TEST(GpioPinTable, PowerUpColumnsGiveTheDocumentedImage)
{
    EXPECT_EQ(motherboard::powerUpImage(), (std::array<std::uint8_t, 6>{0x02, 0x08, 0x10, 0x05, 0x08, 0xF8}));
    EXPECT_EQ(motherboard::driveCaption(23), "P2.7");
    EXPECT_EQ(motherboard::pinCaption(24), "");
}

TEST_F(GpioTest, GpioTabShowsEveryControlWholeAndApart)
{
    frmMainF340& c = console();
    c.resize(1100, 720);
    c.show();
    c.SSTab1->setCurrentIndex(3);
    QWidget* page = c.SSTab1->widget(3);
    page->grab(); // lays the page out
    // The frame fits the console's width and leaves room below for the external ADC.
    const QSize need = c.frmGPIO->minimumSizeHint();
    EXPECT_LE(need.width() + c.width() - c.frmGPIO->width(), 1100);
    EXPECT_LE(c.frmGPIO->mapTo(&c, QPoint(0, 0)).y() + need.height(), 720 - 200);

    std::vector<QWidget*> controls;
    for (QWidget* w : c.frmGPIO->findChildren<QWidget*>())
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)
            || qobject_cast<Lamp*>(w))
            controls.push_back(w);
    std::vector<QRect> rects;
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
        QSize need = w->sizeHint().expandedTo(w->minimumSize()).boundedTo(w->maximumSize());
        if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap())
            need = QSize(0, l->heightForWidth(w->width()));
        const std::string name = (qobject_cast<QAbstractButton*>(w) ? qobject_cast<QAbstractButton*>(w)->text()
                                  : qobject_cast<QLabel*>(w)             ? qobject_cast<QLabel*>(w)->text()
                                                                         : QString("lamp"))
                                     .toStdString();
        EXPECT_TRUE(w->isVisible()) << name;
        EXPECT_GE(r.width(), need.width()) << name;
        EXPECT_GE(r.height(), need.height()) << name;
        EXPECT_TRUE(page->rect().contains(r)) << name;
        rects.push_back(r);
    }
    for (size_t a = 0; a < rects.size(); ++a)
        for (size_t b = a + 1; b < rects.size(); ++b)
            EXPECT_FALSE(rects[a].intersects(rects[b])) << a << " " << b;
    c.hide();
}

TEST_F(GpioTest, BoardLostInTheSelectionsReadBackAsksOnceAndReadsTheBoardAgain)
{
    frmMainF340& c = loaded();
    c.cmdResetGPIO_Click();
    board(0).setSfr(0xA5, 0x42);
    board(0).setSfr(0x90, 0x24);
    // The board goes away while Reconnect's selection reads the output modes back, and is
    // plugged in again before the user presses Retry.
    bool lost = false;
    svc.onPump = [&](int) {
        if (!lost && c.txtSFRAddress->text() == "80") {
            lost = true;
            board(0).unplug();
        }
    };
    svc.onBox = [&](const QString&, int) {
        board(0).replug();
        return vbRetry;
    };
    c.cmdReconnect_Click();
    svc.onPump = nullptr;

    // One dialog: the rows after the failed one would only meet the lost board again.
    EXPECT_EQ(svc.boxTexts(), QStringList{kCheckStatus});
    // The search that Retry asked for selected the board and read it back whole.
    EXPECT_EQ(boxesByte(c.chkOpenCollectorP1), 0x42);
    EXPECT_EQ(boxesByte(c.chkGPvalueP1), 0x24);
}
