#include "updown/frmDCP_UD1.h"

#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "devices/device_model.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "platform/services.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "updown/UPDN_Runin.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kRed = 12, kBlack = 0;

const std::vector<PinConsole::Line>& udLines()
{
    static const std::vector<PinConsole::Line> lines = {
        {"/CS1", 6, "Sets CS1 high if checked, Low if Unchecked."},
        {"/INC", 9, "Sets /INC high if checked, Low if Unchecked."},
        {"Up / Down", 10, "Sets U/D  high if checked, Low if Unchecked."},
        {"RSVD", -1, ""},
        {"/CS2", 7, "Sets /CS2 high if checked, Low if Unchecked."},
        {"/INC", 9, "Sets /INC  high if checked, Low if Unchecked."},
        {"Up / Down", 10, "Sets U/D high if checked, Low if Unchecked."},
        {"RSVD", -1, ""},
    };
    return lines;
}

const char* const kModeTable =
    "<table border=1 cellspacing=0 cellpadding=3>"
    "<tr><th>/CS</th><th>/INC</th><th>U/D</th><th>Mode</th></tr>"
    "<tr><td>L</td><td>&#8595;</td><td>H</td><td>Wiper Up</td></tr>"
    "<tr><td>L</td><td>&#8595;</td><td>L</td><td>Wiper Down</td></tr>"
    "<tr><td>&#8593;</td><td>H</td><td>X</td><td>Store Wiper Position</td></tr>"
    "<tr><td>&#8593;</td><td>L</td><td>X</td><td>No Store, Return to Standby</td></tr>"
    "<tr><td>H</td><td>X</td><td>X</td><td>Standby</td></tr></table>";

} // namespace

frmDCP_UD1::frmDCP_UD1() : PinConsole({true, true}, udLines())
{
    setWindowTitle("Vantrel UD (Up / Down)  DCP Evaluation");

    cmdRunin = button("Show Run In");
    connect(cmdRunin, &QPushButton::clicked, this, [this] { cmdRunin_Click(); });
    QPalette blue = lblProduct->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    lblProduct->setPalette(blue);
    QFont bold = lblProduct->font();
    bold.setBold(true);
    lblProduct->setFont(bold);

    FrmChannels = new QGroupBox("DCPs");
    FrmChannels->setToolTip("Sets number of DCP Channels");
    auto* ch = new QHBoxLayout(FrmChannels);
    OptChans[0] = new QRadioButton("1");
    OptChans[0]->setToolTip("Single Channel DCP");
    OptChans[1] = new QRadioButton("2");
    OptChans[1]->setToolTip("Dual Channel DCP");
    OptChans[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        ch->addWidget(OptChans[size_t(i)]);
        connect(OptChans[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptChans_Click(i); });
    }

    FrmCS = new QGroupBox("DCP Device Type");
    auto* cs = new QHBoxLayout(FrmCS);
    OptCS[0] = new QRadioButton("Single");
    OptCS[1] = new QRadioButton("Dual");
    OptCS[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        OptCS[size_t(i)]->setEnabled(false);
        cs->addWidget(OptCS[size_t(i)]);
        connect(OptCS[size_t(i)], &QRadioButton::toggled, this, [this, i] { OptCS_Click(i); });
    }

    Picture3 = new QLabel(kModeTable);
    Picture3->setTextFormat(Qt::RichText);

    SSFMain = new QGroupBox("  Up / Down Digital Potentiometer Control  ");
    auto* main = new QGridLayout(SSFMain);
    for (int k = 0; k < 2; ++k) {
        main->addWidget(buildStaticFrame(k), 0, k);
        main->addWidget(buildIncrFrame(k), 1, k);
        main->addWidget(buildExitFrame(k), 2, k);
    }
    auto* side = new QVBoxLayout;
    side->addWidget(Picture3);
    side->addWidget(FrmCS);
    side->addWidget(rfADRead);
    side->addStretch();
    main->addLayout(side, 0, 2, 3, 1);
    FrmStaticIO[1]->hide();
    FrmIncr[1]->hide();
    FrmExit[1]->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(lblProduct);
    top->addWidget(FrmChannels);
    top->addStretch();
    top->addWidget(cmdRunin);
    top->addWidget(cmdMMenu);

    placeFrames(top, SSFMain);
}

