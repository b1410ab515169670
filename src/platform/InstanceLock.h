#pragma once
// A lock that only one process of the user's session can hold: a file locked with flock() in
// $XDG_RUNTIME_DIR (or, when that is not set, the temp folder with the user id in the name).
// The kernel releases it when the holder ends in any way, so a crashed or killed instance never
// blocks the next start. On Windows it is a named mutex of the same name.
#include <QString>

namespace platform {

class InstanceLock {
public:
    explicit InstanceLock(const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result {
        Acquired,      // this process is the only instance
        HeldElsewhere, // another process holds the lock
        Unavailable,   // no lock file could be created; uniqueness cannot be checked
    };
    Result tryLock();
    bool isHeld() const { return fd_ >= 0 || handle_ != nullptr; }
    // The file used for the lock (known after tryLock()).
    QString path() const { return path_; }

private:
    QString name_;
    QString path_;
    int fd_ = -1;
    void* handle_ = nullptr; // Windows: the named mutex
};

} // namespace platform
