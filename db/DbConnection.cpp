#include "db/DbConnection.h"

#include "db/ConnectionString.h"
#include "db/DbError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>

namespace {

QString uniqueConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("connMain-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

DbConnection::DbConnection(QObject *parent)
    : QObject(parent), m_name(uniqueConnectionName())
{
    setObjectName(QStringLiteral("connMain"));
}

DbConnection::~DbConnection()
{
    close();
    QSqlDatabase::removeDatabase(m_name);
}

void DbConnection::setConnectionString(const QString &connectionString)
{
    close();
    m_connectionString = connectionString;
}

void DbConnection::open()
{
    if (isOpen())
        return;
    const ConnectionSettings s = ConnectionString::parse(m_connectionString);
    QSqlDatabase::removeDatabase(m_name);
    QSqlDatabase db;
    if (s.kind == ConnectionSettings::Sqlite) {
        // SQLite would silently create an empty file at a mistyped path.
        if (!QFileInfo(s.fileName).isFile())
            throw DbError(QStringLiteral("unable to open database file: %1").arg(s.fileName));
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(s.fileName);
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
        db.setDatabaseName(ConnectionString::odbc(s, OdbcPlatform::current()));
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(LoginTimeoutSeconds));
    }
    if (!db.isValid())
        throw DbError(QStringLiteral("The database driver is not available: %1").arg(db.driverName()));
    if (!db.open())
        throw DbError(db.lastError().text());
}

void DbConnection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    emit aboutToClose();
    QSqlDatabase db = database();
    // Closing must not fail: a transaction left open is dropped, not reported.
    if (m_inTransaction && db.isOpen())
        db.rollback();
    m_inTransaction = false;
    db.close();
}

bool DbConnection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

void DbConnection::beginTransaction()
{
    if (m_inTransaction)
        throw DbError(QStringLiteral("A transaction is already active on this connection."));
    open();
    QSqlDatabase db = database();
    check(db.transaction(), QStringLiteral("begin"));
    m_inTransaction = true;
}

void DbConnection::commit()
{
    if (!m_inTransaction)
        throw DbError(QStringLiteral("No transaction is active."));
    QSqlDatabase db = database();
    check(db.commit(), QStringLiteral("commit"));
    m_inTransaction = false;
}

void DbConnection::rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    QSqlDatabase db = database();
    check(db.rollback(), QStringLiteral("roll back"));
}

void DbConnection::transaction(const std::function<void()> &work)
{
    if (m_inTransaction) {
        work();
        return;
    }
    beginTransaction();
    try {
        work();
        commit();
    } catch (const DbError &) {
        rollbackQuietly();
        throw;
    } catch (const std::exception &e) {
        rollbackQuietly();
        throw DbError(QString::fromStdString(e.what()));
    }
}

void DbConnection::rollbackQuietly()
{
    // The first failure is the one worth reporting; a failing rollback adds nothing.
    try {
        rollback();
    } catch (const DbError &) {
    }
}

void inTransaction(QSqlDatabase db, const std::function<void()> &work)
{
    if (!db.transaction())
        throw DbError(db.lastError().text());
    try {
        work();
    } catch (const DbError &) {
        db.rollback();
        throw;
    } catch (const std::exception &e) {
        db.rollback();
        throw DbError(QString::fromStdString(e.what()));
    }
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        throw DbError(text);
    }
}

QSqlDatabase DbConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

SqlDialect DbConnection::dialect() const
{
    return SqlDialect::of(database());
}

void DbConnection::check(bool ok, const QString &what)
{
    if (!ok)
        throw DbError(QStringLiteral("Cannot %1 the transaction: %2").arg(what, database().lastError().text()));
}
