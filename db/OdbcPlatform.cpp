#include "db/ConnectionString.h"

#ifdef Q_OS_WIN
#include <QSettings>
#endif

OdbcPlatform OdbcPlatform::current()
{
    OdbcPlatform p;
#ifdef Q_OS_WIN
    p.os = Windows;
    // The driver manager's list of installed drivers.
    const QSettings drivers(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers"),
                            QSettings::NativeFormat);
    p.installedDrivers = drivers.childKeys();
#endif
    return p;
}
