#pragma once

#include <QSettings>
#include <QString>

#include <optional>

// Every value the program keeps in its registry, each with its key, default and read
// rule; no other code names a key. Each write goes through to the registry at once and
// returns the error text of a write that did not reach it (empty when it did).
namespace Settings {

// "SleepTime" and "DebugCtrls" of the program's key.
struct LinkOptions
{
    int sleepTime = 1000;
    bool debugCtrls = false;
};
// Reading stops at the first value that is missing or of another type: what is not read
// keeps its default ("DebugCtrls" is read only after a good "SleepTime").
LinkOptions readLinkOptions(QSettings &settings);
QString writeLinkOptions(QSettings &settings, const LinkOptions &options);

// "Password" of the program's key; the first start stores FirstPassword.
inline const QString FirstPassword = QStringLiteral("tinsmoke");
struct PasswordRead
{
    std::optional<QString> password; // none when it is of another type or could not be stored
    QString error;
};
PasswordRead readPassword(QSettings &settings);
QString writePassword(QSettings &settings, const QString &password);

// DataBase\ConnectionString: empty when none is stored (or it is of another type).
QString readConnectionString(QSettings &settings);
QString writeConnectionString(QSettings &settings, const QString &connectionString);

// The device table's cache: DevInfo\TotalNumber, and Device1.. with one value per field.
namespace Devices {
inline const QString InfoKey = QStringLiteral("DevInfo");
inline const QString TotalNumber = QStringLiteral("TotalNumber");
inline const QString ID = QStringLiteral("ID");
inline const QString Name = QStringLiteral("Name");
inline const QString DevType = QStringLiteral("DevType");
inline const QString ConnType = QStringLiteral("ConnType");
inline const QString CompName = QStringLiteral("CompName");
inline const QString PortNum = QStringLiteral("PortNum");
// "Device1" for n = 1.
QString DeviceKey(int n);
bool IsDeviceKey(const QString &key);
} // namespace Devices

// Writes what is pending through to the registry; the error text when that failed.
QString flush(QSettings &settings);

} // namespace Settings
