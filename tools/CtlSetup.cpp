#include "tools/CtlSetup.h"

#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "db/BuiltInDatabase.h"
#include "db/DbError.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "link/DBImage.h"
#include "tools/CtlCommandLine.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QString connectionString(const CtlRequest &request, QSettings &registry)
{
    if (request.connection)
        return *request.connection;
    const QString stored = Settings::readConnectionString(registry);
    if (!stored.isEmpty())
        return stored;
    // The program's built-in settings, but only an existing database: an empty new one
    // would have no controllers, and a scheduled run should not make files.
    const QString builtIn = BuiltInDatabase::defaultFileName();
    if (QFileInfo(builtIn).isFile())
        return BuiltInDatabase::connectionString(builtIn);
    throw CtlSetupError(QStringLiteral("Ne postoji konekcija sa bazom podataka: program nije sačuvao konekcioni "
                                       "string. Podesite bazu u programu Dorvalen ili zadajte --connection."));
}

void buildDeviceTable(CtlSetup &setup)
{
    // The catalogue goes through the program's own rebuild, into a registry of this run.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw CtlSetupError(QStringLiteral("Nije moguće napraviti privremenu fasciklu: %1").arg(dir.errorString()));
    const std::unique_ptr<QSettings> scratch = SettingsStore::openFile(dir.filePath(QStringLiteral("devices.reg")));
    SettingsStore store(*scratch);
    const CatalogueTransferResult result = TransferFromDB2Registry(setup.devices, *setup.dmGZ->qControllers, store);
    if (!result.error.isEmpty())
        throw CtlSetupError(result.error);
    if (!result.warning.isEmpty())
        setup.warnings.append(result.warning);
    if (setup.devices.CountDevices() == 0)
        throw CtlSetupError(NoControllersText);
}

void select(const CtlRequest &request, CtlSetup &setup)
{
    QStringList unknown;
    for (const QString &id : request.controllers) {
        int found = -1;
        for (int slot = 0; slot < TDeviceTable::Slots && found < 0; ++slot) {
            const TDevice *device = setup.devices.Device(slot);
            if (device && device->ID == id)
                found = slot;
        }
        if (found < 0)
            unknown.append(id);
        else
            setup.selected.append(found);
    }
    if (!unknown.isEmpty())
        throw CtlSetupError(QStringLiteral("Nema kontrolera sa ID-jem %1 u katalogu kontrolera.")
                                .arg(unknown.join(QStringLiteral(", "))));
    if (!request.controllers.isEmpty()) {
        // Reported in catalogue order, as without the option.
        std::sort(setup.selected.begin(), setup.selected.end());
        return;
    }
    for (int slot = 0; slot < TDeviceTable::Slots; ++slot) {
        if (setup.devices.Device(slot))
            setup.selected.append(slot);
    }
}

// A failed read would leave images that are empty or half filled: writing them would
// erase the doors, so the run stops before anything is sent.
void loadImages(CtlSetup &setup)
{
    if (setup.selected.size() == setup.devices.CountDevices()) {
        const DBImagesLoad load = LoadAllDBImages(setup.devices, *setup.dmGZ->connMain);
        if (!load.error.isEmpty())
            throw CtlSetupError(load.error);
        setup.warnings.append(load.warnings);
        return;
    }
    NamedQuery &sp = *setup.dmGZ->spPodaciZaKontrolere;
    for (int slot : setup.selected) {
        const DBImageLoad load = LoadDBImage(setup.devices, slot, sp);
        if (load.failed)
            throw CtlSetupError(DBImagesReadErrorText);
        if (!load.warning.isEmpty())
            setup.warnings.append(load.warning);
    }
}

} // namespace

CtlSetup::CtlSetup() = default;
CtlSetup::~CtlSetup() = default;

void PrepareCtl(const CtlRequest &request, CtlSetup &setup)
{
    const std::unique_ptr<QSettings> registry = SettingsStore::openProgramSettings();
    setup.sleepTimeMs = Settings::readLinkOptions(*registry).sleepTime;
    setup.dmGZ = std::make_unique<TdmGZ>();
    try {
        setup.dmGZ->connectTo(connectionString(request, *registry));
    } catch (const DbError &e) {
        throw CtlSetupError(QStringLiteral("Nije uspostavljena konekcija sa bazom podataka: %1").arg(e.text()));
    }
    buildDeviceTable(setup);
    select(request, setup);
    if (request.command != SyncCommand::Status)
        loadImages(setup);
}
