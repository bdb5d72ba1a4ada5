#include "controllers/uLinkTouchContact_AccessPoint.h"

#include "controllers/ControllerRecords.h"
#include "controllers/QueryRows.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "widgets/MessageBoxes.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

namespace {

const QString LinkErrorText = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");
const QString AccessPointMissingText = QStringLiteral("Polje \"Tacka pristupa\" mora biti popunjeno.");
const QString ListsReadErrorText = QStringLiteral("Greška pri čitanju tačaka pristupa iz baze.");

QLineEdit *readOnlyField(const QString &objectName, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setReadOnly(true);
    return edit;
}

// Read with the current rows, and left open or closed as found.
void readCurrent(NamedQuery &q, const std::function<void()> &read)
{
    const bool wasActive = q.isActive();
    if (wasActive)
        q.requery();
    else
        q.open();
    read();
    if (!wasActive)
        q.close();
}

} // namespace

TfrmLinkTouchContact_AccessPoint::TfrmLinkTouchContact_AccessPoint(TdmGZ &gz, QWidget *parent)
    : FixedDialog(QStringLiteral("frmLinkTouchContact_AccessPoint"),
                  QStringLiteral("Veza registracionog mesta i tačke pristupa"), parent),
      m_gz(gz), edtIDKontrolera(readOnlyField(QStringLiteral("edtIDKontrolera"), this)),
      edtNazivKontrolera(readOnlyField(QStringLiteral("edtNazivKontrolera"), this)),
      edtRBKontakta(readOnlyField(QStringLiteral("edtRBKontakta"), this)), cbbTackaPristupa(new QComboBox(this))
{
    cbbTackaPristupa->setObjectName(QStringLiteral("cbbTackaPristupa"));
    cbbTackaPristupa->setMinimumWidth(240);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("ID kontrolera"), edtIDKontrolera);
    form->addRow(QStringLiteral("Naziv kontrolera"), edtNazivKontrolera);
    form->addRow(QStringLiteral("RB kontakta"), edtRBKontakta);
    form->addRow(QStringLiteral("Tačka pristupa"), cbbTackaPristupa);
    body()->addLayout(form);

    // The system's own names: "U redu" is btnAdd, "Otkaži" is btnOK.
    QPushButton *add = addButton(QStringLiteral("btnAdd"), QStringLiteral("U redu"));
    add->setDefault(true);
    QPushButton *cancel = addButton(QStringLiteral("btnOK"), QStringLiteral("Otkaži"));
    connect(add, &QPushButton::clicked, this, &TfrmLinkTouchContact_AccessPoint::btnAddClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmLinkTouchContact_AccessPoint::linkContact(const TouchContact &contact)
{
    m_contact = contact;
    edtIDKontrolera->setText(contact.controllerId);
    edtRBKontakta->setText(contact.number);
    fillLists();
    return exec() == QDialog::Accepted;
}

void TfrmLinkTouchContact_AccessPoint::fillLists()
{
    edtNazivKontrolera->clear();
    cbbTackaPristupa->clear();
    try {
        readCurrent(*m_gz.qContollersZaLookup, [this] {
            NamedQuery &q = *m_gz.qContollersZaLookup;
            const int row = rowWhere(q, QStringLiteral("IDKontrolera"), m_contact.controllerId);
            if (row >= 0)
                edtNazivKontrolera->setText(q.cell(row, q.fieldIndex(QStringLiteral("Naziv"))).toString());
        });
        // The list joins access points with their zones; each access point is offered once.
        readCurrent(*m_gz.qAccessPoints, [this] {
            NamedQuery &q = *m_gz.qAccessPoints;
            const int id = q.fieldIndex(QStringLiteral("IDTackePristupa"));
            const int name = q.fieldIndex(QStringLiteral("Naziv"));
            QSet<QString> listed;
            for (int row = 0; row < q.rowCount(); ++row) {
                const QString accessPoint = q.cell(row, id).toString();
                if (listed.contains(accessPoint.toLower()))
                    continue;
                listed.insert(accessPoint.toLower());
                const QString shown = q.cell(row, name).toString();
                cbbTackaPristupa->addItem(shown.isEmpty() ? accessPoint : shown, accessPoint);
            }
        });
    } catch (const DbError &) {
        MessageBoxes::error(this, ListsReadErrorText);
    }
    cbbTackaPristupa->setCurrentIndex(cbbTackaPristupa->findData(m_contact.accessPoint));
}

void TfrmLinkTouchContact_AccessPoint::btnAddClick()
{
    if (cbbTackaPristupa->currentText().isEmpty()) {
        MessageBoxes::warning(this, AccessPointMissingText);
    } else {
        try {
            LinkContact(m_gz, m_contact.id, cbbTackaPristupa->currentData().toString());
        } catch (const DbError &) {
            MessageBoxes::error(this, LinkErrorText);
        }
    }
    accept();
}
