#include "ToolFixtures.h"

#include "base/Settings.h"
#include "base/SettingsStore.h"
#include "db/ConnectionString.h"
#include "db/uDMGZ.h"
#include "link/ControllersCatalogue.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TempSettings.h"
#include "tools/ControllerCatalogueEditor.h"
#include "tools/uUredjaji_status.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>

namespace {

using Kind = MessageBoxes::Kind;

// The catalogue's dialogs as the operator answers them: a confirmed new controller is
// saved as "TK71" number 50, a confirmed edit renames the controller.
class FakeCatalogueEditor : public ControllerCatalogueEditor
{
public:
    explicit FakeCatalogueEditor(TempDatabase &db) : m_db(db) {}

    bool addController() override
    {
        ++added;
        if (confirm)
            m_db.exec("INSERT INTO tblDorvKontroleri VALUES ('50', 'Novi', 'TK71', '', '127.0.0.1', 'COM5')");
        return confirm;
    }
    bool editController(const QString &id) override
    {
        edited << id;
        if (confirm)
            m_db.exec(QString("UPDATE tblDorvKontroleri SET Naziv = 'Izmenjen' WHERE IDKontrolera = '%1'").arg(id));
        return confirm;
    }

    bool confirm = true;
    int added = 0;
    QStringList edited;

private:
    TempDatabase &m_db;
};

struct StatusRun
{
    StatusRun()
    {
        gz.connectTo(ConnectionString::forSqliteFile(db.fileName()));
        MessageBoxes::setScripted(true);
    }

    // A device of the table, in the next slot.
    void device(const QString &id, const QString &name, int port, const QString &type = QStringLiteral("TK71"))
    {
        table.Put(table.Count++, std::make_unique<TDevice>(id, name, type, "", LoopbackHost, port));
    }

    // Opens the window, runs steps in it as the operator would, and closes it with "Zatvori".
    void run(const std::function<void()> &steps)
    {
        whenModalShown(
            [&](QWidget *) {
                const auto close = qScopeGuard([&] { button("Button7")->click(); });
                steps();
            },
            "frmUredjaji_status");
        window.Execute(*net.link);
    }

    QPushButton *button(const char *name) { return child<QPushButton>(&window, name); }
    QTableWidget *list() { return child<QTableWidget>(&window, "l1"); }
    QStringList column(int c)
    {
        QStringList out;
        for (int r = 0; r < list()->rowCount(); ++r)
            out << list()->item(r, c)->text();
        return out;
    }
    void select(int row) { list()->selectRow(row); }

    int registryTotal()
    {
        settings.reload();
        SettingsStore s(settings.settings());
        if (!s.openKey(Settings::Devices::InfoKey, false))
            return -1;
        return s.readInteger(Settings::Devices::TotalNumber).value_or(-1);
    }

    TempDatabase db;
    AccessLists catalogue{db};
    TdmGZ gz;
    TempSettings settings;
    SettingsStore store{settings.settings()};
    TDeviceTable table;
    SimulatedLink net;
    FakeCatalogueEditor editor{db};
    int rebuilds = 0;
    TfrmUredjaji_status window{table, gz, settings.settings(),
                               [this] {
                                   ++rebuilds;
                                   TransferFromDB2Registry(table, *gz.qControllers, store);
                               }};
};

} // namespace

