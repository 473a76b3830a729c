// The parameter table window: the file choice after its timer, the grid and titles per family,
// row picks and the pick flags, Return, Re-Load, the failure path, and the picked record that
// outlives the window.
#include "devices/ProductExec.h"
#include "devices/sample_tables.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "shell/shell_fixture.h"
#include "support/whole_text.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

namespace {

class ParameterTable : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        savedI2C = forms().showI2CDeviceWindow;
        savedSpi = forms().showSPIDeviceWindow;
        forms().showI2CDeviceWindow = [this] { ++i2cShown; };
        forms().showSPIDeviceWindow = [this] { ++spiShown; };
        g_I2CFamily = true;
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        forms().showI2CDeviceWindow = savedI2C;
        forms().showSPIDeviceWindow = savedSpi;
    }

    std::function<void()> savedI2C, savedSpi;

    QString file(const QString& name, const QString& text)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return path(name);
    }

    // Opens the table as a device window does and lets its timer run the file choice.
    ProductExec& open(const QString& chosen)
    {
        g_ParamTableDone = false;
        svc.openPaths.push_back(chosen);
        showParameterTable();
        ProductExec& t = *forms().ProductExec.get();
        if (t.Timer1->isActive())
            t.Timer1_Timer();
        return t;
    }

    void click(ProductExec& t, int row)
    {
        t.tGrid->setCurrentCell(row, 3);
        t.tGrid_Click();
    }

    QStringList labels(ProductExec& t, int from, int to)
    {
        QStringList out;
        for (int k = from; k <= to; ++k)
            out << t.lblDeviceSel[k]->text();
        return out;
    }

    int i2cShown = 0, spiShown = 0;
};

} // namespace

TEST_F(ParameterTable, TheTimerAsksForAFileAndTheGridShowsIt)
{
    forms().ProductExec.show();
    ProductExec& t = forms().ProductExec();
    EXPECT_EQ(t.windowTitle(), "DCP Product Selection Parameter Table");
    EXPECT_FALSE(t.Frame1->isVisibleTo(&t));
    EXPECT_TRUE(t.Timer1->isActive());
    EXPECT_EQ(t.Timer1->interval(), 600);
    EXPECT_TRUE(svc.dialogs.empty());

    svc.openPaths.push_back(file("parts.csv", kI2CSample));
    t.Timer1_Timer();
    EXPECT_FALSE(t.Timer1->isActive()); // once per load
    ASSERT_EQ(svc.dialogs.size(), 1u);
    const auto& d = svc.dialogs[0];
    EXPECT_EQ(d.filter, "All Files (*.*)|*.*|Read Data File(*.csv)|*.csv");
    EXPECT_EQ(d.filterIndex, 2);
    EXPECT_EQ(d.fileName, "*I2C* .csv");
    EXPECT_EQ(d.directory, DCPEVAL_SOURCE_DIR "/examples"); // run from the build tree

    EXPECT_TRUE(t.Frame1->isVisibleTo(&t));
    EXPECT_EQ(t.tGrid->rowCount(), 8);
    EXPECT_EQ(t.tGrid->columnCount(), 15);
    EXPECT_EQ(t.tGrid->item(1, 1)->text(), "ZN3710, I2C, Single Channel, 128 Tap QPOT");
    EXPECT_EQ(t.tGrid->item(7, 0)->text(), "END");
    EXPECT_EQ(t.tGrid->columnWidth(1), 333);
    EXPECT_EQ(t.tGrid->columnWidth(7), 146); // 2200 twips
    EXPECT_EQ(t.tGrid->columnWidth(9), 86);  // 1300 twips
    EXPECT_EQ(t.tGrid->columnWidth(14), 13); // the last column, narrow
    QStringList titles;
    for (int k = 0; k < 14; ++k)
        titles << t.lblField[k]->text();
    EXPECT_EQ(titles, (QStringList{"Selected Part", "Description", "Channels", "Taps", "Bus Adr", "ACR Adr",
                                   "ACR Value", "GP Regs", "Spare 8", "Spare 9", "Spare 10", "Spare 11", "Reg Size",
                                   "Data Size"}));
    EXPECT_TRUE(t.lblDeviceSel[13]->isVisibleTo(&t));
    EXPECT_FALSE(t.lblDeviceSel[14]->isVisibleTo(&t));
    EXPECT_FALSE(t.cmdReturn->isVisibleTo(&t));
    EXPECT_FALSE(g_ParamTableDone);
}

