#include "tests/support/TempDatabase.h"

#include "db/Schema.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <stdexcept>

namespace {
QAtomicInt nextConnection;
}

TempDatabase::TempDatabase()
    : m_fileName(m_dir.filePath(QStringLiteral("test.sqlite")))
    , m_connectionName(QStringLiteral("tempdb%1").arg(nextConnection.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_fileName);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    Schema::createSqlite(db);
}

TempDatabase::~TempDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase TempDatabase::db() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void TempDatabase::exec(const QString &sql)
{
    QSqlQuery query(db());
    if (!query.exec(sql))
        QTest::qFail(qPrintable(query.lastError().text() + QLatin1String(": ") + sql), __FILE__, __LINE__);
}

QVariant TempDatabase::scalar(const QString &sql)
{
    QSqlQuery query(db());
    if (!query.exec(sql)) {
        QTest::qFail(qPrintable(query.lastError().text() + QLatin1String(": ") + sql), __FILE__, __LINE__);
        return {};
    }
    return query.next() ? query.value(0) : QVariant();
}

QStringList TempDatabase::rows(const QString &sql)
{
    QSqlQuery query(db());
    QStringList out;
    if (!query.exec(sql)) {
        QTest::qFail(qPrintable(query.lastError().text() + QLatin1String(": ") + sql), __FILE__, __LINE__);
        return out;
    }
    while (query.next()) {
        QStringList cols;
        for (int i = 0; i < query.record().count(); ++i)
            cols.append(query.value(i).toString());
        out.append(cols.join(QLatin1Char('|')));
    }
    return out;
}
