#include "tests/support/ModalDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

void poll(std::function<void(QWidget *)> action, QString objectName, int timeoutMs,
          std::shared_ptr<QElapsedTimer> clock)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && (objectName.isEmpty() || modal->objectName() == objectName)) {
        action(modal);
        return;
    }
    if (clock->elapsed() > timeoutMs) {
        const QByteArray what = "no modal window " + objectName.toUtf8() + " appeared";
        QTest::qFail(what.constData(), __FILE__, __LINE__);
        // Unblock whatever modal loop might be waiting, so the test fails rather than hangs.
        if (modal)
            modal->close();
        return;
    }
    QTimer::singleShot(10, [=] { poll(action, objectName, timeoutMs, clock); });
}

} // namespace

void whenModalShown(std::function<void(QWidget *)> action, const QString &objectName, int timeoutMs)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QTimer::singleShot(0, [=] { poll(action, objectName, timeoutMs, clock); });
}

void failMissingChild(const QString &objectName)
{
    const QByteArray what = "missing child " + objectName.toUtf8();
    QTest::qFail(what.constData(), __FILE__, __LINE__);
}
