#include "widgets/BrowserStates.h"

namespace BrowserStates {

namespace {

const QString kUnassign = QStringLiteral("Poništi postojeće dodele");

const QList<DetailSetup> &allDetails()
{
    static const QList<DetailSetup> details = {
        {View::Persons, QStringLiteral("Detaljnije o osobi"), true, QString(), {}, {}, false,
         QStringLiteral("Dodaj osobu"), QStringLiteral("Izbriši osobu")},
        {View::Persons, QStringLiteral("Grupe"), false, QStringLiteral("qPersonsGroups"), {QStringLiteral("IDZaposlenog")},
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Naziv")}, false, QStringLiteral("Dodeli grupama"), kUnassign},
        {View::Persons, QStringLiteral("Zone"), false, QStringLiteral("qPersonsZones"), {QStringLiteral("IDZaposlenog")},
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Naziv"), QStringLiteral("Pristup")}, true,
         QStringLiteral("Dodeli zonama"), kUnassign},
        {View::Groups, QStringLiteral("Osobe"), false, QStringLiteral("qGroupsPersons"), {QStringLiteral("IDGrupe")},
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Prezime"), QStringLiteral("Ime")}, false,
         QStringLiteral("Dodeli osobe"), kUnassign},
        {View::Groups, QStringLiteral("Zone"), false, QStringLiteral("qGroupsZones"), {QStringLiteral("IDGrupe")},
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Naziv"), QStringLiteral("Pristup")}, true,
         QStringLiteral("Dodeli zonama"), kUnassign},
        {View::Zones, QStringLiteral("Osobe i grupe"), false, QStringLiteral("qZonesPG"),
         {QStringLiteral("IDZone1"), QStringLiteral("IDZone2")},
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Naziv"), QStringLiteral("Pristup")}, true,
         QStringLiteral("Dodeli osobe i grupe"), kUnassign},
    };
    return details;
}

} // namespace

const QList<MasterSetup> &masters()
{
    static const QList<MasterSetup> list = {
        {View::Persons, QStringLiteral("Osobe"), QStringLiteral("qPersons"),
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Prezime"), QStringLiteral("Ime"), QStringLiteral("Sektor")},
         PersonIcon},
        {View::Groups, QStringLiteral("Grupe"), QStringLiteral("qGroups"),
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Naziv")}, GroupIcon},
        {View::Zones, QStringLiteral("Zone"), QStringLiteral("qZones"),
         {QStringLiteral(" "), QStringLiteral("ID"), QStringLiteral("Naziv")}, ZoneIcon},
    };
    return list;
}

const MasterSetup &master(View view)
{
    return masters().at(int(view));
}

QList<DetailSetup> detailsOf(View view)
{
    QList<DetailSetup> out;
    for (const DetailSetup &d : allDetails())
        if (d.view == view)
            out.append(d);
    return out;
}

const DetailSetup &detail(View view, const QString &tab)
{
    for (const DetailSetup &d : allDetails())
        if (d.view == view && d.tab == tab)
            return d;
    // Every view has at least one tab: an unknown caption means the first.
    for (const DetailSetup &d : allDetails())
        if (d.view == view)
            return d;
    return allDetails().first();
}

int detailIcon(const QString &tab, const QString &blankField)
{
    if (tab == QLatin1String("Grupe"))
        return GroupIcon;
    if (tab == QLatin1String("Zone"))
        return ZoneIcon;
    if (tab == QLatin1String("Osobe i grupe"))
        return blankField == QLatin1String(".") ? GroupIcon : PersonIcon;
    return PersonIcon;
}

} // namespace BrowserStates
