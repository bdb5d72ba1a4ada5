#include "app/uDorvalen.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"
#include "widgets/CatalogueWindow.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"
#include "widgets/RecordEditor.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimeEdit>

#include <functional>
#include <memory>

using Kind = MessageBoxes::Kind;

namespace {

const QString InputError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");

// Every catalogue holds X1 and X2; the access points X1 and X2 enter the zones Z1 and Z2.
void fillFixture(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('P1', 'Perić', 'Ana', 'S1')");
    db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('X1', 'Prva'), ('X2', 'Druga')");
    db.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('X1', 'Magacin'), ('X2', 'Dvorište'), "
            "('Z1', 'Hala'), ('Z2', 'Krov')");
    db.exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES ('X1', 'Kapija'), ('X2', 'Rampa')");
    db.exec("INSERT INTO tblDorvZone_TackePristupa (id, IDZone, IDTackePristupa, Status) VALUES "
            "(1, 'Z1', 'X1', 1), (2, 'Z2', 'X2', 1)");
    db.exec("INSERT INTO tblDorvVremenskiIntervali (IDIntervala, Od, Do, OdOffset, DoOffset) VALUES "
            "('X1', '08:00', '16:00', 0, 0), ('X2', '00:00', '23:59', 0, 0)");
}

// Two sets of values a test types into an editor.
QString nameOf(int variant)
{
    return variant == 0 ? QStringLiteral("Ulaz O'Brien") : QStringLiteral("Izlaz Đorđević");
}

void setText(QWidget *editor, const char *name, const QString &text)
{
    QLineEdit *edit = child<QLineEdit>(editor, name);
    // As typed (keyClicks knows no letters beyond ASCII), within the field's length.
    edit->clear();
    edit->insert(text);
}

void chooseZone(QWidget *editor, const QString &id)
{
    auto *zones = child<QComboBox>(editor, "cxLookupcmbZone");
    zones->setCurrentIndex(zones->findData(id));
}

void setTimes(QWidget *editor, QTime from, QTime to)
{
    child<QTimeEdit>(editor, "edFrom")->setTime(from);
    child<QTimeEdit>(editor, "edTo")->setTime(to);
}

void click(QWidget *window, const char *button)
{
    child<QPushButton>(window, button)->click();
}

// What differs between the catalogues for the tests that run over all four.
struct Catalogue
{
    QString command; // empty: no command opens it
    QString window;
    QString newEditor;
    QString editEditor;
    QString rowsSql; // the stored records, one line each, ordered
    std::function<void(QWidget *editor, const QString &id, int variant)> fill;
    std::function<QString(const QString &id, int variant)> row;
    QString requiredWarning;
    QString deleteQuestion;
    QString editError;
    QString table;
    QString keyColumn;
};

