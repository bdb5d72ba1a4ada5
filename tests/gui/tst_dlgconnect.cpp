#include "widgets/DropDownComboBox.h"
#include "widgets/MessageBoxes.h"
#include "base/SettingsStore.h"
#include "base/GetField.h"
#include "link/uGlobalVars.h"
#include "db/DbConnection.h"
#include "app/uDlgConnect.h"
#include "tests/support/FakeSqlBrowser.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TempDatabase.h"
#include "tests/support/TempSettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

using namespace std::chrono_literals;

using Shown = QList<MessageBoxes::Shown>;

namespace {

const QString kLoginForm = QStringLiteral(
    "Provider=SQLOLEDB.1;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4;Persist Security Info=True");
const QString kSuccess = QStringLiteral("Konekcija sa izabranom bazom podataka je uspešno uspostavljena.");

// The four texts of the dialog.
struct Fields
{
    QString server, database, user, password;
    bool operator==(const Fields &) const = default;
};

char *toString(const Fields &f)
{
    const QStringList texts{f.server, f.database, f.user, f.password};
    return qstrdup(qPrintable(texts.join(QLatin1Char('|'))));
}

Fields fieldsOf(TfrmDlgConnect &dlg)
{
    return {child<QComboBox>(&dlg, "cbbServer")->currentText(), child<QComboBox>(&dlg, "cbbDatabase")->currentText(),
            child<QLineEdit>(&dlg, "edtUserName")->text(), child<QLineEdit>(&dlg, "edtPassword")->text()};
}

void type(TfrmDlgConnect &dlg, const Fields &f)
{
    child<QComboBox>(&dlg, "cbbServer")->setEditText(f.server);
    child<QComboBox>(&dlg, "cbbDatabase")->setEditText(f.database);
    child<QLineEdit>(&dlg, "edtUserName")->setText(f.user);
    child<QLineEdit>(&dlg, "edtPassword")->setText(f.password);
}

QString storedString(TempSettings &temp)
{
    temp.reload();
    SettingsStore store(temp.settings());
    if (!store.openKey("DataBase", false))
        return {};
    return store.readString("ConnectionString").value_or(QString());
}

void storeString(TempSettings &temp, const QString &connectionString)
{
    SettingsStore store(temp.settings());
    store.openKey("DataBase", true);
    store.writeString("ConnectionString", connectionString);
}

// A loopback port where nothing listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

Q_DECLARE_METATYPE(Fields)

class TestDlgConnect : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
    }

    void nothingStored()
    {
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Baza podataka"));
        QCOMPARE(fieldsOf(dlg), (Fields{"(local)", "", "brenmark", "tinsmoke"}));
        QLineEdit *password = child<QLineEdit>(&dlg, "edtPassword");
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCheckBox *sspi = child<QCheckBox>(&dlg, "chkSSPI");
        QVERIFY(sspi->isHidden());
        QVERIFY(!sspi->isChecked());
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());

        // No database yet: refused, and again until one is entered.
        QPushButton *ok = child<QPushButton>(&dlg, "btnOK");
        ok->click();
        ok->click();
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown[1].text, QStringLiteral("Popunite sva polja."));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));

        child<QComboBox>(&dlg, "cbbDatabase")->setEditText("Dorv");
        ok->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.BuildConnectionString(), kLoginForm.arg("(local)", "Dorv", "brenmark", "tinsmoke"));
        // "U redu" stores nothing: whoever showed the dialog does.
        QVERIFY(storedString(temp).isEmpty());
    }

    void completeness_data()
    {
        QTest::addColumn<Fields>("typed");
        QTest::addColumn<bool>("sspi");
        QTest::addColumn<QString>("expected"); // empty: "Popunite sva polja."
        QTest::newRow("all four") << Fields{"srv01\\SQLEXPRESS", "Dorv", "sa", "x"} << false
                                  << kLoginForm.arg("srv01\\SQLEXPRESS", "Dorv", "sa", "x");
        QTest::newRow("empty password") << Fields{"srv01", "Dorv", "sa", ""} << false
                                        << "Provider=SQLOLEDB.1;Data Source=srv01;Initial Catalog=Dorv;User ID=sa;"
                                           "Password=;Persist Security Info=True";
        QTest::newRow("texts go in unescaped") << Fields{"srv01", "Dorv", "o'brien", "a;b=c%1"} << false
                                               << kLoginForm.arg("srv01", "Dorv", "o'brien", "a;b=c%1");
        QTest::newRow("no server") << Fields{"", "Dorv", "sa", "x"} << false << "";
        QTest::newRow("no database") << Fields{"srv01", "", "sa", "x"} << false << "";
        QTest::newRow("no user name") << Fields{"srv01", "Dorv", "", "x"} << false << "";
        QTest::newRow("windows authentication needs no user name")
            << Fields{"srv01", "Dorv", "", ""} << true
            << "Provider=SQLOLEDB.1;Data Source=srv01;Initial Catalog=Dorv;Persist Security Info=False;"
               "Integrated Security=SSPI";
        QTest::newRow("windows authentication still needs a database") << Fields{"srv01", "", "", ""} << true << "";
    }

    void completeness()
    {
        QFETCH(Fields, typed);
        QFETCH(bool, sspi);
        QFETCH(QString, expected);
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        dlg.show();
        type(dlg, typed);
        child<QCheckBox>(&dlg, "chkSSPI")->setChecked(sspi);

        // "Test" refuses the same fields as "U redu" before it tries anything.
        if (expected.isEmpty()) {
            child<QPushButton>(&dlg, "btnTest")->click();
            QCOMPARE(MessageBoxes::takeShown().size(), 1);
        }
        child<QPushButton>(&dlg, "btnOK")->click();
        const Shown shown = MessageBoxes::takeShown();
        if (expected.isEmpty()) {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].text, QStringLiteral("Popunite sva polja."));
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        } else {
            QCOMPARE(shown.size(), 0);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(dlg.BuildConnectionString(), expected);
        }
    }

    void windowsAuthenticationDisablesTheLogin()
    {
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        QCheckBox *sspi = child<QCheckBox>(&dlg, "chkSSPI");
        const QStringList login{"edtUserName", "edtPassword", "lblUserName", "lblPassword"};
        sspi->setChecked(true);
        for (const QString &name : login)
            QVERIFY2(!child<QWidget>(&dlg, name)->isEnabled(), qPrintable(name));
        sspi->setChecked(false);
        for (const QString &name : login)
            QVERIFY2(child<QWidget>(&dlg, name)->isEnabled(), qPrintable(name));
    }

    void listingString_data()
    {
        QTest::addColumn<Fields>("typed");
        QTest::addColumn<bool>("sspi");
        QTest::addColumn<QString>("expected");
        QTest::newRow("login") << Fields{"srv01", "Dorv", "sa", "pw"} << false
                               << "Provider=SQLOLEDB.1;Data Source=srv01;Initial Catalog=master;User ID=sa;Password=pw;";
        QTest::newRow("no user name, no login") << Fields{"srv01", "Dorv", "", "pw"} << false
                                                << "Provider=SQLOLEDB.1;Data Source=srv01;Initial Catalog=master;";
        QTest::newRow("windows authentication")
            << Fields{"srv01", "", "", ""} << true
            << "Provider=SQLOLEDB.1;Data Source=srv01;Initial Catalog=master;Integrated Security=SSPI;";
    }

    void listingString()
    {
        QFETCH(Fields, typed);
        QFETCH(bool, sspi);
        QFETCH(QString, expected);
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        type(dlg, typed);
        child<QCheckBox>(&dlg, "chkSSPI")->setChecked(sspi);
        QCOMPARE(dlg.VratiConnectionString(), expected);
    }

    void getField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a;b;c 1") << "a;b;c" << ";" << 1 << "a";
        QTest::newRow("a;b;c 2") << "a;b;c" << ";" << 2 << "b";
        QTest::newRow("a;b;c 3") << "a;b;c" << ";" << 3 << "c";
        QTest::newRow("a;b;c 4") << "a;b;c" << ";" << 4 << "";
        QTest::newRow("no separator 1") << "abc" << ";" << 1 << "abc";
        QTest::newRow("no separator 2") << "abc" << ";" << 2 << "";
        QTest::newRow("empty middle field") << "a;;c" << ";" << 2 << "";
        QTest::newRow("after the last separator") << "a;" << ";" << 2 << "";
        QTest::newRow("value with =") << "Password=a=b" << "=" << 2 << "a";
    }

    void getField()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(GetField(text, separator, n), expected);
    }

    void storedStringRestoresTheFields_data()
    {
        QTest::addColumn<Fields>("typed");
        QTest::addColumn<Fields>("restored");
        const Fields plain{"srv01\\SQLEXPRESS", "Dorv", "brenmark", "tajna"};
        QTest::newRow("plain texts") << plain << plain;
        QTest::newRow("empty password") << Fields{"srv01", "Dorv", "sa", ""} << Fields{"srv01", "Dorv", "sa", ""};
        QTest::newRow("password with ;") << Fields{"srv01", "Dorv", "sa", "ab;cd"} << Fields{"srv01", "Dorv", "sa", "ab"};
        QTest::newRow("password with =") << Fields{"srv01", "Dorv", "sa", "ab=cd"} << Fields{"srv01", "Dorv", "sa", "ab=cd"};
        QTest::newRow("user name with =") << Fields{"srv01", "Dorv", "a=b", "pw"} << Fields{"srv01", "Dorv", "a=b", "pw"};
    }

    // What SaveConnectionString writes, a later showing (or the next start) reads back.
    void storedStringRestoresTheFields()
    {
        QFETCH(Fields, typed);
        QFETCH(Fields, restored);
        TempSettings temp;
        QString saved;
        {
            TfrmDlgConnect dlg(temp.settings());
            dlg.show();
            type(dlg, typed);
            saved = dlg.SaveConnectionString().value_or(QString());
            QCOMPARE(saved, kLoginForm.arg(typed.server, typed.database, typed.user, typed.password));
        }
        QCOMPARE(storedString(temp), saved);

        TfrmDlgConnect next(temp.settings());
        next.show();
        QCOMPARE(fieldsOf(next), restored);
        // Every showing reads the stored string again over what was typed since.
        next.hide();
        type(next, {"other", "Other", "x", "y"});
        next.show();
        QCOMPARE(fieldsOf(next), restored);
    }

    void emptyStoredStringKeepsTheFields()
    {
        TempSettings temp;
        storeString(temp, "");
        TfrmDlgConnect dlg(temp.settings());
        dlg.show();
        QCOMPARE(fieldsOf(dlg), (Fields{"(local)", "", "brenmark", "tinsmoke"}));
    }

    // The embedded database's form survives a showing and "U redu" unchanged.
    void sqliteStringRoundTrip()
    {
        TempDatabase db;
        TempSettings temp;
        const QString sqlite = "Provider=SQLite;Data Source=" + db.fileName();
        storeString(temp, sqlite);
        TfrmDlgConnect dlg(temp.settings());
        dlg.show();
        QCOMPARE(child<QComboBox>(&dlg, "cbbServer")->currentText(), db.fileName());
        child<QPushButton>(&dlg, "btnOK")->click();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.BuildConnectionString(), sqlite);
    }

    void testButton_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::newRow("SQLite file") << true;
        QTest::newRow("nothing listens on the SQL Server port") << false;
    }

    void testButton()
    {
        QFETCH(bool, reachable);
        TempDatabase db;
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        dlg.show();
        const QString server = reachable ? db.fileName() : QStringLiteral("127.0.0.1,%1").arg(closedPort());
        type(dlg, {server, "Dorv", "sa", "pw"});
        child<QPushButton>(&dlg, "btnTest")->click();

        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        if (reachable) {
            QCOMPARE(shown[0].kind, MessageBoxes::Kind::Information);
            QCOMPARE(shown[0].text, kSuccess);
        } else {
            QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
            QVERIFY(!shown[0].text.trimmed().isEmpty());
            QVERIFY(shown[0].text != kSuccess);
        }
        // The test connection is not left open, and the dialog stays up and usable.
        QVERIFY(!dlg.findChild<DbConnection *>("connTest")->isOpen());
        QVERIFY(dlg.isVisible());
        QVERIFY(storedString(temp).isEmpty());
    }

    void databaseListFallsBack()
    {
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        dlg.show();
        type(dlg, {QStringLiteral("127.0.0.1,%1").arg(closedPort()), "Dorv", "sa", "pw"});
        auto *databases = child<DropDownComboBox>(&dlg, "cbbDatabase");
        databases->showPopup();
        databases->hidePopup();
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        QCOMPARE(databases->count(), 0);
        QCOMPARE(databases->currentText(), QStringLiteral("MolvaReportsDB"));
    }

    void serverList_data()
    {
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::newRow("two servers") << QList<QByteArray>{
            FakeSqlBrowser::reply("ServerName;SRV01;InstanceName;MSSQLSERVER;IsClustered;No;Version;16.0;;"),
            FakeSqlBrowser::reply("ServerName;SRV02;InstanceName;DORV;IsClustered;No;Version;15.0;;")}
                                     << QStringList{"SRV01", "SRV02\\DORV"} << "typed";
        QTest::newRow("none answers") << QList<QByteArray>{} << QStringList{} << "(local)";
    }

    void serverList()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        TempSettings temp;
        FakeSqlBrowser browser(replies);
        TfrmDlgConnect dlg(temp.settings());
        dlg.setServerBrowser(QHostAddress::LocalHost, browser.port(), 300ms);
        dlg.show();
        auto *servers = child<DropDownComboBox>(&dlg, "cbbServer");
        servers->addItem("left over");
        servers->setEditText("typed");
        servers->showPopup();
        servers->hidePopup();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
        QStringList shownItems;
        for (int i = 0; i < servers->count(); ++i)
            shownItems << servers->itemText(i);
        QCOMPARE(shownItems, items);
        QCOMPARE(servers->currentText(), text);
    }

    // Modal use as the main window makes it: "Otkaži" changes nothing.
    void cancelChangesNothing()
    {
        TempSettings temp;
        TfrmDlgConnect dlg(temp.settings());
        whenModalShown([](QWidget *w) {
            child<QComboBox>(w, "cbbDatabase")->setEditText("Dorv");
            child<QPushButton>(w, "btnCancel")->click();
        }, "frmDlgConnect");
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(storedString(temp).isEmpty());
    }
};

QTEST_MAIN(TestDlgConnect)
#include "tst_dlgconnect.moc"
