#pragma once
// Test stand-ins for the desktop: scripted message-box answers with every text recorded,
// scripted file-dialog paths, a virtual clock whose sleeps advance time at once, a hook at
// the N-th event pump, and a program end that unwinds the test.
#include "platform/services.h"

#include <QDateTime>
#include <QStringList>

#include <deque>
#include <functional>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct RecordedBox {
    QString text;
    int buttons;
    QString title;
    int answer;
};

class TestServices : public platform::Services {
public:
    TestServices();

    // --- message boxes: answers are taken in order; a box with no answer left fails the test
    void answer(int reply) { answers_.push_back(reply); }
    void answerAll(int reply, int times) { for (int i = 0; i < times; ++i) answer(reply); }
    std::vector<RecordedBox> boxes;
    QStringList boxTexts() const;
    int unexpectedBoxes = 0;
    std::function<int(const QString& text, int buttons)> onBox; // optional: decides when set

    // --- file dialogs
    std::deque<QString> openPaths, savePaths;
    std::vector<platform::FileDialogSpec> dialogs;

    // --- virtual clock
    QDateTime clock;          // wall-clock time of day
    std::int64_t monoMs = 0;  // monotonic milliseconds
    void advanceMs(std::int64_t ms);
    int pumps = 0;
    std::function<void(int pumpNumber)> onPump;
    int sleptMs = 0;

    // --- program end
    bool ended = false;
    int exitCode = -1;         // the code the program ended with
    QStringList terminalLines; // what it told the terminal
    QString programDirectory;
    QString clipboard;

    int msgBox(const QString& text, int buttons, const QString& title) override;
    QString openFileName(const platform::FileDialogSpec& dialog) override;
    QString saveFileName(const platform::FileDialogSpec& dialog) override;
    void sleepMs(int ms) override;
    void pumpEvents() override;
    QDateTime now() override { return clock; }
    std::int64_t monotonicMs() override { return monoMs; }
    [[noreturn]] void endProgram(int code) override;
    QString programDir() override { return programDirectory; }
    void tellTerminal(const QString& line) override { terminalLines << line; }
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }

private:
    std::deque<int> answers_;
};
