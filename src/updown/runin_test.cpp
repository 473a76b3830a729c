#include "updown/runin_test.h"

#include "link/hid.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"
#include "updown/runin_log.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace runin {

namespace {

const QString& kNoValue = bridge::kNoReadingText;
const QString kFourPlaces = QStringLiteral("0.0000");

// A whole number within lo..hi, written as a plain number.
bool wholeIn(const QString& text, double lo, double hi)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && v == std::floor(v) && v >= lo && v <= hi;
}

int count(const QString& text) { return CInt(Val(text)); }

QDateTime now() { return platform::services().now(); }

} // namespace

QString RunInTest::check(const RunInSettings& s)
{
    if (!wholeIn(s.positions, 1, 32767))
        return QStringLiteral("Positions: enter a whole number of wiper positions from 1 to 32767.");
    if (!wholeIn(s.logSteps, 1, 32767))
        return QStringLiteral("Log Progress every: enter a whole number of steps from 1 to 32767.");
    if (!wholeIn(s.testQty, 1, std::numeric_limits<std::int32_t>::max()))
        return QStringLiteral("End Test after: enter a whole number of steps from 1 to 2147483647.");
    return QString();
}

void RunInTest::run(const RunInSettings& s)
{
    // A link-error dialog answered Retry during the run searched the board again: whatever the
    // board now holds, the run's tally no longer describes it, so the run stops there.
    const LinkRun linkRun;
    retriesAtStart_ = LinkRetryCount();
    settings_ = s;
    running_ = true;
    completed_ = false;
    host_.setRunning(true);
    positions = count(s.positions);
    g_AbortRequest = false;
    for (Field f : {Field::MaxV, Field::MinV, Field::VoltsPer, Field::Limit})
        show(f, QStringLiteral("-----"));
    show(Field::Position, QStringLiteral("--"));
    show(Field::TestCount, QStringLiteral("----"));
    show(Field::FailCount, QStringLiteral("----"));

    g_TraceOn = true; // and it stays on: the trace log collects from now on
    host_.prepareInputs();
    const bool inputsReady = linkHeld();

    host_.clearLog();
    checks = fails = 0;
    logSteps = count(s.logSteps);
    testQty = CLng(Val(s.testQty));
    if (g_TraceOn)
        host_.appendLog(runinlog::header(s.id, now(), s.positions, s.tolerance));
    for (int row = 0; row < kRows; ++row) {
        show(Field::RowMeasured, kNoValue, row);
        show(Field::RowPosition, QString(), row);
        show(Field::RowVolts, QString(), row);
        host_.lamp(row, kLampReset);
    }
    host_.letEventsRun();
    show(Field::Position, QStringLiteral("0"));
    g_RunRow = 0;
    moves = 0;

    End end = End::Terminated;
    if (inputsReady) {
        host_.setAllHigh();
        host_.letEventsRun();
        if (linkHeld() && characterise() && initialStore())
            end = loop();
    }
    if (end == End::Completed) {
        host_.appendLog(runinlog::completed(s.id, moves, fails, now()));
    } else {
        if (!linkHeld())
            host_.appendLog(runinlog::linkLost());
        host_.appendLog(runinlog::terminated(s.id, moves, fails, now()));
    }
    completed_ = end == End::Completed;
    running_ = false;
    host_.setRunning(false);
}

bool RunInTest::linkHeld() const { return LinkRetryCount() == retriesAtStart_; }

void RunInTest::showTally(int row, int value)
{
    show(Field::Position, Str(value));
    show(Field::RowPosition, Str(value), row);
}

// A reading not received is no measurement of the part: nothing is checked or worked out
// from it, it counts as a check but not as a fail, and the run ends.
void RunInTest::noReading(const Reading& r)
{
    ++checks;
    verdict = QStringLiteral("NO READING");
    host_.lamp(g_RunRow, kLampFail);
    host_.appendLog(runinlog::noReadingLine(Str(tally), r.why, checks));
}

bool RunInTest::characterise()
{
    // Row 0: up to the top.
    g_RunRow = 0;
    host_.lamp(0, kLampRunning);
    const QString up = host_.stimulus(0);
    host_.step(true, up);
    if (!linkHeld())
        return false;
    const Reading top = host_.readWiper();
    tally = std::min(count(up), positions);
    showTally(0, tally);
    if (!top.valid) {
        noReading(top);
        return false;
    }
    if (!linkHeld())
        return false;
    show(Field::MaxV, top.text);
    maxV = Val(top.text);
    show(Field::RowVolts, top.text, 0);
    host_.lamp(0, kLampDone);

    // Row 1: down to the bottom.
    g_RunRow = 1;
    host_.lamp(1, kLampRunning);
    const QString down = host_.stimulus(1);
    host_.step(false, down);
    if (!linkHeld())
        return false;
    const Reading bottom = host_.readWiper();
    tally = std::max(tally - count(down), 0);
    showTally(1, tally);
    if (!bottom.valid) {
        noReading(bottom);
        return false;
    }
    if (!linkHeld())
        return false;
    show(Field::MinV, bottom.text);
    minV = Val(bottom.text);
    voltsPerStep = (maxV - minV) / positions;
    show(Field::VoltsPer, Format(voltsPerStep, kFourPlaces));
    limit = voltsPerStep * Val(settings_.tolerance);
    show(Field::Limit, Format(limit, kFourPlaces));
    show(Field::RowVolts, bottom.text, 1);
    host_.lamp(1, kLampDone);
    host_.appendLog(runinlog::characterisation(maxV, minV, voltsPerStep, limit));
    return true;
}

