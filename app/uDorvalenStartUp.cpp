// The first-show sequence of the main window (login, connection string, connections,
// command link, link settings, device table, lists) and the change of database.
#include "app/uDorvalen.h"

#include "app/uDlgConnect.h"
#include "app/uOptions.h"
#include "app/uPassword.h"
#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "db/BuiltInDatabase.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"
#include "link/ControllersCatalogue.h"
#include "link/uGlobalVars.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"

#include <QTabBar>
#include <QTimer>

using namespace BrowserStates;

void TfrmDorvalen::FormShow()
{
    if (!m_firstShow)
        return;
    m_firstShow = false;
    // A cancelled login ends the program; nothing after it would be of use.
    if (!loginGate()) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    TGlobalVars &g = globals();
    g.ConnectionString = Settings::readConnectionString(registry());
    if (g.ConnectionString.isEmpty())
        g.ConnectionString = askConnectionString();
    openConnections(g.ConnectionString);
    startCommandLink();
    readLinkSettings();
    showDebugControls(g.DebugCtrls);
    loadDeviceTable();
    openLists();
    TransferFromDB2Registry();
}

bool TfrmDorvalen::loginGate()
{
    for (;;) {
        if (frmPassword->exec() != QDialog::Accepted)
            return false;
        if (frmPassword->Accepted())
            return true;
    }
}

QString TfrmDorvalen::askConnectionString()
{
    if (frmDlgConnect->exec() != QDialog::Accepted)
        return QString();
    // A string the registry refused (reported) still serves this run.
    return frmDlgConnect->SaveConnectionString().value_or(frmDlgConnect->BuildConnectionString());
}

void TfrmDorvalen::openConnections(const QString &connectionString)
{
    QString cs = connectionString;
    QString reason; // the database's own words, shown below the program's text
    if (cs.isEmpty()) {
        MessageBoxes::warning(this, QStringLiteral("Ne postoji konekcija sa bazom podataka."));
        // The built-in settings: the embedded database, made when missing.
        try {
            cs = BuiltInDatabase::connectionString();
        } catch (const DbError &e) {
            reason = e.text();
            cs.clear();
        }
    }
    for (DataModule *dm : dataModules())
        dm->connMain->setConnectionString(cs);
    try {
        for (DataModule *dm : dataModules())
            dm->connMain->open();
    } catch (const DbError &e) {
        MessageBoxes::warning(this, QStringLiteral("Nije uspostavljena konekcija sa bazom podataka.\n\n")
                                        + (reason.isEmpty() ? e.text() : reason));
    }
}

void TfrmDorvalen::startCommandLink()
{
    m_link = std::make_unique<CommandLink>(m_ports);
    globals().Link = m_link.get();
    frmOptions->setCommandLink(m_link.get());
    connect(m_link.get(), &CommandLink::logLine, this, &TfrmDorvalen::log);
    connect(m_link.get(), &CommandLink::commErrorMessage, this, &TfrmDorvalen::showError);
    if (!m_link->Listen())
        log(QStringLiteral("Port %1 za odgovore Link71 servera nije moguće otvoriti.").arg(m_ports.listener));
}

void TfrmDorvalen::readLinkSettings()
{
    TGlobalVars &g = globals();
    const Settings::LinkOptions options = Settings::readLinkOptions(registry());
    g.SleepTime = options.sleepTime;
    g.DebugCtrls = options.debugCtrls;
    m_link->SetSleepTime(g.SleepTime);
}

void TfrmDorvalen::loadDeviceTable()
{
    SettingsStore store(registry());
    const RegistryLoadResult result = LoadDevicesFromRegistry(globals().Devices, store);
    if (!result.error.isEmpty())
        showError(result.error);
    if (!result.warning.isEmpty())
        MessageBoxes::warning(this, result.warning);
}

void TfrmDorvalen::openLists()
{
    fillDetailTabs(View::Persons);
    tabDetailsChange(0);
    SetColumns(m_master, dmMain->qPersons, master(View::Persons).columns);
    if (dmMain->connMain->isOpen()) {
        guarded([this] {
            dmMain->qPersons->open();
            dmMain->qViewMediaIDHist->open();
        });
    }
    SetColumns(m_detail, dmMain->qPersonsGroups, detail(View::Persons, QStringLiteral("Grupe")).columns);
    SetColumns(m_media, dmMain->qViewMediaIDHist,
               {QStringLiteral("IDNo"), QStringLiteral("VaziOd"), QStringLiteral("VaziDo")});
    modelOf(dmMain->qViewMediaIDHist)
        ->setColumns({{QStringLiteral("IDNo"), QStringLiteral("IDNo")},
                      {QStringLiteral("VaziOd"), QStringLiteral("Važi od")},
                      {QStringLiteral("VaziDo"), QStringLiteral("Važi do")}});
    for (const QString &field : {QStringLiteral("VaziOd"), QStringLiteral("VaziDo")})
        dmMain->qViewMediaIDHist->setDisplayFormat(field, QStringLiteral("dd/MM/yy hh:mm"));
}

void TfrmDorvalen::TransferFromDB2Registry()
{
    if (!dmGZ->connMain->isOpen())
        return;
    SettingsStore store(registry());
    const CatalogueTransferResult result = ::TransferFromDB2Registry(globals().Devices, *dmGZ->qControllers, store);
    if (!result.error.isEmpty())
        showError(result.error);
    if (!result.warning.isEmpty())
        MessageBoxes::warning(this, result.warning);
}

void TfrmDorvalen::Database1Click()
{
    if (frmDlgConnect->exec() != QDialog::Accepted)
        return;
    const std::optional<QString> chosen = frmDlgConnect->SaveConnectionString();
    if (!chosen)
        return;
    globals().ConnectionString = *chosen;
    // Closing a connection closes its queries; then all three open on the new string.
    for (DataModule *dm : dataModules())
        dm->connMain->close();
    const bool opened = guarded([this] {
        for (DataModule *dm : dataModules()) {
            dm->connMain->setConnectionString(globals().ConnectionString);
            dm->connMain->open();
        }
    });
    if (opened)
        reopenLists();
}

void TfrmDorvalen::reopenLists()
{
    // The current view is shown again from its start, on the new connection.
    tabMainChange(tabMain->currentIndex());
    guarded([this] {
        dmMain->qViewMediaIDHist->open();
        dmProperties->qTimeIntervals->open();
    });
}
