#include "controllers/LocalNetworkComputers.h"

#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

constexpr int StartTimeoutMs = 2000;
constexpr int RunTimeoutMs = 5000;

bool isHostAddress(const QHostAddress &address)
{
    if (address.isNull() || address.isLoopback() || address.isMulticast() || address.isBroadcast())
        return false;
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return true;
    return address.isGlobal() || address.isLinkLocal() || address.isUniqueLocalUnicast();
}

// avahi writes bytes outside plain names as a backslash and three decimal digits.
QString unescapeAvahi(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const QByteArray code = bytes.mid(i + 1, 3);
        const bool escaped = bytes.at(i) == '\\' && code.size() == 3
                             && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })
                             && code.toInt() < 256;
        if (escaped) {
            out.append(char(code.toInt()));
            i += 3;
        } else {
            out.append(bytes.at(i));
        }
    }
    return QString::fromUtf8(out);
}

// "nas" and "nas.local" are one computer.
QString sameComputerKey(const QString &name)
{
    QString key = name.toLower();
    if (key.endsWith(QLatin1String(".local")))
        key.chop(6);
    return key;
}

} // namespace

LocalNetworkComputers::LocalNetworkComputers(QString ownName, std::function<QStringList()> namedInCatalogue,
                                             RunTool run)
    : m_ownName(std::move(ownName)), m_namedInCatalogue(std::move(namedInCatalogue)), m_run(std::move(run))
{
}

QStringList LocalNetworkComputers::list()
{
    QStringList found{m_ownName};
    found += m_namedInCatalogue();
    found += namesInHostDatabase(m_run(QStringLiteral("getent"), {QStringLiteral("hosts")}));
    found += announcedHosts(m_run(QStringLiteral("avahi-browse"),
                                  {QStringLiteral("--all"), QStringLiteral("--resolve"), QStringLiteral("--terminate"),
                                   QStringLiteral("--parsable")}));
    QStringList names;
    QSet<QString> seen;
    for (const QString &name : std::as_const(found)) {
        const QString trimmed = name.trimmed();
        if (trimmed.isEmpty() || seen.contains(sameComputerKey(trimmed)))
            continue;
        seen.insert(sameComputerKey(trimmed));
        names.append(trimmed);
    }
    return names;
}

QStringList LocalNetworkComputers::namesInHostDatabase(const QString &getentOutput)
{
    QStringList names;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString &line : getentOutput.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(blanks, Qt::SkipEmptyParts);
        if (fields.size() >= 2 && isHostAddress(QHostAddress(fields.at(0))))
            names.append(fields.at(1));
    }
    return names;
}

QStringList LocalNetworkComputers::announcedHosts(const QString &avahiOutput)
{
    // "=;interface;protocol;name;type;domain;host;address;port;txt"
    constexpr int HostField = 6;
    QStringList names;
    for (const QString &line : avahiOutput.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() > HostField && fields.at(0) == QLatin1String("="))
            names.append(unescapeAvahi(fields.at(HostField)));
    }
    return names;
}

QString LocalNetworkComputers::runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(StartTimeoutMs))
        return QString();
    if (!process.waitForFinished(RunTimeoutMs)) {
        process.kill();
        process.waitForFinished(StartTimeoutMs);
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}
