#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"
#include "app/uDorvalen.h"
#include "link/uGlobalVars.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

namespace {

void fillFixture(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
    for (int i = 1; i <= 60; ++i)
        db.exec(QStringLiteral("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora, PinKod) "
                               "VALUES ('P%1', 'Prezime%1', 'Ime%1', 'S1', '%2')")
                    .arg(i, 2, 10, QLatin1Char('0'))
                    .arg(i == 1 ? "12AB" : ""));
    // A person whose department does not exist is listed nowhere.
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('X', 'Niko', 'Nikić', 'NEMA')");
    db.exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja) VALUES "
            "('A200000001B81C02', 'P01', '2024-03-05 07:30:00')");
    db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G1', 'Radnici'), ('G2', 'Prazna')");
    db.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('Z1', 'Hala'), ('Z2', 'Krov')");
    db.exec("INSERT INTO tblDorvOsobe_Grupe (ID, IDZaposlenog, IDGrupe, Status) VALUES (1, 'P01', 'G1', 1), (2, 'P02', 'G1', 1)");
    db.exec("INSERT INTO tblDorvOsobe_Zone (ID, IDZaposlenog, IDZone, IDVremenskogintervala, UkljucenIPinKod) "
            "VALUES (1, 'P01', 'Z1', 1, 1)");
    db.exec("INSERT INTO tblDorvGrupe_Zone (ID, IDGrupe, IDZone, IDVremenskogintervala, UkljucenIPinKod) "
            "VALUES (1, 'G1', 'Z1', 1, 2)");
}

QStringList headers(DataGrid *grid)
{
    QStringList out;
    for (int c = 0; grid->model() && c < grid->model()->columnCount(); ++c)
        out.append(grid->model()->headerData(c, Qt::Horizontal).toString());
    return out;
}

