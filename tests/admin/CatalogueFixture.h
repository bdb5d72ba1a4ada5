#pragma once

// What the catalogue tests share: a register holding X1 and X2 in every catalogue, the
// program started on it, the four catalogues' differences for the tests that run over
// all of them, and the driving of their modal windows.
#include "app/uDorvalen.h"
#include "db/NamedQuery.h"
#include "db/uDMGZ.h"
#include "db/uDMMain.h"
#include "db/uDMProperties.h"
#include "widgets/CatalogueWindow.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"
#include "widgets/RecordEditor.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimeEdit>

#include <functional>
#include <memory>

using Kind = MessageBoxes::Kind;

inline const QString InputError = QStringLiteral("Greska u unosu, podaci nisu dodati u bazu.");

// Every catalogue holds X1 and X2; the access points X1 and X2 enter the zones Z1 and Z2.
inline void fillFixture(TempDatabase &db)
{
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora) VALUES ('P1', 'Perić', 'Ana', 'S1')");
    db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('X1', 'Prva'), ('X2', 'Druga')");
    db.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('X1', 'Magacin'), ('X2', 'Dvorište'), "
            "('Z1', 'Hala'), ('Z2', 'Krov')");
    db.exec("INSERT INTO tblDorvTackePristupa (IDTackePristupa, Naziv) VALUES ('X1', 'Kapija'), ('X2', 'Rampa')");
    db.exec("INSERT INTO tblDorvZone_TackePristupa (id, IDZone, IDTackePristupa, Status) VALUES "
            "(1, 'Z1', 'X1', 1), (2, 'Z2', 'X2', 1)");
    db.exec("INSERT INTO tblDorvVremenskiIntervali (IDIntervala, Od, Do, OdOffset, DoOffset) VALUES "
            "('X1', '08:00', '16:00', 0, 0), ('X2', '00:00', '23:59', 0, 0)");
}

// Two sets of values a test types into an editor.
inline QString nameOf(int variant)
{
    return variant == 0 ? QStringLiteral("Ulaz O'Brien") : QStringLiteral("Izlaz Đorđević");
}

inline void setText(QWidget *editor, const char *name, const QString &text)
{
    QLineEdit *edit = child<QLineEdit>(editor, name);
    // As typed (keyClicks knows no letters beyond ASCII), within the field's length.
    edit->clear();
    edit->insert(text);
}

inline void chooseZone(QWidget *editor, const QString &id)
{
    auto *zones = child<QComboBox>(editor, "cxLookupcmbZone");
    zones->setCurrentIndex(zones->findData(id));
}

inline void setTimes(QWidget *editor, QTime from, QTime to)
{
    child<QTimeEdit>(editor, "edFrom")->setTime(from);
    child<QTimeEdit>(editor, "edTo")->setTime(to);
}

inline void click(QWidget *window, const char *button)
{
    child<QPushButton>(window, button)->click();
}

// What differs between the catalogues for the tests that run over all four.
struct Catalogue
{
    QString command; // empty: no command opens it
    QString window;
    QString newEditor;
    QString editEditor;
    QString rowsSql; // the stored records, one line each, ordered
    std::function<void(QWidget *editor, const QString &id, int variant)> fill;
    std::function<QString(const QString &id, int variant)> row;
    QString requiredWarning;
    QString deleteQuestion;
    QString editError;
    QString table;
    QString keyColumn;
};

