#include "app/uDorvalen.h"
#include "controllers/ControllerCommands.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "link/TDevice.h"
#include "link/uGlobalVars.h"
#include "tests/controllers/ControllerFixtures.h"
#include "tests/controllers/ControllerWindowDriver.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QTest>

#include <memory>

using Kind = MessageBoxes::Kind;

namespace {

QStringList headers(DataGrid *grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList rowsOf(DataGrid *grid)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            cells << grid->model()->index(r, c).data().toString();
        out << cells.join('|');
    }
    return out;
}

void focusRow(DataGrid *grid, int row)
{
    grid->setCurrentIndex(grid->model()->index(row, 0));
}

} // namespace

// The controllers window as the operator reaches it, through "Konfiguracija" ->
// "Kontroleri": the catalogue, its touch contacts and their access points, and the
// device table rebuilt when the window closes.
class TestControllersWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<StartedProgram> m_program;
    TfrmDorvalen *w = nullptr;

    // Opens the window from the menu, runs action in it and closes it with "Zatvori".
    void inWindow(const std::function<void(QWidget *)> &action)
    {
        whenModalShown(
            [action](QWidget *window) {
                action(window);
                click(window, "btnOK");
            },
            "frmControllers");
        w->Kontroleri1->trigger();
    }

    static DataGrid *controllers(QWidget *window) { return child<DataGrid>(window, "gridControllers"); }
    static DataGrid *contacts(QWidget *window) { return child<DataGrid>(window, "gridContacts"); }

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        m_db = std::make_unique<TempDatabase>();
        fillControllers(*m_db);
        m_program = std::make_unique<StartedProgram>("Provider=SQLite;Data Source=" + m_db->fileName());
        w = &m_program->window();
        w->findChild<ControllerCommands *>()->useComputers(std::make_unique<FakeComputers>(QStringList{"PC7"}));
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }

    void cleanup()
    {
        m_program.reset();
        m_db.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void showsTheCatalogueAndTheFocusedControllersContacts()
    {
        QVERIFY(w->Kontroleri1->isEnabled());
        QStringList catalogue, firstContacts, thirdContacts, columns, contactColumns;
        QString title, count, group;
        inWindow([&](QWidget *window) {
            title = window->windowTitle();
            columns = headers(controllers(window));
            contactColumns = headers(contacts(window));
            catalogue = rowsOf(controllers(window));
            count = child<QLabel>(window, "lblCount")->text();
            firstContacts = rowsOf(contacts(window));
            focusRow(controllers(window), 2);
            thirdContacts = rowsOf(contacts(window));
            focusRow(controllers(window), 0);
        });
        QCOMPARE(title, QStringLiteral("Kontroleri i registraciona mesta"));
        QCOMPARE(columns, QStringList({"ID Kontrolera", "Naziv", "Tip", "Računar", "COM port"}));
        QCOMPARE(contactColumns, QStringList({"RB kontakta", "ID tačke pristupa", "Naziv"}));
        QCOMPARE(catalogue, QStringList({"5|Hala|TK71|PC1|COM3", "9|Kapija|TK71D|PC2|COM12", "11|Rampa|TK96|PC1|COM1"}));
        QCOMPARE(count, QStringLiteral("3"));
        QCOMPARE(firstContacts, QStringList({"1|AP1|Ulaz", "2|AP2|Izlaz"}));
        // A model without contacts shows an empty list.
        QCOMPARE(thirdContacts, QStringList());
        QVERIFY(!w->dataGZ().qControllers->isActive());
        QVERIFY(!w->dataGZ().viewDorvKontroleri_tackePristupa->isActive());
    }

    void addedControllerReachesTheDeviceTableOnClose()
    {
        QStringList afterAdd, newContacts;
        QString count;
        inWindow([&](QWidget *window) {
            whenModalShown(
                [](QWidget *d) {
                    enter(d, {"TK71D", "7", "Ulaz", "", "COM1"});
                    click(d, "btnComputers");
                    click(d, "btnOK");
                },
                "frmNewController");
            click(window, "btnNew");
            afterAdd = rowsOf(controllers(window));
            count = child<QLabel>(window, "lblCount")->text();
            newContacts = rowsOf(contacts(window));
            // Not yet: the device table follows when the window closes.
            QCOMPARE(globals().Devices.CountDevices(), 3);
        });
        QCOMPARE(afterAdd.last(), QStringLiteral("7|Ulaz|TK71D|PC7|COM1"));
        QCOMPARE(count, QStringLiteral("4"));
        QCOMPARE(newContacts, QStringList({"1||", "2||"}));

        QStringList devices;
        for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
            if (const TDevice *d = globals().Devices.Device(slot))
                devices << QStringLiteral("%1:%2|%3|%4|%5|%6").arg(slot).arg(d->ID, d->Name, d->DevType, d->CompName)
                                   .arg(d->PortNum);
        }
        // In the order the catalogue query returns the rows.
        QStringList catalogue;
        for (const QString &row : m_db->rows("SELECT *\nFROM tblDorvKontroleri"))
            catalogue << row.section('|', 0, 0);
        QCOMPARE(devices.size(), catalogue.size());
        for (int k = 0; k < catalogue.size(); ++k)
            QVERIFY2(devices[k].startsWith(QStringLiteral("%1:%2|").arg(k).arg(catalogue[k])), qPrintable(devices[k]));
        QVERIFY(devices.contains(QStringLiteral("%1:7|Ulaz|TK71D|PC7|1").arg(catalogue.indexOf("7"))));
    }

    void editKeepsTheFocusAndTheLinks()
    {
        QString focused;
        QStringList linked;
        inWindow([&](QWidget *window) {
            focusRow(controllers(window), 1);
            whenModalShown(
                [](QWidget *d) {
                    child<QLineEdit>(d, "edtNaziv")->setText("Glavna kapija");
                    click(d, "btnOK");
                },
                "frmEditController");
            click(window, "btnEdit");
            focused = w->dataGZ().qControllers->asString("Naziv");
            linked = rowsOf(contacts(window));
        });
        QCOMPARE(focused, QStringLiteral("Glavna kapija"));
        QCOMPARE(linked, QStringList({"1|AP3|Garaža", "2||"}));
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void deleteAsksFirst()
    {
        QFETCH(bool, yes);
        const QStringList before = catalogueSnapshot(*m_db);
        QList<MessageBoxes::Shown> shown;
        QStringList left;
        inWindow([&](QWidget *window) {
            MessageBoxes::setNextAnswer(yes);
            click(window, "btnDelete");
            shown = MessageBoxes::takeShown();
            left = rowsOf(controllers(window));
        });
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Kind::Question);
        QCOMPARE(shown.first().text, QStringLiteral("Jeste li sigurni da želite da izbrišete odabrani kontroler?"));
        if (!yes) {
            QCOMPARE(catalogueSnapshot(*m_db), before);
            return;
        }
        QCOMPARE(left, QStringList({"9|Kapija|TK71D|PC2|COM12", "11|Rampa|TK96|PC1|COM1"}));
        QCOMPARE(contactsOf(*m_db, "5"), QStringList());
        QCOMPARE(orphanLinks(*m_db), 0);
        QCOMPARE(globals().Devices.CountDevices(), 2);
    }

    void linkingAContact()
    {
        QStringList offered, afterLink;
        QStringList fields;
        QString current;
        inWindow([&](QWidget *window) {
            focusRow(contacts(window), 1);
            whenModalShown(
                [&](QWidget *d) {
                    QCOMPARE(d->windowTitle(), QStringLiteral("Veza registracionog mesta i tačke pristupa"));
                    for (const char *name : {"edtIDKontrolera", "edtNazivKontrolera", "edtRBKontakta"})
                        fields << child<QLineEdit>(d, name)->text();
                    QVERIFY(child<QLineEdit>(d, "edtNazivKontrolera")->isReadOnly());
                    auto *list = child<QComboBox>(d, "cbbTackaPristupa");
                    offered = itemsOf(list);
                    current = list->currentText();
                    list->setCurrentIndex(list->findText("Magacin"));
                    click(d, "btnAdd");
                },
                "frmLinkTouchContact_AccessPoint");
            click(window, "Button1");
            afterLink = rowsOf(contacts(window));
        });
        QCOMPARE(fields, QStringList({"5", "Hala", "2"}));
        // AP1 opens two zones and is offered once.
        QCOMPARE(offered, QStringList({"Ulaz", "Izlaz", "Garaža", "Magacin"}));
        QCOMPARE(current, QStringLiteral("Izlaz"));
        QCOMPARE(afterLink, QStringList({"1|AP1|Ulaz", "2|AP4|Magacin"}));
        QCOMPARE(m_db->rows("SELECT IDTackePristupa FROM tblDorvKontaktiKontrolera_TackePristupa WHERE IDKontakta = 11"),
                 QStringList{"AP4"});
    }

    void linkDialogWritesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("warning");
        QTest::newRow("U redu without an access point")
            << "btnAdd" << QStringLiteral("Polje \"Tacka pristupa\" mora biti popunjeno.");
        QTest::newRow("Otkaži") << "btnOK" << QString();
    }

    void linkDialogWritesNothing()
    {
        QFETCH(QString, button);
        QFETCH(QString, warning);
        const QStringList before = catalogueSnapshot(*m_db);
        bool closed = false;
        QList<MessageBoxes::Shown> shown;
        inWindow([&](QWidget *window) {
            focusRow(controllers(window), 1);
            focusRow(contacts(window), 1); // contact 2 of controller 9 has no link
            QPointer<QWidget> dialog;
            whenModalShown(
                [&](QWidget *d) {
                    dialog = d;
                    QCOMPARE(child<QComboBox>(d, "cbbTackaPristupa")->currentIndex(), -1);
                    click(d, qPrintable(button));
                },
                "frmLinkTouchContact_AccessPoint");
            click(window, "Button1");
            closed = dialog && !dialog->isVisible();
            shown = MessageBoxes::takeShown();
        });
        QVERIFY(closed);
        QCOMPARE(catalogueSnapshot(*m_db), before);
        QCOMPARE(shown.size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty()) {
            QCOMPARE(shown.first().kind, Kind::Warning);
            QCOMPARE(shown.first().text, warning);
        }
    }

    void unlinking()
    {
        QStringList afterFirst;
        QStringList afterSecond;
        inWindow([&](QWidget *window) {
            click(window, "Button2"); // contact 1 of controller 5, linked to AP1
            afterFirst = rowsOf(contacts(window));
            focusRow(contacts(window), 0);
            click(window, "Button2"); // now without a link: nothing to remove, nothing said
            afterSecond = rowsOf(contacts(window));
        });
        QCOMPARE(afterFirst, QStringList({"1||", "2|AP2|Izlaz"}));
        QCOMPARE(afterSecond, afterFirst);
        QCOMPARE(contactsOf(*m_db, "5"), QStringList({"1|1|", "2|1|AP2"}));
    }

    void unreadableCatalogueIsReportedOnce()
    {
        m_db->exec("ALTER TABLE tblDorvKontroleri RENAME TO tblDorvKontroleriStari");
        int rows = -1;
        inWindow([&](QWidget *window) {
            QTest::qWait(50); // activation changes, too, read the lists again
            rows = controllers(window)->model()->rowCount();
        });
        QCOMPARE(rows, 0);
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QStringList texts;
        for (const MessageBoxes::Shown &s : shown)
            texts << s.text;
        // The window's, then the device table's rebuild after it closed.
        QCOMPARE(texts, QStringList({"Greška pri čitanju kontrolera iz baze.",
                                     "Greška pri čitanju kontrolera iz baze. Tabela uređaja nije promenjena."}));
        QCOMPARE(globals().Devices.CountDevices(), 3);
    }

    void contactButtonsWithoutContactsDoNothing()
    {
        const QStringList before = catalogueSnapshot(*m_db);
        inWindow([&](QWidget *window) {
            focusRow(controllers(window), 2); // a TK96
            QCOMPARE(contacts(window)->model()->rowCount(), 0);
            expectNoModal([&] {
                click(window, "Button1");
                click(window, "Button2");
            });
        });
        QCOMPARE(catalogueSnapshot(*m_db), before);
    }
};

QTEST_MAIN(TestControllersWindow)
#include "tst_controllerswindow.moc"
