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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("dcpeval");
    QApplication::setApplicationVersion(QString("%1.%2.%3").arg(DCPEVAL_VERSION_MAJOR).arg(DCPEVAL_VERSION_MINOR).arg(DCPEVAL_VERSION_PATCH));

    const CommandLine cl = parseCommandLine(QApplication::arguments());
    if (cl.help) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "dcpeval: %s\n%s", qPrintable(cl.error), qPrintable(usageText()));
        return 2;
    }

    sim::PartChoice part;
    if (cl.part == "list") {
        std::fputs(sim::simPartList().c_str(), stdout);
        return 0;
    }
    if (!cl.part.isEmpty()) {
        std::string error;
        const auto choice = sim::parsePartChoice(cl.part.toStdString(), &error);
        if (!choice) {
            std::fprintf(stderr, "dcpeval: --part %s: %s\n", qPrintable(cl.part), error.c_str());
            return 2;
        }
        part = *choice;
    }

    static platform::DesktopServices desktop(cl.dataDir);
    platform::setServices(&desktop);
    if (cl.vendorId)
        g_BoardVendorId = *cl.vendorId;
    platform::setTransports(chooseTransports(cl, part));

    forms().frmStartup.show();

    return QApplication::exec();
}
