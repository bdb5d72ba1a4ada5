// link71sim: the communication server and its controllers, emulated on this computer.

#include "sim/Link71Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <csignal>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t dumpRequested = 0;

extern "C" void requestStop(int)
{
    stopRequested = 1;
}

extern "C" void requestDump(int)
{
    dumpRequested = 1;
}

bool readCount(const QCommandLineParser &parser, const QString &name, int &value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok && value >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("link71sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Emulates the Link71 communication server and its controllers: takes batches of "
        "command frames, keeps a memory of 2048 words (65535 at start) per port and "
        "controller, executes RE/WE/ST and sends each answer on a connection of its own."));
    parser.addHelpOption();
    const QList<QCommandLineOption> options = {
        {QStringLiteral("port"), QStringLiteral("Port for the batches (default 65000)."),
         QStringLiteral("port"), QStringLiteral("65000")},
        {QStringLiteral("listen"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
         QStringLiteral("address"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("host"),
         QStringLiteral("Listen on this address and send the answers from it, as a computer of its "
                        "own would (for example 127.0.0.2); overrides --listen."),
         QStringLiteral("address")},
        {QStringLiteral("answer-port"),
         QStringLiteral("Port of the workstation that receives the answers (default 20000)."),
         QStringLiteral("port"), QStringLiteral("20000")},
        {QStringLiteral("answer-host"),
         QStringLiteral("Host for the answers (default: the address a batch came from)."),
         QStringLiteral("host")},
        {QStringLiteral("latency"), QStringLiteral("Delay of every answer in ms (default 0)."),
         QStringLiteral("ms")},
        {QStringLiteral("frame-time"),
         QStringLiteral("Time in ms each frame takes on the serial line, one frame after the other "
                        "(default 0)."),
         QStringLiteral("ms")},
        {QStringLiteral("dump"),
         QStringLiteral("Write the whole memory of every controller to this file on exit and on "
                        "SIGUSR1."),
         QStringLiteral("file")},
        {QStringLiteral("drop-every"), QStringLiteral("Drop every n-th answer."), QStringLiteral("n")},
        {QStringLiteral("refuse"), QStringLiteral("Refuse every connection.")},
        {QStringLiteral("stop-after"),
         QStringLiteral("Ignore every frame after the n-th: no answers, no memory changes."),
         QStringLiteral("n")},
        {QStringLiteral("answers-per-connection"),
         QStringLiteral("Send up to n answers in one connection, one line each (default 1)."),
         QStringLiteral("n")},
    };
    parser.addOptions(options);
    parser.process(app);

    SimOptions sim;
    int port = 65000;
    int answerPort = 20000;
    bool valid = readCount(parser, QStringLiteral("port"), port)
                 && readCount(parser, QStringLiteral("answer-port"), answerPort)
                 && readCount(parser, QStringLiteral("latency"), sim.latencyMs)
                 && readCount(parser, QStringLiteral("frame-time"), sim.frameTimeMs)
                 && readCount(parser, QStringLiteral("drop-every"), sim.dropEvery)
                 && readCount(parser, QStringLiteral("stop-after"), sim.stopAfter)
                 && readCount(parser, QStringLiteral("answers-per-connection"),
                              sim.answersPerConnection)
                 && port <= 0xFFFF && answerPort <= 0xFFFF
                 && sim.listenAddress.setAddress(parser.value(QStringLiteral("listen")));
    if (valid && parser.isSet(QStringLiteral("host"))) {
        valid = sim.listenAddress.setAddress(parser.value(QStringLiteral("host")));
        sim.answerFrom = sim.listenAddress;
    }
    QTextStream err(stderr);
    if (!valid) {
        err << "link71sim: invalid option value; see --help\n";
        return 2;
    }
    sim.port = quint16(port);
    sim.answerPort = quint16(answerPort);
    sim.answerHost = parser.value(QStringLiteral("answer-host"));
    sim.refuse = parser.isSet(QStringLiteral("refuse"));

    Link71Simulator simulator(sim);
    if (!simulator.start()) {
        err << "link71sim: cannot listen on port " << port << "\n";
        return 1;
    }
    err << "link71sim: listening on " << sim.listenAddress.toString() << ":" << simulator.port()
        << (sim.refuse ? " (refusing connections)" : "") << "\n";
    err.flush();

    const QString dumpFile = parser.value(QStringLiteral("dump"));
    const auto dump = [&] {
        if (!dumpFile.isEmpty() && !simulator.writeDump(dumpFile))
            err << "link71sim: cannot write the dump to " << dumpFile << "\n";
        err.flush();
    };

    // A signal handler may only set a flag; the event loop looks at it.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
#ifdef SIGUSR1
    std::signal(SIGUSR1, requestDump);
#endif
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &app, [&] {
        if (dumpRequested) {
            dumpRequested = 0;
            dump();
        }
        if (stopRequested)
            QCoreApplication::quit();
    });
    stopPoll.start(100);

    const int rc = app.exec();
    dump();
    return rc;
}
