#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class NamedQueryModel;

// The read-only lists of the program: no grid lines, columns sharing the width, hideable
// through the header's context menu, "<Nema podataka za prikaz>" when empty, and a first
// column " " that shows a row icon (and, for the person list, the visible row number).
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(bool multiSelect, QWidget *parent = nullptr);

    // Binds the list to a query's model: the list's current row is the query's focused row.
    void bind(NamedQueryModel *model);
    NamedQueryModel *boundModel() const { return m_model; }

    // The icon of a row's first column.
    void setIconChooser(std::function<int(int row)> chooser) { m_iconFor = std::move(chooser); }
    // Person list: the first column also numbers the visible rows from 1.
    void setRowNumbers(bool on) { m_rowNumbers = on; viewport()->update(); }
    bool rowNumbers() const { return m_rowNumbers; }
    // Double-click focuses single cells; the owner turns it off again.
    void setCellSelection(bool on);
    bool cellSelection() const { return selectionBehavior() == QAbstractItemView::SelectItems; }

    int iconFor(int row) const { return m_iconFor ? m_iconFor(row) : 0; }
    // 1-based position of row among the rows shown, counted from the topmost visible one.
    int visibleNumber(int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void showColumnMenu(const QPoint &pos);

    NamedQueryModel *m_model = nullptr;
    std::function<int(int)> m_iconFor;
    bool m_rowNumbers = false;
    const bool m_multiSelect;
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
