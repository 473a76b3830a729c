// The VCC calibration window over the simulated evaluation board's analog side: the sweep,
// its results and file, Abort, the faults that must end it without saving, and the window's
// place among the others.
#include "controls/lamp.h"
#include "motherboard/FrmVCCCal.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "motherboard/vcc_sweep.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "sim/analog_board.h"
#include "support/board_fixture.h"
#include "support/conversion_replies.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QPointer>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <numeric>
#include <optional>

using platform::vbOK;
using platform::vbRetry;

namespace {

const QStringList kDefaultCodes{"2C", "35", "3E", "44", "54", "63", "72"};

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class VccCalibrationTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        svc.programDirectory = dir.path();
    }

    // The window as the menu opens it: the menu and the service windows are loaded first.
    FrmVCCCal& open(const sim::AnalogConfig& config = {})
    {
        analog = sim::attachAnalogBoard(board(0), config);
        forms().frmStartup();
        forms().frmMotherboardDAQ2();
        analog->supplyPot->frames.clear(); // the I2C device window's set-up sent its supply frames
        forms().FrmVCCCal.show();
        return forms().FrmVCCCal();
    }

    // A sweep in which the user presses Abort while `code` is being measured.
    void sweepAbortingAt(FrmVCCCal& cal, const QString& code)
    {
        svc.onPump = [&cal, code](int) {
            if (cal.lblCalHex->text() == code)
                cal.cmdAbort_Click();
        };
        cal.cmdDoVCC_Cal_Click();
        svc.onPump = nullptr;
    }

    QString filePath() const { return dir.filePath("DCP_Cal_Data.txt"); }
    bool vccOn() { return board(0).pin(2, 5); }

    static QStringList codes(const FrmVCCCal& cal)
    {
        QStringList out;
        for (size_t k = 1; k <= 7; ++k)
            out << cal.lblTargetHex[k]->text();
        return out;
    }
    // The codes the sweep wrote to the supply potentiometer, in order.
    std::vector<int> codesWritten() const
    {
        std::vector<int> out;
        for (const auto& f : analog->supplyPot->frames)
            if (f.size() == 3 && f[0] == 0x50 && f[1] == 0xC0)
                out.push_back(f[2]);
        return out;
    }

    QTemporaryDir dir;
    std::shared_ptr<sim::AnalogBoard> analog;
};

TEST_F(VccCalibrationTest, TheSweepOnTheDefaultBoardFindsTheDefaultCodes)
{
    FrmVCCCal& cal = open();
    cal.cmdDoVCC_Cal_Click();

    EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
    EXPECT_EQ(codes(cal), kDefaultCodes);
    EXPECT_EQ(cal.lblTargetV[1]->text(), "1.3484");
    EXPECT_EQ(cal.lblTargetV[9]->text(), "2.6968");
    EXPECT_EQ(cal.lblTargetV[7]->text(), "2.5000");
    EXPECT_EQ(cal.lblTargetV[15]->text(), "5.0000");
    EXPECT_EQ(cal.blbTargetV[2]->text(), "3.0");

    std::vector<int> all(128);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(codesWritten(), all);
    const QStringList log = cal.rtxt1->toPlainText().split('\n');
    ASSERT_EQ(log.size(), 128);
    EXPECT_EQ(log.front(), "00   ,  0.625806");
    EXPECT_EQ(log.back(), "7F   ,  2.712903");
    EXPECT_EQ(cal.lblCalHex->text(), "7F");
    EXPECT_EQ(cal.lblCalVolts->text(), "2.712903");

    EXPECT_EQ(cal.lblCalStatus->text(), "Completed");
    EXPECT_TRUE(cal.cmdSaveCal->isEnabled());
    EXPECT_TRUE(cal.cmdDoVCC_Cal->isEnabled());
    EXPECT_TRUE(cal.txtVrefCal->isEnabled());
    EXPECT_TRUE(cal.cmdAbort->isHidden());
    EXPECT_FALSE(vccOn());
    EXPECT_EQ(cal.ShpVCCon()->fillColor(), 0);
    EXPECT_FALSE(QFile::exists(filePath())); // nothing is written until the user asks
}

