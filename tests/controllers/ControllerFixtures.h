#pragma once

#include "tests/support/TempDatabase.h"

#include <QStringList>

// A small controllers catalogue: three controllers of three models, the contacts of the
// two with contacts, links of three contacts to access points, and an access point that
// opens two zones.
inline void fillControllers(TempDatabase &db)
{
    db.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('Z1', 'Hala'), ('Z2', 'Dvorište')");
    db.exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES "
            "('AP1', 'Ulaz'), ('AP2', 'Izlaz'), ('AP3', 'Garaža'), ('AP4', 'Magacin')");
    db.exec("INSERT INTO tblDorvZone_TackePristupa (id, IDZone, IDTackePristupa, Status) VALUES "
            "(1, 'Z1', 'AP1', 1), (2, 'Z2', 'AP1', 1), (3, 'Z1', 'AP2', 1)");
    db.exec("INSERT INTO tblDorvKontroleri (IDKontrolera, Naziv, Tip, TipKonekcije, Kompjuter, ComPort) VALUES "
            "('5', 'Hala', 'TK71', 'serijska', 'PC1', 'COM3'), "
            "('9', 'Kapija', 'TK71D', '', 'PC2', 'COM12'), "
            "('11', 'Rampa', 'TK96', '', 'PC1', 'COM1')");
    db.exec("INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) VALUES "
            "(10, '5', '1', 1), (11, '5', '2', 1), (20, '9', '1', 1), (21, '9', '2', 2)");
    db.exec("INSERT INTO tblDorvKontaktiKontrolera_TackePristupa (IDKontakta, IDTackePristupa) VALUES "
            "(10, 'AP1'), (11, 'AP2'), (20, 'AP3')");
}

// What the catalogue holds: controllers, contacts and links, each table in key order.
inline QStringList catalogueSnapshot(TempDatabase &db)
{
    return db.rows("SELECT IDKontrolera, Naziv, Tip, TipKonekcije, Kompjuter, ComPort FROM tblDorvKontroleri "
                   "ORDER BY IDKontrolera")
           + db.rows("SELECT IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela FROM tblDorvKontakti "
                     "ORDER BY IDKontakta")
           + db.rows("SELECT IDKontakta, IDTackePristupa FROM tblDorvKontaktiKontrolera_TackePristupa "
                     "ORDER BY IDKontakta");
}

// A controller's contacts as "number|table|access point", by number.
inline QStringList contactsOf(TempDatabase &db, const QString &controllerId)
{
    return db.rows("SELECT k.RBTouchKontakta, k.MerodavnaTabela, COALESCE(kt.IDTackePristupa, '') "
                   "FROM tblDorvKontakti k "
                   "LEFT JOIN tblDorvKontaktiKontrolera_TackePristupa kt ON kt.IDKontakta = k.IDKontakta "
                   "WHERE k.idkontrolera = '" + controllerId + "' ORDER BY k.RBTouchKontakta");
}

// Link rows whose contact no longer exists.
inline int orphanLinks(TempDatabase &db)
{
    return db.scalar("SELECT COUNT(*) FROM tblDorvKontaktiKontrolera_TackePristupa kt "
                     "WHERE NOT EXISTS (SELECT 1 FROM tblDorvKontakti k WHERE k.IDKontakta = kt.IDKontakta)")
        .toInt();
}
