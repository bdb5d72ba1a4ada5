#include "tools/ControllerToolCommands.h"

#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "link/uGlobalVars.h"
#include "tools/uUredjaji_citanje.h"
#include "widgets/CommandTable.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

ControllerToolCommands::ControllerToolCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent),
      m_browser(browser),
      frmUredjaji_citanje(new TfrmUredjaji_citanje(globals().Devices, browser.dataMain(), browser.dataGZ(),
                                                   browser.dialogParent()))
{
    commands.add(QStringLiteral("btnStatus"), [this] { controllerTool(); });
    commands.add(QStringLiteral("btnRead"), [this] { btnReadClick(); });
    commands.add(QStringLiteral("Upisiukontrolere1"), [this] { Upisiukontrolere1Click(); });
}

bool ControllerToolCommands::controllerTool()
{
    QWidget *parent = m_browser.dialogParent();
    return ControllersConfigured(*m_browser.dataGZ().qControllers,
                                 [parent](const QString &text) { MessageBoxes::error(parent, text); });
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
    ConfirmWriteToAllControllers(
        *m_browser.dataGZ().qControllers, [parent](const QString &text) { MessageBoxes::error(parent, text); },
        [parent](const QString &text) { return MessageBoxes::question(parent, text); });
}
