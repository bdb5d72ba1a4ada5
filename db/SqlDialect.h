#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The statements of the program are T-SQL and run unchanged on SQL Server. On SQLite
// (the embedded database) a few constructs are rewritten: string concatenation with
// "+", CONVERT(VARCHAR(5), x, 108) and the call of the stored procedure.
class SqlDialect
{
public:
    enum Kind { SqlServer, Sqlite };

    explicit SqlDialect(Kind kind = SqlServer) : m_kind(kind) {}
    // QSQLITE databases speak SQLite, everything else T-SQL.
    static SqlDialect of(const QSqlDatabase &db);

    Kind kind() const { return m_kind; }

    // The statement as this database must see it.
    QString adapt(const QString &tsql) const;

    // String concatenation of SQL expressions, for statements the program builds itself:
    // "a + b" on SQL Server, "a || b" on SQLite.
    QString concat(const QStringList &expressions) const;

    // How the program calls the procedure that lists a controller's media IDs, with
    // the parameter :idkontrolera.
    static QString controllerDataCall();

private:
    Kind m_kind;
};
