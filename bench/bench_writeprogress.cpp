// End to end, the write to every controller: TfrmWriteProgress with its own timers writes
// N "TK71" controllers of the spread demo (20,000 persons, lists near their tables) to
// the zero-latency simulator on loopback. Next to it, in the same run, the raw client
// sends the very frames the window sent. Printed: answers per second of both, their
// ratio (target >= 80%), and the longest stall of the user-interface thread that a 10 ms
// probe timer sees during the run (target < 100 ms).
//
//   bench_writeprogress [CONTROLLERS [PERSONS]]
//
// Without CONTROLLERS: as many as about 2 minutes allow at the raw client's pace, at least 20.

#include "RawLink71Client.h"
#include "StallProbe.h"
#include "db/ConnectionString.h"
#include "db/Schema.h"
#include "db/schema/DemoData.h"
#include "db/uDMGZ.h"
#include "link/CommandLink.h"
#include "link/DeviceTable.h"
#include "sim/Link71Simulator.h"
#include "tools/uWriteProgress.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int CatalogueSize = 255;
constexpr int RunSeconds = 120;
constexpr int TimeoutMs = 600000;

template <typename F>
auto inSimulator(Link71Simulator *sim, F f)
{
    decltype(f()) result{};
    QMetaObject::invokeMethod(sim, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

void makeDatabase(const QString &file, int persons)
{
    DemoOptions options;
    options.persons = persons;
    options.controllers = CatalogueSize;
    options.spreadZones = true;
    DemoData::createFile(file, options);
}

// The catalogue's first count controllers, on loopback.
void fillTable(TDeviceTable &table, TdmGZ &gz, int count)
{
    QSqlQuery q(gz.connMain->database());
    q.exec(QStringLiteral("SELECT IDKontrolera, Naziv, Tip, ComPort FROM tblDorvKontroleri"));
    while (table.Count < count && q.next()) {
        table.Put(table.Count++, std::make_unique<TDevice>(q.value(0).toString(), q.value(1).toString(),
                                                           q.value(2).toString(), QString(), QStringLiteral("127.0.0.1"),
                                                           q.value(3).toString().mid(3).toInt()));
    }
}

QStringList framesOf(const QList<QByteArray> &batches)
{
    QStringList frames;
    for (QByteArray rest : batches) {
        for (const QByteArray &frame : TakeFrames(rest))
            frames.append(QString::fromLatin1(frame));
    }
    return frames;
}

double perSecond(qsizetype answers, qint64 ms)
{
    return ms > 0 ? double(answers) * 1000.0 / double(ms) : 0.0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QLoggingCategory::setFilterRules(QStringLiteral("dorvalen.writeprogress.debug=false"));
    // The load's warnings (media IDs over a table's size) are not waited for.
    MessageBoxes::setScripted(true);
    int controllers = app.arguments().value(1, QStringLiteral("0")).toInt();
    const int persons = app.arguments().value(2, QStringLiteral("20000")).toInt();

    QThread simThread;
    SimOptions options;
    options.port = 0;
    auto *sim = new Link71Simulator(options);
    sim->moveToThread(&simThread);
    QObject::connect(&simThread, &QThread::finished, sim, &QObject::deleteLater);
    simThread.start();
    const quint16 simPort = inSimulator(sim, [sim] { return sim->start() ? sim->port() : quint16(0); });
    const auto stopSimulator = [&] {
        simThread.quit();
        simThread.wait();
    };
    if (simPort == 0) {
        std::fprintf(stderr, "simulator did not start\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.sqlite"));
    try {
        makeDatabase(file, persons);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        stopSimulator();
        return 1;
    }

    if (controllers <= 0) {
        // The raw client's pace on a table's worth of frames decides how many fit.
        QStringList sample;
        for (int i = 0; i < 1008; ++i)
            sample.append(FrameWE(9, 999, i < 496 ? i : i + 528, 0xFFFF));
        const qint64 ms = RunRawLink71Client(sim, simPort, sample, TimeoutMs);
        const double rate = perSecond(sample.size(), ms);
        // About 820 frames a controller here, and 100 ms before each.
        const double secondsPerController = rate > 0 ? 820.0 / rate + 0.1 : 1.0;
        controllers = std::clamp(int(RunSeconds / secondsPerController), 20, CatalogueSize);
        std::printf("raw client pace %.0f answers/s: %d controllers for about %d s\n", rate, controllers, RunSeconds);
    }

    TdmGZ gz;
    gz.connectTo(ConnectionString::forSqliteFile(file));
    TDeviceTable table;
    fillTable(table, gz, controllers);
    CommandLinkPorts ports;
    ports.server = simPort;
    ports.listener = 0;
    ports.listenAddress = QHostAddress::LocalHost;
    CommandLink link(ports);
    if (!link.Listen()) {
        std::fprintf(stderr, "listener did not start\n");
        stopSimulator();
        return 1;
    }
    const quint16 answerPort = link.Listener().serverPort();
    inSimulator(sim, [sim, answerPort] {
        sim->setAnswerPort(answerPort);
        return 0;
    });
    // With the window's own 100 ms before each controller, and once more with 1 ms: the
    // pause is the window's design, the rest its pipeline.
    struct Run
    {
        int writeIntervalMs;
        qint64 ms = 0;
        int frames = 0;
        int wrong = 0;
        qint64 stall = 0;
        bool broke = false;
    };
    Run runs[] = {{TfrmWriteProgress::WriteIntervalMs}, {1}};
    QStringList frames;
    for (Run &run : runs) {
        const int framesBefore = inSimulator(sim, [sim] { return sim->framesExecuted(); });
        const int batchesBefore = inSimulator(sim, [sim] { return int(sim->batches().size()); });
        TfrmWriteProgress window(table, *gz.connMain);
        window.setIntervals(run.writeIntervalMs, TfrmWriteProgress::CheckIntervalMs);
        StallProbe probe;
        QElapsedTimer clock;
        clock.start();
        probe.start();
        window.Execute(link);
        run.stall = probe.stop();
        run.ms = clock.elapsed();
        run.frames = inSimulator(sim, [sim] { return sim->framesExecuted(); }) - framesBefore;
        if (frames.isEmpty())
            frames = framesOf(inSimulator(sim, [sim] { return sim->batches(); }).mid(batchesBefore));
        for (int slot = 0; slot < table.Count; ++slot) {
            const TDevice &d = *table.Device(slot);
            run.wrong += inSimulator(sim, [&] {
                int n = 0;
                for (int i = d.TableBegin(); i < d.TableEnd(); ++i)
                    n += sim->memoryWord(d.PortNum, d.ID.toInt(), d.ControllerAddress(i)) != d.DBImage[size_t(i)];
                return n;
            });
        }
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        run.broke = std::any_of(shown.begin(), shown.end(), [](const MessageBoxes::Shown &s) {
            return s.text == TfrmWriteProgress::StallText || s.text == CommandLink::CommErrorText;
        });
    }

    const qint64 rawMs = RunRawLink71Client(sim, simPort, frames, TimeoutMs);
    stopSimulator();

    const double raw = perSecond(frames.size(), rawMs);
    std::printf("raw client: %lld frames in %lld ms (%.0f answers/s)\n", static_cast<long long>(frames.size()),
                static_cast<long long>(rawMs), raw);
    for (const Run &run : runs) {
        const double program = perSecond(run.frames, run.ms);
        std::printf("write to every controller, %d TK71, %d ms before each: %d frames in %lld ms (%.0f answers/s), "
                    "ratio %.1f%% (target >= 80%%: %s); longest stall of the user-interface thread %lld ms "
                    "(target < 100 ms: %s); %d words differ from the images%s\n",
                    controllers, run.writeIntervalMs, run.frames, static_cast<long long>(run.ms), program,
                    raw > 0 ? 100.0 * program / raw : 0.0, raw > 0 && program >= 0.8 * raw ? "met" : "NOT met",
                    static_cast<long long>(run.stall), run.stall < 100 ? "met" : "NOT met", run.wrong,
                    run.broke ? "; the run broke off" : "");
    }
    return 0;
}
