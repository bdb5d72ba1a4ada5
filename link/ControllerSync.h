#pragma once

#include "link/BatchTransport.h"
#include "link/ControllerJob.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class ServerChannel;
class TDeviceTable;
struct ReplyAnswer;

struct SyncOptions
{
    quint16 serverPort = 65000;
    // A controller that sends nothing for this long has not answered.
    int answerTimeoutMs = 10000;
    // The senders' idle sleep and pause before a batch is tried again ("SleepTime").
    int sleepTimeMs = 1000;
    // Computers in parallel, one controller at a time on each; false: one at a time in all.
    bool parallel = true;
    // A computer's name as addresses; the system's resolver when not set.
    std::function<QList<QHostAddress>(const QString &)> resolve;
    // The transport of each computer's sender; TCP when not set.
    std::function<std::unique_ptr<BatchTransport>()> transport;
};

// The headless status, verify and write of a set of controllers. Controllers whose
// computers' names give the same address share one channel and are worked on one after
// another in table order; channels run in parallel. Answers are told apart by the address
// they come from. User-interface thread; answers come in through takeAnswer.
class ControllerSync : public QObject
{
    Q_OBJECT

public:
    // deviceSlots: device-table slots, in the order to report; each must hold a device.
    // Resolves every computer's name here.
    ControllerSync(TDeviceTable &table, const QList<int> &deviceSlots, SyncCommand command,
                   const SyncOptions &options = {}, QObject *parent = nullptr);
    ~ControllerSync() override;

    void start();
    bool isFinished() const { return m_finishedJobs == int(m_jobs.size()); }

    // In the order of the slots given.
    const std::vector<std::unique_ptr<ControllerJob>> &jobs() const { return m_jobs; }
    int computers() const { return int(m_channels.size()); }
    // The computer a job's controller belongs to, as its channel names it.
    QString computerOf(const ControllerJob &job) const;
    // Answers from addresses of no computer worked on, and answers no job waited for.
    int strayAnswers() const { return m_strayAnswers; }

    void takeAnswer(const QHostAddress &from, const ReplyAnswer &answer);

signals:
    void jobStarted(const ControllerJob *job);
    void jobProgress(const ControllerJob *job);
    void jobFinished(const ControllerJob *job);
    void finished();

private:
    void schedule();
    void jobDone(ControllerJob *job);

    const bool m_parallel;
    std::vector<std::unique_ptr<ControllerJob>> m_jobs;
    std::vector<ServerChannel *> m_channelOfJob;
    std::vector<std::unique_ptr<ServerChannel>> m_channels;
    std::vector<bool> m_started;
    int m_running = 0;
    int m_finishedJobs = 0;
    int m_strayAnswers = 0;
};
