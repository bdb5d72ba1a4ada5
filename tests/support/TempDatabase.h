#pragma once

#include <QSqlDatabase>
#include <QTemporaryDir>

// An SQLite database made from the schema in a temporary folder, on a connection of its
// own; both go with the object. Fixture rows are inserted with exec().
class TempDatabase
{
public:
    TempDatabase();
    ~TempDatabase();
    TempDatabase(const TempDatabase &) = delete;
    TempDatabase &operator=(const TempDatabase &) = delete;

    QString fileName() const { return m_fileName; }
    QSqlDatabase db() const;
    // Runs one statement; a failing statement fails the test with the driver's text.
    void exec(const QString &sql);
    // The first column of the first row of a query, or an invalid value without rows.
    QVariant scalar(const QString &sql);
    // Every row of a query, its columns joined with '|'.
    QStringList rows(const QString &sql);

private:
    QTemporaryDir m_dir;
    QString m_fileName;
    QString m_connectionName;
};
