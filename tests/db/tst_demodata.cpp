#include "db/schema/DemoData.h"
#include "base/iButton.h"
#include "tests/support/TempDatabase.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestDemoData : public QObject
{
    Q_OBJECT

private slots:
    void demoContentsAreConsistent()
    {
        TempDatabase db;
        DemoData::fill(db.db(), DemoOptions{120, true});

        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Zaposleni").toInt(), 120);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Zaposleni WHERE Fotografija IS NULL").toInt(), 0);
        QVERIFY(db.scalar("SELECT Fotografija FROM Zaposleni LIMIT 1").toByteArray().startsWith("\xFF\xD8"));
        // Every person is listed: the department exists.
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Zaposleni z JOIN Sektor s ON s.IDSektora = z.IDSektora").toInt(), 120);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Sektor c LEFT JOIN Sektor p ON p.IDSektora = c.Nadredjeni "
                           "WHERE c.Nadredjeni <> '' AND p.IDSektora IS NULL").toInt(), 0);
        QVERIFY(db.scalar("SELECT COUNT(*) FROM Sektor WHERE Nadredjeni <> ''").toInt() > 0);

        // Media IDs carry correct check bytes; PIN-bearing forms match their PIN.
        for (const QString &row : db.rows("SELECT m.IDNo, m.IDNoSaPinKodom, z.PinKod FROM Zaposleni_IDMemorija m "
                                          "JOIN Zaposleni z ON z.IDZaposlenog = m.IDZaposlenog")) {
            const QStringList f = row.split('|');
            QCOMPARE(f[0].size(), 16);
            QCOMPARE(f[0].left(2), QString::asprintf("%.2X", MediaIDCRC(f[0])));
            if (f[2].isEmpty()) {
                QVERIFY(f[1].isEmpty());
            } else {
                QVERIFY(QRegularExpression("^[0-9A-F]{4}$").match(f[2]).hasMatch());
                QCOMPARE(f[1], PinBearingMediaID(f[0], f[2]));
            }
        }
        QVERIFY(db.scalar("SELECT COUNT(*) FROM Zaposleni WHERE PinKod <> ''").toInt() > 0);
        QVERIFY(db.scalar("SELECT COUNT(*) FROM viewMediaIDHist WHERE VaziDo IS NOT NULL").toInt() > 0);

        // Controllers of every model, with the contacts their model gets.
        QCOMPARE(db.rows("SELECT c.Tip, group_concat(k.RBTouchKontakta || ':' || k.MerodavnaTabela) "
                         "FROM tblDorvKontroleri c LEFT JOIN tblDorvKontakti k ON k.idkontrolera = c.IDKontrolera "
                         "GROUP BY c.IDKontrolera ORDER BY c.IDKontrolera"),
                 QStringList({"TK71 2.1|1:1,2:1", "TK71|1:1,2:1", "TK71D|1:1,2:2", "TK96|"}));
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM tblDorvKontakti k LEFT JOIN tblDorvKontaktiKontrolera_TackePristupa t "
                           "ON t.IDKontakta = k.IDKontakta WHERE t.IDTackePristupa IS NULL").toInt(), 0);
        QCOMPARE(db.rows("SELECT DISTINCT UkljucenIPinKod FROM (SELECT UkljucenIPinKod FROM tblDorvOsobe_Zone "
                         "UNION SELECT UkljucenIPinKod FROM tblDorvGrupe_Zone) ORDER BY 1"),
                 QStringList({"0", "1", "2"}));
        QCOMPARE(db.rows("SELECT Od, Do FROM tblDorvVremenskiIntervali WHERE IDIntervala = '1'"), QStringList({"00:00|23:59"}));
        // The TK71D's second contact fills the second table.
        QVERIFY(db.scalar("SELECT COUNT(*) FROM viewDorvPodaciZaTerminale WHERE idkontrolera = '3' AND status = 2").toInt() > 0);
        QVERIFY(db.scalar("SELECT COUNT(*) FROM viewDorvPodaciZaTerminale WHERE idkontrolera = '1'").toInt() > 0);
    }

    void theToolCreatesRefusesAndPrints()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("demo.sqlite");
        auto run = [](const QStringList &args, QByteArray *out = nullptr) {
            QProcess p;
            p.start(QStringLiteral(DORVALEN_DB_TOOL), args);
            p.waitForFinished(60000);
            if (out)
                *out = p.readAllStandardOutput() + p.readAllStandardError();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QByteArray out;
        QCOMPARE(run({"create", file, "--demo", "--persons", "30"}), 0);
        QCOMPARE(run({"create", file}, &out), 1);
        QVERIFY2(out.contains("already exists"), out.constData());
        QCOMPARE(run({"create", file, "--force"}), 0);
        QCOMPARE(run({"create", file, "--demo", "--persons", "abc", "--force"}), 2);
        QCOMPARE(run({"mssql-script"}, &out), 0);
        QVERIFY(out.contains("CREATE PROCEDURE upispodatakautblDorvPodaciZaTerminale"));
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
