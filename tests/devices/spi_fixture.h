#pragma once
// The program over a simulated evaluation board, at the SPI device window as a user gets
// there: the startup menu's "SPI" pick. The test puts the SPI part it needs in the chip slot.
#include "devices/frmDCP_SPI1.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "support/board_fixture.h"

#include <QComboBox>

#include <vector>

class SpiWindowFixture : public BoardFixture {
protected:
    frmDCP_SPI1& pickSPI()
    {
        forms().frmStartup.show();
        forms().frmStartup().cboDCPSelect->setCurrentIndex(3);
        return forms().frmDCP_SPI1();
    }
    // The bytes of every SPI transfer on the wire, the supply potentiometer's included.
    std::vector<std::vector<int>> spiFrames()
    {
        std::vector<std::vector<int>> out;
        for (const auto& r : board().transcript.requests(0x09))
            out.emplace_back(r.begin() + 7, r.begin() + 7 + r[6]);
        return out;
    }
};
