#include "tools/CtlReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Result = ControllerOutcome::Result;

QString seconds(qint64 ms)
{
    // Serbian writes a decimal comma.
    return QString::number(double(ms) / 1000.0, 'f', ms % 1000 == 0 ? 0 : 2).replace(u'.', u',') + QStringLiteral(" s");
}

QString commandName(SyncCommand command)
{
    switch (command) {
    case SyncCommand::Status:
        return QStringLiteral("status");
    case SyncCommand::Verify:
        return QStringLiteral("verify");
    case SyncCommand::Write:
    case SyncCommand::WriteDifferences:
        return QStringLiteral("write");
    }
    return {};
}

QString resultName(Result result)
{
    switch (result) {
    case Result::Ok:
        return QStringLiteral("ok");
    case Result::Differs:
        return QStringLiteral("differs");
    case Result::NoAnswer:
        return QStringLiteral("no-answer");
    case Result::Incomplete:
        return QStringLiteral("incomplete");
    case Result::Unreachable:
        return QStringLiteral("unreachable");
    case Result::UnknownComputer:
        return QStringLiteral("unknown-computer");
    case Result::NoTable:
        return QStringLiteral("no-table");
    case Result::BadId:
        return QStringLiteral("bad-id");
    }
    return {};
}

QString kindName(SlotDifference::Kind kind)
{
    switch (kind) {
    case SlotDifference::Kind::Differ:
        return QStringLiteral("differ");
    case SlotDifference::Kind::MissingFromController:
        return QStringLiteral("missing-from-controller");
    case SlotDifference::Kind::ExtraInController:
        return QStringLiteral("extra-in-controller");
    }
    return {};
}

QString slotCounts(const TableComparison &c)
{
    return QStringLiteral("slaže se %1, razlikuje se %2, nedostaje u kontroleru %3, višak u kontroleru %4")
        .arg(c.match)
        .arg(c.differ)
        .arg(c.missingFromController)
        .arg(c.extraInController);
}

// What went wrong with a controller that did not answer in full; empty when it did.
QString failureText(const CtlReport &report, const CtlControllerLine &line)
{
    const ControllerOutcome &o = line.outcome;
    switch (o.result) {
    case Result::NoAnswer:
        return QStringLiteral("nije odgovorio u roku od %1").arg(seconds(report.timeoutMs));
    case Result::Incomplete:
        return QStringLiteral("prestao da odgovara: stiglo je %1 od %2 odgovora, zatim ništa %3")
            .arg(o.answered)
            .arg(o.expected)
            .arg(seconds(report.timeoutMs));
    case Result::Unreachable:
        return QStringLiteral("Link71 na računaru %1 nije dostupan").arg(line.computer);
    case Result::UnknownComputer:
        return QStringLiteral("računar %1 nije pronađen na mreži").arg(line.computer);
    case Result::NoTable:
        return QStringLiteral("tip bez memorijske tabele, preskočen");
    case Result::BadId:
        return QStringLiteral("ID kontrolera nije ceo broj, preskočen");
    case Result::Ok:
    case Result::Differs:
        break;
    }
    return {};
}

QString answeredText(SyncCommand command, const ControllerOutcome &o)
{
    switch (command) {
    case SyncCommand::Status:
        return o.statusText;
    case SyncCommand::Verify:
        return (o.result == Result::Ok ? QStringLiteral("slaže se; ") : QStringLiteral("razlikuje se; "))
               + slotCounts(*o.comparison);
    case SyncCommand::Write:
        if (o.result == Result::Ok)
            return QStringLiteral("upisan; %1 slotova, %2 reči, kontroler je potvrdio svaku")
                .arg(o.slotsWritten)
                .arg(o.wordsWritten);
        return QStringLiteral("upisan, ali kontroler javlja drugu vrednost za %1 od %2 upisanih reči")
            .arg(o.wordsNotHeld)
            .arg(o.wordsWritten);
    case SyncCommand::WriteDifferences: {
        const QString before = QStringLiteral(" (pre upisa: %1)").arg(slotCounts(*o.comparison));
        if (o.slotsWritten == 0)
            return QStringLiteral("slaže se, ništa nije upisano") + before;
        if (o.result == Result::Ok)
            return QStringLiteral("upisano %1 slotova koji su se razlikovali, pročitani su ponovo i slažu se")
                       .arg(o.slotsWritten)
                   + before;
        return QStringLiteral("upisano %1 slotova koji su se razlikovali, ali se posle upisa %2 i dalje ne slaže")
                   .arg(o.slotsWritten)
                   .arg(o.confirmation ? int(o.confirmation->differences.size()) : o.slotsWritten)
               + before;
    }
    }
    return {};
}

