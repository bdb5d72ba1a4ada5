#pragma once

#include "sim/SimFrames.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTimer>
#include <QVector>

#include <deque>

class QTcpSocket;

// What the simulated server does, and how it misbehaves when asked to.
struct SimOptions
{
    QHostAddress listenAddress = QHostAddress::LocalHost;
    quint16 port = 65000;          // 0 picks a free port
    quint16 answerPort = 20000;
    QString answerHost;            // empty: the address the batch came from
    QHostAddress answerFrom;       // source of the answers; null: the system chooses
    int latencyMs = 0;             // delay of every answer after its frame
    int frameTimeMs = 0;           // serial line: each frame takes this long after the one before
    int dropEvery = 0;             // drop every n-th answer (0: none)
    bool refuse = false;           // accept no connections
    int stopAfter = 0;             // frames after the n-th are ignored (0: never)
    int answersPerConnection = 1;  // answers sent together, one line each
};

// The communication server with its controllers, emulated: takes batches of frames,
// keeps per (port, controller) a memory of 2048 words set to 65535, executes each frame
// and sends its answer to the workstation on a connection of its own, one after another
// in frame order. Runs in the event loop of its thread.
class Link71Simulator : public QObject
{
    Q_OBJECT

public:
    static constexpr int MemoryWords = 2048;

    explicit Link71Simulator(const SimOptions &options = {}, QObject *parent = nullptr);
    ~Link71Simulator() override;

    // Starts listening unless refusing; false when the port cannot be opened.
    bool start();
    quint16 port() const { return m_port; }

    // Refusing closes the listening port; accepting again reopens the same port.
    bool setRefusing(bool refuse);
    void setAnswerPort(quint16 port) { m_options.answerPort = port; }

    quint16 memoryWord(int port, int controller, int address) const;
    // Changes a word as if the controller's memory had changed by itself.
    void setMemoryWord(int port, int controller, int address, quint16 value);
    // Every controller that has memory, by port and controller number: 16 words a line,
    // hexadecimal, each line led by the address of its first word.
    QByteArray memoryDump() const;
    // The dump into file, replacing it whole; false when it cannot be written.
    bool writeDump(const QString &file) const;
    // The text of every connection that carried frames, in arrival order.
    const QList<QByteArray> &batches() const { return m_batches; }
    int framesExecuted() const { return m_framesExecuted; }
    int answersSent() const { return m_answersSent; }

signals:
    void batchReceived(int frames);
    void answerSent(int count);

private:
    struct Pending
    {
        QString host;
        QByteArray text;
        qint64 dueMs = 0;
    };

    void acceptConnections();
    void readFrom(QTcpSocket *socket);
    void finishBatch(QTcpSocket *socket);
    void execute(const SimFrame &frame, const QString &from);
    void sendNext();
    void answerDone(QTcpSocket *socket);
    QVector<quint16> &memory(int port, int controller);

    SimOptions m_options;
    QTcpServer m_server;
    quint16 m_port = 0;
    QHash<QTcpSocket *, QByteArray> m_buffers; // unframed rest of each connection
    QHash<QTcpSocket *, QByteArray> m_raw;     // everything each connection carried
    QHash<QTcpSocket *, int> m_frameCounts;
    QHash<quint32, QVector<quint16>> m_memory;
    QList<QByteArray> m_batches;
    std::deque<Pending> m_pending;
    QTimer m_dueTimer;
    QElapsedTimer m_clock;
    // Answers go out one connection at a time, so they arrive in frame order.
    QTcpSocket *m_answerSocket = nullptr;
    bool m_answerConnected = false;
    int m_answerCount = 0;
    int m_framesSeen = 0;
    int m_framesExecuted = 0;
    int m_answersMade = 0;
    int m_answersSent = 0;
    qint64 m_lineFreeMs = 0; // when the serial line has finished the last frame
};
