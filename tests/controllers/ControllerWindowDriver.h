#pragma once

#include "controllers/NetworkComputers.h"
#include "tests/support/ModalDriver.h"
#include "widgets/uStatus.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

// The network as a test sees it: the names it is given, and whether the busy notice was
// up while it was asked.
class FakeComputers : public NetworkComputers
{
public:
    explicit FakeComputers(QStringList names = {}) : names(std::move(names)) {}

    QStringList list() override
    {
        ++calls;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *notice = qobject_cast<TfrmStatus *>(w);
            if (notice && notice->isVisible())
                noticeTexts << notice->t1->text();
        }
        return names;
    }

    QStringList names;
    int calls = 0;
    QStringList noticeTexts;
};

// The fields of a controller dialog, in the order they are shown.
struct ControllerFields
{
    QString type, id, name, computer, comPort;
};

inline ControllerFields fieldsOf(QWidget *dialog)
{
    return {child<QComboBox>(dialog, "cbbTip")->currentText(), child<QLineEdit>(dialog, "edtID")->text(),
            child<QLineEdit>(dialog, "edtNaziv")->text(), child<QComboBox>(dialog, "cbbKompjuter")->currentText(),
            child<QComboBox>(dialog, "cbbComPort")->currentText()};
}

inline QStringList itemsOf(QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// Types into a dialog what an operator would: a list entry is chosen, a text typed over.
inline void enter(QWidget *dialog, const ControllerFields &f)
{
    auto *type = child<QComboBox>(dialog, "cbbTip");
    type->setCurrentIndex(type->findText(f.type));
    for (const auto &[name, text] : {std::pair{"edtID", f.id}, std::pair{"edtNaziv", f.name}}) {
        auto *edit = child<QLineEdit>(dialog, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    child<QComboBox>(dialog, "cbbKompjuter")->setEditText(f.computer);
    auto *port = child<QComboBox>(dialog, "cbbComPort");
    if (port->isEditable())
        port->setEditText(f.comPort);
    else
        port->setCurrentIndex(port->findText(f.comPort));
}

inline void click(QWidget *window, const char *button)
{
    child<QPushButton>(window, button)->click();
}

// Runs action and fails if it opened a modal window of its own (which is then closed, so
// the test goes on).
inline void expectNoModal(const std::function<void()> &action)
{
    QWidget *before = QApplication::activeModalWidget();
    auto opened = std::make_shared<QString>();
    QTimer guard;
    guard.setInterval(20);
    QObject::connect(&guard, &QTimer::timeout, [before, opened] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != before) {
            *opened = modal->objectName();
            modal->close();
        }
    });
    guard.start();
    action();
    guard.stop();
    QCOMPARE(*opened, QString());
}
