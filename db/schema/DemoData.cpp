#include "db/schema/DemoData.h"

#include "db/DbConnection.h"
#include "db/Schema.h"
#include "base/iButton.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace DemoData {

namespace {

const char *const kSurnames[] = {
    "Petrović", "Jovanović", "Nikolić", "Marković", "Đorđević", "Stojanović", "Ilić", "Stanković",
    "Pavlović", "Milošević", "Popović", "Todorović", "Kovačević", "Lazić", "Simić", "Ristić",
    "Živković", "Obradović", "Kostić", "Mitić", "Savić", "Radovanović", "Vasić", "Tomić",
    "Milovanović", "Stevanović", "Krstić", "Lukić", "Filipović", "Janković", "Cvetković", "Božić",
    "Mladenović", "Vuković", "Aćimović", "O'Brien",
};

const char *const kFirstNames[] = {
    "Marko", "Nikola", "Stefan", "Milan", "Dragan", "Nenad", "Zoran", "Aleksandar", "Vladimir",
    "Miloš", "Dušan", "Bojan", "Ivan", "Goran", "Đorđe", "Petar", "Uroš", "Luka",
    "Jelena", "Milica", "Ana", "Marija", "Ivana", "Jovana", "Snežana", "Dragana", "Tijana",
    "Maja", "Sanja", "Gordana", "Tamara", "Katarina", "Nevena", "Ljiljana", "Vesna", "Branka",
};

struct Department { const char *id; const char *name; const char *parent; };
const Department kDepartments[] = {
    {"1", "Uprava", ""},
    {"11", "Pravna služba", "1"},
    {"12", "Finansije", "1"},
    {"2", "Proizvodnja", ""},
    {"21", "Montaža", "2"},
    {"22", "Kontrola kvaliteta", "2"},
    {"23", "Alatnica", "2"},
    {"3", "Komercijala", ""},
    {"31", "Prodaja", "3"},
    {"32", "Nabavka", "3"},
    {"4", "Održavanje", ""},
    {"5", "Obezbeđenje", ""},
};

struct Named { const char *id; const char *name; };
const Named kGroups[] = {
    {"RADNICI", "Radnici proizvodnje"},
    {"ADMIN", "Administracija"},
    {"ODRZAVANJE", "Održavanje"},
    {"OBEZBEDJENJE", "Obezbeđenje"},
    {"MAGACIONERI", "Magacioneri"},
};
const Named kZones[] = {
    {"1", "Glavni ulaz"},
    {"2", "Proizvodna hala"},
    {"3", "Magacin"},
    {"4", "Kancelarije"},
    {"5", "Server sala"},
};
struct AccessPoint { const char *id; const char *name; const char *zone; };
const AccessPoint kAccessPoints[] = {
    {"TP1", "Kapija - ulaz", "1"},
    {"TP2", "Hala - vrata A", "2"},
    {"TP3", "Hala - vrata B", "2"},
    {"TP4", "Magacin - rampa", "3"},
    {"TP5", "Kancelarije - hodnik", "4"},
    {"TP6", "Server sala", "5"},
};

struct Controller { const char *id; const char *name; const char *model; const char *port; };
const Controller kControllers[] = {
    {"1", "Kapija", "TK71 2.1", "COM1"},
    {"2", "Proizvodna hala", "TK71", "COM2"},
    {"3", "Magacin", "TK71D", "COM3"},
    {"4", "Server sala", "TK96", "COM4"},
};
// Touch contacts by model, and the access point each one opens.
struct Contact { const char *controller; const char *number; int table; const char *accessPoint; };
const Contact kContacts[] = {
    {"1", "1", 1, "TP1"},
    {"1", "2", 1, "TP1"},
    {"2", "1", 1, "TP2"},
    {"2", "2", 1, "TP3"},
    {"3", "1", 1, "TP4"},
    {"3", "2", 2, "TP5"},
};

// Group -> zones with the access mode of the link.
struct GroupZone { const char *group; const char *zone; int mode; };
const GroupZone kGroupZones[] = {
    {"RADNICI", "1", 0}, {"RADNICI", "2", 0},
    {"ADMIN", "1", 0}, {"ADMIN", "4", 2},
    {"ODRZAVANJE", "1", 0}, {"ODRZAVANJE", "2", 2}, {"ODRZAVANJE", "3", 0},
    {"OBEZBEDJENJE", "1", 2}, {"OBEZBEDJENJE", "5", 1},
    {"MAGACIONERI", "1", 0}, {"MAGACIONERI", "3", 0},
};

// Department -> the group its people belong to.
const char *groupOfDepartment(const QString &department)
{
    if (department.startsWith(QLatin1Char('1')) || department.startsWith(QLatin1Char('3')))
        return department == QLatin1String("32") ? "MAGACIONERI" : "ADMIN";
    if (department.startsWith(QLatin1Char('2')))
        return "RADNICI";
    if (department == QLatin1String("4"))
        return "ODRZAVANJE";
    return "OBEZBEDJENJE";
}

// The zone of controller k in the spread layout.
QString spreadZone(int k)
{
    return QStringLiteral("Z%1").arg(k);
}

// Access mode of a spread link: 0 for eight in ten, else 1 or 2.
int spreadMode(QRandomGenerator &rng)
{
    const int draw = int(rng.bounded(10));
    return draw < 8 ? 0 : draw - 7;
}

class Inserter
{
public:
    Inserter(QSqlDatabase db, const QString &sql)
        : m_query(db)
    {
        if (!m_query.prepare(sql))
            fail(sql);
    }

