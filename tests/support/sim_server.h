#pragma once
// dcpeval-sim as a separate process serving one board on a local socket.
#include <QProcess>
#include <QString>
#include <QStringList>

// Starts the simulator on `socketPath` (options after --listen PATH in `args`) and waits until
// the socket answers; false when it does not within waitMs.
bool startSimServer(QProcess& server, const QString& socketPath, const QStringList& args = {}, int waitMs = 10000);
