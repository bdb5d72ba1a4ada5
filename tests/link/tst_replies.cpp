#include "LinkFixtures.h"

#include "link/ReplyDispatch.h"
#include "link/ReplyListener.h"
#include "link/ReplyTokenizer.h"

#include <QSignalSpy>
#include <QTest>

class TestReplies : public QObject
{
    Q_OBJECT

private slots:
    void tokenize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tokens");
        QTest::newRow("single spaces") << "WE 1 1024 65535" << QStringList{"WE", "1", "1024", "65535"};
        QTest::newRow("runs and line breaks") << "  ST  3\r\n1\n" << QStringList{"ST", "3", "1"};
        QTest::newRow("double quotes") << "ST \"a b\" 1" << QStringList{"ST", "a b", "1"};
        QTest::newRow("single quotes") << "ST 'x\ny' 1" << QStringList{"ST", "x\ny", "1"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("separators only") << " \r\n " << QStringList{};
    }

    void tokenize()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, tokens);
        QCOMPARE(TokenizeReply(text), tokens);
    }

    void split_data()
    {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<QStringList>("answers"); // text of each, "!" marks an incomplete one
        QTest::addColumn<int>("consumed");
        QTest::newRow("one answer, connection ended") << "RE 1 5 65535" << true
                                                      << QStringList{"RE 1 5 65535"} << 12;
        QTest::newRow("last token may still grow") << "RE 1 5 655" << false << QStringList{} << 0;
        QTest::newRow("whole once a separator follows")
            << "RE 1 5 65535 WE" << false << QStringList{"RE 1 5 65535"} << 12;
        QTest::newRow("two answers on two lines")
            << "WE 1 1 2\r\nST 3 1\r\n" << false << QStringList{"WE 1 1 2", "ST 3 1"} << 16;
        QTest::newRow("two answers, single space")
            << "ST 3 1 ST 4 2" << true << QStringList{"ST 3 1", "ST 4 2"} << 13;
        QTest::newRow("unknown kind runs to the next known kind")
            << "XX a b RE 1 2 3" << true << QStringList{"XX a b", "RE 1 2 3"} << 15;
        QTest::newRow("unknown kind at the end waits") << "XX a b" << false << QStringList{} << 0;
        QTest::newRow("cut short at the end") << "RE 1 5" << true << QStringList{"!RE 1 5"} << 6;
    }

    void split()
    {
        QFETCH(QString, buffer);
        QFETCH(bool, ended);
        QFETCH(QStringList, answers);
        QFETCH(int, consumed);
        const ReplySplit result = SplitReplies(buffer, ended);
        QStringList texts;
        for (const ReplyAnswer &answer : result.answers) {
            texts.append((answer.complete ? QString() : QStringLiteral("!")) + answer.text);
            QCOMPARE(answer.tokens, TokenizeReply(answer.text));
        }
        QCOMPARE(texts, answers);
        QCOMPARE(int(result.consumed), consumed);
    }

    void dispatchByKind_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("readerShown");
        QTest::addColumn<bool>("progressActive");
        QTest::addColumn<QStringList>("status");
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QStringList>("readerWrites");
        QTest::addColumn<QStringList>("progressWrites");
        const QStringList none;
        QTest::newRow("WE: progress active, reader closed")
            << "WE 1 1024 65535" << false << true << none << none << none << QStringList{"WE 1 1024 65535"};
        QTest::newRow("WE: reader shown, progress inactive")
            << "WE 1 4 7" << true << false << none << none << QStringList{"WE 1 4 7"} << none;
        QTest::newRow("WE: nobody waits") << "WE 1 4 7" << false << false << none << none << none << none;
        QTest::newRow("ST") << "ST 3 1" << false << false << QStringList{"ST 3 1"} << none << none << none;
        QTest::newRow("RE") << "RE 1 5 65535" << false << true << none << QStringList{"RE 1 5 65535"}
                            << none << none;
        QTest::newRow("unknown kind") << "XY 1 2 3" << true << true << none << none << none << none;
    }

    void dispatchByKind()
    {
        QFETCH(QString, answer);
        QFETCH(bool, readerShown);
        QFETCH(bool, progressActive);
        ReplyDispatch dispatch;
        TestStatusWindow status;
        TestTableReader reader;
        TestWriteProgress progress;
        reader.shownFlag = readerShown;
        progress.active = progressActive;
        dispatch.registerStatusWindow(&status);
        dispatch.registerTableReader(&reader);
        dispatch.registerWriteProgress(&progress);
        QSignalSpy log(&dispatch, &ReplyDispatch::logLine);

        dispatch.Dispatch({answer, TokenizeReply(answer)});

        QTEST(status.shown, "status");
        QTEST(reader.reads, "reads");
        QTEST(reader.writes, "readerWrites");
        QTEST(progress.writes, "progressWrites");
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.at(0).at(0).toString(), QStringLiteral("Link71 je poslao sledeći tekst: ") + answer);
        QCOMPARE(dispatch.ReplyTokens.Count(), 0);
    }

    void tokensNobodyTakesDoNotBlockLaterAnswers()
    {
        ReplyDispatch dispatch;
        TestWriteProgress progress;
        dispatch.registerWriteProgress(&progress);
        progress.active = true;
        // An unknown answer, a status answer with no status window, a write answer with
        // a token too many: none of them may shift the next answer.
        for (const char *text : {"XX 9 9", "ST 3 1", "WE 1 1 1 extra"})
            dispatch.Dispatch({QString::fromLatin1(text), TokenizeReply(QString::fromLatin1(text))});
        dispatch.Dispatch({QStringLiteral("WE 1 2 3"), TokenizeReply(QStringLiteral("WE 1 2 3"))});
        QCOMPARE(progress.writes, QStringList({"WE 1 1 1", "WE 1 2 3"}));
    }

    void incompleteAnswerIsLoggedButReachesNobody()
    {
        ReplyDispatch dispatch;
        TestTableReader reader;
        dispatch.registerTableReader(&reader);
        QSignalSpy log(&dispatch, &ReplyDispatch::logLine);
        ReplyAnswer cut{QStringLiteral("RE 1 5"), TokenizeReply(QStringLiteral("RE 1 5")), false};
        dispatch.Dispatch(cut);
        QCOMPARE(log.size(), 1);
        QVERIFY(reader.reads.isEmpty());
        QCOMPARE(dispatch.ReplyTokens.Count(), 0);
    }

    void commErrorEffectsFollowTheWindowsState_data()
    {
        QTest::addColumn<bool>("readerShown");
        QTest::addColumn<bool>("progressActive");
        QTest::newRow("both") << true << true;
        QTest::newRow("reader only") << true << false;
        QTest::newRow("progress only") << false << true;
        QTest::newRow("neither") << false << false;
    }

    void commErrorEffectsFollowTheWindowsState()
    {
        QFETCH(bool, readerShown);
        QFETCH(bool, progressActive);
        ReplyDispatch dispatch;
        TestTableReader reader;
        TestWriteProgress progress;
        reader.shownFlag = readerShown;
        progress.active = progressActive;
        dispatch.registerTableReader(&reader);
        dispatch.registerWriteProgress(&progress);
        dispatch.CommErrorEffects();
        QCOMPARE(progress.closed, progressActive ? 1 : 0);
        QCOMPARE(reader.grayCalls, readerShown ? QList<bool>{false} : QList<bool>{});
    }

    void listenerDispatchesEveryAnswerOfOneConnectionInOrder()
    {
        ReplyListener listener(0, QHostAddress::LocalHost);
        QVERIFY(listener.Listen());
        QStringList received;
        connect(&listener, &ReplyListener::answerReceived, this,
                [&](const ReplyAnswer &answer) { received.append(answer.tokens.join(u' ')); });

        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, listener.serverPort());
        QVERIFY(socket.waitForConnected(5000));
        // Two answers in one write, then one split in the middle of a token.
        socket.write("WE 1 1024 65535\r\nST 3 1\r\nRE 1 5 65");
        QVERIFY(socket.waitForBytesWritten(5000));
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), 2, 5000);
        socket.write("535");
        QVERIFY(socket.waitForBytesWritten(5000));
        socket.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), 3, 5000);
        QCOMPARE(received, QStringList({"WE 1 1024 65535", "ST 3 1", "RE 1 5 65535"}));
    }

    void closedListenerTakesNoConnectionsAndReopens()
    {
        ReplyListener listener(0, QHostAddress::LocalHost);
        QVERIFY(listener.Listen());
        listener.Close();
        QVERIFY(!listener.isListening());
        QVERIFY(listener.Listen());
        QVERIFY(listener.isListening());
    }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "tst_replies.moc"
