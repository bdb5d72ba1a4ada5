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
        qWarning("no modal window %s appeared", qPrintable(objectName));
        // Unblock whatever modal loop might be waiting, so the test can fail rather than hang.
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
