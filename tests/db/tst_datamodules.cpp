#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"
#include "tests/support/TempDatabase.h"

#include <QTest>

#include <memory>

// The three data modules on a small register: every named query, the cases their users
// rely on, writing back through them and the modules' separate transactions.
class TestDataModules : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TdmMain> m_main;
    std::unique_ptr<TdmGZ> m_gz;
    std::unique_ptr<TdmProperties> m_props;

    DataModule *moduleNamed(const QString &name) const
    {
        if (name == "dmMain")
            return m_main.get();
        if (name == "dmGZ")
            return m_gz.get();
        return m_props.get();
    }

    // The focused query's rows, each as its fields joined with '|'.
    static QStringList rows(NamedQuery *q, const QStringList &fields)
    {
        QStringList out;
        for (q->first(); !q->eof(); q->next()) {
            QStringList row;
            for (const QString &f : fields)
                row << q->asString(f);
            out << row.join('|');
        }
        return out;
    }

    static QStringList openWith(NamedQuery *q, const QString &param, const QString &value)
    {
        q->setParameter(param, value);
        q->open();
        return rows(q, {"ID"});
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        for (const char *sql : {
                 "INSERT INTO Sektor VALUES ('S1', 'Uprava', '', 'MB1', 1), ('S2', 'Magacin', 'S1', 'MB1', 0)",
                 "INSERT INTO Zaposleni VALUES ('P1', 'Perić', 'Ana', 'S1', X'FFD8FFE0', '1A2B'),"
                 " ('P2', 'Jović', 'Marko', 'S2', NULL, ''), ('P3', 'Bez', 'Sektora', 'XX', NULL, '')",
                 "INSERT INTO Zaposleni_IDMemorija VALUES ('A200000001B81C02', 'P1', '2020-01-01 08:00:00', ''),"
                 " ('B100000002B81C02', 'P1', '2021-01-01 08:00:00', ''),"
                 " ('C300000003B81C02', 'P2', '2021-01-01 08:00:00', '')",
                 "INSERT INTO tblDorvGrupe VALUES ('G1', 'Smena A'), ('G2', 'Smena B')",
                 "INSERT INTO tblDorvZone VALUES ('1', 'Ulaz'), ('Z-A', 'Magacin'), ('01', 'Kapija')",
                 "INSERT INTO tblDorvOsobe_Zone VALUES (1, 'P1', '1', 1, 1)",
                 "INSERT INTO tblDorvGrupe_Zone VALUES (1, 'G1', '1', 1, 2), (2, 'G1', 'Z-A', 1, 0), (3, 'G2', '01', 1, 0)",
                 "INSERT INTO tblDorvOsobe_Grupe VALUES (1, 'P2', 'G1', 1)",
                 "INSERT INTO tblDorvTackePristupa VALUES ('T1', 'Glavna vrata'), ('T2', 'Bez zone')",
                 "INSERT INTO tblDorvZone_TackePristupa VALUES (1, '1', 'T1', 1)",
                 "INSERT INTO tblDorvVremenskiIntervali VALUES ('1', '1899-12-30 07:30:00', '1899-12-30 15:45:00', 0, 0)",
                 "INSERT INTO tblDorvKontroleri VALUES ('5', 'Ulaz', 'TK71', 'TCP', 'PC1', 'COM1'),"
                 " ('6', 'Magacin', 'TK96', 'TCP', 'PC1', 'COM2')",
                 "INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela)"
                 " VALUES (1, '5', '1', 1), (2, '5', '2', 2)",
                 "INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (1, 'T1')",
             })
            m_db->exec(sql);
        const QString cs = ConnectionString::forSqliteFile(m_db->fileName());
        m_main = std::make_unique<TdmMain>();
        m_gz = std::make_unique<TdmGZ>();
        m_props = std::make_unique<TdmProperties>();
        m_main->connectTo(cs);
        m_gz->connectTo(cs);
        m_props->connectTo(cs);
    }

    void cleanup()
    {
        m_main.reset();
        m_gz.reset();
        m_props.reset();
        m_db.reset();
    }

    void everyNamedQueryRunsWithItsFields_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parameters");  // name=value,...
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("qPersons") << "dmMain" << "qPersons" << ""
                                  << QStringList{"ID", "Prezime", "Ime", "IDSektora", "Fotografija", "Sektor", "PinKod"};
        QTest::newRow("main qGroups") << "dmMain" << "qGroups" << "" << QStringList{"ID", "Naziv"};
        QTest::newRow("main qZones") << "dmMain" << "qZones" << "" << QStringList{"ID", "Naziv"};
        QTest::newRow("qPersonsGroups") << "dmMain" << "qPersonsGroups" << "IDZaposlenog=P2" << QStringList{"ID", "Naziv"};
        QTest::newRow("qPersonsZones") << "dmMain" << "qPersonsZones" << "IDZaposlenog=P1"
                                       << QStringList{"ID", "Naziv", "Pristup"};
        QTest::newRow("qGroupsPersons") << "dmMain" << "qGroupsPersons" << "IDGrupe=G1"
                                        << QStringList{"ID", "Ime", "Prezime"};
        QTest::newRow("qGroupsZones") << "dmMain" << "qGroupsZones" << "IDGrupe=G1"
                                      << QStringList{"ID", "Naziv", "Pristup"};
        QTest::newRow("qZonesPG") << "dmMain" << "qZonesPG" << "IDZone1=1,IDZone2=1"
                                  << QStringList{" ", "ID", "Naziv", "Pristup"};
        QTest::newRow("qViewMediaIDHist")
            << "dmMain" << "qViewMediaIDHist" << "ID=P1"
            << QStringList{"IDZaposlenog", "Prezime", "Ime", "IDSektora", "NazivSektora", "IDNo", "VaziOd", "VaziDo"};
        QTest::newRow("qZaposleni_Memorija") << "dmMain" << "qZaposleni_Memorija" << ""
                                             << QStringList{"IDNo", "IDZaposlenog", "DatumDodeljivanja"};
        QTest::newRow("gz qZones") << "dmGZ" << "qZones" << "" << QStringList{"IDZone", "Naziv"};
        QTest::newRow("gz qGroups") << "dmGZ" << "qGroups" << "" << QStringList{"IDGrupe", "Naziv"};
        QTest::newRow("qAccessPoints") << "dmGZ" << "qAccessPoints" << ""
                                       << QStringList{"IDTackePristupa", "Naziv", "id", "IDZone", "Status"};
        QTest::newRow("qAGroups") << "dmGZ" << "qAGroups" << "IDZaposlenog=P1" << QStringList{"ID", "Naziv"};
        QTest::newRow("qAZones") << "dmGZ" << "qAZones" << "IDZaposlenog=P1" << QStringList{"ID", "Naziv"};
        QTest::newRow("qAPersonsToGroups") << "dmGZ" << "qAPersonsToGroups" << "IDGrupe=G1"
                                           << QStringList{"ID", "Prezime", "Ime"};
        QTest::newRow("qAGroupsToZones") << "dmGZ" << "qAGroupsToZones" << "IDGrupe=G1" << QStringList{"ID", "Naziv"};
        QTest::newRow("qAPersonsToZones") << "dmGZ" << "qAPersonsToZones" << "IDZone=1"
                                          << QStringList{"ID", "Prezime", "Ime"};
        QTest::newRow("qAssignGroupsToZones") << "dmGZ" << "qAssignGroupsToZones" << "IDZone=1"
                                              << QStringList{"ID", "Naziv"};
        QTest::newRow("qDepartments") << "dmGZ" << "qDepartments" << ""
                                      << QStringList{"IDSektora", "NazivSektora", "NadredjeniS", "Nadredjeni"};
        QTest::newRow("qDepartementsZaLookup")
            << "dmGZ" << "qDepartementsZaLookup" << ""
            << QStringList{"IDSektora", "MaticniBrojFirme", "Nadredjeni", "NazivSektora", "SekIzabran"};
        QTest::newRow("qControllers") << "dmGZ" << "qControllers" << ""
                                      << QStringList{"IDKontrolera", "Naziv", "Tip", "TipKonekcije", "Kompjuter", "ComPort"};
        QTest::newRow("qControllersDet") << "dmGZ" << "qControllersDet" << "idkontrolera=5"
                                         << QStringList{"IDKontakta", "idkontrolera", "RBTouchKontakta", "MerodavnaTabela"};
        QTest::newRow("viewDorvKontroleri_tackePristupa")
            << "dmGZ" << "viewDorvKontroleri_tackePristupa" << "IDKontrolera=5"
            << QStringList{"IDKontakta", "idkontrolera", "RBTouchKontakta", "IDTackePristupa", "Naziv", "Status",
                           "Expr1", "Expr2", "Expr3"};
        QTest::newRow("qContollersZaLookup")
            << "dmGZ" << "qContollersZaLookup" << ""
            << QStringList{"IDKontrolera", "Naziv", "Tip", "TipKonekcije", "Kompjuter", "ComPort"};
        QTest::newRow("qTimeIntervals") << "dmProperties" << "qTimeIntervals" << "" << QStringList{"ID", "From", "To"};
    }

    void everyNamedQueryRunsWithItsFields()
    {
        QFETCH(QString, module);
        QFETCH(QString, name);
        QFETCH(QString, parameters);
        QFETCH(QStringList, fields);
        NamedQuery *q = moduleNamed(module)->query(name);
        for (const QString &p : parameters.split(',', Qt::SkipEmptyParts))
            q->setParameter(p.section('=', 0, 0), p.section('=', 1));
        try {
            q->open();
        } catch (const DbError &e) {
            QFAIL(qPrintable(e.text()));
        }
        QVERIFY2(q->rowCount() > 0, "the fixture gives every query rows");
        for (const QString &f : fields)
            QVERIFY2(q->fieldIndex(f) >= 0, qPrintable("missing field '" + f + "'"));
    }

    void personListShowsPersonsOfExistingDepartmentsOnly()
    {
        m_main->qPersons->open();
        QCOMPARE(rows(m_main->qPersons, {"ID", "Prezime", "Ime", "Sektor", "IDSektora", "PinKod"}),
                 (QStringList{"P1|Perić|Ana|Uprava|S1|1A2B", "P2|Jović|Marko|Magacin|S2|"}));
    }

    void zonesPersonsAndGroupsAreMarked()
    {
        NamedQuery *q = m_main->qZonesPG;
        q->setParameter("IDZone1", "1");
        q->setParameter("IDZone2", "1");
        q->open();
        QStringList got = rows(q, {" ", "ID", "Naziv", "Pristup"});
        got.sort();  // the union gives the database's order
        QCOMPARE(got, (QStringList{".|G1|Smena A|2", "|P1|Perić Ana|1"}));
    }

    void candidateListsWithTextZoneIds_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("numeric-looking") << "1" << QStringList{"G2"};
        QTest::newRow("leading zero is another zone") << "01" << QStringList{"G1"};
        QTest::newRow("not a number") << "Z-A" << QStringList{"G2"};
        QTest::newRow("no links") << "none" << QStringList{"G1", "G2"};
    }

    void candidateListsWithTextZoneIds()
    {
        QFETCH(QString, zone);
        QFETCH(QStringList, groups);
        QCOMPARE(openWith(m_gz->qAssignGroupsToZones, "IDZone", zone), groups);
    }

    void personWithoutGroups()
    {
        QCOMPARE(openWith(m_main->qPersonsGroups, "IDZaposlenog", "P1"), QStringList{});
        QCOMPARE(openWith(m_gz->qAGroups, "IDZaposlenog", "P1"), (QStringList{"G1", "G2"}));
        m_main->qPersonsGroups->close();
        m_gz->qAGroups->close();
        QCOMPARE(openWith(m_main->qPersonsGroups, "IDZaposlenog", "P2"), QStringList{"G1"});
        QCOMPARE(openWith(m_gz->qAGroups, "IDZaposlenog", "P2"), QStringList{"G2"});
    }

    void mediaIdHistoryFollowsThePersonList()
    {
        m_main->qPersons->open();
        m_main->qViewMediaIDHist->open();
        QStringList got = rows(m_main->qViewMediaIDHist, {"IDZaposlenog", "IDNo"});
        got.sort();
        QCOMPARE(got, (QStringList{"P1|A200000001B81C02", "P1|B100000002B81C02"}));
        m_main->qPersons->next();
        QCOMPARE(rows(m_main->qViewMediaIDHist, {"IDZaposlenog", "IDNo"}), QStringList{"P2|C300000003B81C02"});
    }

    void timeIntervalsReadAsHoursAndMinutes()
    {
        m_props->qTimeIntervals->open();
        QCOMPARE(rows(m_props->qTimeIntervals, {"ID", "From", "To"}), QStringList{"1|07:30|15:45"});
    }

    void controllerDataComesFromTheProcedure()
    {
        m_db->exec("INSERT INTO tblDorvOsobe_Zone VALUES (2, 'P2', '1', 1, 0)");
        NamedQuery *sp = m_gz->spPodaciZaKontrolere;
        sp->setParameter("idkontrolera", "5");
        sp->open();
        QCOMPARE(rows(sp, {"IDNo", "status"}), QStringList{"C300000003B81C02|1"});
    }

    void newPersonLandsInZaposleni()
    {
        NamedQuery *q = m_main->qPersons;
        q->open();
        q->insert();
        q->setValue("ID", "P9");
        q->setValue("Prezime", "O'Neil");
        q->setValue("Ime", "Eva");
        q->setValue("IDSektora", "S2");
        q->setValue("Sektor", "ignored");
        q->setValue("Fotografija", QByteArray("\x01\x02", 2));
        q->post();
        QCOMPARE(m_db->rows("SELECT IDZaposlenog, Prezime, Ime, IDSektora, hex(Fotografija), PinKod FROM Zaposleni "
                            "WHERE IDZaposlenog = 'P9'"),
                 QStringList{"P9|O'Neil|Eva|S2|0102|"});
        QCOMPARE(m_db->rows("SELECT NazivSektora FROM Sektor ORDER BY IDSektora"), (QStringList{"Uprava", "Magacin"}));
    }

    void duplicatePersonIsRejectedAndLeavesNothing()
    {
        NamedQuery *q = m_main->qPersons;
        q->open();
        q->insert();
        q->setValue("ID", "p1");
        q->setValue("Prezime", "Drugi");
        q->setValue("IDSektora", "S1");
        QVERIFY_THROWS_EXCEPTION(DbError, q->post());
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM Zaposleni").toInt(), 3);
        QCOMPARE(m_db->scalar("SELECT Prezime FROM Zaposleni WHERE IDZaposlenog = 'P1'").toString(), QString("Perić"));
        q->cancel();
        QCOMPARE(q->rowCount(), 2);
    }

    void cancelRestoresTheStoredValues()
    {
        NamedQuery *q = m_main->qPersons;
        q->open();
        q->edit();
        q->setValue("Ime", "Promenjeno");
        q->setValue("PinKod", "FFFF");
        q->cancel();
        QCOMPARE(q->asString("Ime"), QString("Ana"));
        QCOMPARE(q->asString("PinKod"), QString("1A2B"));
        QCOMPARE(m_db->rows("SELECT Ime, PinKod FROM Zaposleni WHERE IDZaposlenog = 'P1'"), QStringList{"Ana|1A2B"});
    }

    void deletingThroughAQueryRemovesExactlyThatRow()
    {
        NamedQuery *q = m_gz->qGroups;
        q->open();
        q->first();
        QCOMPARE(q->asString("IDGrupe"), QString("G1"));
        q->remove();
        QCOMPARE(m_db->rows("SELECT IDGrupe FROM tblDorvGrupe"), QStringList{"G2"});
        // Its links stay, as the editors expect.
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM tblDorvOsobe_Grupe WHERE IDGrupe = 'G1'").toInt(), 1);
        QCOMPARE(q->rowCount(), 1);
    }

    void photoIsFetchedForTheFocusedPersonOnly()
    {
        NamedQuery *q = m_main->qPersons;
        q->open();
        const int photo = q->fieldIndex("Fotografija");
        QVERIFY(!q->cell(0, photo).isValid());
        QCOMPARE(q->asBytes("Fotografija"), QByteArray::fromHex("FFD8FFE0"));
        q->next();
        QVERIFY(!q->cell(0, photo).isValid());
        QVERIFY(q->asBytes("Fotografija").isEmpty());
        // An edit of another field leaves the stored photo alone, and a key change moves it.
        q->first();
        q->edit();
        q->setValue("ID", "P1X");
        q->setValue("Ime", "Anica");
        q->post();
        QCOMPARE(m_db->rows("SELECT IDZaposlenog, Ime, hex(Fotografija) FROM Zaposleni WHERE Prezime = 'Perić'"),
                 QStringList{"P1X|Anica|FFD8FFE0"});
    }

    void newContactGetsItsKeyFromTheDatabase()
    {
        m_gz->qControllers->open();
        NamedQuery *det = m_gz->qControllersDet;
        det->open();
        QCOMPARE(rows(det, {"IDKontakta"}), (QStringList{"1", "2"}));
        m_gz->qControllers->next();
        QCOMPARE(det->rowCount(), 0);
        det->insert();
        det->setValue("idkontrolera", "6");
        det->setValue("RBTouchKontakta", "1");
        det->setValue("MerodavnaTabela", 1);
        det->post();
        QCOMPARE(det->asInteger("IDKontakta"), 3);
        QCOMPARE(m_db->rows("SELECT IDKontakta, idkontrolera FROM tblDorvKontakti WHERE idkontrolera = '6'"),
                 QStringList{"3|6"});
        m_gz->viewDorvKontroleri_tackePristupa->open();
        QCOMPARE(rows(m_gz->viewDorvKontroleri_tackePristupa, {"IDKontakta", "IDTackePristupa"}), QStringList{"3|"});
    }

    void statementQueryExecutesAndReads()
    {
        NamedQuery *a = m_gz->qAction;
        QCOMPARE(a->text(), QString("select * from tblDorvTackePristupa"));
        a->setText("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES (" + SqlText::quoted("Z9") + ", "
                   + SqlText::quoted("Kod O'Briena") + ")");
        QCOMPARE(a->execute(), 1);
        a->setText("SELECT Max(ID) AS 'id' FROM tblDorvGrupe_Zone");
        a->open();
        QCOMPARE(a->asString("id"), QString("3"));
        a->close();
        QCOMPARE(m_db->scalar("SELECT Naziv FROM tblDorvZone WHERE IDZone = 'Z9'").toString(), QString("Kod O'Briena"));
        a->setText("DELETE FROM nowhere");
        QVERIFY_THROWS_EXCEPTION(DbError, a->execute());
    }

    void rollbackOnOneModuleLeavesTheOthersWork()
    {
        m_main->connMain->beginTransaction();
        m_main->qPersons->open();
        m_main->qPersons->insert();
        m_main->qPersons->setValue("ID", "P7");
        m_main->qPersons->setValue("IDSektora", "S1");
        m_main->qPersons->post();
        m_main->connMain->commit();

        m_gz->connMain->beginTransaction();
        m_gz->qAction->setText("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G7', 'x')");
        m_gz->qAction->execute();
        m_gz->connMain->rollback();

        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM Zaposleni WHERE IDZaposlenog = 'P7'").toInt(), 1);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM tblDorvGrupe WHERE IDGrupe = 'G7'").toInt(), 0);
        QVERIFY(!m_main->connMain->inTransaction());
    }

    void queriesAreFoundByName()
    {
        QCOMPARE(m_gz->query("qAction"), m_gz->qAction);
        QCOMPARE(m_main->connMain->objectName(), QString("connMain"));
        QVERIFY(m_main->connMain != m_gz->connMain);
        QVERIFY_THROWS_EXCEPTION(DbError, m_main->query("qAction"));
    }
};

QTEST_GUILESS_MAIN(TestDataModules)
#include "tst_datamodules.moc"
