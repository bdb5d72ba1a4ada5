#pragma once

#include "link/DeviceTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

class TdmGZ;
struct CtlRequest;

// A problem that keeps dorvalen-ctl from working at all (exit status 2).
class CtlSetupError : public std::runtime_error
{
public:
    explicit CtlSetupError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// What a run works with: the database, the device table built from the controllers
// catalogue, the slots asked for, their database images, and the program's "SleepTime".
struct CtlSetup
{
    CtlSetup();
    ~CtlSetup();

    std::unique_ptr<TdmGZ> dmGZ;
    TDeviceTable devices;
    QList<int> selected;
    int sleepTimeMs = 1000;
    // For the operator, the run goes on: controllers left out, media IDs that did not fit.
    QStringList warnings;
};

// Reads the program's settings, opens the database and builds the device table from the
// catalogue as the program does at start; the program's own cached device table is left
// as it is. Loads the database images for verify and write. Throws CtlSetupError.
void PrepareCtl(const CtlRequest &request, CtlSetup &setup);