TEST_F(VccCalibrationTest, AnOffsetBoardGetsItsOwnCodesSavedAndTheNextVccListUsesThem)
{
    FrmVCCCal& cal = open({.supplyOffsetVolts = 0.1});
    cal.cmdDoVCC_Cal_Click();
    ASSERT_EQ(cal.lblCalStatus->text(), "Completed");
    EXPECT_EQ(codes(cal), (QStringList{"29", "32", "3B", "41", "51", "60", "6F"}));

    cal.txtVrefCal->setText("3.25");
    svc.clock = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    cal.cmdSaveCal_Click();
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_EQ(readText(filePath()), "DCP VCC Calibration 03-05-2024 14:07:09\r\n"
                                    "VREF , 3.25\r\n"
                                    "2.7,29,1.3516,2.7032\r\n"
                                    "3.0,32,1.5000,3.0000\r\n"
                                    "3.3,3B,1.6452,3.2903\r\n"
                                    "3.5,41,1.7452,3.4903\r\n"
                                    "4.0,51,2.0065,4.0129\r\n"
                                    "4.5,60,2.2548,4.5097\r\n"
                                    "5.0,6F,2.5000,5.0000\r\n"
                                    "END\r\n");
    EXPECT_EQ(cal.lblCal_header->text(), "DCP VCC Calibration 03-05-2024 14:07:09");
    EXPECT_EQ(cal.lblCalStatus->text(), "Cal File Updated");

    // The next window that fills its VCC list takes the codes and VREF from the file.
    g_ActiveForm = &forms().frmStartup();
    InitVccOptions();
    EXPECT_EQ(QStringList(g_VccCodeTable.begin(), g_VccCodeTable.begin() + 10),
              (QStringList{"29", "32", "3B", "41", "51", "60", "6F", "00", "3F", "7F"}));
    EXPECT_DOUBLE_EQ(g_AdcVref, 3.25);
}

TEST_F(VccCalibrationTest, SavingTurnsABadVrefInto33AndReportsAFailedWrite)
{
    FrmVCCCal& cal = open();
    cal.cmdDoVCC_Cal_Click();
    ASSERT_EQ(cal.lblCalStatus->text(), "Completed");

    cal.txtVrefCal->setText("abc");
    cal.cmdSaveCal_Click();
    EXPECT_EQ(cal.txtVrefCal->text(), "3.3");
    EXPECT_TRUE(readText(filePath()).contains("\r\nVREF , 3.3\r\n"));

    EXPECT_EQ(cal.lblCalStatus->text(), "Cal File Updated");

    svc.programDirectory = dir.filePath("gone");
    svc.answer(vbOK);
    cal.lblCal_header->clear();
    cal.cmdSaveCal_Click();
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_TRUE(svc.boxes[0].text.contains(dir.filePath("gone/DCP_Cal_Data.txt")))
        << svc.boxes[0].text.toStdString();
    EXPECT_EQ(cal.lblCal_header->text(), "");
    EXPECT_FALSE(QFile::exists(dir.filePath("gone/DCP_Cal_Data.txt")));
}

