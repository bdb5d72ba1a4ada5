// Database images and the whole-table read:
//  - LoadAllDBImages for "TK71" controllers on the demo register with 20,000 persons, on
//    SQLite. The register holds 255 controllers, each with touch contacts and access
//    points of its own like those of the demo's "TK71"; the first MEASURED of them are
//    loaded and the time for all 255 is extrapolated from theirs.
//  - the time ReadEEPROM takes to prepare and queue the 1008 frames of one "TK71".
//
//   bench_deviceimages [PERSONS [MEASURED]]

#include "db/ConnectionString.h"
#include "db/Schema.h"
#include "db/schema/DemoData.h"
#include "db/uDMGZ.h"
#include "link/CommandLink.h"
#include "link/DBImage.h"
#include "link/DeviceTable.h"
#include "link/MemoryCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>
#include <stdexcept>

namespace {

const int Controllers = 255;
const QString DemoTK71 = QStringLiteral("2");

void run(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        throw std::runtime_error((q.lastError().text() + QStringLiteral(": ") + sql).toStdString());
}

// The demo register, then 255 more "TK71" controllers, each with a copy of the demo
// "TK71"'s touch contacts and their access points.
void makeDatabase(const QString &file, int persons)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prepare"));
        db.setDatabaseName(file);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        Schema::createSqlite(db);
        DemoOptions options;
        options.persons = persons;
        DemoData::fill(db, options);
        QSqlQuery q(db);
        db.transaction();
        run(q, QStringLiteral("DELETE FROM tblDorvKontroleri"));
        run(q, QStringLiteral("CREATE TEMP TABLE demoContacts AS SELECT k.IDKontakta, k.RBTouchKontakta, "
                              "k.MerodavnaTabela, kt.IDTackePristupa FROM tblDorvKontakti k "
                              "JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta "
                              "WHERE k.idkontrolera = '%1'")
                   .arg(DemoTK71));
        run(q, QStringLiteral("CREATE TEMP TABLE demoZones AS SELECT zt.IDTackePristupa, zt.IDZone, zt.Status "
                              "FROM tblDorvZone_TackePristupa zt JOIN demoContacts c "
                              "ON c.IDTackePristupa = zt.IDTackePristupa"));
        run(q, QStringLiteral("DELETE FROM tblDorvKontaktiKontrolera_TackePristupa"));
        run(q, QStringLiteral("DELETE FROM tblDorvKontakti"));
        for (int c = 1; c <= Controllers; ++c) {
            run(q, QStringLiteral("INSERT INTO tblDorvKontroleri VALUES ('%1', 'Kontroler %1', 'TK71', '', "
                                  "'localhost', 'COM1')")
                       .arg(c));
            run(q, QStringLiteral("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, "
                                  "MerodavnaTabela) SELECT %1 * 1000 + IDKontakta, '%1', RBTouchKontakta, "
                                  "MerodavnaTabela FROM demoContacts")
                       .arg(c));
            // Access points of its own, opening the zones the demo's ones open.
            run(q, QStringLiteral("INSERT INTO tblDorvTackePristupa SELECT DISTINCT '%1-' || IDTackePristupa, "
                                  "'Tacka ' || '%1-' || IDTackePristupa FROM demoContacts")
                       .arg(c));
            run(q, QStringLiteral("INSERT INTO tblDorvZone_TackePristupa SELECT (SELECT COALESCE(MAX(id), 0) "
                                  "FROM tblDorvZone_TackePristupa) + rowid, IDZone, '%1-' || IDTackePristupa, Status "
                                  "FROM demoZones")
                       .arg(c));
            run(q, QStringLiteral("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa SELECT %1 * 1000 + "
                                  "IDKontakta, '%1-' || IDTackePristupa FROM demoContacts")
                       .arg(c));
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prepare"));
}

void benchImages(const QString &file, int measured)
{
    TdmGZ gz;
    gz.connectTo(ConnectionString::forSqliteFile(file));
    TDeviceTable table;
    for (int slot = 0; slot < measured; ++slot)
        table.Put(slot, std::make_unique<TDevice>(QString::number(slot + 1), QString(), QStringLiteral("TK71"),
                                                  QString(), QStringLiteral("localhost"), 1));
    for (int round = 1; round <= 2; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QStringList warnings = LoadAllDBImages(table, *gz.spPodaciZaKontrolere);
        const qint64 ms = timer.elapsed();
        const DBImageLoad one = LoadDBImage(table, 0, *gz.spPodaciZaKontrolere);
        int filled = 0;
        for (quint16 word : table.Device(0)->DBImage)
            filled += word != TDevice::EmptyWord ? 1 : 0;
        const double perController = double(ms) / measured;
        std::printf("LoadAllDBImages, %d of %d TK71, round %d: %lld ms, %.1f ms per controller, "
                    "%.1f s extrapolated to %d (target 2 s); slot 0: %d words filled, %d media IDs "
                    "did not fit; %lld warnings\n",
                    measured, Controllers, round, static_cast<long long>(ms), perController,
                    perController * Controllers / 1000.0, Controllers, filled,
                    one.notFittedFirst + one.notFittedSecond, static_cast<long long>(warnings.size()));
    }
}

void benchReadQueueing()
{
    // A loopback server that takes the batches and the preparation's connection.
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    CommandLinkPorts ports;
    ports.server = server.serverPort();
    ports.listener = 0;
    ports.listenAddress = QHostAddress::LocalHost;
    CommandLink link(ports);
    TDeviceTable table;
    table.Put(0, std::make_unique<TDevice>(QStringLiteral("12"), QString(), QStringLiteral("TK71"), QString(),
                                           QStringLiteral("127.0.0.1"), 3));
    for (int round = 1; round <= 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        const MemoryCommandResult result = ReadEEPROM(link, table, 3, 0);
        const qint64 us = timer.nsecsElapsed() / 1000;
        std::printf("ReadEEPROM, one TK71, round %d: %d frames prepared and queued in %lld us\n", round,
                    result.framesQueued, static_cast<long long>(us));
        // Let the sender empty the queue before the next round.
        QElapsedTimer drain;
        drain.start();
        while (link.Link().Count() > 0 && drain.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int persons = app.arguments().value(1, QStringLiteral("20000")).toInt();
    const int measured = qBound(1, app.arguments().value(2, QStringLiteral("3")).toInt(), Controllers);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.sqlite"));
    try {
        QElapsedTimer timer;
        timer.start();
        makeDatabase(file, persons);
        std::printf("Demo register with %d persons and %d TK71 controllers made in %lld ms\n", persons,
                    Controllers, static_cast<long long>(timer.elapsed()));
        benchImages(file, measured);
        benchReadQueueing();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