class TestStatusWindow : public QObject
{
    Q_OBJECT

private slots:
    // "ID u DB" names the catalogue entry that matches the row in every field.
    void listShowsTheTableWithItsCatalogueMatch_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::newRow("database open") << true;
        QTest::newRow("database closed") << false;
    }

    void listShowsTheTableWithItsCatalogueMatch()
    {
        QFETCH(bool, connected);
        StatusRun r;
        r.catalogue.controller("1", "TK71", "COM3", "Ulaz");
        r.catalogue.controller("2", "TK71", "COM3", "Hala");
        r.catalogue.controller("3", "TK71", "COM3", "Kod O'Briena");
        r.device("1", "Ulaz", 3);
        r.device("2", "Hala 2", 3);
        r.device("3", "Kod O'Briena", 3);
        if (!connected)
            r.gz.connMain->close();
        QStringList captions;
        r.run([&] {
            for (int c = 0; c < r.list()->columnCount(); ++c)
                captions << r.list()->horizontalHeaderItem(c)->text();
            const int width = r.list()->width();
            QCOMPARE(r.list()->columnWidth(TfrmUredjaji_status::ColID), width / 9);
            QCOMPARE(r.list()->columnWidth(TfrmUredjaji_status::ColName), width - 7 * (width / 9));
            r.window.grab().save(QDir::temp().filePath("dorvalen-status.png"));
        });
        QCOMPARE(captions, QStringList({"ID kontrolera", "Naziv", "Tip", "Računar", "COM port", "ID u DB", "Status"}));
        QCOMPARE(r.column(TfrmUredjaji_status::ColName), QStringList({"Ulaz", "Hala 2", "Kod O'Briena"}));
        QCOMPARE(r.column(TfrmUredjaji_status::ColComPort), QStringList({"COM3", "COM3", "COM3"}));
        QCOMPARE(r.column(TfrmUredjaji_status::ColIdInDb),
                 connected ? QStringList({"1", "--", "3"}) : QStringList({"--", "--", "--"}));
        QCOMPARE(r.column(TfrmUredjaji_status::ColStatus), QStringList({"--", "--", "--"}));
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    void anEmptySlotInTheTableIsPassedOver()
    {
        StatusRun r;
        r.device("1", "Ulaz", 3);
        r.table.Count = 3;
        r.table.Put(2, std::make_unique<TDevice>("3", "Rampa", "TK71", "", LoopbackHost, 4));
        r.run([] {});
        QCOMPARE(r.column(TfrmUredjaji_status::ColID), QStringList({"1", "3"}));
    }

    void fromDatabase_data()
    {
        QTest::addColumn<bool>("emptyFirst");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("yes: the catalogue only") << true << QStringList{"10", "11", "12", "13"};
        QTest::newRow("no: appended") << false << QStringList{"1", "2", "3", "10", "11", "12", "13"};
    }

    void fromDatabase()
    {
        QFETCH(bool, emptyFirst);
        QFETCH(QStringList, ids);
        StatusRun r;
        for (const char *id : {"10", "11", "12", "13"})
            r.catalogue.controller(id, "TK71D", "COM4");
        for (int i = 1; i <= 3; ++i)
            r.device(QString::number(i), "Stari", 2);
        r.run([&] {
            MessageBoxes::setNextAnswer(emptyFirst);
            r.button("btnOK")->click();
        });
        QCOMPARE(r.column(TfrmUredjaji_status::ColID), ids);
        QCOMPARE(r.column(TfrmUredjaji_status::ColIdInDb).mid(ids.size() - 4), QStringList({"10", "11", "12", "13"}));
        QCOMPARE(r.column(TfrmUredjaji_status::ColComPort).last(), QString("COM4"));
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Kind::Question);
        QCOMPARE(shown[0].text, TfrmUredjaji_status::FromDatabaseQuestion);
        // A working copy: the table is as it was.
        QCOMPARE(r.table.CountDevices(), 3);
    }

    void savingAnEmptyList()
    {
        StatusRun r;
        r.device("1", "Ulaz", 3);
        SaveDevicesToRegistry(r.table, r.store);
        r.run([&] {
            r.button("Button9")->click();
            r.button("Button8")->click();
        });
        QCOMPARE(r.table.CountDevices(), 0);
        QCOMPARE(r.table.Count, 0);
        QCOMPARE(r.registryTotal(), 0);
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    void savingTakesThePortFromTheComPort_data()
    {
        QTest::addColumn<QString>("comPort");
        QTest::addColumn<int>("port");
        QTest::newRow("COM12") << "COM12" << 12;
        QTest::newRow("COM3") << "COM3" << 3;
        QTest::newRow("com7") << "com7" << 7;
    }

    void savingTakesThePortFromTheComPort()
    {
        QFETCH(QString, comPort);
        QFETCH(int, port);
        StatusRun r;
        r.catalogue.controller("21", "TK71 2.1", comPort, "Kapija");
        r.run([&] {
            MessageBoxes::setNextAnswer(true);
            r.button("btnOK")->click();
            r.button("Button8")->click();
        });
        QCOMPARE(r.table.Count, 1);
        const TDevice &d = *r.table.Device(0);
        QCOMPARE(int(d.PortNum), port);
        QCOMPARE(d.ID, QString("21"));
        QCOMPARE(d.Name, QString("Kapija"));
        QCOMPARE(d.DevType, QString("TK71 2.1"));
        QCOMPARE(d.CompName, LoopbackHost);
        QCOMPARE(r.registryTotal(), 1);
    }

    // A row the frames cannot carry is refused, with the row named, and nothing is saved
    // or sent.
    void rowsTheFramesCannotCarryAreRefused_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("comPort");
        QTest::addColumn<QString>("named");
        QTest::newRow("three digits") << "4" << "COM100" << "COM100";
        QTest::newRow("not COM") << "4" << "LPT1" << "LPT1";
        QTest::newRow("ID not a number") << "A4" << "COM4" << "A4";
        QTest::newRow("ID negative") << "-4" << "COM4" << "-4";
    }

    void rowsTheFramesCannotCarryAreRefused()
    {
        QFETCH(QString, id);
        QFETCH(QString, comPort);
        QFETCH(QString, named);
        StatusRun r;
        r.catalogue.controller(id, "TK71", comPort);
        r.device("1", "Ulaz", 3);
        SaveDevicesToRegistry(r.table, r.store);
        r.run([&] {
            MessageBoxes::setNextAnswer(true);
            r.button("btnOK")->click();
            MessageBoxes::takeShown();
            r.select(0);
            r.button("Button5")->click();
            r.button("Button8")->click();
        });
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 3);
        QVERIFY2(shown[0].kind == Kind::Warning && shown[0].text.contains(named), qPrintable(shown[0].text));
        QCOMPARE(shown[1].text, shown[0].text);
        QCOMPARE(shown[2].text, QString("Lista nije snimljena."));
        QCOMPARE(r.table.Device(0)->ID, QString("1"));
        QCOMPARE(r.registryTotal(), 1);
        QCOMPARE(r.net.link->Link().Count(), 0);
        QVERIFY(r.net.frames().isEmpty());
    }

    void moreRowsThanTheTableHoldsSavesTheFirst255()
    {
        StatusRun r;
        QStringList values;
        for (int i = 1; i <= 100; ++i)
            values << QString("('%1', 'K%1', 'TK71', '', '127.0.0.1', 'COM%2')").arg(i).arg(1 + i % 20);
        r.db.exec("INSERT INTO tblDorvKontroleri VALUES " + values.join(", "));
        int rows = 0;
        r.run([&] {
            for (int i = 0; i < 3; ++i) {
                MessageBoxes::setNextAnswer(false);
                r.button("btnOK")->click();
            }
            rows = r.list()->rowCount();
            r.button("Button8")->click();
        });
        QCOMPARE(rows, 300);
        QCOMPARE(r.table.Count, 255);
        QCOMPARE(r.table.CountDevices(), 255);
        QCOMPARE(r.table.Device(254)->ID, QString("55"));
        QCOMPARE(r.registryTotal(), 255);
        const QList<MessageBoxes::Shown> shown = MessageBoxes::takeShown();
        QCOMPARE(shown.last().kind, Kind::Information);
        QCOMPARE(shown.last().text, QString("Lista ima 300 kontrolera, a tabela uređaja prima najviše 255; "
                                            "snimljeno je prvih 255."));
    }

    void statusCheckShowsTheAnswerInTheSelectedRow()
    {
        StatusRun r;
        r.device("7", "Kapija", 4);
        r.device("1", "Ulaz", 3);
        r.run([&] {
            r.select(1);
            r.button("Button5")->click();
            QTRY_COMPARE(r.column(TfrmUredjaji_status::ColStatus), QStringList({"--", "ST 3 1"}));
        });
        QCOMPARE(r.net.frames(), QStringList{FrameST(3, 1)});
        QCOMPARE(r.column(TfrmUredjaji_status::ColStatus), QStringList({"--", "ST 3 1"}));
    }

    // With no row selected an answer goes to the row of the controller it names.
    void statusAnswerWithoutASelection_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("statuses");
        QTest::newRow("port decides") << "ST 5 7" << QStringList{"--", "--", "ST 5 7"};
        QTest::newRow("controller only") << "ST 9 1" << QStringList{"ST 9 1", "--", "--"};
        QTest::newRow("unknown controller") << "ST 4 8" << QStringList{"--", "--", "--"};
    }

    void statusAnswerWithoutASelection()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, statuses);
        StatusRun r;
        r.device("1", "Ulaz", 3);
        r.device("7", "Kapija", 4);
        r.device("7", "Kapija 2", 5);
        r.run([&] {
            QVERIFY(r.list()->selectionModel()->selectedRows().isEmpty());
            r.net.link->Dispatch().Dispatch({answer, answer.split(' '), true});
        });
        QCOMPARE(r.column(TfrmUredjaji_status::ColStatus), statuses);
    }

    void buttonsFollowTheSelection()
    {
        StatusRun r;
        r.device("1", "Ulaz", 3);
        r.device("2", "Hala", 3);
        QList<bool> without, withEditor;
        auto states = [&] {
            QList<bool> out;
            for (const char *name : {"Button2", "Button4", "Button3", "Button5", "Button1", "btnOK", "Button8", "Button9"})
                out << r.button(name)->isEnabled();
            return out;
        };
        QStringList afterRemoval;
        r.run([&] {
            without << states();
            r.select(0);
            without << states();
            r.window.setCatalogueEditor(&r.editor);
            withEditor << states();
            r.list()->clearSelection();
            withEditor << states();
            r.select(0);
            r.button("Button3")->click();
            afterRemoval = r.column(TfrmUredjaji_status::ColID);
            r.window.setCatalogueEditor(nullptr);
        });
        // Ručni unos, Izmeni, Izbriši, Provera statusa, .ini, and the four always there.
        QCOMPARE(without, (QList<bool>{false, false, false, false, false, true, true, true,
                                       false, false, true, true, false, true, true, true}));
        QCOMPARE(withEditor, (QList<bool>{true, true, true, true, false, true, true, true,
                                          true, false, false, false, false, true, true, true}));
        QCOMPARE(afterRemoval, QStringList{"2"});
        QCOMPARE(r.table.CountDevices(), 2);
    }

    // "Ručni unos" ends with the table and the list rebuilt from the catalogue, whether
    // the operator saved the new controller or cancelled.
    void manualEntryRebuildsFromTheCatalogue_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("saved") << true << QStringList{"1", "2", "50"};
        QTest::newRow("Otkaži") << false << QStringList{"1", "2"};
    }

    void manualEntryRebuildsFromTheCatalogue()
    {
        QFETCH(bool, confirm);
        QFETCH(QStringList, ids);
        StatusRun r;
        r.catalogue.controller("1", "TK71");
        r.catalogue.controller("2", "TK71 2.1", "COM12");
        r.device("9", "Samo u listi", 3);
        r.editor.confirm = confirm;
        r.window.setCatalogueEditor(&r.editor);
        r.run([&] { r.button("Button2")->click(); });
        QCOMPARE(r.editor.added, 1);
        QCOMPARE(r.rebuilds, 1);
        QCOMPARE(r.column(TfrmUredjaji_status::ColID), ids);
        QCOMPARE(r.table.Count, int(ids.size()));
        QCOMPARE(r.table.Device(1)->PortNum, quint8(12));
        QCOMPARE(r.registryTotal(), int(ids.size()));
    }

    void editOpensTheDialogOnTheSelectedController_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("known");
        QTest::newRow("in the catalogue") << "2" << true;
        QTest::newRow("not in the catalogue") << "9" << false;
    }

    void editOpensTheDialogOnTheSelectedController()
    {
        QFETCH(QString, id);
        QFETCH(bool, known);
        StatusRun r;
        r.catalogue.controller("1", "TK71");
        r.catalogue.controller("2", "TK71");
        r.device(id, "Hala", 3);
        r.window.setCatalogueEditor(&r.editor);
        r.run([&] {
            r.select(0);
            r.button("Button4")->click();
        });
        QCOMPARE(r.editor.edited, known ? QStringList{id} : QStringList{});
        QCOMPARE(r.rebuilds, known ? 1 : 0);
        if (known) {
            QCOMPARE(r.column(TfrmUredjaji_status::ColName), QStringList({"Kontroler 1", "Izmenjen"}));
            QVERIFY(MessageBoxes::takeShown().isEmpty());
        } else {
            QCOMPARE(r.column(TfrmUredjaji_status::ColID), QStringList{"9"});
            QCOMPARE(MessageBoxes::takeShown().first().text, QString("Kontroler sa ID 9 ne postoji u bazi."));
        }
    }
};

QTEST_MAIN(TestStatusWindow)
#include "tst_statuswindow.moc"
