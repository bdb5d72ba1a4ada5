#include "controllers/ControllerRecords.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "tests/controllers/ControllerFixtures.h"
#include "tests/support/TempDatabase.h"

#include <QTest>

#include <memory>

// The writes of the catalogue at the data level: the entry check, the contacts a save
// gives each model, the links that survive a save, and the all-or-nothing failures.
class TestControllerRecords : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TdmGZ> m_gz;

    NamedQuery &controllers() { return *m_gz->qControllers; }

    void setEntry(const ControllerEntry &e)
    {
        controllers().setValue("IDKontrolera", e.id);
        controllers().setValue("Naziv", e.name);
        controllers().setValue("Tip", e.type);
        controllers().setValue("Kompjuter", e.computer);
        controllers().setValue("ComPort", e.comPort);
    }

    void addController(const ControllerEntry &e)
    {
        controllers().open();
        controllers().insert();
        setEntry(e);
        SaveController(*m_gz, QString());
    }

    // Edits the stored controller previousId: only the fields given change.
    void editController(const QString &previousId, const QString &newId, const QString &type)
    {
        controllers().open();
        for (controllers().first(); controllers().asString("IDKontrolera") != previousId;)
            controllers().next();
        controllers().edit();
        controllers().setValue("IDKontrolera", newId);
        controllers().setValue("Tip", type);
        SaveController(*m_gz, previousId);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        fillControllers(*m_db);
        m_gz = std::make_unique<TdmGZ>();
        m_gz->connectTo("Provider=SQLite;Data Source=" + m_db->fileName());
    }

    void cleanup()
    {
        m_gz.reset();
        m_db.reset();
    }

    void entryCheck_data()
    {
        QTest::addColumn<QStringList>("fields"); // ID, Naziv, Tip, Računar, COM port
        QTest::addColumn<QString>("problem");
        const QStringList good{"7", "Ulaz", "TK71D", "PC1", "COM1"};
        auto with = [&](int field, const QString &value) {
            QStringList f = good;
            f[field] = value;
            return f;
        };
        QTest::newRow("complete") << good << "";
        QTest::newRow("name of blanks counts as filled") << with(1, "   ") << "";
        QTest::newRow("two-digit port, any case") << with(4, "com12") << "";
        QTest::newRow("ten-digit ID within range") << with(0, "2147483647") << "";
        const char *names[] = {"ID", "Naziv", "Tip", "Računar", "COM port"};
        for (int field = 0; field < 5; ++field)
            QTest::newRow(QByteArray("empty ") + names[field]) << with(field, "") << FieldsMissingText;
        // An empty field is reported before a malformed one.
        QTest::newRow("empty computer, bad ID") << QStringList{"x", "Ulaz", "TK71", "", "COM1"} << FieldsMissingText;
        QTest::newRow("ID with letters") << with(0, "7a") << IdNotNumberText;
        QTest::newRow("ID with a sign") << with(0, "-7") << IdNotNumberText;
        QTest::newRow("ID with a blank") << with(0, "7 ") << IdNotNumberText;
        QTest::newRow("ID beyond the frames' number") << with(0, "2147483648") << IdNotNumberText;
        QTest::newRow("port without number") << with(4, "COM") << ComPortInvalidText;
        QTest::newRow("port of three digits") << with(4, "COM123") << ComPortInvalidText;
        QTest::newRow("other port") << with(4, "LPT1") << ComPortInvalidText;
        QTest::newRow("port with a blank") << with(4, "COM1 ") << ComPortInvalidText;
    }

    void entryCheck()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, problem);
        QCOMPARE(controllerEntryProblem({fields[0], fields[1], fields[2], fields[3], fields[4]}), problem);
    }

    void newControllerGetsTheContactsOfItsModel_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("contacts");
        QTest::newRow("TK71D") << "TK71D" << QStringList{"1|1|", "2|2|"};
        QTest::newRow("TK71") << "TK71" << QStringList{"1|1|", "2|1|"};
        QTest::newRow("TK71 2.1") << "TK71 2.1" << QStringList{"1|1|", "2|1|"};
        QTest::newRow("TK96") << "TK96" << QStringList{};
        QTest::newRow("TK97") << "TK97" << QStringList{};
        QTest::newRow("names compare exactly") << "tk71d" << QStringList{};
    }

    void newControllerGetsTheContactsOfItsModel()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, contacts);
        addController({"7", "Novi", type, "PC3", "COM4"});
        QCOMPARE(m_db->rows("SELECT IDKontrolera, Naziv, Tip, Kompjuter, ComPort FROM tblDorvKontroleri "
                            "WHERE IDKontrolera = '7'"),
                 QStringList{"7|Novi|" + type + "|PC3|COM4"});
        QCOMPARE(contactsOf(*m_db, "7"), contacts);
        QVERIFY(!m_gz->connMain->inTransaction());
        QVERIFY(!m_gz->qControllersDet->isActive());
    }

    void newControllerDoesNotInheritContactsLeftUnderItsID()
    {
        // Left behind by an older program that deleted controllers alone.
        m_db->exec("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                   "VALUES (30, '7', '1', 1)");
        m_db->exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (30, 'AP4')");
        addController({"7", "Novi", "TK71", "PC3", "COM4"});
        QCOMPARE(contactsOf(*m_db, "7"), QStringList({"1|1|", "2|1|"}));
        QCOMPARE(orphanLinks(*m_db), 0);
    }

    void editRecreatesContactsAndKeepsTheirLinks_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("contacts");
        QTest::newRow("unchanged TK71") << "TK71" << QStringList{"1|1|AP1", "2|1|AP2"};
        QTest::newRow("to TK71D: contact 2 on table 2") << "TK71D" << QStringList{"1|1|AP1", "2|2|AP2"};
        QTest::newRow("to TK96: no contacts, no links") << "TK96" << QStringList{};
    }

    void editRecreatesContactsAndKeepsTheirLinks()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, contacts);
        const QStringList otherBefore = contactsOf(*m_db, "9");
        editController("5", "5", type);
        QCOMPARE(contactsOf(*m_db, "5"), contacts);
        // New rows, with keys of their own.
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM tblDorvKontakti WHERE IDKontakta IN (10, 11)").toInt(), 0);
        QCOMPARE(orphanLinks(*m_db), 0);
        QCOMPARE(contactsOf(*m_db, "9"), otherBefore);
        // Untouched columns keep their values.
        QCOMPARE(m_db->scalar("SELECT TipKonekcije FROM tblDorvKontroleri WHERE IDKontrolera = '5'").toString(),
                 QStringLiteral("serijska"));
    }

    void idChangeMovesContactsAndLinks()
    {
        m_db->exec("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                   "VALUES (30, '6', '1', 1)");
        m_db->exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (30, 'AP4')");
        editController("5", "6", "TK71");
        QCOMPARE(m_db->rows("SELECT IDKontrolera FROM tblDorvKontroleri ORDER BY IDKontrolera"),
                 QStringList({"11", "6", "9"}));
        QCOMPARE(contactsOf(*m_db, "5"), QStringList());
        QCOMPARE(contactsOf(*m_db, "6"), QStringList({"1|1|AP1", "2|1|AP2"}));
        QCOMPARE(orphanLinks(*m_db), 0);
    }

    void failedSaveLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("fault");   // statement that sets the fault up
        QTest::addColumn<QString>("previous"); // controller edited, empty for a new one
        QTest::addColumn<QString>("id");
        QTest::newRow("new with an existing ID") << "" << "" << "9";
        QTest::newRow("ID changed to an existing one") << "" << "5" << "9";
        QTest::newRow("contact insert fails after the controller")
            << "CREATE TRIGGER noContacts BEFORE INSERT ON tblDorvKontakti BEGIN SELECT RAISE(ABORT, 'full'); END"
            << "5" << "6";
        QTest::newRow("link insert fails after the contacts")
            << "CREATE TRIGGER noLinks BEFORE INSERT ON tblDorvKontaktiKontrolera_TackePristupa "
               "BEGIN SELECT RAISE(ABORT, 'full'); END"
            << "5" << "5";
        QTest::newRow("contacts of a new one fail")
            << "CREATE TRIGGER noContacts BEFORE INSERT ON tblDorvKontakti BEGIN SELECT RAISE(ABORT, 'full'); END"
            << "" << "7";
    }

    void failedSaveLeavesEverythingAsItWas()
    {
        QFETCH(QString, fault);
        QFETCH(QString, previous);
        QFETCH(QString, id);
        if (!fault.isEmpty())
            m_db->exec(fault);
        const QStringList before = catalogueSnapshot(*m_db);
        QVERIFY_THROWS_EXCEPTION(DbError, {
            if (previous.isEmpty())
                addController({id, "Novi", "TK71", "PC3", "COM4"});
            else
                editController(previous, id, "TK71");
        });
        QCOMPARE(catalogueSnapshot(*m_db), before);
        QVERIFY(!m_gz->connMain->inTransaction());
        QVERIFY(!m_gz->qControllersDet->isActive());
    }

    void deleteTakesContactsAndLinksAlong()
    {
        controllers().open();
        controllers().first();
        QCOMPARE(controllers().asString("IDKontrolera"), QStringLiteral("5"));
        const QStringList other = contactsOf(*m_db, "9");
        DeleteController(*m_gz);
        QCOMPARE(m_db->rows("SELECT IDKontrolera FROM tblDorvKontroleri ORDER BY IDKontrolera"),
                 QStringList({"11", "9"}));
        QCOMPARE(contactsOf(*m_db, "5"), QStringList());
        QCOMPARE(orphanLinks(*m_db), 0);
        QCOMPARE(contactsOf(*m_db, "9"), other);
        QCOMPARE(controllers().rowCount(), 2);
    }

    void failedDeleteLeavesEverythingAsItWas()
    {
        m_db->exec("CREATE TRIGGER keep BEFORE DELETE ON tblDorvKontroleri BEGIN SELECT RAISE(ABORT, 'kept'); END");
        const QStringList before = catalogueSnapshot(*m_db);
        controllers().open();
        controllers().first();
        QVERIFY_THROWS_EXCEPTION(DbError, DeleteController(*m_gz));
        QCOMPARE(catalogueSnapshot(*m_db), before);
    }

    void linkingReplacesTheContactsLink()
    {
        LinkContact(*m_gz, 10, "AP4");
        LinkContact(*m_gz, 21, "AP2");
        QCOMPARE(m_db->rows("SELECT IDKontakta, IDTackePristupa FROM tblDorvKontaktiKontrolera_TackePristupa "
                            "ORDER BY IDKontakta"),
                 QStringList({"10|AP4", "11|AP2", "20|AP3", "21|AP2"}));
        // Quotes in an ID are data, not statement text.
        m_db->exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES ('A''1', 'Kod O''Briena')");
        LinkContact(*m_gz, 10, "A'1");
        QCOMPARE(contactsOf(*m_db, "5"), QStringList({"1|1|A'1", "2|1|AP2"}));
    }

    void unlinking()
    {
        UnlinkContact(*m_gz, 11);
        QCOMPARE(contactsOf(*m_db, "5"), QStringList({"1|1|AP1", "2|1|"}));
        // A contact without a link: nothing to remove, and no error.
        const QStringList before = catalogueSnapshot(*m_db);
        UnlinkContact(*m_gz, 21);
        QCOMPARE(catalogueSnapshot(*m_db), before);
    }

    void failedLinkKeepsTheOldLink()
    {
        m_db->exec("CREATE TRIGGER noLinks BEFORE INSERT ON tblDorvKontaktiKontrolera_TackePristupa "
                   "BEGIN SELECT RAISE(ABORT, 'full'); END");
        QVERIFY_THROWS_EXCEPTION(DbError, LinkContact(*m_gz, 10, "AP4"));
        QCOMPARE(contactsOf(*m_db, "5"), QStringList({"1|1|AP1", "2|1|AP2"}));
    }
};

QTEST_GUILESS_MAIN(TestControllerRecords)
#include "tst_controllerrecords.moc"
