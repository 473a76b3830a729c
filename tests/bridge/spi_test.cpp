// The SPI group of the bridge console: mode boxes, the clock list and the transfer with and
// without read-back, over a simulated board whose chip slot is a one-byte shift register.
#include "bridge/frmMainF340.h"
#include "shell/globals.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>
#include <vector>

using platform::vbOK;
using platform::vbRetry;

namespace {

constexpr std::uint8_t kModeCmd = 0x07, kClockCmd = 0x08, kTransferCmd = 0x09;

std::vector<QString> texts(const QComboBox* list)
{
    std::vector<QString> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->itemText(i));
    return out;
}

} // namespace

class SpiTest : public BoardFixture {
protected:
    frmMainF340& loaded()
    {
        auto& f = console();
        board(0).transcript.clear();
        return f;
    }
    std::vector<platform::Report> sets(std::uint8_t cmd)
    {
        std::vector<platform::Report> out;
        for (const auto& rq : board(0).transcript.requests(cmd))
            if (rq[2] == 0)
                out.push_back(rq);
        return out;
    }
    void setTransfer(frmMainF340& f, const QStringList& bytes, bool read)
    {
        f.txtNumToWrite->setText(QString::number(bytes.size()));
        for (int j = 0; j < bytes.size(); ++j)
            f.txtWriteVal[static_cast<size_t>(j)]->setText(bytes[j]);
        f.chkSPIread->setChecked(read);
    }
};

TEST_F(SpiTest, ModeBoxesSendTheModeByClickAndStayQuietWhenReadBack)
{
    auto& f = loaded();
    f.chkSPIckpol->setChecked(false);
    f.chkSPIckpha->setChecked(false);
    f.chkSPIss->setChecked(false);
    board(0).transcript.clear();
    f.chkSPIckpol->setChecked(true);
    f.chkSPIss->setChecked(true);
    const auto s = sets(kModeCmd);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1][3], 5);
    EXPECT_EQ(board(0).spi.mode, 5);

    board(0).spi.mode = 0x02;
    board(0).transcript.clear();
    f.getSPIconfig();
    EXPECT_FALSE(f.chkSPIckpol->isChecked());
    EXPECT_TRUE(f.chkSPIckpha->isChecked());
    EXPECT_FALSE(f.chkSPIss->isChecked());
    EXPECT_TRUE(sets(kModeCmd).empty());
    EXPECT_FALSE(g_OptionGuard);
}

TEST_F(SpiTest, ModeReadBackWithoutAReplyLeavesTheBoxes)
{
    board(0).spi.mode = 0x05;
    auto& f = loaded();
    ASSERT_TRUE(f.chkSPIckpol->isChecked());
    board(0).dropNextReplies(1);
    svc.answer(vbRetry); // the search's own read-back meets the board again
    f.getSPIconfig();
    EXPECT_EQ(svc.boxTexts(), QStringList{"Please check USB connection.\r\ncheckStatus"});
    EXPECT_TRUE(f.chkSPIckpol->isChecked());
    EXPECT_FALSE(f.chkSPIckpha->isChecked());
    EXPECT_TRUE(f.chkSPIss->isChecked());
}

TEST_F(SpiTest, ClockListOffersTheDividersAboveFiveHundredKilohertz)
{
    struct {
        int base, divider;
        size_t count;
        const char *first, *last, *selected;
    } cases[] = {
        {24, 11, 24, "0.5", "12", "1"},
        {24, 21, 24, "0.5", "12", "0.545"},
        {12, 0, 12, "0.5", "6", "6"},
        {12, 10, 12, "0.5", "6", "0.545"},
        {48, 23, 24, "1", "24", "1"}, // above 32 MHz the list is still right
        {1, 0, 1, "0.5", "0.5", "0.5"},
    };
    auto& f = loaded();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base * 100 + c.divider);
        board(0).spi.baseMHz = static_cast<std::uint8_t>(c.base);
        board(0).setSfr(0xA2, static_cast<std::uint8_t>(c.divider));
        board(0).transcript.clear();
        f.cboSPIclock_init();
        const auto items = texts(f.cboSPIClock);
        ASSERT_EQ(items.size(), c.count);
        EXPECT_EQ(items.front(), c.first);
        EXPECT_EQ(items.back(), c.last);
        EXPECT_EQ(f.cboSPIClock->itemData(0).toInt(), static_cast<int>(c.count) - 1);
        EXPECT_EQ(f.cboSPIClock->itemData(static_cast<int>(c.count) - 1).toInt(), 0);
        EXPECT_EQ(f.cboSPIClock->currentText(), c.selected);
        EXPECT_EQ(f.cboSPIClock->currentData().toInt(), c.divider);
        // Selecting the board's divider sends it back, once, and nothing else is sent.
        const auto s = sets(kClockCmd);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0][3], c.divider);
    }
}

