#include "link/DBImage.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "link/DeviceTable.h"

namespace {

// One of the two tables the database rows fill, slot by slot.
struct TableFill
{
    int startIndex;
    int capacity;
    int filled = 0;
    int notFitted = 0;

    // False when the media ID is not one the image can hold.
    bool place(TDevice &device, const QString &mediaId, int status)
    {
        if (filled >= capacity) {
            ++notFitted;
            return true;
        }
        const int index = startIndex + TDevice::WordsPerSlot * filled;
        if (!StoreMediaID(device.DBImage, index, mediaId))
            return false;
        device.SlotStatus[size_t(index / TDevice::WordsPerSlot)] = status;
        ++filled;
        return true;
    }
};

QString notFittedWarning(const TDevice &device, const TableFill &first, const TableFill &second)
{
    const int total = first.notFitted + second.notFitted;
    if (total == 0)
        return {};
    return QStringLiteral("Kontroler %1 (%2): %3 media ID-jeva nije stalo u memoriju kontrolera "
                          "(prva tabela: %4, druga tabela: %5) i neće biti upisano.")
        .arg(device.ID, device.Name)
        .arg(total)
        .arg(first.notFitted)
        .arg(second.notFitted);
}

} // namespace

DBImageLoad LoadDBImage(TDeviceTable &table, int slot, NamedQuery &spPodaciZaKontrolere)
{
    DBImageLoad result;
    TDevice *device = table.Device(slot);
    if (!device)
        return result;
    device->DBImage.fill(TDevice::EmptyWord);
    device->SlotStatus.fill(0);
    if (device->Capacity == 0)
        return result;

    TableFill first{device->TableBegin(), device->FirstTableSlots()};
    TableFill second{device->SecondTableStart(), device->SecondTableSlots()};
    NamedQuery &sp = spPodaciZaKontrolere;
    try {
        sp.close();
        sp.setParameter(QStringLiteral("idkontrolera"), device->ID);
        sp.open();
        const int idNo = sp.fieldIndex(QStringLiteral("IDNo"));
        const int status = sp.fieldIndex(QStringLiteral("status"));
        bool placed = idNo >= 0 && status >= 0;
        for (int row = 0; placed && row < sp.rowCount(); ++row) {
            const QString mediaId = sp.cell(row, idNo).toString();
            switch (sp.cell(row, status).toInt()) {
            case 1:
                placed = first.place(*device, mediaId, 1);
                break;
            case 2:
                placed = second.place(*device, mediaId, 2);
                break;
            default:
                break;
            }
        }
        sp.close();
    } catch (const DbError &) {
        sp.close();
    }
    result.notFittedFirst = first.notFitted;
    result.notFittedSecond = second.notFitted;
    result.warning = notFittedWarning(*device, first, second);
    return result;
}

QStringList LoadAllDBImages(TDeviceTable &table, NamedQuery &spPodaciZaKontrolere)
{
    QStringList warnings;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        if (!table.Device(slot))
            continue;
        const DBImageLoad load = LoadDBImage(table, slot, spPodaciZaKontrolere);
        if (!load.warning.isEmpty())
            warnings.append(load.warning);
    }
    return warnings;
}
