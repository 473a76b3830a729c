#include "link/hid.h"

#include "controls/lamp.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/activeform.h"
#include "shell/globals.h"
#include "shell/trace.h"

#include <algorithm>
#include <map>
#include <memory>

using platform::vbCancel;
using platform::vbRetry;
using platform::vbRetryCancel;

namespace {

struct OpenBoard {
    std::unique_ptr<platform::BoardConnection> connection;
    QString path;
    // Answers the board still owes to accepted writes nobody has read a report for yet. A
    // fresh connection owes nothing: the host keeps no reports from before it was opened.
    int owed = 0;
    // The count reached what the input queue holds: some answers were lost, and how many more
    // are still on their way from a slow board (written just before the collection) cannot be
    // told, so the collection reads on until a wait ends empty.
    bool queueFilled = false;
    bool answeredUnread = false; // an answer nobody asked for to read has come since the search
    bool givesNone = false;      // one was due and none came: the board answers no sets
};

// Both handles of a board refer to one connection: a report read on either side is the
// same report, so one connection serves both roles.
std::map<std::int32_t, std::shared_ptr<OpenBoard>> g_handles;
std::int32_t g_nextHandle = 0x100;
std::vector<QString> g_boardPaths;
QString g_selectedPath;
int g_searchDepth = 0;
bool g_searchAgain = false;
bool g_searchAgainKeeps = false; // the asked-for search keeps the selected board
int g_linkRetries = 0;
int g_runDepth = 0;

OpenBoard* boardOf(std::int32_t handle)
{
    auto it = g_handles.find(handle);
    return it == g_handles.end() ? nullptr : it->second.get();
}

platform::BoardConnection* connectionOf(std::int32_t handle)
{
    OpenBoard* b = boardOf(handle);
    return b ? b->connection.get() : nullptr;
}

// One report from the board; every report read is one answer fewer owed.
bool readAnswer(OpenBoard& b, platform::Report& in, int timeoutMs)
{
    if (b.connection->read(in, timeoutMs) != platform::ReadResult::Report)
        return false;
    if (b.owed > 0)
        --b.owed;
    return true;
}

// Reads the answers owed to writes whose reply nobody read, into `into`, each within
// kAnswerWaitMs. The first wait that ends empty ends the collection: a later answer is lost
// to the count rather than waited for again. When none has come since the search, the board
// is taken to answer no sets, and is not waited for again until the next search.
void collectOwed(OpenBoard& b, platform::Report& into)
{
    // Past the count, a board that keeps sending must not hold the collection for ever.
    for (int extra = 0; (b.owed > 0 || (b.queueFilled && extra < kMaxDrainReports)) && !b.givesNone;) {
        if (b.owed == 0)
            ++extra;
        platform::Report in{};
        if (!readAnswer(b, in, kAnswerWaitMs)) {
            b.givesNone = !b.answeredUnread;
            break;
        }
        b.answeredUnread = true;
        into = in;
    }
    b.owed = 0;
    b.queueFilled = false;
}

void defaultUnloadConsole(int exitCode)
{
    CloseHidHandles();
    platform::endProgram(exitCode);
}

void closeAtEnd() { CloseHidHandles(); }

} // namespace

LinkHooks& linkHooks()
{
    static LinkHooks hooks;
    if (!hooks.boardListInit)
        hooks.boardListInit = [](int preferred) { SelectBoard(preferred); };
    if (!hooks.unloadConsole)
        hooks.unloadConsole = defaultUnloadConsole;
    return hooks;
}

void resetLinkHooks()
{
    linkHooks() = LinkHooks{};
    g_handles.clear();
    g_boardPaths.clear();
    g_selectedPath.clear();
    g_searchDepth = 0;
    g_searchAgain = false;
    g_searchAgainKeeps = false;
    g_linkRetries = 0;
    g_runDepth = 0;
}

QString notFoundText()
{
    return QString("Please check USB connection.\r\nDCP_HID  Evaluation Board (PID &H2034) not found.");
}

void PrepareOverlappedRead()
{
    if (g_ReadEvent == 0)
        g_ReadEvent = 1;
}

void CloseHidHandles()
{
    g_handles.clear();
    g_boardPaths.clear();
    g_WriteHandles = {0};
    g_ReadHandles = {0};
    g_WriteHandle = -1;
    g_ReadHandle = -1;
}

