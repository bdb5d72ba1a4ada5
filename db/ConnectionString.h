#pragma once

#include <QString>
#include <QStringList>

// What a stored connection string says. Two forms are SQL Server through the OLE DB
// provider "SQLOLEDB.1" (login by user name and password, or Windows authentication);
// "Provider=SQLite;Data Source=<file>" is an SQLite file.
struct ConnectionSettings
{
    enum Kind { SqlServer, Sqlite };

    Kind kind = SqlServer;
    QString server;       // SQL Server: "(local)", "host", "host\instance", "host,port"
    QString database;
    QString userName;
    QString password;
    bool integratedSecurity = false;
    QString fileName;     // SQLite
};

// The ODBC side of a SQL Server connection: which platform, which drivers it has.
struct OdbcPlatform
{
    enum Os { Unix, Windows };

    Os os = Unix;
    QStringList installedDrivers;  // Windows only; FreeTDS is used elsewhere

    // This machine.
    static OdbcPlatform current();
};

namespace ConnectionString {

// Throws DbError for a provider the program cannot open or a string without a data source.
ConnectionSettings parse(const QString &connectionString);

// The QODBC database name (a DSN-less ODBC connection string) for a SQL Server.
QString odbc(const ConnectionSettings &settings, const OdbcPlatform &platform);

// "Provider=SQLite;Data Source=<file>".
QString forSqliteFile(const QString &fileName);

} // namespace ConnectionString
