#pragma once

#include "widgets/BrowserStates.h"

#include <QList>
#include <QString>
#include <QStringList>

class TdmGZ;
struct LinkTable;

// What the unassign command does in each view: its confirmation, which link a selected
// detail row stands for, the lists it re-reads and its error text.
namespace Unassignment {

// The link of a detail row: in table, the master's key in masterColumn, the row's in keyColumn.
struct RowLink
{
    const LinkTable *table;
    QString masterColumn;
    QString keyColumn;
};

struct Rule
{
    BrowserStates::View view;
    QString tab;
    // %1 is the focused master record's display name.
    QString confirmation;
    RowLink rows;
    // The zone view lists persons and groups: a row marked "." is a group's link.
    bool markedRowsAreGroups;
    QStringList rereads;
    QString errorText;
};

// Null where the view has no links to remove (the person details).
const Rule *ruleFor(BrowserStates::View view, const QString &tab);

// A selected detail row: its ID and its kind marker (the field " ").
struct SelectedRow
{
    QString key;
    QString marker;
};

// The delete of one row's link.
QString deleteStatementFor(const Rule &rule, const QString &masterKey, const SelectedRow &row);

// Removes the links of the rows in one transaction on gz's connection, in their order.
// Any failure rolls every delete back and throws DbError.
void removeLinks(TdmGZ &gz, const Rule &rule, const QString &masterKey, const QList<SelectedRow> &rows);

} // namespace Unassignment
