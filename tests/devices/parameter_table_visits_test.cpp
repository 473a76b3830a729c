// The parameter table belongs to the visit of the device window that opened it: leaving the
// window for the menu closes it, and the window's wait, ended that way or by a table the
// other family's window opened later, applies nothing, asks nothing and sends nothing.
#include "devices/ProductExec.h"
#include "devices/device_fixture.h"
#include "devices/frmDCP_SPI1.h"
#include "devices/sample_tables.h"
#include "shell/globals.h"
#include "support/parameter_pick.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

struct Story {
    const char* name;
    bool i2cFirst;
    int firstRow, secondRow; // the rows picked in the first and in the second window's table
    const char* secondProduct;
};

class ParameterTableVisits : public I2cWindowFixture, public ::testing::WithParamInterface<Story> {
protected:
    frmDCP_SPI1& pickSPI()
    {
        forms().frmStartup.show();
        forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
        return forms().frmDCP_SPI1();
    }
    QString write(const QString& name, const QString& text)
    {
        QFile f(dataDir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return f.fileName();
    }
    static void click(ProductExec& t, int row)
    {
        t.tGrid->setCurrentCell(row, 3);
        t.tGrid_Click();
    }
};

} // namespace

// The user opens the first window's table and picks a row there, goes back to the menu without
// the table's Return, picks the other family, opens its table, picks a row and presses Return.
// The steps run from the event pumps, so as long as the first window still waits they run
// inside its wait, as the user's clicks would.
TEST_P(ParameterTableVisits, AWaitEndedByItsWindowsReturnOrByTheOtherFamilysTableAppliesNothing)
{
    const Story& c = GetParam();
    const QString i2cFile = write("i2c.csv", kI2CSample);
    const QString spiFile = write("spi.csv", kSPISample);
    usePart();
    frmDCP_User1& i2c = pickI2C();
    // The I2C window shows a K4736 part, whose layout would write the pins again.
    answerParameterTable(svc, i2cFile, 3);
    i2c.mnu_I2cList_Click();
    svc.onPump = nullptr;
    i2c.cmdMMenu->click();
    frmDCP_SPI1& spi = pickSPI();
    spi.mnuZN3920->trigger();
    spi.cmdMMenu->click();

    DeviceFormCore& first = c.i2cFirst ? static_cast<DeviceFormCore&>(i2c) : spi;
    DeviceFormCore& second = c.i2cFirst ? static_cast<DeviceFormCore&>(spi) : i2c;
    const QString firstProduct = first.lblProduct->text();
    const QString firstAcr = first.txtACRAddress->text();
    const auto openTable = [&](bool i2cWindow) {
        if (i2cWindow) {
            pickI2C();
            i2c.mnu_I2cList_Click();
        } else {
            pickSPI();
            spi.mnu_SPI_List_Click();
        }
    };

    int stage = 0;
    bool firstWaits = true;
    const auto openSecond = [&] {
        stage = 2;
        openTable(!c.i2cFirst);
        board().transcript.clear(); // what the second window did is its own business
    };
    svc.onPump = [&](int) {
        ProductExec* t = forms().ProductExec.get();
        const bool shown = t && t->isVisible();
        if (shown && t->Timer1->isActive()) {
            svc.openPaths = {g_SPIFamily ? spiFile : i2cFile};
            t->Timer1_Timer();
        } else if (stage == 0 && shown && t->Frame1->isVisible()) {
            stage = -1;
            click(*t, c.firstRow);
            first.cmdMMenu->click();
            board().transcript.clear();
            stage = 1;
        } else if (stage == 1 && firstWaits) {
            openSecond();
        } else if (stage == 2 && shown && t->Frame1->isVisible()) {
            click(*t, c.secondRow);
            t->cmdReturn_Click();
        }
    };
    openTable(c.i2cFirst);
    firstWaits = false;
    // The first window's handler, once its wait is over, sent nothing.
    EXPECT_TRUE(board().transcript.requests().empty());
    if (stage == 1)
        openSecond();
    svc.onPump = nullptr;

    EXPECT_EQ(svc.boxTexts(), QStringList{});
    EXPECT_EQ(second.lblProduct->text(), c.secondProduct);
    EXPECT_EQ(first.lblProduct->text(), firstProduct);
    EXPECT_EQ(first.txtACRAddress->text(), firstAcr);
    EXPECT_EQ(g_SPIFamily, c.i2cFirst);
    EXPECT_EQ(g_I2CFamily, !c.i2cFirst);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, ParameterTableVisits,
                         ::testing::Values(Story{"I2CThenZN3930", true, 2, 1, "ZN3930, SPI, Four Channel, 128 Tap QPOT"},
                                           // a row without an I2C address
                                           Story{"I2CThenZN3920", true, 2, 2, "ZN3920, SPI, Four Channel, 256 Tap QPOT"},
                                           Story{"SPIThenZN3750", false, 1, 2, "ZN3750, I2C, Four Channel, 256 Tap QPOT"}),
                         [](const ::testing::TestParamInfo<Story>& info) { return std::string(info.param.name); });
