#include "LinkFixtures.h"

#include "link/CommandLink.h"
#include "sim/Link71Simulator.h"

#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

namespace {

const QString Host = QStringLiteral("127.0.0.1");

SimOptions loopbackSim()
{
    SimOptions options;
    options.port = 0;
    return options;
}

CommandLinkPorts portsFor(const Link71Simulator &sim)
{
    CommandLinkPorts ports;
    ports.server = sim.port();
    ports.listener = 0;
    ports.listenAddress = QHostAddress::LocalHost;
    return ports;
}

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

class TestSender : public QObject
{
    Q_OBJECT

private slots:
    void sixtyOneFramesGoAsTwoConnectionsAndReachTheControllers()
    {
        Link71Simulator sim(loopbackSim());
        QVERIFY(sim.start());
        CommandLink link(portsFor(sim));
        QVERIFY(link.Listen());
        sim.setAnswerPort(link.Listener().serverPort());
        TestWriteProgress progress;
        progress.active = true;
        link.Dispatch().registerWriteProgress(&progress);
        QSignalSpy log(&link, &CommandLink::logLine);

        QVERIFY(link.Connect(Host));
        QStringList frames;
        {
            const SenderHold hold = link.HoldSender();
            for (int i = 0; i < 61; ++i) {
                frames.append(FrameWE(3, 12, 1024 + i, quint16(i)));
                link.Enqueue(frames.last());
            }
        }

        QTRY_COMPARE_WITH_TIMEOUT(progress.writes.size(), 61, 20000);
        const QString first = frames.mid(0, 60).join(QString());
        QCOMPARE(sim.batches(), QList<QByteArray>({first.toLatin1(), frames.last().toLatin1()}));
        for (int i = 0; i < 61; ++i)
            QCOMPARE(int(sim.memoryWord(3, 12, 1024 + i)), i);
        QCOMPARE(progress.writes.first(), QStringLiteral("WE 3 1024 0"));
        QCOMPARE(progress.writes.last(), QStringLiteral("WE 3 1084 60"));

        QStringList sentLines;
        for (const QList<QVariant> &line : log) {
            if (line.at(0).toString().startsWith(u"Serveru"))
                sentLines.append(line.at(0).toString());
        }
        QCOMPARE(sentLines, QStringList({"Serveru je poslat tekst: " + first,
                                         "Serveru je poslat tekst: " + frames.last()}));
    }

    void severalAnswersInOneConnectionAreAllDispatchedInOrder()
    {
        SimOptions options = loopbackSim();
        options.answersPerConnection = 3;
        options.latencyMs = 50; // lets the answers of the batch gather
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        CommandLink link(portsFor(sim));
        QVERIFY(link.Listen());
        sim.setAnswerPort(link.Listener().serverPort());
        TestTableReader reader;
        link.Dispatch().registerTableReader(&reader);

        QVERIFY(link.Connect(Host));
        {
            const SenderHold hold = link.HoldSender();
            for (int address = 0; address < 6; ++address)
                link.Enqueue(FrameRE(4, 2, address));
        }
        QTRY_COMPARE_WITH_TIMEOUT(reader.reads.size(), 6, 5000);
        QCOMPARE(reader.reads, QStringList({"RE 4 0 65535", "RE 4 1 65535", "RE 4 2 65535",
                                            "RE 4 3 65535", "RE 4 4 65535", "RE 4 5 65535"}));
        QCOMPARE(link.Dispatch().ReplyTokens.Count(), 0);
    }

    void idleSenderSleepsSleepTimeBetweenChecks()
    {
        TLink71komunikacija link;
        auto transport = std::make_unique<RecordingTransport>();
        TPetlja sender(link, 1, std::move(transport));
        sender.SetSleepTime(20);
        sender.Wake();
        QTest::qWait(400);
        const int periods = sender.IdlePeriods();
        // About 20; far fewer means it is not polling, far more that it does not sleep.
        QVERIFY2(periods >= 3 && periods <= 25, qPrintable(QString::number(periods)));

        sender.SetSleepTime(60000);
        QTest::qWait(100); // the period under way ends with the old time
        const int afterChange = sender.IdlePeriods();
        QTest::qWait(200);
        QCOMPARE(sender.IdlePeriods(), afterChange);
    }

    void stopWhileSendingLetsThatBatchGoAndDiscardsTheRest()
    {
        TLink71komunikacija link;
        auto owned = std::make_unique<RecordingTransport>();
        RecordingTransport &transport = *owned;
        TPetlja sender(link, 1, std::move(owned));
        sender.SetSleepTime(5);
        transport.setGated(true);
        {
            const SenderHold hold(link, sender);
            for (int i = 0; i < 130; ++i)
                link.Enqueue(Host, FrameRE(1, 1, i));
        }
        QVERIFY(transport.waitEntered(1));
        link.StopCommand();
        transport.setGated(false);
        QTest::qWait(100);
        QCOMPARE(transport.sentSoFar().size(), size_t(1));
        QCOMPARE(transport.sentSoFar().front().batch.count("BrMk"), 60);
        QCOMPARE(link.Count(), 0);

        // A status check after the stop does not clear the flag: its frame waits.
        link.Enqueue(Host, FrameST(1, 1));
        sender.Wake();
        QTest::qWait(100);
        QCOMPARE(transport.sentSoFar().size(), size_t(1));
        QCOMPARE(link.Count(), 1);

        // A reader read clears it.
        link.ClearStop();
        sender.Wake();
        QTRY_COMPARE_WITH_TIMEOUT(transport.sentSoFar().size(), size_t(2), 5000);
        QCOMPARE(transport.sentSoFar().back().batch, FrameST(1, 1).toLatin1());
    }

