#include "link/ServerChannel.h"

#include "link/ControllerJob.h"
#include "link/ReplyTokenizer.h"

#include <functional>

namespace {

// Sends as the inner transport does and reports every batch that could not be delivered.
// Called on the sender's thread; the report is handed over through the event loop.
class ReportingTransport : public BatchTransport
{
public:
    ReportingTransport(std::unique_ptr<BatchTransport> inner, std::function<void()> failed)
        : m_inner(std::move(inner)), m_failed(std::move(failed))
    {
    }

    bool Send(const QString &host, quint16 port, const QByteArray &batch) override
    {
        const bool sent = m_inner->Send(host, port, batch);
        if (!sent)
            m_failed();
        return sent;
    }

private:
    const std::unique_ptr<BatchTransport> m_inner;
    const std::function<void()> m_failed;
};

constexpr QHostAddress::ConversionMode SameComputer = QHostAddress::TolerantConversion;

} // namespace

ServerChannel::ServerChannel(const QString &host, const QList<QHostAddress> &addresses, quint16 serverPort,
                             int sleepTimeMs, int answerTimeoutMs, std::unique_ptr<BatchTransport> transport,
                             QObject *parent)
    : QObject(parent),
      m_host(host),
      m_addresses(addresses),
      m_sender(m_link, serverPort,
               std::make_unique<ReportingTransport>(std::move(transport),
                                                    [this] {
                                                        QMetaObject::invokeMethod(
                                                            this, [this] { sendFailed(); }, Qt::QueuedConnection);
                                                    }))
{
    m_sender.SetSleepTime(sleepTimeMs);
    m_silence.setSingleShot(true);
    m_silence.setInterval(answerTimeoutMs);
    connect(&m_silence, &QTimer::timeout, this, &ServerChannel::silenceElapsed);
}

// The sender ends before the queue it reads goes.
ServerChannel::~ServerChannel() = default;

bool ServerChannel::isFrom(const QHostAddress &address) const
{
    for (const QHostAddress &a : m_addresses) {
        if (a.isEqual(address, SameComputer))
            return true;
    }
    return false;
}

bool ServerChannel::shares(const QList<QHostAddress> &addresses) const
{
    for (const QHostAddress &a : addresses) {
        if (isFrom(a))
            return true;
    }
    return false;
}

void ServerChannel::run(ControllerJob *job)
{
    m_job = job;
    m_link.ClearStop();
    const QStringList frames = job->start();
    if (!job->finished() && m_addresses.isEmpty())
        job->stop(ControllerOutcome::Result::UnknownComputer);
    if (job->finished()) {
        // Reported from the event loop, as every other end is.
        QMetaObject::invokeMethod(this, [this] { end(); }, Qt::QueuedConnection);
        return;
    }
    send(frames);
}

void ServerChannel::send(const QStringList &frames)
{
    {
        // Whole batches of 60: the sender waits until the step is queued.
        const SenderHold hold(m_link, m_sender);
        for (const QString &frame : frames)
            m_link.Enqueue(m_host, frame);
    }
    m_silence.start();
}

bool ServerChannel::take(const ReplyAnswer &answer)
{
    if (!m_job || m_job->finished() || !answer.complete || !m_job->take(answer.tokens))
        return false;
    m_silence.start();
    if (!m_job->stepComplete()) {
        emit progress(m_job);
        return true;
    }
    const QStringList frames = m_job->advance();
    if (m_job->finished()) {
        end();
        return true;
    }
    emit progress(m_job);
    send(frames);
    return true;
}

void ServerChannel::sendFailed()
{
    if (!m_job || m_job->finished())
        return;
    m_job->stop(ControllerOutcome::Result::Unreachable);
    end();
}

void ServerChannel::silenceElapsed()
{
    if (!m_job || m_job->finished())
        return;
    m_job->stop(ControllerOutcome::Result::NoAnswer);
    end();
}

void ServerChannel::end()
{
    m_silence.stop();
    // What is still queued for this controller goes no further.
    m_link.StopCommand();
    ControllerJob *job = m_job;
    m_job = nullptr;
    if (job)
        emit finished(job);
}
