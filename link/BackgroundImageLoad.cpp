#include "link/BackgroundImageLoad.h"

#include "db/DbConnection.h"
#include "db/DbError.h"
#include "link/DeviceTable.h"

#include <QEventLoop>

#include <thread>

DBImagesLoad LoadAllDBImagesInBackground(TDeviceTable &table, const DbConnection &connection)
{
    if (!connection.isOpen())
        return {{}, DBImagesReadErrorText};
    TDeviceTable copies;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        if (const TDevice *d = table.Device(slot))
            copies.Put(slot, std::make_unique<TDevice>(d->ID, d->Name, d->DevType, d->ConnType, d->CompName, d->PortNum));
    }

    DBImagesLoad result;
    QEventLoop loop;
    const QString connectionString = connection.connectionString();
    std::thread worker([&] {
        {
            DbConnection own;
            own.setConnectionString(connectionString);
            try {
                own.open();
                result = LoadAllDBImages(copies, own);
            } catch (const DbError &) {
                result.error = DBImagesReadErrorText;
            }
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();

    if (result.error.isEmpty()) {
        for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
            TDevice *d = table.Device(slot);
            const TDevice *loaded = copies.Device(slot);
            if (d && loaded) {
                d->DBImage = loaded->DBImage;
                d->SlotStatus = loaded->SlotStatus;
            }
        }
    }
    return result;
}
