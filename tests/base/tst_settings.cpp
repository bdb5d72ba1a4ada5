#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "tests/support/TempSettings.h"

#include <QTest>

// The typed settings: read rules and defaults, and what each write leaves in the registry.
class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void linkOptionsStopAtTheFirstBadValue_data()
    {
        QTest::addColumn<QVariant>("sleepTime"); // invalid: missing; QString: stored as text
        QTest::addColumn<QVariant>("debugCtrls");
        QTest::addColumn<int>("expectedSleep");
        QTest::addColumn<bool>("expectedDebug");
        QTest::newRow("nothing stored") << QVariant() << QVariant() << 1000 << false;
        QTest::newRow("both integers") << QVariant(250) << QVariant(1) << 250 << true;
        QTest::newRow("sleep time as text") << QVariant(QStringLiteral("250")) << QVariant(1) << 1000 << false;
        QTest::newRow("debug as text") << QVariant(250) << QVariant(QStringLiteral("1")) << 250 << false;
        QTest::newRow("debug missing") << QVariant(250) << QVariant() << 250 << false;
        QTest::newRow("sleep missing, debug set") << QVariant() << QVariant(1) << 1000 << false;
    }

    void linkOptionsStopAtTheFirstBadValue()
    {
        QFETCH(QVariant, sleepTime);
        QFETCH(QVariant, debugCtrls);
        TempSettings temp;
        SettingsStore store(temp.settings());
        store.openKey(QString(), true);
        const auto put = [&](const QString &name, const QVariant &v) {
            if (v.typeId() == QMetaType::QString)
                store.writeString(name, v.toString());
            else if (v.isValid())
                store.writeInteger(name, v.toInt());
        };
        put("SleepTime", sleepTime);
        put("DebugCtrls", debugCtrls);
        temp.reload();

        const Settings::LinkOptions read = Settings::readLinkOptions(temp.settings());
        QTEST(read.sleepTime, "expectedSleep");
        QTEST(read.debugCtrls, "expectedDebug");
    }

    void writesAreTypedAndReadBack()
    {
        TempSettings temp;
        QCOMPARE(Settings::writeLinkOptions(temp.settings(), {-20, true}), QString());
        QCOMPARE(Settings::writeConnectionString(temp.settings(), "Provider=SQLite;Data Source=/x.sqlite"), QString());
        temp.reload();
        SettingsStore store(temp.settings());
        store.openKey(QString(), false);
        QCOMPARE(store.readInteger("SleepTime"), std::optional<int>(-20));
        QCOMPARE(store.readInteger("DebugCtrls"), std::optional<int>(1));
        QCOMPARE(Settings::readLinkOptions(temp.settings()).sleepTime, -20);
        QCOMPARE(Settings::readConnectionString(temp.settings()), QStringLiteral("Provider=SQLite;Data Source=/x.sqlite"));
    }

    void passwordFirstStartAndWrongType()
    {
        TempSettings temp;
        Settings::PasswordRead first = Settings::readPassword(temp.settings());
        QCOMPARE(first.password, std::optional<QString>(Settings::FirstPassword));
        QVERIFY(first.error.isEmpty());
        temp.reload();
        QCOMPARE(Settings::writePassword(temp.settings(), "novaLozinka"), QString());
        QCOMPARE(Settings::readPassword(temp.settings()).password, std::optional<QString>("novaLozinka"));

        SettingsStore store(temp.settings());
        store.openKey(QString(), false);
        store.writeInteger("Password", 1234);
        const Settings::PasswordRead wrong = Settings::readPassword(temp.settings());
        QVERIFY(!wrong.password);
        QCOMPARE(wrong.error, QStringLiteral("Invalid data type for 'Password'"));
    }

    void connectionStringMissingOrOfAnotherType()
    {
        TempSettings temp;
        QCOMPARE(Settings::readConnectionString(temp.settings()), QString());
        SettingsStore store(temp.settings());
        store.openKey("DataBase", true);
        store.writeInteger("ConnectionString", 5);
        QCOMPARE(Settings::readConnectionString(temp.settings()), QString());
    }

    void deviceKeys()
    {
        QCOMPARE(Settings::Devices::DeviceKey(12), QStringLiteral("Device12"));
        QVERIFY(Settings::Devices::IsDeviceKey("device3"));
        QVERIFY(!Settings::Devices::IsDeviceKey("DevInfo"));
        QVERIFY(!Settings::Devices::IsDeviceKey("Device"));
        QVERIFY(!Settings::Devices::IsDeviceKey("Device1a"));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
