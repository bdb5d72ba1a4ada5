#pragma once

#include "controllers/NetworkComputers.h"

#include <QString>

#include <functional>

// The computers a Linux desktop knows without any configuration: its own name first,
// then those the catalogue already names, then the hosts of the resolver's host
// database ("getent hosts") and the hosts the local network announces through service
// discovery ("avahi-browse"), where those tools are installed. Each name once.
class LocalNetworkComputers : public NetworkComputers
{
public:
    // Runs a tool and returns what it printed; empty when it is missing or fails.
    using RunTool = std::function<QString(const QString &program, const QStringList &arguments)>;

    LocalNetworkComputers(QString ownName, std::function<QStringList()> namedInCatalogue, RunTool run = runTool);

    QStringList list() override;

    // The canonical names of "getent hosts" lines, without loopback, multicast and the
    // reserved IPv6 entries every hosts file carries.
    static QStringList namesInHostDatabase(const QString &getentOutput);
    // The host names of the resolved services of "avahi-browse --parsable" output.
    static QStringList announcedHosts(const QString &avahiOutput);

    // Waits a few seconds at most and keeps what the tool printed until then.
    static QString runTool(const QString &program, const QStringList &arguments);

private:
    const QString m_ownName;
    const std::function<QStringList()> m_namedInCatalogue;
    const RunTool m_run;
};
