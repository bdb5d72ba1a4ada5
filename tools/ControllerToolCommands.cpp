#include "tools/ControllerToolCommands.h"

#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "widgets/CommandTable.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

ControllerToolCommands::ControllerToolCommands(MainBrowser &browser, CommandTable &commands, QObject *parent)
    : QObject(parent), m_browser(browser)
{
    commands.add(QStringLiteral("btnStatus"), [this] { controllerTool(); });
    commands.add(QStringLiteral("btnRead"), [this] { controllerTool(); });
    commands.add(QStringLiteral("Upisiukontrolere1"), [this] { Upisiukontrolere1Click(); });
}

void ControllerToolCommands::controllerTool()
{
    QWidget *parent = m_browser.dialogParent();
    ControllersConfigured(*m_browser.dataGZ().qControllers,
                          [parent](const QString &text) { MessageBoxes::error(parent, text); });
}

void ControllerToolCommands::Upisiukontrolere1Click()
{
    QWidget *parent = m_browser.dialogParent();
    ConfirmWriteToAllControllers(
        *m_browser.dataGZ().qControllers, [parent](const QString &text) { MessageBoxes::error(parent, text); },
        [parent](const QString &text) { return MessageBoxes::question(parent, text); });
}
