#include "link/DeviceTable.h"

#include "base/Settings.h"
#include "base/SettingsStore.h"


namespace {

QString missingValue(const QString &key, const QString &value)
{
    return QStringLiteral("Greška pri čitanju registra: ključ \"%1\" nema ispravnu vrednost \"%2\".")
        .arg(key, value);
}

// A text value of the current key: a missing one reads as empty, one of another type fails.
std::optional<QString> readText(const SettingsStore &registry, const QString &name)
{
    if (!registry.valueExists(name))
        return QString();
    return registry.readString(name);
}

bool setSlot(TDeviceTable &table, int slot, int row, const QString &mediaId, TImage TDevice::*image)
{
    TDevice *device = table.Device(slot);
    if (!device || !device->HasRow(row))
        return false;
    return StoreMediaID(device->*image, device->RowIndex(row), mediaId);
}

} // namespace

TDevice *TDeviceTable::Device(int slot) const
{
    if (slot < 0 || slot >= Slots)
        return nullptr;
    return m_slots[size_t(slot)].get();
}

void TDeviceTable::Put(int slot, std::unique_ptr<TDevice> device)
{
    if (slot >= 0 && slot < Slots)
        m_slots[size_t(slot)] = std::move(device);
}

void TDeviceTable::Clear()
{
    for (std::unique_ptr<TDevice> &device : m_slots)
        device.reset();
    Count = 0;
}

int TDeviceTable::CountDevices() const
{
    int n = 0;
    for (const std::unique_ptr<TDevice> &device : m_slots)
        n += device ? 1 : 0;
    return n;
}

RegistryLoadResult LoadDevicesFromRegistry(TDeviceTable &table, SettingsStore &registry)
{
    RegistryLoadResult result;
    table.Clear();
    if (!registry.openKey(Settings::Devices::InfoKey, false))
        return result;
    const std::optional<int> total = registry.readInteger(Settings::Devices::TotalNumber);
    registry.closeKey();
    if (!total) {
        result.error = missingValue(Settings::Devices::InfoKey, Settings::Devices::TotalNumber);
        return result;
    }
    table.Count = qBound(0, *total, TDeviceTable::Slots);
    if (*total > TDeviceTable::Slots) {
        result.warning = QStringLiteral("U registru je %1 kontrolera, a tabela uređaja prima najviše %2; "
                                        "učitano je prvih %2.")
                             .arg(*total)
                             .arg(TDeviceTable::Slots);
    }
    for (int n = 1; n <= table.Count; ++n) {
        const QString key = Settings::Devices::DeviceKey(n);
        if (!registry.openKey(key, false))
            continue;
        const std::optional<QString> id = readText(registry, Settings::Devices::ID);
        const std::optional<QString> name = readText(registry, Settings::Devices::Name);
        const std::optional<QString> devType = readText(registry, Settings::Devices::DevType);
        const std::optional<QString> connType = readText(registry, Settings::Devices::ConnType);
        const std::optional<QString> compName = readText(registry, Settings::Devices::CompName);
        const std::optional<int> port = registry.readInteger(Settings::Devices::PortNum);
        registry.closeKey();
        const std::pair<const std::optional<QString> *, const QString *> texts[] = {
            {&id, &Settings::Devices::ID}, {&name, &Settings::Devices::Name}, {&devType, &Settings::Devices::DevType},
            {&connType, &Settings::Devices::ConnType}, {&compName, &Settings::Devices::CompName}};
        for (const auto &[value, valueName] : texts) {
            if (!*value) {
                result.error = missingValue(key, *valueName);
                return result;
            }
        }
        if (!port) {
            result.error = missingValue(key, Settings::Devices::PortNum);
            return result;
        }
        table.Put(n - 1, std::make_unique<TDevice>(*id, *name, *devType, *connType, *compName, *port));
    }
    return result;
}

void SaveDevicesToRegistry(const TDeviceTable &table, SettingsStore &registry)
{
    // Every Device<n> goes, also keys beyond the last count that an older list left.
    registry.openKey(QString(), false);
    const QStringList keys = registry.subKeys();
    registry.closeKey();
    for (const QString &key : keys) {
        if (Settings::Devices::IsDeviceKey(key))
            registry.deleteKey(key);
    }

    int written = 0;
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        const TDevice *device = table.Device(slot);
        if (!device)
            continue;
        registry.openKey(Settings::Devices::DeviceKey(++written), true);
        registry.writeString(Settings::Devices::ID, device->ID);
        registry.writeString(Settings::Devices::Name, device->Name);
        registry.writeString(Settings::Devices::DevType, device->DevType);
        registry.writeString(Settings::Devices::ConnType, device->ConnType);
        registry.writeString(Settings::Devices::CompName, device->CompName);
        registry.writeInteger(Settings::Devices::PortNum, device->PortNum);
        registry.closeKey();
    }
    registry.openKey(Settings::Devices::InfoKey, true);
    registry.writeInteger(Settings::Devices::TotalNumber, written);
    registry.closeKey();
}

bool SetDBSlot(TDeviceTable &table, int slot, int row, const QString &mediaId)
{
    return setSlot(table, slot, row, mediaId, &TDevice::DBImage);
}

bool SetCtrlSlot(TDeviceTable &table, int slot, int row, const QString &mediaId)
{
    return setSlot(table, slot, row, mediaId, &TDevice::CtrlImage);
}
