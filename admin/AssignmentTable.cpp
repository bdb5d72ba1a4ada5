#include "admin/AssignmentTable.h"

#include "admin/LinkStatements.h"

namespace AssignmentTable {

namespace {

const QString kError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");

QStringList idAndName()
{
    return {QStringLiteral("ID"), QStringLiteral("Naziv")};
}

QStringList idAndPersonName()
{
    return {QStringLiteral("ID"), QStringLiteral("Prezime"), QStringLiteral("Ime")};
}

} // namespace

const QList<MemberSetup> &members()
{
    static const QList<MemberSetup> list = {
        {Member::Groups, QStringLiteral("frmAssignGroups"), QStringLiteral("Dodela grupama"),
         QStringLiteral("Dodeli osobu "), QStringLiteral(" sledećim grupama: "), QStringLiteral("qAGroups"),
         QStringLiteral("IDZaposlenog"), idAndName(), QStringLiteral("qPersons"), &LinkTables::PersonGroup, false,
         QStringLiteral("Greska u unosu, podaci nisu dodati u bazu podataka."),
         {QStringLiteral("qPersonsGroups"), QStringLiteral("qPersons")}},
        {Member::Zones, QStringLiteral("frmAssignZones"), QStringLiteral("Dodela zonama"),
         QStringLiteral("Dodeli osobu "), QStringLiteral(" sledećim zonama:"), QStringLiteral("qAZones"),
         QStringLiteral("IDZaposlenog"), idAndName(), QStringLiteral("qPersons"), &LinkTables::PersonZone, false, kError,
         {QStringLiteral("qPersonsZones"), QStringLiteral("qPersons")}},
        {Member::PG, QStringLiteral("frmAssignPG"), QStringLiteral("Dodela osoba"), QStringLiteral("Grupi "),
         QStringLiteral(" dodeli sledeće osobe:"), QStringLiteral("qAPersonsToGroups"), QStringLiteral("IDGrupe"),
         idAndPersonName(), QStringLiteral("qGroups"), &LinkTables::PersonGroup, true, kError,
         {QStringLiteral("qGroupsPersons"), QStringLiteral("qGroups"), QStringLiteral("qPersons")}},
        {Member::GZ, QStringLiteral("frmAssignGZ"), QStringLiteral("Dodela zonama"), QStringLiteral("Grupu "),
         QStringLiteral(" dodeli sledećim zonama: "), QStringLiteral("qAGroupsToZones"), QStringLiteral("IDGrupe"),
         idAndName(), QStringLiteral("qGroups"), &LinkTables::GroupZone, false, kError,
         {QStringLiteral("qGroupsZones"), QStringLiteral("qGroups"), QStringLiteral("qPersons")}},
        {Member::ZP, QStringLiteral("frmAssignZP"), QStringLiteral("Dodela osoba"), QStringLiteral("Dodeli zoni "),
         QStringLiteral(" sledeće osobe:"), QStringLiteral("qAPersonsToZones"), QStringLiteral("IDZone"),
         idAndPersonName(), QStringLiteral("qZones"), &LinkTables::PersonZone, true, kError,
         {QStringLiteral("qZonesPG"), QStringLiteral("qZones"), QStringLiteral("qPersons")}},
        {Member::ZG, QStringLiteral("frmAssignZG"), QStringLiteral("Dodela grupa"), QStringLiteral("Dodeli zoni "),
         QStringLiteral(" sledeće grupe:"), QStringLiteral("qAssignGroupsToZones"), QStringLiteral("IDZone"),
         idAndName(), QStringLiteral("qZones"), &LinkTables::GroupZone, true, kError,
         {QStringLiteral("qZonesPG"), QStringLiteral("qZones")}},
    };
    return list;
}

const MemberSetup &member(Member member)
{
    return members().at(int(member));
}

} // namespace AssignmentTable
