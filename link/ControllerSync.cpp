#include "link/ControllerSync.h"

#include "link/DeviceTable.h"
#include "link/ReplyTokenizer.h"
#include "link/ServerChannel.h"

#include <QHash>
#include <QHostInfo>

namespace {

QList<QHostAddress> systemResolve(const QString &name)
{
    QHostAddress literal;
    if (literal.setAddress(name))
        return {literal};
    const QHostInfo info = QHostInfo::fromName(name);
    return info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>();
}

} // namespace

ControllerSync::ControllerSync(TDeviceTable &table, const QList<int> &deviceSlots, SyncCommand command,
                               const SyncOptions &options, QObject *parent)
    : QObject(parent), m_parallel(options.parallel)
{
    std::function<QList<QHostAddress>(const QString &)> resolve = systemResolve;
    if (options.resolve)
        resolve = options.resolve;
    std::function<std::unique_ptr<BatchTransport>()> transport = [] { return std::make_unique<TcpBatchTransport>(); };
    if (options.transport)
        transport = options.transport;
    QHash<QString, ServerChannel *> byName;
    for (int slot : deviceSlots) {
        TDevice *device = table.Device(slot);
        if (!device)
            continue;
        m_jobs.push_back(std::make_unique<ControllerJob>(*device, command));
        ServerChannel *&channel = byName[device->CompName];
        if (!channel) {
            const QList<QHostAddress> addresses = resolve(device->CompName);
            for (const std::unique_ptr<ServerChannel> &c : m_channels) {
                if (c->shares(addresses))
                    channel = c.get();
            }
            if (!channel) {
                m_channels.push_back(std::make_unique<ServerChannel>(device->CompName, addresses, options.serverPort,
                                                                     options.sleepTimeMs, options.answerTimeoutMs,
                                                                     transport()));
                channel = m_channels.back().get();
                connect(channel, &ServerChannel::progress, this, &ControllerSync::jobProgress);
                connect(channel, &ServerChannel::finished, this, &ControllerSync::jobDone);
            }
        }
        m_channelOfJob.push_back(channel);
    }
    m_started.assign(m_jobs.size(), false);
}

ControllerSync::~ControllerSync() = default;

void ControllerSync::start()
{
    if (m_jobs.empty()) {
        QMetaObject::invokeMethod(this, &ControllerSync::finished, Qt::QueuedConnection);
        return;
    }
    schedule();
}

QString ControllerSync::computerOf(const ControllerJob &job) const
{
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].get() == &job)
            return m_channelOfJob[i]->host();
    }
    return {};
}

void ControllerSync::schedule()
{
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        if (m_started[i] || m_channelOfJob[i]->busy())
            continue;
        if (!m_parallel && m_running > 0)
            return;
        m_started[i] = true;
        ++m_running;
        emit jobStarted(m_jobs[i].get());
        m_channelOfJob[i]->run(m_jobs[i].get());
    }
}

void ControllerSync::jobDone(ControllerJob *job)
{
    --m_running;
    ++m_finishedJobs;
    emit jobFinished(job);
    if (isFinished()) {
        emit finished();
        return;
    }
    schedule();
}

void ControllerSync::takeAnswer(const QHostAddress &from, const ReplyAnswer &answer)
{
    for (const std::unique_ptr<ServerChannel> &channel : m_channels) {
        if (channel->isFrom(from)) {
            if (!channel->take(answer))
                ++m_strayAnswers;
            return;
        }
    }
    ++m_strayAnswers;
}
