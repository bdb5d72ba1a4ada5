#include "admin/uZoneAccess.h"

#include "admin/AccessModeBox.h"
#include "admin/LinkStatements.h"
#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "widgets/MainBrowser.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmZoneAccess::TfrmZoneAccess(Holder holder, MainBrowser &browser, QWidget *parent)
    : FixedDialog(holder == Holder::Person ? QStringLiteral("frmZoneAccess") : QStringLiteral("frmGZoneAccess"),
                  QStringLiteral("Pristup zoni"), parent),
      m_holder(holder),
      m_link(holder == Holder::Person ? LinkTables::PersonZone : LinkTables::GroupZone),
      m_browser(browser)
{
    lblText = new QLabel(this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setMinimumWidth(320);
    body()->addWidget(lblText);
    cmbAccess = AccessMode::newBox(this);
    body()->addWidget(cmbAccess);
    connect(addOkCancel(), &QPushButton::clicked, this, &TfrmZoneAccess::btnOKClick);
}

void TfrmZoneAccess::setTexts(const QString &holderName, const QString &zoneName)
{
    m_holderName = holderName;
    m_zoneName = zoneName;
}

void TfrmZoneAccess::opened()
{
    const QString holderWord = m_holder == Holder::Person ? QStringLiteral(" za osobu ") : QStringLiteral(" za grupu ");
    lblText->setText(QStringLiteral("Odredite pristup zoni ") + m_zoneName + holderWord + m_holderName);
}

void TfrmZoneAccess::btnOKClick()
{
    bool saved = false;
    try {
        // In the zone view the zone is the master and the holder the detail row; elsewhere
        // the other way round.
        NamedQuery *detail = m_browser.detailQuery();
        NamedQuery *zones = m_browser.dataMain().qZones;
        NamedQuery *holders = m_holder == Holder::Person ? m_browser.dataMain().qPersons : m_browser.dataMain().qGroups;
        const bool zoneView = m_browser.currentView() == MainBrowser::View::Zones;
        const QString zone = (zoneView ? zones : detail)->asString(QStringLiteral("ID"));
        const QString holder = (zoneView ? detail : holders)->asString(QStringLiteral("ID"));
        NamedQuery &qAction = *m_browser.dataGZ().qAction;
        m_browser.dataGZ().connMain->transaction([&] {
            qAction.setText(modeUpdateStatement(m_link, cmbAccess->currentIndex(), holder, zone));
            qAction.execute();
        });
        saved = true;
    } catch (const DbError &e) {
        // The link keeps its mode; the operator sees why.
        MessageBoxes::error(this, e.text());
    }
    done(saved ? Accepted : Rejected);
}
