// The SFR group of the bridge console: single register read and write on the wire, the
// reply labels, the 26-row dump with its lamps and write column, and bad entries.
#include "bridge/frmMainF340.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "shell/text.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <vector>

using platform::vbOK;
using platform::vbRetry;

namespace {

constexpr std::uint8_t kSfrCmd = 0x12;

std::vector<QString> labels(const std::array<QLabel*, 4>& l)
{
    return {l[0]->text(), l[1]->text(), l[2]->text(), l[3]->text()};
}

void typeInto(QLineEdit* box, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &e);
    }
}

const char* const kDumpOrder[] = {"80", "90", "A0", "A1", "A2", "A3", "A4", "A5", "A6", "D4", "F5", "D5", "D6",
                                  "F1", "F2", "F3", "B0", "C7", "F4", "A7", "AE", "DF", "E1", "E2", "E3", "F8"};

} // namespace

class SfrTest : public BoardFixture {
protected:
    frmMainF340& loaded()
    {
        auto& f = console();
        board(0).transcript.clear();
        return f;
    }
    std::vector<std::uint8_t> sfrReadAddresses()
    {
        std::vector<std::uint8_t> out;
        for (const auto& rq : board(0).transcript.requests(kSfrCmd))
            if (rq[2] == 1)
                out.push_back(rq[3]);
        return out;
    }
};

TEST_F(SfrTest, FieldsStartAsTheConsoleShowsThem)
{
    frmMainF340 f; // built, not loaded: the load's read-backs would change the fields
    EXPECT_EQ(f.Frame2->title(), "SFR Case 18 Single Byte Access");
    EXPECT_EQ(f.Frame3->title(), "SFRs ");
    EXPECT_EQ(f.txtSFRAddress->text(), "80");
    EXPECT_EQ(f.txtSFRWRData->text(), "AA");
    EXPECT_EQ(labels(f.lblSFRBuf), (std::vector<QString>{"--", "--", "--", "--"}));
    EXPECT_EQ(f.lblPbuf[10]->text(), "F5: P4MDIN");
    EXPECT_EQ(f.lblPbuf[25]->text(), "F8: SPI0CN");
    EXPECT_EQ(f.txtPBufRd[0]->text(), "00");
    EXPECT_EQ(f.txtPBuf[0]->text(), "00");
    EXPECT_FALSE(f.chkWriteEqRead->isChecked());
}

TEST_F(SfrTest, SingleReadSendsTheAddressAndShowsTheFirstFourReplyBytes)
{
    board(0).setSfr(0x80, 0x5A);
    auto& f = loaded();
    f.txtSFRAddress->setText("80");
    f.cmdGetSDFValue_Click();

    platform::Report expected{};
    expected[0] = 0x01;
    expected[1] = 0x12;
    expected[2] = 0x01;
    expected[3] = 0x80;
    ASSERT_EQ(board(0).transcript.requests().size(), 1u);
    EXPECT_EQ(*board(0).transcript.lastRequest(), expected);
    EXPECT_EQ(labels(f.lblSFRBuf), (std::vector<QString>{"01", "00", "00", "5A"}));

    // An address the bridge refuses (internal RAM) comes back with status byte 2 set.
    f.txtSFRAddress->setText("20");
    f.cmdGetSDFValue_Click();
    EXPECT_EQ(labels(f.lblSFRBuf), (std::vector<QString>{"01", "00", "01", "00"}));
}

TEST_F(SfrTest, SingleWriteSendsAddressAndValueAndReadsNothing)
{
    struct {
        const char *address, *value;
        std::uint8_t sfr, written;
    } cases[] = {
        {"A4", "FF", 0xA4, 0xFF},
        {"A4", "", 0xA4, 0x00},  // an empty value writes 00
        {"a6", "1G", 0xA6, 0x01}, // the leading hex digits count
        {"0A5", "07", 0xA5, 0x07},
    };
    auto& f = loaded();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        board(0).transcript.clear();
        board(0).setSfr(c.sfr, 0x55);
        f.txtSFRAddress->setText(c.address);
        f.txtSFRWRData->setText(c.value);
        f.cmdSetSFR_Click();
        ASSERT_EQ(board(0).transcript.requests().size(), 1u);
        platform::Report expected{};
        expected[0] = 0x01;
        expected[1] = 0x12;
        expected[3] = c.sfr;
        expected[4] = c.written;
        EXPECT_EQ(*board(0).transcript.lastRequest(), expected);
        EXPECT_EQ(board(0).sfr(c.sfr), c.written);
        EXPECT_TRUE(AwaitReport(1)) << "the board's answer is left unread";
    }
}