TEST_F(SpiTest, ClockWithoutAnEntrySelectsAndSendsNothing)
{
    board(0).spi.baseMHz = 12;
    board(0).setSfr(0xA2, 20); // 285 kHz
    auto& f = loaded();
    f.cboSPIclock_init();
    EXPECT_EQ(f.cboSPIClock->count(), 12);
    EXPECT_EQ(f.cboSPIClock->currentIndex(), -1);
    EXPECT_TRUE(sets(kClockCmd).empty());

    // Picking an entry sends its divider.
    f.cboSPIClock->setCurrentIndex(11);
    ASSERT_EQ(sets(kClockCmd).size(), 1u);
    EXPECT_EQ(sets(kClockCmd)[0][3], 0);
    EXPECT_EQ(board(0).sfr(0xA2), 0);
}

TEST_F(SpiTest, ClockListWithoutAReplyKeepsItsEntries)
{
    auto& f = loaded();
    f.cboSPIclock_init();
    ASSERT_EQ(f.cboSPIClock->count(), 24);
    const QString selected = f.cboSPIClock->currentText();
    board(0).dropNextReplies(1);
    svc.answer(vbRetry);
    f.cboSPIclock_init();
    EXPECT_EQ(svc.boxes.size(), 1u);
    EXPECT_EQ(f.cboSPIClock->count(), 24);
    EXPECT_EQ(f.cboSPIClock->currentText(), selected);
}

TEST_F(SpiTest, TransferWithReadBackShowsWhatTheSlaveClockedOut)
{
    auto& f = loaded();
    ASSERT_TRUE(board(0).pin(2, 4)) << "the chip slot answers while P2.4 is high";
    f.chkSPIClockPhaseChange->setChecked(true);
    f.txtClockPhaseChangeByte->setText("12");
    setTransfer(f, {"9F", "00", "00"}, true);
    f.cmdSPIWrite_Click();

    const auto rq = board(0).transcript.lastRequest(kTransferCmd);
    ASSERT_TRUE(rq);
    const std::vector<std::uint8_t> head(rq->begin(), rq->begin() + 10);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0x01, 0x09, 0x00, 0x01, 0x01, 12, 0x03, 0x9F, 0x00, 0x00}));
    // The shift register answers each byte with the one before it (0xFF before anything).
    EXPECT_EQ(f.txtReadVal[0]->text(), "FF");
    EXPECT_EQ(f.txtReadVal[1]->text(), "9F");
    EXPECT_EQ(f.txtReadVal[2]->text(), "00");
    EXPECT_TRUE(svc.boxes.empty());
}

TEST_F(SpiTest, TransferWithoutReadAwaitsNothingAndLeavesTheReadColumn)
{
    auto& f = loaded();
    for (auto* box : f.txtReadVal)
        box->setText("77");
    setTransfer(f, {"A5", "5A"}, false);
    board(0).dropNextReplies(1); // an awaited reply would raise the link dialog
    f.cmdSPIWrite_Click();
    ASSERT_EQ(board(0).transcript.requests(kTransferCmd).size(), 1u);
    EXPECT_EQ(board(0).transcript.lastRequest(kTransferCmd)->at(3), 0);
    EXPECT_TRUE(svc.boxes.empty());
    EXPECT_EQ(f.txtReadVal[0]->text(), "77");
    EXPECT_EQ(f.txtReadVal[1]->text(), "77");
}

TEST_F(SpiTest, LongestTransferCarriesFiftySevenBytes)
{
    auto& f = loaded();
    QStringList bytes;
    for (int j = 0; j < 57; ++j)
        bytes << QString::number(j + 1, 16).toUpper().rightJustified(2, u'0');
    setTransfer(f, bytes, true);
    f.cmdSPIWrite_Click();
    const auto rq = *board(0).transcript.lastRequest(kTransferCmd);
    EXPECT_EQ(rq[6], 57);
    EXPECT_EQ(rq[63], 57);
    EXPECT_EQ(f.txtReadVal[56]->text(), "38");
    EXPECT_EQ(board(0).spi.transfers, 1);
}

TEST_F(SpiTest, BadCountOrByteSendsNothingAndSaysWhat)
{
    struct {
        const char* what;
        const char *count, *byte0, *phase;
        const char* message; // a part of the message
    } cases[] = {
        {"count 0", "0", "00", "0", "1 to 57"},
        {"count 58", "58", "00", "0", "1 to 57"},
        {"count empty", "", "00", "0", "1 to 57"},
        {"count not a number", "x", "00", "0", "1 to 57"},
        {"byte not hex", "1", "G1", "0", "not a hex byte"},
        {"byte empty", "1", "", "0", "not a hex byte"},
        {"phase byte empty", "1", "00", "", "Clock Phase Change Byte"},
    };
    auto& f = loaded();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        svc.boxes.clear();
        svc.answer(vbOK);
        f.txtNumToWrite->setText(c.count);
        f.txtWriteVal[0]->setText(c.byte0);
        f.txtClockPhaseChangeByte->setText(c.phase);
        f.chkSPIread->setChecked(true);
        f.cmdSPIWrite_Click();
        EXPECT_TRUE(board(0).transcript.requests().empty());
        ASSERT_EQ(svc.boxes.size(), 1u);
        EXPECT_TRUE(svc.boxes[0].text.contains(c.message)) << svc.boxes[0].text.toStdString();
    }
}

