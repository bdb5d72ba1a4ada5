#pragma once

#include <QByteArray>
#include <QString>

// How the sender hands one batch to the communication server. The sender calls it on
// its own thread only.
class BatchTransport
{
public:
    virtual ~BatchTransport() = default;
    // Opens a connection, writes the whole batch and closes it; false when any step fails.
    virtual bool Send(const QString &host, quint16 port, const QByteArray &batch) = 0;
};

// One blocking TCP connection per batch, every step bounded in time.
class TcpBatchTransport : public BatchTransport
{
public:
    static constexpr int TimeoutMs = 3000;

    bool Send(const QString &host, quint16 port, const QByteArray &batch) override;
};

// Whether the server accepts a connection now (the preparation before queueing).
bool ProbeServer(const QString &host, quint16 port, int timeoutMs = TcpBatchTransport::TimeoutMs);
