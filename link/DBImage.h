#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class DbConnection;
class NamedQuery;
class TDevice;
class TDeviceTable;

// How a database image was filled.
struct DBImageLoad
{
    // Media IDs of each table that lay beyond its end and were left out.
    int notFittedFirst = 0;
    int notFittedSecond = 0;
    // Media IDs that are not 16 hexadecimal digits: left out, the rows after them loaded.
    QStringList skipped;
    // The database could not be read; the image holds what was filled before.
    bool failed = false;
    // For the operator: on which controller, what was left out; empty when nothing was.
    QString warning;
};

// Builds the database image of one device from the rows the database gives for it, in
// their order: status 1 from the first table's start, status 2 from the second's, others
// ignored; every other word 0xFFFF. Media IDs beyond a table's end are counted, media IDs
// that are not 16 hexadecimal digits skipped and named.
class DBImageFill
{
public:
    // Empties the device's image and slot statuses.
    explicit DBImageFill(TDevice &device);

    void add(const QString &mediaId, int status);
    DBImageLoad result() const;

private:
    struct Table
    {
        int startIndex;
        int capacity;
        int filled = 0;
        int notFitted = 0;
    };

    TDevice &m_device;
    Table m_first;
    Table m_second;
    QStringList m_skipped;
};

// Fills the database image of the device in slot from spPodaciZaKontrolere (TdmGZ), the
// media IDs that controller must hold. A database error ends the load (failed); a type
// without a table gets an empty image and no database work.
DBImageLoad LoadDBImage(TDeviceTable &table, int slot, NamedQuery &spPodaciZaKontrolere);

// What the load of every image has to tell.
struct DBImagesLoad
{
    // One line per controller that had media IDs left out, in slot order.
    QStringList warnings;
    // The database could not be read: no image can be trusted. Empty when it could.
    QString error;
};

inline const QString DBImagesReadErrorText =
    QStringLiteral("Greška pri čitanju podataka za kontrolere iz baze.");

// The database images of every non-empty slot from one statement on connection (TdmGZ's).
// A database without the companion views of that statement is read as LoadEachDBImage does.
DBImagesLoad LoadAllDBImages(TDeviceTable &table, DbConnection &connection);
// The same images from the access-list procedure, one controller at a time.
DBImagesLoad LoadEachDBImage(TDeviceTable &table, DbConnection &connection);

// The rows spPodaciZaKontrolere gives for each of the controllers named, read in one
// statement: each zone's media IDs once, however many controllers open it, handed to
// row for every controller whose contacts open that zone. Per controller and status the
// rows come in the procedure's order and without its duplicates; the statuses of one
// controller interleave. controller is an index into controllerIds. DbError on failure.
using ControllerDataRow = std::function<void(int controller, const QString &mediaId, int status)>;
void ReadAllControllersData(DbConnection &connection, const QStringList &controllerIds, const ControllerDataRow &row);
