#include "link/MemoryCommands.h"

#include "link/CommandLink.h"
#include "link/DeviceTable.h"

namespace {

// A prepared command: the target device, its controller number, and the result so far.
struct Prepared
{
    TDevice *device = nullptr;
    int controller = 0;
    MemoryCommandResult result;

    bool ok() const { return result.connected && result.error.isEmpty(); }
};

// Connects to the device's computer, then reads the controller number from its ID.
Prepared prepare(CommandLink &link, TDeviceTable &table, int slot)
{
    Prepared p;
    p.device = table.Device(slot);
    if (!p.device) {
        p.result.error = QStringLiteral("U tabeli uređaja nema kontrolera pod rednim brojem %1.").arg(slot + 1);
        return p;
    }
    p.result.connected = link.Connect(p.device->CompName);
    if (!p.result.connected)
        return p;
    bool isNumber = false;
    p.controller = p.device->ID.toInt(&isNumber);
    if (!isNumber)
        p.result.error = QStringLiteral("ID kontrolera \"%1\" nije ceo broj.").arg(p.device->ID);
    return p;
}

void enqueue(CommandLink &link, MemoryCommandResult &result, const QString &frame)
{
    link.Enqueue(frame);
    ++result.framesQueued;
}

bool marked(const TDevice &device, int imageIndex)
{
    return device.WriteFlags[size_t(imageIndex / TDevice::WordsPerSlot)] == 1;
}

MemoryCommandResult readRange(CommandLink &link, Prepared p, quint8 port, int begin, int end)
{
    for (int i = begin; i < end; ++i)
        enqueue(link, p.result, FrameRE(port, p.controller, p.device->ControllerAddress(i)));
    return p.result;
}

MemoryCommandResult writeMarked(CommandLink &link, TDeviceTable &table, quint8 port, int slot,
                                TImage TDevice::*image)
{
    Prepared p = prepare(link, table, slot);
    if (!p.ok())
        return p.result;
    const TDevice &d = *p.device;
    for (int i = d.TableBegin(); i < d.TableEnd(); ++i) {
        if (marked(d, i))
            enqueue(link, p.result, FrameWE(port, p.controller, d.ControllerAddress(i), (d.*image)[size_t(i)]));
    }
    return p.result;
}

} // namespace

MemoryCommandResult ReadEEPROM(CommandLink &link, TDeviceTable &table, quint8 port, int slot)
{
    Prepared p = prepare(link, table, slot);
    if (!p.ok())
        return p.result;
    // Released, and the sender woken once, on the way out.
    const SenderHold hold = link.HoldSender();
    return readRange(link, p, port, p.device->TableBegin(), p.device->TableEnd());
}

MemoryCommandResult ReadEEPROM_jedan(CommandLink &link, TDeviceTable &table, quint8 port, int slot, quint8 row)
{
    Prepared p = prepare(link, table, slot);
    if (!p.ok() || !p.device->HasRow(row))
        return p.result;
    const int first = p.device->RowIndex(row);
    return readRange(link, p, port, first, first + TDevice::WordsPerSlot);
}

MemoryCommandResult WriteDBEEPROM(CommandLink &link, TDeviceTable &table, quint8 port, int slot)
{
    return writeMarked(link, table, port, slot, &TDevice::DBImage);
}

MemoryCommandResult WriteEEPROM(CommandLink &link, TDeviceTable &table, quint8 port, int slot)
{
    return writeMarked(link, table, port, slot, &TDevice::CtrlImage);
}

MemoryCommandResult WriteEEPROM_jedan(CommandLink &link, TDeviceTable &table, quint8 port, int slot, quint8 row)
{
    Prepared p = prepare(link, table, slot);
    if (!p.ok() || !p.device->HasRow(row))
        return p.result;
    const TDevice &d = *p.device;
    const int first = d.RowIndex(row);
    for (int i = first; i < first + TDevice::WordsPerSlot; ++i) {
        if (!marked(d, i))
            continue;
        const quint16 word = d.CtrlImage[size_t(i)];
        enqueue(link, p.result, FrameWE(port, p.controller, d.ControllerAddress(i), word));
        emit link.logLine(QString::asprintf("%.4X %d", unsigned(word), int(word)));
    }
    return p.result;
}

MemoryCommandResult ReadStatus(CommandLink &link, TDeviceTable &table, quint8 port, quint8 controller)
{
    MemoryCommandResult result;
    const TDevice *device = table.Device(int(controller) - 1);
    if (!device) {
        result.error = QStringLiteral("U tabeli uređaja nema kontrolera pod rednim brojem %1.").arg(controller);
        return result;
    }
    result.connected = link.Connect(device->CompName);
    if (result.connected)
        enqueue(link, result, FrameST(port, controller));
    return result;
}
