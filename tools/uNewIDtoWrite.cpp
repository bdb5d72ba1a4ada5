#include "tools/uNewIDtoWrite.h"

#include "widgets/MessageBoxes.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

const QString TfrmNewIDtoWrite::BadLengthText =
    QStringLiteral("Neodgovarajuca duzina MediaID. Mora biti 16 znakova.");
const QString TfrmNewIDtoWrite::NotHexText =
    QStringLiteral("Neodgovarajuci MediaID. Mora sadrzati samo heksadecimalne cifre.");

TfrmNewIDtoWrite::TfrmNewIDtoWrite(QWidget *parent)
    : FixedDialog(QStringLiteral("frmNewIDtoWrite"), QStringLiteral("Novi Media ID"), parent),
      edtUredjaj(new QLineEdit(this)),
      edtRBr(new QLineEdit(this)),
      edtMediaID(new QLineEdit(this))
{
    edtUredjaj->setObjectName(QStringLiteral("edtUredjaj"));
    edtRBr->setObjectName(QStringLiteral("edtRBr"));
    edtMediaID->setObjectName(QStringLiteral("edtMediaID"));
    edtUredjaj->setReadOnly(true);
    edtRBr->setReadOnly(true);
    edtUredjaj->setMinimumWidth(260);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Uređaj"), edtUredjaj);
    form->addRow(QStringLiteral("R.b. u uređaju"), edtRBr);
    form->addRow(QStringLiteral("Media ID"), edtMediaID);
    body()->addLayout(form);

    QPushButton *add = addButton(QStringLiteral("btnOK"), QStringLiteral("Dodaj"));
    add->setDefault(true);
    connect(add, &QPushButton::clicked, this, &TfrmNewIDtoWrite::btnOKClick);
    QPushButton *cancel = addButton(QStringLiteral("btnCancel"), QStringLiteral("Otkaži"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmNewIDtoWrite::fill(const QString &device, int position)
{
    edtUredjaj->setText(device);
    edtRBr->setText(QString::number(position));
}

QString TfrmNewIDtoWrite::mediaId() const
{
    return edtMediaID->text();
}

void TfrmNewIDtoWrite::opened()
{
    edtMediaID->clear();
    edtMediaID->setFocus();
}

void TfrmNewIDtoWrite::btnOKClick()
{
    const QString text = edtMediaID->text();
    if (text.size() != 16) {
        MessageBoxes::error(this, BadLengthText);
        return;
    }
    // Checked here, before the slot changes: the slot could not hold anything else.
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]{16}$"));
    if (!hexDigits.match(text).hasMatch()) {
        MessageBoxes::error(this, NotHexText);
        return;
    }
    accept();
}
