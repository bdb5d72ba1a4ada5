#pragma once

#include <QString>

class CommandLink;
class TDeviceTable;

// What a memory command did.
struct MemoryCommandResult
{
    // The communication server of the target device accepted the connection; when it
    // did not, CommError has already reported it.
    bool connected = false;
    int framesQueued = 0;
    // For the operator: no device in the slot, or a device ID that is not a number.
    // Nothing was queued.
    QString error;
};

// The memory and status commands of one controller, run in the user-interface thread.
// Each prepares the connection to the target device's computer, then queues its frames:
// port is the serial port the caller passes, slot a device-table slot, row a table row
// (0 = the first slot of the table). A row outside the table, or a type without a
// table, queues nothing.

// Reads the whole table; the sender is held back until every frame is queued.
MemoryCommandResult ReadEEPROM(CommandLink &link, TDeviceTable &table, quint8 port, int slot);
// Reads the row's four words.
MemoryCommandResult ReadEEPROM_jedan(CommandLink &link, TDeviceTable &table, quint8 port, int slot, quint8 row);
// Write the words of every slot whose WriteFlags entry is 1, from the database image
// or from the controller image.
MemoryCommandResult WriteDBEEPROM(CommandLink &link, TDeviceTable &table, quint8 port, int slot);
MemoryCommandResult WriteEEPROM(CommandLink &link, TDeviceTable &table, quint8 port, int slot);
// Writes the row's words from the controller image if its slot is marked, logging each
// word as "%.4X %d".
MemoryCommandResult WriteEEPROM_jedan(CommandLink &link, TDeviceTable &table, quint8 port, int slot, quint8 row);
// Asks controller number controller (the device in slot controller - 1 gives the
// computer) for its status.
MemoryCommandResult ReadStatus(CommandLink &link, TDeviceTable &table, quint8 port, quint8 controller);
