#include "app/uKorisnickaSifra.h"

#include "widgets/MessageBoxes.h"
#include "base/Settings.h"
#include "link/uGlobalVars.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmKorisnickaSifra::TfrmKorisnickaSifra(QSettings &settings, QWidget *parent)
    : FixedDialog(QStringLiteral("frmKorisnickaSifra"), QStringLiteral("Korisnička lozinka"), parent),
      m_settings(settings),
      edtOld(addPasswordBox(QStringLiteral("edtOld"), QStringLiteral("Unesite staru lozinku"))),
      edtNew(addPasswordBox(QStringLiteral("edtNew"), QStringLiteral("Unesite novu lozinku"))),
      edtRepeat(addPasswordBox(QStringLiteral("edtRepeat"), QStringLiteral("Ponovite novu lozinku")))
{
    QPushButton *ok = addOkCancel();
    connect(ok, &QPushButton::clicked, this, &TfrmKorisnickaSifra::btnOKClick);
}

QLineEdit *TfrmKorisnickaSifra::addPasswordBox(const QString &objectName, const QString &caption)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setMinimumWidth(220);
    makePasswordBox(edit);
    auto *label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("lbl") + objectName.mid(3));
    label->setBuddy(edit);
    body()->addWidget(label);
    body()->addWidget(edit);
    return edit;
}

void TfrmKorisnickaSifra::opened()
{
    edtOld->clear();
    edtNew->clear();
    edtRepeat->clear();
    edtOld->setFocus();
}

void TfrmKorisnickaSifra::btnOKClick()
{
    if (edtOld->text() != globals().CurrentPassword || edtNew->text() != edtRepeat->text()) {
        MessageBoxes::error(this, QStringLiteral("Neispravan unos."));
        edtOld->setFocus();
        return;
    }
    if (const QString error = Settings::writePassword(m_settings, edtNew->text()); !error.isEmpty()) {
        MessageBoxes::error(this, error);
        return;
    }
    globals().CurrentPassword = edtNew->text();
    accept();
}
