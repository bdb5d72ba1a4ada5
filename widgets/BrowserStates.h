#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the main window shows for each pair (view, detail tab): the lists, their queries
// and columns, the right-hand panel, the change-access button and the captions of the
// first two "Aktivnosti" items.
namespace BrowserStates {

enum class View { Persons, Groups, Zones };

struct MasterSetup
{
    View view;
    QString caption;     // the view tab
    QString query;       // master query of TdmMain
    QStringList columns; // column setup, captions = field names
    int icon;            // row icon index
};

struct DetailSetup
{
    View view;
    QString tab;          // detail tab caption
    bool personPanel;     // person details instead of the detail list
    QString query;        // detail query of TdmMain; empty: none
    QStringList parameters; // each set to the focused master row's ID
    QStringList columns;
    bool changeAccess;    // "Izmeni pristup" shown
    QString assignCaption;
    QString unassignCaption;
};

const QList<MasterSetup> &masters();
const MasterSetup &master(View view);
// The detail tabs of a view, in their order.
QList<DetailSetup> detailsOf(View view);
const DetailSetup &detail(View view, const QString &tab);

// The row icon of the detail list: chosen by the detail tab; in "Osobe i grupe" a group
// row carries "." in its field " ".
int detailIcon(const QString &tab, const QString &blankField);

enum Icon { PersonIcon = 0, GroupIcon = 3, ZoneIcon = 6 };

} // namespace BrowserStates
