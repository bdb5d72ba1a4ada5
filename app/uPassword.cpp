#include "app/uPassword.h"

#include "widgets/MessageBoxes.h"
#include "base/Settings.h"
#include "link/uGlobalVars.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmPassword::TfrmPassword(QSettings &settings, QWidget *parent)
    : FixedDialog(QStringLiteral("frmPassword"), QStringLiteral("Prijava"), parent), m_settings(settings),
      edtPassword(new QLineEdit(this))
{
    auto *label = new QLabel(QStringLiteral("Korisnička lozinka"), this);
    label->setObjectName(QStringLiteral("lblPassword"));
    label->setBuddy(edtPassword);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setMinimumWidth(220);
    makePasswordBox(edtPassword);
    body()->addWidget(label);
    body()->addWidget(edtPassword);
    QPushButton *ok = addOkCancel();
    connect(ok, &QPushButton::clicked, this, &TfrmPassword::btnOKClick);
}

void TfrmPassword::opened()
{
    edtPassword->clear();
    edtPassword->setFocus();
    if (QWidget *main = parentWidget() ? parentWidget()->window() : nullptr)
        main->setWindowState(main->windowState() | Qt::WindowMaximized);
}

void TfrmPassword::btnOKClick()
{
    m_accepted = false;
    if (const std::optional<QString> stored = storedPassword()) {
        globals().CurrentPassword = *stored;
        if (edtPassword->text().compare(*stored, Qt::CaseSensitive) == 0) {
            m_accepted = true;
        } else {
            MessageBoxes::error(this, QStringLiteral("Neispravna lozinka."));
            edtPassword->setFocus();
        }
    }
    // Closes with OK either way; the login gate asks again while not accepted.
    accept();
}

std::optional<QString> TfrmPassword::storedPassword()
{
    const Settings::PasswordRead read = Settings::readPassword(m_settings);
    if (!read.error.isEmpty())
        MessageBoxes::error(this, read.error);
    return read.password;
}
