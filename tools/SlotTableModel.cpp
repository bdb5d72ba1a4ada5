#include "tools/SlotTableModel.h"

#include <QBrush>

const QString SlotTableModel::StatusOK = QStringLiteral("OK");
const QString SlotTableModel::StatusDiffers = QStringLiteral("T<>DB");
const QString SlotTableModel::StatusWriting = QStringLiteral("-->");
const QString SlotTableModel::StatusManual = QStringLiteral("M");

void SlotTableModel::reset(std::vector<SlotRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void SlotTableModel::setRow(int r, SlotRow row)
{
    m_rows[size_t(r)] = std::move(row);
    rowChanged(r);
}

void SlotTableModel::setStatus(int r, const QString &status)
{
    m_rows[size_t(r)].status = status;
    rowChanged(r);
}

void SlotTableModel::setAllChecked(bool checked)
{
    if (m_rows.empty())
        return;
    for (SlotRow &row : m_rows)
        row.checked = checked;
    emit dataChanged(index(0, Upis), index(rowCount() - 1, Upis), {Qt::CheckStateRole});
}

void SlotTableModel::rowChanged(int r)
{
    emit dataChanged(index(r, 0), index(r, ColumnCount - 1));
}

int SlotTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SlotTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SlotTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const SlotRow &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::CheckStateRole:
        if (index.column() == Upis)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        if (row.status == StatusOK)
            return QBrush(Qt::black);
        return QBrush(row.status == StatusManual ? Qt::blue : Qt::red);
    case Qt::DisplayRole:
        switch (index.column()) {
        case RBr:
            return row.number;
        case Kontroler:
            return row.controller;
        case Baza:
            return row.database;
        case Korisnik:
            return row.person;
        case Status:
            return row.status;
        default:
            return {};
        }
    default:
        return {};
    }
}

bool SlotTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != Upis || role != Qt::CheckStateRole)
        return false;
    m_rows[size_t(index.row())].checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

QVariant SlotTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString Captions[ColumnCount] = {
        QStringLiteral("Upis"),
        QStringLiteral("R.br."),
        QStringLiteral("Media ID iz kontrolera"),
        QStringLiteral("Media ID iz baze"),
        QStringLiteral("Trenutni korisnik Media ID-a"),
        QStringLiteral("Status"),
    };
    return section >= 0 && section < ColumnCount ? Captions[section] : QVariant();
}

Qt::ItemFlags SlotTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Upis)
        f |= Qt::ItemIsUserCheckable;
    return f;
}
