#pragma once

#include "link/BatchTransport.h"
#include "link/ReplyConsumers.h"
#include "link/StringQueue.h"

#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <condition_variable>
#include <mutex>

// Collects what arrives on each connection to a loopback port, one text per connection.
class AnswerSink : public QObject
{
public:
    AnswerSink()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    texts.append(QString::fromLatin1(socket->readAll()));
                    socket->deleteLater();
                });
            }
        });
        server.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return server.serverPort(); }

    QTcpServer server;
    QStringList texts;
};

// Records every batch instead of sending it; can hold a send until released, or fail.
class RecordingTransport : public BatchTransport
{
public:
    struct Sent
    {
        QString host;
        QByteArray batch;
    };

    bool Send(const QString &host, quint16, const QByteArray &batch) override
    {
        std::unique_lock guard(mutex);
        ++entered;
        changed.notify_all();
        changed.wait(guard, [this] { return !gated; });
        if (failing)
            return false;
        sent.push_back({host, batch});
        return true;
    }

    // Waits (bounded) until n sends have begun.
    bool waitEntered(int n)
    {
        std::unique_lock guard(mutex);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return entered >= n; });
    }
    void setGated(bool on)
    {
        std::lock_guard guard(mutex);
        gated = on;
        changed.notify_all();
    }
    std::vector<Sent> sentSoFar()
    {
        std::lock_guard guard(mutex);
        return sent;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Sent> sent;
    int entered = 0;
    bool gated = false;
    bool failing = false;
};

// Consumers as the windows will be: each takes one answer of its kind from the head.
inline QStringList takeAnswer(TStringqueue &tokens, const QString &kind, int count)
{
    if (tokens.Peek() != kind)
        return {};
    QStringList taken;
    for (int i = 0; i < count; ++i)
        taken.append(tokens.Pop());
    return taken;
}

class TestStatusWindow : public StatusReplyConsumer
{
public:
    void callback(TStringqueue &tokens) override
    {
        const QStringList answer = takeAnswer(tokens, QStringLiteral("ST"), 3);
        if (!answer.isEmpty())
            shown.append(answer.join(u' '));
    }
    QStringList shown;
};

class TestTableReader : public TableReaderReplyConsumer
{
public:
    bool isShown() const override { return shownFlag; }
    void callbackcitanje(TStringqueue &tokens) override
    {
        if (tokens.Count() > 2)
            reads.append(takeAnswer(tokens, QStringLiteral("RE"), 4).join(u' '));
    }
    void callbackpisanje(TStringqueue &tokens) override
    {
        writes.append(takeAnswer(tokens, QStringLiteral("WE"), 4).join(u' '));
    }
    void ZasiviDugmad(bool gray) override { grayCalls.append(gray); }

    bool shownFlag = false;
    QStringList reads;
    QStringList writes;
    QList<bool> grayCalls;
};

class TestWriteProgress : public WriteProgressReplyConsumer
{
public:
    bool isActive() const override { return active; }
    void callbackupis(TStringqueue &tokens) override
    {
        writes.append(takeAnswer(tokens, QStringLiteral("WE"), 4).join(u' '));
    }
    void closeOnCommError() override
    {
        active = false;
        ++closed;
    }

    bool active = false;
    QStringList writes;
    int closed = 0;
};
