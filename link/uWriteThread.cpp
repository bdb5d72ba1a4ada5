#include "link/uWriteThread.h"

#include <algorithm>

TPetlja::TPetlja(TLink71komunikacija &link, quint16 serverPort,
                 std::unique_ptr<BatchTransport> transport, QObject *parent)
    : QObject(parent), m_link(link), m_serverPort(serverPort), m_transport(std::move(transport))
{
}

TPetlja::~TPetlja()
{
    m_link.Shutdown();
    if (m_thread.joinable())
        m_thread.join();
}

void TPetlja::Wake()
{
    if (!m_thread.joinable() && !m_link.IsShutDown())
        m_thread = std::thread(&TPetlja::run, this);
    m_link.Wake();
}

void TPetlja::report(Report item)
{
    bool first = false;
    {
        std::lock_guard guard(m_reportsLock);
        first = m_reports.empty();
        m_reports.push_back(std::move(item));
    }
    if (first)
        QMetaObject::invokeMethod(this, &TPetlja::deliverReports, Qt::QueuedConnection);
}

void TPetlja::deliverReports()
{
    std::vector<Report> reports;
    {
        std::lock_guard guard(m_reportsLock);
        reports.swap(m_reports);
    }
    for (const Report &item : reports) {
        if (item.commError)
            emit commError();
        else
            emit logLine(item.logLine);
    }
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
            report({false, QStringLiteral("Serveru je poslat tekst: ") + text});
            continue;
        }
        // Writes are idempotent and a repeated read only repeats its answer, so the batch
        // goes again once the server is back.
        m_link.PutBack(*batch);
        if (!outage) {
            outage = true;
            report({true, QString()});
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
