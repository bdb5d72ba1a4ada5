// One working day of an operator, through the real main window: the register is filled in
// from the editors, access is granted, written to a simulated controller, read back with
// the table reader, revoked and written again.
#include "tests/tools/ReaderFixture.h"

#include "app/uDorvalen.h"
#include "controllers/ControllerCommands.h"
#include "controllers/NetworkComputers.h"
#include "db/NamedQuery.h"
#include "link/TDevice.h"
#include "link/uGlobalVars.h"
#include "tests/support/ModalDriver.h"
#include "tools/SlotTableModel.h"
#include "tools/uUredjaji_citanje.h"
#include "widgets/DataGrid.h"
#include "widgets/FileChooser.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using Col = SlotTableModel::Column;
using Shown = QList<MessageBoxes::Shown>;

namespace {

const QString Empty = QStringLiteral("FFFFFFFFFFFFFFFF");

// What the operator types in during the day.
const QString Department = QStringLiteral("S7");
const QString Person = QStringLiteral("E100");
const QString Pin = QStringLiteral("12AF");
const QString Group = QStringLiteral("G7");
const QString Zone = QStringLiteral("Z7");
const QString AccessPoint = QStringLiteral("T7");
const QString Controller = QStringLiteral("7");
const int ComPort = 1;

// The 1-Wire check byte, worked out here on its own: the seven code bytes of a media ID
// (its last 14 digits) from the family code (last pair) back to the first serial byte.
quint8 checkByte(const QString &code14)
{
    quint8 crc = 0;
    for (int pair = 6; pair >= 0; --pair) {
        quint8 byte = quint8(code14.mid(2 * pair, 2).toUInt(nullptr, 16));
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ byte) & 1) != 0;
            crc >>= 1;
            if (mix)
                crc ^= 0x8C;
            byte >>= 1;
        }
    }
    return crc;
}

QString withCheckByte(const QString &code14)
{
    return QString::asprintf("%.2X", checkByte(code14)) + code14;
}

// The key the person is given, and the form the controller must hold when a PIN is asked:
// the PIN in place of the two most significant serial bytes, the check byte made anew.
const QString MediaID = withCheckByte(QStringLiteral("00004D3C2B1A01"));
const QString PinBearing = withCheckByte(Pin + MediaID.mid(6));

// A network listing that knows only this computer.
class LoopbackOnly : public NetworkComputers
{
public:
    QStringList list() override { return {QStringLiteral("127.0.0.1")}; }
};

void typeInto(QWidget *dialog, const QString &name, const QString &text)
{
    QLineEdit *edit = child<QLineEdit>(dialog, name);
    if (!edit)
        return;
    edit->selectAll();
    edit->del();
    // Key by key; letters beyond ASCII have no key code of their own.
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void press(QWidget *window, const QString &name)
{
    if (QPushButton *button = child<QPushButton>(window, name))
        QTest::mouseClick(button, Qt::LeftButton);
}

void pick(QWidget *dialog, const QString &comboName, const QString &id)
{
    QComboBox *combo = child<QComboBox>(dialog, comboName);
    if (!combo)
        return;
    const int index = combo->findData(id);
    if (index < 0)
        QTest::qFail(qPrintable(id + " is not offered in " + comboName), __FILE__, __LINE__);
    combo->setCurrentIndex(index);
}

int rowOf(DataGrid *grid, int column, const QString &text)
{
    for (int r = 0; grid && grid->model() && r < grid->model()->rowCount(); ++r) {
        if (grid->model()->index(r, column).data().toString() == text)
            return r;
    }
    return -1;
}

void clickRow(DataGrid *grid, int row, int column)
{
    if (row < 0) {
        QTest::qFail("the row is not in the list", __FILE__, __LINE__);
        return;
    }
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

void clickTab(QTabBar *bar, const QString &caption)
{
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == caption) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            return;
        }
    }
    QTest::qFail(qPrintable("no tab " + caption), __FILE__, __LINE__);
}

// Runs fill in the window that opens modally next (by name), then presses its OK button.
void answerDialog(const QString &name, const std::function<void(QWidget *)> &fill, const QString &ok = "btnOK")
{
    whenModalShown(
        [fill, ok](QWidget *dialog) {
            fill(dialog);
            press(dialog, ok);
        },
        name);
}

QString boxTexts(const Shown &shown)
{
    QStringList out;
    for (const MessageBoxes::Shown &s : shown)
        out << s.text;
    return out.join(" / ");
}

} // namespace

