#pragma once

#include "link/ControllerJob.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

// What dorvalen-ctl was asked to do.
struct CtlRequest
{
    SyncCommand command = SyncCommand::Status;
    QStringList controllers; // IDs; empty: every configured controller
    bool details = false;
    bool json = false;
    bool sequential = false;
    std::optional<QString> connection; // overrides the stored connection string
    int timeoutMs = 10000;
    quint16 serverPort = 65000;
    quint16 answerPort = 20000;
    QHostAddress listenAddress = QHostAddress::Any;
};

struct CtlArguments
{
    std::optional<CtlRequest> request;
    bool help = false;
    QString error; // a usage error, for the operator
};

// The arguments after the program's name.
CtlArguments ParseCtlArguments(const QStringList &arguments);

// The text of --help.
QString CtlUsage();
