// The bridge console's I2C and SMBus group over a simulated board, driven as a user or a
// calling window drives it: fields set, buttons pressed, then the bytes on the wire, the
// chip's registers and the fields shown.
#include "bridge/frmMainF340.h"
#include "controls/keyfilter.h"
#include "link/hid.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>

#include <memory>
#include <vector>

using namespace platform;

namespace {

const QString kInvalidAddress =
    "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel to close GUI.";
const QString kCheckStatus = "Please check USB connection.\r\ncheckStatus";
const QString kWriteFileError = "Please check USB connection.WriteFile error.";
const QString kNotFoundQuestion = "DCP_HID I2C address not found. Close GUI?";
const QString kRegisterFileError = "Register file does not exist or is invalid";

constexpr std::uint8_t kDevice7 = 0x28; // 8-bit write address 0x50
constexpr std::uint8_t kDevice8 = kDevice7 << 1;

bool isHexByteText(const QString& t)
{
    return t.size() == 2 && QStringLiteral("0123456789ABCDEF").contains(t[0]) && QStringLiteral("0123456789ABCDEF").contains(t[1]);
}

// The current directory for one test, put back whatever happens.
struct CurrentDir {
    explicit CurrentDir(const QString& path) : previous(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentDir() { QDir::setCurrent(previous); }
    QString previous;
};

} // namespace

class I2CTest : public BoardFixture {
protected:
    // The console loaded over board 0, its load traffic forgotten.
    frmMainF340& c()
    {
        frmMainF340& f = console();
        board(0).transcript.clear();
        return f;
    }

    std::shared_ptr<sim::RegisterBankDevice> attach(std::uint8_t address7 = kDevice7)
    {
        auto dev = std::make_shared<sim::RegisterBankDevice>();
        board(0).attachI2C(address7, dev);
        return dev;
    }

    std::vector<platform::Report> i2cRequests() const { return sims->board(0).transcript.requests(0x06); }
    platform::Report lastI2C() const
    {
        auto r = sims->board(0).transcript.lastRequest(0x06);
        EXPECT_TRUE(r.has_value());
        return r.value_or(platform::Report{});
    }

    static void setRegisterByteBoxes(frmMainF340& f, bool random, bool twoWire, bool command)
    {
        f.chkRandom->setChecked(random);
        f.chk2WireRead->setChecked(twoWire);
        f.ChK2WireCommand->setChecked(command);
    }

    static void typeInto(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        KeyFilter::on(box)->typeText(text);
    }

