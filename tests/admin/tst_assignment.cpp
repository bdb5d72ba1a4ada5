// Granting access: the assign command in every view, the six assignment dialogs, the
// zone view's question, and what a controller's database image holds afterwards.
#include "admin/uAssign.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "link/DBImage.h"
#include "link/DeviceTable.h"
#include "tests/admin/AssignmentFixture.h"
#include "tests/support/ModalDriver.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>

using Shown = QList<MessageBoxes::Shown>;

namespace {

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestAssignment : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AssignmentProgram> m_program;
    TfrmDorvalen *w = nullptr;
    TempDatabase &db() { return m_program->db(); }

    // Runs the assign command from the menu; in the zone view answers the question first.
    void assignThroughMenu(const QString &view, bool groups, const std::function<void()> &answerDialog)
    {
        if (view == QLatin1String("Zone"))
            answerQuestion(groups, false, answerDialog);
        else
            answerDialog();
        w->Aktivnost1->trigger();
    }

private slots:
    void init()
    {
        MessageBoxes::setScripted(true);
        m_program = std::make_unique<AssignmentProgram>();
        w = &m_program->window();
    }

    void cleanup()
    {
        m_program.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }

    void eachMemberOffersWritesAndRereads_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("groups");
        QTest::addColumn<QString>("master");
        QTest::addColumn<QStringList>("fixture");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("choose");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<QStringList>("detailAfter");
        QTest::addColumn<QStringList>("rereads");

