#include "widgets/FixedDialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

FixedDialog::FixedDialog(const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent), m_body(new QVBoxLayout), m_buttons(new QHBoxLayout)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->addLayout(m_body);
    outer->addSpacing(6);
    m_buttons->addStretch();
    outer->addLayout(m_buttons);
}

QPushButton *FixedDialog::addButton(const QString &objectName, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setMinimumWidth(80);
    m_buttons->addWidget(button);
    return button;
}

QPushButton *FixedDialog::addOkCancel()
{
    QPushButton *ok = addButton(QStringLiteral("btnOK"), QStringLiteral("U redu"));
    ok->setDefault(true);
    QPushButton *cancel = addButton(QStringLiteral("btnCancel"), QStringLiteral("Otkaži"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return ok;
}

void FixedDialog::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        opened();
    QDialog::showEvent(event);
}

void makePasswordBox(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}
