#include "base/SettingsStore.h"
#include "db/ConnectionString.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "link/DBImage.h"
#include "link/DeviceTable.h"
#include "tests/support/TempDatabase.h"
#include "tests/support/TempSettings.h"

#include <QTest>

#include <memory>

namespace {

QString mediaId(quint64 n)
{
    return QString::asprintf("%016llX", static_cast<unsigned long long>(n));
}

// Values rows for tblDorvKontroleri: (ID, name, type, port).
QString controllerRows(const QList<std::tuple<QString, QString, QString>> &rows)
{
    QStringList values;
    for (const auto &[id, type, port] : rows)
        values << QString("('%1', 'Kontroler %1', '%2', 'TCP', 'PC%1', '%3')").arg(id, type, port);
    return "INSERT INTO tblDorvKontroleri VALUES " + values.join(", ");
}

} // namespace

// The device table rebuilt from the controllers catalogue, the catalogue check of the
// controller commands, and the database images built from what each controller must hold.
class TestDeviceCatalogue : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<TdmGZ> m_gz;
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<SettingsStore> m_store;

    // The rows the procedure gives, fixed by the test: (controller, IDNo, status).
    void fixedProcedureRows(const QStringList &values)
    {
        m_db->exec("DROP VIEW viewDorvPodaciZaTerminale");
        m_db->exec("CREATE TABLE fixtureRows (idkontrolera VARCHAR(10), IDNo VARCHAR(16), status INT)");
        m_db->exec("CREATE VIEW viewDorvPodaciZaTerminale AS SELECT idkontrolera, IDNo, status FROM fixtureRows");
        if (!values.isEmpty())
            m_db->exec("INSERT INTO fixtureRows VALUES " + values.join(", "));
    }

    static QStringList rowsOf(const QString &controller, int status, quint64 first, int count)
    {
        QStringList out;
        for (int i = 0; i < count; ++i)
            out << QString("('%1', '%2', %3)").arg(controller, mediaId(first + quint64(i))).arg(status);
        return out;
    }

    int deviceKeys()
    {
        m_store->openKey(QString(), false);
        const QStringList keys = m_store->subKeys();
        m_store->closeKey();
        return int(keys.filter(QRegularExpression("^Device\\d+$")).size());
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_gz = std::make_unique<TdmGZ>();
        m_gz->connectTo(ConnectionString::forSqliteFile(m_db->fileName()));
        m_settings = std::make_unique<TempSettings>();
        m_store = std::make_unique<SettingsStore>(m_settings->settings());
    }

    void cleanup()
    {
        m_store.reset();
        m_settings.reset();
        m_gz.reset();
        m_db.reset();
    }

    void catalogueRowsBecomeSlotsAndTheRegistry()
    {
        m_db->exec(controllerRows({{"12", "TK71", "COM3"}, {"7", "TK71 2.1", "COM12"}, {"30", "TK96", "com4"}}));
        TDeviceTable table;
        table.Put(200, std::make_unique<TDevice>("99", "", "TK71", "", "", 1));
        const CatalogueTransferResult result = TransferFromDB2Registry(table, *m_gz->qControllers, *m_store);
        QVERIFY(result.saved);
        QVERIFY(result.error.isEmpty() && result.warning.isEmpty());
        QCOMPARE(table.Count, 3);
        QCOMPARE(table.CountDevices(), 3);
        const TDevice &first = *table.Device(0);
        QCOMPARE(first.ID, QString("12"));
        QCOMPARE(first.Name, QString("Kontroler 12"));
        QCOMPARE(first.DevType, QString("TK71"));
        QCOMPARE(first.CompName, QString("PC12"));
        QCOMPARE(first.ConnType, QString());
        QCOMPARE(int(first.PortNum), 3);
        QCOMPARE(int(table.Device(1)->PortNum), 12);
        QCOMPARE(table.Device(1)->FirstSlotWord, 4);
        QCOMPARE(int(table.Device(2)->PortNum), 4);
        QVERIFY(!table.Device(200));
        QVERIFY(!m_gz->qControllers->isActive());

        m_settings->reload();
        SettingsStore reread(m_settings->settings());
        QVERIFY(reread.openKey("DevInfo", false));
        QCOMPARE(reread.readInteger("TotalNumber"), std::optional<int>(3));
        QVERIFY(reread.openKey("Device2", false));
        QCOMPARE(reread.readString("ID"), std::optional<QString>("7"));
        QCOMPARE(reread.readInteger("PortNum"), std::optional<int>(12));
        QCOMPARE(reread.readString("ConnType"), std::optional<QString>(""));
    }

    void anOpenCatalogueIsReadAfreshAndStaysOpen()
    {
        m_db->exec(controllerRows({{"1", "TK71", "COM1"}}));
        m_gz->qControllers->open();
        m_db->exec(controllerRows({{"2", "TK71", "COM2"}}));
        TDeviceTable table;
        QVERIFY(TransferFromDB2Registry(table, *m_gz->qControllers, *m_store).saved);
        QCOMPARE(table.CountDevices(), 2);
        QVERIFY(m_gz->qControllers->isActive());
    }

    void badComPortNamesTheControllerAndChangesNothing_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("no number") << "COM";
        QTest::newRow("three digits") << "COM123";
        QTest::newRow("not a COM port") << "LPT1";
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "COMx";
        QTest::newRow("space inside") << "COM 3";
    }

    void badComPortNamesTheControllerAndChangesNothing()
    {
        QFETCH(QString, port);
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("old", "Stari", "TK71", "", "PC", 5));
        table.Count = 1;
        SaveDevicesToRegistry(table, *m_store);
        m_db->exec(controllerRows({{"1", "TK71", "COM1"}, {"22", "TK71", port}}));

        const CatalogueTransferResult result = TransferFromDB2Registry(table, *m_gz->qControllers, *m_store);
        QVERIFY(!result.saved);
        QVERIFY2(result.error.contains("Kontroler 22") && result.error.contains("\"" + port + "\""),
                 qPrintable(result.error));
        QCOMPARE(table.CountDevices(), 1);
        QCOMPARE(table.Device(0)->ID, QString("old"));
        QCOMPARE(deviceKeys(), 1);
        QVERIFY(m_store->openKey("Device1", false));
        QCOMPARE(m_store->readString("ID"), std::optional<QString>("old"));
        QVERIFY(!m_gz->qControllers->isActive());
    }

    void moreThan255ControllersKeepTheFirst255AndSaySo()
    {
        QList<std::tuple<QString, QString, QString>> rows;
        for (int i = 1; i <= 257; ++i)
            rows.append({QString::number(i), "TK71", "COM1"});
        m_db->exec(controllerRows(rows));
        TDeviceTable table;
        const CatalogueTransferResult result = TransferFromDB2Registry(table, *m_gz->qControllers, *m_store);
        QVERIFY(result.saved);
        QVERIFY2(result.warning.contains("257") && result.warning.contains("255"), qPrintable(result.warning));
        QCOMPARE(table.Count, 255);
        QCOMPARE(table.CountDevices(), 255);
        QCOMPARE(table.Device(254)->ID, QString("255"));
        QCOMPARE(deviceKeys(), 255);
    }

    void catalogueCheck_data()
    {
        QTest::addColumn<bool>("controllers");
        QTest::addColumn<bool>("openBefore");
        QTest::addColumn<bool>("answer");
        QTest::newRow("empty, closed") << false << false << true;
        QTest::newRow("empty, open") << false << true << true;
        QTest::newRow("one, closed, yes") << true << false << true;
        QTest::newRow("one, open, no") << true << true << false;
    }

    void catalogueCheck()
    {
        QFETCH(bool, controllers);
        QFETCH(bool, openBefore);
        QFETCH(bool, answer);
        if (controllers)
            m_db->exec(controllerRows({{"1", "TK71", "COM1"}}));
        if (openBefore)
            m_gz->qControllers->open();
        QStringList errors;
        QStringList questions;
        const auto error = [&](const QString &text) { errors << text; };
        const auto question = [&](const QString &text) {
            questions << text;
            return answer;
        };

        QCOMPARE(ControllersConfigured(*m_gz->qControllers, error), controllers);
        QCOMPARE(m_gz->qControllers->isActive(), openBefore);
        QCOMPARE(ConfirmWriteToAllControllers(*m_gz->qControllers, error, question), controllers && answer);
        QCOMPARE(m_gz->qControllers->isActive(), openBefore);
        if (controllers) {
            QVERIFY(errors.isEmpty());
            QCOMPARE(questions, QStringList{"Jeste li sigurni da želite da izvršite upis podataka u sve kontrolere?"});
        } else {
            QCOMPARE(errors, QStringList(2, "Nema konfigurisanih kontrolera."));
            QVERIFY(questions.isEmpty());
        }
    }

    void imageThroughTheProcedureOfTheSchema()
    {
        // Controller 5: contact 1 fills the first table, contact 2 the second; both open
        // zone Z1. P1 enters without PIN, P2 with it only, P3 both ways.
        for (const char *sql : {
                 "INSERT INTO Sektor VALUES ('S1', 'Uprava', '', 'MB1', 1)",
                 "INSERT INTO Zaposleni VALUES ('P1', 'A', 'A', 'S1', NULL, ''), ('P2', 'B', 'B', 'S1', NULL, '1234'),"
                 " ('P3', 'C', 'C', 'S1', NULL, '5678')",
                 "INSERT INTO Zaposleni_IDMemorija VALUES ('1100000000000001', 'P1', '2020-01-01 08:00:00', ''),"
                 " ('2200000000000001', 'P2', '2020-01-01 08:00:00', '2212340000000001'),"
                 " ('3300000000000001', 'P3', '2020-01-01 08:00:00', '3356780000000001')",
                 "INSERT INTO tblDorvZone VALUES ('Z1', 'Ulaz')",
                 "INSERT INTO tblDorvOsobe_Zone VALUES (1, 'P1', 'Z1', 1, 0), (2, 'P2', 'Z1', 1, 1), (3, 'P3', 'Z1', 1, 2)",
                 "INSERT INTO tblDorvTackePristupa VALUES ('T1', 'Vrata'), ('T2', 'Kapija')",
                 "INSERT INTO tblDorvZone_TackePristupa VALUES (1, 'Z1', 'T1', 1), (2, 'Z1', 'T2', 1)",
                 "INSERT INTO tblDorvKontroleri VALUES ('5', 'Ulaz', 'TK71', 'TCP', 'PC1', 'COM1')",
                 "INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela)"
                 " VALUES (1, '5', '1', 1), (2, '5', '2', 2)",
                 "INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (1, 'T1'), (2, 'T2')",
             })
            m_db->exec(sql);
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PC1", 1));
        const DBImageLoad load = LoadDBImage(table, 0, *m_gz->spPodaciZaKontrolere);
        QVERIFY(load.warning.isEmpty());
        const TDevice &d = *table.Device(0);
        const QStringList expected = {"1100000000000001", "2212340000000001", "3300000000000001",
                                      "3356780000000001"};
        for (int tableStart : {0, 124}) {
            for (int i = 0; i < 4; ++i)
                QCOMPARE(FormatSlot(d.DBImage, tableStart + i), expected[i]);
            QCOMPARE(FormatSlot(d.DBImage, tableStart + 4), QString("FFFFFFFFFFFFFFFF"));
        }
        QCOMPARE(d.SlotStatus[0], 1);
        QCOMPARE(d.SlotStatus[124], 2);
        QCOMPARE(d.SlotStatus[4], 0);
    }

    void imageFillsBothTablesAndSkipsOtherStatuses()
    {
        fixedProcedureRows(rowsOf("5", 1, 0xA000, 2) + rowsOf("5", 2, 0xB000, 1) + rowsOf("5", 3, 0xC000, 1)
                           + rowsOf("5", 0, 0xD000, 1) + rowsOf("6", 1, 0xE000, 1));
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PC1", 1));
        table.Put(1, std::make_unique<TDevice>("6", "Kapija", "TK71 2.1", "", "PC1", 1));
        table.Device(0)->DBImage.fill(0x1234);
        for (int slot : {0, 1})
            QVERIFY(LoadDBImage(table, slot, *m_gz->spPodaciZaKontrolere).warning.isEmpty());

        const TDevice &tk71 = *table.Device(0);
        QCOMPARE(FormatSlot(tk71.DBImage, 0), mediaId(0xA000));
        QCOMPARE(FormatSlot(tk71.DBImage, 1), mediaId(0xA001));
        QCOMPARE(FormatSlot(tk71.DBImage, 124), mediaId(0xB000));
        for (int i = 8; i < TDevice::ImageWords; ++i) {
            if (i < 496 || i >= 500)
                QVERIFY2(tk71.DBImage[i] == 0xFFFF, qPrintable(QString::number(i)));
        }
        // "TK71 2.1": its table begins at image index 4.
        const TDevice &tk21 = *table.Device(1);
        QCOMPARE(FormatSlot(tk21.DBImage, 0), QString("FFFFFFFFFFFFFFFF"));
        QCOMPARE(FormatSlot(tk21.DBImage, 1), mediaId(0xE000));
        QCOMPARE(tk21.SlotStatus[1], 1);
    }

    void mediaIdsBeyondATablesEndAreCountedNotWritten_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("firstRows");
        QTest::addColumn<int>("secondRows");
        QTest::addColumn<int>("notFittedFirst");
        QTest::addColumn<int>("notFittedSecond");
        QTest::newRow("TK71 both tables full") << "TK71" << 124 << 128 << 0 << 0;
        QTest::newRow("TK71 both over") << "TK71" << 126 << 131 << 2 << 3;
        QTest::newRow("TK71D first over") << "TK71D" << 125 << 0 << 1 << 0;
        QTest::newRow("TK71 2.1 full") << "TK71 2.1" << 123 << 0 << 0 << 0;
        // One bank: there is no second table, which would lie on top of the first.
        QTest::newRow("TK71 2.1 second table") << "TK71 2.1" << 123 << 5 << 0 << 5;
    }

    void mediaIdsBeyondATablesEndAreCountedNotWritten()
    {
        QFETCH(QString, type);
        QFETCH(int, firstRows);
        QFETCH(int, secondRows);
        QFETCH(int, notFittedFirst);
        QFETCH(int, notFittedSecond);
        fixedProcedureRows(rowsOf("5", 1, 0x1000, firstRows) + rowsOf("5", 2, 0x2000, secondRows));
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", type, "", "PC1", 1));
        const DBImageLoad load = LoadDBImage(table, 0, *m_gz->spPodaciZaKontrolere);
        QCOMPARE(load.notFittedFirst, notFittedFirst);
        QCOMPARE(load.notFittedSecond, notFittedSecond);
        const int notFitted = notFittedFirst + notFittedSecond;
        QCOMPARE(load.warning.isEmpty(), notFitted == 0);
        if (notFitted > 0) {
            QVERIFY2(load.warning.contains("Kontroler 5") && load.warning.contains(QString::number(notFitted)),
                     qPrintable(load.warning));
        }

        const TDevice &d = *table.Device(0);
        const int firstSlot = d.FirstSlotWord / 4;
        const int firstKept = firstRows - notFittedFirst;
        const int secondKept = secondRows - notFittedSecond;
        for (int slot = 0; slot * 4 + 3 < TDevice::ImageWords; ++slot) {
            QString expected = "FFFFFFFFFFFFFFFF";
            if (slot >= firstSlot && slot < firstSlot + firstKept)
                expected = mediaId(0x1000 + quint64(slot - firstSlot));
            else if (d.Bank2Start > 0 && slot >= 124 && slot < 124 + secondKept)
                expected = mediaId(0x2000 + quint64(slot - 124));
            QCOMPARE(FormatSlot(d.DBImage, slot), expected);
        }
        QCOMPARE(d.DBImage[1024], quint16(0xFFFF));
    }

    void badMediaIdIsSkippedAndNamed()
    {
        // Rows come ordered by status, then IDNo: one bad media ID comes first, one between.
        fixedProcedureRows(rowsOf("5", 1, 0xA000, 2) + QStringList{"('5', '0000', 1)", "('5', '000000000000B00Z', 1)"}
                           + rowsOf("5", 1, 0xF000, 1) + rowsOf("5", 2, 0xB000, 2));
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PC1", 1));
        const DBImageLoad load = LoadDBImage(table, 0, *m_gz->spPodaciZaKontrolere);
        QCOMPARE(load.skipped, QStringList({"0000", "000000000000B00Z"}));
        QVERIFY2(load.warning.contains("Kontroler 5") && load.warning.contains("0000, 000000000000B00Z"),
                 qPrintable(load.warning));
        const TDevice &d = *table.Device(0);
        QCOMPARE(FormatSlot(d.DBImage, 0), mediaId(0xA000));
        QCOMPARE(FormatSlot(d.DBImage, 1), mediaId(0xA001));
        // The rows after the bad ones still reach their tables.
        QCOMPARE(FormatSlot(d.DBImage, 2), mediaId(0xF000));
        QCOMPARE(FormatSlot(d.DBImage, 3), QString("FFFFFFFFFFFFFFFF"));
        QCOMPARE(FormatSlot(d.DBImage, 125), mediaId(0xB001));
        QVERIFY(!m_gz->spPodaciZaKontrolere->isActive());
    }

    void noTableOrNoRowsLeavesAnEmptyImage()
    {
        fixedProcedureRows(rowsOf("7", 1, 0xA000, 3));
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("7", "Bez tabele", "TK96", "", "PC1", 1));
        table.Put(3, std::make_unique<TDevice>("8", "Bez redova", "TK71", "", "PC1", 1));
        QVERIFY(LoadAllDBImages(table, *m_gz->connMain).warnings.isEmpty());
        for (int slot : {0, 3}) {
            for (quint16 word : table.Device(slot)->DBImage)
                QCOMPARE(word, quint16(0xFFFF));
        }
    }

    void databaseErrorEndsTheLoad()
    {
        m_db->exec("DROP VIEW viewDorvPodaciZaTerminale");
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PC1", 1));
        const DBImageLoad load = LoadDBImage(table, 0, *m_gz->spPodaciZaKontrolere);
        QVERIFY(load.failed);
        QVERIFY(load.warning.isEmpty());
        QCOMPARE(FormatSlot(table.Device(0)->DBImage, 0), QString("FFFFFFFFFFFFFFFF"));
    }
};

QTEST_GUILESS_MAIN(TestDeviceCatalogue)
#include "tst_devicecatalogue.moc"
