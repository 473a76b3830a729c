// The board unplugged and plugged back while the I2C device window is in use: dcpeval-sim is
// killed and started again (a fresh board, every port latch high as from power-up), and the
// link dialog's Retry finds it. The fresh board gets the windows' state with both supplies off
// before it is read back. Runs on the real clock (a few seconds).
#include "bridge/exchange.h"
#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_User1.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/transport.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "support/board_fixture.h"
#include "support/sim_server.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace {

struct RealTime : TestServices {
    void sleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    std::int64_t monotonicMs() override { return platform::DesktopServices().monotonicMs(); }
};

// One register of the selected board, read with an SFR get.
int sfr(std::uint8_t address)
{
    const auto r = bridge::exchange(bridge::kSfrAccess, bridge::kGet, {address});
    return r.replied ? g_ReportBuffer[3] : -1;
}

// The program on the real clock over a board that dcpeval-sim serves.
class ReplugTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        platform::setServices(&rt);
        rt.programDirectory = dataDir.path();
        platform::setTransports({platform::makeSocketTransport(path)});
    }
    void TearDown() override
    {
        BoardFixture::TearDown();
        for (QProcess* p : {&first, &again})
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                p->waitForFinished(5000);
            }
    }
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("board");
    RealTime rt;
    QProcess first, again;
};

} // namespace

TEST_F(ReplugTest, RetryGivesTheFreshBoardTheWindowsStateWithBothSuppliesOff)
{
    ASSERT_TRUE(startSimServer(first, path));
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    frmDCP_User1& w = forms().frmDCP_User1();
    SupplyPanel& s = *w.supply;
    s.OptVCC[0]->setChecked(true);
    w.cmdSampleWiper_Click(0); // the bridge converts VIN0 from here on
    ASSERT_EQ(sfr(0xBB), 0x06);
    ASSERT_TRUE(rt.boxes.empty()) << rt.boxTexts().join(" | ").toStdString();
    // The image: the part's address lines low and the bus switch on I2C, unlike a fresh board.
    const std::uint8_t p0 = g_PortShadow[0], p1 = g_PortShadow[1];
    ASSERT_EQ(p0 & 0xC0, 0);
    ASSERT_EQ(p1 & 0x0B, 0);

    first.kill();
    first.waitForFinished();
    QFile::remove(path); // a killed server leaves its socket file behind
    rt.onBox = [&](const QString&, int) {
        if (again.state() == QProcess::NotRunning) {
            EXPECT_TRUE(startSimServer(again, path));
        }
        return int(platform::vbRetry);
    };
    w.cmdSampleWiper_Click(0); // the board is gone: the link dialog, Retry finds the new one
    rt.onBox = nullptr;
    ASSERT_EQ(rt.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});

    const int p2 = sfr(0xA0);
    EXPECT_EQ(p2 & 0x70, 0x10) << "P2.4 high, P2.5 and P2.6 low: " << p2;
    EXPECT_EQ(sfr(0x80) & 0xC0, p0 & 0xC0) << "the address lines on P0 as the image holds them";
    EXPECT_EQ(sfr(0x90) & 0x0B, p1 & 0x0B) << "the address lines on P1 and the bus switch P1.3";

    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    EXPECT_TRUE(s.OptVCC[1]->isChecked());
    EXPECT_TRUE(s.OptVM[1]->isChecked());
    EXPECT_TRUE(mb.OptVCC[1]->isChecked());
    EXPECT_TRUE(mb.OptVCCMinus[1]->isChecked());
    for (Lamp* lamp : {s.ShpVCCon, s.ShVM, mb.ShpVCCon, mb.ShpVCCMinusOn})
        EXPECT_EQ(lamp->fillColor(), 0);

    w.cmdSampleWiper_Click(0); // the first wiper sample on the new board
    EXPECT_EQ(sfr(0xBB), 0x06) << "the conversions were of VIN0";
    EXPECT_EQ(w.lblWiperVolts[0]->text(), "0.000"); // the part is unpowered: VCC is off
    EXPECT_EQ(rt.boxes.size(), 1u) << rt.boxTexts().join(" | ").toStdString();
}