TEST_F(ParameterTable, APickFillsTheLabelsAndTheRecordAndTheLastRowClearsThem)
{
    ProductExec& t = open(file("parts.csv", kI2CSample));
    click(t, 3);
    EXPECT_EQ(labels(t, 0, 7), (QStringList{"K4736B", "K4736, I2C, Four Channel, 64 Tap, Banked", "4", "64", "5E", "8",
                                            "0", "NA"}));
    EXPECT_EQ(labels(t, 12, 13), (QStringList{"1", "1"}));
    EXPECT_TRUE(g_I2CPartPicked);
    EXPECT_TRUE(g_SPIPartPicked);
    EXPECT_EQ(g_PickedRecord[0], "K4736B");
    EXPECT_EQ(g_PickedRecord[4], "5E");
    EXPECT_TRUE(t.cmdReturn->isVisibleTo(&t));

    click(t, 7); // the END row
    EXPECT_FALSE(g_I2CPartPicked);
    EXPECT_FALSE(g_SPIPartPicked);
    EXPECT_EQ(g_PickedRecord, ParameterTableRecord{});
    EXPECT_EQ(labels(t, 0, 8), QStringList(9, QString()));
    EXPECT_EQ(labels(t, 9, 13), (QStringList{"", "", "", "1", "1"})); // the rest keep their text
    EXPECT_FALSE(t.cmdReturn->isVisibleTo(&t));
    EXPECT_FALSE(g_ParamTableDone);
}

TEST_F(ParameterTable, ReturnHandsOverThePickMadeBeforeAReLoad)
{
    ProductExec& t = open(file("a.csv", kI2CSample));
    click(t, 2);
    svc.openPaths.push_back(file("b.csv", QString(kI2CSample).replace("ZN3750", "OTHER")));
    t.cmdLoadParam->click();
    EXPECT_EQ(t.tGrid->item(2, 0)->text(), "OTHER");
    EXPECT_TRUE(t.cmdReturn->isVisibleTo(&t));
    t.cmdReturn->click();
    EXPECT_TRUE(g_ParamTableDone);
    EXPECT_EQ(g_PickedRecord[0], "ZN3750");
    EXPECT_EQ(g_PickedRecord[1], "ZN3750, I2C, Four Channel, 256 Tap QPOT");
    EXPECT_EQ(i2cShown, 1);
    EXPECT_EQ(spiShown, 0);
    EXPECT_FALSE(t.isVisible());
    ASSERT_TRUE(forms().ProductExec.loaded()); // hidden, not closed

    // Shown again it is as it was, and no dialog opens by itself.
    const size_t dialogs = svc.dialogs.size();
    g_ParamTableDone = false;
    showParameterTable();
    EXPECT_EQ(forms().ProductExec.get(), &t);
    EXPECT_FALSE(t.Timer1->isActive());
    EXPECT_EQ(svc.dialogs.size(), dialogs);
    EXPECT_TRUE(t.cmdReturn->isVisibleTo(&t));
    EXPECT_EQ(t.lblDeviceSel[0]->text(), "ZN3750");

    // The "File" menu chooses a file again and hides Return; the pick stays in force.
    svc.openPaths.push_back(path("b.csv"));
    t.MnuFileMain_Click();
    EXPECT_EQ(svc.dialogs.size(), dialogs + 1);
    EXPECT_FALSE(t.cmdReturn->isVisibleTo(&t));
    EXPECT_TRUE(g_I2CPartPicked);
    EXPECT_EQ(g_PickedRecord[0], "ZN3750");
}

