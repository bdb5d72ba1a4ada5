#include "link/ReplyListener.h"

#include <QTcpSocket>

ReplyListener::ReplyListener(quint16 port, const QHostAddress &address, QObject *parent)
    : QObject(parent), m_port(port), m_address(address)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ReplyListener::acceptConnections);
    // The server opens one connection per answer, many per millisecond. While the
    // user-interface thread is busy for a moment they wait in the system's queue; one that
    // finds the queue full is refused and tried again only a second or more later.
    m_server.setListenBacklogSize(ListenBacklog);
}

ReplyListener::~ReplyListener()
{
    // Connections still open are deleted after the buffers; their last signals must not
    // reach this half-destroyed listener.
    for (QTcpSocket *socket : m_buffers.keys())
        socket->disconnect(this);
}

bool ReplyListener::Listen()
{
    return m_server.isListening() || m_server.listen(m_address, m_port);
}

void ReplyListener::Close()
{
    m_server.close();
}

void ReplyListener::acceptConnections()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_buffers.insert(socket, QString());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket, false); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            readFrom(socket, true);
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        // Text may have come with the connection itself.
        if (socket->bytesAvailable() > 0)
            readFrom(socket, false);
    }
}

void ReplyListener::readFrom(QTcpSocket *socket, bool ended)
{
    auto buffer = m_buffers.find(socket);
    if (buffer == m_buffers.end())
        return;
    // The answers are ASCII; Latin-1 keeps one character per byte.
    buffer->append(QString::fromLatin1(socket->readAll()));
    const ReplySplit split = SplitReplies(*buffer, ended);
    buffer->remove(0, split.consumed);
    for (const ReplyAnswer &answer : split.answers)
        emit answerReceived(answer);
}
