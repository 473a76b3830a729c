#include "devices/DeviceFormCore.h"

#include "controls/event_hook.h"
#include "controls/keyfilter.h"
#include "controls/lamp.h"
#include "devices/ProductExec.h"
#include "devices/SupplyPanel.h"
#include "devices/device_model.h"
#include "motherboard/supply.h"
#include "shell/frmStartup.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "quad/quad_device_link.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

using namespace devices;

namespace {

frmMotherboardDAQ2& motherboard() { return forms().frmMotherboardDAQ2(); }

QLabel* sunken(const QString& text, const QString& widest = "0000")
{
    auto* l = new QLabel(text);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(widest) + 12);
    return l;
}

QLineEdit* entry(const QString& text, int width = 44)
{
    auto* e = new QLineEdit(text);
    e->setAlignment(Qt::AlignCenter);
    e->setFixedWidth(width);
    return e;
}

// A left click on a slider's track moves the thumb there and counts as a press and release
// of it, so the panel writes the position the slider shows. (A page step on the click would
// move the slider without a release: nothing written, and the entry fields would disagree.)
class TrackClickStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override
    {
        if (hint == QStyle::SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

constexpr int kAddressPin0 = 6; // chkPData index of A0 (P0.6); A1..A3 follow
constexpr int kShutdownPin = 10; // P1.2

} // namespace

DeviceFormCore::DeviceFormCore(const Variant& variant) : variant_(variant)
{
    lblProduct = new QLabel("Manual Setup");
    QFont bold = lblProduct->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    lblProduct->setFont(bold);
    lblProduct->setAlignment(Qt::AlignCenter);

    supply = new SupplyPanel(this);
    buildTapsAndChannels();
    buildRegisterPanels();
    buildAddressPanels();

    cmdMMenu = new QPushButton("Return to Main Menu");
}

DeviceFormCore::~DeviceFormCore()
{
    // Shared code paints the registered window; it must never find this one once it is gone.
    if (g_ActiveForm == this)
        g_ActiveForm = nullptr;
}

bool DeviceFormCore::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        g_ActiveForm = this;
    return QMainWindow::event(e);
}

Lamp* DeviceFormCore::ShpVCCon() { return supply->ShpVCCon; }
Lamp* DeviceFormCore::ShVM() { return supply->ShVM; }
QRadioButton* DeviceFormCore::OptVM(int index) { return index == 0 || index == 1 ? supply->OptVM[size_t(index)] : nullptr; }
QComboBox* DeviceFormCore::CboVCC() { return supply->CboVCC; }
QCheckBox* DeviceFormCore::ChkTrack() { return supply->ChkTrack; }
void DeviceFormCore::showSuppliesOff() { supply->showSuppliesOff(); }

// ---------------------------------------------------------------------------------------
// Frames

void DeviceFormCore::buildTapsAndChannels()
{
    frmTaps = new QGroupBox("Taps");
    auto* t = new QGridLayout(frmTaps);
    for (int i = 0; i < int(OptTaps.size()); ++i) {
        auto* o = new QRadioButton(QString::number(kTapCounts[size_t(i)]));
        OptTaps[size_t(i)] = o;
        t->addWidget(o, i % 4, i / 4);
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptTaps_Click(i);
        });
    }
    OptTaps[6]->hide(); // 512 taps come only from a parameter file
    {
        const QSignalBlocker quiet(OptTaps[kTapsIndex128]);
        OptTaps[kTapsIndex128]->setChecked(true);
    }

    FrmChannels = new QGroupBox("DCPs");
    auto* c = new QVBoxLayout(FrmChannels);
    for (int i = 0; i < int(OptChans.size()); ++i) {
        auto* o = new QRadioButton(QString::number(kChannelOptions[size_t(i)]));
        OptChans[size_t(i)] = o;
        c->addWidget(o);
        connect(o, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptChans_Click(i);
        });
    }
    const QSignalBlocker quiet(OptChans[0]);
    OptChans[0]->setChecked(true);
}

