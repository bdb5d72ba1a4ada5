#include "widgets/GridRows.h"

#include "widgets/SearchText.h"

#include <QDateTime>

#include <algorithm>

namespace {

// How a column sorts: by number, by date and time, or by folded text.
enum class SortKind { Number, Moment, Text };

bool isNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isMoment(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::QDateTime || id == QMetaType::QDate || id == QMetaType::QTime;
}

bool isEmptyValue(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

struct SortKey
{
    bool empty = true;
    double number = 0;
    QString folded;
    QString raw;
};

double momentValue(const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QTime)
        return v.toTime().msecsSinceStartOfDay();
    return double(v.toDateTime().toMSecsSinceEpoch());
}

} // namespace

GridRows::GridRows(QObject *parent)
    : QAbstractProxyModel(parent)
{
}

void GridRows::setSourceModel(QAbstractItemModel *source)
{
    if (source == sourceModel())
        return;
    beginResetModel();
    if (QAbstractItemModel *old = sourceModel())
        disconnect(old, nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    m_sortColumn = -1;
    m_filters.clear();
    m_typed.clear();
    m_lookups.clear();
    m_folded.clear();
    if (source) {
        // The program's models reset; anything else that moves rows is taken as a reset too.
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &GridRows::sourceAboutToReset);
        connect(source, &QAbstractItemModel::modelReset, this, &GridRows::sourceReset);
        connect(source, &QAbstractItemModel::dataChanged, this, &GridRows::sourceDataChanged);
        connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, &GridRows::sourceAboutToReset);
        connect(source, &QAbstractItemModel::rowsInserted, this, &GridRows::sourceReset);
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &GridRows::sourceAboutToReset);
        connect(source, &QAbstractItemModel::rowsRemoved, this, &GridRows::sourceReset);
        connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this, &GridRows::sourceAboutToReset);
        connect(source, &QAbstractItemModel::columnsInserted, this, &GridRows::sourceReset);
        connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this, &GridRows::sourceAboutToReset);
        connect(source, &QAbstractItemModel::columnsRemoved, this, &GridRows::sourceReset);
        connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, &GridRows::sourceAboutToReset);
        connect(source, &QAbstractItemModel::layoutChanged, this, &GridRows::sourceReset);
        connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    }
    m_captions = columnCaptions();
    rebuild();
    endResetModel();
}

QStringList GridRows::columnCaptions() const
{
    QStringList out;
    QAbstractItemModel *source = sourceModel();
    for (int c = 0; source && c < source->columnCount(); ++c)
        out.append(source->headerData(c, Qt::Horizontal).toString());
    return out;
}

void GridRows::sourceAboutToReset()
{
    if (m_inSourceReset)
        return;
    m_inSourceReset = true;
    beginResetModel();
}

void GridRows::sourceReset()
{
    if (!m_inSourceReset)
        beginResetModel();
    m_folded.clear();
    const QStringList captions = columnCaptions();
    const bool replaced = captions != m_captions;
    if (replaced) {
        // Another column setup: the old column numbers mean nothing any more.
        m_captions = captions;
        m_sortColumn = -1;
        m_filters.clear();
        m_typed.clear();
        m_lookups.clear();
    }
    rebuild();
    m_inSourceReset = false;
    endResetModel();
    if (replaced)
        emit columnsReplaced();
}

void GridRows::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    for (auto it = m_folded.begin(); it != m_folded.end(); ++it) {
        for (int r = topLeft.row(); r <= bottomRight.row() && r < it->size(); ++r)
            (*it)[r] = SearchText::folded(shownText(r, it.key()));
    }
    // A changed row keeps its place until the list is sorted or filtered again.
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        const int row = rowOf(r);
        if (row >= 0)
            emit dataChanged(index(row, topLeft.column()), index(row, bottomRight.column()));
    }
}

void GridRows::sort(int column, Qt::SortOrder order)
{
    beginResetModel();
    m_sortColumn = column >= 0 && column < columnCount() ? column : -1;
    m_sortOrder = order;
    rebuild();
    endResetModel();
}

void GridRows::setFilter(int column, const QString &text)
{
    if (m_typed.value(column) == text)
        return;
    beginResetModel();
    if (text.isEmpty()) {
        m_filters.remove(column);
        m_typed.remove(column);
    } else {
        m_filters.insert(column, SearchText::folded(text));
        m_typed.insert(column, text);
    }
    rebuild();
    endResetModel();
}

void GridRows::setLookup(int column, Lookup lookup)
{
    beginResetModel();
    if (lookup)
        m_lookups.insert(column, std::move(lookup));
    else
        m_lookups.remove(column);
    m_folded.remove(column);
    rebuild();
    endResetModel();
}

