#include "db/DbConnection.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMMain.h"
#include "widgets/DataGrid.h"
#include "widgets/FilterHeader.h"
#include "widgets/MessageBoxes.h"
#include "widgets/SearchText.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

// Marker, ID, name, a number, a date-time and a media ID; A4 has neither number nor date.
void fillRows(TempDatabase &db)
{
    db.exec("CREATE TABLE t (Oznaka TEXT, ID TEXT, Naziv TEXT, Broj INT, Datum DATETIME, IDNo TEXT)");
    db.exec("INSERT INTO t VALUES ('', 'A1', 'Zoran', 10, '2023-12-01 08:00:00', 'A200000001B81C02'),"
            "('.', 'A2', 'Đorđević', 2, '2024-01-15 08:00:00', 'B200000001B81C03'),"
            "('', 'A3', 'Čačak', 9, '2022-06-30 08:00:00', 'C200000001B81C04'),"
            "('.', 'A4', 'ana', NULL, NULL, 'D200000001B81C05'),"
            "('', 'A5', 'Cvetić', 100, '2023-01-05', 'E200000001B81C06')");
}

enum Column { Icon, Id, Name, Number, Date, Media };

} // namespace

class TestDataGrid : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<DbConnection> m_conn;
    std::unique_ptr<NamedQuery> m_query;
    std::unique_ptr<NamedQueryModel> m_model;
    std::unique_ptr<DataGrid> m_grid;

    QStringList shownIds() const
    {
        QStringList out;
        for (int r = 0; r < m_grid->model()->rowCount(); ++r)
            out.append(m_grid->model()->index(r, Id).data().toString());
        return out;
    }

    void clickHeader(int column)
    {
        QHeaderView *header = m_grid->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->viewport()->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    void clickRow(int viewRow, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = m_grid->visualRect(m_grid->model()->index(viewRow, Name));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    int queryRowOf(const QString &id) const
    {
        for (int r = 0; r < m_query->rowCount(); ++r)
            if (m_query->cell(r, m_query->fieldIndex("ID")).toString() == id)
                return r;
        return -1;
    }

    void focus(const QString &id) { m_query->moveTo(queryRowOf(id)); }

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        m_db = std::make_unique<TempDatabase>();
        fillRows(*m_db);
        m_conn = std::make_unique<DbConnection>();
        m_conn->setConnectionString("Provider=SQLite;Data Source=" + m_db->fileName());
        m_query = std::make_unique<NamedQuery>("q", m_conn.get());
        m_query->setText("SELECT Oznaka AS \" \", ID, Naziv, Broj, Datum, IDNo FROM t");
        m_query->setDisplayFormat("Datum", "dd/MM/yy");
        m_model = std::make_unique<NamedQueryModel>(m_query.get());
        m_model->setColumns({{" ", " "}, {"ID", "ID"}, {"Naziv", "Naziv"}, {"Broj", "Broj"}, {"Datum", "Datum"},
                             {"IDNo", "IDNo"}});
        m_grid = std::make_unique<DataGrid>(true);
        m_grid->setIconChooser([this](int row) { return m_query->cell(row, 0).toString() == "." ? 3 : 0; });
        m_grid->bind(m_model.get());
        m_query->open();
        m_grid->resize(700, 300);
        m_grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    }

    void cleanup()
    {
        m_grid.reset();
        m_model.reset();
        m_query.reset();
        m_conn.reset();
        m_db.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void foldsCaseAndDiacritics_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("stroked d") << "Đorđević" << "dord" << true;
        QTest::newRow("carons and acutes") << "Čačak Ćirić" << "cacak cir" << true;
        QTest::newRow("upper case typed") << "šušnjar" << "ŠUŠ" << true;
        QTest::newRow("z with caron") << "Žarko" << "zar" << true;
        QTest::newRow("typed with diacritics") << "Djordje Cacak" << "čačak" << true;
        QTest::newRow("combining mark") << QString("Rene\u0301") << "rené" << true;
        QTest::newRow("polish stroke") << "Łódź" << "lodz" << true;
        QTest::newRow("nested decomposition") << QString("\u01D6") << "u" << true;
        QTest::newRow("other letters") << "Petrović" << "pera" << false;
        QTest::newRow("d is not dj") << "Đorđe" << "djor" << false;
    }

    void foldsCaseAndDiacritics()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(SearchText::contains(SearchText::folded(text), SearchText::folded(typed)), found);
    }

    void headerClickSortsThenReverses_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        // Text without regard to case and diacritics; numbers and dates by value, not by
        // their text; empty values first.
        QTest::newRow("text") << int(Name) << QStringList{"A4", "A3", "A5", "A2", "A1"};
        QTest::newRow("number") << int(Number) << QStringList{"A4", "A2", "A3", "A1", "A5"};
        QTest::newRow("date") << int(Date) << QStringList{"A4", "A3", "A5", "A1", "A2"};
    }

    void headerClickSortsThenReverses()
    {
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        QCOMPARE(shownIds(), QStringList({"A1", "A2", "A3", "A4", "A5"}));
        clickHeader(column);
        QCOMPARE(shownIds(), ascending);
        QCOMPARE(m_grid->horizontalHeader()->sortIndicatorSection(), column);
        clickHeader(column);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(shownIds(), ascending);
        QCOMPARE(m_grid->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        // The query itself keeps its order: sorting is the list's.
        QCOMPARE(m_query->cell(0, m_query->fieldIndex("ID")).toString(), QStringLiteral("A1"));
    }

    void iconColumnIsNeitherSortedNorFiltered()
    {
        clickHeader(Name);
        const QStringList byName = shownIds();
        clickHeader(Icon);
        QCOMPARE(shownIds(), byName);
        QCOMPARE(m_grid->horizontalHeader()->sortIndicatorSection(), int(Name));
        QVERIFY(m_grid->filterEditor(Icon) == nullptr);
        for (int c : {Id, Name, Number, Date, Media})
            QVERIFY(m_grid->filterEditor(c) != nullptr && m_grid->filterEditor(c)->isVisible());
    }

    void filterRowNarrowsTheRows_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("diacritics") << int(Name) << "dord" << QStringList{"A2"};
        QTest::newRow("case") << int(Name) << "AN" << QStringList{"A1", "A4"};
        QTest::newRow("shown date text") << int(Date) << "/23" << QStringList{"A1", "A5"};
        QTest::newRow("number") << int(Number) << "10" << QStringList{"A1", "A5"};
        QTest::newRow("nothing") << int(Name) << "xyz" << QStringList{};
    }

    void filterRowNarrowsTheRows()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QTest::keyClicks(m_grid->filterEditor(column), typed);
        QCOMPARE(shownIds(), shown);
        // Escape in the box empties it and shows every row again.
        QTest::keyClick(m_grid->filterEditor(column), Qt::Key_Escape);
        QCOMPARE(m_grid->filterEditor(column)->text(), QString());
        QCOMPARE(shownIds().size(), 5);
    }

    void filtersOfSeveralColumnsAllApply()
    {
        m_grid->setFilterText(Name, "c");
        QCOMPARE(shownIds(), QStringList({"A2", "A3", "A5"}));
        m_grid->setFilterText(Number, "9");
        QCOMPARE(shownIds(), QStringList({"A3"}));
    }

    void focusedRecordStaysFocusedWhileShown()
    {
        focus("A3");
        clickHeader(Name);
        QCOMPARE(m_grid->currentIndex().row(), 1); // A4, A3, ...
        QCOMPARE(m_query->asString("ID"), QStringLiteral("A3"));
        m_grid->setFilterText(Name, "c"); // A3, A5, A2 by name
        QCOMPARE(m_query->asString("ID"), QStringLiteral("A3"));
        QCOMPARE(m_grid->model()->index(m_grid->currentIndex().row(), Id).data().toString(), QStringLiteral("A3"));
        // Hidden by the filter: the first record shown takes the focus.
        m_grid->setFilterText(Name, "zor");
        QCOMPARE(m_query->asString("ID"), QStringLiteral("A1"));
        QCOMPARE(m_grid->currentIndex().row(), 0);
        m_grid->setFilterText(Name, QString());
        QCOMPARE(m_query->asString("ID"), QStringLiteral("A1"));
        QCOMPARE(m_grid->model()->index(m_grid->currentIndex().row(), Id).data().toString(), QStringLiteral("A1"));
    }

    void clickingASortedRowFocusesThatRecord()
    {
        clickHeader(Number);
        clickHeader(Number); // A5, A1, A3, A2, A4
        clickRow(1);
        QCOMPARE(m_query->asString("ID"), QStringLiteral("A1"));
        QCOMPARE(m_grid->queryRow(1), queryRowOf("A1"));
        QCOMPARE(m_grid->viewRow(queryRowOf("A4")), 4);
        // The icon of a shown row is the one of its record.
        QCOMPARE(m_grid->iconFor(m_grid->queryRow(4)), 3);
        QCOMPARE(m_grid->iconFor(m_grid->queryRow(0)), 0);
    }

    void selectionSurvivesSortingAndFiltering()
    {
        clickRow(0);
        clickRow(2, Qt::ControlModifier); // A1 and A3, focus on A3
        QCOMPARE(m_grid->selectedQueryRows(), QList<int>({queryRowOf("A1"), queryRowOf("A3")}));
        clickHeader(Name);
        QCOMPARE(m_grid->selectedQueryRows(), QList<int>({queryRowOf("A1"), queryRowOf("A3")}));
        QCOMPARE(m_query->asString("ID"), QStringLiteral("A3"));
        // The model's own selection says the same, in query rows.
        QCOMPARE(m_model->selectionModel()->isRowSelected(queryRowOf("A1")), true);
        m_grid->setFilterText(Name, "c");
        QCOMPARE(m_grid->selectedQueryRows(), QList<int>({queryRowOf("A3")}));
    }

    void rereadingKeepsSortAndFilter()
    {
        clickHeader(Name);
        m_grid->setFilterText(Name, "c");
        m_db->exec("INSERT INTO t VALUES ('', 'A6', 'Ceca', 1, NULL, '')");
        m_query->requery();
        QCOMPARE(shownIds(), QStringList({"A3", "A6", "A5", "A2"}));
        QCOMPARE(m_grid->filterEditor(Name)->text(), QStringLiteral("c"));
    }

    void anotherColumnSetupStartsUnsortedAndUnfiltered()
    {
        clickHeader(Name);
        m_grid->setFilterText(Name, "c");
        m_model->setColumns({{"ID", "ID"}, {"Broj", "Broj"}});
        QCOMPARE(m_grid->model()->rowCount(), 5);
        QCOMPARE(m_grid->model()->index(0, 0).data().toString(), QStringLiteral("A1"));
        QCOMPARE(m_grid->filterEditor(0)->text(), QString());
        QCOMPARE(m_grid->horizontalHeader()->sortIndicatorSection(), -1);
    }

    void mediaIdColumnShowsAllSixteenDigits()
    {
        m_grid->resize(320, 200);
        QTRY_VERIFY(m_grid->columnWidth(Media) > 0);
        const int text = m_grid->fontMetrics().horizontalAdvance("E200000001B81C06");
        QVERIFY2(m_grid->columnWidth(Media) > text, qPrintable(QString::number(m_grid->columnWidth(Media))));
        // The other columns share what is left.
        QVERIFY(m_grid->columnWidth(Name) < text);
    }

    void personListSortedAndFilteredInTheMainWindow()
    {
        TempDatabase db;
        db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
        db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES "
                "('P1', 'Jovanović', 'Ana', 'S1'), ('P2', 'Đorđević', 'Marko', 'S1'), ('P3', 'Babić', 'Ivan', 'S1')");
        StartedProgram program("Provider=SQLite;Data Source=" + db.fileName());
        TfrmDorvalen &w = program.window();
        DataGrid *grid = w.masterGrid();
        auto *id = w.findChild<QLineEdit *>("edtID");
        grid->sortBy(2, Qt::AscendingOrder); // Prezime
        QCOMPARE(id->text(), QStringLiteral("P1"));
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QCOMPARE(id->text(), QStringLiteral("P3"));
        QTest::keyClicks(grid->filterEditor(2), "dord");
        QCOMPARE(grid->model()->rowCount(), 1);
        QCOMPARE(id->text(), QStringLiteral("P2"));
        // Row numbers count the rows shown, from the top.
        QCOMPARE(grid->visibleNumber(grid->rowAt(0)), 1);
        w.grab().save(QDir::temp().filePath("dorvalen-filtered-persons.png"));
    }

    // The commands read the selection in rows of the query, whatever the list shows.
    void unassigningFromASortedDetailListRemovesTheRowsSelected()
    {
        TempDatabase db;
        db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
        db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES "
                "('P1', 'Jovanović', 'Ana', 'S1'), ('P2', 'Đorđević', 'Marko', 'S1'), ('P3', 'Babić', 'Ivan', 'S1')");
        db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G1', 'Radnici')");
        db.exec("INSERT INTO tblDorvOsobe_Grupe (ID, IDZaposlenog, IDGrupe, Status) VALUES "
                "(1, 'P1', 'G1', 1), (2, 'P2', 'G1', 1), (3, 'P3', 'G1', 1)");
        StartedProgram program("Provider=SQLite;Data Source=" + db.fileName());
        TfrmDorvalen &w = program.window();
        w.findChild<QTabBar *>("tabMain")->setCurrentIndex(1); // Grupe, detail tab Osobe
        DataGrid *detail = w.detailGrid();
        QCOMPARE(detail->model()->rowCount(), 3);
        detail->sortBy(1, Qt::DescendingOrder); // P3, P2, P1
        const auto click = [detail](int row, Qt::KeyboardModifiers modifiers) {
            QTest::mouseClick(detail->viewport(), Qt::LeftButton, modifiers,
                              detail->visualRect(detail->model()->index(row, 1)).center());
        };
        click(0, {});
        click(1, Qt::ControlModifier);
        MessageBoxes::setNextAnswer(true);
        w.btnUnassign->click();
        QCOMPARE(MessageBoxes::takeShown().size(), 1);
        QCOMPARE(db.rows("SELECT IDZaposlenog FROM tblDorvOsobe_Grupe"), QStringList({"P1"}));
    }
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
