#pragma once

#include "widgets/GridRows.h"

#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class FilterEdit;
class FilterHeader;
class NamedQueryModel;

// The lists of the program: no grid lines, columns sharing the width, hideable through
// the header's context menu, "<Nema podataka za prikaz>" when empty, and a first column
// " " that shows a row icon (and, for the person list, the visible row number).
// A click on a column header sorts by it (again: the other way round); the filter row
// under the captions narrows the rows by typed text, without regard to case or
// diacritics. The column " " is neither sorted nor filtered. The query's focused row
// stays focused while it is shown. Columns that hold a media ID fit its 16 digits.
//
// Rows of the list (view rows) are not rows of the query once the list is sorted or
// filtered: queryRow() and viewRow() translate, and selectedQueryRows() gives the
// selection in query rows. The model's own selection model mirrors the list's.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(bool multiSelect, QWidget *parent = nullptr);

    // Binds the list to a query's model: the list's current row is the query's focused row.
    // A model other than the last one starts unsorted and unfiltered.
    void bind(NamedQueryModel *model);
    NamedQueryModel *boundModel() const { return m_model; }
    GridRows *rows() const { return m_rows; }

    int queryRow(int viewRow) const { return m_rows->sourceRow(viewRow); }
    // -1 when the query row is filtered out.
    int viewRow(int queryRow) const { return m_rows->rowOf(queryRow); }
    // The query rows selected, ascending.
    QList<int> selectedQueryRows() const;

    // What the operator does with the header and the filter row.
    void sortBy(int column, Qt::SortOrder order);
    void setFilterText(int column, const QString &text);
    FilterEdit *filterEditor(int column) const;

    // A column that shows a name for the key it holds.
    void setLookup(int column, GridRows::Lookup lookup);

    // The icon of a row's first column, by query row.
    void setIconChooser(std::function<int(int row)> chooser) { m_iconFor = std::move(chooser); }
    // Person list: the first column also numbers the visible rows from 1.
    void setRowNumbers(bool on) { m_rowNumbers = on; viewport()->update(); }
    bool rowNumbers() const { return m_rowNumbers; }
    // Double-click focuses single cells; the owner turns it off again. By default only
    // lists with one selected row do it.
    void setCellSelectionOnDoubleClick(bool on) { m_cellsOnDoubleClick = on; }
    void setCellSelection(bool on);
    bool cellSelection() const { return selectionBehavior() == QAbstractItemView::SelectItems; }
    // In cell selection, cells are edited in place and handed to writer.
    void setCellWriter(GridRows::CellWriter writer);

    int iconFor(int queryRow) const { return m_iconFor ? m_iconFor(queryRow) : 0; }
    // 1-based position of a view row among the rows shown, counted from the topmost visible one.
    int visibleNumber(int row) const;

    // Media IDs are shown in full in columns of these fields.
    static bool holdsMediaId(const QString &field);
    int mediaIdWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void showColumnMenu(const QPoint &pos);
    void sortIndicatorChanged(int column, Qt::SortOrder order);
    bool isIconColumn(int column) const;
    void columnsReplaced();
    void fitMediaIdColumns();
    // The list's focus and selection from the model's, after the rows were re-ordered.
    void restoreFromModel(bool focusFirstWhenHidden);
    void viewCurrentChanged(const QModelIndex &current);
    void viewSelectionChanged();
    void modelCurrentChanged(const QModelIndex &current);

    NamedQueryModel *m_model = nullptr;
    GridRows *m_rows;
    FilterHeader *m_header;
    std::function<int(int)> m_iconFor;
    bool m_rowNumbers = false;
    bool m_cellsOnDoubleClick;
    bool m_restoring = false;
    bool m_hasCellWriter = false;
    QList<int> m_mediaIdColumns;
};

// Draws the icon (and row number) column of a DataGrid.
class RowIconDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit RowIconDelegate(DataGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    DataGrid *m_grid;
};
