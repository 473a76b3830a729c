#pragma once
// The command line of dcpeval. It is read before Qt starts, so that --help, --part list and
// a refused line answer without a window system; Qt's own options are recognised and left
// in place for Qt.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct CommandLine {
    bool simulate = false;      // --simulate: the simulated board, in process
    int simulatedBoards = 1;    // --simulate=N: that many simulated boards
    QStringList boardSockets;   // --board unix:PATH (repeatable)
    std::optional<std::uint16_t> vendorId; // --vid 0xNNNN
    QString dataDir;            // --data-dir DIR
    QString part;               // --part NAME: the simulated board's daughter board ("list": name them)
    bool help = false;
    QString qtPlatform;         // Qt's -platform NAME, when given
    bool qtDisplay = false;     // Qt's -display given (an X display named on the line)
    QString error;              // set when the line could not be read
};

// Reads the whole line (argument 0 is the program): the program's options and Qt's.
CommandLine parseCommandLine(const QStringList& args);
QString usageText();

// Where the environment has nothing to open windows on: the reason, else empty. Qt's
// platforms that draw nowhere (offscreen, minimal, vnc, ...) need no display.
// displayVar, waylandVar, qpaVar: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM.
QString missingDisplay(const CommandLine& cl, const QString& displayVar, const QString& waylandVar,
                       const QString& qpaVar);
// The one line a start without a display prints, with the reason it met.
QString noDisplayLine(const QString& reason);
