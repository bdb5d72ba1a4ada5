#include "admin/uEmployeeDialog.h"

#include "admin/DepartmentComboBox.h"
#include "admin/PhotoBox.h"
#include "admin/uDepartements.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/PinCode.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "link/uGlobalVars.h"
#include "widgets/FileChooser.h"
#include "widgets/MessageBoxes.h"

#include <QBoxLayout>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kWrongPin = QStringLiteral("Pogrešno unet PIN kod");

QLineEdit *textBox(QWidget *parent, const QString &name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmEmployeeDialog::TfrmEmployeeDialog(TdmMain &dmMain, TdmGZ &dmGZ, TfrmDepartements &departements,
                                       const QString &objectName, const QString &caption,
                                       const QString &loadPhotoText, QWidget *parent)
    : FixedDialog(objectName, caption, parent),
      m_dmGZ(dmGZ),
      qPersons(*dmMain.qPersons),
      qLookup(*dmGZ.qDepartementsZaLookup),
      m_departements(departements),
      m_transaction(*dmMain.connMain),
      edtID(textBox(this, QStringLiteral("edtID"), 50)),
      edtPrezime(textBox(this, QStringLiteral("edtPrezime"), 50)),
      edtIme(textBox(this, QStringLiteral("edtIme"), 50)),
      cbbSektor(new DepartmentComboBox(this)),
      btnSektor(button(this, QStringLiteral("btnSektor"), QStringLiteral("..."))),
      imgFotografija(new PhotoBox(this)),
      btnLoadPhoto(button(this, QStringLiteral("btnLoadPhoto"), loadPhotoText)),
      btnRemovePhoto(button(this, QStringLiteral("btnRemovePhoto"), QStringLiteral("Ukloni"))),
      edtPinKod(textBox(this, QStringLiteral("edtPinKod"), 20))
{
    cbbSektor->setObjectName(QStringLiteral("cbbSektor"));
    imgFotografija->setObjectName(QStringLiteral("imgFotografija"));
    btnSektor->setFixedWidth(30);

    auto *department = new QHBoxLayout;
    department->addWidget(cbbSektor, 1);
    department->addWidget(btnSektor);
    auto *photoButtons = new QVBoxLayout;
    photoButtons->addWidget(btnLoadPhoto);
    photoButtons->addWidget(btnRemovePhoto);
    photoButtons->addStretch();
    auto *photo = new QHBoxLayout;
    photo->addWidget(imgFotografija);
    photo->addLayout(photoButtons);
    photo->addStretch();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("ID"), edtID);
    form->addRow(QStringLiteral("Prezime"), edtPrezime);
    form->addRow(QStringLiteral("Ime"), edtIme);
    form->addRow(QStringLiteral("Sektor"), department);
    form->addRow(QStringLiteral("Slika"), photo);
    form->addRow(QStringLiteral("Pin kod"), edtPinKod);
    body()->addLayout(form);

    connect(addOkCancel(), &QPushButton::clicked, this, &TfrmEmployeeDialog::btnOKClick);
    connect(btnSektor, &QPushButton::clicked, this, &TfrmEmployeeDialog::btnDepartementClick);
    connect(btnLoadPhoto, &QPushButton::clicked, this, &TfrmEmployeeDialog::btnLoadPhotoClick);
    connect(btnRemovePhoto, &QPushButton::clicked, this, &TfrmEmployeeDialog::btnRemovePhotoClick);
}

