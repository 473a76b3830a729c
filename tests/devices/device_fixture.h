#pragma once
// The program over a simulated evaluation board carrying one I2C part, at the I2C device
// window, as a user gets there: the startup menu's "I2C" pick.
#include "devices/SupplyPanel.h"
#include "devices/frmDCP_User1.h"
#include "shell/forms.h"
#include "shell/frmStartup.h"
#include "sim/evaluation_board.h"
#include "sim/i2c_dcp.h"
#include "support/board_fixture.h"

#include <QComboBox>
#include <QRadioButton>

#include <stdexcept>
#include <string>
#include <vector>

class I2cWindowFixture : public BoardFixture {
protected:
    // The board with its analog side and the part called name.
    sim::I2cDcp& usePart(const std::string& name = "ZN3710")
    {
        sim::setUpEvaluationBoard(board(), {}, sim::findSimPart(name));
        for (int a = 0; a < 128; ++a)
            if (auto* d = dynamic_cast<sim::I2cDcp*>(board().i2cDevice(std::uint8_t(a))))
                return *d;
        throw std::runtime_error("no part on the board");
    }
    frmDCP_User1& pickI2C()
    {
        forms().frmStartup.show();
        forms().frmStartup().cboDCPSelect->setCurrentIndex(2);
        return forms().frmDCP_User1();
    }
    // The window with the part's supply on, and the wire cleared.
    frmDCP_User1& atWindowWithVcc(const std::string& part = "ZN3710")
    {
        dcp = &usePart(part);
        frmDCP_User1& w = pickI2C();
        w.supply->OptVCC[0]->setChecked(true);
        board().transcript.clear();
        return w;
    }
    // I2C transfers on the wire: the request bytes 2.. up to the data.
    std::vector<std::vector<int>> i2cRequests()
    {
        std::vector<std::vector<int>> out;
        for (const auto& rq : board().transcript.requests(0x06)) {
            const bool read = rq[2] & 1;
            const int n = 5 + rq[4] + (read ? 0 : rq[3]);
            out.emplace_back(rq.begin() + 2, rq.begin() + n);
        }
        return out;
    }
    sim::I2cDcp* dcp = nullptr;
};
