#pragma once
// The quad consoles over a simulated board that carries both quad parts (the I2C part at
// write address 0x50, the SPI part in the chip slot), with the device windows' link
// replaced by a recording stand-in.
#include "bridge/frmMainF340.h"
#include "controls/lamp.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "link/hid.h"
#include "quad/quad_console.h"
#include "quad/quad_device_link.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/quad_part.h"
#include "support/board_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

class QuadFixture : public BoardFixture {
protected:
    void SetUp() override
    {
        BoardFixture::SetUp();
        resetQuadDeviceLinks();
        i2c = sim::QuadI2CPart::install(board());
        spi = sim::QuadSpiPart::install(board());
        for (quad::Bus bus : {quad::Bus::I2C, quad::Bus::SPI}) {
            QuadDeviceLink& l = quadDeviceLink(bus);
            l.sampleWiper = [this](int pot) {
                samples.push_back(pot);
                return QString("%1.250").arg(pot);
            };
            l.setInUse = [this](bool on) { inUse.push_back(on); };
        }
        console();
        forms().frmMotherboardDAQ2();
        board().transcript.clear();
    }
    void TearDown() override
    {
        BoardFixture::TearDown();
        resetQuadDeviceLinks();
    }

    QuadConsole& k44() { return forms().frm_k4744(); }
    QuadConsole& k31() { return forms().frm_k4731(); }
    QuadConsole& con(quad::Bus bus) { return bus == quad::Bus::I2C ? k44() : k31(); }

    // The bytes after the address of every I2C transfer: register bytes, then data bytes
    // (a read: its register byte).
    std::vector<std::vector<int>> i2cTransfers()
    {
        std::vector<std::vector<int>> out;
        for (const auto& r : board().transcript.requests(0x06)) {
            std::vector<int> t{r[2]};
            for (int i = 0; i < r[4] + ((r[2] & 1) ? 0 : r[3]); ++i)
                t.push_back(r[size_t(5 + i)]);
            out.push_back(t);
        }
        return out;
    }
    std::vector<std::vector<int>> spiFrames()
    {
        std::vector<std::vector<int>> out;
        for (const auto& r : board().transcript.requests(0x09))
            out.emplace_back(r.begin() + 7, r.begin() + 7 + r[6]);
        return out;
    }
    // Byte 4 of every SFR set of one register, in order.
    std::vector<int> sfrSets(int address)
    {
        std::vector<int> out;
        for (const auto& r : board().transcript.requests(0x12))
            if (r[2] == 0 && r[3] == address)
                out.push_back(r[4]);
        return out;
    }
    static void press(QPushButton* b) { b->click(); }

    std::shared_ptr<sim::QuadI2CPart> i2c;
    std::shared_ptr<sim::QuadSpiPart> spi;
    std::vector<int> samples;
    std::vector<bool> inUse;
};
