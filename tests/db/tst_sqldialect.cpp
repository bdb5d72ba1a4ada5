#include "db/SqlDialect.h"
#include "tests/support/TempDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

class TestSqlDialect : public QObject
{
    Q_OBJECT

private:
    static QVariant run(TempDatabase &tdb, const QString &tsql)
    {
        QSqlQuery q(tdb.db());
        const QString sql = SqlDialect(SqlDialect::Sqlite).adapt(tsql);
        if (!q.exec(sql))
            qWarning() << sql << q.lastError().text();
        return q.next() ? q.value(0) : QVariant();
    }

private slots:
    void sqlServerRunsTheTextUnchanged()
    {
        const QString tsql = QStringLiteral("SELECT Prezime + ' ' + Ime, CONVERT(VARCHAR(5), Od, 108) FROM x");
        QCOMPARE(SqlDialect(SqlDialect::SqlServer).adapt(tsql), tsql);
    }

    void sqliteRewrites_data()
    {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("concatenation") << "SELECT Prezime + ' ' + Ime Naziv FROM Zaposleni Z"
                                       << "SELECT Prezime || ' ' || Ime Naziv FROM Zaposleni Z";
        QTest::newRow("qualified names") << "SELECT Z.IDZaposlenog+' '+Z.Prezime"
                                         << "SELECT Z.IDZaposlenog||' '||Z.Prezime";
        QTest::newRow("arithmetic stays") << "SELECT Max(ID) + 1, a + b FROM t" << "SELECT Max(ID) + 1, a + b FROM t";
        QTest::newRow("plus inside a literal") << "SELECT 'a + b', x FROM t" << "SELECT 'a + b', x FROM t";
        QTest::newRow("doubled apostrophe") << "SELECT 'O''Brien' + Ime" << "SELECT 'O''Brien' || Ime";
        QTest::newRow("time of day") << "SELECT CONVERT(VARCHAR(5), Od, 108 ) 'From'"
                                     << "SELECT strftime('%H:%M', Od) 'From'";
        QTest::newRow("procedure") << "EXEC upispodatakautblDorvPodaciZaTerminale :idkontrolera"
                                   << "SELECT IDNo, status FROM viewDorvPodaciZaTerminale WHERE idkontrolera = "
                                      ":idkontrolera ORDER BY status, IDNo";
    }

    void sqliteRewrites()
    {
        QFETCH(QString, tsql);
        QFETCH(QString, sqlite);
        QCOMPARE(SqlDialect(SqlDialect::Sqlite).adapt(tsql), sqlite);
    }

    void concatenationRunsOnSqlite()
    {
        TempDatabase tdb;
        tdb.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime) VALUES ('P1', 'Perić', 'Ana')");
        tdb.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime) VALUES ('P2', 'Bez', NULL)");
        QCOMPARE(run(tdb, "SELECT Prezime + ' ' + Ime FROM Zaposleni WHERE IDZaposlenog = 'P1'").toString(),
                 QString("Perić Ana"));
        // As on SQL Server: a null operand makes the whole text null.
        QVERIFY(run(tdb, "SELECT Prezime + ' ' + Ime FROM Zaposleni WHERE IDZaposlenog = 'P2'").isNull());
        const SqlDialect sqlite(SqlDialect::Sqlite);
        QCOMPARE(run(tdb, "SELECT " + sqlite.concat({"IDZaposlenog", "' '", "Prezime"})
                              + " FROM Zaposleni WHERE IDZaposlenog = 'P1'")
                     .toString(),
                 QString("P1 Perić"));
        QCOMPARE(SqlDialect(SqlDialect::SqlServer).concat({"IDZaposlenog", "' '", "Prezime"}),
                 QString("IDZaposlenog + ' ' + Prezime"));
    }

    void timeOfDayRunsOnSqlite_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("hh:mm as written") << "08:30";
        QTest::newRow("date and time") << "1899-12-30 08:30:00";
        QTest::newRow("ISO with T") << "1899-12-30T08:30:00";
    }

    void timeOfDayRunsOnSqlite()
    {
        QFETCH(QString, stored);
        TempDatabase tdb;
        tdb.exec("INSERT INTO tblDorvVremenskiIntervali (IDIntervala, Od, Do, OdOffset, DoOffset) VALUES ('1', '"
                 + stored + "', '17:05', 0, 0)");
        QCOMPARE(run(tdb, "SELECT CONVERT(VARCHAR(5), Od, 108 ) 'From' FROM tblDorvVremenskiIntervali").toString(),
                 QString("08:30"));
    }

    void procedureRunsOnSqliteWithItsParameter()
    {
        TempDatabase tdb;
        tdb.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S', 'S')");
        tdb.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('P1', 'A', 'B', 'S')");
        tdb.exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja, IDNoSaPinKodom) "
                 "VALUES ('A200000001B81C02', 'P1', '2020-01-01 00:00:00', '')");
        tdb.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('Z1', 'Ulaz')");
        tdb.exec("INSERT INTO tblDorvOsobe_Zone VALUES (1, 'P1', 'Z1', 1, 0)");
        tdb.exec("INSERT INTO tblDorvTackePristupa VALUES ('T1', 'Vrata')");
        tdb.exec("INSERT INTO tblDorvZone_TackePristupa VALUES (1, 'Z1', 'T1', 1)");
        tdb.exec("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                 "VALUES (7, '5', '1', 2)");
        tdb.exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (7, 'T1')");
        for (const QString id : {"5", "6"}) {
            QSqlQuery q(tdb.db());
            QVERIFY(q.prepare(SqlDialect(SqlDialect::Sqlite).adapt(SqlDialect::controllerDataCall())));
            q.bindValue(":idkontrolera", id);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
            QStringList rows;
            while (q.next())
                rows << q.value("IDNo").toString() + "/" + q.value("status").toString();
            QCOMPARE(rows, id == "5" ? QStringList{"A200000001B81C02/2"} : QStringList{});
        }
    }
};

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
