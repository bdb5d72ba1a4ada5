#pragma once

class DbConnection;
class QWidget;

// The transaction an editing dialog holds on its data module's connection while it is
// shown: begun when it opens, committed by a successful save, rolled back and begun
// anew after a failed one, rolled back when the dialog is cancelled.
class DialogTransaction
{
public:
    explicit DialogTransaction(DbConnection &connection) : m_connection(connection) {}

    // False, after an error box with the database's text, when no transaction could begin.
    bool begin(QWidget *parent);
    // Throws DbError.
    void commit();
    // Never throws: the failure that led here is the one worth reporting.
    void rollback();
    bool restart(QWidget *parent);

private:
    DbConnection &m_connection;
};
