#include "base/SettingsStore.h"
#include "base/Settings.h"
#include "link/DeviceTable.h"
#include "tests/support/TempSettings.h"

#include <QTest>

namespace {

void writeDevice(SettingsStore &store, int n, const QString &id, const QString &type, int port)
{
    QVERIFY(store.openKey(Settings::Devices::DeviceKey(n), true));
    store.writeString("ID", id);
    store.writeString("Name", "Kontroler " + id);
    store.writeString("DevType", type);
    store.writeString("ConnType", "");
    store.writeString("CompName", "PC" + id);
    store.writeInteger("PortNum", port);
    store.closeKey();
}

void writeTotal(SettingsStore &store, int total)
{
    QVERIFY(store.openKey(Settings::Devices::InfoKey, true));
    store.writeInteger(Settings::Devices::TotalNumber, total);
    store.closeKey();
}

std::unique_ptr<TDevice> device(const QString &id, const QString &type = "TK71")
{
    return std::make_unique<TDevice>(id, "Kontroler " + id, type, "", "PC" + id, 3);
}

} // namespace

// The device record, its images and addresses, the table and its registry cache.
class TestDeviceTable : public QObject
{
    Q_OBJECT

private slots:
    void typeConstantsByExactName_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("firstSlotWord");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("bank2Start");
        QTest::addColumn<int>("firstTableSlots");
        QTest::addColumn<int>("secondTableSlots");
        QTest::newRow("TK71 2.1") << "TK71 2.1" << 4 << 123 << 0 << 123 << 0;
        QTest::newRow("TK71") << "TK71" << 0 << 252 << 496 << 124 << 128;
        QTest::newRow("TK71D") << "TK71D" << 0 << 252 << 496 << 124 << 128;
        QTest::newRow("TK96") << "TK96" << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("lower case is another type") << "tk71" << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("trailing space is another type") << "TK71 " << 0 << 0 << 0 << 0 << 0;
    }

    void typeConstantsByExactName()
    {
        QFETCH(QString, type);
        QFETCH(int, firstSlotWord);
        QFETCH(int, capacity);
        QFETCH(int, bank2Start);
        QFETCH(int, firstTableSlots);
        QFETCH(int, secondTableSlots);
        const TDevice d("7", "Ulaz", type, "", "PC1", 3);
        QCOMPARE(d.FirstSlotWord, firstSlotWord);
        QCOMPARE(d.Capacity, capacity);
        QCOMPARE(d.Bank2Start, bank2Start);
        QCOMPARE(d.FirstTableSlots(), firstTableSlots);
        QCOMPARE(d.SecondTableSlots(), secondTableSlots);
    }

    void newDeviceIsZeroedAndKeepsLowEightBitsOfPort()
    {
        const TDevice d("7", "Ulaz", "TK71", "x", "PC1", 300);
        QCOMPARE(int(d.PortNum), 44);
        QCOMPARE(d.ID, QString("7"));
        QCOMPARE(d.Name, QString("Ulaz"));
        QCOMPARE(d.ConnType, QString("x"));
        QCOMPARE(d.CompName, QString("PC1"));
        QVERIFY(!d.Compared);
        for (int i = 0; i < TDevice::ImageWords; ++i)
            QVERIFY(d.CtrlImage[i] == 0 && d.DBImage[i] == 0);
        for (int i = 0; i < TDevice::FlagEntries; ++i)
            QVERIFY(d.WriteFlags[i] == 0 && d.ManualFlags[i] == 0 && d.SlotStatus[i] == 0);
    }

    void addressesBothWays_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("address");
        QTest::newRow("TK71 first word") << "TK71" << 0 << 0;
        QTest::newRow("TK71 end of bank 1") << "TK71" << 495 << 495;
        QTest::newRow("TK71 start of bank 2") << "TK71" << 496 << 1024;
        QTest::newRow("TK71 last table word") << "TK71" << 1007 << 1535;
        QTest::newRow("TK71D start of bank 2") << "TK71D" << 496 << 1024;
        QTest::newRow("TK71 2.1 first table word") << "TK71 2.1" << 4 << 4;
        QTest::newRow("TK71 2.1 last table word") << "TK71 2.1" << 495 << 495;
    }

    void addressesBothWays()
    {
        QFETCH(QString, type);
        QFETCH(int, index);
        QFETCH(int, address);
        const TDevice d("1", "", type, "", "", 1);
        QCOMPARE(d.ControllerAddress(index), address);
        QCOMPARE(d.ImageIndex(address), std::optional<int>(index));
    }

    void addressesNoIndexIsSentAsHaveNoIndex_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("address");
        QTest::newRow("TK71 between the banks, low") << "TK71" << 496;
        QTest::newRow("TK71 between the banks, high") << "TK71" << 1023;
        QTest::newRow("TK71 beyond the image") << "TK71" << 1553;
        QTest::newRow("TK71 2.1 beyond the image") << "TK71 2.1" << 1025;
        QTest::newRow("negative") << "TK71 2.1" << -1;
    }

    void addressesNoIndexIsSentAsHaveNoIndex()
    {
        QFETCH(QString, type);
        QFETCH(int, address);
        const TDevice d("1", "", type, "", "", 1);
        QCOMPARE(d.ImageIndex(address), std::nullopt);
    }

    void mediaIdIsFourWordsMostSignificantFirst()
    {
        TImage image;
        image.fill(TDevice::EmptyWord);
        QVERIFY(StoreMediaID(image, 8, "A200000001B81C02"));
        QCOMPARE(image[7], quint16(0xFFFF));
        QCOMPARE(image[8], quint16(0xA200));
        QCOMPARE(image[9], quint16(0x0000));
        QCOMPARE(image[10], quint16(0x01B8));
        QCOMPARE(image[11], quint16(0x1C02));
        QCOMPARE(image[12], quint16(0xFFFF));
        QCOMPARE(FormatSlot(image, 2), QString("A200000001B81C02"));
        // Lower-case digits are stored the same and read back in upper case.
        QVERIFY(StoreMediaID(image, 8, "a200000001b81c0f"));
        QCOMPARE(FormatSlot(image, 2), QString("A200000001B81C0F"));
        QCOMPARE(FormatSlot(image, 3), QString("FFFFFFFFFFFFFFFF"));
    }

    void badMediaIdOrPlaceStoresNothing_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("mediaId");
        QTest::newRow("15 digits") << 0 << "A200000001B81C0";
        QTest::newRow("17 digits") << 0 << "A200000001B81C021";
        QTest::newRow("not hexadecimal") << 0 << "A20000000GB81C02";
        QTest::newRow("sign") << 0 << "+200000001B81C02";
        QTest::newRow("last words beyond the image") << 1022 << "A200000001B81C02";
        QTest::newRow("negative index") << -4 << "A200000001B81C02";
    }

    void badMediaIdOrPlaceStoresNothing()
    {
        QFETCH(int, index);
        QFETCH(QString, mediaId);
        TImage image;
        image.fill(TDevice::EmptyWord);
        const TImage before = image;
        QVERIFY(!StoreMediaID(image, index, mediaId));
        QVERIFY(image == before);
    }

    void formatSlotOutsideTheImageIsEmpty()
    {
        TImage image{};
        QCOMPARE(FormatSlot(image, 255), QString("0000000000000000"));
        QVERIFY(FormatSlot(image, 256).isEmpty());
        QVERIFY(FormatSlot(image, -1).isEmpty());
    }

    void rowsCountFromTheTablesFirstSlot()
    {
        TDeviceTable table;
        table.Put(0, device("1", "TK71 2.1"));
        table.Put(1, device("2", "TK71"));
        table.Put(2, device("3", "TK96"));
        TDevice &tk21 = *table.Device(0);
        tk21.DBImage.fill(TDevice::EmptyWord);
        QVERIFY(SetDBSlot(table, 0, 0, "A200000001B81C02"));
        QCOMPARE(FormatSlot(tk21.DBImage, 1), QString("A200000001B81C02"));
        QCOMPARE(FormatSlot(tk21.DBImage, 0), QString("FFFFFFFFFFFFFFFF"));
        // The last row of the table, and none past it.
        QVERIFY(SetCtrlSlot(table, 0, 122, "0102030405060708"));
        QCOMPARE(FormatSlot(tk21.CtrlImage, 123), QString("0102030405060708"));
        QVERIFY(!SetCtrlSlot(table, 0, 123, "0102030405060708"));
        QVERIFY(!SetCtrlSlot(table, 0, 255, "0102030405060708"));

        QVERIFY(SetCtrlSlot(table, 1, 251, "0102030405060708"));
        QCOMPARE(FormatSlot(table.Device(1)->CtrlImage, 251), QString("0102030405060708"));
        QVERIFY(FormatSlot(table.Device(1)->DBImage, 251) == "0000000000000000");

        // No table, no device: nothing happens.
        QVERIFY(!SetDBSlot(table, 2, 0, "0102030405060708"));
        QVERIFY(!SetDBSlot(table, 3, 0, "0102030405060708"));
        QVERIFY(!SetDBSlot(table, 255, 0, "0102030405060708"));
    }

    void registryLoadKeepsSlotsOfMissingKeysEmpty()
    {
        TempSettings temp;
        {
            SettingsStore store(temp.settings());
            writeTotal(store, 3);
            writeDevice(store, 1, "11", "TK71", 300);
            writeDevice(store, 3, "13", "TK71 2.1", 2);
        }
        temp.reload();
        SettingsStore store(temp.settings());
        TDeviceTable table;
        table.Put(100, device("old"));
        const RegistryLoadResult result = LoadDevicesFromRegistry(table, store);
        QVERIFY(result.error.isEmpty());
        QVERIFY(result.warning.isEmpty());
        QCOMPARE(table.Count, 3);
        QCOMPARE(table.CountDevices(), 2);
        QVERIFY(table.Device(0) && !table.Device(1) && table.Device(2) && !table.Device(100));
        const TDevice &first = *table.Device(0);
        QCOMPARE(first.ID, QString("11"));
        QCOMPARE(first.Name, QString("Kontroler 11"));
        QCOMPARE(first.DevType, QString("TK71"));
        QCOMPARE(first.CompName, QString("PC11"));
        QCOMPARE(int(first.PortNum), 44);
        QCOMPARE(first.Bank2Start, 496);
        QCOMPARE(table.Device(2)->FirstSlotWord, 4);
    }

    void registryLoadWithoutDevInfoIsEmpty()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        writeDevice(store, 1, "11", "TK71", 1);
        TDeviceTable table;
        table.Put(0, device("old"));
        table.Count = 1;
        const RegistryLoadResult result = LoadDevicesFromRegistry(table, store);
        QVERIFY(result.error.isEmpty());
        QCOMPARE(table.Count, 0);
        QCOMPARE(table.CountDevices(), 0);
    }

    void missingTextValueReadsEmptyMissingNumberStopsTheLoad()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        writeTotal(store, 3);
        writeDevice(store, 1, "11", "TK71", 1);
        writeDevice(store, 2, "12", "TK71", 1);
        writeDevice(store, 3, "13", "TK71", 1);
        QVERIFY(store.openKey("Device1", false));
        QVERIFY(store.deleteValue("Name"));
        QVERIFY(store.openKey("Device2", false));
        QVERIFY(store.deleteValue("PortNum"));
        store.closeKey();

        TDeviceTable table;
        const RegistryLoadResult result = LoadDevicesFromRegistry(table, store);
        QVERIFY(table.Device(0));
        QCOMPARE(table.Device(0)->Name, QString());
        QVERIFY(!table.Device(1));
        QVERIFY(!table.Device(2));
        QVERIFY2(result.error.contains("Device2") && result.error.contains("PortNum"), qPrintable(result.error));
    }

    void registryWithMoreThan255KeepsTheFirst255AndSaysSo()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        writeTotal(store, 257);
        for (int n = 1; n <= 257; ++n)
            writeDevice(store, n, QString::number(n), "TK71", n);
        TDeviceTable table;
        const RegistryLoadResult result = LoadDevicesFromRegistry(table, store);
        QVERIFY(result.error.isEmpty());
        QVERIFY2(result.warning.contains("257") && result.warning.contains("255"), qPrintable(result.warning));
        QCOMPARE(table.Count, 255);
        QCOMPARE(table.CountDevices(), 255);
        QCOMPARE(table.Device(254)->ID, QString("255"));
    }

    void saveWritesWithoutGapsAndRemovesStaleKeys()
    {
        TempSettings temp;
        {
            SettingsStore store(temp.settings());
            writeTotal(store, 4);
            for (int n = 1; n <= 4; ++n)
                writeDevice(store, n, "stale" + QString::number(n), "TK71", 1);
            writeDevice(store, 300, "far", "TK71", 1);
            QVERIFY(store.openKey("DataBase", true));
            store.writeString("ConnectionString", "keep");
            store.closeKey();

            TDeviceTable table;
            table.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "", "PORTIRNICA", 3));
            table.Put(2, std::make_unique<TDevice>("6", "Magacin", "TK71 2.1", "", "MAGACIN", 12));
            SaveDevicesToRegistry(table, store);
        }
        temp.reload();
        SettingsStore store(temp.settings());
        QVERIFY(store.openKey("DevInfo", false));
        QCOMPARE(store.readInteger("TotalNumber"), std::optional<int>(2));
        for (const char *gone : {"Device0", "Device3", "Device4", "Device300"})
            QVERIFY2(!store.keyExists(gone), gone);
        QVERIFY(store.openKey("Device2", false));
        QCOMPARE(store.readString("ID"), std::optional<QString>("6"));
        QCOMPARE(store.readString("Name"), std::optional<QString>("Magacin"));
        QCOMPARE(store.readString("DevType"), std::optional<QString>("TK71 2.1"));
        QCOMPARE(store.readString("ConnType"), std::optional<QString>(""));
        QCOMPARE(store.readString("CompName"), std::optional<QString>("MAGACIN"));
        QCOMPARE(store.readInteger("PortNum"), std::optional<int>(12));
        QVERIFY(store.openKey("DataBase", false));
        QCOMPARE(store.readString("ConnectionString"), std::optional<QString>("keep"));

        // What was saved loads back into slots 0 and 1.
        TDeviceTable again;
        QVERIFY(LoadDevicesFromRegistry(again, store).error.isEmpty());
        QCOMPARE(again.Count, 2);
        QCOMPARE(again.Device(0)->ID, QString("5"));
        QCOMPARE(again.Device(1)->ID, QString("6"));
        QCOMPARE(int(again.Device(1)->PortNum), 12);
    }

    void savingAnEmptyTableLeavesNoDeviceKeys()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        writeTotal(store, 1);
        writeDevice(store, 1, "11", "TK71", 1);
        SaveDevicesToRegistry(TDeviceTable(), store);
        QVERIFY(!store.keyExists("Device1"));
        QVERIFY(store.openKey("DevInfo", false));
        QCOMPARE(store.readInteger("TotalNumber"), std::optional<int>(0));
    }
};

QTEST_GUILESS_MAIN(TestDeviceTable)
#include "tst_devicetable.moc"
