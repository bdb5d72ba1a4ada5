#include "db/NamedQuery.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

#include <algorithm>

namespace {

// ":name" outside string literals, in order of first appearance.
QStringList parseParameters(const QString &text)
{
    QStringList names;
    bool inLiteral = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'')) {
            inLiteral = !inLiteral;
            continue;
        }
        if (inLiteral || c != QLatin1Char(':') || i + 1 >= text.size())
            continue;
        const QChar first = text.at(i + 1);
        if (!first.isLetter() && first != QLatin1Char('_'))
            continue;
        qsizetype j = i + 1;
        while (j < text.size() && (text.at(j).isLetterOrNumber() || text.at(j) == QLatin1Char('_')))
            ++j;
        const QString name = text.mid(i + 1, j - i - 1);
        if (!names.contains(name, Qt::CaseInsensitive))
            names.append(name);
        i = j - 1;
    }
    return names;
}

// SQLite keeps date-times as text; both ISO spellings occur.
QDateTime toDateTime(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime();
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(QString(s).replace(QLatin1Char(' '), QLatin1Char('T')), Qt::ISODateWithMs);
    return dt;
}

const QVariant typedNullText = QVariant(QMetaType::fromType<QString>());

} // namespace

NamedQuery::NamedQuery(const QString &name, DbConnection *connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{
    setObjectName(name);
    connect(m_connection, &DbConnection::aboutToClose, this, &NamedQuery::close);
}

NamedQuery::~NamedQuery()
{
    // Neither side of a master link may outlive the other's pointer.
    setMaster(nullptr);
    for (NamedQuery *detail : std::as_const(m_details))
        detail->m_master = nullptr;
}

void NamedQuery::fail(const QString &text) const
{
    throw DbError(objectName() + QStringLiteral(": ") + text);
}

void NamedQuery::setText(const QString &text)
{
    close();
    m_text = text;
    m_parameters.clear();
    for (const QString &name : parseParameters(text))
        m_parameters.append({name, typedNullText});
}

QStringList NamedQuery::parameterNames() const
{
    QStringList out;
    for (const Parameter &p : m_parameters)
        out.append(p.name);
    return out;
}

qsizetype NamedQuery::parameterIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_parameters.size(); ++i) {
        if (m_parameters.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    fail(QStringLiteral("Parameter '%1' not found").arg(name));
}

void NamedQuery::setParameter(const QString &name, const QVariant &value)
{
    m_parameters[parameterIndex(name)].value = value.isValid() && !value.isNull() ? value : typedNullText;
}

QVariant NamedQuery::parameter(const QString &name) const
{
    return m_parameters.at(parameterIndex(name)).value;
}

void NamedQuery::setMaster(NamedQuery *master)
{
    if (m_master)
        m_master->m_details.removeOne(this);
    m_master = master;
    if (m_master)
        m_master->m_details.append(this);
}

void NamedQuery::takeMasterParameters()
{
    if (!m_master)
        return;
    for (Parameter &p : m_parameters) {
        const int field = m_master->fieldIndex(p.name);
        if (field < 0)
            continue;
        const int row = m_master->currentRow();
        p.value = row >= 0 ? m_master->cell(row, field) : QVariant();
        if (!p.value.isValid() || p.value.isNull())
            p.value = typedNullText;
    }
}

void NamedQuery::followMaster()
{
    if (!isActive())
        return;
    try {
        checkBrowseMode();
        takeMasterParameters();
        fetch();
    } catch (const DbError &e) {
        close();
        emit failed(e.text());
    }
}

void NamedQuery::notifyDetails()
{
    for (NamedQuery *detail : std::as_const(m_details))
        detail->followMaster();
}

void NamedQuery::open()
{
    if (isActive())
        return;
    takeMasterParameters();
    fetch();
}

void NamedQuery::requery()
{
    if (isActive())
        checkBrowseMode();
    takeMasterParameters();
    fetch();
}

void NamedQuery::close()
{
    if (!isActive())
        return;
    emit aboutToReset();
    m_rows.clear();
    m_saved.clear();
    m_state = Inactive;
    m_deferredRow = -1;
    m_current = -1;
    emit reset();
    // Details keep their rows; they follow again when the master reopens.
    emit currentRowChanged(-1);
}

QString NamedQuery::fetchText() const
{
    QString sql = m_text;
    for (const QString &field : m_target.deferredFields) {
        QString column = field;
        for (const auto &[f, c] : m_target.columns) {
            if (f.compare(field, Qt::CaseInsensitive) == 0)
                column = c;
        }
        // The column keeps its place and name but carries no bytes.
        const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(column)),
                                      QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = word.match(sql);
        if (m.hasMatch())
            sql.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("NULL ") + field);
    }
    return m_connection->dialect().adapt(sql);
}

void NamedQuery::runText(QSqlQuery &query, const QString &sql) const
{
    // Without parameters the text runs as it is; with them it is prepared and bound.
    bool ok;
    if (m_parameters.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        if (ok) {
            bindParameters(query);
            ok = query.exec();
        }
    }
    if (!ok)
        fail(query.lastError().text());
}

void NamedQuery::bindParameters(QSqlQuery &query) const
{
    for (const Parameter &p : m_parameters)
        query.bindValue(QLatin1Char(':') + p.name, p.value);
}

