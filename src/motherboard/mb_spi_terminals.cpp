#include "motherboard/frmMotherboardDAQ2.h"

#include "bridge/frmMainF340.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>


namespace {

constexpr int kMaxFrameBytes = 5;
constexpr int kTerminalPauseMs = 20;
const QString kNoByte = QStringLiteral("--");
constexpr int kSupplyPotSelectBit = 4; // P2.4, low = supply potentiometer selected

} // namespace

QString MbSpiTerminals::countFieldText(const QString& text)
{
    const double v = Val(text);
    if (v < 1)
        return QStringLiteral("1");
    if (v > kMaxFrameBytes)
        return QString::number(kMaxFrameBytes);
    return text;
}

MbSpiTerminals::Terminal MbSpiTerminals::terminal(int number)
{
    if (number == 2)
        return {2, txtSPIWrQty2, txtSPIWrite2Data, txtSPIORead, txtSPIReadCnt2, false};
    return {3, txtSPIWrQty3, txtSPIWrite3Data, txtSPIORead3, txtSPIReadCnt3, true};
}

bool MbSpiTerminals::checkFrame(const Terminal& t, int& n)
{
    const auto count = decimalFieldValue(t.count->text());
    if (!count || *count < 1 || *count > kMaxFrameBytes) {
        platform::msgBox(QString("SPI terminal %1: the count \"%2\" is no number from 1 to %3. Nothing was sent.")
                             .arg(t.number)
                             .arg(t.count->text())
                             .arg(kMaxFrameBytes));
        return false;
    }
    n = *count;
    for (int k = 1; k <= n; ++k) {
        const QString text = t.bytes[static_cast<size_t>(k)]->text();
        if (!byteFieldValue(text)) {
            platform::msgBox(QString("SPI terminal %1: B%2 holds \"%3\", which is no hex byte (00 to FF). Nothing was sent.")
                                 .arg(t.number)
                                 .arg(k)
                                 .arg(text));
            return false;
        }
    }
    return true;
}

bool MbSpiTerminals::transfer(const Terminal& t)
{
    const auto clearReplies = [&t] {
        t.shownCount->setText(kNoByte);
        for (QLineEdit* reply : t.replies)
            reply->setText(kNoByte);
    };
    int n = 0;
    if (!checkFrame(t, n)) {
        g_SpiTransferOk = false;
        clearReplies(); // callers judge a transfer by its replies: none came
        m.cmdEnableBUttons_Click();
        return false;
    }
    // Each transfer runs whole for its own data: events run during its pauses, and a frame
    // started meanwhile (another channel, another window) refills these fields and the
    // console's. So the frame is taken here, handed to the console right before it goes out,
    // its answer taken right after, and the reply fields filled after the last pause, where
    // the caller reads them before anything else can run.
    const QString countText = t.count->text();
    std::array<QString, kMaxFrameBytes> frame;
    for (size_t k = 0; k < kMaxFrameBytes; ++k)
        frame[k] = t.bytes[k + 1]->text();
    frmMainF340& con = forms().frmMainF340();

    // The supply potentiometer shares the SPI lines: release its chip select first. The
    // port image keeps its own P2.4 bit (high since the power-up pattern).
    if (!m.survives([&] {
            if (QCheckBox* select = con.chkGPvalueP2[kSupplyPotSelectBit])
                select->setChecked(true);
            con.cmdWrGPData_Click(2);
            con.cmdRdGPData_Click(2);
        }))
        return false;
    if (t.pauses) {
        if (!m.letEventsRun() || !m.letEventsRun())
            return false;
        platform::sleepMs(kTerminalPauseMs);
    }

    con.chkSPIread->setChecked(true);
    // The console's count field holds two characters: a count typed "005" must not arrive
    // there as "00".
    con.txtNumToWrite->setText(QString::number(n));
    for (size_t k = 0; k < kMaxFrameBytes; ++k)
        con.txtWriteVal[k]->setText(frame[k]);
    if (!m.survives([&] { con.cmdSPIWrite_Click(); }))
        return false;
    const bool ok = g_SpiTransferOk;
    std::array<QString, kMaxFrameBytes> answer;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i)
        answer[i] = con.txtReadVal[i]->text();

    if (t.pauses && !m.letEventsRun())
        return false;
    if (!m.letEventsRun())
        return false;
    clearReplies();
    // A frame started during the pauses left its own flag: callers judge this one.
    g_SpiTransferOk = ok;
    if (!ok) {
        // The console's read column still holds an earlier transfer's bytes.
        m.cmdEnableBUttons_Click();
        return false;
    }
    // Terminal 3 shows the count as a number ("04" shows "4").
    t.shownCount->setText(t.pauses ? QString::number(n) : countText);
    // Only the bytes of this transfer: the field after them stays "--".
    for (size_t i = 0; i < static_cast<size_t>(n); ++i)
        t.replies[i]->setText(answer[i]);
    m.cmdEnableBUttons_Click();
    return ok;
}

