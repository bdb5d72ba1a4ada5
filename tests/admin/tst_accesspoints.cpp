#include "tests/admin/CatalogueFixture.h"

// Access points: the zone link, its numbering, the zone chooser, one transaction for each change.
class TestAccessPoints : public QObject, public CatalogueFixture
{
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

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
};

QTEST_MAIN(TestAccessPoints)
#include "tst_accesspoints.moc"
