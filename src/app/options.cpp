#include "app/options.h"

namespace {

// Qt's own options (QGuiApplication, QApplication and the X11 platform), which Qt also
// accepts with two dashes. Those that take a value take the next argument, or "=VALUE".
const QStringList& qtValueOptions()
{
    static const QStringList names{"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                                   "qwindowicon", "qwindowtitle", "session", "display", "geometry", "title", "name",
                                   "style", "stylesheet"};
    return names;
}

const QStringList& qtFlagOptions()
{
    static const QStringList names{"reverse", "widgetcount", "nograb", "dograb", "sync", "testability", "qmljsdebugger"};
    return names;
}

// The name of a Qt option as typed ("-platform", "--style=fusion", "-qmljsdebugger=port:1"),
// without dashes and value; empty when the argument is none of Qt's.
QString qtOptionName(const QString& a, bool* takesValue)
{
    if (!a.startsWith('-') || a == "-" || a == "--")
        return {};
    QString name = a.mid(a.startsWith("--") ? 2 : 1);
    name = name.left(name.indexOf('=')); // whole name when there is no '='
    *takesValue = qtValueOptions().contains(name);
    return *takesValue || qtFlagOptions().contains(name) ? name : QString();
}

} // namespace

CommandLine parseCommandLine(const QStringList& args)
{
    CommandLine cl;
    auto valueOf = [&](int& i, const QString& name, QString* out) {
        const QString& a = args[i];
        if (a.startsWith(name + "=")) {
            *out = a.mid(name.size() + 1);
            return true;
        }
        if (i + 1 >= args.size()) {
            cl.error = name + " needs a value";
            return false;
        }
        *out = args[++i];
        return true;
    };
    for (int i = 1; i < args.size() && cl.error.isEmpty(); ++i) {
        const QString& a = args[i];
        QString v;
        bool qtValue = false;
        if (a == "--simulate") {
            cl.simulate = true;
        } else if (a.startsWith("--simulate=")) {
            bool ok = false;
            const int n = a.mid(11).toInt(&ok);
            if (!ok || n < 1 || n > 8)
                cl.error = "--simulate=N takes a number of boards from 1 to 8";
            cl.simulate = true;
            cl.simulatedBoards = n;
        } else if (a == "--board" || a.startsWith("--board=")) {
            if (!valueOf(i, "--board", &v))
                break;
            if (!v.startsWith("unix:") || v.size() <= 5)
                cl.error = "--board takes unix:PATH";
            else
                cl.boardSockets << v.mid(5);
        } else if (a == "--vid" || a.startsWith("--vid=")) {
            if (!valueOf(i, "--vid", &v))
                break;
            bool ok = false;
            const uint id = v.startsWith("0x", Qt::CaseInsensitive) ? v.mid(2).toUInt(&ok, 16) : v.toUInt(&ok, 16);
            if (!ok || id > 0xFFFF)
                cl.error = "--vid takes a hexadecimal vendor ID such as 0x10C4";
            else
                cl.vendorId = static_cast<std::uint16_t>(id);
        } else if (a == "--data-dir" || a.startsWith("--data-dir=")) {
            if (!valueOf(i, "--data-dir", &v))
                break;
            cl.dataDir = v;
        } else if (a == "--part" || a.startsWith("--part=")) {
            if (!valueOf(i, "--part", &v))
                break;
            cl.part = v;
        } else if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (const QString qt = qtOptionName(a, &qtValue); !qt.isEmpty()) {
            // Qt reads these itself when it starts; the platform and display decide whether
            // a window system is needed.
            if (qtValue) {
                const QString dashes = a.left(a.indexOf(qt));
                if (!valueOf(i, dashes + qt, &v))
                    break;
                if (qt == "platform")
                    cl.qtPlatform = v;
                if (qt == "display")
                    cl.qtDisplay = true;
            }
        } else if (a.startsWith('-')) {
            cl.error = "unknown option " + a;
        } else {
            cl.error = "unexpected argument " + a + " (dcpeval takes options only)";
        }
    }
    // The part goes on the simulated board's daughter board: without one it would be
    // dropped without a word while the search went to USB or the sockets.
    if (cl.error.isEmpty() && !cl.part.isEmpty() && cl.part != "list" && !cl.simulate) {
        cl.error = cl.boardSockets.isEmpty()
                     ? "--part " + cl.part + " chooses the part of the simulated board: add --simulate"
                     : "--part " + cl.part
                           + " chooses the part of the simulated board in dcpeval; a socket board's part is chosen "
                             "with dcpeval-sim --part (dcpeval-sim --listen PATH --part NAME)";
    }
    return cl;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: dcpeval [options] [Qt options]\n"
        "  --simulate           run on the simulated evaluation board (no hardware)\n"
        "  --simulate=N         run on N simulated boards\n"
        "  --board unix:PATH    use a board served on a local socket (dcpeval-sim --listen PATH);\n"
        "                       repeat for several boards\n"
        "  --vid 0xNNNN         the boards' USB vendor ID (product ID is 0x2034)\n"
        "  --data-dir DIR       where dcpeval keeps its files (the VCC calibration file)\n"
        "  --part NAME[:OPT=V,...]\n"
        "                       with --simulate: the part on the simulated board's daughter board\n"
        "                       (default ZN3710), with settings of its own\n"
        "                       (updown:store-fails-after=20,noise-mv=5);\n"
        "                       --part list names the parts, the way to each one's window and\n"
        "                       their settings\n"
        "  --help               this text\n"
        "Qt's options work too: -platform offscreen, -style fusion, -reverse, ...\n"
        "Without --simulate or --board, dcpeval searches the USB HID devices.\n"
        "\n"
        "Exit status:\n"
        "  0  a quit: the menu, the bridge console or a device window closed\n"
        "  2  a command line dcpeval cannot take\n"
        "  3  no display to open the windows on\n"
        "  4  Cancel in a link-error dialog (\"Please check USB connection.\" ...)\n"
        "  5  Cancel in the dialog that no evaluation board was found\n"
        "  6  Cancel in the dialog that an I2C address was not acknowledged\n");
}

QString missingDisplay(const CommandLine& cl, const QString& displayVar, const QString& waylandVar,
                       const QString& qpaVar)
{
    // The platforms Qt would try, in order ("wayland;xcb" lists fallbacks; "xcb:opt" has options).
    const QString platforms = !cl.qtPlatform.isEmpty() ? cl.qtPlatform : qpaVar;
    bool windowSystemOnly = true;
    for (const QString& p : platforms.split(';', Qt::SkipEmptyParts)) {
        const QString name = p.section(':', 0, 0).trimmed();
        if (!name.startsWith("xcb") && !name.startsWith("wayland"))
            windowSystemOnly = false;
    }
    if (!windowSystemOnly || cl.qtDisplay || !displayVar.isEmpty() || !waylandVar.isEmpty())
        return {};
    return platforms.isEmpty() ? QString("DISPLAY and WAYLAND_DISPLAY are not set")
                               : QString("DISPLAY and WAYLAND_DISPLAY are not set for the platform %1").arg(platforms);
}

QString noDisplayLine(const QString& reason)
{
    return "dcpeval: no display to open its windows on (" + reason
         + "); start it with scripts/run, under xvfb-run (xvfb-run -a dcpeval ...) or with -platform offscreen";
}
