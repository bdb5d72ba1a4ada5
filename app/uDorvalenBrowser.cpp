// The master/detail browser of the main window: the view and detail tabs, as the
// BrowserStates table gives them, the lists they bind and the focus kept across commands.
#include "app/uDorvalen.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMMain.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"
#include "widgets/RowIcons.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

using namespace BrowserStates;

QString TfrmDorvalen::currentDetailTab() const
{
    return tabDetails->currentIndex() < 0 ? QString() : tabDetails->tabText(tabDetails->currentIndex());
}

NamedQuery *TfrmDorvalen::masterQuery() const
{
    return dmMain->query(master(m_view).query);
}

NamedQuery *TfrmDorvalen::detailQuery() const
{
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    return setup.query.isEmpty() ? nullptr : dmMain->query(setup.query);
}

NamedQueryModel *TfrmDorvalen::modelOf(NamedQuery *query)
{
    NamedQueryModel *&model = m_models[query];
    if (!model) {
        model = new NamedQueryModel(query, this);
        connect(model, &NamedQueryModel::failed, this, &TfrmDorvalen::showError);
    }
    return model;
}

bool TfrmDorvalen::guarded(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const DbError &e) {
        showError(e.text());
        return false;
    }
}

void TfrmDorvalen::SetColumns(DataGrid *grid, NamedQuery *query, const QStringList &fields)
{
    QList<NamedQueryModel::Column> columns;
    for (const QString &f : fields)
        columns.append({f, f});
    NamedQueryModel *model = modelOf(query);
    model->setColumns(columns);
    grid->bind(model);
    for (int c = 0; c < fields.size(); ++c)
        grid->setColumnHidden(c, false);
    // The icon column is as wide as its picture (and the row number), the rest share.
    if (!fields.isEmpty() && fields.first() == QLatin1String(" ")) {
        grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
        grid->setColumnWidth(0, grid->rowNumbers() ? 60 : 22);
    }
}

void TfrmDorvalen::SelectFirstDetailRow()
{
    NamedQuery *q = detailQuery();
    if (q && q->isActive() && !q->isEmpty())
        guarded([q] { q->first(); });
}

void TfrmDorvalen::bindDetail(const DetailSetup &setup, bool open)
{
    NamedQuery *q = dmMain->query(setup.query);
    NamedQuery *m = masterQuery();
    guarded([&] {
        q->close();
        m_detail->bind(modelOf(q));
        const QVariant id = m->isActive() && !m->isEmpty() ? m->value(QStringLiteral("ID")) : QVariant();
        for (const QString &p : setup.parameters)
            q->setParameter(p, id);
        SetColumns(m_detail, q, setup.columns);
        if (open)
            q->open();
    });
    if (open)
        SelectFirstDetailRow();
}

void TfrmDorvalen::updateChangeAccess()
{
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    btnChangeAccess->setVisible(setup.changeAccess);
    NamedQuery *q = detailQuery();
    btnChangeAccess->setEnabled(setup.changeAccess && m_commands.contains(btnChangeAccess->objectName()) && q
                                && q->isActive() && !q->isEmpty());
}

void TfrmDorvalen::setActivityCaptions(const DetailSetup &setup)
{
    Aktivnost1->setText(setup.assignCaption);
    Aktivnost2->setText(setup.unassignCaption);
}

void TfrmDorvalen::applyDetailTab(const DetailSetup &setup)
{
    m_rightPanel->setCurrentWidget(setup.personPanel ? m_personPanel : m_detailPanel);
    if (setup.personPanel)
        dmMain->qPersonsZones->close();
    else
        bindDetail(setup, true);
    updateChangeAccess();
    setActivityCaptions(setup);
}

void TfrmDorvalen::fillDetailTabs(View view)
{
    // Filling the detail tabs must not run the detail handler half-way.
    const QSignalBlocker block(tabDetails);
    while (tabDetails->count() > 0)
        tabDetails->removeTab(0);
    for (const DetailSetup &d : detailsOf(view))
        tabDetails->addTab(d.tab);
    tabDetails->setCurrentIndex(0);
}

void TfrmDorvalen::tabMainChange(int index)
{
    if (index < 0 || index >= masters().size())
        return;
    m_changingView = true;
    m_view = masters().at(index).view;
    const MasterSetup &setup = master(m_view);

    fillDetailTabs(m_view);

    NamedQuery *q = masterQuery();
    m_master->setCellSelection(false);
    m_master->setRowNumbers(m_view == View::Persons);
    guarded([&] {
        q->close();
        m_master->bind(modelOf(q));
        SetColumns(m_master, q, setup.columns);
        q->open();
    });
    applyDetailTab(detail(m_view, currentDetailTab()));
    if (q->isActive() && !q->isEmpty())
        guarded([q] { q->first(); });
    m_changingView = false;
}

void TfrmDorvalen::tabDetailsChange(int index)
{
    if (index < 0)
        return;
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    if (m_view == View::Zones) {
        setActivityCaptions(setup);
        return;
    }
    applyDetailTab(setup);
}

void TfrmDorvalen::masterFocusChanged()
{
    if (m_changingView)
        return;
    m_master->setCellSelection(false);
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    if (setup.query.isEmpty())
        return; // the person panel and the media IDs follow the person by themselves
    bindDetail(setup, true);
    updateChangeAccess();
}

int TfrmDorvalen::focusedMasterIndex() const
{
    NamedQuery *q = masterQuery();
    return q->isActive() ? q->currentRow() : -1;
}

void TfrmDorvalen::restoreMasterFocus(int index)
{
    NamedQuery *q = masterQuery();
    if (q->isActive() && !q->isEmpty() && index >= 0)
        guarded([&] { q->moveTo(std::min(index, q->rowCount() - 1)); });
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    if (!setup.query.isEmpty()) {
        bindDetail(setup, true);
        updateChangeAccess();
    }
}

void TfrmDorvalen::rereadMaster(NamedQuery *query)
{
    if (!query->isActive())
        return;
    const int index = query == masterQuery() ? focusedMasterIndex() : -1;
    if (!guarded([query] { query->requery(); }))
        return;
    if (query == masterQuery())
        restoreMasterFocus(index);
}

void TfrmDorvalen::showFocusedPerson()
{
    NamedQuery *q = dmMain->qPersons;
    const bool has = q->isActive() && !q->isEmpty() && q->currentRow() >= 0;
    const QString fields[5] = {QStringLiteral("ID"), QStringLiteral("Prezime"), QStringLiteral("Ime"),
                               QStringLiteral("Sektor"), QStringLiteral("PinKod")};
    QPixmap photo;
    guarded([&] {
        for (int i = 0; i < 5; ++i)
            m_personFields[i]->setText(has ? q->asString(fields[i]) : QString());
        if (has)
            photo.loadFromData(q->asBytes(QStringLiteral("Fotografija")));
    });
    m_photo->setPixmap(photo.isNull() ? QPixmap()
                                      : photo.scaled(m_photo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfrmDorvalen::showMasterContextMenu(const QPoint &pos)
{
    if (m_view != View::Persons)
        return;
    m_masterMenu->popup(m_master->viewport()->mapToGlobal(pos));
}
