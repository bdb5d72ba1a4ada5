#pragma once

#include "link/ReplyConsumers.h"
#include "widgets/FixedDialog.h"

#include <functional>
#include <optional>

class CommandLink;
class ControllerCatalogueEditor;
class QPushButton;
class QSettings;
class QTableWidget;
class TDeviceTable;
class TdmGZ;

// "Status kontrolera": the editor of the device table kept in the registry, with a status
// check per controller. The list l1 is a working copy: it changes neither the table nor
// the registry until "Snimi kao podrazumevajuću postavku". Status answers ("ST") come
// through callback.
class TfrmUredjaji_status : public FixedDialog, public StatusReplyConsumer
{
    Q_OBJECT

public:
    enum Column { ColID, ColName, ColType, ColComputer, ColComPort, ColIdInDb, ColStatus, ColumnCount };

    static inline const QString NotFound = QStringLiteral("--");
    static inline const QString FromDatabaseQuestion =
        QStringLiteral("Želite li da postojeći kontroleri budu izbrisani pre dodavanja kontrolera iz baze?");

    // rebuildFromCatalogue is the main window's TransferFromDB2Registry.
    TfrmUredjaji_status(TDeviceTable &devices, TdmGZ &gz, QSettings &registry,
                        std::function<void()> rebuildFromCatalogue, QWidget *parent = nullptr);

    // The catalogue's dialogs behind "Ručni unos" and "Izmeni"; without them both buttons
    // stay disabled.
    void setCatalogueEditor(ControllerCatalogueEditor *editor);

    // Shows the window over link; returns when it has closed.
    void Execute(CommandLink &link);

    void callback(TStringqueue &ReplyTokens) override;

    // "COM3" gives 3, "COM12" gives 12; nothing for any other text.
    static std::optional<int> ComPortNumber(const QString &comPort);

protected:
    void opened() override;

private:
    void addRow(const QStringList &cells);
    QString idInDatabase(const QStringList &cells) const;
    void fillFromCatalogue();
    void refreshFromCatalogue();
    int selectedRow() const;
    // With no row selected, a status answer goes to the row of the controller it names.
    int rowOfController(const QString &port, const QString &controller) const;
    QStringList rowCells(int row) const;
    // The row's port and controller number, or a message naming what the frames cannot carry.
    std::optional<std::pair<int, int>> frameFields(int row);
    void updateButtons();

    void btnOKClick();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void Button8Click();

    TDeviceTable &m_devices;
    TdmGZ &m_gz;
    QSettings &m_registry;
    const std::function<void()> m_rebuildFromCatalogue;
    ControllerCatalogueEditor *m_editor = nullptr;
    CommandLink *m_link = nullptr;

    QTableWidget *l1;
    QPushButton *btnOK;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button4;
    QPushButton *Button3;
    QPushButton *Button9;
    QPushButton *Button5;
    QPushButton *Button8;
    QPushButton *Button7;
};
