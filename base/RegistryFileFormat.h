#pragma once

#include <QSettings>

// Where there is no Windows registry, settings live in a file that keeps each value's
// type the way the registry does (dword or text), in the spirit of a .reg export:
//
//   [DevInfo]
//   "TotalNumber"=dword:00000002
//   [DataBase]
//   "ConnectionString"="Provider=SQLite;Data Source=/home/u/dorvalen.sqlite"
//
// A plain INI file would read every integer back as text, and the program's typed reads
// must tell the two apart.
namespace RegistryFileFormat {

QSettings::Format format();

bool read(QIODevice &device, QSettings::SettingsMap &map);
bool write(QIODevice &device, const QSettings::SettingsMap &map);

} // namespace RegistryFileFormat
