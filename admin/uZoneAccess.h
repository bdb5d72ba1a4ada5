// TfrmZoneAccess: the access-mode dialogs TfrmZoneAccess (person-zone link) and
// TfrmGZoneAccess (group-zone link), one class for both.
#pragma once

#include "widgets/FixedDialog.h"

class MainBrowser;
class QComboBox;
class QLabel;
struct LinkTable;

// Sets the access mode of the zone link focused in the main window's detail list. The
// selector keeps the mode last chosen in it, whatever the link holds.
class TfrmZoneAccess : public FixedDialog
{
    Q_OBJECT

public:
    enum class Holder { Person, Group };

    TfrmZoneAccess(Holder holder, MainBrowser &browser, QWidget *parent);

    // Set by the change-access command before each showing.
    void setTexts(const QString &holderName, const QString &zoneName);

protected:
    void opened() override;

private:
    void btnOKClick();

    const Holder m_holder;
    const LinkTable &m_link;
    MainBrowser &m_browser;
    QString m_holderName;
    QString m_zoneName;
    QLabel *lblText;
    QComboBox *cmbAccess;
};
