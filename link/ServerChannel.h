#pragma once

#include "link/BatchTransport.h"
#include "link/Komunikacija.h"
#include "link/uWriteThread.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class ControllerJob;
struct ReplyAnswer;

// The link to the communication server of one computer for the headless sync: a command
// queue and a sender of its own, so that a computer that does not answer holds up no
// other, and one controller's job at a time, as the server expects. User-interface thread.
class ServerChannel : public QObject
{
    Q_OBJECT

public:
    // addresses: what the computer's name gives; answers from them are this computer's.
    // None: the name is unknown, and every job ends as such.
    ServerChannel(const QString &host, const QList<QHostAddress> &addresses, quint16 serverPort,
                  int sleepTimeMs, int answerTimeoutMs, std::unique_ptr<BatchTransport> transport,
                  QObject *parent = nullptr);
    ~ServerChannel() override;

    const QString &host() const { return m_host; }
    bool isFrom(const QHostAddress &address) const;
    bool shares(const QList<QHostAddress> &addresses) const;
    bool busy() const { return m_job != nullptr; }

    // Works on the job until it finishes; then finished() (also for a job that needs no
    // frames, from the event loop).
    void run(ControllerJob *job);
    // An answer from this computer; false when the job being worked on (if any) did not
    // wait for it.
    bool take(const ReplyAnswer &answer);

signals:
    void progress(ControllerJob *job);
    void finished(ControllerJob *job);

private:
    void send(const QStringList &frames);
    void sendFailed();
    void silenceElapsed();
    void end();

    const QString m_host;
    const QList<QHostAddress> m_addresses;
    TLink71komunikacija m_link;
    TPetlja m_sender;
    QTimer m_silence;
    ControllerJob *m_job = nullptr;
};
