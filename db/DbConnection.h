#pragma once

#include "db/SqlDialect.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>

// One database connection of a data module, opened from a stored connection string,
// with its own transactions. Failures throw DbError with the driver's text.
class DbConnection : public QObject
{
    Q_OBJECT

public:
    explicit DbConnection(QObject *parent = nullptr);
    ~DbConnection() override;

    // Closes the connection first: the new string applies from the next open.
    void setConnectionString(const QString &connectionString);
    QString connectionString() const { return m_connectionString; }

    void open();
    // Rolls back a transaction left open, then closes; the queries close with it.
    void close();
    bool isOpen() const;

    void beginTransaction();
    void commit();
    // Does nothing without a transaction, so error paths may always call it.
    void rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Runs work in a transaction of its own: commit when it returns, rollback and DbError
    // (with the failure's text) when it throws. Inside a transaction that is already open
    // (an editor holding one while it is shown) work joins it, and the owner decides.
    void transaction(const std::function<void()> &work);

    // Valid while open.
    QSqlDatabase database() const;
    SqlDialect dialect() const;

    static constexpr int LoginTimeoutSeconds = 5;

signals:
    void aboutToClose();

private:
    void check(bool ok, const QString &what);
    void rollbackQuietly();

    const QString m_name;
    QString m_connectionString;
    bool m_inTransaction = false;
};

// The same for a database that no data module owns (creating a schema).
void inTransaction(QSqlDatabase db, const std::function<void()> &work);
