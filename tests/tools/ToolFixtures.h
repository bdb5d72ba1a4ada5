#pragma once

#include "db/SqlText.h"
#include "link/CommandLink.h"
#include "link/DeviceTable.h"
#include "sim/Link71Simulator.h"
#include "tests/link/LoopbackLink.h"
#include "tests/support/TempDatabase.h"
#include "widgets/MessageBoxes.h"

#include <QStringList>

#include <memory>

inline const QString LoopbackHost = QStringLiteral("127.0.0.1");

// The simulated communication server and the command link to it, on ephemeral loopback
// ports. A connection error shows its message box, as the main window shows it.
struct SimulatedLink : LoopbackLink
{
    explicit SimulatedLink(SimOptions options = {}) : LoopbackLink(options)
    {
        QObject::connect(link.get(), &CommandLink::commErrorMessage, link.get(),
                         [](const QString &text) { MessageBoxes::error(nullptr, text); });
    }
};

// Access lists for a test database: for each call, a zone with a door that a new touch
// contact of the controller (reading table status) opens, and a person per media ID
// who may enter it without PIN.
class AccessLists
{
public:
    explicit AccessLists(TempDatabase &db) : m_db(db)
    {
        m_db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Uprava')");
    }

    void controller(const QString &id, const QString &type, const QString &comPort = QStringLiteral("COM3"),
                    const QString &name = QString())
    {
        m_db.exec(QStringLiteral("INSERT INTO tblDorvKontroleri VALUES ('%1', %2, '%3', '', '%4', '%5')")
                      .arg(id, SqlText::quoted(name.isEmpty() ? QStringLiteral("Kontroler ") + id : name), type,
                           LoopbackHost, comPort));
    }

    void grant(const QString &controllerId, int status, const QStringList &mediaIds)
    {
        const int n = ++m_count;
        const QString zone = QStringLiteral("Z%1").arg(n);
        const QString point = QStringLiteral("T%1").arg(n);
        m_db.exec(QStringLiteral("INSERT INTO tblDorvZone VALUES ('%1', 'Zona')").arg(zone));
        m_db.exec(QStringLiteral("INSERT INTO tblDorvTackePristupa VALUES ('%1', 'Vrata')").arg(point));
        m_db.exec(QStringLiteral("INSERT INTO tblDorvZone_TackePristupa VALUES (%1, '%2', '%3', 1)").arg(n).arg(zone, point));
        m_db.exec(QStringLiteral("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                                 "VALUES (%1, '%2', '%1', %3)")
                      .arg(n)
                      .arg(controllerId)
                      .arg(status));
        m_db.exec(QStringLiteral("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (%1, '%2')").arg(n).arg(point));
        for (const QString &mediaId : mediaIds) {
            const QString person = QStringLiteral("P%1").arg(++m_persons);
            m_db.exec(QStringLiteral("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) "
                                     "VALUES ('%1', 'Prezime', 'Ime', 'S1')")
                          .arg(person));
            m_db.exec(QStringLiteral("INSERT INTO Zaposleni_IDMemorija VALUES ('%1', '%2', '2020-01-01 08:00:00', '')")
                          .arg(mediaId, person));
            m_db.exec(QStringLiteral("INSERT INTO tblDorvOsobe_Zone VALUES (%1, '%2', '%3', 1, 0)")
                          .arg(m_persons)
                          .arg(person, zone));
        }
    }

private:
    TempDatabase &m_db;
    int m_count = 0;
    int m_persons = 0;
};
