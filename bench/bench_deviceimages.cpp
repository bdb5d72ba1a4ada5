// Database images and the whole-table read:
//  - LoadAllDBImages for 255 "TK71" controllers on 20,000 persons, on SQLite, on the two
//    data sets of the demo generator: (a) spread, each controller a zone of its own with
//    its list near its table size; (b) the demo's access points in turn, most persons at
//    the main gate, lists far larger than the tables. Beside it the per-controller load
//    (the procedure once per controller) for the first MEASURED controllers, extrapolated
//    to 255: the baseline.
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
#include <QFile>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>
#include <stdexcept>

namespace {

const int Controllers = 255;

void makeDatabase(const QString &file, int persons, bool spread)
{
    DemoOptions options;
    options.persons = persons;
    options.controllers = Controllers;
    options.spreadZones = spread;
    DemoData::createFile(file, options);
}

void fillTable(TDeviceTable &table, int count)
{
    table.Clear();
    for (int slot = 0; slot < count; ++slot)
        table.Put(slot, std::make_unique<TDevice>(QString::number(slot + 1), QString(), QStringLiteral("TK71"),
                                                  QString(), QStringLiteral("localhost"), 1));
}

struct ImageFigures
{
    int slotsFilled = 0;
    int mediaIdsLeftOut = 0;
};

ImageFigures figures(const TDeviceTable &table, const QStringList &warnings)
{
    ImageFigures f;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        if (const TDevice *d = table.Device(slot)) {
            for (qint32 status : d->SlotStatus)
                f.slotsFilled += status != 0 ? 1 : 0;
        }
    }
    static const QRegularExpression leftOut(QStringLiteral(": (\\d+) media ID-jeva nije stalo"));
    for (const QString &w : warnings) {
        const QRegularExpressionMatch m = leftOut.match(w);
        if (m.hasMatch())
            f.mediaIdsLeftOut += m.captured(1).toInt();
    }
    return f;
}

void benchImages(const char *name, const QString &file, int measured, double targetSeconds)
{
    TdmGZ gz;
    gz.connectTo(ConnectionString::forSqliteFile(file));
    TDeviceTable table;

    fillTable(table, measured);
    QElapsedTimer timer;
    timer.start();
    for (int slot = 0; slot < measured; ++slot)
        LoadDBImage(table, slot, *gz.spPodaciZaKontrolere);
    const double perController = double(timer.elapsed()) / measured;
    const double baseline = perController * Controllers / 1000.0;
    std::printf("%s: per controller %.1f ms (%d measured), %.1f s extrapolated to %d\n", name, perController,
                measured, baseline, Controllers);

    fillTable(table, Controllers);
    for (int round = 1; round <= 3; ++round) {
        timer.restart();
        const DBImagesLoad all = LoadAllDBImages(table, *gz.connMain);
        const double seconds = double(timer.elapsed()) / 1000.0;
        const ImageFigures f = figures(table, all.warnings);
        std::printf("%s: LoadAllDBImages, %d TK71, round %d: %.2f s (target %.0f s: %s), %.0fx faster than "
                    "per controller; %.1f slots filled per controller, %d media IDs left out%s\n",
                    name, Controllers, round, seconds, targetSeconds, seconds < targetSeconds ? "met" : "NOT met",
                    seconds > 0 ? baseline / seconds : 0.0, double(f.slotsFilled) / Controllers, f.mediaIdsLeftOut,
                    all.error.isEmpty() ? "" : qPrintable(QStringLiteral("; error: ") + all.error));
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
    const int measured = qBound(1, app.arguments().value(2, QStringLiteral("12")).toInt(), Controllers);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.sqlite"));
    try {
        const struct
        {
            const char *name;
            bool spread;
            double targetSeconds;
        } sets[] = {{"(a) spread", true, 1.0}, {"(b) demo access points", false, 5.0}};
        for (const auto &set : sets) {
            QElapsedTimer timer;
            timer.start();
            QFile::remove(file);
            makeDatabase(file, persons, set.spread);
            std::printf("%s: demo register with %d persons and %d TK71 controllers made in %lld ms\n", set.name,
                        persons, Controllers, static_cast<long long>(timer.elapsed()));
            benchImages(set.name, file, measured, set.targetSeconds);
        }
        benchReadQueueing();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
