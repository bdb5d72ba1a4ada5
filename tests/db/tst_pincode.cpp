#include "db/ConnectionString.h"
#include "db/PinCode.h"
#include "db/uDMGZ.h"
#include "tests/support/TempDatabase.h"

#include <QTest>

#include <memory>

// PINs and the PIN-bearing media IDs they give, on persons with none, one and two
// active media IDs; the look-up of a person by media ID.
class TestPinCode : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TdmGZ> m_gz;

    QString pinOf(const QString &person)
    {
        return m_db->scalar("SELECT PinKod FROM Zaposleni WHERE IDZaposlenog = '" + person + "'").toString();
    }
    QString pinBearing(const QString &mediaId)
    {
        return m_db->scalar("SELECT IDNoSaPinKodom FROM Zaposleni_IDMemorija WHERE IDNo = '" + mediaId + "'")
            .toString();
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        for (const char *sql : {
                 "INSERT INTO Sektor VALUES ('S1', 'Uprava', '', 'MB1', 1)",
                 "INSERT INTO Zaposleni VALUES ('P1', 'Perić', 'Ana', 'S1', NULL, 'OLD1'),"
                 " ('P2', 'Jović', 'Marko', 'S1', NULL, 'OLD2'), ('P3', 'Bez', 'Kljuca', 'S1', NULL, 'OLD3'),"
                 " ('O''Brien', 'O''Brien', 'Pat', 'S1', NULL, 'OLD4'), ('P5', 'Kratki', 'Kljuc', 'S1', NULL, 'OLD5')",
                 // P1 holds one active key; the key it had before went to P3 and is no
                 // longer P1's. P2 holds two.
                 "INSERT INTO Zaposleni_IDMemorija VALUES"
                 " ('A200000001B81C02', 'P1', '2020-01-01 08:00:00', 'OLDPB1'),"
                 " ('D400000004B81C02', 'P1', '2019-01-01 08:00:00', 'OLDPB4'),"
                 " ('D400000004B81C02', 'P3', '2020-06-01 08:00:00', 'OLDPB5'),"
                 " ('B100000002B81C02', 'P2', '2021-01-01 08:00:00', 'OLDPB2'),"
                 " ('C300000003B81C02', 'P2', '2021-01-01 08:00:00', 'OLDPB3'),"
                 " ('A2000001', 'P5', '2021-01-01 08:00:00', 'OLDPB6')",
             })
            m_db->exec(sql);
        m_gz = std::make_unique<TdmGZ>();
        m_gz->connectTo(ConnectionString::forSqliteFile(m_db->fileName()));
    }

    void cleanup()
    {
        m_gz.reset();
        m_db.reset();
    }

    void pinIsEmptyOrFourHexadecimalCharacters_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<int>("result");
        QTest::newRow("upper case") << "12AF" << 0;
        QTest::newRow("lower case") << "12af" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not hexadecimal") << "12G5" << 1;
        QTest::newRow("three") << "123" << 1;
        QTest::newRow("five") << "12345" << 1;
        QTest::newRow("sign") << "-123" << 1;
        QTest::newRow("space") << " 123" << 1;
        QTest::newRow("quote") << "12'3" << 1;
    }

    void pinIsEmptyOrFourHexadecimalCharacters()
    {
        QFETCH(QString, pin);
        QFETCH(int, result);
        // Validation alone touches nothing either way.
        QCOMPARE(SavePinCode(*m_gz, "P1", pin, false, false), result);
        QCOMPARE(pinOf("P1"), QString("OLD1"));
        QCOMPARE(SavePinCode(*m_gz, "P1", pin, true, true), result);
        QCOMPARE(pinOf("P1"), result == 0 ? pin : QString("OLD1"));
        QVERIFY(m_gz->connMain->isOpen());
        QVERIFY(!m_gz->connMain->inTransaction());
    }

    void flagsChooseWhatIsStored_data()
    {
        QTest::addColumn<bool>("savePin");
        QTest::addColumn<bool>("rebuild");
        QTest::addColumn<QString>("pinKod");
        QTest::addColumn<QString>("pinBearing");
        QTest::newRow("neither") << false << false << "OLD1" << "OLDPB1";
        QTest::newRow("PIN only") << true << false << "ab12" << "OLDPB1";
        QTest::newRow("both") << true << true << "ab12" << "50ab120001B81C02";
        QTest::newRow("media ID only") << false << true << "OLD1" << "50ab120001B81C02";
    }

    void flagsChooseWhatIsStored()
    {
        QFETCH(bool, savePin);
        QFETCH(bool, rebuild);
        QFETCH(QString, pinKod);
        QFETCH(QString, pinBearing);
        QCOMPARE(SavePinCode(*m_gz, "P1", "ab12", savePin, rebuild), 0);
        QCOMPARE(pinOf("P1"), pinKod);
        // Check byte in upper case, the PIN's letters as entered.
        QCOMPARE(this->pinBearing("A200000001B81C02"), pinBearing);
        // The key P1 held before is P3's now and keeps its value.
        QCOMPARE(m_db->scalar("SELECT IDNoSaPinKodom FROM Zaposleni_IDMemorija WHERE IDZaposlenog = 'P1'"
                              " AND IDNo = 'D400000004B81C02'").toString(), QString("OLDPB4"));
    }

    void emptyPinClearsPinAndTheOnePinBearingMediaID()
    {
        QCOMPARE(SavePinCode(*m_gz, "P1", "", true, true), 0);
        QCOMPARE(m_db->scalar("SELECT PinKod IS NOT NULL AND PinKod = '' FROM Zaposleni WHERE IDZaposlenog = 'P1'")
                     .toInt(), 1);
        QCOMPARE(pinBearing("A200000001B81C02"), QString(""));
    }

    void noneOrTwoActiveMediaIDsKeepTheirValues()
    {
        QCOMPARE(SavePinCode(*m_gz, "P2", "1234", true, true), 0);
        QCOMPARE(pinOf("P2"), QString("1234"));
        QCOMPARE(pinBearing("B100000002B81C02"), QString("OLDPB2"));
        QCOMPARE(pinBearing("C300000003B81C02"), QString("OLDPB3"));
        QCOMPARE(SavePinCode(*m_gz, "Nobody", "1234", false, true), 0);
    }

    void quotedIdentifiersWork()
    {
        QCOMPARE(SavePinCode(*m_gz, "O'Brien", "12AF", true, false), 0);
        QCOMPARE(pinOf("O''Brien"), QString("12AF"));
        QCOMPARE(pinOf("P1"), QString("OLD1"));
    }

    void failureRollsBackTheWholeChange_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("sabotage");
        // The PIN is stored first, then the PIN-bearing form fails.
        QTest::newRow("media ID too short") << "P5" << "";
        QTest::newRow("database refuses") << "P1"
                                          << "CREATE TRIGGER refuse BEFORE UPDATE ON Zaposleni_IDMemorija"
                                             " BEGIN SELECT RAISE(ABORT, 'refused'); END";
    }

    void failureRollsBackTheWholeChange()
    {
        QFETCH(QString, person);
        QFETCH(QString, sabotage);
        if (!sabotage.isEmpty())
            m_db->exec(sabotage);
        const QString before = pinOf(person);
        QCOMPARE(SavePinCode(*m_gz, person, "1234", true, true), 2);
        QCOMPARE(pinOf(person), before);
        QVERIFY(!m_gz->connMain->inTransaction());
        // The connection is usable again.
        QCOMPARE(SavePinCode(*m_gz, "P2", "4321", true, false), 0);
        QCOMPARE(pinOf("P2"), QString("4321"));
    }

    void personByActiveMediaID_data()
    {
        QTest::addColumn<QString>("mediaId");
        QTest::addColumn<QString>("person");
        QTest::newRow("active") << "A200000001B81C02" << "P1 Perić Ana";
        QTest::newRow("other case") << "a200000001b81c02" << "P1 Perić Ana";
        QTest::newRow("passed on to another") << "D400000004B81C02" << "P3 Bez Kljuca";
        QTest::newRow("unknown") << "FFFFFFFFFFFFFFFF" << "";
    }

    void personByActiveMediaID()
    {
        QFETCH(QString, mediaId);
        QFETCH(QString, person);
        QCOMPARE(FindPersonByMediaID(*m_gz, mediaId), person);
    }

    void personLookUpErrorGivesEmptyText()
    {
        m_db->exec("DROP VIEW viewDorvPodaciZaTerminale");
        m_db->exec("DROP VIEW viewMediaIDActive");
        QCOMPARE(FindPersonByMediaID(*m_gz, "A200000001B81C02"), QString());
    }
};

QTEST_GUILESS_MAIN(TestPinCode)
#include "tst_pincode.moc"
