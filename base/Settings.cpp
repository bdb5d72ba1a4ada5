#include "base/Settings.h"

#include "base/SettingsStore.h"

#include <QRegularExpression>

namespace Settings {

namespace {

const QString SleepTime = QStringLiteral("SleepTime");
const QString DebugCtrls = QStringLiteral("DebugCtrls");
const QString Password = QStringLiteral("Password");
const QString DataBaseKey = QStringLiteral("DataBase");
const QString ConnectionString = QStringLiteral("ConnectionString");

} // namespace

QString flush(QSettings &settings)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return QString();
    return QStringLiteral("Failed to write the registry: %1").arg(settings.fileName());
}

LinkOptions readLinkOptions(QSettings &settings)
{
    LinkOptions options;
    SettingsStore store(settings);
    if (!store.openKey(QString(), false))
        return options;
    if (const std::optional<int> sleep = store.readInteger(SleepTime)) {
        options.sleepTime = *sleep;
        if (const std::optional<bool> debug = store.readBool(DebugCtrls))
            options.debugCtrls = *debug;
    }
    store.closeKey();
    return options;
}

QString writeLinkOptions(QSettings &settings, const LinkOptions &options)
{
    SettingsStore store(settings);
    store.openKey(QString(), true);
    store.writeInteger(SleepTime, options.sleepTime);
    store.writeInteger(DebugCtrls, options.debugCtrls ? 1 : 0);
    store.closeKey();
    return flush(settings);
}

PasswordRead readPassword(QSettings &settings)
{
    PasswordRead read;
    SettingsStore store(settings);
    store.openKey(QString(), true);
    if (!store.valueExists(Password)) {
        store.writeString(Password, FirstPassword);
        read.error = flush(settings);
        if (!read.error.isEmpty())
            return read;
    }
    read.password = store.readString(Password);
    store.closeKey();
    if (!read.password)
        read.error = QStringLiteral("Invalid data type for '%1'").arg(Password);
    return read;
}

QString writePassword(QSettings &settings, const QString &password)
{
    SettingsStore store(settings);
    store.openKey(QString(), true);
    store.writeString(Password, password);
    store.closeKey();
    return flush(settings);
}

QString readConnectionString(QSettings &settings)
{
    SettingsStore store(settings);
    if (!store.openKey(DataBaseKey, false))
        return QString();
    const QString stored = store.readString(ConnectionString).value_or(QString());
    store.closeKey();
    return stored;
}

QString writeConnectionString(QSettings &settings, const QString &connectionString)
{
    SettingsStore store(settings);
    store.openKey(DataBaseKey, true);
    store.writeString(ConnectionString, connectionString);
    store.closeKey();
    return flush(settings);
}

namespace Devices {

QString DeviceKey(int n)
{
    return QStringLiteral("Device") + QString::number(n);
}

bool IsDeviceKey(const QString &key)
{
    static const QRegularExpression deviceKey(QStringLiteral("^Device\\d+$"),
                                              QRegularExpression::CaseInsensitiveOption);
    return deviceKey.match(key).hasMatch();
}

} // namespace Devices

} // namespace Settings
