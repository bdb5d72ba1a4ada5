#pragma once

#include <QList>
#include <QString>

class TdmGZ;

// The three link tables and the statements that write them. Keys are text and go
// between single quotes with their apostrophes doubled; numbers are written bare.
struct LinkTable
{
    QString table;
    QString firstColumn;  // IDZaposlenog or IDGrupe
    QString secondColumn; // IDGrupe or IDZone
    // Zone links carry an access mode and time interval 1; person-group links Status 1.
    bool hasMode;
};

namespace LinkTables {
extern const LinkTable PersonGroup; // tblDorvOsobe_Grupe
extern const LinkTable PersonZone;  // tblDorvOsobe_Zone
extern const LinkTable GroupZone;   // tblDorvGrupe_Zone
} // namespace LinkTables

// The keys of one link, in the table's column order.
struct LinkKeys
{
    QString first;
    QString second;
};

QString insertStatement(const LinkTable &link, int id, const LinkKeys &keys, int mode);

// Sets the mode of the zone link of holder (person or group) and zone.
QString modeUpdateStatement(const LinkTable &link, int mode, const QString &holder, const QString &zone);

// Removes the link whose column masterColumn holds masterKey and keyColumn holds key.
QString deleteStatement(const LinkTable &link, const QString &masterColumn, const QString &masterKey,
                        const QString &keyColumn, const QString &key);

// Inserts one link row per entry of links, in their order, in one transaction on the
// connection of gz, through its qAction: the first takes the table's largest ID plus 1,
// each further one the next number. Any failure rolls the whole batch back and throws
// DbError.
void insertLinks(TdmGZ &gz, const LinkTable &link, const QList<LinkKeys> &links, int mode);
