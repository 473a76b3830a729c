#include "motherboard/FrmVCCCal.h"

#include "bridge/protocol.h"
#include "controls/lamp.h"
#include "controls/quiet_select.h"
#include "link/hid.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "motherboard/supply.h"
#include "motherboard/vcc_cal_file.h"
#include "motherboard/vcc_sweep.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

namespace {

const QString kTitle = QStringLiteral("DCP VCC Calibration");

QPushButton* button(const QString& text, const QString& tip)
{
    auto* b = new QPushButton(text);
    b->setToolTip(tip);
    return b;
}

QLabel* cell(const QString& text)
{
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance("00.0000") + 12);
    return l;
}

} // namespace

FrmVCCCal::FrmVCCCal()
{
    setWindowTitle(kTitle);

    auto* columns = new QHBoxLayout;
    columns->addWidget(buildButtons());

    auto* middle = new QVBoxLayout;
    auto* calibrating = new QGroupBox("  Calibrating            HEX                       VOLTS              ");
    auto* now = new QHBoxLayout(calibrating);
    lblCalHex = cell("--");
    lblCalVolts = cell("--------");
    lblCalVolts->setMinimumWidth(lblCalVolts->fontMetrics().horizontalAdvance("00.000000") + 12);
    now->addStretch(2);
    now->addWidget(lblCalHex);
    now->addStretch(2);
    now->addWidget(lblCalVolts);
    now->addStretch(1);
    middle->addWidget(calibrating);
    middle->addWidget(buildTargetTable());
    middle->addStretch(1);
    columns->addLayout(middle);

    rtxt1 = new QPlainTextEdit;
    rtxt1->setReadOnly(true);
    rtxt1->setMinimumWidth(rtxt1->fontMetrics().horizontalAdvance("7F   ,  0.000000") + 40);
    columns->addWidget(rtxt1, 1);

    auto* status = new QHBoxLayout;
    lblCalStatus = new QLabel("Running");
    QFont bold = lblCalStatus->font();
    bold.setBold(true);
    lblCalStatus->setFont(bold);
    status->addWidget(lblCalStatus);
    status->addStretch(1);

    auto* headerBox = new QVBoxLayout;
    headerBox->addWidget(new QLabel("Calibration File Header"));
    lblCal_header = new QLabel;
    lblCal_header->setFrameShape(QFrame::Panel);
    lblCal_header->setFrameShadow(QFrame::Sunken);
    lblCal_header->setMinimumWidth(lblCal_header->fontMetrics().horizontalAdvance("DCP VCC Calibration 12-31-2099 23:59:59") + 16);
    lblCal_header->setMinimumHeight(lblCal_header->fontMetrics().height() + 8);
    headerBox->addWidget(lblCal_header);

    auto* all = new QVBoxLayout(this);
    all->addLayout(columns, 1);
    all->addLayout(status);
    all->addLayout(headerBox);

    // Present only so that the supply switching finds them on the registered window.
    auto* hiddenSupply = new QWidget(this);
    auto* hl = new QHBoxLayout(hiddenSupply);
    optVM_[0] = new QRadioButton("On");
    optVM_[1] = new QRadioButton("Off");
    optVM_[1]->setChecked(true);
    chkTrack_ = new QCheckBox("Track V+");
    chkTrack_->setChecked(true);
    hl->addWidget(optVM_[0]);
    hl->addWidget(optVM_[1]);
    hl->addWidget(chkTrack_);
    hiddenSupply->hide();

    connect(cmdDoVCC_Cal, &QPushButton::clicked, this, [this] { cmdDoVCC_Cal_Click(); });
    connect(cmdAbort, &QPushButton::clicked, this, [this] { cmdAbort_Click(); });
    connect(cmdReturn, &QPushButton::clicked, this, [this] { cmdReturn_Click(); });
    connect(cmdSaveCal, &QPushButton::clicked, this, [this] { cmdSaveCal_Click(); });
    connect(cdmRead_Cal_File, &QPushButton::clicked, this, [this] { cdmRead_Cal_File_Click(); });
    txtVrefCal->installEventFilter(this);
    // A fixed size, taken with "Abort Calibration" in place: when it shows during a sweep the
    // buttons under it move into the free space below them, and the window neither grows
    // nor keeps a gap afterwards.
    const QSize withAbort = sizeHint();
    cmdAbort->hide();
    setFixedSize(withAbort);
}

FrmVCCCal::~FrmVCCCal()
{
    // Shared code paints the registered window; it must never find this one once it is gone.
    if (g_ActiveForm == this)
        g_ActiveForm = nullptr;
}

