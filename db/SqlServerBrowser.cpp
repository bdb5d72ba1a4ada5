#include "db/SqlServerBrowser.h"

#include "db/DbError.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

constexpr char kBroadcastRequest = 0x02;
constexpr char kResponse = 0x05;
constexpr int kHeaderSize = 3; // 0x05, then the length of the data, little-endian

// One record, "ServerName;X;InstanceName;Y;IsClustered;No;Version;...": keys and values
// alternate, keys compared without regard to case.
QString instanceName(const QString &record)
{
    const QStringList tokens = record.split(QLatin1Char(';'));
    QString server, instance;
    for (qsizetype i = 0; i + 1 < tokens.size(); i += 2) {
        if (tokens[i].compare(QLatin1String("ServerName"), Qt::CaseInsensitive) == 0)
            server = tokens[i + 1].trimmed();
        else if (tokens[i].compare(QLatin1String("InstanceName"), Qt::CaseInsensitive) == 0)
            instance = tokens[i + 1].trimmed();
    }
    if (server.isEmpty())
        return {};
    if (instance.isEmpty() || instance.compare(QLatin1String("MSSQLSERVER"), Qt::CaseInsensitive) == 0)
        return server;
    return server + QLatin1Char('\\') + instance;
}

void appendNew(QStringList &names, const QStringList &more)
{
    for (const QString &name : more)
        if (!names.contains(name, Qt::CaseInsensitive))
            names.append(name);
}

} // namespace

namespace SqlServerBrowser {

QStringList parseReply(const QByteArray &datagram)
{
    if (datagram.size() < kHeaderSize || datagram[0] != kResponse)
        return {};
    const int size = quint8(datagram[1]) | (quint8(datagram[2]) << 8);
    // A reply shorter than it says it is was cut on its way: none of it can be trusted.
    if (datagram.size() - kHeaderSize < size)
        return {};
    const QString data = QString::fromLocal8Bit(datagram.mid(kHeaderSize, size));
    QStringList names;
    // Each record ends with ";;".
    for (const QString &record : data.split(QLatin1String(";;"), Qt::SkipEmptyParts)) {
        const QString name = instanceName(record);
        if (!name.isEmpty())
            appendNew(names, {name});
    }
    return names;
}

QStringList listInstances(const QHostAddress &address, quint16 port, std::chrono::milliseconds wait)
{
    QUdpSocket socket;
    const QHostAddress local =
        address.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4;
    if (!socket.bind(local, 0))
        throw DbError(socket.errorString());
    if (socket.writeDatagram(QByteArray(1, kBroadcastRequest), address, port) != 1)
        throw DbError(socket.errorString());

    QStringList names;
    // Any number of servers may answer a broadcast, so the whole wait is spent listening.
    const QDeadlineTimer deadline(wait);
    while (!deadline.hasExpired()) {
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(int(deadline.remainingTime())))
            continue;
        while (socket.hasPendingDatagrams())
            appendNew(names, parseReply(socket.receiveDatagram().data()));
    }
    return names;
}

} // namespace SqlServerBrowser
