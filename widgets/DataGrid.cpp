#include "widgets/DataGrid.h"

#include "widgets/ListTexts.h"
#include "widgets/RowIcons.h"
#include "db/NamedQueryModel.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>

DataGrid::DataGrid(bool multiSelect, QWidget *parent)
    : QTableView(parent), m_multiSelect(multiSelect)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this, &DataGrid::showColumnMenu);
    setItemDelegateForColumn(0, new RowIconDelegate(this));
}

void DataGrid::bind(NamedQueryModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    setModel(model);
    if (model)
        setSelectionModel(model->selectionModel());
    // Hidden columns belong to the column setup they were hidden in.
    for (int c = 0; model && c < model->columnCount(); ++c)
        setColumnHidden(c, false);
}

void DataGrid::setCellSelection(bool on)
{
    setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    if (!on && currentIndex().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int DataGrid::visibleNumber(int row) const
{
    const int top = rowAt(0);
    return row - std::max(top, 0) + 1;
}

void DataGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (model() && model()->rowCount() > 0)
        return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::PlaceholderText));
    p.drawText(viewport()->rect().adjusted(0, 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop, ListTexts::NoData);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (!m_multiSelect)
        setCellSelection(true);
}

void DataGrid::showColumnMenu(const QPoint &pos)
{
    if (!model())
        return;
    QMenu menu(this);
    menu.setTitle(ListTexts::Customization);
    menu.addSection(ListTexts::HiddenColumns);
    for (int c = 0; c < model()->columnCount(); ++c) {
        QAction *action = menu.addAction(model()->headerData(c, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(!isColumnHidden(c));
        connect(action, &QAction::toggled, this, [this, c](bool shown) { setColumnHidden(c, !shown); });
    }
    menu.exec(horizontalHeader()->mapToGlobal(pos));
}

RowIconDelegate::RowIconDelegate(DataGrid *grid)
    : QStyledItemDelegate(grid), m_grid(grid)
{
}

void RowIconDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Only the column " " carries the icons; a list without it paints as usual.
    if (index.model()->headerData(index.column(), Qt::Horizontal).toString() != QLatin1String(" ")) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // Background and selection as any cell, without the cell's own text.
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    QStyle *style = plain.widget ? plain.widget->style() : nullptr;
    if (style)
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);

    painter->drawPixmap(option.rect.topLeft() + QPoint(1, 1), RowIcons::icon(m_grid->iconFor(index.row())));
    if (m_grid->rowNumbers()) {
        const QRect numberRect(option.rect.left() + 20, option.rect.top() + 1, option.rect.width() - 20,
                               option.rect.height() - 1);
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                     : QPalette::Text));
        painter->setFont(QFont(QStringLiteral("monospace"), option.font.pointSize()));
        painter->drawText(numberRect, Qt::AlignLeft | Qt::AlignTop,
                          QString::asprintf("%4d", m_grid->visibleNumber(index.row())));
    }
}