QWidget* FrmVCCCal::buildButtons()
{
    auto* box = new QWidget;
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    cmdDoVCC_Cal = button("Run Calibrate", "Performs a Calibration Sequence on Device VCC supply of motherboard.");
    cmdAbort = button("Abort Calibration", "Click to exit auto calibration"); // hidden once the window is sized
    cmdSaveCal = button("Write Calibration File", "Updates Calibration File in Project Directory");
    cmdSaveCal->setEnabled(false);
    cdmRead_Cal_File = button("Read Calibration File", "Reads Calibration file in project directory.");
    cmdReturn = button("Return to Menu", "Return to Startup / Device Selection Sceen");
    for (auto* b : {cmdDoVCC_Cal, cmdAbort, cmdSaveCal, cdmRead_Cal_File, cmdReturn})
        v->addWidget(b);

    auto* vrefFrame = new QGroupBox("VREF Voltage");
    auto* vh = new QHBoxLayout(vrefFrame);
    txtVrefCal = new QLineEdit("3.3");
    txtVrefCal->setToolTip("Option to adjust VREF (VDD) value used in AD Calculations.");
    txtVrefCal->setMaximumWidth(txtVrefCal->fontMetrics().horizontalAdvance("0.00000") + 16);
    vh->addWidget(txtVrefCal);
    vh->addStretch(1);
    v->addWidget(vrefFrame);

    auto* statusFrame = new QGroupBox("VCC Status");
    auto* sh = new QHBoxLayout(statusFrame);
    shpVCCon_ = new Lamp;
    shVM_ = new Lamp;
    for (auto [lamp, sign] : {std::pair{shpVCCon_, "+"}, std::pair{shVM_, "-"}}) {
        sh->addWidget(new QLabel(sign));
        lamp->setFixedSize(18, 18);
        sh->addWidget(lamp);
        sh->addSpacing(12);
    }
    sh->addStretch(1);
    v->addWidget(statusFrame);
    v->addStretch(1);
    return box;
}

QWidget* FrmVCCCal::buildTargetTable()
{
    auto* table = new QFrame;
    table->setFrameShape(QFrame::StyledPanel);
    auto* g = new QGridLayout(table);
    for (int k = 0; k < 8; ++k) {
        blbTargetV[k] = cell(k == 0 ? "Volts" : "2.7");
        lblTargetHex[k] = cell(k == 0 ? "Hex" : "--");
        lblTargetV[k] = cell(k == 0 ? "Actual V" : "0.0000");
        lblTargetV[k + 8] = cell(k == 0 ? "V * 2" : "0.0000");
        g->addWidget(blbTargetV[k], k, 0);
        g->addWidget(lblTargetHex[k], k, 1);
        g->addWidget(lblTargetV[k], k, 2);
        g->addWidget(lblTargetV[k + 8], k, 3);
    }
    return table;
}

QRadioButton* FrmVCCCal::OptVM(int index)
{
    return index >= 0 && index < static_cast<int>(optVM_.size()) ? optVM_[static_cast<size_t>(index)] : nullptr;
}

void FrmVCCCal::showSuppliesOff()
{
    constexpr int kBlack = 0;
    selectQuietly(optVM_, 1);
    shpVCCon_->setFillColor(kBlack);
    shVM_->setFillColor(kBlack);
}

// ---------------------------------------------------------------------------------------
// Load, activation, unload

void FrmVCCCal::Form_Load() { lblCalStatus->setText("----"); }

void FrmVCCCal::Form_Activate()
{
    g_ActiveForm = this;
    cmdSaveCal->setEnabled(false);
}

void FrmVCCCal::Form_Unload()
{
    // Shared code must not paint a window that is going.
    if (g_ActiveForm == this)
        g_ActiveForm = nullptr;
    if (sweeping_) {
        // The sweep runs below us, inside this window's own handler: stop it, and keep the
        // window alive until it has unwound.
        unloading_ = true;
        g_CalRunning = false;
    }
}

void FrmVCCCal::closeEvent(QCloseEvent* e)
{
    e->ignore();
    // The menu hid itself when it opened this window: closing it unloads it (which stops a
    // running sweep) and brings the menu back, as "Return to Menu" does, so the program is
    // never left running with no window on screen.
    if (forms().FrmVCCCal.get() == this)
        forms().FrmVCCCal.unload();
    else
        hide();
    g_ReturnToMenu = true;
    forms().frmStartup.show();
}

