#pragma once

#include <QString>

// The settings used when no connection string is stored: the embedded SQLite database
// "dorvalen.sqlite" in the user's application-data folder.
namespace BuiltInDatabase {

QString defaultFileName();

// The connection string of the SQLite file, which is created from the schema first if
// it does not exist. Throws DbError when it cannot be created; no partial file is left.
QString connectionString(const QString &fileName = defaultFileName());

} // namespace BuiltInDatabase
