#pragma once

#include "widgets/FixedDialog.h"

class QDateEdit;
class QLineEdit;
class QTimeEdit;
class TdmGZ;
class TdmMain;

// "Media ID": assigns a media ID to the person focused in the person list, from the
// chosen date and time on, and rebuilds the person's PIN-bearing media ID.
class TfrmNewMediaID : public FixedDialog
{
    Q_OBJECT

public:
    TfrmNewMediaID(TdmMain &dmMain, TdmGZ &dmGZ, QWidget *parent = nullptr);

    void btnOKClick();
    void btnClearDateClick();
    void btnTodayClick();

protected:
    void opened() override;

private:
    // False, after the error box, when the row could not be written.
    bool addAssignment(const QString &mediaID, const QString &personID);
    bool dateCleared() const;

    TdmMain &m_dmMain;
    TdmGZ &m_dmGZ;
    QLineEdit *edtMediaID;
    QDateEdit *edtDate;
    QTimeEdit *edtTime;
};
