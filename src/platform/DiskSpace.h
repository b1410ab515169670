#pragma once
// The free space of the file system a folder is on, as this user may use it. Behind an
// interface so that the recording's watch over it can be driven by a script in tests.
#include <QString>

#include <cstdint>

namespace platform {

class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // Bytes this user may still write on the file system of path (a folder or a file); -1 when
    // it cannot be told (the folder does not exist, the file system gives no figure).
    virtual std::int64_t freeBytes(const QString& path) = 0;
};

// The real one (QStorageInfo: statvfs, its blocks available to unprivileged users).
class StorageDiskSpace : public DiskSpace {
public:
    std::int64_t freeBytes(const QString& path) override;
};

} // namespace platform
