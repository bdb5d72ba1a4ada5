// dorvalen-ctl write for 20 "TK71" controllers behind four communication-server
// computers, each a simulator on an address of its own (127.0.0.2 to 127.0.0.5) that
// answers from it and spends 2 ms per frame on its serial line:
//  - the full write, sequential against parallel by computer: wall times and the ratio;
//  - after one person's media ID is replaced, write --only-differences against the full
//    write: frames sent (read and written) and wall time.
//
//   bench_ctl [PERSONS [FRAME_MS]]

#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "db/ConnectionString.h"
#include "db/Schema.h"
#include "db/schema/DemoData.h"
#include "sim/Link71Simulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr int Computers = 4;
constexpr int ControllersPerComputer = 5;
constexpr int WaitMs = 600000;

QString computerAddress(int computer)
{
    return QStringLiteral("127.0.0.%1").arg(2 + computer);
}

void run(QSqlQuery &q, const QString &sql, const QVariantList &values = {})
{
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw std::runtime_error((q.lastError().text() + QStringLiteral(": ") + sql).toStdString());
}

// The demo register with its controllers replaced by 20 "TK71", five on each computer,
// COM1 to COM5; each has the demo "TK71"'s two touch contacts and their access points.
void makeDatabase(const QString &file, int persons)
{
    DemoOptions options;
    options.persons = persons;
    DemoData::createFile(file, options);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prepare"));
    db.setDatabaseName(file);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    QSqlQuery q(db);
    db.transaction();
    run(q, QStringLiteral("CREATE TEMP TABLE demoContacts AS SELECT k.RBTouchKontakta, k.MerodavnaTabela, "
                          "kt.IDTackePristupa FROM tblDorvKontakti k JOIN tblDorvKontaktiKontrolera_TackePristupa kt "
                          "ON kt.IDKontakta = k.IDKontakta WHERE k.idkontrolera = '2'"));
    run(q, QStringLiteral("DELETE FROM tblDorvKontaktiKontrolera_TackePristupa"));
    run(q, QStringLiteral("DELETE FROM tblDorvKontakti"));
    run(q, QStringLiteral("DELETE FROM tblDorvKontroleri"));
    int id = 0;
    for (int computer = 0; computer < Computers; ++computer) {
        for (int port = 1; port <= ControllersPerComputer; ++port) {
            const QString controller = QString::number(++id);
            run(q, QStringLiteral("INSERT INTO tblDorvKontroleri (IDKontrolera, Naziv, Tip, TipKonekcije, Kompjuter, "
                                  "ComPort) VALUES (?, ?, 'TK71', '', ?, ?)"),
                {controller, QStringLiteral("Vrata %1").arg(controller), computerAddress(computer),
                 QStringLiteral("COM%1").arg(port)});
            run(q, QStringLiteral("INSERT INTO tblDorvKontakti (idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                                  "SELECT ?, RBTouchKontakta, MerodavnaTabela FROM demoContacts"),
                {controller});
        }
    }
    run(q, QStringLiteral("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa (IDKontakta, IDTackePristupa) "
                          "SELECT k.IDKontakta, d.IDTackePristupa FROM tblDorvKontakti k JOIN demoContacts d "
                          "ON d.RBTouchKontakta = k.RBTouchKontakta"));
    db.commit();
    db.close();
}

// One person's key replaced by a new one, as after a lost key: the person of zone 2 (every
// controller's) with the lowest media ID.
QString replaceOnePersonsKey(const QString &file)
{
    QString person;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("change"));
        db.setDatabaseName(file);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        QSqlQuery q(db);
        run(q, QStringLiteral("SELECT a.IDZaposlenog, a.IDNo FROM viewMediaIDActive a JOIN viewDorvPristupOsoba p "
                              "ON p.IDZaposlenog = a.IDZaposlenog WHERE p.IDZone = '2' AND p.UkljucenIPinKod = 0 "
                              "ORDER BY a.IDNo LIMIT 1"));
        if (!q.next())
            throw std::runtime_error("no person in zone 2");
        person = q.value(0).toString();
        const QString key = q.value(1).toString();
        run(q, QStringLiteral("UPDATE Zaposleni_IDMemorija SET IDNo = ? WHERE IDZaposlenog = ? AND IDNo = ?"),
            {DemoData::mediaIdForSerial(0x7FFFFFFF0001ULL), person, key});
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("change"));
    return person;
}

struct Run
{
    int exitCode = -1;
    qint64 wallMs = 0;
    qint64 controllerMs = 0;
    int framesSent = 0;
    int slotsWritten = 0;
    int wordsWritten = 0;
};