bool MbSpiTerminals::cmdSPIOWrite2_Click() { return transfer(terminal(2)); }

bool MbSpiTerminals::cmdSPIOWrite3_Click() { return transfer(terminal(3)); }

QWidget* MbSpiTerminals::buildSpiTerminals()
{
    auto* frame = new QGroupBox("SPI I/O");
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(3);
    // One heading over each column of fields: the count, then the bytes B1 to B5.
    const QStringList headings{"Count", "B1", "B2", "B3", "B4", "B5"};
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(new QLabel(headings[c]), 0, 1 + c, Qt::AlignHCenter | Qt::AlignBottom);

    struct Design {
        QLineEdit*& count;
        std::array<QLineEdit*, 6>& bytes;
        std::array<QLineEdit*, 6>& replies;
        QLineEdit*& shownCount;
        QPushButton*& button;
        const char* initialCount;
        const char* firstByte;
        bool checkOnLeave; // terminal 2 settles its byte fields on leaving too
    };
    Design rows[] = {
        {txtSPIWrQty2, txtSPIWrite2Data, txtSPIORead, txtSPIReadCnt2, cmdSPIOWrite2, "2", "C0", true},
        {txtSPIWrQty3, txtSPIWrite3Data, txtSPIORead3, txtSPIReadCnt3, cmdSPIOWrite3, "4", "80", false},
    };
    int r = 1;
    for (Design& d : rows) {
        d.count = mbByteField(d.initialCount);
        QLineEdit* count = d.count;
        m.onLeave(count, [count] { count->setText(countFieldText(count->text())); });
        grid->addWidget(d.count, r, 1);
        grid->addWidget(new QLabel("Read Back"), r + 1, 0);
        for (size_t k = 0; k < d.bytes.size(); ++k) {
            d.bytes[k] = mbByteField(k == 1 ? d.firstByte : "00");
            m.hexEntryField(d.bytes[k], {.cutToTwo = true, .onLeave = d.checkOnLeave});
            d.replies[k] = mbByteField(kNoByte, true);
            if (k == 0) {
                // Element 0 is kept off screen: never sent, and its reply is read by callers only.
                d.bytes[k]->setParent(frame);
                d.replies[k]->setParent(frame);
                d.bytes[k]->hide();
                d.replies[k]->hide();
                continue;
            }
            grid->addWidget(d.bytes[k], r, 1 + static_cast<int>(k));
            grid->addWidget(d.replies[k], r + 1, 1 + static_cast<int>(k));
        }
        d.button = new QPushButton("Write");
        d.shownCount = mbByteField(kNoByte, true);
        grid->addWidget(d.button, r, 7);
        grid->addWidget(d.shownCount, r + 1, 1);
        r += 2;
    }
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(8, 1);

    QObject::connect(cmdSPIOWrite2, &QPushButton::clicked, &m, [this] { cmdSPIOWrite2_Click(); });
    QObject::connect(cmdSPIOWrite3, &QPushButton::clicked, &m, [this] { cmdSPIOWrite3_Click(); });
    return frame;
}