TEST_F(ParameterTable, ACancelledFileChoiceClosesTheTableAndKeepsAnEarlierPick)
{
    ProductExec& t = open(file("good.csv", kI2CSample));
    click(t, 1);
    i2cShown = 0;
    svc.openPaths.push_back(QString());
    t.cmdLoadParam_Click();
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_FALSE(forms().ProductExec.loaded());
    EXPECT_TRUE(g_ParamTableDone);
    EXPECT_EQ(i2cShown, 1);
    EXPECT_TRUE(g_I2CPartPicked);
    EXPECT_EQ(g_PickedRecord[0], "ZN3710"); // the pick survives its window
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Cancel at the first file choice: nothing picked, the wait ends.
    resetSharedState();
    g_I2CFamily = true;
    open(QString());
    EXPECT_FALSE(forms().ProductExec.loaded());
    EXPECT_TRUE(g_ParamTableDone);
    EXPECT_FALSE(g_I2CPartPicked);
}

// A file that is refused (not there, no table, larger than 1 MiB, not text) from "Re-Load" or
// the "File" menu: the message names the file, and the table shown stays with its pick and
// Return; the device window's wait goes on.
TEST_F(ParameterTable, ARefusedFileLeavesTheTableAsItWas)
{
    const QByteArray other = QString(kI2CSample).replace("ZN3710", "OTHER1").toUtf8();
    const auto bytesFile = [&](const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    };
    const QString refused[] = {
        path("missing.csv"),
        file("noend.csv", QString(kI2CSample).remove("END\n")),
        bytesFile("large.csv", other + QByteArray(1024 * 1024, ' ')),
        bytesFile("binary.csv", QByteArray(other).replace("OTHER1", QByteArray("OTHER1\0", 7))),
    };
    ProductExec& t = open(file("good.csv", kI2CSample));
    click(t, 1);
    i2cShown = 0;
    for (const bool menu : {false, true}) {
        for (const QString& chosen : refused) {
            SCOPED_TRACE((menu ? "File menu: " : "Re-Load: ") + chosen.toStdString());
            svc.boxes.clear();
            svc.answer(platform::vbOK);
            svc.openPaths.push_back(chosen);
            if (menu)
                t.MnuFileMain_Click();
            else
                t.cmdLoadParam_Click();
            ASSERT_EQ(svc.boxes.size(), 1u);
            EXPECT_TRUE(svc.boxes[0].text.contains(QDir::toNativeSeparators(chosen))) << svc.boxes[0].text.toStdString();
            ASSERT_EQ(forms().ProductExec.get(), &t);
            EXPECT_TRUE(t.Frame1->isVisibleTo(&t));
            EXPECT_EQ(t.tGrid->rowCount(), 8);
            EXPECT_EQ(t.tGrid->item(1, 0)->text(), "ZN3710");
            EXPECT_EQ(t.lblDeviceSel[0]->text(), "ZN3710");
            EXPECT_TRUE(t.cmdReturn->isVisibleTo(&t));
            EXPECT_FALSE(g_ParamTableDone);
            EXPECT_EQ(i2cShown, 0);
        }
    }
    t.cmdReturn->click();
    EXPECT_EQ(g_PickedRecord[0], "ZN3710");
}

TEST_F(ParameterTable, ClosingTheWindowAfterAPickKeepsThePick)
{
    ProductExec& t = open(file("parts.csv", kI2CSample));
    click(t, 4);
    t.close();
    EXPECT_FALSE(forms().ProductExec.loaded());
    EXPECT_TRUE(g_ParamTableDone);
    EXPECT_TRUE(g_I2CPartPicked);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(g_PickedRecord[1], "K6627/8, I2C, Single Channel, 1024 Tap");

    // The startup menu's activation forgets the pick, record and flags together.
    forms().frmStartup.show();
    EXPECT_FALSE(g_I2CPartPicked);
    EXPECT_EQ(g_PickedRecord, ParameterTableRecord{});
}

