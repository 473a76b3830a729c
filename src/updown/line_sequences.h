#pragma once
// The timed line sequences of the pin-driven consoles: up/down pulse trains and store
// sequences, push-button press trains and hold sequences. They drive the lines only through
// the console's line boxes (each change mirrors its pin into the motherboard's port image and,
// outside a pin batch, writes the ports), so what reaches the board is exactly the edges a
// user would make by hand. No widgets here: the console implements LineHost.
#include <QString>

namespace updown {

class LineHost {
public:
    virtual ~LineHost() = default;
    virtual bool line(int box) const = 0;
    // Sets a line box; a box that already shows the level runs nothing.
    virtual void setLine(int box, bool high) = 0;
    // The level of the box's pin in the port image.
    virtual bool pinLevel(int box) const = 0;
    // Runs the box's change handler as if it had changed (mirror, write, sample).
    virtual void lineChanged(int box) = 0;
    virtual void writePorts() = 0;
    virtual void sampleWiper() = 0;
    virtual bool vccOn() const = 0;
    // Count and period boxes, read as whole numbers (a bad text is reset to its fallback).
    virtual int count(int index) = 0;
    virtual int period(int dcp) = 0;
    // The train's buttons: disabled while it runs; its Abort goes out of view as it ends.
    virtual void trainRunning(int dcp, bool running) = 0;
    // The running train's Abort comes into view.
    virtual void showAbort(int dcp) = 0;
    // Up/down: the "set /CS high after the train" box of a DCP.
    virtual bool csHighAfterTrain(int dcp) const { (void)dcp; return false; }
    virtual void disableNoStore(int dcp) { (void)dcp; }
    // Push button: "Toggle Store", the hold times, the hold frame's buttons.
    virtual bool storeAfterTrain() const { return false; }
    virtual int holdTime(int index) { (void)index; return 0; }
    virtual void holdRunning(bool running) { (void)running; }
};

// A number box's value: numeric text gives its whole value, clipped to the 16-bit range;
// other text gives nullopt-like `ok == false` and the caller resets the box.
int wholeNumber(const QString& text, bool* ok);

// Waits t ms when t > 0.
void waitMs(int t);

// --- up/down console: boxes 0..2 are /CS1, /INC, U/D of DCP #1, boxes 4..6 those of DCP #2.
// Index: 0 Up and 1 Down of DCP #1, 2 Up and 3 Down of DCP #2.
void upDownTrain(LineHost& h, int Index);
// Index 0 (DCP #1) and 2 (DCP #2): Store; 1 and 3: No Store.
void upDownSequence(LineHost& h, int Index);

// --- push-button console: boxes 0 /CS1, 1 /STORE, 2 /MUTE, 3 /UP, 4 /DOWN.
void pushButtonTrain(LineHost& h, int Index); // 0 Up, 1 Down
// 0 hold Up, 1 hold Down, 2 Toggle Store, 3 Enable Shutdown, 4 Release Shutdown.
void pushButtonSequence(LineHost& h, int Index);

} // namespace updown
