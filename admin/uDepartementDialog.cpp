#include "admin/uDepartementDialog.h"

#include "admin/DepartmentComboBox.h"
#include "admin/DepartmentTree.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/SqlText.h"
#include "db/uDMGZ.h"
#include "link/uGlobalVars.h"
#include "widgets/MessageBoxes.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

using SqlText::escaped;

TfrmDepartementDialog::TfrmDepartementDialog(TdmGZ &dmGZ, const QString &objectName, const QString &caption,
                                             const QString &okText, QWidget *parent)
    : FixedDialog(objectName, caption, parent),
      m_dmGZ(dmGZ),
      qLookup(*dmGZ.qDepartementsZaLookup),
      m_transaction(*dmGZ.connMain),
      edtIDSektora(new QLineEdit(this)),
      edtNazivSektora(new QLineEdit(this)),
      cbbNadredjeni(new DepartmentComboBox(this))
{
    edtIDSektora->setObjectName(QStringLiteral("edtIDSektora"));
    edtIDSektora->setMaxLength(10);
    edtNazivSektora->setObjectName(QStringLiteral("edtNazivSektora"));
    edtNazivSektora->setMaxLength(50);
    cbbNadredjeni->setObjectName(QStringLiteral("cbbNadredjeni"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("ID Sektora"), edtIDSektora);
    form->addRow(QStringLiteral("Naziv sektora"), edtNazivSektora);
    form->addRow(QStringLiteral("Nadređeni sektor"), cbbNadredjeni);
    body()->addLayout(form);
    QPushButton *ok = addOkCancel();
    ok->setText(okText);
    connect(ok, &QPushButton::clicked, this, &TfrmDepartementDialog::btnOKClick);
}

void TfrmDepartementDialog::opened()
{
    try {
        qLookup.open();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
    cbbNadredjeni->fill(qLookup);
    const Values start = startValues();
    edtIDSektora->setText(start.id);
    edtNazivSektora->setText(start.name);
    cbbNadredjeni->setDepartmentID(start.parentId);
    edtIDSektora->setFocus();
    if (!m_transaction.begin(this))
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void TfrmDepartementDialog::rereadLookup()
{
    try {
        qLookup.requery();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
    cbbNadredjeni->fill(qLookup);
}

bool TfrmDepartementDialog::parentWouldLoop(const Values &values) const
{
    DepartmentTree tree;
    const int idField = qLookup.fieldIndex(QStringLiteral("IDSektora"));
    const int parentField = qLookup.fieldIndex(QStringLiteral("Nadredjeni"));
    for (int row = 0; qLookup.isActive() && row < qLookup.rowCount(); ++row)
        tree.add(qLookup.cell(row, idField).toString(), qLookup.cell(row, parentField).toString());
    return tree.wouldLoop(values.parentId, {storedID(), values.id});
}

int TfrmDepartementDialog::run(const QString &sql)
{
    NamedQuery &qAction = *m_dmGZ.qAction;
    qAction.setText(sql);
    return qAction.execute();
}

void TfrmDepartementDialog::btnOKClick()
{
    const Values values{edtIDSektora->text(), edtNazivSektora->text(), cbbNadredjeni->departmentID()};
    if (values.id.isEmpty() || values.name.isEmpty()) {
        MessageBoxes::warning(this, QStringLiteral("\"ID sektora\" i \"Naziv sektora\" moraju biti popunjeni."));
        return;
    }
    if (!values.parentId.isEmpty() && parentWouldLoop(values)) {
        MessageBoxes::warning(this, QStringLiteral("\"Nadređeni sektor\" ne može biti sam sektor niti neki od "
                                                   "njegovih podređenih sektora."));
        return;
    }
    try {
        write(values);
        m_transaction.commit();
    } catch (const DbError &) {
        MessageBoxes::error(this, failureText());
        const bool began = m_transaction.restart(this);
        rereadLookup();
        if (!began)
            QDialog::reject();
        return;
    }
    saved(values);
    rereadLookup();
    accept();
}

void TfrmDepartementDialog::reject()
{
    m_transaction.rollback();
    QDialog::reject();
}

TfrmNewDepartement::TfrmNewDepartement(TdmGZ &dmGZ, QWidget *parent)
    : TfrmDepartementDialog(dmGZ, QStringLiteral("frmNewDepartement"), QStringLiteral("Novi sektor"),
                            QStringLiteral("Dodaj"), parent)
{
}

void TfrmNewDepartement::write(const Values &values)
{
    // The parent is the chosen department's ID itself: a parent looked up by name could
    // match several departments, or none and so insert nothing.
    if (values.parentId.isEmpty())
        run(QStringLiteral("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ( '") + escaped(values.id)
            + QStringLiteral("', '") + escaped(values.name) + QStringLiteral("' )"));
    else
        run(QStringLiteral("INSERT INTO Sektor (IDSektora, NazivSektora, Nadredjeni) VALUES ( '") + escaped(values.id)
            + QStringLiteral("', '") + escaped(values.name) + QStringLiteral("', '") + escaped(values.parentId)
            + QStringLiteral("' )"));
}

QString TfrmNewDepartement::failureText() const
{
    return QStringLiteral("Greška u transakciji. Sektor nije dodat.");
}

TfrmEditDepartement::TfrmEditDepartement(TdmGZ &dmGZ, QWidget *parent)
    : TfrmDepartementDialog(dmGZ, QStringLiteral("frmEditDepartement"), QStringLiteral("Izmena podataka o sektoru"),
                            QStringLiteral("U redu"), parent)
{
}

void TfrmEditDepartement::setDepartement(const QString &id, const QString &name, const QString &parentId)
{
    m_shown = {id, name, parentId};
}

void TfrmEditDepartement::opened()
{
    m_oldID = m_shown.id;
    TfrmDepartementDialog::opened();
}

void TfrmEditDepartement::write(const Values &values)
{
    // Without a parent, Nadredjeni becomes the empty text.
    const int changed = run(QStringLiteral("UPDATE Sektor set IDSektora = '") + escaped(values.id)
                            + QStringLiteral("', NazivSektora = '") + escaped(values.name)
                            + QStringLiteral("',  Nadredjeni = '") + escaped(values.parentId)
                            + QStringLiteral("' where IDSektora = '") + escaped(m_oldID) + QStringLiteral("'"));
    // Another workstation may have deleted or renamed it meanwhile.
    if (changed == 0)
        throw DbError(QStringLiteral("The department %1 is no longer stored.").arg(m_oldID));
    if (values.id == m_oldID)
        return;
    // The department's persons and sub-departments follow it to its new ID.
    run(QStringLiteral("UPDATE Zaposleni SET IDSektora = '") + escaped(values.id)
        + QStringLiteral("' WHERE IDSektora = '") + escaped(m_oldID) + QStringLiteral("'"));
    run(QStringLiteral("UPDATE Sektor SET Nadredjeni = '") + escaped(values.id)
        + QStringLiteral("' WHERE Nadredjeni = '") + escaped(m_oldID) + QStringLiteral("'"));
}

void TfrmEditDepartement::saved(const Values &values)
{
    QString &last = globals().LastDepartment;
    if (!last.isEmpty() && last.compare(m_oldID, Qt::CaseInsensitive) == 0)
        last = values.id;
}

QString TfrmEditDepartement::failureText() const
{
    return QStringLiteral("Greška u transakciji. Sektor nije izmenjen.");
}
