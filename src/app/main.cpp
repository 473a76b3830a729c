// dcpeval: evaluation of digitally controlled potentiometers on the DCP evaluation board.
#include "app/options.h"
#include "link/hid.h"
#include "platform/services.h"
#include "platform/transport.h"
#include "shell/frmStartup.h"
#include "shell/forms.h"
#include "shell/globals.h"
#include "sim/evaluation_board.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

std::vector<std::shared_ptr<platform::BoardTransport>> chooseTransports(const CommandLine& cl, const sim::PartChoice& part)
{
    std::vector<std::shared_ptr<platform::BoardTransport>> list;
    if (cl.simulate)
        list.push_back(sim::makeEvaluationBoards(cl.simulatedBoards, {}, part));
    for (const QString& path : cl.boardSockets)
        list.push_back(platform::makeSocketTransport(path));
    if (list.empty())
        list.push_back(platform::makeHidTransport());
    return list;
}

// Qt ends the process when its platform cannot start (a DISPLAY that names no running
// server): the user gets the same advice as when no display is set at all.
QtMessageHandler g_qtHandler = nullptr;

void qtStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        QStringList set;
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            if (qEnvironmentVariableIsSet(name))
                set << QString("%1=%2").arg(name, qEnvironmentVariable(name));
        const QString reason = "Qt could not start its platform plugin" + (set.isEmpty() ? QString() : " with " + set.join(' '));
        std::fprintf(stderr, "%s\n", qPrintable(noDisplayLine(reason)));
        std::fflush(nullptr);
        std::_Exit(platform::kExitNoDisplay);
    }
    g_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    // The line is read before Qt starts: help, the part list and a refusal need no display.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(args);
    if (cl.help) {
        std::fputs(qPrintable(usageText()), stdout);
        return platform::kExitQuit;
    }
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "dcpeval: %s\nTry dcpeval --help for the options.\n", qPrintable(cl.error));
        return platform::kExitRefused;
    }

    sim::PartChoice part;
    if (cl.part == "list") {
        std::fputs(sim::simPartList().c_str(), stdout);
        return platform::kExitQuit;
    }
    if (!cl.part.isEmpty()) {
        std::string error;
        const auto choice = sim::parsePartChoice(cl.part.toStdString(), &error);
        if (!choice) {
            std::fprintf(stderr, "dcpeval: --part %s: %s\n", qPrintable(cl.part), error.c_str());
            return platform::kExitRefused;
        }
        part = *choice;
    }

    const QString noDisplay = missingDisplay(cl, qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"),
                                             qEnvironmentVariable("QT_QPA_PLATFORM"));
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(noDisplayLine(noDisplay)));
        return platform::kExitNoDisplay;
    }

    g_qtHandler = qInstallMessageHandler(qtStartMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_qtHandler);
    QApplication::setApplicationName("dcpeval");
    QApplication::setApplicationVersion(QString("%1.%2.%3").arg(DCPEVAL_VERSION_MAJOR).arg(DCPEVAL_VERSION_MINOR).arg(DCPEVAL_VERSION_PATCH));

    static platform::DesktopServices desktop(cl.dataDir);
    platform::setServices(&desktop);
    if (cl.vendorId)
        g_BoardVendorId = *cl.vendorId;
    platform::setTransports(chooseTransports(cl, part));

    forms().frmStartup.show();

    return QApplication::exec();
}
