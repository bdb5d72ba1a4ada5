#pragma once

#include <QObject>

#include <memory>

class CommandTable;
class ControllerDialogs;
class MainBrowser;
class NetworkComputers;
class TfrmControllers;

// "Konfiguracija" -> "Kontroleri": the controllers catalogue with its touch contacts.
// When the window closes the device table is rebuilt from the catalogue.
class ControllerCommands : public QObject
{
    Q_OBJECT

public:
    ControllerCommands(MainBrowser &browser, CommandTable &commands, QObject *parent);
    ~ControllerCommands() override;

    // Replaces this platform's listing of the network's computers (tests list none of
    // the real network).
    void useComputers(std::unique_ptr<NetworkComputers> computers);

private:
    void Kontroleri1Click();

    MainBrowser &m_browser;
    std::unique_ptr<NetworkComputers> m_computers;
    ControllerDialogs *const m_dialogs;
    TfrmControllers *const frmControllers;
};
