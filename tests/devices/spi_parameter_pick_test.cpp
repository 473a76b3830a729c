// "SPI Parameter File" on the SPI device window over the simulated SPI parts: a picked row of
// the example table sets the window up and shapes the frames that follow on the wire; the
// 10-bit and the quad parts get their special set-ups; cells the tables do not know; files
// that give no part.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "devices/FrmK6623.h"
#include "devices/ProductExec.h"
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_User1.h"
#include "devices/sample_tables.h"
#include "devices/spi_fixture.h"
#include "quad/quad_console.h"
#include "shell/globals.h"
#include "sim/evaluation_board.h"
#include "sim/quad_part.h"
#include "sim/spi_parts.h"
#include "support/parameter_pick.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <functional>

using Frame = std::vector<int>;
using Frames = std::vector<Frame>;

namespace {

QString exampleTable() { return QStringLiteral(DCPEVAL_SOURCE_DIR "/examples/spi_parameters.csv"); }

constexpr int kZN3930Row = 1, kZN3920Row = 2, kK6623Row = 3, kK4731Row = 4;

class SpiParameterPick : public SpiWindowFixture {
protected:
    // The SPI window on a board whose chip slot holds what install puts there, supply on.
    frmDCP_SPI1& atWindow(const std::function<void()>& install)
    {
        sim::setUpEvaluationBoard(board());
        install();
        frmDCP_SPI1& w = pickSPI();
        w.supply->OptVCC[0]->setChecked(true);
        return w;
    }
    // "SPI Parameter File" with the file chosen and the row picked (0: none), the wire cleared
    // first.
    void pickRow(frmDCP_SPI1& w, const QString& file, int row)
    {
        board().transcript.clear();
        answerParameterTable(svc, file, row);
        w.mnu_SPI_List->trigger();
        svc.onPump = nullptr;
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static bool shown(const QWidget* w) { return !w->isHidden(); }
    static std::vector<bool> registerFramesShown(const frmDCP_SPI1& w)
    {
        return {shown(w.SSFrame2), shown(w.frmRegisterWrite), shown(w.FrmShutdown), shown(w.fraADDRSelect)};
    }

    QTemporaryDir dir;
};

} // namespace

// The two four-channel rows: every cell lands in its field, and the part on the board
// answers the frames the fields now shape.
TEST_F(SpiParameterPick, TheFourChannelRowsSetTheWindowUpForTheirPart)
{
    struct Case {
        int row;
        bool zn3930;
        const char *product, *id;
        bool sendId;
        const char *wr, *rd, *acrW, *acrR, *gpW, *gpR, *baseW, *baseR;
        int taps;
        Frames wire; // channel 3 "7F" with Auto Read, then the ACR write of the row's value
    };
    const Case cases[] = {
        {kZN3930Row, true, "ZN3930, SPI, Four Channel, 128 Tap QPOT", "50", true, "3", "3", "C8", "B8", "C4", "B4",
         "C0", "B0", 128, {{0x50, 0xC3, 0x7F}, {0x50, 0xB3, 0}, {0x50, 0xC8, 0xC0}}},
        {kZN3920Row, false, "ZN3920, SPI, Four Channel, 256 Tap QPOT", "NA", false, "2", "4", "60", "20", "C4", "84",
         "C0", "80", 256, {{0xC3, 0x7F}, {0x83, 0, 0, 0}, {0x60, 0xC0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.product);
        std::shared_ptr<sim::SpiDcp> part;
        frmDCP_SPI1& w = atWindow([&] { part = c.zn3930 ? sim::installZN3930(board()) : sim::installZN3920(board()); });
        pickRow(w, exampleTable(), c.row);
        EXPECT_TRUE(svc.boxes.empty());
        EXPECT_EQ(w.lblProduct->text(), c.product);
        EXPECT_EQ(w.txtDeviceAdr->text(), c.id);
        EXPECT_EQ(w.chkSendID->isChecked(), c.sendId);
        EXPECT_EQ((QStringList{w.txtSPIWrCount->text(), w.txtSPIRDQuantity->text(), w.txtACRAddress->text(),
                               w.txtACR[0]->text(), w.txtACRAddress1->text(), w.txtGPAddress->text(),
                               w.txtGPAddress1->text(), w.txtBaseDCPWriteAddress->text(),
                               w.txtBaseDCPReadAddress->text()}),
                  (QStringList{c.wr, c.rd, c.acrW, "C0", c.acrR, c.gpW, c.gpR, c.baseW, c.baseR}));
        EXPECT_EQ(g_TapCount, c.taps);
        EXPECT_EQ(g_ChannelCount, 4);
        EXPECT_TRUE(w.OptChans[2]->isChecked());
        EXPECT_EQ(w.List1[3]->count(), c.taps + 1);
        EXPECT_TRUE(shown(w.SSFrame3[3]) && shown(w.SSFrame4[3]));
        EXPECT_EQ(registerFramesShown(w), std::vector<bool>(4, true));
        EXPECT_TRUE(w.Frk4744Show->isHidden());
        EXPECT_EQ(w.lblChanSend[0]->text(), "0");
        // The pick itself sends nothing to the part.
        EXPECT_TRUE(spiFrames().empty());

        w.ChkAutoRead[3]->setChecked(true); // ticking it reads the wiper once
        board().transcript.clear();
        w.txtHexDataWrt[3]->setText("7F");
        w.CMDxMIT[3]->click();
        w.cmdACRWrite->click();
        EXPECT_EQ(spiFrames(), c.wire);
        EXPECT_EQ(part->wcr[3], 0x7F);
        EXPECT_EQ(part->acr, 0xC0);
        EXPECT_EQ(w.lblPotReadhex[3]->text(), "7F");
        EXPECT_EQ(w.Shape1[2]->fillColor(), 10);
        forms().destroyAll();
    }
}

// The 10-bit part: the register console opens, the register frames give way, the wiper
// frames take the 10-bit form. The next ordinary row hides the console and brings the frames
// back; the channel-0 captions stay as the 10-bit pick set them.
TEST_F(SpiParameterPick, TheK6623RowOpensTheRegisterConsoleUntilTheNextPick)
{
    std::shared_ptr<sim::K6623Part> part;
    frmDCP_SPI1& w = atWindow([&] { part = sim::installK6623(board()); });
    pickRow(w, exampleTable(), kK6623Row);
    ASSERT_TRUE(forms().FrmK6623.loaded());
    FrmK6623& k = forms().FrmK6623();
    EXPECT_TRUE(k.isVisible());
    EXPECT_EQ(k.frk662x->title(), "K6623/3 Table 3 Instruction Set");
    EXPECT_EQ(registerFramesShown(w), std::vector<bool>(4, false));
    EXPECT_EQ(w.lblChanSend[0]->text(), "A0");
    EXPECT_EQ(w.lblChanRcvr[0]->text(), "80");
    EXPECT_EQ(g_TapCount, 1024);
    EXPECT_EQ(w.List1[0]->count(), 1025);
    EXPECT_TRUE(w.SSFrame3[1]->isHidden());
    EXPECT_EQ(w.txtACR[0]->text(), "00"); // a one-character cell gets its "0"
    EXPECT_EQ(w.txtACRAddress->text(), "NA");

    w.txtHexDataWrt[0]->setText("5");
    w.CMDxMIT[0]->click();
    part->wcr = 0x23C;
    w.cmdI2Read[0]->click();
    EXPECT_EQ(w.txtHexDataWrt[0]->text(), "005");
    EXPECT_EQ(spiFrames(), (Frames{{0x50, 0xA0, 0x00, 0x05}, {0x51, 0x80, 0x00, 0x00}}));
    EXPECT_EQ(w.lblPotReadhex[0]->text(), "23C");
    // The console works on the part the window picked.
    part->dr[1] = 0x155;
    k.CMDk662X_Read[2]->click();
    EXPECT_EQ(k.lblRdk662x[2]->text(), "155");

    pickRow(w, exampleTable(), kZN3920Row);
    EXPECT_FALSE(k.isVisible());
    EXPECT_EQ(registerFramesShown(w), std::vector<bool>(4, true));
    EXPECT_EQ(w.lblChanSend[0]->text(), "A0");
    EXPECT_EQ(w.lblChanRcvr[0]->text(), "80");
    EXPECT_EQ(g_TapCount, 256);
}

// The quad part: its console is made ready and named, the quad buttons show until the next
// pick, and the bridge console's I2C options stay as they were, so the I2C window's next part
// still gets its register byte.
TEST_F(SpiParameterPick, TheK4731RowPreparesTheQuadConsoleAndLeavesTheI2COptionsAlone)
{
    std::shared_ptr<sim::QuadSpiPart> quad;
    frmDCP_SPI1& w = atWindow([&] { quad = sim::QuadSpiPart::install(board()); });
    frmMainF340& c = forms().frmMainF340();
    pickRow(w, exampleTable(), kK4731Row);
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_TRUE(board().transcript.requests(0x04).empty()); // no I2C options sent
    EXPECT_FALSE(c.chk2WireRead->isChecked());
    EXPECT_TRUE(c.chkRandom->isChecked());
    ASSERT_TRUE(forms().frm_k4731.loaded());
    frm_k4731& q = forms().frm_k4731();
    EXPECT_FALSE(q.isVisible());
    EXPECT_EQ(q.windowTitle(), "k4731/2  Instruction Set, Register Controls and Status Detail");
    EXPECT_EQ(q.FrPot->title(), "K4731/2 Instruction Set");
    EXPECT_TRUE(shown(w.Frk4744Show));
    EXPECT_EQ(registerFramesShown(w), std::vector<bool>(4, false));
    EXPECT_EQ(w.lblChanSend[0]->text(), "A0");
    EXPECT_EQ(w.lblChanRcvr[0]->text(), "90");

    // The row's wiper instructions reach the quad part's wiper registers.
    w.ChkAutoRead[2]->setChecked(true);
    board().transcript.clear();
    w.txtHexDataWrt[2]->setText("9C");
    w.CMDxMIT[2]->click();
    EXPECT_EQ(spiFrames(), (Frames{{0x50, 0xA2, 0x9C}, {0x50, 0x92, 0x00}}));
    EXPECT_EQ(quad->wcr[2], 0x9C);
    EXPECT_EQ(w.lblPotReadhex[2]->text(), "9C");

    // The next ordinary row takes the quad buttons away and brings the register frames back.
    pickRow(w, exampleTable(), kZN3920Row);
    EXPECT_TRUE(w.Frk4744Show->isHidden());
    EXPECT_EQ(registerFramesShown(w), std::vector<bool>(4, true));

    // Over to the I2C window and its default part.
    w.cmdMMenu->click();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
    frmDCP_User1& i2c = forms().frmDCP_User1();
    i2c.supply->OptVCC[0]->setChecked(true);
    i2c.ChkAutoRead[0]->setChecked(true);
    board().transcript.clear();
    i2c.txtHexDataWrt[0]->setText("40");
    i2c.CMDxMIT[0]->click();
    const auto transfers = board().transcript.requests(0x06);
    ASSERT_EQ(transfers.size(), 2u);
    const Frame write(transfers[0].begin() + 2, transfers[0].begin() + 7);
    EXPECT_EQ(write, (Frame{0x50, 1, 1, 0x00, 0x40})); // the register byte goes with the write
    EXPECT_EQ(i2c.lblPotReadhex[0]->text(), "40");
}

// Cells the tables do not know: the ID keeps its one digit while register cells get their
// "0"; 512 taps select the hidden option; three channels show channel 0 alone; taps the
// options do not have keep the option in force; "na" and an empty ID send no ID byte; a
// description in the wrong case gets no 10-bit form.
TEST_F(SpiParameterPick, CellsOutsideTheTablesAndOddIds)
{
    const QString file = writeFile(
        "odd.csv", "Part,Description,Channels,Taps,ID,ACR Wr,ACR Val,ACR Rd,GP Wr,GP Rd,Wiper Wr,Wiper Rd,"
                   "S12,S13,Wr Count,Rd Count,S16,S17,Note\n"
                   "ODD1,\"Odd, three channels\",3,512,5,2,4,6,8,A,C,E,,,3,4,,,\n"
                   "ODD2,Fifty taps,2,50,na,,,,,,,,,,2,2,,,\n"
                   "ODD3,k6623/4 without an ID,2.5,64,,,,,,,,,,,2,2,,,\n"
                   "END\n");
    frmDCP_SPI1& w = atWindow([&] { sim::installZN3920(board()); });

    pickRow(w, file, 1);
    EXPECT_EQ(w.txtDeviceAdr->text(), "5");
    EXPECT_TRUE(w.chkSendID->isChecked());
    EXPECT_EQ((QStringList{w.txtACRAddress->text(), w.txtACR[0]->text(), w.txtACRAddress1->text(),
                           w.txtGPAddress->text(), w.txtGPAddress1->text(), w.txtBaseDCPWriteAddress->text(),
                           w.txtBaseDCPReadAddress->text()}),
              (QStringList{"02", "04", "06", "08", "0A", "0C", "0E"}));
    EXPECT_TRUE(w.OptTaps[6]->isChecked());
    EXPECT_EQ(g_TapCount, 512);
    EXPECT_EQ(w.List1[0]->item(512)->text(), "512");
    EXPECT_EQ(g_ChannelCount, 3);
    EXPECT_TRUE(w.OptChans[0]->isChecked());
    EXPECT_TRUE(w.SSFrame3[1]->isHidden());

    pickRow(w, file, 2);
    EXPECT_EQ(w.txtDeviceAdr->text(), "na");
    EXPECT_FALSE(w.chkSendID->isChecked());
    EXPECT_EQ(w.txtACRAddress->text(), ""); // empty cells are copied as they are
    EXPECT_TRUE(w.OptTaps[6]->isChecked());
    EXPECT_EQ(g_TapCount, 512);
    EXPECT_TRUE(w.OptChans[1]->isChecked());
    EXPECT_TRUE(shown(w.SSFrame3[1]) && w.SSFrame3[2]->isHidden());

    w.chkSendID->setChecked(true);
    pickRow(w, file, 3);
    EXPECT_EQ(w.txtDeviceAdr->text(), "");
    EXPECT_FALSE(w.chkSendID->isChecked());
    EXPECT_TRUE(w.OptChans[1]->isChecked()); // 2.5 rounds to 2
    EXPECT_EQ(g_TapCount, 64);
    // The 10-bit form needs its description's exact first characters.
    EXPECT_FALSE(forms().FrmK6623.loaded());
    EXPECT_EQ(registerFramesShown(w), std::vector<bool>(4, true));
    EXPECT_TRUE(svc.boxes.empty());
}

// No part comes back: the dialog cancelled, a file that is not there, a table without its
// END row, an empty file, or the END row picked. The window says so and stays as it was.
TEST_F(SpiParameterPick, NoPartPickedLeavesTheWindowAsItWas)
{
    const QString truncated = writeFile("cut.csv", kSPISample.left(kSPISample.indexOf("END")).toUtf8());
    const QString empty = writeFile("empty.csv", {});
    const auto unreadable = [](const QString& file, const char* why) {
        return QDir::toNativeSeparators(file) + " cannot be read as a parameter table: " + why;
    };
    const struct {
        const char* what;
        QString file;
        int row;
        QString why; // the reader's own message before the window's, when the file is bad
    } cases[] = {{"cancelled", "", 1, {}},
                 {"missing", dir.filePath("nowhere.csv"), 1,
                  "The file \"" + QDir::toNativeSeparators(dir.filePath("nowhere.csv")) +
                      "\" cannot be read: No such file or directory."},
                 {"no END row", truncated, 1,
                  unreadable(truncated, "the file ends inside a row: every row of this table has 19 cells.")},
                 {"empty", empty, 1, unreadable(empty, "the file is empty.")},
                 {"END row picked", exampleTable(), 5, {}}};

    frmDCP_SPI1& w = atWindow([this] { sim::installZN3930(board()); });
    w.mnuZN3930->trigger();
    const auto state = [&w] {
        return QStringList{w.lblProduct->text(),      w.txtDeviceAdr->text(),          w.txtSPIWrCount->text(),
                           w.txtSPIRDQuantity->text(), w.txtBaseDCPWriteAddress->text(), w.txtACRAddress->text(),
                           QString::number(g_TapCount), QString::number(g_ChannelCount),
                           QString::number(w.chkSendID->isChecked()), QString::number(w.SSFrame3[3]->isVisible())};
    };
    const QStringList before = state();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        svc.boxes.clear();
        svc.answer(platform::vbOK);
        if (!c.why.isEmpty())
            svc.answer(platform::vbOK);
        pickRow(w, c.file, c.row);
        QStringList boxes{"No Device was selected from the list"};
        if (!c.why.isEmpty())
            boxes.prepend(c.why);
        EXPECT_EQ(svc.boxTexts(), boxes);
        EXPECT_EQ(state(), before);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(spiFrames().empty());
    }
}
