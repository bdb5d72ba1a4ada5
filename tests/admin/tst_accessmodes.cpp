// Revoking access and changing a zone link's mode: the unassign command in every view,
// its confirmation, rollback and focus rule, and the two access-mode dialogs.
#include "admin/uZoneAccess.h"
#include "db/uDMGZ.h"
#include "tests/admin/AssignmentFixture.h"
#include "tests/support/ModalDriver.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using Shown = QList<MessageBoxes::Shown>;

namespace {

// Links of every kind; X1 is both a person and a group, linked to zone Z1 as each.
const QStringList kLinks = {
    "INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('X1', 'Iks', 'Jedan', 'S1')",
    "INSERT INTO tblDorvGrupe VALUES ('X1', 'Iks grupa')",
    "INSERT INTO tblDorvOsobe_Grupe VALUES (1, 'P1', 'G1', 1), (2, 'P1', 'G2', 1), (3, 'P1', 'G3', 1),"
    " (4, 'P2', 'G1', 1), (5, 'O''Brien', 'G4', 1)",
    "INSERT INTO tblDorvOsobe_Zone VALUES (1, 'P1', 'Z1', 1, 0), (2, 'P1', 'Z2', 1, 1), (3, 'P2', 'Z1', 1, 2),"
    " (4, 'O''Brien', 'Z3', 1, 0), (5, 'X1', 'Z1', 1, 0)",
    "INSERT INTO tblDorvGrupe_Zone VALUES (1, 'G1', 'Z1', 1, 0), (2, 'G1', 'Z2', 1, 1), (3, 'G2', 'Z1', 1, 2),"
    " (4, 'X1', 'Z1', 1, 1)",
};
const QStringList kPersonGroups = {"1|P1|G1", "2|P1|G2", "3|P1|G3", "4|P2|G1", "5|O'Brien|G4"};
const QStringList kPersonZones = {"1|P1|Z1|0", "2|P1|Z2|1", "3|P2|Z1|2", "4|O'Brien|Z3|0", "5|X1|Z1|0"};
const QStringList kGroupZones = {"1|G1|Z1|0", "2|G1|Z2|1", "3|G2|Z1|2", "4|X1|Z1|1"};

QStringList without(QStringList list, const QStringList &gone)
{
    for (const QString &row : gone)
        list.removeAll(row);
    return list;
}

QStringList replaced(QStringList list, const QString &from, const QString &to)
{
    list.replace(list.indexOf(from), to);
    return list;
}

} // namespace