        const QStringList idName{"ID", "Naziv"};
        const QStringList idPerson{"ID", "Prezime", "Ime"};
        // Largest ID 41: the three chosen get 42, 43, 44 in the list's order, not the clicks'.
        QTest::newRow("person to groups")
            << "Osobe" << "Grupe" << false << "P2" << QStringList{"INSERT INTO tblDorvOsobe_Grupe VALUES (41, 'P2', 'G2', 1)"}
            << "frmAssignGroups" << "Dodela grupama" << "Dodeli osobu Jović Marko sledećim grupama: " << idName
            << QStringList{"G1", "G3", "G4", "G5", "G6"} << QStringList{"G5", "G1", "G4"} << -1 << "tblDorvOsobe_Grupe"
            << QStringList{"41|P2|G2", "42|P2|G1", "43|P2|G4", "44|P2|G5"} << QStringList{"G1", "G2", "G4", "G5"}
            << QStringList{"qPersons"};
        // Membership of a group linked to Z2 does not hide Z2; the key holds an apostrophe.
        QTest::newRow("person to zones")
            << "Osobe" << "Zone" << false << "O'Brien"
            << QStringList{"INSERT INTO tblDorvOsobe_Zone VALUES (7, 'O''Brien', 'Z1', 1, 0)",
                           "INSERT INTO tblDorvOsobe_Grupe VALUES (1, 'O''Brien', 'G1', 1)",
                           "INSERT INTO tblDorvGrupe_Zone VALUES (1, 'G1', 'Z2', 1, 0)"}
            << "frmAssignZones" << "Dodela zonama" << "Dodeli osobu Brien Owen sledećim zonama:" << idName
            << QStringList{"Z2", "Z3", "Z4", "Z5", "Z6"} << QStringList{"Z6", "Z2"} << 1 << "tblDorvOsobe_Zone"
            << QStringList{"7|O'Brien|Z1|0", "8|O'Brien|Z2|1", "9|O'Brien|Z6|1"} << QStringList{"Z1", "Z2", "Z6"}
            << QStringList{"qPersons"};
        QTest::newRow("persons to group")
            << "Grupe" << "Osobe" << false << "G2" << QStringList{"INSERT INTO tblDorvOsobe_Grupe VALUES (5, 'P1', 'G2', 1)"}
            << "frmAssignPG" << "Dodela osoba" << "Grupi Smena B dodeli sledeće osobe:" << idPerson
            << QStringList{"O'Brien", "P2", "P3", "P4", "P5", "P6"} << QStringList{"P4", "O'Brien"} << -1
            << "tblDorvOsobe_Grupe" << QStringList{"5|P1|G2", "6|O'Brien|G2", "7|P4|G2"}
            << QStringList{"O'Brien", "P1", "P4"} << QStringList{"qGroups", "qPersons"};
        // An empty link table: the rows get 1 and 2.
        QTest::newRow("group to zones")
            << "Grupe" << "Zone" << false << "G3" << QStringList{} << "frmAssignGZ" << "Dodela zonama"
            << "Grupu Uprava dodeli sledećim zonama: " << idName << QStringList{"Z1", "Z2", "Z3", "Z4", "Z5", "Z6"}
            << QStringList{"Z4", "Z1"} << 2 << "tblDorvGrupe_Zone" << QStringList{"1|G3|Z1|2", "2|G3|Z4|2"}
            << QStringList{"Z1", "Z4"} << QStringList{"qGroups", "qPersons"};
        // P2 reaches Z2 through G1 only, so it is still offered.
        QTest::newRow("persons to zone")
            << "Zone" << "Osobe i grupe" << false << "Z2"
            << QStringList{"INSERT INTO tblDorvOsobe_Zone VALUES (3, 'P1', 'Z2', 1, 1)",
                           "INSERT INTO tblDorvOsobe_Grupe VALUES (1, 'P2', 'G1', 1)",
                           "INSERT INTO tblDorvGrupe_Zone VALUES (1, 'G1', 'Z2', 1, 0)"}
            << "frmAssignZP" << "Dodela osoba" << "Dodeli zoni Krov sledeće osobe:" << idPerson
            << QStringList{"O'Brien", "P2", "P3", "P4", "P5", "P6"} << QStringList{"P2", "O'Brien"} << 0
            << "tblDorvOsobe_Zone" << QStringList{"3|P1|Z2|1", "4|O'Brien|Z2|0", "5|P2|Z2|0"}
            << QStringList{"G1", "O'Brien", "P1", "P2"} << QStringList{"qZones", "qPersons"};
        QTest::newRow("groups to zone")
            << "Zone" << "Osobe i grupe" << true << "Z3" << QStringList{"INSERT INTO tblDorvGrupe_Zone VALUES (10, 'G1', 'Z3', 1, 1)"}
            << "frmAssignZG" << "Dodela grupa" << "Dodeli zoni Magacin sledeće grupe:" << idName
            << QStringList{"G2", "G3", "G4", "G5", "G6"} << QStringList{"G6"} << 1 << "tblDorvGrupe_Zone"
            << QStringList{"10|G1|Z3|1", "11|G6|Z3|1"} << QStringList{"G1", "G6"} << QStringList{"qZones"};
    }

    void eachMemberOffersWritesAndRereads()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(bool, groups);
        QFETCH(QString, master);
        QFETCH(QStringList, fixture);
        QFETCH(QString, dialog);
        QFETCH(QString, caption);
        QFETCH(QString, prompt);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, choose);
        QFETCH(int, mode);
        QFETCH(QString, table);
        QFETCH(QStringList, links);
        QFETCH(QStringList, detailAfter);
        QFETCH(QStringList, rereads);

        for (const QString &sql : fixture)
            db().exec(sql);
        m_program->show(view, tab);
        m_program->focusMaster(master);
        const int index = w->focusedMasterIndex();

        // While the dialog is open another workstation adds a person, a group and a zone:
        // the lists the dialog re-reads show them afterwards, the others do not.
        AssignSeen seen;
        AssignAnswer answer{choose, mode, false, [this] {
                                db().exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) "
                                          "VALUES ('P9', 'Novi', 'Novak', 'S1')");
                                db().exec("INSERT INTO tblDorvGrupe VALUES ('G9', 'Nova')");
                                db().exec("INSERT INTO tblDorvZone VALUES ('Z9', 'Nova')");
                            }};
        assignThroughMenu(view, groups, [&] { answerAssign(dialog, answer, &seen); });

        QCOMPARE(seen.caption, caption);
        QCOMPARE(seen.prompt, prompt);
        QCOMPARE(seen.headers, headers);
        QCOMPARE(seen.candidates, offered);
        QCOMPARE(seen.hasAccess, table != QLatin1String("tblDorvOsobe_Grupe"));
        QCOMPARE(m_program->links(table), links);
        QVERIFY(!w->dmGZ->connMain->inTransaction());
        // The candidate list is open only while its dialog is shown.
        for (const char *candidates : {"qAGroups", "qAZones", "qAPersonsToGroups", "qAGroupsToZones",
                                       "qAPersonsToZones", "qAssignGroupsToZones"})
            QVERIFY2(!w->dmGZ->query(candidates)->isActive(), candidates);

        QCOMPARE(w->focusedMasterIndex(), index);
        QCOMPARE(w->masterQuery()->asString("ID"), master);
        QCOMPARE(sorted(m_program->detailColumn("ID")), detailAfter);
        const QList<QPair<QString, QString>> masters = {
            {"qPersons", "P9"}, {"qGroups", "G9"}, {"qZones", "Z9"}};
        for (const auto &[name, added] : masters) {
            NamedQuery *q = w->dmMain->query(name);
            if (!q->isActive())
                continue;
            bool found = false;
            for (int r = 0; r < q->rowCount(); ++r)
                found = found || q->cell(r, q->fieldIndex("ID")).toString() == added;
            QVERIFY2(found == rereads.contains(name), qPrintable(name));
        }
    }

    // Third of five inserts refused: none of the five stays, the dialog's own text shows.
    void failureLeavesNoneOfTheBatch_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("groups");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("choose");
        QTest::addColumn<QString>("error");
        const QString plain = "Greska u unosu, podaci nisu dodati u bazu.";
        const QStringList zones{"Z1", "Z2", "Z3", "Z4", "Z5"};
        const QStringList groups{"G1", "G2", "G3", "G4", "G5"};
        const QStringList persons{"P1", "P2", "P3", "P4", "P5"};
        QTest::newRow("person to groups") << "Osobe" << "Grupe" << false << "frmAssignGroups" << "tblDorvOsobe_Grupe"
                                          << groups << "Greska u unosu, podaci nisu dodati u bazu podataka.";
        QTest::newRow("person to zones") << "Osobe" << "Zone" << false << "frmAssignZones" << "tblDorvOsobe_Zone"
                                         << zones << plain;
        QTest::newRow("persons to group") << "Grupe" << "Osobe" << false << "frmAssignPG" << "tblDorvOsobe_Grupe"
                                          << persons << plain;
        QTest::newRow("group to zones") << "Grupe" << "Zone" << false << "frmAssignGZ" << "tblDorvGrupe_Zone" << zones
                                        << plain;
        QTest::newRow("persons to zone") << "Zone" << "Osobe i grupe" << false << "frmAssignZP" << "tblDorvOsobe_Zone"
                                         << persons << plain;
        QTest::newRow("groups to zone") << "Zone" << "Osobe i grupe" << true << "frmAssignZG" << "tblDorvGrupe_Zone"
                                        << groups << plain;
    }

    void failureLeavesNoneOfTheBatch()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(bool, groups);
        QFETCH(QString, dialog);
        QFETCH(QString, table);
        QFETCH(QStringList, choose);
        QFETCH(QString, error);
        db().exec(QStringLiteral("CREATE TRIGGER refuseThird BEFORE INSERT ON %1 WHEN NEW.ID = 3 "
                                 "BEGIN SELECT RAISE(ABORT, 'odbijeno'); END")
                      .arg(table));
        m_program->show(view, tab);
        assignThroughMenu(view, groups, [&] { answerAssign(dialog, {choose, 1, false, {}}); });

        QCOMPARE(m_program->links(table), QStringList());
        QVERIFY(!w->dmGZ->connMain->inTransaction());
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown.first().text, error);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(m_program->detailColumn("ID"), QStringList());
    }

    // "Otkaži" runs no statement; the main window still restores its focus and re-reads
    // the detail list (which shows what another workstation linked meanwhile).
    void cancelWritesNothingButRestoresFocusAndRereads()
    {
        m_program->show("Osobe", "Zone");
        m_program->focusMaster("P4");
        const int index = w->focusedMasterIndex();
        answerAssign("frmAssignZones", {{"Z1", "Z2"}, 2, true, [this] {
                                            db().exec("INSERT INTO tblDorvOsobe_Zone VALUES (1, 'P4', 'Z5', 1, 0)");
                                        }});
        QTest::mouseClick(w->btnAssign, Qt::LeftButton);
        QCOMPARE(m_program->links("tblDorvOsobe_Zone"), QStringList{"1|P4|Z5|0"});
        QCOMPARE(w->focusedMasterIndex(), index);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("P4"));
        QCOMPARE(m_program->detailColumn("ID"), QStringList{"Z5"});
        QCOMPARE(m_program->detailColumn("Pristup"), QStringList{"0"});
    }

    // Nothing selected: nothing inserted, no transaction left, the lists re-read.
    void okWithNothingSelectedWritesNothing()
    {
        m_program->show("Grupe", "Zone");
        m_program->focusMaster("G2");
        answerAssign("frmAssignGZ", {{}, 1, false, [this] {
                                         db().exec("INSERT INTO tblDorvGrupe_Zone VALUES (1, 'G2', 'Z3', 1, 2)");
                                     }});
        QTest::mouseClick(w->btnAssign, Qt::LeftButton);
        QCOMPARE(m_program->links("tblDorvGrupe_Zone"), QStringList{"1|G2|Z3|2"});
        QVERIFY(!w->dmGZ->connMain->inTransaction());
        QCOMPARE(m_program->detailColumn("ID"), QStringList{"Z3"});
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("G2"));
    }

    void questionOpensTheChosenDialogOrNothing_data()
    {
        QTest::addColumn<bool>("groups");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("Osobe") << false << false << "tblDorvOsobe_Zone" << QStringList{"1|P1|Z1|0"};
        QTest::newRow("Grupe") << true << false << "tblDorvGrupe_Zone" << QStringList{"1|G1|Z1|0"};
        QTest::newRow("Otkaži") << false << true << "tblDorvOsobe_Zone" << QStringList{};
    }

    void questionOpensTheChosenDialogOrNothing()
    {
        QFETCH(bool, groups);
        QFETCH(bool, cancel);
        QFETCH(QString, table);
        QFETCH(QStringList, links);
        m_program->show("Zone", "Osobe i grupe");
        const QString dialog = groups ? "frmAssignZG" : "frmAssignZP";
        const QString candidate = groups ? "G1" : "P1";
        // The first showing is left on its choice; the second must show "Osobe" again.
        for (int showing = 0; showing < 2; ++showing) {
            std::unique_ptr<NoModalExpected> none;
            answerQuestion(groups, cancel, [&] {
                if (cancel)
                    none = std::make_unique<NoModalExpected>();
                else
                    answerAssign(dialog, {showing == 0 ? QStringList{candidate} : QStringList{}, 0, false, {}});
            });
            QTest::mouseClick(w->btnAssign, Qt::LeftButton);
            if (none)
                QCOMPARE(none->opened(), QStringList());
        }
        QCOMPARE(m_program->links(table), links);
        QCOMPARE(m_program->links(groups ? "tblDorvOsobe_Zone" : "tblDorvGrupe_Zone"), QStringList());
    }

    // No link with an empty key: an empty master list refuses the command with a message.
    void emptyMasterListRefusesTheCommand_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("message");
        const QString persons = "Nije kreirana nijedna osoba.";
        const QString groups = "Nije kreirana nijedna grupa.";
        QTest::newRow("persons/groups") << "Osobe" << "Grupe" << "Aktivnost1" << "Zaposleni" << persons;
        QTest::newRow("persons/zones") << "Osobe" << "Zone" << "btnAssign" << "Zaposleni" << persons;
        QTest::newRow("context groups") << "Osobe" << "Detaljnije o osobi" << "DodeliGrupama1" << "Zaposleni" << persons;
        QTest::newRow("context zones") << "Osobe" << "Zone" << "DodeliZonama1" << "Zaposleni" << persons;
        QTest::newRow("groups/persons") << "Grupe" << "Osobe" << "btnAssign" << "tblDorvGrupe" << groups;
        QTest::newRow("groups/zones") << "Grupe" << "Zone" << "Aktivnost1" << "tblDorvGrupe" << groups;
        QTest::newRow("zones") << "Zone" << "Osobe i grupe" << "btnAssign" << "tblDorvZone"
                               << "Nije kreirana nijedna zona.";
    }

    void emptyMasterListRefusesTheCommand()
    {
        QFETCH(QString, view);
        QFETCH(QString, tab);
        QFETCH(QString, command);
        QFETCH(QString, table);
        QFETCH(QString, message);
        m_program->show(view, tab);
        db().exec("DELETE FROM " + table);
        w->rereadMaster(w->masterQuery());
        QVERIFY(w->masterQuery()->isEmpty());
        NoModalExpected none;
        if (auto *action = w->findChild<QAction *>(command))
            action->trigger();
        else
            QTest::mouseClick(child<QPushButton>(w, command), Qt::LeftButton);
        QCOMPARE(none.opened(), QStringList());
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown.first().text, message);
        for (const char *links : {"tblDorvOsobe_Grupe", "tblDorvOsobe_Zone", "tblDorvGrupe_Zone"})
            QCOMPARE(m_program->links(links), QStringList());
    }

    // The context menu's entries open the person's dialogs on every detail tab and keep
    // the focused person.
    void contextMenuEntriesOpenThePersonDialogs_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("details, groups") << "Detaljnije o osobi" << "DodeliGrupama1" << "frmAssignGroups"
                                         << "tblDorvOsobe_Grupe" << QStringList{"1|P3|G2"};
        QTest::newRow("groups tab, zones") << "Grupe" << "DodeliZonama1" << "frmAssignZones" << "tblDorvOsobe_Zone"
                                           << QStringList{"1|P3|Z2|1"};
        QTest::newRow("zones tab, groups") << "Zone" << "DodeliGrupama1" << "frmAssignGroups" << "tblDorvOsobe_Grupe"
                                           << QStringList{"1|P3|G2"};
    }

    void contextMenuEntriesOpenThePersonDialogs()
    {
        QFETCH(QString, tab);
        QFETCH(QString, entry);
        QFETCH(QString, dialog);
        QFETCH(QString, table);
        QFETCH(QStringList, links);
        m_program->show("Osobe", tab);
        m_program->focusMaster("P3");
        const int index = w->focusedMasterIndex();
        answerAssign(dialog, {{table.contains("Grupe") ? "G2" : "Z2"}, 1, false, {}});
        child<QAction>(w, entry)->trigger();
        QCOMPARE(m_program->links(table), links);
        QCOMPARE(w->focusedMasterIndex(), index);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("P3"));
    }

    // Only the three modes can be chosen; each dialog keeps the one last chosen in it.
    void eachDialogKeepsItsOwnAccessMode()
    {
        auto *zones = child<QDialog>(w, "frmAssignZones");
        auto *box = child<QComboBox>(zones, "cmbAccess");
        QVERIFY(!box->isEditable());
        QStringList entries;
        for (int i = 0; i < box->count(); ++i)
            entries.append(box->itemText(i));
        QCOMPARE(entries, QStringList({"0 - bez PIN koda", "1 - sa PIN kodom", "2 - i sa i bez PIN koda"}));

        m_program->show("Osobe", "Zone");
        AssignSeen first, second;
        answerAssign("frmAssignZones", {{}, 2, true, {}}, &first);
        w->Aktivnost1->trigger();
        answerAssign("frmAssignZones", {{"Z3"}, -1, false, {}}, &second);
        w->Aktivnost1->trigger();
        QCOMPARE(first.mode, 0);
        QCOMPARE(second.mode, 2);
        QCOMPARE(m_program->links("tblDorvOsobe_Zone"), QStringList{"1|O'Brien|Z3|2"});

        m_program->show("Grupe", "Zone");
        AssignSeen other;
        answerAssign("frmAssignGZ", {{}, -1, true, {}}, &other);
        w->Aktivnost1->trigger();
        QCOMPARE(other.mode, 0);
    }

    // The access mode a link is given decides the form of the media ID that a "TK71"
    // controller behind the zone's access point must hold.
    void databaseImageFollowsTheAssignment_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("image");
        QTest::newRow("0 without PIN") << 0 << QStringList{"1100000000000001"};
        QTest::newRow("1 with PIN") << 1 << QStringList{"1112340000000001"};
        QTest::newRow("2 both") << 2 << QStringList{"1100000000000001", "1112340000000001"};
    }

    void databaseImageFollowsTheAssignment()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, image);
        for (const char *sql : {
                 "UPDATE Zaposleni SET PinKod = '1234' WHERE IDZaposlenog = 'P1'",
                 "INSERT INTO Zaposleni_IDMemorija VALUES ('1100000000000001', 'P1', '2020-01-01 08:00:00', "
                 "'1112340000000001')",
                 "INSERT INTO tblDorvTackePristupa VALUES ('T1', 'Vrata')",
                 "INSERT INTO tblDorvZone_TackePristupa VALUES (1, 'Z4', 'T1', 1)",
                 "INSERT INTO tblDorvKontroleri VALUES ('5', 'Ulaz', 'TK71', 'TCP', 'PC1', 'COM1')",
                 "INSERT INTO tblDorvKontakti (IDKontakta, idkontrolera, RBTouchKontakta, MerodavnaTabela) "
                 "VALUES (1, '5', '1', 1)",
                 "INSERT INTO tblDorvKontaktiKontrolera_TackePristupa VALUES (1, 'T1')",
             })
            db().exec(sql);
        TDeviceTable devices;
        devices.Put(0, std::make_unique<TDevice>("5", "Ulaz", "TK71", "TCP", "PC1", 1));
        LoadDBImage(devices, 0, *w->dmGZ->spPodaciZaKontrolere);
        const int first = devices.Device(0)->FirstSlotWord / TDevice::WordsPerSlot;
        QCOMPARE(FormatSlot(devices.Device(0)->DBImage, first), QStringLiteral("FFFFFFFFFFFFFFFF"));

        m_program->show("Osobe", "Zone");
        m_program->focusMaster("P1");
        answerAssign("frmAssignZones", {{"Z4"}, mode, false, {}});
        w->Aktivnost1->trigger();

        LoadDBImage(devices, 0, *w->dmGZ->spPodaciZaKontrolere);
        const TDevice &d = *devices.Device(0);
        for (int i = 0; i < image.size(); ++i)
            QCOMPARE(FormatSlot(d.DBImage, first + i), image.at(i));
        QCOMPARE(FormatSlot(d.DBImage, first + int(image.size())), QStringLiteral("FFFFFFFFFFFFFFFF"));
    }

    // Each dialog as the operator sees it: fields in order, nothing cut off. The pictures
    // go to the build folder for a look.
    void dialogsShowTheirFieldsInOrder_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QStringList>("fields");
        const QStringList withMode{"lblPrompt", "gridCandidates", "lblAccess", "cmbAccess", "btnOK"};
        const QStringList withoutMode{"lblPrompt", "gridCandidates", "btnOK"};
        QTest::newRow("groups") << "Osobe" << "frmAssignGroups" << withoutMode;
        QTest::newRow("zones") << "Osobe" << "frmAssignZones" << withMode;
        QTest::newRow("pg") << "Grupe" << "frmAssignPG" << withoutMode;
        QTest::newRow("gz") << "Grupe" << "frmAssignGZ" << withMode;
        QTest::newRow("zp") << "Zone" << "frmAssignZP" << withMode;
        QTest::newRow("zg") << "Zone" << "frmAssignZG" << withMode;
        QTest::newRow("question") << "Zone" << "frmQuestion" << QStringList{"lblQuestion", "rgOption", "btnOK"};
    }

    void dialogsShowTheirFieldsInOrder()
    {
        QFETCH(QString, view);
        QFETCH(QString, dialog);
        QFETCH(QStringList, fields);
        m_program->show(view, view == "Zone" ? "Osobe i grupe" : "Zone");
        auto *shown = child<QDialog>(w, dialog);
        if (auto *assign = dynamic_cast<TfrmAssign *>(shown))
            assign->setDisplayName(QStringLiteral("Perić Ana Marija"));
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        verifyShownInOrder(shown, fields);
        shown->reject();
    }
};

QTEST_MAIN(TestAssignment)
#include "tst_assignment.moc"