const Catalogue &catalogue(const QString &name)
{
    static const QHash<QString, Catalogue> all = [] {
        QHash<QString, Catalogue> c;
        const auto nameFill = [](QWidget *e, const QString &id, int variant) {
            setText(e, "edID", id);
            setText(e, "edName", nameOf(variant));
        };
        const auto nameRow = [](const QString &id, int variant) { return id + "|" + nameOf(variant); };
        c.insert("groups", {"Grupe1", "frmGroups", "frmNewGroup", "frmEditGroup",
                            "SELECT IDGrupe || '|' || Naziv FROM tblDorvGrupe ORDER BY 1", nameFill, nameRow,
                            "Polja \"ID grupe\" and \"Naziv grupe\" moraju biti popunjena.",
                            "Jeste li sigurni da želite da izbrišete odabranu grupu?", InputError, "tblDorvGrupe",
                            "IDGrupe"});
        c.insert("zones", {"Zone1", "frmZones", "frmNewZone", "frmEditZone",
                           "SELECT IDZone || '|' || Naziv FROM tblDorvZone ORDER BY 1", nameFill, nameRow,
                           "Polja \"ID zone\" and \"Naziv zone\" moraju biti popunjena.",
                           "Jeste li sigurni da želite da izbrišete odabranu zonu?", InputError, "tblDorvZone", "IDZone"});
        c.insert("access points",
                 {"Tackepristupa1", "frmAccessPoints", "frmNewAccessPoint", "frmEditAccessPoint",
                  "SELECT t.IDTackePristupa || '|' || t.Naziv || '|' || IFNULL(z.IDZone, '-') FROM tblDorvTackePristupa t "
                  "LEFT JOIN tblDorvZone_TackePristupa z ON z.IDTackePristupa = t.IDTackePristupa ORDER BY 1",
                  [](QWidget *e, const QString &id, int variant) {
                      setText(e, "edID", id);
                      setText(e, "edName", nameOf(variant));
                      chooseZone(e, variant == 0 ? "Z1" : "Z2");
                  },
                  [](const QString &id, int variant) { return id + "|" + nameOf(variant) + (variant == 0 ? "|Z1" : "|Z2"); },
                  "Sva polja moraju biti popunjena.", "Jeste li sigurni da želite da izbrišete odabranu tačku pristupa?",
                  InputError, "tblDorvTackePristupa", "IDTackePristupa"});
        c.insert("time intervals",
                 {QString(), "frmTimeIntervals", "frmNewTimeInterval", "frmEditTimeInterval",
                  "SELECT IDIntervala || '|' || Od || '|' || Do FROM tblDorvVremenskiIntervali ORDER BY 1",
                  [](QWidget *e, const QString &id, int variant) {
                      setText(e, "edID", id);
                      if (variant == 0)
                          setTimes(e, QTime(8, 0), QTime(16, 30));
                      else
                          setTimes(e, QTime(6, 5), QTime(14, 45));
                  },
                  [](const QString &id, int variant) { return id + (variant == 0 ? "|08:00|16:30" : "|06:05|14:45"); },
                  "Sva polja moraju biti popunjena.", "Jeste li sigurni da želite da izbrišete odabrani vremenski interval?",
                  "Greska u unosu, podaci u bazi nisu izmenjeni.", "tblDorvVremenskiIntervali", "IDIntervala"});
        return c;
    }();
    return *all.constFind(name);
}

void addCatalogueRows()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"groups", "zones", "access points", "time intervals"})
        QTest::newRow(name) << QString(name);
}

