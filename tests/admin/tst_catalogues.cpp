#include "tests/admin/CatalogueFixture.h"

// New, edit, delete, required fields and duplicate keys in all four catalogues; groups and
// zones on their own queries; the main window after they close; every window once as a picture.
class TestCatalogues : public QObject, public CatalogueFixture
{
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void newEditAndDelete_data() { addCatalogueRows(); }

    void newEditAndDelete()
    {
        QFETCH(QString, name);
        const Catalogue &c = catalogue(name);
        const QStringList before = m_db->rows(c.rowsSql);
        inCatalogue(c, [&](CatalogueWindow *window) {
            QCOMPARE(window->windowTitle(), window->entry().caption);
            // The first record is focused and shown so.
            QCOMPARE(focusedKey(window), QStringLiteral("X1"));
            QVERIFY(window->grid()->selectionModel()->isRowSelected(0));
            inEditor(window, c.newEditor, "btnAdd", [&](QWidget *editor) {
                // The list is frozen while an editor that closes on confirming is shown.
                QCOMPARE(window->grid()->updatesEnabled(), window->entry().newEditor.staysOpen);
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
