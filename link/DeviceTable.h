// Holds TDeviceTable, the configured controllers.
#pragma once

#include "link/TDevice.h"

#include <QString>

#include <array>
#include <memory>

class SettingsStore;

// The configured controllers: 255 slots, an empty slot holding no device, and the
// device count found by the last registry load. The registry is written without gaps,
// so devices normally occupy slots 0 to Count - 1.
class TDeviceTable
{
public:
    static constexpr int Slots = 255;

    // The device in slot, or null for an empty slot or one outside the table.
    TDevice *Device(int slot) const;
    void Put(int slot, std::unique_ptr<TDevice> device);
    // Drops every device; the count becomes 0.
    void Clear();
    // The number of non-empty slots.
    int CountDevices() const;

    // "TotalNumber" of the last registry load (at most Slots).
    int Count = 0;

private:
    std::array<std::unique_ptr<TDevice>, Slots> m_slots;
};

// What a registry load has to tell the operator; both empty when all went well.
struct RegistryLoadResult
{
    // A value could not be read: the load stopped there, earlier slots stay filled.
    QString error;
    // More device keys than slots: the first 255 were kept.
    QString warning;
};

// Empties the table and fills slot n - 1 from the key Device<n>, n = 1 to "TotalNumber";
// a missing key leaves its slot empty, a missing text value reads as empty.
RegistryLoadResult LoadDevicesFromRegistry(TDeviceTable &table, SettingsStore &registry);

// Replaces every Device<n> key by the non-empty slots, in slot order, as Device1,
// Device2, ... and writes their number to "TotalNumber".
void SaveDevicesToRegistry(const TDeviceTable &table, SettingsStore &registry);

// Store a media ID of 16 hexadecimal digits into a table row of the device in slot, in
// its database image or its controller image. False, and nothing stored, for an empty
// slot, a row outside the table, or another text.
bool SetDBSlot(TDeviceTable &table, int slot, int row, const QString &mediaId);
bool SetCtrlSlot(TDeviceTable &table, int slot, int row, const QString &mediaId);
