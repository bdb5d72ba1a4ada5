#include "tests/admin/AdminFixture.h"

#include "admin/PhotoBox.h"
#include "base/iButton.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "link/uGlobalVars.h"

#include <QImage>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(MessageBoxes::Kind)

namespace {

void fillPersons(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Uprava'), ('S2', 'Prodaja')");
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora, PinKod) VALUES "
            "('P1', 'Perić', 'Ana', 'S1', '12AB'), ('P2', 'Jović', 'Marko', 'S1', ''), "
            "('P3', 'Ilić', 'Iva', 'S2', ''), ('P5', 'Kratki', 'Kljuc', 'S2', '')");
    // P1 holds one active media ID and belongs to a group; P5's media ID is too short
    // to carry a PIN.
    db.exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja, IDNoSaPinKodom) VALUES "
            "('A200000001B81C02', 'P1', '2020-01-01 08:00:00', 'OLD'), ('A2000001', 'P5', '2020-01-01 08:00:00', '')");
    db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G1', 'Radnici')");
    db.exec("INSERT INTO tblDorvOsobe_Grupe (ID, IDZaposlenog, IDGrupe, Status) VALUES (1, 'P1', 'G1', 1)");
}

const QString kAllPersons = QStringLiteral(
    "SELECT IDZaposlenog, Prezime, Ime, IDSektora, COALESCE(PinKod, '<null>') FROM Zaposleni ORDER BY IDZaposlenog");
const QString kFilled = QStringLiteral("Polja \"ID\", \"Prezime\", \"Ime\" i \"Sektor\" moraju biti popunjena.");
const QString kWrongPin = QStringLiteral("Pogrešno unet PIN kod");
const QString kNotSaved = QStringLiteral("Greška u unosu, podaci nisu dodati u bazu.");

struct Person
{
    QString id, surname, name, department, pin;
};

void fillPerson(QWidget *dialog, const Person &p)
{
    type(dialog, QStringLiteral("edtID"), p.id);
    type(dialog, QStringLiteral("edtPrezime"), p.surname);
    type(dialog, QStringLiteral("edtIme"), p.name);
    choose(dialog, QStringLiteral("cbbSektor"), p.department);
    type(dialog, QStringLiteral("edtPinKod"), p.pin);
}

QString quotedId(const QString &id)
{
    return QString(id).replace(QLatin1String("'"), QLatin1String("''"));
}

} // namespace