TEST_F(ParameterTable, TheSPIFamilyReadsNineteenColumnsAndReturnsToTheSPIWindow)
{
    g_I2CFamily = false;
    g_SPIFamily = true;
    ProductExec& t = open(file("spi.csv", kSPISample));
    EXPECT_EQ(svc.dialogs.back().fileName, "*SPI* .csv");
    EXPECT_EQ(t.tGrid->columnCount(), 19);
    EXPECT_EQ(t.tGrid->rowCount(), 6);
    EXPECT_EQ(t.tGrid->columnWidth(11), 146);
    EXPECT_EQ(t.tGrid->columnWidth(18), 13);
    EXPECT_EQ(t.lblField[17]->text(), "Spare 17");
    EXPECT_TRUE(t.lblDeviceSel[17]->isVisibleTo(&t));
    click(t, 3);
    EXPECT_EQ(labels(t, 14, 15), (QStringList{"4", "4"}));
    EXPECT_EQ(g_PickedRecord[10], "A0");
    t.cmdReturn_Click();
    EXPECT_EQ(spiShown, 1);
    EXPECT_EQ(i2cShown, 0);
}

// Every column title and picked cell keeps a place of its own: a long description is not
// drawn under the titles beside it.
TEST_F(ParameterTable, TitlesAndPickedCellsDoNotOverlap)
{
    for (const bool spi : {false, true}) {
        SCOPED_TRACE(spi ? "SPI" : "I2C");
        g_I2CFamily = !spi;
        g_SPIFamily = spi;
        ProductExec& t = open(file(spi ? "spi.csv" : "parts.csv", spi ? kSPISample : kI2CSample));
        click(t, 1);
        t.centralWidget()->layout()->activate();
        std::vector<QLabel*> shown;
        for (int k = 0; k < 18; ++k)
            for (QLabel* l : {t.lblField[k], t.lblDeviceSel[k]})
                if (l->isVisibleTo(&t))
                    shown.push_back(l);
        EXPECT_EQ(shown.size(), spi ? 36u : 28u);
        for (size_t a = 0; a < shown.size(); ++a)
            for (size_t b = a + 1; b < shown.size(); ++b)
                EXPECT_FALSE(shown[a]->geometry().intersects(shown[b]->geometry()))
                    << shown[a]->text().toStdString() << " / " << shown[b]->text().toStdString();
        forms().ProductExec.unload();
    }
}

