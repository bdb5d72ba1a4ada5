// The widgets of the main window: menus, toolbars, the two lists and the right-hand panels.
#include "app/uDorvalen.h"

#include "db/NamedQuery.h"
#include "widgets/DataGrid.h"
#include "widgets/RowIcons.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace BrowserStates;

namespace {

constexpr int kStripHeight = 40;
constexpr int kRightPanelWidth = 337;

} // namespace

void TfrmDorvalen::buildLayout()
{
    setObjectName(QStringLiteral("frmDorvalen"));
    setWindowTitle(QStringLiteral("Brenmark - Dorvalen"));
    setWindowIcon(QIcon(RowIcons::icon(ZoneIcon)));
    buildMenus();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopStrip());

    tabMain = new QTabBar(central);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    tabMain->setShape(QTabBar::RoundedWest);
    for (const MasterSetup &m : masters())
        tabMain->addTab(m.caption);

    m_master = new DataGrid(false, central);
    m_master->setObjectName(QStringLiteral("gridMaster"));
    m_master->verticalHeader()->setDefaultSectionSize(RowIcons::Size + 3);
    m_master->setIconChooser([this](int) { return master(m_view).icon; });
    m_master->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_master, &QWidget::customContextMenuRequested, this, &TfrmDorvalen::showMasterContextMenu);
    m_master->verticalScrollBar()->setObjectName(QStringLiteral("masterScroll"));
    // Row numbers count from the topmost visible row: repaint them on scrolling.
    connect(m_master->verticalScrollBar(), &QScrollBar::valueChanged, m_master->viewport(),
            qOverload<>(&QWidget::update));

    auto *left = new QWidget(central);
    auto *leftLayout = new QHBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    auto *tabColumn = new QVBoxLayout;
    tabColumn->addWidget(tabMain);
    tabColumn->addStretch();
    leftLayout->addLayout(tabColumn);
    leftLayout->addWidget(m_master, 1);

    auto *right = new QWidget(central);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    tabDetails = new QTabBar(right);
    tabDetails->setObjectName(QStringLiteral("tabDetails"));
    tabDetails->setExpanding(false);
    rightLayout->addWidget(tabDetails);
    m_rightPanel = new QStackedWidget(right);
    m_personPanel = buildPersonPanel();
    m_detailPanel = buildDetailPanel();
    m_rightPanel->addWidget(m_personPanel);
    m_rightPanel->addWidget(m_detailPanel);
    rightLayout->addWidget(m_rightPanel, 1);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    right->setMinimumWidth(200);
    splitter->setSizes({800, kRightPanelWidth});
    layout->addWidget(splitter, 1);

    auto *bottom = new QWidget(central);
    bottom->setObjectName(QStringLiteral("bottomStrip"));
    bottom->setFixedHeight(kStripHeight);
    layout->addWidget(bottom);
    setCentralWidget(central);
}

