#include "ToolFixtures.h"

#include "db/ConnectionString.h"
#include "db/schema/DemoData.h"
#include "db/uDMGZ.h"
#include "link/DBImage.h"
#include "tests/support/ModalDriver.h"
#include "tools/uWriteProgress.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

// The diagnostic lines of the write, kept instead of printed.
QStringList diagnostics;
QtMessageHandler previousHandler = nullptr;

void keepDiagnostics(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (context.category && QLatin1String(context.category) == QLatin1String("dorvalen.writeprogress"))
        diagnostics.append(text);
    else if (previousHandler)
        previousHandler(type, context, text);
}

QStringList writeFrames(int port, int controller, const QList<QPair<int, int>> &addressesAndValues)
{
    QStringList out;
    for (const auto &[address, value] : addressesAndValues)
        out << FrameWE(port, controller, address, quint16(value));
    return out;
}

// The frames of a table whose slots are all empty: each slot's last word, 65535.
QList<QPair<int, int>> emptySlots(int firstAddress, int lastAddress)
{
    QList<QPair<int, int>> out;
    for (int a = firstAddress + 3; a <= lastAddress; a += 4)
        out << qMakePair(a, 65535);
    return out;
}

QList<QPair<int, int>> slotWords(int firstAddress, const QString &mediaId)
{
    QList<QPair<int, int>> out;
    for (int w = 0; w < 4; ++w)
        out << qMakePair(firstAddress + w, int(mediaId.mid(4 * w, 4).toUInt(nullptr, 16)));
    return out;
}

using Shown = QList<MessageBoxes::Shown>;

QStringList texts(const Shown &shown, MessageBoxes::Kind kind)
{
    QStringList out;
    for (const MessageBoxes::Shown &s : shown) {
        if (s.kind == kind)
            out << s.text;
    }
    return out;
}

// One run of the write to every controller: a database with its access lists, the device
// table, the simulated server and the window.
struct WriteRun
{
    explicit WriteRun(SimOptions options = {}) : net(options)
    {
        gz.connectTo(ConnectionString::forSqliteFile(db.fileName()));
        window.setIntervals(1, 100);
    }

    // A controller in the catalogue and in the next slot of the device table.
    void device(const QString &id, const QString &type, int port = 3)
    {
        lists.controller(id, type);
        table.Put(table.Count, std::make_unique<TDevice>(id, "Kontroler " + id, type, "", LoopbackHost, port));
        ++table.Count;
    }

    // False when the window did not close by itself within a minute.
    bool run()
    {
        bool timedOut = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &window, [&] {
            timedOut = true;
            window.done(QDialog::Rejected);
        });
        guard.start(60000);
        window.Execute(*net.link);
        return !timedOut && !window.isVisible() && !window.isActive();
    }

    QProgressBar *bar(const char *name) { return window.findChild<QProgressBar *>(name); }

    // The words of the table in the simulator's memory equal the database image, and the
    // controller image holds what the answers said of every word written.
    void checkMemoryIsTheImage(int slot)
    {
        const TDevice &d = *table.Device(slot);
        for (int i = d.TableBegin(); i < d.TableEnd(); ++i) {
            const quint16 stored = net.sim->memoryWord(d.PortNum, d.ID.toInt(), d.ControllerAddress(i));
            QVERIFY2(stored == d.DBImage[size_t(i)], qPrintable(QString("slot %1, index %2").arg(slot).arg(i)));
            const int first = i - i % 4;
            const bool written = i == first + 3 || FormatSlot(d.DBImage, i / 4) != "FFFFFFFFFFFFFFFF";
            if (written)
                QVERIFY2(d.CtrlImage[size_t(i)] == d.DBImage[size_t(i)], qPrintable(QString("index %1").arg(i)));
        }
    }

    TempDatabase db;
    AccessLists lists{db};
    TdmGZ gz;
    SimulatedLink net;
    TDeviceTable table;
    TfrmWriteProgress window{table, *gz.connMain};
};

} // namespace

