#pragma once
// What the two pin-driven consoles share: line boxes with lamps that drive motherboard pins
// through its port image, the supply and AD panel, the analog-input sample frame, Return to
// Main Menu, About and closing. The consoles add their own frames and sequences.
#include "shell/activeform.h"
#include "updown/line_sequences.h"

#include <QMainWindow>

#include <array>
#include <vector>

class Lamp;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class SupplyPanel;

class PinConsole : public QMainWindow, public DeviceFormControls, public updown::LineHost {
    Q_OBJECT
public:
    struct Line {
        const char* caption;
        int pin; // port * 8 + bit; -1: no pin
        const char* tip;
    };
    struct Variant {
        bool sampleAfterLineChange; // the up/down console reads VIN0 after each line change
        bool supplyPauses;          // two event passes after switching VCC
    };
    PinConsole(const Variant& variant, const std::vector<Line>& lines);

    // --- line boxes
    std::vector<QCheckBox*> ChOut;
    std::vector<Lamp*> ShpOut;
    void ChOut_Click(int Index);

    // --- analog inputs
    QGroupBox* rfADRead = nullptr; // "Vin0-Vin3 Analog Inputs Sample"
    std::array<QPushButton*, 4> cmdSampleWiper{};
    std::array<QLabel*, 4> lblADChan{};
    std::array<QLabel*, 4> lblWiperVolts{};
    void cmdSampleWiper_Click(int Index);

    // --- supply and AD panel
    SupplyPanel* supply = nullptr;
    QLabel* lblUDCode = nullptr; // the panel's code label
    void OptVCC_Click(int Index);
    void CboVCC_LostFocus();

    QPushButton* cmdMMenu = nullptr; // "Return to Main Menu"
    QLabel* lblProduct = nullptr;    // "Manual Setup"
    QAction* mnuAbout = nullptr;
    void cmdMMenu_Click();
    void mnuAbout_Click();
    // Registers the window as the one in front and runs the console's own activation.
    void Form_Activate();

    // --- what shared code paints on the registered window
    Lamp* ShpVCCon() override;
    Lamp* ShVM() override;
    QRadioButton* OptVM(int index) override;
    QComboBox* CboVCC() override;
    QCheckBox* ChkTrack() override;
    void showSuppliesOff() override;

    // --- LineHost
    bool line(int box) const override;
    void setLine(int box, bool high) override;
    bool pinLevel(int box) const override;
    void lineChanged(int box) override { ChOut_Click(box); }
    void writePorts() override;
    void sampleWiper() override { cmdSampleWiper_Click(0); }
    bool vccOn() const override;

protected:
    // Set-up shared by both consoles, up to setting the lines high.
    void loadCommon();
    // Registers the window on activation from another window of the program.
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    virtual void activated() {}
    void closeEvent(QCloseEvent* e) override;

    static QPushButton* button(const QString& text, const QString& tip = QString());
    // An Abort button, hidden until a train runs; its place is kept while it is hidden, so the
    // controls beside it stay where a click mid-train aims.
    static QPushButton* abortButton(const QString& tip = QString());
    static QLineEdit* numberBox(const QString& text, const QString& tip);
    // The window's layout: the top row above the main frame and the supply column.
    void placeFrames(QLayout* top, QWidget* main);
    // A row of a line box and its lamp.
    QWidget* lineRow(int box);
    QWidget* supplyColumn(); // the panel's frames, one above the other
    // A count or period box's value; text that is no number resets the box to fallback.
    static int readNumber(QLineEdit* box, const char* fallback);
    // Sets lines high and pins in one port write (the batch), as "Set All High" does.
    void allLinesHigh(const std::vector<int>& boxes, const std::vector<int>& pins);

    std::vector<Line> lines_;
    Variant variant_;

private:
    QWidget* buildSampleFrame();
    bool leftForOther_ = false;
};