QGroupBox* frmDCP_UD1::buildStaticFrame(int k)
{
    auto* f = new QGroupBox(QStringLiteral("Direct Up /Down Bit Control DCP #%1").arg(k + 1));
    FrmStaticIO[size_t(k)] = f;
    auto* v = new QVBoxLayout(f);
    for (int b = 4 * k; b < 4 * k + 4; ++b) {
        QWidget* row = lineRow(b);
        v->addWidget(row);
        if (b % 4 == 3)
            row->hide(); // reserved
    }
    cmdAlloutsHigh[size_t(k)] = button("Set All High", "Set all U/D Bits High");
    connect(cmdAlloutsHigh[size_t(k)], &QPushButton::clicked, this, [this, k] { cmdAlloutsHigh_Click(k); });
    auto* h = new QHBoxLayout;
    h->addWidget(cmdAlloutsHigh[size_t(k)]);
    if (k == 0) {
        cmdSampleBits = button("Sample");
        connect(cmdSampleBits, &QPushButton::clicked, this, [this] { cmdSampleBits_Click(); });
        h->addWidget(cmdSampleBits);
    }
    v->addLayout(h);
    return f;
}

QGroupBox* frmDCP_UD1::buildIncrFrame(int k)
{
    auto* f = new QGroupBox(QStringLiteral("Increment / Decrement DCP #%1").arg(k + 1));
    FrmIncr[size_t(k)] = f;
    auto* g = new QGridLayout(f);
    const int up = 2 * k, down = 2 * k + 1;
    cmdIncr[size_t(up)] = button("Up");
    cmdIncr[size_t(down)] = button("Down");
    txtIncr[size_t(up)] = numberBox("10", "Enter numeric Inc Count Value");
    txtIncr[size_t(down)] = numberBox("10", "Enter numeric Dec Count Value");
    txtDelay[size_t(k)] = numberBox("50", "Delay in mSec ");
    Label2[size_t(k)] = new QLabel("Count                Period mSec");
    ChlAutoCS[size_t(down)] = new QCheckBox(QStringLiteral("/CS%1  Set High after Inc/Dec (No Store)").arg(k + 1));
    ChlAutoCS[size_t(down)]->setToolTip(k == 0 ? "If checked, CS is automatically set high after Inc / Dec."
                                               : "If checked, /CS is automatically set high after Inc / Dec.");
    cmdAbortIncr[size_t(k)] = abortButton();
    g->addWidget(Label2[size_t(k)], 0, 1, 1, 2);
    g->addWidget(cmdIncr[size_t(up)], 1, 0);
    g->addWidget(txtIncr[size_t(up)], 1, 1);
    g->addWidget(txtDelay[size_t(k)], 1, 2, 2, 1, Qt::AlignVCenter);
    g->addWidget(cmdIncr[size_t(down)], 2, 0);
    g->addWidget(txtIncr[size_t(down)], 2, 1);
    g->addWidget(ChlAutoCS[size_t(down)], 3, 0, 1, 3);
    g->addWidget(cmdAbortIncr[size_t(k)], 4, 0);
    for (int i : {up, down})
        connect(cmdIncr[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdIncr_Click(i); });
    connect(ChlAutoCS[size_t(down)], &QCheckBox::toggled, this, [this, down] { ChlAutoCS_Click(down); });
    connect(cmdAbortIncr[size_t(k)], &QPushButton::clicked, this, [this, k] { cmdAbortIncr_Click(k); });
    return f;
}

QGroupBox* frmDCP_UD1::buildExitFrame(int k)
{
    auto* f = new QGroupBox("End Sequence");
    FrmExit[size_t(k)] = f;
    auto* h = new QHBoxLayout(f);
    const int store = 2 * k, noStore = 2 * k + 1;
    cmdSequence[size_t(store)] = button("Store", "Set Inc High, then set CS High");
    cmdSequence[size_t(noStore)] = button("No Store", "Set Inc Low, then set CS High");
    for (int i : {store, noStore}) {
        h->addWidget(cmdSequence[size_t(i)]);
        connect(cmdSequence[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdSequence_Click(i); });
    }
    return f;
}