QWidget* DeviceFormCore::buildChannelPanels()
{
    auto* box = new QWidget;
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    auto* trackClick = new TrackClickStyle;
    trackClick->setParent(box);
    for (int i = 0; i < 4; ++i) {
        const size_t k = size_t(i);
        // Write half.
        SSFrame3[k] = new QGroupBox(" Set  Wiper Position");
        auto* w = new QGridLayout(SSFrame3[k]);
        lblChanSend[k] = new QLabel(QString::number(i));
        QFont bold = lblChanSend[k]->font();
        bold.setBold(true);
        lblChanSend[k]->setFont(bold);
        // Wide enough for every caption a part gives a channel (the K4736 register names, the
        // instruction bytes of the 10-bit and quad parts' channel 0), in both halves, so that
        // the frames of every channel line up whatever their captions.
        const int captionWidth = std::max(lblChanSend[k]->fontMetrics().horizontalAdvance("DR32"),
                                          lblChanSend[k]->fontMetrics().horizontalAdvance("WCR0")) + 4;
        lblChanSend[k]->setMinimumWidth(captionWidth);
        Slider1[k] = new QSlider(Qt::Horizontal);
        Slider1[k]->setRange(0, 128);
        Slider1[k]->setTickPosition(QSlider::TicksBelow);
        Slider1[k]->setMinimumWidth(180);
        Slider1[k]->setStyle(trackClick);
        List1[k] = new QListWidget(this);
        List1[k]->hide();
        txtHexDataWrt[k] = entry("000");
        txtDECDataWrt[k] = entry("0000");
        CMDxMIT[k] = new QPushButton("Wiper-Write");
        w->addWidget(lblChanSend[k], 0, 0);
        w->addWidget(Slider1[k], 0, 1, 1, 4);
        w->addWidget(new QLabel("Hex"), 1, 1, Qt::AlignRight);
        w->addWidget(txtHexDataWrt[k], 1, 2);
        w->addWidget(new QLabel("Dec"), 1, 3, Qt::AlignRight);
        w->addWidget(txtDECDataWrt[k], 1, 4);
        w->addWidget(CMDxMIT[k], 0, 5, 2, 1);

        // Read half.
        SSFrame4[k] = new QGroupBox("Read Wiper Position");
        auto* r = new QGridLayout(SSFrame4[k]);
        lblChanRcvr[k] = new QLabel(QString::number(i));
        lblChanRcvr[k]->setFont(bold);
        lblChanRcvr[k]->setMinimumWidth(captionWidth);
        cmdI2Read[k] = new QPushButton("Wiper-Read");
        lblPotRead[k] = sunken("0000");
        lblPotReadhex[k] = sunken("000");
        ProgressBar1[k] = new QProgressBar;
        ProgressBar1[k]->setRange(0, 128);
        ProgressBar1[k]->setValue(0);
        ProgressBar1[k]->setTextVisible(false);
        ProgressBar1[k]->setMaximumHeight(12);
        lblWiperVolts[k] = sunken("0.000", "00.000");
        cmdSampleWiper[k] = new QPushButton(variant_.sampleCaption);
        ChkAutoRead[k] = new QCheckBox("Auto Read");
        txtFactor[k] = new QLineEdit("2.0", this);
        txtFactor[k]->hide();
        r->addWidget(lblChanRcvr[k], 0, 0);
        r->addWidget(cmdI2Read[k], 0, 1);
        r->addWidget(lblPotRead[k], 0, 2);
        r->addWidget(lblPotReadhex[k], 0, 3);
        r->addWidget(ChkAutoRead[k], 0, 4);
        r->addWidget(ProgressBar1[k], 1, 1, 1, 3);
        r->addWidget(cmdSampleWiper[k], 1, 4);
        r->addWidget(lblWiperVolts[k], 1, 5);
        r->addWidget(new QLabel("V"), 1, 6);

        g->addWidget(SSFrame3[k], i, 0);
        g->addWidget(SSFrame4[k], i, 1);

        connect(Slider1[k], &QSlider::sliderPressed, this, [this, i] { Slider1_MouseDown(i); });
        connect(Slider1[k], &QSlider::sliderMoved, this, [this, i] { Slider1_Scroll(i); });
        connect(Slider1[k], &QSlider::valueChanged, this, [this, i] { Slider1_Change(i); });
        connect(Slider1[k], &QSlider::sliderReleased, this, [this, i] { Slider1_MouseUp(i); });
        connect(List1[k], &QListWidget::currentRowChanged, this, [this, i] { List1_Click(i); });
        KeyFilter::on(txtHexDataWrt[k])->keyPress = [this, i](int& KeyAscii) {
            const int key = KeyAscii;
            if (key == kKeyReturn)
                KeyAscii = 0;
            txtHexDataWrt_KeyPress(i, key);
        };
        KeyFilter::on(txtDECDataWrt[k])->keyPress = [this, i](int& KeyAscii) {
            const int key = KeyAscii;
            if (key == kKeyReturn)
                KeyAscii = 0;
            txtDECDataWrt_KeyPress(i, key);
        };
        connect(CMDxMIT[k], &QPushButton::clicked, this, [this, i] { CMDxMIT_Click(i); });
        connect(cmdI2Read[k], &QPushButton::clicked, this, [this, i] { cmdI2Read_Click(i); });
        connect(cmdSampleWiper[k], &QPushButton::clicked, this, [this, i] { cmdSampleWiper_Click(i); });
        connect(ChkAutoRead[k], &QCheckBox::toggled, this, [this, i] { ChkAutoRead_Click(i); });
    }
    return box;
}

