#include "widgets/MessageBoxes.h"
#include "base/SettingsStore.h"
#include "link/uGlobalVars.h"
#include "app/uKorisnickaSifra.h"
#include "app/uOProgramu.h"
#include "app/uOptions.h"
#include "app/uPassword.h"
#include "widgets/uStatus.h"
#include "link/CommandLink.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TempSettings.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using Shown = QList<MessageBoxes::Shown>;
using DialogFactory = std::function<QDialog *(QSettings &)>;
Q_DECLARE_METATYPE(DialogFactory)

namespace {

// A value of the program's key as the next start would read it.
QVariant storedValue(TempSettings &temp, const QString &name, bool asInteger)
{
    temp.reload();
    SettingsStore store(temp.settings());
    if (!store.openKey(QString(), false))
        return {};
    if (asInteger) {
        const std::optional<int> v = store.readInteger(name);
        return v ? QVariant(*v) : QVariant();
    }
    const std::optional<QString> v = store.readString(name);
    return v ? QVariant(*v) : QVariant();
}

void storePassword(TempSettings &temp, const QString &password)
{
    SettingsStore store(temp.settings());
    store.openKey(QString(), true);
    store.writeString(QStringLiteral("Password"), password);
}

// A settings file that cannot be written: its folder would have to be a regular file.
std::unique_ptr<QSettings> unwritableSettings(QTemporaryDir &dir)
{
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile file(blocker);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(blocker));
    return SettingsStore::openFile(blocker + QStringLiteral("/settings.reg"));
}

