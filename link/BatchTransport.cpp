#include "link/BatchTransport.h"

#include <QTcpSocket>

bool TcpBatchTransport::Send(const QString &host, quint16 port, const QByteArray &batch)
{
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(TimeoutMs))
        return false;
    if (socket.write(batch) != batch.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(TimeoutMs))
            return false;
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(TimeoutMs);
    return true;
}

bool ProbeServer(const QString &host, quint16 port, int timeoutMs)
{
    QTcpSocket socket;
    socket.connectToHost(host, port);
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}