class TestPersons : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AdminProgram> m_program;
    TfrmDorvalen *w = nullptr;
    QTemporaryDir m_files;

    TempDatabase &db() { return m_program->db; }
    bool inTransaction() const { return w->dmMain->connMain->inTransaction(); }

    void focusRow(int row) { w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(row, 1)); }
    void focusPerson(const QString &id) { focusRow(int(columnTexts(w->masterGrid(), 1).indexOf(id))); }
    // "Dodaj osobu" of the person list's context menu.
    void inNewPerson(const std::function<void(QWidget *)> &act)
    {
        whenModalShown(act, QStringLiteral("frmNewEmployee"));
        w->DodajOsobu1->trigger();
    }
    // "Izmeni osobu" of the context menu, on the person with that ID.
    void inEditPerson(const QString &id, const std::function<void(QWidget *)> &act)
    {
        focusPerson(id);
        whenModalShown(act, QStringLiteral("frmEditEmployee"));
        w->IzmeniOsobu1->trigger();
    }
    QString picture(const char *format)
    {
        QImage image(60, 80, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString name = m_files.filePath(QStringLiteral("photo.") + QLatin1String(format));
        image.save(name, format);
        return name;
    }
    QByteArray storedPhoto(const QString &id)
    {
        return db().scalar("SELECT Fotografija FROM Zaposleni WHERE IDZaposlenog = '" + quotedId(id) + "'").toByteArray();
    }
    bool panelShowsPicture()
    {
        const QLabel *photo = child<QLabel>(w, QStringLiteral("imgPhoto"));
        return photo && !photo->pixmap().isNull();
    }

private slots:
    void init()
    {
        globals().LastDepartment.clear();
        m_program = std::make_unique<AdminProgram>(fillPersons);
        w = &m_program->window();
    }

    void cleanup()
    {
        m_program.reset();
        globals().LastDepartment.clear();
    }

    void windowsShowTheirFieldsInOrder()
    {
        QStringList newSeen, editSeen;
        QString cut;
        bool whole = true;
        inNewPerson([&](QWidget *dialog) {
            newSeen = formLabels(dialog) << dialog->windowTitle() << child<QPushButton>(dialog, "btnLoadPhoto")->text()
                                         << child<QPushButton>(dialog, "btnRemovePhoto")->text()
                                         << child<QPushButton>(dialog, "btnOK")->text()
                                         << child<QPushButton>(dialog, "btnCancel")->text()
                                         << dialog->focusWidget()->objectName();
            whole = whole && nothingCutOff(dialog, &cut);
            click(dialog, QStringLiteral("btnCancel"));
        });
        inEditPerson(QStringLiteral("P1"), [&](QWidget *dialog) {
            editSeen = formLabels(dialog) << dialog->windowTitle() << child<QPushButton>(dialog, "btnLoadPhoto")->text();
            for (const char *name : {"edtID", "edtPrezime", "edtIme", "edtPinKod"})
                editSeen << child<QLineEdit>(dialog, name)->text();
            editSeen << child<QComboBox>(dialog, "cbbSektor")->currentText();
            whole = whole && nothingCutOff(dialog, &cut);
            click(dialog, QStringLiteral("btnCancel"));
        });
        const QStringList labels{"ID", "Prezime", "Ime", "Sektor", "Slika", "Pin kod"};
        const QStringList newExpected = labels + QStringList{"Nova osoba", "Dodeli", "Ukloni", "U redu", "Otkaži", "edtID"};
        const QStringList editExpected =
            labels + QStringList{"Izmena podataka o osobi", "Dodaj", "P1", "Perić", "Ana", "12AB", "Uprava"};
        QCOMPARE(newSeen, newExpected);
        QCOMPARE(editSeen, editExpected);
        QVERIFY2(whole, qPrintable(cut));
    }

    void newPerson_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("surname");
        QTest::addColumn<QString>("department");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<MessageBoxes::Kind>("kind");
        QTest::addColumn<bool>("saved");
        const auto none = MessageBoxes::Kind::Information; // not looked at without boxes
        QTest::newRow("PIN 12AF") << "P9" << "Marić" << "S2" << "12AF" << QStringList{} << none << true;
        QTest::newRow("no PIN") << "P9" << "Marić" << "S2" << "" << QStringList{} << none << true;
        QTest::newRow("apostrophes") << "O'B" << "O'Brien" << "S1" << "" << QStringList{} << none << true;
        for (const char *pin : {"12G5", "123", "12345"})
            QTest::newRow(qPrintable(QStringLiteral("PIN %1").arg(pin)))
                << "P9" << "Marić" << "S2" << pin << QStringList{kWrongPin} << MessageBoxes::Kind::Error << false;
        QTest::newRow("no ID") << "" << "Marić" << "S2" << "" << QStringList{kFilled} << MessageBoxes::Kind::Warning
                               << false;
        QTest::newRow("no surname") << "P9" << "" << "S2" << "" << QStringList{kFilled} << MessageBoxes::Kind::Warning
                                    << false;
        QTest::newRow("no department") << "P9" << "Marić" << "" << "" << QStringList{kFilled}
                                       << MessageBoxes::Kind::Warning << false;
    }

    void newPerson()
    {
        QFETCH(QString, id);
        QFETCH(QString, surname);
        QFETCH(QString, department);
        QFETCH(QString, pin);
        QFETCH(QStringList, boxes);
        QFETCH(MessageBoxes::Kind, kind);
        QFETCH(bool, saved);
        const QStringList before = db().rows(kAllPersons);
        Seen seen;
        inNewPerson([&](QWidget *dialog) {
            fillPerson(dialog, {id, surname, QStringLiteral("Mila"), department, pin});
            seen = clickAndClose(dialog, QStringLiteral("btnOK"));
        });
        QCOMPARE(boxTexts(seen.boxes), boxes);
        if (!boxes.isEmpty())
            QCOMPARE(seen.boxes.first().kind, kind);
        QCOMPARE(seen.stayedOpen, !saved);
        const QStringList stored = db().rows("SELECT Prezime, Ime, IDSektora, PinKod FROM Zaposleni WHERE IDZaposlenog = '"
                                             + quotedId(id) + "'");
        if (saved) {
            QCOMPARE(stored, QStringList({surname + "|Mila|" + department + "|" + pin}));
            QVERIFY(columnTexts(w->masterGrid(), 1).contains(id));
            QCOMPARE(globals().LastDepartment, department);
        } else {
            QCOMPARE(db().rows(kAllPersons), before);
            QCOMPARE(globals().LastDepartment, QString());
        }
        QCOMPARE(w->masterGrid()->model()->rowCount(), before.size() + (saved ? 1 : 0));
        QVERIFY(!inTransaction());
    }

    void lastDepartmentIsPreselectedAndSurvivesACancel()
    {
        QString second, third;
        inNewPerson([&](QWidget *dialog) {
            fillPerson(dialog, {"P9", "Marić", "Mila", "S2", ""});
            click(dialog, QStringLiteral("btnOK"));
        });
        inNewPerson([&](QWidget *dialog) {
            second = child<QComboBox>(dialog, QStringLiteral("cbbSektor"))->currentData().toString();
            choose(dialog, QStringLiteral("cbbSektor"), QStringLiteral("S1"));
            click(dialog, QStringLiteral("btnCancel"));
        });
        inNewPerson([&](QWidget *dialog) {
            third = child<QComboBox>(dialog, QStringLiteral("cbbSektor"))->currentData().toString();
            click(dialog, QStringLiteral("btnCancel"));
        });
        QCOMPARE(second, QStringLiteral("S2"));
        QCOMPARE(third, QStringLiteral("S2"));
        QCOMPARE(globals().LastDepartment, QStringLiteral("S2"));
    }

    void refusedSaveKeepsTheInput_data()
    {
        QTest::addColumn<QString>("edited"); // empty: a new person
        QTest::addColumn<QString>("correctedId"); // empty: cancelled instead
        QTest::addColumn<QStringList>("after");
        const QStringList unchanged{"P1|Perić|Ana|S1|12AB", "P2|Jović|Marko|S1|", "P3|Ilić|Iva|S2|", "P5|Kratki|Kljuc|S2|"};
        QTest::newRow("new, then cancelled") << "" << "" << unchanged;
        QTest::newRow("new, then corrected")
            << "" << "P4"
            << QStringList{"P1|Perić|Ana|S1|12AB", "P2|Jović|Marko|S1|", "P3|Ilić|Iva|S2|", "P4|Marić|Mila|S2|",
                           "P5|Kratki|Kljuc|S2|"};
        QTest::newRow("edited, then cancelled") << "P3" << "" << unchanged;
        QTest::newRow("edited, then corrected")
            << "P3" << "P4"
            << QStringList{"P1|Perić|Ana|S1|12AB", "P2|Jović|Marko|S1|", "P4|Marić|Mila|S2|", "P5|Kratki|Kljuc|S2|"};
    }

    // A person ID that exists already: the error, the dialog keeps what was typed in a
    // new transaction, and the next attempt either saves or is cancelled.
    void refusedSaveKeepsTheInput()
    {
        QFETCH(QString, edited);
        QFETCH(QString, correctedId);
        QFETCH(QStringList, after);
        Seen first;
        QStringList kept;
        bool held = false, closed = false;
        const auto act = [&](QWidget *dialog) {
            fillPerson(dialog, {"P2", "Marić", "Mila", "S2", ""});
            MessageBoxes::takeShown();
            click(dialog, QStringLiteral("btnOK"));
            first.stayedOpen = dialog->isVisible();
            first.boxes = MessageBoxes::takeShown();
            held = inTransaction();
            for (const char *name : {"edtID", "edtPrezime", "edtIme"})
                kept.append(child<QLineEdit>(dialog, name)->text());
            if (correctedId.isEmpty()) {
                click(dialog, QStringLiteral("btnCancel"));
            } else {
                type(dialog, QStringLiteral("edtID"), correctedId);
                closed = !clickAndClose(dialog, QStringLiteral("btnOK")).stayedOpen;
            }
        };
        if (edited.isEmpty())
            inNewPerson(act);
        else
            inEditPerson(edited, act);
        QVERIFY(first.stayedOpen);
        QCOMPARE(boxTexts(first.boxes), QStringList({kNotSaved}));
        QVERIFY(held);
        QCOMPARE(kept, QStringList({"P2", "Marić", "Mila"}));
        QCOMPARE(closed, !correctedId.isEmpty());
        QCOMPARE(db().rows(kAllPersons), after);
        // The list shows what is stored.
        QStringList listed;
        for (int r = 0; r < w->masterGrid()->model()->rowCount(); ++r)
            listed.append(w->masterGrid()->model()->index(r, 1).data().toString() + "|"
                          + w->masterGrid()->model()->index(r, 2).data().toString());
        QStringList expected;
        for (const QString &row : after)
            expected.append(row.section('|', 0, 1));
        QCOMPARE(listed, expected);
        QVERIFY(!inTransaction());
    }

    void editPerson_data()
    {
        const QString stored = QStringLiteral("A200000001B81C02");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("personRow");
        QTest::addColumn<QString>("pinBearing");
        QTest::newRow("PIN changed") << "P1" << "12AF" << "P1|Perić|12AF" << PinBearingMediaID(stored, "12AF");
        QTest::newRow("PIN emptied") << "P1" << "" << "P1|Perić|" << "";
        // Only the person row changes: links and media IDs keep the old ID.
        QTest::newRow("ID changed") << "P1X" << "12AB" << "P1X|Perić|12AB" << "OLD";
    }

    void editPerson()
    {
        QFETCH(QString, id);
        QFETCH(QString, pin);
        QFETCH(QString, personRow);
        QFETCH(QString, pinBearing);
        Seen seen;
        inEditPerson(QStringLiteral("P1"), [&](QWidget *dialog) {
            type(dialog, QStringLiteral("edtID"), id);
            type(dialog, QStringLiteral("edtPinKod"), pin);
            seen = clickAndClose(dialog, QStringLiteral("btnOK"));
        });
        QVERIFY(!seen.stayedOpen);
        QCOMPARE(boxTexts(seen.boxes), QStringList());
        QCOMPARE(db().rows("SELECT IDZaposlenog, Prezime, PinKod FROM Zaposleni WHERE IDZaposlenog LIKE 'P1%'"),
                 QStringList({personRow}));
        QCOMPARE(db().rows("SELECT IDZaposlenog, IDNoSaPinKodom FROM Zaposleni_IDMemorija WHERE IDNo = 'A200000001B81C02'"),
                 QStringList({"P1|" + pinBearing}));
        QCOMPARE(db().rows("SELECT IDZaposlenog FROM tblDorvOsobe_Grupe"), QStringList({"P1"}));
        QVERIFY(!inTransaction());
    }

    // The PIN saved with the row cannot be saved again (the media ID is too short for
    // its PIN-bearing form): the row stays saved, the dialog open, and the next attempt works.
    void pinNotSavedAfterAnEditKeepsTheDialog()
    {
        Seen first;
        bool closed = false;
        QStringList storedMeanwhile;
        inEditPerson(QStringLiteral("P5"), [&](QWidget *dialog) {
            type(dialog, QStringLiteral("edtPrezime"), QStringLiteral("Kraći"));
            type(dialog, QStringLiteral("edtPinKod"), QStringLiteral("12AF"));
            MessageBoxes::takeShown();
            click(dialog, QStringLiteral("btnOK"));
            first.stayedOpen = dialog->isVisible();
            first.boxes = MessageBoxes::takeShown();
            storedMeanwhile = db().rows("SELECT Prezime, PinKod FROM Zaposleni WHERE IDZaposlenog = 'P5'");
            type(dialog, QStringLiteral("edtPinKod"), QString());
            closed = !clickAndClose(dialog, QStringLiteral("btnOK")).stayedOpen;
        });
        QVERIFY(first.stayedOpen);
        QCOMPARE(boxTexts(first.boxes), QStringList({kWrongPin}));
        QCOMPARE(storedMeanwhile, QStringList({"Kraći|12AF"}));
        QVERIFY(closed);
        QCOMPARE(db().rows("SELECT Prezime, PinKod FROM Zaposleni WHERE IDZaposlenog = 'P5'"), QStringList({"Kraći|"}));
        QVERIFY(!inTransaction());
    }

    void photoLoadsShowsAndStoresItsBytes_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QString>("format");
        QTest::newRow("new, JPEG") << "" << "jpg";
        QTest::newRow("new, BMP") << "" << "bmp";
        QTest::newRow("edited, JPEG") << "P2" << "jpg";
        QTest::newRow("edited, BMP") << "P2" << "bmp";
    }

    void photoLoadsShowsAndStoresItsBytes()
    {
        QFETCH(QString, edited);
        QFETCH(QString, format);
        const QString file = picture(qPrintable(format));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString id = edited.isEmpty() ? QStringLiteral("P9") : edited;
        bool shown = false;
        const auto act = [&](QWidget *dialog) {
            if (edited.isEmpty())
                fillPerson(dialog, {id, "Marić", "Mila", "S2", ""});
            FileChooser::setNextFileName(file);
            click(dialog, QStringLiteral("btnLoadPhoto"));
            shown = child<PhotoBox>(dialog, QStringLiteral("imgFotografija"))->showsPicture();
            click(dialog, QStringLiteral("btnOK"));
        };
        if (edited.isEmpty())
            inNewPerson(act);
        else
            inEditPerson(edited, act);
        QVERIFY(shown);
        QCOMPARE(storedPhoto(id), bytes);
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
        focusPerson(id);
        QVERIFY(panelShowsPicture());
    }

    void photoThatIsNoPictureShowsEmptyAndCanBeRemoved()
    {
        db().exec("UPDATE Zaposleni SET Fotografija = X'0011223344' WHERE IDZaposlenog = 'P2'");
        bool shown = true;
        QByteArray held;
        inEditPerson(QStringLiteral("P2"), [&](QWidget *dialog) {
            auto *box = child<PhotoBox>(dialog, QStringLiteral("imgFotografija"));
            shown = box->showsPicture();
            held = box->bytes();
            click(dialog, QStringLiteral("btnRemovePhoto"));
            click(dialog, QStringLiteral("btnOK"));
        });
        QVERIFY(!shown);
        QCOMPARE(held, QByteArray::fromHex("0011223344"));
        QVERIFY(db().scalar("SELECT Fotografija FROM Zaposleni WHERE IDZaposlenog = 'P2'").isNull());
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Zaposleni WHERE Fotografija IS NULL").toInt(), 4);
    }

    // The context menu's add and edit note the focused index and focus it again; the
    // list does not redraw while the dialog is open.
    void addAndEditKeepTheFocusedIndex()
    {
        focusRow(2);
        bool drawing = true;
        inNewPerson([&](QWidget *dialog) {
            drawing = w->masterGrid()->updatesEnabled();
            fillPerson(dialog, {"A1", "Prvi", "Neko", "S1", ""});
            click(dialog, QStringLiteral("btnOK"));
        });
        QVERIFY(!drawing);
        QVERIFY(w->masterGrid()->updatesEnabled());
        QCOMPARE(w->focusedMasterIndex(), 2);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("P2"));
        inEditPerson(QStringLiteral("P2"), [&](QWidget *dialog) {
            type(dialog, QStringLiteral("edtID"), QStringLiteral("Z9"));
            click(dialog, QStringLiteral("btnOK"));
        });
        QCOMPARE(w->focusedMasterIndex(), 2);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("P3"));
        QCOMPARE(child<QLineEdit>(w, QStringLiteral("edtID"))->text(), QStringLiteral("P3"));
    }

    void deleteThroughTheContextMenu_data()
    {
        QTest::addColumn<QStringList>("listed"); // the persons listed before
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("focusedAfter");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all{"P1", "P2", "P3", "P5"};
        QTest::newRow("first, with links") << all << "P1" << true << "P2" << QStringList{"P2", "P3", "P5"};
        QTest::newRow("middle") << all << "P2" << true << "P3" << QStringList{"P1", "P3", "P5"};
        QTest::newRow("last: the one before") << all << "P5" << true << "P3" << QStringList{"P1", "P2", "P3"};
        QTest::newRow("only: nobody") << QStringList{"P3"} << "P3" << true << "" << QStringList{};
        QTest::newRow("answered No") << all << "P2" << false << "P2" << all;
    }

    void deleteThroughTheContextMenu()
    {
        QFETCH(QStringList, listed);
        QFETCH(QString, deleted);
        QFETCH(bool, answer);
        QFETCH(QString, focusedAfter);
        QFETCH(QStringList, remaining);
        const QStringList others = QStringList({"P1", "P2", "P3", "P5"});
        for (const QString &id : others) {
            if (!listed.contains(id))
                db().exec("DELETE FROM Zaposleni WHERE IDZaposlenog = '" + id + "'");
        }
        w->rereadMaster(w->masterQuery());
        focusPerson(deleted);
        MessageBoxes::takeShown();
        MessageBoxes::setNextAnswer(answer);
        w->IzbrisiOsobu1->trigger();
        QCOMPARE(boxTexts(MessageBoxes::takeShown()),
                 QStringList({"Jeste li sigurni da želite da izbrišete odabranu osobu?"}));
        QCOMPARE(db().rows("SELECT IDZaposlenog FROM Zaposleni ORDER BY IDZaposlenog"), remaining);
        QCOMPARE(columnTexts(w->masterGrid(), 1), remaining);
        QCOMPARE(w->masterQuery()->currentRow() >= 0 ? w->masterQuery()->asString("ID") : QString(), focusedAfter);
        QCOMPARE(child<QLineEdit>(w, QStringLiteral("edtID"))->text(), focusedAfter);
        // The person's links and media IDs stay.
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM tblDorvOsobe_Grupe").toInt(), 1);
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Zaposleni_IDMemorija").toInt(), 2);
    }

    void deleteOfAnIdWithAnApostrophe()
    {
        db().exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('O''B', 'O''Brien', 'Pat', 'S1')");
        w->rereadMaster(w->masterQuery());
        focusPerson(QStringLiteral("O'B"));
        MessageBoxes::setNextAnswer(true);
        w->IzbrisiOsobu1->trigger();
        QCOMPARE(boxTexts(MessageBoxes::takeShown()),
                 QStringList({"Jeste li sigurni da želite da izbrišete odabranu osobu?"}));
        QCOMPARE(db().rows("SELECT IDZaposlenog FROM Zaposleni ORDER BY IDZaposlenog"),
                 QStringList({"P1", "P2", "P3", "P5"}));
    }

    // On the "Detaljnije o osobi" tab the assign and unassign commands (menu and buttons)
    // are the new-person dialog and the panel's plain delete.
    void assignAndUnassignOnThePersonDetailsTab()
    {
        QCOMPARE(w->currentDetailTab(), QStringLiteral("Detaljnije o osobi"));
        bool shown = false;
        whenModalShown([&](QWidget *dlg) {
            shown = true;
            child<QPushButton>(dlg, QStringLiteral("btnCancel"))->click();
        }, QStringLiteral("frmNewEmployee"));
        w->Aktivnost1->trigger();
        QVERIFY(shown);
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Zaposleni").toInt(), 4);

        focusPerson(QStringLiteral("P3"));
        MessageBoxes::takeShown();
        MessageBoxes::setNextAnswer(true);
        w->Aktivnost2->trigger();
        QCOMPARE(boxTexts(MessageBoxes::takeShown()),
                 QStringList({"Jeste li sigurni da želite da izbrišete odabranu osobu?"}));
        QCOMPARE(db().rows("SELECT IDZaposlenog FROM Zaposleni ORDER BY IDZaposlenog"),
                 QStringList({"P1", "P2", "P5"}));
    }

    // The panel's "Izbriši": a delete the database refuses shows the database's text and
    // leaves the list as it was.
    void refusedDeleteShowsTheDatabasesText()
    {
        db().exec("CREATE TRIGGER keepP2 BEFORE DELETE ON Zaposleni WHEN old.IDZaposlenog = 'P2' "
                  "BEGIN SELECT RAISE(ABORT, 'P2 has a history'); END");
        focusPerson(QStringLiteral("P2"));
        MessageBoxes::takeShown();
        MessageBoxes::setNextAnswer(true);
        QTest::mouseClick(w->btnDeletePerson, Qt::LeftButton);
        const QList<MessageBoxes::Shown> boxes = MessageBoxes::takeShown();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.at(1).kind, MessageBoxes::Kind::Error);
        QVERIFY2(boxes.at(1).text.contains(QLatin1String("P2 has a history")), qPrintable(boxes.at(1).text));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Zaposleni").toInt(), 4);
        QCOMPARE(w->masterQuery()->asString("ID"), QStringLiteral("P2"));
        QVERIFY(!w->dmGZ->connMain->inTransaction());
    }
};

QTEST_MAIN(TestPersons)
#include "tst_persons.moc"