TEST_F(VccCalibrationTest, AbortStopsBeforeTheNextCodeAndLeavesVccOn)
{
    FrmVCCCal& cal = open();
    sweepAbortingAt(cal, "10");

    EXPECT_EQ(cal.lblCalStatus->text(), "Calibration Aborted");
    EXPECT_EQ(codesWritten().back(), 0x10);
    EXPECT_EQ(analog->supplyPot->data, 0x10);
    EXPECT_TRUE(vccOn());
    EXPECT_EQ(codes(cal), QStringList(7, "--"));
    EXPECT_FALSE(cal.cmdSaveCal->isEnabled());
    EXPECT_TRUE(cal.cmdDoVCC_Cal->isEnabled());
    EXPECT_TRUE(cal.cdmRead_Cal_File->isEnabled());
    EXPECT_TRUE(cal.cmdReturn->isEnabled());
    EXPECT_FALSE(cal.txtVrefCal->isEnabled());
    EXPECT_TRUE(cal.cmdAbort->isHidden());
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(VccCalibrationTest, AReadingThatNeverSettlesEndsAfterTheBoundAndTheSweepGoesOn)
{
    FrmVCCCal& cal = open();
    // Every other conversion reads one count higher: no two consecutive ones ever agree.
    auto odd = std::make_shared<bool>(false);
    board(0).adc.source = [a = analog, odd](std::uint8_t p, std::uint8_t n) {
        *odd = !*odd;
        return a->conversionVolts(p, n) + (*odd ? 3.3 / 1023 : 0.0);
    };
    const int before = board(0).adc.conversions;
    cal.cmdDoVCC_Cal_Click();

    EXPECT_EQ(cal.lblCalStatus->text(), "Completed");
    EXPECT_EQ(codes(cal), kDefaultCodes);
    const int perCode = 2 * vcccal::kMaxSettlePairs;
    EXPECT_GE(board(0).adc.conversions - before, 128 * perCode);
    EXPECT_LE(board(0).adc.conversions - before, 128 * perCode + 1); // + the input selection
}

TEST_F(VccCalibrationTest, ADeadInputOrASupplyThatNeverComesOnFailsAndKeepsTheFile)
{
    struct Case {
        const char* what;
        std::function<void(sim::SimBoard&)> fault;
        const char* message;
    };
    const char* flat = "VCC calibration failed: the VCC/2 reading does not rise with the supply code (fitted rise "
                       "0.000 V over codes 00 to 7F, at least 0.500 V expected)";
    const Case cases[] = {
        {"dead VCC/2 input", [](sim::SimBoard& b) { b.adc.source = [](std::uint8_t, std::uint8_t) { return 0.0; }; },
         flat},
        {"VCC held off", [](sim::SimBoard& b) { b.setPinInputs(2, 0x20, 0x00); }, flat},
        {"falling sweep",
         [](sim::SimBoard& b) {
             b.adc.source = [a = sim::analogBoard(b)](std::uint8_t, std::uint8_t) {
                 return 2.7 - 0.0164 * a->supplyPot->data;
             };
         },
         "VCC calibration failed: the VCC/2 reading falls as the supply code rises (fitted change -2.083 V over "
         "codes 00 to 7F)"},
    };
    const QString goodFile = "DCP VCC Calibration 01-01-2024 09:00:00\r\nVREF , 3.3\r\n"
                             "2.7,2C,1.3484,2.6968\r\n3.0,35,1.4968,2.9935\r\n3.3,3E,1.6452,3.2903\r\n"
                             "3.5,44,1.7452,3.4903\r\n4.0,54,2.0065,4.0129\r\n4.5,63,2.2548,4.5097\r\n"
                             "5.0,72,2.5000,5.0000\r\nEND\r\n";
    for (const Case& c : cases) {
        useBoards(1);
        QFile f(filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(goodFile.toUtf8());
        f.close();
        FrmVCCCal& cal = open();
        c.fault(board(0));
        svc.boxes.clear();
        svc.answer(vbOK);
        cal.cmdDoVCC_Cal_Click();

        ASSERT_EQ(svc.boxes.size(), 1u) << c.what;
        EXPECT_TRUE(svc.boxes[0].text.startsWith(c.message)) << c.what << ": " << svc.boxes[0].text.toStdString();
        EXPECT_EQ(cal.lblCalStatus->text(), "Calibration Failed") << c.what;
        EXPECT_FALSE(cal.cmdSaveCal->isEnabled()) << c.what;
        EXPECT_EQ(codes(cal), QStringList(7, "--")) << c.what;
        EXPECT_EQ(readText(filePath()), goodFile) << c.what;
        EXPECT_EQ(board(0).portLatch(2) & 0x20, 0) << c.what; // switched off again
        forms().destroyAll();
    }
}

// Conversion noise scatters single readings, not the sweep: it passes, and the nearest
// single reading lands within a few codes of the noiseless board's. A neighbour k codes off
// lies k x 16.4 mV off the target, so with +-40 mV on every reading it can win up to
// 80 / 16.4, that is 4 codes away.
TEST_F(VccCalibrationTest, ANoisyBoardStillCalibrates)
{
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        useBoards(1);
        svc.boxes.clear();
        FrmVCCCal& cal = open({.noiseVolts = 0.04, .noiseSeed = seed});
        cal.cmdDoVCC_Cal_Click();
        EXPECT_TRUE(svc.boxes.empty()) << svc.boxTexts().join(" | ").toStdString();
        EXPECT_EQ(cal.lblCalStatus->text(), "Completed");
        const QStringList found = codes(cal);
        for (int k = 0; k < 7; ++k)
            EXPECT_LE(std::abs(found[k].toInt(nullptr, 16) - kDefaultCodes[k].toInt(nullptr, 16)), 4)
                << found.join(' ').toStdString();
        forms().destroyAll();
    }
}

// At code 20: a reading that is none fails the sweep; a link dialog answered Retry (the board
// was searched again) aborts it at once. Either way the reading shows as none, nothing more is
// sent and nothing is saved.
TEST_F(VccCalibrationTest, AReadingNotReceivedOrALostLinkEndsTheSweepAtOnce)
{
    const QString failed = "VCC calibration failed: no ADC reading came at code 20.";
    struct Case {
        const char* name;
        std::function<void()> fault;
        QStringList boxes; // the start of each
        const char* status;
    };
    std::shared_ptr<ConversionReplies> replies;
    const Case cases[] = {
        {"time-out, Retry", [&] { board(0).dropNextReplies(2); }, {"Please check USB connection.\r\ncheckStatus"},
         "Calibration Aborted"},
        {"unplugged, Retry on a board plugged back", [&] { board(0).unplug(); }, {"Please check USB connection."},
         "Calibration Aborted"},
        {"failed status", [&] { replies->rewriteNext(1, ConversionReplies::failedStatus()); }, {failed},
         "Calibration Failed"},
        {"a count no conversion gives", [&] { replies->rewriteNext(1, ConversionReplies::count(0x1205)); }, {failed},
         "Calibration Failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        replies = interceptConversions(sims);
        FrmVCCCal& cal = open();
        bool armed = true;
        int conversionsAtFault = -1;
        svc.onPump = [&](int) {
            // Once code 20 is written and the potentiometer deselected, the next two requests
            // are READ_AD's enable and conversion.
            if (armed && cal.lblCalHex->text() == "20" && analog->supplyPot->data == 0x20 && board(0).pin(2, 4)) {
                armed = false;
                conversionsAtFault = board(0).adc.conversions;
                c.fault();
            }
        };
        svc.boxes.clear();
        svc.onBox = [&](const QString&, int buttons) {
            if (!board(0).plugged())
                board(0).replug(); // plugged back while the link dialog is up
            return int(buttons == platform::vbRetryCancel ? vbRetry : vbOK);
        };
        cal.cmdDoVCC_Cal_Click();
        svc.onBox = nullptr;
        svc.onPump = nullptr;

        ASSERT_EQ(svc.boxes.size(), size_t(c.boxes.size())) << svc.boxTexts().join(" | ").toStdString();
        for (qsizetype i = 0; i < c.boxes.size(); ++i)
            EXPECT_TRUE(svc.boxes[size_t(i)].text.startsWith(c.boxes[i])) << svc.boxes[size_t(i)].text.toStdString();
        EXPECT_EQ(cal.lblCalStatus->text(), c.status);
        EXPECT_EQ(cal.lblCalVolts->text(), "-.---");
        // The sweep wrote nothing past code 20; a board that a Retry found again got the supply
        // potentiometer's set-up (0x5F) after it.
        auto written = codesWritten();
        if (written.size() >= 2 && written.back() == 0x5F)
            written.pop_back();
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.back(), 0x20);
        EXPECT_LE(board(0).adc.conversions, conversionsAtFault + 1);
        EXPECT_FALSE(cal.cmdSaveCal->isEnabled());
        EXPECT_EQ(codes(cal), QStringList(7, "--"));
        EXPECT_FALSE(QFile::exists(filePath()));
    }
}

TEST_F(VccCalibrationTest, ClosingTheWindowDuringASweepStopsItFirst)
{
    FrmVCCCal* cal = &open();
    QPointer<FrmVCCCal> alive(cal);
    svc.onPump = [&](int) {
        if (alive && alive->isVisible() && alive->lblCalHex->text() == "05")
            alive->close();
    };
    cal->cmdDoVCC_Cal_Click();
    EXPECT_FALSE(forms().FrmVCCCal.loaded());
    EXPECT_EQ(codesWritten().back(), 0x05);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(svc.boxes.empty());
    // The menu is back: the program is never left without a window.
    EXPECT_TRUE(forms().frmStartup().isVisible());
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&forms().frmStartup()));
}

