#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>

#include <chrono>

// Lists SQL Server instances through the SQL Server Browser service (UDP 1434): one
// request 0x02 (CLNT_BCAST_EX) to the given address, then every 0x05 reply (SVR_RESP)
// that arrives within the wait. The program asks the broadcast address; tests ask a fake
// browser on loopback.
namespace SqlServerBrowser {

constexpr quint16 DefaultPort = 1434;

// Instance names as a client connects to them: "host\instance", and plain "host" for the
// default instance MSSQLSERVER, which listens on the server's own name. Each name once,
// in the order the replies came. Throws DbError when the request cannot be sent.
QStringList listInstances(const QHostAddress &address, quint16 port = DefaultPort,
                          std::chrono::milliseconds wait = std::chrono::milliseconds(2000));

// The instance names in one datagram; none for a datagram that is not a well-formed
// SVR_RESP. Records without a server name are skipped.
QStringList parseReply(const QByteArray &datagram);

} // namespace SqlServerBrowser
