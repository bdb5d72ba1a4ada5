#include "db/SqlServerBrowser.h"
#include "tests/support/FakeSqlBrowser.h"

#include <QTest>

using namespace std::chrono_literals;

using Replies = QList<QByteArray>;

class TestSqlServerBrowser : public QObject
{
    Q_OBJECT

private slots:
    void instancesFromReplies_data()
    {
        QTest::addColumn<Replies>("replies");
        QTest::addColumn<QStringList>("expected");

        const QByteArray express = "ServerName;SRV01;InstanceName;SQLEXPRESS;IsClustered;No;Version;15.0.2000.5;"
                                   "tcp;49172;;";
        const QByteArray standard = "ServerName;SRV01;InstanceName;MSSQLSERVER;IsClustered;No;Version;16.0.1000.6;"
                                    "tcp;1433;np;\\\\SRV01\\pipe\\sql\\query;;";
        const QByteArray other = "ServerName;SRV02;InstanceName;DORV;IsClustered;No;Version;12.0.2000.8;tcp;1500;;";

        QTest::newRow("no reply") << Replies{} << QStringList{};
        QTest::newRow("one instance") << Replies{FakeSqlBrowser::reply(express)} << QStringList{"SRV01\\SQLEXPRESS"};
        QTest::newRow("default instance is the host alone")
            << Replies{FakeSqlBrowser::reply(standard)} << QStringList{"SRV01"};
        QTest::newRow("several instances in one reply")
            << Replies{FakeSqlBrowser::reply(standard + express)} << QStringList{"SRV01", "SRV01\\SQLEXPRESS"};
        QTest::newRow("several replies, in arrival order")
            << Replies{FakeSqlBrowser::reply(other), FakeSqlBrowser::reply(express + standard)}
            << QStringList{"SRV02\\DORV", "SRV01\\SQLEXPRESS", "SRV01"};
        QTest::newRow("an instance answering twice is listed once")
            << Replies{FakeSqlBrowser::reply(express), FakeSqlBrowser::reply(express)}
            << QStringList{"SRV01\\SQLEXPRESS"};
        QTest::newRow("keys without regard to case")
            << Replies{FakeSqlBrowser::reply("servername;SRV03;instancename;A;;")} << QStringList{"SRV03\\A"};

        // Replies that are not well-formed are dropped; good ones around them still count.
        QByteArray wrongType = FakeSqlBrowser::reply(other);
        wrongType[0] = 0x04;
        QTest::newRow("wrong message type") << Replies{wrongType, FakeSqlBrowser::reply(express)}
                                            << QStringList{"SRV01\\SQLEXPRESS"};
        QTest::newRow("shorter than declared")
            << Replies{FakeSqlBrowser::reply(other, int(other.size()) + 10), FakeSqlBrowser::reply(express)}
            << QStringList{"SRV01\\SQLEXPRESS"};
        QTest::newRow("header only") << Replies{QByteArray("\x05\x00", 2)} << QStringList{};
        QTest::newRow("record without a server name")
            << Replies{FakeSqlBrowser::reply("InstanceName;X;IsClustered;No;;" + express)}
            << QStringList{"SRV01\\SQLEXPRESS"};
        QTest::newRow("bytes after the declared data are not records")
            << Replies{FakeSqlBrowser::reply(express + other, int(express.size()))}
            << QStringList{"SRV01\\SQLEXPRESS"};
    }

    void instancesFromReplies()
    {
        QFETCH(Replies, replies);
        QFETCH(QStringList, expected);
        FakeSqlBrowser browser(replies);
        const QStringList found = SqlServerBrowser::listInstances(QHostAddress::LocalHost, browser.port(), 500ms);
        QCOMPARE(found, expected);
        // CLNT_BCAST_EX: the single byte 0x02.
        QCOMPARE(browser.request(), QByteArray(1, 0x02));
    }
};

QTEST_GUILESS_MAIN(TestSqlServerBrowser)
#include "tst_sqlserverbrowser.moc"
