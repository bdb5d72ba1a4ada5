#include "base/SettingsStore.h"
#include "tests/support/TempSettings.h"

#include <QFile>
#include <QTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void typedReadsFailOnMissingOrOtherType()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        QVERIFY(store.openKey(QString(), false));
        store.writeInteger("SleepTime", 250);
        store.writeString("Password", "tinsmoke");
        store.writeString("DebugCtrls", "1");
        temp.reload();

        SettingsStore reread(temp.settings());
        QVERIFY(reread.openKey(QString(), false));
        QCOMPARE(reread.readInteger("SleepTime"), std::optional<int>(250));
        QCOMPARE(reread.readString("Password"), std::optional<QString>("tinsmoke"));
        // A text that looks like a number is still a text, as in the registry.
        QVERIFY(!reread.readInteger("DebugCtrls"));
        QVERIFY(!reread.readBool("DebugCtrls"));
        QVERIFY(!reread.readString("SleepTime"));
        QVERIFY(!reread.readInteger("Missing"));
        QVERIFY(!reread.readString("Missing"));
        QVERIFY(reread.valueExists("SleepTime"));
        QVERIFY(!reread.valueExists("Missing"));
    }

    void keysOpenWithoutCreatingAndDeleteWithTheirValues()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        QVERIFY(!store.keyExists("DataBase"));
        QVERIFY(!store.openKey("DataBase", false));
        QVERIFY(!store.keyExists("DataBase"));

        QVERIFY(store.openKey("Device1", true));
        QVERIFY(store.keyExists("Device1"));
        store.writeInteger("PortNum", 3);
        store.writeString("CompName", "PORTIRNICA");
        QVERIFY(store.openKey("Device2", true));
        temp.reload();

        SettingsStore reread(temp.settings());
        QVERIFY(reread.keyExists("Device1"));
        // A key with no values survives a reload too.
        QVERIFY(reread.keyExists("Device2"));
        QVERIFY(reread.openKey("Device1", false));
        QCOMPARE(reread.readString("CompName"), std::optional<QString>("PORTIRNICA"));
        QVERIFY(reread.deleteKey("Device1"));
        QVERIFY(!reread.keyExists("Device1"));
        QVERIFY(!reread.deleteKey("Device1"));
        QVERIFY(reread.openKey(QString(), false));
        QCOMPARE(reread.subKeys(), QStringList{"Device2"});
    }

    void booleansAreIntegersAndValuesDelete()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        store.openKey(QString(), false);
        store.writeBool("DebugCtrls", true);
        store.writeInteger("Negative", -5);
        store.writeString("Quoted", "a \"b\" \\c\nd");
        temp.reload();

        QFile file(temp.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(content.contains("\"DebugCtrls\"=dword:00000001"), content.constData());

        SettingsStore reread(temp.settings());
        reread.openKey(QString(), false);
        QCOMPARE(reread.readBool("DebugCtrls"), std::optional<bool>(true));
        QCOMPARE(reread.readInteger("DebugCtrls"), std::optional<int>(1));
        QCOMPARE(reread.readInteger("Negative"), std::optional<int>(-5));
        QCOMPARE(reread.readString("Quoted"), std::optional<QString>("a \"b\" \\c\nd"));
        QVERIFY(reread.deleteValue("Negative"));
        QVERIFY(!reread.valueExists("Negative"));
        QVERIFY(!reread.deleteValue("Negative"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
