#pragma once

#include <QObject>

#include <memory>

class CommandTable;
class ControllerDialogsEditor;
class MainBrowser;
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
    bool controllersConfigured();
    void btnStatusClick();
    void Upisiukontrolere1Click();

    MainBrowser &m_browser;
    TfrmWriteProgress *const m_writeProgress;
    TfrmUredjaji_status *const m_status;
    const std::unique_ptr<ControllerDialogsEditor> m_catalogueDialogs;
};
