#include "controllers/uControllers.h"

#include "controllers/ControllerDialogs.h"
#include "controllers/ControllerRecords.h"
#include "controllers/QueryRows.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

const QString DeleteQuestionText = QStringLiteral("Jeste li sigurni da želite da izbrišete odabrani kontroler?");
const QString DeleteErrorText = QStringLiteral("Greška u unosu, podaci nisu izbrisani.");
const QString LinkErrorText = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");
const QString IDKontrolera = QStringLiteral("IDKontrolera");
const QString IDKontakta = QStringLiteral("IDKontakta");

QPushButton *button(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    return b;
}

QVBoxLayout *buttonColumn(std::initializer_list<QPushButton *> buttons)
{
    auto *column = new QVBoxLayout;
    for (QPushButton *b : buttons)
        column->addWidget(b);
    column->addStretch();
    return column;
}

} // namespace

TfrmControllers::TfrmControllers(TdmGZ &gz, ControllerDialogs &dialogs, QWidget *parent)
    : QDialog(parent), gridControllers(new DataGrid(false, this)), gridContacts(new DataGrid(false, this)),
      m_gz(gz), m_dialogs(dialogs), frmLink(new TfrmLinkTouchContact_AccessPoint(gz, this)),
      m_controllersModel(new NamedQueryModel(gz.qControllers, this)),
      m_contactsModel(new NamedQueryModel(gz.viewDorvKontroleri_tackePristupa, this)), lblCount(new QLabel(this))
{
    setObjectName(QStringLiteral("frmControllers"));
    setWindowTitle(QStringLiteral("Kontroleri i registraciona mesta"));
    setModal(true);

    gridControllers->setObjectName(QStringLiteral("gridControllers"));
    m_controllersModel->setColumns({{IDKontrolera, QStringLiteral("ID Kontrolera")},
                                    {QStringLiteral("Naziv"), QStringLiteral("Naziv")},
                                    {QStringLiteral("Tip"), QStringLiteral("Tip")},
                                    {QStringLiteral("Kompjuter"), QStringLiteral("Računar")},
                                    {QStringLiteral("ComPort"), QStringLiteral("COM port")}});
    gridControllers->bind(m_controllersModel);
    gridContacts->setObjectName(QStringLiteral("gridContacts"));
    m_contactsModel->setColumns({{QStringLiteral("RBTouchKontakta"), QStringLiteral("RB kontakta")},
                                 {QStringLiteral("IDTackePristupa"), QStringLiteral("ID tačke pristupa")},
                                 {QStringLiteral("Naziv"), QStringLiteral("Naziv")}});
    gridContacts->bind(m_contactsModel);
    // The footer: the number of controllers.
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setFrameShape(QFrame::StyledPanel);
    lblCount->setContentsMargins(6, 2, 6, 2);
    connect(gz.qControllers, &NamedQuery::reset, this, &TfrmControllers::showCount);
    for (NamedQueryModel *model : {m_controllersModel, m_contactsModel})
        connect(model, &NamedQueryModel::failed, this, &TfrmControllers::showReadError);
    connect(gz.viewDorvKontroleri_tackePristupa, &NamedQuery::failed, this, &TfrmControllers::showReadError);

    QPushButton *btnNew = button(QStringLiteral("btnNew"), QStringLiteral("Dodaj"), this);
    QPushButton *btnEdit = button(QStringLiteral("btnEdit"), QStringLiteral("Izmeni"), this);
    QPushButton *btnDelete = button(QStringLiteral("btnDelete"), QStringLiteral("Izbriši"), this);
    QPushButton *Button1 = button(QStringLiteral("Button1"), QStringLiteral("Poveži kontakt i tačku pristupa"), this);
    QPushButton *Button2 = button(QStringLiteral("Button2"), QStringLiteral("Poništi postojeću vezu"), this);
    QPushButton *btnOK = button(QStringLiteral("btnOK"), QStringLiteral("Zatvori"), this);
    connect(btnNew, &QPushButton::clicked, this, &TfrmControllers::btnNewClick);
    connect(btnEdit, &QPushButton::clicked, this, &TfrmControllers::btnEditClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmControllers::btnDeleteClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmControllers::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmControllers::Button2Click);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *catalogue = new QVBoxLayout;
    catalogue->setSpacing(0);
    catalogue->addWidget(gridControllers);
    catalogue->addWidget(lblCount);
    auto *upper = new QHBoxLayout;
    upper->addLayout(catalogue, 1);
    upper->addLayout(buttonColumn({btnNew, btnEdit, btnDelete}));

    auto *contacts = new QGroupBox(QStringLiteral("Touch kontakti kontrolera i dodeljene tačke pristupa"), this);
    contacts->setObjectName(QStringLiteral("grpContacts"));
    auto *lower = new QHBoxLayout(contacts);
    lower->addWidget(gridContacts, 1);
    Button1->setMinimumWidth(Button1->sizeHint().width());
    lower->addLayout(buttonColumn({Button1, Button2}));

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(upper, 3);
    layout->addWidget(contacts, 2);
    layout->addLayout(bottom);
    resize(760, 560);
    showCount();
}

