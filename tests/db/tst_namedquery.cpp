#include "db/ConnectionString.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "tests/support/TempDatabase.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

// The dataset layer on small tables of its own: parameters, fields, focus, master and
// detail, writing back, transactions and the item model.
class TestNamedQuery : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<DbConnection> m_conn;

    NamedQuery *query(const QString &text)
    {
        auto *q = new NamedQuery(QStringLiteral("q"), m_conn.get(), m_conn.get());
        q->setText(text);
        return q;
    }

    NamedQuery *editableItems()
    {
        NamedQuery *q = query("SELECT Code, Title, Amount FROM item ORDER BY Code");
        q->setUpdateTarget({"item", {"Code"}, {}, {}, {}, {}});
        q->open();
        return q;
    }

    static QStringList codes(NamedQuery *q)
    {
        QStringList out;
        for (q->first(); !q->eof(); q->next())
            out << q->asString("Code");
        return out;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("CREATE TABLE item (Code VARCHAR(10) COLLATE NOCASE PRIMARY KEY, Title VARCHAR(50), "
                   "Amount INT, Since DATETIME, Data BLOB)");
        m_db->exec("CREATE TABLE part (ID INT PRIMARY KEY, Code VARCHAR(10) COLLATE NOCASE, Name VARCHAR(20))");
        m_db->exec("INSERT INTO item VALUES ('A', 'O''Brien', 1, '2024-03-01 08:15:00', X'00FF10')");
        m_db->exec("INSERT INTO item VALUES ('B', 'Beta', 2, '2024-03-02T09:30:00', NULL)");
        m_db->exec("INSERT INTO item VALUES ('C', NULL, NULL, NULL, NULL)");
        m_db->exec("INSERT INTO part VALUES (1, 'A', 'a1'), (2, 'A', 'a2'), (3, 'B', 'b1')");
        m_conn = std::make_unique<DbConnection>();
        m_conn->setConnectionString(ConnectionString::forSqliteFile(m_db->fileName()));
    }

    void cleanup()
    {
        m_conn.reset();
        m_db.reset();
    }

    void parametersAreBoundNotSpliced_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("apostrophe") << "O'Brien" << QStringList{"A"};
        QTest::newRow("injection attempt") << "x' OR '1'='1" << QStringList{};
        QTest::newRow("plain") << "Beta" << QStringList{"B"};
    }

    void parametersAreBoundNotSpliced()
    {
        QFETCH(QString, title);
        QFETCH(QStringList, found);
        NamedQuery *q = query("SELECT Code FROM item WHERE Title = :Title ORDER BY Code");
        q->setParameter("title", title);
        q->open();
        QCOMPARE(codes(q), found);
    }

    void parametersAreFoundOutsideLiteralsOnly()
    {
        NamedQuery *q = query("SELECT ':Nope' AS a, Code FROM item WHERE Code = :Code OR Code =:Other OR Code = :code");
        QCOMPARE(q->parameterNames(), (QStringList{"Code", "Other"}));
        QVERIFY_THROWS_EXCEPTION(DbError, q->setParameter("Nope", "A"));
        // Replacing the text closes the query and starts the parameters afresh.
        q->setParameter("Code", "A");
        q->open();
        QCOMPARE(q->asString("a"), QString(":Nope"));
        q->setText("SELECT Code FROM item WHERE Code = :Code");
        QVERIFY(!q->isActive());
        QVERIFY(q->parameter("Code").isNull());
    }

    void fieldsReadByNameAndType()
    {
        NamedQuery *q = query("SELECT Code, Title, Amount, Since, Data FROM item ORDER BY Code");
        QVERIFY_THROWS_EXCEPTION(DbError, q->asString("Code"));  // closed
        q->open();
        QCOMPARE(q->rowCount(), 3);
        QCOMPARE(q->asString("title"), QString("O'Brien"));
        QCOMPARE(q->asInteger("AMOUNT"), 1);
        QCOMPARE(q->asDateTime("Since"), QDateTime(QDate(2024, 3, 1), QTime(8, 15)));
        QCOMPARE(q->asBytes("Data"), QByteArray::fromHex("00FF10"));
        QVERIFY_THROWS_EXCEPTION(DbError, q->asString("Missing"));
        q->next();
        QCOMPARE(q->asDateTime("Since"), QDateTime(QDate(2024, 3, 2), QTime(9, 30)));
        // Nulls read as empty text, zero, an invalid date-time and no bytes.
        q->next();
        QVERIFY(q->isNull("Title"));
        QCOMPARE(q->asString("Title"), QString());
        QCOMPARE(q->asInteger("Amount"), 0);
        QVERIFY(!q->asDateTime("Since").isValid());
        QVERIFY(q->asBytes("Data").isEmpty());
        // Text that is not a number does not read as one.
        q->prior();
        QVERIFY_THROWS_EXCEPTION(DbError, q->asInteger("Title"));
    }

    void focusMovesWithinTheRows()
    {
        NamedQuery *q = query("SELECT Code FROM item ORDER BY Code");
        q->open();
        QCOMPARE(codes(q), (QStringList{"A", "B", "C"}));
        QVERIFY(q->eof());
        q->moveTo(1);
        QCOMPARE(q->asString("Code"), QString("B"));
        QVERIFY(!q->eof() && !q->bof());
        q->moveTo(99);
        QCOMPARE(q->currentRow(), 2);
        QVERIFY(q->eof());
        q->prior();
        q->prior();
        q->prior();
        QCOMPARE(q->currentRow(), 0);
        QVERIFY(q->bof());

        NamedQuery *empty = query("SELECT Code FROM item WHERE 1 = 0");
        empty->open();
        QVERIFY(empty->isEmpty());
        QVERIFY(empty->eof() && empty->bof());
        QCOMPARE(empty->currentRow(), -1);
        QVERIFY(empty->isNull("Code"));
    }

    void aStatementThatFailsReportsTheDriversText()
    {
        NamedQuery *q = query("SELECT x FROM nowhere");
        try {
            q->open();
            QFAIL("opened");
        } catch (const DbError &e) {
            QVERIFY2(e.text().contains("nowhere"), qPrintable(e.text()));
        }
        QVERIFY(!q->isActive());
    }

    void detailFollowsTheMastersFocus()
    {
        NamedQuery *master = query("SELECT Code AS CODE, Title FROM item ORDER BY Code");
        NamedQuery *detail = query("SELECT Name FROM part WHERE Code = :code ORDER BY Name");
        detail->setMaster(master);
        master->open();
        detail->open();
        auto names = [detail] {
            QStringList out;
            for (detail->first(); !detail->eof(); detail->next())
                out << detail->asString("Name");
            return out;
        };
        QCOMPARE(names(), (QStringList{"a1", "a2"}));
        master->next();
        QCOMPARE(names(), QStringList{"b1"});
        master->next();
        QCOMPARE(names(), QStringList{});
        // Re-reading the master keeps the link and goes back to its first row.
        m_db->exec("INSERT INTO part VALUES (4, 'A', 'a3')");
        master->requery();
        QCOMPARE(master->currentRow(), 0);
        QCOMPARE(names(), (QStringList{"a1", "a2", "a3"}));
    }

    void closedDetailDoesNotRun()
    {
        NamedQuery *master = query("SELECT Code FROM item ORDER BY Code");
        NamedQuery *detail = query("SELECT Name FROM part WHERE Code = :Code");
        detail->setMaster(master);
        QSignalSpy resets(detail, &NamedQuery::reset);
        master->open();
        master->next();
        QCOMPARE(resets.count(), 0);
        QVERIFY(!detail->isActive());
        // Opened later, it takes the master's focused row.
        detail->open();
        QCOMPARE(detail->asString("Name"), QString("b1"));
    }

    void destroyedDetailIsForgotten()
    {
        NamedQuery *master = query("SELECT Code FROM item ORDER BY Code");
        auto *detail = query("SELECT Name FROM part WHERE Code = :Code");
        detail->setMaster(master);
        master->open();
        detail->open();
        delete detail;
        master->next();  // would reach the deleted detail (AddressSanitizer)
        QCOMPARE(master->asString("Code"), QString("B"));
    }

    void writesGoThroughTheKeyAsRead()
    {
        NamedQuery *q = editableItems();
        q->moveTo(1);
        q->edit();
        q->setValue("Code", "B2");
        q->setValue("Title", "Beta 2");
        q->post();
        QCOMPARE(m_db->rows("SELECT Code, Title, Amount FROM item ORDER BY Code"),
                 (QStringList{"A|O'Brien|1", "B2|Beta 2|2", "C||"}));
    }

    void failedWriteLeavesNothingAndKeepsTheEdit()
    {
        NamedQuery *q = editableItems();
        q->moveTo(1);
        q->edit();
        q->setValue("Code", "a");  // taken, without regard to case
        QVERIFY_THROWS_EXCEPTION(DbError, q->post());
        QCOMPARE(q->state(), NamedQuery::Edit);
        QCOMPARE(m_db->rows("SELECT Code FROM item ORDER BY Code"), (QStringList{"A", "B", "C"}));
        q->cancel();
        QCOMPARE(q->asString("Code"), QString("B"));
        QVERIFY(!m_conn->inTransaction());
    }

    void writeOfARowThatIsGoneFails()
    {
        NamedQuery *q = editableItems();
        m_db->exec("DELETE FROM item WHERE Code = 'C'");
        q->last();
        QVERIFY_THROWS_EXCEPTION(DbError, q->remove());
        q->edit();
        q->setValue("Title", "x");
        QVERIFY_THROWS_EXCEPTION(DbError, q->post());
        q->cancel();
        QCOMPARE(m_db->rows("SELECT Code FROM item ORDER BY Code"), (QStringList{"A", "B"}));
    }

    void movingOffAnEditedRowPostsIt()
    {
        NamedQuery *q = editableItems();
        q->edit();
        q->setValue("Amount", 10);
        q->next();
        QCOMPARE(q->state(), NamedQuery::Browse);
        QCOMPARE(m_db->scalar("SELECT Amount FROM item WHERE Code = 'A'").toInt(), 10);
    }

    void setValueNeedsEditOrInsert()
    {
        NamedQuery *q = editableItems();
        QVERIFY_THROWS_EXCEPTION(DbError, q->setValue("Title", "x"));
        NamedQuery *readOnly = query("SELECT Code FROM item");
        readOnly->open();
        QVERIFY_THROWS_EXCEPTION(DbError, readOnly->edit());
    }

    void writesJoinTheCallersTransaction()
    {
        NamedQuery *q = editableItems();
        m_conn->beginTransaction();
        q->insert();
        q->setValue("Code", "D");
        q->post();
        q->first();
        q->remove();
        m_conn->rollback();
        QCOMPARE(m_db->rows("SELECT Code FROM item ORDER BY Code"), (QStringList{"A", "B", "C"}));
    }

    void rollbackOnOneConnectionLeavesAnotherAlone()
    {
        DbConnection other;
        other.setConnectionString(m_conn->connectionString());
        auto *mine = editableItems();
        auto *theirs = new NamedQuery("theirs", &other, &other);
        theirs->setText(mine->text());
        theirs->setUpdateTarget({"item", {"Code"}, {}, {}, {}, {}});

        other.beginTransaction();
        theirs->open();
        theirs->insert();
        theirs->setValue("Code", "T");
        theirs->post();
        other.commit();

        m_conn->beginTransaction();
        mine->insert();
        mine->setValue("Code", "M");
        mine->post();
        m_conn->rollback();
        QVERIFY(!other.inTransaction());
        QCOMPARE(m_db->rows("SELECT Code FROM item ORDER BY Code"), (QStringList{"A", "B", "C", "T"}));
    }

    void closingTheConnectionClosesItsQueries()
    {
        NamedQuery *q = editableItems();
        m_conn->beginTransaction();
        q->edit();
        q->setValue("Title", "lost");
        q->post();
        m_conn->close();
        QVERIFY(!q->isActive());
        QVERIFY(!m_conn->inTransaction());
        QCOMPARE(m_db->scalar("SELECT Title FROM item WHERE Code = 'A'").toString(), QString("O'Brien"));
        // Opening a query opens its connection again.
        q->open();
        QVERIFY(m_conn->isOpen());
    }

    void modelShowsTheRowsWithTheWindowsColumns()
    {
        NamedQuery *q = query("SELECT Code, Title, Since FROM item ORDER BY Code");
        NamedQueryModel model(q);
        QCOMPARE(model.rowCount(), 0);
        q->open();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Title"));
        model.setColumns({{"Title", "Naziv"}, {"Since", "Od"}, {"Code", "Šifra"}});
        q->setDisplayFormat("Since", "dd/MM/yy hh:mm");
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("Šifra"));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("O'Brien"));
        QCOMPARE(model.data(model.index(1, 1)).toString(), QString("02/03/24 09:30"));
        QCOMPARE(model.data(model.index(2, 1)).toString(), QString());
        QCOMPARE(model.fieldAt(2), QString("Code"));
        q->close();
        QCOMPARE(model.rowCount(), 0);
    }

    void modelCurrentRowAndFocusFollowEachOther()
    {
        NamedQuery *q = editableItems();
        NamedQueryModel model(q);
        QItemSelectionModel *sel = model.selectionModel();
        QCOMPARE(sel->currentIndex().row(), 0);
        q->moveTo(2);
        QCOMPARE(sel->currentIndex().row(), 2);
        QVERIFY(sel->isRowSelected(2, QModelIndex()));
        sel->setCurrentIndex(model.index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(q->currentRow(), 1);
        QCOMPARE(q->asString("Code"), QString("B"));

        // An edit shows in the grid at once.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        q->edit();
        q->setValue("Title", "Beta!");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(1, 1)).toString(), QString("Beta!"));

        // A pending edit that cannot be posted keeps the focus where it is.
        q->setValue("Code", "A");
        QSignalSpy failed(&model, &NamedQueryModel::failed);
        sel->setCurrentIndex(model.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(q->currentRow(), 1);
        QCOMPARE(sel->currentIndex().row(), 1);
        q->cancel();

        // Rows added and removed through the query show in the model.
        q->insert();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(sel->currentIndex().row(), 3);
        q->cancel();
        QCOMPARE(model.rowCount(), 3);
        q->first();
        q->remove();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("B"));
        QCOMPARE(sel->currentIndex().row(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNamedQuery)
#include "tst_namedquery.moc"
