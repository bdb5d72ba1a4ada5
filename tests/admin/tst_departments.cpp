#include "tests/admin/AdminFixture.h"

#include "admin/uDepartements.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "link/uGlobalVars.h"

#include <QHeaderView>

namespace {

void fillDepartments(TempDatabase &db)
{
    // Two departments share the name "Prodaja"; "Siroce" names a parent S8 that is gone.
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora, Nadredjeni) VALUES ('S1', 'Uprava', NULL), "
            "('S2', 'Prodaja', 'S1'), ('S3', 'Prodaja', 'S1'), ('S4', 'Magacin', 'S2'), ('7', 'Sedmi', ''), "
            "('S9', 'Siroce', 'S8')");
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES "
            "('P1', 'Perić', 'Ana', 'S2'), ('P2', 'Jović', 'Marko', 'S4'), ('P3', 'Ilić', 'Iva', 'S1')");
}

const QString kAllDepartments = QStringLiteral(
    "SELECT IDSektora, NazivSektora, COALESCE(Nadredjeni, '<null>') FROM Sektor ORDER BY IDSektora");
const QString kAllPersons = QStringLiteral("SELECT IDZaposlenog, IDSektora FROM Zaposleni ORDER BY IDZaposlenog");
const QString kFilled = QStringLiteral("\"ID sektora\" i \"Naziv sektora\" moraju biti popunjeni.");
const QString kLoop =
    QStringLiteral("\"Nadređeni sektor\" ne može biti sam sektor niti neki od njegovih podređenih sektora.");

} // namespace

class TestDepartments : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AdminProgram> m_program;
    TfrmDorvalen *w = nullptr;

    TempDatabase &db() { return m_program->db; }
    bool inTransaction() const { return w->dmGZ->connMain->inTransaction(); }

    // Opens "Konfiguracija" -> "Sektori" and runs act in it; act closes it.
    void inDepartments(const std::function<void(QWidget *)> &act)
    {
        whenModalShown(act, QStringLiteral("frmDepartements"));
        w->Sektori1->trigger();
    }
    static void focus(QWidget *list, const QString &id)
    {
        auto *grid = child<DataGrid>(list, QStringLiteral("gridDepartements"));
        const int row = int(columnTexts(grid, 0).indexOf(id));
        if (row < 0)
            QTest::qFail(qPrintable("no department " + id), __FILE__, __LINE__);
        grid->setCurrentIndex(grid->model()->index(row, 0));
    }
    // From the list, opens the new (focused empty) or edit (focused on id) dialog.
    static void openDialog(QWidget *list, const QString &focused, const std::function<void(QWidget *)> &act)
    {
        if (focused.isEmpty()) {
            whenModalShown(act, QStringLiteral("frmNewDepartement"));
            click(list, QStringLiteral("btnAdd"));
        } else {
            focus(list, focused);
            whenModalShown(act, QStringLiteral("frmEditDepartement"));
            click(list, QStringLiteral("btnEdit"));
        }
    }
    static void fill(QWidget *dialog, const QString &id, const QString &name, const QString &parent)
    {
        type(dialog, QStringLiteral("edtIDSektora"), id);
        type(dialog, QStringLiteral("edtNazivSektora"), name);
        choose(dialog, QStringLiteral("cbbNadredjeni"), parent);
    }
    static QStringList listRow(QWidget *list, const QString &id)
    {
        auto *grid = child<DataGrid>(list, QStringLiteral("gridDepartements"));
        const int row = int(columnTexts(grid, 0).indexOf(id));
        QStringList out;
        for (int c = 0; row >= 0 && c < 3; ++c)
            out.append(grid->model()->index(row, c).data().toString());
        return out;
    }

