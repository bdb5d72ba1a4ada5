// End to end on loopback: 10 x 1008 "RE" frames queued at once, through the command
// link (queue, sender thread, listener, dispatch) to the zero-latency simulator, until
// the last answer is dispatched; next to it a minimal raw client that sends the same
// batches over plain sockets and only counts the answers.

#include "RawLink71Client.h"
#include "link/CommandLink.h"
#include "sim/Link71Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Controllers = 10;
constexpr int FramesPerController = 1008; // a "TK71" table: addresses 0..495, 1024..1535
constexpr int TotalFrames = Controllers * FramesPerController;
constexpr int TimeoutMs = 120000;

QStringList allFrames()
{
    QStringList frames;
    for (int controller = 1; controller <= Controllers; ++controller) {
        for (int i = 0; i < FramesPerController; ++i)
            frames.append(FrameRE(1, controller, i < 496 ? i : 1024 + (i - 496)));
    }
    return frames;
}

// Counts "RE" answers the way the table reader takes them.
class CountingReader : public TableReaderReplyConsumer
{
public:
    bool isShown() const override { return true; }
    void callbackcitanje(TStringqueue &tokens) override
    {
        if (tokens.Count() > 2 && tokens.Peek() == u"RE") {
            for (int i = 0; i < 4; ++i)
                tokens.Pop();
            if (++answers == TotalFrames)
                done();
        }
    }
    void callbackpisanje(TStringqueue &) override {}
    void ZasiviDugmad(bool) override {}

    int answers = 0;
    std::function<void()> done;
};

// Milliseconds until the last answer, or -1 on time-out.
qint64 runProgram(Link71Simulator *sim, quint16 simPort, const QStringList &frames)
{
    CommandLinkPorts ports;
    ports.server = simPort;
    ports.listener = 0;
    ports.listenAddress = QHostAddress::LocalHost;
    CommandLink link(ports);
    if (!link.Listen())
        return -1;
    const quint16 answerPort = link.Listener().serverPort();
    QMetaObject::invokeMethod(sim, [sim, answerPort] { sim->setAnswerPort(answerPort); },
                              Qt::BlockingQueuedConnection);

    QEventLoop loop;
    CountingReader reader;
    qint64 elapsed = -1;
    QElapsedTimer clock;
    reader.done = [&] {
        elapsed = clock.elapsed();
        loop.quit();
    };
    link.Dispatch().registerTableReader(&reader);
    int commErrors = 0;
    QObject::connect(&link, &CommandLink::commErrorMessage, &loop, [&] { ++commErrors; });
    QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);

    clock.start();
    if (!link.Connect(QStringLiteral("127.0.0.1")))
        return -1;
    {
        const SenderHold hold = link.HoldSender();
        for (const QString &frame : frames)
            link.Enqueue(frame);
    }
    loop.exec();
    if (commErrors > 0)
        std::printf("  command link: %d connection errors reported\n", commErrors);
    return elapsed;
}

double perSecond(qint64 ms)
{
    return ms > 0 ? TotalFrames * 1000.0 / double(ms) : 0.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    QThread simThread;
    SimOptions options;
    options.port = 0;
    auto *sim = new Link71Simulator(options);
    sim->moveToThread(&simThread);
    QObject::connect(&simThread, &QThread::finished, sim, &QObject::deleteLater);
    simThread.start();
    quint16 simPort = 0;
    QMetaObject::invokeMethod(sim, [sim, &simPort] { simPort = sim->start() ? sim->port() : 0; },
                              Qt::BlockingQueuedConnection);
    if (simPort == 0) {
        std::fprintf(stderr, "simulator did not start\n");
        return 1;
    }

    const QStringList frames = allFrames();
    std::printf("%d RE frames (%d x %d) per run, zero-latency simulator on loopback, %d rounds\n",
                TotalFrames, Controllers, FramesPerController, rounds);
    qint64 bestProgram = -1;
    qint64 bestRaw = -1;
    for (int round = 1; round <= rounds; ++round) {
        // Alternate which goes first: the loopback's leftover connections weigh on the second.
        qint64 program = -1;
        qint64 raw = -1;
        if (round % 2 == 1) {
            program = runProgram(sim, simPort, frames);
            raw = RunRawLink71Client(sim, simPort, frames, TimeoutMs);
        } else {
            raw = RunRawLink71Client(sim, simPort, frames, TimeoutMs);
            program = runProgram(sim, simPort, frames);
        }
        std::printf("round %d: raw client %lld ms (%.0f answers/s), command link %lld ms (%.0f answers/s)\n",
                    round, (long long)raw, perSecond(raw), (long long)program, perSecond(program));
        if (raw > 0 && (bestRaw < 0 || raw < bestRaw))
            bestRaw = raw;
        if (program > 0 && (bestProgram < 0 || program < bestProgram))
            bestProgram = program;
    }
    simThread.quit();
    simThread.wait();

    if (bestRaw <= 0 || bestProgram <= 0) {
        std::printf("a run did not complete within %d ms\n", TimeoutMs);
        return 1;
    }
    const double ratio = perSecond(bestProgram) / perSecond(bestRaw);
    std::printf("best: raw client %.0f answers/s, command link %.0f answers/s, ratio %.1f%% "
                "(target >= 80%%: %s)\n",
                perSecond(bestRaw), perSecond(bestProgram), ratio * 100.0,
                ratio >= 0.8 ? "met" : "NOT met");
    return 0;
}
