// qPersons on a large register: time to open, time to move the focus through every
// row, and memory, next to a plain QSqlQuery that keeps every column of every row.
//
//   bench_qpersons [FILE]   FILE: an SQLite database made by
//                           "dorvalen-db create FILE --demo --persons 20000 --photos";
//                           without it one is made in a temporary folder.

#include "db/ConnectionString.h"
#include "db/uDMMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const int Persons = 20000;
const int PhotoBytes = 20 * 1024;

// Kilobytes of /proc/self/status field "VmRSS" or "VmHWM"; -1 where there is none.
long procKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Starts a new peak measurement from the current resident size (Linux).
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double mb(long kb)
{
    return kb / 1024.0;
}

bool makeDatabase(const QString &file)
{
    QProcess tool;
    tool.start(QStringLiteral(DORVALEN_DB_TOOL),
               {QStringLiteral("create"), file, QStringLiteral("--demo"), QStringLiteral("--persons"),
                QString::number(Persons), QStringLiteral("--photos")});
    return tool.waitForFinished(600000) && tool.exitCode() == 0;
}

// Photos of the demo may be smaller; the figures are for 20 KB each.
void widenPhotos(const QString &file)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prepare"));
    db.setDatabaseName(file);
    db.open();
    QSqlQuery(db).exec(QStringLiteral("UPDATE Zaposleni SET Fotografija = randomblob(%1)"
                                      " WHERE length(Fotografija) IS NULL OR length(Fotografija) < %1")
                           .arg(PhotoBytes));
    db.close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString file = app.arguments().value(1);
    if (file.isEmpty()) {
        file = dir.filePath(QStringLiteral("demo.sqlite"));
        std::printf("creating %d persons with photos...\n", Persons);
        if (!makeDatabase(file)) {
            std::fprintf(stderr, "dorvalen-db failed\n");
            return 1;
        }
    }
    widenPhotos(file);
    QSqlDatabase::removeDatabase(QStringLiteral("prepare"));

    TdmMain dm;
    dm.connectTo(ConnectionString::forSqliteFile(file));
    const long empty = procKb("VmRSS");
    resetPeak();

    QElapsedTimer t;
    t.start();
    dm.qPersons->open();
    const qint64 openMs = t.elapsed();
    const long openPeak = procKb("VmHWM") - empty;
    t.restart();
    for (dm.qPersons->first(); !dm.qPersons->eof(); dm.qPersons->next()) {
    }
    const qint64 moveMs = t.elapsed();
    t.restart();
    qint64 photoBytes = 0;
    for (dm.qPersons->first(); !dm.qPersons->eof(); dm.qPersons->next())
        photoBytes += dm.qPersons->asBytes(QStringLiteral("Fotografija")).size();
    const qint64 movePhotoMs = t.elapsed();
    const long queryPeak = procKb("VmHWM") - empty;
    const int rows = dm.qPersons->rowCount();
    dm.qPersons->close();

    // The plain way: every column of every row kept, photos included.
    const long before = procKb("VmRSS");
    resetPeak();
    t.restart();
    QList<QVariantList> all;
    {
        QSqlQuery q(dm.connMain->database());
        q.setForwardOnly(true);
        q.exec(dm.qPersons->text());
        const int columns = int(q.record().count());
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < columns; ++i)
                row.append(q.value(i));
            all.append(row);
        }
    }
    const qint64 plainMs = t.elapsed();
    const long plainPeak = procKb("VmHWM") - before;

    std::printf("rows                          %d (photos read: %.1f MB)\n", rows, photoBytes / 1048576.0);
    std::printf("qPersons open                 %lld ms (target < 500)\n", static_cast<long long>(openMs));
    std::printf("qPersons focus through all    %lld ms\n", static_cast<long long>(moveMs));
    std::printf("  ... reading each photo      %lld ms\n", static_cast<long long>(movePhotoMs));
    std::printf("qPersons peak above empty     %.1f MB at open, %.1f MB with photos read (target < 60)\n",
                mb(openPeak), mb(queryPeak));
    std::printf("plain QSqlQuery, all columns  %lld ms, peak %.1f MB above its start (%lld rows)\n",
                static_cast<long long>(plainMs), mb(plainPeak), static_cast<long long>(all.size()));
    if (openPeak > 0)
        std::printf("memory ratio plain/qPersons   %.1f\n", double(plainPeak) / double(openPeak));
    if (openMs > 0)
        std::printf("time ratio plain/qPersons     %.1f\n", double(plainMs) / double(openMs));
    return 0;
}
