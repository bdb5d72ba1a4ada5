#include "widgets/DataGrid.h"

#include "widgets/FilterHeader.h"
#include "widgets/ListTexts.h"
#include "widgets/RowIcons.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"

#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <set>

DataGrid::DataGrid(bool multiSelect, QWidget *parent)
    : QTableView(parent), m_rows(new GridRows(this)), m_header(new FilterHeader(this)),
      m_cellsOnDoubleClick(!multiSelect)
{
    setHorizontalHeader(m_header);
    // A header click sorts; it does not select the column.
    disconnect(m_header, &QHeaderView::sectionPressed, this, nullptr);
    disconnect(m_header, &QHeaderView::sectionEntered, this, nullptr);
    setModel(m_rows);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_header->setSectionResizeMode(QHeaderView::Stretch);
    m_header->setHighlightSections(false);
    m_header->setSectionsClickable(true);
    m_header->setSortIndicatorShown(true);
    m_header->setSortIndicator(-1, Qt::AscendingOrder);
    m_header->setFilterable([this](int column) { return !isIconColumn(column); });
    m_header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_header, &QWidget::customContextMenuRequested, this, &DataGrid::showColumnMenu);
    connect(m_header, &QHeaderView::sortIndicatorChanged, this, &DataGrid::sortIndicatorChanged);
    connect(m_header, &FilterHeader::filterEdited, this, [this](int column, const QString &text) {
        m_rows->setFilter(column, text);
        restoreFromModel(true);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_header, &FilterHeader::placeEditors);
    connect(m_rows, &GridRows::columnsReplaced, this, &DataGrid::columnsReplaced);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::viewCurrentChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &DataGrid::viewSelectionChanged);
    setItemDelegateForColumn(0, new RowIconDelegate(this));
}

void DataGrid::bind(NamedQueryModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model->selectionModel(), nullptr, this, nullptr);
    m_model = model;
    m_rows->setSourceModel(model);
    columnsReplaced();
    // Hidden columns belong to the column setup they were hidden in.
    for (int c = 0; model && c < model->columnCount(); ++c)
        setColumnHidden(c, false);
    if (!model)
        return;
    connect(model->selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::modelCurrentChanged);
    restoreFromModel(false);
}

bool DataGrid::isIconColumn(int column) const
{
    return m_rows->headerData(column, Qt::Horizontal).toString() == QLatin1String(" ");
}

void DataGrid::columnsReplaced()
{
    {
        const QSignalBlocker block(m_header);
        m_header->setSortIndicator(-1, Qt::AscendingOrder);
    }
    m_header->rebuildEditors([this](int column) { return m_rows->filter(column); });
    fitMediaIdColumns();
}

bool DataGrid::holdsMediaId(const QString &field)
{
    return field.compare(QLatin1String("IDNo"), Qt::CaseInsensitive) == 0
           || field.compare(QLatin1String("IDNoSaPinKodom"), Qt::CaseInsensitive) == 0;
}

int DataGrid::mediaIdWidth() const
{
    int widest = 0;
    for (QChar digit : QStringLiteral("0123456789ABCDEF"))
        widest = std::max(widest, fontMetrics().horizontalAdvance(digit));
    // The cell's text margins on both sides, and a little air.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return 16 * widest + 2 * margin + 8;
}

void DataGrid::fitMediaIdColumns()
{
    for (int c : std::as_const(m_mediaIdColumns)) {
        if (c < m_header->count())
            m_header->setSectionResizeMode(c, QHeaderView::Stretch);
    }
    m_mediaIdColumns.clear();
    for (int c = 0; m_model && c < m_model->columnCount(); ++c) {
        if (!holdsMediaId(m_model->fieldAt(c)))
            continue;
        m_header->setSectionResizeMode(c, QHeaderView::Fixed);
        setColumnWidth(c, mediaIdWidth());
        m_mediaIdColumns.append(c);
    }
}

QList<int> DataGrid::selectedQueryRows() const
{
    std::set<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.insert(queryRow(index.row()));
    rows.erase(-1);
    return QList<int>(rows.begin(), rows.end());
}

void DataGrid::sortBy(int column, Qt::SortOrder order)
{
    m_header->setSortIndicator(column, order);
}

void DataGrid::setFilterText(int column, const QString &text)
{
    if (FilterEdit *edit = filterEditor(column))
        edit->setText(text);
}

