#include "bridge/frmMainF340.h"

#include "bridge/exchange.h"
#include "link/hid.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cctype>
#include <optional>

namespace {

constexpr int kSlowestDivider = 23;
constexpr int kSlowestKhz = 499; // clocks at or below this are not offered

// kHz as MHz with its fraction, a leading zero and no trailing zeros: 500 -> "0.5",
// 545 -> "0.545", 12000 -> "12".
QString mhzText(int khz)
{
    QString text = QString::number(khz / 1000);
    QString fraction = QString::number(khz % 1000).rightJustified(3, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return text;
}

// The whole text as a decimal number (blanks around it allowed); nullopt when it is not one.
std::optional<int> decimalValue(const QString& text)
{
    return DecimalNumber(text, 9);
}

// One or two hex digits (blanks around them allowed); nullopt for anything else.
std::optional<std::uint8_t> hexByteValue(const QString& text)
{
    if (text.trimmed().size() > 2)
        return std::nullopt;
    return HexByte(text);
}

// Fills a clock list with entries and selects the entry of divider `current` when there is
// one. The list's change handler runs for that selection only, not for the entries coming
// and going (an empty list would otherwise select its first entry by itself).
void fillClockList(QComboBox* list, const std::vector<SpiClockEntry>& entries, int current)
{
    int select = -1;
    {
        const QSignalBlocker quiet(list);
        list->clear();
        for (const SpiClockEntry& e : entries) {
            if (e.divider == current)
                select = list->count();
            list->addItem(e.mhz, e.divider);
        }
        list->setCurrentIndex(-1);
    }
    if (select >= 0)
        list->setCurrentIndex(select);
}

} // namespace

std::vector<SpiClockEntry> spiClockEntries(int baseMhz)
{
    std::vector<SpiClockEntry> entries;
    for (int i = kSlowestDivider; i >= 0; --i) {
        // Integer kHz as the bridge divides; held wider than 16 bits, so a base above
        // 32 MHz lists correctly too.
        const int khz = baseMhz * 1000 / (2 * (i + 1));
        if (khz > kSlowestKhz)
            entries.push_back({mhzText(khz), i});
    }
    return entries;
}

QWidget* F340Spi::buildSpiFrame()
{
    fraSPI = new QGroupBox("SPI");
    fraSPI->setObjectName("fraSPI");
    chkSPIckpol = new QCheckBox("Clock Polarity (idle HI if checked)");
    chkSPIckpha = new QCheckBox("Clock Phase ('1' if checked)");
    chkSPIss = new QCheckBox("Slave Select (idle HI if checked)");
    chkSPIread = new QCheckBox("Read");
    chkSPIClockPhaseChange = new QCheckBox("Clock Phase Change");
    txtClockPhaseChangeByte = new QLineEdit("0");
    txtClockPhaseChangeByte->setMaxLength(2);
    txtClockPhaseChangeByte->setFixedWidth(40);
    txtClockPhaseChangeByte->setAlignment(Qt::AlignCenter);
    cmdSPIWrite = new QPushButton("Write");
    lblSPI = new QLabel("Clicking 'Write' sends 'Number of Bytes to Write' bytes to the slave. The bytes start at "
                        "'reg0'. If 'Read' is checked, the slave sends data upon each byte written.");
    lblSPI->setWordWrap(true);

    // One column keeps the frame narrow beside the I2C frame.
    auto* grid = new QGridLayout(fraSPI);
    grid->addWidget(chkSPIckpol, 0, 0, 1, 2);
    grid->addWidget(chkSPIckpha, 1, 0, 1, 2);
    grid->addWidget(chkSPIss, 2, 0, 1, 2);
    grid->addWidget(chkSPIClockPhaseChange, 3, 0, 1, 2);
    grid->addWidget(new QLabel("Clock Phase Change Byte"), 4, 0);
    grid->addWidget(txtClockPhaseChangeByte, 4, 1, Qt::AlignLeft);
    grid->addWidget(chkSPIread, 5, 0);
    grid->addWidget(cmdSPIWrite, 5, 1, Qt::AlignLeft);
    grid->addWidget(lblSPI, 6, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    QObject::connect(chkSPIckpol, &QCheckBox::toggled, &f, [this] { chkSPIckpol_Click(); });
    QObject::connect(chkSPIckpha, &QCheckBox::toggled, &f, [this] { chkSPIckpha_Click(); });
    QObject::connect(chkSPIss, &QCheckBox::toggled, &f, [this] { chkSPIss_Click(); });
    QObject::connect(cmdSPIWrite, &QPushButton::clicked, &f, [this] { cmdSPIWrite_Click(); });
    return fraSPI;
}

QWidget* F340Spi::buildSpiClock()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    cboSPIClock = new QComboBox;
    cboSPIClock->setMinimumContentsLength(6);
    v->addWidget(new QLabel("SPI clock frequency (MHz)"));
    v->addWidget(cboSPIClock, 0, Qt::AlignLeft);
    QObject::connect(cboSPIClock, &QComboBox::currentIndexChanged, &f, [this](int index) {
        if (index >= 0)
            cboSPIClock_Click();
    });
    return w;
}

// --- SPI mode (command 7) -----------------------------------------------------------------

void F340Spi::setSPIconfig()
{
    const auto bits = static_cast<std::uint8_t>((chkSPIckpol->isChecked() ? 1 : 0) + 2 * (chkSPIckpha->isChecked() ? 1 : 0)
                                                + 4 * (chkSPIss->isChecked() ? 1 : 0));
    bridge::exchange(bridge::kSpiMode, bridge::kSet, {bits});
}

void F340Spi::chkSPIckpol_Click()
{
    if (!g_OptionGuard)
        setSPIconfig();
}

void F340Spi::chkSPIckpha_Click() { chkSPIckpol_Click(); }

void F340Spi::chkSPIss_Click() { chkSPIckpol_Click(); }

void F340Spi::getSPIconfig()
{
    trace("getSPIconfig: Configure SPI Options");
    if (bridge::exchange(bridge::kSpiMode, bridge::kGet).replied) {
        const std::uint8_t mode = g_ReportBuffer[2];
        const bool guard = g_OptionGuard;
        g_OptionGuard = true;
        chkSPIckpol->setChecked(mode & 1);
        chkSPIckpha->setChecked(mode & 2);
        chkSPIss->setChecked(mode & 4);
        g_OptionGuard = guard;
    }
    // Without a reply the boxes keep showing the mode they showed.
    trace("getSPIconfig: Configure SPI Completed");
}

// --- SPI clock (command 8) ----------------------------------------------------------------

void F340Spi::cboSPIClock_Click()
{
    const int index = cboSPIClock->currentIndex();
    if (index < 0)
        return;
    trace("Write SPI Clock :" + cboSPIClock->itemText(index) + " MHz");
    bridge::exchange(bridge::kSpiClock, bridge::kSet, {static_cast<std::uint8_t>(cboSPIClock->itemData(index).toInt())});
}

void F340Spi::cboSPIclock_init()
{
    if (!bridge::exchange(bridge::kSpiClock, bridge::kGet).replied)
        return; // nothing came back: the lists keep their entries
    const bridge::BusClock clock = bridge::decodeBusClock(g_ReportBuffer);
    const std::vector<SpiClockEntry> entries = spiClockEntries(clock.baseMhz);
    // The console's list first: its selection sends the divider back to the board.
    fillClockList(cboSPIClock, entries, clock.divider);
    if (QComboBox* device = forms().spiDeviceClockList())
        fillClockList(device, entries, clock.divider);
}

// --- SPI transfer (command 9) -------------------------------------------------------------

bool F340Spi::spiTransferCount(std::uint8_t& n)
{
    const auto count = decimalValue(f.txtNumToWrite->text());
    if (!count || *count < 1 || *count > bridge::kMaxSpiBytes) {
        platform::msgBox(QString("Number of Bytes to Write is \"%1\": an SPI transfer takes 1 to %2 bytes. "
                                 "Nothing was sent.")
                             .arg(f.txtNumToWrite->text())
                             .arg(bridge::kMaxSpiBytes));
        return false;
    }
    n = static_cast<std::uint8_t>(*count);
    return true;
}

bool F340Spi::spiTransferPhaseByte(std::uint8_t& phaseByte)
{
    const auto value = decimalValue(txtClockPhaseChangeByte->text());
    if (!value) {
        platform::msgBox(QString("Clock Phase Change Byte is \"%1\": enter a decimal number from 0 to 99. "
                                 "Nothing was sent.")
                             .arg(txtClockPhaseChangeByte->text()));
        return false;
    }
    phaseByte = static_cast<std::uint8_t>(*value);
    return true;
}

bool F340Spi::spiTransferFieldData(std::uint8_t n, std::vector<std::uint8_t>& data)
{
    data.assign(n, 0);
    for (std::uint8_t j = 0; j < n; ++j) {
        const QLineEdit* box = f.txtWriteVal[j];
        const auto value = hexByteValue(box->text());
        if (!value) {
            platform::msgBox(QString("Register %1 holds \"%2\", which is not a hex byte (00 to FF). Nothing was sent.")
                                 .arg(Hex2(j), box->text()));
            return false;
        }
        data[j] = *value;
    }
    return true;
}

void F340Spi::cmdSPIWrite_Click()
{
    // Every entry is checked before anything goes to the board.
    g_SpiTransferOk = false;
    std::uint8_t n = 0, phaseByte = 0;
    if (!spiTransferCount(n) || !spiTransferPhaseByte(phaseByte))
        return;
    const bool fromFile = f.chkFileWriteData->isChecked();
    std::vector<std::uint8_t> data;
    if (!fromFile && !spiTransferFieldData(n, data))
        return;

    bridge::spiTransferBegin();
    if (fromFile && !f.ReadWriteDataFile(n, data))
        return;
    const bool readBack = chkSPIread->isChecked();
    const auto r = bridge::spiTransferSend(readBack, chkSPIClockPhaseChange->isChecked() ? 1 : 0, phaseByte, data);
    g_SpiTransferOk = r.status == kStatusOk && (!readBack || r.replied);
    // The reply is not read without chkSPIread (the next drain discards it). A transfer that
    // failed leaves the read column as it was: g_SpiTransferOk tells callers there is nothing new.
    if (!readBack || !g_SpiTransferOk)
        return;
    for (int j = 0; j < n; ++j)
        f.txtReadVal[static_cast<size_t>(j)]->setText(Hex2(g_ReportBuffer[static_cast<size_t>(2 + j)]));
}
