#include "db/LinkNumbering.h"
#include "db/Schema.h"
#include "db/SqlText.h"
#include "tests/support/TempDatabase.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

// The objects the program reads and writes, with the columns it relies on.
const QMap<QString, QStringList> &requiredObjects()
{
    static const QMap<QString, QStringList> objects = {
        {"Zaposleni", {"IDZaposlenog", "Prezime", "Ime", "IDSektora", "Fotografija", "PinKod"}},
        {"Sektor", {"IDSektora", "NazivSektora", "Nadredjeni", "MaticniBrojFirme", "SekIzabran"}},
        {"Zaposleni_IDMemorija", {"IDNo", "IDZaposlenog", "DatumDodeljivanja", "IDNoSaPinKodom"}},
        {"tblDorvGrupe", {"IDGrupe", "Naziv"}},
        {"tblDorvZone", {"IDZone", "Naziv"}},
        {"tblDorvOsobe_Grupe", {"ID", "IDZaposlenog", "IDGrupe", "Status"}},
        {"tblDorvOsobe_Zone", {"ID", "IDZaposlenog", "IDZone", "IDVremenskogintervala", "UkljucenIPinKod"}},
        {"tblDorvGrupe_Zone", {"ID", "IDGrupe", "IDZone", "IDVremenskogintervala", "UkljucenIPinKod"}},
        {"tblDorvTackePristupa", {"IDTackePristupa", "Naziv"}},
        {"tblDorvZone_TackePristupa", {"id", "IDZone", "IDTackePristupa", "Status"}},
        {"tblDorvVremenskiIntervali", {"IDIntervala", "Od", "Do", "OdOffset", "DoOffset"}},
        {"tblDorvKontroleri", {"IDKontrolera", "Naziv", "Tip", "TipKonekcije", "Kompjuter", "ComPort"}},
        {"tblDorvKontakti", {"IDKontakta", "idkontrolera", "RBTouchKontakta", "MerodavnaTabela"}},
        {"tblDorvKontaktiKontrolera_TackePristupa", {"IDKontakta", "IDTackePristupa"}},
        {"viewMediaIDHist", {"IDZaposlenog", "Prezime", "Ime", "IDSektora", "NazivSektora", "IDNo", "VaziOd", "VaziDo"}},
        {"viewMediaIDActive", {"IDNo", "IDZaposlenog", "Prezime", "Ime"}},
        {"viewDorvKontroleri_tackePristupa",
         {"IDKontakta", "idkontrolera", "RBTouchKontakta", "IDTackePristupa", "Naziv", "Status", "Expr1", "Expr2", "Expr3"}},
        {"viewDorvPodaciZaTerminale", {"idkontrolera", "IDNo", "status"}},
    };
    return objects;
}

struct ScriptObject
{
    QString kind;
    QStringList columns;
};