void DeviceFormCore::buildRegisterPanels()
{
    SSFrame2 = new QGroupBox("ACR Register Control");
    auto* a = new QGridLayout(SSFrame2);
    Label2 = new QLabel("ACR Address");
    txtACRAddress = entry("02", 36);
    txtACR[0] = entry("00", 36);
    txtACR[1] = entry("--", 36);
    cmdACRWrite = new QPushButton("Write");
    cmdACRRead = new QPushButton("Read");
    for (auto& s : Shape2)
        s = new Lamp;
    auto* hidden = new QWidget(this);
    auto* hl = new QHBoxLayout(hidden);
    Option1[0] = new QRadioButton("IVR EEPROM");
    Option1[1] = new QRadioButton("WR Register");
    chkShutdown = new QCheckBox("/ShutDown");
    chkShutdown->setChecked(true);
    lblShutDown = new QLabel("Shutdown is ACTIVE!");
    for (QWidget* w : std::initializer_list<QWidget*>{Option1[0], Option1[1], chkShutdown, lblShutDown})
        hl->addWidget(w);
    hidden->hide();
    a->addWidget(Label2, 0, 0);
    a->addWidget(txtACRAddress, 0, 1);
    a->addWidget(txtACR[0], 1, 0);
    a->addWidget(cmdACRWrite, 1, 1);
    a->addWidget(Shape2[0], 1, 2);
    a->addWidget(txtACR[1], 2, 0);
    a->addWidget(cmdACRRead, 2, 1);
    a->addWidget(Shape2[1], 2, 2);
    for (int i = 0; i < 2; ++i)
        connect(Option1[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    connect(chkShutdown, &QCheckBox::toggled, this, [this] { chkShutdown_Click(); });

    frmRegisterWrite = new QGroupBox("General Register Access");
    auto* r = new QGridLayout(frmRegisterWrite);
    Label5 = new QLabel("GP Adr's");
    lblGDRs = new QLabel;
    txtGPAddress = entry("00", 36);
    txtGPWrite = entry("00", 36);
    lblGPRead = sunken("--", "000");
    cmdWriteGP = new QPushButton("Write");
    cmdGPRead = new QPushButton("Read");
    r->addWidget(Label5, 0, 0);
    r->addWidget(lblGDRs, 0, 1, 1, 2);
    r->addWidget(new QLabel("Address"), 1, 0);
    r->addWidget(txtGPAddress, 1, 1);
    r->addWidget(txtGPWrite, 2, 0);
    r->addWidget(cmdWriteGP, 2, 1);
    r->addWidget(Shape2[2], 2, 2);
    r->addWidget(lblGPRead, 3, 0);
    r->addWidget(cmdGPRead, 3, 1);
    r->addWidget(Shape2[3], 3, 2);
}

void DeviceFormCore::buildAddressPanels()
{
    SSFrame5 = new QGroupBox("I2C Addr");
    auto* s = new QHBoxLayout(SSFrame5);
    txtDeviceAdr = entry("50");
    QFont bold = txtDeviceAdr->font();
    bold.setBold(true);
    txtDeviceAdr->setFont(bold);
    txtDeviceAdr->setToolTip("Active I2C Address");
    cmdSlave = new QPushButton("Default");
    s->addWidget(txtDeviceAdr);
    s->addWidget(cmdSlave);
    KeyFilter::on(txtDeviceAdr)->keyPress = [this](int& KeyAscii) {
        if (KeyAscii == kKeyReturn) {
            KeyAscii = 0;
            txtDeviceAdr_KeyPress(kKeyReturn);
        }
    };
    onFocusOut(txtDeviceAdr, [this] { txtDeviceAdr_LostFocus(); });
    connect(cmdSlave, &QPushButton::clicked, this, [this] { cmdSlave_Click(); });

    fraADDRSelect = new QGroupBox("Address Select");
    auto* a = new QGridLayout(fraADDRSelect);
    for (int i = 0; i < 4; ++i) {
        auto* c = new QCheckBox(QString("A%1").arg(i));
        c->setToolTip("I2C Address Bit, Check Daughter board schematic / Device Data Sheet");
        chkI2CAdr[size_t(i)] = c;
        a->addWidget(c, 0, i);
        connect(c, &QCheckBox::toggled, this, [this, i] { chkI2CAdr_Click(i); });
    }
    txtCalcAddr = entry("50");
    txtCalcAddr->setToolTip("Calculated I2C Addres based on A0 -A3 Selections");
    cmdCopyAdr = new QPushButton("Copy");
    cmdCopyAdr->setToolTip("Copies Calculated I2C address to Active I2C Addr");
    a->addWidget(txtCalcAddr, 1, 0, 1, 2);
    a->addWidget(cmdCopyAdr, 1, 2, 1, 2);
    txtCalcAddr->hide();
    cmdCopyAdr->hide();
    connect(cmdCopyAdr, &QPushButton::clicked, this, [this] { cmdCopyAdr_Click(); });

    FrmShutdown = new QGroupBox("/ShutDown  /WP");
    auto* sd = new QHBoxLayout(FrmShutdown);
    ChkShutDown2 = new QCheckBox("/ShutDown /Wp");
    ChkShutDown2->setChecked(true);
    ChkShutDown2->setToolTip("I2C Write Protection Pin, Check Daughter board schematic / Device Data Sheet");
    sd->addWidget(ChkShutDown2);
    connect(ChkShutDown2, &QCheckBox::toggled, this, [this] { ChkShutDown2_Click(); });
}

QWidget* DeviceFormCore::buildStatusLamps()
{
    static const char* const kCaptions[] = {"USB Attach", "Write DCP", "Read DCP", "Timer Status", "DCP COMM", "USB Comm"};
    auto* box = new QWidget;
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    ShpAttachLamp = new Lamp;
    Shp_USB_Transfer = new Lamp;
    for (int i = 1; i <= 4; ++i)
        Shape1[size_t(i)] = new Lamp;
    for (int i = 0; i < 6; ++i) {
        lblUSBChk[size_t(i)] = new QLabel(kCaptions[i]);
        Lamp* lamp = i == 0 ? ShpAttachLamp : i == 5 ? Shp_USB_Transfer : Shape1[size_t(i)];
        g->addWidget(lamp, i, 0);
        g->addWidget(lblUSBChk[size_t(i)], i, 1);
        if (i == 0 || i == 3 || i == 5) {
            lamp->hide();
            lblUSBChk[size_t(i)]->hide();
        }
    }
    return box;
}

// ---------------------------------------------------------------------------------------
// Taps and channels

void DeviceFormCore::fillPositionLists(int taps)
{
    for (int k = 0; k < 4; ++k) {
        ProgressBar1[size_t(k)]->setMaximum(taps);
        Slider1[size_t(k)]->setMaximum(taps);
    }
    for (QListWidget* l : List1) {
        const QSignalBlocker quiet(l);
        l->clear();
        for (int n = 0; n <= taps; ++n)
            l->addItem(QString::number(n));
        l->setCurrentRow(-1);
    }
}

void DeviceFormCore::OptTaps_Click(int Index)
{
    if (Index < 0 || Index >= int(kTapCounts.size()))
        return;
    const int taps = kTapCounts[size_t(Index)];
    g_TapCount = static_cast<std::int16_t>(taps);
    for (int k = 0; k < 4; ++k) {
        ProgressBar1[size_t(k)]->setMaximum(taps);
        ProgressBar1[size_t(k)]->setValue(1);
        Slider1[size_t(k)]->setMaximum(taps);
        Slider1[size_t(k)]->setTickInterval(tapStep(taps));
    }
    fillPositionLists(taps);
    // Not a quiet move: a later release on a slider writes the position it shows.
    for (QSlider* s : Slider1)
        s->setValue(1);
    const Placeholders ph = placeholders(taps);
    for (int k = 0; k < 4; ++k) {
        txtDECDataWrt[size_t(k)]->setText(ph.dec);
        txtHexDataWrt[size_t(k)]->setText(ph.hex);
        lblPotRead[size_t(k)]->setText(ph.readDec);
        lblPotReadhex[size_t(k)]->setText(ph.readHex);
    }
    platform::pumpEvents();
}

void DeviceFormCore::OptChans_Click(int Index)
{
    if (Index < 0 || Index >= int(kChannelOptions.size()))
        return;
    const int shown = kChannelOptions[size_t(Index)];
    for (int k = 1; k < 4; ++k) {
        SSFrame3[size_t(k)]->setVisible(k < shown);
        SSFrame4[size_t(k)]->setVisible(k < shown);
    }
}

void DeviceFormCore::takePartCounts(const QString& description, int channels, int taps)
{
    g_TapCount = static_cast<std::int16_t>(taps);
    g_ChannelCount = static_cast<std::int16_t>(channels);
    for (int k = 0; k < 4; ++k)
        g_ChannelMap[size_t(k)] = static_cast<std::int16_t>(k);
    lblProduct->setText(description);
    for (size_t i = 0; i < kChannelOptions.size(); ++i)
        if (kChannelOptions[i] == channels)
            OptChans[i]->setChecked(true);
    for (size_t i = 0; i < kTapCounts.size(); ++i)
        if (kTapCounts[i] == taps)
            OptTaps[i]->setChecked(true);
}

void DeviceFormCore::runSelectedCountOptions()
{
    for (int i = 0; i < int(OptChans.size()); ++i)
        if (OptChans[size_t(i)]->isChecked())
            OptChans_Click(i);
    for (int i = 0; i < int(OptTaps.size()); ++i)
        if (OptTaps[size_t(i)]->isChecked())
            OptTaps_Click(i);
}

// ---------------------------------------------------------------------------------------
// Wiper channel panel

int DeviceFormCore::listPosition(int Index) const
{
    const QListWidgetItem* item = List1[size_t(Index)]->currentItem();
    const double v = item ? Val(item->text()) : 0;
    return v < 1 || v > 1024 ? 0 : int(v);
}

void DeviceFormCore::showPosition(int Index, int p)
{
    txtHexDataWrt[size_t(Index)]->setText(positionHex(p));
    txtDECDataWrt[size_t(Index)]->setText(QString::number(p));
}

void DeviceFormCore::moveQuietly(int Index, int p)
{
    g_SuppressTouch = true;
    g_ListTouched = false;
    g_SliderTouched = false;
    Slider1[size_t(Index)]->setValue(p + 1);
    List1[size_t(Index)]->setCurrentRow(Slider1[size_t(Index)]->value() - 1);
    g_SuppressTouch = false;
}

void DeviceFormCore::setTransferButtons(int Index, bool on)
{
    CMDxMIT[size_t(Index)]->setEnabled(on);
    cmdI2Read[size_t(Index)]->setEnabled(on);
    cmdACRWrite->setEnabled(on);
    cmdACRRead->setEnabled(on);
}

void DeviceFormCore::Slider1_MouseDown(int) { g_SliderSyncBusy = true; }

void DeviceFormCore::Slider1_Scroll(int)
{
    g_SliderTouched = true;
    platform::pumpEvents();
}

void DeviceFormCore::Slider1_Change(int)
{
    if (!g_SuppressTouch)
        g_SliderTouched = true;
}

void DeviceFormCore::List1_Scroll(int)
{
    if (!g_SuppressTouch)
        g_ListTouched = true;
}

void DeviceFormCore::Slider1_MouseUp(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const size_t k = size_t(Index);
    if (!g_SliderTouched) {
        // A press and release that moved nothing: the press's busy flag must not outlive it,
        // or list picks would keep snapping back to the slider.
        g_SliderSyncBusy = false;
        return;
    }
    Slider1[k]->setEnabled(false);
    platform::pumpEvents();
    if (!g_ListSyncBusy) {
        g_SliderSyncBusy = true;
        List1[k]->setCurrentRow(Slider1[k]->value() - 1);
        platform::pumpEvents();
        showPosition(Index, listPosition(Index));
        platform::pumpEvents();
        platform::pumpEvents();
    }
    g_SliderSyncBusy = false;
    platform::sleepMs(20);
    Slider1[k]->setEnabled(true);
    g_SliderTouched = false;
    platform::pumpEvents();
}

void DeviceFormCore::List1_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const size_t k = size_t(Index);
    if (!g_ListTouched && !g_SliderTouched)
        return;
    g_ListTouched = false;
    g_SliderTouched = false;
    List1[k]->setEnabled(false);
    platform::pumpEvents();
    if (!g_SliderSyncBusy) {
        g_ListSyncBusy = true;
        Slider1[k]->setValue(List1[k]->currentRow() + 1);
        platform::pumpEvents();
        platform::pumpEvents();
        g_ListSyncBusy = false;
    } else {
        List1[k]->setCurrentRow(Slider1[k]->value() - 1);
        platform::pumpEvents();
    }
    for (int n = 0; n < variant_.extraListPumps; ++n)
        platform::pumpEvents();
    showPosition(Index, listPosition(Index));
    platform::pumpEvents();
    if (g_BoardPresent)
        CMDxMIT_Click(Index);
    platform::pumpEvents();
    platform::pumpEvents();
    platform::sleepMs(20);
    List1[k]->setEnabled(true);
}

void DeviceFormCore::commitPosition(int Index, int p)
{
    const int before = std::max(Slider1[size_t(Index)]->value() - 1, 0);
    moveQuietly(Index, p);
    wiperWriteRefused_ = false;
    CMDxMIT_Click(Index);
    if (wiperWriteRefused_) {
        // Nothing was written: the panel goes on showing the position the chip was given,
        // not the one it refused.
        moveQuietly(Index, before);
        txtHexDataWrt[size_t(Index)]->setText(hexCommitText(positionHex(before), g_TapCount, variant_.threeDigitHexCommit));
        txtDECDataWrt[size_t(Index)]->setText(QString::number(before));
    }
    platform::pumpEvents();
}

void DeviceFormCore::txtHexDataWrt_KeyPress(int Index, int KeyAscii)
{
    if (Index < 0 || Index > 3)
        return;
    g_DecEntryPending = false;
    g_HexEntryPending = true;
    g_HexEntryIndex = Index;
    if (KeyAscii != kKeyReturn)
        return;
    g_HexEntryPending = false;
    g_DecEntryPending = false;
    QLineEdit* box = txtHexDataWrt[size_t(Index)];
    box->setText(hexCommitText(box->text(), g_TapCount, variant_.threeDigitHexCommit));
    const int p = HexToInt(box->text());
    txtDECDataWrt[size_t(Index)]->setText(QString::number(p));
    commitPosition(Index, p);
}

void DeviceFormCore::txtDECDataWrt_KeyPress(int Index, int KeyAscii)
{
    if (Index < 0 || Index > 3)
        return;
    g_HexEntryPending = false;
    g_DecEntryPending = true;
    g_DecEntryIndex = Index;
    if (KeyAscii != kKeyReturn)
        return;
    g_HexEntryPending = false;
    g_DecEntryPending = false;
    const int p = decimalCommitPosition(txtDECDataWrt[size_t(Index)]->text(), g_TapCount);
    showPosition(Index, p);
    commitPosition(Index, p);
}

void DeviceFormCore::ChkAutoRead_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    if (ChkAutoRead[size_t(Index)]->isChecked())
        cmdI2Read_Click(Index);
    platform::pumpEvents();
}

