#include "motherboard/frmMotherboardDAQ2.h"

#include "bridge/frmMainF340.h"
#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "link/hid.h"
#include "motherboard/supply.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "shell/trace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <optional>

namespace {

constexpr int kLampGood = 10;
constexpr int kLampFailed = 12;
const QString kNoValue = QStringLiteral("--");

// The console's byte fields hold two characters and cut a longer text: a byte the entry rule
// kept with leading zeros ("001") goes there as its two digits. Any other text goes as it
// stands, for the console to judge.
QString consoleByteText(const QString& text)
{
    const auto b = hexTextByte(text);
    return b ? Hex2(*b) : text;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

QLineEdit* mbByteField(const QString& text, bool readOnly)
{
    auto* box = new QLineEdit(text);
    box->setFixedWidth(40);
    box->setAlignment(Qt::AlignCenter);
    box->setReadOnly(readOnly);
    return box;
}

std::optional<std::uint8_t> hexTextByte(const QString& text) { return HexByte(text); }

std::optional<std::uint8_t> byteFieldValue(const QString& text)
{
    if (text.trimmed().size() > 2)
        return std::nullopt;
    return hexTextByte(text);
}

std::optional<int> decimalFieldValue(const QString& text) { return DecimalNumber(text, 4); }

QString hexEntryText(const QString& text)
{
    const QString upper = text.toUpper();
    int value = 0;
    for (QChar c : upper) {
        const int d = hexDigit(c);
        if (d < 0)
            break;
        value = value * 16 + d;
        if (value > 0xFF)
            return QStringLiteral("00"); // no byte: a field that kept it would send none typed
    }
    return value == 0 ? QStringLiteral("00") : upper;
}

// --- construction and layout --------------------------------------------------------------

frmMotherboardDAQ2::frmMotherboardDAQ2()
    : MbPorts(*this), MbSpiTerminals(*this), MbAdc(*this), MbSupply(*this), MbSupplyPot(*this)
{
    setWindowTitle("DCP Motherboard Control");

    auto* grid = new QGridLayout(this);
    grid->addWidget(buildPortFrames(), 0, 0, 1, 3);
    grid->addWidget(buildRegisterPanel(), 1, 0);
    grid->addWidget(buildSpiTerminals(), 1, 1);
    grid->addWidget(buildI2CPanel(), 1, 2);
    grid->addWidget(buildAdcFrame(), 2, 0);
    grid->addWidget(buildSupplyFrame(), 2, 1);
    grid->addWidget(buildSupplyPotFrame(), 2, 2);

    cmdDisableButtons = new QPushButton("Disable", this);
    cmdEnableBUttons = new QPushButton("Enable", this);
    cmdDisableButtons->hide();
    cmdEnableBUttons->hide();
    cmdShowMian = new QPushButton("Show Main");
    cmdexit = new QPushButton("Exit");
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    bar->addWidget(cmdShowMian);
    bar->addWidget(cmdexit);
    grid->addLayout(bar, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);

    connect(cmdDisableButtons, &QPushButton::clicked, this, [this] { cmdDisableButtons_Click(); });
    connect(cmdEnableBUttons, &QPushButton::clicked, this, [this] { cmdEnableBUttons_Click(); });
    connect(cmdShowMian, &QPushButton::clicked, this, [this] { cmdShowMian_Click(); });
    connect(cmdexit, &QPushButton::clicked, this, [this] { cmdexit_Click(); });

    collectActionButtons();
}

QWidget* frmMotherboardDAQ2::buildI2CPanel()
{
    fraI2C = new QGroupBox("I2C I/O");
    auto* grid = new QGridLayout(fraI2C);
    grid->setVerticalSpacing(3);

    static const char* const kOut[] = {"3", "50", "02", "C0"};
    static const char* const kIn[] = {"2", "51", "0"};
    for (size_t k = 0; k < txtI2COut.size(); ++k) {
        txtI2COut[k] = mbByteField(kOut[k]);
        hexEntryField(txtI2COut[k]);
        txtI2CRead[k] = mbByteField(kNoValue, true);
    }
    for (size_t k = 0; k < txtI2CIN.size(); ++k) {
        txtI2CIN[k] = mbByteField(kIn[k]);
        hexEntryField(txtI2CIN[k]);
    }
    txtI2CWriteStatus = mbByteField(kNoValue, true);
    txtI2CReadStatus = mbByteField(kNoValue, true);
    CMDI2CWrite = new QPushButton("Write");
    cmdI2CRead = new QPushButton("Read");
    for (auto& lamp : ShpI2CNAK)
        lamp = new Lamp;

    grid->addWidget(new QLabel("Count      Address     Byte1     Byte2"), 0, 0, 1, 4);
    grid->addWidget(new QLabel("Written Count"), 0, 5);
    grid->addWidget(new QLabel("I2C NAK"), 0, 6);
    for (size_t k = 0; k < txtI2COut.size(); ++k)
        grid->addWidget(txtI2COut[k], 1, static_cast<int>(k));
    grid->addWidget(CMDI2CWrite, 1, 4);
    grid->addWidget(txtI2CWriteStatus, 1, 5, Qt::AlignCenter);
    grid->addWidget(ShpI2CNAK[0], 1, 6, Qt::AlignCenter);

    grid->addWidget(new QLabel("Read Count"), 2, 5);
    grid->addWidget(new QLabel("I2C NAK"), 2, 6);
    for (size_t k = 0; k < txtI2CIN.size(); ++k)
        grid->addWidget(txtI2CIN[k], 3, static_cast<int>(k));
    grid->addWidget(cmdI2CRead, 3, 4);
    grid->addWidget(txtI2CReadStatus, 3, 5, Qt::AlignCenter);
    grid->addWidget(ShpI2CNAK[1], 3, 6, Qt::AlignCenter);
    for (size_t k = 0; k < txtI2CRead.size(); ++k)
        grid->addWidget(txtI2CRead[k], 4, static_cast<int>(k));
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(7, 1);

    connect(CMDI2CWrite, &QPushButton::clicked, this, [this] { CMDI2CWrite_Click(); });
    connect(cmdI2CRead, &QPushButton::clicked, this, [this] { cmdI2CRead_Click(); });
    return fraI2C;
}

void frmMotherboardDAQ2::collectActionButtons()
{
    QPushButton* const group[] = {
        cmdWrtPipe1, cmdReadPipe1, cmdSPIOWrite2, cmdSPIOWrite3, cmdSPIWrite, cmdSPIWrite2, cmdSPRRdReg,
        cmdSPIReadData, CMDI2CWrite, cmdI2CRead, cmdSetMode, cmdSample, cmdSampleVCC,
    };
    actionButtons_.clear();
    for (QPushButton* b : group)
        if (b)
            actionButtons_.push_back(b);
}

// --- set-up and end -----------------------------------------------------------------------

void frmMotherboardDAQ2::Form_Load()
{
    trace("Motherboard Form Load");
    // From now on a board found after a lost link gets the state the windows show.
    linkHooks().freshBoard = SetUpFreshBoard;
    // V-minus follows VCC while "Track" is ticked, as it starts.
    for (QRadioButton* option : OptVCCMinus)
        if (option)
            option->setEnabled(false);

    // The console's pin boxes start cleared, so that the box handlers below leave them
    // equal to the image.
    frmMainF340& con = forms().frmMainF340();
    con.cmdResetGPIO_Click();
    clearPinBoxes();
    drivePowerUpPattern();
    con.cmdWriteReadAll_Click();

    // The ADC input list opens at VCC/2; selecting it sets the bridge's input and converts.
    if (Combo1 && Combo1->count() > g_VccAdcChannel)
        Combo1->setCurrentIndex(g_VccAdcChannel);
    if (!letEventsRun())
        return;
    con.cmdWriteReadAll_Click();
    trace("Motherboard Form Load Completed\r\n");
}

void frmMotherboardDAQ2::Form_Unload()
{
    // Handlers still running (a port write waiting, a terminal pausing) see this and stop.
    unloaded_ = true;
}

void frmMotherboardDAQ2::closeEvent(QCloseEvent* e)
{
    e->ignore();
    forms().frmMotherboardDAQ2.unload();
}

bool frmMotherboardDAQ2::letEventsRun()
{
    return survives([] { platform::pumpEvents(); });
}

bool frmMotherboardDAQ2::survives(const std::function<void()>& op)
{
    QPointer<frmMotherboardDAQ2> self(this);
    op();
    return self && !self->unloaded_;
}

// --- action buttons, "Show Main", "Exit" --------------------------------------------------

void frmMotherboardDAQ2::setActionButtonsEnabled(bool on)
{
    for (QPushButton* b : actionButtons_)
        b->setEnabled(on);
}

void frmMotherboardDAQ2::cmdDisableButtons_Click() { setActionButtonsEnabled(false); }

void frmMotherboardDAQ2::cmdEnableBUttons_Click() { setActionButtonsEnabled(true); }

void frmMotherboardDAQ2::cmdShowMian_Click() { forms().frmMainF340.show(); }

void frmMotherboardDAQ2::cmdexit_Click() { forms().frmMotherboardDAQ2.unload(); }

// --- hex fields ---------------------------------------------------------------------------

void frmMotherboardDAQ2::HexKeyAscii(int& KeyAscii) { checkValidEntryHex(KeyAscii); }

void frmMotherboardDAQ2::hexEntryField(QLineEdit* box, HexEntry how)
{
    const auto settle = [box, how] {
        QString text = box->text().toUpper();
        if (how.cutToTwo)
            text = text.left(2);
        box->setText(hexEntryText(text));
    };
    KeyFilter::on(box)->keyPress = [this, settle](int& KeyAscii) {
        HexKeyAscii(KeyAscii);
        if (KeyAscii == kKeyReturn)
            settle();
    };
    if (how.onLeave)
        onLeave(box, settle);
}

void frmMotherboardDAQ2::onLeave(QLineEdit* box, std::function<void()> fn) { onFocusOut(box, std::move(fn)); }

// --- I2C panel ----------------------------------------------------------------------------

bool frmMotherboardDAQ2::panelByte(QLineEdit* box, const QString& name, std::uint8_t& value)
{
    const auto b = hexTextByte(box->text());
    if (!b) {
        platform::msgBox(QString("I2C %1 \"%2\" is no byte: enter 00 to FF. Nothing was sent.").arg(name, box->text()));
        return false;
    }
    value = *b;
    return true;
}

bool frmMotherboardDAQ2::panelCount(QLineEdit* box, const QString& name, int& count)
{
    const auto n = decimalFieldValue(box->text());
    if (!n) {
        platform::msgBox(QString("I2C %1 \"%2\" is no decimal number. Nothing was sent.").arg(name, box->text()));
        return false;
    }
    count = *n;
    return true;
}

void frmMotherboardDAQ2::CMDI2CWrite_Click()
{
    cmdDisableButtons_Click();
    if (!letEventsRun())
        return;
    txtI2CWriteStatus->setText(kNoValue);
    std::uint8_t address = 0;
    int count = 0;
    if (!panelCount(txtI2COut[0], "write count", count) || !panelByte(txtI2COut[1], "write address", address)) {
        cmdEnableBUttons_Click();
        return;
    }
    g_I2CAddress = address;
    frmMainF340& con = forms().frmMainF340();
    // The console's count field holds two characters: "010" must not arrive as "01".
    con.txtNumToWrite->setText(QString::number(count));
    // Byte1 goes out as the register byte and as the first data byte.
    const QString byte1 = consoleByteText(txtI2COut[2]->text());
    con.txtStartRegWr->setText(byte1);
    con.txtWriteVal[0]->setText(byte1);
    con.txtWriteVal[1]->setText(consoleByteText(txtI2COut[3]->text()));
    if (!survives([&] { con.cmdWrite_Click(); }))
        return;
    ShpI2CNAK[0]->setFillColor(g_BridgeStatus == kStatusOk ? kLampGood : kLampFailed);
    cmdEnableBUttons_Click();
}

void frmMotherboardDAQ2::cmdI2CRead_Click()
{
    cmdDisableButtons_Click();
    txtI2CReadStatus->setText(kNoValue);
    std::uint8_t address = 0, start = 0;
    int count = 0;
    if (!panelCount(txtI2CIN[0], "read count", count) || !panelByte(txtI2CIN[1], "read address", address)
        || !panelByte(txtI2CIN[2], "start register", start)) {
        cmdEnableBUttons_Click();
        return;
    }
    g_I2CAddress = address;
    frmMainF340& con = forms().frmMainF340();
    con.txtNumToRead->setText(QString::number(count));
    con.txtStartRegRD->setText(Hex2(start));
    if (!survives([&] { con.cmdRead_Click(); }))
        return;

    // The console leaves the bytes at the indexes of their registers (from 0 when no
    // register byte went out): the panel shows the bytes of this read, "--" past them.
    const bool ok = g_BridgeStatus == kStatusOk;
    const bool registerSent = con.chkRandom->isChecked() || con.ChK2WireCommand->isChecked() || con.chk2WireRead->isChecked();
    const size_t first = registerSent ? start : 0;
    for (size_t j = 0; j < txtI2CRead.size(); ++j) {
        const bool shown = ok && j < static_cast<size_t>(count) && first + j < con.txtReadVal.size();
        txtI2CRead[j]->setText(shown ? con.txtReadVal[first + j]->text() : kNoValue);
    }
    ShpI2CNAK[1]->setFillColor(ok ? kLampGood : kLampFailed);
    cmdEnableBUttons_Click();
}
