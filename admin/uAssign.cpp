#include "admin/uAssign.h"

#include "admin/AccessModeBox.h"
#include "admin/LinkStatements.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "widgets/DataGrid.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using AssignmentTable::MemberSetup;

TfrmAssign::TfrmAssign(AssignmentTable::Member member, MainBrowser &browser, QWidget *parent)
    : FixedDialog(AssignmentTable::member(member).objectName, AssignmentTable::member(member).caption, parent),
      m_setup(AssignmentTable::member(member)),
      m_browser(browser),
      m_candidates(browser.dataGZ().query(m_setup.candidates)),
      m_model(new NamedQueryModel(m_candidates, this))
{
    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("lblPrompt"));
    body()->addWidget(m_prompt);

    QList<NamedQueryModel::Column> columns;
    for (const QString &field : m_setup.columns)
        columns.append({field, field});
    m_model->setColumns(columns);
    m_grid = new DataGrid(true, this);
    m_grid->setObjectName(QStringLiteral("gridCandidates"));
    m_grid->setFixedSize(420, 300);
    m_grid->bind(m_model);
    body()->addWidget(m_grid);

    if (m_setup.link->hasMode) {
        auto *label = new QLabel(QStringLiteral("Pristup zoni"), this);
        label->setObjectName(QStringLiteral("lblAccess"));
        body()->addWidget(label);
        cmbAccess = AccessMode::newBox(this);
        body()->addWidget(cmbAccess);
    }
    connect(addOkCancel(), &QPushButton::clicked, this, &TfrmAssign::btnOKClick);
}

NamedQuery *TfrmAssign::masterQuery() const
{
    return m_browser.dataMain().query(m_setup.master);
}

void TfrmAssign::opened()
{
    m_prompt->setText(m_setup.promptBefore + m_displayName + m_setup.promptAfter);
    NamedQuery *master = masterQuery();
    try {
        m_candidates->close();
        m_candidates->setParameter(m_setup.parameter, master->isActive() ? master->value(QStringLiteral("ID")) : QVariant());
        m_candidates->open();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
    // Nothing is linked that the operator has not chosen.
    m_grid->selectionModel()->clearSelection();
}

QStringList TfrmAssign::selectedCandidates() const
{
    // Rows of the query, whatever the list's sorting and filter.
    const QList<int> rows = m_grid->selectedQueryRows();
    QStringList ids;
    const int id = m_candidates->fieldIndex(QStringLiteral("ID"));
    for (int row : std::as_const(rows))
        ids.append(m_candidates->cell(row, id).toString());
    return ids;
}

void TfrmAssign::btnOKClick()
{
    bool saved = false;
    try {
        const QString other = masterQuery()->asString(QStringLiteral("ID"));
        QList<LinkKeys> links;
        for (const QString &candidate : selectedCandidates())
            links.append(m_setup.candidateFirst ? LinkKeys{candidate, other} : LinkKeys{other, candidate});
        insertLinks(m_browser.dataGZ(), *m_setup.link, links, cmbAccess ? cmbAccess->currentIndex() : 0);
        saved = true;
    } catch (const DbError &) {
        MessageBoxes::error(this, m_setup.errorText);
    }
    rereadLists();
    done(saved ? Accepted : Rejected);
}

void TfrmAssign::rereadLists()
{
    for (const QString &name : m_setup.rereads)
        m_browser.rereadMaster(m_browser.dataMain().query(name));
}

void TfrmAssign::done(int result)
{
    m_candidates->close();
    FixedDialog::done(result);
}
