#pragma once

#include <QHeaderView>
#include <QLineEdit>
#include <QList>

#include <functional>

// A line of the filter row: Escape empties it before it closes anything.
class FilterEdit : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The column header of the lists, with a filter row under the captions: one text box
// per column that can be filtered, kept under its column as columns move, resize,
// hide and scroll.
class FilterHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit FilterHeader(QWidget *parent = nullptr);

    // Which columns get a box; the rest show an empty place.
    void setFilterable(std::function<bool(int column)> filterable) { m_filterable = std::move(filterable); }
    // Makes one box per column of the model, each showing text(column).
    void rebuildEditors(const std::function<QString(int column)> &text);
    // The box of a column, or null.
    FilterEdit *editor(int column) const { return m_editors.value(column); }

    QSize sizeHint() const override;
    // Keeps the boxes under their columns.
    void placeEditors();

signals:
    void filterEdited(int column, const QString &text);

protected:
    void updateGeometries() override;

private:
    QList<FilterEdit *> m_editors;
    std::function<bool(int)> m_filterable;
    int m_rowHeight;
};
