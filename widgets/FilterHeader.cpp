#include "widgets/FilterHeader.h"

#include <QKeyEvent>

void FilterEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

FilterHeader::FilterHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent), m_rowHeight(FilterEdit().sizeHint().height())
{
    // The captions keep the viewport; the filter row lives in the margin below it.
    setViewportMargins(0, 0, 0, m_rowHeight);
    connect(this, &QHeaderView::sectionResized, this, &FilterHeader::placeEditors);
    connect(this, &QHeaderView::sectionMoved, this, &FilterHeader::placeEditors);
    connect(this, &QHeaderView::geometriesChanged, this, &FilterHeader::placeEditors);
}

void FilterHeader::rebuildEditors(const std::function<QString(int)> &text)
{
    qDeleteAll(m_editors);
    m_editors.clear();
    const int columns = model() ? model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c) {
        if (m_filterable && !m_filterable(c)) {
            m_editors.append(nullptr);
            continue;
        }
        auto *edit = new FilterEdit(this);
        edit->setObjectName(QStringLiteral("edtFilter%1").arg(c));
        edit->setClearButtonEnabled(true);
        edit->setText(text(c));
        connect(edit, &QLineEdit::textChanged, this, [this, c](const QString &typed) { emit filterEdited(c, typed); });
        m_editors.append(edit);
    }
    placeEditors();
}

QSize FilterHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(size.height() + m_rowHeight);
    return size;
}

void FilterHeader::updateGeometries()
{
    QHeaderView::updateGeometries();
    placeEditors();
}

void FilterHeader::placeEditors()
{
    const int top = viewport()->geometry().bottom() + 1;
    const int left = viewport()->geometry().left();
    for (int c = 0; c < m_editors.size(); ++c) {
        FilterEdit *edit = m_editors.at(c);
        if (!edit)
            continue;
        if (isSectionHidden(c) || sectionSize(c) <= 0) {
            edit->hide();
            continue;
        }
        edit->setGeometry(left + sectionViewportPosition(c), top, sectionSize(c), m_rowHeight);
        edit->show();
    }
}
