#pragma once

#include "admin/AssignmentTable.h"

#include <QList>
#include <QObject>

class CommandTable;
class MainBrowser;
class TfrmAssign;
class TfrmQuestion;
class TfrmZoneAccess;

// Granting and revoking access from the main window: the assign command ("Aktivnost1",
// "btnAssign") opens the dialog of the current view, the unassign command ("Aktivnost2",
// "btnUnassign") removes the selected links, the change-access command
// ("btnChangeAccess") sets a zone link's mode, and the person list's context menu
// ("DodeliGrupama1", "DodeliZonama1") opens the person's two dialogs directly. On the
// person details the first two are the new-person and delete-person commands.
class AssignmentCommands : public QObject
{
    Q_OBJECT

public:
    AssignmentCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);

    TfrmAssign *dialog(AssignmentTable::Member member) const { return m_dialogs.at(int(member)); }

private:
    void assign();
    void assignFromContextMenu(AssignmentTable::Member member);
    void unassign();
    void changeAccess();

    // False, with the operator told, when the master list has no focused record to link.
    bool masterRecordFocused();
    // Prezime + " " + Ime of the focused person, Naziv of a group or a zone.
    QString masterDisplayName() const;
    void openAssign(AssignmentTable::Member member);
    void openZoneAssign();
    void focusMasterRow(int index);
    void showError(const QString &text);

    MainBrowser &m_browser;
    const CommandTable &m_commands;
    // One per member, in the table's order.
    QList<TfrmAssign *> m_dialogs;
    TfrmQuestion *const frmQuestion;
    TfrmZoneAccess *const frmZoneAccess;
    TfrmZoneAccess *const frmGZoneAccess;
};
