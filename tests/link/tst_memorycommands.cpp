#include "LinkFixtures.h"
#include "LoopbackLink.h"

#include "link/CommandLink.h"
#include "link/DeviceTable.h"
#include "link/MemoryCommands.h"
#include "sim/Link71Simulator.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString Host = QStringLiteral("127.0.0.1");

// The simulated communication server and the command link to it, both on ephemeral
// loopback ports, with a device table: slot 0 a "TK71" (ID 12), slot 1 a "TK71 2.1"
// (ID 7), slot 2 a "TK96" (ID 30), slot 3 a device whose ID is no number.
struct Bench : LoopbackLink
{
    Bench()
    {
        table.Put(0, std::make_unique<TDevice>("12", "Ulaz", "TK71", "", Host, 3));
        table.Put(1, std::make_unique<TDevice>("7", "Kapija", "TK71 2.1", "", Host, 4));
        table.Put(2, std::make_unique<TDevice>("30", "Rampa", "TK96", "", Host, 5));
        table.Put(3, std::make_unique<TDevice>("A1", "Pogresan", "TK71", "", Host, 6));
    }

    TDeviceTable table;
};

QStringList readFrames(int port, int controller, int from, int to)
{
    QStringList out;
    for (int a = from; a <= to; ++a)
        out.append(FrameRE(port, controller, a));
    return out;
}

} // namespace

