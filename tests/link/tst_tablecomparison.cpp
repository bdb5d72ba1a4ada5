#include "SyncFixtures.h"

#include "link/ControllerJob.h"
#include "link/TableComparison.h"

#include <QTest>

namespace {

using Result = ControllerOutcome::Result;
using Rows = QMap<int, QString>; // table row -> media ID

void fill(TImage &image, const TDevice &device, const Rows &rows)
{
    for (auto it = rows.begin(); it != rows.end(); ++it)
        QVERIFY(StoreMediaID(image, device.RowIndex(it.key()), it.value()));
}

std::unique_ptr<TDevice> device(const QString &type, const QString &id = QStringLiteral("12"), int port = 3)
{
    auto d = std::make_unique<TDevice>(id, QStringLiteral("Ulaz"), type, QString(), QStringLiteral("hala"), port);
    d->CtrlImage.fill(TDevice::EmptyWord);
    d->DBImage.fill(TDevice::EmptyWord);
    return d;
}

QString describe(const SlotDifference &d)
{
    static const char *const kinds[] = {"differ", "missing", "extra"};
    return QStringLiteral("%1:%2:%3:%4").arg(d.row).arg(d.number).arg(d.table).arg(kinds[int(d.kind)]);
}

// Answers every frame of the job from memory until it is finished; the frames sent, in order.
QStringList runAgainst(ControllerJob &job, FakeMemory &memory)
{
    QStringList sent;
    QStringList frames = job.start();
    while (!job.finished() && !frames.isEmpty()) {
        sent += frames;
        for (const QString &frame : frames)
            job.take(memory.answer(frame));
        if (!job.stepComplete())
            break;
        frames = job.advance();
    }
    return sent;
}

QStringList commandsOf(const QStringList &frames, const QString &command)
{
    QStringList out;
    for (const QString &frame : frames) {
        if (frame.contains(u' ' + command + u' '))
            out.append(frame);
    }
    return out;
}

} // namespace