TEST_F(VccCalibrationTest, ClosingTheWindowFromTheMenusPickBringsTheMenuBack)
{
    forms().frmStartup.show();
    forms().frmStartup().cboDCPSelect->setCurrentIndex(9);
    ASSERT_FALSE(forms().frmStartup().isVisible());
    ASSERT_TRUE(forms().FrmVCCCal().isVisible());
    forms().FrmVCCCal().close();
    EXPECT_FALSE(forms().FrmVCCCal.loaded());
    EXPECT_TRUE(forms().frmStartup().isVisible());
    EXPECT_EQ(forms().frmStartup().cboDCPSelect->currentIndex(), 0);
}

TEST_F(VccCalibrationTest, ActivationRegistersTheWindowAndDisablesSaving)
{
    FrmVCCCal& cal = open();
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&cal));
    EXPECT_EQ(cal.lblCalStatus->text(), "----");
    cal.cmdDoVCC_Cal_Click();
    ASSERT_TRUE(cal.cmdSaveCal->isEnabled());

    g_ActiveForm = &forms().frmStartup();
    forms().FrmVCCCal.show();
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&cal));
    EXPECT_FALSE(cal.cmdSaveCal->isEnabled());
}

// "Abort Calibration" comes during a sweep and goes after it: the window keeps its size and
// the buttons below it come back to where they were.
TEST_F(VccCalibrationTest, TheWindowKeepsItsSizeWhileAbortComesAndGoes)
{
    FrmVCCCal& cal = open();
    QCoreApplication::processEvents();
    const QSize size = cal.size();
    const QPoint returnAt = cal.cmdReturn->pos();
    QSize during;
    svc.onPump = [&](int) {
        if (!cal.cmdAbort->isHidden() && during.isEmpty()) {
            QCoreApplication::processEvents();
            during = cal.size();
            EXPECT_GT(cal.cmdReturn->pos().y(), cal.cmdAbort->pos().y());
        }
    };
    cal.cmdDoVCC_Cal_Click();
    svc.onPump = nullptr;
    QCoreApplication::processEvents();
    EXPECT_EQ(during, size);
    EXPECT_EQ(cal.size(), size);
    EXPECT_EQ(cal.cmdReturn->pos(), returnAt);
}