void ClearUsbBuffer(std::uint8_t fill) { g_ReportBuffer.fill(fill); }

void SetReportId() { g_ReportBuffer[0] = 1; }

bool SearchPending() { return g_searchAgain; }

int LinkRetryCount() { return g_linkRetries; }

LinkRun::LinkRun() { ++g_runDepth; }
LinkRun::~LinkRun() { --g_runDepth; }
bool LinkRunActive() { return g_runDepth > 0; }

int BoardCount() { return static_cast<int>(g_boardPaths.size()); }

QString BoardPath(int instance)
{
    return instance >= 0 && instance < BoardCount() ? g_boardPaths[static_cast<size_t>(instance)] : QString();
}

int SelectedBoard()
{
    for (int i = 0; i < BoardCount(); ++i)
        if (g_boardPaths[static_cast<size_t>(i)] == g_selectedPath && connectionOf(g_WriteHandle))
            return i;
    return -1;
}

void SelectBoard(int instance)
{
    if (instance < 0 || instance >= static_cast<int>(g_WriteHandles.size()))
        return;
    g_WriteHandle = g_WriteHandles[static_cast<size_t>(instance)];
    g_ReadHandle = g_ReadHandles[static_cast<size_t>(instance)];
    g_selectedPath = BoardPath(instance);
}

namespace {

// Who asked for a search: the console's load, the Reconnect button or a link dialog's Retry.
enum class SearchCause { Load, Reconnect, Retry };

// The search behind InitHidConnection. After a Retry the user goes on with the board that was
// selected when it still answers the search; a search of its own (the console's load,
// Reconnect) starts again at board 0. After a Retry or Reconnect the board found is set up
// afresh (the freshBoard hook) before its read-back; the load's search reads it back only,
// since the windows that would set it up are still loading.
void searchBoards(SearchCause cause)
{
    const bool keepSelection = cause == SearchCause::Retry;
    // One search at a time: a link dialog's Retry inside the board selection that a search
    // runs asks for another search, which runs once this one has finished.
    if (g_searchDepth > 0) {
        g_searchAgainKeeps = g_searchAgain ? g_searchAgainKeeps && keepSelection : keepSelection;
        g_searchAgain = true;
        return;
    }
    struct Depth {
        Depth() { ++g_searchDepth; }
        ~Depth() { --g_searchDepth; }
    } depth;
    platform::atProgramEnd(closeAtEnd);

    bool keep = keepSelection;
    do {
        const QString previous = keep ? g_selectedPath : QString();
        g_searchAgain = false;
        if (!(g_WriteHandles.size() == 1 && g_WriteHandles[0] == 0))
            CloseHidHandles();

        for (;;) {
            std::vector<std::int32_t> writes, reads;
            QStringList refused;
            for (const auto& board : platform::enumerateBoards(g_BoardVendorId, kBoardProductId)) {
                QString error;
                auto connection = board.transport->open(board, &error);
                if (!connection) {
                    if (error.contains("Permission denied", Qt::CaseInsensitive))
                        refused << board.path;
                    continue; // a board that cannot be opened is skipped
                }
                auto open = std::make_shared<OpenBoard>(OpenBoard{std::move(connection), board.path});
                const std::int32_t w = g_nextHandle++;
                const std::int32_t r = g_nextHandle++;
                g_handles[w] = open;
                g_handles[r] = open;
                writes.push_back(w);
                reads.push_back(r);
                g_boardPaths.push_back(board.path);
                g_MsgResult = 1;
            }
            if (!writes.empty()) {
                g_WriteHandles = writes;
                g_ReadHandles = reads;
                break;
            }
            g_BoardPresent = false;
            if (!refused.isEmpty())
                platform::msgBox("Permission denied when opening the evaluation board:\r\n" + refused.join("\r\n")
                                     + "\r\n\r\nInstall the udev rule that comes with dcpeval (see README) and plug the board in again.",
                                 platform::vbOKOnly, "dcpeval");
            platform::services().tellTerminal(platform::noBoardFoundLine(g_BoardVendorId, kBoardProductId));
            g_MsgResult = platform::msgBox(notFoundText(), vbRetryCancel, QString());
            if (g_MsgResult != vbRetry) {
                linkHooks().unloadConsole(platform::kExitNotFoundCancel);
                return;
            }
        }
        g_BoardPresent = true;
        PrepareOverlappedRead();
        trace("     Init USB HID Connection");

        int preferred = 0;
        for (int i = 0; i < BoardCount(); ++i)
            if (!previous.isEmpty() && g_boardPaths[static_cast<size_t>(i)] == previous)
                preferred = i;
        SelectBoard(preferred);
        if (cause != SearchCause::Load && linkHooks().freshBoard)
            linkHooks().freshBoard();
        linkHooks().boardListInit(preferred);
        // A kept board whose read-back failed again is enumerated but silent: keeping it
        // once more would bring the dialog back for ever, so the next search starts at board 0.
        const bool keptBoardFailed = keep && g_searchAgain;
        keep = g_searchAgainKeeps && !keptBoardFailed;
    } while (g_searchAgain);
}

// The answer to a link dialog: Retry counts the lost link (a run in progress stops at it) and
// searches again; Cancel ends the program.
void answerLinkDialog()
{
    if (g_MsgResult == vbRetry) {
        ++g_linkRetries;
        searchBoards(SearchCause::Retry);
    } else {
        linkHooks().unloadConsole(platform::kExitLinkCancel);
    }
}

} // namespace