    void holdBackIsReleasedWhenTheRoutineLeavesByAnException()
    {
        TLink71komunikacija link;
        auto owned = std::make_unique<RecordingTransport>();
        RecordingTransport &transport = *owned;
        TPetlja sender(link, 1, std::move(owned));
        sender.SetSleepTime(5);
        sender.Wake();
        try {
            const SenderHold hold(link, sender);
            for (int i = 0; i < 70; ++i)
                link.Enqueue(Host, FrameRE(1, 1, i));
            QTest::qWait(50);
            QCOMPARE(transport.sentSoFar().size(), size_t(0));
            throw std::runtime_error("conversion error");
        } catch (const std::runtime_error &) {
        }
        QTRY_COMPARE_WITH_TIMEOUT(transport.sentSoFar().size(), size_t(2), 5000);
        QCOMPARE(transport.sentSoFar().at(0).batch.count("BrMk"), 60);
        QCOMPARE(transport.sentSoFar().at(1).batch.count("BrMk"), 10);
    }

    void unreachableServerAtPreparationReportsOnceAndQueuesNothing()
    {
        CommandLinkPorts ports;
        ports.server = closedPort();
        ports.listener = 0;
        ports.listenAddress = QHostAddress::LocalHost;
        CommandLink link(ports);
        TestTableReader reader;
        TestWriteProgress progress;
        reader.shownFlag = true;
        progress.active = true;
        link.Dispatch().registerTableReader(&reader);
        link.Dispatch().registerWriteProgress(&progress);
        QSignalSpy message(&link, &CommandLink::commErrorMessage);

        QVERIFY(!link.Connect(Host));
        QCOMPARE(message.size(), 1);
        QCOMPARE(message.at(0).at(0).toString(), CommandLink::CommErrorText);
        QCOMPARE(progress.closed, 1);
        QCOMPARE(reader.grayCalls, QList<bool>({false}));
        QCOMPARE(link.Link().Count(), 0);
    }

    void outageWhileSendingIsReportedOnceAndTheFramesGoOutLater()
    {
        Link71Simulator sim(loopbackSim());
        QVERIFY(sim.start());
        CommandLink link(portsFor(sim));
        QVERIFY(link.Listen());
        sim.setAnswerPort(link.Listener().serverPort());
        link.SetSleepTime(20);
        TestWriteProgress progress;
        progress.active = true;
        link.Dispatch().registerWriteProgress(&progress);
        QSignalSpy message(&link, &CommandLink::commErrorMessage);

        QVERIFY(link.Connect(Host));
        QVERIFY(sim.setRefusing(true));
        const QStringList frames = {FrameWE(2, 5, 10, 1), FrameWE(2, 5, 11, 2), FrameWE(2, 5, 12, 3)};
        for (const QString &frame : frames)
            link.Enqueue(frame);

        QTRY_COMPARE_WITH_TIMEOUT(message.size(), 1, 5000);
        QCOMPARE(progress.closed, 1);
        QTest::qWait(300); // many retries, no new report
        QCOMPARE(message.size(), 1);
        QCOMPARE(sim.memoryWord(2, 5, 10), quint16(0xFFFF));

        QVERIFY(sim.setRefusing(false));
        QTRY_COMPARE_WITH_TIMEOUT(int(sim.memoryWord(2, 5, 12)), 3, 5000);
        QCOMPARE(int(sim.memoryWord(2, 5, 10)), 1);
        QCOMPARE(int(sim.memoryWord(2, 5, 11)), 2);
        QCOMPARE(message.size(), 1);
        // Nothing was lost or sent twice: the frames of every batch, in queue order.
        QByteArray delivered;
        for (const QByteArray &batch : sim.batches())
            delivered += batch;
        QCOMPARE(delivered, frames.join(QString()).toLatin1());
    }

    void stopCommandEndsTheRetriesOfAnOutage()
    {
        CommandLinkPorts ports;
        ports.server = closedPort();
        ports.listener = 0;
        ports.listenAddress = QHostAddress::LocalHost;
        CommandLink link(ports);
        link.SetSleepTime(10);
        QSignalSpy message(&link, &CommandLink::commErrorMessage);
        link.Link().Enqueue(Host, FrameST(1, 1));
        link.Sender().Wake();
        QTRY_COMPARE_WITH_TIMEOUT(message.size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(link.Link().Count(), 1, 5000); // kept for the next attempt
        link.StopCommand();
        QTest::qWait(100);
        QCOMPARE(link.Link().Count(), 0);
        QCOMPARE(message.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSender)
#include "tst_sender.moc"
