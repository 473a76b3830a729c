#include "app/options.h"

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
        } else if (a.startsWith("--")) {
            cl.error = "unknown option " + a;
        }
        // Anything else belongs to Qt (it removed its own options before we look).
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
        "                       the part on the simulated board's daughter board (default ZN3710),\n"
        "                       with settings of its own (updown:store-fails-after=20,noise-mv=5);\n"
        "                       --part list names the parts, their menu picks and their settings\n"
        "  --help               this text\n"
        "Without --simulate or --board, dcpeval searches the USB HID devices.\n");
}
