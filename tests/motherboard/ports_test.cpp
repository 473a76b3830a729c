// The motherboard's port image: the power-up pattern its set-up leaves, the pin boxes and
// their mirror in the console, the six-register port write on the wire, its busy wait, and
// the read-back.
#include "bridge/frmMainF340.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "support/board_fixture.h"
#include "support/fields.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <vector>

namespace {

constexpr std::uint8_t kSfrCmd = 0x12;

struct SfrSet {
    std::uint8_t address, value;
    bool operator==(const SfrSet&) const = default;
};


} // namespace

class PortsTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        svc.programDirectory = dir.path();
    }
    frmMotherboardDAQ2& mb() { return forms().frmMotherboardDAQ2(); }
    std::vector<SfrSet> sfrSets()
    {
        std::vector<SfrSet> out;
        for (const auto& rq : board(0).transcript.requests(kSfrCmd))
            if (rq[2] == 0)
                out.push_back({rq[3], rq[4]});
        return out;
    }
    bool allEnabled()
    {
        for (QPushButton* b : mb().actionButtons())
            if (!b->isEnabled())
                return false;
        return true;
    }
    QTemporaryDir dir;
};

TEST_F(PortsTest, SetUpLeavesThePowerUpImageInBoxesFieldsConsoleAndBoard)
{
    frmMotherboardDAQ2& w = mb();
    EXPECT_EQ(texts(w.txtPBuf), (std::vector<QString>{"02", "08", "10", "05", "08", "F8"}));
    const std::array<std::uint8_t, 6> image{0x02, 0x08, 0x10, 0x05, 0x08, 0xF8};
    for (size_t k = 0; k < 6; ++k)
        EXPECT_EQ(g_PortShadow[k], image[k]) << k;

    // Every box shows its image bit, and the console's pin boxes show the same.
    frmMainF340& con = console();
    const F340Gpio::PinBoxes* levels[] = {&con.chkGPvalueP0, &con.chkGPvalueP1, &con.chkGPvalueP2};
    const F340Gpio::PinBoxes* modes[] = {&con.chkOpenCollectorP0, &con.chkOpenCollectorP1, &con.chkOpenCollectorP2};
    for (int i = 0; i < 24; ++i) {
        const int port = i / 8, bit = i % 8;
        const bool level = (image[size_t(port)] >> bit) & 1, drive = (image[size_t(3 + port)] >> bit) & 1;
        EXPECT_EQ(w.chkPData[size_t(i)]->isChecked(), level) << i;
        EXPECT_EQ(w.chkP0OutEn[size_t(i)]->isChecked(), drive) << i;
        ASSERT_NE((*levels[port])[size_t(bit)], nullptr) << "the console's pin boxes are not built";
        EXPECT_EQ((*levels[port])[size_t(bit)]->isChecked(), level) << i;
        EXPECT_EQ((*modes[port])[size_t(bit)]->isChecked(), drive) << i;
    }

    // The console's write-all put the pattern on the board.
    EXPECT_EQ(board(0).portLatch(0), 0x02);
    EXPECT_EQ(board(0).portLatch(1), 0x08);
    EXPECT_EQ(board(0).portLatch(2), 0x10);
    EXPECT_EQ(board(0).sfr(0xA4), 0x05);
    EXPECT_EQ(board(0).sfr(0xA5), 0x08);
    EXPECT_EQ(board(0).sfr(0xA6), 0xF8);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(PortsTest, PinBoxesChangeTheImageBitTheFieldAndTheConsoleBoxButNotTheBoard)
{
    frmMotherboardDAQ2& w = mb();
    frmMainF340& con = console();
    ASSERT_NE(con.chkGPvalueP0[6], nullptr) << "the console's pin boxes are not built";
    board(0).transcript.clear();

    w.chkPData[6]->setChecked(true); // P0.6
    EXPECT_EQ(g_PortShadow[0], 0x42);
    EXPECT_EQ(w.txtPBuf[0]->text(), "42");
    EXPECT_TRUE(con.chkGPvalueP0[6]->isChecked());

    w.chkPData_Click(6); // the handler again: it re-applies the box, nothing else
    EXPECT_EQ(g_PortShadow[0], 0x42);

    w.chkP0OutEn[15]->setChecked(true); // P1.7 push-pull
    EXPECT_EQ(g_PortShadow[4], 0x88);
    EXPECT_EQ(w.txtPBuf[4]->text(), "88");
    EXPECT_TRUE(con.chkOpenCollectorP1[7]->isChecked());

    w.chkPData[6]->setChecked(false);
    w.chkPData[7]->setChecked(false); // already clear: stays clear
    EXPECT_EQ(g_PortShadow[0], 0x02);
    EXPECT_EQ(w.txtPBuf[0]->text(), "02");
    EXPECT_FALSE(con.chkGPvalueP0[6]->isChecked());

    EXPECT_TRUE(sfrSets().empty()) << "nothing is written before the port write";
}

TEST_F(PortsTest, UnderAutoWriteReadEachBoxChangeWritesItsPortAndWriteStillWritesAllSix)
{
    frmMotherboardDAQ2& w = mb();
    console().chkAutoWriteRead->setChecked(true);
    board(0).transcript.clear();

    w.chkPData[6]->setChecked(true);   // P0.6
    w.chkP0OutEn[22]->setChecked(false); // P2.6 open-drain
    EXPECT_EQ(sfrSets(), (std::vector<SfrSet>{{0x80, 0x42}, {0xA6, 0xB8}}));

    board(0).transcript.clear();
    w.cmdWrtPipe1_Click();
    EXPECT_EQ(sfrSets(), (std::vector<SfrSet>{{0x80, 0x42}, {0x90, 0x08}, {0xA0, 0x10}, {0xA4, 0x05}, {0xA5, 0x08}, {0xA6, 0xB8}}));
}

TEST_F(PortsTest, PortWriteSendsTheSixRegistersFromTheImageInOrder)
{
    frmMotherboardDAQ2& w = mb();
    const std::array<std::uint8_t, 11> image{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22, 0x33};
    g_PortShadow = image; // as the script engine's GPIO rows write it
    w.txtPBuf[0]->setText("7F"); // display only: the image byte goes out
    board(0).transcript.clear();

    w.cmdWrtPipe1_Click();

    EXPECT_EQ(sfrSets(), (std::vector<SfrSet>{{0x80, 0x12}, {0x90, 0x34}, {0xA0, 0x56}, {0xA4, 0x78}, {0xA5, 0x9A}, {0xA6, 0xBC}}));
    EXPECT_EQ(board(0).transcript.requests().size(), 6u) << "six sets, no reads, nothing from bytes 6 to 10";
    EXPECT_EQ(texts(w.txtPBuf), (std::vector<QString>{"12", "34", "56", "78", "9A", "BC"}));
    EXPECT_EQ(board(0).portLatch(2), 0x56);
    EXPECT_EQ(board(0).sfr(0xA6), 0xBC);
    EXPECT_FALSE(g_PipeBusy);
    EXPECT_TRUE(allEnabled());
}

TEST_F(PortsTest, PortWriteLeavesAGroupDisabledByAnOuterOperationToItsEnd)
{
    frmMotherboardDAQ2& w = mb();
    w.cmdDisableButtons_Click();
    bool disabledWhileWriting = true;
    svc.onPump = [&](int) { disabledWhileWriting = disabledWhileWriting && !w.cmdWrtPipe1->isEnabled(); };
    w.cmdWrtPipe1_Click();
    svc.onPump = nullptr;
    EXPECT_FALSE(disabledWhileWriting); // enabled between the pumps of its last step
    EXPECT_TRUE(allEnabled()) << "the write enables the group at its end in any case";
}

TEST_F(PortsTest, NestedPortWriteWaitsForTheOuterOneAtMost3001Passes)
{
    frmMotherboardDAQ2& w = mb();
    board(0).transcript.clear();
    // The first event pass of the outer write (after its sixth register) presses "Write" again.
    int pumpsBeforeInner = -1, pumpsAfterInner = -1;
    bool nested = false;
    svc.onPump = [&](int n) {
        if (nested)
            return;
        nested = true;
        pumpsBeforeInner = n;
        EXPECT_TRUE(g_PipeBusy);
        EXPECT_EQ(sfrSets().size(), 6u);
        w.cmdWrtPipe1_Click();
        pumpsAfterInner = svc.pumps;
    };
    w.cmdWrtPipe1_Click();
    svc.onPump = nullptr;

    EXPECT_EQ(pumpsAfterInner - pumpsBeforeInner, 3001 + 3) << "3001 passes of waiting, then its own three";
    EXPECT_EQ(sfrSets().size(), 12u) << "the inner write sends all six after waiting";
    EXPECT_EQ(svc.pumps - pumpsBeforeInner, 3001 + 3 + 2);
    EXPECT_FALSE(g_PipeBusy);
    EXPECT_TRUE(allEnabled());
}

TEST_F(PortsTest, PortWriteGoesOnAsSoonAsTheOtherWriteEnds)
{
    frmMotherboardDAQ2& w = mb();
    board(0).transcript.clear();
    g_PipeBusy = true; // another write is letting events run
    const int start = svc.pumps;
    svc.onPump = [&](int n) {
        if (n - start == 5)
            g_PipeBusy = false;
    };
    w.cmdWrtPipe1_Click();
    svc.onPump = nullptr;
    EXPECT_EQ(svc.pumps - start, 5 + 3);
    EXPECT_EQ(sfrSets().size(), 6u);
    EXPECT_FALSE(g_PipeBusy);
}

TEST_F(PortsTest, ReadBackShowsTheBoardAndLeavesImageAndBoxes)
{
    frmMotherboardDAQ2& w = mb();
    board(0).setPinInputs(0, 0xFF, 0xA5); // P0 driven from outside
    const std::pair<std::uint8_t, std::uint8_t> others[] = {{0x90, 0x81}, {0xA0, 0x7E}, {0xA4, 0x11}, {0xA5, 0x22}, {0xA6, 0x3C}};
    for (auto [address, value] : others)
        board(0).setSfr(address, value);
    board(0).transcript.clear();

    w.cmdReadPipe1_Click();

    EXPECT_EQ(texts(w.txtPBufRd), (std::vector<QString>{"A5", "81", "7E", "11", "22", "3C"}));
    EXPECT_EQ(console().txtPBufRd[0]->text(), "A5");
    EXPECT_EQ(texts(w.txtPBuf), (std::vector<QString>{"02", "08", "10", "05", "08", "F8"}));
    EXPECT_EQ(g_PortShadow[0], 0x02);
    EXPECT_FALSE(w.chkPData[7]->isChecked());
    for (const auto& rq : board(0).transcript.requests(kSfrCmd))
        EXPECT_EQ(rq[2], 1) << "a read-back writes no register";
    EXPECT_TRUE(allEnabled());
}

TEST_F(PortsTest, TallyLetsEventsRunOnceAndTouchesNothing)
{
    frmMotherboardDAQ2& w = mb();
    board(0).transcript.clear();
    const auto image = g_PortShadow;
    const int pumps = svc.pumps;
    w.cmdTallyGPIO->click();
    EXPECT_EQ(svc.pumps, pumps + 1);
    EXPECT_EQ(g_PortShadow, image);
    EXPECT_TRUE(board(0).transcript.requests().empty());
}

TEST_F(PortsTest, ClosingTheWindowStopsAWaitingPortWrite)
{
    frmMotherboardDAQ2& w = mb();
    board(0).transcript.clear();
    g_PipeBusy = true;
    const int start = svc.pumps;
    svc.onPump = [&](int n) {
        if (n - start == 3) {
            w.cmdexit_Click();
            // The window is deleted for good while its handler waits.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    w.cmdWrtPipe1_Click();
    svc.onPump = nullptr;
    EXPECT_EQ(svc.pumps - start, 3) << "no pass after the window went";
    EXPECT_TRUE(sfrSets().empty());
    EXPECT_FALSE(forms().frmMotherboardDAQ2.loaded());
}
