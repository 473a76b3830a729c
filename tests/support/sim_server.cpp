#include "support/sim_server.h"

#include "platform/transport.h"

#include <QElapsedTimer>
#include <QThread>

bool startSimServer(QProcess& server, const QString& socketPath, const QStringList& args, int waitMs)
{
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(DCPEVAL_SIM_BINARY, QStringList{"--listen", socketPath} + args);
    if (!server.waitForStarted(5000))
        return false;
    auto transport = platform::makeSocketTransport(socketPath);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < waitMs) {
        if (!transport->enumerate(0, 0x2034).empty())
            return true;
        QThread::msleep(20);
    }
    return false;
}
