#include "app/uDorvalen.h"

#include "admin/AssignmentCommands.h"
#include "admin/CatalogueCommands.h"
#include "admin/PersonCommands.h"
#include "app/uDlgConnect.h"
#include "app/uKorisnickaSifra.h"
#include "app/uOProgramu.h"
#include "app/uOptions.h"
#include "app/uPassword.h"
#include "controllers/ControllerCommands.h"
#include "widgets/uStatus.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"
#include "link/uGlobalVars.h"
#include "tools/ControllerToolCommands.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"
#include "widgets/RowIcons.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTabBar>
#include <QTimer>

using namespace BrowserStates;

namespace {

constexpr int kLogMargin = 303;

} // namespace

TfrmDorvalen::TfrmDorvalen(const CommandLinkPorts &ports, QWidget *parent)
    : QMainWindow(parent),
      dmMain(new TdmMain(this)),
      dmGZ(new TdmGZ(this)),
      dmProperties(new TdmProperties(this)),
      frmPassword(new TfrmPassword(registry(), this)),
      frmKorisnickaSifra(new TfrmKorisnickaSifra(registry(), this)),
      frmOptions(new TfrmOptions(registry(), this)),
      frmDlgConnect(new TfrmDlgConnect(registry(), this)),
      frmOProgramu(new TfrmOProgramu(this)),
      frmStatus(new TfrmStatus(this)),
      m_ports(ports)
{
    buildLayout();

    // The commands of the window folders, each with the windows it opens.
    addShellCommands();
    new ControllerCommands(*this, m_commands, this);
    new ControllerToolCommands(*this, m_commands, this);
    new PersonCommands(*this, m_commands, this);
    new AssignmentCommands(*this, m_commands, this);
    new CatalogueCommands(*this, m_commands, this);
    m_commands.bind(this, m_commandNames);

    connect(tabMain, &QTabBar::currentChanged, this, &TfrmDorvalen::tabMainChange);
    connect(tabDetails, &QTabBar::currentChanged, this, &TfrmDorvalen::tabDetailsChange);
    connect(dmMain->qPersons, &NamedQuery::currentRowChanged, this, &TfrmDorvalen::showFocusedPerson);
    connect(dmMain->qPersons, &NamedQuery::reset, this, &TfrmDorvalen::showFocusedPerson);
    for (NamedQuery *q : {dmMain->qPersons, dmMain->qGroups, dmMain->qZones}) {
        connect(q, &NamedQuery::currentRowChanged, this, [this, q] {
            if (q == masterQuery())
                masterFocusChanged();
        });
    }

    // At start the person list with its first detail tab; the first-show sequence sets
    // the columns and opens the lists.
    m_master->bind(modelOf(dmMain->qPersons));
    m_master->setRowNumbers(true);
    m_media->bind(modelOf(dmMain->qViewMediaIDHist));
    m_media->setIconChooser([](int) { return PersonIcon; });
    showDebugControls(false);
    resize(1200, 760);
}

TfrmDorvalen::~TfrmDorvalen()
{
    // The lists and the data modules go first, while the window can still take the
    // signals their closing queries send.
    for (DataGrid *grid : {m_master, m_detail, m_media})
        grid->bind(nullptr);
    qDeleteAll(m_models);
    m_models.clear();
    for (NamedQuery *q : dmMain->findChildren<NamedQuery *>())
        disconnect(q, nullptr, this, nullptr);
    delete dmProperties;
    delete dmGZ;
    delete dmMain;
}

void TfrmDorvalen::addShellCommands()
{
    m_commands.add(QStringLiteral("Database1"), [this] { Database1Click(); });
    m_commands.add(QStringLiteral("Opcije1"), [this] { Opcije1Click(); });
    m_commands.add(QStringLiteral("Izmenalozinke1"), [this] { frmKorisnickaSifra->exec(); });
    m_commands.add(QStringLiteral("Krajprograma1"), [this] { close(); });
    m_commands.add(QStringLiteral("Oprogramu1"), [this] { frmOProgramu->exec(); });
    m_commands.add(QStringLiteral("btnStop"), [this] {
        if (m_link)
            m_link->StopCommand();
    });
}

QList<DataModule *> TfrmDorvalen::dataModules() const
{
    return {dmMain, dmProperties, dmGZ};
}

void TfrmDorvalen::showError(const QString &text)
{
    MessageBoxes::error(this, text);
}

void TfrmDorvalen::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The sequence opens modal dialogs: let the window finish showing first.
    if (m_firstShow)
        QTimer::singleShot(0, this, &TfrmDorvalen::FormShow);
}

void TfrmDorvalen::closeEvent(QCloseEvent *event)
{
    if (m_link)
        m_link->CloseListener();
    QMainWindow::closeEvent(event);
}

void TfrmDorvalen::Opcije1Click()
{
    frmOptions->exec();
    showDebugControls(globals().DebugCtrls);
}

void TfrmDorvalen::showDebugControls(bool on)
{
    m_debugToolbar->setVisible(on);
    m_plainStrip->setVisible(!on);
}

void TfrmDorvalen::log(const QString &line)
{
    m2->appendPlainText(line);
}

void TfrmDorvalen::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_maximizeOnFirstResize) {
        m_maximizeOnFirstResize = false;
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    m2->setFixedWidth(std::max(width() - kLogMargin, 50));
}