    void operator()(std::initializer_list<QVariant> values)
    {
        int i = 0;
        for (const QVariant &v : values)
            m_query.bindValue(i++, v);
        if (!m_query.exec())
            fail(m_query.lastQuery());
    }

private:
    [[noreturn]] void fail(const QString &sql)
    {
        throw std::runtime_error((m_query.lastError().text() + QLatin1String(": ") + sql).toStdString());
    }

    QSqlQuery m_query;
};

// A handful of distinct portraits, shared out among the persons: encoding one JPEG per
// person would make large demo databases slow to create for no gain.
std::vector<QByteArray> makePhotos()
{
    std::vector<QByteArray> photos;
    QRandomGenerator rng(7);
    for (int i = 0; i < 24; ++i) {
        QImage image(96, 120, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(int(rng.bounded(360)), 40, 230));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv(int(rng.bounded(360)), 120, 120));
        p.drawEllipse(QRect(8, 78, 80, 70));        // shoulders
        p.setBrush(QColor::fromHsv(25, 70 + int(rng.bounded(60)), 150 + int(rng.bounded(90))));
        p.drawEllipse(QRect(28, 22, 40, 52));       // face
        p.setBrush(QColor::fromHsv(30, 80, int(rng.bounded(40, 140))));
        p.drawChord(QRect(26, 16, 44, 36), 0, 180 * 16); // hair
        p.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 80);
        photos.push_back(bytes);
    }
    return photos;
}

