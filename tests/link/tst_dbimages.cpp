#include "db/ConnectionString.h"
#include "db/schema/DemoData.h"
#include "db/uDMGZ.h"
#include "link/BackgroundImageLoad.h"
#include "link/DBImage.h"
#include "link/DeviceTable.h"
#include "tests/support/TempDatabase.h"

#include <QTest>

#include <algorithm>

#include <functional>
#include <memory>

using Fixture = std::function<void(TempDatabase &)>;
Q_DECLARE_METATYPE(Fixture)

namespace {

// Edge cases of the access lists. Controller 5 ("TK71") reaches zone Z1 through two
// first-table contacts and zone Z2 through a third; zone Z3 is over a table's size for
// controller 8 ("TK71D"); a7 is a "TK71 2.1" with second-table rows it cannot hold; 9 is
// a "TK96".
void edgeCases(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor VALUES ('S1', 'Uprava', '', 'MB', 0)");
    QStringList persons, media, links;
    // P1 reaches Z1 twice (directly and through a group) and Z2: one row per table.
    // P2 enters Z1 both ways with a PIN; P3 and P4 hold keys that differ in case only;
    // P5's key is not a media ID.
    persons << "('P1', 'A', 'A', 'S1', NULL, '')" << "('P2', 'B', 'B', 'S1', NULL, '12AB')"
            << "('P3', 'C', 'C', 'S1', NULL, '')" << "('P4', 'D', 'D', 'S1', NULL, '')"
            << "('P5', 'E', 'E', 'S1', NULL, '')";
    media << "('1100000000000001', 'P1', '2020-01-01 08:00:00', '')"
          << "('2200000000000001', 'P2', '2020-01-01 08:00:00', '2212AB0000000001')"
          << "('a2000000000000b1', 'P3', '2020-01-01 08:00:00', '')"
          << "('A2000000000000C1', 'P4', '2020-01-01 08:00:00', '')"
          << "('KLJUC', 'P5', '2020-01-01 08:00:00', '')";
    links << "(1, 'P1', 'Z1', 1, 0)" << "(2, 'P2', 'Z1', 1, 2)" << "(3, 'P3', 'Z1', 1, 0)" << "(4, 'P4', 'Z2', 1, 0)"
          << "(5, 'P5', 'Z1', 1, 0)" << "(6, 'P1', 'Z2', 1, 0)";
    for (int i = 0; i < 130; ++i) {
        const QString id = QString("Q%1").arg(i);
        persons << QString("('%1', 'Q', 'Q', 'S1', NULL, '')").arg(id);
        media << QString("('%1', '%2', '2020-01-01 08:00:00', '')").arg(QString::asprintf("33%014X", i), id);
        links << QString("(%1, '%2', 'Z3', 1, 0)").arg(100 + i).arg(id);
    }
    db.exec("INSERT INTO Zaposleni VALUES " + persons.join(", "));
    db.exec("INSERT INTO Zaposleni_IDMemorija VALUES " + media.join(", "));
    db.exec("INSERT INTO tblDorvOsobe_Zone VALUES " + links.join(", "));
    db.exec("INSERT INTO tblDorvGrupe VALUES ('G1', 'Grupa')");
    db.exec("INSERT INTO tblDorvOsobe_Grupe VALUES (1, 'P1', 'G1', 1)");
    db.exec("INSERT INTO tblDorvGrupe_Zone VALUES (1, 'G1', 'Z1', 1, 0)");
    db.exec("INSERT INTO tblDorvZone VALUES ('Z1', 'Ulaz'), ('Z2', 'Hala'), ('Z3', 'Magacin')");
    db.exec("INSERT INTO tblDorvTackePristupa VALUES ('T1', 'Kapija'), ('T2', 'Vrata'), ('T3', 'Rampa')");
    db.exec("INSERT INTO tblDorvZone_TackePristupa VALUES (1, 'Z1', 'T1', 1), (2, 'Z2', 'T2', 1), (3, 'Z3', 'T3', 1)");
    db.exec("INSERT INTO tblDorvKontroleri VALUES ('5', 'Ulaz', 'TK71', '', 'PC', 'COM1'),"
            " ('8', 'Magacin', 'TK71D', '', 'PC', 'COM1'), ('a7', 'Kapija', 'TK71 2.1', '', 'PC', 'COM2'),"
            " ('9', 'Server', 'TK96', '', 'PC', 'COM2')");
    db.exec("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES"
            " (1, '5', '1', 1), (2, '5', '2', 1), (3, '5', '3', 1), (4, '5', '4', 2), (5, '8', '1', 1),"
            " (6, 'a7', '1', 1), (7, 'a7', '2', 2), (8, '9', '1', 1)");
    db.exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (1, 'T1'), (2, 'T1'), (3, 'T2'), (4, 'T1'),"
            " (5, 'T3'), (6, 'T1'), (7, 'T2'), (8, 'T1')");
}