void NamedQuery::fetch()
{
    m_connection->open();
    QSqlQuery q(m_connection->database());
    q.setForwardOnly(true);
    runText(q, fetchText());
    if (!q.isSelect())
        fail(QStringLiteral("The statement does not return a result set"));
    const QSqlRecord record = q.record();
    const int columns = int(record.count());
    // Deferred fields hold nothing (an invalid value) until the focused row asks.
    QList<bool> deferred(columns, false);
    for (const QString &f : m_target.deferredFields) {
        const int index = int(record.indexOf(f));
        if (index >= 0)
            deferred[index] = true;
    }
    QList<QList<QVariant>> rows;
    while (q.next()) {
        QList<QVariant> row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(deferred[i] ? QVariant() : q.value(i));
        rows.append(std::move(row));
    }
    if (q.lastError().isValid())
        fail(q.lastError().text());

    emit aboutToReset();
    m_record = record;
    m_fieldByName.clear();
    for (int i = columns - 1; i >= 0; --i)
        m_fieldByName.insert(record.fieldName(i).toLower(), i);
    m_rows = std::move(rows);
    m_saved.clear();
    m_state = Browse;
    m_deferredRow = -1;
    m_current = -1;
    emit reset();
    focusAfterReset(m_rows.isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

int NamedQuery::execute()
{
    close();
    m_connection->open();
    QSqlQuery q(m_connection->database());
    runText(q, m_connection->dialect().adapt(m_text));
    return q.numRowsAffected();
}

int NamedQuery::fieldIndex(const QString &name) const
{
    return m_fieldByName.value(name.toLower(), -1);
}

void NamedQuery::requireActive() const
{
    if (!isActive())
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

int NamedQuery::requireField(const QString &field) const
{
    requireActive();
    const int index = fieldIndex(field);
    if (index < 0)
        fail(QStringLiteral("Field '%1' not found").arg(field));
    return index;
}

void NamedQuery::setCurrent(int row)
{
    const bool changed = row != m_current;
    if (changed && m_deferredRow >= 0 && m_deferredRow != row)
        dropDeferred();
    m_current = row;
    if (!changed)
        return;
    emit currentRowChanged(row);
    notifyDetails();
}

void NamedQuery::focusAfterReset(int row)
{
    m_current = row;
    emit currentRowChanged(row);
    notifyDetails();
}

void NamedQuery::moveTo(int row)
{
    requireActive();
    if (m_rows.isEmpty())
        return;
    checkBrowseMode();
    const int last = int(m_rows.size()) - 1;
    m_bof = row < 0;
    m_eof = row > last;
    setCurrent(std::clamp(row, 0, last));
}

void NamedQuery::first()
{
    moveTo(0);
    m_bof = true;
}

void NamedQuery::last()
{
    moveTo(rowCount() - 1);
    m_eof = true;
}

void NamedQuery::next()
{
    moveTo(m_current + 1);
}

void NamedQuery::prior()
{
    moveTo(m_current - 1);
}

QVariant NamedQuery::value(const QString &field)
{
    const int index = requireField(field);
    if (m_current < 0)
        return QVariant();
    if (m_target.deferredFields.contains(fieldName(index), Qt::CaseInsensitive))
        loadDeferred();
    return m_rows.at(m_current).at(index);
}

bool NamedQuery::isNull(const QString &field)
{
    const QVariant v = value(field);
    return !v.isValid() || v.isNull();
}

QString NamedQuery::asString(const QString &field)
{
    return isNull(field) ? QString() : value(field).toString();
}

int NamedQuery::asInteger(const QString &field)
{
    if (isNull(field))
        return 0;
    bool ok = false;
    const int v = value(field).toInt(&ok);
    if (!ok)
        fail(QStringLiteral("'%1' is not a valid integer value").arg(value(field).toString()));
    return v;
}

QDateTime NamedQuery::asDateTime(const QString &field)
{
    return isNull(field) ? QDateTime() : toDateTime(value(field));
}

QByteArray NamedQuery::asBytes(const QString &field)
{
    return isNull(field) ? QByteArray() : value(field).toByteArray();
}

void NamedQuery::setDisplayFormat(const QString &field, const QString &format)
{
    m_displayFormats.insert(field.toLower(), format);
}

QString NamedQuery::displayText(int row, int column) const
{
    const QVariant v = cell(row, column);
    if (!v.isValid() || v.isNull())
        return QString();
    const QString format = m_displayFormats.value(fieldName(column).toLower());
    if (!format.isEmpty())
        return toDateTime(v).toString(format);
    return v.toString();
}

void NamedQuery::loadDeferred()
{
    if (m_target.deferredFields.isEmpty() || m_deferredRow == m_current || m_state == Insert)
        return;
    // Find the row by its key as read, not as edited.
    const QList<QVariant> &keyRow = m_state == Edit ? m_saved : m_rows.at(m_current);
    QStringList columns;
    QList<int> fields;
    for (const QString &f : m_target.deferredFields) {
        fields.append(requireField(f));
        columns.append(columnOf(fields.last()));
    }
    QVariantList binds;
    const QString where = keyCondition(keyRow, binds);
    QSqlQuery q(m_connection->database());
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(columns.join(QStringLiteral(", ")),
                                                                       m_target.table, where);
    if (!q.prepare(sql))
        fail(q.lastError().text());
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        fail(q.lastError().text());
    const bool found = q.next();
    for (int i = 0; i < fields.size(); ++i)
        m_rows[m_current][fields[i]] = found ? q.value(i) : QVariant(QMetaType::fromType<QByteArray>());
    m_deferredRow = m_current;
}

void NamedQuery::dropDeferred()
{
    for (const QString &f : m_target.deferredFields) {
        const int index = fieldIndex(f);
        if (index >= 0 && m_deferredRow < m_rows.size())
            m_rows[m_deferredRow][index] = QVariant();
    }
    m_deferredRow = -1;
}

void NamedQuery::checkBrowseMode()
{
    if (m_state == Edit || m_state == Insert)
        post();
}

void NamedQuery::requireEditable() const
{
    requireActive();
    if (!isEditable())
        fail(QStringLiteral("The query cannot be edited"));
}
