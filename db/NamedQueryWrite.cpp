// The write-back of NamedQuery: editing the rows in memory and posting them to the table.
#include "db/NamedQuery.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <algorithm>

void NamedQuery::insert()
{
    requireEditable();
    checkBrowseMode();
    emit aboutToReset();
    m_rows.append(QList<QVariant>(fieldCount()));
    m_modified = QList<bool>(fieldCount(), false);
    m_state = Insert;
    if (m_deferredRow >= 0)
        dropDeferred();
    emit reset();
    focusAfterReset(rowCount() - 1);
    m_deferredRow = m_current;
    m_bof = m_eof = false;
}

void NamedQuery::edit()
{
    requireEditable();
    if (m_state != Browse)
        return;
    if (m_current < 0)
        fail(QStringLiteral("Cannot edit: the dataset is empty"));
    loadDeferred();
    m_saved = m_rows.at(m_current);
    m_modified = QList<bool>(fieldCount(), false);
    m_state = Edit;
}

void NamedQuery::setValue(const QString &field, const QVariant &value)
{
    const int index = requireField(field);
    if (m_state != Edit && m_state != Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    m_rows[m_current][index] = value;
    m_modified[index] = true;
    emit rowChanged(m_current);
}

QString NamedQuery::columnOf(int field) const
{
    const QString name = fieldName(field);
    if (m_target.columns.isEmpty())
        return name;
    for (const auto &[f, c] : m_target.columns) {
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return QString();
}

QList<int> NamedQuery::writableFields() const
{
    QList<int> out;
    for (int i = 0; i < fieldCount(); ++i) {
        const QString name = fieldName(i);
        if (!m_modified.value(i) || columnOf(i).isEmpty()
            || m_target.readOnlyFields.contains(name, Qt::CaseInsensitive)
            || name.compare(m_target.identityField, Qt::CaseInsensitive) == 0)
            continue;
        out.append(i);
    }
    return out;
}

QString NamedQuery::keyCondition(const QList<QVariant> &keyRow, QVariantList &binds) const
{
    QStringList parts;
    for (const QString &key : m_target.keyFields) {
        const int field = requireField(key);
        parts.append(columnOf(field) + QStringLiteral(" = ?"));
        binds.append(keyRow.at(field));
    }
    return parts.join(QStringLiteral(" AND "));
}

void NamedQuery::writeInTransaction(const std::function<void()> &write)
{
    m_connection->transaction(write);
}

namespace {

QSqlQuery run(NamedQuery *query, const QSqlDatabase &db, const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(db);
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant &b : binds)
            q.addBindValue(b);
        ok = q.exec();
    }
    if (!ok)
        throw DbError(query->name() + QStringLiteral(": ") + q.lastError().text());
    return q;
}

void requireOneRow(NamedQuery *query, const QSqlQuery &q)
{
    if (q.numRowsAffected() != 1)
        throw DbError(query->name()
                      + QStringLiteral(": Row cannot be located for updating. Some values may have been changed"
                                       " since it was last read."));
}

} // namespace

void NamedQuery::post()
{
    if (m_state != Edit && m_state != Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    const QList<int> fields = writableFields();
    QStringList columns;
    QVariantList binds;
    for (int f : fields) {
        columns.append(columnOf(f));
        binds.append(m_rows.at(m_current).at(f));
    }
    if (m_state == Insert) {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(m_target.table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        QVariant identity;
        writeInTransaction([&] {
            const QSqlQuery q = run(this, m_connection->database(), sql, binds);
            if (!m_target.identityField.isEmpty())
                identity = q.lastInsertId();
        });
        if (!m_target.identityField.isEmpty())
            m_rows[m_current][requireField(m_target.identityField)] = identity;
    } else if (!fields.isEmpty()) {
        QStringList sets;
        for (const QString &c : columns)
            sets.append(c + QStringLiteral(" = ?"));
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(m_target.table, sets.join(QStringLiteral(", ")), keyCondition(m_saved, binds));
        writeInTransaction([&] { requireOneRow(this, run(this, m_connection->database(), sql, binds)); });
    }
    m_state = Browse;
    m_saved.clear();
    emit rowChanged(m_current);
}

void NamedQuery::cancel()
{
    if (m_state == Insert) {
        emit aboutToReset();
        m_rows.removeLast();
        m_state = Browse;
        m_deferredRow = -1;
        // Whoever reads on reset must not find the focus on the row just removed.
        m_current = -1;
        emit reset();
        focusAfterReset(rowCount() - 1);
    } else if (m_state == Edit) {
        m_rows[m_current] = m_saved;
        m_saved.clear();
        m_state = Browse;
        emit rowChanged(m_current);
    }
}

void NamedQuery::remove()
{
    requireEditable();
    if (m_state == Insert) {
        cancel();
        return;
    }
    cancel();
    if (m_current < 0)
        fail(QStringLiteral("Cannot delete: the dataset is empty"));
    QVariantList binds;
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_target.table, keyCondition(m_rows.at(m_current), binds));
    writeInTransaction([&] { requireOneRow(this, run(this, m_connection->database(), sql, binds)); });
    const int row = m_current;
    emit aboutToReset();
    m_rows.removeAt(row);
    m_deferredRow = -1;
    m_current = -1;
    emit reset();
    focusAfterReset(std::min(row, rowCount() - 1));
}
