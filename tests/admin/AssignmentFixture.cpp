#include "tests/admin/AssignmentFixture.h"

#include "tests/support/ModalDriver.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

namespace {

void selectTab(QTabBar *bar, const QString &caption)
{
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == caption) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            return;
        }
    }
    QTest::qFail(qPrintable("no tab " + caption), __FILE__, __LINE__);
}

QStringList gridColumn(DataGrid *grid, int column)
{
    QStringList out;
    for (int r = 0; grid->model() && r < grid->model()->rowCount(); ++r)
        out.append(grid->model()->index(r, column).data().toString());
    return out;
}

} // namespace

AssignmentProgram::AssignmentProgram() : m_db(std::make_unique<TempDatabase>())
{
    TempDatabase &db = *m_db;
    db.exec("INSERT INTO Sektor (IDSektora, NazivSektora) VALUES ('S1', 'Proizvodnja')");
    db.exec("INSERT INTO Zaposleni (IDZaposlenog, Prezime, Ime, IDSektora, PinKod) VALUES "
            "('P1', 'Perić', 'Ana', 'S1', ''), ('P2', 'Jović', 'Marko', 'S1', ''), ('P3', 'Ilić', 'Jana', 'S1', ''),"
            " ('P4', 'Kostić', 'Luka', 'S1', ''), ('P5', 'Savić', 'Mina', 'S1', ''),"
            " ('P6', 'O''Brien', 'Sean', 'S1', ''), ('O''Brien', 'Brien', 'Owen', 'S1', '')");
    db.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G1', 'Smena A'), ('G2', 'Smena B'),"
            " ('G3', 'Uprava'), ('G4', 'Magacioneri'), ('G5', 'Vozači'), ('G6', 'Gosti')");
    db.exec("INSERT INTO tblDorvZone (IDZone, Naziv) VALUES ('Z1', 'Hala'), ('Z2', 'Krov'), ('Z3', 'Magacin'),"
            " ('Z4', 'Kapija'), ('Z5', 'Kancelarija'), ('Z6', 'Garaža')");
    m_program = std::make_unique<StartedProgram>("Provider=SQLite;Data Source=" + db.fileName());
    if (!QTest::qWaitForWindowExposed(&m_program->window()))
        QTest::qFail("main window not shown", __FILE__, __LINE__);
}

AssignmentProgram::~AssignmentProgram()
{
    m_program.reset();
    m_db.reset();
}

void AssignmentProgram::show(const QString &view, const QString &tab)
{
    selectTab(window().findChild<QTabBar *>("tabMain"), view);
    selectTab(window().findChild<QTabBar *>("tabDetails"), tab);
    if (window().currentDetailTab() != tab)
        QTest::qFail(qPrintable("detail tab " + tab + " not shown"), __FILE__, __LINE__);
}

void AssignmentProgram::focusMaster(const QString &id)
{
    DataGrid *grid = window().masterGrid();
    const QStringList ids = gridColumn(grid, 1);
    const int row = int(ids.indexOf(id));
    if (row < 0) {
        QTest::qFail(qPrintable("no master row " + id), __FILE__, __LINE__);
        return;
    }
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 1)).center());
    if (window().masterQuery()->asString("ID") != id)
        QTest::qFail(qPrintable("master row " + id + " not focused"), __FILE__, __LINE__);
}

void AssignmentProgram::selectDetail(const QStringList &rows)
{
    DataGrid *grid = window().detailGrid();
    const auto click = [grid](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers,
                          grid->visualRect(grid->model()->index(row, 1)).center());
    };
    if (rows.isEmpty()) {
        for (const QModelIndex &selected : grid->selectionModel()->selectedRows())
            click(selected.row(), Qt::ControlModifier);
        return;
    }
    const QStringList markers = gridColumn(grid, 0);
    const QStringList ids = gridColumn(grid, 1);
    for (const QString &name : rows) {
        int found = -1;
        for (int r = 0; r < ids.size(); ++r) {
            if (markers.at(r) + ids.at(r) == name)
                found = r;
        }
        if (found < 0) {
            QTest::qFail(qPrintable("no detail row " + name), __FILE__, __LINE__);
            return;
        }
        click(found, name == rows.first() ? Qt::KeyboardModifiers() : Qt::ControlModifier);
    }
}

