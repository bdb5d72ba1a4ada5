#pragma once

#include <QObject>

#include <memory>

class CommandTable;
class ControllerDialogsEditor;
class MainBrowser;
class TfrmUredjaji_citanje;
class TfrmUredjaji_status;
class TfrmWriteProgress;

// The controller commands of the main window: "Upiši u kontrolere" and the debug
// toolbar's status and table tools. Each checks the controllers catalogue first.
class ControllerToolCommands : public QObject
{
    Q_OBJECT

public:
    ControllerToolCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);
    ~ControllerToolCommands() override;

private:
    // The catalogue check of the debug toolbar's tools: false when nothing is configured.
    bool controllerTool();
    void btnStatusClick();
    void btnReadClick();
    void Upisiukontrolere1Click();

    MainBrowser &m_browser;
    TfrmUredjaji_citanje *const frmUredjaji_citanje;
    TfrmWriteProgress *const m_writeProgress;
    TfrmUredjaji_status *const m_status;
    const std::unique_ptr<ControllerDialogsEditor> m_catalogueDialogs;
};
