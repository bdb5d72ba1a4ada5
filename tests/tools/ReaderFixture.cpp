#include "tests/tools/ReaderFixture.h"

#include "base/SettingsStore.h"
#include "link/Komunikacija.h"
#include "link/TDevice.h"
#include "link/uGlobalVars.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tools/uUredjaji_citanje.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>

namespace {

const QString Host = QStringLiteral("127.0.0.1");

// Where the simulator's answers go while the test writes its memory directly.
class Sink : public QObject
{
public:
    Sink()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    ++answers;
                    socket->deleteLater();
                });
            }
        });
        if (!server.listen(QHostAddress::LocalHost, 0))
            qFatal("answer sink did not start");
    }
    QTcpServer server;
    int answers = 0;
};

void sendText(quint16 port, const QByteArray &text)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(3000))
        qFatal("cannot connect to port %d", int(port));
    socket.write(text);
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(3000)) {
    }
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(3000);
}

} // namespace

QString ReaderFixture::connectionString(const TempDatabase &db)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + db.fileName();
}

ReaderFixture::ReaderFixture(const QList<CatalogueController> &controllers, const SimOptions &simOptions)
{
    for (const CatalogueController &c : controllers) {
        m_db.exec(QStringLiteral("INSERT INTO tblDorvKontroleri (IDKontrolera, Naziv, Tip, TipKonekcije, Kompjuter, "
                                 "ComPort) VALUES ('%1', '%2', '%3', '', '%4', 'COM%5')")
                      .arg(c.id, c.name, c.type, Host)
                      .arg(c.port));
    }

    SimOptions options = simOptions;
    options.listenAddress = QHostAddress::LocalHost;
    options.port = 0;
    m_sim = std::make_unique<Link71Simulator>(options);
    if (!m_sim->start())
        qFatal("simulator did not start");

    MessageBoxes::setScripted(true);
    globals() = TGlobalVars();
    globals().Registry = SettingsStore::openFile(m_dir.filePath(QStringLiteral("registry.reg")));
    SettingsStore store(registry());
    store.openKey(QString(), true);
    store.writeInteger(QStringLiteral("SleepTime"), 10);
    store.writeInteger(QStringLiteral("DebugCtrls"), 1);
    store.openKey(QStringLiteral("DataBase"), true);
    store.writeString(QStringLiteral("ConnectionString"), connectionString(m_db));

    CommandLinkPorts ports = testPorts();
    ports.server = m_sim->port();
    answerLogin(QStringLiteral("tinsmoke"));
    m_window = std::make_unique<TfrmDorvalen>(ports);
    m_window->show();
    QTRY_VERIFY(m_window->link() != nullptr);
    m_sim->setAnswerPort(m_window->link()->Listener().serverPort());
}

ReaderFixture::~ReaderFixture()
{
    m_window.reset();
    globals() = TGlobalVars();
}

