#pragma once
// Running a loaded script: rows one by one through a small bus interface, reads compared
// with what the file expects, pass and fail counters, abort (also on the first fail), the
// continuous loop, and interrupt sampling with its service section. No widgets: the
// script window shows the state kept here and is told when it changes.
#include "scripts/script_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace script {

// What a script row needs of the board.
class Bus {
public:
    virtual ~Bus() = default;
    // I2C write and read at an 8-bit write address; the register bytes go out ahead of the
    // data as the console's random-access option says. False: not acknowledged.
    virtual bool i2cWrite(std::uint8_t address, std::span<const std::uint8_t> regs,
                          std::span<const std::uint8_t> data) = 0;
    virtual bool i2cRead(std::uint8_t address, std::span<const std::uint8_t> regs, std::span<std::uint8_t> out) = 0;
    // One SPI transfer: the bytes clocked in, nothing when the exchange failed.
    virtual std::optional<std::vector<std::uint8_t>> spiTransfer(std::span<const std::uint8_t> bytes) = 0;
    // A fresh read-back of port image positions 0..5 (levels and drive enables of P0..P2).
    virtual std::optional<std::array<std::uint8_t, 6>> readPorts() = 0;
    // How often a link-error dialog was answered Retry so far: when the count moves during a
    // run, the link was lost and the board searched again, and the run stops there.
    virtual int linkRetries() { return 0; }
};

// The window, told what changed.
class Host {
public:
    virtual ~Host() = default;
    virtual void rowChanged(int /*row*/) {}
    virtual void stateChanged() {} // counters, run position, interrupt fields, buttons
    virtual void autoSave() {}     // a save command row
    virtual void runStarting() {}  // a full run registers the window in front
    // An event pump of the run comes next: a window that batches its repaints shows there what
    // changed, once per frame.
    virtual void framePoint() {}
    // Everything is to be shown now, the row in hand current (a delay row starts, a run ends).
    virtual void showNow() {}
};

// Texts of a pause row's box, of an illegal address, of a run that lost the link and of a
// continuous run with nothing to run.
QString pauseText(int row);
QString illegalAddressText(int row, const QString& address);
QString linkLostText(int row);
QString noMainRowsText();
// What a delay row shows in Act_Rd while it waits: its milliseconds, or the pause (-1).
QString delayText(int delay);

class Executor {
public:
    Executor(Bus& bus, Host& host);

    // A new load: rows, section rows, counters "0", interrupt fields back to "----".
    void setScript(ScriptLoad load);
    const ScriptLoad& script() const { return load_; }
    // The kept source lines: the results file merges and stamps them in place.
    QStringList& lines() { return load_.lines; }
    int rowCount() const { return static_cast<int>(load_.rows.size()); }
    ScriptRow& row(int r) { return load_.rows.at(static_cast<size_t>(r - 1)); }
    const ScriptRow& row(int r) const { return load_.rows.at(static_cast<size_t>(r - 1)); }

    // --- run control
    void cmdExecAll_Click() { execAll(false); }
    void cmdRunContinuous_Click();
    void cmdAbort_Click();
    // A row; acts only when it is the grid's current row.
    void ExecuteScriptRow(int row, int column);
    // The grid's cell event: ignored while a row is executing.
    void cellActivated(int row, int column);
    // "Sample": one interrupt sample (also after every row while sampling is on).
    void cmdISample_Click();
    // The "Enable" box, switched by the user.
    void userSetSampling(bool on);

    bool running() const { return running_; }
    bool rowBusy() const { return rowDepth_ > 0; }
    // Rows are running: a full run or loop, the service section, or a single row. Their rows
    // are the loaded script's: no load and no other run starts until they have ended.
    bool busy() const { return running_ || rowDepth_ > 0 || runDepth_ > 0; }
    // The last row a full run covers: the row before the end-of-main command, or the last row.
    int lastMainRow() const { return load_.hasEndMain ? load_.endMain - 1 : load_.endMain; }

    // --- what the window shows
    int gridCurrentRow = 0;
    int passes = 0, fails = 0;
    QString txtRunning = "1";
    QString txtTotLines;
    int loopCount = 0;
    bool abortOnFail = false;
    bool runAllShown = true, loopShown = true, abortShown = false, dataRecordShown = false;
    // interrupt sampling
    bool sampling = false;
    QString txtIDefault = "0000", txtLastRead = "0000";
    QString txtIEnableStep = "----", txtIDisableStep = "----", txtIdetectStep = "----";
    QString txtIstart = "----", txtIend = "----", txtIexec = "----";
    int sampleLamp = 0; // palette
    int currentRow = 0; // the row being executed (0 before any)

private:
    class RunScope;
    void execAll(bool fromLoop);
    void pump();
    bool linkLost();
    void endOfRun();
    void executeRow(int r);
    void dataRow(int r);
    void gpioSet(int r);
    void compare(int r);
    void failRow(int r, const QString& shown);
    void toggleLamp();
    QString portText(const QString& pairsOf, bool& ok);
    void changed(int r);
    void state();

    Bus& bus_;
    Host& host_;
    ScriptLoad load_;
    bool running_ = false;
    int rowDepth_ = 0;
    bool inSection_ = false;
    int mainRow_ = 0, savedRow_ = 0;
    // Runs in progress (a full run, a loop, the service section the Sample button starts),
    // the link-error Retries when the outermost began, and the row at which the link was lost.
    int runDepth_ = 0, retriesAtStart_ = 0, linkLostRow_ = 0;
    std::vector<std::uint8_t> buf_; // the bytes of the last read
};

} // namespace script
