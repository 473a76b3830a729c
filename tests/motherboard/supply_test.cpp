// Supply switching: the motherboard's VCC and V-minus options and tracking box, SetVCC
// painting the registered window, and InitVccOptions with and without a calibration file.
#include "controls/lamp.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "shell/activeform.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/analog_board.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

using namespace platform;

namespace {

constexpr int kOn = 12, kOff = 0;

// Which of the shared supply controls a registered window carries.
struct Carries {
    bool lamps = true, options = true, list = true, track = true;
};

// A registered window with the supply controls that shared code paints.
struct FakeDeviceWindow : DeviceFormControls {
    explicit FakeDeviceWindow(Carries c = {}) : carries(c)
    {
        optVM[0] = new QRadioButton("On", &widget);
        optVM[1] = new QRadioButton("Off", &widget);
    }
    Lamp* ShpVCCon() override { return carries.lamps ? vccLamp : nullptr; }
    Lamp* ShVM() override { return carries.lamps ? vmLamp : nullptr; }
    QRadioButton* OptVM(int i) override { return carries.options ? optVM[size_t(i)] : nullptr; }
    QComboBox* CboVCC() override { return carries.list ? list : nullptr; }
    QCheckBox* ChkTrack() override { return carries.track ? track : nullptr; }

    Carries carries;
    QWidget widget;
    Lamp* vccLamp = new Lamp(&widget);
    Lamp* vmLamp = new Lamp(&widget);
    std::array<QRadioButton*, 2> optVM{};
    QComboBox* list = new QComboBox(&widget);
    QCheckBox* track = new QCheckBox(&widget);
};

QStringList listTexts(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

QStringList codeTable(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << g_VccCodeTable[size_t(i)];
    return out;
}

const QStringList kDefaultTexts{"2.7", "3.0", "3.3", "3.5", "4.0", "4.5", "5.0", "Min", "Mid", "Max"};
const QStringList kDefaultCodes{"2C", "35", "3E", "44", "54", "63", "72", "00", "3F", "7F"};

const QString kCalHeader = "DCP VCC Calibration 03-15-2010 10:20:30";

// A calibration file with VREF 3.25 and the first `rows` of seven rows; "END" only after
// all seven. Its codes are one below the defaults, its first target text differs.
QString calibrationFile(int rows)
{
    const char* const kRows[] = {"2.75,2B,1.3750,2.7500", "3.0,34,1.5000,3.0000", "3.3,3D,1.6500,3.3000",
                                 "3.5,43,1.7500,3.5000",  "4.0,53,2.0000,4.0000", "4.5,62,2.2500,4.5000",
                                 "5.0,71,2.5000,5.0000"};
    QString text = kCalHeader + "\r\nVREF , 3.25\r\n";
    for (int k = 0; k < rows; ++k)
        text += QString(kRows[k]) + "\r\n";
    return rows == 7 ? text + "END\r\n" : text;
}

} // namespace

class SupplyTest : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        svc.programDirectory = dir.path();
        analog = sim::attachAnalogBoard(board());
        // The service windows load first, as on the menu's first pick: the I2C device window
        // they set up registers itself, and the test's window registers after it.
        mb();
        analog->supplyPot->frames.clear();
        register_(std::make_unique<FakeDeviceWindow>());
    }
    void TearDown() override
    {
        g_ActiveForm = nullptr;
        BoardFixture::TearDown();
    }

    FakeDeviceWindow& register_(std::unique_ptr<FakeDeviceWindow> w)
    {
        fake = std::move(w);
        g_ActiveForm = fake.get();
        return *fake;
    }
    frmMotherboardDAQ2& mb() { return forms().frmMotherboardDAQ2(); }
    bool vccPin() { return board().pin(2, 5); }
    bool vminusPin() { return board().pin(2, 6); }
    void setTracking(bool on) { mb().ChkTrack->setChecked(on); }

    void writeCalibrationFile(const QString& text)
    {
        QFile f(QDir(dir.path()).filePath("DCP_Cal_Data.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QTemporaryDir dir;
    std::shared_ptr<sim::AnalogBoard> analog;
    std::unique_ptr<FakeDeviceWindow> fake;
};

TEST_F(SupplyTest, VccOptionSwitchesThePinsWithAndWithoutTracking)
{
    struct Case {
        const char* name;
        bool tracking;
        bool vminusOnBefore; // switched on through its own option first (not tracking)
        int vcc;             // the option selected last (after "On" when it is "Off")
        bool p25, p26;
        int vccLamp, vminusLamp;
    };
    const Case cases[] = {
        {"on, alone", false, false, 0, true, false, kOn, kOff},
        {"on, V- already on", false, true, 0, true, true, kOn, kOn},
        {"off, V- stays on", false, true, 1, false, true, kOff, kOn},
        {"on, tracking", true, false, 0, true, true, kOn, kOn},
        {"off, tracking", true, false, 1, false, false, kOff, kOff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forms().destroyAll(); // a fresh window: both supplies off, "Track" ticked
        setTracking(c.tracking);
        if (c.vminusOnBefore)
            mb().OptVCCMinus[0]->setChecked(true);
        mb().OptVCC[0]->setChecked(true);
        if (c.vcc == 1)
            mb().OptVCC[1]->setChecked(true);
        EXPECT_EQ(vccPin(), c.p25);
        EXPECT_EQ(vminusPin(), c.p26);
        EXPECT_EQ(mb().ShpVCCon->fillColor(), c.vccLamp);
        EXPECT_EQ(mb().ShpVCCMinusOn->fillColor(), c.vminusLamp);
        if (c.tracking) {
            EXPECT_TRUE(mb().OptVCCMinus[size_t(c.vcc)]->isChecked());
        }
        EXPECT_TRUE(mb().OptVCC[0]->isEnabled()) << "buttons back after the switch";
    }
}

TEST_F(SupplyTest, VminusOptionDoesNothingWhileTracking)
{
    mb();
    board().transcript.clear();
    mb().OptVCCMinus_Click(0);
    EXPECT_TRUE(board().transcript.requests().empty());
    EXPECT_FALSE(vminusPin());
    EXPECT_EQ(mb().ShpVCCMinusOn->fillColor(), kOff);
}

TEST_F(SupplyTest, TrackBoxSetsTheFlagTheOptionsAndTheRegisteredWindowsBox)
{
    fake->track->setChecked(true);
    setTracking(false);
    EXPECT_FALSE(g_VminusTracksVcc);
    EXPECT_TRUE(mb().OptVCCMinus[0]->isEnabled());
    EXPECT_TRUE(mb().OptVCCMinus[1]->isEnabled());
    EXPECT_FALSE(fake->track->isChecked());

    setTracking(true);
    EXPECT_TRUE(g_VminusTracksVcc);
    EXPECT_FALSE(mb().OptVCCMinus[0]->isEnabled());
    EXPECT_TRUE(fake->track->isChecked());
}

TEST_F(SupplyTest, SetVccPaintsTheRegisteredWindow)
{
    constexpr int kUntouched = 5;
    struct Case {
        bool tracking;
        int state;
        int vmLamp;     // kUntouched: not painted
        int optChecked; // -1: neither option selected
    };
    const Case cases[] = {
        {true, 0, kOn, 0},
        {true, 1, kOff, 1},
        {false, 0, kUntouched, -1},
        {false, 1, kUntouched, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tracking " << c.tracking << ", state " << c.state);
        setTracking(c.tracking);
        SetVCC(1 - c.state); // from the other state, so the switch really happens
        FakeDeviceWindow& w = register_(std::make_unique<FakeDeviceWindow>());
        w.vccLamp->setFillColor(kUntouched);
        w.vmLamp->setFillColor(kUntouched);
        w.optVM[0]->setEnabled(!c.tracking);
        w.optVM[1]->setEnabled(!c.tracking);

        SetVCC(c.state);
        EXPECT_EQ(vccPin(), c.state == 0);
        EXPECT_EQ(w.vccLamp->fillColor(), c.state == 0 ? kOn : kOff);
        EXPECT_EQ(w.vmLamp->fillColor(), c.vmLamp);
        EXPECT_EQ(w.optVM[0]->isChecked(), c.optChecked == 0);
        EXPECT_EQ(w.optVM[1]->isChecked(), c.optChecked == 1);
        EXPECT_EQ(w.optVM[0]->isEnabled(), !c.tracking);
        EXPECT_EQ(w.optVM[1]->isEnabled(), !c.tracking);
        EXPECT_TRUE(mb().OptVCC[size_t(c.state)]->isChecked());
    }
}

TEST_F(SupplyTest, SetVccWithAWindowLackingTheControlsStillSwitches)
{
    register_(std::make_unique<FakeDeviceWindow>(Carries{false, false, true, false}));
    SetVCC(0);
    EXPECT_TRUE(vccPin());
    g_ActiveForm = nullptr;
    SetVCC(1);
    EXPECT_FALSE(vccPin());
    setTracking(false); // no registered tracking box to copy into
    EXPECT_FALSE(g_VminusTracksVcc);
}

TEST_F(SupplyTest, InitVccOptionsSwitchesOffSetsUpThePotAndFillsTheDefaults)
{
    SetVCC(0);
    ASSERT_TRUE(vccPin() && vminusPin());
    analog->supplyPot->frames.clear();

    InitVccOptions();
    EXPECT_FALSE(vccPin());
    EXPECT_FALSE(vminusPin());
    EXPECT_TRUE(board().pin(2, 4)) << "the potentiometer is deselected again";
    const std::vector<std::vector<std::uint8_t>> frames{{0x50, 0xC0, 0x5F}, {0x50, 0xC2, 0xC0}};
    EXPECT_EQ(analog->supplyPot->frames, frames);
    EXPECT_EQ(analog->supplyPot->data, 0x5F);
    EXPECT_EQ(analog->supplyPot->setup, 0xC0);
    const QStringList row0{mb().txtSPIwr[0]->text(), mb().txtSPIwr[1]->text(), mb().txtSPIwr[2]->text(),
                           mb().txtSPIwr[3]->text()};
    EXPECT_EQ(row0, (QStringList{"00", "50", "C2", "C0"}));

    EXPECT_EQ(listTexts(fake->list), kDefaultTexts);
    EXPECT_EQ(fake->list->currentText(), "5.0");
    EXPECT_EQ(codeTable(10), kDefaultCodes);
    EXPECT_TRUE(g_VccCodeTable[10].isEmpty());
    EXPECT_EQ(mb().lblCal_header->text(), "Defaults");
    EXPECT_EQ(g_AdcVref, 3.3);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(SupplyTest, InitVccOptionsTakesTheCalibrationFilesCodesAndReference)
{
    writeCalibrationFile(calibrationFile(7));
    InitVccOptions();
    EXPECT_EQ(listTexts(fake->list),
              (QStringList{"2.75", "3.0", "3.3", "3.5", "4.0", "4.5", "5.0", "Min", "Mid", "Max"}));
    EXPECT_EQ(fake->list->currentIndex(), 6);
    EXPECT_EQ(codeTable(10), (QStringList{"2B", "34", "3D", "43", "53", "62", "71", "00", "3F", "7F"}));
    EXPECT_EQ(mb().lblCal_header->text(), kCalHeader);
    EXPECT_DOUBLE_EQ(g_AdcVref, 3.25);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(SupplyTest, ADamagedCalibrationFileLeavesTheDefaultsWhole)
{
    writeCalibrationFile(calibrationFile(5)); // ends after its fifth row
    svc.answer(vbOK);
    InitVccOptions();
    EXPECT_EQ(svc.boxes.size(), 1u) << "the user is told why the file was not used";
    EXPECT_EQ(listTexts(fake->list), kDefaultTexts);
    EXPECT_EQ(codeTable(10), kDefaultCodes);
    EXPECT_EQ(mb().lblCal_header->text(), "Defaults");
    EXPECT_EQ(g_AdcVref, 3.3);
}

TEST_F(SupplyTest, AWindowWithoutAVccListStillGetsTheCodeTable)
{
    register_(std::make_unique<FakeDeviceWindow>(Carries{true, true, false, true}));
    InitVccOptions();
    EXPECT_EQ(codeTable(10), kDefaultCodes);
    EXPECT_FALSE(vccPin());
}