Fixture demo(int persons, int controllers = 0, bool spread = false)
{
    return [=](TempDatabase &db) {
        DemoOptions options;
        options.persons = persons;
        options.controllers = controllers;
        options.spreadZones = spread;
        DemoData::fill(db.db(), options);
    };
}

struct Image
{
    TImage words;
    TSlotFlags status;
    QString warning;
};

// Rows of the per-controller list for id, as the procedure's text gives them.
QStringList procedureRows(TempDatabase &db, const QString &id)
{
    return db.rows(QString("SELECT IDNo, status FROM viewDorvPodaciZaTerminale WHERE idkontrolera = '%1' "
                           "ORDER BY status, IDNo")
                       .arg(id));
}

} // namespace

// The database images of all controllers from one statement, against the images each
// controller gets from its own list.
class TestDBImages : public QObject
{
    Q_OBJECT

private slots:
    void onePassEqualsPerController_data()
    {
        QTest::addColumn<Fixture>("fixture");
        QTest::newRow("demo") << Fixture(demo(300));
        QTest::newRow("demo access points, 40 TK71") << demo(400, 40);
        QTest::newRow("spread zones, 30 TK71") << demo(900, 30, true);
        QTest::newRow("edge cases") << Fixture(edgeCases);
    }

    void onePassEqualsPerController()
    {
        QFETCH(Fixture, fixture);
        TempDatabase db;
        fixture(db);
        TdmGZ gz;
        gz.connectTo(ConnectionString::forSqliteFile(db.fileName()));

        // The catalogue in slot order; then the first controller once more, one in the
        // other letter case if there is one, and one the database does not know.
        TDeviceTable table;
        int slot = 0;
        QStringList ids;
        for (const QString &row : db.rows("SELECT IDKontrolera, Naziv, Tip FROM tblDorvKontroleri")) {
            const QStringList f = row.split('|');
            ids << f[0];
            table.Put(slot++, std::make_unique<TDevice>(f[0], f[1], f[2], "", "PC", 1));
        }
        const TDevice &firstDevice = *table.Device(0);
        table.Put(slot++, std::make_unique<TDevice>(firstDevice.ID, "Isti", firstDevice.DevType, "", "PC", 2));
        for (const QString &id : ids) {
            if (id.toUpper() != id) {
                table.Put(slot++, std::make_unique<TDevice>(id.toUpper(), "Velika slova", "TK71 2.1", "", "PC", 2));
                break;
            }
        }
        table.Put(slot++, std::make_unique<TDevice>("777", "Nepoznat", "TK71", "", "PC", 3));

        std::vector<Image> expected;
        QStringList expectedWarnings;
        int filledSlots = 0;
        for (int s = 0; s < slot; ++s) {
            const DBImageLoad load = LoadDBImage(table, s, *gz.spPodaciZaKontrolere);
            QVERIFY(!load.failed);
            const TDevice &d = *table.Device(s);
            expected.push_back({d.DBImage, d.SlotStatus, load.warning});
            if (!load.warning.isEmpty())
                expectedWarnings << load.warning;
            for (qint32 status : d.SlotStatus)
                filledSlots += status != 0 ? 1 : 0;
            table.Device(s)->DBImage.fill(0x1234);
            table.Device(s)->SlotStatus.fill(7);
        }
        QVERIFY(filledSlots > 0);

        const DBImagesLoad all = LoadAllDBImages(table, *gz.connMain);
        QCOMPARE(all.error, QString());
        QCOMPARE(all.warnings, expectedWarnings);
        for (int s = 0; s < slot; ++s) {
            const TDevice &d = *table.Device(s);
            QVERIFY2(d.DBImage == expected[size_t(s)].words, qPrintable(QString("slot %1 image").arg(s)));
            QVERIFY2(d.SlotStatus == expected[size_t(s)].status, qPrintable(QString("slot %1 statuses").arg(s)));
        }

        // The rows each controller receives are the procedure's rows for it.
        const QStringList asked = ids + QStringList{"777"};
        QList<QStringList> received(asked.size());
        ReadAllControllersData(*gz.connMain, asked, [&](int controller, const QString &mediaId, int status) {
            received[controller] << QString("%1|%2").arg(mediaId).arg(status);
        });
        for (int i = 0; i < ids.size(); ++i) {
            // Statuses interleave; within one status the order is the procedure's.
            QStringList byStatus = received[i];
            std::stable_sort(byStatus.begin(), byStatus.end(), [](const QString &a, const QString &b) {
                return a.section('|', 1).toInt() < b.section('|', 1).toInt();
            });
            QCOMPARE(byStatus, procedureRows(db, ids[i]));
        }
        QVERIFY(received.last().isEmpty());

        // A database made before the companion views gives the same images through the
        // access-list procedure.
        db.exec("DROP VIEW viewDorvMediaIDZone");
        for (int s = 0; s < slot; ++s)
            table.Device(s)->DBImage.fill(0x1234);
        const DBImagesLoad each = LoadAllDBImages(table, *gz.connMain);
        QCOMPARE(each.error, QString());
        QCOMPARE(each.warnings, expectedWarnings);
        for (int s = 0; s < slot; ++s)
            QVERIFY2(table.Device(s)->DBImage == expected[size_t(s)].words, qPrintable(QString("slot %1 by procedure").arg(s)));
    }