void TfrmEmployeeDialog::opened()
{
    // The row is read before the transaction begins: with an embedded database a read
    // inside it would hold back the department dialogs' writes until the person is saved.
    try {
        if (!qPersons.isActive())
            qPersons.open();
        if (!qLookup.isActive())
            qLookup.open();
        startRow();
        cbbSektor->fill(qLookup);
        showRow();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    m_photoChanged = false;
    edtID->setFocus();
    if (!m_transaction.begin(this))
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void TfrmEmployeeDialog::showRow()
{
    edtID->setText(qPersons.asString(QStringLiteral("ID")));
    edtPrezime->setText(qPersons.asString(QStringLiteral("Prezime")));
    edtIme->setText(qPersons.asString(QStringLiteral("Ime")));
    cbbSektor->setDepartmentID(qPersons.asString(QStringLiteral("IDSektora")));
    imgFotografija->setBytes(qPersons.asBytes(QStringLiteral("Fotografija")));
    edtPinKod->setText(qPersons.asString(QStringLiteral("PinKod")));
}

QString TfrmEmployeeDialog::chosenDepartmentID() const
{
    return cbbSektor->departmentID();
}

void TfrmEmployeeDialog::btnOKClick()
{
    const QString id = edtID->text();
    const QString pin = edtPinKod->text();
    if (id.isEmpty() || edtPrezime->text().isEmpty() || edtIme->text().isEmpty() || chosenDepartmentID().isEmpty()) {
        MessageBoxes::warning(this, QStringLiteral("Polja \"ID\", \"Prezime\", \"Ime\" i \"Sektor\" moraju biti "
                                                   "popunjena."));
        return;
    }
    if (SavePinCode(m_dmGZ, id, pin, false, false) != PinSaved) {
        MessageBoxes::error(this, kWrongPin);
        return;
    }
    if (!post(id, pin))
        return;
    if (!savePinAgain(id, pin)) {
        recover();
        return;
    }
    rereadPersons();
    accept();
}

bool TfrmEmployeeDialog::post(const QString &id, const QString &pin)
{
    try {
        qPersons.setValue(QStringLiteral("ID"), id);
        qPersons.setValue(QStringLiteral("Prezime"), edtPrezime->text());
        qPersons.setValue(QStringLiteral("Ime"), edtIme->text());
        qPersons.setValue(QStringLiteral("IDSektora"), chosenDepartmentID());
        qPersons.setValue(QStringLiteral("PinKod"), pin);
        if (m_photoChanged) {
            const QByteArray photo = imgFotografija->bytes();
            qPersons.setValue(QStringLiteral("Fotografija"),
                              photo.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(photo));
        }
        qPersons.post();
        m_transaction.commit();
        return true;
    } catch (const DbError &) {
        MessageBoxes::error(this, QStringLiteral("Greška u unosu, podaci nisu dodati u bazu."));
        recover();
        return false;
    }
}

void TfrmEmployeeDialog::recover()
{
    m_transaction.rollback();
    // A row that was posted but not committed, or saved but not finished, is no longer
    // being entered: put it back in insert or edit state for the next attempt.
    if (qPersons.state() != NamedQuery::Insert && qPersons.state() != NamedQuery::Edit) {
        try {
            resumeRow();
        } catch (const DbError &e) {
            MessageBoxes::error(this, e.text());
            QDialog::reject();
            return;
        }
    }
    if (!m_transaction.begin(this))
        reject();
}

void TfrmEmployeeDialog::reject()
{
    qPersons.cancel();
    m_transaction.rollback();
    QDialog::reject();
}

void TfrmEmployeeDialog::rereadPersons()
{
    try {
        qPersons.requery();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
}

void TfrmEmployeeDialog::btnDepartementClick()
{
    m_departements.setPicker(true);
    const bool chosen = m_departements.exec() == QDialog::Accepted;
    m_departements.setPicker(false);
    if (!chosen)
        return;
    try {
        qLookup.requery();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
    cbbSektor->fill(qLookup);
    cbbSektor->setDepartmentID(m_departements.chosenDepartmentID());
}

void TfrmEmployeeDialog::btnLoadPhotoClick()
{
    const QString fileName = FileChooser::openImageFile(this, QStringLiteral("Slika"));
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        MessageBoxes::error(this, file.errorString());
        return;
    }
    imgFotografija->setBytes(file.readAll());
    m_photoChanged = true;
}

void TfrmEmployeeDialog::btnRemovePhotoClick()
{
    imgFotografija->setBytes({});
    m_photoChanged = true;
}

TfrmNewEmployee::TfrmNewEmployee(TdmMain &dmMain, TdmGZ &dmGZ, TfrmDepartements &departements, QWidget *parent)
    : TfrmEmployeeDialog(dmMain, dmGZ, departements, QStringLiteral("frmNewEmployee"), QStringLiteral("Nova osoba"),
                         QStringLiteral("Dodeli"), parent)
{
}

void TfrmNewEmployee::startRow()
{
    m_focusedBefore = qPersons.currentRow();
    qPersons.insert();
    const QString last = globals().LastDepartment;
    if (!last.isEmpty())
        qPersons.setValue(QStringLiteral("IDSektora"), last);
}

void TfrmNewEmployee::resumeRow()
{
    rereadPersons();
    qPersons.insert();
}

bool TfrmNewEmployee::savePinAgain(const QString &id, const QString &pin)
{
    if (SavePinCode(m_dmGZ, id, pin, true, false) != PinSaved)
        MessageBoxes::warning(this, QStringLiteral("Pogrešno unet PIN kod, zaposleni je dodat u bazu"));
    globals().LastDepartment = chosenDepartmentID();
    return true;
}

void TfrmNewEmployee::reject()
{
    TfrmEmployeeDialog::reject();
    // Dropping the new row must not move the list's focus to its last person.
    if (qPersons.isActive() && m_focusedBefore >= 0 && m_focusedBefore < qPersons.rowCount()) {
        try {
            qPersons.moveTo(m_focusedBefore);
        } catch (const DbError &) {
        }
    }
}

TfrmEditEmployee::TfrmEditEmployee(TdmMain &dmMain, TdmGZ &dmGZ, TfrmDepartements &departements, QWidget *parent)
    : TfrmEmployeeDialog(dmMain, dmGZ, departements, QStringLiteral("frmEditEmployee"),
                         QStringLiteral("Izmena podataka o osobi"), QStringLiteral("Dodaj"), parent)
{
}

void TfrmEditEmployee::startRow()
{
    qPersons.edit();
    m_storedID = qPersons.asString(QStringLiteral("ID"));
}

void TfrmEditEmployee::resumeRow()
{
    qPersons.requery();
    for (int row = 0; row < qPersons.rowCount(); ++row) {
        if (qPersons.cell(row, qPersons.fieldIndex(QStringLiteral("ID"))).toString() == m_storedID) {
            qPersons.moveTo(row);
            qPersons.edit();
            return;
        }
    }
    throw DbError(QStringLiteral("The person %1 is no longer stored.").arg(m_storedID));
}

bool TfrmEditEmployee::savePinAgain(const QString &id, const QString &pin)
{
    m_storedID = id;
    if (SavePinCode(m_dmGZ, id, pin, true, true) != PinSaved) {
        MessageBoxes::error(this, kWrongPin);
        return false;
    }
    return true;
}
