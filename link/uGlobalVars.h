// Holds TGlobalVars, the program-wide state.
#pragma once

#include "link/DeviceTable.h"

#include <QSettings>
#include <QString>

#include <memory>

class CommandLink;

// Process-wide state shared by the windows and routines. Owned and written by the
// user-interface thread only; the sender thread gets SleepTime through CommandLink.
struct TGlobalVars
{
    // The program's registry (HKCU\Software\Brenmark\Dorvalen or its file elsewhere).
    // Tests and the demo profile point it elsewhere before the windows are made.
    std::unique_ptr<QSettings> Registry;

    CommandLink *Link = nullptr; // created by the first-show sequence
    TDeviceTable Devices;        // the configured controllers

    int SleepTime = 1000;
    bool DebugCtrls = false;
    QString CurrentPassword;
    QString ConnectionString;
    QString LastDepartment;
};

TGlobalVars &globals();

// The registry, opened on first use if nobody has set one.
QSettings &registry();