class TestOperatorsDay : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ReaderFixture> f;
    QTemporaryDir files;
    TfrmDorvalen *w = nullptr;

    TempDatabase &db() { return f->db(); }

    // A catalogue window from its menu command: one new record from its "Dodaj", then "Zatvori".
    void addInCatalogue(QAction *command, const QString &window, const QString &editor,
                        const std::function<void(QWidget *)> &fill)
    {
        whenModalShown(
            [&](QWidget *list) {
                answerDialog(editor, fill);
                press(list, "btnAdd");
                press(list, "btnClose");
            },
            window);
        command->trigger();
    }

    void showView(const QString &view, const QString &detail)
    {
        clickTab(w->findChild<QTabBar *>("tabMain"), view);
        clickTab(w->findChild<QTabBar *>("tabDetails"), detail);
        QCOMPARE(w->currentDetailTab(), detail);
    }

    void focusMaster(const QString &id)
    {
        clickRow(w->masterGrid(), rowOf(w->masterGrid(), 1, id), 1);
        QCOMPARE(w->masterQuery()->asString("ID"), id);
    }

    // Picks the candidate with this ID in the assignment dialog that opens next.
    void answerAssignment(const QString &dialogName, const QString &id, int mode)
    {
        answerDialog(dialogName, [id, mode](QWidget *dialog) {
            auto *candidates = child<DataGrid>(dialog, "gridCandidates");
            const int row = rowOf(candidates, 0, id);
            if (row < 0)
                QTest::qFail(qPrintable(id + " is not offered"), __FILE__, __LINE__);
            else
                QTest::mouseClick(candidates->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  candidates->visualRect(candidates->model()->index(row, 0)).center());
            if (mode >= 0)
                child<QComboBox>(dialog, "cmbAccess")->setCurrentIndex(mode);
        });
    }

    // "Aktivnosti" -> "Upiši u kontrolere", answered Yes; the progress window closes by itself.
    void writeToControllers()
    {
        bool progressShown = false;
        whenModalShown([&](QWidget *) { progressShown = true; }, "frmWriteProgress");
        MessageBoxes::setNextAnswer(true);
        w->Upisiukontrolere1->trigger();
        QVERIFY(progressShown);
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Question);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // The four words of a table row in the simulated controller, as 16 hexadecimal digits.
    QString simulatedRow(int row)
    {
        const TDevice &d = f->device(Controller);
        QString out;
        for (int word = 0; word < 4; ++word)
            out += QString::asprintf("%.4X", f->sim().memoryWord(ComPort, Controller.toInt(), rowAddress(d, row) + word));
        return out;
    }

    // Every row of the controller's table in the simulator except the one given is empty.
    void verifyOtherRowsEmpty(int except)
    {
        const TDevice &d = f->device(Controller);
        const int rowCount = (d.TableEnd() - d.TableBegin()) / 4;
        QVERIFY(rowCount > 1);
        for (int row = 0; row < rowCount; ++row) {
            if (row != except)
                QVERIFY2(simulatedRow(row) == Empty, qPrintable(QString("row %1: %2").arg(row).arg(simulatedRow(row))));
        }
    }

