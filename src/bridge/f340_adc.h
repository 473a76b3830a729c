#pragma once
// On-chip ADC and external delta-sigma ADC groups of the bridge console.
//
// On-chip ADC (frame "ADC Control", tab "ADC + SFR"): one inner frame per bridge command
// 0x0A..0x11 (clock, reference, multiplexer, conversion mode, averaging count, sample rate,
// enable, conversion). Gets show the raw reply bytes; the conversion publishes its result in
// g_AdcHigh, g_AdcLow, g_AdcCount and g_AdcVolts; g_AdcConversionOk tells whether a reading
// came (a reply with status 0 and a count the 10-bit converter can give), so that a reader of
// the report buffer can tell a fresh result from a stale one or from another reply. The
// multiplexer write also makes the selected port pins analog through the GPIO group.
//
// External ADC (frames "ADC ZN5520 Io" and "Read ZN5520 AD", tab "GPIO"): the converter on
// port P1, reached through command 0x13: pin preparation, register exchange, conversion in
// millivolts (g_ExtAdcCount, g_ExtAdcMillivolts, divided by g_ExtAdcGain).
//
// A query that was not answered fills nothing from the buffer: reply-byte labels fall back to
// "--" (they keep their texts when the request was never written). The on-chip conversion
// keeps its last good results behind g_AdcConversionOk and shows "xxxx" (a reply that is no
// reading shows its count, and publishes nothing); the external
// conversion leaves g_ExtAdcCount and g_ExtAdcMillivolts at 0.
#include "bridge/console_group.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class Lamp;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QString;
class QWidget;

namespace bridge {
struct ExchangeResult;
}

class F340Adc : public ConsoleGroup {
public:
    // --- used by other windows (keep these names)
    QCheckBox* chkADCEnable = nullptr;
    std::array<QComboBox*, 2> cboAnamux{};
    // The positive-input list index that the last mux write put into the bridge; -1 when
    // none went out or the last one failed. The list itself may have moved since.
    int muxPositiveWritten = -1;
    // The count the last conversion's reply carried, a reading or not; -1 when no reply came.
    int replyCount = -1;

    void cmdMuxWrite_Click();
    void cmdADCWrEn_Click();
    void cmdADCRDData_Click();

    // --- "ADC Control"
    QGroupBox* frmADC = nullptr;
    // "ADC Clock 10"
    QPushButton* cmdReadADCClock = nullptr;
    QPushButton* cmdWriteADCClock = nullptr;
    QLineEdit* txtADOSC = nullptr;
    std::array<QLabel*, 4> lblADCClockDaa{};
    // "ADC Mode 11" (the reference control; read only)
    QPushButton* cmdRdADCMode = nullptr;
    std::array<QLabel*, 3> lblADCRefcon{};
    // "ADC Mux Select 12"
    QPushButton* cmdMuxWrite = nullptr;
    QPushButton* cmdRdADMux = nullptr;
    std::array<QLineEdit*, 2> txtModeByte{};
    std::array<QLabel*, 13> lblADMux{};     // captions
    std::array<QLabel*, 13> lblADMuxData{}; // reply bytes
    // "ADC Mode 13"
    QPushButton* cmdADCRDMode16 = nullptr;
    QPushButton* cmdADCWrmode1 = nullptr;
    std::array<QRadioButton*, 2> OptiADCSamples{};
    std::array<QLabel*, 3> lblADCMode1Data{};
    // "ADC Avg Loop Count 14"
    QPushButton* cmdRdADCAvg = nullptr;
    QPushButton* cmdWrtLoopCount = nullptr;
    QLineEdit* txtADCLoopCount = nullptr;
    std::array<QLabel*, 3> lblADCLoopData{};
    // "ADC Sample Rate 15"
    QPushButton* cmdADCRdSampleRate = nullptr;
    QPushButton* cmdADCWriteSampleRate = nullptr;
    std::array<QLineEdit*, 2> txtADSAMP{}; // 0 most, 1 least significant byte
    std::array<QLabel*, 5> lblADCSampleData{};
    // "ADC Enable 16"
    QPushButton* cmdADCRDEnable = nullptr;
    QPushButton* cmdADCWrEn = nullptr;
    std::array<QLabel*, 3> lblADCEnable{};
    Lamp* ShpADCEn = nullptr;
    // "ADC Read"
    QPushButton* cmdADCRDData = nullptr;
    std::array<QComboBox*, 2> cboADCReadMode{}; // 0 read mode (byte 2), 1 samples (byte 3)
    QLabel* lblBytesSucceded = nullptr;
    QLineEdit* txtADDec = nullptr;

    void cmdReadADCClock_Click();
    void cmdWriteADCClock_Click();
    void cmdRdADCMode_Click();
    void cmdRdADMux_Click();
    void cmdADCRDMode16_Click();
    void cmdADCWrmode1_Click();
    void cmdRdADCAvg_Click();
    void cmdWrtLoopCount_Click();
    void cmdADCRdSampleRate_Click();
    void cmdADCWriteSampleRate_Click();
    void cmdADCRDEnable_Click();
    void txtADCLoopCount_KeyPress(int& KeyAscii);
    void txtADCLoopCount_LostFocus();

    // --- "ADC ZN5520 Io" and "Read ZN5520 AD"
    QPushButton* cmdInitADCIO = nullptr;
    QPushButton* cmdWrtADReg = nullptr;
    std::array<QLineEdit*, 2> txtADCReg{};
    std::array<QLineEdit*, 1> txtADCDelay{};
    std::array<QLabel*, 4> lblAdRcv{};
    QLabel* lblADRegRead = nullptr;
    QPushButton* cmdRDZN5520 = nullptr;
    std::array<QLabel*, 2> lblADDecimal{}; // 0 caption, 1 the signed count
    QLabel* lbl_ADReal = nullptr;

    void cmdInitADCIO_Click();
    void cmdWrtADReg_Click();
    void cmdRDZN5520_Click();

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildAdcFrame();          // "ADC Control" frame of the "ADC + SFR" tab
    QWidget* buildExternalAdcFrames(); // the external ADC's frames on the "GPIO" tab
    // Load step: fill and select the read-mode and input lists.
    void initAdcLists();

private:
    // Runs the get of an ADC configuration command and shows its reply bytes 0..n-1; true
    // when the reply came.
    bool adcGet(std::uint8_t code, std::span<QLabel*> labels);
    // The external ADC's request: bytes 3..5 from the register and delay fields; empty
    // (after the message) when a field does not hold a byte.
    std::optional<bridge::ExchangeResult> extAdcExchange(std::uint8_t operation);
};
