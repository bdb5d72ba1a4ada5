#include "tests/tools/ReaderFixture.h"

#include "link/CommandLink.h"
#include "link/Komunikacija.h"
#include "link/TDevice.h"
#include "link/uGlobalVars.h"
#include "tests/support/ModalDriver.h"
#include "tools/SlotTableModel.h"
#include "tools/uNewIDtoWrite.h"
#include "tools/uUredjaji_citanje.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using Col = SlotTableModel::Column;
using SlotMap = QMap<int, QString>;
using WordMap = QMap<int, int>;
using Shown = QList<MessageBoxes::Shown>;

namespace {

const CatalogueController Tk71{QStringLiteral("12"), QStringLiteral("Ulaz"), QStringLiteral("TK71"), 3};
const CatalogueController Tk21{QStringLiteral("7"), QStringLiteral("Kapija"), QStringLiteral("TK71 2.1"), 4};
const CatalogueController Tk71D{QStringLiteral("9"), QStringLiteral("Magacin"), QStringLiteral("TK71D"), 5};
const CatalogueController Tk96{QStringLiteral("30"), QStringLiteral("Rampa"), QStringLiteral("TK96"), 6};
const QList<CatalogueController> All{Tk71, Tk21, Tk71D, Tk96};

const QString Empty = QStringLiteral("FFFFFFFFFFFFFFFF");
// Media IDs whose order in the database (by IDNo) is C, A, B.
const QString A = QStringLiteral("2222222222222222");
const QString B = QStringLiteral("3333333333333333");
const QString C = QStringLiteral("1111111111111111");
const QString D = QStringLiteral("4444444444444444");

const QString NoRowText = QStringLiteral("Nije selektovan nijedan red u listi.");

CatalogueController byId(const QString &id)
{
    for (const CatalogueController &c : All) {
        if (c.id == id)
            return c;
    }
    qFatal("no controller %s", qPrintable(id));
}

QStringList numbers(int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out.append(QString::number(n));
    return out;
}

// Every word of an image, so that one comparison shows any word out of place.
QList<int> words(const TImage &image)
{
    return QList<int>(image.begin(), image.end());
}

QList<int> wordsWith(const WordMap &set, int otherwise)
{
    QList<int> out(TDevice::ImageWords, otherwise);
    for (auto it = set.begin(); it != set.end(); ++it)
        out[it.key()] = it.value();
    return out;
}

void primeRows(ReaderFixture &f, const CatalogueController &c, const SlotMap &rows)
{
    const TDevice &d = f.device(c.id);
    for (auto it = rows.begin(); it != rows.end(); ++it)
        f.prime(c, rowAddress(d, it.key()), {it.value()});
}

// The words the simulated controller holds for a table row, as 16 hexadecimal digits.
QString simulatedSlot(ReaderFixture &f, const CatalogueController &c, int row)
{
    const TDevice &d = f.device(c.id);
    QString out;
    for (int w = 0; w < 4; ++w)
        out += QString::asprintf("%.4X", f.sim().memoryWord(c.port, c.id.toInt(), rowAddress(d, row) + w));
    return out;
}

// The frames of the batches the simulator received from the index-th on.
QStringList framesSince(const Link71Simulator &sim, qsizetype index)
{
    QStringList out;
    for (qsizetype i = index; i < sim.batches().size(); ++i) {
        QByteArray rest = sim.batches()[i];
        for (const QByteArray &frame : TakeFrames(rest))
            out.append(QString::fromLatin1(frame));
    }
    return out;
}

QColor textColour(TfrmUredjaji_citanje &reader, int row)
{
    QAbstractItemModel *model = rows(reader);
    return model->data(model->index(row, Col::Status), Qt::ForegroundRole).value<QBrush>().color();
}

void setChecked(TfrmUredjaji_citanje &reader, int row, bool on)
{
    QAbstractItemModel *model = rows(reader);
    model->setData(model->index(row, Col::Upis), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

// The enabled state of every control, by name.
QMap<QString, bool> enabledControls(TfrmUredjaji_citanje &reader)
{
    QMap<QString, bool> out;
    out.insert(QStringLiteral("cb1"), child<QComboBox>(&reader, QStringLiteral("cb1"))->isEnabled());
    for (QPushButton *b : reader.findChildren<QPushButton *>()) {
        if (b->window() == &reader && b->parentWidget() == &reader)
            out.insert(b->objectName(), b->isEnabled());
    }
    return out;
}

const QStringList GrayedButtons{
    "Button2", "btn1", "btn2", "ButtonPisisve", "Buttonpisisveusve", "ButtonBrisiredizuredjaja",
    "Buttonbrisisveizuredjaja", "ButtonSort", "ButtonManualedit", "Button1", "Button8", "Button9", "Button7"};

QMap<QString, bool> idleControls()
{
    QMap<QString, bool> out{{QStringLiteral("cb1"), true}, {QStringLiteral("btn3"), false}};
    for (const QString &name : GrayedButtons)
        out.insert(name, true);
    return out;
}

} // namespace

// The table reader through the main window's debug toolbar, against the simulated
// communication server and an SQLite register.
class TestTableReader : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageBoxes::takeShown(); }