// Slot-by-slot comparison of the two images, and one controller's steps of frames and answers.
class TestTableComparison : public QObject
{
    Q_OBJECT

private slots:
    void compareEveryRow_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<Rows>("database");
        QTest::addColumn<Rows>("controller");
        QTest::addColumn<QList<int>>("counts"); // match, differ, missing, extra
        QTest::addColumn<QStringList>("differences");
        QTest::newRow("identical, both banks")
            << "TK71" << Rows{{0, mediaId(1)}, {130, mediaId(2)}} << Rows{{0, mediaId(1)}, {130, mediaId(2)}}
            << QList<int>{252, 0, 0, 0} << QStringList{};
        QTest::newRow("each kind once, in row order")
            << "TK71" << Rows{{0, mediaId(1)}, {5, mediaId(2)}, {200, mediaId(3)}}
            << Rows{{0, mediaId(1)}, {5, mediaId(4)}, {7, mediaId(5)}} << QList<int>{249, 1, 1, 1}
            << QStringList{"5:6:1:differ", "7:8:1:extra", "200:201:1:missing"};
        QTest::newRow("TK71 numbers both banks on") << "TK71" << Rows{{130, mediaId(1)}} << Rows{}
                                                    << QList<int>{251, 0, 1, 0} << QStringList{"130:131:1:missing"};
        QTest::newRow("TK71D numbers its second table anew")
            << "TK71D" << Rows{{123, mediaId(1)}, {124, mediaId(2)}} << Rows{}
            << QList<int>{250, 0, 2, 0} << QStringList{"123:124:1:missing", "124:1:2:missing"};
        QTest::newRow("TK71 2.1 row 0 is slot 1") << "TK71 2.1" << Rows{} << Rows{{0, mediaId(9)}}
                                                  << QList<int>{122, 0, 0, 1} << QStringList{"0:1:1:extra"};
    }

    void compareEveryRow()
    {
        QFETCH(QString, type);
        QFETCH(Rows, database);
        QFETCH(Rows, controller);
        QFETCH(QList<int>, counts);
        QFETCH(QStringList, differences);
        auto d = device(type);
        fill(d->DBImage, *d, database);
        fill(d->CtrlImage, *d, controller);
        // Words before a "TK71 2.1" table are no slot of it.
        if (d->TableBegin() > 0)
            d->CtrlImage[0] = 0x1234;
        const TableComparison c = CompareTables(*d);
        QCOMPARE(QList<int>({c.match, c.differ, c.missingFromController, c.extraInController}), counts);
        QCOMPARE(c.compared(), d->Capacity);
        QStringList described;
        for (const SlotDifference &diff : c.differences)
            described.append(describe(diff));
        QCOMPARE(described, differences);
        QCOMPARE(c.clean(), differences.isEmpty());
    }

    void differenceCarriesBothMediaIds()
    {
        auto d = device("TK71");
        fill(d->DBImage, *d, {{3, mediaId(1)}});
        fill(d->CtrlImage, *d, {{3, mediaId(2)}, {4, mediaId(3)}});
        const TableComparison c = CompareTables(*d);
        QCOMPARE(c.differences.size(), 2);
        QCOMPARE(c.differences[0].controllerMediaId, mediaId(2));
        QCOMPARE(c.differences[0].databaseMediaId, mediaId(1));
        QCOMPARE(c.differences[1].databaseMediaId, EmptySlotText);
    }

    void compareChosenRowsOnly()
    {
        auto d = device("TK71 2.1");
        fill(d->DBImage, *d, {{1, mediaId(1)}, {2, mediaId(2)}});
        const TableComparison c = CompareTableRows(*d, {2, 5, 123, -1});
        QCOMPARE(QList<int>({c.match, c.missingFromController}), QList<int>({1, 1}));
        QCOMPARE(c.differences.size(), 1);
        QCOMPARE(c.differences[0].row, 2);
    }

    void writeToAllSendsOneWordOfAnEmptySlot_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<Rows>("database");
        QTest::addColumn<int>("words");
        QTest::addColumn<QList<int>>("firstAddresses");
        QTest::addColumn<int>("lastAddress");
        QTest::newRow("TK71 empty") << "TK71" << Rows{} << 252 << QList<int>{3, 7, 11} << 1535;
        QTest::newRow("TK71 filled first slots of each bank")
            << "TK71" << Rows{{0, mediaId(1)}, {124, mediaId(2)}} << 258 << QList<int>{0, 1, 2, 3, 7} << 1535;
        QTest::newRow("TK71 2.1 starts at word 4") << "TK71 2.1" << Rows{{0, mediaId(1)}} << 126
                                                   << QList<int>{4, 5, 6, 7, 11} << 495;
    }

    void writeToAllSendsOneWordOfAnEmptySlot()
    {
        QFETCH(QString, type);
        QFETCH(Rows, database);
        QFETCH(int, words);
        QFETCH(QList<int>, firstAddresses);
        QFETCH(int, lastAddress);
        auto d = device(type);
        fill(d->DBImage, *d, database);
        QList<int> addresses;
        for (int i : ControllerJob::FullWriteIndexes(*d))
            addresses.append(d->ControllerAddress(i));
        QCOMPARE(int(addresses.size()), words);
        QCOMPARE(addresses.mid(0, firstAddresses.size()), firstAddresses);
        QCOMPARE(addresses.last(), lastAddress);
        if (type == u"TK71")
            QVERIFY(addresses.contains(database.isEmpty() ? 1027 : 1024));
    }

    void verifyReadsTheWholeTableAndComparesTheAnswers_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("firstAddress");
        QTest::addColumn<int>("lastAddress");
        QTest::newRow("TK71") << "TK71" << 1008 << 0 << 1535;
        QTest::newRow("TK71D") << "TK71D" << 1008 << 0 << 1535;
        QTest::newRow("TK71 2.1") << "TK71 2.1" << 492 << 4 << 495;
    }

    void verifyReadsTheWholeTableAndComparesTheAnswers()
    {
        QFETCH(QString, type);
        QFETCH(int, frames);
        QFETCH(int, firstAddress);
        QFETCH(int, lastAddress);
        auto d = device(type);
        fill(d->DBImage, *d, {{0, mediaId(1)}, {100, mediaId(2)}});
        FakeMemory memory;
        memory.setRow(*d, 0, mediaId(1));
        memory.setRow(*d, 100, mediaId(3));
        ControllerJob job(*d, SyncCommand::Verify);
        const QStringList sent = runAgainst(job, memory);
        QCOMPARE(int(sent.size()), frames);
        QCOMPARE(sent.first(), FrameRE(3, 12, firstAddress));
        QCOMPARE(sent.last(), FrameRE(3, 12, lastAddress));
        QVERIFY(job.finished());
        const ControllerOutcome &o = job.outcome();
        QCOMPARE(o.result, Result::Differs);
        QCOMPARE(o.answers, frames);
        QVERIFY(o.comparison);
        QCOMPARE(o.comparison->differ, 1);
        QCOMPARE(o.comparison->differences[0].row, 100);
        QCOMPARE(FormatSlot(d->CtrlImage, d->RowIndex(100) / 4), mediaId(3));
    }

    void writeSendsTheImageAndChecksWhatTheControllerHolds_data()
    {
        QTest::addColumn<bool>("keepsOneWord");
        QTest::addColumn<int>("result");
        QTest::newRow("every word taken") << false << int(Result::Ok);
        QTest::newRow("one word kept") << true << int(Result::Differs);
    }

    void writeSendsTheImageAndChecksWhatTheControllerHolds()
    {
        QFETCH(bool, keepsOneWord);
        auto d = device("TK71");
        fill(d->DBImage, *d, {{0, mediaId(1)}, {124, mediaId(2)}});
        FakeMemory memory;
        if (keepsOneWord)
            memory.keep(1025);
        ControllerJob job(*d, SyncCommand::Write);
        const QStringList sent = runAgainst(job, memory);
        QCOMPARE(int(sent.size()), 258);
        QCOMPARE(sent.first(), FrameWE(3, 12, 0, d->DBImage[0]));
        QVERIFY(sent.contains(FrameWE(3, 12, 1025, d->DBImage[497])));
        QCOMPARE(commandsOf(sent, "WE").size(), sent.size());
        QTEST(int(job.outcome().result), "result");
        QCOMPARE(job.outcome().wordsNotHeld, keepsOneWord ? 1 : 0);
        QCOMPARE(job.outcome().slotsWritten, 252);
        QCOMPARE(memory.word(0), d->DBImage[0]);
        QCOMPARE(memory.word(1027), d->DBImage[499]);
    }

    void deltaWriteSendsOnlyTheDifferingSlotsAndReadsThemBack()
    {
        auto d = device("TK71D", "7", 2);
        fill(d->DBImage, *d, {{0, mediaId(1)}, {1, mediaId(2)}, {125, mediaId(3)}});
        FakeMemory memory;
        memory.setRow(*d, 0, mediaId(1));
        memory.setRow(*d, 1, mediaId(9));   // differs
        memory.setRow(*d, 140, mediaId(4)); // extra
        ControllerJob job(*d, SyncCommand::WriteDifferences);
        const QStringList sent = runAgainst(job, memory);

        QStringList expectedWrites;
        for (int row : {1, 125, 140}) {
            for (int w = 0; w < 4; ++w) {
                const int i = d->RowIndex(row) + w;
                expectedWrites.append(FrameWE(2, 7, d->ControllerAddress(i), d->DBImage[size_t(i)]));
            }
        }
        QCOMPARE(commandsOf(sent, "WE"), expectedWrites);
        QCOMPARE(commandsOf(sent, "RE").size(), 1008 + 12);
        const ControllerOutcome &o = job.outcome();
        QCOMPARE(o.result, Result::Ok);
        QCOMPARE(o.slotsWritten, 3);
        QCOMPARE(QList<int>({o.comparison->differ, o.comparison->missingFromController, o.comparison->extraInController}),
                 QList<int>({1, 1, 1}));
        QCOMPARE(o.confirmation->match, 3);
        QCOMPARE(memory.word(d->ControllerAddress(d->RowIndex(140))), TDevice::EmptyWord);
    }

    void deltaWriteOfAMatchingTableOnlyReads()
    {
        auto d = device("TK71 2.1");
        fill(d->DBImage, *d, {{0, mediaId(1)}});
        FakeMemory memory;
        memory.setRow(*d, 0, mediaId(1));
        ControllerJob job(*d, SyncCommand::WriteDifferences);
        const QStringList sent = runAgainst(job, memory);
        QCOMPARE(commandsOf(sent, "RE").size(), sent.size());
        QCOMPARE(int(sent.size()), 492);
        QCOMPARE(job.outcome().result, Result::Ok);
        QCOMPARE(job.outcome().slotsWritten, 0);
        QVERIFY(!job.outcome().confirmation);
    }

    void deltaWriteThatDoesNotHoldDiffers()
    {
        auto d = device("TK71 2.1");
        fill(d->DBImage, *d, {{0, mediaId(1)}});
        FakeMemory memory;
        memory.keep(5);
        ControllerJob job(*d, SyncCommand::WriteDifferences);
        runAgainst(job, memory);
        QCOMPARE(job.outcome().result, Result::Differs);
        QCOMPARE(job.outcome().confirmation->missingFromController + job.outcome().confirmation->differ, 1);
    }

    void answersTheStepDoesNotWaitForAreRefused_data()
    {
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<bool>("taken");
        QTest::newRow("awaited") << QStringList{"RE", "1", "4", "65535"} << true;
        QTest::newRow("other kind") << QStringList{"WE", "1", "4", "65535"} << false;
        QTest::newRow("before the table") << QStringList{"RE", "1", "2", "65535"} << false;
        QTest::newRow("beyond the table") << QStringList{"RE", "1", "496", "65535"} << false;
        QTest::newRow("not a number") << QStringList{"RE", "1", "x4", "65535"} << false;
        QTest::newRow("value too big") << QStringList{"RE", "1", "4", "65536"} << false;
        QTest::newRow("short") << QStringList{"RE", "1", "4"} << false;
        QTest::newRow("status") << QStringList{"ST", "1", "4"} << false;
    }

    void answersTheStepDoesNotWaitForAreRefused()
    {
        QFETCH(QStringList, tokens);
        QFETCH(bool, taken);
        auto d = device("TK71 2.1");
        ControllerJob job(*d, SyncCommand::Verify);
        QCOMPARE(job.start().size(), 492);
        QCOMPARE(job.take(tokens), taken);
        QCOMPARE(job.stepAnswered(), taken ? 1 : 0);
        // The same answer twice counts once.
        QVERIFY(!job.take(tokens));
    }

    void stoppedJobTellsWhetherAnythingCame_data()
    {
        QTest::addColumn<int>("answers");
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("result");
        QTest::newRow("silent") << 0 << int(Result::NoAnswer) << int(Result::NoAnswer);
        QTest::newRow("stopped answering") << 10 << int(Result::NoAnswer) << int(Result::Incomplete);
        QTest::newRow("unreachable") << 0 << int(Result::Unreachable) << int(Result::Unreachable);
    }

    void stoppedJobTellsWhetherAnythingCame()
    {
        QFETCH(int, answers);
        QFETCH(int, reason);
        auto d = device("TK71 2.1");
        FakeMemory memory;
        ControllerJob job(*d, SyncCommand::Verify);
        const QStringList frames = job.start();
        for (int i = 0; i < answers; ++i)
            QVERIFY(job.take(memory.answer(frames[i])));
        job.stop(Result(reason));
        QVERIFY(job.finished());
        QTEST(int(job.outcome().result), "result");
        QCOMPARE(job.outcome().answered, answers);
        QCOMPARE(job.outcome().expected, 492);
        QVERIFY(!job.take(memory.answer(frames[answers])));
    }

    void jobsThatCannotSendFinishAtOnce_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("result");
        QTest::newRow("no table to verify") << "TK96" << "4" << int(SyncCommand::Verify) << int(Result::NoTable);
        QTest::newRow("no table to write") << "TK97" << "4" << int(SyncCommand::Write) << int(Result::NoTable);
        QTest::newRow("ID no number") << "TK71" << "A1" << int(SyncCommand::Status) << int(Result::BadId);
    }

    void jobsThatCannotSendFinishAtOnce()
    {
        QFETCH(QString, type);
        QFETCH(QString, id);
        QFETCH(int, command);
        auto d = device(type, id);
        ControllerJob job(*d, SyncCommand(command));
        QVERIFY(job.start().isEmpty());
        QVERIFY(job.finished());
        QTEST(int(job.outcome().result), "result");
        QCOMPARE(job.outcome().framesSent, 0);
    }

    void statusOfATypeWithoutTable()
    {
        auto d = device("TK96", "30", 5);
        FakeMemory memory;
        ControllerJob job(*d, SyncCommand::Status);
        QCOMPARE(runAgainst(job, memory), QStringList{"BrMk 1 0000000 Do71 5 30 ST BMEnd"});
        QCOMPARE(job.outcome().result, Result::Ok);
        QCOMPARE(job.outcome().statusText, QStringLiteral("ST 5 30"));
    }
};

QTEST_GUILESS_MAIN(TestTableComparison)
#include "tst_tablecomparison.moc"
