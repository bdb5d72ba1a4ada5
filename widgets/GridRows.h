#pragma once

#include <QAbstractProxyModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The rows a list shows of its model, in the order it shows them: sorted by one column
// (text without regard to case or diacritics, numbers and dates by value) and narrowed
// by a text per column. Rows keep the model's order among equals and when unsorted.
// Sorting and filtering reset this model; the list keeps its focus through the model's
// own selection (see DataGrid).
class GridRows : public QAbstractProxyModel
{
    Q_OBJECT

public:
    using Lookup = std::function<QString(const QVariant &value)>;
    // Stores a value typed into a cell; false refuses it.
    using CellWriter = std::function<bool(int sourceRow, int column, const QVariant &value)>;

    explicit GridRows(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;

    // column -1: the model's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Rows whose shown text of column contains text (folded); empty text removes the filter.
    void setFilter(int column, const QString &text);
    QString filter(int column) const { return m_filters.value(column); }
    bool isFiltered() const { return !m_filters.isEmpty(); }

    // A column that shows another text for its value (a key shown as its name).
    void setLookup(int column, Lookup lookup);

    // Cells become editable while a writer is set and editing is on.
    void setCellWriter(CellWriter writer) { m_writer = std::move(writer); }
    void setEditable(bool on) { m_editable = on; }

    int sourceRow(int row) const { return row >= 0 && row < m_rows.size() ? m_rows.at(row) : -1; }
    // -1 when the source row is filtered out.
    int rowOf(int sourceRow) const { return sourceRow >= 0 && sourceRow < m_rowOf.size() ? m_rowOf.at(sourceRow) : -1; }

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The columns of the model changed: sorting, filters and lookups were dropped.
    void columnsReplaced();

private:
    void sourceAboutToReset();
    void sourceReset();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void rebuild();
    bool accepted(int sourceRow) const;
    const QStringList &shownTexts(int column) const;
    QString shownText(int sourceRow, int column) const;
    QStringList columnCaptions() const;

    QList<int> m_rows;  // row -> source row
    QList<int> m_rowOf; // source row -> row, or -1
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QHash<int, QString> m_filters; // column -> folded text
    QHash<int, QString> m_typed;   // column -> text as typed
    QHash<int, Lookup> m_lookups;
    mutable QHash<int, QStringList> m_folded; // column -> folded shown text of every source row
    QStringList m_captions;
    CellWriter m_writer;
    bool m_editable = false;
    bool m_inSourceReset = false;
};
