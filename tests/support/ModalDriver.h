#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Drives a modal window from inside its own event loop: call before the code that opens
// it; once a modal widget (of the given objectName, if one is given) is active, action runs
// with it. Fails the test if none shows up within timeoutMs.
void whenModalShown(std::function<void(QWidget *)> action, const QString &objectName = QString(),
                    int timeoutMs = 5000);

void failMissingChild(const QString &objectName);

// The child of window with that objectName and type; the test fails when it is missing.
template <typename T>
T *child(QWidget *window, const QString &objectName)
{
    T *found = window ? window->findChild<T *>(objectName) : nullptr;
    if (!found)
        failMissingChild(objectName);
    return found;
}
