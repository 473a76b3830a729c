#pragma once
// The run-in over the link with no window: its lines as plain levels, its log as text, and
// every display it writes kept for the test to read.
#include "shell/globals.h"
#include "shell/text.h"
#include "updown/runin_test.h"

#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <utility>

// The link, with a hook before each conversion request (a test drops its reply there).
class HookedPort : public runin::Port {
public:
    runin::LinkPort link;
    std::function<void(int conversion)> beforeConversion;
    int conversions = 0;

    void sendSfr(std::uint8_t address, std::uint8_t value) override { link.sendSfr(address, value); }
    runin::Conversion convert() override
    {
        ++conversions;
        if (beforeConversion)
            beforeConversion(conversions);
        return link.convert();
    }
    void drain() override { link.drain(); }
    void letEventsRun() override { link.letEventsRun(); }
};

class LinkRunInRig : public runin::RunInHost, public runin::Lines {
public:
    HookedPort port;
    std::array<bool, 3> levels{};
    std::array<QString, runin::kRows> stimuli{"102", "102", "63", "1", "1", "1", "1"};
    bool logAllChecked = false;
    bool doublePurge = false;
    QString log;
    std::map<std::pair<runin::Field, int>, QString> shown;
    std::array<int, runin::kRows> lamps{};

    // --- Lines
    bool level(runin::Line line) const override { return levels[line]; }
    void set(runin::Line line, bool high) override
    {
        if (levels[line] == high)
            return;
        levels[line] = high;
        runin::sendLine(port, line, levels[0], levels[1], levels[2]);
    }

    // --- RunInHost
    void setAllHigh() override
    {
        for (auto line : {runin::kCs1, runin::kInc, runin::kUpDown})
            set(line, true);
        port.sendSfr(runin::kSfrP0, runin::p0Request(true));
        port.sendSfr(runin::kSfrP1, runin::p1Request(true, true));
    }
    void step(bool up, const QString& countText) override { runin::stepWiper(*this, up, CInt(Val(countText))); }
    void store() override { runin::storeWiper(*this); }
    runin::Reading readWiper() override
    {
        const runin::Reading r = runin::readWiper(port, doublePurge);
        shown[{runin::Field::RowMeasured, g_RunRow}] = r.text;
        return r;
    }
    void letEventsRun() override { port.letEventsRun(); }
    void clearLog() override { log.clear(); }
    void appendLog(const QString& piece) override { log += piece; }
    QString stimulus(int row) const override { return stimuli[size_t(row)]; }
    bool logAll() const override { return logAllChecked; }
    void display(runin::Field f, int row, const QString& text) override
    {
        const bool perRow = f >= runin::Field::RowPosition;
        shown[{f, perRow ? row : 0}] = text;
    }
    QString shownText(runin::Field f, int row = 0) const
    {
        const auto it = shown.find({f, row});
        return it == shown.end() ? QString() : it->second;
    }
    void lamp(int row, int colour) override { lamps[size_t(row)] = colour; }

    QStringList logLines() const { return log.split(QStringLiteral("\r\n")); }
};