void TfrmDorvalen::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("Fajl"));
    Database1 = commandAction(file, QStringLiteral("Database1"), QStringLiteral("Baza podataka"));
    Opcije1 = commandAction(file, QStringLiteral("Opcije1"), QStringLiteral("Opcije"));
    Izmenalozinke1 = commandAction(file, QStringLiteral("Izmenalozinke1"), QStringLiteral("Izmena lozinke"));
    file->addSeparator();
    Krajprograma1 = commandAction(file, QStringLiteral("Krajprograma1"), QStringLiteral("Kraj programa"));

    QMenu *config = menuBar()->addMenu(QStringLiteral("Konfiguracija"));
    Sektori1 = commandAction(config, QStringLiteral("Sektori1"), QStringLiteral("Sektori"));
    Grupe1 = commandAction(config, QStringLiteral("Grupe1"), QStringLiteral("Grupe"));
    Zone1 = commandAction(config, QStringLiteral("Zone1"), QStringLiteral("Zone"));
    Tackepristupa1 = commandAction(config, QStringLiteral("Tackepristupa1"), QStringLiteral("Tačke pristupa"));
    config->addSeparator();
    Kontroleri1 = commandAction(config, QStringLiteral("Kontroleri1"), QStringLiteral("Kontroleri"));
    Vremenskiintervali1 = commandAction(config, QStringLiteral("Vremenskiintervali1"), QStringLiteral("Vremenski intervali"));
    Vremenskiintervali1->setEnabled(false);

    QMenu *activities = menuBar()->addMenu(QStringLiteral("Aktivnosti"));
    Aktivnost1 = commandAction(activities, QStringLiteral("Aktivnost1"), QStringLiteral("Dodaj osobu"));
    Aktivnost2 = commandAction(activities, QStringLiteral("Aktivnost2"), QStringLiteral("Izbriši osobu"));
    activities->addSeparator();
    Upisiukontrolere1 = commandAction(activities, QStringLiteral("Upisiukontrolere1"), QStringLiteral("Upiši u kontrolere"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("Pomoć"));
    Oprogramu1 = commandAction(help, QStringLiteral("Oprogramu1"), QStringLiteral("O programu"));

    m_masterMenu = new QMenu(this);
    m_masterMenu->setObjectName(QStringLiteral("pmMaster"));
    DodajOsobu1 = commandAction(m_masterMenu, QStringLiteral("DodajOsobu1"), QStringLiteral("Dodaj osobu"));
    DodajOsobu1->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    IzmeniOsobu1 = commandAction(m_masterMenu, QStringLiteral("IzmeniOsobu1"), QStringLiteral("Izmeni osobu"));
    IzmeniOsobu1->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    IzbrisiOsobu1 = commandAction(m_masterMenu, QStringLiteral("IzbrisiOsobu1"), QStringLiteral("Izbriši osobu"));
    IzbrisiOsobu1->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    m_masterMenu->addSeparator();
    DodeliGrupama1 = commandAction(m_masterMenu, QStringLiteral("DodeliGrupama1"), QStringLiteral("Dodeli grupama"));
    DodeliGrupama1->setIcon(RowIcons::icon(GroupIcon));
    DodeliZonama1 = commandAction(m_masterMenu, QStringLiteral("DodeliZonama1"), QStringLiteral("Dodeli zonama"));
    DodeliZonama1->setIcon(RowIcons::icon(ZoneIcon));
}

QAction *TfrmDorvalen::commandAction(QMenu *menu, const QString &name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    m_commandNames.append(name);
    return action;
}

QPushButton *TfrmDorvalen::commandButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    m_commandNames.append(name);
    return button;
}

QToolButton *TfrmDorvalen::commandToolButton(QWidget *parent, const QString &name, const QString &hint,
                                             QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    m_commandNames.append(name);
    return button;
}

QWidget *TfrmDorvalen::buildTopStrip()
{
    auto *strip = new QWidget(this);
    strip->setFixedHeight(kStripHeight);
    auto *stack = new QHBoxLayout(strip);
    stack->setContentsMargins(0, 0, 0, 0);

    m_plainStrip = new QWidget(strip);
    m_plainStrip->setObjectName(QStringLiteral("pnlTop"));
    stack->addWidget(m_plainStrip);

    m_debugToolbar = new QWidget(strip);
    m_debugToolbar->setObjectName(QStringLiteral("tbDebug"));
    auto *bar = new QHBoxLayout(m_debugToolbar);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(new QLabel(QStringLiteral(" Kontroleri -->"), m_debugToolbar));
    btnStatus = commandToolButton(m_debugToolbar, QStringLiteral("btnStatus"), QStringLiteral("Status kontrolera"),
                           QStyle::SP_MessageBoxInformation);
    btnRead = commandToolButton(m_debugToolbar, QStringLiteral("btnRead"), QStringLiteral("Čitanje/pisanje u kontrolere"),
                         QStyle::SP_DriveHDIcon);
    bar->addWidget(btnStatus);
    bar->addWidget(btnRead);
    m2 = new QPlainTextEdit(m_debugToolbar);
    m2->setObjectName(QStringLiteral("m2"));
    m2->setReadOnly(true);
    m2->setToolTip(QStringLiteral("Komunikacija sa terminalima"));
    m2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m2->setMaximumBlockCount(5000);
    bar->addWidget(m2);
    btnStop = commandToolButton(m_debugToolbar, QStringLiteral("btnStop"), QStringLiteral("Prekid citanja/pisanja "),
                         QStyle::SP_BrowserStop);
    btnStop->hide();

    bar->addWidget(btnStop);
    bar->addStretch();
    stack->addWidget(m_debugToolbar);
    return strip;
}

