#pragma once
// The push-button console: one push-button potentiometer worked by its active-low button
// lines (/CS1, /STORE, /MUTE, /UP, /DOWN). Direct line boxes, counted press trains with an
// optional store pulse, press-and-hold and shutdown sequences, the supply panel and the
// analog inputs. The part loses its supply each time the window comes back to the front.
#include "updown/pin_console.h"

class frmDCP_PB1 : public PinConsole {
    Q_OBJECT
public:
    frmDCP_PB1();

    QGroupBox* SSFMain = nullptr;
    QGroupBox* FrmStaticIO = nullptr;
    QPushButton* cmdAlloutsHigh = nullptr;
    QGroupBox* FrmIncr = nullptr; // "Increment / Decrement"
    QGroupBox* FrmExit = nullptr; // "Press and Hold"
    std::array<QPushButton*, 2> cmdIncr{};
    std::array<QLineEdit*, 2> txtIncr{};
    QLineEdit* txtDelay = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QCheckBox*, 2> ChlAutoCS{}; // (1) "Toggle Store"
    QLabel* blAutoStore = nullptr;
    QPushButton* cmdAbortIncr = nullptr;
    std::array<QPushButton*, 5> cmdSequence{};
    std::array<QLineEdit*, 3> txtPressAndHold{};

    void Form_Load();
    void cmdAlloutsHigh_Click();
    void ChlAutoCS_Click(int Index);
    void cmdIncr_Click(int Index);
    void cmdSequence_Click(int Index);
    void cmdAbortIncr_Click();

    // --- LineHost
    int count(int index) override;
    int period(int) override;
    void trainRunning(int, bool running) override;
    void showAbort(int) override;
    bool storeAfterTrain() const override;
    int holdTime(int index) override;
    void holdRunning(bool running) override;

protected:
    void activated() override;
};