// Logs in once with typed; true when the dialog accepted the password.
bool login(TfrmPassword &dlg, const QString &typed)
{
    dlg.show();
    QLineEdit *edit = child<QLineEdit>(&dlg, QStringLiteral("edtPassword"));
    QTest::keyClicks(edit, typed);
    child<QPushButton>(&dlg, QStringLiteral("btnOK"))->click();
    if (dlg.isVisible() || dlg.result() != QDialog::Accepted)
        qWarning("the login dialog did not close with OK");
    return dlg.Accepted();
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        TGlobalVars &g = globals();
        g.CurrentPassword.clear();
        g.SleepTime = 1000;
        g.DebugCtrls = false;
        g.Link = nullptr;
    }

    void frames_data()
    {
        QTest::addColumn<DialogFactory>("make");
        QTest::addColumn<QString>("caption");
        QTest::newRow("login") << DialogFactory([](QSettings &s) { return new TfrmPassword(s); }) << "Prijava";
        QTest::newRow("password change")
            << DialogFactory([](QSettings &s) { return new TfrmKorisnickaSifra(s); }) << "Korisnička lozinka";
        QTest::newRow("options") << DialogFactory([](QSettings &s) { return new TfrmOptions(s); }) << "Opcije";
        QTest::newRow("about") << DialogFactory([](QSettings &) { return new TfrmOProgramu; }) << "O programu";
    }

    // Fixed-size modal dialogs whose buttons show their whole captions.
    void frames()
    {
        QFETCH(DialogFactory, make);
        QFETCH(QString, caption);
        TempSettings temp;
        std::unique_ptr<QDialog> dlg(make(temp.settings()));
        dlg->show();
        QCOMPARE(dlg->windowTitle(), caption);
        QVERIFY(dlg->isModal());
        QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
        QPushButton *ok = child<QPushButton>(dlg.get(), QStringLiteral("btnOK"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("U redu"));
        QVERIFY(ok->isDefault());
        for (QPushButton *b : dlg->findChildren<QPushButton *>())
            QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text()), qPrintable(b->text()));
        for (QLineEdit *e : dlg->findChildren<QLineEdit *>()) {
            if (e->objectName() != QLatin1String("edtSleepTime"))
                QCOMPARE(e->echoMode(), QLineEdit::Password);
        }
    }

    void firstLoginWritesTheFirstPassword()
    {
        TempSettings temp;
        TfrmPassword dlg(temp.settings());
        QVERIFY(login(dlg, "tinsmoke"));
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
        QCOMPARE(globals().CurrentPassword, QStringLiteral("tinsmoke"));
        QCOMPARE(storedValue(temp, "Password", false), QVariant(QStringLiteral("tinsmoke")));
    }

    void wrongPasswordIsRefused_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("case of one letter") << "Tinsmoke" << "tinsmoke";
        QTest::newRow("all upper") << "tinsmoke" << "TINSMOKE";
        QTest::newRow("trailing space") << "tinsmoke" << "tinsmoke ";
        QTest::newRow("prefix") << "tinsmoke" << "tins";
        QTest::newRow("empty typed") << "tinsmoke" << "";
        QTest::newRow("first password, wrong case") << QString() << "Tinsmoke";
    }

    void wrongPasswordIsRefused()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        TempSettings temp;
        if (!stored.isNull())
            storePassword(temp, stored);
        TfrmPassword dlg(temp.settings());
        QVERIFY(!login(dlg, typed));
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown[0].text, QStringLiteral("Neispravna lozinka."));
        const QString expected = stored.isNull() ? QStringLiteral("tinsmoke") : stored;
        QCOMPARE(storedValue(temp, "Password", false), QVariant(expected));
        // The stored password as read, for the password change that may follow.
        QCOMPARE(globals().CurrentPassword, expected);
    }

    // The flag tells about the last showing only, and each showing starts with an empty box.
    void acceptedFlagFollowsTheLastAttempt()
    {
        TempSettings temp;
        TfrmPassword dlg(temp.settings());
        QVERIFY(login(dlg, "tinsmoke"));
        dlg.show();
        QVERIFY(child<QLineEdit>(&dlg, "edtPassword")->text().isEmpty());
        dlg.hide();
        QVERIFY(!login(dlg, "wrong"));
        MessageBoxes::takeShown();

        // Escape cancels and accepts nothing.
        whenModalShown([](QWidget *w) {
            QTest::keyClicks(child<QLineEdit>(w, "edtPassword"), "tinsmoke");
            QTest::keyClick(w, Qt::Key_Escape);
        }, "frmPassword");
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(!dlg.Accepted());
    }

    // A stored value that is no text must not let an empty or any other password in.
    void storedPasswordOfAnotherTypeIsNoPassword()
    {
        TempSettings temp;
        SettingsStore store(temp.settings());
        store.openKey(QString(), true);
        store.writeInteger("Password", 42);
        TfrmPassword dlg(temp.settings());
        QVERIFY(!login(dlg, ""));
        QVERIFY(!login(dlg, "42"));
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
    }

    void loginMaximisesTheMainWindow()
    {
        TempSettings temp;
        QWidget main;
        main.show();
        TfrmPassword dlg(temp.settings(), &main);
        dlg.show();
        QVERIFY(main.windowState() & Qt::WindowMaximized);
    }

    void changePassword_data()
    {
        QTest::addColumn<QString>("oldTyped");
        QTest::addColumn<QString>("newTyped");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<bool>("changed");
        QTest::newRow("right old, same new twice") << "tinsmoke" << "novaLozinka" << "novaLozinka" << true;
        QTest::newRow("empty new password") << "tinsmoke" << "" << "" << true;
        QTest::newRow("wrong old") << "tinsmok" << "nova" << "nova" << false;
        QTest::newRow("old in other case") << "TINSMOKE" << "nova" << "nova" << false;
        QTest::newRow("repetition differs") << "tinsmoke" << "nova" << "Nova" << false;
        QTest::newRow("repetition missing") << "tinsmoke" << "nova" << "" << false;
    }

    void changePassword()
    {
        QFETCH(QString, oldTyped);
        QFETCH(QString, newTyped);
        QFETCH(QString, repeated);
        QFETCH(bool, changed);
        TempSettings temp;
        storePassword(temp, "tinsmoke");
        globals().CurrentPassword = "tinsmoke";
        TfrmKorisnickaSifra dlg(temp.settings());
        dlg.show();
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtOld"), oldTyped);
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtNew"), newTyped);
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtRepeat"), repeated);
        child<QPushButton>(&dlg, "btnOK")->click();

        const Shown shown = MessageBoxes::takeShown();
        const QString expected = changed ? newTyped : QStringLiteral("tinsmoke");
        QCOMPARE(storedValue(temp, "Password", false), QVariant(expected));
        QCOMPARE(globals().CurrentPassword, expected);
        if (changed) {
            QCOMPARE(shown.size(), 0);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        } else {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
            QCOMPARE(shown[0].text, QStringLiteral("Neispravan unos."));
            // Stays open with what was typed.
            QVERIFY(dlg.isVisible());
            QCOMPARE(child<QLineEdit>(&dlg, "edtNew")->text(), newTyped);
        }
    }

    // An empty new password is a password: the next login takes an empty box, and only that.
    void emptyPasswordAtTheNextLogin()
    {
        TempSettings temp;
        TfrmPassword first(temp.settings());
        QVERIFY(login(first, "tinsmoke"));
        TfrmKorisnickaSifra change(temp.settings());
        change.show();
        QTest::keyClicks(child<QLineEdit>(&change, "edtOld"), "tinsmoke");
        child<QPushButton>(&change, "btnOK")->click();
        QVERIFY(!change.isVisible());

        temp.reload();
        TfrmPassword next(temp.settings());
        QVERIFY(!login(next, "tinsmoke"));
        QVERIFY(login(next, ""));
        QCOMPARE(MessageBoxes::takeShown().size(), 1);
    }

    void changePasswordStartsEmpty()
    {
        TempSettings temp;
        TfrmKorisnickaSifra dlg(temp.settings());
        dlg.show();
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtOld"), "abc");
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtRepeat"), "abc");
        child<QPushButton>(&dlg, "btnCancel")->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        dlg.show();
        for (const char *name : {"edtOld", "edtNew", "edtRepeat"})
            QVERIFY(child<QLineEdit>(&dlg, name)->text().isEmpty());
    }

    void registryWriteFailureIsReported()
    {
        QTemporaryDir dir;
        std::unique_ptr<QSettings> settings = unwritableSettings(dir);
        globals().CurrentPassword = "tinsmoke";
        TfrmKorisnickaSifra dlg(*settings);
        dlg.show();
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtOld"), "tinsmoke");
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtNew"), "nova");
        QTest::keyClicks(child<QLineEdit>(&dlg, "edtRepeat"), "nova");
        child<QPushButton>(&dlg, "btnOK")->click();
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        // Not changed, so the operator may try again.
        QCOMPARE(globals().CurrentPassword, QStringLiteral("tinsmoke"));
        QVERIFY(dlg.isVisible());
    }

    void optionsShowTheGlobals()
    {
        TempSettings temp;
        globals().SleepTime = 250;
        globals().DebugCtrls = true;
        TfrmOptions dlg(temp.settings());
        dlg.show();
        QCOMPARE(child<QLineEdit>(&dlg, "edtSleepTime")->text(), QStringLiteral("250"));
        QVERIFY(child<QCheckBox>(&dlg, "chkDebugCtrls")->isChecked());
    }

    void optionsStoreIntegers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<int>("sleepTime");
        QTest::newRow("1500, debug on") << "1500" << true << 1500;
        QTest::newRow("1500, debug off") << "1500" << false << 1500;
        QTest::newRow("zero") << "0" << false << 0;
        QTest::newRow("negative") << "-20" << true << -20;
    }

    void optionsStoreIntegers()
    {
        QFETCH(QString, typed);
        QFETCH(bool, debug);
        QFETCH(int, sleepTime);
        TempSettings temp;
        globals().DebugCtrls = !debug;
        CommandLink link(CommandLinkPorts{65000, 0, QHostAddress::LocalHost});
        TfrmOptions dlg(temp.settings());
        dlg.setCommandLink(&link);
        dlg.show();
        QLineEdit *edit = child<QLineEdit>(&dlg, "edtSleepTime");
        edit->clear();
        QTest::keyClicks(edit, typed);
        child<QCheckBox>(&dlg, "chkDebugCtrls")->setChecked(debug);
        child<QPushButton>(&dlg, "btnOK")->click();

        QCOMPARE(MessageBoxes::takeShown().size(), 0);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(globals().SleepTime, sleepTime);
        QCOMPARE(globals().DebugCtrls, debug);
        QCOMPARE(link.Sender().SleepTime(), sleepTime);
        // Both as integers, the way the start-up reads them.
        QCOMPARE(storedValue(temp, "SleepTime", true), QVariant(sleepTime));
        QCOMPARE(storedValue(temp, "DebugCtrls", true), QVariant(debug ? 1 : 0));
    }

    void optionsRefuseNonIntegers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "abc";
        QTest::newRow("digits then letters") << "15x0";
        QTest::newRow("empty") << "";
        QTest::newRow("decimal point") << "1.5";
        QTest::newRow("beyond 32 bits") << "4294967296";
    }

    void optionsRefuseNonIntegers()
    {
        QFETCH(QString, typed);
        TempSettings temp;
        SettingsStore store(temp.settings());
        store.openKey(QString(), true);
        store.writeInteger("SleepTime", 700);
        globals().SleepTime = 700;
        TfrmOptions dlg(temp.settings());
        dlg.show();
        QLineEdit *edit = child<QLineEdit>(&dlg, "edtSleepTime");
        edit->clear();
        QTest::keyClicks(edit, typed);
        child<QCheckBox>(&dlg, "chkDebugCtrls")->setChecked(true);
        child<QPushButton>(&dlg, "btnOK")->click();

        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        QVERIFY2(shown[0].text.contains("is not a valid integer value"), qPrintable(shown[0].text));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(globals().SleepTime, 700);
        QCOMPARE(globals().DebugCtrls, false);
        QCOMPARE(storedValue(temp, "SleepTime", true), QVariant(700));
        QVERIFY(!storedValue(temp, "DebugCtrls", true).isValid());
    }

    void optionsCancelChangesNothing()
    {
        TempSettings temp;
        TfrmOptions dlg(temp.settings());
        dlg.show();
        child<QLineEdit>(&dlg, "edtSleepTime")->setText("5");
        child<QCheckBox>(&dlg, "chkDebugCtrls")->setChecked(true);
        child<QPushButton>(&dlg, "btnCancel")->click();
        QCOMPARE(globals().SleepTime, 1000);
        QCOMPARE(globals().DebugCtrls, false);
        QVERIFY(!storedValue(temp, "SleepTime", true).isValid());
    }

    // The globals hold the new values for the rest of the run even when the registry fails.
    void optionsWithUnwritableRegistry()
    {
        QTemporaryDir dir;
        std::unique_ptr<QSettings> settings = unwritableSettings(dir);
        TfrmOptions dlg(*settings);
        dlg.show();
        child<QLineEdit>(&dlg, "edtSleepTime")->setText("1500");
        child<QPushButton>(&dlg, "btnOK")->click();
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        QCOMPARE(globals().SleepTime, 1500);
    }

    void aboutBox()
    {
        TfrmOProgramu dlg;
        dlg.show();
        QCOMPARE(child<QLabel>(&dlg, "lblName")->text(), QStringLiteral("Dorvalen"));
        QCOMPARE(child<QLabel>(&dlg, "lblVersion")->text(), QStringLiteral("Verzija:    1.3.1"));
        // The logo is a picture, not an empty square, and it sits left of the texts.
        const QImage logo = child<QLabel>(&dlg, "imgLogo")->pixmap().toImage();
        QVERIFY(!logo.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < logo.height(); y += 4)
            for (int x = 0; x < logo.width(); x += 4)
                colours.insert(logo.pixel(x, y));
        QVERIFY(colours.size() > 3);
        QVERIFY(child<QLabel>(&dlg, "imgLogo")->geometry().right() < child<QLabel>(&dlg, "lblName")->x());
        child<QPushButton>(&dlg, "btnOK")->click();
        QVERIFY(!dlg.isVisible());
    }

    void busyNotice()
    {
        QWidget main;
        main.setGeometry(100, 100, 800, 600);
        main.show();
        TfrmStatus status(&main);
        QCOMPARE(status.windowTitle(), QStringLiteral("Info"));
        QCOMPARE(status.t1->objectName(), QStringLiteral("t1"));
        QCOMPARE(status.t1->text(), QStringLiteral("Čitam"));
        status.showBusy(QStringLiteral("Očitavam racunare u mreži..."));
        QVERIFY(status.isVisible());
        QCOMPARE(status.t1->text(), QStringLiteral("Očitavam racunare u mreži..."));
        // Not modal: the caller's window keeps working while the notice is up.
        QVERIFY(QApplication::activeModalWidget() != &status);
        QCOMPARE(status.minimumSize(), status.maximumSize());
        QVERIFY(status.t1->width() >= status.t1->sizeHint().width());
        QVERIFY((status.geometry().center() - main.geometry().center()).manhattanLength() < 40);
        status.close();
        QVERIFY(!status.isVisible());
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
