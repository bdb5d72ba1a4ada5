#include "CtlFixtures.h"

#include "db/PinCode.h"
#include "link/DBImage.h"
#include "link/Komunikacija.h"
#include "link/TableComparison.h"
#include "sim/SimFrames.h"

#include <QJsonArray>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace {

// The controllers of the demo register: ID, type, port.
struct DemoController
{
    int id;
    const char *type;
};
const DemoController Controllers[] = {{1, "TK71 2.1"}, {2, "TK71"}, {3, "TK71D"}, {4, "TK96"}};

const TDevice &deviceWithId(const TDeviceTable &table, int id)
{
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        if (table.Device(slot) && table.Device(slot)->ID == QString::number(id))
            return *table.Device(slot);
    }
    qFatal("no controller %d", id);
}

QString slotText(const TImage &image, const TDevice &d, int row)
{
    return FormatSlot(image, d.RowIndex(row) / TDevice::WordsPerSlot);
}

// The first row from first on whose database slot is empty, or (filled) holds the media
// ID of a person; -1 for none.
int rowWhere(const TDevice &d, int first, bool filled, TdmGZ &dm)
{
    for (int row = first; row < d.Capacity; ++row) {
        const QString inDatabase = slotText(d.DBImage, d, row);
        if (filled ? !FindPersonByMediaID(dm, inDatabase).isEmpty() : inDatabase == EmptySlotText)
            return row;
    }
    return -1;
}

// Many answers a connection: the listener takes them all, and big tables go quicker.
SimOptions quickAnswers()
{
    SimOptions options;
    options.answersPerConnection = 16;
    return options;
}

// "slaže se 251, razlikuje se 1, nedostaje u kontroleru 0, višak u kontroleru 0" of the
// controller's line, as numbers.
QList<int> textCounts(const QString &report, int id)
{
    static const QRegularExpression counts(QStringLiteral(
        "slaže se (\\d+), razlikuje se (\\d+), nedostaje u kontroleru (\\d+), višak u kontroleru (\\d+)"));
    for (const QString &line : report.split(u'\n')) {
        if (!line.startsWith(QStringLiteral("Kontroler %1 (").arg(id)))
            continue;
        const QRegularExpressionMatch m = counts.match(line);
        if (m.hasMatch())
            return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
    }
    return {};
}

QList<int> jsonCounts(const QJsonObject &controller)
{
    const QJsonObject s = controller.value("slots").toObject();
    return {s.value("match").toInt(), s.value("differ").toInt(), s.value("missingFromController").toInt(),
            s.value("extraInController").toInt()};
}

QJsonObject jsonController(const QJsonObject &report, int id)
{
    for (const QJsonValue &c : report.value("controllers").toArray()) {
        if (c.toObject().value("id").toString() == QString::number(id))
            return c.toObject();
    }
    return {};
}

} // namespace

// dorvalen-ctl as a scheduled task runs it: the built executable against the simulated
// communication server on loopback, with the program's settings of a site of its own.
class TestCtl : public QObject
{
    Q_OBJECT

private slots:
    void writeThenVerifyFindsEveryControllerMatching()
    {
        CtlSite site;
        Link71Simulator &sim = site.startSimulator(quickAnswers());
        const CtlResult write = site.run({"write"});
        QVERIFY2(write.finished, qPrintable(write.err));
        QCOMPARE(write.exitCode, 0);

        const std::unique_ptr<TDeviceTable> images = site.images();
        for (const DemoController &c : Controllers) {
            const TDevice &d = deviceWithId(*images, c.id);
            for (int i = d.TableBegin(); i < d.TableEnd(); ++i)
                QCOMPARE(sim.memoryWord(d.PortNum, c.id, d.ControllerAddress(i)), d.DBImage[size_t(i)]);
        }

        const CtlResult verify = site.run({"verify"});
        QCOMPARE(verify.exitCode, 0);
        for (const DemoController &c : Controllers) {
            const TDevice &d = deviceWithId(*images, c.id);
            if (d.Capacity > 0)
                QCOMPARE(textCounts(verify.out, c.id), QList<int>({d.Capacity, 0, 0, 0}));
        }
        QVERIFY(verify.out.contains(QStringLiteral("Kontroler 4 (Server sala, TK96, 127.0.0.1 COM4): tip bez memorijske tabele")));
        QVERIFY(!verify.err.contains(u'\r')); // no progress line off a terminal
    }