    void edgeCaseWarnings()
    {
        TempDatabase db;
        edgeCases(db);
        TdmGZ gz;
        gz.connectTo(ConnectionString::forSqliteFile(db.fileName()));
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PC", 1));
        table.Put(1, std::make_unique<TDevice>("8", "Magacin", "TK71D", "", "PC", 1));
        table.Put(2, std::make_unique<TDevice>("A7", "Kapija", "TK71 2.1", "", "PC", 1));
        const DBImagesLoad all = LoadAllDBImages(table, *gz.connMain);
        QCOMPARE(all.warnings.size(), 3);
        QVERIFY2(all.warnings[0].startsWith("Kontroler 5 (Ulaz): 1 media ID-jeva nije od 16") && all.warnings[0].contains("KLJUC"),
                 qPrintable(all.warnings[0]));
        QVERIFY2(all.warnings[1].startsWith("Kontroler 8 (Magacin): 6 media ID-jeva nije stalo"), qPrintable(all.warnings[1]));
        QVERIFY2(all.warnings[2].contains("druga tabela: 2"), qPrintable(all.warnings[2]));
        // Controller 5: P1 once in the first table although two contacts and two zones
        // reach it; the PIN-bearing form beside the plain one.
        const TDevice &d = *table.Device(0);
        QStringList first;
        for (int s = 0; s < 124 && d.SlotStatus[s] == 1; ++s)
            first << FormatSlot(d.DBImage, s);
        // Ordered as the database orders the text: upper case before lower case.
        QCOMPARE(first, QStringList({"1100000000000001", "2200000000000001", "2212AB0000000001",
                                     "A2000000000000C1", "A2000000000000B1"}));
        QCOMPARE(FormatSlot(d.DBImage, 124), QString("1100000000000001"));
    }

    // On a thread and a connection of its own the load gives the same images and warnings,
    // and the table's devices get them only at the end.
    void aBackgroundLoadEqualsTheDirectOne()
    {
        TempDatabase db;
        demo(400, 12)(db);
        TdmGZ gz;
        gz.connectTo(ConnectionString::forSqliteFile(db.fileName()));
        TDeviceTable direct, background;
        for (int slot = 0; slot < 12; ++slot) {
            for (TDeviceTable *t : {&direct, &background})
                t->Put(slot, std::make_unique<TDevice>(QString::number(slot + 1), "K", "TK71", "", "PC", 1));
        }
        const DBImagesLoad expected = LoadAllDBImages(direct, *gz.connMain);
        QVERIFY(!expected.warnings.isEmpty());
        const DBImagesLoad loaded = LoadAllDBImagesInBackground(background, *gz.connMain);
        QCOMPARE(loaded.error, QString());
        QCOMPARE(loaded.warnings, expected.warnings);
        for (int slot = 0; slot < 12; ++slot) {
            QVERIFY(background.Device(slot)->DBImage == direct.Device(slot)->DBImage);
            QVERIFY(background.Device(slot)->SlotStatus == direct.Device(slot)->SlotStatus);
        }

        db.exec("DROP TABLE tblDorvOsobe_Zone");
        background.Device(0)->DBImage.fill(0x1234);
        QCOMPARE(LoadAllDBImagesInBackground(background, *gz.connMain).error, DBImagesReadErrorText);
        // A failed load leaves the images as they were.
        QCOMPARE(background.Device(0)->DBImage[0], quint16(0x1234));
    }

    void unreadableDatabaseIsAnError_data()
    {
        QTest::addColumn<bool>("dropTable");
        QTest::newRow("a table of the access lists missing") << true;
        QTest::newRow("connection closed") << false;
    }

    void unreadableDatabaseIsAnError()
    {
        QFETCH(bool, dropTable);
        TempDatabase db;
        TdmGZ gz;
        gz.connectTo(ConnectionString::forSqliteFile(db.fileName()));
        if (dropTable)
            db.exec("DROP TABLE tblDorvOsobe_Zone");
        else
            gz.connMain->close();
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PC", 1));
        table.Device(0)->DBImage.fill(0x1234);
        QCOMPARE(LoadAllDBImages(table, *gz.connMain).error, DBImagesReadErrorText);
    }

    void devicesWithoutATableNeedNoDatabase()
    {
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("9", "Server", "TK96", "", "PC", 1));
        table.Device(0)->DBImage.fill(0x1234);
        DbConnection closed;
        const DBImagesLoad all = LoadAllDBImages(table, closed);
        QCOMPARE(all.error, QString());
        QVERIFY(all.warnings.isEmpty());
        for (quint16 word : table.Device(0)->DBImage)
            QCOMPARE(word, quint16(0xFFFF));
    }
};

QTEST_GUILESS_MAIN(TestDBImages)
#include "tst_dbimages.moc"
