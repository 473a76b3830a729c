#include "motherboard/frmMotherboardDAQ2.h"

#include "bridge/frmMainF340.h"
#include "motherboard/pin_table.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPorts = 3;
constexpr int kBitsPerPort = 8;

// The console's box that mirrors a pin: its level box, or its output-mode box for a drive
// enable. Null while the console has not built its pin boxes.
QCheckBox* consolePinBox(frmMainF340& c, bool drive, int port, int bit)
{
    F340Gpio::PinBoxes* const rows[2][kPorts] = {
        {&c.chkGPvalueP0, &c.chkGPvalueP1, &c.chkGPvalueP2},
        {&c.chkOpenCollectorP0, &c.chkOpenCollectorP1, &c.chkOpenCollectorP2},
    };
    return (*rows[drive ? 1 : 0][port])[static_cast<size_t>(bit)];
}

// The power-up pin pattern, in the order it is driven: supply potentiometer deselected
// (P2.4 high), VCC and V-minus off (P2.5, P2.6 low), bus switch to SPI (P1.3 high), and the
// SPI lines P0.0..P0.2 set up. Every step goes through the box's handler.
struct PinStep {
    bool drive; // the drive-enable box, else the level box
    int index;
    bool on;
};
constexpr PinStep kPowerUpPattern[] = {
    {true, 23, true},  {true, 22, true},  {true, 21, true}, {true, 20, true}, {true, 19, true},
    {false, 20, true}, {false, 21, false}, {false, 22, false},
    {true, 11, true},
    {true, 0, true},   {true, 1, false},  {true, 2, true},
    {false, 0, false}, {false, 1, true},
    {false, 11, true},
};

// The console's dump row of a register (its caption starts with the address).
int dumpRowOf(std::uint8_t address)
{
    for (int row = 0; row < kSfrDumpRows; ++row)
        if (QString(kSfrDumpCaptions[static_cast<size_t>(row)]).left(2) == Hex2(address))
            return row;
    return -1;
}

} // namespace

// --- box handlers -------------------------------------------------------------------------

void MbPorts::pinBoxChanged(bool drive, int Index)
{
    if (Index < 0 || Index >= motherboard::kPinCount)
        return;
    const int port = Index / kBitsPerPort, bit = Index % kBitsPerPort;
    const bool on = (drive ? chkP0OutEn : chkPData)[static_cast<size_t>(Index)]->isChecked();
    // The console's box runs its own handler, which writes the port under "Auto Write / Read".
    if (QCheckBox* mirror = consolePinBox(forms().frmMainF340(), drive, port, bit))
        if (!m.survives([&] { mirror->setChecked(on); }))
            return;

    const auto byteIndex = static_cast<size_t>(drive ? kPorts + port : port);
    auto& b = g_PortShadow[byteIndex];
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    b = on ? static_cast<std::uint8_t>(b | mask) : static_cast<std::uint8_t>(b & ~mask);
    txtPBuf[byteIndex]->setText(Hex2(b));
}

void MbPorts::chkPData_Click(int Index) { pinBoxChanged(false, Index); }

void MbPorts::chkP0OutEn_Click(int Index) { pinBoxChanged(true, Index); }

// --- port write and read-back -------------------------------------------------------------

void MbPorts::cmdWrtPipe1_Click()
{
    // Another port write is letting events run: give it time to end, but not for ever.
    for (int pass = 0; g_PipeBusy && pass < kBusyWaitPasses; ++pass)
        if (!m.letEventsRun())
            return;
    g_PipeBusy = true;
    // An outer operation that disabled the group enables it itself.
    if (cmdWrtPipe1->isEnabled())
        m.cmdDisableButtons_Click();

    // A write that stops because the window went leaves no port write behind it.
    const auto gone = [] { g_PipeBusy = false; };
    frmMainF340& con = forms().frmMainF340();
    for (size_t i = 0; i < motherboard::kImageRegisters.size(); ++i) {
        con.txtSFRAddress->setText(Hex2(motherboard::kImageRegisters[i].address));
        txtPBuf[i]->setText(Hex2(g_PortShadow[i]));
        con.txtSFRWRData->setText(txtPBuf[i]->text());
        if (!m.survives([&] { con.cmdSetSFR_Click(); }))
            return gone();
    }

    if (!m.letEventsRun())
        return gone();
    m.cmdEnableBUttons_Click();
    if (!m.letEventsRun())
        return gone();
    g_PipeBusy = false;
    m.letEventsRun();
}

