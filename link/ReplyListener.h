#pragma once

#include "link/ReplyTokenizer.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// Listens for the communication server's answers, keeps a buffer per connection and
// reports every complete answer in arrival order. User-interface thread.
class ReplyListener : public QObject
{
    Q_OBJECT

public:
    // Connections the system holds for the listener before it refuses more.
    static constexpr int ListenBacklog = 1024;

    explicit ReplyListener(quint16 port = 20000, const QHostAddress &address = QHostAddress::Any,
                           QObject *parent = nullptr);
    ~ReplyListener() override;

    // Port 0 picks a free port; serverPort() tells which.
    bool Listen();
    void Close();
    bool isListening() const { return m_server.isListening(); }
    quint16 serverPort() const { return m_server.serverPort(); }

signals:
    void answerReceived(const ReplyAnswer &answer);

private:
    void acceptConnections();
    void readFrom(QTcpSocket *socket, bool ended);

    const quint16 m_port;
    const QHostAddress m_address;
    QTcpServer m_server;
    QHash<QTcpSocket *, QString> m_buffers;
};
