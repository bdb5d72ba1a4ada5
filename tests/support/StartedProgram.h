#pragma once

#include "app/uDorvalen.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Answers the login dialog with password (or cancels it), then its next showings with
// the passwords in then.
void answerLogin(const QString &password, bool cancel = false, const QStringList &then = {});

// The command-link ports of a test: a free listener port on loopback; nothing to send to.
CommandLinkPorts testPorts();

// The program as an operator starts it: a registry of its own (a temporary file) that
// holds the connection string, the main window shown, the login answered and the
// first-show sequence run. Message boxes are scripted. The command link uses ports.
class StartedProgram
{
public:
    explicit StartedProgram(const QString &connectionString, const CommandLinkPorts &ports = testPorts());
    ~StartedProgram();

    TfrmDorvalen &window() { return *m_window; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TfrmDorvalen> m_window;
};
