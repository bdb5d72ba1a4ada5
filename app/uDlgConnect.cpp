#include "app/uDlgConnect.h"

#include "widgets/DropDownComboBox.h"
#include "widgets/MessageBoxes.h"
#include "base/Settings.h"
#include "widgets/WaitCursor.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/SqlServerBrowser.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kIncomplete = QStringLiteral("Popunite sva polja.");

bool namesSqliteFile(const QString &server)
{
    const QFileInfo file(server);
    return file.isAbsolute() && file.isFile();
}

} // namespace

TfrmDlgConnect::TfrmDlgConnect(QSettings &settings, QWidget *parent)
    : FixedDialog(QStringLiteral("frmDlgConnect"), QStringLiteral("Baza podataka"), parent), m_settings(settings),
      m_fields(new QGridLayout), connTest(this),
      m_browserPort(SqlServerBrowser::DefaultPort), cbbServer(new DropDownComboBox(this)),
      chkSSPI(new QCheckBox(QStringLiteral("NT autorizacija"), this)), edtUserName(new QLineEdit(this)),
      edtPassword(new QLineEdit(this)), cbbDatabase(new DropDownComboBox(this))
{
    connTest.setObjectName(QStringLiteral("connTest"));
    cbbServer->setObjectName(QStringLiteral("cbbServer"));
    chkSSPI->setObjectName(QStringLiteral("chkSSPI"));
    edtUserName->setObjectName(QStringLiteral("edtUserName"));
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    // Hidden characters, and no copying the text out of the box.
    makePasswordBox(edtPassword);
    cbbDatabase->setObjectName(QStringLiteral("cbbDatabase"));
    cbbServer->setMinimumWidth(240);

    body()->addLayout(m_fields);
    addRow(0, QStringLiteral("lblServer"), QStringLiteral("Server "), cbbServer);
    m_fields->addWidget(chkSSPI, 1, 1);
    lblUserName = addRow(2, QStringLiteral("lblUserName"), QStringLiteral("Korisničko ime"), edtUserName);
    lblPassword = addRow(3, QStringLiteral("lblPassword"), QStringLiteral("Šifra"), edtPassword);
    addRow(4, QStringLiteral("lblDatabase"), QStringLiteral("Baza"), cbbDatabase);
    // Windows authentication is not offered: the dialog always stores the login form.
    chkSSPI->hide();

    cbbServer->setEditText(QStringLiteral("(local)"));
    edtUserName->setText(QStringLiteral("brenmark"));
    edtPassword->setText(QStringLiteral("tinsmoke"));

    QPushButton *test = addButton(QStringLiteral("btnTest"), QStringLiteral("Test"));
    btnOK = addOkCancel();
    connect(cbbServer, &DropDownComboBox::aboutToDropDown, this, &TfrmDlgConnect::cbbServerDropDown);
    connect(cbbDatabase, &DropDownComboBox::aboutToDropDown, this, &TfrmDlgConnect::cbbDatabaseDropDown);
    connect(chkSSPI, &QCheckBox::toggled, this, &TfrmDlgConnect::chkSSPIClick);
    connect(test, &QPushButton::clicked, this, &TfrmDlgConnect::btnTestClick);
    connect(btnOK, &QPushButton::clicked, this, &TfrmDlgConnect::btnOKClick);
}

QLabel *TfrmDlgConnect::addRow(int row, const QString &labelName, const QString &caption, QWidget *field)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(labelName);
    label->setBuddy(field);
    m_fields->addWidget(label, row, 0);
    m_fields->addWidget(field, row, 1);
    return label;
}

QString TfrmDlgConnect::BuildConnectionString() const
{
    const QString server = cbbServer->currentText();
    if (namesSqliteFile(server))
        return ConnectionString::forSqliteFile(server);
    // The texts go in as typed, unquoted: that is the stored format, read back by field.
    if (chkSSPI->isChecked())
        return QStringLiteral("Provider=SQLOLEDB.1;Data Source=%1;Initial Catalog=%2;"
                              "Persist Security Info=False;Integrated Security=SSPI")
            .arg(server, cbbDatabase->currentText());
    return QStringLiteral("Provider=SQLOLEDB.1;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4;"
                          "Persist Security Info=True")
        .arg(server, cbbDatabase->currentText(), edtUserName->text(), edtPassword->text());
}

QString TfrmDlgConnect::VratiConnectionString() const
{
    QString s = QStringLiteral("Provider=SQLOLEDB.1;");
    s += QStringLiteral("Data Source=") + cbbServer->currentText() + QLatin1Char(';');
    s += QStringLiteral("Initial Catalog=master;");
    if (chkSSPI->isChecked())
        s += QStringLiteral("Integrated Security=SSPI;");
    if (!edtUserName->text().isEmpty())
        s += QStringLiteral("User ID=") + edtUserName->text() + QStringLiteral(";Password=") + edtPassword->text()
            + QLatin1Char(';');
    return s;
}