// Long cells widen their columns and the window, up to the screen, beyond which the grid
// scrolls; a long description stops at its cap and shows its whole text as its tip.
TEST_F(ParameterTable, LongCellsWidenTheirColumnsAndTheWindowStaysOnTheScreen)
{
    const QString longDescription = QString("A description that goes on and on, ").repeated(8);
    const QString longNote = QString("x").repeated(120);
    QString text = kI2CSample;
    text.replace("\"ZN3710, I2C, Single Channel, 128 Tap QPOT\"", '"' + longDescription + '"');
    text.replace(",3-7,,,,,1,1,", ",3-7," + longNote + ",,,,1,1,"); // Spare 8 of the ZN3750 row
    ProductExec& t = open(file("long.csv", text));
    t.show();
    t.centralWidget()->layout()->activate();

    EXPECT_EQ(t.tGrid->columnWidth(1), 500);
    EXPECT_EQ(t.tGrid->item(1, 1)->toolTip(), longDescription);
    EXPECT_EQ(t.tGrid->item(2, 1)->toolTip(), QString());
    expectCellsFitTheirColumns(*t.tGrid, {1, 14});
    const QRect screen = t.screen()->availableGeometry();
    EXPECT_LE(t.frameGeometry().width(), screen.width());
    EXPECT_GT(t.tGrid->horizontalHeader()->length(), t.tGrid->viewport()->width());
    EXPECT_GT(t.tGrid->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ParameterTable, ATableOfTheOtherFamilyIsClosedBeforeItIsShown)
{
    ProductExec& i2c = open(file("parts.csv", kI2CSample));
    click(i2c, 1);
    i2c.cmdReturn_Click();

    g_I2CFamily = false;
    g_SPIFamily = true;
    ProductExec& spi = open(file("spi.csv", kSPISample));
    EXPECT_EQ(svc.dialogs.size(), 2u); // a new choice, of an SPI file
    EXPECT_FALSE(g_ParamTableDone);
    EXPECT_EQ(spi.tGrid->columnCount(), 19);
}

TEST_F(ParameterTable, TheWaitEndsWhenTheUserReturns)
{
    g_ParamTableDone = false;
    svc.openPaths.push_back(file("parts.csv", kI2CSample));
    svc.onPump = [&](int) {
        ProductExec* t = forms().ProductExec.get();
        if (!t || !t->isVisible())
            return;
        if (t->Timer1->isActive()) {
            t->Timer1_Timer();
        } else if (t->Frame1->isVisible() && !g_I2CPartPicked) {
            click(*t, 5);
            t->cmdReturn->click();
        }
    };
    EXPECT_TRUE(waitForParameterTable());
    svc.onPump = nullptr;
    EXPECT_TRUE(g_ParamTableDone);
    EXPECT_EQ(g_PickedRecord[0], "K4744A");
}

// A second wait begun inside the first ends both. A table of the same family hands its pick
// to both waits; one opened for the other family ends the first wait as not its own.
TEST_F(ParameterTable, AWaitEndedByATableOfTheOtherFamilyIsNotItsOwn)
{
    const QString i2cFile = file("parts.csv", kI2CSample);
    const QString spiFile = file("spi.csv", kSPISample);
    for (const bool otherFamily : {false, true}) {
        SCOPED_TRACE(otherFamily ? "other family" : "same family");
        resetSharedState();
        g_I2CFamily = true;
        bool inner = false, innerOwn = false;
        svc.onPump = [&](int) {
            ProductExec* t = forms().ProductExec.get();
            if (!t || !t->isVisible())
                return;
            if (t->Timer1->isActive()) {
                svc.openPaths = {g_SPIFamily ? spiFile : i2cFile};
                t->Timer1_Timer();
            } else if (t->Frame1->isVisible() && !inner) {
                inner = true;
                g_I2CFamily = !otherFamily;
                g_SPIFamily = otherFamily;
                g_ParamTableDone = false;
                innerOwn = waitForParameterTable();
            } else if (t->Frame1->isVisible()) {
                click(*t, 1);
                t->cmdReturn_Click();
            }
        };
        EXPECT_EQ(waitForParameterTable(), !otherFamily);
        svc.onPump = nullptr;
        EXPECT_TRUE(innerOwn);
        forms().ProductExec.unload();
    }
}

// The next choice of a table, after the window was closed too, opens where the last file was.
TEST_F(ParameterTable, TheNextChoiceOpensInTheFolderOfTheLastFile)
{
    QDir(dir.path()).mkdir("tables");
    open(file("tables/parts.csv", kI2CSample)).cmdReturn_Click();
    forms().ProductExec.unload();
    open(file("parts.csv", kI2CSample));
    ASSERT_EQ(svc.dialogs.size(), 2u);
    EXPECT_EQ(svc.dialogs[1].directory, dir.filePath("tables"));

    svc.openPaths.push_back(QString()); // a cancelled choice leaves the folder as it was
    forms().ProductExec().cmdLoadParam_Click();
    forms().ProductExec.unload();
    open(file("parts.csv", kI2CSample));
    ASSERT_EQ(svc.dialogs.size(), 4u);
    EXPECT_EQ(svc.dialogs[3].directory, dir.path());
}
