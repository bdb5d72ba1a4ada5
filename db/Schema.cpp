#include "db/Schema.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <stdexcept>

namespace Schema {

namespace {

QString resource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("missing resource ") + path);
    return QString::fromUtf8(file.readAll());
}

void exec(QSqlQuery &query, const QString &statement)
{
    if (!query.exec(statement))
        throw DbError(query.lastError().text() + QLatin1String("\n") + statement);
}

} // namespace

QString sqliteScript()
{
    return resource(QStringLiteral(":/schema/sqlite.sql"));
}

QString mssqlScript()
{
    return resource(QStringLiteral(":/schema/mssql.sql"));
}

QStringList sqliteStatements(const QString &script)
{
    QStringList statements;
    QString current;
    bool inQuote = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (!inQuote && c == QLatin1Char('-') && i + 1 < script.size() && script[i + 1] == QLatin1Char('-')) {
            while (i < script.size() && script[i] != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('\''))
            inQuote = !inQuote;
        if (!inQuote && c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                statements.append(current.trimmed());
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

QStringList mssqlBatches(const QString &script)
{
    static const QRegularExpression go(QStringLiteral("^\\s*GO\\s*$"),
                                       QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    QStringList batches;
    for (const QString &part : script.split(go)) {
        // A batch made only of comments is no batch.
        QString code = part;
        code.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
        if (!code.trimmed().isEmpty())
            batches.append(part.trimmed());
    }
    return batches;
}

void createSqlite(QSqlDatabase db)
{
    const QStringList statements = sqliteStatements(sqliteScript());
    ::inTransaction(db, [&] {
        QSqlQuery query(db);
        for (const QString &statement : statements)
            exec(query, statement);
    });
}

} // namespace Schema
