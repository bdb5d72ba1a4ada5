#include "SyncFixtures.h"

#include "link/ControllerSync.h"
#include "link/DeviceTable.h"
#include "link/ReplyListener.h"
#include "link/ReplyTokenizer.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <mutex>
#include <vector>

namespace {

using Result = ControllerOutcome::Result;

// Communication servers without a network: each computer's batches are answered from
// the memories of its controllers, through the event loop, as from the computer's
// address. A refusing computer takes no batch; a silent one takes them and answers none.
class FakeServers : public QObject
{
public:
    // The batches the senders hand over are answered from the event loop; a timer of
    // the loop's own collects them, so no data crosses threads through Qt's event queue
    // (whose locks ThreadSanitizer cannot see).
    FakeServers()
    {
        connect(&m_collect, &QTimer::timeout, this, &FakeServers::answerPending);
        m_collect.start(2);
    }

    struct Computer
    {
        QHostAddress address;
        bool refuse = false; // read by the senders: set before the run
        bool silent = false;
        QHash<int, FakeMemory> memories; // by controller number; the event loop's only
    };

    QList<QHostAddress> resolve(const QString &name) const
    {
        const auto c = computers.constFind(name);
        return c == computers.constEnd() ? QList<QHostAddress>() : QList<QHostAddress>{c->address};
    }

    std::unique_ptr<BatchTransport> transport() { return std::make_unique<Transport>(*this); }

    SyncOptions options()
    {
        SyncOptions o;
        o.answerTimeoutMs = 2000;
        o.sleepTimeMs = 10;
        o.resolve = [this](const QString &name) { return resolve(name); };
        o.transport = [this] { return transport(); };
        return o;
    }

    // Set up before the run; the senders only find their computer's refuse flag in it.
    QHash<QString, Computer> computers;
    ControllerSync *sync = nullptr;
    std::mutex lock;
    QStringList batchHosts; // under lock

private:
    void answerPending()
    {
        std::vector<std::pair<QString, QByteArray>> pending;
        {
            std::lock_guard guard(lock);
            pending.swap(m_pending);
        }
        for (const auto &[host, batch] : pending)
            answer(host, batch);
    }

    class Transport : public BatchTransport
    {
    public:
        explicit Transport(FakeServers &servers) : m_servers(servers) {}
        bool Send(const QString &host, quint16, const QByteArray &batch) override
        {
            const auto c = m_servers.computers.constFind(host);
            if (c == m_servers.computers.constEnd() || c->refuse)
                return false;
            std::lock_guard guard(m_servers.lock);
            m_servers.batchHosts.append(host);
            m_servers.m_pending.push_back({host, batch});
            return true;
        }

    private:
        FakeServers &m_servers;
    };

    void answer(const QString &host, QByteArray batch)
    {
        const auto c = computers.find(host);
        if (c->silent)
            return;
        for (const QByteArray &frame : TakeFrames(batch)) {
            const std::optional<SimFrame> parsed = ParseFrame(frame);
            const QStringList tokens = c->memories[parsed->controller].answer(QString::fromLatin1(frame));
            sync->takeAnswer(c->address, ReplyAnswer{tokens.join(u' '), tokens, true});
        }
    }

    std::vector<std::pair<QString, QByteArray>> m_pending; // under lock
    QTimer m_collect;
};

const QHostAddress Hala(QStringLiteral("192.0.2.1"));
const QHostAddress Magacin(QStringLiteral("192.0.2.2"));

struct Site
{
    Site()
    {
        servers.computers.insert(QStringLiteral("hala"), {Hala, false, false, {}});
        servers.computers.insert(QStringLiteral("magacin"), {Magacin, false, false, {}});
    }

    TDevice &add(int slot, const QString &id, const QString &computer, int port = 1)
    {
        table.Put(slot, std::make_unique<TDevice>(id, QStringLiteral("K") + id, QStringLiteral("TK71 2.1"), QString(),
                                                  computer, port));
        TDevice &d = *table.Device(slot);
        d.DBImage.fill(TDevice::EmptyWord);
        return d;
    }

