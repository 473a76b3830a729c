#pragma once
// SFR access and dump group of the bridge console: raw access to the bridge
// microcontroller's special function registers (command 0x12), one register at a time or
// as a dump of 26 port, crossbar and SPI registers with a status lamp per row.
#include "bridge/console_group.h"

#include <array>
#include <cstdint>

class Lamp;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The dump list in row order (the order of the reads); other windows address rows by index.
inline constexpr int kSfrDumpRows = 26;
extern const std::array<const char*, kSfrDumpRows> kSfrDumpCaptions;

class F340Sfr : public ConsoleGroup {
public:
    // --- used by the GPIO group and by other windows (keep these names)
    QLineEdit* txtSFRAddress = nullptr;  // scratch: every SFR and port operation sets it
    QLineEdit* txtSFRWRData = nullptr;
    std::array<QLabel*, 4> lblSFRBuf{};  // bytes 0..3 of the last reply: (2) status, (3) value
    std::array<QLineEdit*, 26> txtPBufRd{};

    void cmdGetSDFValue_Click();
    void cmdSetSFR_Click();
    void cmdReadSKF_Click();

    // --- "SFR Case 18 Single Byte Access"
    QGroupBox* Frame2 = nullptr;
    QPushButton* cmdGetSDFValue = nullptr;
    QPushButton* cmdSetSFR = nullptr;

    // --- "SFRs " (the dump)
    QGroupBox* Frame3 = nullptr;
    std::array<QLabel*, kSfrDumpRows> lblPbuf{};
    std::array<QLineEdit*, kSfrDumpRows> txtPBuf{}; // write column: entry only, never sent
    std::array<Lamp*, kSfrDumpRows> ShpSKFRd{};
    QCheckBox* chkWriteEqRead = nullptr;
    QPushButton* cmdReadSKF = nullptr;

    // A click on a read field re-reads its row alone.
    void txtPBufRd_Click(int Index);

protected:
    using ConsoleGroup::ConsoleGroup;
    QWidget* buildSfrFrames();  // "SFRs " and "SFR Case 18 Single Byte Access" of the "ADC + SFR" tab

private:
    // The single read; true when the reply came (lblSFRBuf then shows it, else "--").
    bool readSfrRegister();
    void readDumpRow(int row, bool copyToWriteColumn);
    QWidget* buildSingleAccessFrame();
    QWidget* buildDumpFrame();
};