void run(QSqlDatabase db, const DemoOptions &options)
{
    Inserter department(db, QStringLiteral(
        "INSERT INTO Sektor (IDSektora, NazivSektora, Nadredjeni, MaticniBrojFirme, SekIzabran) VALUES (?, ?, ?, ?, 0)"));
    for (const Department &d : kDepartments)
        department({QString::fromUtf8(d.id), QString::fromUtf8(d.name), QString::fromUtf8(d.parent), QStringLiteral("07654321")});

    Inserter group(db, QStringLiteral("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES (?, ?)"));
    for (const Named &g : kGroups)
        group({QString::fromUtf8(g.id), QString::fromUtf8(g.name)});
    Inserter zone(db, QStringLiteral("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES (?, ?)"));
    for (const Named &z : kZones)
        zone({QString::fromUtf8(z.id), QString::fromUtf8(z.name)});

    Inserter accessPoint(db, QStringLiteral("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES (?, ?)"));
    Inserter zoneOfAccessPoint(db, QStringLiteral(
        "INSERT INTO tblDorvZone_TackePristupa (id, IDZone, IDTackePristupa, Status) VALUES (?, ?, ?, 1)"));
    int linkId = 0;
    for (const AccessPoint &a : kAccessPoints) {
        accessPoint({QString::fromUtf8(a.id), QString::fromUtf8(a.name)});
        zoneOfAccessPoint({++linkId, QString::fromUtf8(a.zone), QString::fromUtf8(a.id)});
    }

    Inserter interval(db, QStringLiteral(
        "INSERT INTO tblDorvVremenskiIntervali (IDIntervala, Od, Do, OdOffset, DoOffset) VALUES (?, ?, ?, 0, 0)"));
    interval({QStringLiteral("1"), QStringLiteral("00:00"), QStringLiteral("23:59")});
    interval({QStringLiteral("2"), QStringLiteral("06:00"), QStringLiteral("22:00")});

    Inserter controller(db, QStringLiteral(
        "INSERT INTO tblDorvKontroleri (IDKontrolera, Naziv, Tip, TipKonekcije, Kompjuter, ComPort) VALUES (?, ?, ?, '', 'localhost', ?)"));
    Inserter contact(db, QStringLiteral(
        "INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES (?, ?, ?, ?)"));
    Inserter contactAccessPoint(db, QStringLiteral(
        "INSERT INTO tblDorvKontaktiKontrolera_TackePristupa (IDKontakta, IDTackePristupa) VALUES (?, ?)"));
    int contactId = 0;
    auto addContact = [&](const QString &controllerId, const QString &number, int table, const QString &point) {
        contact({++contactId, controllerId, number, table});
        contactAccessPoint({contactId, point});
    };
    if (options.controllers <= 0) {
        for (const Controller &c : kControllers)
            controller({QString::fromUtf8(c.id), QString::fromUtf8(c.name), QString::fromUtf8(c.model), QString::fromUtf8(c.port)});
        for (const Contact &c : kContacts)
            addContact(QString::fromUtf8(c.controller), QString::fromUtf8(c.number), c.table, QString::fromUtf8(c.accessPoint));
    }
    const int accessPointCount = int(std::size(kAccessPoints));
    for (int k = 1; k <= options.controllers; ++k) {
        const QString id = QString::number(k);
        controller({id, QStringLiteral("Kontroler %1").arg(k), QStringLiteral("TK71"),
                    QStringLiteral("COM%1").arg(1 + (k - 1) % 8)});
        if (options.spreadZones) {
            // An entry and an exit reader at the controller's own door.
            const QString zoneId = spreadZone(k);
            const QString point = QStringLiteral("TZ%1").arg(k);
            zone({zoneId, QStringLiteral("Zona %1").arg(k)});
            accessPoint({point, QStringLiteral("Vrata %1").arg(k)});
            zoneOfAccessPoint({++linkId, zoneId, point});
            addContact(id, QStringLiteral("1"), 1, point);
            addContact(id, QStringLiteral("2"), 2, point);
        } else {
            addContact(id, QStringLiteral("1"), 1, QString::fromUtf8(kAccessPoints[(k - 1) % accessPointCount].id));
            addContact(id, QStringLiteral("2"), 2, QString::fromUtf8(kAccessPoints[k % accessPointCount].id));
        }
    }

    Inserter groupZone(db, QStringLiteral(
        "INSERT INTO tblDorvGrupe_Zone (ID, IDGrupe, IDZone, IDVremenskogintervala, UkljucenIPinKod) VALUES (?, ?, ?, 1, ?)"));
    int groupZoneId = 0;
    for (const GroupZone &g : kGroupZones)
        groupZone({++groupZoneId, QString::fromUtf8(g.group), QString::fromUtf8(g.zone), g.mode});

    const std::vector<QByteArray> photos = options.photos ? makePhotos() : std::vector<QByteArray>();
    Inserter person(db, QStringLiteral(
        "INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora, Fotografija, PinKod) VALUES (?, ?, ?, ?, ?, ?)"));
    Inserter media(db, QStringLiteral(
        "INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja, IDNoSaPinKodom) VALUES (?, ?, ?, ?)"));
    Inserter personGroup(db, QStringLiteral(
        "INSERT INTO tblDorvOsobe_Grupe (ID, IDZaposlenog, IDGrupe, Status) VALUES (?, ?, ?, 1)"));
    Inserter personZone(db, QStringLiteral(
        "INSERT INTO tblDorvOsobe_Zone (ID, IDZaposlenog, IDZone, IDVremenskogintervala, UkljucenIPinKod) VALUES (?, ?, ?, 1, ?)"));

    QRandomGenerator rng(71);
    const QDateTime start(QDate(2019, 3, 1), QTime(8, 0));
    const int departmentCount = int(std::size(kDepartments));
    int personGroupId = 0;
    int personZoneId = 0;
    quint64 serial = 0x00000001B81CULL;
    QString previousKeyOfLeaver;
    QDateTime leaverAssigned;
    for (int i = 0; i < options.persons; ++i) {
        const QString id = QString::number(1001 + i);
        const QString surname = QString::fromUtf8(kSurnames[rng.bounded(int(std::size(kSurnames)))]);
        const QString firstName = QString::fromUtf8(kFirstNames[rng.bounded(int(std::size(kFirstNames)))]);
        const QString departmentId = QString::fromUtf8(kDepartments[rng.bounded(departmentCount)].id);
        // About a third carry a PIN; some with hexadecimal letters, as the keypads allow.
        QString pin;
        if (rng.bounded(3) == 0)
            pin = QStringLiteral("%1").arg(rng.bounded(0x10000), 4, 16, QLatin1Char('0')).toUpper();
        const QVariant photo = photos.empty() ? QVariant(QMetaType(QMetaType::QByteArray))
                                              : QVariant(photos[size_t(i) % photos.size()]);
        person({id, surname, firstName, departmentId, photo, pin});

        QDateTime hired = start.addDays(rng.bounded(2000));
        // Every tenth person took over the key of someone who left: the earlier holder's
        // period ends on the day of the handover.
        QString key;
        if (!previousKeyOfLeaver.isEmpty() && i % 10 == 9) {
            key = previousKeyOfLeaver;
            previousKeyOfLeaver.clear();
            hired = std::max(hired, leaverAssigned.addDays(30));
        } else {
            key = mediaIdForSerial(++serial);
        }
        const QString pinned = pin.isEmpty() ? QString() : PinBearingMediaID(key, pin);
        media({key, id, hired.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), pinned});
        if (i % 10 == 3) {
            // A leaver: this key goes to a later person, dated after this assignment.
            previousKeyOfLeaver = key;
            leaverAssigned = hired;
        }
        if (i % 25 == 7) {
            // A lost key replaced by a new one a year later.
            const QString replacement = mediaIdForSerial(++serial);
            media({replacement, id, hired.addYears(1).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                   pin.isEmpty() ? QString() : PinBearingMediaID(replacement, pin)});
        }

        personGroup({++personGroupId, id, QString::fromUtf8(groupOfDepartment(departmentId))});
        if (i % 12 == 0) {
            // Some people reach a zone of their own, beyond their group's.
            personZone({++personZoneId, id, QStringLiteral("3"), int(rng.bounded(3))});
        }
        if (i % 40 == 5)
            personZone({++personZoneId, id, QStringLiteral("5"), 1});
        if (options.spreadZones && options.controllers > 0) {
            // Everyone at one door of the site, every third person at a second one; most
            // without a PIN.
            const int zones = options.controllers;
            personZone({++personZoneId, id, spreadZone(1 + i % zones), spreadMode(rng)});
            if (i % 3 == 0)
                personZone({++personZoneId, id, spreadZone(1 + (i / 3 * 7 + 3) % zones), spreadMode(rng)});
        }
    }
}

} // namespace

QString mediaIdForSerial(quint64 serial)
{
    const QString code = QStringLiteral("%1").arg(serial & 0xFFFFFFFFFFFFULL, 12, 16, QLatin1Char('0')).toUpper()
                         + QStringLiteral("01");
    return QStringLiteral("%1").arg(MediaIDCRC(code), 2, 16, QLatin1Char('0')).toUpper() + code;
}

void fill(QSqlDatabase db, const DemoOptions &options)
{
    inTransaction(db, [&] { run(db, options); });
}

void createFile(const QString &file, const std::optional<DemoOptions> &demo)
{
    const QString connection = QStringLiteral("DemoData::createFile");
    std::string error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        try {
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
            Schema::createSqlite(db);
            if (demo)
                fill(db, *demo);
        } catch (const std::exception &e) {
            error = e.what();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.empty())
        throw std::runtime_error(error);
}

} // namespace DemoData