void MbPorts::cmdReadPipe1_Click()
{
    m.cmdDisableButtons_Click();
    frmMainF340& con = forms().frmMainF340();
    if (!m.survives([&] { con.cmdReadSKF_Click(); }))
        return;
    // The read-back shows the board; the image and the boxes stay as they are.
    for (size_t i = 0; i < motherboard::kImageRegisters.size(); ++i) {
        const int row = dumpRowOf(motherboard::kImageRegisters[i].address);
        if (row >= 0)
            txtPBufRd[i]->setText(con.txtPBufRd[static_cast<size_t>(row)]->text());
    }
    m.cmdEnableBUttons_Click();
}

void MbPorts::Reverse_Tally_GPIO() { m.letEventsRun(); }

// --- set-up steps -------------------------------------------------------------------------

void MbPorts::clearPinBoxes()
{
    for (int i = 0; i < motherboard::kPinCount; ++i) {
        const auto k = static_cast<size_t>(i);
        chkP0OutEn[k]->setChecked(false);
        chkPData[k]->setChecked(false);
    }
}

void MbPorts::drivePowerUpPattern()
{
    for (const PinStep& s : kPowerUpPattern) {
        const auto k = static_cast<size_t>(s.index);
        if (s.drive) {
            chkP0OutEn[k]->setChecked(s.on);
            chkP0OutEn_Click(s.index);
        } else {
            chkPData[k]->setChecked(s.on);
            chkPData_Click(s.index);
        }
    }
}

// --- layout -------------------------------------------------------------------------------

QWidget* MbPorts::buildPortFrames()
{
    static const char* const kLevelFrames[kPorts] = {"Port 0  Data", "Port  1 Data", "Port 2 Data"};
    static const char* const kDriveFrames[kPorts] = {"P0 DRV Enables", "P1 DRV", "P2 DRV "};

    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    for (int port = 0; port < kPorts; ++port) {
        auto* levels = new QGroupBox(kLevelFrames[port]);
        auto* drives = new QGroupBox(kDriveFrames[port]);
        auto* lv = new QVBoxLayout(levels);
        auto* dv = new QVBoxLayout(drives);
        lv->setSpacing(2);
        dv->setSpacing(2);
        for (int bit = 0; bit < kBitsPerPort; ++bit) {
            const int i = port * kBitsPerPort + bit;
            const auto k = static_cast<size_t>(i);
            chkPData[k] = new QCheckBox(motherboard::pinCaption(i));
            chkP0OutEn[k] = new QCheckBox(motherboard::driveCaption(i));
            lv->addWidget(chkPData[k]);
            dv->addWidget(chkP0OutEn[k]);
            QObject::connect(chkPData[k], &QCheckBox::toggled, &m, [this, i] { chkPData_Click(i); });
            QObject::connect(chkP0OutEn[k], &QCheckBox::toggled, &m, [this, i] { chkP0OutEn_Click(i); });
        }
        lv->addStretch(1);
        dv->addStretch(1);
        row->addWidget(levels, 1);
        row->addWidget(drives, 0);
    }
    return w;
}

QWidget* MbPorts::buildRegisterPanel()
{
    auto* frame = new QGroupBox("SFRs");
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(3);
    grid->addWidget(new QLabel("Write    Read  Byte#"), 0, 1, 1, 3);
    for (size_t i = 0; i < motherboard::kImageRegisters.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        lblPbuf[i] = new QLabel(motherboard::kImageRegisters[i].rowCaption);
        txtPBuf[i] = mbByteField("00");
        m.hexEntryField(txtPBuf[i]);
        txtPBufRd[i] = mbByteField("--", true);
        grid->addWidget(lblPbuf[i], r, 0);
        grid->addWidget(txtPBuf[i], r, 1);
        grid->addWidget(txtPBufRd[i], r, 2);
        grid->addWidget(new QLabel(QString::number(i)), r, 3, Qt::AlignCenter);
    }
    cmdWrtPipe1 = new QPushButton("Write");
    cmdReadPipe1 = new QPushButton("Read");
    cmdTallyGPIO = new QPushButton("Tally GPIO");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdWrtPipe1);
    buttons->addWidget(cmdReadPipe1);
    buttons->addWidget(cmdTallyGPIO);
    grid->addLayout(buttons, 7, 0, 1, 4);
    grid->setRowStretch(8, 1);

    QObject::connect(cmdWrtPipe1, &QPushButton::clicked, &m, [this] { cmdWrtPipe1_Click(); });
    QObject::connect(cmdReadPipe1, &QPushButton::clicked, &m, [this] { cmdReadPipe1_Click(); });
    QObject::connect(cmdTallyGPIO, &QPushButton::clicked, &m, [this] { Reverse_Tally_GPIO(); });
    return frame;
}