private slots:
    void initTestCase()
    {
        // The write's one line per answer would bury the test's own output.
        QLoggingCategory::setFilterRules(QStringLiteral("dorvalen.writeprogress.debug=false"));
        f = std::make_unique<ReaderFixture>(QList<CatalogueController>{});
        FileChooser::setScripted(true);
        w = &f->window();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->findChild<ControllerCommands *>()->useComputers(std::make_unique<LoopbackOnly>());
        MessageBoxes::takeShown();
    }

    void cleanupTestCase()
    {
        f.reset();
        FileChooser::setScripted(false);
    }

    void cleanup()
    {
        // No step may leave a window open or an unexpected message behind.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        const Shown left = MessageBoxes::takeShown();
        QVERIFY2(left.isEmpty(), qPrintable(boxTexts(left)));
    }

    void registersDepartmentPersonAndMediaID()
    {
        // "Konfiguracija" -> "Sektori": a new department.
        whenModalShown(
            [&](QWidget *list) {
                answerDialog("frmNewDepartement", [](QWidget *d) {
                    typeInto(d, "edtIDSektora", Department);
                    typeInto(d, "edtNazivSektora", "Magacin");
                });
                press(list, "btnAdd");
                press(list, "btnClose");
            },
            "frmDepartements");
        w->Sektori1->trigger();
        QCOMPARE(db().rows("SELECT IDSektora, NazivSektora FROM Sektor"), QStringList{Department + "|Magacin"});

        // A person with a photo, the department and a PIN.
        QImage image(40, 52, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        const QString photo = files.filePath("face.jpg");
        QVERIFY(image.save(photo, "JPEG"));
        QFile file(photo);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray photoBytes = file.readAll();
        answerDialog("frmNewEmployee", [&](QWidget *d) {
            typeInto(d, "edtID", Person);
            typeInto(d, "edtPrezime", "Marković");
            typeInto(d, "edtIme", "Jelena");
            pick(d, "cbbSektor", Department);
            typeInto(d, "edtPinKod", Pin);
            FileChooser::setNextFileName(photo);
            press(d, "btnLoadPhoto");
        });
        QTest::mouseClick(w->btnAddPerson, Qt::LeftButton);
        QCOMPARE(db().rows("SELECT IDZaposlenog, IDSektora, PinKod FROM Zaposleni"),
                 QStringList{Person + "|" + Department + "|" + Pin});
        QCOMPARE(db().scalar("SELECT Fotografija FROM Zaposleni WHERE IDZaposlenog = '" + Person + "'").toByteArray(),
                 photoBytes);

        // The media-ID panel's "Dodaj" for that person.
        showView("Osobe", "Grupe");
        focusMaster(Person);
        answerDialog("frmNewMediaID", [](QWidget *d) { typeInto(d, "edtMediaID", MediaID); });
        QTest::mouseClick(w->btnAddMedia, Qt::LeftButton);
        QCOMPARE(db().rows("SELECT IDNo, IDZaposlenog, IDNoSaPinKodom FROM Zaposleni_IDMemorija"),
                 QStringList{MediaID + "|" + Person + "|" + PinBearing});
    }

    void configuresTheDoorAndItsController()
    {
        addInCatalogue(w->Grupe1, "frmGroups", "frmNewGroup", [](QWidget *d) {
            typeInto(d, "edID", Group);
            typeInto(d, "edName", "Magacioneri");
        });
        addInCatalogue(w->Zone1, "frmZones", "frmNewZone", [](QWidget *d) {
            typeInto(d, "edID", Zone);
            typeInto(d, "edName", "Skladiste");
        });
        addInCatalogue(w->Tackepristupa1, "frmAccessPoints", "frmNewAccessPoint", [](QWidget *d) {
            typeInto(d, "edID", AccessPoint);
            typeInto(d, "edName", "Ulaz u magacin");
            pick(d, "cxLookupcmbZone", Zone);
        });
        QCOMPARE(db().rows("SELECT IDGrupe FROM tblDorvGrupe"), QStringList{Group});
        QCOMPARE(db().rows("SELECT IDZone FROM tblDorvZone"), QStringList{Zone});
        QCOMPARE(db().rows("SELECT IDZone, IDTackePristupa FROM tblDorvZone_TackePristupa"),
                 QStringList{Zone + "|" + AccessPoint});

        // "Kontroleri": a TK71 on this computer (from the "..." listing), its contact 1 at the door.
        QString computer;
        whenModalShown(
            [&](QWidget *window) {
                answerDialog("frmNewController", [&](QWidget *d) {
                    auto *type = child<QComboBox>(d, "cbbTip");
                    type->setCurrentIndex(type->findText("TK71"));
                    typeInto(d, "edtID", Controller);
                    typeInto(d, "edtNaziv", "Magacin");
                    press(d, "btnComputers");
                    computer = child<QComboBox>(d, "cbbKompjuter")->currentText();
                    auto *port = child<QComboBox>(d, "cbbComPort");
                    if (port->isEditable())
                        port->setEditText(QString("COM%1").arg(ComPort));
                    else
                        port->setCurrentIndex(port->findText(QString("COM%1").arg(ComPort)));
                });
                press(window, "btnNew");
                auto *contacts = child<DataGrid>(window, "gridContacts");
                clickRow(contacts, rowOf(contacts, 0, "1"), 0);
                answerDialog("frmLinkTouchContact_AccessPoint", [](QWidget *d) { pick(d, "cbbTackaPristupa", AccessPoint); },
                             "btnAdd");
                press(window, "Button1");
                press(window, "btnOK");
            },
            "frmControllers");
        w->Kontroleri1->trigger();
        QCOMPARE(computer, QStringLiteral("127.0.0.1"));
        QCOMPARE(db().rows("SELECT IDKontrolera, Tip, Kompjuter, ComPort FROM tblDorvKontroleri"),
                 QStringList{Controller + "|TK71|127.0.0.1|COM1"});
        QCOMPARE(db().rows("SELECT k.RBTouchKontakta, t.IDTackePristupa FROM tblDorvKontakti k "
                           "JOIN tblDorvKontaktiKontrolera_TackePristupa t ON t.IDKontakta = k.IDKontakta "
                           "WHERE k.idkontrolera = '" + Controller + "'"),
                 QStringList{"1|" + AccessPoint});
        // Closing the catalogue put the controller into the device table.
        const TDevice &d = f->device(Controller);
        QCOMPARE(d.DevType, QStringLiteral("TK71"));
        QCOMPARE(d.CompName, QStringLiteral("127.0.0.1"));
        QCOMPARE(d.PortNum, ComPort);
    }

    void grantsAccessThroughTheGroup()
    {
        showView("Osobe", "Grupe");
        focusMaster(Person);
        answerAssignment("frmAssignGroups", Group, -1);
        QTest::mouseClick(w->btnAssign, Qt::LeftButton);
        QCOMPARE(db().rows("SELECT IDZaposlenog, IDGrupe FROM tblDorvOsobe_Grupe"), QStringList{Person + "|" + Group});

        showView("Grupe", "Zone");
        focusMaster(Group);
        answerAssignment("frmAssignGZ", Zone, 1);
        QTest::mouseClick(w->btnAssign, Qt::LeftButton);
        QCOMPARE(db().rows("SELECT IDGrupe, IDZone, UkljucenIPinKod FROM tblDorvGrupe_Zone"),
                 QStringList{Group + "|" + Zone + "|1"});
    }

    void writesAndReadsBackTheKey()
    {
        writeToControllers();
        // With a PIN asked, the controller holds the PIN-bearing form, in the first row.
        QCOMPARE(rowAddress(f->device(Controller), 0), 0);
        QCOMPARE(simulatedRow(0), PinBearing);
        verifyOtherRowsEmpty(0);

        f->withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Controller);
            runOperation(reader, "btn1");
            QCOMPARE(cell(reader, 0, Col::Kontroler), PinBearing);
            QCOMPARE(cell(reader, 0, Col::Baza), PinBearing);
            const QStringList statuses = column(reader, Col::Status);
            QVERIFY(statuses.size() > 1);
            QCOMPARE(statuses, QStringList(statuses.size(), "OK"));
            QCOMPARE(column(reader, Col::Kontroler).count(PinBearing), 1);
        });
    }

    void revokesAccessAndEmptiesTheSlot()
    {
        showView("Osobe", "Grupe");
        focusMaster(Person);
        clickRow(w->detailGrid(), rowOf(w->detailGrid(), 1, Group), 1);
        MessageBoxes::setNextAnswer(true);
        QTest::mouseClick(w->btnUnassign, Qt::LeftButton);
        const Shown asked = MessageBoxes::takeShown();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].kind, MessageBoxes::Kind::Question);
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM tblDorvOsobe_Grupe").toInt(), 0);
        // The group keeps its zone; only the person left it.
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM tblDorvGrupe_Zone").toInt(), 1);

        writeToControllers();
        // The write sends an empty slot by its last word alone: the slot is marked empty,
        // its first three words keep what the key left there.
        QCOMPARE(simulatedRow(0), PinBearing.left(12) + QStringLiteral("FFFF"));
        verifyOtherRowsEmpty(0);

        f->withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Controller);
            runOperation(reader, "btn1");
            // So the reader shows that row apart from the database, and only that row.
            QCOMPARE(cell(reader, 0, Col::Baza), Empty);
            QCOMPARE(cell(reader, 0, Col::Kontroler), simulatedRow(0));
            QStringList statuses = column(reader, Col::Status);
            QVERIFY(statuses.size() > 1);
            QCOMPARE(statuses.takeFirst(), QStringLiteral("T<>DB"));
            QCOMPARE(statuses, QStringList(statuses.size(), "OK"));

            // The operator erases that row from the controller and reads everything again.
            selectRow(reader, 0);
            MessageBoxes::setNextAnswer(true);
            runOperation(reader, "ButtonBrisiredizuredjaja");
            const Shown asked = MessageBoxes::takeShown();
            QCOMPARE(asked.size(), 1);
            QCOMPARE(asked[0].kind, MessageBoxes::Kind::Question);
            QTRY_COMPARE(simulatedRow(0), Empty);
            runOperation(reader, "btn1");
            QCOMPARE(cell(reader, 0, Col::Kontroler), Empty);
            statuses = column(reader, Col::Status);
            QCOMPARE(statuses, QStringList(statuses.size(), "OK"));
        });
        verifyOtherRowsEmpty(-1);
    }
};

QTEST_MAIN(TestOperatorsDay)
#include "tst_operatorsday.moc"