TEST_F(VccCalibrationTest, ReturnToMenuShowsTheMenuAndKeepsTheSupply)
{
    FrmVCCCal& cal = open();
    sweepAbortingAt(cal, "03");
    ASSERT_TRUE(vccOn());

    cal.cmdReturn_Click();
    EXPECT_TRUE(g_ReturnToMenu);
    EXPECT_FALSE(cal.isVisible());
    EXPECT_TRUE(forms().frmStartup().isVisible());
    EXPECT_EQ(g_ActiveForm, static_cast<DeviceFormControls*>(&forms().frmStartup()));
    EXPECT_TRUE(vccOn());
}

TEST_F(VccCalibrationTest, LeavingTheVrefFieldSetsTheAdcReference)
{
    FrmVCCCal& cal = open();
    struct Case {
        const char* text;
        const char* shown;
        double vref;
    };
    const Case cases[] = {{"3.28", "3.28", 3.28}, {"abc", "3.3", 3.3}, {"", "3.3", 3.3}, {"33", "3.3", 3.3},
                         {"0,003", "3.3", 3.3}};
    for (const Case& c : cases) {
        g_AdcVref = 0;
        cal.txtVrefCal->setText(c.text);
        cal.txtVrefCal_LostFocus();
        EXPECT_EQ(cal.txtVrefCal->text(), c.shown) << c.text;
        EXPECT_DOUBLE_EQ(cal.vrefCal(), c.vref) << c.text;
        EXPECT_DOUBLE_EQ(g_AdcVref, c.vref) << c.text;
    }
}

// ---------------------------------------------------------------------------------------
// The sweep's arithmetic