TEST_F(SfrTest, ValuesBeyondOneByteSendNothingAndSaySo)
{
    struct {
        const char *address, *value;
        bool read;
    } cases[] = {
        {"100", "AA", true}, {"100", "AA", false}, {"80", "1FF", false}, {"FFFF", "00", true}, {"10000", "00", false},
    };
    auto& f = loaded();
    const auto before = labels(f.lblSFRBuf);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + c.value);
        svc.boxes.clear();
        svc.answer(vbOK);
        f.txtSFRAddress->setText(c.address);
        f.txtSFRWRData->setText(c.value);
        c.read ? f.cmdGetSDFValue_Click() : f.cmdSetSFR_Click();
        EXPECT_TRUE(board(0).transcript.requests().empty());
        ASSERT_EQ(svc.boxes.size(), 1u);
        EXPECT_TRUE(svc.boxes[0].text.contains("00 to FF")) << svc.boxes[0].text.toStdString();
    }
    EXPECT_EQ(labels(f.lblSFRBuf), before);
}

TEST_F(SfrTest, HexFieldsFilterTypedAndPastedKeys)
{
    auto& f = console();
    f.txtSFRAddress->clear();
    typeInto(f.txtSFRAddress, "a4");
    EXPECT_EQ(f.txtSFRAddress->text(), "A4");
    typeInto(f.txtSFRAddress, "G-");
    EXPECT_EQ(f.txtSFRAddress->text(), "A4");

    // Pasted text goes through the same filter, and the write column's length limit holds.
    svc.clipboard = "x1f-9";
    f.txtSFRAddress->clear();
    KeyFilter::on(f.txtSFRAddress)->paste();
    EXPECT_EQ(f.txtSFRAddress->text(), "1F9");
    f.txtPBuf[3]->clear();
    KeyFilter::on(f.txtPBuf[3])->paste();
    EXPECT_EQ(f.txtPBuf[3]->text(), "1F");
}

TEST_F(SfrTest, DumpReadsTheListInOrderAndFillsTheReadColumn)
{
    auto& f = loaded();
    board(0).setSfr(0xF5, 0x3C);
    board(0).setSfr(0xC7, 0x81);
    std::vector<int> lampsBefore;
    for (Lamp* l : f.ShpSKFRd)
        lampsBefore.push_back(l->fillColor());
    f.cmdReadSKF_Click();

    std::vector<std::uint8_t> expected;
    for (const char* a : kDumpOrder)
        expected.push_back(static_cast<std::uint8_t>(QString(a).toUInt(nullptr, 16)));
    EXPECT_EQ(sfrReadAddresses(), expected);
    EXPECT_EQ(board(0).transcript.requests().size(), expected.size());
    EXPECT_EQ(f.txtSFRAddress->text(), "F8");
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(f.txtPBufRd[i]->text(), Hex2(board(0).readSfr(expected[i]))) << "row " << i;
        EXPECT_EQ(f.ShpSKFRd[i]->fillColor(), lampsBefore[i] == 10 ? 2 : 10) << "row " << i;
    }
    EXPECT_EQ(f.txtPBufRd[10]->text(), "3C");
    EXPECT_EQ(f.txtPBufRd[17]->text(), "81");
    EXPECT_EQ(labels(f.lblSFRBuf), (std::vector<QString>{"01", "00", "00", Hex2(board(0).readSfr(0xF8))}));
}

TEST_F(SfrTest, LampsBlinkOnGoodReadsAndTurnRedOnABadStatus)
{
    auto& f = loaded();
    f.ShpSKFRd[4]->setFillColor(0);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        f.cmdReadSKF_Click();
        seen.push_back(f.ShpSKFRd[4]->fillColor());
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 2, 10}));

    // A row whose caption names an address the bridge refuses: red, and byte 3 still shown.
    f.lblPbuf[4]->setText("20: RAM");
    f.txtPBufRd[4]->setText("77");
    f.cmdReadSKF_Click();
    EXPECT_EQ(f.ShpSKFRd[4]->fillColor(), 12);
    EXPECT_EQ(f.txtPBufRd[4]->text(), "00");
    EXPECT_NE(f.ShpSKFRd[5]->fillColor(), 12);
}

TEST_F(SfrTest, WriteEqualsReadCopiesTheDumpIntoTheWriteColumn)
{
    auto& f = loaded();
    board(0).setSfr(0x90, 0x12);
    f.txtPBuf[1]->setText("EE");
    f.cmdReadSKF_Click();
    EXPECT_EQ(f.txtPBuf[1]->text(), "EE");
    EXPECT_EQ(f.txtPBuf[0]->text(), "00");

    f.chkWriteEqRead->setChecked(true);
    f.cmdReadSKF_Click();
    for (int i = 0; i < kSfrDumpRows; ++i)
        EXPECT_EQ(f.txtPBuf[i]->text(), f.txtPBufRd[i]->text()) << "row " << i;
    EXPECT_EQ(f.txtPBuf[1]->text(), "12");
}