bool FrmVCCCal::event(QEvent* e)
{
    if (e->type() == QEvent::DeferredDelete && sweeping_) {
        deleteDeferred_ = true; // deleted when the sweep has ended
        return true;
    }
    return QWidget::event(e);
}

bool FrmVCCCal::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == txtVrefCal && e->type() == QEvent::FocusOut) {
        // Only a move to another control is leaving the field; another window coming to the
        // front (a message box) is not.
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtVrefCal_LostFocus();
    }
    return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------
// The sweep

bool FrmVCCCal::linkLost() const { return LinkRetryCount() != linkRetriesAtStart_; }

bool FrmVCCCal::stopRequested() const { return !g_CalRunning || unloading_ || linkLost(); }

void FrmVCCCal::cmdDoVCC_Cal_Click()
{
    if (sweeping_)
        return;
    sweeping_ = true;
    // A board searched again after a link-error Retry may not be the board the sweep started
    // on, or may hold another code: the sweep ends as aborted and sends nothing more.
    const LinkRun linkRun;
    linkRetriesAtStart_ = LinkRetryCount();
    for (QWidget* w : std::initializer_list<QWidget*>{cmdDoVCC_Cal, txtVrefCal, cmdSaveCal, cdmRead_Cal_File, cmdReturn})
        w->setEnabled(false);
    cmdAbort->show();

    g_CalRunning = true;
    platform::pumpEvents();
    lblCalStatus->setText("Calibration in Process");
    resetTargetRows(true);

    SetVCC(0);
    rtxt1->clear();
    // The list's handler selects the VCC/2 input in the bridge (also when the list shows it
    // already but the bridge was moved since) and converts once.
    forms().frmMotherboardDAQ2().Combo1->setCurrentIndex(g_VccAdcChannel);
    platform::pumpEvents();

    std::vector<double> readings;
    readings.reserve(vcccal::kCodeCount);
    SweepEnd end = SweepEnd::Completed;
    QString why;
    for (int code = 0; code < vcccal::kCodeCount; ++code) {
        if (stopRequested()) {
            end = SweepEnd::Aborted;
            break;
        }
        const QString hex = Hex2(static_cast<std::uint8_t>(code));
        forms().frmMotherboardDAQ2().txtSPIwr[7]->setText(hex);
        lblCalHex->setText(hex);
        forms().frmMotherboardDAQ2().cmdSPIWrite2_Click();
        platform::pumpEvents();
        if (!measure(code, readings, end, why))
            break;
    }
    if (end == SweepEnd::Completed) {
        why = vcccal::riseProblem(readings);
        if (why.isEmpty())
            showResults(readings);
        else
            end = SweepEnd::Failed;
    }
    finishSweep(end, why);
}

bool FrmVCCCal::measure(int code, std::vector<double>& readings, SweepEnd& end, QString& why)
{
    const auto read = []() -> std::optional<double> {
        platform::sleepMs(10);
        forms().frmMotherboardDAQ2().READ_AD();
        if (!g_AdcConversionOk)
            return std::nullopt;
        return g_AdcVolts;
    };
    const auto stop = [this] {
        platform::pumpEvents();
        return stopRequested();
    };
    const vcccal::SettledReading r = vcccal::settleReading(read, stop);
    using Outcome = vcccal::SettledReading::Outcome;
    if (r.outcome == Outcome::Stopped) {
        end = SweepEnd::Aborted;
        return false;
    }
    if (r.outcome == Outcome::Failed) {
        lblCalVolts->setText(bridge::kNoReadingText); // never the last code's reading
        if (linkLost()) {
            end = SweepEnd::Aborted;
            return false;
        }
        end = SweepEnd::Failed;
        why = QString("no ADC reading came at code %1").arg(Hex2(static_cast<std::uint8_t>(code)));
        return false;
    }
    readings.push_back(r.volts);
    lblCalVolts->setText(Format(r.volts, "#0.000000"));
    rtxt1->appendPlainText(Hex2(static_cast<std::uint8_t>(code)) + "   ,  " + lblCalVolts->text());
    platform::pumpEvents();
    return true;
}

void FrmVCCCal::showResults(const std::vector<double>& readings)
{
    const auto chosen = vcccal::nearestCodes(readings);
    for (size_t k = 1; k <= chosen.size(); ++k) {
        const double v = readings[static_cast<size_t>(chosen[k - 1])];
        lblTargetHex[k]->setText(Hex2(static_cast<std::uint8_t>(chosen[k - 1])));
        lblTargetV[k]->setText(Format(v, "0.0000"));
        lblTargetV[k + 8]->setText(Format(2 * v, "0.0000"));
    }
}

