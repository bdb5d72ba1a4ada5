#include "controllers/ControllerDialogs.h"
#include "controllers/ControllerRecords.h"
#include "controllers/uController.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "tests/controllers/ControllerFixtures.h"
#include "tests/controllers/ControllerWindowDriver.h"
#include "tests/support/TempDatabase.h"
#include "widgets/MessageBoxes.h"

#include <QTest>

#include <memory>

using Kind = MessageBoxes::Kind;

namespace {

const QString SaveErrorText = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");

bool pending(const NamedQuery &q)
{
    return q.state() == NamedQuery::Edit || q.state() == NamedQuery::Insert;
}

} // namespace

// The new-controller and edit-controller dialogs on their own, as the status window
// uses them: what they show, what they refuse, how a failed save is retried, and the
// listing of the network's computers.
class TestControllerDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TdmGZ> m_gz;
    std::unique_ptr<QWidget> m_parent;
    std::unique_ptr<FakeComputers> m_computers;
    std::unique_ptr<ControllerDialogs> m_dialogs;

    // Opens the dialog of kind ("new", or the ID of the controller to edit) and runs
    // action inside it; the dialog's result.
    bool runDialog(const QString &kind, const std::function<void(QWidget *)> &action)
    {
        const bool adding = kind == "new";
        whenModalShown(action, adding ? "frmNewController" : "frmEditController");
        return adding ? m_dialogs->newController() : m_dialogs->editController(kind);
    }

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        m_db = std::make_unique<TempDatabase>();
        fillControllers(*m_db);
        m_gz = std::make_unique<TdmGZ>();
        m_gz->connectTo("Provider=SQLite;Data Source=" + m_db->fileName());
        m_parent = std::make_unique<QWidget>();
        m_parent->resize(600, 400);
        m_parent->show();
        m_computers = std::make_unique<FakeComputers>();
        m_dialogs = std::make_unique<ControllerDialogs>(*m_gz, *m_computers, m_parent.get());
    }

    void cleanup()
    {
        m_dialogs.reset();
        m_parent.reset();
        m_gz.reset();
        m_db.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void newDialogOffersItsChoices()
    {
        QStringList types, ports;
        ControllerFields shown;
        bool comEditable = false;
        const bool saved = runDialog("new", [&](QWidget *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Nov kontroler"));
            types = itemsOf(child<QComboBox>(d, "cbbTip"));
            ports = itemsOf(child<QComboBox>(d, "cbbComPort"));
            comEditable = child<QComboBox>(d, "cbbComPort")->isEditable();
            shown = fieldsOf(d);
            QCOMPARE(child<QPushButton>(d, "btnComputers")->toolTip(), QStringLiteral("Očitaj računare u mreži"));
            enter(d, {"TK71D", "7", "Ulaz", "PC7", ""});
            // The port stays as offered.
            child<QComboBox>(d, "cbbComPort")->setEditText("COM1");
            click(d, "btnOK");
        });
        QVERIFY(saved);
        QCOMPARE(types, QStringList({"TK71 2.1", "TK71", "TK71D", "TK96", "TK97"}));
        QCOMPARE(ports.size(), 30);
        QCOMPARE(ports.first(), QStringLiteral("COM1"));
        QCOMPARE(ports.last(), QStringLiteral("COM30"));
        QVERIFY(comEditable);
        QCOMPARE(shown.type, QString());
        QCOMPARE(shown.id, QString());
        QCOMPARE(shown.comPort, QStringLiteral("COM1"));
        QCOMPARE(m_dialogs->savedId(), QStringLiteral("7"));
        QCOMPARE(m_db->rows("SELECT Naziv, Tip, Kompjuter, ComPort FROM tblDorvKontroleri WHERE IDKontrolera = '7'"),
                 QStringList{"Ulaz|TK71D|PC7|COM1"});
        QCOMPARE(contactsOf(*m_db, "7"), QStringList({"1|1|", "2|2|"}));
        // Left open on the saved controller for the caller.
        QVERIFY(m_gz->qControllers->isActive());
        QVERIFY(!pending(*m_gz->qControllers));
        QCOMPARE(m_gz->qControllers->asString("IDKontrolera"), QStringLiteral("7"));
    }

    void editDialogShowsTheController()
    {
        QStringList types;
        ControllerFields shown;
        bool comEditable = true;
        const bool saved = runDialog("9", [&](QWidget *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Izmena podataka o kontroleru"));
            types = itemsOf(child<QComboBox>(d, "cbbTip"));
            comEditable = child<QComboBox>(d, "cbbComPort")->isEditable();
            shown = fieldsOf(d);
            click(d, "btnOK");
        });
        QVERIFY(saved);
        QCOMPARE(types, QStringList({"TK71 2.1", "TK71", "TK71D", "TK96", "TK97", ""}));
        QVERIFY(!comEditable);
        QCOMPARE(QStringList({shown.type, shown.id, shown.name, shown.computer, shown.comPort}),
                 QStringList({"TK71D", "9", "Kapija", "PC2", "COM12"}));
        // Saved unchanged: new contact rows, the link of contact 1 kept.
        QCOMPARE(contactsOf(*m_db, "9"), QStringList({"1|1|AP3", "2|2|"}));
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM tblDorvKontakti WHERE IDKontakta IN (20, 21)").toInt(), 0);
    }

    void storedValuesOutsideTheListsSurviveAnEdit()
    {
        m_db->exec("UPDATE tblDorvKontroleri SET Tip = 'TK80', ComPort = 'COM31' WHERE IDKontrolera = '11'");
        ControllerFields shown;
        QVERIFY(runDialog("11", [&](QWidget *d) {
            shown = fieldsOf(d);
            click(d, "btnOK");
        }));
        QCOMPARE(shown.type, QStringLiteral("TK80"));
        QCOMPARE(m_db->rows("SELECT Tip, ComPort FROM tblDorvKontroleri WHERE IDKontrolera = '11'"),
                 QStringList{"TK80|COM31"});
    }

    void entryRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("warning");
        QTest::newRow("new without computer") << "new" << QStringList{"TK71", "7", "Ulaz", "", "COM1"}
                                               << FieldsMissingText;
        QTest::newRow("new without type") << "new" << QStringList{"", "7", "Ulaz", "PC7", "COM1"} << FieldsMissingText;
        QTest::newRow("new with a letter in the ID") << "new" << QStringList{"TK71", "7a", "Ulaz", "PC7", "COM1"}
                                                     << IdNotNumberText;
        QTest::newRow("new with a typed port of three digits")
            << "new" << QStringList{"TK71", "7", "Ulaz", "PC7", "COM123"} << ComPortInvalidText;
        QTest::newRow("edit to the empty type") << "5" << QStringList{"", "5", "Hala", "PC1", "COM3"}
                                                << FieldsMissingText;
        QTest::newRow("edit without computer") << "5" << QStringList{"TK71", "5", "Hala", "", "COM3"}
                                               << FieldsMissingText;
        QTest::newRow("edit without name") << "5" << QStringList{"TK71", "5", "", "PC1", "COM3"} << FieldsMissingText;
    }

    void entryRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, fields);
        QFETCH(QString, warning);
        const QStringList before = catalogueSnapshot(*m_db);
        bool stillOpen = false;
        QList<MessageBoxes::Shown> shown;
        const bool saved = runDialog(kind, [&](QWidget *d) {
            enter(d, {fields[0], fields[1], fields[2], fields[3], fields[4]});
            click(d, "btnOK");
            stillOpen = d->isVisible();
            shown = MessageBoxes::takeShown();
            click(d, "btnCancel");
        });
        QVERIFY(!saved);
        QVERIFY(stillOpen);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Kind::Warning);
        QCOMPARE(shown.first().text, warning);
        QCOMPARE(catalogueSnapshot(*m_db), before);
        QVERIFY(!pending(*m_gz->qControllers));
        QCOMPARE(m_gz->qControllers->rowCount(), 3);
    }

    void failedSaveCanBeRetried_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fault");   // set up before the first "U redu"
        QTest::addColumn<QString>("firstId");
        QTest::addColumn<QString>("repair");  // run before the second
        QTest::addColumn<QString>("secondId");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("new with an existing ID") << "new" << "" << "9" << "" << "7" << QStringList{"11", "5", "7", "9"};
        QTest::newRow("edit to an existing ID") << "5" << "" << "9" << "" << "6" << QStringList{"11", "6", "9"};
        const QString noContacts =
            "CREATE TRIGGER noContacts BEFORE INSERT ON tblDorvKontakti BEGIN SELECT RAISE(ABORT, 'full'); END";
        const QString repair = "DROP TRIGGER noContacts";
        QTest::newRow("new, contacts fail after the controller")
            << "new" << noContacts << "7" << repair << "7" << QStringList{"11", "5", "7", "9"};
        QTest::newRow("edit, contacts fail after the controller")
            << "5" << noContacts << "6" << repair << "6" << QStringList{"11", "6", "9"};
    }

    void failedSaveCanBeRetried()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fault);
        QFETCH(QString, firstId);
        QFETCH(QString, repair);
        QFETCH(QString, secondId);
        QFETCH(QStringList, ids);
        if (!fault.isEmpty())
            m_db->exec(fault);
        const QStringList before = catalogueSnapshot(*m_db);
        QStringList afterFailure;
        bool stillOpen = false;
        QList<MessageBoxes::Shown> shown;
        const bool saved = runDialog(kind, [&](QWidget *d) {
            enter(d, {"TK71", firstId, "Novi", "PC7", "COM4"});
            click(d, "btnOK");
            stillOpen = d->isVisible();
            shown = MessageBoxes::takeShown();
            afterFailure = catalogueSnapshot(*m_db);
            if (!repair.isEmpty())
                m_db->exec(repair);
            child<QLineEdit>(d, "edtID")->setText(secondId);
            click(d, "btnOK");
            // A second failure must not leave the test waiting.
            if (d->isVisible())
                d->close();
        });
        QVERIFY(stillOpen);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Kind::Error);
        QCOMPARE(shown.first().text, SaveErrorText);
        QCOMPARE(afterFailure, before);
        QVERIFY(saved);
        QCOMPARE(m_db->rows("SELECT IDKontrolera FROM tblDorvKontroleri ORDER BY IDKontrolera"), ids);
        QCOMPARE(m_db->rows("SELECT Naziv, Tip, ComPort FROM tblDorvKontroleri WHERE IDKontrolera = '" + secondId + "'"),
                 QStringList{"Novi|TK71|COM4"});
        // An edited controller takes its links along to the new ID.
        QCOMPARE(contactsOf(*m_db, secondId),
                 kind == "new" ? QStringList({"1|1|", "2|1|"}) : QStringList({"1|1|AP1", "2|1|AP2"}));
        QCOMPARE(orphanLinks(*m_db), 0);
    }

    void closingTheDialogSavesNothing()
    {
        const QStringList before = catalogueSnapshot(*m_db);
        QVERIFY(!runDialog("5", [&](QWidget *d) {
            enter(d, {"TK96", "6", "Drugi", "PC9", "COM9"});
            d->close();
        }));
        QCOMPARE(catalogueSnapshot(*m_db), before);
        QVERIFY(!pending(*m_gz->qControllers));
        QCOMPARE(m_gz->qControllers->asString("Naziv"), QStringLiteral("Hala"));
    }

    void computersOfTheNetwork_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("computer");
        QTest::newRow("new takes the first") << "new" << QStringList{"PC7", "PC8"} << "" << "PC7";
        QTest::newRow("new replaces what was typed") << "new" << QStringList{"PC7", "PC8"} << "STARI" << "PC7";
        QTest::newRow("edit keeps its computer") << "5" << QStringList{"PC7", "PC8"} << "PC1" << "PC1";
        QTest::newRow("nothing found keeps the text") << "new" << QStringList{} << "PCX" << "PCX";
    }

    void computersOfTheNetwork()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, found);
        QFETCH(QString, typed);
        QFETCH(QString, computer);
        m_computers->names = found;
        QStringList items;
        QString shown;
        bool noticeLeftUp = true;
        runDialog(kind, [&](QWidget *d) {
            auto *list = child<QComboBox>(d, "cbbKompjuter");
            list->setEditText(typed);
            click(d, "btnComputers");
            items = itemsOf(list);
            shown = list->currentText();
            noticeLeftUp = d->findChild<TfrmStatus *>()->isVisible();
            click(d, "btnCancel");
        });
        QCOMPARE(m_computers->calls, 1);
        QCOMPARE(m_computers->noticeTexts, QStringList{QStringLiteral("Očitavam racunare u mreži...")});
        QVERIFY(!noticeLeftUp);
        QCOMPARE(items, found);
        QCOMPARE(shown, computer);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void editingAnUnknownController()
    {
        const QStringList before = catalogueSnapshot(*m_db);
        bool result = true;
        expectNoModal([&] { result = m_dialogs->editController("42"); });
        QVERIFY(!result);
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Kind::Warning);
        QCOMPARE(shown.first().text, controllerMissingText("42"));
        QCOMPARE(catalogueSnapshot(*m_db), before);
    }

    void editOnAnEmptyCatalogueAddsAController()
    {
        m_db->exec("DELETE FROM tblDorvKontroleri");
        whenModalShown(
            [&](QWidget *d) {
                enter(d, {"TK71 2.1", "3", "Prvi", "PC1", "COM2"});
                click(d, "btnOK");
            },
            "frmEditController");
        QVERIFY(m_dialogs->editFocused());
        QCOMPARE(m_db->rows("SELECT IDKontrolera, Tip, ComPort FROM tblDorvKontroleri"), QStringList{"3|TK71 2.1|COM2"});
        QCOMPARE(contactsOf(*m_db, "3"), QStringList({"1|1|", "2|1|"}));
    }
};

QTEST_MAIN(TestControllerDialogs)
#include "tst_controllerdialogs.moc"
