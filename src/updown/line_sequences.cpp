#include "updown/line_sequences.h"

#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <algorithm>
#include <cmath>

namespace updown {

namespace {

const QString kVccOff = QStringLiteral("VCC is not turned on.");
constexpr int kStoreWaitMs = 250;

// Up/down boxes of DCP 1 or 2.
int csBox(int dcp) { return dcp == 1 ? 0 : 4; }
int incBox(int dcp) { return dcp == 1 ? 1 : 5; }
int udBox(int dcp) { return dcp == 1 ? 2 : 6; }

// /INC and U/D of the two DCPs share their pins: a box that already shows the level may
// still find its pin moved by the other DCP's box, and then the pin is driven all the same.
void setShared(LineHost& h, int box, bool high)
{
    if (h.line(box) != high)
        h.setLine(box, high);
    else if (h.pinLevel(box) != high)
        h.lineChanged(box);
}

// One train on a DCP must never step the other one, which shares /INC: deselect it first.
// Its /INC is whatever it is: low after a train (no store), high only when the user left it
// so, and then the rise stores that chip's position as its own Store would.
void deselectOther(LineHost& h, int dcp)
{
    const int other = csBox(dcp == 1 ? 2 : 1);
    if (!h.line(other))
        h.setLine(other, true);
}

} // namespace

int wholeNumber(const QString& text, bool* ok)
{
    bool good = false;
    const double v = text.trimmed().toDouble(&good);
    *ok = good && std::isfinite(v);
    if (!*ok)
        return 0;
    return CInt(v); // halves to even, like every whole number the program reads

}

void waitMs(int t)
{
    if (t > 0)
        platform::sleepMs(t);
}

void upDownTrain(LineHost& h, int Index)
{
    if (!h.vccOn()) {
        platform::msgBox(kVccOff);
        return;
    }
    const int dcp = Index < 2 ? 1 : 2;
    const bool up = Index == 0 || Index == 2;
    deselectOther(h, dcp);
    if (h.line(csBox(1)))
        setShared(h, incBox(1), true);
    g_ActiveDcp = std::int16_t(dcp);
    const int T = h.period(dcp);
    g_AbortIncr = false;
    h.trainRunning(dcp, true);
    platform::pumpEvents();
    h.setLine(csBox(dcp), false);
    h.showAbort(dcp);
    const int N = h.count(Index);

    g_PinBatch = true;
    setShared(h, incBox(dcp), true);
    setShared(h, udBox(dcp), up);
    h.writePorts();
    waitMs(T);
    platform::pumpEvents();
    g_PinBatch = false;

    for (int i = 1; i <= N - 1; ++i) {
        setShared(h, incBox(dcp), false);
        platform::pumpEvents();
        waitMs(T);
        setShared(h, incBox(dcp), true);
        platform::pumpEvents();
        waitMs(T);
        if (g_AbortIncr)
            break;
    }
    waitMs(T);
    setShared(h, incBox(dcp), false);
    platform::pumpEvents();

    if (h.csHighAfterTrain(dcp))
        h.setLine(csBox(dcp), true);
    h.trainRunning(dcp, false);
    h.sampleWiper();
    platform::pumpEvents();
}

void upDownSequence(LineHost& h, int Index)
{
    g_PinBatch = false;
    const int dcp = Index < 2 ? 1 : 2;
    const bool store = Index == 0 || Index == 2;
    g_ActiveDcp = std::int16_t(dcp);
    if (!h.vccOn())
        platform::msgBox(kVccOff); // the sequence still runs
    // A train started from a waiting sequence may have taken the lines over meanwhile.
    const auto stillOurs = [dcp] { return g_ActiveDcp == dcp; };
    if (store) {
        h.disableNoStore(dcp);
        setShared(h, incBox(dcp), true);
        waitMs(kStoreWaitMs);
        platform::pumpEvents();
        if (stillOurs()) {
            h.setLine(csBox(dcp), true);
            waitMs(kStoreWaitMs);
            platform::pumpEvents();
        }
        if (stillOurs()) {
            h.setLine(csBox(dcp), false);
            waitMs(kStoreWaitMs);
            platform::pumpEvents();
        }
        if (stillOurs())
            h.setLine(csBox(dcp), true);
        if (dcp == 2) {
            waitMs(kStoreWaitMs);
            platform::pumpEvents();
        }
    } else {
        deselectOther(h, dcp);
        setShared(h, incBox(dcp), false);
        waitMs(kStoreWaitMs);
        platform::pumpEvents();
        if (stillOurs())
            h.setLine(csBox(dcp), true);
    }
}

namespace {
constexpr int kPbStore = 1, kPbUp = 3, kPbDown = 4;
}

void pushButtonTrain(LineHost& h, int Index)
{
    if (!h.vccOn()) {
        platform::msgBox(kVccOff);
        return;
    }
    const int L = Index == 0 ? kPbUp : kPbDown;
    const int T = h.period(1);
    g_AbortIncr = false;
    h.trainRunning(1, true);
    h.showAbort(1);
    const int N = h.count(Index);

    g_PinBatch = true;
    h.writePorts();
    waitMs(T);
    platform::pumpEvents();
    g_PinBatch = false;

    for (int i = 1; i <= N; ++i) {
        h.setLine(L, false);
        platform::pumpEvents();
        waitMs(T);
        h.setLine(L, true);
        platform::pumpEvents();
        waitMs(T);
        if (g_AbortIncr)
            break;
    }
    if (h.storeAfterTrain()) {
        h.setLine(kPbStore, false);
        waitMs(T);
        h.setLine(kPbStore, true);
    }
    h.trainRunning(1, false);
    platform::pumpEvents();
}

void pushButtonSequence(LineHost& h, int Index)
{
    g_PinBatch = false;
    h.holdRunning(true);
    platform::pumpEvents();
    if (!h.vccOn())
        platform::msgBox(kVccOff); // the sequence still runs
    const int t0 = h.holdTime(0), t1 = h.holdTime(1), t2 = h.holdTime(2);
    const auto hold = [&h](int box, int t) {
        h.setLine(box, false);
        platform::pumpEvents();
        waitMs(t);
        h.setLine(box, true);
        platform::pumpEvents();
        waitMs(t);
    };
    switch (Index) {
    case 0:
        hold(kPbUp, t0);
        break;
    case 1:
        hold(kPbDown, t1);
        break;
    case 2:
        h.setLine(kPbStore, false);
        waitMs(t2);
        h.setLine(kPbStore, true);
        waitMs(t2);
        break;
    case 3:
    case 4: {
        // /STORE, /UP and /DOWN reach the board together in one port write.
        const bool level = Index == 4;
        const bool before[] = {h.line(kPbStore), h.line(kPbUp), h.line(kPbDown)};
        g_PinBatch = true;
        h.setLine(kPbStore, true);
        h.setLine(kPbUp, level);
        g_PinBatch = false;
        h.setLine(kPbDown, level);
        if (before[2] == level && (before[0] != true || before[1] != level))
            h.writePorts();
        platform::pumpEvents();
        break;
    }
    default:
        break;
    }
    h.holdRunning(false);
    platform::pumpEvents();
}

} // namespace updown
