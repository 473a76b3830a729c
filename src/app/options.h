#pragma once
// The command line of dcpeval.
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
    QString error;              // set when the line could not be read
};

// Reads the program's own options; Qt's options (-platform, -style, ...) are left to Qt.
CommandLine parseCommandLine(const QStringList& args);
QString usageText();
