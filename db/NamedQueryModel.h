#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QString>

class NamedQuery;

// The rows of a NamedQuery for the grids. The selection model's current row and the
// query's focused row follow each other: a grid sets it on its view with
// setSelectionModel(model->selectionModel()).
class NamedQueryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString field;
        QString caption;
    };

    explicit NamedQueryModel(NamedQuery *query, QObject *parent = nullptr);

    NamedQuery *query() const { return m_query; }
    QItemSelectionModel *selectionModel() { return &m_selection; }

    // The column setup of a window: which fields, in which order, under which caption.
    // Without one every field is shown under its own name.
    void setColumns(const QList<Column> &columns);
    QString fieldAt(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Moving the focus from the grid failed (a pending edit could not be posted).
    void failed(const QString &text);

private:
    void mapColumns();
    void showFocusedRow(int row);
    void focusSelectedRow(const QModelIndex &current);

    NamedQuery *m_query;
    QItemSelectionModel m_selection;
    QList<Column> m_columns;
    QList<int> m_fieldIndexes;
};
