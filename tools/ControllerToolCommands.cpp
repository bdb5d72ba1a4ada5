#include "tools/ControllerToolCommands.h"

#include "controllers/NetworkComputers.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "link/uGlobalVars.h"
#include "tools/ControllerDialogsEditor.h"
#include "tools/uUredjaji_citanje.h"
#include "tools/uUredjaji_status.h"
#include "tools/uWriteProgress.h"
#include "widgets/CommandTable.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

ControllerToolCommands::ControllerToolCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent),
      m_browser(browser),
      frmUredjaji_citanje(new TfrmUredjaji_citanje(globals().Devices, browser.dataMain(), browser.dataGZ(),
                                                   browser.dialogParent())),
      m_writeProgress(new TfrmWriteProgress(globals().Devices, *browser.dataGZ().connMain, browser.dialogParent())),
      m_status(new TfrmUredjaji_status(
          globals().Devices, browser.dataGZ(), registry(), [&browser] { browser.TransferFromDB2Registry(); },
          browser.dialogParent())),
      m_catalogueDialogs(std::make_unique<ControllerDialogsEditor>(
          browser.dataGZ(), platformNetworkComputers(browser.dataGZ()), m_status))
{
    m_status->setCatalogueEditor(m_catalogueDialogs.get());
    commands.add(QStringLiteral("btnStatus"), [this] { btnStatusClick(); });
    commands.add(QStringLiteral("btnRead"), [this] { btnReadClick(); });
    commands.add(QStringLiteral("Upisiukontrolere1"), [this] { Upisiukontrolere1Click(); });
}

ControllerToolCommands::~ControllerToolCommands() = default;

bool ControllerToolCommands::controllerTool()
{
    QWidget *parent = m_browser.dialogParent();
    return ControllersConfigured(*m_browser.dataGZ().qControllers,
                                 [parent](const QString &text) { MessageBoxes::error(parent, text); });
}

void ControllerToolCommands::btnStatusClick()
{
    CommandLink *link = m_browser.link();
    if (link && controllerTool())
        m_status->Execute(*link);
}

void ControllerToolCommands::btnReadClick()
{
    if (!controllerTool() || !m_browser.link())
        return;
    frmUredjaji_citanje->setLink(m_browser.link());
    frmUredjaji_citanje->exec();
}

void ControllerToolCommands::Upisiukontrolere1Click()
{
    QWidget *parent = m_browser.dialogParent();
    CommandLink *link = m_browser.link();
    if (link && ConfirmWriteToAllControllers(
                    *m_browser.dataGZ().qControllers,
                    [parent](const QString &text) { MessageBoxes::error(parent, text); },
                    [parent](const QString &text) { return MessageBoxes::question(parent, text); }))
        m_writeProgress->Execute(*link);
}