FilterEdit *DataGrid::filterEditor(int column) const
{
    return m_header->editor(column);
}

void DataGrid::setLookup(int column, GridRows::Lookup lookup)
{
    m_rows->setLookup(column, std::move(lookup));
    restoreFromModel(false);
}

void DataGrid::sortIndicatorChanged(int column, Qt::SortOrder order)
{
    if (column >= 0 && isIconColumn(column)) {
        const QSignalBlocker block(m_header);
        m_header->setSortIndicator(m_rows->sortColumn(), m_rows->sortOrder());
        return;
    }
    m_rows->sort(column, order);
    restoreFromModel(false);
}

void DataGrid::restoreFromModel(bool focusFirstWhenHidden)
{
    if (!m_model)
        return;
    QItemSelectionModel *own = m_model->selectionModel();
    const QModelIndex current = m_rows->mapFromSource(own->currentIndex());
    m_restoring = true;
    selectionModel()->select(m_rows->mapSelectionFromSource(own->selection()), QItemSelectionModel::ClearAndSelect);
    if (current.isValid())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    m_restoring = false;
    if (current.isValid()) {
        scrollTo(current);
        return;
    }
    // The focused record is filtered out: the first one shown takes the focus, unless
    // moving would post a row being edited.
    NamedQuery *query = m_model->query();
    if (focusFirstWhenHidden && m_rows->rowCount() > 0 && query->state() == NamedQuery::Browse)
        setCurrentIndex(m_rows->index(0, std::max(own->currentIndex().column(), 0)));
}

void DataGrid::viewCurrentChanged(const QModelIndex &current)
{
    if (!m_model || m_restoring)
        return;
    const QModelIndex source = m_rows->mapToSource(current);
    QItemSelectionModel *own = m_model->selectionModel();
    if (!source.isValid() || own->currentIndex() == source)
        return;
    own->setCurrentIndex(source, QItemSelectionModel::NoUpdate);
}

void DataGrid::viewSelectionChanged()
{
    if (!m_model || m_restoring)
        return;
    m_model->selectionModel()->select(m_rows->mapSelectionToSource(selectionModel()->selection()),
                                      QItemSelectionModel::ClearAndSelect);
}

void DataGrid::modelCurrentChanged(const QModelIndex &current)
{
    const QModelIndex shown = m_rows->mapFromSource(current);
    if (!shown.isValid()) {
        // The query moved to a row the filter hides: nothing in the list is focused.
        m_restoring = true;
        selectionModel()->clear();
        m_restoring = false;
        return;
    }
    if (currentIndex().row() == shown.row())
        return;
    const QModelIndex target = m_rows->index(shown.row(), std::max(currentIndex().column(), 0));
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void DataGrid::setCellWriter(GridRows::CellWriter writer)
{
    m_hasCellWriter = bool(writer);
    m_rows->setCellWriter(std::move(writer));
}

void DataGrid::setCellSelection(bool on)
{
    // Switching back selects the current row; staying in row selection keeps a
    // selection of several rows.
    if (on == cellSelection())
        return;
    setSelectionBehavior(on ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    if (m_hasCellWriter) {
        m_rows->setEditable(on);
        setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed
                           : QAbstractItemView::NoEditTriggers);
    }
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
    if (model()->rowCount() > 0)
        return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::PlaceholderText));
    p.drawText(viewport()->rect().adjusted(0, 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop, ListTexts::NoData);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (m_cellsOnDoubleClick)
        setCellSelection(true);
}

void DataGrid::showColumnMenu(const QPoint &pos)
{
    if (model()->columnCount() == 0)
        return;
    QMenu menu(this);
    menu.setTitle(ListTexts::Customization);
    menu.addSection(ListTexts::HiddenColumns);
    for (int c = 0; c < model()->columnCount(); ++c) {
        QAction *action = menu.addAction(model()->headerData(c, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(!isColumnHidden(c));
        connect(action, &QAction::toggled, this, [this, c](bool shown) {
            setColumnHidden(c, !shown);
            m_header->placeEditors();
        });
    }
    menu.exec(m_header->mapToGlobal(pos));
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

    painter->drawPixmap(option.rect.topLeft() + QPoint(1, 1),
                        RowIcons::icon(m_grid->iconFor(m_grid->queryRow(index.row()))));
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