void TfrmControllers::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        reopenControllers(focusedControllerId());
    QDialog::showEvent(event);
}

void TfrmControllers::changeEvent(QEvent *event)
{
    // Back from another window or program: show what is stored now.
    if (event->type() == QEvent::ActivationChange && isVisible() && isActiveWindow())
        reopenControllers(focusedControllerId());
    QDialog::changeEvent(event);
}

void TfrmControllers::done(int result)
{
    m_gz.viewDorvKontroleri_tackePristupa->close();
    m_gz.qControllers->close();
    QDialog::done(result);
}

QString TfrmControllers::focusedControllerId() const
{
    NamedQuery &q = *m_gz.qControllers;
    return q.isActive() && q.currentRow() >= 0 ? q.asString(IDKontrolera) : QString();
}

void TfrmControllers::reopenControllers(const QString &focusId)
{
    NamedQuery &controllers = *m_gz.qControllers;
    const std::optional<TouchContact> contact = focusedContact();
    reading([&] {
        m_gz.viewDorvKontroleri_tackePristupa->close();
        controllers.close();
        controllers.open();
        m_gz.viewDorvKontroleri_tackePristupa->open();
        const int row = rowWhere(controllers, IDKontrolera, focusId);
        if (row >= 0)
            controllers.moveTo(row);
        focusContact(contact ? contact->id : 0);
    });
}

void TfrmControllers::reopenContacts(int focusId)
{
    reading([&] {
        m_gz.viewDorvKontroleri_tackePristupa->close();
        m_gz.viewDorvKontroleri_tackePristupa->open();
        focusContact(focusId);
    });
}

void TfrmControllers::focusContact(int id)
{
    NamedQuery &contacts = *m_gz.viewDorvKontroleri_tackePristupa;
    const int row = rowWhere(contacts, IDKontakta, QString::number(id));
    if (row >= 0)
        contacts.moveTo(row);
}

void TfrmControllers::reading(const std::function<void()> &read)
{
    try {
        read();
        m_readFailed = false;
    } catch (const DbError &) {
        showReadError();
    }
}

void TfrmControllers::showCount()
{
    lblCount->setText(QString::number(m_controllersModel->rowCount()));
}

// Once per failure: the message box takes the activation away, and getting it back
// reads the lists again.
void TfrmControllers::showReadError()
{
    if (m_readFailed)
        return;
    m_readFailed = true;
    MessageBoxes::error(this, CatalogueReadErrorText);
}

void TfrmControllers::btnNewClick()
{
    const QString before = focusedControllerId();
    gridControllers->setUpdatesEnabled(false);
    const bool saved = m_dialogs.newController();
    gridControllers->setUpdatesEnabled(true);
    reopenControllers(saved ? m_dialogs.savedId() : before);
}

void TfrmControllers::btnEditClick()
{
    const QString before = focusedControllerId();
    gridControllers->setUpdatesEnabled(false);
    const bool saved = m_dialogs.editFocused();
    gridControllers->setUpdatesEnabled(true);
    reopenControllers(saved ? m_dialogs.savedId() : before);
}

void TfrmControllers::btnDeleteClick()
{
    NamedQuery &q = *m_gz.qControllers;
    if (!q.isActive() || q.isEmpty())
        return;
    if (!MessageBoxes::question(this, DeleteQuestionText, true))
        return;
    try {
        DeleteController(m_gz);
    } catch (const DbError &) {
        MessageBoxes::error(this, DeleteErrorText);
    }
    reopenControllers(focusedControllerId());
}

std::optional<TouchContact> TfrmControllers::focusedContact() const
{
    NamedQuery &q = *m_gz.viewDorvKontroleri_tackePristupa;
    if (!q.isActive() || q.currentRow() < 0)
        return std::nullopt;
    return TouchContact{q.asInteger(IDKontakta), q.asString(QStringLiteral("idkontrolera")),
                        q.asString(QStringLiteral("RBTouchKontakta")), q.asString(QStringLiteral("IDTackePristupa"))};
}

void TfrmControllers::Button1Click()
{
    const std::optional<TouchContact> contact = focusedContact();
    if (contact && frmLink->linkContact(*contact))
        reopenContacts(contact->id);
}

void TfrmControllers::Button2Click()
{
    const std::optional<TouchContact> contact = focusedContact();
    if (!contact)
        return;
    try {
        UnlinkContact(m_gz, contact->id);
    } catch (const DbError &) {
        MessageBoxes::error(this, LinkErrorText);
    }
    reopenContacts(contact->id);
}
