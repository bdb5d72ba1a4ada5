#pragma once

#include "widgets/FixedDialog.h"

class QComboBox;
class QLineEdit;
class TdmGZ;

// A touch contact as the contact list shows it.
struct TouchContact
{
    int id = 0;               // IDKontakta
    QString controllerId;     // idkontrolera
    QString number;           // RBTouchKontakta
    QString accessPoint;      // IDTackePristupa, empty without a link
};

// Ties one touch contact to an access point, replacing the link it has.
class TfrmLinkTouchContact_AccessPoint : public FixedDialog
{
    Q_OBJECT

public:
    TfrmLinkTouchContact_AccessPoint(TdmGZ &gz, QWidget *parent);

    // Shows the dialog for the contact; true when it closed with "U redu" (which it also
    // does after the warning for a missing access point, having written nothing).
    bool linkContact(const TouchContact &contact);

    void btnAddClick();

private:
    void fillLists();

    TdmGZ &m_gz;
    TouchContact m_contact;
    QLineEdit *const edtIDKontrolera;
    QLineEdit *const edtNazivKontrolera;
    QLineEdit *const edtRBKontakta;
    QComboBox *const cbbTackaPristupa;
};
