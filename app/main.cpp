// Dorvalen: the administration program of the access-control system.

#include "widgets/MessageBoxes.h"
#include "base/SingleInstance.h"
#include "app/uDorvalen.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brenmark"));
    QApplication::setApplicationName(QStringLiteral("Dorvalen"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brenmark - Dorvalen"));

    SingleInstance instance;
    if (!instance.acquire()) {
        MessageBoxes::error(nullptr, SingleInstance::AlreadyRunningText);
        return 1;
    }

    TfrmDorvalen window;
    window.show();
    return app.exec();
}
