#pragma once

#include <QObject>

class CommandTable;
class MainBrowser;

// The controller commands of the main window: "Upiši u kontrolere" and the debug
// toolbar's status and table tools. Each checks the controllers catalogue first.
class ControllerToolCommands : public QObject
{
    Q_OBJECT

public:
    ControllerToolCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);

private:
    void controllerTool();
    void Upisiukontrolere1Click();

    MainBrowser &m_browser;
};
