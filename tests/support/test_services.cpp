#include "support/test_services.h"

#include <gtest/gtest.h>

TestServices::TestServices() : clock(QDate(2026, 3, 2), QTime(10, 0, 0))
{
    platform::forgetDialogFolders(); // each test's dialogs start where a fresh program's do
}

QStringList TestServices::boxTexts() const
{
    QStringList out;
    for (const auto& b : boxes)
        out << b.text;
    return out;
}

int TestServices::msgBox(const QString& text, int buttons, const QString& title)
{
    int reply;
    if (onBox) {
        reply = onBox(text, buttons);
    } else if (!answers_.empty()) {
        reply = answers_.front();
        answers_.pop_front();
    } else {
        ++unexpectedBoxes;
        ADD_FAILURE() << "unexpected message box: " << text.toStdString();
        // The answer that keeps the program going without repeating anything.
        reply = buttons == platform::vbRetryCancel ? platform::vbRetry
              : buttons == platform::vbYesNo      ? platform::vbNo
                                                  : platform::vbOK;
        if (unexpectedBoxes > 20)
            throw platform::ProgramEnded(); // a loop of dialogs: stop the test
    }
    boxes.push_back({text, buttons, title, reply});
    return reply;
}

QString TestServices::openFileName(const platform::FileDialogSpec& dialog)
{
    dialogs.push_back(dialog);
    if (openPaths.empty())
        return QString();
    QString p = openPaths.front();
    openPaths.pop_front();
    platform::rememberChosenFile(dialog, p);
    return p;
}

QString TestServices::saveFileName(const platform::FileDialogSpec& dialog)
{
    dialogs.push_back(dialog);
    if (savePaths.empty())
        return QString();
    QString p = savePaths.front();
    savePaths.pop_front();
    platform::rememberChosenFile(dialog, p);
    return p;
}

void TestServices::advanceMs(std::int64_t ms)
{
    if (ms <= 0)
        return;
    monoMs += ms;
    clock = clock.addMSecs(ms);
}

void TestServices::sleepMs(int ms)
{
    sleptMs += ms;
    advanceMs(ms);
}

void TestServices::pumpEvents()
{
    ++pumps;
    if (onPump)
        onPump(pumps);
}

void TestServices::endProgram(int code)
{
    platform::runProgramEndHooks();
    ended = true;
    exitCode = code;
    throw platform::ProgramEnded();
}
