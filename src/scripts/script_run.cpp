#include "scripts/script_run.h"

#include "link/hid.h"
#include "platform/services.h"
#include "shell/globals.h"
#include "shell/text.h"

#include <algorithm>
#include <stdexcept>

namespace script {

namespace {

// A row that cannot be carried out: its description is shown and the row ends there.
struct RowFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr int kLampGreen = 10, kLampDarkGreen = 2;

// Counts rows that are executing; the grid's cell event waits for none.
struct Depth {
    int& d;
    explicit Depth(int& depth) : d(depth) { ++d; }
    ~Depth() { --d; }
};

} // namespace

QString pauseText(int row) { return QString("Script Pause Line :%1 Click OK to Continue, Cancel to Abort").arg(row); }

QString illegalAddressText(int row, const QString& address)
{
    return QString("Illegal I2C address Script Row  %1 Value = %2").arg(row).arg(address);
}

QString linkLostText(int row) { return QString("The link to the board was lost at row %1; the run stops.").arg(row); }

QString noMainRowsText() { return "The script has no rows to run before its end of main."; }

QString delayText(int delay) { return delay == -1 ? QString("Delay Keypress") : QString("Delay %1").arg(delay); }

// A run holds the link's run scope, so that a transfer sent again after a Retry goes out
// quietly; the outermost notes the Retries so far, and a Retry after that ends the run.
class Executor::RunScope {
public:
    explicit RunScope(Executor& e) : e_(e)
    {
        if (e_.runDepth_++ == 0) {
            e_.retriesAtStart_ = e_.bus_.linkRetries();
            e_.linkLostRow_ = 0;
        }
    }
    ~RunScope() { --e_.runDepth_; }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
    bool outermost() const { return e_.runDepth_ == 1; }

private:
    Executor& e_;
    LinkRun link_;
};

Executor::Executor(Bus& bus, Host& host) : bus_(bus), host_(host) {}

void Executor::pump()
{
    host_.framePoint();
    platform::pumpEvents();
}

// True once the link was lost during the run in progress: the board was searched again, and
// nothing more of the run goes out.
bool Executor::linkLost()
{
    if (runDepth_ > 0 && linkLostRow_ == 0 && bus_.linkRetries() != retriesAtStart_)
        linkLostRow_ = std::max(currentRow, 1);
    return linkLostRow_ != 0;
}

// The outermost run has ended: everything is shown as it stands, then why it stopped early.
void Executor::endOfRun()
{
    host_.showNow();
    if (linkLostRow_ != 0)
        platform::msgBox(linkLostText(linkLostRow_));
}

void Executor::setScript(ScriptLoad load)
{
    load_ = std::move(load);
    passes = fails = 0;
    txtLastRead = txtIEnableStep = txtIDisableStep = txtIdetectStep = txtIexec = "----";
    txtIstart = load_.iStart ? QString(" %1").arg(load_.iStart) : QString("----");
    txtIend = load_.iEnd ? QString(" %1").arg(load_.iEnd) : QString("----");
    sampleLamp = 0;
    savedRow_ = 0;
    currentRow = 0;
    txtTotLines = QString::number(rowCount());
    dataRecordShown = false;
    state();
}

void Executor::changed(int r) { host_.rowChanged(r); }
void Executor::state() { host_.stateChanged(); }

// --- run control --------------------------------------------------------------------------

void Executor::execAll(bool fromLoop)
{
    const bool outer = !running_;
    running_ = true;
    RunScope run(*this);
    g_AbortRequest = false;
    loopShown = false;
    runAllShown = false;
    abortShown = true;
    state();
    pump();
    host_.runStarting();
    fails = passes = 0;
    txtTotLines = QString::number(load_.endMain);
    state();
    const int lastMain = lastMainRow();
    mainRow_ = 1;
    while (mainRow_ <= lastMain) {
        gridCurrentRow = mainRow_;
        ExecuteScriptRow(mainRow_, 1);
        if (linkLost())
            break; // at once: nothing more of the run goes out
        pump();
        txtRunning = QString::number(mainRow_);
        state();
        pump();
        if (g_AbortRequest || linkLost())
            break;
        ++mainRow_;
    }
    // A continuous run keeps "Abort" from its first pass to its end, and offers neither run
    // button between its passes.
    if (!fromLoop)
        abortShown = false;
    txtRunning = "Done";
    state();
    pump();
    dataRecordShown = true;
    if (!fromLoop) {
        runAllShown = true;
        loopShown = true;
    }
    if (outer)
        running_ = false;
    state();
    if (outer)
        endOfRun();
}

void Executor::cmdRunContinuous_Click()
{
    loopCount = 0;
    if (lastMainRow() < 1) {
        // A pass with no rows would take no time and could never be stopped.
        state();
        platform::msgBox(noMainRowsText());
        return;
    }
    running_ = true;
    RunScope run(*this);
    g_AbortRequest = false;
    loopShown = false;
    runAllShown = false;
    abortShown = true;
    state();
    int n = 0;
    while (!g_AbortRequest && !linkLost()) {
        execAll(true);
        ++n;
        loopCount = n;
        state();
        if (linkLost())
            break;
        pump();
        pump();
    }
    abortShown = false;
    loopShown = true;
    runAllShown = true;
    running_ = false;
    state();
    endOfRun();
}

void Executor::cmdAbort_Click()
{
    g_AbortRequest = true;
    pump();
}

void Executor::cellActivated(int row, int column)
{
    if (rowBusy())
        return; // a row is running: its own events must not start another one inside it
    ExecuteScriptRow(row, column);
}

void Executor::userSetSampling(bool on)
{
    sampling = on;
    txtIEnableStep = on ? "On" : "Off";
    txtIDisableStep = on ? "" : "On";
    state();
    pump();
    pump();
}

// --- one row ------------------------------------------------------------------------------

void Executor::ExecuteScriptRow(int r, int /*column*/)
{
    g_ScriptFailsAtRowStart = static_cast<std::int16_t>(fails);
    pump();
    if (gridCurrentRow != r || r < 1 || r > rowCount())
        return;
    Depth depth(rowDepth_);
    try {
        executeRow(r);
    } catch (const RowFailure& e) {
        platform::msgBox(QString::fromUtf8(e.what()));
    }
}

void Executor::executeRow(int r)
{
    row(r).bg(kI2CAdr) = kRed;
    changed(r);
    currentRow = r;
    const QString op = row(r).text(kOperation);
    if (op.left(11) == "Cmd:Set I2C") {
        row(r).bg(kActRd) = kWhite;
        row(r).text(kActRd).clear();
    } else if (op == "NOP") {
    } else if (op == "Cmd: Save File") {
        host_.autoSave();
    } else if (op == "Cmd: Int Enable") {
        txtIEnableStep = row(r).text(kLine);
        sampling = true;
    } else if (op == "Cmd: Int Disable") {
        txtIDisableStep = row(r).text(kLine);
        sampling = false;
    } else if (row(r).delay == -1) {
        row(r).text(kActRd) = delayText(-1);
        changed(r);
        pump();
        if (platform::msgBox(pauseText(r), platform::vbOKCancel) == platform::vbCancel)
            g_AbortRequest = true;
        pump();
        platform::sleepMs(100);
        pump();
        platform::sleepMs(100);
        pump();
    } else if (row(r).delay >= 1) {
        row(r).text(kActRd) = delayText(row(r).delay);
        changed(r);
        pump();
        host_.showNow(); // no event runs while it waits: what the screen shows must be current
        platform::sleepMs(row(r).delay);
    } else {
        dataRow(r);
    }
    changed(r);
    state();
    if (linkLost())
        return; // the row ends here: no sample, and its I2C Adr stays red
    if (sampling) {
        cmdISample_Click();
        if (linkLost())
            return;
        pump();
    }
    row(r).bg(kI2CAdr) = kGreen;
    changed(r);
    pump();
    pump();
}

void Executor::dataRow(int r)
{
    ScriptRow& R = row(r);
    const int address = HexToInt(R.text(kI2CAdr));
    if (address >= 255) {
        platform::msgBox(illegalAddressText(r, R.text(kI2CAdr)));
        return;
    }
    // An odd address is the read address of the part below it.
    g_I2CAddress = static_cast<std::uint8_t>(address & 0xFE);
    const int regBytes = R.regBytes;
    const int writeBytes = R.wrBytes ? R.regBytes + R.wrBytes : 0;
    const int readBytes = R.rdBytes ? R.regBytes + R.rdBytes : 0;
    if (writeBytes == 0 && readBytes == 0)
        return;
    if (R.text(kI2CAdr) == "GPIO") {
        gpioSet(r);
        pump();
        return;
    }
    // A row one report cannot carry fails before anything of it goes out.
    if (const QString beyond = reportLimitFailure(R, r, Family{g_I2CFamily, g_SPIFamily}); !beyond.isEmpty())
        throw RowFailure(beyond.toStdString());
    const std::vector<std::uint8_t> regs = hexBytes(R.text(kRegAdr), regBytes);
    if (g_I2CFamily) {
        if (writeBytes > 0) {
            const std::vector<std::uint8_t> data = hexBytes(R.text(kDataWr), R.wrBytes);
            const bool acknowledged = bus_.i2cWrite(g_I2CAddress, regs, data);
            if (linkLost())
                return;
            if (!acknowledged)
                R.bg(kDataWr) = kRed;
        }
        R.text(kActRd).clear();
        if (readBytes > 0) {
            buf_.assign(static_cast<size_t>(R.rdBytes), 0);
            const bool acknowledged = bus_.i2cRead(g_I2CAddress, regs, buf_);
            if (linkLost())
                return; // what came back after the search is no answer to this row
            if (!acknowledged) {
                failRow(r, "NAK"); // nothing was read: no bytes to compare
            } else {
                QString act;
                for (std::uint8_t b : buf_)
                    act += Hex2(b);
                R.text(kActRd) = act;
                compare(r);
            }
        }
        changed(r);
        pump();
    } else if (g_SPIFamily && writeBytes >= 1) {
        std::vector<std::uint8_t> frame = regs;
        const std::vector<std::uint8_t> data = hexBytes(R.text(kDataWr), R.wrBytes);
        frame.insert(frame.end(), data.begin(), data.end());
        const auto in = bus_.spiTransfer(frame);
        if (linkLost())
            return;
        R.text(kActRd).clear();
        if (!in) {
            if (readBytes >= 1)
                failRow(r, "ERR");
            else
                R.bg(kDataWr) = kRed;
        } else if (readBytes >= 1) {
            QString act;
            for (int i = 0; i < R.rdBytes; ++i) {
                if (hexPair(R.text(kDataRd), i) == "XX")
                    act += "XX";
                else if (static_cast<size_t>(i) < in->size())
                    act += Hex2((*in)[static_cast<size_t>(i)]);
            }
            R.text(kActRd) = act;
            compare(r);
        }
        changed(r);
        pump();
    }
    pump();
}

void Executor::gpioSet(int r)
{
    ScriptRow& R = row(r);
    const QString value = R.text(kDataWr);
    const int pairs = static_cast<int>((value.size() + 1) / 2);
    if (pairs > kPortImageBytes)
        throw RowFailure(QString("GPIO value %1 of row %2 has more than %3 bytes; the port image has %3.")
                             .arg(value)
                             .arg(r)
                             .arg(kPortImageBytes)
                             .toStdString());
    if (value.isEmpty()) {
        failRow(r, QString()); // nothing to set and nothing to check
        return;
    }
    txtIDefault = value;
    for (int k = 0; k < pairs; ++k)
        g_PortShadow[static_cast<size_t>(k)] = hexPairByte(value, k);
    state();
    pump();
    pump();
    bool ok = false;
    const QString actual = portText(value, ok);
    if (linkLost())
        return;
    txtLastRead = actual;
    R.text(kActRd) = actual;
    compare(r);
    toggleLamp();
    changed(r);
    state();
}

// The ports as the board shows them now, one hex pair per pair of `pairsOf`: positions 0..5
// read back from the board, 6..10 (no ports) from the image. "ERR" when the read failed.
QString Executor::portText(const QString& pairsOf, bool& ok)
{
    const int pairs = std::min(static_cast<int>((pairsOf.size() + 1) / 2), kPortImageBytes);
    std::optional<std::array<std::uint8_t, 6>> ports;
    if (pairs > 0) {
        ports = bus_.readPorts();
        if (!ports) {
            ok = false;
            return "ERR";
        }
    }
    QString t;
    for (int k = 0; k < pairs; ++k)
        t += Hex2(k < 6 ? (*ports)[static_cast<size_t>(k)] : g_PortShadow[static_cast<size_t>(k)]);
    ok = true;
    return t;
}

void Executor::toggleLamp() { sampleLamp = sampleLamp == kLampGreen ? kLampDarkGreen : kLampGreen; }

void Executor::compare(int r)
{
    ScriptRow& R = row(r);
    if (R.text(kActRd) == R.text(kDataRd)) {
        ++passes;
        R.bg(kActRd) = kGreen;
        state();
        return;
    }
    failRow(r, R.text(kActRd));
}

void Executor::failRow(int r, const QString& shown)
{
    ScriptRow& R = row(r);
    R.text(kActRd) = shown;
    R.bg(kActRd) = kRed;
    ++fails;
    g_ScriptFails = static_cast<std::int16_t>(fails);
    if (abortOnFail && g_ScriptFails > g_ScriptFailsAtRowStart)
        g_AbortRequest = true;
    state();
}

// --- interrupt sampling -------------------------------------------------------------------

void Executor::cmdISample_Click()
{
    bool ok = false;
    const QString sampled = portText(txtIDefault, ok);
    if (linkLost())
        return;
    txtLastRead = sampled;
    toggleLamp();
    state();
    if (txtLastRead == txtIDefault) {
        pump();
        return;
    }
    sampling = false;
    txtIdetectStep = currentRow >= 1 && currentRow <= rowCount() ? row(currentRow).text(kLine) : lineText(0);
    state();
    // A detection inside the service section is shown, but starts no section of its own.
    if (inSection_) {
        pump();
        return;
    }
    savedRow_ = currentRow;
    const int start = load_.iStart, end = load_.iEnd;
    if (start == 0 || end <= start) {
        pump();
        return;
    }
    // Started by the Sample button between runs, the section is a run of its own.
    RunScope run(*this);
    const bool alone = run.outermost();
    inSection_ = true;
    for (int ir = start; ir <= end; ++ir) {
        gridCurrentRow = ir;
        ExecuteScriptRow(ir, 1);
        if (linkLost())
            break;
        txtIexec = QString(" %1").arg(ir);
        state();
        pump();
        txtRunning = QString::number(ir);
        state();
        pump();
        if (g_AbortRequest || linkLost())
            break;
    }
    inSection_ = false;
    mainRow_ = savedRow_;
    if (linkLost()) {
        if (alone)
            endOfRun();
        return;
    }
    pump();
}

} // namespace script