// Tables, views, indexes and procedures a script defines, with their columns as written.
QMap<QString, ScriptObject> parseScript(const QStringList &statements)
{
    static const QRegularExpression table(QStringLiteral("^CREATE TABLE (\\w+) \\((.*)\\)$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression view(QStringLiteral("^CREATE VIEW (\\w+) \\(([^)]*)\\) AS"));
    static const QRegularExpression index(QStringLiteral("^CREATE (?:UNIQUE )?INDEX (\\w+) ON (\\w+) \\(([^)]*)\\)"));
    static const QRegularExpression procedure(QStringLiteral("^CREATE PROCEDURE (\\w+)"));
    QMap<QString, ScriptObject> objects;
    for (const QString &statement : statements) {
        // One batch may hold several index statements.
        for (const QString &part : statement.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            QString s = part;
            s.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
            s = s.trimmed();
            QRegularExpressionMatch m;
            if ((m = table.match(s)).hasMatch()) {
                QStringList columns;
                for (const QString &line : m.captured(2).split(QLatin1Char('\n'))) {
                    const QString word = line.trimmed().section(QLatin1Char(' '), 0, 0);
                    if (!word.isEmpty() && word != QLatin1String("PRIMARY"))
                        columns.append(word);
                }
                objects.insert(m.captured(1), {QStringLiteral("table"), columns});
            } else if ((m = view.match(s)).hasMatch()) {
                objects.insert(m.captured(1), {QStringLiteral("view"),
                                               m.captured(2).remove(QLatin1Char(' ')).split(QLatin1Char(','))});
            } else if ((m = index.match(s)).hasMatch()) {
                objects.insert(m.captured(1), {QStringLiteral("index on ") + m.captured(2),
                                               m.captured(3).remove(QLatin1Char(' ')).split(QLatin1Char(','))});
            } else if ((m = procedure.match(s)).hasMatch()) {
                objects.insert(m.captured(1), {QStringLiteral("procedure"), {}});
            } else if (s.startsWith(QLatin1String("CREATE"))) {
                QTest::qFail(qPrintable(QStringLiteral("unrecognised statement: ") + s.left(60)), __FILE__, __LINE__);
            }
        }
    }
    return objects;
}

// Fixture for the access-list view: controller 7 is a TK71D whose contact 1 reads table 1
// and contact 2 table 2; contact 1 opens zone Z1, contact 2 zone Z2.
void fillAccessFixture(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
    db.exec("INSERT INTO tblDorvKontroleri (IDKontrolera, Naziv, Tip) VALUES ('7', 'Magacin', 'TK71D')");
    db.exec("INSERT INTO tblDorvKontakti (idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES ('7', '1', 1)");
    db.exec("INSERT INTO tblDorvKontakti (idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES ('7', '2', 2)");
    db.exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES ('A1', 'Ulaz'), ('A2', 'Rampa')");
    db.exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa (IDKontakta, IDTackePristupa) VALUES ('1', 'A1'), ('2', 'A2')");
    db.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('Z1', 'Hala'), ('Z2', 'Magacin'), ('Z3', 'Krov')");
    db.exec("INSERT INTO tblDorvZone_TackePristupa (id, IDZone, IDTackePristupa, Status) VALUES (1, 'Z1', 'A1', 1), (2, 'Z2', 'A2', 1)");
    db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G', 'Magacioneri')");

    // P1: mode 0 to Z1 directly and again through group G (one row only), mode 1 to Z2 through G.
    // P2: mode 1 to Z1 but without a PIN-bearing form: nothing. P3: mode 2 to Z2.
    // P4: linked to Z1 but holds no active media ID. P5: only a zone no access point opens.
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES "
            "('P1', 'Ilić', 'Ana', 'S1'), ('P2', 'Lazić', 'Bora', 'S1'), ('P3', 'Simić', 'Ceca', 'S1'), "
            "('P4', 'Tomić', 'Dejan', 'S1'), ('P5', 'Vasić', 'Eva', 'S1'), ('P6', 'Rot', 'Fred', 'S1')");
    db.exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja, IDNoSaPinKodom) VALUES "
            "('1100000000000101', 'P1', '2020-01-01 08:00:00', 'AA12340000000101'), "
            "('2200000000000201', 'P2', '2020-01-01 08:00:00', ''), "
            "('3300000000000301', 'P3', '2020-01-01 08:00:00', 'CCABCD0000000301'), "
            "('4400000000000401', 'P4', '2020-01-01 08:00:00', ''), "
            "('4400000000000401', 'P6', '2021-01-01 08:00:00', ''), "
            "('5500000000000501', 'P5', '2020-01-01 08:00:00', '')");
    db.exec("INSERT INTO tblDorvOsobe_Zone (ID, IDZaposlenog, IDZone, IDVremenskogintervala, UkljucenIPinKod) VALUES "
            "(1, 'P1', 'Z1', 1, 0), (2, 'P2', 'Z1', 1, 1), (3, 'P3', 'Z2', 1, 2), (4, 'P4', 'Z1', 1, 0), (5, 'P5', 'Z3', 1, 0)");
    db.exec("INSERT INTO tblDorvOsobe_Grupe (ID, IDZaposlenog, IDGrupe, Status) VALUES (1, 'P1', 'G', 1)");
    db.exec("INSERT INTO tblDorvGrupe_Zone (ID, IDGrupe, IDZone, IDVremenskogintervala, UkljucenIPinKod) VALUES "
            "(1, 'G', 'Z1', 1, 0), (2, 'G', 'Z2', 1, 1)");
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void everyObjectHasItsColumns()
    {
        TempDatabase db;
        const QStringList tables = db.db().tables(QSql::AllTables);
        for (auto it = requiredObjects().cbegin(); it != requiredObjects().cend(); ++it) {
            QVERIFY2(tables.contains(it.key()), qPrintable(it.key()));
            const QSqlRecord record = db.db().record(it.key());
            for (const QString &column : it.value())
                QVERIFY2(record.contains(column), qPrintable(it.key() + "." + column));
        }
    }

    void rowsInsertWithOnlyTheDescribedColumns()
    {
        TempDatabase db;
        for (auto it = requiredObjects().cbegin(); it != requiredObjects().cend(); ++it) {
            if (!it.key().startsWith("tbl") && it.key() != "Zaposleni" && it.key() != "Sektor"
                && it.key() != "Zaposleni_IDMemorija")
                continue;
            QStringList columns = it.value();
            if (it.key() == "tblDorvKontakti")
                columns.removeAll("IDKontakta"); // assigned by the database
            QStringList values;
            for (int i = 0; i < columns.size(); ++i)
                values.append(QStringLiteral("'1'"));
            db.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(it.key(), columns.join(", "), values.join(", ")));
        }
        // The identity key comes from the database, one after another.
        db.exec("INSERT INTO tblDorvKontakti (idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES ('1', '2', 1)");
        QCOMPARE(db.rows("SELECT IDKontakta FROM tblDorvKontakti ORDER BY IDKontakta"), QStringList({"1", "2"}));
    }

    void duplicateKeysAreRejected_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::newRow("person") << "INSERT INTO Zaposleni (IDZaposlenog) VALUES ('%1')";
        QTest::newRow("group") << "INSERT INTO tblDorvGrupe (IDGrupe) VALUES ('%1')";
        QTest::newRow("zone") << "INSERT INTO tblDorvZone (IDZone) VALUES ('%1')";
        QTest::newRow("controller") << "INSERT INTO tblDorvKontroleri (IDKontrolera) VALUES ('%1')";
        QTest::newRow("link") << "INSERT INTO tblDorvOsobe_Zone (ID) VALUES (%1)";
    }

    void duplicateKeysAreRejected()
    {
        QFETCH(QString, insert);
        TempDatabase db;
        db.exec(insert.arg("1"));
        QSqlQuery query(db.db());
        QVERIFY(!query.exec(insert.arg("1")));
    }

    void textComparesWithoutCaseAndApostrophesSurviveQuoting()
    {
        TempDatabase db;
        const QString surname = QStringLiteral("O'Brien");
        db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('s1', 'Uprava')");
        db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('ab12', "
                + SqlText::quoted(surname) + ", 'Šćepan', 's1')");
        QCOMPARE(db.scalar("SELECT Prezime FROM Zaposleni WHERE Prezime = " + SqlText::quoted("o'brien")).toString(), surname);
        QCOMPARE(db.scalar("SELECT Ime FROM Zaposleni WHERE IDZaposlenog = 'AB12'").toString(), QStringLiteral("Šćepan"));
        // Joins on differently spelled IDs still meet.
        QCOMPARE(db.scalar("SELECT s.NazivSektora FROM Zaposleni z JOIN Sektor s ON s.IDSektora = z.IDSektora").toString(),
                 QStringLiteral("Uprava"));
        // A duplicate that differs only in case is still a duplicate.
        QSqlQuery query(db.db());
        QVERIFY(!query.exec("INSERT INTO Zaposleni (IDZaposlenog) VALUES ('AB12')"));
        QCOMPARE(SqlText::escaped("a''b'"), QStringLiteral("a''''b''"));
    }

    void linkNumbering()
    {
        TempDatabase db;
        LinkNumbering empty = LinkNumbering::start(db.db(), "tblDorvOsobe_Zone");
        QCOMPARE(empty.next(), 1);
        QCOMPARE(empty.next(), 2);

        db.exec("INSERT INTO tblDorvOsobe_Zone (ID) VALUES (3), (41), (17)");
        LinkNumbering batch = LinkNumbering::start(db.db(), "tblDorvOsobe_Zone");
        QCOMPARE(batch.next(), 42);
        QCOMPARE(batch.next(), 43);
        QCOMPARE(batch.next(), 44);

        db.exec("INSERT INTO tblDorvZone_TackePristupa (id) VALUES (9)");
        QCOMPARE(LinkNumbering::start(db.db(), "tblDorvZone_TackePristupa").next(), 10);
        QCOMPARE(LinkNumbering::maxIdStatement("tblDorvZone_TackePristupa"),
                 QStringLiteral("SELECT Max(id) AS 'id' FROM tblDorvZone_TackePristupa"));
        QCOMPARE(LinkNumbering::maxIdStatement("tblDorvOsobe_Grupe"), QStringLiteral("SELECT Max(ID) AS 'id' FROM tblDorvOsobe_Grupe"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, LinkNumbering::start(db.db(), "NoSuchTable"));
    }

    void accessListOfAController()
    {
        TempDatabase db;
        fillAccessFixture(db);
        const QStringList rows = db.rows(
            "SELECT IDNo, status FROM viewDorvPodaciZaTerminale WHERE idkontrolera = '7' ORDER BY status, IDNo");
        QCOMPARE(rows, QStringList({
                           "1100000000000101|1", // P1 directly and through G: once
                           "3300000000000301|2", // P3 mode 2: both forms
                           "AA12340000000101|2", // P1 through G, mode 1: the PIN-bearing form
                           "CCABCD0000000301|2",
                       }));
        QCOMPARE(db.rows("SELECT IDNo FROM viewDorvPodaciZaTerminale WHERE idkontrolera = '8'"), QStringList());
    }

    void mediaIdHistoryAndActiveKeys()
    {
        TempDatabase db;
        db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Uprava')");
        db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES "
                "('A', 'Prvi', 'Ana', 'S1'), ('B', 'Drugi', 'Bora', 'S1')");
        // A's key K1 goes to B in 2022; A holds K2 and K3 at once; K4 is for the future.
        db.exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja) VALUES "
                "('K1', 'A', '2020-05-01 08:00:00'), ('K1', 'B', '2022-02-01T09:30:00'), "
                "('K2', 'A', '2021-01-01 00:00:00'), ('K3', 'A', '2023-01-01 00:00:00'), "
                "('K4', 'B', '2999-01-01 00:00:00')");
        QCOMPARE(db.rows("SELECT IDZaposlenog, IDNo, VaziOd, VaziDo, NazivSektora FROM viewMediaIDHist "
                         "WHERE IDNo = 'K1' ORDER BY VaziOd"),
                 QStringList({"A|K1|2020-05-01 08:00:00|2022-02-01T09:30:00|Uprava",
                              "B|K1|2022-02-01T09:30:00||Uprava"}));
        QCOMPARE(db.rows("SELECT IDZaposlenog, IDNo, Prezime, Ime FROM viewMediaIDActive ORDER BY IDZaposlenog, IDNo"),
                 QStringList({"A|K2|Prvi|Ana", "A|K3|Prvi|Ana", "B|K1|Drugi|Bora"}));
    }

    void contactsViewShowsUnlinkedContacts()
    {
        TempDatabase db;
        db.exec("INSERT INTO tblDorvKontakti (idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES ('3', '1', 1), ('3', '2', 2)");
        db.exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES ('A1', 'Ulaz')");
        db.exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa (IDKontakta, IDTackePristupa) VALUES ('2', 'A1')");
        QCOMPARE(db.rows("SELECT IDKontakta, RBTouchKontakta, IDTackePristupa, Naziv FROM viewDorvKontroleri_tackePristupa "
                         "WHERE IDKontrolera = '3' ORDER BY IDKontakta"),
                 QStringList({"1|1||", "2|2|A1|Ulaz"}));
    }

    void bothScriptsDefineTheSameObjects()
    {
        const QMap<QString, ScriptObject> lite = parseScript(Schema::sqliteStatements(Schema::sqliteScript()));
        QMap<QString, ScriptObject> server = parseScript(Schema::mssqlBatches(Schema::mssqlScript()));
        QCOMPARE(server.value("upispodatakautblDorvPodaciZaTerminale").kind, QStringLiteral("procedure"));
        server.remove("upispodatakautblDorvPodaciZaTerminale");
        QCOMPARE(lite.keys(), server.keys());
        for (auto it = lite.cbegin(); it != lite.cend(); ++it) {
            QCOMPARE(it.value().kind, server.value(it.key()).kind);
            QCOMPARE(it.value().columns, server.value(it.key()).columns);
        }
        for (auto it = requiredObjects().cbegin(); it != requiredObjects().cend(); ++it)
            QVERIFY2(lite.contains(it.key()), qPrintable(it.key()));
        // The procedure reads the same view the embedded database queries.
        QVERIFY(Schema::mssqlScript().contains("FROM viewDorvPodaciZaTerminale\n    WHERE idkontrolera = @idkontrolera\n    ORDER BY status, IDNo"));
    }

    void statementSplittingRespectsQuotesAndComments()
    {
        QCOMPARE(Schema::sqliteStatements("-- a; comment\nSELECT 'x;y';\n  SELECT 2 ; "),
                 QStringList({"SELECT 'x;y'", "SELECT 2"}));
        QCOMPARE(Schema::mssqlBatches("-- only a comment\nGO\nCREATE TABLE t (a INT);\ngo\nSELECT 1\n"),
                 QStringList({"CREATE TABLE t (a INT);", "SELECT 1"}));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
