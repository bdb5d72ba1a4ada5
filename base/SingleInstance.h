#pragma once

#include <QString>

#include <memory>

// Keeps a second copy of the program from running for the same user: a named mutex on
// Windows, a lock file elsewhere. Held from acquire() until the object goes.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("DorvalenMutex"));
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // False when another process holds it (or it cannot be made).
    bool acquire();

    static const QString AlreadyRunningText;

private:
    struct Handle;
    const QString m_name;
    std::unique_ptr<Handle> m_handle;
};
