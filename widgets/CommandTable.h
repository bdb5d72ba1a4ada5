#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// From the object name of a main-window command (a menu action or a button) to what it
// runs. Each window folder adds the commands of its windows; the main window binds them
// to its actions and buttons, and a command without a handler stays disabled.
class CommandTable
{
public:
    using Handler = std::function<void()>;

    void add(const QString &command, Handler handler);
    bool contains(const QString &command) const { return m_handlers.contains(command); }
    // False when the command has no handler.
    bool run(const QString &command) const;

    // Connects every QAction and QAbstractButton below root whose name is one of commands
    // to its handler, and disables those that have none.
    void bind(QObject *root, const QStringList &commands) const;

private:
    QHash<QString, Handler> m_handlers;
};