inline const Catalogue &catalogue(const QString &name)
{
    static const QHash<QString, Catalogue> all = [] {
        QHash<QString, Catalogue> c;
        const auto nameFill = [](QWidget *e, const QString &id, int variant) {
            setText(e, "edID", id);
            setText(e, "edName", nameOf(variant));
        };
        const auto nameRow = [](const QString &id, int variant) { return id + "|" + nameOf(variant); };
        c.insert("groups", {"Grupe1", "frmGroups", "frmNewGroup", "frmEditGroup",
                            "SELECT IDGrupe || '|' || Naziv FROM tblDorvGrupe ORDER BY 1", nameFill, nameRow,
                            "Polja \"ID grupe\" and \"Naziv grupe\" moraju biti popunjena.",
                            "Jeste li sigurni da želite da izbrišete odabranu grupu?", InputError, "tblDorvGrupe",
                            "IDGrupe"});
        c.insert("zones", {"Zone1", "frmZones", "frmNewZone", "frmEditZone",
                           "SELECT IDZone || '|' || Naziv FROM tblDorvZone ORDER BY 1", nameFill, nameRow,
                           "Polja \"ID zone\" and \"Naziv zone\" moraju biti popunjena.",
                           "Jeste li sigurni da želite da izbrišete odabranu zonu?", InputError, "tblDorvZone", "IDZone"});
        c.insert("access points",
                 {"Tackepristupa1", "frmAccessPoints", "frmNewAccessPoint", "frmEditAccessPoint",
                  "SELECT t.IDTackePristupa || '|' || t.Naziv || '|' || IFNULL(z.IDZone, '-') FROM tblDorvTackePristupa t "
                  "LEFT JOIN tblDorvZone_TackePristupa z ON z.IDTackePristupa = t.IDTackePristupa ORDER BY 1",
                  [](QWidget *e, const QString &id, int variant) {
                      setText(e, "edID", id);
                      setText(e, "edName", nameOf(variant));
                      chooseZone(e, variant == 0 ? "Z1" : "Z2");
                  },
                  [](const QString &id, int variant) { return id + "|" + nameOf(variant) + (variant == 0 ? "|Z1" : "|Z2"); },
                  "Sva polja moraju biti popunjena.", "Jeste li sigurni da želite da izbrišete odabranu tačku pristupa?",
                  InputError, "tblDorvTackePristupa", "IDTackePristupa"});
        c.insert("time intervals",
                 {QString(), "frmTimeIntervals", "frmNewTimeInterval", "frmEditTimeInterval",
                  "SELECT IDIntervala || '|' || Od || '|' || Do FROM tblDorvVremenskiIntervali ORDER BY 1",
                  [](QWidget *e, const QString &id, int variant) {
                      setText(e, "edID", id);
                      if (variant == 0)
                          setTimes(e, QTime(8, 0), QTime(16, 30));
                      else
                          setTimes(e, QTime(6, 5), QTime(14, 45));
                  },
                  [](const QString &id, int variant) { return id + (variant == 0 ? "|08:00|16:30" : "|06:05|14:45"); },
                  "Sva polja moraju biti popunjena.", "Jeste li sigurni da želite da izbrišete odabrani vremenski interval?",
                  "Greska u unosu, podaci u bazi nisu izmenjeni.", "tblDorvVremenskiIntervali", "IDIntervala"});
        return c;
    }();
    return *all.constFind(name);
}

inline void addCatalogueRows()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"groups", "zones", "access points", "time intervals"})
        QTest::newRow(name) << QString(name);
}

inline QStringList withRow(QStringList rows, const QString &row)
{
    rows.append(row);
    rows.sort();
    return rows;
}

class CatalogueFixture
{
protected:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<StartedProgram> m_program;
    TfrmDorvalen *w = nullptr;

    // Runs body inside the modal window name once open() has opened it; the window is
    // closed afterwards whatever body did.
    void inModal(const QString &name, const std::function<void(QWidget *)> &body, const std::function<void()> &open)
    {
        whenModalShown(
            [body](QWidget *window) {
                body(window);
                if (window->isVisible())
                    static_cast<QDialog *>(window)->reject();
            },
            name);
        open();
    }

    // The catalogue's window as the operator opens it: through its menu command (the
    // time intervals have none, so their window is opened directly).
    void inCatalogue(const Catalogue &c, const std::function<void(CatalogueWindow *)> &body)
    {
        inModal(c.window, [body](QWidget *window) { body(static_cast<CatalogueWindow *>(window)); },
                [&] {
                    if (c.command.isEmpty())
                        child<CatalogueWindow>(w, c.window)->exec();
                    else
                        w->findChild<QAction *>(c.command)->trigger();
                });
    }

    void inEditor(CatalogueWindow *window, const QString &editor, const char *button,
                  const std::function<void(QWidget *)> &body)
    {
        inModal(editor, body, [&] { click(window, button); });
    }

    // Focuses the list's record whose key (first column) is key.
    static void focusRecord(CatalogueWindow *window, const QString &key)
    {
        QAbstractItemModel *rows = window->grid()->model();
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (rows->index(r, 0).data().toString() == key) {
                window->grid()->setCurrentIndex(rows->index(r, 0));
                return;
            }
        }
        QFAIL(qPrintable("no record " + key));
    }

    static QString focusedKey(CatalogueWindow *window)
    {
        DataGrid *grid = window->grid();
        return grid->model()->index(grid->currentIndex().row(), 0).data().toString();
    }

    void expectShown(const QList<MessageBoxes::Shown> &expected)
    {
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), expected.size());
        for (int i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown.at(i).kind, expected.at(i).kind);
            QCOMPARE(shown.at(i).text, expected.at(i).text);
        }
    }

    void selectView(const QString &caption)
    {
        auto *views = w->findChild<QTabBar *>("tabMain");
        for (int i = 0; i < views->count(); ++i)
            if (views->tabText(i) == caption)
                views->setCurrentIndex(i);
    }

    // From the test's init() and cleanup().
    void start()
    {
        MessageBoxes::setScripted(true);
        m_db = std::make_unique<TempDatabase>();
        fillFixture(*m_db);
        m_program = std::make_unique<StartedProgram>("Provider=SQLite;Data Source=" + m_db->fileName());
        w = &m_program->window();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }

    void stop()
    {
        m_program.reset();
        m_db.reset();
        QCOMPARE(MessageBoxes::takeShown().size(), 0);
    }
};
