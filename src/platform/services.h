#pragma once
// Everything that waits, asks the user or leaves the program goes through here, so that
// tests can answer dialogs, run time virtually and see the program end.
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace platform {

// Message box buttons and answers, numbered as the program's dialogs always were.
enum MsgButtons { vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5 };
enum MsgAnswer { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct FileDialogSpec {
    QString title;
    QString fileName;    // proposed name
    QString filter;      // "All Files (*.*)|*.*|Text (*.txt)|*.txt" (pairs split by '|')
    int filterIndex = 1; // the filter entry selected at the start, counted from 1
    QString defaultExt;  // "txt"
    QString directory;
    QString remembers;   // the dialog's name (openInLastFolder): the folder of the file chosen is
                         // where the dialog of that name opens next
};

// Lets a file dialog open where its user works: in the folder of the file last chosen in the
// dialog called name during this run; before that in the example files (exampleSubfolder of
// them) when the program runs from a build tree of its project, else in the program directory.
void openInLastFolder(FileDialogSpec& dialog, const QString& name, const QString& exampleSubfolder = QString());
// Notes the file chosen in dialog (nothing when path is empty: the dialog was cancelled).
// Every implementation of the file dialogs calls it.
void rememberChosenFile(const FileDialogSpec& dialog, const QString& path);
// The project's example files when exeDir lies in one of its build trees, else empty.
QString exampleFilesFolder(const QString& exeDir);
// Tests: every dialog forgets its last folder.
void forgetDialogFolders();

// How the program ended, as its exit status tells a script or a desktop launcher.
enum ExitCode : int {
    kExitQuit = 0,           // a quit: the menu, the bridge console or a device window closed
    kExitRefused = 2,        // a command line the program cannot take
    kExitNoDisplay = 3,      // no display to open the windows on
    kExitLinkCancel = 4,     // Cancel in a link-error dialog (checkStatus, ReadFile, WriteFile)
    kExitNotFoundCancel = 5, // Cancel in the board-not-found dialog
    kExitNakCancel = 6,      // Cancel in the not-acknowledged dialog
};

// Thrown by the test services' endProgram so that a test sees the end and unwinds.
struct ProgramEnded : std::runtime_error {
    ProgramEnded() : std::runtime_error("program ended") {}
};

class Services {
public:
    virtual ~Services() = default;
    virtual int msgBox(const QString& text, int buttons, const QString& title) = 0;
    // Empty result: the dialog was cancelled.
    virtual QString openFileName(const FileDialogSpec& dialog) = 0;
    virtual QString saveFileName(const FileDialogSpec& dialog) = 0;
    virtual void sleepMs(int ms) = 0;
    virtual void pumpEvents() = 0;
    // Wall-clock date and time (for file headers and the time of day).
    virtual QDateTime now() = 0;
    // Milliseconds on a clock that never goes back (transport time-outs, simulated delays).
    virtual std::int64_t monotonicMs() = 0;
    // Ends the program with exit status code (an ExitCode).
    [[noreturn]] virtual void endProgram(int code) = 0;
    virtual QString programDir() = 0;
    // One line for a user at the terminal the program was started from (stderr).
    virtual void tellTerminal(const QString& line) = 0;
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString& text) = 0;
};

Services& services();
void setServices(Services* s);

// Run before every message box, so that a window which batches its repaints shows its state
// as it stands under the box. One hook at a time (an empty one: none).
void setBeforeMessageBox(std::function<void()> hook);
void beforeMessageBox();

// Shorthands used all over the windows.
inline int msgBox(const QString& text, int buttons = vbOKOnly, const QString& title = QString())
{
    beforeMessageBox();
    return services().msgBox(text, buttons, title);
}
inline void sleepMs(int ms) { services().sleepMs(ms); }
inline void pumpEvents() { services().pumpEvents(); }
[[noreturn]] inline void endProgram(int code)
{
    services().endProgram(code);
    std::abort(); // not reached: every implementation ends the program or unwinds
}
inline QString programDir() { return services().programDir(); }
// Seconds since midnight, as the time-of-day timer of the old desktop reported it.
double secondsSinceMidnight();

// Work to do before the process ends (closing the board link); run by endProgram.
void atProgramEnd(void (*fn)());
void runProgramEndHooks();

// The real desktop: Qt message boxes and file dialogs, real sleeps, process exit.
class DesktopServices : public Services {
public:
    explicit DesktopServices(QString dataDir = QString());
    int msgBox(const QString& text, int buttons, const QString& title) override;
    QString openFileName(const FileDialogSpec& dialog) override;
    QString saveFileName(const FileDialogSpec& dialog) override;
    void sleepMs(int ms) override;
    void pumpEvents() override;
    QDateTime now() override;
    std::int64_t monotonicMs() override;
    [[noreturn]] void endProgram(int code) override;
    QString programDir() override;
    void tellTerminal(const QString& line) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;

private:
    QString dataDir_;
};

// Qt's file-dialog filter from the program's "Name|pattern|Name|pattern" form.
QString qtFilter(const QString& vbFilter);

} // namespace platform
