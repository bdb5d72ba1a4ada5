#include "app/uOptions.h"

#include "widgets/MessageBoxes.h"
#include "base/Settings.h"
#include "link/uGlobalVars.h"
#include "link/CommandLink.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmOptions::TfrmOptions(QSettings &settings, QWidget *parent)
    : FixedDialog(QStringLiteral("frmOptions"), QStringLiteral("Opcije"), parent), m_settings(settings),
      edtSleepTime(new QLineEdit(this)),
      chkDebugCtrls(new QCheckBox(QStringLiteral("Prikaz kontrola za debagovanje rada programa"), this))
{
    auto *label = new QLabel(QStringLiteral("Pauza u TCP/IP komunikaciji sa Link71 [ms]"), this);
    label->setObjectName(QStringLiteral("lblSleepTime"));
    label->setBuddy(edtSleepTime);
    edtSleepTime->setObjectName(QStringLiteral("edtSleepTime"));
    chkDebugCtrls->setObjectName(QStringLiteral("chkDebugCtrls"));
    body()->addWidget(label);
    body()->addWidget(edtSleepTime);
    body()->addSpacing(6);
    body()->addWidget(chkDebugCtrls);
    QPushButton *ok = addOkCancel();
    connect(ok, &QPushButton::clicked, this, &TfrmOptions::btnOKClick);
}

void TfrmOptions::opened()
{
    edtSleepTime->setText(QString::number(globals().SleepTime));
    chkDebugCtrls->setChecked(globals().DebugCtrls);
}

void TfrmOptions::btnOKClick()
{
    bool isInteger = false;
    const int sleepTime = edtSleepTime->text().trimmed().toInt(&isInteger);
    if (!isInteger) {
        // Nothing is stored; the dialog still closes, as it does after any "U redu".
        MessageBoxes::error(this, QStringLiteral("'%1' is not a valid integer value").arg(edtSleepTime->text()));
        reject();
        return;
    }
    TGlobalVars &g = globals();
    g.SleepTime = sleepTime;
    g.DebugCtrls = chkDebugCtrls->isChecked();
    // Any integer is kept, zero and negative ones too: the sender sleeps at least 1 ms
    // per idle period (TPetlja clamps values below 1 to 1), so it never spins.
    if (m_link)
        m_link->SetSleepTime(sleepTime);
    if (const QString error = Settings::writeLinkOptions(m_settings, {g.SleepTime, g.DebugCtrls}); !error.isEmpty())
        MessageBoxes::error(this, error);
    accept();
}