class Site
{
public:
    Site(const QString &dir, int frameMs)
    {
        // Below the system's range of source ports: the answer connections cannot take it.
        for (int attempt = 0; attempt < 200 && m_answerPort == 0; ++attempt) {
            const quint16 port = quint16(QRandomGenerator::global()->bounded(21000, 32000));
            QTcpServer probe;
            if (probe.listen(QHostAddress::LocalHost, port))
                m_answerPort = port;
        }
        quint16 serverPort = 0;
        for (int computer = 0; computer < Computers; ++computer) {
            SimOptions options;
            options.listenAddress = QHostAddress(computerAddress(computer));
            options.answerFrom = options.listenAddress;
            options.port = serverPort; // the first picks a free port, the others take the same
            options.answerPort = m_answerPort;
            options.frameTimeMs = frameMs;
            m_sims.push_back(std::make_unique<Link71Simulator>(options));
            if (!m_sims.back()->start())
                throw std::runtime_error("a simulator could not listen on " + computerAddress(computer).toStdString());
            serverPort = m_sims.back()->port();
        }
        m_serverPort = serverPort;
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
        m_env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/data"));
    }

    int framesExecuted() const
    {
        int n = 0;
        for (const auto &sim : m_sims)
            n += sim->framesExecuted();
        return n;
    }

    Run ctl(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(m_env);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(DORVALEN_CTL),
                      arguments + QStringList{"--json", "--server-port", QString::number(m_serverPort), "--answer-port",
                                              QString::number(m_answerPort), "--listen", "127.0.0.1"});
        QTimer::singleShot(WaitMs, &loop, &QEventLoop::quit);
        loop.exec();
        Run r;
        r.wallMs = clock.elapsed();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            return r;
        }
        r.exitCode = process.exitCode();
        const QJsonObject report = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        r.controllerMs = qint64(report.value("controllerTimeMs").toDouble());
        r.framesSent = report.value("framesSent").toInt();
        for (const QJsonValue &c : report.value("controllers").toArray()) {
            const QJsonObject written = c.toObject().value("written").toObject();
            r.slotsWritten += written.value("slots").toInt();
            r.wordsWritten += written.value("words").toInt();
        }
        const QByteArray err = process.readAllStandardError();
        if (!err.isEmpty())
            std::fprintf(stderr, "%s", err.constData());
        return r;
    }

private:
    std::vector<std::unique_ptr<Link71Simulator>> m_sims;
    quint16 m_serverPort = 0;
    quint16 m_answerPort = 0;
    QProcessEnvironment m_env;
};

void print(const char *what, const Run &r)
{
    std::printf("  %-32s exit %d, wall %6.2f s (controllers %6.2f s), frames %6d (read %5d, written %5d), "
                "slots written %4d\n",
                what, r.exitCode, double(r.wallMs) / 1000.0, double(r.controllerMs) / 1000.0, r.framesSent,
                r.framesSent - r.wordsWritten, r.wordsWritten, r.slotsWritten);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int persons = argc > 1 ? std::atoi(argv[1]) : 120;
    const int frameMs = argc > 2 ? std::atoi(argv[2]) : 2;
    try {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("config/Brenmark"));
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        const QString file = dir.filePath(QStringLiteral("bench.sqlite"));
        makeDatabase(file, persons);
        {
            const std::unique_ptr<QSettings> settings =
                SettingsStore::openFile(dir.filePath(QStringLiteral("config/Brenmark/Dorvalen.reg")));
            Settings::writeConnectionString(*settings, ConnectionString::forSqliteFile(file));
        }
        Site site(dir.path(), frameMs);
        std::printf("dorvalen-ctl, 20 TK71 on 4 computers (127.0.0.2-5, 5 each), %d demo persons, %d ms a frame\n",
                    persons, frameMs);

        const Run sequential = site.ctl({"write", "--sequential"});
        print("write, one controller at a time", sequential);
        const Run parallel = site.ctl({"write"});
        print("write, computers in parallel", parallel);
        const double ratio = double(sequential.controllerMs) / double(std::max<qint64>(1, parallel.controllerMs));
        std::printf("  parallel by computer: %.2fx faster (target >= 3x: %s)\n", ratio, ratio >= 3.0 ? "met" : "NOT met");

        const QString person = replaceOnePersonsKey(file);
        std::printf("after a new media ID for person %s:\n", qPrintable(person));
        const int before = site.framesExecuted();
        const Run delta = site.ctl({"write", "--only-differences"});
        print("write --only-differences", delta);
        std::printf("  %-32s %d frames reached the simulators\n", "", site.framesExecuted() - before);
        const Run full = site.ctl({"write"});
        print("write (full)", full);
        // Only its result counts: by now tens of thousands of answer connections wait out
        // their closing time, and opening new ones gets slow.
        const Run verify = site.ctl({"verify"});
        std::printf("  verify afterwards: exit %d\n", verify.exitCode);
        return sequential.exitCode == 0 && parallel.exitCode == 0 && delta.exitCode == 0 && verify.exitCode == 0 ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_ctl: %s\n", e.what());
        return 1;
    }
}
