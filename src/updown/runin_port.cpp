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

Conversion LinkPort::convert()
{
    startRequest(0x11);
    g_ReportBuffer[2] = 0; // single conversion
    g_ReportBuffer[3] = 0; // the "31 Sample" setting
    Conversion c;
    // The answers its line writes still owe are collected first.
    if (WriteRequest() == 0) {
        // Nothing was asked, so nothing can come: no reply wait.
        c.outcome = Conversion::Outcome::WriteRefused;
        checkStatus(0);
        return c;
    }
    if (AwaitReport(kReplyWaitMs)) {
        c.outcome = Conversion::Outcome::Replied;
        c.reply = g_ReportBuffer;
        return c;
    }
    checkStatus(0);
    return c;
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

namespace {

// The reading a conversion gives, or why it gives none.
std::optional<int> readingOf(const Conversion& c, QString& why)
{
    switch (c.outcome) {
    case Conversion::Outcome::NoReply:
        why = QStringLiteral("no reply");
        return std::nullopt;
    case Conversion::Outcome::WriteRefused:
        why = QStringLiteral("write refused");
        return std::nullopt;
    case Conversion::Outcome::Replied:
        break;
    }
    const bridge::AdcConversion a = bridge::decodeAdcConversion(c.reply);
    if (!a.reading) {
        why = QStringLiteral("count ") + QString::number(a.count);
        return std::nullopt;
    }
    return a.count;
}

} // namespace

Reading readWiper(Port& port, bool doublePurge)
{
    if (doublePurge)
        port.drain();
    Reading r;
    if (const Conversion first = port.convert(); first.outcome != Conversion::Outcome::Replied) {
        readingOf(first, r.why);
        return r;
    }
    port.letEventsRun();
    port.drain();
    port.letEventsRun();
    const std::optional<int> count = readingOf(port.convert(), r.why);
    if (!count)
        return r;
    r.valid = true;
    r.count = *count;
    r.volts = bridge::wiperVoltsOfCount(g_AdcVref, r.count);
    r.text = Format(r.volts, QStringLiteral("#0.00000"));
    g_VccVolts = r.volts;
    return r;
}

} // namespace runin
