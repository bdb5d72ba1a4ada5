#include "ToolFixtures.h"

#include "db/ConnectionString.h"
#include "link/ControllersCatalogue.h"
#include "link/uGlobalVars.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tools/uUredjaji_status.h"

#include <QAction>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

// The program started on a database of its own, its command link pointed at a simulated
// communication server on loopback.
struct Program
{
    Program()
    {
        SimOptions options;
        options.port = 0;
        sim = std::make_unique<Link71Simulator>(options);
        if (!sim->start())
            qFatal("simulator did not start");
    }

    TfrmDorvalen &start()
    {
        CommandLinkPorts ports = testPorts();
        ports.server = sim->port();
        program = std::make_unique<StartedProgram>(ConnectionString::forSqliteFile(db.fileName()), ports);
        sim->setAnswerPort(program->window().link()->Listener().serverPort());
        return program->window();
    }

    int frames() const { return sim->framesExecuted(); }

    TempDatabase db;
    AccessLists lists{db};
    std::unique_ptr<Link71Simulator> sim;
    std::unique_ptr<StartedProgram> program;
};

} // namespace

// The controller commands of the main window: "Aktivnosti" -> "Upiši u kontrolere" and the
// debug toolbar's "Status kontrolera".
class TestControllerTools : public QObject
{
    Q_OBJECT

private slots:
    void writeToAllAfterTheQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes: every controller written") << true;
        QTest::newRow("No: nothing") << false;
    }

    void writeToAllAfterTheQuestion()
    {
        QFETCH(bool, yes);
        Program p;
        p.lists.controller("1", "TK71");
        p.lists.grant("1", 1, {"A200000001B81C02"});
        TfrmDorvalen &w = p.start();
        bool opened = false;
        if (yes)
            whenModalShown([&](QWidget *) { opened = true; }, "frmWriteProgress");
        MessageBoxes::setNextAnswer(yes);
        w.Upisiukontrolere1->trigger();
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, WriteAllQuestionText);
        QCOMPARE(opened, yes);
        // One slot of four words, 251 empty slots by their last word.
        QCOMPARE(p.frames(), yes ? 255 : 0);
        if (yes) {
            QCOMPARE(p.sim->memoryWord(3, 1, 0), quint16(0xA200));
            QCOMPARE(p.sim->memoryWord(3, 1, 3), quint16(0x1C02));
        }
    }

    void statusWindowFromTheToolbar()
    {
        Program p;
        p.lists.controller("1", "TK71", "COM3");
        p.lists.controller("7", "TK71 2.1", "COM4");
        TfrmDorvalen &w = p.start();
        w.showDebugControls(true);
        QStringList ids;
        QString status;
        whenModalShown(
            [&](QWidget *dialog) {
                auto *l1 = child<QTableWidget>(dialog, "l1");
                for (int r = 0; r < l1->rowCount(); ++r)
                    ids << l1->item(r, TfrmUredjaji_status::ColID)->text();
                l1->selectRow(1);
                child<QPushButton>(dialog, "Button5")->click();
                QTRY_COMPARE(l1->item(1, TfrmUredjaji_status::ColStatus)->text(), QString("ST 4 7"));
                status = l1->item(1, TfrmUredjaji_status::ColStatus)->text();
                child<QPushButton>(dialog, "Button7")->click();
            },
            "frmUredjaji_status");
        QTest::mouseClick(w.btnStatus, Qt::LeftButton);
        QCOMPARE(ids, QStringList({"1", "7"}));
        QCOMPARE(status, QString("ST 4 7"));
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    // "Ručni unos" and "Izmeni" open the catalogue's dialogs; cancelled, they still end with
    // the device table and the list rebuilt from the catalogue.
    void catalogueDialogsFromTheStatusWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Ručni unos") << "Button2" << "frmNewController";
        QTest::newRow("Izmeni") << "Button4" << "frmEditController";
    }

    void catalogueDialogsFromTheStatusWindow()
    {
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        Program p;
        p.lists.controller("1", "TK71", "COM3");
        p.lists.controller("7", "TK71 2.1", "COM4");
        TfrmDorvalen &w = p.start();
        w.showDebugControls(true);
        int savedDevices = 0;
        bool dialogShown = false;
        QStringList ids;
        whenModalShown(
            [&](QWidget *status) {
                auto *l1 = child<QTableWidget>(status, "l1");
                // A saved list of one controller, then the dialog on it.
                l1->selectRow(0);
                child<QPushButton>(status, "Button3")->click();
                child<QPushButton>(status, "Button8")->click();
                savedDevices = globals().Devices.CountDevices();
                l1->selectRow(0);
                whenModalShown(
                    [&](QWidget *controller) {
                        dialogShown = true;
                        child<QPushButton>(controller, "btnCancel")->click();
                    },
                    dialog);
                child<QPushButton>(status, button)->click();
                for (int r = 0; r < l1->rowCount(); ++r)
                    ids << l1->item(r, TfrmUredjaji_status::ColID)->text();
                child<QPushButton>(status, "Button7")->click();
            },
            "frmUredjaji_status");
        QTest::mouseClick(w.btnStatus, Qt::LeftButton);
        QCOMPARE(savedDevices, 1);
        QVERIFY(dialogShown);
        QCOMPARE(ids, QStringList({"1", "7"}));
        QCOMPARE(globals().Devices.CountDevices(), 2);
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    void anEmptyCatalogueOpensNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Status kontrolera") << "btnStatus";
        QTest::newRow("Upiši u kontrolere") << "Upisiukontrolere1";
    }

    void anEmptyCatalogueOpensNothing()
    {
        QFETCH(QString, command);
        Program p;
        TfrmDorvalen &w = p.start();
        QVERIFY(w.commands().run(command));
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown[0].text, NoControllersText);
        QCOMPARE(p.frames(), 0);
    }
};

QTEST_MAIN(TestControllerTools)
#include "tst_controllertools.moc"