void DeviceFormCore::cmdSampleWiper_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const size_t k = size_t(Index);
    cmdSampleWiper[k]->setEnabled(false);
    platform::pumpEvents();
    supply->takeReading(Index + 6, lblWiperVolts[k]); // entries 6..9: VIN0..VIN3
    platform::sleepMs(50);
    cmdSampleWiper[k]->setEnabled(true);
    platform::pumpEvents();
}

// ---------------------------------------------------------------------------------------
// ACR composition

void DeviceFormCore::Option1_Click(int Index)
{
    g_AcrValue = Index == 1 ? 0x80 : 0;
    if (chkShutdown->isChecked())
        g_AcrValue = static_cast<std::int16_t>(g_AcrValue + 0x40);
    txtACR[0]->setText(QString::number(g_AcrValue, 16).toUpper());
    platform::pumpEvents();
}

void DeviceFormCore::chkShutdown_Click()
{
    if (chkShutdown->isChecked()) {
        g_AcrValue = static_cast<std::int16_t>(g_AcrValue | 0x40);
        lblShutDown->hide();
    } else {
        g_AcrValue = static_cast<std::int16_t>(g_AcrValue & ~0x40);
        lblShutDown->show();
    }
    txtACR[0]->setText(QString::number(g_AcrValue, 16).toUpper());
}

