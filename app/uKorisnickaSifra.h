// Holds TfrmKorisnickaSifra, the password change.
#pragma once

#include "widgets/FixedDialog.h"

class QLineEdit;
class QSettings;

// Changes the application password: the old one, then the new one twice. Closes only
// when the change has been made, or with "Otkaži".
class TfrmKorisnickaSifra : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmKorisnickaSifra(QSettings &settings, QWidget *parent = nullptr);

    void btnOKClick();

protected:
    void opened() override;

private:
    QLineEdit *addPasswordBox(const QString &objectName, const QString &caption);

    QSettings &m_settings;
    QLineEdit *edtOld, *edtNew, *edtRepeat;
};
