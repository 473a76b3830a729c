#pragma once
// A pin-driven console over its simulated daughter board, with a trace of the line edges the
// board sees: "CS1-", "INC+", ... one entry per pin change, and the virtual time of each.
#include "controls/lamp.h"
#include "devices/SupplyPanel.h"
#include "motherboard/frmMotherboardDAQ2.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "support/board_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

class PinTraceFixture : public BoardFixture {
protected:
    struct Pin {
        int port, bit;
        const char* name;
    };
    // Records the changes of the named pins from now on.
    void tracePins(std::vector<Pin> pins)
    {
        board().pinListeners.push_back([this, pins](int port, std::uint8_t before, std::uint8_t after) {
            for (const Pin& p : pins) {
                if (p.port != port || ((before ^ after) >> p.bit & 1) == 0)
                    continue;
                const bool high = (after >> p.bit & 1) != 0;
                edges.push_back(std::string(p.name) + (high ? "+" : "-"));
                times.push_back(svc.monoMs);
            }
        });
    }
    std::string trace() const
    {
        std::string s;
        for (const std::string& e : edges)
            s += (s.empty() ? "" : " ") + e;
        return s;
    }
    int countOf(const std::string& edge) const
    {
        int n = 0;
        for (const std::string& e : edges)
            n += e == edge;
        return n;
    }
    void clearTrace() { edges.clear(), times.clear(), board().transcript.clear(); }
    // The port register sets since clearTrace, as "80=C6" (address=value): a port write is
    // six of them. The ADC list's own input-mode sets are left out.
    QStringList portSets()
    {
        QStringList out;
        for (const auto& r : board().transcript.requests(0x12))
            if (r[3] == 0x80 || r[3] == 0x90 || r[3] == 0xA0 || (r[3] >= 0xA4 && r[3] <= 0xA6))
                out << QStringLiteral("%1=%2").arg(Hex2(r[3]), Hex2(r[4]));
        return out;
    }
    // Wiper or VCC readings since clearTrace: each enables the ADC and converts, twice.
    int readings() { return int(board().transcript.requests(0x10).size()) / 2; }

    std::vector<std::string> edges;
    std::vector<std::int64_t> times;
};
