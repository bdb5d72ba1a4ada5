#include "link/Komunikacija.h"
#include "link/StringQueue.h"

#include <QTest>

using namespace std::chrono_literals;

class TestLinkQueue : public QObject
{
    Q_OBJECT

private slots:
    void emptyQueueGivesEmptyTextAndStaysEmpty()
    {
        TStringqueue queue;
        QCOMPARE(queue.Peek(), QString());
        QCOMPARE(queue.Pop(), QString());
        QCOMPARE(queue.Count(), 0);
        QCOMPARE(queue.Push(QStringLiteral("a")), QStringLiteral("a"));
        QCOMPARE(queue.Count(), 1);
    }

    void queueIsFirstInFirstOutWithDuplicates()
    {
        TStringqueue queue;
        for (const char *text : {"RE", "1", "RE", "1"})
            queue.Push(QString::fromLatin1(text));
        QCOMPARE(queue.Peek(), QStringLiteral("RE"));
        QCOMPARE(queue.Count(), 4);
        QCOMPARE(queue.Pop(), QStringLiteral("RE"));
        QCOMPARE(queue.Pop(), QStringLiteral("1"));
        QCOMPARE(queue.Peek(), QStringLiteral("RE"));
        queue.Clear();
        QCOMPARE(queue.Count(), 0);
        QCOMPARE(queue.Peek(), QString());
    }

    void frames_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("expected");
        QTest::newRow("read") << FrameRE(3, 12, 5) << "BrMk 1 0000000 Do71 3 12 RE 5 BMEnd";
        QTest::newRow("write") << FrameWE(3, 12, 1029, 65535)
                               << "BrMk 1 0000000 Do71 3 12 WE 1029 65535 BMEnd";
        QTest::newRow("write zero") << FrameWE(1, 7, 0, 0) << "BrMk 1 0000000 Do71 1 7 WE 0 0 BMEnd";
        QTest::newRow("status") << FrameST(3, 12) << "BrMk 1 0000000 Do71 3 12 ST BMEnd";
    }

    void frames()
    {
        QFETCH(QString, frame);
        QFETCH(QString, expected);
        QCOMPARE(frame, expected);
    }

    void batchHoldsUpTo60FramesOfOneHost()
    {
        TLink71komunikacija link;
        for (int i = 0; i < 61; ++i)
            link.Enqueue(QStringLiteral("a"), FrameRE(1, 1, i));
        link.Enqueue(QStringLiteral("b"), FrameRE(1, 1, 100));
        link.Enqueue(QStringLiteral("a"), FrameRE(1, 1, 101));

        const auto first = link.WaitForBatch(1ms);
        QVERIFY(first);
        QCOMPARE(first->host, QStringLiteral("a"));
        QCOMPARE(first->frames.size(), 60);
        QCOMPARE(first->frames.first(), FrameRE(1, 1, 0));
        QCOMPARE(first->text(), first->frames.join(QString()));

        const QList<std::pair<QString, QStringList>> rest = {
            {QStringLiteral("a"), {FrameRE(1, 1, 60)}},
            {QStringLiteral("b"), {FrameRE(1, 1, 100)}},
            {QStringLiteral("a"), {FrameRE(1, 1, 101)}},
        };
        for (const auto &[host, frames] : rest) {
            const auto batch = link.WaitForBatch(1ms);
            QVERIFY(batch);
            QCOMPARE(batch->host, host);
            QCOMPARE(batch->frames, frames);
        }
        QVERIFY(!link.WaitForBatch(1ms));
    }

    void putBackGoesToTheHeadUnlessAStopCameBetween()
    {
        TLink71komunikacija link;
        link.Enqueue(QStringLiteral("a"), QStringLiteral("f1"));
        link.Enqueue(QStringLiteral("a"), QStringLiteral("f2"));
        auto batch = link.WaitForBatch(1ms);
        QVERIFY(batch);
        link.Enqueue(QStringLiteral("b"), QStringLiteral("f3"));
        link.PutBack(*batch);
        QCOMPARE(link.WaitForBatch(1ms)->frames, QStringList({"f1", "f2"}));
        QCOMPARE(link.WaitForBatch(1ms)->frames, QStringList({"f3"}));

        link.Enqueue(QStringLiteral("a"), QStringLiteral("f4"));
        batch = link.WaitForBatch(1ms);
        link.StopCommand();
        link.PutBack(*batch);
        link.ClearStop();
        QCOMPARE(link.Count(), 0);
    }

    void nothingIsTakenWhileStoppedOrHeld()
    {
        TLink71komunikacija link;
        link.StopCommand();
        link.Enqueue(QStringLiteral("a"), QStringLiteral("f1"));
        QVERIFY(!link.WaitForBatch(1ms));
        QCOMPARE(link.Count(), 1);
        link.ClearStop();

        link.Hold();
        link.Hold();
        QVERIFY(!link.WaitForBatch(1ms));
        link.Release();
        QVERIFY(!link.WaitForBatch(1ms));
        link.Release();
        QCOMPARE(link.WaitForBatch(1ms)->frames, QStringList({"f1"}));
    }

    void stopCommandEmptiesTheQueue()
    {
        TLink71komunikacija link;
        link.Enqueue(QStringLiteral("a"), QStringLiteral("f1"));
        link.StopCommand();
        QVERIFY(link.IsStopped());
        QCOMPARE(link.Count(), 0);
        link.ClearStop();
        QVERIFY(!link.IsStopped());
    }
};

QTEST_GUILESS_MAIN(TestLinkQueue)
#include "tst_linkqueue.moc"
