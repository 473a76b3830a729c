#include "bridge/frmMainF340.h"

#include "bridge/exchange.h"
#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <cctype>
#include <functional>
#include <optional>

// The first two characters of each caption are the address the dump reads. P4MDIN sits
// between P0SKIP and P1SKIP: other windows know the rows by these indexes.
const std::array<const char*, kSfrDumpRows> kSfrDumpCaptions = {
    "80: P0 DATA", "90: P1 DATA", "A0: P2 DATA", "A1: SPI0CFG", "A2: SPI0CKR", "A3: SPI0DAT", "A4: P0MDOUT",
    "A5: P1MDOUT", "A6: P2MDOUT", "D4: P0SKIP",  "F5: P4MDIN",  "D5: P1SKIP",  "D6: P2SKIP",  "F1: P0MDIN",
    "F2: P1MDIN",  "F3: P2MDIN",  "B0: P3 DATA", "C7: P4 DATA", "F4: P3MDIN",  "A7: P3MDOUT", "AE: P4MDOUT",
    "DF: P3SKIP",  "E1: XBAR0",   "E2: XBAR1",   "E3: XBAR2",   "F8: SPI0CN",
};

namespace {

constexpr int kLampGood = 10;
constexpr int kLampGoodAgain = 2;
constexpr int kLampFailed = 12;
const QString kNoReply = QStringLiteral("--");

// The value of the leading hex digits, read as HexToInt reads them (an empty text or one
// starting with another character is 0), or nullopt when that value does not fit a byte.
std::optional<std::uint8_t> leadingHexByte(const QString& text)
{
    int value = 0;
    for (QChar c : text) {
        const char ch = c.unicode() < 128 ? c.toLatin1() : '\0';
        if (!std::isxdigit(static_cast<unsigned char>(ch)))
            break;
        value = value * 16 + (std::isdigit(static_cast<unsigned char>(ch)) ? ch - '0' : std::toupper(ch) - 'A' + 10);
        if (value > 0xFF)
            return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

// The byte in box, or nullopt after a message naming the field.
std::optional<std::uint8_t> sfrByteOf(const QLineEdit* box, const QString& what)
{
    const auto value = leadingHexByte(box->text());
    if (!value)
        platform::msgBox(QString("%1 \"%2\" does not fit one byte: enter 00 to FF. Nothing was sent.").arg(what, box->text()));
    return value;
}

QLineEdit* byteField(const QString& text)
{
    auto* box = new QLineEdit(text);
    box->setFixedWidth(34);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

} // namespace

// --- layout -------------------------------------------------------------------------------

QWidget* F340Sfr::buildSfrFrames()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(buildDumpFrame());
    v->addWidget(buildSingleAccessFrame());
    v->addStretch(1);
    return w;
}

QWidget* F340Sfr::buildSingleAccessFrame()
{
    Frame2 = new QGroupBox("SFR Case 18 Single Byte Access");
    Frame2->setObjectName("Frame2");
    txtSFRAddress = byteField("80");
    KeyFilter::on(txtSFRAddress)->keyPress = checkValidEntryHex;
    txtSFRWRData = byteField("AA");
    cmdGetSDFValue = new QPushButton("Read SFR");
    cmdSetSFR = new QPushButton("Write SFR");

    auto* grid = new QGridLayout(Frame2);
    grid->addWidget(new QLabel("SFR Address"), 0, 0);
    grid->addWidget(txtSFRAddress, 0, 1);
    grid->addWidget(cmdGetSDFValue, 0, 2);
    grid->addWidget(new QLabel("Write Data"), 1, 0);
    grid->addWidget(txtSFRWRData, 1, 1);
    grid->addWidget(cmdSetSFR, 1, 2);

    // The reply bytes: (2) the access status, (3) the register value.
    auto* reply = new QGridLayout;
    reply->addWidget(new QLabel("Error Flag"), 0, 2, Qt::AlignCenter);
    reply->addWidget(new QLabel("Data"), 0, 3, Qt::AlignCenter);
    for (size_t k = 0; k < lblSFRBuf.size(); ++k) {
        lblSFRBuf[k] = new QLabel(kNoReply);
        lblSFRBuf[k]->setAlignment(Qt::AlignCenter);
        lblSFRBuf[k]->setMinimumWidth(28);
        reply->addWidget(lblSFRBuf[k], 1, static_cast<int>(k));
    }
    grid->addLayout(reply, 2, 0, 1, 3);
    grid->setColumnStretch(3, 1);

    QObject::connect(cmdGetSDFValue, &QPushButton::clicked, &f, [this] { cmdGetSDFValue_Click(); });
    QObject::connect(cmdSetSFR, &QPushButton::clicked, &f, [this] { cmdSetSFR_Click(); });
    return Frame2;
}

QWidget* F340Sfr::buildDumpFrame()
{
    Frame3 = new QGroupBox("SFRs ");
    Frame3->setObjectName("Frame3");
    auto* v = new QVBoxLayout(Frame3);

    // Two blocks of 13 rows side by side keep the frame short enough for the tab.
    constexpr int kRowsPerBlock = kSfrDumpRows / 2;
    auto* blocks = new QHBoxLayout;
    for (int block = 0; block < 2; ++block) {
        auto* grid = new QGridLayout;
        grid->setVerticalSpacing(2);
        grid->addWidget(new QLabel("Write    Read"), 0, 1, 1, 2, Qt::AlignLeft);
        for (int r = 0; r < kRowsPerBlock; ++r) {
            const int i = block * kRowsPerBlock + r;
            const auto k = static_cast<size_t>(i);
            lblPbuf[k] = new QLabel(kSfrDumpCaptions[k]);
            txtPBuf[k] = byteField("00");
            txtPBuf[k]->setMaxLength(2);
            KeyFilter::on(txtPBuf[k])->keyPress = checkValidEntryHex;
            txtPBufRd[k] = byteField("00");
            txtPBufRd[k]->setReadOnly(true);
            txtPBufRd[k]->setToolTip("Click to read this register again");
            onClick(txtPBufRd[k], [this, i] { txtPBufRd_Click(i); });
            ShpSKFRd[k] = new Lamp;
            grid->addWidget(lblPbuf[k], r + 1, 0);
            grid->addWidget(txtPBuf[k], r + 1, 1);
            grid->addWidget(txtPBufRd[k], r + 1, 2);
            grid->addWidget(ShpSKFRd[k], r + 1, 3);
        }
        grid->setColumnStretch(4, 1);
        blocks->addLayout(grid);
    }
    v->addLayout(blocks);

    chkWriteEqRead = new QCheckBox("Write = Read");
    cmdReadSKF = new QPushButton("Read All");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkWriteEqRead);
    buttons->addStretch(1);
    buttons->addWidget(cmdReadSKF);
    v->addLayout(buttons);

    QObject::connect(cmdReadSKF, &QPushButton::clicked, &f, [this] { cmdReadSKF_Click(); });
    return Frame3;
}

// --- single read and write ----------------------------------------------------------------

bool F340Sfr::readSfrRegister()
{
    traceDetail("Read F340 SFR Register " + txtSFRAddress->text());
    const auto address = sfrByteOf(txtSFRAddress, "SFR address");
    if (!address)
        return false;
    const bool replied = bridge::exchange(bridge::kSfrAccess, bridge::kGet, {*address}).replied;
    // Without a reply the buffer holds no answer to this request: show none rather than
    // stale bytes that a caller would take for the register's value.
    for (size_t k = 0; k < lblSFRBuf.size(); ++k)
        lblSFRBuf[k]->setText(replied ? Hex2(g_ReportBuffer[k]) : kNoReply);
    return replied;
}

void F340Sfr::cmdGetSDFValue_Click() { readSfrRegister(); }

void F340Sfr::cmdSetSFR_Click()
{
    traceDetail("Write F340 SFR Register " + txtSFRAddress->text() + " = " + txtSFRWRData->text());
    const auto address = sfrByteOf(txtSFRAddress, "SFR address");
    if (!address)
        return;
    const auto value = sfrByteOf(txtSFRWRData, "SFR write data");
    if (!value)
        return;
    // The write result is not examined; the next request that awaits a reply drains the answer.
    bridge::exchange(bridge::kSfrAccess, bridge::kSet, {*address, *value});
}

// --- dump ---------------------------------------------------------------------------------

void F340Sfr::readDumpRow(int row, bool copyToWriteColumn)
{
    const auto k = static_cast<size_t>(row);
    const QString address = lblPbuf[k]->text().left(2);
    txtSFRAddress->setText(address);
    platform::pumpEvents();
    // Another window's register access may have run in the events and used the scratch
    // field and the reply labels: the row reads its own register and keeps its own reply.
    txtSFRAddress->setText(address);
    const bool replied = readSfrRegister();
    const QString status = lblSFRBuf[2]->text();
    const QString value = lblSFRBuf[3]->text();
    platform::pumpEvents();
    txtPBufRd[k]->setText(value);
    // An entry in the write column is only replaced by a value that was read.
    if (copyToWriteColumn && replied)
        txtPBuf[k]->setText(txtPBufRd[k]->text());
    // A row read well again and again blinks between green and dark green.
    Lamp* lamp = ShpSKFRd[k];
    if (status == "00")
        lamp->setFillColor(lamp->fillColor() == kLampGood ? kLampGoodAgain : kLampGood);
    else
        lamp->setFillColor(kLampFailed);
}

void F340Sfr::cmdReadSKF_Click()
{
    for (int i = 0; i < kSfrDumpRows; ++i) {
        // A Retry inside a board selection's read-back searches only once the selection is
        // over: the rows left would each meet the lost board and ask again. They keep what
        // they show, and the search reads the board back.
        if (SearchPending())
            return;
        readDumpRow(i, chkWriteEqRead->isChecked());
    }
}

void F340Sfr::txtPBufRd_Click(int Index)
{
    if (Index >= 0 && Index < kSfrDumpRows)
        readDumpRow(Index, false);
}
