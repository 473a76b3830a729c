#pragma once
// The board link: the program's only path to the evaluation boards. It finds every board,
// keeps two handles per board (one for writing reports, one for reading them), makes one
// board the selected board and exchanges 64-byte reports with it. Results are status codes;
// link failures raise Retry/Cancel dialogs, Retry searches again and Cancel ends the program.
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

// Transfer status codes.
enum TransferStatus : int {
    kStatusDialog = 0,   // checkStatus after its dialog
    kStatusDeviceError = 1,
    kStatusNoReply = 2,
    kStatusWriteFailed = 4,
    kStatusOk = 8,
};

constexpr int kReplyWaitMs = 6000;
constexpr int kDrainWaitMs = 1;
// A board that keeps sending would hold the drain for ever; past this many stale reports
// the drain gives up and the exchange goes on.
constexpr int kMaxDrainReports = 256;
// The bridge answers every request, sets too, in order. The link counts the answers owed to
// writes whose reply nobody reads and collects them before a request whose reply it reads,
// each within this wait (a late answer, not a lost board: never the reply wait).
constexpr int kAnswerWaitMs = 50;

void InitHidConnection();
// Reconnect: the search again. Once it finds a board, the fresh board is set up as the windows
// show it (LinkHooks::freshBoard) before its state is read back, as after a link dialog's Retry.
void ReconnectHidConnection();
void PrepareOverlappedRead();
void CloseHidHandles();
void ClearUsbBuffer(std::uint8_t fill);
void SetReportId();
int FlushHidInput();
int GetReply();
int checkStatus(std::int32_t writeResult);
void ShowTransferError(int status, int quiet);

int I2CRead(std::uint8_t address, std::uint8_t count, int registerCount, std::span<std::uint8_t> data,
            std::span<const std::uint8_t> registers);
int I2CWrite(std::uint8_t address, std::uint8_t count, int registerCount, std::span<const std::uint8_t> data,
             std::span<const std::uint8_t> registers);
// The transfer with its link dialogs, sent again after each Retry; returns 8 or 1, and
// g_BridgeStatus holds the same. Inside a board selection's read-back a Retry only asks for
// a search after it, so there the wrapper returns the 2 or 4 it met (g_BridgeStatus too).
int I2CReadRetry(std::uint8_t address, std::uint8_t count, int registerCount, std::span<std::uint8_t> data,
                 std::span<const std::uint8_t> registers, int quiet);
int I2CWriteRetry(std::uint8_t address, std::uint8_t count, int registerCount, std::span<const std::uint8_t> data,
                  std::span<const std::uint8_t> registers, int quiet);

// The report write and the reply read on the selected board, as the senders that fill
// g_ReportBuffer themselves use them. WriteReport returns nonzero when the whole report
// was written; AwaitReport reads one report into g_ReportBuffer and returns true when it
// came within timeoutMs (false on a time-out or when the board is gone).
std::int32_t WriteReport();
bool AwaitReport(int timeoutMs);
// The write of a request whose reply is read next: the answers earlier writes still owe are
// collected first, into a scratch buffer (g_ReportBuffer and the bytes a request carries past
// its own stay as they are), so the first report read after it is its own reply. A drain
// (FlushHidInput) collects them into g_ReportBuffer instead, as it drains.
std::int32_t WriteRequest();
// Answers owed to the selected board's writes whose reply nobody has read: what the next
// collection waits for.
int OwedAnswers();

// Makes board instance i (position in the last search) the selected board.
void SelectBoard(int instance);
int BoardCount();
QString BoardPath(int instance);
int SelectedBoard();
// True while a search that a Retry asked for has not run yet (a link dialog inside the
// board selection's read-back asks for one); work that would only meet the same dead
// board again can stop early.
bool SearchPending();

// Long runs (a run-in, a script run, a calibration sweep) end at a lost link: they note the
// count before each step and stop when a link-error dialog (checkStatus, ReadFile/WriteFile)
// was answered Retry meanwhile. The not-acknowledged dialog does not count.
int LinkRetryCount();
// Held by a run while it sends. An I2C transfer sent again after a Retry inside a run is sent
// quietly (a NAK then shows no box): the run is ending, and a box per row would keep it alive.
class LinkRun {
public:
    LinkRun();
    ~LinkRun();
    LinkRun(const LinkRun&) = delete;
    LinkRun& operator=(const LinkRun&) = delete;
};
bool LinkRunActive();

// The bridge console hosts the board list and owns the program's end; until it exists the
// link selects the preferred board itself and a Cancel ends the program directly.
struct LinkHooks {
    std::function<void(int preferredInstance)> boardListInit; // fills the board list, selects
    std::function<void(int exitCode)> unloadConsole;          // Cancel in a link dialog (a platform::ExitCode)
    // After a search that a Retry or Reconnect started found a board, before its read-back:
    // a fresh board comes up with its own pin levels, so the windows' state is sent to it.
    std::function<void()> freshBoard;
};
LinkHooks& linkHooks();
void resetLinkHooks();

// The texts of the link dialogs.
QString notFoundText();
