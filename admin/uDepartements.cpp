#include "admin/uDepartements.h"

#include "admin/uDepartementDialog.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "widgets/DataGrid.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

#include <QBoxLayout>
#include <QPushButton>

#include <algorithm>

TfrmDepartements::TfrmDepartements(MainBrowser &browser, QWidget *parent)
    : FixedDialog(QStringLiteral("frmDepartements"), QStringLiteral("Sektori"), parent),
      frmNewDepartement(new TfrmNewDepartement(browser.dataGZ(), this)),
      frmEditDepartement(new TfrmEditDepartement(browser.dataGZ(), this)),
      m_browser(browser),
      qDepartments(*browser.dataGZ().qDepartments),
      m_grid(new DataGrid(false, this))
{
    auto *model = new NamedQueryModel(&qDepartments, this);
    model->setColumns({{QStringLiteral("IDSektora"), QStringLiteral("ID Sektora")},
                       {QStringLiteral("NazivSektora"), QStringLiteral("Naziv Sektora")},
                       {QStringLiteral("NadredjeniS"), QStringLiteral("Nadređeni sektor")}});
    connect(model, &NamedQueryModel::failed, this, [this](const QString &text) { MessageBoxes::error(this, text); });
    m_grid->setObjectName(QStringLiteral("gridDepartements"));
    m_grid->bind(model);
    m_grid->setFixedSize(560, 340);
    body()->addWidget(m_grid);

    connect(addButton(QStringLiteral("btnAdd"), QStringLiteral("Dodaj")), &QPushButton::clicked, this,
            &TfrmDepartements::btnAddClick);
    connect(addButton(QStringLiteral("btnEdit"), QStringLiteral("Izmeni")), &QPushButton::clicked, this,
            &TfrmDepartements::btnEditClick);
    connect(addButton(QStringLiteral("btnDelete"), QStringLiteral("Izbriši")), &QPushButton::clicked, this,
            &TfrmDepartements::btnDeleteClick);
    QPushButton *close = addButton(QStringLiteral("btnClose"), QStringLiteral("Zatvori"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &TfrmDepartements::btnCloseClick);
}

void TfrmDepartements::opened()
{
    try {
        qDepartments.open();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
}

void TfrmDepartements::done(int result)
{
    qDepartments.close();
    FixedDialog::done(result);
}

QString TfrmDepartements::focused(const QString &field) const
{
    return qDepartments.isActive() && !qDepartments.isEmpty() ? qDepartments.asString(field) : QString();
}

void TfrmDepartements::rereadList()
{
    const int row = qDepartments.currentRow();
    try {
        qDepartments.requery();
        if (!qDepartments.isEmpty() && row >= 0)
            qDepartments.moveTo(std::min(row, qDepartments.rowCount() - 1));
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
}

void TfrmDepartements::btnAddClick()
{
    frmNewDepartement->exec();
    rereadList();
}

void TfrmDepartements::btnEditClick()
{
    // With no department listed there is nothing to edit.
    if (!qDepartments.isActive() || qDepartments.isEmpty())
        return;
    frmEditDepartement->setDepartement(focused(QStringLiteral("IDSektora")), focused(QStringLiteral("NazivSektora")),
                                       focused(QStringLiteral("Nadredjeni")));
    if (frmEditDepartement->exec() == QDialog::Accepted)
        rereadList();
}

void TfrmDepartements::btnDeleteClick()
{
    if (!MessageBoxes::question(this, QStringLiteral("Jeste li sigurni da želite da izbrišete odabrani sektor?"),
                                true))
        return;
    const QString id = focused(QStringLiteral("IDSektora"));
    NamedQuery &qAction = *m_browser.dataGZ().qAction;
    try {
        m_browser.dataGZ().connMain->transaction([&] {
            qAction.setText(QStringLiteral("delete from Sektor where IDSektora = '") + SqlText::escaped(id)
                            + QStringLiteral("'"));
            qAction.execute();
        });
    } catch (const DbError &) {
        MessageBoxes::error(this, QStringLiteral("Greška, podaci nisu izbrisani."));
    }
    rereadList();
}

void TfrmDepartements::btnCloseClick()
{
    m_chosen = focused(QStringLiteral("IDSektora"));
    if (!m_picker)
        m_browser.rereadMaster(m_browser.dataMain().qPersons);
    accept();
}