    // Runs the command on every slot until the sync reports the end.
    std::unique_ptr<ControllerSync> run(SyncCommand command, const QList<int> &deviceSlots, SyncOptions options)
    {
        auto sync = std::make_unique<ControllerSync>(table, deviceSlots, command, options);
        servers.sync = sync.get();
        QObject::connect(sync.get(), &ControllerSync::jobStarted, [this](const ControllerJob *job) {
            events.append(QStringLiteral("start ") + job->device().ID);
        });
        QObject::connect(sync.get(), &ControllerSync::jobFinished, [this](const ControllerJob *job) {
            events.append(QStringLiteral("end ") + job->device().ID);
        });
        QSignalSpy finished(sync.get(), &ControllerSync::finished);
        sync->start();
        if (!finished.wait(20000))
            qWarning("the sync did not finish");
        return sync;
    }

    FakeServers servers;
    TDeviceTable table;
    QStringList events;
};

Result resultOf(const ControllerSync &sync, int job)
{
    return sync.jobs()[size_t(job)]->outcome().result;
}

} // namespace

// The headless sync over many controllers: computers in parallel, one controller at a
// time on each, answers routed by the address they come from.
class TestControllerSync : public QObject
{
    Q_OBJECT

private slots:
    void computersInParallelOneControllerAtATimeOnEach_data()
    {
        QTest::addColumn<bool>("parallel");
        QTest::newRow("parallel") << true;
        QTest::newRow("sequential") << false;
    }

    void computersInParallelOneControllerAtATimeOnEach()
    {
        QFETCH(bool, parallel);
        Site site;
        site.add(0, "1", "hala");
        site.add(1, "2", "magacin");
        site.add(2, "3", "hala");
        SyncOptions options = site.servers.options();
        options.parallel = parallel;
        const auto sync = site.run(SyncCommand::Status, {0, 1, 2}, options);
        QVERIFY(sync->isFinished());
        QCOMPARE(sync->computers(), 2);
        for (int job = 0; job < 3; ++job)
            QCOMPARE(resultOf(*sync, job), Result::Ok);
        const QStringList &e = site.events;
        QCOMPARE(e.size(), 6);
        // The second controller of "hala" waits for the first, whatever the mode.
        QVERIFY(e.indexOf("start 3") > e.indexOf("end 1"));
        if (parallel) {
            QCOMPARE(e.mid(0, 2), QStringList({"start 1", "start 2"}));
        } else {
            QCOMPARE(e, QStringList({"start 1", "end 1", "start 2", "end 2", "start 3", "end 3"}));
        }
    }

    void namesOfOneAddressShareAComputer()
    {
        Site site;
        site.servers.computers.insert(QStringLiteral("hala.firma"), {Hala, false, false, {}});
        site.add(0, "1", "hala");
        site.add(1, "2", "hala.firma");
        const auto sync = site.run(SyncCommand::Status, {0, 1}, site.servers.options());
        QCOMPARE(sync->computers(), 1);
        QCOMPARE(site.events, QStringList({"start 1", "end 1", "start 2", "end 2"}));
        QCOMPARE(sync->computerOf(*sync->jobs()[1]), QStringLiteral("hala"));
    }

    void answersAreToldApartByTheComputerTheyComeFrom()
    {
        // The same port and controller number on two computers: only the address tells
        // whose answer it is.
        Site site;
        for (int slot : {0, 1}) {
            TDevice &d = site.add(slot, "5", slot == 0 ? "hala" : "magacin");
            QVERIFY(StoreMediaID(d.DBImage, d.RowIndex(10), mediaId(1)));
        }
        site.servers.computers[QStringLiteral("hala")].memories[5].setRow(*site.table.Device(0), 10, mediaId(1));
        site.servers.computers[QStringLiteral("magacin")].memories[5].setRow(*site.table.Device(1), 20, mediaId(2));
        const auto sync = site.run(SyncCommand::Verify, {0, 1}, site.servers.options());
        QCOMPARE(resultOf(*sync, 0), Result::Ok);
        QCOMPARE(resultOf(*sync, 1), Result::Differs);
        const TableComparison &c = *sync->jobs()[1]->outcome().comparison;
        QCOMPARE(QList<int>({c.missingFromController, c.extraInController}), QList<int>({1, 1}));
        QCOMPARE(c.differences[0].row, 10);
        QCOMPARE(c.differences[1].row, 20);
        QCOMPARE(sync->strayAnswers(), 0);
    }

