#include "admin/uNewMediaID.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/PinCode.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "widgets/MessageBoxes.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace {

// The date box shows its lowest date as empty: that is the cleared box.
const QDate kClearedDate(1899, 12, 30);

QPushButton *dateButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmNewMediaID::TfrmNewMediaID(TdmMain &dmMain, TdmGZ &dmGZ, QWidget *parent)
    : FixedDialog(QStringLiteral("frmNewMediaID"), QStringLiteral("Media ID"), parent),
      m_dmMain(dmMain),
      m_dmGZ(dmGZ),
      edtMediaID(new QLineEdit(this)),
      edtDate(new QDateEdit(this)),
      edtTime(new QTimeEdit(this))
{
    edtMediaID->setObjectName(QStringLiteral("edtMediaID"));
    // Wide enough for 16 digits; the length is checked, not cut.
    edtMediaID->setMinimumWidth(edtMediaID->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 22);
    edtDate->setObjectName(QStringLiteral("edtDate"));
    edtDate->setCalendarPopup(true);
    edtDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edtDate->setMinimumDate(kClearedDate);
    edtDate->setSpecialValueText(QStringLiteral(" "));
    edtTime->setObjectName(QStringLiteral("edtTime"));
    edtTime->setDisplayFormat(QStringLiteral("HH:mm"));

    QPushButton *clear = dateButton(this, QStringLiteral("btnClearDate"), QStringLiteral("Obriši"));
    QPushButton *today = dateButton(this, QStringLiteral("btnToday"), QStringLiteral("Danas"));
    auto *when = new QHBoxLayout;
    when->addWidget(edtDate, 1);
    when->addWidget(clear);
    when->addWidget(today);
    when->addWidget(edtTime);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Media ID"), edtMediaID);
    form->addRow(QStringLiteral("Datum i vreme"), when);
    body()->addLayout(form);

    connect(addOkCancel(), &QPushButton::clicked, this, &TfrmNewMediaID::btnOKClick);
    connect(clear, &QPushButton::clicked, this, &TfrmNewMediaID::btnClearDateClick);
    connect(today, &QPushButton::clicked, this, &TfrmNewMediaID::btnTodayClick);
}

void TfrmNewMediaID::opened()
{
    edtMediaID->clear();
    edtDate->setDate(QDate::currentDate());
    edtTime->setTime(QTime(0, 0));
    edtMediaID->setFocus();
}

void TfrmNewMediaID::btnClearDateClick()
{
    edtDate->setDate(kClearedDate);
}

void TfrmNewMediaID::btnTodayClick()
{
    edtDate->setDate(QDate::currentDate());
}

bool TfrmNewMediaID::dateCleared() const
{
    return edtDate->date() == kClearedDate;
}

void TfrmNewMediaID::btnOKClick()
{
    const QString mediaID = edtMediaID->text();
    if (mediaID.size() != 16) {
        MessageBoxes::warning(this, QStringLiteral("Pogresna duzina MediaID !!!."));
        return;
    }
    NamedQuery &qPersons = *m_dmMain.qPersons;
    const bool hasPerson = qPersons.isActive() && !qPersons.isEmpty();
    const QString personID = hasPerson ? qPersons.asString(QStringLiteral("ID")) : QString();
    const bool added = addAssignment(mediaID, personID);
    if (added) {
        // A failed rebuild is not reported: the assignment itself stands.
        SavePinCode(m_dmGZ, personID, hasPerson ? qPersons.asString(QStringLiteral("PinKod")) : QString(), false,
                    true);
    }
    try {
        m_dmMain.qViewMediaIDHist->requery();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
    if (added)
        accept();
}

bool TfrmNewMediaID::addAssignment(const QString &mediaID, const QString &personID)
{
    NamedQuery &table = *m_dmMain.qZaposleni_Memorija;
    try {
        if (dateCleared())
            throw DbError(QStringLiteral("The date box is empty."));
        table.open();
        table.insert();
        table.setValue(QStringLiteral("IDNo"), mediaID);
        table.setValue(QStringLiteral("IDZaposlenog"), personID);
        table.setValue(QStringLiteral("DatumDodeljivanja"),
                       QDateTime(edtDate->date(), QTime(edtTime->time().hour(), edtTime->time().minute())));
        table.post();
        // The whole assignment table is held only while a row is added.
        table.close();
        return true;
    } catch (const DbError &) {
        table.cancel();
        table.close();
        MessageBoxes::error(this, QStringLiteral("Greska u unosu, podaci nisu dodati u bazu."));
        return false;
    }
}