TEST_F(SfrTest, ClickOnAReadFieldReadsThatRowAlone)
{
    auto& f = loaded();
    board(0).setSfr(0xC7, 0x42);
    f.chkWriteEqRead->setChecked(true);
    f.txtPBuf[17]->setText("99");
    const int lampBefore = f.ShpSKFRd[17]->fillColor();
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.txtPBufRd[17], &press);
    QCoreApplication::sendEvent(f.txtPBufRd[17], &release);

    EXPECT_EQ(sfrReadAddresses(), std::vector<std::uint8_t>{0xC7});
    EXPECT_EQ(f.txtPBufRd[17]->text(), "42");
    EXPECT_EQ(f.txtPBuf[17]->text(), "99");
    EXPECT_EQ(f.txtSFRAddress->text(), "C7");
    EXPECT_EQ(f.ShpSKFRd[17]->fillColor(), lampBefore == 10 ? 2 : 10);
}

TEST_F(SfrTest, ReadWithoutAReplyShowsNoValue)
{
    auto& f = loaded();
    f.txtSFRAddress->setText("80");
    f.cmdGetSDFValue_Click();
    ASSERT_EQ(f.lblSFRBuf[3]->text(), Hex2(board(0).readSfr(0x80)));

    // Time-out, then a write that fails: the link dialog each time, and no stale byte is
    // passed off as the register's value.
    for (bool writeFails : {false, true}) {
        SCOPED_TRACE(writeFails ? "write fails" : "no reply");
        svc.boxes.clear();
        writeFails ? board(0).failNextWrites(1) : board(0).dropNextReplies(1);
        svc.answer(vbRetry);
        f.txtSFRAddress->setText("80");
        f.cmdGetSDFValue_Click();
        EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});
        EXPECT_EQ(labels(f.lblSFRBuf), (std::vector<QString>{"--", "--", "--", "--"}));
    }
}

TEST_F(SfrTest, DumpRowWithoutAReplyIsMarkedRed)
{
    auto& f = loaded();
    f.chkWriteEqRead->setChecked(true);
    board(0).dropNextReplies(1); // the first row's read
    svc.answer(vbRetry);
    f.cmdReadSKF_Click();
    EXPECT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(f.txtPBufRd[0]->text(), "--");
    EXPECT_EQ(f.ShpSKFRd[0]->fillColor(), 12);
    // The write column takes values read, never the no-reply mark.
    EXPECT_NE(f.txtPBuf[0]->text(), "--");
    EXPECT_EQ(f.txtPBufRd[1]->text(), Hex2(board(0).readSfr(0x90))); // the rows after it read as usual
    EXPECT_EQ(f.txtPBuf[1]->text(), f.txtPBufRd[1]->text());
    EXPECT_EQ(f.txtSFRAddress->text(), "F8");
}

TEST_F(SfrTest, SingleReadBetweenDumpRowsLeavesTheRowsTheirOwnRegisters)
{
    // The dump lets user events run before and after each row's read; a device window's own
    // register read can run there and uses the same scratch field and reply labels.
    board(0).setSfr(0x90, 0x22);
    board(0).setSfr(0xA0, 0x33);
    board(0).setSfr(0xC7, 0x77);
    auto& f = loaded();
    const int start = svc.pumps;
    // Row i lets events run at start + 2i + 1 (before its read) and start + 2i + 2 (after).
    svc.onPump = [&](int n) {
        if (n == start + 3 || n == start + 6) { // before row 1's read, after row 2's read
            f.txtSFRAddress->setText("C7");
            f.cmdGetSDFValue_Click();
        }
    };
    f.cmdReadSKF_Click();
    svc.onPump = nullptr;

    std::vector<std::uint8_t> expected;
    for (const char* a : kDumpOrder)
        expected.push_back(static_cast<std::uint8_t>(QString(a).toUInt(nullptr, 16)));
    expected.insert(expected.begin() + 1, 0xC7); // the user's read before row 1
    expected.insert(expected.begin() + 4, 0xC7); // and after row 2
    EXPECT_EQ(sfrReadAddresses(), expected);
    EXPECT_EQ(f.txtPBufRd[1]->text(), "22");
    EXPECT_EQ(f.txtPBufRd[2]->text(), "33");
    EXPECT_EQ(f.txtPBufRd[17]->text(), "77");
}