TEST_F(SpiTest, PhaseChangeByteIsAPlainFieldCheckedWhenTheTransferIsBuilt)
{
    auto& f = loaded();
    setTransfer(f, {"00"}, false);
    f.txtClockPhaseChangeByte->clear();
    for (QChar c : QString("1x")) {
        QKeyEvent key(QEvent::KeyPress, c == u'x' ? Qt::Key_X : Qt::Key_1, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(f.txtClockPhaseChangeByte, &key);
    }
    EXPECT_EQ(f.txtClockPhaseChangeByte->text(), "1x");
    svc.answer(vbOK);
    f.cmdSPIWrite_Click();
    EXPECT_TRUE(board(0).transcript.requests().empty());
    ASSERT_EQ(svc.boxes.size(), 1u);
    EXPECT_TRUE(svc.boxes[0].text.contains("Clock Phase Change Byte")) << svc.boxes[0].text.toStdString();
}

// A transfer whose report was not written, or whose reply did not come, leaves the read
// column as it was; the flag tells callers that it holds nothing of this transfer.
TEST_F(SpiTest, AFailedTransferLeavesTheReadColumnAndSaysSo)
{
    auto& f = loaded();
    setTransfer(f, {"01", "02"}, true);
    f.cmdSPIWrite_Click();
    ASSERT_EQ(f.txtReadVal[1]->text(), "01");
    EXPECT_TRUE(g_SpiTransferOk);
    const QString first = f.txtReadVal[0]->text();
    const std::function<void()> faults[] = {[this] { board(0).dropNextReplies(1); },
                                            [this] { board(0).failNextWrites(1); }};
    for (const auto& fault : faults) {
        fault();
        svc.answer(vbRetry);
        f.cmdSPIWrite_Click();
        EXPECT_FALSE(g_SpiTransferOk);
        EXPECT_EQ(f.txtReadVal[0]->text(), first);
        EXPECT_EQ(f.txtReadVal[1]->text(), "01");
    }
    EXPECT_EQ(svc.boxTexts(), QStringList(2, "Please check USB connection.\r\ncheckStatus"));

    // Refused before sending: no transfer either.
    f.cmdSPIWrite_Click();
    ASSERT_TRUE(g_SpiTransferOk);
    f.txtNumToWrite->setText("0");
    svc.answer(vbOK);
    f.cmdSPIWrite_Click();
    EXPECT_FALSE(g_SpiTransferOk);
}

TEST_F(SpiTest, RegisterFileSuppliesTheBytesInsteadOfTheFields)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    auto& f = loaded();
    setTransfer(f, {"G1", "00"}, true); // the fields are not looked at
    f.chkFileWriteData->setChecked(true);

    svc.answer(vbOK); // no file yet: its message, and no transfer
    f.cmdSPIWrite_Click();
    EXPECT_EQ(svc.boxes.size(), 1u);
    EXPECT_TRUE(board(0).transcript.requests(kTransferCmd).empty());

    QFile file(dir.filePath("registers.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("generic,0x12,0x34\n");
    file.close();
    f.cmdSPIWrite_Click();
    QDir::setCurrent(previous);
    const auto rq = board(0).transcript.lastRequest(kTransferCmd);
    ASSERT_TRUE(rq);
    EXPECT_EQ(rq->at(6), 2);
    EXPECT_EQ(rq->at(7), 0x12);
    EXPECT_EQ(rq->at(8), 0x34);
    EXPECT_EQ(f.txtReadVal[1]->text(), "12");
    EXPECT_EQ(svc.boxes.size(), 1u);
}

TEST_F(SpiTest, FrameCaptionsAndHelpText)
{
    frmMainF340 f; // built, not loaded
    EXPECT_EQ(f.fraSPI->title(), "SPI");
    EXPECT_EQ(f.txtClockPhaseChangeByte->text(), "0");
    EXPECT_EQ(f.cmdSPIWrite->text(), "Write");
    EXPECT_EQ(f.lblSPI->text(), "Clicking 'Write' sends 'Number of Bytes to Write' bytes to the slave. The bytes start at "
                                "'reg0'. If 'Read' is checked, the slave sends data upon each byte written.");
}

