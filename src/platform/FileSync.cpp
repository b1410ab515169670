#include "platform/FileSync.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform {

bool syncFile(QFile& file)
{
    if (!file.isOpen() || !file.flush())
        return false;
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    // The data and what is needed to read it back; the access times may wait.
    return ::fdatasync(file.handle()) == 0;
#endif
}

} // namespace platform