    void opensOnlyWithConfiguredControllers()
    {
        ReaderFixture f({});
        bool opened = false;
        QTimer::singleShot(0, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened = true;
                modal->close();
            }
        });
        f.window().btnRead->click();
        QCoreApplication::processEvents();
        QVERIFY(!opened);
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
        QCOMPARE(shown[0].text, QStringLiteral("Nema konfigurisanih kontrolera."));
    }

    void rowsAndNumbersFollowTheModel_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("expectedNumbers");
        QTest::addColumn<int>("secondTableRow");
        QTest::newRow("TK71 2.1: slots 1 to 123") << Tk21.id << numbers(1, 123) << -1;
        QTest::newRow("TK71: slots 0 to 251") << Tk71.id << numbers(1, 252) << 124;
        QTest::newRow("TK71D: second table numbered from 1") << Tk71D.id << numbers(1, 124) + numbers(1, 128) << 124;
        QTest::newRow("TK96: no table") << Tk96.id << QStringList() << -1;
    }

    void rowsAndNumbersFollowTheModel()
    {
        QFETCH(QString, id);
        QFETCH(QStringList, expectedNumbers);
        QFETCH(int, secondTableRow);
        ReaderFixture f(All);
        const QStringList first = f.grant(id, 1, {A});
        const QStringList second = secondTableRow >= 0 ? f.grant(id, 2, {B}) : QStringList();
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            QCOMPARE(child<QComboBox>(&reader, "cb1")->count(), All.size());
            selectDevice(reader, id);
            QCOMPARE(column(reader, Col::RBr), expectedNumbers);
            if (expectedNumbers.isEmpty())
                return;
            // Row 0 is the table's first slot, where the first table starts.
            QCOMPARE(cell(reader, 0, Col::Baza), A);
            QCOMPARE(cell(reader, 0, Col::Korisnik), first[0]);
            QCOMPARE(cell(reader, 1, Col::Baza), Empty);
            if (secondTableRow >= 0) {
                QCOMPARE(cell(reader, secondTableRow, Col::Baza), B);
                QCOMPARE(cell(reader, secondTableRow, Col::Korisnik), second[0]);
            }
            for (int r = 0; r < expectedNumbers.size(); ++r) {
                QVERIFY2(checked(reader, r), qPrintable(QString::number(r)));
                QCOMPARE(cell(reader, r, Col::Kontroler), QString());
                QCOMPARE(cell(reader, r, Col::Status), QString());
            }
            QMap<QString, bool> allEnabled = idleControls();
            allEnabled[QStringLiteral("btn3")] = true; // everything starts enabled
            QCOMPARE(enabledControls(reader), allEnabled);
        });
        QVERIFY(MessageBoxes::takeShown().isEmpty());
    }

    void answersReachOnlyTheirRow_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<WordMap>("imageWords");
        QTest::addColumn<int>("completedRow");
        QTest::addColumn<QString>("controllerCell");
        QTest::addColumn<QString>("number");

        const QStringList slot1{"RE 1 4 4660", "RE 1 5 22136", "RE 1 6 39612", "RE 1 7 57072"};
        const WordMap slot1Words{{4, 4660}, {5, 22136}, {6, 39612}, {7, 57072}};
        QTest::newRow("TK71 2.1: address 7 completes row 0")
            << Tk21.id << slot1 << slot1Words << 0 << "123456789ABCDEF0" << "1";
        QTest::newRow("TK71 2.1: three words complete no row")
            << Tk21.id << slot1.mid(0, 3) << WordMap{{4, 4660}, {5, 22136}, {6, 39612}} << -1 << "" << "";
        QTest::newRow("TK71: address 1027 is index 499, the end of row 124")
            << Tk71.id << QStringList{"RE 1 1027 4660"} << WordMap{{499, 4660}} << 124 << "0000000000001234"
            << "125";
        QTest::newRow("TK71D: the last row is number 128")
            << Tk71D.id << QStringList{"RE 1 1535 1"} << WordMap{{1007, 1}} << 251 << "0000000000000001"
            << "128";
        QTest::newRow("TK71 2.1: a write answer while shown")
            << Tk21.id << QStringList{"WE 1 7 65535"} << WordMap{{7, 65535}} << 0 << "000000000000FFFF" << "1";
        // Answers that have no row of the selected device are left out.
        QTest::newRow("TK71 2.1: slot 0 is outside the table")
            << Tk21.id << QStringList{"RE 1 3 5"} << WordMap() << -1 << "" << "";
        QTest::newRow("TK71 2.1: past the table's end")
            << Tk21.id << QStringList{"RE 1 499 5"} << WordMap() << -1 << "" << "";
        QTest::newRow("TK71: between the banks")
            << Tk71.id << QStringList{"RE 1 703 5"} << WordMap() << -1 << "" << "";
        QTest::newRow("TK71: past the second bank")
            << Tk71.id << QStringList{"RE 1 1539 5"} << WordMap() << -1 << "" << "";
        QTest::newRow("TK71 2.1: a value that is no word")
            << Tk21.id << QStringList{"RE 1 7 70000"} << WordMap() << -1 << "" << "";
    }

    void answersReachOnlyTheirRow()
    {
        QFETCH(QString, id);
        QFETCH(QStringList, answers);
        QFETCH(WordMap, imageWords);
        QFETCH(int, completedRow);
        QFETCH(QString, controllerCell);
        QFETCH(QString, number);
        ReaderFixture f(All);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, id);
            f.answer(answers);
            QCOMPARE(words(f.device(id).CtrlImage), wordsWith(imageWords, 0));
            QStringList expected(rows(reader)->rowCount(), QString());
            if (completedRow >= 0)
                expected[completedRow] = controllerCell;
            QCOMPARE(column(reader, Col::Kontroler), expected);
            if (completedRow < 0)
                return;
            QCOMPARE(cell(reader, completedRow, Col::RBr), number);
            QCOMPARE(cell(reader, completedRow, Col::Status), QStringLiteral("T<>DB"));
            QVERIFY(checked(reader, completedRow));
        });
    }

    void readComparesEveryRow_data()
    {
        QTest::addColumn<SlotMap>("controller");
        QTest::addColumn<QList<int>>("differing");
        QTest::newRow("every slot equals the database") << SlotMap{{0, C}, {1, A}, {2, B}, {124, D}} << QList<int>();
        QTest::newRow("a slot of the first table holds another media ID")
            << SlotMap{{0, C}, {1, D}, {2, B}, {124, D}} << QList<int>{1};
        QTest::newRow("the second table's slot is empty") << SlotMap{{0, C}, {1, A}, {2, B}} << QList<int>{124};
    }

    void readComparesEveryRow()
    {
        QFETCH(SlotMap, controller);
        QFETCH(QList<int>, differing);
        ReaderFixture f(All);
        QStringList persons = f.grant(Tk71.id, 1, {A, B, C});
        persons += f.grant(Tk71.id, 2, {D});
        const QHash<QString, QString> personOf{{A, persons[0]}, {B, persons[1]}, {C, persons[2]}, {D, persons[3]}};
        const SlotMap database{{0, C}, {1, A}, {2, B}, {124, D}};
        primeRows(f, Tk71, controller);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk71.id);
            runOperation(reader, QStringLiteral("btn1"));
            QCOMPARE(enabledControls(reader), idleControls());
            QVERIFY(f.device(Tk71.id).Compared);
            // The list has followed the answers down to the last row.
            auto *list = child<QTableView>(&reader, "l1");
            QTRY_VERIFY(list->viewport()->rect().intersects(list->visualRect(list->model()->index(251, 0))));
            for (int r = 0; r < 252; ++r) {
                const QString ctrl = controller.value(r, Empty);
                const QString db = database.value(r, Empty);
                const bool differs = differing.contains(r);
                QCOMPARE(cell(reader, r, Col::Kontroler), ctrl);
                QCOMPARE(cell(reader, r, Col::Status), differs ? QStringLiteral("T<>DB") : QStringLiteral("OK"));
                QCOMPARE(checked(reader, r), differs);
                QCOMPARE(textColour(reader, r), differs ? QColor(Qt::red) : QColor(Qt::black));
                const QString person = differs ? personOf.value(ctrl) + QStringLiteral(" / ") + personOf.value(db)
                                               : personOf.value(ctrl);
                QCOMPARE(cell(reader, r, Col::Korisnik), person);
            }
        });
    }

    void readOneRow()
    {
        ReaderFixture f(All);
        primeRows(f, Tk21, {{1, A}});
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            selectRow(reader, 1);
            const qsizetype before = f.sim().batches().size();
            runOperation(reader, QStringLiteral("Button2"));
            QCOMPARE(framesSince(f.sim(), before),
                     QStringList({FrameRE(4, 7, 8), FrameRE(4, 7, 9), FrameRE(4, 7, 10), FrameRE(4, 7, 11)}));
            QStringList expected(123, QString());
            expected[1] = A;
            QCOMPARE(column(reader, Col::Kontroler), expected);
            QCOMPARE(cell(reader, 1, Col::Status), QStringLiteral("T<>DB"));
            QVERIFY(f.device(Tk21.id).Compared);
        });
    }

    void sortLinesTheDatabaseUpWithTheController_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("firstTable");
        QTest::addColumn<QStringList>("secondTable");
        QTest::addColumn<SlotMap>("controller");
        QTest::addColumn<SlotMap>("sortedDatabase");
        QTest::addColumn<QList<int>>("differing");

        QTest::newRow("A B C against C A B") << Tk71.id << QStringList{A, B, C} << QStringList()
                                             << SlotMap{{0, A}, {1, B}, {2, C}} << SlotMap{{0, A}, {1, B}, {2, C}}
                                             << QList<int>();
        QTest::newRow("a media ID the database does not have stays")
            << Tk71.id << QStringList{A, B} << QStringList() << SlotMap{{0, B}, {1, A}, {3, D}}
            << SlotMap{{0, B}, {1, A}} << QList<int>{3};
        QTest::newRow("one media ID at two slots: the last keeps it")
            << Tk71.id << QStringList{A} << QStringList() << SlotMap{{0, A}, {1, A}} << SlotMap{{1, A}}
            << QList<int>{0};
        QTest::newRow("TK71: one pass over both tables")
            << Tk71.id << QStringList{C, D} << QStringList() << SlotMap{{0, C}, {125, D}} << SlotMap{{0, C}, {125, D}}
            << QList<int>();
        QTest::newRow("TK71D: the second table searches only itself")
            << Tk71D.id << QStringList{C, D} << QStringList() << SlotMap{{0, C}, {125, D}}
            << SlotMap{{0, C}, {1, D}} << QList<int>{1, 125};
        QTest::newRow("TK71D: the first table searches both")
            << Tk71D.id << QStringList{C} << QStringList{A, B} << SlotMap{{0, A}, {124, B}, {125, C}}
            << SlotMap{{0, A}, {124, B}, {125, C}} << QList<int>();
    }

    void sortLinesTheDatabaseUpWithTheController()
    {
        QFETCH(QString, id);
        QFETCH(QStringList, firstTable);
        QFETCH(QStringList, secondTable);
        QFETCH(SlotMap, controller);
        QFETCH(SlotMap, sortedDatabase);
        QFETCH(QList<int>, differing);
        ReaderFixture f(All);
        f.grant(id, 1, firstTable);
        if (!secondTable.isEmpty())
            f.grant(id, 2, secondTable);
        primeRows(f, byId(id), controller);
        const QStringList storedRows = f.db().rows("SELECT * FROM viewDorvPodaciZaTerminale ORDER BY IDNo");
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, id);
            runOperation(reader, QStringLiteral("btn1"));
            const int framesBefore = f.sim().framesExecuted();
            QTest::mouseClick(button(reader, "ButtonSort"), Qt::LeftButton);
            const TDevice &d = f.device(id);
            for (int r = 0; r < d.Capacity; ++r) {
                const QString db = sortedDatabase.value(r, Empty);
                const bool differs = differing.contains(r);
                QCOMPARE(cell(reader, r, Col::Baza), db);
                QCOMPARE(FormatSlot(d.DBImage, r + d.FirstSlotWord / 4), db);
                QCOMPARE(cell(reader, r, Col::Status), differs ? QStringLiteral("T<>DB") : QStringLiteral("OK"));
                QCOMPARE(checked(reader, r), differs);
            }
            // Only the list and the database image change.
            QTest::qWait(50);
            QCOMPARE(f.sim().framesExecuted(), framesBefore);
        });
        QCOMPARE(f.db().rows("SELECT * FROM viewDorvPodaciZaTerminale ORDER BY IDNo"), storedRows);
    }

    void manualEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        QTest::newRow("15 characters") << "123456789abcdef" << TfrmNewIDtoWrite::BadLengthText;
        QTest::newRow("17 characters") << "123456789abcdef01" << TfrmNewIDtoWrite::BadLengthText;
        QTest::newRow("not hexadecimal") << "123456789abcdefg" << TfrmNewIDtoWrite::NotHexText;
        QTest::newRow("16 lower-case digits") << "a200000001b81c02" << QString();
    }

    // Typed into row 2 of a "TK71 2.1" (slot 3, controller addresses 12..15), then written.
    void manualEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QString, error);
        ReaderFixture f(All);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            const TImage before = f.device(Tk21.id).DBImage;
            selectRow(reader, 2);
            bool accepted = false;
            QStringList fields;
            bool focused = false;
            // Checked after the dialog has closed, so that a failure cannot leave it open.
            whenModalShown(
                [&](QWidget *dialog) {
                    auto *edit = child<QLineEdit>(dialog, "edtMediaID");
                    fields = QStringList{child<QLineEdit>(dialog, "edtUredjaj")->text(),
                                         child<QLineEdit>(dialog, "edtRBr")->text(), edit->text()};
                    focused = dialog->focusWidget() == edit;
                    QTest::keyClicks(edit, typed);
                    QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
                    accepted = !dialog->isVisible();
                    if (!accepted)
                        QTest::mouseClick(child<QPushButton>(dialog, "btnCancel"), Qt::LeftButton);
                },
                QStringLiteral("frmNewIDtoWrite"));
            QTest::mouseClick(button(reader, "ButtonManualedit"), Qt::LeftButton);
            QCOMPARE(fields, QStringList({"7 - Kapija", "3", ""}));
            QVERIFY(focused);
            const Shown shown = MessageBoxes::takeShown();
            QCOMPARE(accepted, error.isEmpty());
            if (!accepted) {
                QCOMPARE(shown.size(), 1);
                QCOMPARE(shown[0].kind, MessageBoxes::Kind::Error);
                QCOMPARE(shown[0].text, error);
                QCOMPARE(cell(reader, 2, Col::Baza), Empty);
                QCOMPARE(cell(reader, 2, Col::Status), QString());
                QCOMPARE(words(f.device(Tk21.id).DBImage), words(before));
                return;
            }
            QVERIFY(shown.isEmpty());
            QCOMPARE(cell(reader, 2, Col::Baza), typed);
            QCOMPARE(cell(reader, 2, Col::Status), QStringLiteral("M"));
            QCOMPARE(textColour(reader, 2), QColor(Qt::blue));
            QVERIFY(checked(reader, 2));
            QCOMPARE(FormatSlot(f.device(Tk21.id).DBImage, 3), typed.toUpper());

            // Only the checked row goes out; its answer brings the digits back in upper case.
            QTest::mouseClick(button(reader, "Button9"), Qt::LeftButton);
            setChecked(reader, 2, true);
            const int framesBefore = f.sim().framesExecuted();
            QTest::mouseClick(button(reader, "ButtonPisisve"), Qt::LeftButton);
            QCOMPARE(cell(reader, 2, Col::Status), QStringLiteral("-->"));
            QTRY_COMPARE(cell(reader, 2, Col::Kontroler), typed.toUpper());
            QCOMPARE(cell(reader, 2, Col::Status), QStringLiteral("T<>DB"));
            QCOMPARE(textColour(reader, 2), QColor(Qt::red));
            QCOMPARE(f.sim().framesExecuted() - framesBefore, 4);
            QCOMPARE(simulatedSlot(f, Tk21, 2), typed.toUpper());
            QCOMPARE(simulatedSlot(f, Tk21, 1), Empty);
        });
    }

    void eraseSelectedRow_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }

    void eraseSelectedRow()
    {
        QFETCH(bool, confirmed);
        ReaderFixture f(All);
        const SlotMap held{{0, A}, {1, B}, {2, C}};
        primeRows(f, Tk21, held);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            runOperation(reader, QStringLiteral("btn1"));
            selectRow(reader, 1);
            const int framesBefore = f.sim().framesExecuted();
            MessageBoxes::setNextAnswer(confirmed);
            runOperation(reader, QStringLiteral("ButtonBrisiredizuredjaja"));
            const Shown shown = MessageBoxes::takeShown();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].text,
                     QStringLiteral("Da li ste sigurni da želite da obrišete selektovani red iz kontrolera?"));
            // Exactly the four words of slot 2 (row 1).
            QTRY_COMPARE(f.sim().framesExecuted() - framesBefore, confirmed ? 4 : 0);
            QCOMPARE(simulatedSlot(f, Tk21, 0), A);
            QCOMPARE(simulatedSlot(f, Tk21, 1), confirmed ? Empty : B);
            QCOMPARE(simulatedSlot(f, Tk21, 2), C);
            QCOMPARE(cell(reader, 1, Col::Kontroler), confirmed ? Empty : B);
            QCOMPARE(FormatSlot(f.device(Tk21.id).CtrlImage, 2), confirmed ? Empty : B);
        });
    }

    void eraseEveryRow()
    {
        ReaderFixture f(All);
        primeRows(f, Tk21, {{0, A}, {122, B}});
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            runOperation(reader, QStringLiteral("btn1"));
            MessageBoxes::setNextAnswer(true);
            // The controls come back with the first slot; the rest keep arriving.
            runOperation(reader, QStringLiteral("Buttonbrisisveizuredjaja"));
            QTRY_COMPARE_WITH_TIMEOUT(column(reader, Col::Kontroler), QStringList(123, Empty), 60000);
            QCOMPARE(column(reader, Col::Status), QStringList(123, QStringLiteral("OK")));
            QCOMPARE(simulatedSlot(f, Tk21, 0), Empty);
            QCOMPARE(simulatedSlot(f, Tk21, 122), Empty);
        });
        QCOMPARE(MessageBoxes::takeShown().size(), 1);
    }

    void closedWindowTakesReadAnswersOnly()
    {
        ReaderFixture f(All);
        f.withReader([&](TfrmUredjaji_citanje &reader) { selectDevice(reader, Tk71.id); });
        TfrmUredjaji_citanje &reader = f.reader();
        QVERIFY(!reader.isShown());
        f.answer({QStringLiteral("WE 1 3 4660")});
        QCOMPARE(f.device(Tk71.id).CtrlImage[3], quint16(0));
        QCOMPARE(cell(reader, 0, Col::Kontroler), QString());
        f.answer({QStringLiteral("RE 1 3 4660")});
        QCOMPARE(f.device(Tk71.id).CtrlImage[3], quint16(4660));
        QCOMPARE(cell(reader, 0, Col::Kontroler), QStringLiteral("0000000000001234"));
    }

    void stopInTheMiddleOfARead()
    {
        ReaderFixture f(All);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk71.id);
            QAbstractItemModel *model = rows(reader);
            int stoppedAt = -1;
            const QMetaObject::Connection stopping =
                connect(model, &QAbstractItemModel::dataChanged, &reader, [&](const QModelIndex &topLeft) {
                    if (stoppedAt < 0 && topLeft.row() == 2 && !cell(reader, 2, Col::Kontroler).isEmpty()) {
                        stoppedAt = 2;
                        QTest::mouseClick(button(reader, "btn3"), Qt::LeftButton);
                    }
                });
            QTest::mouseClick(button(reader, "btn1"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(stoppedAt >= 0, 30000);
            disconnect(stopping);
            QMap<QString, bool> afterStop = idleControls();
            for (const char *stillGray : {"cb1", "Button2", "Button1", "Button8", "Button9", "Button7"})
                afterStop[stillGray] = false;
            QCOMPARE(enabledControls(reader), afterStop);
            QVERIFY(f.window().link()->Link().IsStopped());
            // The first batch was on its way: its answers still fill their rows.
            QTRY_VERIFY(!cell(reader, 14, Col::Kontroler).isEmpty());
        });
    }

    void operationsThatCannotStartGiveTheControlsBack_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("refusing");
        QTest::addColumn<QString>("message");
        QTest::newRow("server unreachable") << Tk71.id << true << CommandLink::CommErrorText;
        QTest::newRow("controller ID is no number") << "A1" << false << "ID kontrolera \"A1\" nije ceo broj.";
        QTest::newRow("type without a table") << Tk96.id << false << QString();
    }

    void operationsThatCannotStartGiveTheControlsBack()
    {
        QFETCH(QString, id);
        QFETCH(bool, refusing);
        QFETCH(QString, message);
        ReaderFixture f(All + QList<CatalogueController>{{"A1", "Pogresan", "TK71", 8}});
        f.sim().setRefusing(refusing);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, id);
            runOperation(reader, QStringLiteral("btn1"), 10000);
            QCOMPARE(enabledControls(reader), idleControls());
        });
        const Shown shown = MessageBoxes::takeShown();
        QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(shown[0].text, message);
        QCOMPARE(f.sim().framesExecuted(), 0);
    }

    void commandsThatOnlyTellTheOperator_data()
    {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        const int error = int(MessageBoxes::Kind::Error);
        const int information = int(MessageBoxes::Kind::Information);
        QTest::newRow("read a row, none selected") << "Button2" << error << NoRowText;
        QTest::newRow("erase a row, none selected") << "ButtonBrisiredizuredjaja" << error << NoRowText;
        QTest::newRow("manual entry, none selected")
            << "ButtonManualedit" << error << "Za rucni unos morate selektovati red u tabeli!";
        const QString notAvailable = QStringLiteral("Ova funkcija trenutno nije omogućena.");
        QTest::newRow("read all controllers") << "btn2" << information << notAvailable;
        QTest::newRow("write all controllers") << "Buttonpisisveusve" << information << notAvailable;
    }

    void commandsThatOnlyTellTheOperator()
    {
        QFETCH(QString, buttonName);
        QFETCH(int, kind);
        QFETCH(QString, text);
        ReaderFixture f(All);
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            QTest::mouseClick(button(reader, buttonName), Qt::LeftButton);
            const Shown shown = MessageBoxes::takeShown();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(int(shown[0].kind), kind);
            QCOMPARE(shown[0].text, text);
            QCOMPARE(enabledControls(reader).value("btn1"), true);
            QCOMPARE(column(reader, Col::Status), QStringList(123, QString()));
        });
        QCOMPARE(f.sim().framesExecuted(), 0);
    }

    void checkBoxesAndReloadFromTheDatabase()
    {
        ReaderFixture f(All);
        f.grant(Tk21.id, 1, {A});
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            QTest::mouseClick(button(reader, "Button9"), Qt::LeftButton);
            for (int r = 0; r < 123; ++r)
                QVERIFY(!checked(reader, r));
            QTest::mouseClick(button(reader, "Button8"), Qt::LeftButton);
            for (int r = 0; r < 123; ++r)
                QVERIFY(checked(reader, r));
            // A media ID granted while the window is open shows after "Unos iz baze".
            const QStringList persons = f.grant(Tk21.id, 1, {B});
            QCOMPARE(cell(reader, 1, Col::Baza), Empty);
            QTest::mouseClick(button(reader, "Button1"), Qt::LeftButton);
            QCOMPARE(cell(reader, 0, Col::Baza), A);
            QCOMPARE(cell(reader, 1, Col::Baza), B);
            QCOMPARE(cell(reader, 1, Col::Korisnik), persons[0]);
        });
    }

    void aComparedControllerShowsItsTableAgain()
    {
        ReaderFixture f(All);
        f.grant(Tk21.id, 1, {A});
        primeRows(f, Tk21, {{0, A}, {1, B}});
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            runOperation(reader, QStringLiteral("btn1"));
            selectDevice(reader, Tk71.id);
            QCOMPARE(column(reader, Col::Kontroler), QStringList(252, QString()));
        });
        f.withReader([&](TfrmUredjaji_citanje &reader) {
            selectDevice(reader, Tk21.id);
            QStringList expected(123, Empty);
            expected[0] = A;
            expected[1] = B;
            QCOMPARE(column(reader, Col::Kontroler), expected);
            QCOMPARE(cell(reader, 0, Col::Status), QStringLiteral("OK"));
            QCOMPARE(cell(reader, 1, Col::Status), QStringLiteral("T<>DB"));
            QVERIFY(!checked(reader, 0));
            QVERIFY(checked(reader, 1));
        });
    }
};

QTEST_MAIN(TestTableReader)
#include "tst_tablereader.moc"