bool RunInTest::stepAndStore(bool up, const QString& stimulus)
{
    host_.step(up, stimulus);
    if (!linkHeld())
        return false;
    host_.store();
    return linkHeld();
}

bool RunInTest::initialStore()
{
    g_RunRow = 2;
    host_.lamp(2, kLampRunning);
    const QString up = host_.stimulus(2);
    if (!stepAndStore(true, up))
        return false;
    const Reading r = host_.readWiper();
    if (!tallyWiper(count(up), r))
        return false;
    const bool passed = verdict == QLatin1String("PASS");

    upperLimit = minV + tally * voltsPerStep + limit;
    lowerLimit = minV + tally * voltsPerStep - limit;
    host_.appendLog(QStringLiteral("Initial Test :  "));
    windowCheck(Str(tally), g_VccVolts);
    host_.appendLog(runinlog::beginLoop(settings_.id));
    host_.lamp(2, passed ? kLampPass : kLampFail);
    showTally(2, tally);
    return true;
}

RunInTest::End RunInTest::loop()
{
    for (;;) {
        for (int row = 3; row < kRows; ++row) {
            if (!move(row, row % 2 == 1)) {
                show(Field::TestCount, Str(moves));
                return End::Terminated;
            }
        }
        show(Field::TestCount, Str(moves));
        if (moves % logSteps == 0) {
            if (moves >= testQty)
                return End::Completed;
            host_.appendLog(runinlog::progress(settings_.id, moves, fails, now()));
        }
        if (g_AbortRequest)
            return End::Terminated;
    }
}

bool RunInTest::move(int row, bool up)
{
    g_RunRow = row;
    host_.lamp(row, kLampRunning);
    ++moves;
    const QString stimulus = host_.stimulus(row);
    if (!stepAndStore(up, stimulus))
        return false;
    const Reading r = host_.readWiper();
    const int n = count(stimulus);
    return tallyWiper(up ? n : -n, r);
}

// The move's tally kept within 0..P, its expected voltage from the bottom reading up, and the
// tolerance check on the values as shown (expected to four places, reading to five). False
// when the run must end: the reading was not received or the link was lost.
bool RunInTest::tallyWiper(int step, const Reading& r)
{
    const int row = g_RunRow;
    tally = std::clamp(tally + step, 0, positions);
    showTally(row, tally);
    const QString expectedText = Format(minV + tally * voltsPerStep, kFourPlaces);
    show(Field::RowVolts, expectedText, row);
    if (!r.valid) {
        show(Field::RowError, kNoValue, row);
        noReading(r);
        return false;
    }
    if (!linkHeld())
        return false;
    const double expected = Val(expectedText);
    const QString errText = Format(expected - Val(r.text), kFourPlaces);
    show(Field::RowError, errText, row);
    error = Val(errText);
    toleranceCheck(Str(tally), expected, g_VccVolts, error);
    return true;
}

void RunInTest::countFail()
{
    ++fails;
    show(Field::FailCount, Str(fails));
}

QString RunInTest::toleranceCheck(const QString& label, double expected, double read, double err)
{
    ++checks;
    const bool pass = std::fabs(err) <= limit;
    verdict = pass ? QStringLiteral("PASS") : QStringLiteral("FAIL");
    if (!pass)
        countFail();
    host_.lamp(g_RunRow, pass ? kLampPass : kLampFail);
    if (!pass || host_.logAll())
        host_.appendLog(runinlog::toleranceLine(label, expected, read, err, limit, checks, verdict));
    return verdict;
}

QString RunInTest::windowCheck(const QString& label, double value)
{
    ++checks;
    const bool pass = lowerLimit <= value && value <= upperLimit;
    verdict = pass ? QStringLiteral("PASS") : QStringLiteral("FAIL");
    if (!pass)
        countFail();
    if (g_TraceOn)
        host_.appendLog(runinlog::windowLine(label, upperLimit, lowerLimit, value, checks, verdict));
    return verdict;
}

} // namespace runin