// ---------------------------------------------------------------------------------------
// Device address and pins

std::uint8_t DeviceFormCore::deviceAddress() const { return deviceAddressByte(txtDeviceAdr->text()); }

void DeviceFormCore::chkI2CAdr_Click(int)
{
    frmMotherboardDAQ2& mb = motherboard();
    for (int i = 0; i < 4; ++i)
        mb.chkPData[size_t(kAddressPin0 + i)]->setChecked(false);
    std::array<bool, 4> pins{};
    for (int i = 0; i < 4; ++i)
        pins[size_t(i)] = chkI2CAdr[size_t(i)]->isChecked();
    for (int i = 0; i < 4; ++i)
        if (pins[size_t(i)])
            mb.chkPData[size_t(kAddressPin0 + i)]->setChecked(true);
    txtCalcAddr->setText(Hex2(static_cast<std::uint8_t>(pinAddress(pins))));
    mb.cmdWrtPipe1_Click();
    platform::pumpEvents();
}

void DeviceFormCore::ChkShutDown2_Click()
{
    frmMotherboardDAQ2& mb = motherboard();
    mb.chkPData[kShutdownPin]->setChecked(false);
    if (ChkShutDown2->isChecked())
        mb.chkPData[kShutdownPin]->setChecked(true);
    mb.chkPData_Click(kShutdownPin);
    mb.cmdWrtPipe1_Click();
}

