#pragma once

#include <QObject>

class CommandTable;
class MainBrowser;
class TfrmUredjaji_citanje;

// The controller commands of the main window: "Upiši u kontrolere" and the debug
// toolbar's status and table tools. Each checks the controllers catalogue first.
class ControllerToolCommands : public QObject
{
    Q_OBJECT

public:
    ControllerToolCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);

private:
    // The catalogue check of the debug toolbar's tools: false when nothing is configured.
    bool controllerTool();
    void btnReadClick();
    void Upisiukontrolere1Click();

    MainBrowser &m_browser;
    TfrmUredjaji_citanje *const frmUredjaji_citanje;
};