QStringList column(DataGrid *grid, int c)
{
    QStringList out;
    for (int r = 0; grid->model() && r < grid->model()->rowCount(); ++r)
        out.append(grid->model()->index(r, c).data().toString());
    return out;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<StartedProgram> m_program;
    TfrmDorvalen *w = nullptr;

    QTabBar *tab(const char *name) { return w->findChild<QTabBar *>(name); }
    QWidget *rightPanel() { return w->findChild<QStackedWidget *>()->currentWidget(); }
    void selectView(const QString &caption)
    {
        QTabBar *views = tab("tabMain");
        for (int i = 0; i < views->count(); ++i)
            if (views->tabText(i) == caption)
                views->setCurrentIndex(i);
    }
    void selectDetail(const QString &caption)
    {
        QTabBar *details = tab("tabDetails");
        for (int i = 0; i < details->count(); ++i)
            if (details->tabText(i) == caption)
                details->setCurrentIndex(i);
        QCOMPARE(w->currentDetailTab(), caption);
    }

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        m_db = std::make_unique<TempDatabase>();
        fillFixture(*m_db);
        m_program = std::make_unique<StartedProgram>("Provider=SQLite;Data Source=" + m_db->fileName());
        w = &m_program->window();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }

    void cleanup()
    {
        m_program.reset();
        m_db.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void startsWithPersonsAndTheirDetails()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("Brenmark - Dorvalen"));
        QCOMPARE(headers(w->masterGrid()), QStringList({" ", "ID", "Prezime", "Ime", "Sektor"}));
        QCOMPARE(w->masterGrid()->model()->rowCount(), 60); // X has no department
        QCOMPARE(rightPanel()->objectName(), QStringLiteral("pnlPerson"));
        QCOMPARE(w->findChild<QLineEdit *>("edtID")->text(), QStringLiteral("P01"));
        QCOMPARE(w->findChild<QLineEdit *>("edtSektor")->text(), QStringLiteral("Proizvodnja"));
        QCOMPARE(w->findChild<QLineEdit *>("edtPinKod")->text(), QStringLiteral("12AB"));
        auto *media = w->findChild<DataGrid *>("gridMedia");
        QCOMPARE(headers(media), QStringList({"IDNo", "Važi od", "Važi do"}));
        QCOMPARE(column(media, 1), QStringList({"05/03/24 07:30"}));
        QCOMPARE(w->Aktivnost1->text(), QStringLiteral("Dodaj osobu"));

        // Moving to another person follows in the panel and the media list.
        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(1, 1));
        QCOMPARE(w->findChild<QLineEdit *>("edtID")->text(), QStringLiteral("P02"));
        QCOMPARE(media->model()->rowCount(), 0);
    }

    void everyStateShowsItsListsAndCaptions_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QStringList>("detailColumns");
        QTest::addColumn<QStringList>("detailIds");
        QTest::addColumn<bool>("accessVisible");
        QTest::addColumn<QString>("assign");
        QTest::addColumn<QString>("unassign");
        const QString undo = QStringLiteral("Poništi postojeće dodele");
        QTest::newRow("persons/groups") << "Osobe" << "Grupe" << QStringList{" ", "ID", "Naziv"} << QStringList{"G1"}
                                        << false << "Dodeli grupama" << undo;
        QTest::newRow("persons/zones") << "Osobe" << "Zone" << QStringList{" ", "ID", "Naziv", "Pristup"}
                                       << QStringList{"Z1"} << true << "Dodeli zonama" << undo;
        QTest::newRow("groups/persons") << "Grupe" << "Osobe" << QStringList{" ", "ID", "Prezime", "Ime"}
                                        << QStringList{"P01", "P02"} << false << "Dodeli osobe" << undo;
        QTest::newRow("groups/zones") << "Grupe" << "Zone" << QStringList{" ", "ID", "Naziv", "Pristup"}
                                      << QStringList{"Z1"} << true << "Dodeli zonama" << undo;
        QTest::newRow("zones") << "Zone" << "Osobe i grupe" << QStringList{" ", "ID", "Naziv", "Pristup"}
                               << QStringList{"P01", "G1"} << true << "Dodeli osobe i grupe" << undo;
    }

    void everyStateShowsItsListsAndCaptions()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(QStringList, detailColumns);
        QFETCH(QStringList, detailIds);
        QFETCH(bool, accessVisible);
        QFETCH(QString, assign);
        QFETCH(QString, unassign);
        selectView(view);
        selectDetail(tab);
        QCOMPARE(rightPanel()->objectName(), QStringLiteral("pnlDetails"));
        QCOMPARE(headers(w->detailGrid()), detailColumns);
        QStringList ids = column(w->detailGrid(), 1);
        ids.sort();
        detailIds.sort();
        QCOMPARE(ids, detailIds);
        QCOMPARE(w->btnChangeAccess->isVisible(), accessVisible);
        // Enabled only where it shows and has its command.
        QCOMPARE(w->btnChangeAccess->isEnabled(), accessVisible && w->commands().contains("btnChangeAccess"));
        QCOMPARE(w->Aktivnost1->text(), assign);
        QCOMPARE(w->Aktivnost2->text(), unassign);
        QCOMPARE(w->detailGrid()->currentIndex().row(), 0);
    }

    void viewChangeGoesBackToPersonDetails()
    {
        selectView("Grupe");
        selectDetail("Zone");
        selectView("Osobe");
        QCOMPARE(w->currentDetailTab(), QStringLiteral("Detaljnije o osobi"));
        QCOMPARE(rightPanel()->objectName(), QStringLiteral("pnlPerson"));
        QCOMPARE(tab("tabDetails")->count(), 3);
        QVERIFY(!w->btnChangeAccess->isVisible());
        QCOMPARE(w->Aktivnost2->text(), QStringLiteral("Izbriši osobu"));
        QCOMPARE(headers(w->masterGrid()), QStringList({" ", "ID", "Prezime", "Ime", "Sektor"}));
    }

    void detailFollowsTheFocusedMasterRow()
    {
        selectView("Zone");
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("Z1"));
        QCOMPARE(w->detailGrid()->model()->rowCount(), 2);
        // Person rows carry "" and group rows "." in " ": the icons follow.
        QCOMPARE(w->detailGrid()->iconFor(0) + w->detailGrid()->iconFor(1), 0 + 3);

        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(1, 1));
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("Z2"));
        QCOMPARE(w->detailGrid()->model()->rowCount(), 0);
        QVERIFY(w->btnChangeAccess->isVisible());
        QVERIFY(!w->btnChangeAccess->isEnabled());

        selectView("Grupe");
        selectDetail("Osobe");
        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(1, 1));
        QCOMPARE(w->detailGrid()->model()->rowCount(), 0);
        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(0, 1));
        QCOMPARE(w->detailGrid()->model()->rowCount(), 2);
    }

    void rowIconsAndNumbersFromTheTopmostVisibleRow()
    {
        DataGrid *grid = w->masterGrid();
        QCOMPARE(grid->iconFor(0), 0);
        QCOMPARE(grid->visibleNumber(0), 1);
        QCOMPARE(grid->visibleNumber(2), 3);
        grid->scrollTo(grid->model()->index(59, 1), QAbstractItemView::PositionAtBottom);
        const int top = grid->rowAt(0);
        QVERIFY(top > 0);
        QCOMPARE(grid->visibleNumber(top), 1);
        selectView("Grupe");
        QCOMPARE(grid->iconFor(0), 3);
        QVERIFY(!grid->rowNumbers());
        selectView("Zone");
        QCOMPARE(grid->iconFor(0), 6);
    }

    void doubleClickSelectsCellsUntilTheRowChanges()
    {
        DataGrid *grid = w->masterGrid();
        const QRect cell = grid->visualRect(grid->model()->index(0, 2));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(grid->cellSelection());
        grid->setCurrentIndex(grid->model()->index(3, 2));
        QVERIFY(!grid->cellSelection());
    }

    void contextMenuOnlyInThePersonView()
    {
        auto *menu = w->findChild<QMenu *>("pmMaster");
        selectView("Grupe");
        emit w->masterGrid()->customContextMenuRequested(QPoint(10, 10));
        QVERIFY(!menu->isVisible());
        selectView("Osobe");
        emit w->masterGrid()->customContextMenuRequested(QPoint(10, 10));
        QTRY_VERIFY(menu->isVisible());
        QStringList items;
        for (QAction *a : menu->actions())
            items.append(a->isSeparator() ? "-" : a->text());
        QCOMPARE(items, QStringList({"Dodaj osobu", "Izmeni osobu", "Izbriši osobu", "-", "Dodeli grupama", "Dodeli zonama"}));
        menu->close();
    }

    void rereadingKeepsTheFocusedIndex()
    {
        selectView("Grupe");
        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(1, 1));
        m_db->exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G0', 'Prva')");
        w->rereadMaster(w->masterQuery());
        QCOMPARE(w->masterGrid()->model()->rowCount(), 3);
        QCOMPARE(w->focusedMasterIndex(), 1);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("G1"));
        // After a deletion of the last row the row before it takes the focus.
        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(2, 1));
        m_db->exec("DELETE FROM tblDorvGrupe WHERE IDGrupe = 'G2'");
        w->rereadMaster(w->masterQuery());
        QCOMPARE(w->focusedMasterIndex(), 1);
        QCOMPARE(w->detailGrid()->model()->rowCount(), 2);
    }

    void debugToolbarOrPlainStrip()
    {
        QWidget *toolbar = w->findChild<QWidget *>("tbDebug");
        QWidget *strip = w->findChild<QWidget *>("pnlTop");
        QVERIFY(!toolbar->isVisible() && strip->isVisible());
        w->showDebugControls(true);
        QVERIFY(toolbar->isVisible() && !strip->isVisible());
        QVERIFY(!w->btnStop->isVisible());
        QCOMPARE(w->btnStatus->toolTip(), QStringLiteral("Status kontrolera"));
        w->resize(1000, 700);
        QCOMPARE(w->findChild<QWidget *>("m2")->width(), w->width() - 303);
    }

    void menusHoldEveryCommand()
    {
        QStringList menus;
        for (QAction *top : w->menuBar()->actions()) {
            QStringList items;
            for (QAction *a : top->menu()->actions())
                items.append(a->isSeparator() ? "-" : a->text());
            menus.append(top->text() + ": " + items.join(", "));
        }
        QCOMPARE(menus, QStringList({
                            "Fajl: Baza podataka, Opcije, Izmena lozinke, -, Kraj programa",
                            "Konfiguracija: Sektori, Grupe, Zone, Tačke pristupa, -, Kontroleri, Vremenski intervali",
                            "Aktivnosti: Dodaj osobu, Izbriši osobu, -, Upiši u kontrolere",
                            "Pomoć: O programu",
                        }));
        QVERIFY(!w->Vremenskiintervali1->isEnabled());
    }

    // A command is enabled exactly when the command table has its handler, and the
    // handler is what its action or button runs.
    void commandsWithoutHandlerAreDisabled()
    {
        const QList<QObject *> commands = {w->Database1, w->Opcije1, w->Izmenalozinke1, w->Krajprograma1,
                                           w->Sektori1, w->Grupe1, w->Zone1, w->Tackepristupa1,
                                           w->Kontroleri1, w->Vremenskiintervali1, w->Upisiukontrolere1,
                                           w->Oprogramu1, w->DodajOsobu1, w->btnAddPerson, w->btnAddMedia,
                                           w->btnAssign, w->btnStatus, w->btnRead, w->btnStop};
        for (QObject *command : commands) {
            const bool enabled = command->property("enabled").toBool();
            QVERIFY2(enabled == w->commands().contains(command->objectName()), qPrintable(command->objectName()));
        }
        QVERIFY(w->commands().contains("Database1"));
        QVERIFY(!w->commands().run("noSuchCommand"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
