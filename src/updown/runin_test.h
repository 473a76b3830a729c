#pragma once
// The run-in test: characterise the wiper's ends, store once at the initial position, then
// move up, down, up, down with a store and a reading after each move until the requested
// number of moves (checked at the progress interval) or an abort. Every move is tallied and
// the reading checked against the voltage the tally should give.
//
// The window supplies the operations and shows what the run reports (RunInHost); the run
// itself, its arithmetic and its log are here.
#include "updown/runin_port.h"

#include <QString>

#include <array>
#include <cstdint>

namespace runin {

constexpr int kRows = 7;

// Palette entries of the row lamps.
enum Lamp { kLampReset = 0, kLampRunning = 9, kLampPass = 10, kLampFail = 12, kLampDone = 14 };

// The displays a run writes.
enum class Field {
    MaxV,        // lblWIPRange(0)
    MinV,        // lblWIPRange(1)
    VoltsPer,    // lblVoltsPer
    Limit,       // lblTestLimit
    Position,    // lblPosition
    TestCount,   // lblRUnCount(0)
    FailCount,   // lblRUnCount(1)
    RowPosition, // txtWiperLoc(row)
    RowVolts,    // txtWiperVolts(row)
    RowMeasured, // lvlWipV(row)
    RowError,    // lvlWipError(row)
};

class RunInHost {
public:
    virtual ~RunInHost() = default;
    // --- operations
    virtual void prepareInputs() {}                                 // VIN0 on the ADC, ADC on
    virtual void setAllHigh() = 0;
    virtual void step(bool up, const QString& countText) = 0;      // the count goes through its field
    virtual void store() = 0;
    virtual Reading readWiper() = 0;                                // shows itself in row g_RunRow
    virtual void letEventsRun() = 0;
    virtual void clearLog() = 0;
    virtual void appendLog(const QString& piece) = 0;
    // --- what the run reads as it goes (editable during a run)
    virtual QString stimulus(int row) const = 0;
    virtual bool logAll() const = 0;
    // --- displays
    virtual void display(Field, int /*row*/, const QString& /*text*/) {}
    virtual void lamp(int /*row*/, int /*colour*/) {}
    virtual void setRunning(bool /*running*/) {}
};

struct RunInSettings {
    QString id;
    QString positions = QStringLiteral("100");
    QString tolerance = QStringLiteral("0.33");
    QString logSteps = QStringLiteral("500");
    QString testQty = QStringLiteral("100000");
};

class RunInTest {
public:
    explicit RunInTest(RunInHost& host) : host_(host) {}

    // What keeps a run from starting, naming the field; empty when it can run.
    static QString check(const RunInSettings& s);
    // The whole run, from the start to its end line. The settings must pass check().
    void run(const RunInSettings& s);
    bool running() const { return running_; }
    bool completed() const { return completed_; }

    // The run's state, kept after it ends.
    // Counted in 64 bits: a run to the largest quantity at a coarse progress interval passes
    // the 32-bit range before its end test comes.
    std::int64_t moves = 0;
    std::int64_t checks = 0;
    std::int64_t fails = 0;
    int logSteps = 0;
    std::int32_t testQty = 0;
    int positions = 0;
    double maxV = 0, minV = 0, voltsPerStep = 0, limit = 0, error = 0;
    int tally = 0;
    double upperLimit = 0, lowerLimit = 0;
    QString verdict; // "PASS", "FAIL" or "NO READING"

private:
    enum class End { Completed, Terminated };
    // Each step of the run returns false when the run must end at once: a reading was not
    // received, or the link was lost (a link dialog was answered Retry) since the run began.
    bool characterise(); // rows 0 and 1
    bool initialStore();
    End loop();
    bool move(int row, bool up);
    bool stepAndStore(bool up, const QString& stimulus);
    bool tallyWiper(int step, const Reading& r);
    void noReading(const Reading& r);
    QString toleranceCheck(const QString& label, double expected, double read, double err);
    QString windowCheck(const QString& label, double value);
    void countFail();
    bool linkHeld() const;
    void show(Field f, const QString& text, int row = 0) { host_.display(f, row, text); }
    void showTally(int row, int value);

    RunInHost& host_;
    RunInSettings settings_;
    int retriesAtStart_ = 0;
    bool running_ = false;
    bool completed_ = false;
};

} // namespace runin