void InitHidConnection() { searchBoards(SearchCause::Load); }

void ReconnectHidConnection() { searchBoards(SearchCause::Reconnect); }

std::int32_t WriteReport()
{
    OpenBoard* b = boardOf(g_WriteHandle);
    if (!b || !b->connection->write(g_ReportBuffer))
        return 0; // a refused write is owed no answer
    // More than the host keeps cannot be waiting: the rest are lost on the way.
    const int queue = b->connection->inputQueueReports();
    b->owed = std::min(b->owed + 1, queue);
    b->queueFilled = b->queueFilled || b->owed == queue;
    return 1;
}

std::int32_t WriteRequest()
{
    if (OpenBoard* b = boardOf(g_ReadHandle)) {
        platform::Report scratch{};
        collectOwed(*b, scratch);
    }
    return WriteReport();
}

int OwedAnswers()
{
    const OpenBoard* b = boardOf(g_ReadHandle);
    return b ? b->owed : 0;
}

bool AwaitReport(int timeoutMs)
{
    OpenBoard* b = boardOf(g_ReadHandle);
    if (!b) {
        platform::sleepMs(timeoutMs); // nothing can answer on a closed handle
        return false;
    }
    platform::Report in{};
    if (!readAnswer(*b, in, timeoutMs))
        return false;
    g_ReportBuffer = in;
    return true;
}

int FlushHidInput()
{
    OpenBoard* b = boardOf(g_ReadHandle);
    if (!b)
        return 0;
    collectOwed(*b, g_ReportBuffer);
    for (int n = 0; n < kMaxDrainReports; ++n) {
        platform::Report in{};
        if (!readAnswer(*b, in, kDrainWaitMs))
            break; // nothing waiting (or the board is gone)
        b->answeredUnread = true;
        g_ReportBuffer = in;
    }
    return 0;
}

int GetReply()
{
    if (AwaitReport(kReplyWaitMs)) {
        const int status = g_ReportBuffer[1] != 0 ? kStatusDeviceError : kStatusOk;
        g_BridgeStatus = status;
        g_UsbCommError = 0;
        return status;
    }
    g_UsbCommError = 1; // the pending read was cancelled
    return kStatusNoReply;
}

int checkStatus(std::int32_t writeResult)
{
    if (writeResult != 0)
        return kStatusOk;
    g_MsgResult = platform::msgBox("Please check USB connection.\r\ncheckStatus", vbRetryCancel, QString());
    answerLinkDialog();
    return kStatusDialog;
}

