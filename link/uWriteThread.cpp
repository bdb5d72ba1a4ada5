#include "link/uWriteThread.h"

#include <algorithm>

TPetlja::TPetlja(TLink71komunikacija &link, quint16 serverPort,
                 std::unique_ptr<BatchTransport> transport, QObject *parent)
    : QThread(parent), m_link(link), m_serverPort(serverPort), m_transport(std::move(transport))
{
}

TPetlja::~TPetlja()
{
    m_link.Shutdown();
    wait();
}

void TPetlja::Wake()
{
    if (!isRunning() && !m_link.IsShutDown())
        start();
    m_link.Wake();
}

std::chrono::milliseconds TPetlja::idleTime() const
{
    return std::chrono::milliseconds(std::max(1, m_sleepTime.load()));
}

void TPetlja::run()
{
    bool outage = false;
    while (!m_link.IsShutDown()) {
        const std::optional<CommandBatch> batch = m_link.WaitForBatch(idleTime());
        if (!batch) {
            // Nothing waits to be sent, so an earlier outage no longer matters.
            outage = false;
            m_idlePeriods.fetch_add(1);
            continue;
        }
        const QString text = batch->text();
        if (m_transport->Send(batch->host, m_serverPort, text.toLatin1())) {
            outage = false;
            emit logLine(QStringLiteral("Serveru je poslat tekst: ") + text);
            continue;
        }
        // Writes are idempotent and a repeated read only repeats its answer, so the batch
        // goes again once the server is back.
        m_link.PutBack(*batch);
        if (!outage) {
            outage = true;
            emit commError();
        }
        m_link.WaitForRetry(idleTime());
    }
}

SenderHold::SenderHold(TLink71komunikacija &link, TPetlja &sender) : m_link(link), m_sender(sender)
{
    m_link.Hold();
}

SenderHold::~SenderHold()
{
    m_link.Release();
    m_sender.Wake();
}
