#include "widgets/MessageBoxes.h"
#include "base/SettingsStore.h"
#include "base/SingleInstance.h"
#include "app/uDorvalen.h"
#include "link/uGlobalVars.h"
#include "db/NamedQuery.h"
#include "db/uDMMain.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>


class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TempDatabase> m_db;

    SettingsStore store() { return SettingsStore(registry()); }
    void setConnectionString(const QString &cs)
    {
        SettingsStore s = store();
        s.openKey("DataBase", true);
        s.writeString("ConnectionString", cs);
    }
    std::unique_ptr<TfrmDorvalen> start()
    {
        auto w = std::make_unique<TfrmDorvalen>(testPorts());
        w->show();
        return w;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        MessageBoxes::setScripted(true);
        globals() = TGlobalVars();
        static int run = 0;
        globals().Registry = SettingsStore::openFile(m_dir.filePath(QString::number(++run) + ".reg"));
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Uprava')");
        m_db->exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('7', 'Ilić', 'Ana', 'S1')");
    }

    void cleanup()
    {
        m_db.reset();
        globals() = TGlobalVars();
    }

    void firstLoginAcceptsTheInitialPasswordAndOpensTheLists()
    {
        setConnectionString("Provider=SQLite;Data Source=" + m_db->fileName());
        answerLogin("tinsmoke");
        auto w = start();
        QTRY_VERIFY(w->dmMain->qPersons->isActive());
        QCOMPARE(w->dmMain->qPersons->asString("Prezime"), QStringLiteral("Ilić"));
        QVERIFY(w->dmMain->qViewMediaIDHist->isActive());
        QCOMPARE(store().readString("Password"), std::optional<QString>("tinsmoke"));
        QVERIFY(w->link() && w->link()->Listener().isListening());
        QCOMPARE(globals().Link, w->link());
        QCOMPARE(MessageBoxes::takeShown().size(), 0);

        // Showing the window again does not repeat the sequence.
        w->hide();
        w->show();
        QTest::qWait(50);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void wrongPasswordAsksAgainAndCaseCounts()
    {
        setConnectionString("Provider=SQLite;Data Source=" + m_db->fileName());
        answerLogin("Tinsmoke", false, {"tinsmoke"});
        auto w = start();
        QTRY_VERIFY(w->dmMain->qPersons->isActive());
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, QStringLiteral("Neispravna lozinka."));
    }

    void cancelledLoginEndsTheProgramWithoutFurtherDialogs()
    {
        answerLogin(QString(), true);
        auto w = start();
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(!w->link());
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void unreachableDatabaseWarnsOnceAndLeavesTheListsEmpty()
    {
        setConnectionString("Provider=SQLite;Data Source=" + m_dir.filePath("missing.sqlite"));
        answerLogin("tinsmoke");
        auto w = start();
        QTRY_VERIFY(w->link());
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        // The program's text first, then the database's own reason (it names the file).
        QVERIFY(shown.first().text.startsWith(QStringLiteral("Nije uspostavljena konekcija sa bazom podataka.\n\n")));
        QVERIFY2(shown.first().text.contains("missing.sqlite"), qPrintable(shown.first().text));
        QVERIFY(!w->dmMain->qPersons->isActive());
        // The string stays stored for the operator to mend.
        SettingsStore s = store();
        s.openKey("DataBase", false);
        QVERIFY(s.readString("ConnectionString")->endsWith("missing.sqlite"));
    }

    void linkSettingsAreReadUntilTheFirstFailure_data()
    {
        QTest::addColumn<QVariant>("sleepTime");
        QTest::addColumn<QVariant>("debugCtrls");
        QTest::addColumn<int>("expectedSleep");
        QTest::addColumn<bool>("expectedDebug");
        QTest::newRow("both") << QVariant(250) << QVariant(1) << 250 << true;
        QTest::newRow("debug missing") << QVariant(250) << QVariant() << 250 << false;
        QTest::newRow("sleep missing") << QVariant() << QVariant(1) << 1000 << false;
        QTest::newRow("sleep as text") << QVariant("250") << QVariant(1) << 1000 << false;
        QTest::newRow("debug as text") << QVariant(40) << QVariant("1") << 40 << false;
    }

    void linkSettingsAreReadUntilTheFirstFailure()
    {
        QFETCH(QVariant, sleepTime);
        QFETCH(QVariant, debugCtrls);
        QFETCH(int, expectedSleep);
        QFETCH(bool, expectedDebug);
        setConnectionString("Provider=SQLite;Data Source=" + m_db->fileName());
        SettingsStore s = store();
        s.openKey(QString(), false);
        for (const auto &[name, value] : {std::pair{QStringLiteral("SleepTime"), sleepTime},
                                          std::pair{QStringLiteral("DebugCtrls"), debugCtrls}}) {
            if (value.metaType().id() == QMetaType::Int)
                s.writeInteger(name, value.toInt());
            else if (value.isValid())
                s.writeString(name, value.toString());
        }
        answerLogin("tinsmoke");
        auto w = start();
        QTRY_VERIFY(w->dmMain->qPersons->isActive());
        QCOMPARE(globals().SleepTime, expectedSleep);
        QCOMPARE(globals().DebugCtrls, expectedDebug);
        QCOMPARE(w->findChild<QWidget *>("tbDebug")->isVisible(), expectedDebug);
    }

    void withoutAStoredStringTheDialogChoosesAndStoresIt()
    {
        answerLogin("tinsmoke");
        const QString file = m_db->fileName();
        whenModalShown(
            [file](QWidget *dialog) {
                child<QComboBox>(dialog, "cbbServer")->setEditText(file);
                child<QPushButton>(dialog, "btnOK")->click();
            },
            "frmDlgConnect");
        auto w = start();
        QTRY_VERIFY(w->dmMain->qPersons->isActive());
        QCOMPARE(w->dmMain->qPersons->asString("Prezime"), QStringLiteral("Ilić"));
        QCOMPARE(MessageBoxes::takeShown().size(), 0); // no "Ne postoji konekcija sa bazom podataka."
        SettingsStore s = store();
        s.openKey("DataBase", false);
        QCOMPARE(s.readString("ConnectionString"), std::optional<QString>("Provider=SQLite;Data Source=" + file));
    }

    void theDatabaseCommandStoresTheStringAndReconnects()
    {
        setConnectionString("Provider=SQLite;Data Source=" + m_db->fileName());
        answerLogin("tinsmoke");
        auto w = start();
        QTRY_VERIFY(w->dmMain->qPersons->isActive());

        TempDatabase other;
        other.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S2', 'Prodaja')");
        other.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('8', 'Lukić', 'Boris', 'S2')");
        const QString file = other.fileName();
        whenModalShown(
            [file](QWidget *dialog) {
                child<QComboBox>(dialog, "cbbServer")->setEditText(file);
                child<QPushButton>(dialog, "btnOK")->click();
            },
            "frmDlgConnect");
        w->Database1->trigger();
        QCOMPARE(w->dmMain->qPersons->asString("Prezime"), QStringLiteral("Lukić"));
        QCOMPARE(globals().ConnectionString, "Provider=SQLite;Data Source=" + file);
        SettingsStore s = store();
        s.openKey("DataBase", false);
        QCOMPARE(s.readString("ConnectionString"), std::optional<QString>(globals().ConnectionString));
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
        w.reset();
    }

    void theOptionsCommandShowsTheDebugToolbarAtOnce()
    {
        setConnectionString("Provider=SQLite;Data Source=" + m_db->fileName());
        answerLogin("tinsmoke");
        auto w = start();
        QTRY_VERIFY(w->dmMain->qPersons->isActive());
        QWidget *toolbar = w->findChild<QWidget *>("tbDebug");
        QVERIFY(!toolbar->isVisible());
        whenModalShown(
            [](QWidget *dialog) {
                child<QLineEdit>(dialog, "edtSleepTime")->setText("1500");
                child<QCheckBox>(dialog, "chkDebugCtrls")->setChecked(true);
                child<QPushButton>(dialog, "btnOK")->click();
            },
            "frmOptions");
        w->Opcije1->trigger();
        QVERIFY(toolbar->isVisible());
        QCOMPARE(globals().SleepTime, 1500);
        QCOMPARE(store().readInteger("SleepTime"), std::optional<int>(1500));
    }

    void aSecondCopyIsRefused()
    {
        const QString name = QStringLiteral("DorvalenTest%1").arg(QCoreApplication::applicationPid());
        {
            SingleInstance first(name);
            QVERIFY(first.acquire());
            SingleInstance second(name);
            QVERIFY(!second.acquire());
        }
        SingleInstance again(name);
        QVERIFY(again.acquire());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