void FrmVCCCal::finishSweep(SweepEnd end, const QString& why)
{
    // An aborted sweep leaves VCC on at the last code written, so the user can measure it.
    if (end != SweepEnd::Aborted)
        SetVCC(1);
    cmdDoVCC_Cal->setEnabled(true);
    cmdSaveCal->setEnabled(end == SweepEnd::Completed);
    cdmRead_Cal_File->setEnabled(true);
    cmdReturn->setEnabled(true);
    cmdAbort->hide();
    if (end != SweepEnd::Aborted) {
        txtVrefCal->setEnabled(true);
        platform::pumpEvents();
    }
    sweeping_ = false;

    switch (end) {
    case SweepEnd::Completed:
        lblCalStatus->setText("Completed");
        break;
    case SweepEnd::Aborted:
        lblCalStatus->setText("Calibration Aborted");
        break;
    case SweepEnd::Failed:
        lblCalStatus->setText("Calibration Failed");
        if (!unloading_)
            platform::msgBox("VCC calibration failed: " + why
                                 + ". Check that VCC switches on and that VIN4 reads VCC/2. Nothing was saved; the "
                                   "calibration file is unchanged.",
                             platform::vbOKOnly, kTitle);
        break;
    }
    if (deleteDeferred_)
        deleteLater();
}

void FrmVCCCal::cmdAbort_Click() { g_CalRunning = false; }

// ---------------------------------------------------------------------------------------
// The calibration file

void FrmVCCCal::resetTargetRows(bool sweepTargets)
{
    for (size_t k = 1; k <= vcccal::kTargets.size(); ++k) {
        blbTargetV[k]->setText(sweepTargets ? Format(vcccal::kTargets[k - 1], "0.0") : QString("x.x"));
        lblTargetV[k]->setText("--");
        lblTargetV[k + 8]->setText("--");
        lblTargetHex[k]->setText("--");
    }
}

double FrmVCCCal::normaliseVrefField()
{
    if (const auto v = plausibleVref(txtVrefCal->text()))
        return *v;
    txtVrefCal->setText("3.3");
    return 3.3;
}

VccCalibration FrmVCCCal::fieldsAsCalibration() const
{
    VccCalibration cal;
    cal.vrefText = txtVrefCal->text().trimmed();
    cal.vref = vrefCal_;
    for (size_t k = 1; k <= cal.rows.size(); ++k)
        cal.rows[k - 1] = {blbTargetV[k]->text(), lblTargetHex[k]->text(), lblTargetV[k]->text(), lblTargetV[k + 8]->text()};
    return cal;
}

void FrmVCCCal::cmdSaveCal_Click()
{
    g_CalRunning = false;
    vrefCal_ = normaliseVrefField();
    VccCalibration cal = fieldsAsCalibration();
    cal.header = vccCalibrationHeader(platform::services().now());
    const QString error = writeVccCalibrationFile(vccCalibrationPath(), cal);
    if (!error.isEmpty()) {
        platform::msgBox(error, platform::vbOKOnly, kTitle);
        return;
    }
    lblCal_header->setText(cal.header);
    lblCalStatus->setText("Cal File Updated");
}

void FrmVCCCal::cdmRead_Cal_File_Click()
{
    resetTargetRows(false);
    txtVrefCal->setText("---");
    platform::pumpEvents();
    platform::sleepMs(300);

    const QString path = vccCalibrationPath();
    VccCalibrationRead r;
    r.missing = true;
    if (FileExistsInAppPath(vccCalibrationFileName()))
        r = readVccCalibrationFile(path);
    if (!r.ok) {
        platform::msgBox(r.message(path), platform::vbOKOnly, kTitle);
        return;
    }
    lblCal_header->setText(r.cal.header);
    txtVrefCal->setText(r.cal.vrefText);
    vrefCal_ = r.cal.vref;
    for (size_t k = 1; k <= r.cal.rows.size(); ++k) {
        const VccCalRow& row = r.cal.rows[k - 1];
        blbTargetV[k]->setText(row.target);
        lblTargetHex[k]->setText(row.code);
        lblTargetV[k]->setText(row.vin);
        lblTargetV[k + 8]->setText(row.vcc);
    }
    lblCalStatus->setText("Cal File Read");
}

void FrmVCCCal::txtVrefCal_LostFocus()
{
    vrefCal_ = normaliseVrefField();
    g_AdcVref = vrefCal_;
}

void FrmVCCCal::cmdReturn_Click()
{
    g_ReturnToMenu = true;
    hide();
    forms().frmStartup.show();
    platform::pumpEvents();
}
