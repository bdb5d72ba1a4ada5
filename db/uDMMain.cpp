#include "db/uDMMain.h"

TdmMain::TdmMain(QObject *parent)
    : DataModule(QStringLiteral("dmMain"), parent),
      qPersons(addQuery(
          QStringLiteral("qPersons"),
          {QStringLiteral("SELECT  '  ', IDZaposlenog ID, Prezime 'Prezime', Ime 'Ime', NazivSektora Sektor, "
                          "Z.IDSektora, Fotografija, PinKod"),
           QStringLiteral("FROM Zaposleni Z"), QStringLiteral("inner JOIN Sektor S ON S.IDSektora = Z.IDSektora"),
           QStringLiteral("ORDER BY ID")})),
      qGroups(addQuery(QStringLiteral("qGroups"),
                       {QStringLiteral("SELECT IDGrupe ID, Naziv Naziv FROM tblDorvGrupe ORDER BY ID")})),
      qZones(addQuery(QStringLiteral("qZones"), {QStringLiteral("SELECT IDZone ID, Naziv Naziv FROM tblDorvZone")})),
      qPersonsGroups(addQuery(
          QStringLiteral("qPersonsGroups"),
          {QStringLiteral("SELECT tblDorvGrupe.IDGrupe ID, tblDorvGrupe.Naziv "), QStringLiteral("FROM tblDorvGrupe"),
           QStringLiteral("JOIN tblDorvOsobe_Grupe ON tblDorvOsobe_Grupe.IDGrupe = tblDorvGrupe.IDGrupe"),
           QStringLiteral("JOIN Zaposleni ON Zaposleni.IDZaposlenog = tblDorvOsobe_Grupe.IDZaposlenog"),
           QStringLiteral("where Zaposleni.IDZaposlenog = :IDZaposlenog"), QStringLiteral("ORDER BY ID")})),
      qPersonsZones(addQuery(
          QStringLiteral("qPersonsZones"),
          {QStringLiteral("SELECT tblDorvZone.IDZone ID, tblDorvZone.Naziv, tblDorvOsobe_Zone.UkljucenIPinKod Pristup"),
           QStringLiteral("FROM tblDorvZone"),
           QStringLiteral("JOIN tblDorvOsobe_Zone ON tblDorvOsobe_Zone.IDZone = tblDorvZone.IDZone"),
           QStringLiteral("JOIN Zaposleni ON Zaposleni.IDZaposlenog = tblDorvOsobe_Zone.IDZaposlenog"),
           QStringLiteral("where Zaposleni.IDZaposlenog = :IDZaposlenog"), QStringLiteral("ORDER BY ID")})),
      qGroupsPersons(addQuery(QStringLiteral("qGroupsPersons"),
                              {QStringLiteral("SELECT IDZaposlenog ID, Ime, Prezime "), QStringLiteral("FROM Zaposleni"),
                               QStringLiteral("WHERE  Zaposleni.IDZaposlenog IN"),
                               QStringLiteral("(SELECT IDZaposlenog FROM tblDorvOsobe_Grupe"),
                               QStringLiteral("WHERE IDGrupe = :IDGrupe)"), QStringLiteral("ORDER BY IDZaposlenog")})),
      qGroupsZones(addQuery(
          QStringLiteral("qGroupsZones"),
          {QStringLiteral("SELECT tblDorvZone.IDZone ID, tblDorvZone.Naziv, tblDorvGrupe_Zone.UkljucenIPinKod Pristup"),
           QStringLiteral("FROM tblDorvZone"),
           QStringLiteral("JOIN tblDorvGrupe_Zone ON tblDorvGrupe_Zone.IDZone = tblDorvZone.IDZone"),
           QStringLiteral("JOIN tblDorvGrupe ON tblDorvGrupe.IDGrupe = tblDorvGrupe_Zone.IDGrupe"),
           QStringLiteral("where tblDorvGrupe.IDGrupe = :IDGrupe"), QStringLiteral("ORDER BY ID")})),
      qZonesPG(addQuery(
          QStringLiteral("qZonesPG"),
          {QStringLiteral("SELECT '' ' ', Z.IDZaposlenog ID, Prezime + ' ' + Ime Naziv, OZ.UkljucenIPinKod Pristup"),
           QStringLiteral("FROM Zaposleni Z"), QStringLiteral("join tblDorvOsobe_Zone OZ on Z.IDZaposlenog = OZ.IDZaposlenog"),
           QStringLiteral("where OZ.IDZone =  :IDZone1"), QStringLiteral("UNION"),
           QStringLiteral("SELECT '.' ' ',  G.IDGrupe ID, Naziv Name, GZ.UkljucenIPinKod Pristup"),
           QStringLiteral("FROM tblDorvGrupe G"), QStringLiteral("join tblDorvGrupe_Zone GZ on G.IDGrupe = GZ.IDGrupe"),
           QStringLiteral("where GZ.IDZone =  :IDZone2")})),
      qViewMediaIDHist(addQuery(QStringLiteral("qViewMediaIDHist"),
                                {QStringLiteral("SELECT * from viewMediaIDHist where idZaposlenog = :ID")})),
      qZaposleni_Memorija(
          addQuery(QStringLiteral("qZaposleni_Memorija"), {QStringLiteral("SELECT * from zaposleni_idmemorija")}))
{
    // An edited person goes to Zaposleni only; the department name is display only.
    qPersons->setUpdateTarget({QStringLiteral("Zaposleni"),
                               {QStringLiteral("ID")},
                               {{QStringLiteral("ID"), QStringLiteral("IDZaposlenog")},
                                {QStringLiteral("Prezime"), QStringLiteral("Prezime")},
                                {QStringLiteral("Ime"), QStringLiteral("Ime")},
                                {QStringLiteral("IDSektora"), QStringLiteral("IDSektora")},
                                {QStringLiteral("Fotografija"), QStringLiteral("Fotografija")},
                                {QStringLiteral("PinKod"), QStringLiteral("PinKod")}},
                               {QStringLiteral("Sektor")},
                               QString(),
                               {QStringLiteral("Fotografija")}});
    qZaposleni_Memorija->setUpdateTarget(
        {QStringLiteral("Zaposleni_IDMemorija"), {QStringLiteral("IDZaposlenog"), QStringLiteral("IDNo")}, {}, {}, {}, {}});
    qViewMediaIDHist->setMaster(qPersons);
}
