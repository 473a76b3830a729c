#include "motherboard/frmMotherboardDAQ2.h"

#include "bridge/frmMainF340.h"
#include "shell/forms.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kFrameBytes = 3;
constexpr int kFieldsPerRow = 4; // the hidden lead field, then the three bytes sent
constexpr int kCsBit = 4;        // P2.4 selects the supply potentiometer, low = selected
constexpr int kPortP2 = 2;

struct FrameRow {
    const char* caption;
    const char* bytes[kFrameBytes]; // design texts
    bool readsRegister;             // the read-back row shows "XX" until the reply
    int pausesAfter;                // event passes between the transfer and deselecting
};
constexpr FrameRow kRows[] = {
    {"Write Reg", {"50", "C2", "C0"}, false, 2},
    {"Write Data", {"50", "C0", "77"}, false, 0},
    {"Read Setup", {"50", "B2", "C0"}, true, 1},
    {"ReadData", {"50", "B0", "00"}, true, 0},
};

QLineEdit* byteField(const QString& text)
{
    auto* e = new QLineEdit(text);
    e->setAlignment(Qt::AlignCenter);
    e->setFixedWidth(36);
    return e;
}

} // namespace

QWidget* MbSupplyPot::buildSupplyPotFrame()
{
    auto* box = new QGroupBox("Motherboard VCC Control");
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(6);

    QPushButton** buttons[] = {&cmdSPIWrite, &cmdSPIWrite2, &cmdSPRRdReg, &cmdSPIReadData};
    void (MbSupplyPot::*handlers[])() = {&MbSupplyPot::cmdSPIWrite_Click, &MbSupplyPot::cmdSPIWrite2_Click,
                                        &MbSupplyPot::cmdSPRRdReg_Click, &MbSupplyPot::cmdSPIReadData_Click};
    for (int r = 0; r < int(std::size(kRows)); ++r) {
        const int lead = kFieldsPerRow * r;
        txtSPIwr[size_t(lead)] = byteField("00");
        txtSPIwr[size_t(lead)]->hide();
        g->addWidget(txtSPIwr[size_t(lead)], r, 0);
        for (int k = 0; k < kFrameBytes; ++k) {
            QLineEdit* e = byteField(kRows[r].bytes[k]);
            txtSPIwr[size_t(lead + 1 + k)] = e;
            m.hexEntryField(e);
            g->addWidget(e, r, 1 + k);
        }
        auto* b = new QPushButton(kRows[r].caption);
        QObject::connect(b, &QPushButton::clicked, &m, [this, h = handlers[r]] { (this->*h)(); });
        *buttons[r] = b;
        g->addWidget(b, r, 1 + kFrameBytes);
    }
    // The filler byte of "ReadData" is clocked out while the register is read.
    txtSPIwr[15]->setReadOnly(true);

    const int readRow = int(std::size(kRows));
    g->addWidget(new QLabel("SPI Input Bytes"), readRow, 0, 1, 4);
    for (int k = 0; k < int(txtSPIRd.size()); ++k) {
        txtSPIRd[size_t(k)] = byteField("--");
        txtSPIRd[size_t(k)]->setReadOnly(true);
        g->addWidget(txtSPIRd[size_t(k)], readRow + 1, k);
    }
    g->setColumnStretch(2 + kFrameBytes, 1);
    g->setRowStretch(readRow + 2, 1);
    return box;
}

void MbSupplyPot::setSupplyPotSelected(bool selected)
{
    frmMainF340& f = forms().frmMainF340();
    if (QCheckBox* cs = f.chkGPvalueP2[kCsBit])
        cs->setChecked(!selected);
    f.cmdWrGPData_Click(kPortP2);
    f.cmdRdGPData_Click(kPortP2);
}

void MbSupplyPot::cmdSPIWrite_Click() { sendFrame(0); }
void MbSupplyPot::cmdSPIWrite2_Click() { sendFrame(1); }
void MbSupplyPot::cmdSPRRdReg_Click() { sendFrame(2); }
void MbSupplyPot::cmdSPIReadData_Click() { sendFrame(3); }

void MbSupplyPot::sendFrame(int row)
{
    const FrameRow& frame = kRows[row];
    frmMainF340& f = forms().frmMainF340();
    m.cmdDisableButtons_Click();
    // Events run during the frame; when the window is closed meanwhile its fields are gone,
    // but the potentiometer is still deselected below.
    bool alive = m.survives([] { setSupplyPotSelected(true); });
    if (alive && frame.readsRegister) {
        alive = m.letEventsRun();
        // A frame on the chip's SPI terminals may have run meanwhile and released the
        // select: this frame must still reach the potentiometer.
        QCheckBox* released = f.chkGPvalueP2[kCsBit];
        if (alive && released && released->isChecked())
            alive = m.survives([] { setSupplyPotSelected(true); });
        if (alive)
            for (QLineEdit* e : txtSPIRd)
                e->setText("XX");
    }
    if (alive) {
        f.chkSPIread->setChecked(true);
        f.txtNumToWrite->setText(QString::number(kFrameBytes));
        // The console's byte fields take two characters: a byte the entry rule kept with
        // leading zeros ("072") goes there as its two digits, not cut to "07". Any other
        // text goes as it stands, for the console to refuse.
        for (int k = 0; k < kFrameBytes; ++k) {
            const QString text = txtSPIwr[size_t(kFieldsPerRow * row + 1 + k)]->text();
            const auto b = hexTextByte(text);
            f.txtWriteVal[size_t(k)]->setText(b ? Hex2(*b) : text);
        }
        alive = m.survives([&f] { f.cmdSPIWrite_Click(); });
    }
    if (alive) {
        // After a failed transfer these are the console's earlier bytes; its dialog has said why.
        for (size_t k = 0; k < txtSPIRd.size(); ++k)
            txtSPIRd[k]->setText(f.txtReadVal[k]->text());
        for (int i = 0; i < frame.pausesAfter && alive; ++i)
            alive = m.letEventsRun();
    }
    // Always: the potentiometer must never stay selected, or the next transfer meant for the
    // chip under test would reach it. Only the console is touched here.
    setSupplyPotSelected(false);
    if (alive && m.letEventsRun())
        m.cmdEnableBUttons_Click();
}
