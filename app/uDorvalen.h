// Holds TfrmDorvalen, the main window.
#pragma once

#include "link/CommandLink.h"
#include "widgets/BrowserStates.h"
#include "widgets/CommandTable.h"
#include "widgets/MainBrowser.h"

#include <QHash>
#include <QMainWindow>
#include <QStyle>

class DataGrid;
class NamedQuery;
class NamedQueryModel;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QToolButton;
class DataModule;
class TdmGZ;
class TdmMain;
class TdmProperties;
class TfrmDlgConnect;
class TfrmKorisnickaSifra;
class TfrmOProgramu;
class TfrmStatus;
class TfrmOptions;
class TfrmPassword;

// The main window: the hub of the program. It browses persons, groups and zones with
// their links (view tabs on the left, detail tabs on the right) and opens every other
// window from its menus and buttons through the command table. Its parts live in
// uDorvalenLayout.cpp (the widgets), uDorvalenBrowser.cpp (the master/detail browser)
// and uDorvalenStartUp.cpp (the first-show sequence).
class TfrmDorvalen : public QMainWindow, public MainBrowser
{
    Q_OBJECT

public:

    // The ports of the command link are the program's own unless a test gives others.
    explicit TfrmDorvalen(const CommandLinkPorts &ports = {}, QWidget *parent = nullptr);
    ~TfrmDorvalen() override;

    TdmMain *const dmMain;
    TdmGZ *const dmGZ;
    TdmProperties *const dmProperties;

    // What the windows' command files see (MainBrowser).
    QWidget *dialogParent() override { return this; }
    TdmMain &dataMain() const override { return *dmMain; }
    TdmGZ &dataGZ() const override { return *dmGZ; }
    TdmProperties &dataProperties() const override { return *dmProperties; }
    View currentView() const override { return m_view; }
    QString currentDetailTab() const override;
    NamedQuery *masterQuery() const override;
    NamedQuery *detailQuery() const override;
    DataGrid *masterGrid() const override { return m_master; }
    DataGrid *detailGrid() const override { return m_detail; }
    DataGrid *mediaGrid() const override { return m_media; }
    int focusedMasterIndex() const override;
    void restoreMasterFocus(int index) override;
    void rereadMaster(NamedQuery *query) override;
    CommandLink *link() const override { return m_link.get(); }
    void TransferFromDB2Registry() override;

    // Every command of the menus, the context menu and the buttons, by object name.
    const CommandTable &commands() const { return m_commands; }

    // Handlers of the two tab strips and the master list.
    void tabMainChange(int index);
    void tabDetailsChange(int index);
    void masterFocusChanged();

    // Removes a list's columns and adds one per field, captioned with the field's name.
    void SetColumns(DataGrid *grid, NamedQuery *query, const QStringList &fields);
    void SelectFirstDetailRow();

    // The first-show sequence: login, connections, command link, settings, device table,
    // lists. Runs once, from the first show.
    void FormShow();
    bool firstShowPending() const { return m_firstShow; }

    // The lists' first contents, once the connections are open: detail tabs of the
    // person view, the columns, the person list and its media IDs.
    void openLists();

    // The debug toolbar or the plain strip, never both.
    void showDebugControls(bool on);
    // A line of the communication log.
    void log(const QString &line);

    // The menu commands and buttons, for the windows that connect to them.
    QAction *Database1, *Opcije1, *Izmenalozinke1, *Krajprograma1;
    QAction *Sektori1, *Grupe1, *Zone1, *Tackepristupa1, *Kontroleri1, *Vremenskiintervali1;
    QAction *Aktivnost1, *Aktivnost2, *Upisiukontrolere1, *Oprogramu1;
    QAction *DodajOsobu1, *IzmeniOsobu1, *IzbrisiOsobu1, *DodeliGrupama1, *DodeliZonama1;
    QPushButton *btnAddPerson, *btnEditPerson, *btnDeletePerson, *btnAddMedia, *btnDeleteMedia;
    QPushButton *btnAssign, *btnUnassign, *btnChangeAccess;
    QToolButton *btnStatus, *btnRead, *btnStop;

    // Every window is made once, here, and shown again on each opening.
    TfrmPassword *const frmPassword;
    TfrmKorisnickaSifra *const frmKorisnickaSifra;
    TfrmOptions *const frmOptions;
    TfrmDlgConnect *const frmDlgConnect;
    TfrmOProgramu *const frmOProgramu;
    TfrmStatus *const frmStatus; // busy notice, the one window that is not modal

    // "Baza podataka": choose, store and apply another database.
    void Database1Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    // An action or button of the command table, named as its command.
    QAction *commandAction(QMenu *menu, const QString &name, const QString &text);
    QPushButton *commandButton(QWidget *parent, const QString &name, const QString &text);
    QToolButton *commandToolButton(QWidget *parent, const QString &name, const QString &hint,
                                   QStyle::StandardPixmap icon);
    void addShellCommands();
    // The data modules in the order their connections open.
    QList<DataModule *> dataModules() const;
    void fillDetailTabs(View view);
    void showError(const QString &text);
    QWidget *buildTopStrip();
    QWidget *buildPersonPanel();
    QWidget *buildDetailPanel();
    void showMasterContextMenu(const QPoint &pos);
    bool loginGate();
    QString askConnectionString();
    void loadDeviceTable();
    void reopenLists();
    void openConnections(const QString &connectionString);
    void startCommandLink();
    void readLinkSettings();
    void Opcije1Click();

    NamedQueryModel *modelOf(NamedQuery *query);
    void bindDetail(const BrowserStates::DetailSetup &setup, bool open);
    void applyDetailTab(const BrowserStates::DetailSetup &setup);
    void setActivityCaptions(const BrowserStates::DetailSetup &setup);
    void updateChangeAccess();
    void showFocusedPerson();
    // Runs a query step; a database error is reported and the window stays as it is.
    bool guarded(const std::function<void()> &step);

    CommandTable m_commands;
    QStringList m_commandNames;
    const CommandLinkPorts m_ports;
    std::unique_ptr<CommandLink> m_link;
    bool m_firstShow = true;
    View m_view = View::Persons;
    bool m_changingView = false;
    bool m_maximizeOnFirstResize = true;
    QHash<NamedQuery *, NamedQueryModel *> m_models;

    QTabBar *tabMain;
    QTabBar *tabDetails;
    DataGrid *m_master;
    DataGrid *m_detail;
    DataGrid *m_media;
    QStackedWidget *m_rightPanel;
    QWidget *m_personPanel;
    QWidget *m_detailPanel;
    QWidget *m_debugToolbar;
    QWidget *m_plainStrip;
    QPlainTextEdit *m2; // the communication log, under its established component name
    QLabel *m_photo;
    QLineEdit *m_personFields[5];
    QMenu *m_masterMenu;
};
