#pragma once
// The desktop services with real sleeps, each one tallied by its length, and the report of a
// measured action: its mean host time and how much of it the fixed waits took. A message box
// is counted and answered "OK".
#include "devices/DeviceFormCore.h"
#include "platform/services.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QString>

#include <cstdio>
#include <map>

class TallyServices : public platform::DesktopServices {
public:
    void sleepMs(int ms) override
    {
        QElapsedTimer t;
        t.start();
        DesktopServices::sleepMs(ms);
        auto& s = byLength[ms];
        ++s.count;
        s.ms += t.nsecsElapsed() / 1e6;
    }
    int msgBox(const QString& text, int, const QString&) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        ++unexpectedBoxes;
        return platform::vbOK;
    }
    // A run that met a message box was not the run measured.
    int unexpectedBoxes = 0;
    struct Tally {
        int count = 0;
        double ms = 0;
    };
    std::map<int, Tally> byLength;

    // Prints "what, mean of runs: ... ms host time", the sleeps by length and the rest.
    void report(const char* what, int runs, double totalMs) const
    {
        const double perRun = totalMs / runs;
        double slept = 0;
        std::printf("%s, mean of %d: %.2f ms host time\n", what, runs, perRun);
        for (const auto& [len, t] : byLength) {
            std::printf("  sleeps of %3d ms: %5.1f per run, %7.2f ms per run%s\n", len, double(t.count) / runs,
                        t.ms / runs, len == 1 ? "  (input drains)" : "");
            slept += t.ms;
        }
        std::printf("  fixed waits in all: %.2f ms per run (%.0f %%); beyond them: %.2f ms\n", slept / runs,
                    100 * slept / runs / perRun, perRun - slept / runs);
    }
};

// Auto Read's read-back of channel 0 shows `value`: the last write reached the chip and came
// back from it.
inline bool readBackIs(const DeviceFormCore& w, int value)
{
    bool ok = false;
    return w.lblPotReadhex[0]->text().toInt(&ok, 16) == value && ok;
}
