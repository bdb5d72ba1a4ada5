// Holds TPetlja, the sender thread.
#pragma once

#include "link/BatchTransport.h"
#include "link/Komunikacija.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The sender: takes batches of up to 60 frames off the command queue and sends each over
// a connection of its own. Its thread starts on the first wake and runs until the object
// is destroyed. Log lines and connection errors are handed over under a lock and reach
// the object's own (user-interface) thread as signals.
class TPetlja : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultSleepTime = 1000;

    TPetlja(TLink71komunikacija &link, quint16 serverPort = 65000,
            std::unique_ptr<BatchTransport> transport = std::make_unique<TcpBatchTransport>(),
            QObject *parent = nullptr);
    // Ends the loop and waits for it; the batch on its way, if any, is finished first.
    ~TPetlja() override;

    // Idle sleep in milliseconds, read at the start of every idle period; below 1 counts as 1.
    void SetSleepTime(int ms) { m_sleepTime.store(ms); }
    int SleepTime() const { return m_sleepTime.load(); }

    // Starts the loop on the first call; later calls end an idle wait. User-interface thread.
    void Wake();

    // Idle periods so far: each is one SleepTime without anything to send.
    int IdlePeriods() const { return m_idlePeriods.load(); }

signals:
    void logLine(const QString &line);
    // Once per outage: the server could not be reached or the batch not delivered.
    // The frames stay queued and are sent again every SleepTime.
    void commError();

private:
    struct Report
    {
        bool commError = false;
        QString logLine;
    };

    void run();
    void report(Report item);
    void deliverReports();
    std::chrono::milliseconds idleTime() const;

    TLink71komunikacija &m_link;
    const quint16 m_serverPort;
    const std::unique_ptr<BatchTransport> m_transport;
    std::atomic<int> m_sleepTime{DefaultSleepTime};
    std::atomic<int> m_idlePeriods{0};
    std::thread m_thread;
    std::mutex m_reportsLock;
    std::vector<Report> m_reports;
};

// Holds the sender back while a routine queues a whole table; released on every path out
// of the routine, which wakes the sender once.
class SenderHold
{
public:
    SenderHold(TLink71komunikacija &link, TPetlja &sender);
    ~SenderHold();
    SenderHold(const SenderHold &) = delete;
    SenderHold &operator=(const SenderHold &) = delete;

private:
    TLink71komunikacija &m_link;
    TPetlja &m_sender;
};