private slots:
    void init()
    {
        m_program = std::make_unique<AdminProgram>(fillDepartments);
        w = &m_program->window();
    }

    void cleanup()
    {
        m_program.reset();
        globals().LastDepartment.clear();
    }

    void windowsShowTheirFieldsInOrder()
    {
        QStringList headers, newLabels, editLabels, newButtons, editButtons, editValues, choices;
        QString cut;
        bool whole = true;
        inDepartments([&](QWidget *list) {
            auto *grid = child<DataGrid>(list, QStringLiteral("gridDepartements"));
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                headers.append(grid->model()->headerData(c, Qt::Horizontal).toString());
            whole = whole && nothingCutOff(list, &cut);
            openDialog(list, QString(), [&](QWidget *dialog) {
                newLabels = formLabels(dialog) << dialog->windowTitle();
                newButtons << child<QPushButton>(dialog, "btnOK")->text() << child<QPushButton>(dialog, "btnCancel")->text();
                auto *combo = child<QComboBox>(dialog, QStringLiteral("cbbNadredjeni"));
                for (int i = 0; i < combo->count(); ++i)
                    choices.append(combo->itemText(i));
                whole = whole && nothingCutOff(dialog, &cut);
                click(dialog, QStringLiteral("btnCancel"));
            });
            openDialog(list, QStringLiteral("S4"), [&](QWidget *dialog) {
                editLabels = formLabels(dialog) << dialog->windowTitle();
                editButtons << child<QPushButton>(dialog, "btnOK")->text() << child<QPushButton>(dialog, "btnCancel")->text();
                editValues << child<QLineEdit>(dialog, "edtIDSektora")->text()
                           << child<QLineEdit>(dialog, "edtNazivSektora")->text()
                           << child<QComboBox>(dialog, "cbbNadredjeni")->currentText();
                whole = whole && nothingCutOff(dialog, &cut);
                click(dialog, QStringLiteral("btnCancel"));
            });
            click(list, QStringLiteral("btnClose"));
        });
        QCOMPARE(headers, QStringList({"ID Sektora", "Naziv Sektora", "Nadređeni sektor"}));
        QCOMPARE(newLabels, QStringList({"ID Sektora", "Naziv sektora", "Nadređeni sektor", "Novi sektor"}));
        QCOMPARE(newButtons, QStringList({"Dodaj", "Otkaži"}));
        QCOMPARE(editLabels, QStringList({"ID Sektora", "Naziv sektora", "Nadređeni sektor", "Izmena podataka o sektoru"}));
        QCOMPARE(editButtons, QStringList({"U redu", "Otkaži"}));
        QCOMPARE(editValues, QStringList({"S4", "Magacin", "Prodaja (S2)"}));
        // Names, with the ID where two departments share one; the empty choice first.
        QCOMPARE(choices, QStringList({"", "Magacin", "Prodaja (S2)", "Prodaja (S3)", "Sedmi", "Siroce", "Uprava"}));
        QVERIFY2(whole, qPrintable(cut));
    }

    void newDepartment_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("storedParent");
        QTest::addColumn<QString>("listedParent");
        QTest::newRow("one of two parents of one name") << "S10" << "Nabavka" << "S3" << "S3" << "Prodaja";
        QTest::newRow("no parent") << "S10" << "Nabavka" << "" << "<null>" << "";
        QTest::newRow("apostrophes") << "O'B" << "Prodaja 'Sever'" << "S1" << "S1" << "Uprava";
    }

    void newDepartment()
    {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, storedParent);
        QFETCH(QString, listedParent);
        Seen seen;
        QStringList listed;
        inDepartments([&](QWidget *list) {
            openDialog(list, QString(), [&](QWidget *dialog) {
                fill(dialog, id, name, parent);
                seen = clickAndClose(dialog, QStringLiteral("btnOK"));
            });
            listed = listRow(list, id);
            click(list, QStringLiteral("btnClose"));
        });
        QVERIFY(!seen.stayedOpen);
        QCOMPARE(boxTexts(seen.boxes), QStringList());
        QCOMPARE(db().rows("SELECT NazivSektora, COALESCE(Nadredjeni, '<null>') FROM Sektor WHERE IDSektora = '"
                           + QString(id).replace("'", "''") + "'"),
                 QStringList({name + "|" + storedParent}));
        QCOMPARE(listed, QStringList({id, name, listedParent}));
        QVERIFY(!inTransaction());
    }

    void editDepartment_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QStringList>("departments");
        QTest::addColumn<QStringList>("persons");
        QTest::newRow("parent cleared")
            << "S2" << "S2" << "Prodaja" << ""
            << QStringList{"7|Sedmi|", "S1|Uprava|<null>", "S2|Prodaja|", "S3|Prodaja|S1", "S4|Magacin|S2", "S9|Siroce|S8"}
            << QStringList{"P1|S2", "P2|S4", "P3|S1"};
        QTest::newRow("ID renamed, persons and children follow")
            << "S2" << "S2X" << "Prodaja Sever" << "S1"
            << QStringList{"7|Sedmi|", "S1|Uprava|<null>", "S2X|Prodaja Sever|S1", "S3|Prodaja|S1", "S4|Magacin|S2X",
                           "S9|Siroce|S8"}
            << QStringList{"P1|S2X", "P2|S4", "P3|S1"};
        QTest::newRow("apostrophes")
            << "S4" << "M'4" << "Magacin 'Jug'" << "S3"
            << QStringList{"7|Sedmi|", "M'4|Magacin 'Jug'|S3", "S1|Uprava|<null>", "S2|Prodaja|S1", "S3|Prodaja|S1",
                           "S9|Siroce|S8"}
            << QStringList{"P1|S2", "P2|M'4", "P3|S1"};
    }

    void editDepartment()
    {
        QFETCH(QString, focused);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QStringList, departments);
        QFETCH(QStringList, persons);
        globals().LastDepartment = focused;
        Seen seen;
        QStringList listed;
        inDepartments([&](QWidget *list) {
            openDialog(list, focused, [&](QWidget *dialog) {
                fill(dialog, id, name, parent);
                seen = clickAndClose(dialog, QStringLiteral("btnOK"));
            });
            listed = listRow(list, id);
            click(list, QStringLiteral("btnClose"));
        });
        QVERIFY(!seen.stayedOpen);
        QCOMPARE(boxTexts(seen.boxes), QStringList());
        QCOMPARE(db().rows(kAllDepartments), departments);
        QCOMPARE(db().rows(kAllPersons), persons);
        QCOMPARE(listed.value(1), name);
        // The department chosen last for new persons follows a renamed ID.
        QCOMPARE(globals().LastDepartment, id);
        QVERIFY(!inTransaction());
    }

    void emptyFieldsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("new, no ID") << "" << "" << "Nabavka";
        QTest::newRow("new, no name") << "" << "S10" << "";
        QTest::newRow("edit, no ID") << "S2" << "" << "Prodaja";
        QTest::newRow("edit, no name") << "S2" << "S2" << "";
    }

    void emptyFieldsKeepTheDialogOpen()
    {
        QFETCH(QString, focused);
        QFETCH(QString, id);
        QFETCH(QString, name);
        const QStringList before = db().rows(kAllDepartments);
        Seen seen;
        inDepartments([&](QWidget *list) {
            openDialog(list, focused, [&](QWidget *dialog) {
                fill(dialog, id, name, QString());
                seen = clickAndClose(dialog, QStringLiteral("btnOK"));
            });
            click(list, QStringLiteral("btnClose"));
        });
        QVERIFY(seen.stayedOpen);
        QCOMPARE(boxTexts(seen.boxes), QStringList({kFilled}));
        QCOMPARE(seen.boxes.first().kind, MessageBoxes::Kind::Warning);
        QCOMPARE(db().rows(kAllDepartments), before);
        QVERIFY(!inTransaction());
    }

    void parentLoopIsRefused_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("parent");
        QTest::newRow("itself") << "S2" << "S2" << "S2";
        QTest::newRow("its child") << "S2" << "S2" << "S4";
        QTest::newRow("its grandchild") << "S1" << "S1" << "S4";
        QTest::newRow("its child, under a new ID") << "S2" << "S2N" << "S4";
        // S9 still names S8 as its parent: a new S8 would adopt it.
        QTest::newRow("new, a department naming its ID") << "" << "S8" << "S9";
    }

    void parentLoopIsRefused()
    {
        QFETCH(QString, focused);
        QFETCH(QString, id);
        QFETCH(QString, parent);
        const QStringList before = db().rows(kAllDepartments);
        const QStringList persons = db().rows(kAllPersons);
        Seen seen;
        inDepartments([&](QWidget *list) {
            openDialog(list, focused, [&](QWidget *dialog) {
                fill(dialog, id, QStringLiteral("Naziv"), parent);
                seen = clickAndClose(dialog, QStringLiteral("btnOK"));
            });
            click(list, QStringLiteral("btnClose"));
        });
        QVERIFY(seen.stayedOpen);
        QCOMPARE(boxTexts(seen.boxes), QStringList({kLoop}));
        QCOMPARE(seen.boxes.first().kind, MessageBoxes::Kind::Warning);
        QCOMPARE(db().rows(kAllDepartments), before);
        QCOMPARE(db().rows(kAllPersons), persons);
        QVERIFY(!inTransaction());
    }

    void refusedSaveKeepsTheDialogWithAFreshTransaction_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("error");
        QTest::newRow("new") << "" << "Greška u transakciji. Sektor nije dodat.";
        QTest::newRow("edit") << "S2" << "Greška u transakciji. Sektor nije izmenjen.";
    }

    // A duplicate ID is refused; the next attempt in the same dialog saves.
    void refusedSaveKeepsTheDialogWithAFreshTransaction()
    {
        QFETCH(QString, focused);
        QFETCH(QString, error);
        Seen first;
        bool heldTransaction = false;
        bool secondClosed = false;
        inDepartments([&](QWidget *list) {
            openDialog(list, focused, [&](QWidget *dialog) {
                fill(dialog, QStringLiteral("S1"), QStringLiteral("Nabavka"), QString());
                MessageBoxes::takeShown();
                click(dialog, QStringLiteral("btnOK"));
                first.stayedOpen = dialog->isVisible();
                first.boxes = MessageBoxes::takeShown();
                heldTransaction = inTransaction();
                type(dialog, QStringLiteral("edtIDSektora"), QStringLiteral("S20"));
                secondClosed = !clickAndClose(dialog, QStringLiteral("btnOK")).stayedOpen;
            });
            click(list, QStringLiteral("btnClose"));
        });
        QVERIFY(first.stayedOpen);
        QCOMPARE(boxTexts(first.boxes), QStringList({error}));
        QCOMPARE(first.boxes.first().kind, MessageBoxes::Kind::Error);
        QVERIFY(heldTransaction);
        QVERIFY(secondClosed);
        QCOMPARE(db().rows("SELECT NazivSektora FROM Sektor WHERE IDSektora IN ('S1', 'S20') ORDER BY IDSektora"),
                 QStringList({"Uprava", "Nabavka"}));
        QVERIFY(!inTransaction());
    }

    void cancellingChangesNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("new dialog") << "new";
        QTest::newRow("edit dialog") << "edit";
        QTest::newRow("delete answered No") << "delete";
    }

    void cancellingChangesNothing()
    {
        QFETCH(QString, what);
        const QStringList before = db().rows(kAllDepartments);
        QStringList listedBefore, listedAfter;
        bool transactionAfter = true;
        inDepartments([&](QWidget *list) {
            auto *grid = child<DataGrid>(list, QStringLiteral("gridDepartements"));
            listedBefore = columnTexts(grid, 1);
            if (what == QLatin1String("delete")) {
                focus(list, QStringLiteral("S4"));
                MessageBoxes::setNextAnswer(false);
                click(list, QStringLiteral("btnDelete"));
            } else {
                openDialog(list, what == QLatin1String("new") ? QString() : QStringLiteral("S4"), [&](QWidget *dialog) {
                    fill(dialog, QStringLiteral("S4"), QStringLiteral("Promenjeno"), QStringLiteral("S1"));
                    click(dialog, QStringLiteral("btnCancel"));
                });
            }
            listedAfter = columnTexts(grid, 1);
            transactionAfter = inTransaction();
            click(list, QStringLiteral("btnClose"));
        });
        QCOMPARE(db().rows(kAllDepartments), before);
        QCOMPARE(listedAfter, listedBefore);
        QVERIFY(!transactionAfter);
    }

    void deleteDepartment_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("deleted") << "S9" << QStringList{} << QStringList{"7", "S1", "S2", "S3", "S4"};
        QTest::newRow("refused by the database") << "S1" << QStringList{"Greška, podaci nisu izbrisani."}
                                                 << QStringList{"7", "S1", "S2", "S3", "S4", "S9"};
    }

    void deleteDepartment()
    {
        QFETCH(QString, focused);
        QFETCH(QStringList, errors);
        QFETCH(QStringList, remaining);
        db().exec("CREATE TRIGGER keepUprava BEFORE DELETE ON Sektor WHEN old.IDSektora = 'S1' "
                  "BEGIN SELECT RAISE(ABORT, 'Uprava is in use'); END");
        QList<MessageBoxes::Shown> boxes;
        QStringList listed;
        inDepartments([&](QWidget *list) {
            focus(list, focused);
            MessageBoxes::takeShown();
            MessageBoxes::setNextAnswer(true);
            click(list, QStringLiteral("btnDelete"));
            boxes = MessageBoxes::takeShown();
            listed = columnTexts(child<DataGrid>(list, QStringLiteral("gridDepartements")), 0);
            click(list, QStringLiteral("btnClose"));
        });
        QVERIFY(!boxes.isEmpty());
        QCOMPARE(boxes.takeFirst().text, QStringLiteral("Jeste li sigurni da želite da izbrišete odabrani sektor?"));
        QCOMPARE(boxTexts(boxes), errors);
        QCOMPARE(db().rows("SELECT IDSektora FROM Sektor ORDER BY IDSektora"), remaining);
        listed.sort();
        QCOMPARE(listed, remaining);
        QVERIFY(!inTransaction());
    }

    // "Zatvori" of the catalogue re-reads the person list, whose rows show department names.
    void closingTheCatalogueRereadsThePersons()
    {
        QCOMPARE(w->masterGrid()->model()->rowCount(), 3);
        db().exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('P4', 'Novi', 'Neko', '7')");
        inDepartments([&](QWidget *list) { click(list, QStringLiteral("btnClose")); });
        QCOMPARE(w->masterGrid()->model()->rowCount(), 4);
    }

    // From the person dialog's "...": "Zatvori" on department 7 chooses it, keeps what was
    // typed, and leaves the person list alone.
    void pickerChoosesWithoutRereadingThePersons()
    {
        int rowsBefore = -1, rowsAfter = -1;
        QString chosen;
        QStringList typed;
        QList<MessageBoxes::Shown> boxes;
        whenModalShown(
            [&](QWidget *person) {
                type(person, QStringLiteral("edtID"), QStringLiteral("P9"));
                type(person, QStringLiteral("edtPrezime"), QStringLiteral("Marić"));
                type(person, QStringLiteral("edtIme"), QStringLiteral("Mila"));
                rowsBefore = w->dmMain->qPersons->rowCount();
                whenModalShown(
                    [&](QWidget *list) {
                        focus(list, QStringLiteral("7"));
                        db().exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) "
                                  "VALUES ('P4', 'Novi', 'Neko', '7')");
                        click(list, QStringLiteral("btnClose"));
                    },
                    QStringLiteral("frmDepartements"));
                MessageBoxes::takeShown();
                click(person, QStringLiteral("btnSektor"));
                boxes = MessageBoxes::takeShown();
                rowsAfter = w->dmMain->qPersons->rowCount();
                chosen = child<QComboBox>(person, QStringLiteral("cbbSektor"))->currentData().toString();
                for (const char *name : {"edtID", "edtPrezime", "edtIme"})
                    typed.append(child<QLineEdit>(person, name)->text());
                click(person, QStringLiteral("btnCancel"));
            },
            QStringLiteral("frmNewEmployee"));
        QTest::mouseClick(w->btnAddPerson, Qt::LeftButton);
        QCOMPARE(chosen, QStringLiteral("7"));
        QCOMPARE(typed, QStringList({"P9", "Marić", "Mila"}));
        QCOMPARE(rowsAfter, rowsBefore);
        QCOMPARE(boxTexts(boxes), QStringList());
        // The flag is the caller's for the one picking only.
        QVERIFY(!w->findChild<TfrmDepartements *>("frmDepartements")->isPicker());
    }
};

QTEST_MAIN(TestDepartments)
#include "tst_departments.moc"
