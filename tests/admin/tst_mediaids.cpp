#include "tests/admin/AdminFixture.h"

#include "base/iButton.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"

#include <QDateEdit>
#include <QTimeEdit>

Q_DECLARE_METATYPE(MessageBoxes::Kind)

namespace {

void fillMediaIDs(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Uprava')");
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora, PinKod) VALUES "
            "('P1', 'Perić', 'Ana', 'S1', '12AF'), ('P2', 'Jović', 'Marko', 'S1', ''), "
            "('P3', 'Ilić', 'Iva', 'S1', '12AB'), ('P4', 'Bez', 'Kljuca', 'S1', '12AB'), "
            "('P5', 'Janić', 'Jana', 'S1', '12AB')");
    // P3 holds two active media IDs, P5 one; P1, P2 and P4 none.
    db.exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja, IDNoSaPinKodom) VALUES "
            "('B100000002B81C02', 'P3', '2021-01-01 08:00:00', 'OLD1'), "
            "('C300000003B81C02', 'P3', '2022-01-01 08:00:00', 'OLD2'), "
            "('D400000004B81C02', 'P5', '2022-01-01 08:00:00', 'OLD5')");
}

const QString kAll = QStringLiteral("SELECT IDNo, IDZaposlenog, datetime(DatumDodeljivanja), IDNoSaPinKodom "
                                    "FROM Zaposleni_IDMemorija ORDER BY IDZaposlenog, IDNo");
const QString kDeleteQuestion =
    QStringLiteral("Jeste li sigurni da želite da izbrišete postojeću dodelu Media ID-a zaposlenom?");

} // namespace

class TestMediaIDs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AdminProgram> m_program;
    TfrmDorvalen *w = nullptr;

    TempDatabase &db() { return m_program->db; }

    void focusPerson(const QString &id)
    {
        const int row = int(columnTexts(w->masterGrid(), 1).indexOf(id));
        w->masterGrid()->setCurrentIndex(w->masterGrid()->model()->index(row, 1));
    }
    // The media-ID list's "Dodaj" for that person.
    void inNewMediaID(const QString &person, const std::function<void(QWidget *)> &act)
    {
        focusPerson(person);
        whenModalShown(act, QStringLiteral("frmNewMediaID"));
        QTest::mouseClick(w->btnAddMedia, Qt::LeftButton);
    }
    QString pinBearingOf(const QString &mediaID)
    {
        return db().scalar("SELECT IDNoSaPinKodom FROM Zaposleni_IDMemorija WHERE IDNo = '" + mediaID + "'").toString();
    }

