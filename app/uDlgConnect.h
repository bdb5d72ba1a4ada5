// Holds TfrmDlgConnect, the database connection dialog.
#pragma once

#include "widgets/FixedDialog.h"
#include "db/DbConnection.h"

#include <QHostAddress>

#include <chrono>

class DropDownComboBox;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSettings;

// "Baza podataka": the SQL Server, database and login of the program's connection string.
// "U redu" makes the built string the program's connection string; storing it in the
// registry is SaveConnectionString, called by whoever showed the dialog.
class TfrmDlgConnect : public FixedDialog
{
    Q_OBJECT

public:
    explicit TfrmDlgConnect(QSettings &settings, QWidget *parent = nullptr);

    // The connection string of the fields, the four texts exactly as typed: the login
    // form, or the Windows-authentication form when "NT autorizacija" is checked. A
    // server text that is the absolute path of an existing file gives the embedded
    // database's form "Provider=SQLite;Data Source=<file>".
    QString BuildConnectionString() const;
    // The string that lists the server's databases: its "master" database.
    QString VratiConnectionString() const;
    // Adds the database names of the server to list; throws DbError with the driver's
    // text, keeping what was added before the failure.
    void Bazenaserveru(QStringList &list) const;

    // Builds the string once more and writes it to DataBase\ConnectionString; the string
    // written, or none (and reported) when the registry refused it.
    std::optional<QString> SaveConnectionString();

    // Where the server list asks; the program asks the whole network.
    void setServerBrowser(const QHostAddress &address, quint16 port, std::chrono::milliseconds wait);

    // Handlers.
    void cbbServerDropDown();
    void cbbDatabaseDropDown();
    void chkSSPIClick();
    void btnTestClick();
    void btnOKClick();

protected:
    void opened() override;

private:
    bool fieldsComplete() const;
    QLabel *addRow(int row, const QString &labelName, const QString &caption, QWidget *field);

    QSettings &m_settings;
    QGridLayout *const m_fields;
    DbConnection connTest;
    QHostAddress m_browserAddress = QHostAddress::Broadcast;
    quint16 m_browserPort;
    std::chrono::milliseconds m_browserWait{2000};

    DropDownComboBox *cbbServer;
    QCheckBox *chkSSPI;
    QLineEdit *edtUserName;
    QLineEdit *edtPassword;
    DropDownComboBox *cbbDatabase;
    QLabel *lblUserName = nullptr;
    QLabel *lblPassword = nullptr;
    QPushButton *btnOK;
};
