#include "widgets/CommandTable.h"

#include <QAbstractButton>
#include <QAction>

void CommandTable::add(const QString &command, Handler handler)
{
    Q_ASSERT_X(!m_handlers.contains(command), "CommandTable::add", "one handler per command");
    m_handlers.insert(command, std::move(handler));
}

bool CommandTable::run(const QString &command) const
{
    const auto found = m_handlers.constFind(command);
    if (found == m_handlers.constEnd())
        return false;
    (*found)();
    return true;
}

void CommandTable::bind(QObject *root, const QStringList &commands) const
{
    for (const QString &command : commands) {
        const bool handled = contains(command);
        const auto trigger = [this, command] { run(command); };
        for (QAction *action : root->findChildren<QAction *>(command)) {
            action->setEnabled(handled);
            if (handled)
                QObject::connect(action, &QAction::triggered, action, trigger);
        }
        for (QAbstractButton *button : root->findChildren<QAbstractButton *>(command)) {
            button->setEnabled(handled);
            if (handled)
                QObject::connect(button, &QAbstractButton::clicked, button, trigger);
        }
    }
}