void DeviceFormCore::cmdCopyAdr_Click() { txtDeviceAdr->setText(txtCalcAddr->text()); }

void DeviceFormCore::cmdSlave_Click() { txtDeviceAdr->setText("50"); }

void DeviceFormCore::txtDeviceAdr_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyReturn)
        txtDeviceAdr->setText(deviceAddressRule(txtDeviceAdr->text()));
}

void DeviceFormCore::txtDeviceAdr_LostFocus() { txtDeviceAdr->setText(deviceAddressRule(txtDeviceAdr->text())); }

QString DeviceFormCore::deviceAddressRule(const QString& typed) const { return deviceAddressText(typed); }

void DeviceFormCore::activateDeviceWindow()
{
    g_ActiveForm = this;
    if (supply->OptVCC[1]->isChecked()) {
        supply->OptVCC_Click(1);
        platform::pumpEvents();
        InitVccOptions();
    }
}

void DeviceFormCore::returnToMainMenu()
{
    supply->OptVCC[1]->setChecked(true);
    supply->OptVCC_Click(1);
    platform::pumpEvents();
    g_ReturnToMenu = true;
    ++returns_;
    // The table serves this visit only: left loaded, it would hand its pick to whichever
    // window next waits for a table.
    forms().ProductExec.unload();
    forms().unloadQuadConsoles();
    hide();
    forms().frmStartup.show();
    platform::pumpEvents();
}