QStringList ReaderFixture::grant(const QString &controller, int table, const QStringList &mediaIds)
{
    const QString suffix = QStringLiteral("%1_%2").arg(controller).arg(table);
    m_db.exec(QStringLiteral("INSERT INTO tblDorvKontakti (idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                             "VALUES ('%1', '%2', %2)")
                  .arg(controller)
                  .arg(table));
    const int contact = m_db.scalar(QStringLiteral("SELECT MAX(IDKontakta) FROM tblDorvKontakti")).toInt();
    m_db.exec(QStringLiteral("INSERT OR IGNORE INTO tblDorvTackePristupa VALUES ('T%1', 'Tačka %1')").arg(suffix));
    m_db.exec(QStringLiteral("INSERT OR IGNORE INTO tblDorvZone VALUES ('Z%1', 'Zona %1')").arg(suffix));
    m_db.exec(QStringLiteral("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (%1, 'T%2')")
                  .arg(contact)
                  .arg(suffix));
    m_db.exec(QStringLiteral("INSERT INTO tblDorvZone_TackePristupa VALUES (%1, 'Z%2', 'T%2', 1)")
                  .arg(++m_links)
                  .arg(suffix));
    QStringList persons;
    for (const QString &mediaId : mediaIds) {
        const int n = ++m_persons;
        m_db.exec(QStringLiteral("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime) VALUES ('O%1', 'Prezime%1', "
                                 "'Ime%1')")
                      .arg(n));
        m_db.exec(QStringLiteral("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja) "
                                 "VALUES ('%1', 'O%2', '2020-01-01 00:00:00')")
                      .arg(mediaId)
                      .arg(n));
        m_db.exec(QStringLiteral("INSERT INTO tblDorvOsobe_Zone VALUES (%1, 'O%2', 'Z%3', NULL, 0)")
                      .arg(++m_links)
                      .arg(n)
                      .arg(suffix));
        persons.append(QStringLiteral("O%1 Prezime%1 Ime%1").arg(n));
    }
    return persons;
}

void ReaderFixture::prime(const CatalogueController &controller, int firstAddress, const QStringList &mediaIds)
{
    Sink sink;
    m_sim->setAnswerPort(sink.server.serverPort());
    QByteArray batch;
    int address = firstAddress;
    for (const QString &mediaId : mediaIds) {
        for (int w = 0; w < 4; ++w)
            batch += FrameWE(controller.port, controller.id.toInt(), address++, quint16(mediaId.mid(4 * w, 4).toUInt(nullptr, 16))).toLatin1();
    }
    sendText(m_sim->port(), batch);
    const int words = int(mediaIds.size()) * 4;
    QTRY_COMPARE_WITH_TIMEOUT(sink.answers, words, 30000);
    m_sim->setAnswerPort(m_window->link()->Listener().serverPort());
}

void ReaderFixture::answer(const QStringList &texts)
{
    ReplyListener &listener = m_window->link()->Listener();
    for (const QString &text : texts) {
        int received = 0;
        const QMetaObject::Connection counting =
            QObject::connect(&listener, &ReplyListener::answerReceived, [&received] { ++received; });
        sendText(listener.serverPort(), text.toLatin1());
        QTRY_COMPARE(received, 1);
        QObject::disconnect(counting);
    }
}

TfrmUredjaji_citanje &ReaderFixture::reader()
{
    auto *found = m_window->findChild<TfrmUredjaji_citanje *>(QStringLiteral("frmUredjaji_citanje"));
    if (!found)
        qFatal("the table reader was not created");
    return *found;
}

TDevice &ReaderFixture::device(const QString &id)
{
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        if (TDevice *d = globals().Devices.Device(slot); d && d->ID == id)
            return *d;
    }
    qFatal("no device %s", qPrintable(id));
}

void ReaderFixture::withReader(const std::function<void(TfrmUredjaji_citanje &)> &body)
{
    bool ran = false;
    whenModalShown(
        [&](QWidget *dialog) {
            ran = true;
            body(*static_cast<TfrmUredjaji_citanje *>(dialog));
            dialog->close();
        },
        QStringLiteral("frmUredjaji_citanje"));
    m_window->btnRead->click();
    QVERIFY2(ran, "the table reader did not open");
}

QAbstractItemModel *rows(TfrmUredjaji_citanje &reader)
{
    return child<QTableView>(&reader, QStringLiteral("l1"))->model();
}

QString cell(TfrmUredjaji_citanje &reader, int row, int column)
{
    QAbstractItemModel *model = rows(reader);
    return model->data(model->index(row, column)).toString();
}

bool checked(TfrmUredjaji_citanje &reader, int row)
{
    QAbstractItemModel *model = rows(reader);
    return model->data(model->index(row, 0), Qt::CheckStateRole).toInt() == Qt::Checked;
}

QStringList column(TfrmUredjaji_citanje &reader, int column)
{
    QStringList out;
    for (int r = 0; r < rows(reader)->rowCount(); ++r)
        out.append(cell(reader, r, column));
    return out;
}

QPushButton *button(TfrmUredjaji_citanje &reader, const QString &name)
{
    return child<QPushButton>(&reader, name);
}

void runOperation(TfrmUredjaji_citanje &reader, const QString &buttonName, int timeoutMs)
{
    QPushButton *read = button(reader, QStringLiteral("btn1"));
    QTest::mouseClick(button(reader, buttonName), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled() && !button(reader, QStringLiteral("btn3"))->isEnabled(), timeoutMs);
}

void selectRow(TfrmUredjaji_citanje &reader, int row)
{
    auto *list = child<QTableView>(&reader, QStringLiteral("l1"));
    list->scrollTo(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 1)).center());
}

void selectDevice(TfrmUredjaji_citanje &reader, const QString &id)
{
    auto *selector = child<QComboBox>(&reader, QStringLiteral("cb1"));
    for (int i = 0; i < selector->count(); ++i) {
        if (selector->itemText(i).startsWith(id + QStringLiteral(" - "))) {
            selector->setCurrentIndex(i);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no controller %1 in the selector").arg(id)));
}

int rowAddress(const TDevice &device, int row)
{
    return device.ControllerAddress(device.RowIndex(row));
}
