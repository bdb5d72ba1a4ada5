#pragma once

#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "db/ConnectionString.h"
#include "db/schema/DemoData.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "link/DBImage.h"
#include "link/DeviceTable.h"
#include "sim/Link71Simulator.h"
#include "tests/support/TempDatabase.h"
#include "tests/support/TempSettings.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// What one run of dorvalen-ctl gave.
struct CtlResult
{
    int exitCode = -1;
    QString out;
    QString err;
    bool finished = false;

    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// A free port on loopback for the answers, below the range the system takes the source
// ports of outgoing connections from: otherwise one of the many answer connections
// could hold it between two runs.
inline quint16 freeLoopbackPort()
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        const quint16 port = quint16(QRandomGenerator::global()->bounded(21000, 32000));
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, port))
            return port;
    }
    qFatal("no free port for the answers");
}

// A site as dorvalen-ctl finds it: the demo register in an SQLite file with its
// controllers on 127.0.0.1, the program's settings in a config folder of its own (the
// connection string, "SleepTime"), and the communication server emulated in this process
// on ephemeral loopback ports.
class CtlSite
{
public:
    explicit CtlSite(int persons = 40)
        : answerPort(freeLoopbackPort())
    {
        DemoOptions demo;
        demo.persons = persons;
        DemoData::fill(database.db(), demo);
        database.exec(QStringLiteral("UPDATE tblDorvKontroleri SET Kompjuter = '127.0.0.1'"));
        QDir(home.path()).mkpath(QStringLiteral("config/Brenmark"));
        QDir(home.path()).mkpath(QStringLiteral("data"));
        const std::unique_ptr<QSettings> settings =
            SettingsStore::openFile(home.filePath(QStringLiteral("config/Brenmark/Dorvalen.reg")));
        Settings::writeConnectionString(*settings, connectionString());
        Settings::writeLinkOptions(*settings, {10, false});
    }

    QString connectionString() const { return ConnectionString::forSqliteFile(database.fileName()); }

    Link71Simulator &startSimulator(SimOptions options = {})
    {
        options.port = 0;
        options.answerPort = answerPort;
        sim = std::make_unique<Link71Simulator>(options);
        if (!sim->start())
            qFatal("simulator did not start");
        return *sim;
    }

    // The ports of this site, then the arguments given.
    CtlResult run(const QStringList &arguments, const QString &configHome = {}, int waitMs = 120000) const
    {
        QProcess ctl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                   configHome.isEmpty() ? home.filePath(QStringLiteral("config")) : configHome);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        ctl.setProcessEnvironment(env);
        QStringList args = arguments;
        args << QStringLiteral("--server-port") << QString::number(sim ? sim->port() : serverPortWithoutSim)
             << QStringLiteral("--answer-port") << QString::number(answerPort) << QStringLiteral("--listen")
             << QStringLiteral("127.0.0.1");
        QSignalSpy finished(&ctl, &QProcess::finished);
        ctl.start(QStringLiteral(DORVALEN_CTL), args);
        CtlResult result;
        // The simulator in this process answers while we wait.
        result.finished = ctl.waitForStarted(10000) && (finished.count() > 0 || finished.wait(waitMs));
        if (!result.finished) {
            ctl.kill();
            ctl.waitForFinished(5000);
        }
        result.exitCode = ctl.exitCode();
        result.out = QString::fromUtf8(ctl.readAllStandardOutput());
        result.err = QString::fromUtf8(ctl.readAllStandardError());
        return result;
    }

    // The device table and database images as the program builds them from this register.
    std::unique_ptr<TDeviceTable> images() const
    {
        auto table = std::make_unique<TDeviceTable>();
        TdmGZ dm;
        dm.connectTo(connectionString());
        TempSettings scratch;
        SettingsStore store(scratch.settings());
        TransferFromDB2Registry(*table, *dm.qControllers, store);
        const DBImagesLoad load = LoadAllDBImages(*table, *dm.connMain);
        if (!load.error.isEmpty())
            qFatal("database images: %s", qPrintable(load.error));
        return table;
    }

    // Puts the database image of every controller with a table into the simulator, as a
    // finished write would leave it.
    void preload(const TDeviceTable &table) const
    {
        for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
            const TDevice *d = table.Device(slot);
            if (!d)
                continue;
            for (int i = d->TableBegin(); i < d->TableEnd(); ++i)
                sim->setMemoryWord(d->PortNum, d->ID.toInt(), d->ControllerAddress(i), d->DBImage[size_t(i)]);
        }
    }

    QTemporaryDir home;
    TempDatabase database;
    const quint16 answerPort;
    quint16 serverPortWithoutSim = 1;
    std::unique_ptr<Link71Simulator> sim;
};

// Every frame the simulator received from the batch with the given number on.
inline QStringList framesSince(const Link71Simulator &sim, int firstBatch)
{
    QStringList out;
    for (qsizetype b = firstBatch; b < sim.batches().size(); ++b) {
        QByteArray rest = sim.batches()[b];
        for (const QByteArray &frame : TakeFrames(rest))
            out.append(QString::fromLatin1(frame));
    }
    return out;
}
