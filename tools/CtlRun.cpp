#include "tools/CtlRun.h"

#include "db/PinCode.h"
#include "db/uDMGZ.h"
#include "link/ControllerSync.h"
#include "link/ReplyListener.h"
#include "tools/CtlCommandLine.h"
#include "tools/CtlProgress.h"
#include "tools/CtlReport.h"
#include "tools/CtlSetup.h"
#include "tools/Terminal.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace {

QString portTakenText(const CtlRequest &request, const ReplyListener &listener)
{
    if (listener.listenError() == QAbstractSocket::AddressInUseError) {
        return QStringLiteral("Port %1 za odgovore Link71 servera je zauzet: program Dorvalen (ili drugi "
                              "dorvalen-ctl) je verovatno pokrenut na ovom računaru. Zatvorite ga i pokušajte "
                              "ponovo; odgovori koji mu pripadaju ne smeju se preuzeti.")
            .arg(request.answerPort);
    }
    return QStringLiteral("Port %1 za odgovore Link71 servera nije moguće otvoriti: %2")
        .arg(request.answerPort)
        .arg(listener.listenErrorString());
}

void addPersons(CtlReport &report, TdmGZ &dmGZ)
{
    for (const CtlControllerLine &line : report.controllers) {
        if (!line.outcome.comparison)
            continue;
        for (const SlotDifference &d : line.outcome.comparison->differences) {
            for (const QString &mediaId : {d.controllerMediaId, d.databaseMediaId}) {
                if (mediaId != EmptySlotText && !report.persons.contains(mediaId))
                    report.persons.insert(mediaId, FindPersonByMediaID(dmGZ, mediaId));
            }
        }
    }
}

CtlReport runSync(const CtlRequest &request, CtlSetup &setup, ReplyListener &listener, QTextStream &err)
{
    SyncOptions options;
    options.serverPort = request.serverPort;
    options.answerTimeoutMs = request.timeoutMs;
    options.sleepTimeMs = setup.sleepTimeMs;
    options.parallel = !request.sequential;
    ControllerSync sync(setup.devices, setup.selected, request.command, options);
    QObject::connect(&listener, &ReplyListener::answerReceivedFrom, &sync, &ControllerSync::takeAnswer);

    err.flush();
    CtlProgress progress(stderr, int(sync.jobs().size()), IsTerminal(stderr));
    QObject::connect(&sync, &ControllerSync::jobStarted, &sync, [&](const ControllerJob *j) { progress.started(j); });
    QObject::connect(&sync, &ControllerSync::jobProgress, &sync, [&](const ControllerJob *j) { progress.advanced(j); });
    QObject::connect(&sync, &ControllerSync::jobFinished, &sync, [&](const ControllerJob *j) { progress.finished(j); });

    QEventLoop loop;
    QObject::connect(&sync, &ControllerSync::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    sync.start();
    if (!sync.isFinished())
        loop.exec();
    progress.clear();

    CtlReport report;
    report.command = request.command;
    report.details = request.details;
    report.parallel = options.parallel;
    report.timeoutMs = request.timeoutMs;
    report.computers = sync.computers();
    report.controllerTimeMs = clock.elapsed();
    report.strayAnswers = sync.strayAnswers();
    for (const std::unique_ptr<ControllerJob> &job : sync.jobs()) {
        const TDevice &d = job->device();
        report.controllers.append({d.ID, d.Name, d.DevType, sync.computerOf(*job), d.PortNum, job->outcome()});
    }
    return report;
}

} // namespace

int RunCtl(const CtlRequest &request, QTextStream &out, QTextStream &err)
{
    QElapsedTimer wall;
    wall.start();
    const auto fail = [&](const QString &text) {
        err << "dorvalen-ctl: " << text << "\n";
        err.flush();
        if (request.json)
            out << CtlErrorJson(text);
        return 2;
    };

    // First, so that nothing is done while the program itself waits for answers.
    ReplyListener listener(request.answerPort, request.listenAddress);
    if (!listener.Listen())
        return fail(portTakenText(request, listener));

    CtlSetup setup;
    try {
        PrepareCtl(request, setup);
    } catch (const CtlSetupError &e) {
        return fail(e.text());
    }
    for (const QString &warning : setup.warnings)
        err << "dorvalen-ctl: " << warning << "\n";

    CtlReport report = runSync(request, setup, listener, err);
    report.warnings = setup.warnings;
    if (request.details)
        addPersons(report, *setup.dmGZ);
    report.wallTimeMs = wall.elapsed();
    if (request.json)
        out << CtlReportJson(report);
    else
        out << CtlReportText(report);
    out.flush();
    return CtlExitStatus(report);
}
