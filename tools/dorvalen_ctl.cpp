// dorvalen-ctl: status, verify and write of the controllers without the program's windows,
// for scheduled and unattended runs.

#include "tools/CtlCommandLine.h"
#include "tools/CtlRun.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The program's names: the same settings and application-data folder.
    QCoreApplication::setOrganizationName(QStringLiteral("Brenmark"));
    QCoreApplication::setApplicationName(QStringLiteral("Dorvalen"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const CtlArguments arguments = ParseCtlArguments(app.arguments().mid(1));
    if (arguments.help) {
        out << CtlUsage();
        return 0;
    }
    if (!arguments.request) {
        err << "dorvalen-ctl: " << arguments.error << "\n"
            << "Upotreba: dorvalen-ctl status|verify|write [OPCIJE]; sve opcije: dorvalen-ctl --help\n";
        return 2;
    }
    return RunCtl(*arguments.request, out, err);
}
