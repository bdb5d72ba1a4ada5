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

// Runs work in one transaction on db: committed when it returns, rolled back when it
// throws (the exception goes on). A failing begin or commit throws std::runtime_error.
void inTransaction(QSqlDatabase db, const std::function<void()> &work);

// Creates every object in an open, empty SQLite database, in one transaction. Throws
// std::runtime_error with the driver's text (and the statement) when one fails.
void createSqlite(QSqlDatabase db);

} // namespace Schema
