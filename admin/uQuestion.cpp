#include "admin/uQuestion.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmQuestion::TfrmQuestion(QWidget *parent)
    : FixedDialog(QStringLiteral("frmQuestion"), QStringLiteral("Dodeljivanje zonama"), parent)
{
    auto *prompt = new QLabel(QStringLiteral("Koga želite da dodelite?"), this);
    prompt->setObjectName(QStringLiteral("lblQuestion"));
    body()->addWidget(prompt);
    auto *frame = new QGroupBox(QStringLiteral("Izaberite opciju"), this);
    frame->setObjectName(QStringLiteral("rgOption"));
    auto *choices = new QVBoxLayout(frame);
    rbPersons = new QRadioButton(QStringLiteral("Osobe"), frame);
    rbPersons->setObjectName(QStringLiteral("rbPersons"));
    rbGroups = new QRadioButton(QStringLiteral("Grupe"), frame);
    rbGroups->setObjectName(QStringLiteral("rbGroups"));
    choices->addWidget(rbPersons);
    choices->addWidget(rbGroups);
    frame->setMinimumWidth(240);
    body()->addWidget(frame);
    connect(addOkCancel(), &QPushButton::clicked, this, &QDialog::accept);
}

bool TfrmQuestion::personsChosen() const
{
    return rbPersons->isChecked();
}

void TfrmQuestion::opened()
{
    rbPersons->setChecked(true);
}
