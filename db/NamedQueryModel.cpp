#include "db/NamedQueryModel.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"

NamedQueryModel::NamedQueryModel(NamedQuery *query, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_selection(this)
{
    connect(m_query, &NamedQuery::aboutToReset, this, &NamedQueryModel::beginResetModel);
    connect(m_query, &NamedQuery::reset, this, [this] {
        mapColumns();
        endResetModel();
    });
    connect(m_query, &NamedQuery::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(m_query, &NamedQuery::currentRowChanged, this, &NamedQueryModel::showFocusedRow);
    connect(&m_selection, &QItemSelectionModel::currentRowChanged, this, &NamedQueryModel::focusSelectedRow);
    mapColumns();
    showFocusedRow(m_query->currentRow());
}

void NamedQueryModel::setColumns(const QList<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    mapColumns();
    endResetModel();
    showFocusedRow(m_query->currentRow());
}

void NamedQueryModel::mapColumns()
{
    m_fieldIndexes.clear();
    if (m_columns.isEmpty()) {
        for (int i = 0; i < m_query->fieldCount(); ++i)
            m_fieldIndexes.append(i);
        return;
    }
    for (const Column &c : std::as_const(m_columns))
        m_fieldIndexes.append(m_query->fieldIndex(c.field));
}

QString NamedQueryModel::fieldAt(int column) const
{
    if (!m_columns.isEmpty())
        return m_columns.at(column).field;
    return m_query->fieldName(m_fieldIndexes.at(column));
}

int NamedQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query->isActive() ? 0 : m_query->rowCount();
}

int NamedQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fieldIndexes.size());
}

QVariant NamedQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const int field = m_fieldIndexes.at(index.column());
    // A column of the setup that the result does not have stays empty.
    if (field < 0)
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_query->displayText(index.row(), field);
    if (role == Qt::EditRole)
        return m_query->cell(index.row(), field);
    return QVariant();
}

QVariant NamedQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    // A view may still ask for the sections of the column set it had before a reset.
    if (section < 0 || section >= columnCount())
        return QVariant();
    if (!m_columns.isEmpty())
        return m_columns.at(section).caption;
    return fieldAt(section);
}

void NamedQueryModel::showFocusedRow(int row)
{
    if (row < 0 || row >= rowCount()) {
        m_selection.clear();
        return;
    }
    if (m_selection.currentIndex().row() == row)
        return;
    const int column = std::max(m_selection.currentIndex().column(), 0);
    m_selection.setCurrentIndex(index(row, column),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void NamedQueryModel::focusSelectedRow(const QModelIndex &current)
{
    if (!current.isValid() || current.row() == m_query->currentRow())
        return;
    try {
        m_query->moveTo(current.row());
    } catch (const DbError &e) {
        showFocusedRow(m_query->currentRow());
        emit failed(e.text());
    }
}