private slots:
    void init()
    {
        m_program = std::make_unique<AdminProgram>(fillMediaIDs);
        w = &m_program->window();
    }

    void cleanup() { m_program.reset(); }

    // Each opening starts afresh: empty text with the focus, today, 00:00.
    void windowShowsItsFieldsInOrder()
    {
        QStringList first, second;
        QString cut;
        bool whole = true;
        const auto look = [](QWidget *dialog) {
            return formLabels(dialog) << dialog->windowTitle() << child<QLineEdit>(dialog, "edtMediaID")->text()
                                      << dialog->focusWidget()->objectName()
                                      << child<QDateEdit>(dialog, "edtDate")->date().toString(Qt::ISODate)
                                      << child<QTimeEdit>(dialog, "edtTime")->text()
                                      << child<QPushButton>(dialog, "btnOK")->text();
        };
        inNewMediaID(QStringLiteral("P1"), [&](QWidget *dialog) {
            first = look(dialog);
            whole = nothingCutOff(dialog, &cut);
            type(dialog, QStringLiteral("edtMediaID"), QStringLiteral("123"));
            child<QTimeEdit>(dialog, QStringLiteral("edtTime"))->setTime(QTime(9, 30));
            click(dialog, QStringLiteral("btnClearDate"));
            click(dialog, QStringLiteral("btnCancel"));
        });
        inNewMediaID(QStringLiteral("P1"), [&](QWidget *dialog) {
            second = look(dialog);
            click(dialog, QStringLiteral("btnCancel"));
        });
        const QStringList expected{"Media ID",   "Datum i vreme", "Media ID", "",
                                   "edtMediaID", QDate::currentDate().toString(Qt::ISODate), "00:00", "U redu"};
        QCOMPARE(first, expected);
        QCOMPARE(second, expected);
        QVERIFY2(whole, qPrintable(cut));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Zaposleni_IDMemorija").toInt(), 3);
    }

    void addMediaID_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("mediaID");
        QTest::addColumn<QDate>("date"); // null: cleared
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<MessageBoxes::Kind>("kind");
        QTest::addColumn<QString>("stored"); // "IDNo|date-time" of the person's new row; empty: none
        const QString wrongLength = QStringLiteral("Pogresna duzina MediaID !!!.");
        const QString notSaved = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");
        const QDate march5(2024, 3, 5);
        const auto none = MessageBoxes::Kind::Information;
        QTest::newRow("15 characters") << "P1" << "A200000001B81C0" << march5 << QTime(0, 0) << QStringList{wrongLength}
                                       << MessageBoxes::Kind::Warning << "";
        QTest::newRow("17 characters") << "P1" << "A200000001B81C020" << march5 << QTime(0, 0)
                                       << QStringList{wrongLength} << MessageBoxes::Kind::Warning << "";
        QTest::newRow("16, not hexadecimal") << "P1" << "zz-not-hex-'!!!x" << march5 << QTime(0, 0) << QStringList{}
                                             << none << "zz-not-hex-'!!!x|2024-03-05 00:00:00";
        QTest::newRow("midnight") << "P1" << "A200000001B81C02" << march5 << QTime(0, 0) << QStringList{} << none
                                  << "A200000001B81C02|2024-03-05 00:00:00";
        QTest::newRow("hour and minute") << "P1" << "A200000001B81C02" << march5 << QTime(7, 45) << QStringList{} << none
                                         << "A200000001B81C02|2024-03-05 07:45:00";
        QTest::newRow("date cleared") << "P1" << "A200000001B81C02" << QDate() << QTime(0, 0) << QStringList{notSaved}
                                      << MessageBoxes::Kind::Error << "";
        QTest::newRow("already the person's") << "P3" << "B100000002B81C02" << march5 << QTime(0, 0)
                                              << QStringList{notSaved} << MessageBoxes::Kind::Error << "";
    }

    void addMediaID()
    {
        QFETCH(QString, person);
        QFETCH(QString, mediaID);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QStringList, boxes);
        QFETCH(MessageBoxes::Kind, kind);
        QFETCH(QString, stored);
        const QStringList before = db().rows(kAll);
        Seen seen;
        QStringList listedWhileOpen;
        inNewMediaID(person, [&](QWidget *dialog) {
            type(dialog, QStringLiteral("edtMediaID"), mediaID);
            if (date.isNull())
                click(dialog, QStringLiteral("btnClearDate"));
            else
                child<QDateEdit>(dialog, QStringLiteral("edtDate"))->setDate(date);
            child<QTimeEdit>(dialog, QStringLiteral("edtTime"))->setTime(time);
            MessageBoxes::takeShown();
            click(dialog, QStringLiteral("btnOK"));
            seen.stayedOpen = dialog->isVisible();
            seen.boxes = MessageBoxes::takeShown();
            listedWhileOpen = columnTexts(w->mediaGrid(), 0);
            if (seen.stayedOpen)
                click(dialog, QStringLiteral("btnCancel"));
        });
        QCOMPARE(boxTexts(seen.boxes), boxes);
        if (!boxes.isEmpty())
            QCOMPARE(seen.boxes.first().kind, kind);
        QCOMPARE(seen.stayedOpen, stored.isEmpty());
        if (stored.isEmpty()) {
            QCOMPARE(db().rows(kAll), before);
            return;
        }
        QCOMPARE(db().rows("SELECT IDNo, datetime(DatumDodeljivanja) FROM Zaposleni_IDMemorija "
                           "WHERE IDZaposlenog = '" + person + "'"),
                 QStringList({stored}));
        // The media-ID list shows the new assignment.
        QCOMPARE(columnTexts(w->mediaGrid(), 0), QStringList({mediaID}));
        QCOMPARE(listedWhileOpen, QStringList({mediaID}));
    }

    void newActiveMediaIDGetsItsPinBearingForm_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("pinBearing");
        QTest::newRow("PIN 12AF") << "P1" << PinBearingMediaID("A200000001B81C02", "12AF");
        QTest::newRow("no PIN") << "P2" << "";
    }

    void newActiveMediaIDGetsItsPinBearingForm()
    {
        QFETCH(QString, person);
        QFETCH(QString, pinBearing);
        // From today 00:00 on, so active now.
        inNewMediaID(person, [&](QWidget *dialog) {
            type(dialog, QStringLiteral("edtMediaID"), QStringLiteral("A200000001B81C02"));
            click(dialog, QStringLiteral("btnOK"));
        });
        QCOMPARE(db().rows("SELECT IDZaposlenog, IDNoSaPinKodom FROM Zaposleni_IDMemorija WHERE IDNo = 'A200000001B81C02'"),
                 QStringList({person + "|" + pinBearing}));
        QVERIFY(!w->dmGZ->connMain->inTransaction());
    }

    void deleteMediaID_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<int>("focusedRow");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("after");
        const QStringList all{"B100000002B81C02|P3|2021-01-01 08:00:00|OLD1",
                              "C300000003B81C02|P3|2022-01-01 08:00:00|OLD2",
                              "D400000004B81C02|P5|2022-01-01 08:00:00|OLD5"};
        // The one left is the person's only active media ID: it gets its PIN-bearing form.
        QTest::newRow("one of two")
            << "P3" << 1 << true
            << QStringList{"B100000002B81C02|P3|2021-01-01 08:00:00|" + PinBearingMediaID("B100000002B81C02", "12AB"),
                           all.at(2)};
        QTest::newRow("answered No") << "P3" << 1 << false << all;
        QTest::newRow("empty list") << "P4" << -1 << true << all;
    }

    void deleteMediaID()
    {
        QFETCH(QString, person);
        QFETCH(int, focusedRow);
        QFETCH(bool, answer);
        QFETCH(QStringList, after);
        focusPerson(person);
        const int listed = w->mediaGrid()->model()->rowCount();
        if (focusedRow >= 0)
            w->mediaGrid()->setCurrentIndex(w->mediaGrid()->model()->index(focusedRow, 0));
        MessageBoxes::takeShown();
        MessageBoxes::setNextAnswer(answer);
        QTest::mouseClick(w->btnDeleteMedia, Qt::LeftButton);
        QCOMPARE(boxTexts(MessageBoxes::takeShown()), QStringList({kDeleteQuestion}));
        QCOMPARE(db().rows(kAll), after);
        QCOMPARE(w->mediaGrid()->model()->rowCount(), listed - (after.size() < 3 ? 1 : 0));
    }

    void deleteOfAMediaIDWithAnApostrophe()
    {
        db().exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja) "
                  "VALUES ('zz-not-hex-''!!!x', 'P4', '2022-01-01 08:00:00')");
        focusPerson(QStringLiteral("P4"));
        QCOMPARE(columnTexts(w->mediaGrid(), 0), QStringList({"zz-not-hex-'!!!x"}));
        MessageBoxes::setNextAnswer(true);
        QTest::mouseClick(w->btnDeleteMedia, Qt::LeftButton);
        QCOMPARE(boxTexts(MessageBoxes::takeShown()), QStringList({kDeleteQuestion}));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Zaposleni_IDMemorija WHERE IDZaposlenog = 'P4'").toInt(), 0);
        QCOMPARE(w->mediaGrid()->model()->rowCount(), 0);
    }

    // The database's own text; the PIN-bearing form is not rebuilt and the list not re-read.
    void refusedDeleteShowsTheDatabasesText()
    {
        db().exec("CREATE TRIGGER keepKeys BEFORE DELETE ON Zaposleni_IDMemorija "
                  "BEGIN SELECT RAISE(ABORT, 'media IDs are kept'); END");
        focusPerson(QStringLiteral("P5"));
        // Not active before 2099: a re-read would list it, a rebuild would not count it.
        db().exec("INSERT INTO Zaposleni_IDMemorija (IDNo, IDZaposlenog, DatumDodeljivanja) "
                  "VALUES ('E500000005B81C02', 'P5', '2099-01-01 08:00:00')");
        MessageBoxes::takeShown();
        MessageBoxes::setNextAnswer(true);
        QTest::mouseClick(w->btnDeleteMedia, Qt::LeftButton);
        const QList<MessageBoxes::Shown> boxes = MessageBoxes::takeShown();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.at(1).kind, MessageBoxes::Kind::Error);
        QVERIFY2(boxes.at(1).text.contains(QLatin1String("media IDs are kept")), qPrintable(boxes.at(1).text));
        QCOMPARE(pinBearingOf(QStringLiteral("D400000004B81C02")), QStringLiteral("OLD5"));
        QCOMPARE(columnTexts(w->mediaGrid(), 0), QStringList({"D400000004B81C02"}));
    }
};

QTEST_MAIN(TestMediaIDs)
#include "tst_mediaids.moc"
