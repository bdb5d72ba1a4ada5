#pragma once

#include "link/ControllerJob.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One controller in the report of dorvalen-ctl.
struct CtlControllerLine
{
    QString id;
    QString name;
    QString type;
    QString computer;
    int port = 0;
    ControllerOutcome outcome;
};

// Everything a run reports, as text or as JSON.
struct CtlReport
{
    SyncCommand command = SyncCommand::Status;
    bool details = false;
    bool parallel = true;
    int timeoutMs = 0;
    int computers = 0;
    qint64 wallTimeMs = 0;       // the whole run
    qint64 controllerTimeMs = 0; // from the first frame to the last answer
    int strayAnswers = 0;
    QStringList warnings;
    QList<CtlControllerLine> controllers;
    // The person holding each media ID of a difference shown; missing: nobody.
    QHash<QString, QString> persons;
};

// 0: every controller answered and matches (or has no table); 1 otherwise.
int CtlExitStatus(const CtlReport &report);
bool CtlControllerOk(const ControllerOutcome &outcome);

// One line per controller (with --details one more per differing slot), then the totals.
QString CtlReportText(const CtlReport &report);
QByteArray CtlReportJson(const CtlReport &report);

// A JSON object for a run that could not be made: {"exitStatus": 2, "error": text}.
QByteArray CtlErrorJson(const QString &error);
