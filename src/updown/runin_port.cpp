#include "updown/runin_port.h"

#include "link/hid.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"

namespace runin {

namespace {

void startRequest(std::uint8_t command)
{
    g_ReportBuffer.fill(0);
    g_ReportBuffer[0] = 1;
    g_ReportBuffer[1] = command;
}

} // namespace

void LinkPort::sendSfr(std::uint8_t address, std::uint8_t value)
{
    startRequest(0x12);
    g_ReportBuffer[2] = 0; // set
    g_ReportBuffer[3] = address;
    g_ReportBuffer[4] = value;
    WriteReport();
}

std::optional<int> LinkPort::convert()
{
    startRequest(0x11);
    g_ReportBuffer[2] = 0; // single conversion
    g_ReportBuffer[3] = 0; // the "31 Sample" setting
    WriteRequest(); // the answers its line writes still owe are collected first
    if (AwaitReport(kReplyWaitMs))
        return g_ReportBuffer[2] * 256 + g_ReportBuffer[3];
    checkStatus(0);
    return std::nullopt;
}

void LinkPort::drain() { FlushHidInput(); }

void LinkPort::letEventsRun() { platform::pumpEvents(); }

void sendLine(Port& port, Line changed, bool cs1, bool inc, bool ud)
{
    if (changed == kCs1) {
        port.sendSfr(kSfrP0, p0Request(cs1));
        return;
    }
    port.sendSfr(kSfrP1, p1Request(inc, ud));
    port.letEventsRun();
}

void stepWiper(Lines& lines, bool up, int count)
{
    lines.set(kCs1, false);
    g_PinBatch = true;
    lines.set(kInc, true);
    lines.set(kUpDown, up);
    g_PinBatch = false;
    for (int i = 1; i < count; ++i) {
        lines.set(kInc, false);
        lines.set(kInc, true);
    }
    lines.set(kInc, false);
}

void storeWiper(Lines& lines)
{
    g_PinBatch = false;
    lines.set(kInc, true);
    lines.set(kCs1, true);
    platform::sleepMs(3);
}

double countVolts(int count) { return count * 2 * g_AdcVref / 1023; }

Reading readWiper(Port& port, bool doublePurge)
{
    if (doublePurge)
        port.drain();
    const std::optional<int> first = port.convert();
    port.letEventsRun();
    port.drain();
    port.letEventsRun();
    const std::optional<int> second = port.convert();
    Reading r;
    if (!first || !second)
        return r;
    r.valid = true;
    r.count = *second;
    r.volts = countVolts(r.count);
    r.text = Format(r.volts, QStringLiteral("#0.00000"));
    g_VccVolts = r.volts;
    return r;
}

} // namespace runin
