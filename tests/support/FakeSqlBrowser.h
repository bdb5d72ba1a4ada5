#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <future>
#include <thread>

// A SQL Server Browser on 127.0.0.1 and a free port, on a thread of its own: it waits for
// one request, answers it with the given datagrams and ends by itself (also when no
// request comes within a few seconds).
class FakeSqlBrowser
{
public:
    explicit FakeSqlBrowser(QList<QByteArray> replies)
    {
        std::promise<quint16> bound;
        std::future<quint16> port = bound.get_future();
        m_thread = std::thread([this, replies, &bound] {
            QUdpSocket socket;
            socket.bind(QHostAddress::LocalHost, 0);
            bound.set_value(socket.localPort());
            if (!socket.waitForReadyRead(5000))
                return;
            const QNetworkDatagram request = socket.receiveDatagram();
            m_request = request.data();
            for (const QByteArray &reply : replies)
                socket.writeDatagram(reply, request.senderAddress(), quint16(request.senderPort()));
        });
        m_port = port.get();
    }
    ~FakeSqlBrowser()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    FakeSqlBrowser(const FakeSqlBrowser &) = delete;
    FakeSqlBrowser &operator=(const FakeSqlBrowser &) = delete;

    quint16 port() const { return m_port; }
    // Waits until the browser has answered (or given up) and returns what the client sent.
    QByteArray request()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_request;
    }

    // An SVR_RESP datagram carrying data, with the length it declares.
    static QByteArray reply(const QByteArray &data, int declaredSize = -1)
    {
        const int size = declaredSize < 0 ? int(data.size()) : declaredSize;
        QByteArray out(1, char(0x05));
        out.append(char(size & 0xff));
        out.append(char((size >> 8) & 0xff));
        return out + data;
    }

private:
    std::thread m_thread;
    quint16 m_port = 0;
    QByteArray m_request;
};
