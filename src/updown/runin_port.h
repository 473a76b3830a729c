#pragma once
// The run-in test's own traffic: it drives its three lines and reads the wiper with reports
// it writes straight into the link's buffer, not through the motherboard's port image.
//
//   P0 write        01 12 00 80 C0   /CS1 high (/CS2 high too)
//                   01 12 00 80 82   /CS1 low (/CS2 and P0.1 high)
//   P1 write        01 12 00 90 vv   vv = 2 x /INC + 4 x U/D; P1.3 and the rest low
//   conversion      01 11 00 00      one conversion of the selected input; reply bytes 2, 3
//
// Every request starts from a zeroed buffer with the report number 1 in byte 0, so no byte of
// an earlier exchange rides along. Line writes are not answered as far as the run-in cares:
// the link counts their replies and collects them before the next conversion is written.
#include "bridge/protocol.h"

#include <QString>

#include <cstdint>

namespace runin {

enum Line { kCs1 = 0, kInc = 1, kUpDown = 2 };

constexpr std::uint8_t kSfrP0 = 0x80, kSfrP1 = 0x90;
constexpr std::uint8_t p0Request(bool cs1High) { return cs1High ? 0xC0 : 0x82; }
constexpr std::uint8_t p1Request(bool inc, bool ud) { return std::uint8_t((inc ? 2 : 0) + (ud ? 4 : 0)); }

// One conversion request and what became of it. The link dialog has been shown for a
// refused write and for a reply that did not come within the reply wait.
struct Conversion {
    enum class Outcome { Replied, NoReply, WriteRefused };
    Outcome outcome = Outcome::NoReply;
    bridge::Report reply{}; // the reply, when one came
};

class Port {
public:
    virtual ~Port() = default;
    // A port register set; the write's result and reply are not looked at.
    virtual void sendSfr(std::uint8_t address, std::uint8_t value) = 0;
    virtual Conversion convert() = 0;
    // Throws away whatever replies are waiting.
    virtual void drain() = 0;
    virtual void letEventsRun() = 0;
};

// The selected board through the link's buffer and handles.
class LinkPort final : public Port {
public:
    void sendSfr(std::uint8_t address, std::uint8_t value) override;
    Conversion convert() override;
    void drain() override;
    void letEventsRun() override;
};

// The line levels as the window's boxes hold them. set() acts only on a change, and then
// sends the line's port request (sendLine).
class Lines {
public:
    virtual ~Lines() = default;
    virtual bool level(Line line) const = 0;
    virtual void set(Line line, bool high) = 0;
};

// The request a change of `changed` sends, from the levels the lines have now: P0 for /CS1,
// P1 for /INC and U/D (which then lets events run).
void sendLine(Port& port, Line changed, bool cs1, bool inc, bool ud);

// Wiper step train: /CS1 low, /INC high with U/D set, then count - 1 full pulses and a last
// falling edge: count steps, one when count is 1 or less. No waits, no abort.
void stepWiper(Lines& lines, bool up, int count);
// Store: /INC high, then /CS1 high (the rise with /INC high stores), then 3 ms.
void storeWiper(Lines& lines);

struct Reading {
    bool valid = false;
    int count = 0;
    double volts = 0.0;
    QString text = bridge::kNoReadingText; // as the result label shows it: "#0.00000"
    // Why an invalid reading is none: "no reply", "write refused" or "count " and the count
    // the reply carried (one the converter cannot give, or a reply with a failed status).
    QString why;
};

// Two conversions with a drain between (and one before with doublePurge); the second reply
// is the reading. The first conversion's count is never used, so what it carries does not
// matter; but when it was refused or went unanswered the link failed, and the second is not
// sent. A reading not received is invalid: it shows "-.---" and leaves g_VccVolts alone; a
// valid one sets g_VccVolts.
Reading readWiper(Port& port, bool doublePurge);

} // namespace runin
