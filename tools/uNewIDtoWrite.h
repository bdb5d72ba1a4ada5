#pragma once

#include "widgets/FixedDialog.h"

class QLineEdit;

// "Novi Media ID": the media ID the operator types into one slot of a controller's table.
class TfrmNewIDtoWrite : public FixedDialog
{
    Q_OBJECT

public:
    static const QString BadLengthText;
    static const QString NotHexText;

    explicit TfrmNewIDtoWrite(QWidget *parent = nullptr);

    // The device selector's text and the row's position in the list (from 1).
    void fill(const QString &device, int position);
    // The accepted media ID, as typed.
    QString mediaId() const;

    // "Dodaj": accepts only 16 hexadecimal digits; otherwise an error and the dialog stays.
    void btnOKClick();

protected:
    void opened() override;

private:
    QLineEdit *edtUredjaj;
    QLineEdit *edtRBr;
    QLineEdit *edtMediaID;
};