QStringList AssignmentProgram::detailColumn(const QString &field)
{
    DataGrid *grid = window().detailGrid();
    for (int c = 0; grid->model() && c < grid->model()->columnCount(); ++c) {
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == field)
            return gridColumn(grid, c);
    }
    QTest::qFail(qPrintable("no detail column " + field), __FILE__, __LINE__);
    return {};
}

QStringList AssignmentProgram::links(const QString &table)
{
    const bool personGroup = table == QLatin1String("tblDorvOsobe_Grupe");
    const QString first = table == QLatin1String("tblDorvGrupe_Zone") ? "IDGrupe" : "IDZaposlenog";
    const QString second = personGroup ? "IDGrupe" : "IDZone";
    const QString mode = personGroup ? QString() : ", UkljucenIPinKod";
    return m_db->rows(QStringLiteral("SELECT ID, %1, %2%3 FROM %4 ORDER BY ID").arg(first, second, mode, table));
}

void answerAssign(const QString &objectName, const AssignAnswer &answer, AssignSeen *seen)
{
    whenModalShown(
        [answer, seen](QWidget *dialog) {
            auto *grid = child<DataGrid>(dialog, "gridCandidates");
            auto *access = dialog->findChild<QComboBox *>("cmbAccess");
            const QStringList ids = gridColumn(grid, 0);
            if (seen) {
                seen->caption = dialog->windowTitle();
                seen->prompt = child<QLabel>(dialog, "lblPrompt")->text();
                for (int c = 0; c < grid->model()->columnCount(); ++c)
                    seen->headers.append(grid->model()->headerData(c, Qt::Horizontal).toString());
                seen->candidates = ids;
                seen->hasAccess = access != nullptr;
                seen->mode = access ? access->currentIndex() : -1;
            }
            for (const QString &id : answer.choose) {
                const int row = int(ids.indexOf(id));
                if (row < 0) {
                    QTest::qFail(qPrintable("candidate " + id + " not offered"), __FILE__, __LINE__);
                    continue;
                }
                grid->scrollTo(grid->model()->index(row, 0));
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  grid->visualRect(grid->model()->index(row, 0)).center());
            }
            if (answer.mode >= 0 && access)
                access->setCurrentIndex(answer.mode);
            if (answer.beforeButton)
                answer.beforeButton();
            child<QPushButton>(dialog, answer.cancel ? "btnCancel" : "btnOK")->click();
        },
        objectName);
}

void answerQuestion(bool groups, bool cancel, const std::function<void()> &next)
{
    whenModalShown(
        [=](QWidget *dialog) {
            if (!child<QRadioButton>(dialog, "rbPersons")->isChecked())
                QTest::qFail("\"Osobe\" is not chosen when the question opens", __FILE__, __LINE__);
            if (groups)
                child<QRadioButton>(dialog, "rbGroups")->click();
            if (next)
                next();
            child<QPushButton>(dialog, cancel ? "btnCancel" : "btnOK")->click();
        },
        QStringLiteral("frmQuestion"));
}

void verifyShownInOrder(QWidget *dialog, const QStringList &names)
{
    int bottom = -1;
    for (const QString &name : names) {
        QWidget *widget = child<QWidget>(dialog, name);
        if (!widget)
            return;
        const QRect r(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
        QVERIFY2(dialog->rect().contains(r), qPrintable(name + " is cut off"));
        QVERIFY2(r.top() >= bottom, qPrintable(name + " overlaps the field above it"));
        bottom = r.bottom();
        if (auto *label = qobject_cast<QLabel *>(widget))
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(name + " text is cut"));
    }
    const QString picture = QDir(QCoreApplication::applicationDirPath()).filePath(dialog->objectName() + ".png");
    QVERIFY(dialog->grab().save(picture));
}

NoModalExpected::NoModalExpected()
{
    m_timer.setInterval(20);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            m_opened.append(modal->objectName());
            modal->reject();
        }
    });
    m_timer.start();
}
