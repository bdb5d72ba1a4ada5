#include "LinkFixtures.h"

#include "sim/Link71Simulator.h"
#include "sim/SimFrames.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Sends one batch as the program does: connect, write, close.
bool sendBatch(quint16 port, const QByteArray &batch)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return false;
    socket.write(batch);
    if (!socket.waitForBytesWritten(5000))
        return false;
    socket.disconnectFromHost();
    return socket.state() == QAbstractSocket::UnconnectedState || socket.waitForDisconnected(5000);
}

constexpr int MemoryWordsOutside = Link71Simulator::MemoryWords;

QByteArray readFrames(int count)
{
    QByteArray batch;
    for (int i = 0; i < count; ++i)
        batch += "BrMk 1 0000000 Do71 1 2 RE " + QByteArray::number(i) + " BMEnd";
    return batch;
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void parseFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::newRow("read") << QByteArray("BrMk 1 0000000 Do71 3 12 RE 5 BMEnd") << true
                              << int(SimFrame::Command::Read) << 5 << 0;
        QTest::newRow("write") << QByteArray("BrMk 1 0000000 Do71 3 12 WE 1029 65535 BMEnd") << true
                               << int(SimFrame::Command::Write) << 1029 << 65535;
        QTest::newRow("status") << QByteArray("BrMk 1 0000000 Do71 3 12 ST BMEnd") << true
                                << int(SimFrame::Command::Status) << 0 << 0;
        QTest::newRow("value too big") << QByteArray("BrMk 1 0000000 Do71 3 12 WE 1 65536 BMEnd")
                                       << false << 0 << 0 << 0;
        QTest::newRow("missing address") << QByteArray("BrMk 1 0000000 Do71 3 12 RE BMEnd") << false
                                         << 0 << 0 << 0;
        QTest::newRow("unknown command") << QByteArray("BrMk 1 0000000 Do71 3 12 XX 1 BMEnd") << false
                                         << 0 << 0 << 0;
        QTest::newRow("wrong family") << QByteArray("BrMk 1 0000000 Do72 3 12 ST BMEnd") << false
                                      << 0 << 0 << 0;
    }

    void parseFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, valid);
        const std::optional<SimFrame> parsed = ParseFrame(frame);
        QCOMPARE(parsed.has_value(), valid);
        if (!valid)
            return;
        QCOMPARE(parsed->port, 3);
        QCOMPARE(parsed->controller, 12);
        QTEST(int(parsed->command), "command");
        QTEST(parsed->address, "address");
        QTEST(parsed->value, "value");
    }

    void framesAreSplitAtTheirTokensAcrossReads()
    {
        QByteArray stream = "junk BrMk 1 0000000 Do71 1 1 ST BMEndBrMk 1 0000000 Do71 1 1 RE 4 BM";
        QCOMPARE(TakeFrames(stream), QList<QByteArray>({"BrMk 1 0000000 Do71 1 1 ST BMEnd"}));
        stream += "End BrMk 1 0000000 BrMk 1 0000000 Do71 1 1 RE 5 BMEnd";
        QCOMPARE(TakeFrames(stream), QList<QByteArray>({"BrMk 1 0000000 Do71 1 1 RE 4 BMEnd",
                                                        "BrMk 1 0000000 Do71 1 1 RE 5 BMEnd"}));
        QVERIFY(stream.isEmpty());
    }

    void executesFramesAndAnswersEachOnItsOwnConnection()
    {
        AnswerSink sink;
        SimOptions options;
        options.port = 0;
        options.answerPort = sink.port();
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QVERIFY(sendBatch(sim.port(), "BrMk 1 0000000 Do71 3 12 WE 5 7 BMEnd"
                                      "BrMk 1 0000000 Do71 3 12 RE 5 BMEnd"
                                      "BrMk 1 0000000 Do71 3 13 RE 5 BMEnd"
                                      "BrMk 1 0000000 Do71 3 12 XX BMEnd"
                                      "BrMk 1 0000000 Do71 3 12 WE 4000 1 BMEnd"
                                      "BrMk 1 0000000 Do71 3 12 ST BMEnd"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts.size(), 5, 5000);
        QCOMPARE(sink.texts, QStringList({"WE 3 5 7", "RE 3 5 7", "RE 3 5 65535", "WE 3 4000 65535",
                                          "ST 3 12"}));
        QCOMPARE(int(sim.memoryWord(3, 12, 5)), 7);
        QCOMPARE(int(sim.memoryWord(3, 13, 5)), 65535);
        QCOMPARE(int(sim.memoryWord(3, 12, 2047)), 65535);
        QCOMPARE(sim.batches().size(), 1);
    }

    void faultOptions_data()
    {
        QTest::addColumn<int>("dropEvery");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("perConnection");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("drop every 2nd") << 2 << 0 << 1
                                        << QStringList{"RE 1 0 65535", "RE 1 2 65535", "RE 1 4 65535"};
        QTest::newRow("stop after 2") << 0 << 2 << 1 << QStringList{"RE 1 0 65535", "RE 1 1 65535"};
        QTest::newRow("three per connection")
            << 0 << 0 << 3
            << QStringList{"RE 1 0 65535\r\nRE 1 1 65535\r\nRE 1 2 65535",
                           "RE 1 3 65535\r\nRE 1 4 65535\r\nRE 1 5 65535"};
    }

    void faultOptions()
    {
        QFETCH(int, dropEvery);
        QFETCH(int, stopAfter);
        QFETCH(int, perConnection);
        QFETCH(QStringList, texts);
        AnswerSink sink;
        SimOptions options;
        options.port = 0;
        options.answerPort = sink.port();
        options.dropEvery = dropEvery;
        options.stopAfter = stopAfter;
        options.answersPerConnection = perConnection;
        // Answers wait a little, so that those of one batch are ready together.
        options.latencyMs = perConnection > 1 ? 50 : 0;
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QVERIFY(sendBatch(sim.port(), readFrames(6)));
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts.size(), texts.size(), 5000);
        QTest::qWait(100); // nothing more comes
        QCOMPARE(sink.texts, texts);
    }

    void ignoredFramesDoNotChangeMemory()
    {
        AnswerSink sink;
        SimOptions options;
        options.port = 0;
        options.answerPort = sink.port();
        options.stopAfter = 1;
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QVERIFY(sendBatch(sim.port(), "BrMk 1 0000000 Do71 1 1 WE 1 1 BMEnd"
                                      "BrMk 1 0000000 Do71 1 1 WE 2 2 BMEnd"));
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts.size(), 1, 5000);
        QCOMPARE(int(sim.memoryWord(1, 1, 1)), 1);
        QCOMPARE(int(sim.memoryWord(1, 1, 2)), 65535);
    }

    void latencyDelaysEveryAnswer()
    {
        AnswerSink sink;
        SimOptions options;
        options.port = 0;
        options.answerPort = sink.port();
        options.latencyMs = 400;
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QVERIFY(sendBatch(sim.port(), readFrames(2)));
        QTest::qWait(150);
        QVERIFY(sink.texts.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts.size(), 2, 5000);
    }

    void frameTimeWorksFramesOffOneAfterAnother()
    {
        AnswerSink sink;
        SimOptions options;
        options.port = 0;
        options.answerPort = sink.port();
        options.frameTimeMs = 200;
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(sendBatch(sim.port(), readFrames(3)));
        // The answers are due 200, 400 and 600 ms after the batch, never earlier.
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts.size(), 1, 5000);
        QVERIFY(clock.elapsed() >= 190);
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts.size(), 3, 5000);
        QVERIFY(clock.elapsed() >= 590);
    }

    void answersComeFromTheAddressAskedFor()
    {
        QTcpServer receiver;
        QVERIFY(receiver.listen(QHostAddress::LocalHost, 0));
        QList<QHostAddress> from;
        connect(&receiver, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket *answer = receiver.nextPendingConnection())
                from.append(answer->peerAddress());
        });
        SimOptions options;
        options.port = 0;
        options.answerPort = receiver.serverPort();
        options.answerFrom = QHostAddress::LocalHost;
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QVERIFY(sendBatch(sim.port(), readFrames(2)));
        QTRY_COMPARE_WITH_TIMEOUT(sim.answersSent(), 2, 5000);
        QCOMPARE(from.size(), 2);
        for (const QHostAddress &address : from)
            QVERIFY(address.isEqual(QHostAddress::LocalHost, QHostAddress::ConvertV4MappedToIPv4));
    }

    void dumpListsEveryControllerWithMemory()
    {
        Link71Simulator sim;
        sim.setMemoryWord(3, 12, 0, 0x1234);
        sim.setMemoryWord(3, 12, 2047, 0xABCD);
        sim.setMemoryWord(1, 2, 17, 7);
        sim.setMemoryWord(1, 2, MemoryWordsOutside, 7); // beyond the memory: ignored
        const QList<QByteArray> lines = sim.memoryDump().split('\n');
        // A heading, then per controller its line and 128 lines of 16 words, sorted.
        QCOMPARE(lines.size(), 1 + 2 * 129 + 1);
        QCOMPARE(lines[1], QByteArray("port 1 controller 2"));
        QCOMPARE(lines[3], QByteArray("0010 FFFF 0007 FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF FFFF"));
        QCOMPARE(lines[130], QByteArray("port 3 controller 12"));
        QVERIFY(lines[131].startsWith("0000 1234 FFFF"));
        QVERIFY(lines[258].startsWith("07F0 FFFF"));
        QVERIFY(lines[258].endsWith(" ABCD"));
        QCOMPARE(lines.last(), QByteArray());

        QTemporaryDir dir;
        QVERIFY(sim.writeDump(dir.filePath("dump.txt")));
        QFile file(dir.filePath("dump.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), sim.memoryDump());
        QVERIFY(!sim.writeDump(dir.filePath("no/such/folder/dump.txt")));
    }

    void refusingClosesThePortUntilAcceptingAgain()
    {
        AnswerSink sink;
        SimOptions options;
        options.port = 0;
        options.answerPort = sink.port();
        options.refuse = true;
        Link71Simulator sim(options);
        QVERIFY(sim.start());
        QVERIFY(!sendBatch(sim.port(), readFrames(1)));
        QVERIFY(sim.setRefusing(false));
        QVERIFY(sendBatch(sim.port(), readFrames(1)));
        QTRY_COMPARE_WITH_TIMEOUT(sink.texts, QStringList({"RE 1 0 65535"}), 5000);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
