#pragma once

#include "link/Komunikacija.h"
#include "link/ReplyDispatch.h"
#include "link/ReplyListener.h"
#include "link/uWriteThread.h"

#include <QObject>

#include <memory>

struct CommandLinkPorts
{
    quint16 server = 65000;   // the communication server's port on each computer
    quint16 listener = 20000; // where its answers arrive; 0 picks a free port
    QHostAddress listenAddress = QHostAddress::Any;
};

// The whole command link as start-up creates it: the command queue with its lock, the
// sender thread (started by the first wake), the reply listener and the reply dispatch.
// Lives in the user-interface thread.
class CommandLink : public QObject
{
    Q_OBJECT

public:
    static const QString CommErrorText;

    explicit CommandLink(const CommandLinkPorts &ports = {},
                         std::unique_ptr<BatchTransport> transport =
                             std::make_unique<TcpBatchTransport>(),
                         QObject *parent = nullptr);
    // The sender ends (after the batch on its way) before the queue goes.
    ~CommandLink() override;

    // The reply listener listens from now on; false when the port cannot be opened.
    bool Listen();
    // Stops listening (the write-progress window closes and reopens it after a stall).
    void CloseListener();

    void SetSleepTime(int ms) { m_sender.SetSleepTime(ms); }

    // Preparation before a routine queues anything: later frames go to host, and the
    // server there must accept a connection now. On failure CommError has reported and
    // the routine queues nothing.
    bool Connect(const QString &host);
    // Queues a frame for the host of the last Connect and wakes the sender.
    void Enqueue(const QString &frame);
    // Holds the sender back until the returned guard goes.
    [[nodiscard]] SenderHold HoldSender() { return SenderHold(m_link, m_sender); }

    // The stop command ("Prekini čitanje/pisanje"): the queue is emptied and nothing is
    // sent until ClearStop.
    void StopCommand() { m_link.StopCommand(); }
    // The table reader's read and delete commands clear the stop flag before they queue.
    void ClearStop() { m_link.ClearStop(); }

    // The message box (through commErrorMessage), then the effects on the waiting windows.
    void CommError();

    TLink71komunikacija &Link() { return m_link; }
    TPetlja &Sender() { return m_sender; }
    ReplyListener &Listener() { return m_listener; }
    ReplyDispatch &Dispatch() { return m_dispatch; }

signals:
    // One line for the communication log m2.
    void logLine(const QString &line);
    // Shown by the shell as an error box; returns once the operator has closed it.
    void commErrorMessage(const QString &text);

private:
    const quint16 m_serverPort;
    TLink71komunikacija m_link;
    TPetlja m_sender;
    ReplyListener m_listener;
    ReplyDispatch m_dispatch;
    QString m_host;
};