    static QStringList texts(const auto& boxes, size_t from, size_t to)
    {
        QStringList out;
        for (size_t i = from; i < to; ++i)
            out << boxes[i]->text();
        return out;
    }
};

TEST_F(I2CTest, BlockWriteThenReadOfEightBytesAtARegister)
{
    auto dev = attach();
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.txtNumToWrite->setText("8");
    f.txtStartRegWr->setText("10");
    const std::vector<std::uint8_t> bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    for (size_t j = 0; j < bytes.size(); ++j)
        f.txtWriteVal[j]->setText(Hex2(bytes[j]));
    f.cmdWrite_Click();

    const auto w = lastI2C();
    EXPECT_EQ(sim::hexBytes(w, 14), "01 06 50 08 01 10 11 22 33 44 55 66 77 88");
    for (size_t j = 0; j < bytes.size(); ++j)
        EXPECT_EQ(dev->reg(0x10 + int(j)), bytes[j]);
    EXPECT_EQ(g_BridgeStatus, kStatusOk);
    EXPECT_EQ(f.txtSlaveAddress->text(), "50");

    board(0).transcript.clear();
    f.txtNumToRead->setText("8");
    f.txtStartRegRD->setText("10");
    f.cmdRead_Click();
    EXPECT_EQ(sim::hexBytes(lastI2C(), 6), "01 06 51 08 01 10");
    EXPECT_EQ(texts(f.txtReadVal, 0x10, 0x18),
              (QStringList{"11", "22", "33", "44", "55", "66", "77", "88"}));
    EXPECT_EQ(f.txtReadVal[0x0F]->text(), "");
    EXPECT_EQ(f.txtReadVal[0x18]->text(), "");
    EXPECT_EQ(texts(f.TXTI2C, 0, 8), (QStringList{"11", "22", "33", "44", "55", "66", "77", "88"}));
    EXPECT_EQ(g_BridgeStatus, kStatusOk);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2CTest, BlockReadPlacesBytesByRegisterAndKeepsTheFirstEightInBusOrder)
{
    struct Case {
        const char* reg;
        const char* count;
        int firstPlaced, placed; // register map elements that change
        int received;            // TXTI2C elements that change
    };
    const Case cases[] = {
        {"3E", "4", 62, 2, 4},  // bytes beyond register 63 are not placed
        {"40", "4", 0, 0, 4},   // a register of 64 or more places nothing in the map
        {"00", "10", 0, 10, 8}, // only the first eight reach TXTI2C
    };
    auto dev = attach();
    for (int r = 0; r < 256; ++r)
        dev->setReg(r, static_cast<std::uint8_t>(r ^ 0xA5));
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    for (const Case& k : cases) {
        for (auto* box : f.txtReadVal)
            box->setText("..");
        for (auto* box : f.TXTI2C)
            box->setText("--");
        f.txtStartRegRD->setText(k.reg);
        f.txtNumToRead->setText(k.count);
        f.cmdRead_Click();

        const int reg = HexToInt(k.reg);
        for (int i = 0; i < 64; ++i) {
            const bool placed = i >= k.firstPlaced && i < k.firstPlaced + k.placed;
            const QString want = placed ? Hex2(static_cast<std::uint8_t>(i ^ 0xA5)) : "..";
            EXPECT_EQ(f.txtReadVal[size_t(i)]->text(), want) << k.reg << " element " << i;
        }
        for (int j = 0; j < 8; ++j) {
            const QString want = j < k.received ? Hex2(static_cast<std::uint8_t>((reg + j) ^ 0xA5)) : "--";
            EXPECT_EQ(f.TXTI2C[size_t(j)]->text(), want) << k.reg << " byte " << j;
        }
    }
}

TEST_F(I2CTest, NotAcknowledgedTransfersShowTheDialogAndChangeNoField)
{
    attach();
    frmMainF340& f = c();
    g_I2CAddress = 0x90; // nobody there
    f.txtReadVal[0]->setText("12");
    f.TXTI2C[0]->setText("34");

    svc.answer(vbRetry);
    f.cmdRead_Click();
    EXPECT_EQ(g_BridgeStatus, kStatusDeviceError);
    EXPECT_EQ(f.txtReadVal[0]->text(), "12");
    EXPECT_EQ(f.TXTI2C[0]->text(), "34");

    svc.answer(vbRetry);
    f.cmdWrite_Click();
    EXPECT_EQ(g_BridgeStatus, kStatusDeviceError);
    EXPECT_EQ(svc.boxTexts(), (QStringList{kInvalidAddress, kInvalidAddress}));
    EXPECT_EQ(i2cRequests().size(), 2u) << "Retry in the address dialog does not send again";

    svc.answer(vbCancel);
    EXPECT_TRUE(ends([&] { f.cmdRead_Click(); }));
}

TEST_F(I2CTest, WhichTransfersCarryTheRegisterByte)
{
    struct Case {
        bool random, twoWire, command;
        int block, simple, panel; // register bytes sent by each read
    };
    const Case cases[] = {
        {true, false, false, 1, 1, 1},
        {false, true, false, 1, 0, 0},
        {false, false, true, 1, 0, 0},
        {true, true, false, 1, 0, 0},
        {false, false, false, 0, 0, 0},
    };
    attach();
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.txtStartRegRD->setText("07");
    f.txtRegister->setText("07");
    for (const Case& k : cases) {
        setRegisterByteBoxes(f, k.random, k.twoWire, k.command);
        f.cmdRead_Click();
        EXPECT_EQ(lastI2C()[4], k.block) << k.random << k.twoWire << k.command;
        f.cmdSimpleI2cRd_Click();
        EXPECT_EQ(lastI2C()[4], k.simple) << k.random << k.twoWire << k.command;
        f.cmdReadIndividual_Click();
        EXPECT_EQ(lastI2C()[4], k.panel) << k.random << k.twoWire << k.command;
    }
    // A write carries its register byte by "Random Read/Write" alone.
    setRegisterByteBoxes(f, false, true, true);
    f.cmdWrite_Click();
    EXPECT_EQ(lastI2C()[4], 0);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2CTest, SimpleReadTakesNoStaleReplyAndShowsZerosWhenItFails)
{
    auto dev = attach();
    dev->setReg(0x05, 0x5A);
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.txtStartRegRD->setText("05");
    f.TXTI2C[0]->setText("--");

    // A set is answered and its reply waits unread: it must not pass for the device's byte.
    ASSERT_EQ(f.setI2Coptions(0), kStatusOk);
    f.cmdSimpleI2cRd_Click();
    EXPECT_EQ(f.txtReadVal[5]->text(), "5A");

    board(0).nakNextI2C();
    f.cmdSimpleI2cRd_Click();
    EXPECT_EQ(f.txtReadVal[5]->text(), "00");
    EXPECT_EQ(f.TXTI2C[0]->text(), "--") << "the simple read leaves the received bytes alone";
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2CTest, SimpleWriteIsOneQuietAttempt)
{
    auto dev = attach();
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.txtStartRegWr->setText("20");
    f.txtNumToWrite->setText("2");
    f.txtWriteVal[0]->setText("AB");
    f.txtWriteVal[1]->setText("CD");
    f.cmdSimpleI2cWr_Click();
    EXPECT_EQ(dev->reg(0x20), 0xAB);
    EXPECT_EQ(dev->reg(0x21), 0xCD);

    board(0).nakNextI2C();
    f.cmdSimpleI2cWr_Click();
    EXPECT_EQ(i2cRequests().size(), 2u);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2CTest, ToggleWriteWritesTheOtherValueWhenTheRegisterHoldsItsOwn)
{
    struct Case {
        int button;
        std::uint8_t holds, written;
    };
    const Case cases[] = {{0, 0x3C, 0xC3}, {0, 0x00, 0x3C}, {1, 0xC3, 0x3C}, {1, 0x00, 0xC3}};
    auto dev = attach();
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.txtRegister->setText("9");
    f.txtWriteIndividual[0]->setText("3c");
    f.txtWriteIndividual[1]->setText("C3");
    for (const Case& k : cases) {
        dev->setReg(0x09, k.holds);
        f.cmdWriteIndividual_Click(k.button);
        EXPECT_EQ(dev->reg(0x09), k.written) << k.button << " holding " << int(k.holds);
        EXPECT_EQ(f.txtReadIndividual->text(), Hex2(k.written));
    }
    EXPECT_EQ(f.txtRegister->text(), "09");
    EXPECT_EQ(f.txtWriteIndividual[0]->text(), "3C");
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2CTest, SingleRegisterReadNotAcknowledgedKeepsTheValue)
{
    frmMainF340& f = c();
    g_I2CAddress = kDevice8; // nothing attached
    f.txtReadIndividual->setText("77");
    svc.answer(vbRetry);
    f.cmdWriteIndividual_Click(0);
    EXPECT_EQ(f.txtReadIndividual->text(), "77");
    EXPECT_EQ(svc.boxTexts(), QStringList{kInvalidAddress});
    EXPECT_EQ(i2cRequests().size(), 1u) << "no write after a failed read";
}

TEST_F(I2CTest, ScanStopsAtTheLowerOfTwoDevicesWithoutDialogs)
{
    attach(0x30);
    attach(kDevice7);
    frmMainF340& f = c();
    f.cmdScanI2Caddress_Click();

    const auto probes = i2cRequests();
    ASSERT_EQ(probes.size(), size_t(kDevice7) + 1);
    for (size_t i = 0; i < probes.size(); ++i) {
        EXPECT_EQ(probes[i][2], 2 * i + 1) << "probe " << i;
        EXPECT_EQ(probes[i][3], 1);
        EXPECT_EQ(probes[i][4], 1) << "\"Random Read/Write\" sends the register byte with every probe";
    }
    EXPECT_TRUE(svc.boxes.empty()) << "quiet probes";
    EXPECT_EQ(f.txtI2Caddress->text(), "50");
    EXPECT_EQ(f.txtSlaveAddress->text(), "50");
    EXPECT_EQ(g_I2CAddress, kDevice8);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(f.chkADDRbit[i]->isChecked(), bool((kDevice7 >> i) & 1)) << "bit " << i;
}

TEST_F(I2CTest, ScanWithNoDeviceAsksWhetherToClose)
{
    frmMainF340& f = c();
    svc.answer(vbNo);
    f.cmdScanI2Caddress_Click();
    const auto probes = i2cRequests();
    ASSERT_EQ(probes.size(), 128u);
    EXPECT_EQ(probes.front()[2], 0x01);
    EXPECT_EQ(probes.back()[2], 0xFF);
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(svc.boxes[0].text, kNotFoundQuestion);
    EXPECT_EQ(svc.boxes[0].buttons, vbYesNo);
    EXPECT_EQ(f.txtI2Caddress->text(), "FE");

    svc.answer(vbYes);
    EXPECT_TRUE(ends([&] { f.cmdScanI2Caddress_Click(); }));
}

TEST_F(I2CTest, ScanTakesNoStaleReplyLeftBySomethingDoneDuringItsWaits)
{
    attach();
    frmMainF340& f = c();
    // An LED click during the wait after the first probe: the board answers the set too, and
    // that reply must not pass for an acknowledge of the next probe.
    bool clicked = false;
    svc.onPump = [&](int) {
        if (!clicked) {
            clicked = true;
            f.chkLED[0]->setChecked(true);
        }
    };
    f.cmdScanI2Caddress_Click();
    ASSERT_TRUE(clicked);
    EXPECT_EQ(i2cRequests().size(), size_t(kDevice7) + 1);
    EXPECT_EQ(f.txtI2Caddress->text(), "50");
    EXPECT_EQ(g_I2CAddress, kDevice8);
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(I2CTest, UnplugDuringABlockReadRetriesAfterTheBoardIsBack)
{
    auto dev = attach();
    dev->setReg(0, 0x42);
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.txtStartRegRD->setText("00");
    board(0).unplug();
    svc.onBox = [&](const QString& text, int) {
        if (text == kWriteFileError)
            board(0).replug(); // plugged back while the dialog is up
        return vbRetry;
    };
    f.cmdRead_Click();
    EXPECT_EQ(svc.boxTexts(), QStringList{kWriteFileError});
    EXPECT_EQ(f.txtReadVal[0]->text(), "42");
    EXPECT_EQ(f.TXTI2C[0]->text(), "42");
    EXPECT_EQ(g_BridgeStatus, kStatusOk);
}

TEST_F(I2CTest, OptionBoxesSendTheOptionsAndTheReadBackSendsNothing)
{
    frmMainF340& f = c();
    f.chkRepeatedStart->setChecked(true);
    f.chkStoppedWrite->setChecked(true);
    f.chk2WireRead->setChecked(true);
    f.chkExtendHold->setChecked(true);
    EXPECT_EQ(board(0).transcript.requests(0x04).size(), 4u);
    EXPECT_EQ(sim::hexBytes(*board(0).transcript.lastRequest(0x04), 6), "01 04 00 0B 01 00");

    board(0).i2c.repeatedStart = false;
    board(0).i2c.extendedHold = false;
    board(0).transcript.clear();
    f.getI2Coptions();
    EXPECT_FALSE(f.chkRepeatedStart->isChecked());
    EXPECT_TRUE(f.chkStoppedWrite->isChecked());
    EXPECT_FALSE(f.chkExtendHold->isChecked());
    EXPECT_TRUE(f.chk2WireRead->isChecked()) << "two-wire read is not read back";
    EXPECT_EQ(board(0).transcript.requests(0x04).size(), 1u) << "only the get";
}

TEST_F(I2CTest, OptionsQueryTimeOutShowsTheDialogAndKeepsTheBoxes)
{
    board(0).i2c.repeatedStart = true;
    frmMainF340& f = c();
    ASSERT_TRUE(f.chkRepeatedStart->isChecked());
    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    f.getI2Coptions();
    EXPECT_EQ(svc.boxTexts(), QStringList{kCheckStatus});
    EXPECT_TRUE(f.chkRepeatedStart->isChecked());
}

TEST_F(I2CTest, ToggleSclReportsAStuckDataLine)
{
    frmMainF340& f = c();
    f.cmdToggleSCL_Click();
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_EQ(board(0).i2c.sclToggles, 1);

    board(0).i2c.sdaStuck = true;
    svc.answer(vbOK);
    f.cmdToggleSCL_Click();
    EXPECT_EQ(svc.boxTexts(), QStringList{"SDA error"});
    EXPECT_EQ(svc.boxes[0].buttons, vbOKOnly);
}

TEST_F(I2CTest, SmbusClockListFromTheBoardsBaseAndDivider)
{
    struct Case {
        std::uint8_t base, divider;
        int entries;
        const char* first;
        int firstDivider;
        const char* last;
        int selected; // -1: the board's divider has no entry
    };
    const Case cases[] = {
        {24, 240, 240, "100", 240, "24000", 0},
        {24, 1, 240, "100", 240, "24000", 239},
        {24, 250, 240, "100", 240, "24000", -1}, // 96 kHz is not listed
        {12, 120, 120, "100", 120, "12000", 0},
        {32, 0, 256, "125", 256, "32000", -1},    // a divider byte of 0 selects nothing
        {26, 0, 256, "101", 256, "26000", -1},
    };
    frmMainF340& f = c();
    for (const Case& k : cases) {
        board(0).smbus = {k.base, k.divider};
        board(0).transcript.clear();
        f.cboSMBusFrequency_init();
        QComboBox* list = f.cboSMBusFrequency;
        ASSERT_EQ(list->count(), k.entries) << int(k.base);
        EXPECT_EQ(list->itemText(0), k.first);
        EXPECT_EQ(list->itemData(0).toInt(), k.firstDivider);
        EXPECT_EQ(list->itemText(k.entries - 1), k.last);
        EXPECT_EQ(list->itemData(k.entries - 1).toInt(), 1);
        EXPECT_EQ(list->currentIndex(), k.selected) << int(k.base) << "/" << int(k.divider);
        // Selecting the board's divider sends it back; no selection sends nothing.
        const auto sets = board(0).transcript.requests(0x05);
        ASSERT_EQ(sets.size(), k.selected < 0 ? 1u : 2u);
        if (k.selected >= 0) {
            EXPECT_EQ(sets[1][2], 0);
            EXPECT_EQ(sets[1][3], k.divider);
        }
    }
    // Picking an entry sends its divider.
    f.cboSMBusFrequency->setCurrentIndex(5);
    EXPECT_EQ(board(0).smbus.divider, 256 - 5);
}

TEST_F(I2CTest, SmbusClockQueryThatFailsKeepsTheList)
{
    frmMainF340& f = c();
    const int before = f.cboSMBusFrequency->count();
    ASSERT_GT(before, 0);
    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    f.cboSMBusFrequency_init();
    EXPECT_EQ(f.cboSMBusFrequency->count(), before);
    EXPECT_EQ(f.cboSMBusFrequency->currentText(), "100");
}

TEST_F(I2CTest, AddressBoxAndBits)
{
    frmMainF340& f = c();
    ASSERT_EQ(f.txtI2Caddress->text(), "00");

    const std::int64_t before = svc.monoMs;
    typeInto(f.txtI2Caddress, "5");
    EXPECT_EQ(f.txtI2Caddress->text(), "04");
    EXPECT_EQ(g_I2CAddress, 0x04);
    EXPECT_TRUE(f.chkADDRbit[1]->isChecked());
    EXPECT_GE(svc.monoMs - before, 500) << "the typing wait";

    typeInto(f.txtI2Caddress, "g"); // not a hex digit: dropped, nothing changes
    EXPECT_EQ(f.txtI2Caddress->text(), "04");

    f.txtI2Caddress->clear();
    EXPECT_EQ(f.txtI2Caddress->text(), "00");
    EXPECT_EQ(g_I2CAddress, 0);

    f.chkADDRbit[6]->setChecked(true);
    EXPECT_EQ(f.txtI2Caddress->text(), "80");
    EXPECT_EQ(g_I2CAddress, 0x80);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_FALSE(f.chkADDRbit[i]->isChecked());
    EXPECT_TRUE(board(0).transcript.requests().empty()) << "the address is only remembered";
}

TEST_F(I2CTest, CountFieldsClampTypedTextWhenLeft)
{
    struct Case {
        const char* typed;
        const char* left;
    };
    const Case cases[] = {{"0", "1"}, {"45", "32"}, {"32", "32"}, {"", "1"}, {"7", "7"}};
    frmMainF340& f = c();
    for (QLineEdit* box : {f.txtNumToRead, f.txtNumToWrite})
        for (const Case& k : cases) {
            box->setText(k.typed);
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(box, &out);
            EXPECT_EQ(box->text(), k.left) << k.typed;
        }
}

TEST_F(I2CTest, BadCountsAndBytesSendNothingAndSayWhy)
{
    struct Case {
        const char* what;
        void (*setUp)(frmMainF340&);
        bool write;
        const char* message;
    };
    const Case cases[] = {
        {"read count 0", [](frmMainF340& f) { f.txtNumToRead->setText("0"); }, false,
         "Number of Regs to Read must be a number from 1 to 62."},
        {"read count 63", [](frmMainF340& f) { f.txtNumToRead->setText("63"); }, false,
         "Number of Regs to Read must be a number from 1 to 62."},
        {"read count empty", [](frmMainF340& f) { f.txtNumToRead->setText(""); }, false,
         "Number of Regs to Read must be a number from 1 to 62."},
        {"read register", [](frmMainF340& f) { f.txtStartRegRD->setText("X1"); }, false,
         "Starting Reg Read must be a hexadecimal byte, 00 to FF."},
        {"write count 59 with a register byte", [](frmMainF340& f) { f.txtNumToWrite->setText("59"); }, true,
         "Number of Bytes to Write must be a number from 1 to 58."},
        {"write register", [](frmMainF340& f) { f.txtStartRegWr->setText(""); }, true,
         "Starting Reg Write must be a hexadecimal byte, 00 to FF."},
        {"write value", [](frmMainF340& f) { f.txtNumToWrite->setText("3"); f.txtWriteVal[2]->setText("G"); }, true,
         "Write value 2 must be a hexadecimal byte, 00 to FF."},
    };
    attach();
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    for (const Case& k : cases) {
        f.txtNumToRead->setText("1");
        f.txtNumToWrite->setText("1");
        f.txtStartRegRD->setText("00");
        f.txtStartRegWr->setText("00");
        f.txtWriteVal[2]->setText("00");
        k.setUp(f);
        svc.answer(vbOK);
        g_BridgeStatus = kStatusOk; // an earlier transfer's success
        if (k.write)
            f.cmdWrite_Click();
        else
            f.cmdRead_Click();
        ASSERT_FALSE(svc.boxes.empty()) << k.what;
        EXPECT_EQ(svc.boxes.back().text, k.message) << k.what;
        EXPECT_TRUE(i2cRequests().empty()) << k.what;
        EXPECT_EQ(g_BridgeStatus, kStatusDeviceError) << k.what;
    }
    // Without a register byte a write takes one byte more.
    f.txtWriteVal[2]->setText("00");
    f.chkRandom->setChecked(false);
    f.txtNumToWrite->setText("59");
    f.cmdWrite_Click();
    EXPECT_EQ(lastI2C()[3], 59);
}

TEST_F(I2CTest, FillPatternsAndClear)
{
    frmMainF340& f = c();
    f.txtNumToWrite->setText("4");
    const std::pair<int, QString> patterns[] = {{1, "FF"}, {2, "00"}, {3, "AA"}, {4, "55"}};
    for (const auto& [option, text] : patterns) {
        f.obFillData[size_t(option)]->setChecked(true);
        f.txtWriteVal[4]->setText("--");
        f.cmdFillWriteTextBoxes_Click();
        EXPECT_EQ(texts(f.txtWriteVal, 0, 4), QStringList(4, text));
        EXPECT_EQ(f.txtWriteVal[4]->text(), "--") << "only the count is filled";
    }

    f.txtNumToWrite->setText("32");
    f.obFillData[5]->setChecked(true);
    f.cmdFillWriteTextBoxes_Click();
    const QStringList first = texts(f.txtWriteVal, 0, 32);
    f.cmdFillWriteTextBoxes_Click();
    const QStringList second = texts(f.txtWriteVal, 0, 32);
    EXPECT_NE(first, second);
    EXPECT_GT(QSet<QString>(first.begin(), first.end()).size(), 8);
    for (const QString& t : first + second)
        EXPECT_TRUE(isHexByteText(t)) << t.toStdString();

    for (auto* box : f.txtReadVal)
        box->setText("EE");
    f.cmdClearReadTextBoxes_Click();
    EXPECT_EQ(texts(f.txtReadVal, 0, 32), QStringList(32, ""));
    EXPECT_EQ(texts(f.txtReadVal, 32, 64), QStringList(32, "EE"));
}

TEST_F(I2CTest, RegisterFileFeedsTheWriteAndTheFill)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CurrentDir here(dir.path());
    const auto writeFile = [&](const QByteArray& text) {
        QFile file(dir.filePath("registers.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };

    auto dev = attach();
    frmMainF340& f = c();
    g_I2CAddress = kDevice8;
    f.chkFileWriteData->setChecked(true);
    f.txtStartRegWr->setText("30");
    f.txtNumToWrite->setText("3");

    svc.answer(vbOK); // no file at all
    f.cmdWrite_Click();
    writeFile("generic,0xA5\n");
    svc.answer(vbOK); // too few fields
    f.cmdWrite_Click();
    ASSERT_EQ(svc.boxes.size(), 2u);
    for (const auto& box : svc.boxes) {
        EXPECT_EQ(box.text, kRegisterFileError);
        EXPECT_EQ(box.title, "Error");
    }
    EXPECT_TRUE(i2cRequests().empty());

    writeFile("generic,0xA5,12,0x3\n");
    f.cmdWrite_Click();
    EXPECT_EQ(sim::hexBytes(lastI2C(), 9), "01 06 50 03 01 30 A5 00 03");
    EXPECT_EQ(dev->reg(0x30), 0xA5);

    f.obFillData[0]->setChecked(true);
    f.cmdFillWriteTextBoxes_Click();
    EXPECT_EQ(texts(f.txtWriteVal, 0, 3), (QStringList{"A5", "00", "03"}));
    EXPECT_EQ(svc.boxes.size(), 2u);

    // A file past 1 MiB is refused whole, good fields or not: the box says so, nothing is
    // sent and the fill changes nothing.
    writeFile("generic,0x11,0x22,0x33\n" + QByteArray(1024 * 1024, ' '));
    svc.boxes.clear();
    const size_t sent = i2cRequests().size();
    svc.answer(vbOK);
    f.cmdWrite_Click();
    svc.answer(vbOK);
    f.cmdFillWriteTextBoxes_Click();
    ASSERT_EQ(svc.boxes.size(), 2u);
    for (const auto& box : svc.boxes) {
        EXPECT_TRUE(box.text.startsWith(kRegisterFileError + "\r\n")) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(dir.filePath("registers.txt")))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains("1 MiB")) << box.text.toStdString();
        EXPECT_EQ(box.title, "Error");
    }
    EXPECT_EQ(i2cRequests().size(), sent);
    EXPECT_EQ(texts(f.txtWriteVal, 0, 3), (QStringList{"A5", "00", "03"}));
}

TEST_F(I2CTest, HexFieldsFilterTypingAndPasting)
{
    frmMainF340& f = c();
    QLineEdit* box = f.txtWriteVal[0];
    box->setText("00");
    typeInto(box, "a");
    EXPECT_EQ(box->text(), "A");
    typeInto(box, "x");
    EXPECT_EQ(box->text(), "A") << "a key the filter drops types nothing";

    box->setText("12");
    svc.clipboard = "g1zf7";
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    QCoreApplication::sendEvent(box, &paste);
    EXPECT_EQ(box->text(), "1F") << "the whole text replaced by the filtered clipboard, at most 2 characters";

    box = f.txtNumToRead;
    box->setText("1");
    svc.clipboard = "4a2";
    QCoreApplication::sendEvent(box, &paste);
    EXPECT_EQ(box->text(), "42");
}

TEST_F(I2CTest, LoadShowsTheRegisterRowsAndTheAddress)
{
    frmMainF340& f = c();
    for (size_t i : {size_t(0), size_t(31), size_t(32), size_t(63)}) {
        EXPECT_EQ(f.lblRegAddr[i]->text(), Hex2(std::uint8_t(i)));
        EXPECT_EQ(f.txtWriteVal[i]->text(), "00");
        EXPECT_EQ(f.txtWriteVal[i]->maxLength(), 2);
        EXPECT_EQ(f.txtReadVal[i]->text(), "");
        EXPECT_FALSE(f.txtReadVal[i]->isEnabled());
    }
    EXPECT_EQ(f.txtI2Caddress->text(), "00");
    EXPECT_TRUE(f.chkRandom->isChecked());
    EXPECT_EQ(f.txtSlaveAddress->text(), "--");
    EXPECT_EQ(f.cboSMBusFrequency->currentText(), "100");
    auto* frame = f.findChild<QGroupBox*>("fraI2C");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isAncestorOf(f.cmdHoswMother));
}
