#include "db/uDMGZ.h"

#include "db/SqlDialect.h"

namespace {

// The candidate lists of the assignment dialogs: what is not linked yet.
QStringList notLinked(const QString &select, const QString &from, const QString &column, const QString &sub,
                      const QString &where, const QString &order)
{
    return {select, QStringLiteral("FROM ") + from, QStringLiteral("WHERE  ") + column + QStringLiteral(" NOT IN"),
            sub, where, order};
}

NamedQuery::UpdateTarget byKey(const QString &table, const QString &key)
{
    return {table, {key}, {}, {}, {}, {}};
}

} // namespace

TdmGZ::TdmGZ(QObject *parent)
    : DataModule(QStringLiteral("dmGZ"), parent),
      qAction(addQuery(QStringLiteral("qAction"), {QStringLiteral("select * from tblDorvTackePristupa")})),
      qZones(addQuery(QStringLiteral("qZones"), {QStringLiteral("SELECT IDZone, Naziv FROM tblDorvZone ORDER BY IDZone")})),
      qGroups(addQuery(QStringLiteral("qGroups"), {QStringLiteral("Select * from tblDorvGrupe")})),
      qAccessPoints(addQuery(
          QStringLiteral("qAccessPoints"),
          {QStringLiteral("SELECT * FROM tblDorvTackePristupa left join tblDorvZone_TackePristupa"),
           QStringLiteral("on tblDorvTackePristupa.idtackepristupa =  tblDorvZone_TackePristupa.idtackepristupa")})),
      qAGroups(addQuery(QStringLiteral("qAGroups"),
                        notLinked(QStringLiteral("SELECT IDGrupe ID, Naziv"), QStringLiteral("tblDorvGrupe"),
                                  QStringLiteral("tblDorvGrupe.IDGrupe"),
                                  QStringLiteral("(SELECT IDGrupe FROM tblDorvOsobe_Grupe"),
                                  QStringLiteral("WHERE IDZaposlenog = :IDZaposlenog)"),
                                  QStringLiteral("ORDER BY IDGrupe")))),
      qAZones(addQuery(QStringLiteral("qAZones"),
                       notLinked(QStringLiteral("SELECT IDZone ID, Naziv"), QStringLiteral("tblDorvZone"),
                                 QStringLiteral("tblDorvZone.IDZone"), QStringLiteral("(SELECT IDZone FROM tblDorvOsobe_Zone"),
                                 QStringLiteral("WHERE IDZaposlenog = :IDZaposlenog)"), QStringLiteral("ORDER BY IDZone")))),
      qAPersonsToGroups(addQuery(QStringLiteral("qAPersonsToGroups"),
                                 notLinked(QStringLiteral("SELECT IDZaposlenog ID, Prezime,  Ime"),
                                           QStringLiteral("Zaposleni"), QStringLiteral("Zaposleni.IDZaposlenog"),
                                           QStringLiteral("(SELECT IDZaposlenog FROM tblDorvOsobe_Grupe"),
                                           QStringLiteral("WHERE IDGrupe = :IDGrupe)"),
                                           QStringLiteral("ORDER BY IDZaposlenog")))),
      qAGroupsToZones(addQuery(QStringLiteral("qAGroupsToZones"),
                               notLinked(QStringLiteral("SELECT IDZone ID, Naziv"), QStringLiteral("tblDorvZone"),
                                         QStringLiteral("IDZone"), QStringLiteral("(SELECT IDZone FROM tblDorvGrupe_Zone"),
                                         QStringLiteral("WHERE IDGrupe = :IDGrupe)"), QStringLiteral("ORDER BY IDZone")))),
      qAPersonsToZones(addQuery(QStringLiteral("qAPersonsToZones"),
                                notLinked(QStringLiteral("SELECT IDZaposlenog ID, Prezime,  Ime"),
                                          QStringLiteral("Zaposleni"), QStringLiteral("Zaposleni.IDZaposlenog"),
                                          QStringLiteral("(SELECT IDZaposlenog FROM tblDorvOsobe_Zone"),
                                          QStringLiteral("WHERE IDZone = :IDZone)"), QStringLiteral("ORDER BY IDZaposlenog")))),
      // The one candidate list written with a single space after WHERE.
      qAssignGroupsToZones(addQuery(QStringLiteral("qAssignGroupsToZones"),
                                    {QStringLiteral("SELECT IDGrupe ID, Naziv"), QStringLiteral("FROM tblDorvGrupe"),
                                     QStringLiteral("WHERE IDGrupe NOT IN"),
                                     QStringLiteral("(SELECT IDGrupe FROM tblDorvGrupe_Zone"),
                                     QStringLiteral("WHERE IDZone =:IDZone)"), QStringLiteral("ORDER BY ID")})),
      qDepartments(addQuery(QStringLiteral("qDepartments"),
                            {QStringLiteral("select s1.IDSektora, s1.Nadredjeni, s1.NazivSektora, s2.NazivSektora "
                                            "'NadredjeniS' from Sektor s1"),
                             QStringLiteral("left join Sektor s2 on s1.Nadredjeni = s2.IDSektora")})),
      qDepartementsZaLookup(addQuery(QStringLiteral("qDepartementsZaLookup"), {QStringLiteral("SELECT * from sektor")})),
      qControllers(addQuery(QStringLiteral("qControllers"),
                            {QStringLiteral("SELECT *"), QStringLiteral("FROM tblDorvKontroleri")})),
      qControllersDet(addQuery(QStringLiteral("qControllersDet"),
                               {QStringLiteral("SELECT *"), QStringLiteral("FROM tblDorvKontakti as kdet"),
                                QStringLiteral("where kdet.idkontrolera = :idkontrolera")})),
      viewDorvKontroleri_tackePristupa(addQuery(QStringLiteral("viewDorvKontroleri_tackePristupa"),
                                                {QStringLiteral("SELECT *"),
                                                 QStringLiteral("FROM viewDorvKontroleri_tackePristupa"),
                                                 QStringLiteral("where IDKontrolera = :IDKontrolera")})),
      qContollersZaLookup(addQuery(QStringLiteral("qContollersZaLookup"),
                                   {QStringLiteral("SELECT *"), QStringLiteral("FROM tblDorvKontroleri")})),
      spPodaciZaKontrolere(addQuery(QStringLiteral("spPodaciZaKontrolere"), {SqlDialect::controllerDataCall()}))
{
    qZones->setUpdateTarget(byKey(QStringLiteral("tblDorvZone"), QStringLiteral("IDZone")));
    qGroups->setUpdateTarget(byKey(QStringLiteral("tblDorvGrupe"), QStringLiteral("IDGrupe")));
    qControllers->setUpdateTarget(byKey(QStringLiteral("tblDorvKontroleri"), QStringLiteral("IDKontrolera")));
    NamedQuery::UpdateTarget contacts = byKey(QStringLiteral("tblDorvKontakti"), QStringLiteral("IDKontakta"));
    contacts.identityField = QStringLiteral("IDKontakta");
    qControllersDet->setUpdateTarget(contacts);
    qControllersDet->setMaster(qControllers);
    viewDorvKontroleri_tackePristupa->setMaster(qControllers);
}