    void statusAnswerOfEveryController()
    {
        CtlSite site;
        site.startSimulator();
        const CtlResult status = site.run({"status"});
        QCOMPARE(status.exitCode, 0);
        QVERIFY(status.out.contains(QStringLiteral("Kontroler 1 (Kapija, TK71 2.1, 127.0.0.1 COM1): ST 1 1\n")));
        QVERIFY(status.out.contains(QStringLiteral("Kontroler 4 (Server sala, TK96, 127.0.0.1 COM4): ST 4 4\n")));
        QCOMPARE(site.sim->framesExecuted(), 4);
    }

    void verifyReportsExactlyTheChangedSlot_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("from");     // the row searched from
        QTest::addColumn<bool>("filled");  // in the database
        QTest::addColumn<QString>("change"); // what the controller's slot becomes
        QTest::addColumn<QString>("kind");
        QTest::newRow("another media ID") << 2 << 0 << true << "A100000000000001" << "differ";
        QTest::newRow("erased in the controller") << 1 << 0 << true << "FFFFFFFFFFFFFFFF" << "missing-from-controller";
        QTest::newRow("one the database does not have") << 1 << 0 << false << "A100000000000002" << "extra-in-controller";
        QTest::newRow("second table of a TK71D") << 3 << 124 << true << "A100000000000003" << "differ";
    }

    void verifyReportsExactlyTheChangedSlot()
    {
        QFETCH(int, id);
        QFETCH(int, from);
        QFETCH(bool, filled);
        QFETCH(QString, change);
        QFETCH(QString, kind);
        CtlSite site;
        Link71Simulator &sim = site.startSimulator(quickAnswers());
        const std::unique_ptr<TDeviceTable> images = site.images();
        site.preload(*images);
        TdmGZ dm;
        dm.connectTo(site.connectionString());
        const TDevice &d = deviceWithId(*images, id);
        const int row = rowWhere(d, from, filled, dm);
        QVERIFY(row >= 0);
        const QString inDatabase = slotText(d.DBImage, d, row);
        for (int w = 0; w < 4; ++w)
            sim.setMemoryWord(d.PortNum, id, d.ControllerAddress(d.RowIndex(row) + w), quint16(change.mid(4 * w, 4).toUInt(nullptr, 16)));

        const CtlResult text = site.run({"verify", "--details"});
        QCOMPARE(text.exitCode, 1);
        const bool differ = kind == u"differ";
        QCOMPARE(textCounts(text.out, id), QList<int>({d.Capacity - 1, differ ? 1 : 0, kind.startsWith(u"missing") ? 1 : 0,
                                                       kind.startsWith(u"extra") ? 1 : 0}));
        const int number = TableRowNumber(d, row);
        const QString where = QStringLiteral("  red %1%2 [").arg(number).arg(TableOfRow(d, row) == 2 ? " druge tabele" : "");
        QCOMPARE(text.out.count(QStringLiteral("  red ")), 1);
        QVERIFY2(text.out.contains(where), qPrintable(text.out));
        // The person holding the database's media ID, as the program finds them.
        const QString holder = FindPersonByMediaID(dm, inDatabase);
        QVERIFY(text.out.contains(filled ? QStringLiteral("u kontroleru %1, u bazi %2 (%3)\n")
                                               .arg(change == EmptySlotText ? QStringLiteral("prazno") : change,
                                                    inDatabase, holder)
                                         : QStringLiteral("u kontroleru %1, u bazi prazno\n").arg(change)));
        for (const DemoController &c : Controllers) {
            if (c.id != id && deviceWithId(*images, c.id).Capacity > 0)
                QCOMPARE(textCounts(text.out, c.id).value(0), deviceWithId(*images, c.id).Capacity);
        }

        // The same run as JSON holds the same counts and the one difference.
        const CtlResult json = site.run({"verify", "--details", "--json"});
        QCOMPARE(json.exitCode, 1);
        const QJsonObject report = json.json();
        QCOMPARE(report.value("exitStatus").toInt(), 1);
        for (const DemoController &c : Controllers) {
            if (deviceWithId(*images, c.id).Capacity > 0)
                QCOMPARE(jsonCounts(jsonController(report, c.id)), textCounts(text.out, c.id));
        }
        const QJsonObject controller = jsonController(report, id);
        QCOMPARE(controller.value("result").toString(), QStringLiteral("differs"));
        const QJsonArray differences = controller.value("differences").toArray();
        QCOMPARE(differences.size(), 1);
        const QJsonObject diff = differences[0].toObject();
        QCOMPARE(diff.value("row").toInt(), number);
        QCOMPARE(diff.value("table").toInt(), TableOfRow(d, row));
        QCOMPARE(diff.value("kind").toString(), kind);
        QCOMPARE(diff.value("controllerMediaId").toString(), change);
        QCOMPARE(diff.value("databaseMediaId").toString(), inDatabase);
        QCOMPARE(diff.value("databasePerson").toString(), holder);
    }

    void onlyDifferencesWritesTheChangedSlotAlone()
    {
        CtlSite site;
        Link71Simulator &sim = site.startSimulator();
        const std::unique_ptr<TDeviceTable> images = site.images();
        site.preload(*images);
        const TDevice &d = deviceWithId(*images, 2);
        TdmGZ dm;
        dm.connectTo(site.connectionString());
        const int row = rowWhere(d, 10, true, dm);
        QVERIFY(row >= 0);
        const int changed = d.ControllerAddress(d.RowIndex(row) + 2);
        sim.setMemoryWord(2, 2, changed, 0x0BAD);

        const int before = int(sim.batches().size());
        const CtlResult write = site.run({"write", "--only-differences", "--controller", "2", "--json"});
        QCOMPARE(write.exitCode, 0);
        const QStringList frames = framesSince(sim, before);
        QStringList writes;
        int reads = 0;
        for (const QString &frame : frames) {
            if (frame.contains(u" WE "))
                writes.append(frame);
            else if (frame.contains(u" RE "))
                ++reads;
        }
        QStringList expected;
        for (int w = 0; w < 4; ++w) {
            const int i = d.RowIndex(row) + w;
            expected.append(FrameWE(2, 2, d.ControllerAddress(i), d.DBImage[size_t(i)]));
        }
        QCOMPARE(writes, expected);
        QCOMPARE(reads, 1008 + 4); // the table, then the slot read back
        QCOMPARE(sim.memoryWord(2, 2, changed), d.DBImage[size_t(d.RowIndex(row) + 2)]);
        const QJsonObject controller = jsonController(write.json(), 2);
        QCOMPARE(controller.value("written").toObject().value("slots").toInt(), 1);
        QCOMPARE(controller.value("confirmed").toObject().value("match").toInt(), 1);
        QCOMPARE(controller.value("framesSent").toInt(), int(frames.size()));

        QCOMPARE(site.run({"verify", "--controller", "2"}).exitCode, 0);
    }

    void controllerThatDoesNotAnswerIsNamed_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("text"); // a pattern
        QTest::newRow("refused") << "refuse" << "unreachable" << "Link71 na računaru 127\\.0\\.0\\.1 nije dostupan";
        QTest::newRow("silent") << "silent" << "no-answer" << "nije odgovorio u roku od 2 s";
        // Of the 100 answers some may come too late on a busy machine, none beyond them.
        QTest::newRow("stops answering") << "stop" << "incomplete"
                                         << "prestao da odgovara: stiglo je ([1-9]\\d?|100) od 492 odgovora, zatim ništa 2 s";
    }

    void controllerThatDoesNotAnswerIsNamed()
    {
        QFETCH(QString, server);
        QFETCH(QString, result);
        QFETCH(QString, text);
        CtlSite site;
        QTcpServer silent; // takes batches and never answers
        // A server of its own for each run: the one that stops counts frames over runs.
        const auto prepareServer = [&] {
            if (server == u"silent") {
                QVERIFY(silent.isListening() || silent.listen(QHostAddress::LocalHost, 0));
                site.serverPortWithoutSim = silent.serverPort();
                return;
            }
            SimOptions options;
            options.stopAfter = server == u"stop" ? 100 : 0;
            site.startSimulator(options);
            if (server == u"refuse")
                site.sim->setRefusing(true);
        };
        prepareServer();
        const CtlResult verify = site.run({"verify", "--controller", "1", "--controller", "2", "--timeout", "2"}, {}, 60000);
        QVERIFY(verify.finished);
        QCOMPARE(verify.exitCode, 1);
        const QRegularExpression line(QStringLiteral("^Kontroler 1 \\(Kapija, TK71 2\\.1, 127\\.0\\.0\\.1 COM1\\): ") + text + u'$',
                                      QRegularExpression::MultilineOption);
        QVERIFY2(line.match(verify.out).hasMatch(), qPrintable(verify.out));
        // Every controller named, the one behind it too.
        QVERIFY(verify.out.contains(QStringLiteral("Kontroler 2 (Proizvodna hala, TK71, 127.0.0.1 COM2): ")));
        prepareServer();
        const CtlResult json = site.run({"verify", "--controller", "1", "--timeout", "2", "--json"}, {}, 60000);
        QCOMPARE(json.exitCode, 1);
        QCOMPARE(jsonController(json.json(), 1).value("result").toString(), result);
    }

    void configurationErrorsStopTheRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown provider") << QStringList{"--connection", "Provider=Nesto;Data Source=x"}
                                          << "Nije uspostavljena konekcija sa bazom podataka: Provider cannot be found";
        QTest::newRow("no such file") << QStringList{"--connection", "Provider=SQLite;Data Source=/nema/ovde.sqlite"}
                                      << "Nije uspostavljena konekcija sa bazom podataka: unable to open database file";
        QTest::newRow("unknown controller") << QStringList{"--controller", "99"}
                                            << "Nema kontrolera sa ID-jem 99 u katalogu kontrolera.";
        QTest::newRow("nothing stored") << QStringList{"--config-home"} << "Ne postoji konekcija sa bazom podataka";
        QTest::newRow("empty catalogue") << QStringList{"--empty-database"} << "Nema konfigurisanih kontrolera.";
    }

    void configurationErrorsStopTheRun()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        CtlSite site;
        site.startSimulator();
        QTemporaryDir emptyHome;
        TempDatabase empty;
        QString configHome;
        if (arguments == QStringList{"--config-home"}) {
            configHome = emptyHome.path();
            arguments.clear();
        } else if (arguments == QStringList{"--empty-database"}) {
            arguments = {"--connection", ConnectionString::forSqliteFile(empty.fileName())};
        }
        const CtlResult status = site.run(QStringList{"status"} + arguments, configHome);
        QCOMPARE(status.exitCode, 2);
        QVERIFY2(status.err.contains(message), qPrintable(status.err));
        QVERIFY(status.out.isEmpty());
        const CtlResult json = site.run(QStringList{"status", "--json"} + arguments, configHome);
        QCOMPARE(json.json().value("exitStatus").toInt(), 2);
        QVERIFY(json.json().value("error").toString().contains(message));
        QVERIFY(site.sim->batches().isEmpty());
    }

    // Images that could not be read would erase the doors: nothing is sent.
    void unreadableAccessListsStopTheWriteBeforeAnythingIsSent()
    {
        CtlSite site;
        site.startSimulator();
        site.database.exec("DROP TABLE tblDorvOsobe_Zone");
        const CtlResult write = site.run({"write"});
        QCOMPARE(write.exitCode, 2);
        QVERIFY2(write.err.contains(DBImagesReadErrorText), qPrintable(write.err));
        QTest::qWait(200);
        QVERIFY(site.sim->batches().isEmpty());
    }

    void answerPortTakenMeansTheProgramRuns()
    {
        CtlSite site;
        site.startSimulator();
        QTcpServer program;
        QVERIFY(program.listen(QHostAddress::LocalHost, site.answerPort));
        const CtlResult write = site.run({"write"});
        QCOMPARE(write.exitCode, 2);
        QVERIFY2(write.err.contains(QStringLiteral("Port %1 za odgovore Link71 servera je zauzet: program Dorvalen")
                                        .arg(site.answerPort)),
                 qPrintable(write.err));
        QTest::qWait(200);
        QVERIFY(site.sim->batches().isEmpty());
        QVERIFY(!program.hasPendingConnections());
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << "nije zadata komanda";
        QTest::newRow("unknown command") << QStringList{"erase"} << "nepoznata komanda \"erase\"";
        QTest::newRow("unknown option") << QStringList{"verify", "--all"} << "nepoznata opcija \"--all\"";
        QTest::newRow("delta of a verify") << QStringList{"verify", "--only-differences"} << "--only-differences ide samo uz write";
        QTest::newRow("details of a status") << QStringList{"status", "--details"} << "--details ide uz verify";
        QTest::newRow("controller without ID") << QStringList{"status", "--controller", "--json"} << "--controller traži ID";
        QTest::newRow("time-out of 0") << QStringList{"status", "--timeout", "0"} << "--timeout traži broj sekundi";
        QTest::newRow("port out of range") << QStringList{"status", "--answer-port=70000"} << "--answer-port traži broj porta";
        QTest::newRow("value for a flag") << QStringList{"status", "--json=1"} << "opcija --json ne prima vrednost";
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess ctl;
        ctl.start(QStringLiteral(DORVALEN_CTL), arguments);
        QVERIFY(ctl.waitForFinished(30000));
        QCOMPARE(ctl.exitCode(), 2);
        QVERIFY2(QString::fromUtf8(ctl.readAllStandardError()).contains(message), qPrintable(message));
    }

    void simulatorDumpHoldsWhatWasWritten()
    {
#ifndef Q_OS_UNIX
        QSKIP("the dump on request needs SIGUSR1");
#else
        CtlSite site;
        QTemporaryDir dir;
        const QString dumpFile = dir.filePath(QStringLiteral("memorija.txt"));
        QProcess sim;
        sim.start(QStringLiteral(LINK71SIM), {"--port", "0", "--answer-port", QString::number(site.answerPort), "--dump", dumpFile});
        QVERIFY(sim.waitForStarted(10000));
        // "link71sim: listening on 127.0.0.1:PORT" tells the port it took.
        QString banner;
        QTRY_VERIFY_WITH_TIMEOUT((banner += QString::fromUtf8(sim.readAllStandardError())).contains(u'\n'), 10000);
        const QRegularExpressionMatch port = QRegularExpression(QStringLiteral(":(\\d+)")).match(banner);
        QVERIFY2(port.hasMatch(), qPrintable(banner));
        site.serverPortWithoutSim = quint16(port.captured(1).toUInt());
        QCOMPARE(site.run({"write", "--controller", "1", "--controller", "3"}).exitCode, 0);

        QVERIFY(!QFile::exists(dumpFile));
        ::kill(pid_t(sim.processId()), SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dumpFile), 10000);
        QFile file(dumpFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray dump = file.readAll();
        file.close();

        // Every word of both tables as written, every other word as it was: 65535.
        QHash<QString, QVector<quint16>> memories; // "port controller" -> 2048 words
        QString current;
        for (const QByteArray &line : dump.split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (line.startsWith("port ")) {
                current = QString::fromLatin1(fields[1] + ' ' + fields[3]);
                memories[current] = QVector<quint16>();
            } else if (!line.isEmpty() && !line.startsWith('#')) {
                QCOMPARE(int(fields.size()), 17);
                QCOMPARE(int(fields[0].toUInt(nullptr, 16)), int(memories[current].size()));
                for (qsizetype w = 1; w < fields.size(); ++w)
                    memories[current].append(quint16(fields[w].toUInt(nullptr, 16)));
            }
        }
        QCOMPARE(memories.keys().size(), 2);
        const std::unique_ptr<TDeviceTable> images = site.images();
        for (int id : {1, 3}) {
            const TDevice &d = deviceWithId(*images, id);
            const QVector<quint16> words = memories.value(QStringLiteral("%1 %2").arg(d.PortNum).arg(id));
            QCOMPARE(int(words.size()), Link71Simulator::MemoryWords);
            QVector<quint16> expected(Link71Simulator::MemoryWords, TDevice::EmptyWord);
            for (int i = d.TableBegin(); i < d.TableEnd(); ++i)
                expected[d.ControllerAddress(i)] = d.DBImage[size_t(i)];
            QCOMPARE(words, expected);
        }

        // Written again on exit.
        QVERIFY(QFile::remove(dumpFile));
        sim.terminate();
        QVERIFY(sim.waitForFinished(10000));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), dump);
#endif
    }

    void helpNamesEveryCommandAndOption()
    {
        QProcess ctl;
        ctl.start(QStringLiteral(DORVALEN_CTL), {"--help"});
        QVERIFY(ctl.waitForFinished(30000));
        QCOMPARE(ctl.exitCode(), 0);
        const QString help = QString::fromUtf8(ctl.readAllStandardOutput());
        for (const char *word : {"  status ", "  verify ", "  write ", "--controller ID", "--details", "--only-differences",
                                 "--json", "--connection", "--timeout", "--sequential", "--server-port", "--answer-port",
                                 "--listen", "Izlazni status"})
            QVERIFY2(help.contains(QLatin1String(word)), word);
    }
};

QTEST_GUILESS_MAIN(TestCtl)
#include "tst_ctl.moc"