void ShowTransferError(int status, int quiet)
{
    if (status == kStatusNoReply || status == kStatusWriteFailed) {
        if (g_ActiveForm)
            if (Lamp* lamp = g_ActiveForm->ShpAttach())
                lamp->setFillColor(12);
        const QString what = status == kStatusWriteFailed ? "WriteFile" : "ReadFile";
        g_MsgResult = platform::msgBox("Please check USB connection." + what + " error.", vbRetryCancel, QString());
        answerLinkDialog();
    } else if (status == kStatusDeviceError && quiet == 0) {
        g_MsgResult = platform::msgBox(
            "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel to close GUI.",
            vbRetryCancel, QString());
        if (g_MsgResult != vbRetry)
            linkHooks().unloadConsole(platform::kExitNakCancel);
    }
}

namespace {

// Bytes 1 onward of the I2C transfer request (command 6). Bytes past the request keep what
// the last exchange left there. The report number is set as well: a stale byte 0 (a reply's
// report number, or 0 in a fresh buffer) would address another report or fail the write.
int i2cTransfer(std::uint8_t address, std::uint8_t count, int registerCount, std::span<const std::uint8_t> registers,
                std::span<const std::uint8_t> writeData, std::span<std::uint8_t> readData, bool isRead)
{
    // The callers check their counts; a transfer that could not fit in one report is never built.
    const bool fits = isRead ? (count >= 1 && count <= 62 && registerCount >= 0 && registerCount <= 59)
                             : (count >= 1 && registerCount >= 0 && count + registerCount <= 59);
    if (!fits || static_cast<int>(registers.size()) < registerCount
        || static_cast<int>((isRead ? readData.size() : writeData.size())) < count) {
        g_BridgeStatus = kStatusDeviceError; // a caller judging the status must not see the last success
        return kStatusDeviceError;
    }

    SetReportId();
    g_ReportBuffer[1] = 0x06;
    g_ReportBuffer[2] = static_cast<std::uint8_t>(isRead ? address + 1 : address);
    g_ReportBuffer[3] = count;
    g_ReportBuffer[4] = static_cast<std::uint8_t>(registerCount);
    for (int i = 0; i < registerCount; ++i)
        g_ReportBuffer[static_cast<size_t>(5 + i)] = registers[static_cast<size_t>(i)];
    if (!isRead)
        for (int i = 0; i < count; ++i)
            g_ReportBuffer[static_cast<size_t>(5 + registerCount + i)] = writeData[static_cast<size_t>(i)];

    if (WriteRequest() == 0) {
        g_UsbCommError = 4;
        return kStatusWriteFailed;
    }
    const int status = GetReply();
    if (isRead && status == kStatusOk)
        for (int i = 0; i < count; ++i)
            readData[static_cast<size_t>(i)] = g_ReportBuffer[static_cast<size_t>(i + 2)];
    return status;
}

} // namespace

int I2CRead(std::uint8_t address, std::uint8_t count, int registerCount, std::span<std::uint8_t> data,
            std::span<const std::uint8_t> registers)
{
    return i2cTransfer(address, count, registerCount, registers, {}, data, true);
}

int I2CWrite(std::uint8_t address, std::uint8_t count, int registerCount, std::span<const std::uint8_t> data,
             std::span<const std::uint8_t> registers)
{
    return i2cTransfer(address, count, registerCount, registers, data, {}, false);
}

namespace {

// Sends the transfer again after every Retry of its link dialog.
template <class Transfer>
int withRetry(Transfer transfer, int quiet)
{
    for (;;) {
        const int status = transfer();
        ShowTransferError(status, quiet);
        if (status != kStatusNoReply && status != kStatusWriteFailed)
            return status;
        if (LinkRunActive())
            quiet = 1;
        if (SearchPending()) {
            // The Retry came inside a board selection's read-back: the new search runs only
            // once that selection is over, so sending now would meet the failed board again,
            // dialog after dialog. Give up and let the caller see the failure.
            g_BridgeStatus = status;
            return status;
        }
    }
}

} // namespace

int I2CReadRetry(std::uint8_t address, std::uint8_t count, int registerCount, std::span<std::uint8_t> data,
                 std::span<const std::uint8_t> registers, int quiet)
{
    return withRetry([&] { return I2CRead(address, count, registerCount, data, registers); }, quiet);
}

int I2CWriteRetry(std::uint8_t address, std::uint8_t count, int registerCount, std::span<const std::uint8_t> data,
                  std::span<const std::uint8_t> registers, int quiet)
{
    return withRetry([&] { return I2CWrite(address, count, registerCount, data, registers); }, quiet);
}
