// dorvalen-db: creates an embedded Dorvalen database, with demo contents if asked,
// and prints the SQL Server script.

#include "db/Schema.h"
#include "db/schema/DemoData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTextStream>

#include <cstdio>
#include <stdexcept>

namespace {

const char kUsage[] =
    "Usage:\n"
    "  dorvalen-db create FILE [--demo] [--persons N] [--photos] [--controllers N [--spread]] [--force]\n"
    "      Creates an SQLite database from the schema. --demo adds demo contents\n"
    "      (--persons N persons, 60 by default, up to 50000; --photos gives each a\n"
    "      generated JPEG photo; --controllers N, up to 255, replaces the four demo\n"
    "      controllers by N \"TK71\" at the demo's access points, --spread gives each\n"
    "      a zone of its own with the persons spread over them). An existing FILE is\n"
    "      refused unless --force.\n"
    "  dorvalen-db mssql-script\n"
    "      Prints the SQL Server script (tables, views, procedure).\n";

int usage(const char *problem)
{
    if (problem)
        std::fprintf(stderr, "dorvalen-db: %s\n", problem);
    std::fputs(kUsage, problem ? stderr : stdout);
    return problem ? 2 : 0;
}

int create(const QStringList &args)
{
    QString file;
    bool demo = false;
    bool force = false;
    DemoOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--photos")) {
            options.photos = true;
        } else if (a == QLatin1String("--spread")) {
            options.spreadZones = true;
        } else if (a == QLatin1String("--controllers")) {
            bool ok = false;
            options.controllers = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || options.controllers < 1 || options.controllers > 255)
                return usage("--controllers needs a number from 1 to 255");
        } else if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--persons")) {
            bool ok = false;
            options.persons = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || options.persons < 0 || options.persons > 50000)
                return usage("--persons needs a number from 0 to 50000");
        } else if (a.startsWith(QLatin1String("--")) || !file.isEmpty()) {
            return usage(qPrintable(QStringLiteral("unexpected argument '%1'").arg(a)));
        } else {
            file = a;
        }
    }
    if (file.isEmpty())
        return usage("create needs a FILE");
    if (!demo && (options.photos || args.contains(QLatin1String("--persons")) || options.controllers > 0))
        return usage("--persons, --photos and --controllers go with --demo");
    if (options.spreadZones && options.controllers == 0)
        return usage("--spread goes with --controllers");
    if (QFile::exists(file)) {
        if (!force) {
            std::fprintf(stderr, "dorvalen-db: %s already exists; use --force to replace it\n", qPrintable(file));
            return 1;
        }
        if (!QFile::remove(file)) {
            std::fprintf(stderr, "dorvalen-db: cannot remove %s\n", qPrintable(file));
            return 1;
        }
    }

    QElapsedTimer timer;
    timer.start();
    try {
        DemoData::createFile(file, demo ? std::optional<DemoOptions>(options) : std::nullopt);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "dorvalen-db: %s\n", e.what());
        QFile::remove(file);
        return 1;
    }
    std::printf("Created %s%s in %.2f s\n", qPrintable(file),
                demo ? qPrintable(QStringLiteral(" with %1 demo persons").arg(options.persons)) : "",
                double(timer.elapsed()) / 1000.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage("no command");
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(nullptr);
    if (command == QLatin1String("create"))
        return create(args);
    if (command == QLatin1String("mssql-script")) {
        if (!args.isEmpty())
            return usage("mssql-script takes no arguments");
        QTextStream(stdout) << Schema::mssqlScript();
        return 0;
    }
    return usage(qPrintable(QStringLiteral("unknown command '%1'").arg(command)));
}
