#include "admin/AssignmentCommands.h"

#include "admin/Unassignment.h"
#include "admin/uAssign.h"
#include "admin/uQuestion.h"
#include "admin/uZoneAccess.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/uDMMain.h"
#include "widgets/CommandTable.h"
#include "widgets/DataGrid.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

#include <QItemSelectionModel>

#include <algorithm>

using AssignmentTable::Member;
using BrowserStates::View;

namespace {

const QString kPersonDetails = QStringLiteral("Detaljnije o osobi");

// Which dialog the assign command opens, by view and detail tab; the zone view asks first.
struct AssignRoute
{
    View view;
    QString tab;
    Member member;
};

const QList<AssignRoute> &assignRoutes()
{
    static const QList<AssignRoute> routes = {
        {View::Persons, QStringLiteral("Grupe"), Member::Groups},
        {View::Persons, QStringLiteral("Zone"), Member::Zones},
        {View::Groups, QStringLiteral("Osobe"), Member::PG},
        {View::Groups, QStringLiteral("Zone"), Member::GZ},
    };
    return routes;
}

QString noMasterRecordText(View view)
{
    switch (view) {
    case View::Persons:
        return QStringLiteral("Nije kreirana nijedna osoba.");
    case View::Groups:
        return QStringLiteral("Nije kreirana nijedna grupa.");
    case View::Zones:
        break;
    }
    return QStringLiteral("Nije kreirana nijedna zona.");
}

// A field of the focused row; empty when the list is closed or has no rows.
QString focusedField(NamedQuery *query, const QString &field)
{
    if (!query || !query->isActive() || query->currentRow() < 0)
        return QString();
    return query->asString(field);
}

} // namespace

AssignmentCommands::AssignmentCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent),
      m_browser(browser),
      m_commands(commands),
      frmQuestion(new TfrmQuestion(browser.dialogParent())),
      frmZoneAccess(new TfrmZoneAccess(TfrmZoneAccess::Holder::Person, browser, browser.dialogParent())),
      frmGZoneAccess(new TfrmZoneAccess(TfrmZoneAccess::Holder::Group, browser, browser.dialogParent()))
{
    for (const AssignmentTable::MemberSetup &setup : AssignmentTable::members())
        m_dialogs.append(new TfrmAssign(setup.member, browser, browser.dialogParent()));

    commands.add(QStringLiteral("Aktivnost1"), [this] { assign(); });
    commands.add(QStringLiteral("btnAssign"), [this] { assign(); });
    commands.add(QStringLiteral("Aktivnost2"), [this] { unassign(); });
    commands.add(QStringLiteral("btnUnassign"), [this] { unassign(); });
    commands.add(QStringLiteral("btnChangeAccess"), [this] { changeAccess(); });
    commands.add(QStringLiteral("DodeliGrupama1"), [this] { assignFromContextMenu(Member::Groups); });
    commands.add(QStringLiteral("DodeliZonama1"), [this] { assignFromContextMenu(Member::Zones); });
}

void AssignmentCommands::showError(const QString &text)
{
    MessageBoxes::error(m_browser.dialogParent(), text);
}

bool AssignmentCommands::masterRecordFocused()
{
    // No link is made with an empty key on its other side.
    if (!focusedField(m_browser.masterQuery(), QStringLiteral("ID")).isEmpty())
        return true;
    showError(noMasterRecordText(m_browser.currentView()));
    return false;
}

QString AssignmentCommands::masterDisplayName() const
{
    NamedQuery *master = m_browser.masterQuery();
    if (m_browser.currentView() == View::Persons)
        return focusedField(master, QStringLiteral("Prezime")) + QLatin1Char(' ')
               + focusedField(master, QStringLiteral("Ime"));
    return focusedField(master, QStringLiteral("Naziv"));
}

void AssignmentCommands::openAssign(Member member)
{
    TfrmAssign *dialog = m_dialogs.at(int(member));
    dialog->setDisplayName(masterDisplayName());
    dialog->exec();
}

void AssignmentCommands::openZoneAssign()
{
    if (frmQuestion->exec() != QDialog::Accepted)
        return;
    openAssign(frmQuestion->personsChosen() ? Member::ZP : Member::ZG);
}