// ---------------------------------------------------------------------------------------

void frmDCP_UD1::Form_Load()
{
    loadCommon();
    cmdAlloutsHigh_Click(0);
    cmdAlloutsHigh_Click(1);
    platform::pumpEvents();
}

void frmDCP_UD1::cmdAlloutsHigh_Click(int)
{
    for (QPushButton* b : cmdAlloutsHigh)
        b->setEnabled(false);
    platform::pumpEvents();
    allLinesHigh({0, 1, 2, 3, 4, 5, 6, 7}, {6, 7, 9, 10});
    for (QPushButton* b : cmdAlloutsHigh)
        b->setEnabled(true);
    platform::pumpEvents();
    g_PinBatch = false;
    platform::pumpEvents();
}

void frmDCP_UD1::cmdSampleBits_Click()
{
    frmMotherboardDAQ2& mb = forms().frmMotherboardDAQ2();
    mb.cmdReadPipe1_Click();
    // A port the board did not answer reads "--": taking that for 0 would drive the lines low
    // and could step the wiper. The boxes keep what they show.
    const QString port0 = mb.txtPBufRd[0]->text();
    const QString port1 = mb.txtPBufRd[1]->text();
    if (!devices::isHexDigits(port0) || !devices::isHexDigits(port1))
        return;
    const int p0 = HexToInt(port0);
    const int p1 = HexToInt(port1);
    const bool levels[] = {(p0 >> 6 & 1) != 0, (p1 >> 1 & 1) != 0, (p1 >> 2 & 1) != 0};
    for (int b = 0; b < 3; ++b) {
        ShpOut[size_t(b)]->setFillColor(levels[b] ? kRed : kBlack);
        setLine(b, levels[b]);
    }
}

void frmDCP_UD1::OptChans_Click(int Index)
{
    const bool dual = Index == 1;
    OptCS[dual ? 1 : 0]->setChecked(true);
    FrmStaticIO[1]->setVisible(dual);
    FrmIncr[1]->setVisible(dual);
    FrmExit[1]->setVisible(dual);
    platform::pumpEvents();
}

void frmDCP_UD1::OptCS_Click(int) { platform::pumpEvents(); }

void frmDCP_UD1::ChlAutoCS_Click(int Index)
{
    if (Index == 1 || Index == 3)
        cmdSequence[size_t(Index)]->setVisible(!ChlAutoCS[size_t(Index)]->isChecked());
}

void frmDCP_UD1::cmdIncr_Click(int Index) { updown::upDownTrain(*this, Index); }
void frmDCP_UD1::cmdSequence_Click(int Index) { updown::upDownSequence(*this, Index); }

void frmDCP_UD1::cmdAbortIncr_Click(int)
{
    g_AbortIncr = true;
    platform::pumpEvents();
}

void frmDCP_UD1::cmdRunin_Click() { forms().UPDN_Runin.show(); }

// ---------------------------------------------------------------------------------------
// What the trains need of the window

int frmDCP_UD1::count(int index) { return readNumber(txtIncr[size_t(index)], "1"); }
int frmDCP_UD1::period(int dcp) { return readNumber(txtDelay[size_t(dcp - 1)], "0"); }

void frmDCP_UD1::trainRunning(int dcp, bool running)
{
    for (QPushButton* b : cmdSequence)
        b->setEnabled(!running);
    for (QPushButton* b : cmdAlloutsHigh)
        b->setEnabled(!running);
    for (QPushButton* b : cmdIncr)
        b->setEnabled(!running);
    if (!running)
        cmdAbortIncr[size_t(dcp - 1)]->hide();
}

void frmDCP_UD1::showAbort(int dcp) { cmdAbortIncr[size_t(dcp - 1)]->show(); }

bool frmDCP_UD1::csHighAfterTrain(int dcp) const { return ChlAutoCS[size_t(2 * dcp - 1)]->isChecked(); }

void frmDCP_UD1::disableNoStore(int dcp) { cmdSequence[size_t(2 * dcp - 1)]->setEnabled(false); }
