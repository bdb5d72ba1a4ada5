#include "base/SingleInstance.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QDir>
#include <QLockFile>
#endif

const QString SingleInstance::AlreadyRunningText =
    QStringLiteral("Jedna instanca programa je vec pokrenuta na ovom racunaru!!");

#ifdef Q_OS_WIN

struct SingleInstance::Handle
{
    HANDLE mutex = nullptr;
    ~Handle()
    {
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
    }
};

bool SingleInstance::acquire()
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_handle = std::make_unique<Handle>();
    m_handle->mutex = mutex;
    return true;
}

#else

struct SingleInstance::Handle
{
    explicit Handle(const QString &path) : lock(path) {}
    QLockFile lock;
};

bool SingleInstance::acquire()
{
    // One lock per user, as a session's named mutex would be.
    const QString user = qEnvironmentVariable("USER", QStringLiteral("user"));
    auto handle = std::make_unique<Handle>(QDir::temp().filePath(m_name + QLatin1Char('-') + user + QStringLiteral(".lock")));
    // A lock left by a crashed copy is taken over (QLockFile checks the owner's PID).
    handle->lock.setStaleLockTime(0);
    if (!handle->lock.tryLock(0))
        return false;
    m_handle = std::move(handle);
    return true;
}

#endif

SingleInstance::SingleInstance(const QString &name)
    : m_name(name)
{
}

SingleInstance::~SingleInstance() = default;
