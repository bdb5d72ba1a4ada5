#include "sim/Link71Simulator.h"

#include <QNetworkProxy>
#include <QSaveFile>
#include <QTcpSocket>

#include <algorithm>
#include <map>

namespace {

constexpr int AnswerTimeoutMs = 3000;

} // namespace

Link71Simulator::Link71Simulator(const SimOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_server(this), m_dueTimer(this)
{
    m_clock.start();
    // Batches may come much faster than their answers go; a short accept queue would drop
    // connection attempts and stall the sender for a retransmission time.
    m_server.setListenBacklogSize(1024);
    m_dueTimer.setSingleShot(true);
    connect(&m_dueTimer, &QTimer::timeout, this, &Link71Simulator::sendNext);
    connect(&m_server, &QTcpServer::newConnection, this, &Link71Simulator::acceptConnections);
}

Link71Simulator::~Link71Simulator() = default;

bool Link71Simulator::start()
{
    if (!m_server.listen(m_options.listenAddress, m_options.port))
        return false;
    m_port = m_server.serverPort();
    if (m_options.refuse)
        m_server.close();
    return true;
}

bool Link71Simulator::setRefusing(bool refuse)
{
    m_options.refuse = refuse;
    if (refuse) {
        m_server.close();
        return true;
    }
    return m_server.isListening() || m_server.listen(m_options.listenAddress, m_port);
}

quint16 Link71Simulator::memoryWord(int port, int controller, int address) const
{
    const auto words = m_memory.constFind(quint32(port) << 16 | quint16(controller));
    if (words == m_memory.constEnd() || address < 0 || address >= MemoryWords)
        return 0xFFFF;
    return (*words)[address];
}

void Link71Simulator::setMemoryWord(int port, int controller, int address, quint16 value)
{
    if (address >= 0 && address < MemoryWords)
        memory(port, controller)[address] = value;
}

QByteArray Link71Simulator::memoryDump() const
{
    // Sorted, so that two dumps of the same memory are the same text.
    std::map<quint32, const QVector<quint16> *> sorted;
    for (auto it = m_memory.constBegin(); it != m_memory.constEnd(); ++it)
        sorted.emplace(it.key(), &it.value());
    QByteArray out = "# link71sim memory: port, controller, then address and 16 words a line (hexadecimal)\n";
    for (const auto &[key, words] : sorted) {
        out += "port " + QByteArray::number(key >> 16) + " controller " + QByteArray::number(key & 0xFFFF) + '\n';
        for (int line = 0; line < MemoryWords; line += 16) {
            out += QByteArray::number(line, 16).toUpper().rightJustified(4, '0');
            for (int a = line; a < line + 16; ++a)
                out += ' ' + QByteArray::number((*words)[a], 16).toUpper().rightJustified(4, '0');
            out += '\n';
        }
    }
    return out;
}

bool Link71Simulator::writeDump(const QString &file) const
{
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(memoryDump()) >= 0 && out.commit();
}

QVector<quint16> &Link71Simulator::memory(int port, int controller)
{
    auto words = m_memory.find(quint32(port) << 16 | quint16(controller));
    if (words == m_memory.end())
        words = m_memory.insert(quint32(port) << 16 | quint16(controller),
                                QVector<quint16>(MemoryWords, 0xFFFF));
    return *words;
}

void Link71Simulator::acceptConnections()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_buffers.insert(socket, {});
        m_raw.insert(socket, {});
        m_frameCounts.insert(socket, 0);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { finishBatch(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void Link71Simulator::readFrom(QTcpSocket *socket)
{
    auto buffer = m_buffers.find(socket);
    if (buffer == m_buffers.end())
        return;
    const QByteArray data = socket->readAll();
    m_raw[socket].append(data);
    buffer->append(data);
    const QList<QByteArray> frames = TakeFrames(*buffer);
    const QString from = socket->peerAddress().toString();
    for (const QByteArray &text : frames) {
        ++m_frameCounts[socket];
        if (const std::optional<SimFrame> frame = ParseFrame(text))
            execute(*frame, from);
    }
}

void Link71Simulator::finishBatch(QTcpSocket *socket)
{
    readFrom(socket);
    const int frames = m_frameCounts.value(socket);
    if (frames > 0)
        m_batches.append(m_raw.value(socket));
    m_buffers.remove(socket);
    m_raw.remove(socket);
    m_frameCounts.remove(socket);
    socket->deleteLater();
    if (frames > 0)
        emit batchReceived(frames);
}

void Link71Simulator::execute(const SimFrame &frame, const QString &from)
{
    ++m_framesSeen;
    if (m_options.stopAfter > 0 && m_framesSeen > m_options.stopAfter)
        return;
    ++m_framesExecuted;

    QByteArray answer;
    const bool inRange = frame.address >= 0 && frame.address < MemoryWords;
    switch (frame.command) {
    case SimFrame::Command::Status:
        // The second and third token: the port and the controller that answered.
        answer = QByteArray("ST ") + QByteArray::number(frame.port) + ' '
                 + QByteArray::number(frame.controller);
        break;
    case SimFrame::Command::Read:
        answer = QByteArray("RE ") + QByteArray::number(frame.port) + ' '
                 + QByteArray::number(frame.address) + ' '
                 + QByteArray::number(memoryWord(frame.port, frame.controller, frame.address));
        break;
    case SimFrame::Command::Write:
        if (inRange)
            memory(frame.port, frame.controller)[frame.address] = quint16(frame.value);
        answer = QByteArray("WE ") + QByteArray::number(frame.port) + ' '
                 + QByteArray::number(frame.address) + ' '
                 + QByteArray::number(memoryWord(frame.port, frame.controller, frame.address));
        break;
    }

    ++m_answersMade;
    if (m_options.dropEvery > 0 && m_answersMade % m_options.dropEvery == 0)
        return;
    const QString host = m_options.answerHost.isEmpty() ? from : m_options.answerHost;
    qint64 due = m_clock.elapsed();
    if (m_options.frameTimeMs > 0) {
        // One frame at a time on the line: this one starts when the one before is done.
        due = std::max(due, m_lineFreeMs) + m_options.frameTimeMs;
        m_lineFreeMs = due;
    }
    m_pending.push_back({host, answer, due + m_options.latencyMs});
    sendNext();
}

void Link71Simulator::sendNext()
{
    if (m_answerSocket || m_pending.empty())
        return;
    const qint64 now = m_clock.elapsed();
    if (m_pending.front().dueMs > now) {
        m_dueTimer.start(int(m_pending.front().dueMs - now));
        return;
    }
    const QString host = m_pending.front().host;
    QByteArray text;
    int count = 0;
    while (!m_pending.empty() && count < std::max(1, m_options.answersPerConnection)
           && m_pending.front().host == host && m_pending.front().dueMs <= now) {
        if (count > 0)
            text += "\r\n";
        text += m_pending.front().text;
        m_pending.pop_front();
        ++count;
    }

    auto *socket = new QTcpSocket(this);
    m_answerSocket = socket;
    m_answerConnected = false;
    m_answerCount = count;
    connect(socket, &QTcpSocket::connected, this, [this, socket, text] {
        m_answerConnected = true;
        socket->write(text);
        socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::stateChanged, this, [this, socket](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState)
            answerDone(socket);
    });
    QTimer::singleShot(AnswerTimeoutMs, socket, &QTcpSocket::abort);
    // Answering from its own address tells this server apart from others on the workstation.
    // Binding would ask the system for a proxy first; answers never go through one.
    if (!m_options.answerFrom.isNull()) {
        socket->setProxy(QNetworkProxy::NoProxy);
        socket->bind(m_options.answerFrom);
    }
    socket->connectToHost(host, m_options.answerPort);
}

void Link71Simulator::answerDone(QTcpSocket *socket)
{
    if (socket != m_answerSocket)
        return;
    m_answerSocket = nullptr;
    socket->deleteLater();
    if (m_answerConnected) {
        m_answersSent += m_answerCount;
        emit answerSent(m_answerCount);
    }
    sendNext();
}
