#pragma once

#include "db/NamedQuery.h"
#include "widgets/DataGrid.h"
#include "widgets/FileChooser.h"
#include "widgets/MessageBoxes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TempDatabase.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

// The program started on a temporary database that fill() has given its rows.
struct AdminProgram
{
    explicit AdminProgram(const std::function<void(TempDatabase &)> &fill)
    {
        MessageBoxes::setScripted(true);
        FileChooser::setScripted(true);
        fill(db);
        program = std::make_unique<StartedProgram>(QStringLiteral("Provider=SQLite;Data Source=") + db.fileName());
    }
    TfrmDorvalen &window() { return program->window(); }

    TempDatabase db;
    std::unique_ptr<StartedProgram> program;
};

// What one opening of a modal window saw, for the checks after it has closed: a check
// that fails inside the window's own event loop would leave it open.
struct Seen
{
    bool stayedOpen = false;
    QList<MessageBoxes::Shown> boxes;
};

inline void type(QWidget *window, const QString &name, const QString &text)
{
    QLineEdit *edit = child<QLineEdit>(window, name);
    edit->selectAll();
    edit->del();
    // Key by key; letters beyond ASCII (č, ć, đ) have no key code of their own.
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline void choose(QWidget *window, const QString &comboName, const QString &id)
{
    QComboBox *combo = child<QComboBox>(window, comboName);
    combo->setCurrentIndex(id.isEmpty() ? 0 : combo->findData(id));
}

inline void click(QWidget *window, const QString &buttonName)
{
    QAbstractButton *button = child<QAbstractButton>(window, buttonName);
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks the button and notes whether the window stayed open and which boxes it showed;
// a window that stayed open is then cancelled, so the test goes on.
inline Seen clickAndClose(QWidget *window, const QString &buttonName, const QString &cancelName = "btnCancel")
{
    MessageBoxes::takeShown();
    click(window, buttonName);
    Seen seen;
    seen.stayedOpen = window->isVisible();
    seen.boxes = MessageBoxes::takeShown();
    if (seen.stayedOpen)
        click(window, cancelName);
    return seen;
}

inline QStringList boxTexts(const QList<MessageBoxes::Shown> &boxes)
{
    QStringList out;
    for (const MessageBoxes::Shown &b : boxes)
        out.append(b.text);
    return out;
}

// The labels of a dialog's form, top to bottom.
inline QStringList formLabels(QWidget *window)
{
    QStringList out;
    for (QFormLayout *form : window->findChildren<QFormLayout *>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem *item = form->itemAt(row, QFormLayout::LabelRole);
            if (auto *label = item ? qobject_cast<QLabel *>(item->widget()) : nullptr)
                out.append(label->text());
        }
    }
    return out;
}

// Every label and button shows its whole text; the picture goes to the build folder.
inline bool nothingCutOff(QWidget *window, QString *what)
{
    window->grab().save(QDir::current().filePath(window->objectName() + QStringLiteral(".png")));
    for (QLabel *l : window->findChildren<QLabel *>()) {
        if (!l->text().isEmpty() && l->width() < l->fontMetrics().horizontalAdvance(l->text())) {
            *what = l->text();
            return false;
        }
    }
    for (QPushButton *b : window->findChildren<QPushButton *>()) {
        if (b->width() < b->fontMetrics().horizontalAdvance(b->text())) {
            *what = b->text();
            return false;
        }
    }
    return true;
}

inline QStringList columnTexts(DataGrid *grid, int column)
{
    QStringList out;
    for (int r = 0; grid->model() && r < grid->model()->rowCount(); ++r)
        out.append(grid->model()->index(r, column).data().toString());
    return out;
}
