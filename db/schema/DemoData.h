#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

// Demo contents that look like a real installation: departments, persons with media IDs
// and PINs, groups, zones, access points, one controller of every model with its touch
// contacts, and the links between them. Deterministic for a given size.
struct DemoOptions
{
    int persons = 60;
    bool photos = false;
    // Instead of the four demo controllers, this many "TK71", their two touch
    // contacts at the demo's access points in turn: most persons reach the main gate,
    // so their lists are far larger than their tables.
    int controllers = 0;
    // With controllers: each controller opens a zone of its own and the persons are
    // spread over those zones, as at a real site; every list comes near its table size.
    bool spreadZones = false;
};

namespace DemoData {

// Fills an empty database made from the schema, in one transaction. Throws
// std::runtime_error with the driver's text on failure, leaving the database empty.
void fill(QSqlDatabase db, const DemoOptions &options);

// The media ID of a 48-bit serial number: check byte, serial most significant byte
// first, family code 01.
QString mediaIdForSerial(quint64 serial);

// An SQLite file made from the schema, with demo contents when demo is given. Throws
// std::runtime_error with the driver's text on failure.
void createFile(const QString &file, const std::optional<DemoOptions> &demo);

} // namespace DemoData