class TestAccessModes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AssignmentProgram> m_program;
    TfrmDorvalen *w = nullptr;
    TempDatabase &db() { return m_program->db(); }

    void verifyLinks(const QStringList &personGroups, const QStringList &personZones, const QStringList &groupZones)
    {
        QCOMPARE(m_program->links("tblDorvOsobe_Grupe"), personGroups);
        QCOMPARE(m_program->links("tblDorvOsobe_Zone"), personZones);
        QCOMPARE(m_program->links("tblDorvGrupe_Zone"), groupZones);
    }

    // Answers the access dialog objectName with mode (or cancels it); returns its text.
    void answerAccess(const QString &objectName, int mode, bool cancel, QString *text = nullptr, int *shownMode = nullptr)
    {
        whenModalShown(
            [=](QWidget *dialog) {
                auto *box = child<QComboBox>(dialog, "cmbAccess");
                if (text)
                    *text = child<QLabel>(dialog, "lblText")->text();
                if (shownMode)
                    *shownMode = box->currentIndex();
                if (mode >= 0)
                    box->setCurrentIndex(mode);
                child<QPushButton>(dialog, cancel ? "btnCancel" : "btnOK")->click();
            },
            objectName);
    }

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        m_program = std::make_unique<AssignmentProgram>();
        w = &m_program->window();
        for (const QString &sql : kLinks)
            db().exec(sql);
    }

    void cleanup()
    {
        m_program.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void unassignRemovesTheSelectedLinks_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("master");
        QTest::addColumn<QStringList>("select");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QStringList>("personGroups");
        QTest::addColumn<QStringList>("personZones");
        QTest::addColumn<QStringList>("groupZones");
        QTest::addColumn<QStringList>("detailAfter");
        QTest::newRow("person from groups")
            << "Osobe" << "Grupe" << "P1" << QStringList{"G1", "G3"}
            << "Jeste li sigurni da želite da osoba Perić Ana bude uklonjena iz odabranih grupa?"
            << without(kPersonGroups, {"1|P1|G1", "3|P1|G3"}) << kPersonZones << kGroupZones << QStringList{"G2"};
        QTest::newRow("person from zones")
            << "Osobe" << "Zone" << "P1" << QStringList{"Z2"}
            << "Jeste li sigurni da želite da osoba Perić Ana bude uklonjena iz odabranih zona?" << kPersonGroups
            << without(kPersonZones, {"2|P1|Z2|1"}) << kGroupZones << QStringList{"Z1"};
        QTest::newRow("apostrophe key")
            << "Osobe" << "Grupe" << "O'Brien" << QStringList{"G4"}
            << "Jeste li sigurni da želite da osoba Brien Owen bude uklonjena iz odabranih grupa?"
            << without(kPersonGroups, {"5|O'Brien|G4"}) << kPersonZones << kGroupZones << QStringList{};
        QTest::newRow("persons from group")
            << "Grupe" << "Osobe" << "G1" << QStringList{"P1"}
            << "Jeste li sigurni da želite da uklonite odabrane osobe iz grupe Smena A?"
            << without(kPersonGroups, {"1|P1|G1"}) << kPersonZones << kGroupZones << QStringList{"P2"};
        QTest::newRow("group from zones")
            << "Grupe" << "Zone" << "G1" << QStringList{"Z2", "Z1"}
            << "Jeste li sigurni da želite da uklonite grupu Smena A iz odabranih zona?" << kPersonGroups
            << kPersonZones << without(kGroupZones, {"1|G1|Z1|0", "2|G1|Z2|1"}) << QStringList{};
        // The row's own kind only: the group X1 keeps its link when the person X1 goes.
        QTest::newRow("person row of a zone")
            << "Zone" << "Osobe i grupe" << "Z1" << QStringList{"X1"}
            << "Jeste li sigurni da želite da uklonite odabrane osobe/grupe iz zone Hala?" << kPersonGroups
            << without(kPersonZones, {"5|X1|Z1|0"}) << kGroupZones << QStringList{"G1", "G2", "P1", "P2", "X1"};
        QTest::newRow("group rows of a zone")
            << "Zone" << "Osobe i grupe" << "Z1" << QStringList{".X1", "P2", ".G2"}
            << "Jeste li sigurni da želite da uklonite odabrane osobe/grupe iz zone Hala?" << kPersonGroups
            << without(kPersonZones, {"3|P2|Z1|2"}) << without(kGroupZones, {"4|X1|Z1|1", "3|G2|Z1|2"})
            << QStringList{"G1", "P1", "X1"};
    }

    void unassignRemovesTheSelectedLinks()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(QString, master);
        QFETCH(QStringList, select);
        QFETCH(QString, confirmation);
        QFETCH(QStringList, personGroups);
        QFETCH(QStringList, personZones);
        QFETCH(QStringList, groupZones);
        QFETCH(QStringList, detailAfter);
        m_program->show(view, tab);
        m_program->focusMaster(master);
        const int index = w->focusedMasterIndex();
        m_program->selectDetail(select);
        MessageBoxes::setNextAnswer(true);
        w->Aktivnost2->trigger();

        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageBoxes::Kind::Question);
        QCOMPARE(shown.first().text, confirmation);
        verifyLinks(personGroups, personZones, groupZones);
        QVERIFY(!w->dmGZ->connMain->inTransaction());
        QStringList ids = m_program->detailColumn("ID");
        ids.sort();
        QCOMPARE(ids, detailAfter);
        QCOMPARE(w->focusedMasterIndex(), index);
        QCOMPARE(w->masterQuery()->asString("ID"), master);
    }

    // No: nothing goes, yet the master list is re-read (it shows a group added meanwhile)
    // and its focused row is restored.
    void answeringNoRemovesNothingButRereads()
    {
        m_program->show("Grupe", "Osobe");
        m_program->focusMaster("G2");
        m_program->selectDetail({"P1"});
        db().exec("INSERT INTO tblDorvGrupe VALUES ('G9', 'Nova')");
        MessageBoxes::setNextAnswer(false);
        QTest::mouseClick(w->btnUnassign, Qt::LeftButton);
        QCOMPARE(MessageBoxes::takeShown().size(), 1);
        verifyLinks(kPersonGroups, kPersonZones, kGroupZones);
        QCOMPARE(w->masterGrid()->model()->rowCount(), 8);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("G2"));
        QCOMPARE(m_program->detailColumn("ID"), QStringList{"P1"});
    }

    void confirmingWithNothingSelectedRemovesNothing()
    {
        m_program->show("Osobe", "Zone");
        m_program->focusMaster("P1");
        m_program->selectDetail({});
        QVERIFY(w->detailGrid()->selectionModel()->selectedRows().isEmpty());
        MessageBoxes::setNextAnswer(true);
        QTest::mouseClick(w->btnUnassign, Qt::LeftButton);
        QCOMPARE(MessageBoxes::takeShown().size(), 1);
        verifyLinks(kPersonGroups, kPersonZones, kGroupZones);
        QVERIFY(!w->dmGZ->connMain->inTransaction());
    }

    // The second of two deletes refused: neither link goes, the view's text shows.
    void failureKeepsEverySelectedLink_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("master");
        QTest::addColumn<QStringList>("select");
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QString>("error");
        const QString persons = "Greška u unosu, podaci nisu dodati u bazu.";
        QTest::newRow("person from groups") << "Osobe" << "Grupe" << "P1" << QStringList{"G1", "G2"}
                                            << "tblDorvOsobe_Grupe WHEN OLD.IDGrupe = 'G2'" << persons;
        QTest::newRow("person from zones") << "Osobe" << "Zone" << "P1" << QStringList{"Z1", "Z2"}
                                           << "tblDorvOsobe_Zone WHEN OLD.IDZone = 'Z2'" << persons;
        QTest::newRow("persons from group") << "Grupe" << "Osobe" << "G1" << QStringList{"P1", "P2"}
                                            << "tblDorvOsobe_Grupe WHEN OLD.IDZaposlenog = 'P2'" << persons;
        QTest::newRow("group from zones") << "Grupe" << "Zone" << "G1" << QStringList{"Z1", "Z2"}
                                          << "tblDorvGrupe_Zone WHEN OLD.IDZone = 'Z2'" << persons;
        QTest::newRow("zone") << "Zone" << "Osobe i grupe" << "Z1" << QStringList{"P1", ".G2"}
                              << "tblDorvGrupe_Zone WHEN OLD.IDGrupe = 'G2'"
                              << "Greska u unosu, podaci nisu dodati u bazu.";
    }

    void failureKeepsEverySelectedLink()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(QString, master);
        QFETCH(QStringList, select);
        QFETCH(QString, refuse);
        QFETCH(QString, error);
        db().exec("CREATE TRIGGER refuse BEFORE DELETE ON " + refuse + " BEGIN SELECT RAISE(ABORT, 'odbijeno'); END");
        m_program->show(view, tab);
        m_program->focusMaster(master);
        m_program->selectDetail(select);
        MessageBoxes::setNextAnswer(true);
        w->Aktivnost2->trigger();
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown.at(1).text, error);
        verifyLinks(kPersonGroups, kPersonZones, kGroupZones);
        QVERIFY(!w->dmGZ->connMain->inTransaction());
        QCOMPARE(w->masterQuery()->asString("ID"), master);
    }

    // Another workstation removed the focused last group: the row before takes the focus.
    void shorterMasterListFocusesTheRowBefore()
    {
        m_program->show("Grupe", "Zone");
        m_program->focusMaster("X1");
        const int index = w->focusedMasterIndex();
        QCOMPARE(index, w->masterQuery()->rowCount() - 1);
        db().exec("DELETE FROM tblDorvGrupe WHERE IDGrupe = 'X1'");
        MessageBoxes::setNextAnswer(false);
        w->Aktivnost2->trigger();
        QCOMPARE(MessageBoxes::takeShown().size(), 1);
        QCOMPARE(w->focusedMasterIndex(), index - 1);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("G6"));
    }

    // "2 - i sa i bez PIN koda" is stored in exactly the focused link, and shown.
    void changeAccessStoresTheModeInThatLinkOnly_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("master");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("personZones");
        QTest::addColumn<QStringList>("groupZones");
        QTest::newRow("person's zone") << "Osobe" << "Zone" << "P1" << "Z2" << "frmZoneAccess"
                                       << "Odredite pristup zoni Krov za osobu Perić Ana"
                                       << replaced(kPersonZones, "2|P1|Z2|1", "2|P1|Z2|2") << kGroupZones;
        QTest::newRow("apostrophe key") << "Osobe" << "Zone" << "O'Brien" << "Z3" << "frmZoneAccess"
                                        << "Odredite pristup zoni Magacin za osobu Brien Owen"
                                        << replaced(kPersonZones, "4|O'Brien|Z3|0", "4|O'Brien|Z3|2") << kGroupZones;
        QTest::newRow("group's zone") << "Grupe" << "Zone" << "G1" << "Z1" << "frmGZoneAccess"
                                      << "Odredite pristup zoni Hala za grupu Smena A" << kPersonZones
                                      << replaced(kGroupZones, "1|G1|Z1|0", "1|G1|Z1|2");
        QTest::newRow("zone's person") << "Zone" << "Osobe i grupe" << "Z1" << "X1" << "frmZoneAccess"
                                       << "Odredite pristup zoni Hala za osobu Iks Jedan"
                                       << replaced(kPersonZones, "5|X1|Z1|0", "5|X1|Z1|2") << kGroupZones;
        QTest::newRow("zone's group") << "Zone" << "Osobe i grupe" << "Z1" << ".X1" << "frmGZoneAccess"
                                      << "Odredite pristup zoni Hala za grupu Iks grupa" << kPersonZones
                                      << replaced(kGroupZones, "4|X1|Z1|1", "4|X1|Z1|2");
    }

    void changeAccessStoresTheModeInThatLinkOnly()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(QString, master);
        QFETCH(QString, row);
        QFETCH(QString, dialog);
        QFETCH(QString, text);
        QFETCH(QStringList, personZones);
        QFETCH(QStringList, groupZones);
        m_program->show(view, tab);
        m_program->focusMaster(master);
        m_program->selectDetail({row});
        QString shownText;
        answerAccess(dialog, 2, false, &shownText);
        QTest::mouseClick(w->btnChangeAccess, Qt::LeftButton);
        QCOMPARE(shownText, text);
        verifyLinks(kPersonGroups, personZones, groupZones);
        m_program->selectDetail({row});
        const int focused = w->detailGrid()->currentIndex().row();
        QCOMPARE(m_program->detailColumn("Pristup").at(focused), QStringLiteral("2"));
    }

    void changeAccessOnAnEmptyDetailListOpensNothing_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("master");
        QTest::newRow("person") << "Osobe" << "Zone" << "P5";
        QTest::newRow("group") << "Grupe" << "Zone" << "G6";
        QTest::newRow("zone") << "Zone" << "Osobe i grupe" << "Z6";
    }

    void changeAccessOnAnEmptyDetailListOpensNothing()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(QString, master);
        m_program->show(view, tab);
        m_program->focusMaster(master);
        QVERIFY(w->btnChangeAccess->isVisible());
        QVERIFY(!w->btnChangeAccess->isEnabled());
        NoModalExpected none;
        QVERIFY(w->commands().run("btnChangeAccess"));
        QCOMPARE(none.opened(), QStringList());
        verifyLinks(kPersonGroups, kPersonZones, kGroupZones);
    }

    // A refused update: the database's own text, the link keeps its mode.
    void refusedModeChangeShowsTheDatabaseText()
    {
        db().exec("CREATE TRIGGER refuse BEFORE UPDATE ON tblDorvOsobe_Zone BEGIN SELECT RAISE(ABORT, 'izmena zabranjena'); END");
        m_program->show("Osobe", "Zone");
        m_program->focusMaster("P1");
        m_program->selectDetail({"Z2"});
        answerAccess("frmZoneAccess", 2, false);
        QTest::mouseClick(w->btnChangeAccess, Qt::LeftButton);
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageBoxes::Kind::Error);
        QVERIFY2(shown.first().text.contains("izmena zabranjena"), qPrintable(shown.first().text));
        verifyLinks(kPersonGroups, kPersonZones, kGroupZones);
        QVERIFY(!w->dmGZ->connMain->inTransaction());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // The selector shows the mode last chosen in that dialog, not the link's; "Otkaži"
    // writes nothing.
    void eachAccessDialogKeepsItsLastChoice()
    {
        m_program->show("Osobe", "Zone");
        m_program->focusMaster("P1");
        m_program->selectDetail({"Z2"});
        int first = -1, second = -1, other = -1;
        answerAccess("frmZoneAccess", 2, true, nullptr, &first);
        QTest::mouseClick(w->btnChangeAccess, Qt::LeftButton);
        verifyLinks(kPersonGroups, kPersonZones, kGroupZones);
        answerAccess("frmZoneAccess", -1, true, nullptr, &second);
        QTest::mouseClick(w->btnChangeAccess, Qt::LeftButton);
        m_program->show("Grupe", "Zone");
        answerAccess("frmGZoneAccess", -1, true, nullptr, &other);
        QTest::mouseClick(w->btnChangeAccess, Qt::LeftButton);
        QCOMPARE(first, 0);
        QCOMPARE(second, 2);
        QCOMPARE(other, 0);
        QVERIFY(!child<QComboBox>(child<QWidget>(w, "frmZoneAccess"), "cmbAccess")->isEditable());
    }

    // As the operator sees them: text, selector, buttons, nothing cut off; the pictures go
    // to the build folder for a look.
    void accessDialogsShowTheirFieldsInOrder_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("person") << "frmZoneAccess";
        QTest::newRow("group") << "frmGZoneAccess";
    }

    void accessDialogsShowTheirFieldsInOrder()
    {
        QFETCH(QString, dialog);
        auto *shown = child<TfrmZoneAccess>(w, dialog);
        shown->setTexts(QStringLiteral("Perić Ana Marija"), QStringLiteral("Kancelarija direktora"));
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        verifyShownInOrder(shown, {"lblText", "cmbAccess", "btnOK"});
        shown->reject();
    }
};

QTEST_MAIN(TestAccessModes)
#include "tst_accessmodes.moc"