QString mediaIdWithPerson(const CtlReport &report, const QString &mediaId)
{
    if (mediaId == EmptySlotText)
        return QStringLiteral("prazno");
    const QString person = report.persons.value(mediaId);
    return person.isEmpty() ? mediaId : QStringLiteral("%1 (%2)").arg(mediaId, person);
}

QString differenceLine(const CtlReport &report, const SlotDifference &d)
{
    static const QHash<SlotDifference::Kind, QString> kinds = {
        {SlotDifference::Kind::Differ, QStringLiteral("razlikuje se")},
        {SlotDifference::Kind::MissingFromController, QStringLiteral("nedostaje u kontroleru")},
        {SlotDifference::Kind::ExtraInController, QStringLiteral("višak u kontroleru")},
    };
    return QStringLiteral("  red %1%2 [%3]: u kontroleru %4, u bazi %5\n")
        .arg(d.number)
        .arg(d.table == 2 ? QStringLiteral(" druge tabele") : QString())
        .arg(kinds.value(d.kind), mediaIdWithPerson(report, d.controllerMediaId),
             mediaIdWithPerson(report, d.databaseMediaId));
}

QJsonObject countsJson(const TableComparison &c)
{
    return {{QStringLiteral("match"), c.match},
            {QStringLiteral("differ"), c.differ},
            {QStringLiteral("missingFromController"), c.missingFromController},
            {QStringLiteral("extraInController"), c.extraInController}};
}

QJsonArray differencesJson(const CtlReport &report, const TableComparison &c)
{
    QJsonArray out;
    for (const SlotDifference &d : c.differences) {
        out.append(QJsonObject{{QStringLiteral("row"), d.number},
                               {QStringLiteral("table"), d.table},
                               {QStringLiteral("kind"), kindName(d.kind)},
                               {QStringLiteral("controllerMediaId"), d.controllerMediaId},
                               {QStringLiteral("databaseMediaId"), d.databaseMediaId},
                               {QStringLiteral("controllerPerson"), report.persons.value(d.controllerMediaId)},
                               {QStringLiteral("databasePerson"), report.persons.value(d.databaseMediaId)}});
    }
    return out;
}

QJsonObject controllerJson(const CtlReport &report, const CtlControllerLine &line)
{
    const ControllerOutcome &o = line.outcome;
    QJsonObject c{{QStringLiteral("id"), line.id},
                  {QStringLiteral("name"), line.name},
                  {QStringLiteral("type"), line.type},
                  {QStringLiteral("computer"), line.computer},
                  {QStringLiteral("port"), line.port},
                  {QStringLiteral("result"), resultName(o.result)},
                  {QStringLiteral("ok"), CtlControllerOk(o)},
                  {QStringLiteral("framesSent"), o.framesSent},
                  {QStringLiteral("answers"), o.answers},
                  {QStringLiteral("elapsedMs"), double(o.elapsedMs)}};
    if (!o.answeredFully() && o.result != Result::NoTable && o.result != Result::BadId) {
        c.insert(QStringLiteral("expectedAnswers"), o.expected);
        c.insert(QStringLiteral("answered"), o.answered);
    }
    if (report.command == SyncCommand::Status && o.answeredFully())
        c.insert(QStringLiteral("status"), o.statusText);
    if (o.comparison) {
        c.insert(QStringLiteral("slots"), countsJson(*o.comparison));
        if (report.details)
            c.insert(QStringLiteral("differences"), differencesJson(report, *o.comparison));
    }
    if (report.command == SyncCommand::Write || report.command == SyncCommand::WriteDifferences) {
        c.insert(QStringLiteral("written"), QJsonObject{{QStringLiteral("slots"), o.slotsWritten},
                                                        {QStringLiteral("words"), o.wordsWritten},
                                                        {QStringLiteral("wordsNotHeld"), o.wordsNotHeld}});
    }
    if (o.confirmation)
        c.insert(QStringLiteral("confirmed"), countsJson(*o.confirmation));
    return c;
}

} // namespace

