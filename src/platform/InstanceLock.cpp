#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

// Windows: a named mutex of the session, released by the system when the process ends.
InstanceLock::InstanceLock(const QString& name) : name_(name) {}

InstanceLock::~InstanceLock()
{
    if (handle_)
        ::CloseHandle(static_cast<HANDLE>(handle_));
}

InstanceLock::Result InstanceLock::tryLock()
{
    if (handle_)
        return Result::Acquired;
    path_ = name_;
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name_.utf16()));
    if (!mutex)
        return Result::Unavailable;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return Result::HeldElsewhere;
    }
    handle_ = mutex;
    return Result::Acquired;
}

#else

namespace {

// Candidate lock files, best first.
QStringList candidatePaths(const QString& name)
{
    QStringList paths;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        paths << runtime + QLatin1Char('/') + name + QStringLiteral(".lock");
    // The temp folder is shared by all users: the user id keeps the sessions apart.
    paths << QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('-')
                 + QString::number(::getuid()) + QStringLiteral(".lock");
    return paths;
}

} // namespace

InstanceLock::InstanceLock(const QString& name) : name_(name) {}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock; the file stays for the next start
}

InstanceLock::Result InstanceLock::tryLock()
{
    if (fd_ >= 0)
        return Result::Acquired;
    for (const QString& path : candidatePaths(name_)) {
        const QByteArray native = QFile::encodeName(path);
        // O_CLOEXEC: programs we start must not inherit the lock and keep it after we end.
        // O_NOFOLLOW: in a shared temp folder, never lock through somebody's symbolic link.
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            continue;
        path_ = path;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return Result::Acquired;
        }
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::HeldElsewhere;
    }
    return Result::Unavailable;
}

#endif

} // namespace platform
