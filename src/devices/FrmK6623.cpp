#include "devices/FrmK6623.h"

#include "bridge/protocol.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "devices/spi_frame_send.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kLampGreen = 10, kLampDarkGreen = 2;
constexpr int kReadCount = 4; // the read sends four of its five bytes

std::function<SpiWindowFields()>& provider()
{
    static std::function<SpiWindowFields()> p;
    return p;
}

const char* const kRowCaptions[] = {"Wiper", "Data 0", "Data 1", "Data 2", "Data 3"};

} // namespace

void setSpiWindowFieldsProvider(std::function<SpiWindowFields()> p) { provider() = std::move(p); }

SpiWindowFields spiWindowFields() { return provider() ? provider()() : SpiWindowFields{}; }

FrmK6623::FrmK6623()
{
    setWindowTitle("K6623/ 4 SPI Register Control");
    auto* outer = new QVBoxLayout(this);
    frk662x = new QGroupBox("K6627/8 Table 3 Instruction Set");
    outer->addWidget(frk662x);
    auto* grid = new QGridLayout(frk662x);

    auto* readHead = new QLabel("Read Hex");
    auto* writeHead = new QLabel("Write Hex");
    grid->addWidget(readHead, 0, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(writeHead, 0, 3, 1, 2, Qt::AlignCenter);
    grid->setColumnMinimumWidth(2, 16);
    for (int i = 0; i < 5; ++i) {
        const auto at = static_cast<size_t>(i);
        CMDk662X_Read[at] = new QPushButton(kRowCaptions[i]);
        lblRdk662x[at] = new QLabel("000");
        lblRdk662x[at]->setFrameShape(QFrame::Panel);
        lblRdk662x[at]->setFrameShadow(QFrame::Sunken);
        lblRdk662x[at]->setAlignment(Qt::AlignCenter);
        lblRdk662x[at]->setMinimumWidth(48);
        CMDk662X_Write[at] = new QPushButton(kRowCaptions[i]);
        txtWrK6628[at] = new QLineEdit("000");
        txtWrK6628[at]->setAlignment(Qt::AlignCenter);
        txtWrK6628[at]->setFixedWidth(56);
        grid->addWidget(CMDk662X_Read[at], i + 1, 0);
        grid->addWidget(lblRdk662x[at], i + 1, 1);
        grid->addWidget(CMDk662X_Write[at], i + 1, 3);
        grid->addWidget(txtWrK6628[at], i + 1, 4);
        connect(CMDk662X_Read[at], &QPushButton::clicked, this, [this, i] { CMDk662X_Read_Click(i); });
        connect(CMDk662X_Write[at], &QPushButton::clicked, this, [this, i] { CMDk662X_Write_Click(i); });
        KeyFilter::on(txtWrK6628[at])->keyPress = [this, i](int& KeyAscii) { txtWrK6628_KeyPress(i, KeyAscii); };
    }

    auto* transfers = new QGroupBox("Transfer Commands (1 Byte Instructions)");
    auto* tgrid = new QGridLayout(transfers);
    for (int j = 0; j < 4; ++j) {
        const auto at = static_cast<size_t>(j);
        cmdK662xDatatoWiper[at] = new QPushButton(QString("Data %1 > Wiper").arg(j));
        cmdK662xWipertoData[at] = new QPushButton(QString("Wiper > Data %1").arg(j));
        tgrid->addWidget(cmdK662xDatatoWiper[at], j, 0);
        tgrid->addWidget(cmdK662xWipertoData[at], j, 1);
        connect(cmdK662xDatatoWiper[at], &QPushButton::clicked, this, [this, j] { cmdK662xDatatoWiper_Click(j); });
        connect(cmdK662xWipertoData[at], &QPushButton::clicked, this, [this, j] { cmdK662xWipertoData_Click(j); });
    }
    grid->addWidget(transfers, 6, 0, 1, 5);
    outer->addStretch(1);
}

void FrmK6623::CMDk662X_Read_Click(int Index) { press(spi::K6623Op::Read, Index); }
void FrmK6623::CMDk662X_Write_Click(int Index) { press(spi::K6623Op::Write, Index); }
void FrmK6623::cmdK662xDatatoWiper_Click(int Index) { press(spi::K6623Op::DataToWiper, Index); }
void FrmK6623::cmdK662xWipertoData_Click(int Index) { press(spi::K6623Op::WiperToData, Index); }

void FrmK6623::txtWrK6628_KeyPress(int, int& KeyAscii) { checkValidEntryHex(KeyAscii); }

void FrmK6623::press(spi::K6623Op op, int index)
{
    QPointer<FrmK6623> self(this);
    // A warning only: the frame goes out all the same.
    if (!forms().frmMotherboardDAQ2().OptVCC[0]->isChecked())
        platform::msgBox("VCC is not turned on.");
    if (!self)
        return;

    // Read afresh after every step that lets events run: the SPI window may change meanwhile.
    const SpiWindowFields host = spiWindowFields();
    if (host.lblProduct && spi::isK6623Product(host.lblProduct->text())) {
        QLineEdit* box = op == spi::K6623Op::Write ? txtWrK6628[static_cast<size_t>(index)] : nullptr;
        const QString id = host.txtDeviceAdr ? host.txtDeviceAdr->text() : QString();
        const spi::FrameResult r = spi::k6623Frame(op, index, id, box ? box->text() : QString());
        if (box && !r.paddedHex.isEmpty())
            box->setText(r.paddedHex);
        const auto replies = spi::sendOrRefuse(r);
        if (!self)
            return;
        // Replies that are no bytes (a refused or failed frame) leave the value shown.
        if (replies && op == spi::K6623Op::Read)
            if (const auto v = bridge::spiReadValue10(*replies, kReadCount))
                lblRdk662x[static_cast<size_t>(index)]->setText(spi::padTo3(spi::hexNoLeadingZero(*v)));
    }

    // The lamp flips on every press, sent or not, good or not: it tells a press happened.
    if (Lamp* lamp = spiWindowFields().readLamp)
        lamp->setFillColor(lamp->fillColor() == kLampGreen ? kLampDarkGreen : kLampGreen);
}
