#pragma once

#include <QSqlDatabase>
#include <QString>

// Link rows (person-group, person-zone, group-zone, zone-access point) are numbered by
// the program: the table's largest ID plus 1, or 1 on an empty table, then one more for
// each further row of the same batch. Run it inside the transaction that inserts the rows.
class LinkNumbering
{
public:
    // Reads the table's largest ID over db. Throws DbError with the driver's
    // text when the query fails.
    static LinkNumbering start(QSqlDatabase db, const QString &table);
    // The numbering that follows a stored largest ID read as text ("" for an empty table).
    static LinkNumbering afterMax(const QString &maxIdText);

    // The number for the next row of the batch.
    int next() { return m_next++; }

    // "SELECT Max(ID) AS 'id' FROM <table>"; the access-point table spells its key "id".
    static QString maxIdStatement(const QString &table);

private:
    explicit LinkNumbering(int first) : m_next(first) {}
    int m_next;
};
