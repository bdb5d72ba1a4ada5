#include "db/BuiltInDatabase.h"

#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>
#include <QUuid>

namespace {

void createFromSchema(const QString &path)
{
    const QString name = QStringLiteral("builtin-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            try {
                Schema::createSqlite(db);
            } catch (const std::exception &e) {
                failure = QString::fromUtf8(e.what());
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw DbError(failure);
}

} // namespace

namespace BuiltInDatabase {

QString defaultFileName()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("dorvalen.sqlite"));
}

QString connectionString(const QString &fileName)
{
    if (!QFileInfo::exists(fileName)) {
        const QFileInfo info(fileName);
        if (!QDir().mkpath(info.absolutePath()))
            throw DbError(QStringLiteral("Cannot create the folder %1").arg(info.absolutePath()));
        // Built beside the target and renamed at the end, so a failure leaves no half
        // database that the next start would take for a complete one.
        const QString partial = fileName + QStringLiteral(".new");
        QFile::remove(partial);
        try {
            createFromSchema(partial);
        } catch (...) {
            QFile::remove(partial);
            throw;
        }
        if (!QFile::rename(partial, fileName)) {
            QFile::remove(partial);
            throw DbError(QStringLiteral("Cannot create %1").arg(fileName));
        }
    }
    return ConnectionString::forSqliteFile(fileName);
}

} // namespace BuiltInDatabase
