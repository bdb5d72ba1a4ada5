#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>


// One row of the table reader's list: one slot of the selected controller's table.
struct SlotRow
{
    bool checked = false;
    QString number;
    QString controller;
    QString database;
    QString person;
    QString status;
};

// The table reader's list: the rows of one controller's table, each with its check box.
// Rows change one at a time as the controller's answers arrive, so the view repaints only
// the row that changed.
class SlotTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Upis, RBr, Kontroler, Baza, Korisnik, Status, ColumnCount };

    static const QString StatusOK;
    static const QString StatusDiffers;
    static const QString StatusWriting;
    static const QString StatusManual;

    using QAbstractTableModel::QAbstractTableModel;

    void reset(std::vector<SlotRow> rows);
    const SlotRow &row(int r) const { return m_rows[size_t(r)]; }
    void setRow(int r, SlotRow row);
    void setStatus(int r, const QString &status);
    void setAllChecked(bool checked);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void rowChanged(int r);

    std::vector<SlotRow> m_rows;
};
