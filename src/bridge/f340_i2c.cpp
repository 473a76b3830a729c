#include "bridge/frmMainF340.h"

#include "bridge/exchange.h"
#include "bridge/register_file.h"
#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "link/hid.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <initializer_list>

namespace {

constexpr int kByteFieldWidth = 34;

// The value of a hex byte field: hex digits (blanks ignored) up to FF.
std::optional<std::uint8_t> hexByte(const QString& text)
{
    QString t = text;
    t.remove(u' ');
    return HexByte(t);
}

// The value of a decimal count field (a leading blank is fine); nothing when it is not a number.
std::optional<int> decimalCount(const QString& text)
{
    QString t = text;
    t.remove(u' ');
    return DecimalNumber(t, 4);
}

void complain(const QString& text) { platform::msgBox(text, platform::vbOKOnly, "Error"); }

QString notAByte(const QString& field) { return field + " must be a hexadecimal byte, 00 to FF."; }

// Key handling of an entry field: the key filter on key press, the clipboard keys on key down.
void entryField(QLineEdit* box, void (*filter)(int& KeyAscii))
{
    KeyFilter* kf = KeyFilter::on(box);
    kf->keyPress = filter;
    kf->keyDown = [box](int KeyCode, int Shift) { TextBoxClipboardKeys(box, KeyCode, Shift); };
}

void hexField(QLineEdit* box) { entryField(box, checkValidEntryHex); }

QLineEdit* byteField(const QString& text, int maxLength = 2)
{
    auto* box = new QLineEdit(text);
    box->setMaxLength(maxLength);
    box->setFixedWidth(kByteFieldWidth);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

QLabel* smallLabel(const QString& text)
{
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Frames

QWidget* F340I2C::buildI2CFrame()
{
    auto* frame = new QGroupBox("I2C");
    frame->setObjectName("fraI2C");
    auto* grid = new QGridLayout(frame);

    auto* left = new QVBoxLayout;
    left->addWidget(buildAddressFrame());
    left->addWidget(buildOptions());
    left->addWidget(buildCounts());
    {
        auto* buttons = new QHBoxLayout;
        cmdRead = new QPushButton("Read");
        cmdWrite = new QPushButton("Write");
        buttons->addWidget(cmdRead);
        buttons->addWidget(cmdWrite);
        left->addLayout(buttons);
    }
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(buildReceived());
    {
        auto* simple = new QGroupBox("IC2");
        auto* h = new QHBoxLayout(simple);
        cmdSimpleI2cRd = new QPushButton("Read Simple");
        cmdSimpleI2cWr = new QPushButton("Write Simple");
        h->addWidget(cmdSimpleI2cRd);
        h->addWidget(cmdSimpleI2cWr);
        right->addWidget(simple);
    }
    right->addWidget(buildFill());
    right->addWidget(buildIndividual());
    if (f.cmdHoswMother) // created by the console before its tabs
        right->addWidget(f.cmdHoswMother, 0, Qt::AlignLeft);
    right->addStretch(1);

    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);

    QObject::connect(cmdRead, &QPushButton::clicked, &f, [this] { cmdRead_Click(); });
    QObject::connect(cmdWrite, &QPushButton::clicked, &f, [this] { cmdWrite_Click(); });
    QObject::connect(cmdSimpleI2cRd, &QPushButton::clicked, &f, [this] { cmdSimpleI2cRd_Click(); });
    QObject::connect(cmdSimpleI2cWr, &QPushButton::clicked, &f, [this] { cmdSimpleI2cWr_Click(); });
    return frame;
}

QWidget* F340I2C::buildAddressFrame()
{
    auto* frame = new QGroupBox("I2C Address");
    auto* grid = new QGridLayout(frame);

    txtI2Caddress = byteField("00");
    hexField(txtI2Caddress);
    QObject::connect(txtI2Caddress, &QLineEdit::textChanged, &f, [this] { txtI2Caddress_Change(); });

    cmdScanI2Caddress = new QPushButton("Scan Address");
    QObject::connect(cmdScanI2Caddress, &QPushButton::clicked, &f, [this] { cmdScanI2Caddress_Click(); });

    txtSlaveAddress = byteField("--");
    txtSlaveAddress->setReadOnly(true);

    auto* bits = new QGroupBox("ADDR[6:0]");
    {
        // High bit first, four to a row.
        auto* g = new QGridLayout(bits);
        g->addWidget(new QLabel("Check if HI"), 0, 0, 1, 4);
        for (int i = 6; i >= 0; --i) {
            auto* box = new QCheckBox(QString::number(i));
            chkADDRbit[static_cast<size_t>(i)] = box;
            g->addWidget(box, 1 + (6 - i) / 4, (6 - i) % 4);
            QObject::connect(box, &QCheckBox::toggled, &f, [this, i] { chkADDRbit_Click(i); });
        }
    }

    grid->addWidget(txtI2Caddress, 0, 0);
    grid->addWidget(cmdScanI2Caddress, 0, 1);
    grid->addWidget(txtSlaveAddress, 1, 0);
    grid->addWidget(new QLabel("Slave Address"), 1, 1);
    grid->addWidget(bits, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget* F340I2C::buildOptions()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    chkRandom = new QCheckBox("Random Read/Write");
    chkRandom->setChecked(true);
    chk2WireRead = new QCheckBox("Two Wire Read");
    ChK2WireCommand = new QCheckBox("Two wire Read Command");
    chkRepeatedStart = new QCheckBox("Use Repeated Start for Read");
    chkStoppedWrite = new QCheckBox("Stop Write Before Read");
    chkExtendHold = new QCheckBox("EXTHOLD");
    cmdToggleSCL = new QPushButton("Toggle SCL");
    for (QWidget* c : std::initializer_list<QWidget*>{chkRandom, chk2WireRead, ChK2WireCommand, chkRepeatedStart,
                                                      chkStoppedWrite, chkExtendHold})
        v->addWidget(c);
    v->addWidget(cmdToggleSCL, 0, Qt::AlignLeft);

    QObject::connect(chk2WireRead, &QCheckBox::toggled, &f, [this] { chk2WireRead_Click(); });
    QObject::connect(chkRepeatedStart, &QCheckBox::toggled, &f, [this] { chkRepeatedStart_Click(); });
    QObject::connect(chkStoppedWrite, &QCheckBox::toggled, &f, [this] { chkStoppedWrite_Click(); });
    QObject::connect(chkExtendHold, &QCheckBox::toggled, &f, [this] { chkExtendHold_Click(); });
    QObject::connect(cmdToggleSCL, &QPushButton::clicked, &f, [this] { cmdToggleSCL_Click(); });
    return w;
}

QWidget* F340I2C::buildCounts()
{
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    g->setContentsMargins(0, 0, 0, 0);
    txtNumToRead = byteField("1");
    txtNumToRead->setAlignment(Qt::AlignLeft);
    txtStartRegRD = byteField("00");
    txtStartRegWr = byteField("00");
    txtNumToWrite = byteField("1");
    txtNumToWrite->setAlignment(Qt::AlignLeft);
    entryField(txtNumToRead, checkValidEntryDecInt);
    entryField(txtNumToWrite, checkValidEntryDecInt);
    onFocusOut(txtNumToRead, [this] { txtNumToRead_LostFocus(); });
    onFocusOut(txtNumToWrite, [this] { txtNumToWrite_LostFocus(); });

    const std::pair<QLineEdit*, const char*> rows[] = {{txtNumToRead, "Number of Regs to Read"},
                                                       {txtStartRegRD, "Starting Reg Read"},
                                                       {txtStartRegWr, "Starting Reg Write"},
                                                       {txtNumToWrite, "Number of Bytes to Write"}};
    int r = 0;
    for (const auto& [box, caption] : rows) {
        g->addWidget(box, r, 0);
        g->addWidget(new QLabel(caption), r, 1);
        ++r;
    }
    g->setColumnStretch(1, 1);
    return w;
}

QWidget* F340I2C::buildReceived()
{
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel("Return Actual  Bytes 0-7 on I2C bus (Not placed in Read Val by address. ");
    caption->setWordWrap(true);
    v->addWidget(caption);
    auto* h = new QHBoxLayout;
    for (size_t i = 0; i < TXTI2C.size(); ++i) {
        TXTI2C[i] = byteField("--");
        TXTI2C[i]->setReadOnly(true);
        h->addWidget(TXTI2C[i]);
    }
    h->addStretch(1);
    v->addLayout(h);
    return w;
}

QWidget* F340I2C::buildFill()
{
    auto* w = new QGroupBox;
    auto* g = new QGridLayout(w);
    chkFileWriteData = new QCheckBox("Load Write Data from File");
    g->addWidget(chkFileWriteData, 0, 0, 1, 3);
    const char* captions[] = {"File", "0xFF", "0x00", "0xAA", "0x55", "random"};
    for (int i = 0; i < 6; ++i) {
        obFillData[static_cast<size_t>(i)] = new QRadioButton(captions[i]);
        g->addWidget(obFillData[static_cast<size_t>(i)], 1 + i / 3, i % 3);
    }
    obFillData[0]->setChecked(true);
    cmdFillWriteTextBoxes = new QPushButton("Fill Write Data Text Boxes per Option");
    cmdClearReadTextBoxes = new QPushButton("Clear Read Text Boxes");
    g->addWidget(cmdFillWriteTextBoxes, 3, 0, 1, 3);
    g->addWidget(cmdClearReadTextBoxes, 4, 0, 1, 3);
    QObject::connect(cmdFillWriteTextBoxes, &QPushButton::clicked, &f, [this] { cmdFillWriteTextBoxes_Click(); });
    QObject::connect(cmdClearReadTextBoxes, &QPushButton::clicked, &f, [this] { cmdClearReadTextBoxes_Click(); });
    return w;
}

QWidget* F340I2C::buildIndividual()
{
    auto* frame = new QGroupBox("Individual Register Read/Write with Toggle");
    auto* g = new QGridLayout(frame);
    txtRegister = byteField("00");
    hexField(txtRegister);
    cmdReadIndividual = new QPushButton("Read");
    txtReadIndividual = byteField(QString());
    txtReadIndividual->setEnabled(false);
    g->addWidget(new QLabel("Register"), 0, 0);
    g->addWidget(txtRegister, 0, 1);
    g->addWidget(cmdReadIndividual, 0, 2);
    g->addWidget(txtReadIndividual, 0, 3);
    for (int i = 0; i < 2; ++i) {
        const auto k = static_cast<size_t>(i);
        txtWriteIndividual[k] = byteField("00");
        hexField(txtWriteIndividual[k]);
        cmdWriteIndividual[k] = new QPushButton("Write");
        g->addWidget(txtWriteIndividual[k], 1 + i, 1);
        g->addWidget(cmdWriteIndividual[k], 1 + i, 2);
        QObject::connect(cmdWriteIndividual[k], &QPushButton::clicked, &f, [this, i] { cmdWriteIndividual_Click(i); });
    }
    g->addWidget(new QLabel("Toggle"), 1, 0, 2, 1);
    g->setColumnStretch(4, 1);
    QObject::connect(cmdReadIndividual, &QPushButton::clicked, &f, [this] { cmdReadIndividual_Click(); });
    return frame;
}

QWidget* F340I2C::buildSmbusClock()
{
    auto* frame = new QGroupBox("I2C Clock");
    auto* v = new QVBoxLayout(frame);
    v->addWidget(new QLabel("I2C SCL Clock Frequency (kHz)"));
    cboSMBusFrequency = new QComboBox;
    cboSMBusFrequency->setMinimumContentsLength(6);
    v->addWidget(cboSMBusFrequency, 0, Qt::AlignLeft);
    QObject::connect(cboSMBusFrequency, &QComboBox::currentIndexChanged, &f, [this] { cboSMBusFrequency_Click(); });
    return frame;
}

QWidget* F340I2C::buildRegisterRows(int first, int count)
{
    // Columns of eight rows, each under its own "reg  Write  Read" heading, so that 32 rows
    // fit a tab without scrolling.
    constexpr int kRowsPerColumn = 8;
    auto* w = new QWidget;
    auto* g = new QGridLayout(w);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(2);
    const int columns = (count + kRowsPerColumn - 1) / kRowsPerColumn;
    for (int c = 0; c < columns; ++c) {
        const int x = c * 4; // three fields and a gap per column
        g->addWidget(smallLabel("reg"), 0, x);
        g->addWidget(smallLabel("Write"), 0, x + 1);
        g->addWidget(smallLabel("Read"), 0, x + 2);
        if (c + 1 < columns)
            g->setColumnMinimumWidth(x + 3, 12);
        for (int r = 0; r < kRowsPerColumn; ++r) {
            const int i = first + c * kRowsPerColumn + r;
            if (i >= first + count || i < 0 || i >= 64)
                break;
            const auto k = static_cast<size_t>(i);
            lblRegAddr[k] = smallLabel("reg");
            lblRegAddr[k]->setMinimumWidth(22);
            txtWriteVal[k] = byteField("00");
            hexField(txtWriteVal[k]);
            txtReadVal[k] = byteField(QString());
            txtReadVal[k]->setEnabled(false);
            g->addWidget(lblRegAddr[k], 1 + r, x);
            g->addWidget(txtWriteVal[k], 1 + r, x + 1);
            g->addWidget(txtReadVal[k], 1 + r, x + 2);
        }
    }
    g->setColumnStretch(columns * 4, 1);
    g->setRowStretch(kRowsPerColumn + 1, 1);
    return w;
}

// ---------------------------------------------------------------------------------------
// Load steps

void F340I2C::initRegisterRows()
{
    for (size_t i = 0; i < 64; ++i) {
        if (lblRegAddr[i]) {
            lblRegAddr[i]->setText(Hex2(static_cast<std::uint8_t>(i)));
            lblRegAddr[i]->setAlignment(Qt::AlignCenter);
        }
        if (txtWriteVal[i]) {
            txtWriteVal[i]->setAlignment(Qt::AlignCenter);
            txtWriteVal[i]->setMaxLength(2);
            txtWriteVal[i]->setText("00");
        }
        if (txtReadVal[i]) {
            txtReadVal[i]->clear();
            txtReadVal[i]->setAlignment(Qt::AlignCenter);
            txtReadVal[i]->setEnabled(false);
        }
    }
}

void F340I2C::initAddressBox()
{
    g_SkipAddressDelay = true;
    {
        // The box already shows "00": the handler is run once whether the text changes or not.
        const QSignalBlocker quiet(txtI2Caddress);
        txtI2Caddress->setText(Hex2(0));
    }
    txtI2Caddress_Change();
    g_SkipAddressDelay = false;
}

// ---------------------------------------------------------------------------------------
// I2C options and SCL toggle (command 4)

namespace {

// Bytes 3..5 of the options set: the option bits, the extended hold, the SCL toggle.
std::array<std::uint8_t, 3> optionBytes(const F340I2C& g, std::uint8_t arg)
{
    const auto v = [](const QCheckBox* b) { return b->isChecked() ? 1 : 0; };
    const int bits = v(g.chkRepeatedStart) + 2 * v(g.chkStoppedWrite) + 8 * v(g.chk2WireRead);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(v(g.chkExtendHold)), arg};
}

} // namespace

int F340I2C::setI2Coptions(std::uint8_t arg)
{
    const auto bytes = optionBytes(*this, arg);
    return bridge::exchange(bridge::kI2COptions, bridge::kSet, bytes).status;
}

void F340I2C::optionBoxChanged()
{
    if (!g_OptionGuard)
        setI2Coptions(0);
}

void F340I2C::chk2WireRead_Click() { optionBoxChanged(); }
void F340I2C::chkRepeatedStart_Click() { optionBoxChanged(); }
void F340I2C::chkStoppedWrite_Click() { optionBoxChanged(); }
void F340I2C::chkExtendHold_Click() { optionBoxChanged(); }

void F340I2C::getI2Coptions()
{
    trace("getI2Coptions: Verify I2C Comm");
    const auto r = bridge::exchange(bridge::kI2COptions, bridge::kGet);
    if (r.replied) {
        const bool repeated = g_ReportBuffer[2] & 0x01;
        const bool stopped = g_ReportBuffer[2] & 0x02;
        const bool hold = g_ReportBuffer[3] & 0x01;
        g_OptionGuard = true;
        chkRepeatedStart->setChecked(repeated);
        chkStoppedWrite->setChecked(stopped);
        chkExtendHold->setChecked(hold);
        g_OptionGuard = false;
    }
    trace("getI2Coptions: Completed");
}

void F340I2C::cmdToggleSCL_Click()
{
    const auto bytes = optionBytes(*this, 1);
    const auto r = bridge::exchange(bridge::kI2COptions, bridge::kSet, bytes, bridge::Variant::SclToggle);
    if (r.replied && (g_ReportBuffer[2] & 0x01))
        platform::msgBox("SDA error", platform::vbOKOnly, QString());
}

// ---------------------------------------------------------------------------------------
// SMBus clock (command 5)

void F340I2C::cboSMBusFrequency_Click()
{
    const int i = cboSMBusFrequency->currentIndex();
    if (i < 0)
        return;
    trace("Write I2C/SMB Clock :" + cboSMBusFrequency->itemText(i) + " kHz");
    const auto divider = static_cast<std::uint8_t>(cboSMBusFrequency->itemData(i).toInt() & 0xFF);
    bridge::exchange(bridge::kSmbusClock, bridge::kSet, {divider});
}

void F340I2C::cboSMBusFrequency_init()
{
    const auto r = bridge::exchange(bridge::kSmbusClock, bridge::kGet);
    if (!r.replied)
        return; // no clock came back: both lists keep what they show
    const bridge::BusClock clock = bridge::decodeBusClock(g_ReportBuffer);
    // A divider byte of 0 names no entry: nothing is selected and nothing is sent back.
    const int current = clock.divider;

    QComboBox* device = forms().i2cDeviceClockList();
    std::vector<QComboBox*> lists{cboSMBusFrequency};
    if (device)
        lists.push_back(device);

    // Built quietly and left with nothing selected, so that selecting the board's divider
    // runs each list's change handler once, with the whole list in place.
    int selected = -1;
    for (QComboBox* list : lists) {
        const QSignalBlocker quiet(list);
        list->clear();
        for (int i = 256; i >= 1; --i) {
            const int kHz = clock.baseMhz * 1000 / i;
            if (kHz <= 99)
                continue;
            list->addItem(QString::number(kHz), i);
            if (i == current)
                selected = list->count() - 1;
        }
        list->setCurrentIndex(-1);
    }
    if (selected < 0)
        return;
    for (QComboBox* list : lists)
        list->setCurrentIndex(selected);
}

// ---------------------------------------------------------------------------------------
// Address box, address bits and the address scan

void F340I2C::txtI2Caddress_Change()
{
    if (!g_SkipAddressDelay)
        Delay(0.5f); // typing goes on meanwhile; each keystroke's handler re-reads the box after its wait
    int v = HexToInt(txtI2Caddress->text()) & 0xFF;
    if (v & 1)
        v -= 1; // the box holds the write address
    const auto address = static_cast<std::uint8_t>(v);
    txtI2Caddress->setText(Hex2(address));
    g_I2CAddress = address;
    g_OptionGuard = true;
    for (size_t i = 0; i < chkADDRbit.size(); ++i)
        chkADDRbit[i]->setChecked((address >> (i + 1)) & 1);
    g_OptionGuard = false;
}

void F340I2C::chkADDRbit_Click(int)
{
    if (!g_OptionGuard)
        setAddressFromBits();
}

void F340I2C::setAddressFromBits()
{
    int v = 0;
    for (size_t i = 0; i < chkADDRbit.size(); ++i)
        if (chkADDRbit[i]->isChecked())
            v += 1 << (i + 1);
    g_I2CAddress = static_cast<std::uint8_t>(v);
    txtI2Caddress->setText(Hex2(g_I2CAddress));
}

void F340I2C::cmdScanI2Caddress_Click()
{
    const int k = chkRandom->isChecked() ? 1 : 0;
    std::uint8_t reg = 0;
    if (k) {
        const auto r = hexByte(txtStartRegRD->text());
        if (!r) {
            complain(notAByte("Starting Reg Read"));
            return;
        }
        reg = *r;
    }
    bool found = false;
    for (int a = 0; a <= 254 && !found; a += 2) {
        const auto address = static_cast<std::uint8_t>(a);
        // Drained before every probe, not once: whatever ran during the last wait (an LED
        // click, another window's set) leaves its reply waiting, and that reply would pass
        // for an acknowledge at this address.
        FlushHidInput();
        std::array<std::uint8_t, 1> data{};
        const int status = I2CReadRetry(address, 1, k, data, std::span<const std::uint8_t>(&reg, 1), 1);
        Delay(0.1f);
        g_SkipAddressDelay = true;
        txtI2Caddress->setText(Hex2(address));
        txtSlaveAddress->setText(Hex2(address));
        g_SkipAddressDelay = false;
        g_I2CAddress = address;
        g_OptionGuard = true;
        for (size_t i = 0; i < chkADDRbit.size(); ++i)
            chkADDRbit[i]->setChecked((address >> (i + 1)) & 1);
        g_OptionGuard = false;
        found = status == kStatusOk; // only an acknowledge; a link failure given up on is no device
    }
    if (!found && platform::msgBox("DCP_HID I2C address not found. Close GUI?", platform::vbYesNo, QString())
                      == platform::vbYes)
        forms().frmMainF340.unload();
}

// ---------------------------------------------------------------------------------------
// Block and simple transfers (command 6)

// A transfer the console will not send is a failed one for every caller that judges
// g_BridgeStatus: the status of the last transfer that went out must not stand for it.
std::optional<F340I2C::Transfer> F340I2C::readRequest(bool registerByte)
{
    auto t = readFields(registerByte);
    if (!t)
        g_BridgeStatus = kStatusDeviceError;
    return t;
}

std::optional<F340I2C::Transfer> F340I2C::writeRequest()
{
    auto t = writeFields();
    if (!t)
        g_BridgeStatus = kStatusDeviceError;
    return t;
}

std::optional<F340I2C::Transfer> F340I2C::readFields(bool registerByte)
{
    Transfer t;
    const auto n = decimalCount(txtNumToRead->text());
    if (!n || *n < 1 || *n > bridge::kMaxI2CReadBytes) {
        complain(QString("Number of Regs to Read must be a number from 1 to %1.").arg(bridge::kMaxI2CReadBytes));
        return std::nullopt;
    }
    t.count = *n;
    if (registerByte) {
        const auto reg = hexByte(txtStartRegRD->text());
        if (!reg) {
            complain(notAByte("Starting Reg Read"));
            return std::nullopt;
        }
        t.registerCount = 1;
        t.reg = *reg;
    }
    t.data.assign(static_cast<size_t>(t.count), 0);
    return t;
}

std::optional<F340I2C::Transfer> F340I2C::writeFields()
{
    Transfer t;
    t.registerCount = chkRandom->isChecked() ? 1 : 0;
    const int most = bridge::kMaxI2CWriteBytes - t.registerCount;
    const auto n = decimalCount(txtNumToWrite->text());
    if (!n || *n < 1 || *n > most) {
        complain(QString("Number of Bytes to Write must be a number from 1 to %1.").arg(most));
        return std::nullopt;
    }
    t.count = *n;
    if (t.registerCount) {
        const auto reg = hexByte(txtStartRegWr->text());
        if (!reg) {
            complain(notAByte("Starting Reg Write"));
            return std::nullopt;
        }
        t.reg = *reg;
    }
    if (chkFileWriteData->isChecked()) {
        if (!ReadWriteDataFile(static_cast<std::uint8_t>(t.count), t.data))
            return std::nullopt;
        return t;
    }
    t.data.assign(static_cast<size_t>(t.count), 0);
    for (int j = 0; j < t.count; ++j) {
        const auto b = hexByte(txtWriteVal[static_cast<size_t>(j)]->text());
        if (!b) {
            complain(notAByte(QString("Write value %1").arg(j)));
            return std::nullopt;
        }
        t.data[static_cast<size_t>(j)] = *b;
    }
    return t;
}

void F340I2C::placeInRegisterMap(std::uint8_t reg, const std::vector<std::uint8_t>& data)
{
    for (size_t j = 0; j < data.size() && reg + j < txtReadVal.size(); ++j)
        txtReadVal[reg + j]->setText(Hex2(data[j]));
}

void F340I2C::cmdRead_Click()
{
    const bool registerByte = chkRandom->isChecked() || ChK2WireCommand->isChecked() || chk2WireRead->isChecked();
    auto t = readRequest(registerByte);
    if (!t)
        return;
    txtSlaveAddress->setText(Hex2(g_I2CAddress));
    FlushHidInput();
    const int status = I2CReadRetry(g_I2CAddress, static_cast<std::uint8_t>(t->count), t->registerCount, t->data,
                                    std::span<const std::uint8_t>(&t->reg, 1), 0);
    if (status != kStatusOk)
        return; // not acknowledged: the map and the received bytes keep what they show
    placeInRegisterMap(t->reg, t->data);
    for (size_t j = 0; j < t->data.size() && j < TXTI2C.size(); ++j)
        TXTI2C[j]->setText(Hex2(t->data[j]));
}

void F340I2C::cmdWrite_Click()
{
    auto t = writeRequest();
    if (!t)
        return;
    txtSlaveAddress->setText(Hex2(g_I2CAddress));
    FlushHidInput();
    I2CWriteRetry(g_I2CAddress, static_cast<std::uint8_t>(t->count), t->registerCount, t->data,
                  std::span<const std::uint8_t>(&t->reg, 1), 0);
}

void F340I2C::cmdSimpleI2cRd_Click()
{
    auto t = readRequest(chkRandom->isChecked() && !chk2WireRead->isChecked());
    if (!t)
        return;
    txtSlaveAddress->setText(Hex2(g_I2CAddress));
    FlushHidInput(); // a stale reply must not pass for the device's bytes
    // One attempt without dialogs; a failed read shows its zeros.
    I2CRead(g_I2CAddress, static_cast<std::uint8_t>(t->count), t->registerCount, t->data,
            std::span<const std::uint8_t>(&t->reg, 1));
    placeInRegisterMap(t->reg, t->data);
    platform::pumpEvents();
}

void F340I2C::cmdSimpleI2cWr_Click()
{
    auto t = writeRequest();
    if (!t)
        return;
    txtSlaveAddress->setText(Hex2(g_I2CAddress));
    FlushHidInput();
    I2CWrite(g_I2CAddress, static_cast<std::uint8_t>(t->count), t->registerCount, t->data,
             std::span<const std::uint8_t>(&t->reg, 1));
    platform::pumpEvents();
}

// ---------------------------------------------------------------------------------------
// Single register with toggle write

std::optional<std::uint8_t> F340I2C::panelByte(QLineEdit* box, const QString& name)
{
    if (box->text().trimmed().isEmpty())
        return 0;
    const auto v = hexByte(box->text());
    if (!v)
        complain(notAByte(name));
    return v;
}

bool F340I2C::panelRegisterByte() const { return chkRandom->isChecked() && !chk2WireRead->isChecked(); }

int F340I2C::ReadIndividual()
{
    const auto reg = panelByte(txtRegister, "Register");
    if (!reg)
        return 1;
    FlushHidInput();
    txtRegister->setText(Hex2(*reg));
    std::array<std::uint8_t, 1> data{};
    const int status =
        I2CReadRetry(g_I2CAddress, 1, panelRegisterByte() ? 1 : 0, data, std::span<const std::uint8_t>(&*reg, 1), 0);
    if (status != kStatusOk)
        return 1;
    txtReadIndividual->setText(Hex2(data[0]));
    return 0;
}

void F340I2C::cmdReadIndividual_Click() { ReadIndividual(); }

void F340I2C::cmdWriteIndividual_Click(int Index)
{
    if (Index < 0 || Index > 1)
        return;
    const auto a = panelByte(txtWriteIndividual[0], "Toggle value 0");
    if (!a)
        return;
    const auto b = panelByte(txtWriteIndividual[1], "Toggle value 1");
    if (!b)
        return;
    if (ReadIndividual() == 1)
        return;
    const auto current = static_cast<std::uint8_t>(HexToInt(txtReadIndividual->text()) & 0xFF);
    // Each button writes its own value unless the register already holds it, then the other.
    std::uint8_t value;
    if (Index == 0)
        value = current == *a ? *b : *a;
    else
        value = current == *b ? *a : *b;

    const auto reg = static_cast<std::uint8_t>(HexToInt(txtRegister->text()) & 0xFF);
    const int k = chkRandom->isChecked() ? 1 : 0;
    const std::span<const std::uint8_t> regs(&reg, 1);
    I2CWriteRetry(g_I2CAddress, 1, k, std::span<const std::uint8_t>(&value, 1), regs, 0);
    FlushHidInput();
    std::array<std::uint8_t, 1> back{current}; // a failed read-back keeps the value read before
    I2CRead(g_I2CAddress, 1, k, back, regs);

    txtWriteIndividual[static_cast<size_t>(Index)]->setText(Hex2(Index == 0 ? *a : *b));
    txtReadIndividual->setText(Hex2(back[0]));
}

// ---------------------------------------------------------------------------------------
// Write-data fill, clear, register data file, count fields

void F340I2C::cmdFillWriteTextBoxes_Click()
{
    const auto n = decimalCount(txtNumToWrite->text());
    if (!n || *n < 1 || *n > static_cast<int>(txtWriteVal.size())) {
        complain(QString("Number of Bytes to Write must be a number from 1 to %1.").arg(txtWriteVal.size()));
        return;
    }
    const auto count = static_cast<size_t>(*n);
    std::vector<std::uint8_t> bytes(count, 0);
    if (obFillData[0]->isChecked()) {
        if (!ReadWriteDataFile(static_cast<std::uint8_t>(count), bytes))
            return;
    } else if (obFillData[5]->isChecked()) {
        if (!fillRandom_)
            fillRandom_.emplace(static_cast<std::uint32_t>(platform::services().now().toMSecsSinceEpoch()));
        std::uniform_int_distribution<int> byte(0, 255);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(byte(*fillRandom_));
    } else {
        constexpr std::uint8_t kPatterns[] = {0xFF, 0x00, 0xAA, 0x55};
        for (size_t p = 0; p < 4; ++p)
            if (obFillData[p + 1]->isChecked())
                std::fill(bytes.begin(), bytes.end(), kPatterns[p]);
    }
    for (size_t j = 0; j < count; ++j)
        txtWriteVal[j]->setText(Hex2(bytes[j]));
}

void F340I2C::cmdClearReadTextBoxes_Click()
{
    for (size_t i = 0; i < 32; ++i)
        txtReadVal[i]->clear();
}

std::uint8_t F340I2C::ReadWriteDataFile(std::uint8_t n, std::vector<std::uint8_t>& data)
{
    const QString path = QDir(QDir::currentPath()).filePath(bridge::kRegisterFileName);
    QString refusal;
    if (bridge::readRegisterFile(path, n, data, &refusal))
        return 1;
    // The console's own words first; a file refused whole (too large) also says why, so the
    // user does not look for a fault in its fields.
    QString text = "Register file does not exist or is invalid";
    if (!refusal.isEmpty())
        text += "\r\n" + refusal;
    platform::msgBox(text, platform::vbOKOnly, "Error");
    return 0;
}

namespace {

// Typed counts stay within 1 to 32.
void clampCount(QLineEdit* box)
{
    if (Val(box->text()) > 32)
        box->setText("32");
    if (Val(box->text()) < 1)
        box->setText("1");
}

} // namespace

void F340I2C::txtNumToRead_LostFocus() { clampCount(txtNumToRead); }
void F340I2C::txtNumToWrite_LostFocus() { clampCount(txtNumToWrite); }