QStringList withRow(QStringList rows, const QString &row)
{
    rows.append(row);
    rows.sort();
    return rows;
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<StartedProgram> m_program;
    TfrmDorvalen *w = nullptr;

    // Runs body inside the modal window name once open() has opened it; the window is
    // closed afterwards whatever body did.
    void inModal(const QString &name, const std::function<void(QWidget *)> &body, const std::function<void()> &open)
    {
        whenModalShown(
            [body](QWidget *window) {
                body(window);
                if (window->isVisible())
                    static_cast<QDialog *>(window)->reject();
            },
            name);
        open();
    }

    // The catalogue's window as the operator opens it: through its menu command (the
    // time intervals have none, so their window is opened directly).
    void inCatalogue(const Catalogue &c, const std::function<void(CatalogueWindow *)> &body)
    {
        inModal(c.window, [body](QWidget *window) { body(static_cast<CatalogueWindow *>(window)); },
                [&] {
                    if (c.command.isEmpty())
                        child<CatalogueWindow>(w, c.window)->exec();
                    else
                        w->findChild<QAction *>(c.command)->trigger();
                });
    }

    void inEditor(CatalogueWindow *window, const QString &editor, const char *button,
                  const std::function<void(QWidget *)> &body)
    {
        inModal(editor, body, [&] { click(window, button); });
    }

    // Focuses the list's record whose key (first column) is key.
    static void focusRecord(CatalogueWindow *window, const QString &key)
    {
        QAbstractItemModel *rows = window->grid()->model();
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (rows->index(r, 0).data().toString() == key) {
                window->grid()->setCurrentIndex(rows->index(r, 0));
                return;
            }
        }
        QFAIL(qPrintable("no record " + key));
    }

    static QString focusedKey(CatalogueWindow *window)
    {
        DataGrid *grid = window->grid();
        return grid->model()->index(grid->currentIndex().row(), 0).data().toString();
    }

    void expectShown(const QList<MessageBoxes::Shown> &expected)
    {
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), expected.size());
        for (int i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown.at(i).kind, expected.at(i).kind);
            QCOMPARE(shown.at(i).text, expected.at(i).text);
        }
    }

    void selectView(const QString &caption)
    {
        auto *views = w->findChild<QTabBar *>("tabMain");
        for (int i = 0; i < views->count(); ++i)
            if (views->tabText(i) == caption)
                views->setCurrentIndex(i);
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

    void newEditAndDelete_data() { addCatalogueRows(); }

    void newEditAndDelete()
    {
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        const QStringList before = m_db->rows(c.rowsSql);
        inCatalogue(c, [&](CatalogueWindow *window) {
            QCOMPARE(window->windowTitle(), window->spec().caption);
            // The first record is focused and shown so.
            QCOMPARE(focusedKey(window), QStringLiteral("X1"));
            QVERIFY(window->grid()->selectionModel()->isRowSelected(0));
            inEditor(window, c.newEditor, "btnAdd", [&](QWidget *editor) {
                // The list is frozen while an editor that closes on confirming is shown.
                QCOMPARE(window->grid()->updatesEnabled(), window->spec().newEditor.staysOpen);
                c.fill(editor, "N'1", 0);
                click(editor, "btnOK");
            });
            QCOMPARE(m_db->rows(c.rowsSql), withRow(before, c.row("N'1", 0)));
            QVERIFY(window->grid()->updatesEnabled());
            QCOMPARE(focusedKey(window), QStringLiteral("N'1"));

            inEditor(window, c.editEditor, "btnEdit", [&](QWidget *editor) {
                QCOMPARE(child<QLineEdit>(editor, "edID")->text(), QStringLiteral("N'1"));
                c.fill(editor, "N'2", 1);
                click(editor, "btnOK");
                QVERIFY(!editor->isVisible());
            });
            QCOMPARE(m_db->rows(c.rowsSql), withRow(before, c.row("N'2", 1)));
            QCOMPARE(focusedKey(window), QStringLiteral("N'2"));

            MessageBoxes::setNextAnswer(false);
            click(window, "btnDelete");
            QCOMPARE(m_db->rows(c.rowsSql), withRow(before, c.row("N'2", 1)));
            MessageBoxes::setNextAnswer(true);
            click(window, "btnDelete");
            QCOMPARE(m_db->rows(c.rowsSql), before);
            expectShown({{Kind::Question, c.deleteQuestion}, {Kind::Question, c.deleteQuestion}});
            click(window, "btnClose");
        });
        // The list's query is open only while its window is shown.
        QVERIFY(!child<CatalogueWindow>(w, c.window)->grid()->boundModel()->query()->isActive());
    }

    void emptyRequiredFieldKeepsTheEditorOpen_data() { addCatalogueRows(); }

    void emptyRequiredFieldKeepsTheEditorOpen()
    {
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        const QStringList before = m_db->rows(c.rowsSql);
        inCatalogue(c, [&](CatalogueWindow *window) {
            NamedQuery *list = window->grid()->boundModel()->query();
            const int rows = list->rowCount();
            inEditor(window, c.newEditor, "btnAdd", [&](QWidget *editor) {
                c.fill(editor, "  ", 0);
                click(editor, "btnOK");
                expectShown({{Kind::Warning, c.requiredWarning}});
                QVERIFY(editor->isVisible());
                QCOMPARE(m_db->rows(c.rowsSql), before);
                // Nothing is left pending in the list's query.
                QCOMPARE(list->state(), NamedQuery::Browse);
                QCOMPARE(list->rowCount(), rows);
                // What was typed is still there: the ID alone completes the record.
                setText(editor, "edID", "N1");
                click(editor, "btnOK");
            });
            QCOMPARE(m_db->rows(c.rowsSql), withRow(before, c.row("N1", 0)));

            focusRecord(window, "X1");
            const QStringList stored = m_db->rows(c.rowsSql);
            inEditor(window, c.editEditor, "btnEdit", [&](QWidget *editor) {
                setText(editor, "edID", "");
                click(editor, "btnOK");
                expectShown({{Kind::Warning, c.requiredWarning}});
                QVERIFY(editor->isVisible());
            });
            QCOMPARE(m_db->rows(c.rowsSql), stored);
            QCOMPARE(list->state(), NamedQuery::Browse);
        });
    }

    void duplicateKeyShowsTheErrorAndStoresNothing_data() { addCatalogueRows(); }

    void duplicateKeyShowsTheErrorAndStoresNothing()
    {
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        const QStringList before = m_db->rows(c.rowsSql);
        inCatalogue(c, [&](CatalogueWindow *window) {
            NamedQuery *list = window->grid()->boundModel()->query();
            const int rows = list->rowCount();
            inEditor(window, c.newEditor, "btnAdd", [&](QWidget *editor) {
                c.fill(editor, "x1", 0); // keys compare without regard to case
                click(editor, "btnOK");
            });
            expectShown({{Kind::Error, InputError}});
            QCOMPARE(m_db->rows(c.rowsSql), before);
            QCOMPARE(list->state(), NamedQuery::Browse);
            QCOMPARE(list->rowCount(), rows);

            focusRecord(window, "X2");
            inEditor(window, c.editEditor, "btnEdit", [&](QWidget *editor) {
                c.fill(editor, "X1", 1);
                click(editor, "btnOK");
                QVERIFY(!editor->isVisible());
            });
            expectShown({{Kind::Error, c.editError}});
            QCOMPARE(m_db->rows(c.rowsSql), before);
            QCOMPARE(list->state(), NamedQuery::Browse);
        });
    }

    void editOfARecordDeletedMeanwhileStoresNothing_data() { addCatalogueRows(); }

    // Another workstation deleted the record while the list showed it: the change
    // reaches no row, and that is reported, not taken for a success.
    void editOfARecordDeletedMeanwhileStoresNothing()
    {
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        inCatalogue(c, [&](CatalogueWindow *window) {
            focusRecord(window, "X1");
            m_db->exec("DELETE FROM " + c.table + " WHERE " + c.keyColumn + " = 'X1'");
            const QStringList before = m_db->rows(c.rowsSql);
            inEditor(window, c.editEditor, "btnEdit", [&](QWidget *editor) {
                c.fill(editor, "X1", 1);
                click(editor, "btnOK");
            });
            expectShown({{Kind::Error, c.editError}});
            QCOMPARE(m_db->rows(c.rowsSql), before);
        });
    }

    void editingAnAccessPointWithoutZoneLinksIt()
    {
        m_db->exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES ('X3', 'Garaža')");
        inCatalogue(catalogue("access points"), [&](CatalogueWindow *window) {
            focusRecord(window, "X3");
            inEditor(window, "frmEditAccessPoint", "btnEdit", [&](QWidget *editor) {
                QCOMPARE(child<QComboBox>(editor, "cxLookupcmbZone")->currentIndex(), -1);
                chooseZone(editor, "Z1");
                click(editor, "btnOK");
            });
        });
        QCOMPARE(m_db->rows("SELECT id || '|' || IDZone FROM tblDorvZone_TackePristupa WHERE IDTackePristupa = 'X3'"),
                 QStringList({"3|Z1"}));
    }

    void closingGroupsOrZonesRereadsTheMainList_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("name");
        QTest::newRow("groups") << "Grupe" << "groups";
        QTest::newRow("zones") << "Zone" << "zones";
    }

    void closingGroupsOrZonesRereadsTheMainList()
    {
        QFETCH(QString, view);
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        selectView(view);
        const int before = w->masterQuery()->rowCount();
        inCatalogue(c, [&](CatalogueWindow *window) {
            inEditor(window, c.newEditor, "btnAdd", [&](QWidget *editor) {
                c.fill(editor, "N1", 0);
                click(editor, "btnOK");
            });
            // The main window's list follows only once the window closes.
            QCOMPARE(w->masterQuery()->rowCount(), before);
        });
        QCOMPARE(w->masterQuery()->rowCount(), before + 1);
        QStringList ids;
        for (int r = 0; r < w->masterGrid()->model()->rowCount(); ++r)
            ids.append(w->masterGrid()->model()->index(r, 1).data().toString());
        QVERIFY(ids.contains("N1"));
    }

    void accessPointLinkNumbering_data()
    {
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<int>("id");
        QTest::newRow("empty link table") << "DELETE FROM tblDorvZone_TackePristupa" << 1;
        QTest::newRow("after 17") << "UPDATE tblDorvZone_TackePristupa SET id = 17 WHERE id = 2" << 18;
    }

    void accessPointLinkNumbering()
    {
        QFETCH(QString, prepare);
        QFETCH(int, id);
        m_db->exec(prepare);
        inCatalogue(catalogue("access points"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewAccessPoint", "btnAdd", [&](QWidget *editor) {
                catalogue("access points").fill(editor, "T1", 1);
                click(editor, "btnOK");
            });
        });
        QCOMPARE(m_db->rows("SELECT id || '|' || IDZone || '|' || Status FROM tblDorvZone_TackePristupa "
                            "WHERE IDTackePristupa = 'T1'"),
                 QStringList({QString::number(id) + "|Z2|1"}));
    }

    void newAccessPointWithoutZonesWarnsThenShowsTheEmptyDialog()
    {
        inCatalogue(catalogue("access points"), [&](CatalogueWindow *window) {
            // Typed and cancelled once, so that the fields have something to clear.
            inEditor(window, "frmNewAccessPoint", "btnAdd", [&](QWidget *editor) {
                setText(editor, "edID", "T1");
                setText(editor, "edName", "Kapija");
                chooseZone(editor, "Z1");
                click(editor, "btnCancel");
            });
            m_db->exec("DELETE FROM tblDorvZone");
            inEditor(window, "frmNewAccessPoint", "btnAdd", [&](QWidget *editor) {
                expectShown({{Kind::Warning, "Morate definisati bar jednu Zonu pre dodavanja Tacke pristupa."}});
                QVERIFY(editor->isVisible());
                QCOMPARE(child<QLineEdit>(editor, "edID")->text(), QString());
                QCOMPARE(child<QLineEdit>(editor, "edName")->text(), QString());
                QCOMPARE(child<QComboBox>(editor, "cxLookupcmbZone")->currentIndex(), -1);
            });
        });
    }

    void failureInTheMiddleOfTheInsertLeavesNothing()
    {
        m_db->exec("CREATE TRIGGER refuseLink BEFORE INSERT ON tblDorvZone_TackePristupa "
                   "WHEN NEW.IDTackePristupa = 'T1' BEGIN SELECT RAISE(ABORT, 'refused'); END");
        inCatalogue(catalogue("access points"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewAccessPoint", "btnAdd", [&](QWidget *editor) {
                catalogue("access points").fill(editor, "T1", 0);
                click(editor, "btnOK");
            });
        });
        expectShown({{Kind::Error, InputError}});
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM tblDorvTackePristupa WHERE IDTackePristupa = 'T1'").toInt(), 0);
        QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM tblDorvZone_TackePristupa").toInt(), 2);
    }

    void accessPointIdChangeReachesEveryZoneLink_data()
    {
        QTest::addColumn<bool>("refuseLinks");
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("stored") << false << QStringList{"T9|Glavna kapija", "X2|Rampa"}
                                << QStringList{"1|Z2|T9", "2|Z2|X2", "3|Z2|T9"};
        // The links refuse the change: the access point keeps its ID as well.
        QTest::newRow("links refused") << true << QStringList{"X1|Kapija", "X2|Rampa"}
                                       << QStringList{"1|Z1|X1", "2|Z2|X2", "3|X1|X1"};
    }

    void accessPointIdChangeReachesEveryZoneLink()
    {
        QFETCH(bool, refuseLinks);
        QFETCH(QStringList, points);
        QFETCH(QStringList, links);
        m_db->exec("INSERT INTO tblDorvZone_TackePristupa (id, IDZone, IDTackePristupa, Status) VALUES (3, 'X1', 'X1', 1)");
        if (refuseLinks)
            m_db->exec("CREATE TRIGGER refuseLink BEFORE UPDATE ON tblDorvZone_TackePristupa "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        inCatalogue(catalogue("access points"), [&](CatalogueWindow *window) {
            focusRecord(window, "X1");
            inEditor(window, "frmEditAccessPoint", "btnEdit", [&](QWidget *editor) {
                QCOMPARE(child<QLineEdit>(editor, "edName")->text(), QStringLiteral("Kapija"));
                QCOMPARE(child<QComboBox>(editor, "cxLookupcmbZone")->currentText(), QStringLiteral("Hala"));
                QCOMPARE(editor->focusWidget(), child<QLineEdit>(editor, "edName"));
                setText(editor, "edID", "T9");
                setText(editor, "edName", "Glavna kapija");
                chooseZone(editor, "Z2");
                click(editor, "btnOK");
            });
        });
        if (refuseLinks)
            expectShown({{Kind::Error, InputError}});
        QCOMPARE(m_db->rows("SELECT IDTackePristupa || '|' || Naziv FROM tblDorvTackePristupa ORDER BY 1"), points);
        QCOMPARE(m_db->rows("SELECT id || '|' || IDZone || '|' || IDTackePristupa FROM tblDorvZone_TackePristupa "
                            "ORDER BY id"),
                 links);
    }

    void zonesSharingANameAreLinkedByTheChosenZone()
    {
        m_db->exec("UPDATE tblDorvZone SET Naziv = 'Hala' WHERE IDZone = 'Z2'");
        inCatalogue(catalogue("access points"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewAccessPoint", "btnAdd", [&](QWidget *editor) {
                auto *zones = child<QComboBox>(editor, "cxLookupcmbZone");
                QCOMPARE(zones->findText("Hala"), zones->findData("Z1"));
                // The second "Hala" of the chooser.
                zones->setCurrentIndex(zones->findData("Z2"));
                QCOMPARE(zones->currentText(), QStringLiteral("Hala"));
                setText(editor, "edID", "T1");
                setText(editor, "edName", "Ulaz");
                click(editor, "btnOK");
            });
            // The list names the zone an access point enters.
            focusRecord(window, "T1");
            DataGrid *grid = window->grid();
            QCOMPARE(grid->model()->index(grid->currentIndex().row(), 2).data().toString(), QStringLiteral("Hala"));
        });
        QCOMPARE(m_db->scalar("SELECT IDZone FROM tblDorvZone_TackePristupa WHERE IDTackePristupa = 'T1'").toString(),
                 QStringLiteral("Z2"));
    }

    void deleteRemovesOnlyTheFocusedOfSeveralSelectedZones()
    {
        inCatalogue(catalogue("zones"), [&](CatalogueWindow *window) {
            DataGrid *grid = window->grid();
            focusRecord(window, "X1");
            const int z1 = 2; // X1, X2, Z1, Z2 in the order of IDZone
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              grid->visualRect(grid->model()->index(z1, 1)).center());
            QCOMPARE(grid->selectedQueryRows().size(), 2);
            QCOMPARE(focusedKey(window), QStringLiteral("Z1"));
            MessageBoxes::setNextAnswer(true);
            click(window, "btnDelete");
            expectShown({{Kind::Question, "Jeste li sigurni da želite da izbrišete odabranu zonu?"}});
        });
        QCOMPARE(m_db->rows("SELECT IDZone FROM tblDorvZone ORDER BY 1"), QStringList({"X1", "X2", "Z2"}));
    }

    void groupCellsAreEditedInPlace()
    {
        inCatalogue(catalogue("groups"), [&](CatalogueWindow *window) {
            DataGrid *grid = window->grid();
            NamedQuery *list = window->grid()->boundModel()->query();
            focusRecord(window, "X1");
            const QModelIndex name = grid->model()->index(grid->currentIndex().row(), 1);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(name).center());
            QVERIFY(grid->cellSelection());
            // The next double-click opens the cell's editor.
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(name).center());
            auto *cell = grid->viewport()->findChild<QLineEdit *>();
            QVERIFY(cell && cell->isVisible());
            cell->selectAll();
            QTest::keyClicks(cell, "Nova");
            QTest::keyClick(cell, Qt::Key_Return);
            // The editor hands its text over once the key press is done with.
            QTRY_COMPARE(list->state(), NamedQuery::Edit);
            // Leaving the row stores it and goes back to row selection.
            focusRecord(window, "X2");
            QCOMPARE(list->state(), NamedQuery::Browse);
            QVERIFY(!grid->cellSelection());
            QCOMPARE(m_db->scalar("SELECT Naziv FROM tblDorvGrupe WHERE IDGrupe = 'X1'").toString(), QStringLiteral("Nova"));

            // An empty key is refused; a duplicate one fails when the row is left.
            grid->setCellSelection(true);
            const QModelIndex key = grid->model()->index(grid->currentIndex().row(), 0);
            QVERIFY(!grid->model()->setData(key, QString()));
            expectShown({{Kind::Warning, "Polja \"ID grupe\" and \"Naziv grupe\" moraju biti popunjena."}});
            QVERIFY(grid->model()->setData(key, "X1"));
            focusRecord(window, "X1");
            expectShown({{Kind::Error, InputError}});
            QCOMPARE(list->state(), NamedQuery::Browse);
            QCOMPARE(key.data().toString(), QStringLiteral("X2"));
        });
        QCOMPARE(m_db->rows("SELECT IDGrupe || '|' || Naziv FROM tblDorvGrupe ORDER BY 1"),
                 QStringList({"X1|Nova", "X2|Druga"}));
    }

    void uvekGivesTheWholeDayAndTheDialogStaysOpen()
    {
        inCatalogue(catalogue("time intervals"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewTimeInterval", "btnAdd", [&](QWidget *editor) {
                auto *always = child<QCheckBox>(editor, "chkAlways");
                QCOMPARE(always->text(), QStringLiteral("Uvek"));
                setText(editor, "edID", "U1");
                setTimes(editor, QTime(8, 0), QTime(16, 0));
                always->setChecked(true);
                QCOMPARE(child<QTimeEdit>(editor, "edFrom")->time(), QTime(0, 0));
                QCOMPARE(child<QTimeEdit>(editor, "edTo")->time(), QTime(23, 59));
                QVERIFY(!child<QTimeEdit>(editor, "edFrom")->isEnabled());
                QVERIFY(!child<QLabel>(editor, "lblTo")->isEnabled());
                click(editor, "btnOK");
                QVERIFY(editor->isVisible());
                always->setChecked(false);
                QVERIFY(child<QTimeEdit>(editor, "edTo")->isEnabled());
                setText(editor, "edID", "U2");
                setTimes(editor, QTime(7, 0), QTime(15, 0));
                click(editor, "btnOK");
                click(editor, "btnCancel");
            });
            // The new-interval dialog keeps its values from one opening to the next.
            inEditor(window, "frmNewTimeInterval", "btnAdd", [&](QWidget *editor) {
                QCOMPARE(child<QLineEdit>(editor, "edID")->text(), QStringLiteral("U2"));
                QCOMPARE(child<QTimeEdit>(editor, "edTo")->time(), QTime(15, 0));
            });
            QCOMPARE(window->grid()->model()->rowCount(), 4);
        });
        QCOMPARE(m_db->rows("SELECT IDIntervala || '|' || Od || '|' || Do FROM tblDorvVremenskiIntervali "
                            "WHERE IDIntervala LIKE 'U%' ORDER BY 1"),
                 QStringList({"U1|00:00|23:59", "U2|07:00|15:00"}));
    }

    void editIntervalSetsAlwaysFromTheIntervalShown()
    {
        inCatalogue(catalogue("time intervals"), [&](CatalogueWindow *window) {
            for (const QString key : {"X2", "X1", "X2"}) {
                const bool wholeDay = key == "X2";
                focusRecord(window, key);
                inEditor(window, "frmEditTimeInterval", "btnEdit", [&](QWidget *editor) {
                    auto *always = child<QCheckBox>(editor, "chkAlways");
                    QCOMPARE(always->text(), QStringLiteral("Always"));
                    QCOMPARE(always->isChecked(), wholeDay);
                    QCOMPARE(child<QTimeEdit>(editor, "edFrom")->isEnabled(), !wholeDay);
                    QCOMPARE(child<QTimeEdit>(editor, "edTo")->isEnabled(), !wholeDay);
                    QCOMPARE(child<QLabel>(editor, "lblFrom")->isEnabled(), !wholeDay);
                    if (!wholeDay) {
                        // Here the box only disables the times; it leaves their values.
                        always->setChecked(true);
                        QVERIFY(!child<QTimeEdit>(editor, "edFrom")->isEnabled());
                        QCOMPARE(child<QTimeEdit>(editor, "edFrom")->time(), QTime(8, 0));
                    }
                    click(editor, "btnCancel");
                });
            }
        });
    }

    void timesAreWrittenAsHoursAndMinutesWhateverTheLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        inCatalogue(catalogue("time intervals"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewTimeInterval", "btnAdd", [&](QWidget *editor) {
                setText(editor, "edID", "L1");
                setTimes(editor, QTime(8, 5), QTime(17, 0));
                QCOMPARE(child<QTimeEdit>(editor, "edFrom")->text(), QStringLiteral("08:05"));
                click(editor, "btnOK");
            });
        });
        QLocale::setDefault(saved);
        QCOMPARE(m_db->rows("SELECT Od || '-' || Do FROM tblDorvVremenskiIntervali WHERE IDIntervala = 'L1'"),
                 QStringList({"08:05-17:00"}));
    }

    // Each window and editor once as a picture (for a look), with nothing outside its frame.
    void windowsShowEveryFieldInside_data() { addCatalogueRows(); }

    void windowsShowEveryFieldInside()
    {
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        const auto check = [](QWidget *window) {
            window->grab().save(QDir::temp().filePath("dorvalen-" + window->objectName() + ".png"));
            for (QWidget *part : window->findChildren<QWidget *>()) {
                if (!part->isVisibleTo(window) || part->parentWidget() != window)
                    continue;
                QVERIFY2(window->rect().contains(part->geometry()), qPrintable(part->objectName()));
            }
        };
        inCatalogue(c, [&](CatalogueWindow *window) {
            check(window);
            focusRecord(window, "X1");
            inEditor(window, c.newEditor, "btnAdd", check);
            inEditor(window, c.editEditor, "btnEdit", check);
        });
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