    void answersNoJobWaitsForAreCountedAndLeftAlone()
    {
        Site site;
        site.add(0, "1", "hala");
        ControllerSync sync(site.table, {0}, SyncCommand::Status, site.servers.options());
        const QStringList st{"ST", "1", "1"};
        sync.takeAnswer(Hala, ReplyAnswer{st.join(u' '), st, true}); // before the start
        sync.takeAnswer(QHostAddress(QStringLiteral("192.0.2.9")), ReplyAnswer{st.join(u' '), st, true});
        QCOMPARE(sync.strayAnswers(), 2);
        QVERIFY(!sync.jobs()[0]->finished());
    }

    void computerThatFailsEndsItsOwnControllersOnly_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("result");
        QTest::newRow("refused") << true << int(Result::Unreachable);
        QTest::newRow("silent") << false << int(Result::NoAnswer);
    }

    void computerThatFailsEndsItsOwnControllersOnly()
    {
        QFETCH(bool, refuse);
        QFETCH(int, result);
        Site site;
        FakeServers::Computer &hala = site.servers.computers[QStringLiteral("hala")];
        (refuse ? hala.refuse : hala.silent) = true;
        site.add(0, "1", "hala");
        site.add(1, "2", "magacin");
        site.add(2, "3", "hala");
        SyncOptions options = site.servers.options();
        options.answerTimeoutMs = 1000; // long enough for the other computer on a busy machine
        const auto sync = site.run(SyncCommand::Verify, {0, 1, 2}, options);
        QVERIFY(sync->isFinished());
        QCOMPARE(int(resultOf(*sync, 0)), result);
        QCOMPARE(resultOf(*sync, 1), Result::Ok);
        QCOMPARE(int(resultOf(*sync, 2)), result);
        QCOMPARE(sync->jobs()[1]->outcome().answers, 492);
    }

    void unknownComputerSendsNothing()
    {
        Site site;
        site.add(0, "1", "nepoznat");
        site.add(1, "2", "magacin");
        const auto sync = site.run(SyncCommand::Status, {0, 1}, site.servers.options());
        QCOMPARE(resultOf(*sync, 0), Result::UnknownComputer);
        QCOMPARE(resultOf(*sync, 1), Result::Ok);
        QCOMPARE(site.servers.batchHosts, QStringList{"magacin"});
    }

    void noControllersFinishesAtOnce()
    {
        Site site;
        ControllerSync sync(site.table, {}, SyncCommand::Verify, site.servers.options());
        QSignalSpy finished(&sync, &ControllerSync::finished);
        sync.start();
        QVERIFY(finished.wait(5000));
        QVERIFY(sync.isFinished());
    }

    void listenerTellsTheAddressAnAnswerCameFrom_data()
    {
        QTest::addColumn<bool>("closeAtOnce");
        QTest::newRow("read while open") << false;
        QTest::newRow("read as the connection ends") << true;
    }

    void listenerTellsTheAddressAnAnswerCameFrom()
    {
        QFETCH(bool, closeAtOnce);
        ReplyListener listener(0, QHostAddress::LocalHost);
        QVERIFY(listener.Listen());
        QList<QPair<QHostAddress, QString>> received;
        connect(&listener, &ReplyListener::answerReceivedFrom, this,
                [&](const QHostAddress &from, const ReplyAnswer &a) { received.append({from, a.text}); });
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, listener.serverPort());
        QVERIFY(socket.waitForConnected(5000));
        if (!closeAtOnce)
            QTest::qWait(100); // the listener has taken the connection
        socket.write("ST 3 1");
        socket.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 5000);
        QCOMPARE(received[0].second, QStringLiteral("ST 3 1"));
        QVERIFY(received[0].first.isEqual(QHostAddress::LocalHost, QHostAddress::ConvertV4MappedToIPv4));
    }

    void listenerTellsWhyThePortCannotBeOpened()
    {
        ReplyListener first(0, QHostAddress::LocalHost);
        QVERIFY(first.Listen());
        ReplyListener second(first.serverPort(), QHostAddress::LocalHost);
        QVERIFY(!second.Listen());
        QCOMPARE(second.listenError(), QAbstractSocket::AddressInUseError);
    }
};

QTEST_GUILESS_MAIN(TestControllerSync)
#include "tst_controllersync.moc"
