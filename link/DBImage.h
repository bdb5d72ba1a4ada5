#pragma once

#include <QString>
#include <QStringList>

class NamedQuery;
class TDeviceTable;

// How a database image was filled.
struct DBImageLoad
{
    // Media IDs of each table that lay beyond its end and were left out.
    int notFittedFirst = 0;
    int notFittedSecond = 0;
    // For the operator: on which controller, how many; empty when everything fitted.
    QString warning;
};

// Fills the database image of the device in slot from spPodaciZaKontrolere (TdmGZ),
// the media IDs the controller must hold: status 1 from the first table's start, status
// 2 from the second's, others skipped; every other word 0xFFFF. Media IDs beyond a
// table's end are left out and counted. A database error or a media ID that is not 16
// hexadecimal digits ends the load silently; what was filled so far stays. A type
// without a table gets an empty image and no database work.
DBImageLoad LoadDBImage(TDeviceTable &table, int slot, NamedQuery &spPodaciZaKontrolere);

// LoadDBImage for every non-empty slot, in slot order; the warnings of those that did
// not fit.
QStringList LoadAllDBImages(TDeviceTable &table, NamedQuery &spPodaciZaKontrolere);
