#include "updown/frmDCP_PB1.h"

#include "devices/SupplyPanel.h"
#include "motherboard/supply.h"
#include "platform/services.h"
#include "shell/globals.h"

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

const std::vector<PinConsole::Line>& pbLines()
{
    // /MUTE is P0.2.
    static const std::vector<PinConsole::Line> lines = {
        {"/CS1", 6, "Sets CS1 high if checked, Low if Unchecked."},
        {"/STORE", 7, "Sets Store high if checked, Low if Unchecked."},
        {"/MUTE", 2, "Sets Mute  high if checked, Low if Unchecked."},
        {"/UP", 9, "Sets /Up high if checked, Low if Unchecked."},
        {"/DOWN", 10, "Sets Down high if checked, Low if Unchecked."},
    };
    return lines;
}

const char* const kHoldFallback[] = {"1100", "1100", "5"};

} // namespace

frmDCP_PB1::frmDCP_PB1() : PinConsole({false, false}, pbLines())
{
    setWindowTitle("Vantrel PB (Push Button)  DCP Evaluation");

    FrmStaticIO = new QGroupBox("Direct Push Button  Bit Control");
    auto* io = new QVBoxLayout(FrmStaticIO);
    for (int b = 0; b < 5; ++b)
        io->addWidget(lineRow(b));
    cmdAlloutsHigh = button("Set All High", "Set all Bit Control Pins High");
    connect(cmdAlloutsHigh, &QPushButton::clicked, this, [this] { cmdAlloutsHigh_Click(); });
    io->addWidget(cmdAlloutsHigh);

    FrmIncr = new QGroupBox("Increment / Decrement");
    auto* g = new QGridLayout(FrmIncr);
    cmdIncr[0] = button("Up");
    cmdIncr[1] = button("Down");
    txtIncr[0] = numberBox("10", "Enter Numeric value for Up Count Increment");
    txtIncr[1] = numberBox("10", "Enter numeric value for down count increment");
    txtDelay = numberBox("50", "Delay in mSec between INC / DEC.");
    Label2 = new QLabel("Count                Period mSec");
    ChlAutoCS[1] = new QCheckBox("Toggle Store");
    ChlAutoCS[1]->setToolTip("If checked, Store signal is toggled at end of Inc / Dec");
    blAutoStore = new QLabel("No Store after Inc / Dec");
    cmdAbortIncr = abortButton("Stop Inc / Dec sequence.");
    g->addWidget(Label2, 0, 1, 1, 2);
    g->addWidget(cmdIncr[0], 1, 0);
    g->addWidget(txtIncr[0], 1, 1);
    g->addWidget(txtDelay, 1, 2, 2, 1, Qt::AlignVCenter);
    g->addWidget(cmdIncr[1], 2, 0);
    g->addWidget(txtIncr[1], 2, 1);
    g->addWidget(ChlAutoCS[1], 3, 0, 1, 2);
    g->addWidget(blAutoStore, 4, 0, 1, 3);
    g->addWidget(cmdAbortIncr, 5, 0);
    for (int i = 0; i < 2; ++i)
        connect(cmdIncr[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdIncr_Click(i); });
    connect(ChlAutoCS[1], &QCheckBox::toggled, this, [this] { ChlAutoCS_Click(1); });
    connect(cmdAbortIncr, &QPushButton::clicked, this, [this] { cmdAbortIncr_Click(); });

    FrmExit = new QGroupBox("Press and Hold");
    auto* ex = new QGridLayout(FrmExit);
    static const char* const kCaptions[] = {"Up", "Down", "Toggle Store", "Enable Shutdown", "Release Shutdown"};
    static const char* const kTips[] = {"Hold Up Button Down for x mSec", "Hold Down Button Low for x mSec.",
                                        "Toggle Store Pin low then High", "Set both /PU and /PD low",
                                        "Set both /PU and /PD High"};
    static const char* const kHoldTips[] = {"Amount of time /PU is held low.", "Amount of time /PD is held low.",
                                            "Amount of time Store is Held Low, then released."};
    for (int i = 0; i < 5; ++i) {
        cmdSequence[size_t(i)] = button(kCaptions[i], kTips[i]);
        connect(cmdSequence[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdSequence_Click(i); });
        ex->addWidget(cmdSequence[size_t(i)], i, 0);
        if (i < 3) {
            txtPressAndHold[size_t(i)] = numberBox(kHoldFallback[i], kHoldTips[i]);
            ex->addWidget(txtPressAndHold[size_t(i)], i, 1);
            ex->addWidget(new QLabel("mSec."), i, 2);
        }
    }

    SSFMain = new QGroupBox("  Push Button Digital Potentiometer Control  ");
    auto* main = new QGridLayout(SSFMain);
    main->addWidget(FrmStaticIO, 0, 0);
    main->addWidget(FrmIncr, 0, 1);
    main->addWidget(FrmExit, 1, 1);
    main->addWidget(rfADRead, 1, 0, Qt::AlignTop);

    auto* top = new QHBoxLayout;
    top->addWidget(lblProduct);
    top->addStretch();
    top->addWidget(cmdMMenu);
    placeFrames(top, SSFMain);
}

void frmDCP_PB1::Form_Load()
{
    loadCommon();
    cmdAlloutsHigh_Click();
    blAutoStore->setText("No Store after Inc / Dec");
    platform::pumpEvents();
}

void frmDCP_PB1::activated()
{
    supply->OptVCC[1]->setChecked(true);
    supply->OptVCC_Click(1);
    platform::pumpEvents();
    InitVccOptions();
}

void frmDCP_PB1::cmdAlloutsHigh_Click()
{
    allLinesHigh({0, 1, 2, 3, 4}, {6, 7, 9, 10});
    g_PinBatch = false;
    platform::pumpEvents();
}

void frmDCP_PB1::ChlAutoCS_Click(int)
{
    blAutoStore->setText(ChlAutoCS[1]->isChecked() ? "Store after Inc / Dec" : "No Store after Inc / Dec");
}

void frmDCP_PB1::cmdIncr_Click(int Index) { updown::pushButtonTrain(*this, Index); }
void frmDCP_PB1::cmdSequence_Click(int Index) { updown::pushButtonSequence(*this, Index); }

void frmDCP_PB1::cmdAbortIncr_Click()
{
    g_AbortIncr = true;
    platform::pumpEvents();
}

int frmDCP_PB1::count(int index) { return readNumber(txtIncr[size_t(index)], "1"); }
int frmDCP_PB1::period(int) { return readNumber(txtDelay, "0"); }
int frmDCP_PB1::holdTime(int index) { return readNumber(txtPressAndHold[size_t(index)], kHoldFallback[index]); }

void frmDCP_PB1::trainRunning(int, bool running)
{
    for (QPushButton* b : cmdSequence)
        b->setEnabled(!running);
    cmdAlloutsHigh->setEnabled(!running);
    for (QPushButton* b : cmdIncr)
        b->setEnabled(!running);
    if (!running)
        cmdAbortIncr->hide();
}

void frmDCP_PB1::showAbort(int) { cmdAbortIncr->show(); }

bool frmDCP_PB1::storeAfterTrain() const { return ChlAutoCS[1]->isChecked(); }

void frmDCP_PB1::holdRunning(bool running)
{
    for (QPushButton* b : cmdIncr)
        b->setEnabled(!running);
    for (QPushButton* b : cmdSequence)
        b->setEnabled(!running);
}
