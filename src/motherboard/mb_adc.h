#pragma once
// ADC channels: the input list Combo1, READ_AD, channel update, VCC read-back, sampling.
//
// A client reads a channel by selecting it in Combo1 (which writes the bridge's multiplexer
// and converts once), calling READ_AD twice and taking g_AdcVolts (a wiper) or g_VccVolts
// (VCC, on the VCC/2 input) of the second call.
#include "motherboard/motherboard_group.h"

#include <QComboBox>

#include <array>
#include <functional>

class Lamp;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The list's entries for the 320 bridge: index i names the bridge's positive input of the
// same index; the two hex digits that begin an entry are its multiplexer code.
QStringList adcInputEntries();

// Combo1. Selecting an input from code runs the list's handler when the index changes, and
// also when it stays but the bridge has been switched to another input meanwhile (a VCC
// read-back or the bridge console did that): a client that selects a channel always
// converts that channel.
class AdcInputList : public QComboBox {
public:
    using QComboBox::QComboBox;
    // Hides QComboBox::setCurrentIndex for callers holding an AdcInputList*.
    void setCurrentIndex(int index);
    // Runs when code selects the index the list already shows.
    std::function<void(int index)> sameIndexSelected;
};

class MbAdc : public MotherboardGroup {
public:
    // --- used by other windows (keep these names)
    AdcInputList* Combo1 = nullptr;

    void READ_AD();

    // --- the group's own controls ("ADC Control", and the VCC read-back of "Fixture Supplies")
    QPushButton* cmdSetMode = nullptr;     // "Update AD Channel"
    QLineEdit* txtADDec = nullptr;         // last count, decimal
    std::array<QLineEdit*, 1> txtRdgs{};   // last volts
    QPushButton* cmdSample = nullptr;      // "Loop on Read A/D"
    QPushButton* cmdEndSampling = nullptr; // "Stop Sampling"
    Lamp* shpSample = nullptr;             // blinks while sampling
    QPushButton* cmdSampleVCC = nullptr;   // "Read VCC"
    QLabel* lblVCCVoltsRDBK = nullptr;

    void Combo1_Click();
    void cmdSetMode_Click();
    void cmdSampleVCC_Click();
    void cmdSample_Click();
    void cmdEndSampling_Click();

    // The "Read VCC" button and its reading, for the "Fixture Supplies" frame.
    QWidget* buildVccReadback();

protected:
    using MotherboardGroup::MotherboardGroup;
    QWidget* buildAdcFrame(); // "ADC Control"
};