bool DeviceFormCore::waitForParameterPick()
{
    const unsigned visit = returns_;
    const bool ownFamily = waitForParameterTable();
    return ownFamily && returns_ == visit;
}

void DeviceFormCore::closeDeviceWindow(QCloseEvent* e, bool pumpBeforeUnload)
{
    if (!g_ReturnToMenu) {
        e->ignore();
        platform::endProgram(platform::kExitQuit);
    }
    if (pumpBeforeUnload)
        platform::pumpEvents();
    forms().unloadQuadConsoles();
    e->accept();
}

void DeviceFormCore::linkQuadHooks(quad::Bus bus, std::function<DeviceFormCore*()> window)
{
    QuadDeviceLink& link = quadDeviceLink(bus);
    const QuadDeviceLink standIn = quadStandInLink();
    link.deviceAddress = [window, standIn] {
        DeviceFormCore* w = window();
        return w ? w->txtDeviceAdr->text() : standIn.deviceAddress();
    };
    link.sampleWiper = [window, standIn](int pot) {
        DeviceFormCore* w = window();
        if (!w || pot < 0 || pot > 3)
            return standIn.sampleWiper(pot);
        w->cmdSampleWiper_Click(pot);
        return w->lblWiperVolts[size_t(pot)]->text();
    };
    link.setInUse = [window](bool inUse) {
        if (DeviceFormCore* w = window())
            w->setEnabled(inUse);
    };
}

void DeviceFormCore::setUpOneChannelDefaults()
{
    g_TapCount = 128;
    g_ChannelCount = 1;
    for (int k = 0; k < 4; ++k)
        g_ChannelMap[size_t(k)] = static_cast<std::int16_t>(k);
    for (int k = 1; k < 4; ++k) {
        SSFrame3[size_t(k)]->hide();
        SSFrame4[size_t(k)]->hide();
    }
    fillPositionLists(g_TapCount);
    platform::pumpEvents();

    InitVccOptions();
    supply->lblUserVCC->hide();
    supply->txtUserVCC->hide();
}