TEST(VccSweep, NearestCodePerTargetAndTiesKeepTheLowerCode)
{
    // Readings in steps of 1/8 V from 1/16 V: half of 3.0, 4.0 and 5.0 V falls exactly between
    // two codes.
    std::vector<double> v(128);
    for (size_t c = 0; c < v.size(); ++c)
        v[c] = double(c) / 8 + 1.0 / 16;
    const auto chosen = vcccal::nearestCodes(v);
    EXPECT_EQ(chosen[0], 10); // 1.35 V: 1.3125 is nearer than 1.4375
    EXPECT_EQ(chosen[1], 11); // 1.5 V between 1.4375 and 1.5625
    EXPECT_EQ(chosen[4], 15); // 2.0 V
    EXPECT_EQ(chosen[6], 19); // 2.5 V
    EXPECT_EQ(vcccal::nearestCodes(std::vector<double>(128, 1.0))[3], 0);
}

TEST(VccSweep, TheRiseCheckJudgesTheWholeSweep)
{
    std::vector<double> rising(128), noisy(128), dip(128), shallow(128), falling(128);
    for (size_t c = 0; c < 128; ++c) {
        rising[c] = 0.627 + 0.01643 * double(c);
        noisy[c] = rising[c] + (c % 3 == 0 ? 0.08 : c % 3 == 1 ? -0.08 : 0.0); // readings 160 mV apart
        dip[c] = c == 64 ? rising[c] - 0.2 : rising[c];
        shallow[c] = 1.0 + 0.003 * double(c); // 0.381 V over the sweep
    }
    for (size_t c = 0; c < 128; ++c)
        falling[c] = rising[127 - c];
    EXPECT_EQ(vcccal::riseProblem(rising), "");
    EXPECT_EQ(vcccal::riseProblem(noisy), "");
    EXPECT_EQ(vcccal::riseProblem(dip), "");
    EXPECT_EQ(vcccal::riseProblem(std::vector<double>(128, 2.0)),
              "the VCC/2 reading does not rise with the supply code (fitted rise 0.000 V over codes 00 to 7F, "
              "at least 0.500 V expected)");
    EXPECT_EQ(vcccal::riseProblem(shallow),
              "the VCC/2 reading does not rise with the supply code (fitted rise 0.381 V over codes 00 to 7F, "
              "at least 0.500 V expected)");
    EXPECT_EQ(vcccal::riseProblem(falling),
              "the VCC/2 reading falls as the supply code rises (fitted change -2.087 V over codes 00 to 7F)");
}

TEST(VccSweep, SettlingIsBoundedSeesStopAndFailures)
{
    using Outcome = vcccal::SettledReading::Outcome;
    struct Case {
        const char* what;
        std::vector<std::optional<double>> reads; // repeated when used up
        int stopAtPair;                           // stop() true before this pair; -1 never
        Outcome outcome;
        double volts;
        int pairs;
    };
    const Case cases[] = {
        {"first pair agrees", {1.5}, -1, Outcome::Settled, 1.5, 1},
        {"third pair agrees", {1.0, 1.1, 1.2, 1.3, 1.4, 1.4}, -1, Outcome::Settled, 1.4, 3},
        {"never agrees", {1.0, 1.1}, -1, Outcome::Unsettled, 1.1, vcccal::kMaxSettlePairs},
        {"stopped inside", {1.0, 1.1}, 4, Outcome::Stopped, 0.0, 4},
        {"first conversion fails", {std::nullopt}, -1, Outcome::Failed, 0.0, 0},
        {"second conversion fails", {1.0, 1.1, 1.2, std::nullopt}, -1, Outcome::Failed, 0.0, 1},
    };
    for (const Case& c : cases) {
        size_t next = 0;
        int asked = 0;
        const auto r = vcccal::settleReading([&] { return c.reads[next++ % c.reads.size()]; },
                                             [&] { return asked++ == c.stopAtPair; });
        EXPECT_EQ(r.outcome, c.outcome) << c.what;
        EXPECT_EQ(r.pairs, c.pairs) << c.what;
        if (c.outcome == Outcome::Settled || c.outcome == Outcome::Unsettled) {
            EXPECT_DOUBLE_EQ(r.volts, c.volts) << c.what;
        }
    }
}
