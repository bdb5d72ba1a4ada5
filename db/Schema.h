#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

// The database definition, compiled in: the embedded (SQLite) form that the program and
// the tests create databases from, and the SQL Server script for an installation.
namespace Schema {

QString sqliteScript();
QString mssqlScript();

// The statements of a script, split at semicolons outside quotes and comments (SQLite)
// or at lines holding only GO (SQL Server).
QStringList sqliteStatements(const QString &script);
QStringList mssqlBatches(const QString &script);

// Creates every object in an open, empty SQLite database, in one transaction. Throws
// DbError with the driver's text (and the statement) when one fails.
void createSqlite(QSqlDatabase db);

} // namespace Schema
