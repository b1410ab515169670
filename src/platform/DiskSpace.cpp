#include "platform/DiskSpace.h"

#include <QStorageInfo>

namespace platform {

std::int64_t StorageDiskSpace::freeBytes(const QString& path)
{
    QStorageInfo info(path);
    if (!info.isValid() || !info.isReady())
        return -1;
    const qint64 available = info.bytesAvailable();
    return available < 0 ? -1 : std::int64_t(available);
}

} // namespace platform
