#include "app/uDorvalen.h"

#include "app/DataGrid.h"
#include "app/MessageBoxes.h"
#include "app/RowIcons.h"
#include "app/SettingsStore.h"
#include "app/uGlobalVars.h"
#include "app/uKorisnickaSifra.h"
#include "app/uOProgramu.h"
#include "app/uOptions.h"
#include "app/uStatus.h"
#include "app/uPassword.h"
#include "db/BuiltInDatabase.h"
#include "db/uDlgConnect.h"
#include "link/ControllersCatalogue.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace BrowserStates;

namespace {

constexpr int kStripHeight = 40;
constexpr int kRightPanelWidth = 337;
constexpr int kLogMargin = 303;

QToolButton *toolButton(QWidget *parent, const QString &name, const QString &hint, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    return button;
}

QPushButton *pushButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

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

    connect(Database1, &QAction::triggered, this, &TfrmDorvalen::Database1Click);
    connect(Opcije1, &QAction::triggered, this, &TfrmDorvalen::Opcije1Click);
    connect(Izmenalozinke1, &QAction::triggered, this, [this] { frmKorisnickaSifra->exec(); });
    connect(Oprogramu1, &QAction::triggered, this, [this] { frmOProgramu->exec(); });
    connect(btnStop, &QToolButton::clicked, this, [this] {
        if (m_link)
            m_link->StopCommand();
    });
    connect(Upisiukontrolere1, &QAction::triggered, this, &TfrmDorvalen::Upisiukontrolere1Click);
    connect(btnStatus, &QToolButton::clicked, this, &TfrmDorvalen::btnStatusClick);
    connect(btnRead, &QToolButton::clicked, this, &TfrmDorvalen::btnReadClick);
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

void TfrmDorvalen::buildMenus()
{
    auto item = [this](QMenu *menu, const QString &name, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        return action;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("Fajl"));
    Database1 = item(file, QStringLiteral("Database1"), QStringLiteral("Baza podataka"));
    Opcije1 = item(file, QStringLiteral("Opcije1"), QStringLiteral("Opcije"));
    Izmenalozinke1 = item(file, QStringLiteral("Izmenalozinke1"), QStringLiteral("Izmena lozinke"));
    file->addSeparator();
    Krajprograma1 = item(file, QStringLiteral("Krajprograma1"), QStringLiteral("Kraj programa"));
    connect(Krajprograma1, &QAction::triggered, this, &QWidget::close);

    QMenu *config = menuBar()->addMenu(QStringLiteral("Konfiguracija"));
    Sektori1 = item(config, QStringLiteral("Sektori1"), QStringLiteral("Sektori"));
    Grupe1 = item(config, QStringLiteral("Grupe1"), QStringLiteral("Grupe"));
    Zone1 = item(config, QStringLiteral("Zone1"), QStringLiteral("Zone"));
    Tackepristupa1 = item(config, QStringLiteral("Tackepristupa1"), QStringLiteral("Tačke pristupa"));
    config->addSeparator();
    Kontroleri1 = item(config, QStringLiteral("Kontroleri1"), QStringLiteral("Kontroleri"));
    Vremenskiintervali1 = item(config, QStringLiteral("Vremenskiintervali1"), QStringLiteral("Vremenski intervali"));
    Vremenskiintervali1->setEnabled(false);

    QMenu *activities = menuBar()->addMenu(QStringLiteral("Aktivnosti"));
    Aktivnost1 = item(activities, QStringLiteral("Aktivnost1"), QStringLiteral("Dodaj osobu"));
    Aktivnost2 = item(activities, QStringLiteral("Aktivnost2"), QStringLiteral("Izbriši osobu"));
    activities->addSeparator();
    Upisiukontrolere1 = item(activities, QStringLiteral("Upisiukontrolere1"), QStringLiteral("Upiši u kontrolere"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("Pomoć"));
    Oprogramu1 = item(help, QStringLiteral("Oprogramu1"), QStringLiteral("O programu"));

    m_masterMenu = new QMenu(this);
    m_masterMenu->setObjectName(QStringLiteral("pmMaster"));
    DodajOsobu1 = item(m_masterMenu, QStringLiteral("DodajOsobu1"), QStringLiteral("Dodaj osobu"));
    DodajOsobu1->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    IzmeniOsobu1 = item(m_masterMenu, QStringLiteral("IzmeniOsobu1"), QStringLiteral("Izmeni osobu"));
    IzmeniOsobu1->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    IzbrisiOsobu1 = item(m_masterMenu, QStringLiteral("IzbrisiOsobu1"), QStringLiteral("Izbriši osobu"));
    IzbrisiOsobu1->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    m_masterMenu->addSeparator();
    DodeliGrupama1 = item(m_masterMenu, QStringLiteral("DodeliGrupama1"), QStringLiteral("Dodeli grupama"));
    DodeliGrupama1->setIcon(RowIcons::icon(GroupIcon));
    DodeliZonama1 = item(m_masterMenu, QStringLiteral("DodeliZonama1"), QStringLiteral("Dodeli zonama"));
    DodeliZonama1->setIcon(RowIcons::icon(ZoneIcon));
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
    btnStatus = toolButton(m_debugToolbar, QStringLiteral("btnStatus"), QStringLiteral("Status kontrolera"),
                           QStyle::SP_MessageBoxInformation);
    btnRead = toolButton(m_debugToolbar, QStringLiteral("btnRead"), QStringLiteral("Čitanje/pisanje u kontrolere"),
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
    btnStop = toolButton(m_debugToolbar, QStringLiteral("btnStop"), QStringLiteral("Prekid citanja/pisanja "),
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
    btnAddPerson = pushButton(panel, QStringLiteral("btnAddPerson"), QStringLiteral("Dodaj"));
    btnEditPerson = pushButton(panel, QStringLiteral("btnEditPerson"), QStringLiteral("Izmeni"));
    btnDeletePerson = pushButton(panel, QStringLiteral("btnDeletePerson"), QStringLiteral("Izbriši"));
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
    btnAddMedia = pushButton(panel, QStringLiteral("btnAddMedia"), QStringLiteral("Dodaj"));
    btnDeleteMedia = pushButton(panel, QStringLiteral("btnDeleteMedia"), QStringLiteral("Izbriši"));
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
    btnAssign = pushButton(panel, QStringLiteral("btnAssign"), QStringLiteral("Dodeli"));
    btnUnassign = pushButton(panel, QStringLiteral("btnUnassign"), QStringLiteral("Ukini dodelu"));
    btnChangeAccess = pushButton(panel, QStringLiteral("btnChangeAccess"), QStringLiteral("Izmeni pristup"));
    for (QPushButton *b : {btnAssign, btnUnassign, btnChangeAccess})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    return panel;
}

QString TfrmDorvalen::currentDetailTab() const
{
    return tabDetails->currentIndex() < 0 ? QString() : tabDetails->tabText(tabDetails->currentIndex());
}

NamedQuery *TfrmDorvalen::masterQuery() const
{
    return dmMain->query(master(m_view).query);
}

NamedQuery *TfrmDorvalen::detailQuery() const
{
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    return setup.query.isEmpty() ? nullptr : dmMain->query(setup.query);
}

NamedQueryModel *TfrmDorvalen::modelOf(NamedQuery *query)
{
    NamedQueryModel *&model = m_models[query];
    if (!model) {
        model = new NamedQueryModel(query, this);
        connect(model, &NamedQueryModel::failed, this, [this](const QString &text) { MessageBoxes::error(this, text); });
    }
    return model;
}

bool TfrmDorvalen::guarded(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
        return false;
    }
}

void TfrmDorvalen::SetColumns(DataGrid *grid, NamedQuery *query, const QStringList &fields)
{
    QList<NamedQueryModel::Column> columns;
    for (const QString &f : fields)
        columns.append({f, f});
    NamedQueryModel *model = modelOf(query);
    model->setColumns(columns);
    grid->bind(model);
    for (int c = 0; c < fields.size(); ++c)
        grid->setColumnHidden(c, false);
    // The icon column is as wide as its picture (and the row number), the rest share.
    if (!fields.isEmpty() && fields.first() == QLatin1String(" ")) {
        grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
        grid->setColumnWidth(0, grid->rowNumbers() ? 60 : 22);
    }
}

void TfrmDorvalen::SelectFirstDetailRow()
{
    NamedQuery *q = detailQuery();
    if (q && q->isActive() && !q->isEmpty())
        guarded([q] { q->first(); });
}

void TfrmDorvalen::bindDetail(const DetailSetup &setup, bool open)
{
    NamedQuery *q = dmMain->query(setup.query);
    NamedQuery *m = masterQuery();
    guarded([&] {
        q->close();
        m_detail->bind(modelOf(q));
        const QVariant id = m->isActive() && !m->isEmpty() ? m->value(QStringLiteral("ID")) : QVariant();
        for (const QString &p : setup.parameters)
            q->setParameter(p, id);
        SetColumns(m_detail, q, setup.columns);
        if (open)
            q->open();
    });
    if (open)
        SelectFirstDetailRow();
}

void TfrmDorvalen::updateChangeAccess()
{
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    btnChangeAccess->setVisible(setup.changeAccess);
    NamedQuery *q = detailQuery();
    btnChangeAccess->setEnabled(setup.changeAccess && q && q->isActive() && !q->isEmpty());
}

void TfrmDorvalen::setActivityCaptions(const DetailSetup &setup)
{
    Aktivnost1->setText(setup.assignCaption);
    Aktivnost2->setText(setup.unassignCaption);
}

void TfrmDorvalen::applyDetailTab(const DetailSetup &setup)
{
    m_rightPanel->setCurrentWidget(setup.personPanel ? m_personPanel : m_detailPanel);
    if (setup.personPanel)
        dmMain->qPersonsZones->close();
    else
        bindDetail(setup, true);
    updateChangeAccess();
    setActivityCaptions(setup);
}

void TfrmDorvalen::tabMainChange(int index)
{
    if (index < 0 || index >= masters().size())
        return;
    m_changingView = true;
    m_view = masters().at(index).view;
    const MasterSetup &setup = master(m_view);

    // Filling the detail tabs must not run the detail handler half-way.
    {
        const QSignalBlocker block(tabDetails);
        while (tabDetails->count() > 0)
            tabDetails->removeTab(0);
        for (const DetailSetup &d : detailsOf(m_view))
            tabDetails->addTab(d.tab);
        tabDetails->setCurrentIndex(0);
    }

    NamedQuery *q = masterQuery();
    m_master->setCellSelection(false);
    m_master->setRowNumbers(m_view == View::Persons);
    guarded([&] {
        q->close();
        m_master->bind(modelOf(q));
        SetColumns(m_master, q, setup.columns);
        q->open();
    });
    applyDetailTab(detail(m_view, currentDetailTab()));
    if (q->isActive() && !q->isEmpty())
        guarded([q] { q->first(); });
    m_changingView = false;
}

void TfrmDorvalen::tabDetailsChange(int index)
{
    if (index < 0)
        return;
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    if (m_view == View::Zones) {
        setActivityCaptions(setup);
        return;
    }
    applyDetailTab(setup);
}

void TfrmDorvalen::masterFocusChanged()
{
    if (m_changingView)
        return;
    m_master->setCellSelection(false);
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    if (setup.query.isEmpty())
        return; // the person panel and the media IDs follow the person by themselves
    bindDetail(setup, true);
    updateChangeAccess();
}

int TfrmDorvalen::focusedMasterIndex() const
{
    NamedQuery *q = masterQuery();
    return q->isActive() ? q->currentRow() : -1;
}

void TfrmDorvalen::restoreMasterFocus(int index)
{
    NamedQuery *q = masterQuery();
    if (q->isActive() && !q->isEmpty() && index >= 0)
        guarded([&] { q->moveTo(std::min(index, q->rowCount() - 1)); });
    const DetailSetup &setup = detail(m_view, currentDetailTab());
    if (!setup.query.isEmpty()) {
        bindDetail(setup, true);
        updateChangeAccess();
    }
}

void TfrmDorvalen::rereadMaster(NamedQuery *query)
{
    if (!query->isActive())
        return;
    const int index = query == masterQuery() ? focusedMasterIndex() : -1;
    if (!guarded([query] { query->requery(); }))
        return;
    if (query == masterQuery())
        restoreMasterFocus(index);
}

void TfrmDorvalen::showFocusedPerson()
{
    NamedQuery *q = dmMain->qPersons;
    const bool has = q->isActive() && !q->isEmpty() && q->currentRow() >= 0;
    const QString fields[5] = {QStringLiteral("ID"), QStringLiteral("Prezime"), QStringLiteral("Ime"),
                               QStringLiteral("Sektor"), QStringLiteral("PinKod")};
    QPixmap photo;
    guarded([&] {
        for (int i = 0; i < 5; ++i)
            m_personFields[i]->setText(has ? q->asString(fields[i]) : QString());
        if (has)
            photo.loadFromData(q->asBytes(QStringLiteral("Fotografija")));
    });
    m_photo->setPixmap(photo.isNull() ? QPixmap()
                                      : photo.scaled(m_photo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TfrmDorvalen::showMasterContextMenu(const QPoint &pos)
{
    if (m_view != View::Persons)
        return;
    m_masterMenu->popup(m_master->viewport()->mapToGlobal(pos));
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

bool TfrmDorvalen::loginGate()
{
    for (;;) {
        if (frmPassword->exec() != QDialog::Accepted)
            return false;
        if (frmPassword->Accepted())
            return true;
    }
}

QString TfrmDorvalen::storedConnectionString()
{
    SettingsStore store(registry());
    store.openKey(QStringLiteral("DataBase"), true);
    const QString stored = store.readString(QStringLiteral("ConnectionString")).value_or(QString());
    store.closeKey();
    return stored;
}

QString TfrmDorvalen::askConnectionString()
{
    if (frmDlgConnect->exec() != QDialog::Accepted)
        return QString();
    frmDlgConnect->SaveConnectionString();
    return globals().ConnectionString;
}

void TfrmDorvalen::Database1Click()
{
    if (frmDlgConnect->exec() != QDialog::Accepted)
        return;
    if (!frmDlgConnect->SaveConnectionString())
        return;
    // Closing a connection closes its queries; then all three open on the new string.
    for (DataModule *dm : std::initializer_list<DataModule *>{dmProperties, dmMain, dmGZ})
        dm->connMain->close();
    const bool opened = guarded([this] {
        for (DataModule *dm : std::initializer_list<DataModule *>{dmMain, dmProperties, dmGZ}) {
            dm->connMain->setConnectionString(globals().ConnectionString);
            dm->connMain->open();
        }
    });
    if (opened)
        reopenLists();
}

void TfrmDorvalen::reopenLists()
{
    // The current view is shown again from its start, on the new connection.
    tabMainChange(tabMain->currentIndex());
    guarded([this] {
        dmMain->qViewMediaIDHist->open();
        dmProperties->qTimeIntervals->open();
    });
}

void TfrmDorvalen::loadDeviceTable()
{
    SettingsStore store(registry());
    const RegistryLoadResult result = LoadDevicesFromRegistry(globals().Devices, store);
    if (!result.error.isEmpty())
        MessageBoxes::error(this, result.error);
    if (!result.warning.isEmpty())
        MessageBoxes::warning(this, result.warning);
}

void TfrmDorvalen::TransferFromDB2Registry()
{
    if (!dmGZ->connMain->isOpen())
        return;
    SettingsStore store(registry());
    const CatalogueTransferResult result = ::TransferFromDB2Registry(globals().Devices, *dmGZ->qControllers, store);
    if (!result.error.isEmpty())
        MessageBoxes::error(this, result.error);
    if (!result.warning.isEmpty())
        MessageBoxes::warning(this, result.warning);
}

void TfrmDorvalen::btnStatusClick()
{
    ControllersConfigured(*dmGZ->qControllers, [this](const QString &text) { MessageBoxes::error(this, text); });
}

void TfrmDorvalen::btnReadClick()
{
    ControllersConfigured(*dmGZ->qControllers, [this](const QString &text) { MessageBoxes::error(this, text); });
}

void TfrmDorvalen::Upisiukontrolere1Click()
{
    ConfirmWriteToAllControllers(
        *dmGZ->qControllers, [this](const QString &text) { MessageBoxes::error(this, text); },
        [this](const QString &text) { return MessageBoxes::question(this, text); });
}

void TfrmDorvalen::openConnections(const QString &connectionString)
{
    QString cs = connectionString;
    if (cs.isEmpty()) {
        MessageBoxes::warning(this, QStringLiteral("Ne postoji konekcija sa bazom podataka."));
        // The built-in settings: the embedded database, made when missing.
        try {
            cs = BuiltInDatabase::connectionString();
        } catch (const DbError &) {
            cs.clear();
        }
    }
    for (DataModule *dm : std::initializer_list<DataModule *>{dmMain, dmProperties, dmGZ})
        dm->connMain->setConnectionString(cs);
    try {
        for (DataModule *dm : std::initializer_list<DataModule *>{dmMain, dmProperties, dmGZ})
            dm->connMain->open();
    } catch (const DbError &) {
        MessageBoxes::warning(this, QStringLiteral("Nije uspostavljena konekcija sa bazom podataka."));
    }
}

void TfrmDorvalen::startCommandLink()
{
    m_link = std::make_unique<CommandLink>(m_ports);
    globals().Link = m_link.get();
    connect(m_link.get(), &CommandLink::logLine, this, &TfrmDorvalen::log);
    connect(m_link.get(), &CommandLink::commErrorMessage, this,
            [this](const QString &text) { MessageBoxes::error(this, text); });
    if (!m_link->Listen())
        log(QStringLiteral("Port %1 za odgovore Link71 servera nije moguće otvoriti.").arg(m_ports.listener));
}

void TfrmDorvalen::readLinkSettings()
{
    TGlobalVars &g = globals();
    g.SleepTime = 1000;
    g.DebugCtrls = false;
    SettingsStore store(registry());
    if (store.openKey(QString(), false)) {
        // Reading stops at the first value that is missing or of another type.
        if (const std::optional<int> sleep = store.readInteger(QStringLiteral("SleepTime"))) {
            g.SleepTime = *sleep;
            if (const std::optional<bool> debug = store.readBool(QStringLiteral("DebugCtrls")))
                g.DebugCtrls = *debug;
        }
        store.closeKey();
    }
    m_link->SetSleepTime(g.SleepTime);
}

void TfrmDorvalen::FormShow()
{
    if (!m_firstShow)
        return;
    m_firstShow = false;
    // A cancelled login ends the program; nothing after it would be of use.
    if (!loginGate()) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    TGlobalVars &g = globals();
    g.ConnectionString = storedConnectionString();
    if (g.ConnectionString.isEmpty())
        g.ConnectionString = askConnectionString();
    openConnections(g.ConnectionString);
    startCommandLink();
    readLinkSettings();
    showDebugControls(g.DebugCtrls);
    loadDeviceTable();
    openLists();
    TransferFromDB2Registry();
}

void TfrmDorvalen::Opcije1Click()
{
    frmOptions->exec();
    showDebugControls(globals().DebugCtrls);
}

void TfrmDorvalen::openLists()
{
    {
        const QSignalBlocker block(tabDetails);
        while (tabDetails->count() > 0)
            tabDetails->removeTab(0);
        for (const DetailSetup &d : detailsOf(View::Persons))
            tabDetails->addTab(d.tab);
        tabDetails->setCurrentIndex(0);
    }
    tabDetailsChange(0);
    SetColumns(m_master, dmMain->qPersons, master(View::Persons).columns);
    if (dmMain->connMain->isOpen()) {
        guarded([this] {
            dmMain->qPersons->open();
            dmMain->qViewMediaIDHist->open();
        });
    }
    SetColumns(m_detail, dmMain->qPersonsGroups, detail(View::Persons, QStringLiteral("Grupe")).columns);
    SetColumns(m_media, dmMain->qViewMediaIDHist,
               {QStringLiteral("IDNo"), QStringLiteral("VaziOd"), QStringLiteral("VaziDo")});
    modelOf(dmMain->qViewMediaIDHist)
        ->setColumns({{QStringLiteral("IDNo"), QStringLiteral("IDNo")},
                      {QStringLiteral("VaziOd"), QStringLiteral("Važi od")},
                      {QStringLiteral("VaziDo"), QStringLiteral("Važi do")}});
    for (const QString &field : {QStringLiteral("VaziOd"), QStringLiteral("VaziDo")})
        dmMain->qViewMediaIDHist->setDisplayFormat(field, QStringLiteral("dd/MM/yy hh:mm"));
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
