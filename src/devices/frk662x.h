#pragma once
// The K6627/K6628 register console: a frame of the I2C device window. Each button sends one
// instruction of the K662x table through the bridge console's I2C transfers and shows the
// outcome: reads and writes of the wiper and the four data registers, and the one-byte
// transfers data register to wiper and wiper to data register.
//
// The frame reaches its window through Host: the window's device address text and its two
// lamps, "Read DCP" and "DCP COMM", and where a read value is kept for the window's own use.
#include <QGroupBox>

#include <array>
#include <functional>

class Lamp;
class QLabel;
class QLineEdit;
class QPushButton;

class frk662x : public QGroupBox {
public:
    struct Host {
        std::function<QString()> deviceAddress; // the window's address field, hex text
        Lamp* readLamp = nullptr;               // "Read DCP"
        Lamp* commLamp = nullptr;               // "DCP COMM"
        std::function<void(int value)> keepReadValue;
    };

    explicit frk662x(Host host, QWidget* parent = nullptr);

    std::array<QPushButton*, 5> CMDk662X_Read{};  // "Wiper", "Data 0".."Data 3"
    std::array<QLabel*, 5> lblRdk662x{};
    std::array<QPushButton*, 5> CMDk662X_Write{};
    std::array<QLineEdit*, 5> txtWrK6628{};
    std::array<QPushButton*, 4> cmdK662xDatatoWiper{};
    std::array<QPushButton*, 4> cmdK662xWipertoData{};

    void CMDk662X_Read_Click(int Index);
    void CMDk662X_Write_Click(int Index);
    void cmdK662xDatatoWiper_Click(int Index);
    void cmdK662xWipertoData_Click(int Index);

private:
    // The supply warning; the transfer goes on after it.
    void warnSupply();
    // The console's address from the window's field, set right before each transfer.
    void setAddress();
    // Lamps and message by the status of the transfer just made; true when acknowledged.
    bool showOutcome();

    Host host_;
};
