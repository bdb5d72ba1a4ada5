#pragma once

#include <QSqlDatabase>

// Demo contents that look like a real installation: departments, persons with media IDs
// and PINs, groups, zones, access points, one controller of every model with its touch
// contacts, and the links between them. Deterministic for a given size.
struct DemoOptions
{
    int persons = 60;
    bool photos = false;
};

namespace DemoData {

// Fills an empty database made from the schema, in one transaction. Throws
// std::runtime_error with the driver's text on failure, leaving the database empty.
void fill(QSqlDatabase db, const DemoOptions &options);

// The media ID of a 48-bit serial number: check byte, serial most significant byte
// first, family code 01.
QString mediaIdForSerial(quint64 serial);

} // namespace DemoData