void AssignmentCommands::assign()
{
    const View view = m_browser.currentView();
    const QString tab = m_browser.currentDetailTab();
    if (view == View::Persons && tab == kPersonDetails) {
        m_commands.run(QStringLiteral("DodajOsobu1"));
        return;
    }
    if (!masterRecordFocused())
        return;
    const int index = m_browser.focusedMasterIndex();
    if (view == View::Zones) {
        openZoneAssign();
    } else {
        for (const AssignRoute &route : assignRoutes()) {
            if (route.view == view && route.tab == tab)
                openAssign(route.member);
        }
    }
    m_browser.restoreMasterFocus(index);
}

void AssignmentCommands::assignFromContextMenu(Member member)
{
    // The person list's own entries: they open the person's dialogs whatever detail tab
    // is shown, and leave the detail list to what the dialogs re-read.
    if (m_browser.currentView() != View::Persons || !masterRecordFocused())
        return;
    const int index = m_browser.focusedMasterIndex();
    openAssign(member);
    focusMasterRow(index);
}

void AssignmentCommands::focusMasterRow(int index)
{
    NamedQuery *master = m_browser.masterQuery();
    if (index < 0 || !master->isActive() || master->isEmpty())
        return;
    try {
        master->moveTo(std::min(index, master->rowCount() - 1));
    } catch (const DbError &e) {
        showError(e.text());
    }
}

void AssignmentCommands::unassign()
{
    const View view = m_browser.currentView();
    const QString tab = m_browser.currentDetailTab();
    if (view == View::Persons && tab == kPersonDetails) {
        m_commands.run(QStringLiteral("btnDeletePerson"));
        return;
    }
    const Unassignment::Rule *rule = Unassignment::ruleFor(view, tab);
    if (!rule)
        return;
    NamedQuery *master = m_browser.masterQuery();
    const int index = m_browser.focusedMasterIndex();
    if (MessageBoxes::question(m_browser.dialogParent(), rule->confirmation.arg(masterDisplayName()), true)) {
        NamedQuery *detail = m_browser.detailQuery();
        // Rows of the query, whatever the list's sorting and filter.
        const QList<int> rows = m_browser.detailGrid()->selectedQueryRows();
        QList<Unassignment::SelectedRow> selection;
        const int key = detail->fieldIndex(QStringLiteral("ID"));
        const int marker = detail->fieldIndex(QStringLiteral(" "));
        for (int row : std::as_const(rows))
            selection.append({detail->cell(row, key).toString(), marker < 0 ? QString() : detail->cell(row, marker).toString()});
        try {
            Unassignment::removeLinks(m_browser.dataGZ(), *rule, focusedField(master, QStringLiteral("ID")), selection);
        } catch (const DbError &) {
            showError(rule->errorText);
        }
        for (const QString &name : rule->rereads)
            m_browser.rereadMaster(m_browser.dataMain().query(name));
    }
    m_browser.rereadMaster(master);
    if (index >= 0)
        m_browser.restoreMasterFocus(index);
}

void AssignmentCommands::changeAccess()
{
    const View view = m_browser.currentView();
    NamedQuery *detail = m_browser.detailQuery();
    if (!BrowserStates::detail(view, m_browser.currentDetailTab()).changeAccess || !detail)
        return;
    // The kind of link: the view's, or in the zone view the focused row's marker.
    bool group = view == View::Groups;
    QString holderName = masterDisplayName();
    QString zoneName = focusedField(detail, QStringLiteral("Naziv"));
    if (view == View::Zones) {
        const QString marker = focusedField(detail, QStringLiteral(" "));
        if (!marker.isEmpty() && marker != QLatin1String("."))
            return;
        group = marker == QLatin1String(".");
        holderName = zoneName;
        zoneName = masterDisplayName();
    }
    // An empty detail list has nothing to change.
    if (holderName.trimmed().isEmpty() || zoneName.isEmpty())
        return;
    TfrmZoneAccess *dialog = group ? frmGZoneAccess : frmZoneAccess;
    dialog->setTexts(holderName, zoneName);
    dialog->exec();
    m_browser.rereadMaster(detail);
}
