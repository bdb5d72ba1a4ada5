#pragma once

#include "app/BrowserStates.h"
#include "link/CommandLink.h"

#include <QHash>
#include <QMainWindow>

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
// window from its menus and buttons.
class TfrmDorvalen : public QMainWindow
{
    Q_OBJECT

public:
    using View = BrowserStates::View;

    // The ports of the command link are the program's own unless a test gives others.
    explicit TfrmDorvalen(const CommandLinkPorts &ports = {}, QWidget *parent = nullptr);
    ~TfrmDorvalen() override;

    TdmMain *const dmMain;
    TdmGZ *const dmGZ;
    TdmProperties *const dmProperties;

    // The browser state and what other windows read of it.
    View currentView() const { return m_view; }
    QString currentDetailTab() const;
    NamedQuery *masterQuery() const;
    NamedQuery *detailQuery() const;
    DataGrid *masterGrid() const { return m_master; }
    DataGrid *detailGrid() const { return m_detail; }

    // Handlers of the two tab strips and the master list.
    void tabMainChange(int index);
    void tabDetailsChange(int index);
    void masterFocusChanged();

    // Removes a list's columns and adds one per field, captioned with the field's name.
    void SetColumns(DataGrid *grid, NamedQuery *query, const QStringList &fields);
    void SelectFirstDetailRow();
    // Keeping the focus across a command: the focused master row's index before, and
    // the same index (or the last row) afterwards, with the detail list re-read.
    int focusedMasterIndex() const;
    void restoreMasterFocus(int index);
    // Re-reads the master list keeping the focused index (the catalogue commands).
    void rereadMaster(NamedQuery *query);

    // The first-show sequence: login, connections, command link, settings, device table,
    // lists. Runs once, from the first show.
    void FormShow();
    bool firstShowPending() const { return m_firstShow; }
    CommandLink *link() const { return m_link.get(); }

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

    // The device table follows the controllers catalogue: rebuilt from it and cached in
    // the registry. Reports what the operator must know.
    void TransferFromDB2Registry();
    // "Baza podataka": choose, store and apply another database.
    void Database1Click();
    // The controller commands check the catalogue first.
    void btnStatusClick();
    void btnReadClick();
    void Upisiukontrolere1Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    QWidget *buildTopStrip();
    QWidget *buildPersonPanel();
    QWidget *buildDetailPanel();
    void showMasterContextMenu(const QPoint &pos);
    bool loginGate();
    QString storedConnectionString();
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
    QPlainTextEdit *m2;
    QLabel *m_photo;
    QLineEdit *m_personFields[5];
    QMenu *m_masterMenu;
};
