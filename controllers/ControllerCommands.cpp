#include "controllers/ControllerCommands.h"

#include "controllers/ControllerDialogs.h"
#include "controllers/NetworkComputers.h"
#include "controllers/uControllers.h"
#include "widgets/CommandTable.h"
#include "widgets/MainBrowser.h"

ControllerCommands::ControllerCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent), m_browser(browser), m_computers(platformNetworkComputers(browser.dataGZ())),
      m_dialogs(new ControllerDialogs(browser.dataGZ(), *m_computers, browser.dialogParent())),
      frmControllers(new TfrmControllers(browser.dataGZ(), *m_dialogs, browser.dialogParent()))
{
    commands.add(QStringLiteral("Kontroleri1"), [this] { Kontroleri1Click(); });
}

ControllerCommands::~ControllerCommands() = default;

void ControllerCommands::useComputers(std::unique_ptr<NetworkComputers> computers)
{
    m_dialogs->setComputers(*computers);
    m_computers = std::move(computers);
}

void ControllerCommands::Kontroleri1Click()
{
    frmControllers->exec();
    m_browser.TransferFromDB2Registry();
}