QString GridRows::shownText(int sourceRow, int column) const
{
    const QModelIndex cell = sourceModel()->index(sourceRow, column);
    const auto lookup = m_lookups.constFind(column);
    if (lookup != m_lookups.constEnd())
        return (*lookup)(cell.data(Qt::EditRole));
    return cell.data(Qt::DisplayRole).toString();
}

const QStringList &GridRows::shownTexts(int column) const
{
    auto found = m_folded.find(column);
    if (found == m_folded.end()) {
        QStringList texts;
        const int rows = sourceModel()->rowCount();
        texts.reserve(rows);
        for (int r = 0; r < rows; ++r)
            texts.append(SearchText::folded(shownText(r, column)));
        found = m_folded.insert(column, texts);
    }
    return *found;
}

bool GridRows::accepted(int sourceRow) const
{
    for (auto it = m_filters.constBegin(); it != m_filters.constEnd(); ++it) {
        if (it.key() >= columnCount() || !SearchText::contains(shownTexts(it.key()).at(sourceRow), it.value()))
            return false;
    }
    return true;
}

void GridRows::rebuild()
{
    m_rows.clear();
    m_rowOf.clear();
    QAbstractItemModel *source = sourceModel();
    if (!source)
        return;
    const int total = source->rowCount();
    m_rows.reserve(total);
    for (int r = 0; r < total; ++r) {
        if (accepted(r))
            m_rows.append(r);
    }

    if (m_sortColumn >= 0 && m_sortColumn < source->columnCount()) {
        const int column = m_sortColumn;
        const bool byLookup = m_lookups.contains(column);
        QList<QVariant> values(total);
        SortKind kind = byLookup ? SortKind::Text : SortKind::Number;
        bool anyValue = false;
        for (int r : std::as_const(m_rows)) {
            values[r] = byLookup ? QVariant(shownText(r, column)) : source->index(r, column).data(Qt::EditRole);
            const QVariant &v = values.at(r);
            if (isEmptyValue(v) || byLookup)
                continue;
            const SortKind k = isNumber(v) ? SortKind::Number : isMoment(v) ? SortKind::Moment : SortKind::Text;
            if (!anyValue)
                kind = k;
            else if (k != kind)
                kind = SortKind::Text;
            anyValue = true;
        }
        QList<SortKey> keys(total);
        for (int r : std::as_const(m_rows)) {
            const QVariant &v = values.at(r);
            SortKey &key = keys[r];
            key.empty = isEmptyValue(v) || (kind == SortKind::Text && v.toString().isEmpty());
            if (key.empty)
                continue;
            if (kind == SortKind::Number)
                key.number = v.toDouble();
            else if (kind == SortKind::Moment)
                key.number = momentValue(v);
            else {
                key.raw = v.toString();
                key.folded = SearchText::folded(key.raw);
            }
        }
        const auto less = [&keys](int a, int b) {
            const SortKey &x = keys.at(a);
            const SortKey &y = keys.at(b);
            if (x.empty || y.empty)
                return x.empty && !y.empty;
            if (x.number != y.number)
                return x.number < y.number;
            if (const int c = x.folded.compare(y.folded); c != 0)
                return c < 0;
            return x.raw < y.raw;
        };
        if (m_sortOrder == Qt::AscendingOrder)
            std::stable_sort(m_rows.begin(), m_rows.end(), less);
        else
            std::stable_sort(m_rows.begin(), m_rows.end(), [&less](int a, int b) { return less(b, a); });
    }

    m_rowOf = QList<int>(total, -1);
    for (int i = 0; i < m_rows.size(); ++i)
        m_rowOf[m_rows.at(i)] = i;
}

QModelIndex GridRows::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel())
        return QModelIndex();
    return sourceModel()->index(sourceRow(proxyIndex.row()), proxyIndex.column());
}

QModelIndex GridRows::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return QModelIndex();
    const int row = rowOf(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QModelIndex GridRows::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex GridRows::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int GridRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridRows::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QVariant GridRows::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !sourceModel())
        return QVariant();
    if (role == Qt::DisplayRole && m_lookups.contains(index.column()))
        return shownText(sourceRow(index.row()), index.column());
    return mapToSource(index).data(role);
}

QVariant GridRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Columns are the model's own, also while no row is shown.
    if (orientation == Qt::Horizontal && sourceModel())
        return sourceModel()->headerData(section, orientation, role);
    return QAbstractProxyModel::headerData(section, orientation, role);
}

bool GridRows::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_writer || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return m_writer(sourceRow(index.row()), index.column(), value);
}

Qt::ItemFlags GridRows::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractProxyModel::flags(index);
    if (index.isValid() && m_editable && m_writer && !m_lookups.contains(index.column())
        && m_captions.value(index.column()) != QLatin1String(" "))
        f |= Qt::ItemIsEditable;
    return f;
}
