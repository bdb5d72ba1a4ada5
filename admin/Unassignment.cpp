#include "admin/Unassignment.h"

#include "admin/LinkStatements.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"

namespace Unassignment {

namespace {

using BrowserStates::View;

const QString kPersonKey = QStringLiteral("IDZaposlenog");
const QString kGroupKey = QStringLiteral("IDGrupe");
const QString kZoneKey = QStringLiteral("IDZone");
const QString kError = QStringLiteral("Greška u unosu, podaci nisu dodati u bazu.");

const QList<Rule> &rules()
{
    static const QList<Rule> list = {
        {View::Persons, QStringLiteral("Grupe"),
         QStringLiteral("Jeste li sigurni da želite da osoba %1 bude uklonjena iz odabranih grupa?"),
         {&LinkTables::PersonGroup, kPersonKey, kGroupKey}, false, {QStringLiteral("qPersonsGroups")}, kError},
        {View::Persons, QStringLiteral("Zone"),
         QStringLiteral("Jeste li sigurni da želite da osoba %1 bude uklonjena iz odabranih zona?"),
         {&LinkTables::PersonZone, kPersonKey, kZoneKey}, false, {QStringLiteral("qPersonsZones")}, kError},
        {View::Groups, QStringLiteral("Osobe"),
         QStringLiteral("Jeste li sigurni da želite da uklonite odabrane osobe iz grupe %1?"),
         {&LinkTables::PersonGroup, kGroupKey, kPersonKey}, false, {QStringLiteral("qGroupsPersons")}, kError},
        {View::Groups, QStringLiteral("Zone"),
         QStringLiteral("Jeste li sigurni da želite da uklonite grupu %1 iz odabranih zona?"),
         {&LinkTables::GroupZone, kGroupKey, kZoneKey}, false,
         {QStringLiteral("qGroupsZones"), QStringLiteral("qGroupsPersons")}, kError},
        {View::Zones, QStringLiteral("Osobe i grupe"),
         QStringLiteral("Jeste li sigurni da želite da uklonite odabrane osobe/grupe iz zone %1?"),
         {&LinkTables::PersonZone, kZoneKey, kPersonKey}, true, {QStringLiteral("qZonesPG")},
         QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.")},
    };
    return list;
}

} // namespace

const Rule *ruleFor(View view, const QString &tab)
{
    for (const Rule &rule : rules()) {
        if (rule.view == view && rule.tab == tab)
            return &rule;
    }
    return nullptr;
}

QString deleteStatementFor(const Rule &rule, const QString &masterKey, const SelectedRow &row)
{
    // Only the link of the row's own kind goes: a person and a group may share an ID.
    if (rule.markedRowsAreGroups && row.marker == QLatin1String("."))
        return deleteStatement(LinkTables::GroupZone, rule.rows.masterColumn, masterKey, kGroupKey, row.key);
    return deleteStatement(*rule.rows.table, rule.rows.masterColumn, masterKey, rule.rows.keyColumn, row.key);
}

void removeLinks(TdmGZ &gz, const Rule &rule, const QString &masterKey, const QList<SelectedRow> &rows)
{
    NamedQuery &qAction = *gz.qAction;
    gz.connMain->transaction([&] {
        for (const SelectedRow &row : rows) {
            qAction.setText(deleteStatementFor(rule, masterKey, row));
            qAction.execute();
        }
    });
}

} // namespace Unassignment
