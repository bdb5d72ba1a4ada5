#include "RawLink71Client.h"

#include "link/Komunikacija.h"
#include "link/ReplyListener.h"
#include "sim/Link71Simulator.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <thread>

qint64 RunRawLink71Client(Link71Simulator *sim, quint16 simPort, const QStringList &frames, int timeoutMs)
{
    QTcpServer receiver;
    // As deep an accept queue as the program's listener has.
    receiver.setListenBacklogSize(ReplyListener::ListenBacklog);
    if (!receiver.listen(QHostAddress::LocalHost, 0))
        return -1;
    const quint16 answerPort = receiver.serverPort();
    QMetaObject::invokeMethod(sim, [sim, answerPort] { sim->setAnswerPort(answerPort); },
                              Qt::BlockingQueuedConnection);

    QEventLoop loop;
    const qsizetype expected = frames.size();
    qsizetype answers = 0;
    qint64 elapsed = -1;
    QElapsedTimer clock;
    QObject::connect(&receiver, &QTcpServer::newConnection, &loop, [&] {
        while (QTcpSocket *socket = receiver.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, &loop, [&, socket] {
                socket->readAll();
                socket->deleteLater();
                if (++answers == expected) {
                    elapsed = clock.elapsed();
                    loop.quit();
                }
            });
        }
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);

    QList<QByteArray> batches;
    for (qsizetype i = 0; i < frames.size(); i += TLink71komunikacija::MaxBatchFrames)
        batches.append(frames.mid(i, TLink71komunikacija::MaxBatchFrames).join(QString()).toLatin1());

    clock.start();
    std::thread client([&] {
        for (const QByteArray &batch : batches) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, simPort);
            if (!socket.waitForConnected(3000))
                return;
            socket.write(batch);
            while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(3000)) {
            }
            socket.disconnectFromHost();
            if (socket.state() != QAbstractSocket::UnconnectedState)
                socket.waitForDisconnected(3000);
        }
    });
    loop.exec();
    client.join();
    return elapsed;
}
