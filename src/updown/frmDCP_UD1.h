#pragma once
// The up/down console: one or two up/down potentiometers worked through port lines (/CS1 and
// /CS2, shared /INC and U/D). Direct line boxes, counted pulse trains on /INC, the store and
// no-store endings, the supply panel and the analog inputs; every single line change is
// followed by a reading of the wiper on VIN0. Its "Show Run In" button opens the run-in test.
#include "updown/pin_console.h"

class QRadioButton;

class frmDCP_UD1 : public PinConsole {
    Q_OBJECT
public:
    frmDCP_UD1();

    QPushButton* cmdRunin = nullptr; // "Show Run In"
    QGroupBox* FrmChannels = nullptr; // "DCPs"
    std::array<QRadioButton*, 2> OptChans{};
    QGroupBox* SSFMain = nullptr;
    QLabel* Picture3 = nullptr; // the part's mode table
    std::array<QGroupBox*, 2> FrmStaticIO{};
    std::array<QPushButton*, 2> cmdAlloutsHigh{};
    QPushButton* cmdSampleBits = nullptr;
    std::array<QGroupBox*, 2> FrmIncr{};
    std::array<QGroupBox*, 2> FrmExit{};
    QGroupBox* FrmCS = nullptr; // "DCP Device Type"
    std::array<QRadioButton*, 2> OptCS{};
    std::array<QPushButton*, 4> cmdIncr{};   // Up, Down of DCP #1; Up, Down of DCP #2
    std::array<QLineEdit*, 4> txtIncr{};
    std::array<QLineEdit*, 2> txtDelay{};
    std::array<QLabel*, 2> Label2{};
    std::array<QCheckBox*, 4> ChlAutoCS{};   // (1) and (3): /CS high after a train
    std::array<QPushButton*, 2> cmdAbortIncr{};
    std::array<QPushButton*, 4> cmdSequence{}; // Store, No Store of DCP #1; of DCP #2

    void Form_Load();
    void cmdAlloutsHigh_Click(int Index);
    void cmdSampleBits_Click();
    void OptChans_Click(int Index);
    void OptCS_Click(int Index);
    void ChlAutoCS_Click(int Index);
    void cmdIncr_Click(int Index);
    void cmdSequence_Click(int Index);
    void cmdAbortIncr_Click(int Index);
    void cmdRunin_Click();

    // --- LineHost
    int count(int index) override;
    int period(int dcp) override;
    void trainRunning(int dcp, bool running) override;
    void showAbort(int dcp) override;
    bool csHighAfterTrain(int dcp) const override;
    void disableNoStore(int dcp) override;

private:
    QGroupBox* buildStaticFrame(int k);
    QGroupBox* buildIncrFrame(int k);
    QGroupBox* buildExitFrame(int k);
};
