#include "db/LinkNumbering.h"

#include "db/DbError.h"

#include <QSqlError>
#include <QSqlQuery>


QString LinkNumbering::maxIdStatement(const QString &table)
{
    const bool lowerKey = table.compare(QLatin1String("tblDorvZone_TackePristupa"), Qt::CaseInsensitive) == 0;
    return QStringLiteral("SELECT Max(%1) AS 'id' FROM %2").arg(lowerKey ? QStringLiteral("id") : QStringLiteral("ID"), table);
}

LinkNumbering LinkNumbering::afterMax(const QString &maxIdText)
{
    if (maxIdText.isEmpty())
        return LinkNumbering(1);
    bool ok = false;
    const int max = maxIdText.toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(maxIdText));
    return LinkNumbering(max + 1);
}

LinkNumbering LinkNumbering::start(QSqlDatabase db, const QString &table)
{
    QSqlQuery query(db);
    if (!query.exec(maxIdStatement(table)))
        throw DbError(query.lastError().text());
    const QString text = query.next() ? query.value(QStringLiteral("id")).toString() : QString();
    return afterMax(text);
}
