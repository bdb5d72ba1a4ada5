#include "db/ConnectionString.h"

#include "db/DbError.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace {

// "Key=Value;Key=Value": keys without regard to case, values as written.
QHash<QString, QString> pairs(const QString &connectionString)
{
    QHash<QString, QString> out;
    const QStringList parts = connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        out.insert(part.left(eq).trimmed().toLower(), part.mid(eq + 1).trimmed());
    }
    return out;
}

bool isSqlServerProvider(const QString &provider)
{
    static const QRegularExpression known(QStringLiteral("^(SQLOLEDB|SQLNCLI\\d*|MSOLEDBSQL\\d*)(\\.\\d+)?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return known.match(provider).hasMatch();
}

// ODBC values with separators or braces go between braces, a closing brace doubled,
// so a typed password cannot add keys of its own.
QString odbcValue(const QString &value)
{
    static const QRegularExpression special(QStringLiteral("[;{}=]|^\\s|\\s$"));
    if (!value.contains(special))
        return value;
    QString v = value;
    v.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

QString windowsDriver(const QStringList &installed)
{
    static const QRegularExpression modern(QStringLiteral("^ODBC Driver (\\d+) for SQL Server$"));
    int best = 0;
    for (const QString &d : installed) {
        const QRegularExpressionMatch m = modern.match(d);
        if (m.hasMatch())
            best = std::max(best, m.captured(1).toInt());
    }
    return best > 0 ? QStringLiteral("ODBC Driver %1 for SQL Server").arg(best) : QStringLiteral("SQL Server");
}

// FreeTDS knows neither "(local)" nor the "host,port" notation; "host\instance" is
// resolved through the server's browser service, so it gets no port.
QStringList freeTdsServer(const QString &server)
{
    QString host = server.trimmed();
    QString port = QStringLiteral("1433");
    const qsizetype comma = host.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        port = host.mid(comma + 1).trimmed();
        host = host.left(comma).trimmed();
    }
    QString instance;
    const qsizetype slash = host.indexOf(QLatin1Char('\\'));
    if (slash >= 0) {
        instance = host.mid(slash);
        host = host.left(slash);
    }
    if (host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0 || host == QLatin1String(".")
        || host.isEmpty())
        host = QStringLiteral("127.0.0.1");
    QStringList out{QStringLiteral("SERVER=") + odbcValue(host + instance)};
    if (instance.isEmpty() || comma >= 0)
        out.append(QStringLiteral("PORT=") + odbcValue(port));
    return out;
}

QStringList credentials(const ConnectionSettings &s)
{
    if (s.integratedSecurity)
        return {QStringLiteral("Trusted_Connection=yes")};
    return {QStringLiteral("UID=") + odbcValue(s.userName), QStringLiteral("PWD=") + odbcValue(s.password)};
}

} // namespace

namespace ConnectionString {

ConnectionSettings parse(const QString &connectionString)
{
    const QHash<QString, QString> kv = pairs(connectionString);
    const QString provider = kv.value(QStringLiteral("provider"));
    const QString dataSource = kv.value(QStringLiteral("data source"));
    ConnectionSettings s;
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) {
        s.kind = ConnectionSettings::Sqlite;
        s.fileName = dataSource;
        if (s.fileName.isEmpty())
            throw DbError(QStringLiteral("The connection string names no SQLite file."));
        return s;
    }
    if (!isSqlServerProvider(provider))
        throw DbError(QStringLiteral("Provider cannot be found: \"%1\".").arg(provider));
    s.server = dataSource;
    s.database = kv.value(QStringLiteral("initial catalog"));
    s.userName = kv.value(QStringLiteral("user id"));
    s.password = kv.value(QStringLiteral("password"));
    const QString sspi = kv.value(QStringLiteral("integrated security"));
    s.integratedSecurity = sspi.compare(QLatin1String("SSPI"), Qt::CaseInsensitive) == 0
        || sspi.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
        || sspi.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
    return s;
}

QString odbc(const ConnectionSettings &s, const OdbcPlatform &platform)
{
    const QString database = QStringLiteral("DATABASE=") + odbcValue(s.database);
    QStringList parts;
    if (platform.os == OdbcPlatform::Windows) {
        const QString driver = windowsDriver(platform.installedDrivers);
        parts << QStringLiteral("DRIVER={%1}").arg(driver) << QStringLiteral("SERVER=") + odbcValue(s.server)
              << database << credentials(s);
        if (driver != QLatin1String("SQL Server"))
            parts << QStringLiteral("TrustServerCertificate=yes");
    } else {
        parts << QStringLiteral("DRIVER={FreeTDS}") << freeTdsServer(s.server) << database << credentials(s)
              << QStringLiteral("TDS_Version=7.4") << QStringLiteral("ClientCharset=UTF-8");
    }
    return parts.join(QLatin1Char(';'));
}

QString forSqliteFile(const QString &fileName)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + fileName;
}

} // namespace ConnectionString