QWidget *TfrmDorvalen::buildPersonPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlPerson"));
    auto *layout = new QVBoxLayout(panel);

    m_photo = new QLabel(panel);
    m_photo->setObjectName(QStringLiteral("imgPhoto"));
    m_photo->setFixedSize(120, 150);
    m_photo->setFrameShape(QFrame::StyledPanel);
    m_photo->setAlignment(Qt::AlignCenter);
    auto *top = new QHBoxLayout;
    top->addWidget(m_photo);
    auto *form = new QFormLayout;
    const QString names[5] = {QStringLiteral("edtID"), QStringLiteral("edtPrezime"), QStringLiteral("edtIme"),
                              QStringLiteral("edtSektor"), QStringLiteral("edtPinKod")};
    const QString labels[5] = {QStringLiteral("ID"), QStringLiteral("Prezime"), QStringLiteral("Ime"),
                               QStringLiteral("Sektor"), QStringLiteral("PIN kod")};
    for (int i = 0; i < 5; ++i) {
        m_personFields[i] = new QLineEdit(panel);
        m_personFields[i]->setObjectName(names[i]);
        m_personFields[i]->setReadOnly(true);
        form->addRow(labels[i], m_personFields[i]);
    }
    top->addLayout(form, 1);
    layout->addLayout(top);

    auto *personButtons = new QHBoxLayout;
    btnAddPerson = commandButton(panel, QStringLiteral("btnAddPerson"), QStringLiteral("Dodaj"));
    btnEditPerson = commandButton(panel, QStringLiteral("btnEditPerson"), QStringLiteral("Izmeni"));
    btnDeletePerson = commandButton(panel, QStringLiteral("btnDeletePerson"), QStringLiteral("Izbriši"));
    for (QPushButton *b : {btnAddPerson, btnEditPerson, btnDeletePerson})
        personButtons->addWidget(b);
    layout->addLayout(personButtons);

    auto *caption = new QLabel(QStringLiteral("Dodeljeni mediji"), panel);
    caption->setObjectName(QStringLiteral("lblMedia"));
    layout->addWidget(caption);
    m_media = new DataGrid(false, panel);
    m_media->setObjectName(QStringLiteral("gridMedia"));
    layout->addWidget(m_media, 1);
    auto *mediaButtons = new QHBoxLayout;
    btnAddMedia = commandButton(panel, QStringLiteral("btnAddMedia"), QStringLiteral("Dodaj"));
    btnDeleteMedia = commandButton(panel, QStringLiteral("btnDeleteMedia"), QStringLiteral("Izbriši"));
    mediaButtons->addWidget(btnAddMedia);
    mediaButtons->addWidget(btnDeleteMedia);
    mediaButtons->addStretch();
    layout->addLayout(mediaButtons);
    return panel;
}

QWidget *TfrmDorvalen::buildDetailPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlDetails"));
    auto *layout = new QVBoxLayout(panel);
    m_detail = new DataGrid(true, panel);
    m_detail->setObjectName(QStringLiteral("gridDetails"));
    m_detail->setIconChooser([this](int row) {
        QString blank;
        if (NamedQuery *q = detailQuery(); q && q->isActive()) {
            const int field = q->fieldIndex(QStringLiteral(" "));
            if (field >= 0 && row < q->rowCount())
                blank = q->cell(row, field).toString();
        }
        return detailIcon(currentDetailTab(), blank);
    });
    layout->addWidget(m_detail, 1);
    auto *buttons = new QHBoxLayout;
    btnAssign = commandButton(panel, QStringLiteral("btnAssign"), QStringLiteral("Dodeli"));
    btnUnassign = commandButton(panel, QStringLiteral("btnUnassign"), QStringLiteral("Ukini dodelu"));
    btnChangeAccess = commandButton(panel, QStringLiteral("btnChangeAccess"), QStringLiteral("Izmeni pristup"));
    for (QPushButton *b : {btnAssign, btnUnassign, btnChangeAccess})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    return panel;
}