// The memory commands as frames that reach the simulated server.
class TestMemoryCommands : public QObject
{
    Q_OBJECT

private slots:
    void readWholeTableGoesOutInFullBatches_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<int>>("batchSizes");
        QList<int> tk71(16, 60);
        tk71.append(48);
        QTest::newRow("TK71: both banks") << 0 << readFrames(3, 12, 0, 495) + readFrames(3, 12, 1024, 1535) << tk71;
        QList<int> tk21(8, 60);
        tk21.append(12);
        QTest::newRow("TK71 2.1: from index 4") << 1 << readFrames(3, 7, 4, 495) << tk21;
    }

    void readWholeTableGoesOutInFullBatches()
    {
        QFETCH(int, slot);
        QFETCH(QStringList, expected);
        QFETCH(QList<int>, batchSizes);
        Bench b;
        const MemoryCommandResult result = ReadEEPROM(*b.link, b.table, 3, slot);
        QVERIFY(result.connected);
        QVERIFY(result.error.isEmpty());
        QCOMPARE(result.framesQueued, expected.size());
        QTRY_COMPARE_WITH_TIMEOUT(int(b.frames().size()), int(expected.size()), 60000);
        QCOMPARE(b.frames(), expected);
        // Held back while queueing: no batch went out short before the last.
        QList<int> sizes;
        for (const QByteArray &batch : b.sim->batches())
            sizes.append(int(batch.count("BMEnd")));
        QCOMPARE(sizes, batchSizes);
    }

    void readOneRow_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("TK71 2.1 row 0") << 1 << 0 << readFrames(9, 7, 4, 7);
        QTest::newRow("TK71 2.1 last row") << 1 << 122 << readFrames(9, 7, 492, 495);
        QTest::newRow("TK71 last row of bank 1") << 0 << 123 << readFrames(9, 12, 492, 495);
        QTest::newRow("TK71 first row of bank 2") << 0 << 124 << readFrames(9, 12, 1024, 1027);
        QTest::newRow("TK71 last row") << 0 << 251 << readFrames(9, 12, 1532, 1535);
    }

    void readOneRow()
    {
        QFETCH(int, slot);
        QFETCH(int, row);
        QFETCH(QStringList, expected);
        Bench b;
        QCOMPARE(ReadEEPROM_jedan(*b.link, b.table, 9, slot, quint8(row)).framesQueued, 4);
        QTRY_COMPARE_WITH_TIMEOUT(int(b.frames().size()), 4, 10000);
        QCOMPARE(b.frames(), expected);
    }

    void writeMarkedSlotsFromEitherImage_data()
    {
        QTest::addColumn<bool>("fromDatabase");
        QTest::newRow("WriteDBEEPROM") << true;
        QTest::newRow("WriteEEPROM") << false;
    }

    void writeMarkedSlotsFromEitherImage()
    {
        QFETCH(bool, fromDatabase);
        Bench b;
        TDevice &d = *b.table.Device(0);
        QVERIFY(SetDBSlot(b.table, 0, 1, "0102030405060708"));
        QVERIFY(SetDBSlot(b.table, 0, 130, "1112131415161718"));
        QVERIFY(SetCtrlSlot(b.table, 0, 1, "2122232425262728"));
        QVERIFY(SetCtrlSlot(b.table, 0, 130, "3132333435363738"));
        QVERIFY(SetCtrlSlot(b.table, 0, 2, "4142434445464748"));
        d.WriteFlags[1] = 1;
        d.WriteFlags[130] = 1;
        d.WriteFlags[3] = 2; // only 1 marks a slot

        const MemoryCommandResult result =
            fromDatabase ? WriteDBEEPROM(*b.link, b.table, 3, 0) : WriteEEPROM(*b.link, b.table, 3, 0);
        QCOMPARE(result.framesQueued, 8);
        QTRY_COMPARE_WITH_TIMEOUT(int(b.frames().size()), 8, 10000);
        const TImage &image = fromDatabase ? d.DBImage : d.CtrlImage;
        QStringList expected;
        for (int i : {4, 5, 6, 7, 520, 521, 522, 523})
            expected.append(FrameWE(3, 12, d.ControllerAddress(i), image[size_t(i)]));
        QCOMPARE(b.frames(), expected);
        QCOMPARE(b.sim->memoryWord(3, 12, 4), image[4]);
        QCOMPARE(b.sim->memoryWord(3, 12, 1048), image[520]);
        QCOMPARE(b.sim->memoryWord(3, 12, 1051), image[523]);
    }

    void writeWithNoMarkedSlotConnectsAndSendsNothing()
    {
        // A plain loopback server shows the connection the preparation makes.
        AnswerSink server;
        CommandLinkPorts ports;
        ports.server = server.port();
        ports.listener = 0;
        ports.listenAddress = QHostAddress::LocalHost;
        CommandLink link(ports);
        link.SetSleepTime(10);
        TDeviceTable table;
        table.Put(0, std::make_unique<TDevice>("12", "Ulaz", "TK71", "", Host, 3));
        const MemoryCommandResult result = WriteDBEEPROM(link, table, 3, 0);
        QVERIFY(result.connected);
        QCOMPARE(result.framesQueued, 0);
        QTRY_COMPARE_WITH_TIMEOUT(server.texts.size(), 1, 10000);
        QTest::qWait(200);
        QCOMPARE(server.texts, QStringList{QString()});
    }

    void eraseOneRowWritesAndLogsEveryWord()
    {
        Bench b;
        QSignalSpy log(b.link.get(), &CommandLink::logLine);
        TDevice &d = *b.table.Device(0);
        QVERIFY(SetCtrlSlot(b.table, 0, 124, "FFFFFFFFFFFFFFFF"));
        d.WriteFlags[124] = 1;
        QCOMPARE(WriteEEPROM_jedan(*b.link, b.table, 3, 0, 124).framesQueued, 4);
        QTRY_COMPARE_WITH_TIMEOUT(int(b.frames().size()), 4, 10000);
        QCOMPARE(b.frames(), QStringList({FrameWE(3, 12, 1024, 65535), FrameWE(3, 12, 1025, 65535),
                                          FrameWE(3, 12, 1026, 65535), FrameWE(3, 12, 1027, 65535)}));
        QStringList wordLines;
        for (const QList<QVariant> &line : log) {
            if (!line.at(0).toString().startsWith(u"Serveru") && !line.at(0).toString().startsWith(u"Link71"))
                wordLines.append(line.at(0).toString());
        }
        QCOMPARE(wordLines, QStringList(4, "FFFF 65535"));
    }

    void oneRowOfAnUnmarkedSlotOrBeyondTheTableSendsNothing()
    {
        Bench b;
        TDevice &d = *b.table.Device(1);
        d.WriteFlags[1] = 0;
        QCOMPARE(WriteEEPROM_jedan(*b.link, b.table, 3, 1, 0).framesQueued, 0);
        // Row 123 of a "TK71 2.1" would lie past its table and past the image.
        d.WriteFlags[124] = 1;
        QCOMPARE(WriteEEPROM_jedan(*b.link, b.table, 3, 1, 123).framesQueued, 0);
        QCOMPARE(WriteEEPROM_jedan(*b.link, b.table, 3, 1, 255).framesQueued, 0);
        QCOMPARE(ReadEEPROM_jedan(*b.link, b.table, 3, 1, 255).framesQueued, 0);
        QTest::qWait(200);
        QVERIFY(b.sim->batches().isEmpty());
    }

    void statusGoesToTheComputerOfSlotNumberMinusOne()
    {
        Bench b;
        // Slot 1's computer cannot be reached; slot 0's is the simulator.
        b.table.Device(1)->CompName = QString();
        QSignalSpy message(b.link.get(), &CommandLink::commErrorMessage);
        const MemoryCommandResult result = ReadStatus(*b.link, b.table, 3, 1);
        QVERIFY(result.connected);
        QTRY_COMPARE_WITH_TIMEOUT(int(b.frames().size()), 1, 10000);
        // The number passed, not the device's ID (12).
        QCOMPARE(b.frames(), QStringList{"BrMk 1 0000000 Do71 3 1 ST BMEnd"});
        QCOMPARE(message.count(), 0);

        QVERIFY(!ReadStatus(*b.link, b.table, 3, 2).connected);
        QCOMPARE(message.count(), 1);
        const MemoryCommandResult none = ReadStatus(*b.link, b.table, 3, 0);
        QVERIFY(!none.connected);
        QVERIFY(!none.error.isEmpty());
    }

    void typeWithoutTableConnectsAndSendsNothing()
    {
        Bench b;
        b.table.Device(2)->WriteFlags.fill(1);
        for (const MemoryCommandResult &r :
             {ReadEEPROM(*b.link, b.table, 5, 2), ReadEEPROM_jedan(*b.link, b.table, 5, 2, 0),
              WriteDBEEPROM(*b.link, b.table, 5, 2), WriteEEPROM(*b.link, b.table, 5, 2),
              WriteEEPROM_jedan(*b.link, b.table, 5, 2, 0)}) {
            QVERIFY(r.connected);
            QVERIFY(r.error.isEmpty());
            QCOMPARE(r.framesQueued, 0);
        }
        QTest::qWait(200);
        QVERIFY(b.sim->batches().isEmpty());
    }

    void badControllerIdQueuesNothingAndLeavesTheSenderFree()
    {
        Bench b;
        const MemoryCommandResult bad = ReadEEPROM(*b.link, b.table, 6, 3);
        QVERIFY(bad.connected);
        QCOMPARE(bad.framesQueued, 0);
        QVERIFY2(bad.error.contains("A1"), qPrintable(bad.error));
        b.table.Device(3)->WriteFlags[0] = 1;
        QVERIFY(!WriteEEPROM(*b.link, b.table, 6, 3).error.isEmpty());
        QVERIFY(!WriteEEPROM_jedan(*b.link, b.table, 6, 3, 0).error.isEmpty());
        // Nothing holds the sender back afterwards.
        QCOMPARE(ReadEEPROM_jedan(*b.link, b.table, 3, 0, 0).framesQueued, 4);
        QTRY_COMPARE_WITH_TIMEOUT(int(b.frames().size()), 4, 10000);
        QCOMPARE(b.frames(), readFrames(3, 12, 0, 3));
    }

    void unreachableServerOrEmptySlotQueuesNothing()
    {
        Bench b;
        QVERIFY(b.sim->setRefusing(true));
        QSignalSpy message(b.link.get(), &CommandLink::commErrorMessage);
        const MemoryCommandResult refused = ReadEEPROM(*b.link, b.table, 3, 0);
        QVERIFY(!refused.connected);
        QCOMPARE(refused.framesQueued, 0);
        QCOMPARE(message.count(), 1);
        QCOMPARE(b.link->Link().Count(), 0);

        const MemoryCommandResult empty = WriteEEPROM(*b.link, b.table, 3, 100);
        QVERIFY(!empty.connected);
        QVERIFY(!empty.error.isEmpty());
        QCOMPARE(message.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMemoryCommands)
#include "tst_memorycommands.moc"