class TestWriteProgress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(keepDiagnostics);
    }

    void init()
    {
        MessageBoxes::setScripted(true);
        diagnostics.clear();
    }

    // Each controller's bar runs up to its table's last image index, the overall bar over
    // every table written; devices without a table are passed over.
    void barsFollowTheTables_data()
    {
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<int>("overallMaximum");
        QTest::addColumn<QList<int>>("deviceMaxima");
        QTest::newRow("two TK71") << QStringList{"TK71", "TK71"} << 2015 << QList<int>{1007, 1007};
        QTest::newRow("TK71 2.1 and TK71D") << QStringList{"TK71 2.1", "TK71D"} << 1503 << QList<int>{495, 1007};
        QTest::newRow("TK96 passed over") << QStringList{"TK96", "TK71"} << 1007 << QList<int>{1007};
        QTest::newRow("no devices") << QStringList{} << 0 << QList<int>{};
    }

    void barsFollowTheTables()
    {
        QFETCH(QStringList, types);
        QFETCH(int, overallMaximum);
        QFETCH(QList<int>, deviceMaxima);
        WriteRun w;
        for (int i = 0; i < types.size(); ++i)
            w.device(QString::number(i + 1), types[i]);
        // The test ticks TimerWrite itself, one controller at a time.
        w.window.setIntervals(3600000, 3600000);
        QStringList labels;
        whenModalShown(
            [&](QWidget *) {
                QTRY_VERIFY(w.window.isActive());
                QCOMPARE(w.bar("ProgressBar2")->maximum(), overallMaximum);
                for (int maximum : deviceMaxima) {
                    w.window.TimerWriteTimer();
                    const int writing = w.window.currentDevice();
                    QCOMPARE(w.bar("ProgressBar1")->maximum(), maximum);
                    labels << w.window.findChild<QLabel *>("lblDevice")->text();
                    // The answer for the table's last address starts the next controller.
                    QTRY_VERIFY_WITH_TIMEOUT(w.window.currentDevice() > writing, 30000);
                    QCOMPARE(w.bar("ProgressBar1")->value(), maximum);
                }
                w.window.TimerWriteTimer();
            },
            "frmWriteProgress");
        QVERIFY(w.run());
        QCOMPARE(labels.size(), deviceMaxima.size());
        if (!labels.isEmpty())
            QCOMPARE(labels.last(), "Kontroler " + QString::number(types.size()));
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    // What goes on the wire for one controller: an empty slot by its last word, any other
    // slot by all four.
    void framesOfOneController_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("mediaId");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("TK71, all empty") << "TK71" << 1 << QString()
                                         << writeFrames(3, 1, emptySlots(0, 495) + emptySlots(1024, 1535));
        QTest::newRow("TK71, one real word") << "TK71" << 1 << "FFFFFFFFFFFF0001"
                                             << writeFrames(3, 1, slotWords(0, "FFFFFFFFFFFF0001") + emptySlots(4, 495)
                                                                      + emptySlots(1024, 1535));
        QTest::newRow("TK71D, second table") << "TK71D" << 2 << "0123456789ABCDEF"
                                             << writeFrames(3, 1, emptySlots(0, 495) + slotWords(1024, "0123456789ABCDEF")
                                                                      + emptySlots(1028, 1535));
        QTest::newRow("TK71 2.1, all empty") << "TK71 2.1" << 1 << QString() << writeFrames(3, 1, emptySlots(4, 495));
    }

    void framesOfOneController()
    {
        QFETCH(QString, type);
        QFETCH(int, status);
        QFETCH(QString, mediaId);
        QFETCH(QStringList, expected);
        WriteRun w;
        w.device("1", type);
        if (!mediaId.isEmpty())
            w.lists.grant("1", status, {mediaId});
        QVERIFY(w.run());
        QCOMPARE(w.net.frames(), expected);
        w.checkMemoryIsTheImage(0);
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    void demoControllersEndAsTheirImages()
    {
        WriteRun w;
        DemoOptions options;
        options.persons = 200;
        DemoData::fill(w.db.db(), options);
        int slot = 0;
        for (const QString &row : w.db.rows("SELECT IDKontrolera, Naziv, Tip, ComPort FROM tblDorvKontroleri")) {
            const QStringList f = row.split('|');
            w.table.Put(slot++, std::make_unique<TDevice>(f[0], f[1], f[2], "", LoopbackHost, f[3].mid(3).toInt()));
        }
        w.table.Count = slot;
        whenModalShown(
            [&](QWidget *dialog) {
                QTRY_VERIFY(w.window.currentDevice() > 0);
                dialog->grab().save(QDir::temp().filePath("dorvalen-writeprogress.png"));
            },
            "frmWriteProgress");
        QVERIFY(w.run());
        for (int s = 0; s < 3; ++s)
            w.checkMemoryIsTheImage(s);
        // The TK96 has no table: nothing went to it.
        QVERIFY(w.net.frames().filter(" Do71 4 4 ").isEmpty());
        // The gate's list is longer than its table, and the operator was told before the write.
        const QStringList warnings = texts(MessageBoxes::takeShown(), MessageBoxes::Kind::Warning);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith("Kontroler 1 (Kapija): "), qPrintable(warnings[0]));
        QCOMPARE(diagnostics.filter("!!! Pokrecem upis u sledeci uredjaj").size(), 3);
        // Its first table is full: the first answer is for address 4, the table's first word.
        const QStringList bars = diagnostics.filter(QRegularExpression("^ProgressBar1"));
        QVERIFY(!bars.isEmpty());
        QCOMPARE(bars.first(), QString("ProgressBar1.Max = 495, ProgressBar1.Position = 4, Addr = 4"));
    }

    // A run that gets no further ends with its message after eleven checks; nothing it
    // queued goes out later, and the listener listens again.
    void stalledRunEnds_data()
    {
        QTest::addColumn<bool>("neverAnswers");
        QTest::newRow("no answer at all") << true;
        QTest::newRow("answers stop") << false;
    }

    void stalledRunEnds()
    {
        QFETCH(bool, neverAnswers);
        SimOptions options;
        options.stopAfter = neverAnswers ? 0 : 100;
        WriteRun w(options);
        w.device("1", "TK71");
        w.device("2", "TK71");
        w.window.setIntervals(1, 20);
        std::optional<SenderHold> hold;
        if (neverAnswers)
            hold.emplace(w.net.link->Link(), w.net.link->Sender());
        QVERIFY(w.run());
        QCOMPARE(texts(MessageBoxes::takeShown(), MessageBoxes::Kind::Error), QStringList{"Prekid komunikacije."});
        QCOMPARE(w.net.link->Link().Count(), 0);
        QVERIFY(w.net.link->Listener().isListening());
        if (neverAnswers) {
            QCOMPARE(diagnostics.filter(QRegularExpression("^Check: ")).size(), 11);
            hold.reset();
            QTest::qWait(200);
            QCOMPARE(w.net.sim->framesExecuted(), 0);
        }
        // The second controller was never started.
        QVERIFY(w.net.frames().filter(" Do71 3 2 ").isEmpty());
    }

    void answersAfterClosingAreNotTaken()
    {
        WriteRun w;
        w.device("1", "TK71");
        QVERIFY(w.run());
        const quint16 before = w.table.Device(0)->CtrlImage[3];
        w.net.link->Dispatch().Dispatch({"WE 3 3 4660", {"WE", "3", "3", "4660"}, true});
        QCOMPARE(w.table.Device(0)->CtrlImage[3], before);
        QCOMPARE(before, quint16(0xFFFF));
    }

    void theOperatorCannotCloseIt()
    {
        WriteRun w;
        w.device("1", "TK71");
        w.window.setIntervals(3600000, 3600000);
        bool stayed = false;
        whenModalShown(
            [&](QWidget *dialog) {
                QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
                // What Alt+F4 asks of the window, and Escape.
                QVERIFY(!dialog->close());
                QTest::keyClick(dialog, Qt::Key_Escape);
                stayed = dialog->isVisible();
                w.window.setIntervals(1, 100);
                w.window.TimerWriteTimer();
            },
            "frmWriteProgress");
        QVERIFY(w.run());
        QVERIFY(stayed);
        QCOMPARE(w.window.result(), int(QDialog::Accepted));
    }

    void aStopCommandDoesNotHoldTheRun()
    {
        WriteRun w;
        w.device("1", "TK71 2.1");
        w.net.link->StopCommand();
        QVERIFY(w.run());
        QCOMPARE(w.net.frames().size(), 123);
    }

    // Runs that cannot start: nothing is queued and the window closes with its message.
    void runsThatCannotStart_data()
    {
        QTest::addColumn<bool>("serverDown");
        QTest::addColumn<QString>("message");
        QTest::newRow("server unreachable") << true << CommandLink::CommErrorText;
        QTest::newRow("database unreadable") << false << DBImagesReadErrorText + " Upis u kontrolere nije izvršen.";
    }

    void runsThatCannotStart()
    {
        QFETCH(bool, serverDown);
        QFETCH(QString, message);
        WriteRun w;
        w.device("1", "TK71");
        if (serverDown)
            w.net.sim->setRefusing(true);
        else
            w.db.exec("DROP TABLE tblDorvOsobe_Zone");
        QVERIFY(w.run());
        QCOMPARE(texts(MessageBoxes::takeShown(), MessageBoxes::Kind::Error), QStringList{message});
        QCOMPARE(w.net.link->Link().Count(), 0);
        QTest::qWait(50);
        QVERIFY(w.net.frames().isEmpty());
    }

    void aControllerWithoutNumberIsPassedOver()
    {
        WriteRun w;
        w.device("X1", "TK71");
        w.device("2", "TK71 2.1");
        QVERIFY(w.run());
        const QStringList warnings = texts(MessageBoxes::takeShown(), MessageBoxes::Kind::Warning);
        QCOMPARE(warnings, QStringList{"Kontroler X1 (Kontroler X1): ID kontrolera nije ceo broj i kontroler neće biti upisan."});
        QCOMPARE(w.bar("ProgressBar2")->maximum(), 495);
        QCOMPARE(w.net.frames(), writeFrames(3, 2, emptySlots(4, 495)));
    }
};

QTEST_MAIN(TestWriteProgress)
#include "tst_writeprogress.moc"
