#include "platform/services.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace platform {

namespace {
Services* g_services = nullptr;

std::vector<void (*)()>& endHooks()
{
    static std::vector<void (*)()> hooks;
    return hooks;
}

// The folder of the file last chosen, by dialog name; for this run only.
std::map<QString, QString>& lastFolders()
{
    static std::map<QString, QString> folders;
    return folders;
}

std::function<void()>& boxHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

Services& services()
{
    if (!g_services) {
        static DesktopServices fallback;
        g_services = &fallback;
    }
    return *g_services;
}

void setServices(Services* s) { g_services = s; }

void setBeforeMessageBox(std::function<void()> hook) { boxHook() = std::move(hook); }

void beforeMessageBox()
{
    if (boxHook())
        boxHook()();
}

double secondsSinceMidnight()
{
    return services().now().time().msecsSinceStartOfDay() / 1000.0;
}

void atProgramEnd(void (*fn)())
{
    for (auto h : endHooks())
        if (h == fn)
            return;
    endHooks().push_back(fn);
}

void runProgramEndHooks()
{
    for (auto h : endHooks())
        h();
}

QString exampleFilesFolder(const QString& exeDir)
{
#if defined(DCPEVAL_BUILD_DIR) && defined(DCPEVAL_EXAMPLES_DIR)
    // An installed copy has no examples beside it; one run from where it was built has the
    // project's own, and they are what its README starts from.
    const QString build = QDir(QStringLiteral(DCPEVAL_BUILD_DIR)).canonicalPath();
    const QString exe = QDir(exeDir).canonicalPath();
    if (!build.isEmpty() && !exe.isEmpty() && (exe == build || exe.startsWith(build + '/'))
        && QFileInfo(QStringLiteral(DCPEVAL_EXAMPLES_DIR)).isDir())
        return QStringLiteral(DCPEVAL_EXAMPLES_DIR);
#else
    (void)exeDir;
#endif
    return {};
}

void openInLastFolder(FileDialogSpec& dialog, const QString& name, const QString& exampleSubfolder)
{
    dialog.remembers = name;
    const auto last = lastFolders().find(name);
    if (last != lastFolders().end() && QFileInfo(last->second).isDir()) {
        dialog.directory = last->second;
        return;
    }
    const QString examples = exampleFilesFolder(QCoreApplication::applicationDirPath());
    const QString first = examples.isEmpty() ? QString() : QDir(examples).filePath(exampleSubfolder);
    dialog.directory = !first.isEmpty() && QFileInfo(first).isDir() ? QDir::cleanPath(first) : programDir();
}

void rememberChosenFile(const FileDialogSpec& dialog, const QString& path)
{
    if (!dialog.remembers.isEmpty() && !path.isEmpty())
        lastFolders()[dialog.remembers] = QFileInfo(path).absolutePath();
}

void forgetDialogFolders() { lastFolders().clear(); }

QString qtFilter(const QString& vbFilter)
{
    const QStringList parts = vbFilter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        if (!name.contains('('))
            name += " (" + pattern + ")";
        else if (!name.contains(pattern))
            name = name.left(name.indexOf('(')).trimmed() + " (" + pattern + ")";
        out << name;
    }
    return out.join(";;");
}

DesktopServices::DesktopServices(QString dataDir) : dataDir_(std::move(dataDir)) {}

int DesktopServices::msgBox(const QString& text, int buttons, const QString& title)
{
    // The program's texts break lines with CR LF; a label wants a plain line feed.
    QString shown = text;
    shown.replace("\r\n", "\n");
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QApplication::applicationName() : title, shown);
    struct B { QMessageBox::StandardButton b; int answer; };
    std::vector<B> set;
    switch (buttons) {
    case vbOKCancel: set = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore: set = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}}; break;
    case vbYesNoCancel: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbYesNo: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: set = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: set = {{QMessageBox::Ok, vbOK}}; break;
    }
    QMessageBox::StandardButtons mask;
    for (const auto& b : set)
        mask |= b.b;
    box.setStandardButtons(mask);
    box.setDefaultButton(set.front().b);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& b : set)
        if (b.b == pressed)
            return b.answer;
    // Closed with Esc or the close box: the cancelling answer of the set.
    for (const auto& b : set)
        if (b.answer == vbCancel || b.answer == vbNo)
            return b.answer;
    return set.back().answer;
}

QString DesktopServices::openFileName(const FileDialogSpec& dialog)
{
    QString dir = dialog.directory;
    if (!dialog.fileName.isEmpty())
        dir = QDir(dir).filePath(dialog.fileName);
    const QString filter = qtFilter(dialog.filter);
    QString selected = filter.split(";;").value(dialog.filterIndex - 1);
    const QString path = QFileDialog::getOpenFileName(QApplication::activeWindow(), dialog.title, dir, filter, &selected);
    rememberChosenFile(dialog, path);
    return path;
}

QString DesktopServices::saveFileName(const FileDialogSpec& dialog)
{
    QFileDialog dlg(QApplication::activeWindow(), dialog.title, dialog.directory, qtFilter(dialog.filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(dialog.defaultExt);
    if (!dialog.fileName.isEmpty())
        dlg.selectFile(dialog.fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString path = dlg.selectedFiles().front();
    rememberChosenFile(dialog, path);
    return path;
}

void DesktopServices::sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void DesktopServices::pumpEvents() { QCoreApplication::processEvents(); }

QDateTime DesktopServices::now() { return QDateTime::currentDateTime(); }

std::int64_t DesktopServices::monotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

void DesktopServices::endProgram(int code)
{
    runProgramEndHooks();
    std::fflush(nullptr);
    // The program ends from deep inside nested handlers (a link dialog's Cancel, the
    // console's close box); no window may run another handler on the way out.
    std::_Exit(code);
}

void DesktopServices::tellTerminal(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

QString DesktopServices::programDir()
{
    if (!dataDir_.isEmpty())
        return dataDir_;
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable())
        return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

QString DesktopServices::clipboardText()
{
    auto* cb = QGuiApplication::clipboard();
    return cb ? cb->text() : QString();
}

void DesktopServices::setClipboardText(const QString& text)
{
    if (auto* cb = QGuiApplication::clipboard())
        cb->setText(text);
}

} // namespace platform