void TfrmDlgConnect::Bazenaserveru(QStringList &list) const
{
    DbConnection listing;
    listing.setConnectionString(VratiConnectionString());
    listing.open();
    // Alphabetical, as the server's catalog list gives them.
    QSqlQuery q(listing.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sys.databases ORDER BY name")))
        throw DbError(q.lastError().text());
    while (q.next())
        list.append(q.value(0).toString());
    if (q.lastError().isValid())
        throw DbError(q.lastError().text());
}

std::optional<QString> TfrmDlgConnect::SaveConnectionString()
{
    const QString connectionString = BuildConnectionString();
    if (const QString error = Settings::writeConnectionString(m_settings, connectionString); !error.isEmpty()) {
        MessageBoxes::error(this, error);
        return std::nullopt;
    }
    return connectionString;
}

void TfrmDlgConnect::setServerBrowser(const QHostAddress &address, quint16 port, std::chrono::milliseconds wait)
{
    m_browserAddress = address;
    m_browserPort = port;
    m_browserWait = wait;
}

// The fields follow the stored connection string, if there is one.
void TfrmDlgConnect::opened()
{
    const QString stored = Settings::readConnectionString(m_settings);
    if (stored.isEmpty())
        return;
    ConnectionSettings settings;
    try {
        settings = ConnectionString::parse(stored);
    } catch (const DbError &) {
        return; // a string the program cannot open leaves the fields as they are
    }
    cbbServer->setEditText(settings.kind == ConnectionSettings::Sqlite ? settings.fileName : settings.server);
    cbbDatabase->setEditText(settings.database);
    edtUserName->setText(settings.userName);
    edtPassword->setText(settings.password);
    btnOK->setFocus();
}

void TfrmDlgConnect::cbbServerDropDown()
{
    QStringList servers;
    QString error;
    {
        WaitCursor busy;
        try {
            servers = SqlServerBrowser::listInstances(m_browserAddress, m_browserPort, m_browserWait);
        } catch (const DbError &e) {
            error = e.text();
        }
    }
    if (!error.isEmpty()) {
        cbbServer->setItemsKeepingText({});
        MessageBoxes::error(this, error);
        return;
    }
    cbbServer->setItemsKeepingText(servers);
    if (servers.isEmpty())
        cbbServer->setEditText(QStringLiteral("(local)"));
}

void TfrmDlgConnect::cbbDatabaseDropDown()
{
    QStringList databases;
    QString error;
    {
        WaitCursor busy;
        try {
            Bazenaserveru(databases);
        } catch (const DbError &e) {
            error = e.text();
        }
    }
    cbbDatabase->setItemsKeepingText(databases);
    if (!error.isEmpty())
        MessageBoxes::error(this, error);
    if (databases.isEmpty())
        cbbDatabase->setEditText(QStringLiteral("MolvaReportsDB"));
}

void TfrmDlgConnect::chkSSPIClick()
{
    const bool login = !chkSSPI->isChecked();
    const QList<QWidget *> loginFields{edtUserName, edtPassword, lblUserName, lblPassword};
    for (QWidget *w : loginFields)
        w->setEnabled(login);
}

bool TfrmDlgConnect::fieldsComplete() const
{
    const QString server = cbbServer->currentText();
    if (server.isEmpty())
        return false;
    // The embedded database is a file: it has no database name or login of its own.
    if (namesSqliteFile(server))
        return true;
    return !cbbDatabase->currentText().isEmpty() && (chkSSPI->isChecked() || !edtUserName->text().isEmpty());
}

void TfrmDlgConnect::btnTestClick()
{
    if (!fieldsComplete()) {
        MessageBoxes::error(this, kIncomplete);
        return;
    }
    QString error;
    {
        WaitCursor busy;
        try {
            connTest.close();
            connTest.setConnectionString(BuildConnectionString());
            connTest.open();
        } catch (const DbError &e) {
            error = e.text();
        }
    }
    if (!error.isEmpty()) {
        MessageBoxes::error(this, error);
        return;
    }
    MessageBoxes::information(this, QStringLiteral("Konekcija sa izabranom bazom podataka je uspešno uspostavljena."));
    connTest.close();
}

void TfrmDlgConnect::btnOKClick()
{
    if (!fieldsComplete()) {
        MessageBoxes::error(this, kIncomplete);
        return;
    }
    accept();
}
