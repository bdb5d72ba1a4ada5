// Holds TfrmPassword, the login.
#pragma once

#include "widgets/FixedDialog.h"

#include <optional>

class QLineEdit;
class QSettings;

// The login dialog. It always closes with OK or Cancel; after OK, Accepted() tells the
// login gate whether the password was right, and the gate shows it again while not.
class TfrmPassword : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmPassword(QSettings &settings, QWidget *parent = nullptr);

    bool Accepted() const { return m_accepted; }

    void btnOKClick();

protected:
    void opened() override;

private:
    // The stored password, written first when none is stored; nothing after a registry
    // error, which has been reported.
    std::optional<QString> storedPassword();

    QSettings &m_settings;
    QLineEdit *edtPassword;
    bool m_accepted = false;
};