bool CtlControllerOk(const ControllerOutcome &outcome)
{
    return outcome.result == Result::Ok || outcome.result == Result::NoTable;
}

int CtlExitStatus(const CtlReport &report)
{
    for (const CtlControllerLine &line : report.controllers) {
        if (!CtlControllerOk(line.outcome))
            return 1;
    }
    return 0;
}

QString CtlReportText(const CtlReport &report)
{
    QString out;
    int ok = 0;
    int differ = 0;
    int silent = 0;
    for (const CtlControllerLine &line : report.controllers) {
        const ControllerOutcome &o = line.outcome;
        const QString failure = failureText(report, line);
        out += QStringLiteral("Kontroler %1 (%2, %3, %4 COM%5): %6\n")
                   .arg(line.id, line.name, line.type, line.computer)
                   .arg(line.port)
                   .arg(failure.isEmpty() ? answeredText(report.command, o) : failure);
        if (report.details && o.comparison) {
            for (const SlotDifference &d : o.comparison->differences)
                out += differenceLine(report, d);
        }
        if (CtlControllerOk(o))
            ++ok;
        else if (o.answeredFully())
            ++differ;
        else
            ++silent;
    }
    out += QStringLiteral("Kontrolera: %1; u redu: %2; razlikuje se: %3; bez odgovora ili preskočeno: %4.\n")
               .arg(report.controllers.size())
               .arg(ok)
               .arg(differ)
               .arg(silent);
    out += QStringLiteral("Vreme: %1 (rad sa kontrolerima %2); računara: %3, %4.\n")
               .arg(seconds(report.wallTimeMs), seconds(report.controllerTimeMs))
               .arg(report.computers)
               .arg(report.parallel ? QStringLiteral("obrađeni paralelno") : QStringLiteral("jedan po jedan"));
    return out;
}

QByteArray CtlReportJson(const CtlReport &report)
{
    QJsonArray controllers;
    int framesSent = 0;
    for (const CtlControllerLine &line : report.controllers) {
        controllers.append(controllerJson(report, line));
        framesSent += line.outcome.framesSent;
    }
    const QJsonObject root{{QStringLiteral("command"), commandName(report.command)},
                           {QStringLiteral("onlyDifferences"), report.command == SyncCommand::WriteDifferences},
                           {QStringLiteral("parallel"), report.parallel},
                           {QStringLiteral("computers"), report.computers},
                           {QStringLiteral("timeoutMs"), report.timeoutMs},
                           {QStringLiteral("wallTimeMs"), double(report.wallTimeMs)},
                           {QStringLiteral("controllerTimeMs"), double(report.controllerTimeMs)},
                           {QStringLiteral("framesSent"), framesSent},
                           {QStringLiteral("strayAnswers"), report.strayAnswers},
                           {QStringLiteral("exitStatus"), CtlExitStatus(report)},
                           {QStringLiteral("warnings"), QJsonArray::fromStringList(report.warnings)},
                           {QStringLiteral("controllers"), controllers}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray CtlErrorJson(const QString &error)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("exitStatus"), 2}, {QStringLiteral("error"), error}})
        .toJson(QJsonDocument::Indented);
}
