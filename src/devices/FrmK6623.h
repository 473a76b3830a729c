#pragma once
// The 10-bit register console: reads and writes the K6623's wiper counter register and its
// four data registers as three hex digits, and sends the two one-byte transfer instructions
// (data register to wiper, wiper to data register), over the motherboard's SPI terminals.
// It borrows the SPI device window's ID byte, part description and "Read DCP" lamp; it sends
// only while that window holds a "K6623/4" part.
#include "devices/spi_frame.h"

#include <QWidget>

#include <array>
#include <functional>

class Lamp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the console borrows from the SPI device window. Any of them may be null (no SPI
// window yet): no ID, no part, no lamp to toggle.
struct SpiWindowFields {
    QLineEdit* txtDeviceAdr = nullptr;
    QLabel* lblProduct = nullptr;
    Lamp* readLamp = nullptr; // Shape1(2), "Read DCP"
};

// The one place where the console reaches the SPI device window. The SPI device window
// installs a provider when it loads (or the registry does); tests install stand-ins. An
// empty provider gives empty fields.
void setSpiWindowFieldsProvider(std::function<SpiWindowFields()> provider);
SpiWindowFields spiWindowFields();

class FrmK6623 : public QWidget {
    Q_OBJECT
public:
    FrmK6623();

    QGroupBox* frk662x = nullptr;
    std::array<QPushButton*, 5> CMDk662X_Read{};  // "Wiper", "Data 0".."Data 3"
    std::array<QLabel*, 5> lblRdk662x{};
    std::array<QPushButton*, 5> CMDk662X_Write{};
    std::array<QLineEdit*, 5> txtWrK6628{};
    std::array<QPushButton*, 4> cmdK662xDatatoWiper{}; // "Data r > Wiper"
    std::array<QPushButton*, 4> cmdK662xWipertoData{}; // "Wiper > Data r"

    void Form_Load() {}

    void CMDk662X_Read_Click(int Index);
    void CMDk662X_Write_Click(int Index);
    void cmdK662xDatatoWiper_Click(int Index);
    void cmdK662xWipertoData_Click(int Index);
    void txtWrK6628_KeyPress(int Index, int& KeyAscii);

private:
    void press(spi::K6623Op op, int index);
};
